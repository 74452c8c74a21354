#include "app/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap blank()
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    return p;
}

void drawMagnifier(QPainter& g)
{
    g.setPen(QPen(QColor(40, 40, 40), 1.6));
    g.setBrush(QColor(200, 230, 255));
    g.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    g.setPen(QPen(QColor(120, 70, 20), 2.6, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void drawExit(QPainter& g)
{
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(170, 120, 60));
    g.drawRect(QRectF(2.5, 1.5, 8, 13));
    g.setBrush(QColor(90, 170, 90));
    QPainterPath arrow;
    arrow.moveTo(7, 8);
    arrow.lineTo(12, 4);
    arrow.lineTo(12, 6.5);
    arrow.lineTo(15, 6.5);
    arrow.lineTo(15, 9.5);
    arrow.lineTo(12, 9.5);
    arrow.lineTo(12, 12);
    arrow.closeSubpath();
    g.drawPath(arrow);
}

void drawStop(QPainter& g)
{
    g.setPen(QPen(QColor(120, 0, 0), 1));
    g.setBrush(QColor(220, 50, 40));
    g.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    g.setPen(QPen(Qt::white, 2));
    g.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
}

void drawArrow(QPainter& g, bool left)
{
    QPainterPath p;
    if (left) {
        p.moveTo(2, 8);
        p.lineTo(8, 2);
        p.lineTo(8, 5.5);
        p.lineTo(14, 5.5);
        p.lineTo(14, 10.5);
        p.lineTo(8, 10.5);
        p.lineTo(8, 14);
    } else {
        p.moveTo(14, 8);
        p.lineTo(8, 2);
        p.lineTo(8, 5.5);
        p.lineTo(2, 5.5);
        p.lineTo(2, 10.5);
        p.lineTo(8, 10.5);
        p.lineTo(8, 14);
    }
    p.closeSubpath();
    g.setPen(QPen(QColor(20, 60, 130), 1));
    g.setBrush(QColor(70, 130, 220));
    g.drawPath(p);
}

void drawPictureCard(QPainter& g)
{
    g.setPen(QPen(QColor(70, 70, 70), 1));
    g.setBrush(QColor(235, 245, 255));
    g.drawRect(QRectF(1.5, 2.5, 12, 10));
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(60, 150, 60));
    QPainterPath hill;
    hill.moveTo(2, 12);
    hill.lineTo(6, 7);
    hill.lineTo(9, 10);
    hill.lineTo(11, 8);
    hill.lineTo(13, 12);
    hill.closeSubpath();
    g.drawPath(hill);
}

void drawDelete(QPainter& g)
{
    drawPictureCard(g);
    g.setPen(QPen(QColor(210, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(8, 8), QPointF(14.5, 14.5));
    g.drawLine(QPointF(14.5, 8), QPointF(8, 14.5));
}

void drawPencil(QPainter& g)
{
    g.setPen(QPen(QColor(60, 60, 60), 1));
    g.setBrush(QColor(250, 200, 60));
    QPainterPath p;
    p.moveTo(3, 13);
    p.lineTo(4, 9.5);
    p.lineTo(11.5, 2);
    p.lineTo(14, 4.5);
    p.lineTo(6.5, 12);
    p.closeSubpath();
    g.drawPath(p);
    g.setBrush(QColor(40, 40, 40));
    g.drawPolygon(QPolygonF({QPointF(3, 13), QPointF(3.6, 11), QPointF(5, 12.4)}));
}

void drawAdd(QPainter& g)
{
    drawPictureCard(g);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(30, 150, 40));
    g.drawEllipse(QRectF(8, 8, 8, 8));
    g.setPen(QPen(Qt::white, 1.6));
    g.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
    g.drawLine(QPointF(9.5, 12), QPointF(14.5, 12));
}

void drawConditions(QPainter& g)
{
    g.setPen(QPen(QColor(70, 70, 70), 1));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(2.5, 1.5, 11, 13));
    for (int i = 0; i < 4; ++i) {
        const double y = 4.5 + i * 2.8;
        g.setPen(QPen(QColor(40, 120, 40), 1.2));
        g.drawLine(QPointF(4, y), QPointF(5.5, y + 1));
        g.drawLine(QPointF(5.5, y + 1), QPointF(7, y - 1));
        g.setPen(QPen(QColor(90, 90, 90), 1));
        g.drawLine(QPointF(8, y), QPointF(12, y));
    }
}

} // namespace

QIcon mainToolGlyph(int index)
{
    QPixmap pixmap = blank();
    QPainter g(&pixmap);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: drawMagnifier(g); break;
    case 1: drawExit(g); break;
    case 2: drawStop(g); break;
    case 3: drawArrow(g, true); break;
    case 4: drawArrow(g, false); break;
    case 5: drawDelete(g); break;
    case 6: drawPencil(g); break;
    case 7: drawAdd(g); break;
    case 8: drawConditions(g); break;
    default: break;
    }
    g.end();
    return QIcon(pixmap);
}

QImage placeholderPicture()
{
    QImage image(180, 120, QImage::Format_RGB888);
    image.fill(QColor(224, 224, 218));
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(170, 170, 160), 2));
    g.drawRect(QRectF(6, 6, 168, 108));
    // A simple leaf outline with a slash: "no picture".
    QPainterPath leaf;
    leaf.moveTo(70, 80);
    leaf.cubicTo(70, 40, 110, 30, 115, 35);
    leaf.cubicTo(120, 60, 100, 85, 70, 80);
    g.setPen(QPen(QColor(150, 160, 140), 3));
    g.setBrush(QColor(200, 210, 190));
    g.drawPath(leaf);
    g.setPen(QPen(QColor(170, 80, 70), 4, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(65, 30), QPointF(120, 88));
    g.end();
    return image;
}
