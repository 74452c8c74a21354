// Flowers, flower heads, buds and flower clusters.
#include "parts.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <vector>

namespace {

const QColor SepalGreen(0x5e, 0x8e, 0x3e);

// A petal along -y from (0,-start) to (0,-len), `w` wide at its widest
// point, which lies at `widest` of its length. `q` < 1 rounds it, > 1
// sharpens it.
QPainterPath petalPath(double len, double w, double widest = 0.6, double q = 0.7, double start = 0.0)
{
    const double e = std::log(0.5) / std::log(std::clamp(widest, 0.05, 0.95));
    QPainterPath path;
    const int n = 40;
    path.moveTo(0, -start);
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n;
        const double h = 0.5 * w * std::pow(std::sin(Pi * std::pow(t, e)), q);
        path.lineTo(h, -(start + t * (len - start)));
    }
    for (int i = n - 1; i >= 1; --i) {
        const double t = double(i) / n;
        const double h = 0.5 * w * std::pow(std::sin(Pi * std::pow(t, e)), q);
        path.lineTo(-h, -(start + t * (len - start)));
    }
    path.closeSubpath();
    return path;
}

void fillPetal(QPainter& p, const QPainterPath& path, double len, const QColor& inner, const QColor& outer,
               const QColor& line, double lineWidth)
{
    QLinearGradient g(0, 0, 0, -len);
    g.setColorAt(0.0, inner);
    g.setColorAt(1.0, outer);
    p.setBrush(g);
    p.setPen(line.isValid() ? QPen(line, lineWidth) : QPen(Qt::NoPen));
    p.drawPath(path);
}

// n petals round the origin.
void ringOfPetals(QPainter& p, int n, double offset, double len, double w, double widest, double q,
                  const QColor& inner, const QColor& outer, const QColor& line, double lineWidth,
                  Rng* rng = nullptr, double start = 0.0)
{
    for (int k = 0; k < n; ++k) {
        p.save();
        const double jitter = rng ? rng->range(-4, 4) : 0.0;
        p.rotate(offset + 360.0 * k / n + jitter);
        const double l = rng ? rng->jitter(len, 0.05) : len;
        fillPetal(p, petalPath(l, w, widest, q, start), l, inner, outer, line, lineWidth);
        p.restore();
    }
}

void dot(QPainter& p, QPointF c, double r, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, r, r);
}

QColor outlineOf(const QColor& petal)
{
    return petal.lightness() > 200 ? QColor(0xa8, 0xa8, 0x9c) : petal.darker(140);
}

void sepals(QPainter& p, int n, double offset, double len, double w)
{
    ringOfPetals(p, n, offset, len, w, 0.35, 1.1, SepalGreen.darker(110), SepalGreen.lighter(115),
                 SepalGreen.darker(150), std::max(0.3, len * 0.02));
}

// --- individual forms, drawn at the origin in a frame already rotated ---

void chickweed(QPainter& p, const Species& s, double r)
{
    sepals(p, 5, 36, 0.95 * r, 0.32 * r);
    for (int k = 0; k < 5; ++k)
        for (int sgn = -1; sgn <= 1; sgn += 2) {
            p.save();
            p.rotate(72.0 * k + sgn * 10.0);
            const QPainterPath path = petalPath(0.86 * r, 0.22 * r, 0.62, 0.8, 0.05 * r);
            fillPetal(p, path, 0.86 * r, QColor(0xec, 0xf0, 0xe0), s.petal, outlineOf(s.petal), 0.012 * r);
            p.restore();
        }
    dot(p, QPointF(0, 0), 0.2 * r, QColor(0xb8, 0xc8, 0x70));
    for (int k = 0; k < 5; ++k)
        dot(p, dirVec(72.0 * k + 20) * 0.3 * r, 0.055 * r, s.accent);
    p.setPen(QPen(QColor(250, 250, 240), 0.03 * r, Qt::SolidLine, Qt::RoundCap));
    for (int k = 0; k < 3; ++k)
        p.drawLine(QPointF(0, 0), dirVec(120.0 * k) * 0.15 * r);
}

void star5(QPainter& p, const Species& s, double r)
{
    sepals(p, 5, 36, 0.82 * r, 0.42 * r);
    ringOfPetals(p, 5, 0, 0.78 * r, 0.5 * r, 0.55, 0.7, QColor(0xf0, 0xf2, 0xe6), s.petal, outlineOf(s.petal), 0.015 * r);
    dot(p, QPointF(0, 0), 0.22 * r, s.accent);
    for (int k = 0; k < 10; ++k)
        dot(p, dirVec(36.0 * k) * 0.2 * r, 0.04 * r, QColor(0xe8, 0xd0, 0x50));
}

void cross4(QPainter& p, const Species& s, double r)
{
    sepals(p, 4, 45, 0.5 * r, 0.3 * r);
    ringOfPetals(p, 4, 0, r, 0.66 * r, 0.72, 0.5, QColor(0xf0, 0xf4, 0xe4), s.petal, outlineOf(s.petal), 0.015 * r);
    dot(p, QPointF(0, 0), 0.2 * r, s.accent);
    for (int k = 0; k < 6; ++k)
        dot(p, dirVec(60.0 * k + 30) * 0.17 * r, 0.05 * r, QColor(0xf0, 0xd8, 0x40));
}

void speedwell(QPainter& p, const Species& s, double r)
{
    struct P { double a, len, w; };
    const P ps[4] = {{180, 0.66, 0.5}, {-88, 0.9, 0.82}, {88, 0.9, 0.82}, {0, 1.0, 0.95}};
    for (const P& q : ps) {
        p.save();
        p.rotate(q.a);
        const QPainterPath path = petalPath(q.len * r, q.w * r, 0.62, 0.5);
        QRadialGradient g(QPointF(0, 0), q.len * r);
        g.setColorAt(0.0, QColor(250, 252, 255));
        g.setColorAt(0.28, s.petal.lighter(125));
        g.setColorAt(0.6, s.petal);
        g.setColorAt(1.0, s.petal.darker(108));
        p.setBrush(g);
        p.setPen(QPen(s.petal.darker(130), 0.012 * r));
        p.drawPath(path);
        QColor vein = s.accent;
        vein.setAlpha(170);
        p.setPen(QPen(vein, 0.022 * r, Qt::SolidLine, Qt::RoundCap));
        for (int i = -2; i <= 2; ++i) {
            const double spread = i * 0.1 * q.w * r;
            QPainterPath v;
            v.moveTo(0, -0.12 * r);
            v.quadTo(spread * 0.6, -0.4 * q.len * r, spread, -0.72 * q.len * r);
            p.setBrush(Qt::NoBrush);
            p.drawPath(v);
        }
        p.restore();
    }
    dot(p, QPointF(0, 0), 0.14 * r, QColor(250, 250, 246));
    p.setPen(QPen(QColor(235, 238, 245), 0.03 * r, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 0), QPointF(-0.34 * r, -0.32 * r));
    p.drawLine(QPointF(0, 0), QPointF(0.34 * r, -0.32 * r));
    dot(p, QPointF(-0.34 * r, -0.32 * r), 0.06 * r, QColor(0xe8, 0xe4, 0xf4));
    dot(p, QPointF(0.34 * r, -0.32 * r), 0.06 * r, QColor(0xe8, 0xe4, 0xf4));
    dot(p, QPointF(0, -0.1 * r), 0.035 * r, QColor(0xc8, 0xd8, 0xe8));
}

QPainterPath liguleePath(double len, double w)
{
    QPainterPath path;
    path.moveTo(-0.15 * w, 0);
    path.lineTo(-0.5 * w, -0.35 * len);
    path.lineTo(-0.5 * w, -0.95 * len);
    const int teeth = 5;
    for (int i = 0; i < teeth; ++i) {
        const double x0 = -0.5 * w + w * i / teeth;
        path.lineTo(x0 + 0.5 * w / teeth, -len);
        path.lineTo(x0 + w / teeth, -0.95 * len);
    }
    path.lineTo(0.5 * w, -0.35 * len);
    path.lineTo(0.15 * w, 0);
    path.closeSubpath();
    return path;
}

void dandelion(QPainter& p, const Species& s, double r, Rng& rng)
{
    struct Ring { int n; double len, w, rot; double shade; };
    const Ring rings[4] = {{30, 1.0, 0.16, 0, 0.0}, {24, 0.8, 0.15, 6, 0.12}, {18, 0.58, 0.14, 3, 0.25}, {11, 0.36, 0.13, 9, 0.45}};
    for (const Ring& ring : rings) {
        const QColor outer = mix(s.petal, s.accent, ring.shade);
        for (int k = 0; k < ring.n; ++k) {
            p.save();
            p.rotate(ring.rot + 360.0 * k / ring.n + rng.range(-3, 3));
            const double len = rng.jitter(ring.len * r, 0.05);
            fillPetal(p, liguleePath(len, ring.w * r), len, s.accent, outer.lighter(106), s.petal.darker(128), 0.008 * r);
            p.restore();
        }
    }
    dot(p, QPointF(0, 0), 0.13 * r, s.accent.darker(108));
    for (int i = 0; i < 14; ++i)
        dot(p, dirVec(i * 137.5) * 0.1 * r * std::sqrt(i / 14.0), 0.02 * r, s.accent.darker(135));
}

void discFlorets(QPainter& p, double discR, const QColor& colour)
{
    QRadialGradient g(QPointF(-0.2 * discR, -0.2 * discR), discR * 1.2);
    g.setColorAt(0.0, colour.lighter(125));
    g.setColorAt(0.7, colour);
    g.setColorAt(1.0, colour.darker(120));
    p.setBrush(g);
    p.setPen(QPen(colour.darker(140), discR * 0.03));
    p.drawEllipse(QPointF(0, 0), discR, discR);
    const int n = 70;
    for (int i = 1; i < n; ++i) {
        const double rr = discR * 0.92 * std::sqrt(double(i) / n);
        dot(p, dirVec(i * 137.508) * rr, discR * 0.055, (i % 2) ? colour.darker(122) : colour.lighter(115));
    }
}

void daisy(QPainter& p, const Species& s, double r, Rng& rng)
{
    const int n = std::max(8, s.petals);
    const double w = std::min(0.3 * r, 2 * Pi * r * 0.7 / n);
    const double discR = n >= 40 ? 0.28 * r : (n <= 14 ? 0.36 * r : 0.3 * r);
    for (int k = 0; k < n; ++k) {
        p.save();
        p.rotate(360.0 * k / n + rng.range(-2.5, 2.5));
        const double len = rng.jitter(r, 0.06);
        QPainterPath path = petalPath(len, w, 0.55, n <= 14 ? 0.55 : 0.75, 0.0);
        fillPetal(p, path, len, mix(s.petal, s.accent, 0.15), s.petal.lighter(104), outlineOf(s.petal), 0.01 * r);
        if (n <= 14) {
            // a small notch at the tip of broad rays
            p.setPen(QPen(outlineOf(s.petal), 0.012 * r));
            p.drawLine(QPointF(0, -len), QPointF(0, -len * 0.9));
        }
        p.restore();
    }
    discFlorets(p, discR, s.accent);
}

