#include "search/padillustrations.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace padart {

namespace {

// Every drawing is made in a 100 x 100 box and scaled to its place. Lines
// are cosmetic, so they keep a fine width however small the picture is.

const QColor Ink(48, 48, 48);
const QColor PetalFill(255, 251, 240);
const QColor CentreFill(240, 205, 80);
const QColor LeafFill(214, 236, 190);
const QColor LeafInk(46, 96, 34);
const QColor StemInk(58, 118, 40);
const QColor SepalFill(176, 214, 144);
const QColor StrawFill(238, 232, 196);
const QColor StakeFill(228, 208, 172);
const QColor StakeInk(150, 118, 80);
const QColor GroundInk(140, 112, 82);
const QColor VeinInk(110, 160, 90);

constexpr double Pi = 3.14159265358979323846;

QPen pen(const QColor& colour, qreal width = 1.1)
{
    QPen p(colour, width);
    p.setCosmetic(true);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

QPointF polar(const QPointF& centre, qreal radius, qreal degrees)
{
    const qreal a = degrees * Pi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

// Paints `shape` (drawn along the +x axis from the origin) at `at`, turned
// by `degrees` (clockwise on screen).
void paintAt(QPainter& p, const QPointF& at, qreal degrees, const QPainterPath& shape, const QPen& outline,
             const QBrush& fill)
{
    p.save();
    p.translate(at);
    p.rotate(degrees);
    p.setPen(outline);
    p.setBrush(fill);
    p.drawPath(shape);
    p.restore();
}

// A pointed leaf or petal from r0 to r1 along +x, at most `half` wide on
// each side of its axis.
QPainterPath pointed(qreal r0, qreal r1, qreal half)
{
    const qreal len = r1 - r0;
    const qreal c = half / 0.75; // a cubic reaches 3/4 of its control offset
    QPainterPath path(QPointF(r0, 0));
    path.cubicTo(r0 + len * 0.3, -c, r0 + len * 0.7, -c * 0.8, r1, 0);
    path.cubicTo(r0 + len * 0.7, c * 0.8, r0 + len * 0.3, c, r0, 0);
    path.closeSubpath();
    return path;
}

// A petal with a narrow base and a round end of radius `half`.
QPainterPath spatulate(qreal r0, qreal r1, qreal half)
{
    const qreal neck = r1 - half;
    const qreal len = neck - r0;
    QPainterPath path(QPointF(r0, 0));
    path.cubicTo(r0 + len * 0.4, -half * 0.15, neck - len * 0.3, -half, neck, -half);
    path.arcTo(QRectF(neck - half, -half, 2 * half, 2 * half), 90, -180);
    path.cubicTo(neck - len * 0.3, half, r0 + len * 0.4, half * 0.15, r0, 0);
    path.closeSubpath();
    return path;
}

// A ray floret: a narrow strap with a blunt end.
QPainterPath strap(qreal r0, qreal r1, qreal half)
{
    QPainterPath path(QPointF(r0, -half * 0.5));
    path.lineTo(r1 - half, -half);
    path.quadTo(r1, -half, r1, 0);
    path.quadTo(r1, half, r1 - half, half);
    path.lineTo(r0, half * 0.5);
    path.closeSubpath();
    return path;
}

// A heart-shaped leaf, base notch at the origin, tip at (len, 0).
QPainterPath heart(qreal len)
{
    const qreal k = len / 18.0;
    QPainterPath path(QPointF(0, 0));
    path.cubicTo(-4 * k, -8 * k, 8 * k, -11 * k, 18 * k, 0);
    path.cubicTo(8 * k, 11 * k, -4 * k, 8 * k, 0, 0);
    path.closeSubpath();
    return path;
}

void leafWithRib(QPainter& p, const QPointF& at, qreal degrees, qreal len, qreal half)
{
    paintAt(p, at, degrees, pointed(0, len, half), pen(LeafInk), LeafFill);
    p.save();
    p.translate(at);
    p.rotate(degrees);
    p.setPen(pen(VeinInk, 0.8));
    p.drawLine(QPointF(1, 0), QPointF(len * 0.85, 0));
    p.restore();
}

void ground(QPainter& p, qreal y)
{
    p.setPen(pen(GroundInk, 1.2));
    p.drawLine(QPointF(6, y), QPointF(94, y));
    p.setPen(pen(GroundInk, 0.7));
    for (qreal x = 12; x < 92; x += 10)
        p.drawLine(QPointF(x, y + 2), QPointF(x - 4, y + 6));
}

void centreDisc(QPainter& p, const QPointF& c, qreal r)
{
    p.setPen(pen(Ink, 0.9));
    p.setBrush(CentreFill);
    p.drawEllipse(c, r, r);
}

// ---- flower shapes --------------------------------------------------------

void funnelFlower(QPainter& p) // アサガオ型: morning glory, seen from the side and a little above
{
    p.setPen(pen(StemInk, 1.3));
    p.drawLine(QPointF(50, 89), QPointF(53, 99));
    p.setPen(pen(LeafInk));
    p.setBrush(SepalFill);
    p.drawPolygon(QPolygonF({QPointF(43, 78), QPointF(57, 78), QPointF(55, 90), QPointF(45, 90)}));

    QPainterPath body(QPointF(12, 26));
    body.cubicTo(20, 50, 40, 64, 45, 80);
    body.lineTo(55, 80);
    body.cubicTo(60, 64, 80, 50, 88, 26);
    body.arcTo(QRectF(12, 14, 76, 24), 0, -180);
    body.closeSubpath();
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawPath(body);
    // the folds of the funnel
    p.setPen(pen(Ink, 0.6));
    p.drawLine(QPointF(34, 37), QPointF(47, 78));
    p.drawLine(QPointF(66, 37), QPointF(53, 78));

    // the open face with its five bands
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawEllipse(QRectF(12, 14, 76, 24));
    p.setPen(pen(Ink, 0.6));
    for (int k = 0; k < 5; ++k) {
        const qreal a = (90 + 72 * k) * Pi / 180.0;
        p.drawLine(QPointF(50 + 6 * std::cos(a), 26 + 2.2 * std::sin(a)),
                   QPointF(50 + 38 * std::cos(a), 26 + 12 * std::sin(a)));
    }
    p.setPen(pen(Ink, 0.8));
    p.setBrush(QColor(236, 228, 200));
    p.drawEllipse(QPointF(50, 26), 6, 2.4);
}

void compositeHead(QPainter& p) // タンポポ型: a head of many strap-shaped florets
{
    const QPointF c(50, 50);
    for (int i = 0; i < 22; ++i)
        paintAt(p, c, i * 360.0 / 22, strap(10, 47, 3.6), pen(Ink, 0.8), PetalFill);
    for (int i = 0; i < 16; ++i)
        paintAt(p, c, i * 360.0 / 16 + 11, strap(6, 34, 3.2), pen(Ink, 0.8), PetalFill);
    for (int i = 0; i < 10; ++i)
        paintAt(p, c, i * 36.0 + 5, strap(4, 21, 2.6), pen(Ink, 0.8), PetalFill);
    centreDisc(p, c, 6);
}

void chickweedFlower(QPainter& p) // ハコベ型: five petals, each cleft almost to the base
{
    const QPointF c(50, 50);
    for (int k = 0; k < 5; ++k)
        paintAt(p, c, k * 72 - 90 + 36, pointed(4, 31, 5.5), pen(LeafInk), SepalFill);
    for (int k = 0; k < 5; ++k) {
        const qreal a = k * 72 - 90;
        paintAt(p, c, a - 8, spatulate(5, 41, 5.5), pen(Ink), PetalFill);
        paintAt(p, c, a + 8, spatulate(5, 41, 5.5), pen(Ink), PetalFill);
    }
    p.setPen(pen(Ink, 0.8));
    p.setBrush(QColor(226, 236, 196));
    p.drawEllipse(c, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 60, 90));
    for (int k = 0; k < 5; ++k)
        p.drawEllipse(polar(c, 9.5, k * 72 - 90 + 36), 1.6, 1.6);
}

void grassSpike(QPainter& p) // イネ型: a spike of small scaly spikelets with awns
{
    QPainterPath blade(QPointF(50, 86));
    blade.cubicTo(36, 74, 22, 72, 10, 80);
    blade.cubicTo(24, 70, 40, 72, 50, 80);
    blade.closeSubpath();
    p.setPen(pen(LeafInk));
    p.setBrush(LeafFill);
    p.drawPath(blade);

    QPainterPath culm(QPointF(50, 98));
    culm.cubicTo(50, 62, 50, 40, 56, 17);
    p.setPen(pen(StemInk, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(culm);

    const qreal nodes[] = {0.44, 0.52, 0.6, 0.68, 0.76, 0.84, 0.92};
    for (int i = 0; i < 7; ++i) {
        const QPointF at = culm.pointAtPercent(nodes[i]);
        const qreal angle = (i % 2 == 0) ? -125 : -55;
        paintAt(p, at, angle, pointed(0, 15, 4), pen(Ink, 0.9), StrawFill);
        p.setPen(pen(Ink, 0.7));
        p.drawLine(polar(at, 15, angle), polar(at, 23, angle + ((i % 2 == 0) ? 6 : -6)));
    }
    paintAt(p, culm.pointAtPercent(1.0), -80, pointed(0, 10, 3.2), pen(Ink, 0.9), StrawFill);
}

void peaFlower(QPainter& p) // 蝶　型: a standard petal, two wings and a keel
{
    p.setPen(pen(StemInk, 1.3));
    p.drawLine(QPointF(80, 66), QPointF(92, 92));

    QPainterPath banner(QPointF(72, 62));
    banner.cubicTo(88, 40, 82, 6, 56, 7);
    banner.cubicTo(34, 8, 34, 34, 50, 50);
    banner.cubicTo(58, 58, 66, 62, 72, 62);
    banner.closeSubpath();
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawPath(banner);
    p.setPen(pen(Ink, 0.6));
    p.setBrush(Qt::NoBrush);
    QPainterPath vein(QPointF(70, 58));
    vein.quadTo(66, 30, 58, 14);
    p.drawPath(vein);
    p.drawLine(QPointF(68, 54), QPointF(48, 26));
    p.drawLine(QPointF(71, 55), QPointF(78, 28));

    QPainterPath keel(QPointF(74, 66));
    keel.cubicTo(60, 82, 34, 80, 19, 60);
    keel.cubicTo(30, 67, 50, 65, 72, 58);
    keel.closeSubpath();
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawPath(keel);

    QPainterPath wing(QPointF(72, 60));
    wing.cubicTo(56, 46, 34, 46, 25, 55);
    wing.cubicTo(30, 66, 52, 70, 72, 65);
    wing.closeSubpath();
    p.drawPath(wing);

    p.setPen(pen(LeafInk));
    p.setBrush(SepalFill);
    p.drawPolygon(QPolygonF({QPointF(70, 56), QPointF(76, 55), QPointF(83, 59), QPointF(83, 68), QPointF(72, 70)}));
}

void twoLippedFlower(QPainter& p) // 唇状型: a tube opening into a hooded upper and a broad lower lip
{
    p.setPen(pen(StemInk, 1.3));
    p.drawLine(QPointF(84, 72), QPointF(93, 94));

    QPainterPath tube(QPointF(74, 63));
    tube.cubicTo(62, 60, 54, 56, 46, 45);
    tube.lineTo(42, 58);
    tube.cubicTo(52, 66, 62, 73, 74, 75);
    tube.closeSubpath();
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawPath(tube);

    QPainterPath upper(QPointF(47, 49));
    upper.cubicTo(51, 26, 40, 9, 24, 11);
    upper.cubicTo(13, 13, 11, 24, 17, 31);
    upper.cubicTo(26, 28, 34, 36, 40, 53);
    upper.closeSubpath();
    p.drawPath(upper);

    QPainterPath lower(QPointF(43, 56));
    lower.cubicTo(30, 56, 15, 59, 9, 71);
    lower.cubicTo(12, 82, 27, 83, 33, 74);
    lower.cubicTo(37, 69, 41, 64, 47, 62);
    lower.closeSubpath();
    p.drawPath(lower);
    // side lobe of the lower lip
    QPainterPath side(QPointF(44, 55));
    side.quadTo(40, 50, 36, 53);
    side.quadTo(39, 57, 44, 58);
    p.drawPath(side);

    // stamens under the hood and the spots on the lower lip
    p.setPen(pen(Ink, 0.7));
    p.setBrush(Qt::NoBrush);
    QPainterPath stamen(QPointF(42, 52));
    stamen.quadTo(36, 38, 28, 28);
    p.drawPath(stamen);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 70, 100));
    p.drawEllipse(QPointF(28, 28), 1.6, 1.6);
    p.drawEllipse(QPointF(24, 67), 1.5, 1.5);
    p.drawEllipse(QPointF(30, 64), 1.3, 1.3);
    p.drawEllipse(QPointF(20, 73), 1.3, 1.3);

    p.setPen(pen(LeafInk));
    p.setBrush(SepalFill);
    p.drawPolygon(QPolygonF({QPointF(70, 61), QPointF(73, 56), QPointF(77, 62), QPointF(81, 58), QPointF(85, 66),
                             QPointF(84, 74), QPointF(72, 77)}));
}

void tubularFlower(QPainter& p) // 筒状型: a long narrow tube with a small rim of short lobes
{
    p.setPen(pen(StemInk, 1.3));
    p.drawLine(QPointF(50, 88), QPointF(50, 99));

    QPainterPath tube(QPointF(45, 80));
    tube.cubicTo(44, 60, 42, 40, 41, 21);
    tube.lineTo(59, 21);
    tube.cubicTo(58, 40, 56, 60, 55, 80);
    tube.closeSubpath();
    p.setPen(pen(Ink));
    p.setBrush(PetalFill);
    p.drawPath(tube);
    p.setPen(pen(Ink, 0.6));
    p.drawLine(QPointF(47, 30), QPointF(48.5, 78));
    p.drawLine(QPointF(53, 30), QPointF(51.5, 78));

    // the five short lobes at the mouth
    const QPen outline = pen(Ink);
    paintAt(p, QPointF(45, 18), 240, spatulate(0, 10, 4), outline, PetalFill);
    paintAt(p, QPointF(55, 18), 300, spatulate(0, 10, 4), outline, PetalFill);
    paintAt(p, QPointF(42, 21), 195, spatulate(0, 12, 4.2), outline, PetalFill);
    paintAt(p, QPointF(58, 21), -15, spatulate(0, 12, 4.2), outline, PetalFill);
    paintAt(p, QPointF(50, 23), 90, spatulate(0, 7, 4.2), outline, PetalFill);
    p.setPen(pen(Ink, 0.8));
    p.setBrush(QColor(236, 228, 200));
    p.drawEllipse(QPointF(50, 20), 7, 2.6);

    p.setPen(pen(LeafInk));
    p.setBrush(SepalFill);
    p.drawPolygon(QPolygonF({QPointF(43, 78), QPointF(45, 73), QPointF(48, 78), QPointF(52, 73), QPointF(55, 78),
                             QPointF(57, 78), QPointF(55, 89), QPointF(45, 89)}));
}

void radialFlower(QPainter& p, int petals) // ３，６枚 / ４枚 / ５枚: petals seen from the front
{
    const QPointF c(50, 50);
    if (petals == 6) {
        // three outer and three inner tepals, as in a lily
        for (int k = 0; k < 3; ++k)
            paintAt(p, c, -90 + 120 * k, pointed(3, 47, 11), pen(Ink), PetalFill);
        for (int k = 0; k < 3; ++k)
            paintAt(p, c, -30 + 120 * k, pointed(3, 41, 9), pen(Ink), PetalFill);
        p.setPen(pen(Ink, 0.7));
        p.setBrush(QColor(150, 100, 40));
        for (int k = 0; k < 6; ++k) {
            const QPointF tip = polar(c, 17, -60 + 60 * k);
            p.drawLine(c, tip);
            p.drawEllipse(tip, 1.6, 1.6);
        }
        centreDisc(p, c, 3.5);
        return;
    }
    const qreal half = petals == 4 ? 17 : 15;
    for (int k = 0; k < petals; ++k)
        paintAt(p, c, -90 + 360.0 / petals * k + (petals == 4 ? 45 : 0), spatulate(4, 45, half), pen(Ink),
                PetalFill);
    p.setPen(pen(Ink, 0.5));
    for (int k = 0; k < petals; ++k) {
        const qreal a = -90 + 360.0 / petals * k + (petals == 4 ? 45 : 0);
        p.drawLine(polar(c, 9, a), polar(c, 30, a));
    }
    centreDisc(p, c, 6.5);
}

// ---- stem habits ----------------------------------------------------------

void smallFlower(QPainter& p, const QPointF& c)
{
    for (int k = 0; k < 5; ++k)
        paintAt(p, c, -90 + 72 * k, spatulate(1, 8, 3.2), pen(Ink, 0.8), PetalFill);
    centreDisc(p, c, 2.2);
}

void uprightStem(QPainter& p) // 直立型
{
    ground(p, 90);
    p.setPen(pen(GroundInk, 0.8));
    p.drawLine(QPointF(50, 90), QPointF(44, 98));
    p.drawLine(QPointF(50, 90), QPointF(50, 99));
    p.drawLine(QPointF(50, 90), QPointF(57, 97));
    p.setPen(pen(StemInk, 1.6));
    p.drawLine(QPointF(50, 90), QPointF(50, 16));
    leafWithRib(p, QPointF(50, 76), -150, 24, 6);
    leafWithRib(p, QPointF(50, 62), -30, 24, 6);
    leafWithRib(p, QPointF(50, 48), -150, 21, 5.5);
    leafWithRib(p, QPointF(50, 34), -30, 18, 5);
    smallFlower(p, QPointF(50, 11));
}

void climbingStem(QPainter& p) // つる型: a vine twining up a stake
{
    ground(p, 92);
    struct Point {
        QPointF at;
        bool front;
    };
    std::vector<Point> helix;
    for (qreal y = 91; y >= 12; y -= 0.5) {
        const qreal phase = (91 - y) / 24.0 * 2 * Pi;
        helix.push_back({QPointF(50 + 14 * std::sin(phase), y), std::cos(phase) > 0});
    }
    auto strokes = [&](bool front) {
        for (size_t i = 1; i < helix.size(); ++i)
            if (helix[i].front == front && helix[i - 1].front == front)
                p.drawLine(helix[i - 1].at, helix[i].at);
    };
    p.setPen(pen(StemInk.lighter(130), 1.3));
    strokes(false);
    p.setPen(pen(StakeInk));
    p.setBrush(StakeFill);
    p.drawRect(QRectF(47, 8, 6, 84));
    p.setPen(pen(StemInk, 1.5));
    strokes(true);

    // heart-shaped leaves on short stalks, turned outwards
    const qreal leafY[] = {72, 48, 27};
    for (int i = 0; i < 3; ++i) {
        const qreal phase = (91 - leafY[i]) / 24.0 * 2 * Pi;
        const QPointF at(50 + 14 * std::sin(phase), leafY[i]);
        const bool right = at.x() >= 50;
        const QPointF base = at + QPointF(right ? 5 : -5, 2);
        p.setPen(pen(StemInk, 1.1));
        p.drawLine(at, base);
        paintAt(p, base, right ? 35 : 145, heart(19), pen(LeafInk), LeafFill);
    }
    // a tendril at the tip
    const QPointF tip = helix.back().at;
    QPainterPath curl(tip);
    curl.cubicTo(tip + QPointF(6, -4), tip + QPointF(8, -10), tip + QPointF(4, -10));
    curl.cubicTo(tip + QPointF(1, -10), tip + QPointF(1, -6), tip + QPointF(4, -6));
    p.setPen(pen(StemInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curl);
}

void basalLeaves(QPainter& p) // 葉が根元に: a rosette on the ground and a bare flower stalk
{
    ground(p, 90);
    p.setPen(pen(StemInk, 1.5));
    p.drawLine(QPointF(50, 88), QPointF(50, 18));
    const QPointF head(50, 14);
    for (int i = 0; i < 12; ++i)
        paintAt(p, head, i * 30, strap(3, 10, 1.8), pen(Ink, 0.7), PetalFill);
    centreDisc(p, head, 3);

    const QPointF base(50, 88);
    leafWithRib(p, base, -42, 25, 6);
    leafWithRib(p, base, 180 + 42, 25, 6);
    leafWithRib(p, base, -24, 34, 7);
    leafWithRib(p, base, 180 + 24, 34, 7);
    leafWithRib(p, base, -8, 42, 7);
    leafWithRib(p, base, 180 + 8, 42, 7);
}

// ---- leaf margins ---------------------------------------------------------

void leafMargin(QPainter& p, bool toothed)
{
    const qreal baseY = 82, tipY = 8, maxHalf = 28;
    auto halfWidth = [&](qreal t) { return maxHalf * std::sin(Pi * std::pow(t, 0.8)); };
    auto yAt = [&](qreal t) { return baseY - (baseY - tipY) * t; };

    // One side of the outline from base to tip; `side` is -1 (left) or +1.
    // A toothed margin replaces the smooth middle stretch with teeth that
    // lean towards the tip.
    auto outline = [&](int side) {
        std::vector<std::pair<qreal, qreal>> profile; // (t, offset from the smooth edge)
        const int steps = 40, teeth = 10;
        const qreal t0 = 0.12, t1 = 0.95;
        for (int i = 0; i <= steps; ++i) {
            const qreal t = qreal(i) / steps;
            if (!toothed || t <= t0)
                profile.emplace_back(t, 0);
        }
        if (toothed) {
            for (int k = 0; k < teeth; ++k) {
                const qreal a = t0 + (t1 - t0) * k / teeth;
                const qreal b = t0 + (t1 - t0) * (k + 1) / teeth;
                profile.emplace_back(a, -1.2);
                profile.emplace_back(a + (b - a) * 0.8, 3.2);
            }
            for (int i = 0; i <= steps; ++i) {
                const qreal t = qreal(i) / steps;
                if (t >= t1)
                    profile.emplace_back(t, 0);
            }
        }
        std::vector<QPointF> pts;
        for (const auto& [t, extra] : profile)
            pts.emplace_back(50 + side * (halfWidth(t) + (t > 0 && t < 1 ? extra : 0)), yAt(t));
        return pts;
    };
    std::vector<QPointF> left = outline(-1);
    std::vector<QPointF> right = outline(+1);
    QPolygonF shape;
    for (const QPointF& pt : left)
        shape << pt;
    for (auto it = right.rbegin(); it != right.rend(); ++it)
        shape << *it;

    p.setPen(pen(StemInk, 1.4));
    p.drawLine(QPointF(50, baseY), QPointF(50, 97));
    p.setPen(pen(LeafInk));
    p.setBrush(LeafFill);
    p.drawPolygon(shape);
    p.setPen(pen(VeinInk, 0.8));
    p.drawLine(QPointF(50, baseY), QPointF(50, tipY + 6));
    for (qreal t : {0.22, 0.42, 0.62}) {
        const qreal y = yAt(t);
        p.drawLine(QPointF(50, y), QPointF(50 - halfWidth(t + 0.12) * 0.75, yAt(t + 0.12)));
        p.drawLine(QPointF(50, y), QPointF(50 + halfWidth(t + 0.12) * 0.75, yAt(t + 0.12)));
    }
}

// ---- leaf forms -----------------------------------------------------------

void alternateLeaves(QPainter& p) // 互生
{
    p.setPen(pen(StemInk, 1.6));
    p.drawLine(QPointF(50, 97), QPointF(50, 8));
    leafWithRib(p, QPointF(50, 82), -150, 28, 7);
    leafWithRib(p, QPointF(50, 63), -30, 28, 7);
    leafWithRib(p, QPointF(50, 44), -150, 25, 6.5);
    leafWithRib(p, QPointF(50, 25), -30, 21, 5.5);
    leafWithRib(p, QPointF(50, 9), -100, 9, 3);
}

void oppositeLeaves(QPainter& p) // 対生
{
    p.setPen(pen(StemInk, 1.6));
    p.drawLine(QPointF(50, 97), QPointF(50, 8));
    const qreal nodes[] = {80, 53, 27};
    const qreal lengths[] = {28, 25, 20};
    for (int i = 0; i < 3; ++i) {
        leafWithRib(p, QPointF(50, nodes[i]), -155, lengths[i], 6.5);
        leafWithRib(p, QPointF(50, nodes[i]), -25, lengths[i], 6.5);
    }
    leafWithRib(p, QPointF(50, 9), -110, 8, 2.6);
    leafWithRib(p, QPointF(50, 9), -70, 8, 2.6);
}

void whorledLeaves(QPainter& p) // ３枚以上輪生: several leaves round each node, seen slightly from above
{
    const qreal nodes[] = {72, 34};
    const qreal lengths[] = {34, 28};
    auto whorl = [&](bool front) {
        for (int n = 0; n < 2; ++n) {
            for (int k = 0; k < 6; ++k) {
                const qreal az = (k * 60 + 15) * Pi / 180.0;
                const qreal dx = std::cos(az), dy = 0.38 * std::sin(az);
                if ((dy > 0) != front)
                    continue;
                const qreal len = lengths[n] * std::sqrt(dx * dx + dy * dy);
                const qreal deg = std::atan2(dy, dx) * 180.0 / Pi;
                leafWithRib(p, QPointF(50, nodes[n]), deg, len, 5.5);
            }
        }
    };
    whorl(false);
    p.setPen(pen(StemInk, 1.6));
    p.drawLine(QPointF(50, 97), QPointF(50, 8));
    whorl(true);
}

// A runcinate leaf along +x: lobes pointing back towards the base.
QPainterPath runcinate(qreal len)
{
    const qreal k = len / 46.0;
    const qreal lobeStart[] = {10, 18, 26, 33};
    const qreal lobeWidth[] = {7, 9, 9, 8};
    std::vector<QPointF> upper;
    upper.emplace_back(3 * k, 0);
    upper.emplace_back(8 * k, -2 * k);
    for (int i = 0; i < 4; ++i) {
        upper.emplace_back(lobeStart[i] * k, -2.4 * k);
        upper.emplace_back((lobeStart[i] - 1.5) * k, -lobeWidth[i] * k);
    }
    upper.emplace_back(38 * k, -2.6 * k);
    upper.emplace_back(40 * k, -7 * k);
    upper.emplace_back(47 * k, 0);
    QPainterPath path(upper.front());
    for (size_t i = 1; i < upper.size(); ++i)
        path.lineTo(upper[i]);
    for (size_t i = upper.size() - 1; i-- > 1;)
        path.lineTo(upper[i].x(), -upper[i].y());
    path.closeSubpath();
    return path;
}

void dandelionRosette(QPainter& p) // タンポポ型: a rosette of deeply lobed leaves, seen from above
{
    const QPointF c(50, 50);
    for (int k = 0; k < 6; ++k) {
        const qreal a = k * 60.0 - 90;
        paintAt(p, c, a, runcinate(46), pen(LeafInk), LeafFill);
        p.setPen(pen(VeinInk, 0.8));
        p.drawLine(polar(c, 4, a), polar(c, 40, a));
    }
    p.setPen(pen(StemInk));
    p.setBrush(SepalFill);
    p.drawEllipse(c, 4, 4);
}

void trifoliate(QPainter& p) // ３小葉: three leaflets on one stalk
{
    p.setPen(pen(StemInk, 1.6));
    p.drawLine(QPointF(50, 97), QPointF(50, 56));
    const QPointF at(50, 55);
    for (qreal a : {-90.0, -165.0, -15.0}) {
        paintAt(p, at, a, spatulate(1, 38, 12), pen(LeafInk), LeafFill);
        p.setPen(pen(VeinInk, 0.8));
        p.drawLine(polar(at, 2, a), polar(at, 34, a));
    }
}

void pinnateLeaf(QPainter& p) // 多数の複葉: many leaflets in pairs along one axis
{
    p.setPen(pen(StemInk, 1.4));
    p.drawLine(QPointF(50, 97), QPointF(50, 16));
    for (int i = 0; i < 6; ++i) {
        const qreal y = 84 - i * 13;
        const qreal len = 19 - i * 1.2;
        leafWithRib(p, QPointF(50, y), -168, len, 4.8);
        leafWithRib(p, QPointF(50, y), -12, len, 4.8);
    }
    leafWithRib(p, QPointF(50, 17), -90, 14, 4.5);
}

void plantainRosette(QPainter& p) // オオバコ型: broad leaves with parallel veins, flat on the ground
{
    const QPointF c(50, 50);
    for (int k = 0; k < 6; ++k) {
        const qreal a = k * 60.0 - 70;
        p.save();
        p.translate(c);
        p.rotate(a);
        p.setPen(pen(LeafInk));
        p.setBrush(LeafFill);
        QPainterPath stalk(QPointF(2, -1.4));
        stalk.lineTo(14, -2.4);
        stalk.lineTo(14, 2.4);
        stalk.lineTo(2, 1.4);
        stalk.closeSubpath();
        p.drawPath(stalk);
        p.drawPath(pointed(12, 47, 11));
        p.setPen(pen(VeinInk, 0.7));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(13, 0), QPointF(45, 0));
        for (int s : {-1, 1}) {
            for (qreal off : {4.0, 7.5}) {
                QPainterPath vein(QPointF(13, 0));
                vein.cubicTo(20, s * off * 1.2, 36, s * off * 1.2, 45, 0);
                p.drawPath(vein);
            }
        }
        p.restore();
    }
    p.setPen(pen(StemInk));
    p.setBrush(SepalFill);
    p.drawEllipse(c, 4, 4);
}

void narrowLeaves(QPainter& p) // 細長い葉: long narrow blades from the base
{
    ground(p, 92);
    const QPointF tips[] = {{10, 44}, {24, 16}, {44, 6}, {64, 10}, {80, 24}, {93, 50}};
    for (const QPointF& tip : tips) {
        const qreal lean = (tip.x() - 50) / 50.0;
        const QPointF base(50 + lean * 4, 91);
        const QPointF ctrl(50 + (tip.x() - 50) * 0.2, tip.y() + (91 - tip.y()) * 0.15);
        QPainterPath blade(base + QPointF(-2.6, 0));
        blade.quadTo(ctrl + QPointF(-2.2, 0), tip);
        blade.quadTo(ctrl + QPointF(2.2, 0), base + QPointF(2.6, 0));
        blade.closeSubpath();
        p.setPen(pen(LeafInk));
        p.setBrush(LeafFill);
        p.drawPath(blade);
    }
}

using Drawing = void (*)(QPainter&);

Drawing drawingFor(Subject subject, int value)
{
    switch (subject) {
    case Subject::FlowerShape:
        switch (value) {
        case 1: return funnelFlower;
        case 2: return compositeHead;
        case 3: return chickweedFlower;
        case 4: return grassSpike;
        case 5: return peaFlower;
        case 6: return twoLippedFlower;
        case 7: return tubularFlower;
        case 8: return [](QPainter& p) { radialFlower(p, 6); };
        case 9: return [](QPainter& p) { radialFlower(p, 4); };
        case 10: return [](QPainter& p) { radialFlower(p, 5); };
        default: return nullptr;
        }
    case Subject::StemHabit:
        switch (value) {
        case 1: return uprightStem;
        case 2: return climbingStem;
        case 3: return basalLeaves;
        default: return nullptr;
        }
    case Subject::LeafMargin:
        switch (value) {
        case 0: return [](QPainter& p) { leafMargin(p, true); };
        case 1: return [](QPainter& p) { leafMargin(p, false); };
        default: return nullptr;
        }
    case Subject::LeafShape:
        switch (value) {
        case 1: return alternateLeaves;
        case 2: return oppositeLeaves;
        case 3: return whorledLeaves;
        case 4: return dandelionRosette;
        case 5: return trifoliate;
        case 6: return pinnateLeaf;
        case 7: return plantainRosette;
        case 8: return narrowLeaves;
        default: return nullptr;
        }
    }
    return nullptr;
}

QPixmap glyph(const std::function<void(QPainter&)>& paint)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

bool hasDrawing(Subject subject, int value)
{
    return drawingFor(subject, value) != nullptr;
}

void draw(QPainter& painter, const QRectF& box, Subject subject, int value)
{
    const Drawing drawing = drawingFor(subject, value);
    if (!drawing || box.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = std::min(box.width(), box.height()) / 100.0;
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-50, -50);
    drawing(painter);
    painter.restore();
}

QImage illustration(Subject subject, int value, const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter, QRectF(QPointF(0, 0), QSizeF(size)), subject, value);
    painter.end();
    return image;
}

void drawCard(QPainter& painter, const QRectF& box, Subject subject, int value)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(186, 186, 186), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.restore();
    draw(painter, box.adjusted(3, 3, -3, -3), subject, value);
}

QPixmap okGlyph()
{
    return glyph([](QPainter& p) {
        QPen tick(QColor(0, 140, 40), 2.2);
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        p.setPen(tick);
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    });
}

QPixmap cancelGlyph()
{
    return glyph([](QPainter& p) {
        QPen cross(QColor(200, 30, 30), 2.0);
        cross.setCapStyle(Qt::RoundCap);
        p.setPen(cross);
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    });
}

QPixmap clearGlyph()
{
    return glyph([](QPainter& p) {
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.drawLine(QPointF(2, 14.5), QPointF(14, 14.5));
        p.translate(8, 8);
        p.rotate(-40);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(110, 150, 220));
        p.drawRect(QRectF(0, -3, 6, 6));
        p.setBrush(QColor(245, 170, 180));
        p.drawRect(QRectF(-6, -3, 6, 6));
    });
}

} // namespace padart
