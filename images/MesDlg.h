#pragma once
// The small progress window shown while chosen pictures are reduced and
// copied into the catalogue.
#include "images/progresswindow.h"

class QLabel;
class QProgressBar;

class TfMesDlg : public ProgressWindow {
    Q_OBJECT
public:
    // Placed at the centre of `owner` (the main window). Shown with
    // showNow(), so that it is on screen before the copying starts.
    explicit TfMesDlg(QWidget* owner);

    // Sets the gauge (0..100) and, when given, the first text line, and
    // repaints at once: the copy loop does not return to the event loop.
    // Pending paint events go through too, user input does not.
    void setProgress(int percent, const QString& firstLine = QString());
    int progress() const;
    QString firstLine() const;

private:
    QLabel* label1_;
    QLabel* label2_;
    QProgressBar* gauge1_;
};
