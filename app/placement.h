#pragma once
#include <QFont>
#include <QIcon>
#include <QString>

class QToolBar;
class QToolButton;
class QWidget;

// The font every window is designed in: "ＭＳ Ｐゴシック" at 12 pixels (the
// entry point maps the name to an installed Japanese gothic).
QFont designFont();

// Keeps a window inside the screen's work area: shrinks it to the work
// area, moves it back from the right and bottom edges, then from the left
// and top edges (which win).
void placeForm(QWidget* form);

// A window's outer size, its frame included (as far as the window system
// has told it; before the first showing the frame is not known and counts
// as nothing).
QSize outerSize(const QWidget* window);
// Gives a window the outer size `size`, frame included. While the frame is
// not yet known (a window not yet shown) the window takes `size` as it is
// and is made smaller by its frame as soon as the window system reports
// one.
void setOuterSize(QWidget* window, const QSize& size);

// The flat tool bar "ToolBar1" of a window: fixed in place, 16 x 16 glyphs.
QToolBar* makeToolBar(QWidget* window);
// Adds the flat button "ToolButton<number>" with its hint and glyph.
QToolButton* addToolButton(QToolBar* bar, int number, const QString& hint, const QIcon& glyph);
// The button "ToolButton<number>" of a window.
QToolButton* findToolButton(const QWidget* window, int number);
