#include "images/progresswindow.h"

#include <QApplication>
#include <QHideEvent>
#include <QShowEvent>
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

// Drops user input sent by the window system to any window of the program
// but the progress window and modal windows (and their pop-ups).
class InputGuard : public QObject {
public:
    explicit InputGuard(QWidget* progress)
        : progress_(progress)
    {
        qApp->installEventFilter(this);
    }
    ~InputGuard() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        // Events the program sends itself (a close() of its own) are not
        // user input.
        if (!event->spontaneous() || !isUserInput(event->type()) || allowed(topLevelOf(target)))
            return false;
        event->ignore();
        if (event->type() == QEvent::ShortcutOverride)
            event->accept(); // taken: no shortcut fires for the key
        return true;
    }

private:
    static bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Close: // the window manager's close box
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }

    // The top-level widget an event goes to, or null (an action's shortcut).
    static QWidget* topLevelOf(QObject* target)
    {
        if (target->isWidgetType())
            return static_cast<QWidget*>(target)->window();
        if (target->isWindowType()) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->windowHandle() == target)
                    return w;
        }
        return nullptr;
    }

    bool allowed(const QWidget* window) const
    {
        if (!window)
            return false;
        return window == progress_ || window->windowType() == Qt::Popup ||
               (window->isModal() && window->isVisible());
    }

    QPointer<QWidget> progress_;
};

ProgressWindow::ProgressWindow(QWidget* owner, Qt::WindowFlags flags)
    : QDialog(owner, flags)
{
}

ProgressWindow::~ProgressWindow()
{
    delete guard_;
}

void ProgressWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous() && !guard_)
        guard_ = new InputGuard(this);
}

void ProgressWindow::endInputGuard()
{
    if (!guard_)
        return;
    // Input queued while the work ran reaches the filter now, and ends
    // there.
    for (int round = 0; round < 2; ++round)
        QCoreApplication::processEvents();
    delete guard_;
    guard_ = nullptr;
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
    if (!event->spontaneous())
        endInputGuard();
}
