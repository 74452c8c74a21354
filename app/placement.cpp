#include "app/placement.h"

#include <QGuiApplication>
#include <QScreen>
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