void headFromSide(QPainter& p, const Species& s, double r, Rng& rng, bool reflexed)
{
    // involucre under a tilted head
    p.save();
    QPainterPath cup;
    cup.moveTo(-0.3 * r, 0.05 * r);
    cup.quadTo(-0.25 * r, 0.45 * r, 0, 0.5 * r);
    cup.quadTo(0.25 * r, 0.45 * r, 0.3 * r, 0.05 * r);
    cup.closeSubpath();
    p.setBrush(SepalGreen);
    p.setPen(QPen(SepalGreen.darker(140), 0.015 * r));
    p.drawPath(cup);
    if (reflexed) {
        p.setPen(QPen(SepalGreen.darker(110), 0.05 * r, Qt::SolidLine, Qt::RoundCap));
        for (int k = -3; k <= 3; ++k) {
            QPainterPath b;
            b.moveTo(k * 0.07 * r, 0.4 * r);
            b.quadTo(k * 0.12 * r, 0.55 * r, k * 0.16 * r, 0.75 * r);
            p.setBrush(Qt::NoBrush);
            p.drawPath(b);
        }
    }
    p.restore();
    p.save();
    p.scale(1.0, 0.42);
    if (s.form == Form::Dandelion)
        dandelion(p, s, r, rng);
    else
        daisy(p, s, r, rng);
    p.restore();
}

void thistle(QPainter& p, const Species& s, double r, Rng& rng)
{
    // back tubes
    auto tubes = [&](int n, const QColor& c, double lenScale) {
        for (int i = 0; i < n; ++i) {
            const double u = rng.range(-1, 1);
            const QPointF base(u * 0.38 * r, -0.02 * r);
            const double a = u * 58 + rng.range(-6, 6);
            const double len = (0.95 - 0.25 * std::fabs(u)) * r * lenScale * rng.range(0.85, 1.05);
            const QPointF tip = base + dirVec(a) * len;
            p.setPen(QPen(c, 0.035 * r, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(base, tip);
            dot(p, tip, 0.022 * r, c.lighter(150));
        }
    };
    tubes(60, s.petal.darker(125), 0.92);
    tubes(70, s.petal, 1.0);
    // the globe of bracts
    QRadialGradient g(QPointF(-0.12 * r, 0.2 * r), 0.55 * r);
    g.setColorAt(0.0, s.accent.lighter(135));
    g.setColorAt(1.0, s.accent.darker(115));
    p.setBrush(g);
    p.setPen(QPen(s.accent.darker(150), 0.015 * r));
    p.drawEllipse(QRectF(-0.42 * r, -0.08 * r, 0.84 * r, 0.7 * r));
    p.setBrush(Qt::NoBrush);
    for (int row = 0; row < 4; ++row) {
        const double y = 0.04 * r + row * 0.14 * r;
        const double half = 0.38 * r * std::sqrt(std::max(0.05, 1.0 - std::pow((y - 0.27 * r) / (0.37 * r), 2)));
        const int n = 5 - (row == 3 ? 2 : 0);
        for (int i = 0; i < n; ++i) {
            const double x = -half + (2 * half) * (i + 0.5 * (row % 2)) / n;
            p.setPen(QPen(s.accent.darker(140), 0.012 * r));
            QPainterPath arc;
            arc.moveTo(x - 0.07 * r, y + 0.05 * r);
            arc.quadTo(x, y - 0.06 * r, x + 0.07 * r, y + 0.05 * r);
            p.drawPath(arc);
            dot(p, QPointF(x, y - 0.02 * r), 0.015 * r, QColor(0x5a, 0x2a, 0x3a));
        }
    }
}

void thistleFront(QPainter& p, const Species& s, double r, Rng& rng)
{
    for (int i = 0; i < 220; ++i) {
        const double a = rng.range(0, 360);
        const double len = r * std::sqrt(rng.uniform());
        const QColor c = mix(s.petal.darker(130), s.petal.lighter(120), len / r);
        p.setPen(QPen(c, 0.03 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(dirVec(a) * len * 0.3, dirVec(a) * len);
        dot(p, dirVec(a) * len, 0.02 * r, c.lighter(140));
    }
}

void butterbur(QPainter& p, const Species& s, double r, Rng& rng)
{
    auto bract = [&](double a, double len, double w, double shade) {
        p.save();
        p.rotate(a);
        QPainterPath path = petalPath(len, w, 0.45, 0.9);
        fillPetal(p, path, len, s.accent.darker(110 + int(shade * 20)), s.accent.lighter(112),
                  s.accent.darker(150), 0.012 * r);
        p.setPen(QPen(s.accent.lighter(130), 0.012 * r));
        p.drawLine(QPointF(0, -0.05 * len), QPointF(0, -0.85 * len));
        p.restore();
    };
    for (double a : {-70.0, 70.0, -40.0, 40.0})
        bract(a, 0.95 * r, 0.55 * r, 0.5);
    std::vector<QPointF> heads;
    for (int i = 0; i < 16; ++i) {
        const double rr = 0.45 * r * std::sqrt(i / 16.0);
        const QPointF c = dirVec(i * 137.5) * rr;
        heads.emplace_back(c.x(), c.y() * 0.75 - 0.35 * r);
    }
    std::sort(heads.begin(), heads.end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    for (QPointF c : heads) {
        const double hr = 0.14 * r * rng.range(0.9, 1.1);
        QRadialGradient g(c + QPointF(-0.3 * hr, -0.3 * hr), hr * 1.3);
        g.setColorAt(0.0, s.petal.lighter(108));
        g.setColorAt(1.0, s.petal.darker(112));
        p.setBrush(g);
        p.setPen(QPen(s.petal.darker(135), 0.008 * r));
        p.drawEllipse(c, hr, hr);
        for (int k = 0; k < 6; ++k)
            dot(p, c + dirVec(60.0 * k) * hr * 0.55, hr * 0.14, QColor(0xe6, 0xdc, 0x9a));
    }
    for (double a : {-20.0, 20.0, 0.0}) {
        p.save();
        p.translate(0, 0.25 * r);
        bract(a, 0.7 * r, 0.5 * r, 0.0);
        p.restore();
    }
}

QPainterPath starPath(int n, double rTip, double rSinus, double bulge)
{
    QPainterPath path;
    for (int k = 0; k < n; ++k) {
        const double a = 360.0 * k / n;
        const QPointF tip = dirVec(a) * rTip;
        if (k == 0)
            path.moveTo(tip);
        const QPointF c1 = dirVec(a + 180.0 / n * 0.55) * rTip * bulge;
        const QPointF sinus = dirVec(a + 180.0 / n) * rSinus;
        const QPointF c2 = dirVec(a + 180.0 / n * 1.45) * rTip * bulge;
        const QPointF next = dirVec(a + 360.0 / n) * rTip;
        path.quadTo(c1, sinus);
        path.quadTo(c2, next);
    }
    path.closeSubpath();
    return path;
}

void openBell(QPainter& p, const Species& s, double r)
{
    const QPainterPath star = starPath(5, r, 0.52 * r, 0.92);
    QRadialGradient g(QPointF(0, 0), r);
    g.setColorAt(0.0, mix(s.petal, Qt::white, 0.55));
    g.setColorAt(0.45, s.petal.lighter(108));
    g.setColorAt(1.0, s.petal.darker(108));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(140), 0.012 * r));
    p.drawPath(star);
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 5; ++k) {
        QColor v = s.accent;
        v.setAlpha(190);
        p.setPen(QPen(v, 0.022 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(dirVec(72.0 * k) * 0.12 * r, dirVec(72.0 * k) * 0.88 * r);
        v.setAlpha(90);
        p.setPen(QPen(v, 0.012 * r));
        for (int sgn = -1; sgn <= 1; sgn += 2)
            p.drawLine(dirVec(72.0 * k) * 0.2 * r, dirVec(72.0 * k + sgn * 14) * 0.7 * r);
    }
    for (int k = 0; k < 5; ++k) {
        p.setPen(QPen(QColor(0xf4, 0xf0, 0xd8), 0.035 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), dirVec(72.0 * k + 36) * 0.12 * r);
    }
    dot(p, QPointF(0, 0), 0.06 * r, QColor(0xf8, 0xf4, 0xe0));
}

void hangingBell(QPainter& p, const Species& s, double r, bool spotted, bool longStyle)
{
    // calyx
    p.save();
    p.translate(0, -0.95 * r);
    for (int k = -2; k <= 2; ++k) {
        p.save();
        p.rotate(180 + k * 28);
        fillPetal(p, petalPath(0.32 * r, 0.09 * r, 0.3, 1.0), 0.32 * r, SepalGreen, SepalGreen.lighter(115),
                  SepalGreen.darker(140), 0.01 * r);
        p.restore();
    }
    p.restore();
    QPainterPath body;
    body.moveTo(-0.2 * r, -r);
    body.cubicTo(-0.5 * r, -0.92 * r, -0.5 * r, -0.1 * r, -0.48 * r, 0.3 * r);
    body.quadTo(-0.47 * r, 0.48 * r, -0.54 * r, 0.55 * r);
    body.lineTo(-0.76 * r, 0.8 * r);
    body.lineTo(-0.44 * r, 0.7 * r);
    body.lineTo(-0.24 * r, 0.9 * r);
    body.lineTo(0.0, 0.74 * r);
    body.lineTo(0.24 * r, 0.9 * r);
    body.lineTo(0.44 * r, 0.7 * r);
    body.lineTo(0.76 * r, 0.8 * r);
    body.lineTo(0.54 * r, 0.55 * r);
    body.quadTo(0.47 * r, 0.48 * r, 0.48 * r, 0.3 * r);
    body.cubicTo(0.5 * r, -0.1 * r, 0.5 * r, -0.92 * r, 0.2 * r, -r);
    body.quadTo(0.0, -1.08 * r, -0.2 * r, -r);
    body.closeSubpath();
    QLinearGradient g(-0.6 * r, 0, 0.6 * r, 0);
    g.setColorAt(0.0, s.petal.darker(118));
    g.setColorAt(0.35, s.petal.lighter(110));
    g.setColorAt(1.0, s.petal.darker(112));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(145), 0.015 * r));
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    QColor vein = s.petal.darker(125);
    vein.setAlpha(150);
    p.setPen(QPen(vein, 0.014 * r));
    for (int k = -2; k <= 2; ++k) {
        QPainterPath v;
        v.moveTo(k * 0.07 * r, -0.95 * r);
        v.quadTo(k * 0.16 * r, 0.0, k * 0.26 * r, 0.7 * r);
        p.drawPath(v);
    }
    if (spotted) {
        Rng spots(7);
        for (int i = 0; i < 30; ++i) {
            const double y = spots.range(0.25, 0.72) * r;
            const double half = 0.3 * r + (y / r) * 0.25 * r;
            dot(p, QPointF(spots.range(-half, half), y), spots.range(0.015, 0.03) * r, s.accent);
        }
    }
    if (longStyle) {
        p.setPen(QPen(mix(s.petal, Qt::white, 0.5), 0.04 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0.6 * r), QPointF(0.02 * r, 1.22 * r));
        dot(p, QPointF(0.02 * r, 1.24 * r), 0.055 * r, mix(s.petal, Qt::white, 0.3));
    }
}

void uprightTube(QPainter& p, const Species& s, double r)
{
    // calyx
    p.save();
    p.translate(0, 0.85 * r);
    for (int k = -2; k <= 2; ++k) {
        p.save();
        p.rotate(k * 12);
        fillPetal(p, petalPath(0.55 * r, 0.08 * r, 0.3, 1.0), 0.55 * r, SepalGreen.darker(110), SepalGreen,
                  SepalGreen.darker(140), 0.01 * r);
        p.restore();
    }
    p.restore();
    QPainterPath tube;
    tube.moveTo(-0.1 * r, 0.85 * r);
    tube.cubicTo(-0.13 * r, 0.3 * r, -0.36 * r, -0.2 * r, -0.4 * r, -0.6 * r);
    tube.quadTo(-0.5 * r, -0.72 * r, -0.64 * r, -0.9 * r);
    tube.quadTo(-0.42 * r, -0.8 * r, -0.28 * r, -0.72 * r);
    tube.lineTo(-0.2 * r, -0.8 * r);
    tube.lineTo(-0.14 * r, -0.76 * r);
    tube.quadTo(-0.06 * r, -0.86 * r, 0.0, -1.04 * r);
    tube.quadTo(0.06 * r, -0.86 * r, 0.14 * r, -0.76 * r);
    tube.lineTo(0.2 * r, -0.8 * r);
    tube.lineTo(0.28 * r, -0.72 * r);
    tube.quadTo(0.42 * r, -0.8 * r, 0.64 * r, -0.9 * r);
    tube.quadTo(0.5 * r, -0.72 * r, 0.4 * r, -0.6 * r);
    tube.cubicTo(0.36 * r, -0.2 * r, 0.13 * r, 0.3 * r, 0.1 * r, 0.85 * r);
    tube.closeSubpath();
    QLinearGradient g(-0.45 * r, 0, 0.45 * r, 0);
    g.setColorAt(0.0, s.petal.darker(118));
    g.setColorAt(0.38, s.petal.lighter(125));
    g.setColorAt(1.0, s.petal.darker(112));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(145), 0.015 * r));
    p.drawPath(tube);
    p.setBrush(Qt::NoBrush);
    QColor stripe = s.petal.darker(125);
    stripe.setAlpha(170);
    p.setPen(QPen(stripe, 0.02 * r));
    for (int k = -1; k <= 1; ++k) {
        QPainterPath v;
        v.moveTo(k * 0.08 * r, 0.8 * r);
        v.quadTo(k * 0.2 * r, 0.0, k * 0.3 * r, -0.7 * r);
        p.drawPath(v);
    }
    // the open mouth
    p.setBrush(mix(s.petal, Qt::white, 0.35));
    p.setPen(QPen(s.petal.darker(130), 0.012 * r));
    p.drawEllipse(QRectF(-0.3 * r, -0.8 * r, 0.6 * r, 0.16 * r));
    for (int i = 0; i < 7; ++i)
        dot(p, QPointF(-0.2 * r + i * 0.065 * r, -0.72 * r + ((i % 2) ? 0.02 : -0.02) * r), 0.018 * r, s.accent);
}

