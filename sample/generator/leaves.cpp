// Leaves, compound leaves, tendrils and tapered strokes.
#include "parts.h"

#include <QLinearGradient>

#include <algorithm>
#include <utility>
#include <vector>

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QFont japaneseFont(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

namespace {

// A serration: rises slowly towards the leaf tip and drops sharply.
double tooth(double u)
{
    const double f = u - std::floor(u);
    return f < 0.75 ? f / 0.75 : (1.0 - f) / 0.25;
}

// A rounded scallop.
double scallop(double u)
{
    return std::pow(std::fabs(std::sin(Pi * u)), 0.7);
}

using Table = std::vector<std::pair<double, double>>;

// Smooth interpolation through (x, y) pairs (Catmull-Rom on each segment).
double smooth(const Table& t, double x)
{
    if (x <= t.front().first)
        return t.front().second;
    if (x >= t.back().first)
        return t.back().second;
    size_t i = 1;
    while (t[i].first < x)
        ++i;
    const double x0 = t[i - 1].first, x1 = t[i].first;
    const double u = (x - x0) / (x1 - x0);
    const double p0 = t[i > 1 ? i - 2 : 0].second;
    const double p1 = t[i - 1].second;
    const double p2 = t[i].second;
    const double p3 = t[std::min(i + 1, t.size() - 1)].second;
    const double u2 = u * u, u3 = u2 * u;
    return 0.5 * ((2 * p1) + (-p0 + p2) * u + (2 * p0 - 5 * p1 + 4 * p2 - p3) * u2 + (-p0 + 3 * p1 - 3 * p2 + p3) * u3);
}

bool isPolar(Blade b)
{
    return b == Blade::Heart || b == Blade::Arrow || b == Blade::Kidney || b == Blade::Palmatifid
        || b == Blade::Obcordate;
}

// Half-width (0..1) of an axial blade at t (0 = base, 1 = tip).
double axialProfile(Blade b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    switch (b) {
    case Blade::Lanceolate:
        return std::pow(std::sin(Pi * std::pow(t, 0.75)), 0.9);
    case Blade::Ovate:
        return std::pow(std::sin(Pi * std::pow(t, 0.58)), 0.75);
    case Blade::Elliptic:
        return std::pow(std::sin(Pi * t), 0.75);
    case Blade::Linear:
        return std::pow(std::sin(Pi * std::pow(t, 0.7)), 0.25) * (t < 0.04 ? 0.7 + 7.5 * t : 1.0);
    case Blade::Round:
        return std::sqrt(std::max(0.0, 1.0 - (2 * t - 1) * (2 * t - 1)));
    case Blade::Runcinate: {
        const double env = std::pow(std::sin(Pi * std::pow(t, 1.35)), 0.8);
        if (t >= 0.78)
            return env;
        const double f = (t - 0.06) / 0.72 * 4.0;
        if (f < 0)
            return env * 0.3;
        const double g = f - std::floor(f);
        const double lobe = g < 0.18 ? g / 0.18 : (1.0 - g) / 0.82;
        return env * (0.28 + 0.72 * lobe);
    }
    case Blade::Pinnatifid: {
        const double env = std::pow(std::sin(Pi * std::pow(t, 0.85)), 0.7);
        if (t > 0.86)
            return env;
        const double lobe = std::pow(std::fabs(std::sin(Pi * 4.5 * t)), 0.6);
        return env * (0.24 + 0.76 * lobe);
    }
    case Blade::Halberd:
        return smooth({{0, 0.2}, {0.07, 0.95}, {0.14, 1.0}, {0.24, 0.6}, {0.38, 0.5}, {0.62, 0.36}, {0.86, 0.14}, {1, 0}}, t);
    case Blade::Triangular:
        return smooth({{0, 0.25}, {0.08, 0.9}, {0.2, 1.0}, {0.55, 0.65}, {0.85, 0.25}, {1, 0}}, t);
    default:
        return std::sin(Pi * t);
    }
}

// Radius (relative to the length) of a polar blade at angle phi (degrees,
// 0 = towards the tip, 180 = back to the stalk), and the centre's offset.
double polarProfile(Blade b, double phi)
{
    switch (b) {
    case Blade::Heart:
        return smooth({{0, 1.0}, {25, 0.72}, {50, 0.6}, {90, 0.52}, {125, 0.5}, {150, 0.4}, {168, 0.2}, {180, 0.06}}, phi);
    case Blade::Kidney:
        return smooth({{0, 0.8}, {40, 0.86}, {90, 0.9}, {130, 0.84}, {158, 0.6}, {172, 0.25}, {180, 0.08}}, phi);
    case Blade::Arrow:
        return smooth({{0, 1.0}, {8, 0.62}, {22, 0.33}, {55, 0.22}, {95, 0.22}, {122, 0.4}, {136, 0.46}, {150, 0.3}, {166, 0.12}, {180, 0.05}}, phi);
    case Blade::Palmatifid: {
        double r = 0.28 + 0.72 * std::pow(std::fabs(std::cos(rad(2.5 * phi))), 0.8);
        if (phi > 150)
            r *= 1.0 - (phi - 150) / 30.0 * 0.72;
        return r;
    }
    case Blade::Obcordate:
        return smooth({{0, 0.78}, {22, 1.0}, {42, 0.96}, {62, 0.66}, {78, 0.3}, {90, 0.02}, {180, 0.0}}, std::min(phi, 90.0));
    default:
        return 0.5;
    }
}

double polarCentre(Blade b)
{
    switch (b) {
    case Blade::Heart: return 0.06;
    case Blade::Kidney: return 0.08;
    case Blade::Arrow: return 0.05;
    case Blade::Palmatifid: return 0.08;
    default: return 0.0;
    }
}

double polarNominalWidth(Blade b)
{
    switch (b) {
    case Blade::Heart: return 0.8;
    case Blade::Arrow: return 0.5;
    default: return 1.0;
    }
}

} // namespace

LeafStyle leafStyleOf(const Species& s)
{
    LeafStyle st;
    st.blade = s.blade;
    st.width = s.leafWidth;
    st.toothed = s.toothed;
    st.colour = s.leafColour;
    switch (s.form) {
    case Form::PlantainSpike:
        st.veins = Veins::Arcuate;
        break;
    case Form::Lily: case Form::SpiderLily: case Form::Narcissus: case Form::Dayflower:
    case Form::SpiralSpike: case Form::Plume: case Form::Foxtail:
        st.veins = Veins::Parallel;
        break;
    default:
        st.veins = (s.blade == Blade::Palmatifid || s.blade == Blade::Kidney) ? Veins::Palmate : Veins::Pinnate;
        break;
    }
    if (s.form == Form::CloverHead)
        st.mark = QColor(255, 255, 255, 150);
    if (s.form == Form::Jumprope)
        st.mark = QColor(60, 30, 20, 110);
    if (s.blade == Blade::Linear)
        st.toothScale = 0.25;
    return st;
}

QPainterPath bladePath(const LeafStyle& st, double L)
{
    QPainterPath path;
    const int n = 180;
    if (isPolar(st.blade)) {
        const double cx = polarCentre(st.blade) * L;
        const double ys = st.width / polarNominalWidth(st.blade);
        const double span = st.blade == Blade::Obcordate ? 90.0 : 180.0;
        auto pointAt = [&](double phi, double sign) {
            double r = polarProfile(st.blade, phi);
            if (st.toothed && phi < span - 10) {
                double w = 1.0;
                if (st.blade == Blade::Palmatifid)
                    w = std::pow(std::fabs(std::cos(rad(2.5 * phi))), 2.0);
                r += 0.035 * st.toothScale * w * tooth((span - phi) / span * 24.0);
            }
            return QPointF(cx + r * L * std::cos(rad(phi)), sign * r * L * std::sin(rad(phi)) * ys);
        };
        path.moveTo(pointAt(0, -1));
        for (int i = 1; i <= n; ++i)
            path.lineTo(pointAt(span * i / n, -1));
        for (int i = n - 1; i >= 0; --i)
            path.lineTo(pointAt(span * i / n, 1));
        path.closeSubpath();
        return path;
    }
    const double W = 0.5 * st.width * L;
    const bool crenate = st.blade == Blade::Round;
    const double teeth = (st.blade == Blade::Linear ? 60.0 : crenate ? 9.0 : 15.0);
    auto halfWidth = [&](double t, double side) {
        double h = axialProfile(st.blade, t) * W;
        if (st.toothed && t > 0.04 && t < 0.97) {
            const double amp = (crenate ? 0.09 : 0.055) * W * 2.0 * st.toothScale;
            const double phase = side > 0 ? 0.0 : 0.13;
            h += amp * std::pow(std::sin(Pi * t), 0.5) * (crenate ? scallop(t * teeth + phase) : tooth(t * teeth + phase));
        }
        return h;
    };
    path.moveTo(0, 0);
    for (int i = 1; i <= n; ++i) {
        const double t = double(i) / n;
        path.lineTo(t * L, -halfWidth(t, -1));
    }
    for (int i = n - 1; i >= 0; --i) {
        const double t = double(i) / n;
        path.lineTo(t * L, halfWidth(t, 1));
    }
    path.closeSubpath();
    return path;
}

void drawBlade(QPainter& p, const LeafStyle& st, QPointF base, double deg, double L, double foreshorten)
{
    if (L < 0.5)
        return;
    p.save();
    p.translate(base);
    p.rotate(deg - 90.0);
    p.scale(foreshorten, 1.0);
    const QPainterPath path = bladePath(st, L);
    const QRectF box = path.boundingRect();
    QLinearGradient g(0, box.top(), 0, box.bottom());
    g.setColorAt(0.0, st.colour.lighter(118));
    g.setColorAt(0.5, st.colour);
    g.setColorAt(1.0, st.colour.darker(118));
    p.setPen(QPen(st.colour.darker(165), std::max(0.5, L * 0.012)));
    p.setBrush(g);
    p.drawPath(path);

    // The lower half a touch darker, as if the blade were folded along the midrib.
    p.save();
    p.setClipPath(path, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 22));
    p.drawRect(QRectF(box.left(), 0, box.width(), box.bottom() + 1));
    p.restore();

    const QColor vein = st.colour.lighter(135);
    const double vw = std::max(0.4, L * 0.011);
    p.setBrush(Qt::NoBrush);
    if (isPolar(st.blade)) {
        const double cx = polarCentre(st.blade) * L;
        const double ys = st.width / polarNominalWidth(st.blade);
        p.setPen(QPen(vein, vw * 1.2, Qt::SolidLine, Qt::RoundCap));
        const double span = st.blade == Blade::Obcordate ? 90.0 : 180.0;
        if (st.blade == Blade::Obcordate) {
            p.drawLine(QPointF(0, 0), QPointF(0.8 * L, 0));
        } else {
            const int rays = st.blade == Blade::Arrow ? 3 : st.blade == Blade::Heart ? 3 : 4;
            for (int k = 0; k < rays; ++k) {
                const double phi = k * (span * 0.78 / std::max(1, rays - 1));
                const double r = polarProfile(st.blade, phi) * L * 0.85;
                for (int sgn = -1; sgn <= 1; sgn += 2) {
                    if (k == 0 && sgn > 0)
                        continue;
                    QPainterPath v;
                    v.moveTo(cx * 0.5, 0);
                    const QPointF end(cx + r * std::cos(rad(phi)), sgn * r * std::sin(rad(phi)) * ys);
                    v.quadTo(QPointF(cx + r * 0.5 * std::cos(rad(phi * 0.7)), sgn * r * 0.5 * std::sin(rad(phi * 0.7)) * ys), end);
                    p.drawPath(v);
                }
            }
        }
    } else {
        const double W = 0.5 * st.width * L;
        p.setPen(QPen(vein, vw * 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(0.96 * L, 0));
        p.setPen(QPen(vein, vw * 0.8, Qt::SolidLine, Qt::RoundCap));
        if (st.veins == Veins::Pinnate) {
            const int k = st.blade == Blade::Round ? 4 : 6;
            for (int i = 1; i <= k; ++i) {
                const double t = 0.1 + i * 0.72 / k;
                const double hEnd = axialProfile(st.blade, std::min(t + 0.1, 0.98)) * W * 0.8;
                for (int sgn = -1; sgn <= 1; sgn += 2) {
                    QPainterPath v;
                    v.moveTo(t * L, 0);
                    v.quadTo(QPointF(t * L + 0.05 * L, sgn * hEnd * 0.55), QPointF(std::min(t + 0.14, 0.97) * L, sgn * hEnd));
                    p.drawPath(v);
                }
            }
        } else {
            const std::vector<double> fr = st.veins == Veins::Arcuate ? std::vector<double>{0.4, 0.72}
                                                                       : std::vector<double>{0.35, 0.7};
            if (st.veins == Veins::Arcuate)
                p.setPen(QPen(vein, vw * 1.3, Qt::SolidLine, Qt::RoundCap));
            for (double f : fr) {
                for (int sgn = -1; sgn <= 1; sgn += 2) {
                    QPainterPath v;
                    v.moveTo(0.02 * L, 0);
                    for (int i = 1; i <= 40; ++i) {
                        const double t = 0.02 + 0.94 * i / 40.0;
                        v.lineTo(t * L, sgn * f * axialProfile(st.blade, t) * W);
                    }
                    p.drawPath(v);
                }
            }
        }
        if (st.mark.isValid()) {
            const double t0 = 0.3, t1 = 0.52;
            const double hh = axialProfile(st.blade, t0) * W * 0.65;
            p.setPen(QPen(st.mark, std::max(1.0, W * 0.16), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            QPolygonF v;
            v << QPointF(t0 * L, -hh) << QPointF(t1 * L, 0) << QPointF(t0 * L, hh);
            p.drawPolyline(v);
        }
    }
    p.restore();
}

void taperStroke(QPainter& p, const QPainterPath& path, double w0, double w1, const QColor& colour,
                 const QColor& outline)
{
    const int n = 32;
    QPolygonF left, right;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        const QPointF pt = path.pointAtPercent(t);
        const double a = rad(path.angleAtPercent(t));
        const QPointF normal(std::sin(a), std::cos(a));
        const double w = 0.5 * (w0 + (w1 - w0) * t);
        left << pt + normal * w;
        right.prepend(pt - normal * w);
    }
    QPolygonF poly = left + right;
    p.setPen(outline.isValid() ? QPen(outline, 0.6) : QPen(Qt::NoPen));
    p.setBrush(colour);
    p.drawPolygon(poly);
}

void drawTendril(QPainter& p, QPointF from, double deg, double length, QColor colour, bool clockwise)
{
    QPainterPath path;
    path.moveTo(from);
    QPointF pt = from;
    double a = deg;
    const double sgn = clockwise ? 1.0 : -1.0;
    const int n = 60;
    const double step = length / n;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        const double turn = t < 0.45 ? 1.5 : 4.0 + 26.0 * (t - 0.45);
        a += sgn * turn;
        pt += dirVec(a) * step * (t < 0.45 ? 1.0 : 1.0 - 0.6 * (t - 0.45));
        path.lineTo(pt);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, std::max(0.6, length * 0.02), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

namespace {

void drawStalk(QPainter& p, QPointF a, QPointF b, double w, const QColor& c)
{
    p.setPen(QPen(c, std::max(0.6, w), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
}

} // namespace

void drawLeafUnit(QPainter& p, const Species& s, QPointF base, double deg, double L, Rng& rng,
                  double foreshorten)
{
    LeafStyle st = leafStyleOf(s);
    const QColor stalk = mix(s.leafColour, s.stemColour, 0.5);
    const double sw = std::max(0.7, L * 0.03);
    switch (s.arrangement) {
    case Arrangement::Trifoliate: {
        const bool flat = s.blade == Blade::Obcordate || s.blade == Blade::Round;
        const double pet = L * (flat ? 0.55 : 0.4) * foreshorten;
        const QPointF tip = base + dirVec(deg) * pet;
        drawStalk(p, base, tip, sw, stalk);
        const double ll = L * (flat ? 0.42 : 0.55);
        const double spread = flat ? 100.0 : 58.0;
        drawBlade(p, st, tip, deg - spread, ll * 0.95, foreshorten);
        drawBlade(p, st, tip, deg + spread, ll * 0.95, foreshorten);
        drawBlade(p, st, tip, deg, ll * (flat ? 0.9 : 1.1), flat ? 0.75 * foreshorten : foreshorten);
        break;
    }
    case Arrangement::Pinnate: {
        const int pairs = std::max(1, s.leaflets);
        QPainterPath rachis;
        const QPointF end = base + dirVec(deg + 6) * L * foreshorten;
        rachis.moveTo(base);
        rachis.quadTo(base + dirVec(deg - 4) * L * 0.5 * foreshorten, end);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(stalk, sw, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(rachis);
        const double ll = L * (pairs > 3 ? 0.26 : 0.38);
        for (int i = 0; i < pairs; ++i) {
            const double t = 0.22 + 0.68 * i / std::max(1, pairs);
            const QPointF at = rachis.pointAtPercent(t);
            const double a = 90.0 - rachis.angleAtPercent(t);
            const double size = ll * (1.0 - 0.2 * t);
            drawBlade(p, st, at, a - 62 + rng.range(-6, 6), size, foreshorten);
            drawBlade(p, st, at, a + 62 + rng.range(-6, 6), size, foreshorten);
        }
        if (s.tendrils) {
            const QPointF e = rachis.pointAtPercent(1.0);
            drawTendril(p, e, deg + 10, L * 0.45, stalk.lighter(110), rng.uniform() < 0.5);
            drawTendril(p, rachis.pointAtPercent(0.92), deg - 30, L * 0.3, stalk.lighter(110), false);
        } else {
            drawBlade(p, st, end, deg + 6, ll * 1.1, foreshorten);
        }
        break;
    }
    case Arrangement::Pedate: {
        const double pet = L * 0.38 * foreshorten;
        const QPointF tip = base + dirVec(deg) * pet;
        drawStalk(p, base, tip, sw, stalk);
        const double angles[5] = {-78, -40, 0, 40, 78};
        const double sizes[5] = {0.42, 0.54, 0.66, 0.54, 0.42};
        for (int k : {0, 4, 1, 3, 2})
            drawBlade(p, st, tip, deg + angles[k], L * sizes[k], foreshorten);
        break;
    }
    default: {
        double pet = 0.06;
        if (s.blade == Blade::Heart || s.blade == Blade::Arrow)
            pet = 0.35;
        else if (s.blade == Blade::Halberd)
            pet = 0.15;
        else if (s.blade == Blade::Palmatifid)
            pet = 0.5;
        const QPointF tip = base + dirVec(deg) * L * pet * foreshorten;
        if (pet > 0.07)
            drawStalk(p, base, tip, sw * 0.8, stalk);
        drawBlade(p, st, tip, deg, L, foreshorten);
        break;
    }
    }
}
