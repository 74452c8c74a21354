// The pictures of a species: whole plant, flower, leaves, fruit and habitat.
#include "pictures.h"

#include "plants.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <vector>

namespace {

constexpr double BandHeight = 54.0;

struct Canvas {
    QImage image;
    double W = 640, H = 480;  // logical size; drawing is scaled to the image
};

Canvas makeCanvas(QSize size)
{
    Canvas c;
    c.image = QImage(size, QImage::Format_RGB32);
    c.image.fill(Qt::white);
    if (size.width() >= size.height()) {
        c.W = 640;
        c.H = 640.0 * size.height() / size.width();
    } else {
        c.H = 640;
        c.W = 640.0 * size.width() / size.height();
    }
    return c;
}

void beginPainting(QPainter& p, const Canvas& c)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.scale(c.image.width() / c.W, c.image.height() / c.H);
}

void verticalGradient(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.fillRect(r, g);
}

void soilBand(QPainter& p, const Canvas& c, double groundY, Rng& rng)
{
    const QRectF r(0, groundY - 6, c.W, c.H - groundY + 6);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, QColor(0xcf, 0xc4, 0xa2));
    g.setColorAt(1.0, QColor(0xb4, 0xa4, 0x7e));
    QPainterPath edge;
    edge.moveTo(0, c.H);
    edge.lineTo(0, groundY);
    for (int i = 0; i <= 32; ++i)
        edge.lineTo(c.W * i / 32.0, groundY - 4 + rng.range(-2.5, 2.5));
    edge.lineTo(c.W, c.H);
    edge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(edge);
    for (int i = 0; i < 60; ++i) {
        const QPointF at(rng.range(0, c.W), rng.range(groundY + 2, c.H - BandHeight));
        p.setBrush(QColor(0x9a, 0x8a, 0x68, 110));
        p.drawEllipse(at, rng.range(0.8, 2.2), rng.range(0.6, 1.4));
    }
    // a few short blades of grass along the edge
    for (int i = 0; i < 26; ++i) {
        const double x = rng.range(0, c.W);
        const double h = rng.range(5, 13);
        p.setPen(QPen(QColor(0x88, 0x9e, 0x5a, 170), 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, groundY - 1), QPointF(x + rng.range(-4, 4), groundY - h));
    }
}

void caption(QPainter& p, const Canvas& c, const QString& name, const QString& text)
{
    const QFont nameFont = japaneseFont(26, true);
    const QFont textFont = japaneseFont(17);
    const QFontMetricsF nm(nameFont), tm(textFont);
    const double nameW = nm.horizontalAdvance(name);
    const double textW = tm.horizontalAdvance(text);
    const bool twoRows = nameW + textW + 56 > c.W;
    const double band = twoRows ? BandHeight + 20 : BandHeight;
    const QRectF r(0, c.H - band, c.W, band);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 249, 243, 238));
    p.drawRect(r);
    p.setPen(QPen(QColor(0xb4, 0xac, 0x94), 1.0));
    p.drawLine(r.topLeft(), r.topRight());
    p.setPen(QColor(0x2a, 0x2a, 0x22));
    p.setFont(nameFont);
    if (twoRows) {
        p.drawText(QRectF(18, r.top() + 4, c.W - 36, 36), Qt::AlignVCenter | Qt::AlignLeft, name);
        p.setFont(textFont);
        p.setPen(QColor(0x5a, 0x56, 0x48));
        p.drawText(QRectF(20, r.top() + 40, c.W - 40, 28), Qt::AlignVCenter | Qt::AlignLeft,
                   tm.elidedText(text, Qt::ElideRight, c.W - 40));
    } else {
        p.drawText(QRectF(18, r.top(), c.W - 36, band), Qt::AlignVCenter | Qt::AlignLeft, name);
        p.setFont(textFont);
        p.setPen(QColor(0x5a, 0x56, 0x48));
        p.drawText(QRectF(18 + nameW + 20, r.top() + 2, c.W - nameW - 56, band), Qt::AlignVCenter | Qt::AlignLeft, text);
    }
}

// A round lens with a magnified detail drawn by `detail` in its own
// coordinates (centre at the origin, radius `r`).
template <typename F>
void lens(QPainter& p, QPointF centre, double r, const QColor& background, F detail, const QString& label = QString())
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(centre + QPointF(2.5, 3), r, r);
    QRadialGradient g(centre, r);
    g.setColorAt(0.0, background.lighter(108));
    g.setColorAt(1.0, background);
    p.setBrush(g);
    p.drawEllipse(centre, r, r);
    QPainterPath clip;
    clip.addEllipse(centre, r, r);
    p.setClipPath(clip);
    p.translate(centre);
    detail();
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x8a, 0x84, 0x70), 2.0));
    p.drawEllipse(centre, r, r);
    if (!label.isEmpty()) {
        p.setFont(japaneseFont(14));
        p.setPen(QColor(0x5a, 0x56, 0x48));
        p.drawText(QRectF(centre.x() - r, centre.y() + r + 2, 2 * r, 20), Qt::AlignHCenter | Qt::AlignTop, label);
    }
}

QColor flowerBackground(const Species& s)
{
    if (s.petal.lightness() > 200 || s.form == Form::Plume || s.form == Form::PlantainSpike)
        return QColor(0x9c, 0xb0, 0x8c);
    if (s.petal.lightness() < 90)
        return QColor(0xe8, 0xe6, 0xd8);
    return QColor(0xd6, 0xe0, 0xca);
}

void softBackground(QPainter& p, const Canvas& c, const QColor& base)
{
    QRadialGradient g(QPointF(c.W * 0.45, c.H * 0.4), std::max(c.W, c.H) * 0.75);
    g.setColorAt(0.0, base.lighter(112));
    g.setColorAt(1.0, base.darker(108));
    p.fillRect(QRectF(0, 0, c.W, c.H), g);
}

QString arrangementText(const Species& s)
{
    if (s.leaflessInFlower)
        return QStringLiteral("細長い葉（花の後に出て冬を越す）");
    if (s.arrangement == Arrangement::Pedate)
        return QStringLiteral("5枚の小葉が鳥の足状につく");
    if (s.arrangement == Arrangement::Pinnate)
        return QStringLiteral("羽状の複葉");
    switch (s.leafShape) {
    case 1: return QStringLiteral("互生");
    case 2: return QStringLiteral("対生");
    case 3: return QStringLiteral("輪生");
    case 4: return QStringLiteral("根元に集まり羽状に裂ける");
    case 5: return QStringLiteral("3枚の小葉");
    case 7: return QStringLiteral("根元から長い柄で出る");
    case 8: return QStringLiteral("細長い葉");
    default: return QString();
    }
}

QString marginText(const Species& s)
{
    return s.leafMargin == 0 ? QStringLiteral("ふちにきょ歯がある") : QStringLiteral("ふちはなめらか");
}

// ---------------------------------------------------------------- views

void habitView(QPainter& p, const Canvas& c, const Species& s, Rng& rng)
{
    verticalGradient(p, QRectF(0, 0, c.W, c.H), QColor(0xe6, 0xee, 0xf2), QColor(0xf6, 0xf2, 0xe4));
    const double groundY = c.H - BandHeight - (c.H > c.W ? 48 : 40);
    soilBand(p, c, groundY, rng);
    // Low plants are drawn larger than life so that their parts can be seen.
    const bool flowersOnTop = s.habit == Habit::Upright && (s.inflo == Inflo::Terminal || s.inflo == Inflo::Branched);
    double plantH = (groundY - 16) * std::clamp(s.height * 1.3, 0.66, flowersOnTop ? 0.8 : 0.9);
    if (s.habit == Habit::Creeping)
        plantH = std::min(plantH, c.W * 0.34);
    p.save();
    p.translate(c.W * 0.5, groundY + 4);
    drawPlant(p, s, plantH, rng);
    p.restore();
    QString text = QStringLiteral("全体のようす");
    if (!s.heightText.isEmpty())
        text += QStringLiteral("　高さ ") + s.heightText;
    if (s.habit == Habit::Vine || s.habit == Habit::Creeping || s.heightText.startsWith(QStringLiteral("花茎"))
        || s.heightText.startsWith(QStringLiteral("葉柄")) || s.heightText.startsWith(QStringLiteral("茎")))
        text = QStringLiteral("全体のようす　") + s.heightText;
    caption(p, c, s.name, text);
}