void uprightTubeFront(QPainter& p, const Species& s, double r)
{
    const QPainterPath star = starPath(5, r, 0.62 * r, 0.85);
    QRadialGradient g(QPointF(0, 0), r);
    g.setColorAt(0.0, mix(s.petal, Qt::white, 0.5));
    g.setColorAt(0.4, s.petal.lighter(115));
    g.setColorAt(1.0, s.petal);
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(140), 0.012 * r));
    p.drawPath(star);
    // pleats between the lobes
    for (int k = 0; k < 5; ++k) {
        const QPointF a = dirVec(72.0 * k + 36) * 0.62 * r;
        const QPointF b = dirVec(72.0 * k + 36) * 0.74 * r;
        p.setPen(QPen(s.petal.darker(125), 0.02 * r));
        p.drawLine(a, b);
    }
    QRadialGradient throat(QPointF(0, 0), 0.4 * r);
    throat.setColorAt(0.0, QColor(0xe8, 0xee, 0xf4));
    throat.setColorAt(1.0, mix(s.petal, Qt::white, 0.4));
    p.setBrush(throat);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 0), 0.38 * r, 0.38 * r);
    for (int k = 0; k < 5; ++k)
        for (int i = 1; i <= 4; ++i)
            dot(p, dirVec(72.0 * k + 36) * (0.08 + 0.07 * i) * r, 0.02 * r, s.accent);
    dot(p, QPointF(0, 0), 0.07 * r, QColor(0xf0, 0xf0, 0xe8));
}

void funnelFront(QPainter& p, const Species& s, double r)
{
    QPainterPath rim;
    for (int i = 0; i <= 100; ++i) {
        const double a = 360.0 * i / 100;
        const double rr = r * (1.0 + 0.045 * std::cos(rad(5 * a)));
        const QPointF pt = dirVec(a) * rr;
        if (i == 0)
            rim.moveTo(pt);
        else
            rim.lineTo(pt);
    }
    QRadialGradient g(QPointF(0, 0), r);
    g.setColorAt(0.0, s.accent);
    g.setColorAt(0.28, s.accent);
    g.setColorAt(0.62, s.petal);
    g.setColorAt(1.0, s.petal.lighter(104));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(130), 0.012 * r));
    p.drawPath(rim);
    for (int k = 0; k < 5; ++k) {
        QColor band = s.petal.darker(112);
        band.setAlpha(120);
        p.save();
        p.rotate(72.0 * k);
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.drawPath(petalPath(r, 0.16 * r, 0.8, 0.6, 0.15 * r));
        p.restore();
        QColor fold(255, 255, 255, 90);
        p.setPen(QPen(fold, 0.012 * r));
        p.drawLine(dirVec(72.0 * k + 36) * 0.3 * r, dirVec(72.0 * k + 36) * 0.95 * r);
    }
    dot(p, QPointF(0, 0), 0.12 * r, QColor(0xf6, 0xf2, 0xe0));
    for (int k = 0; k < 5; ++k)
        dot(p, dirVec(72.0 * k + 10) * 0.06 * r, 0.03 * r, QColor(0xfa, 0xfa, 0xf0));
}

void funnelSide(QPainter& p, const Species& s, double r)
{
    // the trumpet opens towards -y
    QPainterPath tube;
    tube.moveTo(-0.1 * r, 0.6 * r);
    tube.cubicTo(-0.14 * r, 0.1 * r, -0.5 * r, -0.35 * r, -0.92 * r, -0.55 * r);
    tube.lineTo(0.92 * r, -0.55 * r);
    tube.cubicTo(0.5 * r, -0.35 * r, 0.14 * r, 0.1 * r, 0.1 * r, 0.6 * r);
    tube.closeSubpath();
    QLinearGradient g(-0.9 * r, 0, 0.9 * r, 0);
    g.setColorAt(0.0, s.petal.darker(112));
    g.setColorAt(0.4, mix(s.petal, Qt::white, 0.4));
    g.setColorAt(1.0, s.petal.darker(108));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(135), 0.015 * r));
    p.drawPath(tube);
    p.save();
    p.translate(0, -0.55 * r);
    p.scale(1.0, 0.34);
    funnelFront(p, s, 0.93 * r);
    p.restore();
    // bracts at the base
    for (int sgn = -1; sgn <= 1; sgn += 2) {
        p.save();
        p.translate(0, 0.7 * r);
        p.rotate(sgn * 14);
        fillPetal(p, petalPath(0.42 * r, 0.3 * r, 0.5, 0.8), 0.42 * r, SepalGreen.darker(105), SepalGreen.lighter(112),
                  SepalGreen.darker(150), 0.012 * r);
        p.restore();
    }
}

void pea(QPainter& p, const Species& s, double r, const QColor& petal)
{
    // drawn pointing to +x, the standard rising behind
    QPainterPath calyx;
    calyx.moveTo(-0.55 * r, -0.08 * r);
    calyx.lineTo(-0.12 * r, -0.14 * r);
    calyx.lineTo(-0.02 * r, -0.05 * r);
    calyx.lineTo(-0.1 * r, 0.02 * r);
    calyx.lineTo(0.0, 0.1 * r);
    calyx.lineTo(-0.12 * r, 0.12 * r);
    calyx.lineTo(-0.55 * r, 0.08 * r);
    calyx.closeSubpath();
    p.setBrush(SepalGreen);
    p.setPen(QPen(SepalGreen.darker(140), 0.012 * r));
    p.drawPath(calyx);
    p.save();
    p.translate(-0.12 * r, -0.05 * r);
    p.rotate(-18);
    const QPainterPath standard = petalPath(0.95 * r, 0.82 * r, 0.68, 0.55);
    fillPetal(p, standard, 0.95 * r, petal.darker(112), petal.lighter(108), petal.darker(140), 0.012 * r);
    if (s.form == Form::Pea && s.accent.hue() >= 40 && s.accent.hue() <= 70 && s.accent.saturation() > 100) {
        p.setPen(Qt::NoPen);
        p.setBrush(s.accent);
        p.drawEllipse(QPointF(0.02 * r, -0.3 * r), 0.12 * r, 0.18 * r);
    }
    QColor vein = petal.darker(135);
    vein.setAlpha(150);
    p.setPen(QPen(vein, 0.014 * r));
    p.setBrush(Qt::NoBrush);
    for (int k = -2; k <= 2; ++k) {
        QPainterPath v;
        v.moveTo(0, -0.1 * r);
        v.quadTo(k * 0.1 * r, -0.45 * r, k * 0.2 * r, -0.8 * r);
        p.drawPath(v);
    }
    p.restore();
    QPainterPath keel;
    keel.moveTo(-0.05 * r, 0.02 * r);
    keel.cubicTo(0.2 * r, 0.22 * r, 0.55 * r, 0.2 * r, 0.7 * r, -0.02 * r);
    keel.cubicTo(0.5 * r, 0.02 * r, 0.2 * r, -0.02 * r, -0.05 * r, -0.06 * r);
    keel.closeSubpath();
    p.setBrush(mix(petal, Qt::white, 0.35));
    p.setPen(QPen(petal.darker(140), 0.012 * r));
    p.drawPath(keel);
    QPainterPath wing;
    wing.moveTo(-0.05 * r, -0.06 * r);
    wing.cubicTo(0.15 * r, -0.32 * r, 0.55 * r, -0.25 * r, 0.58 * r, -0.06 * r);
    wing.cubicTo(0.45 * r, 0.08 * r, 0.15 * r, 0.06 * r, -0.05 * r, 0.02 * r);
    wing.closeSubpath();
    p.setBrush(petal.darker(105));
    p.drawPath(wing);
}

