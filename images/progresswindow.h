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
// excluded throughout, so nothing re-enters the running work; and input
// that arrives for the program's other windows while the window is on
// screen (a click on the main window's exit button during a long search,
// say) is dropped, not carried out once the work is over. Input to the
// progress window itself, and to a modal window opened during the work (a
// message box), goes through.
#include <QDialog>
#include <QPointer>

class InputGuard;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // The longest wait for the window system to put a newly shown window on
    // screen.
    static constexpr int ExposeWaitMs = 500;

    // Shows the window, waits until it is on screen (at most ExposeWaitMs)
    // and paints it.
    void showNow();

    ~ProgressWindow() override;

protected:
    ProgressWindow(QWidget* owner, Qt::WindowFlags flags);

    void showEvent(QShowEvent* event) override;

    // Paints the window now and lets pending paint and window-system events
    // through. The first step after a plain show() waits for the window to
    // come on screen, as showNow() does.
    void paintStep();

    void hideEvent(QHideEvent* event) override;

private:
    void awaitExposure();
    // Drops the user input still queued for the other windows, then lets
    // input through again.
    void endInputGuard();

    bool exposureAwaited_ = false; // during the current showing
    InputGuard* guard_ = nullptr;  // while shown by the program
};