void floretDetail(QPainter& p, const Species& s, double r, Rng& rng)
{
    switch (s.form) {
    case Form::Plume: {
        // one spikelet with its long silky hairs
        for (int i = 0; i < 40; ++i) {
            const double a = rng.range(-40, 40);
            p.setPen(QPen(QColor(0xf4, 0xf0, 0xe8, 210), 1.0));
            p.drawLine(QPointF(0, r * 0.45), QPointF(0, r * 0.45) + dirVec(a) * r * rng.range(0.6, 1.0));
        }
        p.setPen(QPen(s.accent.darker(120), 1.2));
        p.setBrush(mix(s.accent, s.petal, 0.3));
        p.drawEllipse(QRectF(-0.08 * r, -0.35 * r, 0.16 * r, 0.8 * r));
        p.setPen(QPen(s.accent.darker(140), 1.0));
        p.drawLine(QPointF(0, -0.35 * r), QPointF(0.08 * r, -0.85 * r));
        return;
    }
    case Form::PlantainSpike: {
        QColor bodyColour = s.accent.lighter(115);
        p.setPen(QPen(s.accent.darker(140), 1.2));
        p.setBrush(bodyColour);
        p.drawEllipse(QRectF(-0.16 * r, -0.1 * r, 0.32 * r, 0.45 * r));
        for (int k = 0; k < 4; ++k) {
            const double a = -60 + 40 * k;
            const QPointF tip = QPointF(0, -0.05 * r) + dirVec(a) * 0.7 * r;
            p.setPen(QPen(QColor(0xf4, 0xf4, 0xe8), 2.0));
            p.drawLine(QPointF(0, -0.05 * r), tip);
            p.setBrush(QColor(0xf0, 0xe4, 0xb8));
            p.setPen(QPen(QColor(0xb0, 0xa0, 0x70), 1.0));
            p.drawEllipse(tip, 0.07 * r, 0.1 * r);
        }
        return;
    }
    case Form::SpiralSpike: {
        drawFlower(p, s, QPointF(0, 0), 0.6 * r, 0, false, rng);
        p.setBrush(s.accent);
        p.setPen(QPen(s.petal.darker(130), 1.0));
        p.drawEllipse(QPointF(0, 0.2 * r), 0.22 * r, 0.3 * r);
        return;
    }
    case Form::TinyGreen:
        drawFlower(p, s, QPointF(-0.35 * r, -0.1 * r), 0.45 * r, 45, false, rng);
        drawFlower(p, s, QPointF(0.45 * r, 0.25 * r), 0.38 * r, 0, true, rng);
        return;
    default: {
        Species floret = s;
        floret.form = Form::Round5;
        floret.fruit = Fruit::None;
        drawFlower(p, floret, QPointF(0, 0), 0.7 * r, 0, false, rng);
        return;
    }
    }
}