void cloverHead(QPainter& p, const Species& s, double r, Rng& rng)
{
    const bool white = s.petal.lightness() > 200;
    QRadialGradient shade(QPointF(0, 0.15 * r), r);
    shade.setColorAt(0.0, s.petal.darker(110));
    shade.setColorAt(1.0, s.petal.darker(140));
    p.setBrush(shade);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 0), 0.78 * r, 0.78 * r);
    const int n = 54;
    struct F { QPointF at; double a; bool old; };
    std::vector<F> fl;
    for (int i = n - 1; i >= 0; --i) {
        const double rr = 0.68 * r * std::sqrt((i + 0.5) / n);
        const double a = i * 137.508;
        const QPointF at = dirVec(a) * rr;
        const bool old = white && at.y() > 0.35 * r && rr > 0.5 * r;
        fl.push_back({at, a, old});
    }
    for (const F& f : fl) {
        p.save();
        p.translate(f.at * 0.55);
        double a = f.a + rng.range(-12, 12);
        if (f.old)
            a = 180 + rng.range(-25, 25);
        p.rotate(a);
        const double len = 0.42 * r * rng.range(0.9, 1.1);
        const QColor c = f.old ? s.accent : s.petal;
        fillPetal(p, petalPath(len, 0.17 * r, 0.65, 0.6), len, c.darker(115), c.lighter(106), c.darker(145), 0.008 * r);
        p.restore();
    }
}

void lipped(QPainter& p, const Species& s, double r)
{
    // a slender tube rising along -y from the calyx, the hood on top and the
    // spotted lower lip leaning forwards (+x)
    QPainterPath calyx;
    calyx.moveTo(-0.07 * r, 0.05 * r);
    calyx.lineTo(-0.09 * r, -0.2 * r);
    calyx.lineTo(-0.04 * r, -0.3 * r);
    calyx.lineTo(0.0, -0.2 * r);
    calyx.lineTo(0.04 * r, -0.3 * r);
    calyx.lineTo(0.09 * r, -0.2 * r);
    calyx.lineTo(0.07 * r, 0.05 * r);
    calyx.closeSubpath();
    p.setBrush(SepalGreen);
    p.setPen(QPen(SepalGreen.darker(140), 0.012 * r));
    p.drawPath(calyx);
    QPainterPath tube;
    tube.moveTo(-0.035 * r, -0.15 * r);
    tube.cubicTo(-0.04 * r, -0.5 * r, -0.05 * r, -0.7 * r, -0.02 * r, -0.82 * r);
    tube.lineTo(0.1 * r, -0.8 * r);
    tube.cubicTo(0.07 * r, -0.68 * r, 0.05 * r, -0.5 * r, 0.035 * r, -0.15 * r);
    tube.closeSubpath();
    QLinearGradient g(-0.05 * r, 0, 0.08 * r, 0);
    g.setColorAt(0.0, s.petal.darker(110));
    g.setColorAt(0.5, s.petal.lighter(118));
    g.setColorAt(1.0, s.petal.darker(106));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(140), 0.01 * r));
    p.drawPath(tube);
    // lower lip: a small lobe each side and a broad notched middle lobe
    QPainterPath lower;
    lower.moveTo(0.06 * r, -0.8 * r);
    lower.cubicTo(0.16 * r, -0.86 * r, 0.26 * r, -0.86 * r, 0.3 * r, -0.8 * r);
    lower.cubicTo(0.42 * r, -0.86 * r, 0.5 * r, -0.76 * r, 0.44 * r, -0.68 * r);
    lower.cubicTo(0.4 * r, -0.62 * r, 0.34 * r, -0.64 * r, 0.3 * r, -0.68 * r);
    lower.cubicTo(0.22 * r, -0.62 * r, 0.12 * r, -0.66 * r, 0.08 * r, -0.72 * r);
    lower.closeSubpath();
    p.setBrush(s.petal.lighter(112));
    p.setPen(QPen(s.petal.darker(140), 0.01 * r));
    p.drawPath(lower);
    for (int i = 0; i < 4; ++i)
        dot(p, QPointF((0.2 + 0.055 * i) * r, (-0.77 + 0.012 * (i % 2)) * r), 0.018 * r, s.accent);
    // the hood, arching forwards and hairy on top
    QPainterPath hood;
    hood.moveTo(-0.03 * r, -0.8 * r);
    hood.cubicTo(-0.08 * r, -1.08 * r, 0.22 * r, -1.14 * r, 0.26 * r, -0.92 * r);
    hood.cubicTo(0.2 * r, -0.92 * r, 0.14 * r, -0.88 * r, 0.1 * r, -0.8 * r);
    hood.closeSubpath();
    QLinearGradient hg(0, -1.05 * r, 0, -0.8 * r);
    hg.setColorAt(0.0, s.petal.lighter(108));
    hg.setColorAt(1.0, s.petal.darker(112));
    p.setBrush(hg);
    p.drawPath(hood);
    p.setPen(QPen(s.petal.lighter(150), 0.008 * r));
    for (int i = 0; i < 10; ++i) {
        const QPointF at = hood.pointAtPercent(0.04 + 0.04 * i);
        p.drawLine(at, at + QPointF(-0.015 * r, -0.035 * r));
    }
}

void lily(QPainter& p, const Species& s, double r, Rng& rng)
{
    for (int k = 0; k < 6; ++k) {
        const bool outer = k % 2 == 0;
        p.save();
        p.rotate(60.0 * k + rng.range(-4, 4));
        const double len = r * (outer ? 0.98 : 1.0);
        const double w = r * (outer ? 0.3 : 0.4);
        const QPainterPath path = petalPath(len, w, 0.36, 0.85);
        fillPetal(p, path, len, QColor(0xf4, 0xf2, 0xe2), s.petal, QColor(0xb8, 0xb4, 0xa4), 0.008 * r);
        QColor band = s.accent;
        band.setAlpha(200);
        fillPetal(p, petalPath(len * 0.85, w * 0.22, 0.4, 0.9), len * 0.85, band, QColor(band.red(), band.green(), band.blue(), 20),
                  QColor(), 0);
        Rng spots(quint64(1000 + k));
        for (int i = 0; i < 16; ++i) {
            const double t = spots.range(0.12, 0.62);
            const double half = 0.5 * w * std::pow(std::sin(Pi * std::pow(t, std::log(0.5) / std::log(0.36))), 0.85);
            const double x = spots.range(-0.8, 0.8) * half;
            if (std::fabs(x) < 0.1 * w)
                continue;
            dot(p, QPointF(x, -t * len), spots.range(0.012, 0.024) * r, QColor(0xa8, 0x40, 0x2a));
        }
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k < 6; ++k) {
        const double a = 60.0 * k + 30 + rng.range(-8, 8);
        QPainterPath f;
        f.moveTo(0, 0);
        const QPointF end = dirVec(a) * 0.72 * r;
        f.quadTo(dirVec(a - 12) * 0.4 * r, end);
        p.setPen(QPen(QColor(0xc8, 0xd8, 0xa8), 0.014 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(f);
        p.save();
        p.translate(end);
        p.rotate(a + 90);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x3a, 0x1a));
        p.drawEllipse(QPointF(0, 0), 0.09 * r, 0.035 * r);
        p.restore();
    }
    QPainterPath style;
    style.moveTo(0, 0);
    style.quadTo(dirVec(200) * 0.4 * r, dirVec(190) * 0.78 * r);
    p.setPen(QPen(QColor(0xd8, 0xe0, 0xb8), 0.02 * r, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(style);
    dot(p, dirVec(190) * 0.78 * r, 0.05 * r, QColor(0x6a, 0x3a, 0x4a));
    dot(p, QPointF(0, 0), 0.06 * r, QColor(0xc8, 0xd0, 0x90));
}

// One flower of the red spider lily. `axis` is the flower's direction on
// the picture; it is short when the flower points towards the viewer.
void spiderLilyFlower(QPainter& p, const Species& s, QPointF at, QPointF axis, double r, Rng& rng)
{
    const double len = std::hypot(axis.x(), axis.y());
    const QPointF ax = len > 1e-6 ? axis / len : QPointF(1, 0);
    const QPointF u1(-ax.y(), ax.x());
    for (int k = 0; k < 6; ++k) {
        const double th = rad(60.0 * k + 30 + rng.range(-8, 8));
        const QPointF perp = u1 * std::cos(th) + QPointF(0, -0.7) * std::sin(th);
        QPainterPath t;
        t.moveTo(at);
        const QPointF mid = at + axis * 0.2 * r + perp * 0.22 * r;
        const QPointF end = mid + perp * 0.08 * r - axis * 0.16 * r + QPointF(0, -0.03 * r);
        t.quadTo(at + axis * 0.16 * r + perp * 0.06 * r, mid);
        t.quadTo(mid + perp * 0.1 * r + axis * 0.02 * r, end);
        taperStroke(p, t, 0.075 * r, 0.02 * r, s.petal.darker(100 + (k % 2) * 14), s.accent.darker(130));
    }
    for (int k = 0; k < 7; ++k) {
        const QPointF off = u1 * ((k - 3) * 0.025 * r) + QPointF(0, (k % 2 ? -0.015 : 0.015) * r);
        const QPointF end = at + axis * 0.72 * r + off * 2.5 + QPointF(0, -0.3 * r);
        QPainterPath st;
        st.moveTo(at);
        st.cubicTo(at + axis * 0.3 * r + off, at + axis * 0.62 * r + off * 2.0 + QPointF(0, -0.04 * r), end);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.petal, 0.016 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(st);
        dot(p, end, 0.022 * r, k == 3 ? s.petal.darker(110) : QColor(0x8a, 0x5a, 0x2a));
    }
}

void spiderLilyUmbel(QPainter& p, const Species& s, double r, Rng& rng, int n)
{
    struct Item { double az; double depth; };
    std::vector<Item> items;
    for (int k = 0; k < n; ++k) {
        const double az = 360.0 * k / n + 20 + rng.range(-12, 12);
        items.push_back({az, std::sin(rad(az))});
    }
    std::sort(items.begin(), items.end(), [](const Item& x, const Item& y) { return x.depth < y.depth; });
    for (const Item& it : items) {
        const QPointF axis(std::cos(rad(it.az)), -0.12 + 0.38 * it.depth);
        const QPointF at(std::cos(rad(it.az)) * 0.05 * r, 0.03 * r * it.depth);
        spiderLilyFlower(p, s, at, axis, r * (0.92 + 0.08 * it.depth), rng);
    }
}

void narcissusFront(QPainter& p, const Species& s, double r)
{
    ringOfPetals(p, 3, 60, r, 0.62 * r, 0.45, 0.75, QColor(0xf4, 0xf2, 0xe0), s.petal, QColor(0xb8, 0xb4, 0xa0), 0.01 * r);
    ringOfPetals(p, 3, 0, 0.95 * r, 0.66 * r, 0.45, 0.75, QColor(0xf4, 0xf2, 0xe0), s.petal, QColor(0xb8, 0xb4, 0xa0), 0.01 * r);
    QRadialGradient g(QPointF(0, 0), 0.34 * r);
    g.setColorAt(0.0, s.accent.darker(125));
    g.setColorAt(0.6, s.accent);
    g.setColorAt(1.0, s.accent.lighter(110));
    p.setBrush(g);
    p.setPen(QPen(s.accent.darker(130), 0.03 * r));
    p.drawEllipse(QPointF(0, 0), 0.32 * r, 0.32 * r);
    for (int k = 0; k < 3; ++k)
        dot(p, dirVec(120.0 * k) * 0.08 * r, 0.035 * r, QColor(0xf0, 0xe0, 0x70));
}

void narcissusSide(QPainter& p, const Species& s, double r)
{
    // faces -y; tepals seen obliquely, the cup projecting
    p.save();
    p.scale(1.0, 0.55);
    ringOfPetals(p, 3, 60, r, 0.62 * r, 0.45, 0.75, QColor(0xf4, 0xf2, 0xe0), s.petal, QColor(0xb8, 0xb4, 0xa0), 0.012 * r);
    ringOfPetals(p, 3, 0, 0.95 * r, 0.66 * r, 0.45, 0.75, QColor(0xf4, 0xf2, 0xe0), s.petal, QColor(0xb8, 0xb4, 0xa0), 0.012 * r);
    p.restore();
    p.setBrush(s.accent.darker(108));
    p.setPen(QPen(s.accent.darker(135), 0.02 * r));
    p.drawRect(QRectF(-0.3 * r, -0.2 * r, 0.6 * r, 0.2 * r));
    p.setBrush(s.accent.lighter(104));
    p.drawEllipse(QRectF(-0.32 * r, -0.3 * r, 0.64 * r, 0.2 * r));
    p.setBrush(s.accent.darker(125));
    p.drawEllipse(QRectF(-0.22 * r, -0.27 * r, 0.44 * r, 0.13 * r));
}

void dayflower(QPainter& p, const Species& s, double r)
{
    // the folded bract
    QPainterPath bract;
    bract.moveTo(-0.62 * r, 0.3 * r);
    bract.cubicTo(-0.5 * r, 0.8 * r, 0.2 * r, 1.0 * r, 0.62 * r, 0.3 * r);
    bract.lineTo(-0.62 * r, 0.3 * r);
    QLinearGradient bg(0, 0.3 * r, 0, 0.9 * r);
    bg.setColorAt(0.0, QColor(0x7a, 0xaa, 0x52));
    bg.setColorAt(1.0, QColor(0x4e, 0x80, 0x38));
    p.setBrush(bg);
    p.setPen(QPen(QColor(0x3a, 0x60, 0x2a), 0.015 * r));
    p.drawPath(bract);
    // the two blue petals
    for (int sgn = -1; sgn <= 1; sgn += 2) {
        p.save();
        p.translate(sgn * 0.06 * r, 0.05 * r);
        p.rotate(sgn * 38);
        const QPainterPath path = petalPath(0.95 * r, 0.8 * r, 0.7, 0.45, 0.0);
        QRadialGradient g(QPointF(0, -0.6 * r), 0.7 * r);
        g.setColorAt(0.0, s.petal.lighter(118));
        g.setColorAt(1.0, s.petal.darker(110));
        p.setBrush(g);
        p.setPen(QPen(s.petal.darker(140), 0.012 * r));
        p.drawPath(path);
        p.restore();
    }
    // the small white petal
    QColor white(250, 250, 255, 200);
    p.setBrush(white);
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xd0), 0.01 * r));
    p.drawEllipse(QRectF(-0.14 * r, 0.12 * r, 0.28 * r, 0.2 * r));
    // stamens: three showy sterile ones and the long fertile ones
    for (int k = -1; k <= 1; ++k) {
        const QPointF c(k * 0.14 * r, -0.08 * r + std::abs(k) * 0.03 * r);
        p.setPen(QPen(s.accent, 0.03 * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-0.05 * r, -0.04 * r), c + QPointF(0.05 * r, 0.04 * r));
        p.drawLine(c + QPointF(-0.05 * r, 0.04 * r), c + QPointF(0.05 * r, -0.04 * r));
    }
    p.setBrush(Qt::NoBrush);
    for (int k = -1; k <= 1; ++k) {
        QPainterPath st;
        st.moveTo(0, 0);
        const QPointF end(k * 0.22 * r, 0.72 * r);
        st.quadTo(QPointF(k * 0.1 * r, 0.4 * r), end);
        p.setPen(QPen(QColor(0xd0, 0xd8, 0xf0), 0.016 * r));
        p.drawPath(st);
        dot(p, end, 0.035 * r, k == 0 ? QColor(0xd8, 0xe0, 0xf0) : s.accent.darker(110));
    }
}

