#pragma once
// The program's own window for its help text, used when the desktop has no
// program to show the help file with. It shows the file read-only; there is
// at most one, and it closes like any other window.
#include <QDialog>

class QPlainTextEdit;

class THelpView : public QDialog {
    Q_OBJECT
public:
    // Shows the UTF-8 text file `path` in the help window, creating the
    // window or bringing it to the front. False when the file cannot be read.
    static bool showFile(const QString& path, QWidget* owner);
    // The window while it is open, else nullptr.
    static THelpView* instance();

    QPlainTextEdit* text() const { return text_; }

private:
    explicit THelpView(QWidget* owner);
    ~THelpView() override;
    QPlainTextEdit* text_ = nullptr;
};