void flowerView(QPainter& p, const Canvas& c, const Species& s, Rng& rng)
{
    const QColor bg = flowerBackground(s);
    softBackground(p, c, bg);
    const double areaH = c.H - BandHeight;
    const double R = std::min(c.W, areaH) * 0.34;
    const QPointF main(c.W * 0.38, areaH * 0.5);
    const QPointF second(c.W * 0.8, areaH * 0.55);
    LeafStyle leaf = leafStyleOf(s);
    // a leaf or two in the background for context
    auto backLeaves = [&]() {
        if (s.habit == Habit::Grass)
            return;
        LeafStyle st = leaf;
        if (st.blade == Blade::Runcinate || st.blade == Blade::Pinnatifid)
            st.blade = Blade::Lanceolate;
        drawBlade(p, st, QPointF(c.W * 0.05, areaH * 0.98), 40, R * 1.2, 1.0);
        drawBlade(p, st, QPointF(c.W * 0.98, areaH * 0.9), -55, R * 0.9, 0.8);
    };
    switch (s.form) {
    case Form::Umbel: case Form::FlatCorymb: case Form::TinyGreen: case Form::Plume:
    case Form::PlantainSpike: case Form::SpiralSpike: case Form::Jumprope: case Form::SpiderLily: {
        backLeaves();
        const double size = areaH * 0.78;
        QPointF base(c.W * 0.4, areaH * 0.96);
        double deg = 0;
        if (s.form == Form::SpiderLily) {
            base = QPointF(c.W * 0.4, areaH * 0.8);
        }
        if (s.form == Form::Umbel || s.form == Form::FlatCorymb || s.form == Form::TinyGreen) {
            base = QPointF(c.W * 0.4, areaH * 0.98);
            p.setPen(QPen(s.stemColour, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(c.W * 0.4, areaH + 10), base);
        } else {
            p.setPen(QPen(s.stemColour, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(c.W * 0.4, areaH + 10), base);
        }
        Species big = s;
        drawCluster(p, big, base, deg, s.form == Form::SpiderLily ? size * 0.8 : size * 0.92, rng);
        if (s.form != Form::SpiderLily)
            lens(p, QPointF(c.W * 0.8, areaH * 0.32), areaH * 0.22, bg.lighter(115),
                 [&]() { floretDetail(p, s, areaH * 0.22, rng); }, QStringLiteral("拡大"));
        break;
    }
    case Form::Knotweed:
        backLeaves();
        for (int k = 0; k < 3; ++k) {
            const QPointF at(c.W * (0.25 + 0.2 * k), areaH * (0.42 + 0.12 * (k % 2)));
            p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(at, QPointF(c.W * 0.45, areaH + 10));
            drawFlower(p, s, at, R * (0.75 - 0.1 * k), 0, false, rng);
        }
        lens(p, QPointF(c.W * 0.82, areaH * 0.3), areaH * 0.2, bg.lighter(115), [&]() {
            Species one = s;
            one.form = Form::Round5;
            one.fruit = Fruit::None;
            drawFlower(p, one, QPointF(0, 0), areaH * 0.14, 0, false, rng, s.petal);
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 5; ++k) {
                QColor tip = s.accent;
                tip.setAlpha(170);
                p.setBrush(tip);
                p.drawEllipse(dirVec(72.0 * k) * areaH * 0.11, areaH * 0.035, areaH * 0.035);
            }
        }, QStringLiteral("拡大"));
        break;
    case Form::Cross4:
        backLeaves();
        drawCluster(p, s, QPointF(c.W * 0.3, areaH * 0.98), 4, areaH * 0.85, rng);
        lens(p, QPointF(c.W * 0.72, areaH * 0.45), areaH * 0.3, bg.lighter(115),
             [&]() { drawFlower(p, s, QPointF(0, 0), areaH * 0.22, 0, false, rng); }, QStringLiteral("花の拡大"));
        break;
    case Form::CloverHead:
        backLeaves();
        p.setPen(QPen(s.stemColour, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(main + QPointF(0, R), QPointF(main.x() + 20, areaH + 10));
        drawFlower(p, s, main, R, 0, false, rng);
        lens(p, QPointF(c.W * 0.8, areaH * 0.4), areaH * 0.24, bg.lighter(115), [&]() {
            Species pea = s;
            pea.form = Form::Pea;
            drawFlower(p, pea, QPointF(-0.05 * areaH, 0.05 * areaH), areaH * 0.15, 70, true, rng);
        }, QStringLiteral("1つの花"));
        break;
    case Form::Pea:
        backLeaves();
        if (s.inflo == Inflo::Raceme) {
            drawCluster(p, s, QPointF(c.W * 0.36, areaH * 0.98), 8, areaH * 0.9, rng);
            drawFlower(p, s, QPointF(c.W * 0.74, areaH * 0.5), R * 0.55, 70, true, rng);
        } else {
            drawFlower(p, s, main, R * 0.9, 75, true, rng);
            drawFlower(p, s, second + QPointF(0, -20), R * 0.5, -60, true, rng);
            drawBud(p, s, QPointF(c.W * 0.72, areaH * 0.82), R * 0.2, 40);
        }
        break;
    case Form::Lipped: {
        // a ring of flowers rising from a pair of clasping leaves
        const QPointF node(c.W * 0.4, areaH * 0.74);
        p.setPen(QPen(s.stemColour, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(node.x(), areaH + 10), node + QPointF(0, -areaH * 0.12));
        for (int k = 0; k < 7; ++k) {
            const double off = -54 + 18 * k;
            drawFlower(p, s, node + QPointF(off * 0.5, 0), R * (k % 2 ? 1.05 : 1.2), off, true, rng);
        }
        LeafStyle st = leafStyleOf(s);
        drawBlade(p, st, node + QPointF(-6, 8), -105, R * 0.85, 1.0);
        drawBlade(p, st, node + QPointF(6, 8), 105, R * 0.85, 1.0);
        drawFlower(p, s, QPointF(c.W * 0.9, areaH * 0.86), R * 1.2, -10, true, rng);
        break;
    }
    case Form::HangingBell:
        backLeaves();
        p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        {
            QPainterPath ped;
            ped.moveTo(c.W * 0.1, areaH * 0.05);
            ped.quadTo(c.W * 0.3, 0, main.x(), main.y() - R * 1.05);
            p.drawPath(ped);
        }
        drawFlower(p, s, main, R, 0, true, rng);
        lens(p, QPointF(c.W * 0.8, areaH * 0.45), areaH * 0.26, bg.lighter(110), [&]() {
            Species open = s;
            open.form = Form::OpenBell;
            drawFlower(p, open, QPointF(0, 0), areaH * 0.2, 0, false, rng);
        }, QStringLiteral("下から見た花"));
        break;
    case Form::Butterbur:
        backLeaves();
        drawFlower(p, s, main + QPointF(0, R * 0.2), R, 0, false, rng);
        drawFlower(p, s, second + QPointF(0, R * 0.1), R * 0.55, 8, false, rng);
        break;
    case Form::Thistle:
        backLeaves();
        p.setPen(QPen(s.stemColour, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(main + QPointF(0, R * 0.5), QPointF(main.x(), areaH + 10));
        drawFlower(p, s, main, R, 0, true, rng);
        drawFlower(p, s, second, R * 0.5, 0, false, rng);
        break;
    case Form::UprightTube:
        backLeaves();
        drawFlower(p, s, main + QPointF(-R * 0.2, 0), R, 0, true, rng);
        drawFlower(p, s, second, R * 0.55, 0, false, rng);
        break;
    case Form::Funnel:
        backLeaves();
        drawFlower(p, s, main, R * 1.05, 0, false, rng);
        drawFlower(p, s, second, R * 0.5, 35, true, rng);
        drawBud(p, s, QPointF(c.W * 0.85, areaH * 0.16), R * 0.18, 25);
        break;
    case Form::Dandelion:
    case Form::Daisy:
        backLeaves();
        drawFlower(p, s, main, R, 0, false, rng);
        drawFlower(p, s, second + QPointF(0, -10), R * 0.55, 0, true, rng);
        break;
    case Form::Lily:
        backLeaves();
        drawFlower(p, s, main + QPointF(R * 0.1, 0), R * 1.15, 10, false, rng);
        drawBud(p, s, QPointF(c.W * 0.86, areaH * 0.35), R * 0.3, 70);
        break;
    case Form::Narcissus:
        backLeaves();
        drawFlower(p, s, main, R, 0, false, rng);
        drawFlower(p, s, second, R * 0.55, 90, true, rng);
        break;
    case Form::Round5:
        backLeaves();
        drawFlower(p, s, main, R, 0, false, rng);
        if (s.petalAlt.isValid())
            drawFlower(p, s, second, R * 0.55, 20, false, rng, s.petalAlt);
        else
            drawFlower(p, s, second, R * 0.5, 0, true, rng);
        break;
    case Form::Violet:
        backLeaves();
        drawFlower(p, s, main, R, 0, false, rng);
        p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        {
            QPainterPath st;
            st.moveTo(second.x() - 30, areaH + 10);
            st.quadTo(second.x() - 40, second.y() - R * 0.5, second.x() - 10, second.y() - R * 0.3);
            p.drawPath(st);
        }
        drawFlower(p, s, second + QPointF(10, -R * 0.2), R * 0.5, 100, true, rng);
        break;
    default:
        backLeaves();
        drawFlower(p, s, main, R, 0, false, rng);
        drawFlower(p, s, second, R * 0.5, 25, true, rng);
        break;
    }
    QString text = QStringLiteral("花");
    if (!s.flowerText.isEmpty())
        text += QStringLiteral("　") + s.flowerText;
    caption(p, c, s.name, text);
}

void arrangementDiagram(QPainter& p, const Species& s, QPointF base, double h, Rng& rng)
{
    Species small = s;
    small.flowerCount = 0;
    const double L = h * 0.28;
    if (s.habit == Habit::Rosette || s.arrangement == Arrangement::Basal) {
        p.save();
        p.translate(base);
        const int n = 7;
        LeafStyle st = leafStyleOf(s);
        for (int k = 0; k < n; ++k) {
            const double a = -80 + 160.0 * k / (n - 1);
            if (s.blade == Blade::Kidney) {
                p.setPen(QPen(s.leafColour.darker(120), 1.5));
                const QPointF top = dirVec(a * 0.5) * h * 0.5;
                p.drawLine(QPointF(0, 0), top);
                drawBlade(p, st, top, a * 0.5 + (a >= 0 ? 60 : -60), L * 0.9, 0.8);
            } else if (s.blade == Blade::Linear) {
                QPainterPath lf;
                lf.moveTo(0, 0);
                lf.quadTo(dirVec(a * 0.3) * h * 0.4, dirVec(a * 0.8) * h * 0.75);
                taperStroke(p, lf, 4, 1, st.colour, st.colour.darker(140));
            } else {
                drawBlade(p, st, QPointF(0, 0), a, L * 1.4, 0.9);
            }
        }
        p.restore();
        return;
    }
    QPainterPath stem;
    stem.moveTo(base);
    stem.lineTo(base + QPointF(0, -h));
    const double sw = std::max(2.0, h * 0.02);
    taperStroke(p, stem, sw, sw * 0.7, s.stemColour, s.stemColour.darker(130));
    for (int i = 0; i < 4; ++i) {
        const double t = 0.12 + 0.25 * i;
        const QPointF at = stem.pointAtPercent(t);
        switch (s.arrangement) {
        case Arrangement::Opposite:
            drawLeafUnit(p, small, at, (i % 2 ? -35 : -60), L, rng, i % 2 ? 0.55 : 1.0);
            drawLeafUnit(p, small, at, (i % 2 ? 35 : 60), L, rng, i % 2 ? 0.55 : 1.0);
            break;
        case Arrangement::Whorled: {
            const int n = s.form == Form::Bedstraw ? 6 : 4;
            for (int k = 0; k < n; ++k) {
                const double az = 360.0 * k / n + i * 20;
                const double sx = std::sin(rad(az));
                drawLeafUnit(p, small, at, (sx >= 0 ? 1 : -1) * (30 + 40 * std::fabs(sx)), L * 0.9, rng, 0.4 + 0.6 * std::fabs(sx));
            }
            break;
        }
        default:
            drawLeafUnit(p, small, at, i % 2 ? -55 : 55, s.arrangement == Arrangement::Alternate ? L : L * 1.2, rng);
            break;
        }
    }
}

void leafView(QPainter& p, const Canvas& c, const Species& s, Rng& rng)
{
    verticalGradient(p, QRectF(0, 0, c.W, c.H), QColor(0xf4, 0xf2, 0xea), QColor(0xe8, 0xe4, 0xd6));
    const double areaH = c.H - BandHeight;
    const QRectF box(c.W * 0.7, areaH * 0.08, c.W * 0.27, areaH * 0.82);
    // the big leaf, kept clear of the diagram on the right
    p.save();
    p.setClipRect(QRectF(0, 0, box.left() - 6, areaH));
    if (s.leaflessInFlower || s.blade == Blade::Linear) {
        for (int k = 0; k < 5; ++k) {
            QPainterPath lf;
            const QPointF base(c.W * 0.08 + k * 14, areaH * 0.95);
            lf.moveTo(base);
            lf.quadTo(base + QPointF(c.W * 0.2, -areaH * 0.75), base + QPointF(c.W * (0.42 + 0.04 * k), -areaH * (0.62 - 0.08 * k)));
            const double w = s.form == Form::Plume ? 14 : 16;
            taperStroke(p, lf, w, 2, s.leafColour.lighter(100 + 5 * k), s.leafColour.darker(140));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(s.leaflessInFlower || s.form == Form::Plume ? QColor(0xe8, 0xee, 0xd8) : s.leafColour.lighter(125), 2.0));
            p.drawPath(lf);
        }
    } else {
        const QPointF base(c.W * 0.1, areaH * 0.9);
        double L = std::min(c.W * 0.62, areaH * 0.95);
        double deg = 52;
        if (s.blade == Blade::Kidney) {
            // a broad blade on a long stalk
            const QPointF centre(c.W * 0.36, areaH * 0.52);
            QPainterPath stalk;
            stalk.moveTo(c.W * 0.2, areaH + 4);
            stalk.quadTo(c.W * 0.3, areaH * 0.8, centre.x(), centre.y());
            taperStroke(p, stalk, 12, 8, mix(s.leafColour, s.stemColour, 0.4), s.leafColour.darker(140));
            drawBlade(p, leafStyleOf(s), centre, 15, areaH * 0.4, 1.0);
        } else {
            if (s.arrangement == Arrangement::Trifoliate || s.arrangement == Arrangement::Pedate) {
                L *= 1.05;
                deg = 35;
            } else if (s.arrangement == Arrangement::Pinnate) {
                L *= s.tendrils ? 1.15 : 0.9;
                deg = s.tendrils ? 52 : 38;
            } else if (s.blade == Blade::Heart || s.blade == Blade::Round) {
                L = areaH * 0.5;
            } else if (s.blade == Blade::Arrow) {
                L = areaH * 0.6;
                deg = 40;
            } else if (s.blade == Blade::Palmatifid) {
                L = areaH * 0.45;
            }
            drawLeafUnit(p, s, base, deg, L, rng);
        }
    }
    p.restore();
    // how the leaves sit on the stem
    p.setPen(QPen(QColor(0xc8, 0xc0, 0xa8), 1.0, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(box, 8, 8);
    p.save();
    p.setClipRect(box.adjusted(2, 2, -2, -2));
    arrangementDiagram(p, s, QPointF(box.center().x(), box.bottom() - 34), box.height() * 0.72, rng);
    p.restore();
    p.setFont(japaneseFont(14));
    p.setPen(QColor(0x5a, 0x56, 0x48));
    p.drawText(QRectF(box.left(), box.bottom() - 28, box.width(), 24), Qt::AlignCenter, QStringLiteral("葉のつき方"));
    caption(p, c, s.name, QStringLiteral("葉　") + arrangementText(s) + QStringLiteral("・") + marginText(s));
}

// ---------------------------------------------------------------- fruit

void seeds(QPainter& p, int n, double r, const QColor& colour, Rng& rng, bool warty)
{
    for (int i = 0; i < n; ++i) {
        const QPointF at = dirVec(i * 137.5) * r * 0.6 * std::sqrt((i + 0.5) / n);
        const double sr = r * 0.16 * rng.range(0.9, 1.1);
        QRadialGradient g(at + QPointF(-sr * 0.3, -sr * 0.3), sr * 1.2);
        g.setColorAt(0.0, colour.lighter(135));
        g.setColorAt(1.0, colour.darker(115));
        p.setBrush(g);
        p.setPen(QPen(colour.darker(150), 0.8));
        p.drawEllipse(at, sr, sr * 0.85);
        if (warty)
            for (int k = 0; k < 8; ++k) {
                p.setPen(Qt::NoPen);
                p.setBrush(colour.darker(140));
                p.drawEllipse(at + dirVec(45.0 * k) * sr * 0.6, sr * 0.1, sr * 0.1);
            }
    }
}

void fruitView(QPainter& p, const Canvas& c, const Species& s, Rng& rng)
{
    const QColor bg(0xe4, 0xe4, 0xd2);
    softBackground(p, c, bg);
    const double areaH = c.H - BandHeight;
    const LeafStyle leaf = leafStyleOf(s);
    const QPointF lensAt(c.W * 0.8, areaH * 0.32);
    const double lensR = areaH * 0.22;
    switch (s.fruit) {
    case Fruit::Capsule: {
        drawBlade(p, leaf, QPointF(c.W * 0.1, areaH * 0.9), 45, 160, 1.0);
        for (int k = 0; k < 3; ++k) {
            const QPointF at(c.W * (0.25 + 0.17 * k), areaH * (0.45 + 0.08 * (k % 2)));
            p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            QPainterPath ped;
            ped.moveTo(at.x() - 40, areaH + 5);
            ped.quadTo(at.x() - 30, at.y() - 40, at.x(), at.y() - 60);
            p.drawPath(ped);
            p.save();
            p.translate(at + QPointF(0, -30));
            p.rotate(170 + 10 * k);
            QPainterPath caps;
            caps.addEllipse(QRectF(-22, -70, 44, 80));
            QLinearGradient g(-22, 0, 22, 0);
            g.setColorAt(0.0, QColor(0xa8, 0xa0, 0x60));
            g.setColorAt(0.5, QColor(0xd8, 0xd0, 0x90));
            g.setColorAt(1.0, QColor(0x98, 0x90, 0x50));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x78, 0x70, 0x40), 1.2));
            p.drawPath(caps);
            for (int j = -2; j <= 2; ++j)
                p.drawLine(QPointF(j * 6, -70), QPointF(j * 9, -82));
            p.restore();
            p.save();
            p.translate(at + QPointF(0, -30));
            p.rotate(180 + 10 * k);
            for (int j = 0; j < 5; ++j) {
                p.save();
                p.rotate(-50 + 25 * j);
                p.setBrush(QColor(0x6a, 0x9a, 0x4a));
                p.setPen(QPen(QColor(0x3a, 0x60, 0x2a), 1.0));
                p.drawEllipse(QRectF(-8, -60, 16, 60));
                p.restore();
            }
            p.restore();
        }
        lens(p, lensAt, lensR, QColor(0xf4, 0xf0, 0xe4), [&]() { seeds(p, 5, lensR, QColor(0x7a, 0x4a, 0x2a), rng, true); },
             QStringLiteral("種子（拡大）"));
        break;
    }
    case Fruit::Puff: {
        p.setPen(QPen(QColor(0x9a, 0xb0, 0x70), 6, Qt::SolidLine, Qt::RoundCap));
        const QPointF centre(c.W * 0.36, areaH * 0.42);
        p.drawLine(centre, QPointF(c.W * 0.34, areaH + 10));
        const double R = areaH * 0.36;
        Rng pr(31);
        for (int i = 0; i < 220; ++i) {
            const double a = pr.range(0, 360);
            const double depth = pr.range(0.35, 1.0);
            const QPointF d = dirVec(a) * R * depth;
            p.setPen(QPen(QColor(250, 250, 246, 150 + int(depth * 100)), 1.0));
            p.drawLine(centre + d * 0.35, centre + d);
            for (int j = -3; j <= 3; ++j)
                p.drawLine(centre + d, centre + d + dirVec(a + j * 18) * R * 0.16 * depth);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x7a, 0x50));
        p.drawEllipse(centre, R * 0.14, R * 0.14);
        // a single fruit with its parachute
        lens(p, lensAt + QPointF(0, areaH * 0.12), lensR * 1.3, QColor(0xb8, 0xc8, 0xd8), [&]() {
            const double r = lensR * 1.3;
            p.setPen(QPen(QColor(0x6a, 0x5a, 0x3a), 2.0));
            p.setBrush(QColor(0x8a, 0x70, 0x40));
            p.drawEllipse(QRectF(-0.06 * r, 0.35 * r, 0.12 * r, 0.4 * r));
            p.setPen(QPen(QColor(0xf0, 0xf0, 0xe8), 1.5));
            p.drawLine(QPointF(0, 0.35 * r), QPointF(0, -0.3 * r));
            for (int j = 0; j < 19; ++j)
                p.drawLine(QPointF(0, -0.3 * r), QPointF(0, -0.3 * r) + dirVec(-80 + j * 160.0 / 18) * 0.5 * r);
        }, QStringLiteral("1つの実と冠毛"));
        break;
    }
    case Fruit::Silicle: {
        Species plant = s;
        drawCluster(p, plant, QPointF(c.W * 0.3, areaH * 0.98), 0, areaH * 0.9, rng);
        lens(p, QPointF(c.W * 0.76, areaH * 0.45), areaH * 0.3, QColor(0xf0, 0xf0, 0xe0), [&]() {
            const double w = areaH * 0.18;
            QPainterPath pod;
            pod.moveTo(0, w * 0.8);
            pod.cubicTo(-w * 0.9, w * 0.5, -w * 1.1, -w * 0.6, -w * 0.5, -w * 0.7);
            pod.quadTo(-w * 0.15, -w * 0.7, 0, -w * 0.45);
            pod.quadTo(w * 0.15, -w * 0.7, w * 0.5, -w * 0.7);
            pod.cubicTo(w * 1.1, -w * 0.6, w * 0.9, w * 0.5, 0, w * 0.8);
            p.setBrush(QColor(0x9a, 0xbc, 0x5a));
            p.setPen(QPen(QColor(0x5a, 0x7a, 0x30), 2));
            p.drawPath(pod);
            p.drawLine(QPointF(0, w * 0.8), QPointF(0, -w * 0.45));
            p.drawLine(QPointF(0, w * 0.8), QPointF(0, w * 1.3));
        }, QStringLiteral("実（拡大）"));
        break;
    }
    case Fruit::HeartCapsule: {
        drawBlade(p, leaf, QPointF(c.W * 0.08, areaH * 0.95), 40, 150, 1.0);
        drawBlade(p, leaf, QPointF(c.W * 0.6, areaH * 0.98), -30, 130, 1.0);
        for (int k = 0; k < 3; ++k) {
            const QPointF at(c.W * (0.22 + 0.22 * k), areaH * (0.4 + 0.1 * (k % 2)));
            p.setPen(QPen(s.stemColour, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(at + QPointF(0, 40), QPointF(at.x() - 20 + 15 * k, areaH + 10));
            p.save();
            p.translate(at);
            p.rotate(-15 + 15 * k);
            for (int j = 0; j < 4; ++j) {
                p.save();
                p.rotate(180 - 75 + 50 * j);
                p.setBrush(QColor(0x6a, 0x9a, 0x4a));
                p.setPen(QPen(QColor(0x3a, 0x60, 0x2a), 1.0));
                p.drawEllipse(QRectF(-7, -66, 14, 58));
                p.restore();
            }
            const double w = 44;
            QPainterPath heart;
            heart.moveTo(0, w * 0.6);
            heart.cubicTo(-w * 1.1, w * 0.3, -w * 0.9, -w * 0.8, -w * 0.35, -w * 0.7);
            heart.quadTo(-w * 0.05, -w * 0.65, 0, -w * 0.35);
            heart.quadTo(w * 0.05, -w * 0.65, w * 0.35, -w * 0.7);
            heart.cubicTo(w * 0.9, -w * 0.8, w * 1.1, w * 0.3, 0, w * 0.6);
            QRadialGradient g(QPointF(-w * 0.3, -w * 0.2), w);
            g.setColorAt(0.0, QColor(0xa8, 0xc8, 0x70));
            g.setColorAt(1.0, QColor(0x6a, 0x90, 0x40));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x4a, 0x6a, 0x2a), 1.5));
            p.drawPath(heart);
            p.restore();
        }
        break;
    }
    case Fruit::Valves3: {
        drawBlade(p, leaf, QPointF(c.W * 0.05, areaH * 0.95), 35, 190, 1.0);
        const QPointF at(c.W * 0.4, areaH * 0.45);
        p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at + QPointF(0, 20), QPointF(at.x() - 10, areaH + 10));
        for (int k = 0; k < 3; ++k) {
            p.save();
            p.translate(at);
            p.rotate(120.0 * k);
            QPainterPath valve;
            valve.moveTo(0, 0);
            valve.cubicTo(-40, -30, -30, -110, 0, -125);
            valve.cubicTo(30, -110, 40, -30, 0, 0);
            QLinearGradient g(-35, 0, 35, 0);
            g.setColorAt(0.0, QColor(0x8a, 0x9a, 0x50));
            g.setColorAt(0.5, QColor(0xc8, 0xcc, 0x88));
            g.setColorAt(1.0, QColor(0x7a, 0x8a, 0x40));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x5a, 0x6a, 0x2a), 1.5));
            p.drawPath(valve);
            for (int j = 0; j < 5; ++j) {
                p.setBrush(QColor(0x7a, 0x4e, 0x26));
                p.setPen(QPen(QColor(0x4a, 0x2a, 0x10), 1));
                p.drawEllipse(QPointF(0, -25 - 18 * j), 6, 8);
            }
            p.restore();
        }
        p.setBrush(QColor(0x6a, 0x9a, 0x4a));
        p.drawEllipse(at, 10, 10);
        lens(p, lensAt + QPointF(0, 40), lensR, QColor(0xf4, 0xf0, 0xe4), [&]() {
            for (int k = 0; k < 3; ++k) {
                const QPointF sp(-lensR * 0.45 + k * lensR * 0.45, 0);
                p.setBrush(QColor(0x7a, 0x4e, 0x26));
                p.setPen(QPen(QColor(0x4a, 0x2a, 0x10), 1));
                p.drawEllipse(sp, lensR * 0.14, lensR * 0.2);
                p.setBrush(QColor(0xf0, 0xe8, 0xd0));
                p.drawEllipse(sp + QPointF(0, lensR * 0.22), lensR * 0.08, lensR * 0.06);
            }
        }, QStringLiteral("種子（白いのはアリが好む部分）"));
        break;
    }
    case Fruit::Strawberry: {
        Species leafy = s;
        drawLeafUnit(p, leafy, QPointF(c.W * 0.1, areaH * 0.98), 30, areaH * 0.8, rng);
        drawLeafUnit(p, leafy, QPointF(c.W * 0.9, areaH * 0.98), -35, areaH * 0.7, rng);
        for (int k = 0; k < 3; ++k) {
            const QPointF at(c.W * (0.3 + 0.2 * k), areaH * (0.45 + 0.12 * (k % 2)));
            const double r = areaH * (0.13 - 0.02 * k);
            p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(at + QPointF(0, r), QPointF(at.x() + 10, areaH + 10));
            p.save();
            p.translate(at + QPointF(0, r * 0.7));
            for (int j = 0; j < 10; ++j) {
                p.save();
                p.rotate(36.0 * j);
                p.setBrush(QColor(0x5e, 0x8e, 0x3e));
                p.setPen(QPen(QColor(0x3a, 0x60, 0x2a), 1));
                p.drawEllipse(QRectF(-r * 0.12, -r * 0.75, r * 0.24, r * 0.7));
                p.restore();
            }
            p.restore();
            QRadialGradient g(at + QPointF(-r * 0.3, -r * 0.3), r * 1.2);
            g.setColorAt(0.0, QColor(0xff, 0x70, 0x60));
            g.setColorAt(0.6, QColor(0xd8, 0x28, 0x20));
            g.setColorAt(1.0, QColor(0xa0, 0x10, 0x10));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x80, 0x10, 0x10), 1.2));
            p.drawEllipse(at, r, r);
            for (int i = 0; i < 40; ++i) {
                const QPointF d = dirVec(i * 137.5) * r * 0.85 * std::sqrt((i + 0.5) / 40.0);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xa8, 0x10, 0x18));
                p.drawEllipse(at + d, r * 0.05, r * 0.05);
            }
        }
        break;
    }
    case Fruit::BlackPod:
    case Fruit::HairyPod: {
        const bool black = s.fruit == Fruit::BlackPod;
        Species leafy = s;
        drawLeafUnit(p, leafy, QPointF(c.W * 0.05, areaH * 0.9), 50, areaH * (black ? 0.7 : 0.8), rng);
        p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath stem;
        stem.moveTo(c.W * 0.25, areaH + 10);
        stem.cubicTo(c.W * 0.35, areaH * 0.6, c.W * 0.5, areaH * 0.3, c.W * 0.62, areaH * 0.05);
        p.drawPath(stem);
        const int n = black ? 4 : 6;
        for (int k = 0; k < n; ++k) {
            const double t = 0.25 + 0.6 * k / n;
            const QPointF at = stem.pointAtPercent(t);
            const double side = k % 2 ? -1.0 : 1.0;
            p.save();
            p.translate(at);
            p.rotate(black ? side * 60 + 10 : 150 + side * 20 + k * 3);
            const double len = black ? 130 : 150, w = black ? 22 : 30;
            QPainterPath pod;
            pod.moveTo(0, 0);
            pod.cubicTo(w * 0.6, -len * 0.2, w * 0.7, -len * 0.8, w * 0.1, -len);
            pod.cubicTo(-w * 0.5, -len * 0.85, -w * 0.5, -len * 0.2, 0, 0);
            QLinearGradient g(-w, 0, w, 0);
            if (black) {
                const bool young = k == n - 1;
                g.setColorAt(0.0, young ? QColor(0x4a, 0x7a, 0x30) : QColor(0x10, 0x10, 0x14));
                g.setColorAt(0.45, young ? QColor(0x8a, 0xb8, 0x5a) : QColor(0x50, 0x50, 0x58));
                g.setColorAt(1.0, young ? QColor(0x3a, 0x6a, 0x28) : QColor(0x08, 0x08, 0x0c));
            } else {
                g.setColorAt(0.0, QColor(0x7a, 0x5a, 0x30));
                g.setColorAt(0.5, QColor(0xb0, 0x8a, 0x50));
                g.setColorAt(1.0, QColor(0x6a, 0x4a, 0x28));
            }
            p.setBrush(g);
            p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0));
            p.drawPath(pod);
            if (!black) {
                Rng hr(quint64(500 + k));
                p.setPen(QPen(QColor(0x8a, 0x5a, 0x28, 200), 0.8));
                for (int i = 0; i < 90; ++i) {
                    const double t2 = hr.range(0.02, 0.98);
                    const QPointF pt = pod.pointAtPercent(t2);
                    p.drawLine(pt, pt + dirVec(hr.range(0, 360)) * hr.range(3, 7));
                }
            }
            p.restore();
        }
        break;
    }
    case Fruit::Crane: {
        drawLeafUnit(p, s, QPointF(c.W * 0.02, areaH * 0.98), 40, areaH * 0.42, rng);
        for (int k = 0; k < 2; ++k) {
            const QPointF base(c.W * (0.4 + 0.28 * k), areaH * (0.9 - 0.05 * k));
            p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(base, QPointF(base.x() - 20, areaH + 10));
            const double h = areaH * (0.5 - 0.1 * k);
            const QPointF top = base + QPointF(0, -h);
            // the calyx at the foot of the column
            for (int j = -2; j <= 2; ++j) {
                p.save();
                p.translate(base);
                p.rotate(j * 22);
                p.setBrush(QColor(0x7a, 0x8a, 0x4a));
                p.setPen(QPen(QColor(0x4a, 0x5a, 0x2a), 1));
                p.drawEllipse(QRectF(-6, -34, 12, 34));
                p.restore();
            }
            p.setPen(QPen(QColor(0x7a, 0x6a, 0x40), 5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(base + QPointF(0, -20), top);
            // five valves, loose at the foot and curled up and outwards from
            // the top of the column, like the roof of a portable shrine
            for (int j = 0; j < 5; ++j) {
                const double side = (j - 2) * 0.5;
                const double depth = 1.0 - std::fabs(side);
                const double reach = 105 * (0.35 + 0.65 * std::fabs(side)) * (1 - 0.25 * k);
                QPainterPath v;
                v.moveTo(top);
                const QPointF end = top + QPointF(side * reach * 1.3, 20 + 26 * depth);
                v.cubicTo(top + QPointF(side * reach * 0.6, 4), top + QPointF(side * reach * 1.5, 6), end);
                // the curl at the end of the valve
                const double sgn = side >= 0 ? 1.0 : -1.0;
                const double cr = 16 * (1 - 0.25 * k);
                const QPointF cc = end + QPointF(-sgn * cr, -cr * 0.4);
                for (int i = 0; i <= 16; ++i) {
                    const double a = -10 + 300.0 * i / 16;
                    const double rr = cr * (1 - 0.6 * i / 16.0);
                    v.lineTo(cc + QPointF(sgn * rr * std::cos(rad(a)), -rr * std::sin(rad(a))));
                }
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(0x5a, 0x46, 0x26), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPath(v);
                p.setPen(QPen(QColor(0x9a, 0x80, 0x50), 1.5, Qt::SolidLine, Qt::RoundCap));
                p.drawPath(v);
            }
        }
        // a young fruit with its long beak
        p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.W * 0.9, areaH * 0.78), QPointF(c.W * 0.88, areaH + 10));
        p.setPen(QPen(QColor(0x6a, 0x9a, 0x4a), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.W * 0.9, areaH * 0.78), QPointF(c.W * 0.91, areaH * 0.42));
        break;
    }
    case Fruit::BlackBerry: {
        drawLeafUnit(p, s, QPointF(c.W * 0.05, areaH * 0.9), 45, areaH * 0.75, rng);
        const QPointF base(c.W * 0.55, areaH * 0.95);
        for (int j = -1; j <= 1; ++j) {
            const QPointF e = base + dirVec(j * 32) * areaH * 0.4;
            p.setPen(QPen(s.stemColour, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(base, e);
            for (int i = 0; i < 4; ++i) {
                const QPointF b = e + dirVec(j * 20 - 45 + 30 * i) * areaH * 0.1;
                p.setPen(QPen(s.stemColour, 1.5));
                p.drawLine(e, b);
                QRadialGradient g(b + QPointF(-5, -5), 18);
                g.setColorAt(0.0, QColor(0x7a, 0x7a, 0x90));
                g.setColorAt(0.35, QColor(0x22, 0x22, 0x2e));
                g.setColorAt(1.0, QColor(0x08, 0x08, 0x10));
                p.setBrush(g);
                p.setPen(QPen(QColor(0, 0, 0), 1));
                p.drawEllipse(b, 13, 13);
            }
        }
        break;
    }
    case Fruit::Balloon: {
        drawBlade(p, leaf, QPointF(c.W * 0.08, areaH * 0.95), 40, 170, 1.0);
        const QPointF base(c.W * 0.42, areaH * 0.98);
        const double sizes[3] = {0.18, 0.13, 0.09};
        const double angles[3] = {-25, 20, 50};
        for (int k = 0; k < 3; ++k) {
            const QPointF top = base + dirVec(angles[k]) * areaH * (0.6 - 0.08 * k);
            p.setPen(QPen(s.stemColour, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(base, top);
            drawBud(p, s, top + dirVec(angles[k]) * areaH * sizes[k] * 0.45, areaH * sizes[k], angles[k] * 0.5);
        }
        drawFlower(p, s, QPointF(c.W * 0.82, areaH * 0.38), areaH * 0.2, 0, false, rng);
        break;
    }
    case Fruit::Grain: {
        drawCluster(p, s, QPointF(c.W * 0.3, areaH * 0.98), 5, areaH * 0.9, rng);
        lens(p, QPointF(c.W * 0.78, areaH * 0.45), areaH * 0.28, QColor(0xf0, 0xf0, 0xe0), [&]() {
            const double r = areaH * 0.28;
            p.setPen(QPen(QColor(0x9a, 0xa8, 0x60), 1.5));
            for (int i = 0; i < 7; ++i)
                p.drawLine(QPointF(0, 0.35 * r), QPointF(0, 0.35 * r) + dirVec(-30 + 10 * i) * r * 0.8);
            p.setBrush(QColor(0xa8, 0xb8, 0x70));
            p.setPen(QPen(QColor(0x6a, 0x7a, 0x3a), 2));
            p.drawEllipse(QRectF(-0.16 * r, -0.1 * r, 0.32 * r, 0.5 * r));
        }, QStringLiteral("小穂（下に長い剛毛）"));
        break;
    }
    case Fruit::Burr: {
        QPainterPath stem;
        stem.moveTo(c.W * 0.3, areaH + 10);
        stem.cubicTo(c.W * 0.35, areaH * 0.6, c.W * 0.45, areaH * 0.3, c.W * 0.5, areaH * 0.02);
        taperStroke(p, stem, 4, 3, s.stemColour, s.stemColour.darker(130));
        for (int i = 0; i < 3; ++i) {
            const double t = 0.2 + 0.3 * i;
            const QPointF at = stem.pointAtPercent(t);
            const double a = 90.0 - stem.angleAtPercent(t);
            for (int k = 0; k < 6; ++k) {
                const double az = 60.0 * k + i * 15;
                const double sx = std::sin(rad(az));
                drawBlade(p, leaf, at, a + (sx >= 0 ? 1 : -1) * (35 + 40 * std::fabs(sx)), 80, 0.4 + 0.6 * std::fabs(sx));
            }
            const QPointF f = at + QPointF(i % 2 ? -60 : 60, -30);
            p.setPen(QPen(s.stemColour, 2));
            p.drawLine(at, f);
            for (int j = -1; j <= 1; j += 2) {
                const QPointF b = f + QPointF(j * 13, 0);
                p.setBrush(QColor(0x8a, 0xa0, 0x4a));
                p.setPen(QPen(QColor(0x4a, 0x60, 0x2a), 1));
                p.drawEllipse(b, 12, 12);
                p.setPen(QPen(QColor(0xe8, 0xec, 0xd0), 1));
                for (int h = 0; h < 16; ++h) {
                    const QPointF d = dirVec(22.5 * h);
                    p.drawLine(b + d * 12, b + d * 18);
                    p.drawLine(b + d * 18, b + d * 18 + dirVec(22.5 * h + 120) * 3);
                }
            }
        }
        break;
    }
    default:
        break;
    }
    caption(p, c, s.name, s.fruitText.isEmpty() ? QStringLiteral("実") : s.fruitText);
}

// ---------------------------------------------------------------- habitat

void hills(QPainter& p, const Canvas& c, double y, const QColor& colour, Rng& rng, double amp)
{
    QPainterPath path;
    path.moveTo(0, c.H);
    path.lineTo(0, y);
    const double ph = rng.range(0, 6.28);
    for (int i = 0; i <= 64; ++i) {
        const double x = c.W * i / 64.0;
        path.lineTo(x, y - amp * (0.6 * std::sin(x / c.W * 5.0 + ph) + 0.4 * std::sin(x / c.W * 11.0 + ph * 2)));
    }
    path.lineTo(c.W, c.H);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void tree(QPainter& p, QPointF base, double h, const QColor& crown, Rng& rng)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6a, 0x50, 0x38));
    p.drawRect(QRectF(base.x() - h * 0.04, base.y() - h * 0.5, h * 0.08, h * 0.5));
    for (int i = 0; i < 6; ++i) {
        const QPointF c = base + QPointF(rng.range(-0.22, 0.22) * h, -h * rng.range(0.55, 0.9));
        p.setBrush(i % 2 ? crown : crown.darker(112));
        p.drawEllipse(c, h * rng.range(0.18, 0.28), h * rng.range(0.15, 0.22));
    }
}

