#pragma once
// The small progress window shown while chosen pictures are reduced and
// copied into the catalogue.
#include <QDialog>

class QLabel;
class QProgressBar;

class TfMesDlg : public QDialog {
    Q_OBJECT
public:
    // Placed at the centre of `owner` (the main window).
    explicit TfMesDlg(QWidget* owner);

    // Sets the gauge (0..100) and, when given, the first text line, and
    // repaints at once: the copy loop does not return to the event loop.
    void setProgress(int percent, const QString& firstLine = QString());
    int progress() const;
    QString firstLine() const;

private:
    QLabel* label1_;
    QLabel* label2_;
    QProgressBar* gauge1_;
};