void bracts4(QPainter& p, const Species& s, double r)
{
    for (int k = 0; k < 4; ++k) {
        p.save();
        p.rotate(90.0 * k + 4);
        const QPainterPath path = petalPath(r, 0.7 * r, 0.55, 0.55);
        fillPetal(p, path, r, QColor(0xe8, 0xee, 0xdc), s.petal, QColor(0xb4, 0xb8, 0xa8), 0.01 * r);
        p.setPen(QPen(QColor(0xd8, 0xe2, 0xc8), 0.012 * r));
        p.drawLine(QPointF(0, -0.1 * r), QPointF(0, -0.8 * r));
        p.restore();
    }
    // the upright spike of tiny flowers
    QPainterPath spike;
    spike.addRoundedRect(QRectF(-0.1 * r, -0.6 * r, 0.2 * r, 0.66 * r), 0.1 * r, 0.1 * r);
    QLinearGradient g(-0.1 * r, 0, 0.1 * r, 0);
    g.setColorAt(0.0, s.accent.darker(115));
    g.setColorAt(0.5, s.accent.lighter(112));
    g.setColorAt(1.0, s.accent.darker(120));
    p.setBrush(g);
    p.setPen(QPen(s.accent.darker(140), 0.01 * r));
    p.drawPath(spike);
    for (int i = 0; i < 9; ++i)
        for (int j = -1; j <= 1; ++j)
            dot(p, QPointF(j * 0.05 * r + (i % 2) * 0.025 * r, -0.55 * r + i * 0.065 * r), 0.014 * r,
                QColor(0xf8, 0xf0, 0xa0));
}

void round5(QPainter& p, const Species& s, double r, const QColor& petal)
{
    const bool strawberry = s.fruit == Fruit::Strawberry;
    const bool veined = s.fruit == Fruit::Crane;
    if (strawberry) {
        // the large leafy outer calyx, three-toothed at the tip
        for (int k = 0; k < 5; ++k) {
            p.save();
            p.rotate(72.0 * k + 36);
            QPainterPath b = petalPath(1.08 * r, 0.5 * r, 0.7, 0.6);
            fillPetal(p, b, 1.08 * r, SepalGreen.darker(105), SepalGreen.lighter(108), SepalGreen.darker(150), 0.012 * r);
            p.setPen(QPen(SepalGreen.darker(150), 0.02 * r));
            p.drawLine(QPointF(-0.08 * r, -1.0 * r), QPointF(-0.05 * r, -0.92 * r));
            p.drawLine(QPointF(0.08 * r, -1.0 * r), QPointF(0.05 * r, -0.92 * r));
            p.restore();
        }
    } else {
        sepals(p, 5, 36, 0.7 * r, 0.3 * r);
    }
    const double w = strawberry ? 0.72 * r : 0.86 * r;
    for (int k = 0; k < 5; ++k) {
        p.save();
        p.rotate(72.0 * k);
        const QPainterPath path = petalPath(r * 0.95, w, 0.72, 0.5);
        QRadialGradient g(QPointF(0, 0), r);
        g.setColorAt(0.0, veined ? petal : mix(petal, s.accent, 0.35));
        g.setColorAt(0.35, petal);
        g.setColorAt(1.0, petal.lighter(104));
        p.setBrush(g);
        p.setPen(QPen(outlineOf(petal), 0.012 * r));
        p.drawPath(path);
        if (veined) {
            QColor v = s.accent;
            v.setAlpha(200);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(v, 0.016 * r));
            for (int i = -2; i <= 2; ++i) {
                QPainterPath vv;
                vv.moveTo(0, -0.1 * r);
                vv.quadTo(i * 0.08 * r, -0.45 * r, i * 0.17 * r, -0.82 * r);
                p.drawPath(vv);
            }
        }
        p.restore();
    }
    if (veined) {
        dot(p, QPointF(0, 0), 0.15 * r, QColor(0x9a, 0xb0, 0x6a));
        for (int k = 0; k < 10; ++k)
            dot(p, dirVec(36.0 * k) * 0.2 * r, 0.035 * r, s.accent.darker(130));
    } else {
        dot(p, QPointF(0, 0), 0.2 * r, strawberry ? QColor(0xd8, 0xc8, 0x50) : QColor(0xb8, 0xc0, 0x58));
        const int n = strawberry || s.name == QStringLiteral("ヤマブキ") ? 26 : 10;
        for (int k = 0; k < n; ++k)
            dot(p, dirVec(360.0 * k / n) * (0.2 + 0.05 * (k % 2)) * r, 0.032 * r, petal.darker(112));
    }
}

void fringed5(QPainter& p, const Species& s, double r, Rng& rng)
{
    for (int k = 0; k < 5; ++k) {
        p.save();
        p.rotate(72.0 * k + rng.range(-3, 3));
        QPainterPath path;
        path.moveTo(-0.04 * r, 0);
        path.lineTo(-0.07 * r, -0.32 * r);
        path.lineTo(-0.4 * r, -0.72 * r);
        const int n = 15;
        for (int i = 0; i <= n; ++i) {
            const double a = -32 + 64.0 * i / n;
            const double rr = (i % 2 == 0) ? r * rng.range(0.96, 1.04) : r * rng.range(0.66, 0.74);
            path.lineTo(dirVec(a) * rr);
        }
        path.lineTo(0.4 * r, -0.72 * r);
        path.lineTo(0.07 * r, -0.32 * r);
        path.lineTo(0.04 * r, 0);
        path.closeSubpath();
        fillPetal(p, path, r, s.petal.lighter(110), s.petal, s.petal.darker(135), 0.01 * r);
        p.setPen(QPen(s.accent, 0.014 * r, Qt::SolidLine, Qt::RoundCap));
        for (int i = -2; i <= 2; ++i)
            p.drawLine(QPointF(i * 0.035 * r, -0.34 * r), QPointF(i * 0.05 * r, -0.44 * r));
        p.restore();
    }
    dot(p, QPointF(0, 0), 0.08 * r, QColor(0xf6, 0xe4, 0xec));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xf8, 0xf0, 0xf4), 0.02 * r, Qt::SolidLine, Qt::RoundCap));
    QPainterPath st1, st2;
    st1.moveTo(0, 0);
    st1.quadTo(-0.1 * r, -0.15 * r, -0.05 * r, -0.25 * r);
    st2.moveTo(0, 0);
    st2.quadTo(0.1 * r, -0.15 * r, 0.06 * r, -0.25 * r);
    p.drawPath(st1);
    p.drawPath(st2);
}