void haze(QPainter& p, const Canvas& c, const QColor& sky, int alpha)
{
    QColor h = sky;
    h.setAlpha(alpha);
    p.fillRect(QRectF(0, 0, c.W, c.H), h);
}

void habitatView(QPainter& p, const Canvas& c, const Species& s, Rng& rng)
{
    const double areaH = c.H - BandHeight;
    const QColor sky(0xcc, 0xde, 0xec);
    verticalGradient(p, QRectF(0, 0, c.W, areaH), QColor(0xa8, 0xc8, 0xe4), QColor(0xe8, 0xee, 0xe8));
    double horizon = areaH * 0.45;
    struct Row { double y; double scale; int count; };
    std::vector<Row> rows;
    QColor groundTop(0x9a, 0xb8, 0x70), groundBottom(0x7a, 0x9a, 0x50);
    switch (s.scene) {
    case Scene::Coast: {
        horizon = areaH * 0.38;
        verticalGradient(p, QRectF(0, horizon, c.W, areaH * 0.25), QColor(0x5a, 0x8a, 0xb8), QColor(0x7a, 0xa8, 0xc8));
        p.setPen(QPen(QColor(255, 255, 255, 120), 1.2));
        for (int i = 0; i < 20; ++i) {
            const double y = horizon + rng.range(5, areaH * 0.24);
            const double x = rng.range(0, c.W);
            p.drawLine(QPointF(x, y), QPointF(x + rng.range(10, 30), y));
        }
        // a rocky slope coming down to the sea
        QPainterPath slope;
        slope.moveTo(0, areaH);
        slope.lineTo(0, areaH * 0.5);
        slope.cubicTo(c.W * 0.3, areaH * 0.52, c.W * 0.6, areaH * 0.62, c.W, areaH * 0.66);
        slope.lineTo(c.W, areaH);
        slope.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x8a, 0x6a));
        p.drawPath(slope);
        for (int i = 0; i < 14; ++i) {
            const QPointF at(rng.range(0, c.W), rng.range(areaH * 0.62, areaH * 0.98));
            QPolygonF rock;
            const double r = rng.range(14, 38);
            for (int k = 0; k < 7; ++k) {
                const QPointF d = dirVec(k * 51.4 + rng.range(-10, 10)) * r * rng.range(0.7, 1.0);
                rock << at + QPointF(d.x() * 1.3, d.y() * 0.7);
            }
            p.setBrush(QColor(0x7a, 0x78, 0x70).lighter(90 + rng.below(30)));
            p.setPen(QPen(QColor(0x5a, 0x58, 0x50), 1));
            p.drawPolygon(rock);
        }
        rows = std::vector<Row>{{areaH * 0.62, 0.16, 6}, {areaH * 0.78, 0.24, 4}, {areaH * 0.97, 0.36, 3}};
        break;
    }
    case Scene::PaddyEdge: {
        hills(p, c, horizon, QColor(0x8a, 0xa8, 0x9a), rng, 22);
        hills(p, c, horizon + 18, QColor(0x6a, 0x90, 0x6a), rng, 10);
        // ripe rice fields
        verticalGradient(p, QRectF(0, horizon + 22, c.W, areaH - horizon - 22), QColor(0xd8, 0xc0, 0x60), QColor(0xc8, 0xa8, 0x40));
        p.setPen(QPen(QColor(0xb0, 0x90, 0x30), 1));
        for (int i = 0; i < 26; ++i) {
            const double y = horizon + 26 + i * i * 0.5;
            if (y > areaH)
                break;
            p.drawLine(QPointF(0, y), QPointF(c.W, y));
        }
        // the raised path between the fields, running across the picture
        QPainterPath bank;
        bank.moveTo(0, areaH * 0.78);
        bank.cubicTo(c.W * 0.3, areaH * 0.7, c.W * 0.7, areaH * 0.64, c.W, areaH * 0.6);
        bank.lineTo(c.W, areaH * 0.72);
        bank.cubicTo(c.W * 0.7, areaH * 0.76, c.W * 0.3, areaH * 0.84, 0, areaH * 0.94);
        bank.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7a, 0x9a, 0x48));
        p.drawPath(bank);
        rows = std::vector<Row>{{areaH * 0.66, 0.14, 9}, {areaH * 0.8, 0.22, 6}, {areaH * 0.95, 0.3, 4}};
        break;
    }
    case Scene::ForestEdge: {
        hills(p, c, horizon - 10, QColor(0x7a, 0x98, 0x88), rng, 30);
        for (int i = 0; i < 9; ++i)
            tree(p, QPointF(c.W * (i + 0.5) / 9 + rng.range(-20, 20), horizon + 40), rng.range(110, 170), QColor(0x3a, 0x6a, 0x3a), rng);
        haze(p, c, sky, 40);
        verticalGradient(p, QRectF(0, horizon + 36, c.W, areaH - horizon - 36), QColor(0x8a, 0xa8, 0x58), QColor(0x6a, 0x8a, 0x40));
        rows = std::vector<Row>{{areaH * 0.72, 0.3, 3}, {areaH * 0.97, 0.5, 2}};
        break;
    }
    case Scene::Shade: {
        // a plastered wall with a wooden skirting, damp shade in front
        verticalGradient(p, QRectF(0, 0, c.W, areaH * 0.55), QColor(0xc8, 0xc0, 0xac), QColor(0xa8, 0xa0, 0x8c));
        p.fillRect(QRectF(0, areaH * 0.5, c.W, areaH * 0.08), QColor(0x6a, 0x50, 0x38));
        p.setPen(QPen(QColor(0x5a, 0x40, 0x2a), 1));
        for (int i = 0; i < 12; ++i)
            p.drawLine(QPointF(c.W * i / 12.0, areaH * 0.5), QPointF(c.W * i / 12.0, areaH * 0.58));
        verticalGradient(p, QRectF(0, areaH * 0.58, c.W, areaH * 0.42), QColor(0x5a, 0x6a, 0x40), QColor(0x4a, 0x58, 0x32));
        rows = std::vector<Row>{{areaH * 0.72, 0.24, 7}, {areaH * 0.86, 0.3, 5}, {areaH * 0.99, 0.36, 4}};
        break;
    }
    case Scene::Roadside: {
        hills(p, c, horizon, QColor(0x90, 0xaa, 0xa0), rng, 18);
        verticalGradient(p, QRectF(0, horizon + 10, c.W, areaH - horizon), groundTop, groundBottom);
        // the road running into the distance
        QPolygonF road;
        road << QPointF(c.W * 0.5, horizon + 10) << QPointF(c.W * 0.56, horizon + 10) << QPointF(c.W * 1.1, areaH)
             << QPointF(c.W * 0.35, areaH);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8a, 0x88, 0x84));
        p.drawPolygon(road);
        p.setPen(QPen(QColor(0xf0, 0xf0, 0xe8), 3));
        p.drawLine(QPointF(c.W * 0.535, horizon + 12), QPointF(c.W * 0.98, areaH));
        rows = std::vector<Row>{{areaH * 0.7, 0.14, 5}, {areaH * 0.84, 0.22, 3}, {areaH * 0.98, 0.32, 2}};
        break;
    }
    case Scene::Waterside: {
        hills(p, c, horizon, QColor(0x8a, 0xa8, 0x98), rng, 20);
        verticalGradient(p, QRectF(0, horizon + 10, c.W, areaH - horizon), groundTop, groundBottom);
        QPainterPath water;
        water.moveTo(0, areaH * 0.6);
        water.cubicTo(c.W * 0.4, areaH * 0.55, c.W * 0.6, areaH * 0.7, c.W, areaH * 0.62);
        water.lineTo(c.W, areaH * 0.72);
        water.cubicTo(c.W * 0.6, areaH * 0.8, c.W * 0.4, areaH * 0.66, 0, areaH * 0.7);
        water.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x6a, 0x98, 0xb8));
        p.drawPath(water);
        rows = std::vector<Row>{{areaH * 0.58, 0.14, 6}, {areaH * 0.86, 0.26, 4}, {areaH * 0.99, 0.34, 3}};
        break;
    }
    case Scene::Hillside: {
        hills(p, c, horizon - 20, QColor(0x94, 0xa8, 0xb4), rng, 36);
        hills(p, c, horizon + 10, QColor(0xa8, 0xa8, 0x70), rng, 22);
        verticalGradient(p, QRectF(0, horizon + 30, c.W, areaH - horizon - 30), QColor(0xb8, 0xb0, 0x70), QColor(0x98, 0x98, 0x58));
        rows = std::vector<Row>{{horizon + 40, 0.14, 7}, {areaH * 0.75, 0.28, 4}, {areaH * 0.99, 0.46, 2}};
        break;
    }
    case Scene::Meadow:
    default: {
        hills(p, c, horizon, QColor(0x8a, 0xac, 0x9a), rng, 20);
        verticalGradient(p, QRectF(0, horizon + 10, c.W, areaH - horizon), QColor(0x9c, 0xc0, 0x68), QColor(0x74, 0x9e, 0x48));
        rows = std::vector<Row>{{areaH * 0.62, 0.12, 9}, {areaH * 0.8, 0.2, 6}, {areaH * 0.98, 0.3, 4}};
        break;
    }
    }
    for (size_t ri = 0; ri < rows.size(); ++ri) {
        const Row& row = rows[ri];
        for (int k = 0; k < row.count; ++k) {
            const double x = c.W * (k + 0.5) / row.count + rng.range(-0.35, 0.35) * c.W / row.count;
            Rng prng(quint64(s.seed) * 977 + ri * 31 + k);
            p.save();
            p.translate(x, row.y + rng.range(-6, 6));
            const double h = areaH * row.scale * (s.habit == Habit::Creeping ? 0.9 : 1.0) * (s.tall ? 1.5 : 1.0)
                           * std::min(1.0, s.height / 0.6);
            const double sc = 1.0;
            p.scale(sc, sc);
            drawPlant(p, s, h, prng);
            p.restore();
        }
        if (ri + 1 < rows.size())
            haze(p, c, sky, 28);
    }
    caption(p, c, s.name, s.habitatText.isEmpty() ? QStringLiteral("生育地") : s.habitatText);
}

} // namespace

