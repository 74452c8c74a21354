#pragma once
// The small window shown while a search runs and the found species'
// pictures are loaded. The work runs on the user-interface thread without
// returning to the event loop, so the search shows the window with
// showNow() and repaints it itself (advance()) after each step.
#include <QWidget>

#include "images/progresswindow.h"

class QLabel;
class QTimer;

// A 16 x 16 busy indicator: a magnifier circling over a sheet of paper. It
// moves on its own while events are processed; advance() moves it one step
// and repaints it at once for code that keeps the event loop waiting.
class TfRunAnimation : public QWidget {
    Q_OBJECT
public:
    explicit TfRunAnimation(QWidget* parent = nullptr);

    static constexpr int FrameCount = 12;
    int frame() const { return frame_; }
    void advance();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* timer_ = nullptr;
    int frame_ = 0;
};

class TfRun : public ProgressWindow {
    Q_OBJECT
public:
    // `owner` is the main window; the window appears 30 pixels right of and
    // 80 pixels below its top-left corner.
    explicit TfRun(QWidget* owner);

    TfRunAnimation* animation() const { return animate1_; }
    // Moves the animation on and repaints the whole window now, letting
    // pending paint events (not user input) through.
    void advance();

    void FormCreate(QWidget* owner);

private:
    QLabel* label1_ = nullptr;
    TfRunAnimation* animate1_ = nullptr;
};