void violet(QPainter& p, const Species& s, double r)
{
    struct P { double a, len, w; };
    const P ps[5] = {{-26, 0.85, 0.55}, {26, 0.85, 0.55}, {-102, 0.8, 0.5}, {102, 0.8, 0.5}, {180, 0.95, 0.64}};
    for (int i = 0; i < 5; ++i) {
        const P& q = ps[i];
        p.save();
        p.rotate(q.a);
        const QPainterPath path = petalPath(q.len * r, q.w * r, 0.66, 0.5);
        const QColor inner = i == 4 ? s.accent : s.petal.darker(110);
        fillPetal(p, path, q.len * r, inner, s.petal.lighter(112), s.petal.darker(145), 0.012 * r);
        if (i == 4) {
            p.setPen(QPen(s.petal.darker(120), 0.016 * r));
            for (int v = -2; v <= 2; ++v)
                p.drawLine(QPointF(v * 0.03 * r, -0.08 * r), QPointF(v * 0.07 * r, -0.5 * r));
        }
        if (i == 2 || i == 3) {
            p.setPen(QPen(QColor(255, 255, 255, 220), 0.012 * r));
            for (int v = 0; v < 7; ++v)
                p.drawLine(QPointF((v - 3) * 0.02 * r, -0.1 * r), QPointF((v - 3) * 0.03 * r, -0.2 * r));
        }
        p.restore();
    }
    dot(p, QPointF(0, 0), 0.07 * r, QColor(0xe8, 0xf0, 0xd8));
}

void violetSide(QPainter& p, const Species& s, double r)
{
    // faces +x; spur behind (-x)
    QPainterPath spur;
    spur.moveTo(-0.1 * r, -0.08 * r);
    spur.cubicTo(-0.4 * r, -0.12 * r, -0.7 * r, -0.05 * r, -0.75 * r, 0.08 * r);
    spur.cubicTo(-0.6 * r, 0.1 * r, -0.4 * r, 0.08 * r, -0.1 * r, 0.08 * r);
    spur.closeSubpath();
    p.setBrush(s.petal.darker(108));
    p.setPen(QPen(s.petal.darker(145), 0.012 * r));
    p.drawPath(spur);
    p.save();
    p.translate(0.05 * r, 0);
    p.scale(0.42, 1.0);
    violet(p, s, r);
    p.restore();
}

void tinyGreen(QPainter& p, const Species& s, double r, bool open)
{
    if (open)
        ringOfPetals(p, 4, 45, r, 0.6 * r, 0.5, 0.8, s.petal.darker(110), s.petal.lighter(112), s.petal.darker(150), 0.02 * r);
    QRadialGradient g(QPointF(0, 0), 0.5 * r);
    g.setColorAt(0.0, s.accent.lighter(115));
    g.setColorAt(1.0, s.accent.darker(110));
    p.setBrush(g);
    p.setPen(QPen(s.accent.darker(140), 0.02 * r));
    p.drawEllipse(QPointF(0, 0), 0.45 * r, 0.45 * r);
    dot(p, QPointF(0, 0), 0.1 * r, QColor(0x9a, 0xaa, 0x4a));
}

void bedstraw(QPainter& p, const Species& s, double r)
{
    ringOfPetals(p, 4, 0, r, 0.5 * r, 0.45, 1.0, s.petal.darker(105), s.petal.lighter(110), s.petal.darker(140), 0.02 * r);
    dot(p, QPointF(0, 0), 0.18 * r, s.accent);
}

void balsam(QPainter& p, const Species& s, double r)
{
    // hangs from the top, mouth to -x, spur curling at +x
    QPainterPath spur;
    spur.moveTo(0.2 * r, 0.05 * r);
    spur.cubicTo(0.6 * r, 0.1 * r, 0.8 * r, 0.45 * r, 0.62 * r, 0.6 * r);
    spur.cubicTo(0.5 * r, 0.7 * r, 0.4 * r, 0.55 * r, 0.5 * r, 0.5 * r);
    taperStroke(p, spur, 0.22 * r, 0.03 * r, s.petal.darker(110), s.petal.darker(150));
    QPainterPath sac;
    sac.moveTo(-0.75 * r, -0.3 * r);
    sac.cubicTo(-0.4 * r, -0.42 * r, 0.1 * r, -0.3 * r, 0.3 * r, -0.05 * r);
    sac.cubicTo(0.35 * r, 0.1 * r, 0.2 * r, 0.25 * r, 0.0, 0.3 * r);
    sac.cubicTo(-0.3 * r, 0.4 * r, -0.7 * r, 0.5 * r, -0.85 * r, 0.35 * r);
    sac.cubicTo(-0.95 * r, 0.1 * r, -0.9 * r, -0.2 * r, -0.75 * r, -0.3 * r);
    QLinearGradient g(0, -0.4 * r, 0, 0.45 * r);
    g.setColorAt(0.0, s.petal.lighter(112));
    g.setColorAt(1.0, s.petal.darker(112));
    p.setBrush(g);
    p.setPen(QPen(s.petal.darker(145), 0.015 * r));
    p.drawPath(sac);
    // the mouth with its spotted yellow throat
    QPainterPath mouth;
    mouth.addEllipse(QRectF(-0.92 * r, -0.18 * r, 0.38 * r, 0.5 * r));
    p.setBrush(mix(s.accent, s.petal, 0.25));
    p.drawPath(mouth);
    for (int i = 0; i < 7; ++i)
        dot(p, QPointF(-0.82 * r + (i % 3) * 0.08 * r, -0.05 * r + (i / 3) * 0.11 * r), 0.022 * r, s.petal.darker(150));
    // the hood above the mouth
    QPainterPath hood;
    hood.moveTo(-0.8 * r, -0.28 * r);
    hood.cubicTo(-0.75 * r, -0.55 * r, -0.4 * r, -0.55 * r, -0.3 * r, -0.36 * r);
    hood.closeSubpath();
    p.setBrush(s.petal.lighter(105));
    p.drawPath(hood);
    // lower lip lobes
    for (int k = 0; k < 2; ++k) {
        QPainterPath lobe;
        const double x = -0.85 * r + k * 0.28 * r;
        lobe.addEllipse(QRectF(x, 0.25 * r, 0.34 * r, 0.24 * r));
        p.setBrush(s.petal.lighter(110));
        p.drawPath(lobe);
    }
}

void akebi(QPainter& p, const Species& s, double r)
{
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.rotate(120.0 * k);
        const QPainterPath path = petalPath(r, 0.85 * r, 0.55, 0.6);
        fillPetal(p, path, r, mix(s.petal, Qt::white, 0.3), s.petal, s.petal.darker(140), 0.012 * r);
        p.setPen(QPen(s.petal.darker(125), 0.014 * r));
        p.drawLine(QPointF(0, -0.1 * r), QPointF(0, -0.85 * r));
        p.restore();
    }
    for (int k = 0; k < 6; ++k) {
        p.save();
        p.rotate(60.0 * k + 20);
        p.setBrush(s.accent);
        p.setPen(QPen(s.accent.darker(140), 0.01 * r));
        p.drawRoundedRect(QRectF(-0.06 * r, -0.34 * r, 0.12 * r, 0.3 * r), 0.05 * r, 0.05 * r);
        dot(p, QPointF(0, -0.34 * r), 0.055 * r, s.accent.lighter(140));
        p.restore();
    }
}

void knotweedBall(QPainter& p, const Species& s, double r, Rng& rng)
{
    std::vector<QPointF> pts;
    for (int i = 0; i < 14; ++i) {
        const double rr = 0.62 * r * std::sqrt((i + 0.5) / 14.0);
        pts.push_back(dirVec(i * 137.5 + rng.range(-8, 8)) * rr);
    }
    std::sort(pts.begin(), pts.end(), [](QPointF a, QPointF b) { return a.y() > b.y(); });
    for (QPointF c : pts) {
        const double br = 0.24 * r * rng.range(0.85, 1.1);
        if (rng.uniform() < 0.4) {
            p.save();
            p.translate(c);
            ringOfPetals(p, 5, rng.range(0, 72), br * 1.2, br * 0.9, 0.6, 0.5, s.petal, s.accent, s.accent.darker(140), 0.01 * r);
            dot(p, QPointF(0, 0), br * 0.25, QColor(0xe8, 0xe0, 0x80));
            p.restore();
        } else {
            QLinearGradient g(c + QPointF(0, br), c - QPointF(0, br));
            g.setColorAt(0.0, s.petal);
            g.setColorAt(0.45, s.petal);
            g.setColorAt(0.75, s.accent);
            g.setColorAt(1.0, s.accent.darker(105));
            p.setBrush(g);
            p.setPen(QPen(s.accent.darker(140), 0.01 * r));
            p.drawEllipse(c, br, br);
        }
    }
}

} // namespace