QSize defaultPictureSize(const Species& s, int index)
{
    if (index >= 0 && index < int(s.views.size()) && s.views[size_t(index)] == View::Habit && s.tall)
        return QSize(480, 640);
    return QSize(640, 480);
}

QImage drawSpeciesPicture(const Species& s, int index, QSize size)
{
    Canvas c = makeCanvas(size);
    QPainter p(&c.image);
    beginPainting(p, c);
    Rng rng(quint64(s.seed) * 1000 + quint64(index));
    switch (s.views[size_t(index)]) {
    case View::Habit: habitView(p, c, s, rng); break;
    case View::Flower: flowerView(p, c, s, rng); break;
    case View::Leaf: leafView(p, c, s, rng); break;
    case View::Fruit: fruitView(p, c, s, rng); break;
    case View::Habitat: habitatView(p, c, s, rng); break;
    }
    p.end();
    return c.image;
}

QImage drawLargePicture(const Species& s, QSize size)
{
    Canvas c = makeCanvas(size);
    QPainter p(&c.image);
    beginPainting(p, c);
    Rng rng(quint64(s.seed) * 1000);
    verticalGradient(p, QRectF(0, 0, c.W, c.H), QColor(0xe4, 0xee, 0xf0), QColor(0xf4, 0xf0, 0xe2));
    const double groundY = c.H - BandHeight - 36;
    soilBand(p, c, groundY, rng);
    p.save();
    p.translate(c.W * (c.W > c.H ? 0.36 : 0.42), groundY + 4);
    drawPlant(p, s, s.height * (groundY - 16), rng);
    p.restore();
    const double lr = std::min(c.W, c.H) * 0.17;
    const QPointF at(c.W - lr - 20, lr + 24);
    lens(p, at, lr, flowerBackground(s), [&]() {
        switch (s.form) {
        case Form::HangingBell:
        case Form::Balsam:
            drawFlower(p, s, QPointF(0, -lr * 0.1), lr * 0.62, 0, true, rng);
            break;
        case Form::Jumprope:
            drawCluster(p, s, QPointF(-lr * 0.1, lr * 0.9), 5, lr * 1.8, rng);
            break;
        default:
            drawFlower(p, s, QPointF(0, 0), lr * 0.8, 0, false, rng);
            break;
        }
    }, QStringLiteral("花"));
    caption(p, c, s.name, QStringLiteral("登録を試すための見本の図"));
    p.end();
    return c.image;
}

