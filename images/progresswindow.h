#pragma once
// The common ground of the small windows that report progress while work
// runs on the user-interface thread without returning to the event loop
// (picture registration, the search).
//
// Under X11 a new top-level window is mapped, and can be painted, only once
// the event loop has handled its expose event; repaints before that are
// dropped and the user sees nothing but a frozen main window. So showing
// such a window lets window-system events through until it is on screen, and
// every progress step lets pending paint events through. User input stays
// excluded throughout, so nothing re-enters the running work.
#include <QDialog>

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // The longest wait for the window system to put a newly shown window on
    // screen.
    static constexpr int ExposeWaitMs = 500;

    // Shows the window, waits until it is on screen (at most ExposeWaitMs)
    // and paints it.
    void showNow();

protected:
    ProgressWindow(QWidget* owner, Qt::WindowFlags flags);

    // Paints the window now and lets pending paint and window-system events
    // through. The first step after a plain show() waits for the window to
    // come on screen, as showNow() does.
    void paintStep();

    void hideEvent(QHideEvent* event) override;

private:
    void awaitExposure();

    bool exposureAwaited_ = false; // during the current showing
};