void drawFlower(QPainter& p, const Species& s, QPointF c, double r, double deg, bool side, Rng& rng,
                const QColor& petalOverride)
{
    if (r < 0.4)
        return;
    p.save();
    p.translate(c);
    const bool mirrored = deg < 0 && (s.form == Form::Pea || s.form == Form::Lipped || s.form == Form::Violet
                                      || s.form == Form::Balsam);
    if (mirrored) {
        p.scale(-1, 1);
        deg = -deg;
    }
    const QColor petal = petalOverride.isValid() ? petalOverride : s.petal;
    Species tinted = s;
    tinted.petal = petal;
    switch (s.form) {
    case Form::Chickweed:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.5);
        chickweed(p, tinted, r);
        break;
    case Form::Star5:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.5);
        star5(p, tinted, r);
        break;
    case Form::Cross4:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.55);
        cross4(p, tinted, r);
        break;
    case Form::Speedwell:
        p.rotate(deg);
        speedwell(p, tinted, r);
        break;
    case Form::Dandelion:
    case Form::Daisy:
        p.rotate(deg);
        if (side)
            headFromSide(p, tinted, r, rng, s.form == Form::Dandelion);
        else if (s.form == Form::Dandelion)
            dandelion(p, tinted, r, rng);
        else
            daisy(p, tinted, r, rng);
        break;
    case Form::Thistle:
        p.rotate(deg);
        if (side)
            thistle(p, tinted, r, rng);
        else
            thistleFront(p, tinted, r, rng);
        break;
    case Form::Butterbur:
        p.rotate(deg);
        butterbur(p, tinted, r, rng);
        break;
    case Form::OpenBell:
        p.rotate(deg);
        if (side) {
            p.setBrush(SepalGreen);
            p.setPen(QPen(SepalGreen.darker(140), 0.015 * r));
            p.drawEllipse(QPointF(0, 0.35 * r), 0.16 * r, 0.2 * r);
            QPainterPath cone;
            cone.moveTo(-0.14 * r, 0.3 * r);
            cone.lineTo(-0.8 * r, -0.2 * r);
            cone.lineTo(0.8 * r, -0.2 * r);
            cone.lineTo(0.14 * r, 0.3 * r);
            cone.closeSubpath();
            p.setBrush(petal.darker(108));
            p.setPen(QPen(petal.darker(140), 0.012 * r));
            p.drawPath(cone);
            p.translate(0, -0.2 * r);
            p.scale(1.0, 0.45);
        }
        openBell(p, tinted, r);
        break;
    case Form::HangingBell:
        p.rotate(deg);
        hangingBell(p, tinted, r, s.name == QStringLiteral("ホタルブクロ"), s.name != QStringLiteral("ホタルブクロ"));
        break;
    case Form::UprightTube:
        p.rotate(deg);
        if (side)
            uprightTube(p, tinted, r);
        else
            uprightTubeFront(p, tinted, r);
        break;
    case Form::Funnel:
        p.rotate(deg);
        if (side)
            funnelSide(p, tinted, r);
        else
            funnelFront(p, tinted, r);
        break;
    case Form::Pea:
        p.rotate(deg - 90);
        pea(p, s, r, petal);
        break;
    case Form::CloverHead:
        p.rotate(deg);
        cloverHead(p, tinted, r, rng);
        break;
    case Form::Lipped:
        p.rotate(deg);
        lipped(p, tinted, r);
        break;
    case Form::Lily:
        p.rotate(deg);
        if (side) p.scale(0.72, 1.0);
        lily(p, tinted, r, rng);
        break;
    case Form::SpiderLily:
        spiderLilyFlower(p, tinted, QPointF(0, 0), dirVec(deg), r, rng);
        break;
    case Form::Narcissus:
        p.rotate(deg);
        if (side)
            narcissusSide(p, tinted, r);
        else
            narcissusFront(p, tinted, r);
        break;
    case Form::Dayflower:
        p.rotate(deg);
        dayflower(p, tinted, r);
        break;
    case Form::Bracts4:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.5);
        bracts4(p, tinted, r);
        break;
    case Form::Round5:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.5);
        round5(p, s, r, petal);
        break;
    case Form::Fringed5:
        p.rotate(deg);
        if (side) {
            p.setBrush(SepalGreen.lighter(110));
            p.setPen(QPen(SepalGreen.darker(140), 0.015 * r));
            p.drawRoundedRect(QRectF(-0.1 * r, 0.0, 0.2 * r, 0.85 * r), 0.08 * r, 0.08 * r);
            p.scale(1.0, 0.45);
        }
        fringed5(p, tinted, r, rng);
        break;
    case Form::Violet:
        p.rotate(deg);
        if (side)
            violetSide(p, tinted, r);
        else
            violet(p, tinted, r);
        break;
    case Form::Knotweed:
        knotweedBall(p, tinted, r, rng);
        break;
    case Form::TinyGreen:
        p.rotate(deg);
        tinyGreen(p, tinted, r, !side);
        break;
    case Form::Bedstraw:
        p.rotate(deg);
        bedstraw(p, tinted, r);
        break;
    case Form::Balsam:
        p.rotate(deg);
        balsam(p, tinted, r);
        break;
    case Form::Akebi:
        p.rotate(deg);
        if (side) p.scale(1.0, 0.55);
        akebi(p, tinted, r);
        break;
    case Form::Umbel: case Form::FlatCorymb: case Form::Plume: case Form::Foxtail:
    case Form::PlantainSpike: case Form::SpiralSpike: case Form::Jumprope: {
        // single florets of cluster plants: a tiny five-petalled flower
        p.rotate(deg);
        ringOfPetals(p, 5, 0, r, 0.6 * r, 0.6, 0.6, petal.darker(105), petal.lighter(105), outlineOf(petal), 0.02 * r);
        dot(p, QPointF(0, 0), 0.25 * r, s.accent);
        break;
    }
    }
    p.restore();
}

void drawBud(QPainter& p, const Species& s, QPointF c, double r, double deg)
{
    p.save();
    p.translate(c);
    p.rotate(deg);
    switch (s.form) {
    case Form::OpenBell: {
        // the balloon
        QPainterPath b;
        b.moveTo(0, 0.45 * r);
        b.cubicTo(-0.9 * r, 0.3 * r, -0.75 * r, -0.9 * r, 0, -r);
        b.cubicTo(0.75 * r, -0.9 * r, 0.9 * r, 0.3 * r, 0, 0.45 * r);
        QRadialGradient g(QPointF(-0.25 * r, -0.45 * r), 1.1 * r);
        g.setColorAt(0.0, s.petal.lighter(135));
        g.setColorAt(1.0, s.petal.darker(115));
        p.setBrush(g);
        p.setPen(QPen(s.petal.darker(145), 0.03 * r));
        p.drawPath(b);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.petal.darker(130), 0.03 * r));
        for (int k = -1; k <= 1; ++k) {
            QPainterPath seam;
            seam.moveTo(0, 0.4 * r);
            seam.quadTo(k * 0.55 * r, -0.3 * r, 0, -0.98 * r);
            p.drawPath(seam);
        }
        sepals(p, 5, 180, 0.4 * r, 0.12 * r);
        break;
    }
    case Form::Dandelion: case Form::Daisy: case Form::Thistle: {
        p.setBrush(SepalGreen);
        p.setPen(QPen(SepalGreen.darker(140), 0.04 * r));
        p.drawEllipse(QPointF(0, 0), 0.55 * r, 0.8 * r);
        p.setPen(QPen(SepalGreen.lighter(130), 0.04 * r));
        for (int k = -1; k <= 1; ++k)
            p.drawLine(QPointF(k * 0.2 * r, 0.6 * r), QPointF(k * 0.15 * r, -0.6 * r));
        if (s.form == Form::Thistle)
            dot(p, QPointF(0, -0.75 * r), 0.25 * r, s.petal);
        break;
    }
    default: {
        QPainterPath b = petalPath(1.6 * r, 0.9 * r, 0.45, 0.8, 0.0);
        p.translate(0, 0.6 * r);
        fillPetal(p, b, 1.6 * r, s.petal.darker(115), s.petal.lighter(105), s.petal.darker(150), 0.03 * r);
        sepals(p, 3, -40, 0.7 * r, 0.3 * r);
        break;
    }
    }
    p.restore();
}

