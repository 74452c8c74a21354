#include "images/viewerglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Outline(50, 50, 50);

// A small framed landscape: the common motif of the picture glyphs.
void drawPhoto(QPainter& g, const QRectF& r)
{
    g.setPen(QPen(Outline, 1));
    g.setBrush(QColor(225, 240, 255));
    g.drawRect(r);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(70, 150, 60));
    QPainterPath hill;
    hill.moveTo(r.left() + 0.5, r.bottom() - 0.5);
    hill.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45);
    hill.lineTo(r.left() + r.width() * 0.6, r.top() + r.height() * 0.7);
    hill.lineTo(r.left() + r.width() * 0.78, r.top() + r.height() * 0.55);
    hill.lineTo(r.right() - 0.5, r.bottom() - 0.5);
    hill.closeSubpath();
    g.drawPath(hill);
    g.setBrush(QColor(240, 180, 40));
    g.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.28), 1.3, 1.3);
}

void drawEnd(QPainter& g)
{
    drawPhoto(g, QRectF(1.5, 2.5, 11, 9));
    g.setPen(QPen(QColor(200, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(9, 9), QPointF(14.5, 14.5));
    g.drawLine(QPointF(14.5, 9), QPointF(9, 14.5));
}

// A double chevron (species) or a single triangle (picture), left or right.
void drawStep(QPainter& g, bool left, bool kind)
{
    g.setPen(QPen(QColor(20, 60, 130), 1));
    g.setBrush(kind ? QColor(60, 120, 210) : QColor(60, 160, 90));
    const double dir = left ? -1 : 1;
    auto triangle = [&](double tipX) {
        QPainterPath p;
        p.moveTo(tipX, 8);
        p.lineTo(tipX - dir * 6, 2.5);
        p.lineTo(tipX - dir * 6, 13.5);
        p.closeSubpath();
        g.drawPath(p);
    };
    if (kind) {
        triangle(left ? 1.5 : 14.5);
        triangle(left ? 7.5 : 8.5);
    } else {
        triangle(left ? 4.5 : 11.5);
        g.drawRect(QRectF(left ? 11.5 : 1.5, 5.5, 3, 5));
    }
}

void drawSeparateWindow(QPainter& g)
{
    g.setPen(QPen(Outline, 1));
    g.setBrush(QColor(250, 250, 250));
    g.drawRect(QRectF(5.5, 0.5, 10, 9));
    g.setBrush(QColor(20, 60, 130));
    g.drawRect(QRectF(5.5, 0.5, 10, 2));
    drawPhoto(g, QRectF(0.5, 5.5, 10, 9));
}

// Window-size toggle: a frame with arrows reaching out to its corners when
// the window follows the picture, a plain frame with a pin when it keeps its
// size.
void drawFit(QPainter& g, bool follows)
{
    drawPhoto(g, QRectF(3.5, 3.5, 9, 9));
    if (follows) {
        g.setPen(QPen(QColor(200, 90, 20), 1.4, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(1, 1), QPointF(4, 4));
        g.drawLine(QPointF(1, 1), QPointF(1, 3.5));
        g.drawLine(QPointF(1, 1), QPointF(3.5, 1));
        g.drawLine(QPointF(15, 15), QPointF(12, 12));
        g.drawLine(QPointF(15, 15), QPointF(15, 12.5));
        g.drawLine(QPointF(15, 15), QPointF(12.5, 15));
    } else {
        g.setPen(QPen(Outline, 1));
        g.setBrush(QColor(220, 40, 40));
        g.drawEllipse(QPointF(12.5, 3.5), 2.5, 2.5);
        g.setPen(QPen(Outline, 1.2));
        g.drawLine(QPointF(11, 5), QPointF(8, 8));
    }
}

void drawFontGlyph(QPainter& g)
{
    QFont font;
    font.setPixelSize(13);
    font.setBold(true);
    g.setFont(font);
    g.setPen(QColor(20, 20, 20));
    g.drawText(QRectF(0, -1, 10, 14), Qt::AlignCenter, QStringLiteral("A"));
    g.setPen(QColor(30, 90, 190));
    font.setPixelSize(10);
    font.setItalic(true);
    g.setFont(font);
    g.drawText(QRectF(7, 4, 9, 12), Qt::AlignCenter, QStringLiteral("a"));
    g.setPen(QPen(QColor(200, 30, 30), 1.5));
    g.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void drawColourGlyph(QPainter& g)
{
    g.setPen(QPen(Outline, 1));
    g.setBrush(QColor(240, 225, 190));
    g.drawEllipse(QRectF(0.5, 1.5, 15, 13));
    g.setPen(Qt::NoPen);
    const QColor dabs[] = {QColor(220, 40, 40), QColor(40, 160, 60), QColor(40, 90, 210), QColor(240, 200, 30)};
    const QPointF at[] = {QPointF(4.5, 5.5), QPointF(8.5, 4.5), QPointF(11.5, 7.5), QPointF(4.5, 9.5)};
    for (int i = 0; i < 4; ++i) {
        g.setBrush(dabs[i]);
        g.drawEllipse(at[i], 1.8, 1.8);
    }
}

QIcon paint(void (*draw)(QPainter&, int), int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter g(&pixmap);
    g.setRenderHint(QPainter::Antialiasing);
    draw(g, index);
    g.end();
    return QIcon(pixmap);
}

} // namespace

QIcon viewerToolGlyph(int index)
{
    return paint(
        [](QPainter& g, int i) {
            switch (i) {
            case 0: drawEnd(g); break;
            case 1: drawStep(g, true, true); break;
            case 2: drawStep(g, true, false); break;
            case 3: drawStep(g, false, false); break;
            case 4: drawStep(g, false, true); break;
            case 5: drawSeparateWindow(g); break;
            case 6: drawFit(g, true); break;
            case 7: drawFit(g, false); break;
            default: break;
            }
        },
        index);
}

QIcon memoToolGlyph(int index)
{
    return paint(
        [](QPainter& g, int i) {
            if (i == 0)
                drawFontGlyph(g);
            else if (i == 1)
                drawColourGlyph(g);
        },
        index);
}
