#include "images/progresswindow.h"

#include <QCoreApplication>
#include <QHideEvent>
#include <QTimer>
#include <QWindow>

namespace {

// True once the window system has put the window on screen.
bool onScreen(const QWidget* window)
{
    if (window->testAttribute(Qt::WA_Mapped))
        return true;
    const QWindow* handle = window->windowHandle();
    return handle && handle->isExposed();
}

// Handles pending events other than user input. (Under X11 a window's
// close box counts as user input too: the request waits with the rest.)
void letEventsThrough(QEventLoop::ProcessEventsFlags extra = {})
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | extra);
}

} // namespace

ProgressWindow::ProgressWindow(QWidget* owner, Qt::WindowFlags flags)
    : QDialog(owner, flags)
{
}

void ProgressWindow::showNow()
{
    show();
    awaitExposure();
    repaint();
    letEventsThrough();
}

void ProgressWindow::paintStep()
{
    if (isVisible() && !exposureAwaited_)
        awaitExposure();
    repaint();
    letEventsThrough();
}

void ProgressWindow::awaitExposure()
{
    exposureAwaited_ = true;
    // The timer ends the wait when time is up even if no other event comes,
    // so a window system that never maps the window (or a platform without
    // one) cannot hold the work back for long.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(ExposeWaitMs);
    while (isVisible() && !onScreen(this) && deadline.isActive())
        letEventsThrough(QEventLoop::WaitForMoreEvents);
}

void ProgressWindow::hideEvent(QHideEvent* event)
{
    // Hidden by the program, the next showing is a new window for the window
    // system; minimised by the user, it stays the same one.
    if (!event->spontaneous())
        exposureAwaited_ = false;
    QDialog::hideEvent(event);
}
