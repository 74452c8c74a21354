#include "app/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include "settings/func.h"

void placeForm(QWidget* form)
{
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect outer = form->frameGeometry();
    const QRect placed = placeRect(outer, screen->availableGeometry());
    // A form that lies inside is left alone. Moving a hidden window the
    // window manager has framed before to where it already is would shift
    // it by its frame when it is shown again, since Qt reports such a
    // window's position without the frame it has just been given.
    if (placed == outer)
        return;
    // The frame adds to the client size; keep that difference when resizing.
    const QSize frameExtra = outer.size() - form->size();
    if (placed.size() != outer.size())
        form->resize(placed.size() - frameExtra);
    if (placed.topLeft() != outer.topLeft())
        form->move(placed.topLeft());
}

namespace {

// The frame's share of a window's outer size.
QSize frameExtra(const QWidget* window)
{
    return window->frameGeometry().size() - window->size();
}

// Waits for a window's frame to become known and then takes it off the
// window's size. Until then the window system counts the window's size as
// its outer size, so whatever size it has by then (the one asked for, or
// one a placement gave it meanwhile) is the outer size wanted.
class OuterSizeKeeper : public QObject {
public:
    explicit OuterSizeKeeper(QWidget* window)
        : QObject(window)
        , window_(window)
    {
        setObjectName(QStringLiteral("outerSizeKeeper"));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                   event->type() == QEvent::Show)) {
            const QSize extra = frameExtra(window_);
            if (!extra.isNull()) {
                // Once only: the window is the user's to resize from now on.
                window_->removeEventFilter(this);
                window_->resize(window_->size() - extra);
                deleteLater();
            }
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

QSize outerSize(const QWidget* window)
{
    return window->frameGeometry().size();
}

void setOuterSize(QWidget* window, const QSize& size)
{
    auto* pending = window->findChild<OuterSizeKeeper*>(QStringLiteral("outerSizeKeeper"), Qt::FindDirectChildrenOnly);
    const QSize extra = frameExtra(window);
    const QWindow* handle = window->windowHandle();
    if (!extra.isNull() || (handle && handle->isExposed())) {
        // The frame is known, or the window is on screen without one.
        delete pending;
        window->resize(size - extra);
        return;
    }
    window->resize(size);
    if (!pending)
        new OuterSizeKeeper(window);
}

QFont designFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

QToolBar* makeToolBar(QWidget* window)
{
    auto* bar = new QToolBar(window);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    return bar;
}

QToolButton* addToolButton(QToolBar* bar, int number, const QString& hint, const QIcon& glyph)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(QStringLiteral("ToolButton%1").arg(number));
    b->setToolTip(hint);
    b->setIcon(glyph);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
}

QToolButton* findToolButton(const QWidget* window, int number)
{
    return window->findChild<QToolButton*>(QStringLiteral("ToolButton%1").arg(number));
}
