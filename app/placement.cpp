#include "app/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "settings/func.h"

void placeForm(QWidget* form)
{
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect outer = form->frameGeometry();
    const QRect placed = placeRect(outer, screen->availableGeometry());
    // The frame adds to the client size; keep that difference when resizing.
    const QSize frameExtra = outer.size() - form->size();
    form->resize(placed.size() - frameExtra);
    form->move(placed.topLeft());
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