namespace {

void corymb(QPainter& p, const Species& s, QPointF base, double deg, double len, int depth, Rng& rng, double size)
{
    const QPointF end = base + dirVec(deg) * len;
    p.setPen(QPen(s.stemColour.lighter(105), std::max(0.5, size * 0.012 * (depth + 1)), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, end);
    if (depth == 0) {
        const int n = 7;
        for (int i = 0; i < n; ++i) {
            const QPointF at = end + QPointF(rng.range(-0.07, 0.07) * size, rng.range(-0.03, 0.02) * size);
            const double fr = size * 0.032;
            if (s.form == Form::TinyGreen)
                drawFlower(p, s, at, fr * 1.2, rng.range(0, 90), rng.uniform() < 0.4, rng);
            else
                drawFlower(p, s, at, fr, rng.range(0, 72), false, rng);
        }
        return;
    }
    for (int j = -1; j <= 1; ++j) {
        const double d = deg * 0.5 + j * (38.0 - 8.0 * (2 - depth)) + rng.range(-6, 6);
        corymb(p, s, end, d, len * 0.62, depth - 1, rng, size);
    }
}

void umbel(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const int rays = 9;
    struct U { QPointF end; double depth; };
    std::vector<U> ends;
    for (int k = 0; k < rays; ++k) {
        const double az = 360.0 * k / rays + rng.range(-8, 8);
        const double sx = std::sin(rad(az)), depth = std::cos(rad(az));
        const double len = size * rng.range(0.55, 0.7);
        const QPointF d = dirVec(deg + sx * 55.0);
        const QPointF end = base + d * len * (0.8 + 0.2 * std::fabs(sx)) + QPointF(0, depth * 0.08 * size);
        ends.push_back({end, depth});
    }
    std::sort(ends.begin(), ends.end(), [](const U& a, const U& b) { return a.depth < b.depth; });
    for (const U& u : ends) {
        p.setPen(QPen(s.stemColour.lighter(110), std::max(0.5, size * 0.012), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(base, u.end);
        for (int i = 0; i < 12; ++i) {
            const double a = deg + rng.range(-80, 80);
            const QPointF at = u.end + dirVec(a) * size * 0.1 * rng.range(0.5, 1.0);
            p.setPen(QPen(s.stemColour.lighter(120), std::max(0.3, size * 0.005)));
            p.drawLine(u.end, at);
            drawFlower(p, s, at, size * 0.028, rng.range(0, 72), false, rng);
        }
    }
}

void plume(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const QPointF top = base + dirVec(deg) * size * 0.35;
    p.setPen(QPen(s.accent.darker(110), std::max(0.6, size * 0.012), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, top);
    const int n = 12;
    for (int k = 0; k < n; ++k) {
        const double t = double(k) / (n - 1);
        const QPointF from = base + (top - base) * t;
        const double lean = 15 + 35 * (1 - t) + rng.range(-8, 8);
        const double side = (k % 3 == 0) ? -0.6 : 1.0;
        QPainterPath br;
        br.moveTo(from);
        const double len = size * (0.75 - 0.25 * t) * rng.range(0.9, 1.05);
        const QPointF mid = from + dirVec(deg + side * lean * 0.5) * len * 0.5;
        const QPointF end = from + dirVec(deg + side * lean * 1.6) * len;
        br.quadTo(mid, end);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.accent, std::max(0.4, size * 0.006)));
        p.drawPath(br);
        for (int i = 0; i < 26; ++i) {
            const double u = 0.1 + 0.9 * i / 25.0;
            const QPointF at = br.pointAtPercent(u);
            const double a = 90.0 - br.angleAtPercent(u);
            QColor hair = mix(s.accent, s.petal, 0.4 + 0.6 * u);
            hair.setAlpha(200);
            p.setPen(QPen(hair, std::max(0.3, size * 0.004)));
            for (int sgn = -1; sgn <= 1; sgn += 2)
                p.drawLine(at, at + dirVec(a + sgn * rng.range(15, 30)) * size * rng.range(0.035, 0.06));
        }
    }
}

void foxtail(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng, bool rightward)
{
    QPainterPath axis;
    axis.moveTo(base);
    const double bend = rightward ? 1 : -1;
    axis.quadTo(base + dirVec(deg) * size * 0.6, base + dirVec(deg + bend * 55) * size * 0.95);
    taperStroke(p, axis, size * 0.09, size * 0.045, s.petal.darker(108), s.petal.darker(140));
    for (int i = 0; i < 90; ++i) {
        const double u = 0.05 + 0.95 * i / 89.0;
        const QPointF at = axis.pointAtPercent(u);
        const double a = 90.0 - axis.angleAtPercent(u);
        const double off = rng.range(-0.04, 0.04) * size * (1 - 0.5 * u);
        const QPointF pos = at + dirVec(a + 90) * off;
        QColor c = mix(s.petal, QColor(0xd8, 0xd8, 0x90), rng.uniform() * 0.6);
        p.setPen(QPen(c, std::max(0.3, size * 0.005)));
        p.drawLine(pos, pos + dirVec(a + rng.range(-80, 80) + (rng.uniform() < 0.5 ? 0 : 180) * 0) * size * rng.range(0.06, 0.12));
        if (i % 3 == 0) {
            p.setPen(Qt::NoPen);
            p.setBrush(s.petal.lighter(105));
            p.drawEllipse(pos, size * 0.02, size * 0.014);
        }
    }
}

void plantainSpike(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const QPointF top = base + dirVec(deg) * size;
    p.setPen(QPen(s.accent, std::max(0.6, size * 0.03), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, top);
    const int n = 30;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1);
        const QPointF at = base + (top - base) * t;
        const double sx = (i % 2 ? 1 : -1) * size * 0.025;
        const QPointF pos = at + dirVec(deg + 90) * sx;
        if (t < 0.4) {
            p.setPen(QPen(s.accent.darker(130), size * 0.004));
            p.setBrush(s.accent.lighter(110));
            p.drawEllipse(pos, size * 0.022, size * 0.03);
        } else if (t < 0.8) {
            p.setPen(QPen(s.accent.darker(120), size * 0.004));
            p.setBrush(s.petal.darker(110));
            p.drawEllipse(pos, size * 0.018, size * 0.018);
            const QPointF tip = pos + dirVec(deg + (i % 2 ? 60 : -60) + rng.range(-15, 15)) * size * 0.07;
            p.setPen(QPen(QColor(0xf0, 0xf0, 0xe0), std::max(0.3, size * 0.005)));
            p.drawLine(pos, tip);
            dot(p, tip, size * 0.012, QColor(0xf4, 0xec, 0xc8));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(s.accent.lighter(120));
            p.drawEllipse(pos, size * 0.015, size * 0.02);
        }
    }
}

void spiralSpike(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const QPointF top = base + dirVec(deg) * size;
    p.setPen(QPen(QColor(0x6a, 0x9a, 0x4a), std::max(0.6, size * 0.02), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, top);
    struct F { QPointF at; double z; double sx; };
    std::vector<F> fl;
    const int n = 24;
    for (int i = 0; i < n; ++i) {
        const double t = 0.05 + 0.95 * i / (n - 1);
        const double ph = i * 42.0;
        const double sx = std::sin(rad(ph)), z = std::cos(rad(ph));
        const QPointF at = base + (top - base) * t + dirVec(deg + 90) * sx * size * 0.05;
        fl.push_back({at, z, sx});
    }
    std::sort(fl.begin(), fl.end(), [](const F& a, const F& b) { return a.z < b.z; });
    for (const F& f : fl) {
        const double r = size * 0.06 * (0.85 + 0.15 * f.z);
        QColor c = f.z < 0 ? s.petal.darker(115) : s.petal;
        p.save();
        p.translate(f.at);
        p.rotate(deg + (f.sx >= 0 ? 70 : -70) * (1 - 0.5 * std::max(0.0, f.z)));
        QPainterPath body = petalPath(r * 1.6, r * 1.1, 0.5, 0.8);
        fillPetal(p, body, r * 1.6, c.darker(110), c.lighter(105), c.darker(140), r * 0.06);
        dot(p, QPointF(0, -r * 1.45), r * 0.35, s.accent);
        p.restore();
        (void)rng;
    }
}

void jumprope(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    QPainterPath axis;
    axis.moveTo(base);
    axis.quadTo(base + dirVec(deg) * size * 0.5, base + dirVec(deg + 18) * size);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7a, 0x2a, 0x2a), std::max(0.5, size * 0.008)));
    p.drawPath(axis);
    for (int i = 0; i < 26; ++i) {
        const double u = 0.15 + 0.85 * i / 25.0;
        const QPointF at = axis.pointAtPercent(u) + QPointF(rng.range(-1, 1) * size * 0.004, 0);
        const double r = size * 0.016;
        p.setPen(QPen(s.petal.darker(130), r * 0.1));
        QLinearGradient g(at + QPointF(0, r), at - QPointF(0, r));
        g.setColorAt(0.0, s.accent);
        g.setColorAt(0.5, s.accent);
        g.setColorAt(0.51, s.petal);
        g.setColorAt(1.0, s.petal);
        p.setBrush(g);
        p.drawEllipse(at, r, r * 1.15);
    }
}

void peaRaceme(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const QPointF top = base + dirVec(deg) * size;
    p.setPen(QPen(s.stemColour, std::max(0.6, size * 0.025), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, top);
    const int n = 16;
    for (int i = 0; i < n; ++i) {
        const double t = 0.08 + 0.9 * i / (n - 1);
        const QPointF at = base + (top - base) * t;
        const bool right = i % 2 == 0;
        const double r = size * (t < 0.65 ? 0.13 : 0.13 - 0.2 * (t - 0.65));
        if (t < 0.65) {
            const QPointF pos = at + dirVec(deg + (right ? 90 : -90)) * r * 0.5;
            drawFlower(p, s, pos, r, right ? deg + 60 : -(60 - deg), true, rng);
        } else {
            drawBud(p, s, at + dirVec(deg + (right ? 90 : -90)) * r * 0.3, r * 0.5, deg + (right ? 30 : -30));
        }
    }
}

void mustardRaceme(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng)
{
    const QPointF top = base + dirVec(deg) * size;
    p.setPen(QPen(s.stemColour, std::max(0.6, size * 0.012), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(base, top);
    // heart-shaped pods on spreading stalks below, flowers crowded at the top
    const int pods = 9;
    for (int i = 0; i < pods; ++i) {
        const double t = 0.02 + 0.62 * i / pods;
        const QPointF at = base + (top - base) * t;
        const bool right = i % 2 == 0;
        const double a = deg + (right ? 58 : -58) + rng.range(-8, 8);
        const QPointF end = at + dirVec(a) * size * 0.12;
        p.setPen(QPen(s.stemColour.lighter(110), std::max(0.4, size * 0.006)));
        p.drawLine(at, end);
        p.save();
        p.translate(end);
        p.rotate(a);
        const double w = size * 0.06;
        QPainterPath pod;
        pod.moveTo(0, 0);
        pod.cubicTo(-w * 0.9, -w * 0.3, -w * 1.1, -w * 1.2, -w * 0.5, -w * 1.3);
        pod.quadTo(-w * 0.15, -w * 1.3, 0, -w * 1.05);
        pod.quadTo(w * 0.15, -w * 1.3, w * 0.5, -w * 1.3);
        pod.cubicTo(w * 1.1, -w * 1.2, w * 0.9, -w * 0.3, 0, 0);
        p.setBrush(QColor(0x8a, 0xb0, 0x50));
        p.setPen(QPen(QColor(0x5a, 0x7a, 0x30), w * 0.06));
        p.drawPath(pod);
        p.restore();
    }
    for (int i = 0; i < 9; ++i) {
        const double t = 0.72 + 0.28 * i / 9.0;
        const QPointF at = base + (top - base) * t + dirVec(deg + 90) * size * rng.range(-0.05, 0.05);
        if (t > 0.9)
            drawBud(p, s, at, size * 0.012, rng.range(-20, 20));
        else
            drawFlower(p, s, at, size * 0.035, rng.range(0, 90), rng.uniform() < 0.3, rng);
    }
}

void narcissusUmbel(QPainter& p, const Species& s, QPointF base, double deg, double size, Rng& rng, int n)
{
    // the papery spathe
    p.save();
    p.translate(base);
    p.rotate(deg + 15);
    fillPetal(p, petalPath(size * 0.35, size * 0.07, 0.4, 1.0), size * 0.35, QColor(0xc8, 0xb8, 0x90),
              QColor(0xe0, 0xd4, 0xb0), QColor(0xa0, 0x90, 0x70), 0.5);
    p.restore();
    for (int k = 0; k < n; ++k) {
        const double a = deg - 60 + 120.0 * k / std::max(1, n - 1) + rng.range(-8, 8);
        const QPointF end = base + dirVec(a) * size * 0.3;
        p.setPen(QPen(s.stemColour, std::max(0.5, size * 0.012), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(base, end);
        drawFlower(p, s, end + dirVec(a) * size * 0.16, size * 0.28, a + (a > deg ? 40 : -40), true, rng);
    }
}

} // namespace

void drawCluster(QPainter& p, const Species& s, QPointF top, double deg, double size, Rng& rng)
{
    switch (s.form) {
    case Form::Umbel:
        umbel(p, s, top, deg, size, rng);
        break;
    case Form::FlatCorymb:
    case Form::TinyGreen:
        for (int j = -1; j <= 1; ++j)
            corymb(p, s, top, deg + j * 30, size * 0.4, 2, rng, size);
        break;
    case Form::Plume:
        plume(p, s, top, deg, size, rng);
        break;
    case Form::Foxtail:
        foxtail(p, s, top, deg, size, rng, rng.uniform() < 0.6);
        break;
    case Form::PlantainSpike:
        plantainSpike(p, s, top, deg, size, rng);
        break;
    case Form::SpiralSpike:
        spiralSpike(p, s, top, deg, size, rng);
        break;
    case Form::Jumprope:
        jumprope(p, s, top, deg, size, rng);
        break;
    case Form::Pea:
        peaRaceme(p, s, top, deg, size, rng);
        break;
    case Form::Cross4:
        mustardRaceme(p, s, top, deg, size, rng);
        break;
    case Form::SpiderLily:
        p.save();
        p.translate(top + dirVec(deg) * size * 0.1);
        spiderLilyUmbel(p, s, size * 0.9, rng, std::max(4, s.flowerCount));
        p.restore();
        break;
    case Form::Narcissus:
        narcissusUmbel(p, s, top, deg, size, rng, std::max(2, s.flowerCount));
        break;
    case Form::Knotweed:
        drawFlower(p, s, top + dirVec(deg) * size * 0.5, size * 0.5, 0, false, rng);
        break;
    default:
        drawFlower(p, s, top + dirVec(deg) * size * 0.5, size * 0.5, deg, true, rng);
        break;
    }
}
