#pragma once
// The memo window: a small read-only tool window beside the picture viewer
// that shows the memo file of the viewer's species, in the font, text
// colour and background colour the user chose (kept in the settings). The
// text scrolls but cannot be edited here. It never writes a memo file.
//
// There is at most one memo window; instance() reaches it. Closing it by
// its close box only hides it, and the next refresh shows it again.
#include <QColor>
#include <QFont>
#include <QWidget>

class QFrame;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

class TfMemo : public QWidget {
    Q_OBJECT
public:
    ~TfMemo() override;

    // The memo window, or null while there is none.
    static TfMemo* instance();
    // Destroys the memo window without storing its settings: font and
    // colour changes since the last refresh or close are lost.
    static void release();

    // The start-up step: geometry, font and colours from the settings, the
    // viewer's species name as caption and the lines of memoPath.
    void FormCreate();
    // Keeps the window inside the screen's work area.
    void FormShow();
    // Closing by the close box: the settings are stored, the window hidden
    // and kept.
    void FormCloseQuery();
    // Size, font and colours (not the position) into the settings.
    void storeMemoSettings();

    // Font and colour of the text, through the font dialog.
    void ToolButton4Click();
    // Background colour of the text, through the colour dialog.
    void ToolButton5Click();

    QPlainTextEdit* memo() const { return memo1_; }
    QFrame* panel() const { return panel1_; }
    QToolBar* toolBar() const { return toolBar1_; }
    QToolButton* toolButton(int number) const;
    QColor textColour() const;
    QColor backgroundColour() const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    explicit TfMemo(QWidget* parent);
    void buildWindow();
    void setColours(const QColor& text, const QColor& background);
    friend void refreshMemoWindow();

    QToolBar* toolBar1_ = nullptr;
    QFrame* panel1_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
};

// Chooses the memo file of species `name`: defaultMemoPath becomes the
// hard-disk folder's file (where a new memo goes), memoPath the CD-ROM
// folder's file when it exists, else the hard-disk one when it exists,
// else empty.
void selectMemoFile(const QString& name);

// Makes the memo window follow memoPath: a window that exists stores its
// position and settings, then reloads (memoPath set) or is released
// (memoPath empty); with memoPath set the window is created when needed,
// shown and brought to the front.
void refreshMemoWindow();
