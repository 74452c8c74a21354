#pragma once
#include <QFont>

class QWidget;

// The font every window is designed in: "ＭＳ Ｐゴシック" at 12 pixels (the
// entry point maps the name to an installed Japanese gothic).
QFont designFont();

// Keeps a window inside the screen's work area: shrinks it to the work
// area, moves it back from the right and bottom edges, then from the left
// and top edges (which win).
void placeForm(QWidget* form);