QImage drawNoImageCard(QSize size)
{
    Canvas c = makeCanvas(size);
    QPainter p(&c.image);
    beginPainting(p, c);
    verticalGradient(p, QRectF(0, 0, c.W, c.H), QColor(0xe2, 0xe2, 0xe0), QColor(0xc8, 0xc8, 0xc6));
    const QRectF card(36, 30, c.W - 72, c.H - 60);
    p.setPen(QPen(QColor(0xa4, 0xa4, 0xa0), 3.0, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(card, 18, 18);
    // a picture frame with a mountain and a sun, struck through
    const QRectF frame(c.W / 2 - 92, card.top() + 48, 184, 138);
    p.setPen(QPen(QColor(0x90, 0x90, 0x8c), 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(frame, 10, 10);
    QPolygonF mountain;
    mountain << QPointF(frame.left() + 14, frame.bottom() - 16) << QPointF(frame.left() + 70, frame.top() + 56)
             << QPointF(frame.left() + 104, frame.top() + 92) << QPointF(frame.left() + 130, frame.top() + 70)
             << QPointF(frame.right() - 14, frame.bottom() - 16);
    p.drawPolyline(mountain);
    p.drawEllipse(QPointF(frame.right() - 44, frame.top() + 36), 14, 14);
    p.setPen(QPen(QColor(0xa0, 0x50, 0x50), 7.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(frame.left() - 12, frame.bottom() + 12), QPointF(frame.right() + 12, frame.top() - 12));
    p.setFont(japaneseFont(44, true));
    p.setPen(QColor(0x6a, 0x6a, 0x66));
    p.drawText(QRectF(0, frame.bottom() + 40, c.W, 60), Qt::AlignCenter, QStringLiteral("画像がありません"));
    p.end();
    return c.image;
}
