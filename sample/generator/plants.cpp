// Whole plants: stems, leaves in their arrangement and flowers in place.
#include "plants.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <vector>

namespace {

double flowerRadius(const Species& s, double H)
{
    double base = 0.04;
    switch (s.form) {
    case Form::Chickweed: case Form::Star5: case Form::Bedstraw: base = 0.035; break;
    case Form::Lily: base = 0.042; break;
    case Form::Funnel: base = 0.05; break;
    case Form::Lipped: base = 0.05; break;
    case Form::CloverHead: base = 0.045; break;
    case Form::Pea: base = 0.035; break;
    case Form::Daisy: base = 0.045; break;
    case Form::Dandelion: base = 0.07; break;
    case Form::HangingBell: base = 0.04; break;
    case Form::UprightTube: base = 0.06; break;
    case Form::Balsam: base = 0.045; break;
    default: break;
    }
    return H * base * 1.6 * s.flowerSize;
}

QPainterPath stemPath(QPointF base, double height, double lean, double wobble, Rng& rng)
{
    const QPointF top = base + dirVec(lean) * height;
    const QPointF c1 = base + dirVec(lean * 0.3) * height * 0.35 + QPointF(rng.range(-wobble, wobble) * height, 0);
    const QPointF c2 = base + dirVec(lean * 0.9) * height * 0.7 + QPointF(rng.range(-wobble, wobble) * height, 0);
    QPainterPath path;
    path.moveTo(base);
    path.cubicTo(c1, c2, top);
    return path;
}

double tangentDeg(const QPainterPath& path, double t)
{
    return 90.0 - path.angleAtPercent(std::clamp(t, 0.0, 1.0));
}

// Leaves on one node of an upright stem.
void nodeLeaves(QPainter& p, const Species& s, QPointF at, double a, double L, int node, Rng& rng)
{
    switch (s.arrangement) {
    case Arrangement::Opposite:
        if (node % 2 == 0) {
            drawLeafUnit(p, s, at, a - 58 + rng.range(-8, 8), L, rng);
            drawLeafUnit(p, s, at, a + 58 + rng.range(-8, 8), L, rng);
        } else {
            // the pair turned towards and away from the viewer
            drawLeafUnit(p, s, at, a - 30 + rng.range(-6, 6), L, rng, 0.55);
            drawLeafUnit(p, s, at, a + 30 + rng.range(-6, 6), L, rng, 0.55);
        }
        break;
    case Arrangement::Whorled: {
        const int n = s.form == Form::Bedstraw ? 6 : 4;
        for (int k = 0; k < n; ++k) {
            const double az = 360.0 * k / n + node * 25;
            const double sx = std::sin(rad(az));
            const double fs = 0.4 + 0.6 * std::fabs(sx);
            drawLeafUnit(p, s, at, a + (sx >= 0 ? 1 : -1) * (30 + 40 * std::fabs(sx)) + rng.range(-5, 5), L, rng, fs);
        }
        break;
    }
    default: {
        const double side = node % 2 == 0 ? 1.0 : -1.0;
        drawLeafUnit(p, s, at, a + side * (52 + rng.range(-10, 10)), L, rng);
        break;
    }
    }
}

void terminalFlowers(QPainter& p, const Species& s, QPointF top, double a, double fr, Rng& rng)
{
    const int n = std::max(1, s.flowerCount);
    switch (s.form) {
    case Form::Lily:
        // large flowers on stalks near the top, facing sideways
        for (int k = 0; k < n; ++k) {
            const double side = (k % 2 == 0) ? 1.0 : -1.0;
            const QPointF from = top + dirVec(a) * (-fr * 0.9 * k);
            const double pa = a + side * (58 + 8 * k);
            const QPointF end = from + dirVec(pa) * fr * 0.9;
            p.setPen(QPen(s.stemColour, std::max(0.8, fr * 0.06), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(from, end);
            drawFlower(p, s, end + dirVec(pa + side * 35) * fr * 0.75, fr * (1.0 - 0.12 * k), side * 25 + rng.range(-10, 10), false, rng);
        }
        return;
    case Form::UprightTube:
        for (int k = 0; k < n; ++k) {
            const double off = (k - (n - 1) / 2.0) * 24;
            drawFlower(p, s, top + dirVec(a + off) * fr * (0.95 - 0.1 * std::fabs(off) / 24), fr, a + off, true, rng);
        }
        return;
    case Form::CloverHead:
        drawFlower(p, s, top + dirVec(a) * fr * 0.7, fr, 0, false, rng);
        return;
    case Form::OpenBell:
        drawFlower(p, s, top + dirVec(a) * fr * 0.6, fr, a * 0.3, false, rng);
        for (int k = 1; k < n; ++k) {
            const double side = k % 2 ? -1.0 : 1.0;
            const QPointF end = top + QPointF(0, fr * 0.6 * k) + dirVec(a + side * 45) * fr * 1.4;
            p.setPen(QPen(s.stemColour, std::max(0.8, fr * 0.06), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(top + QPointF(0, fr * 0.6 * k), end);
            if (k == 1)
                drawFlower(p, s, end + dirVec(a + side * 50) * fr * 0.55, fr * 0.85, side * 55, true, rng);
            else
                drawBud(p, s, end + dirVec(a + side * 30) * fr * 0.4, fr * 0.45, side * 25);
        }
        return;
    case Form::Dayflower:
        for (int k = 0; k < n; ++k) {
            const QPointF at = top + dirVec(a + (k ? 60 : -10)) * fr * (0.6 + 0.5 * k);
            drawFlower(p, s, at, fr * (k ? 0.8 : 1.0), (k ? 30 : -5), false, rng);
        }
        return;
    default:
        break;
    }
    const bool head = s.form == Form::Daisy || s.form == Form::Dandelion || s.form == Form::Thistle;
    drawFlower(p, s, top + dirVec(a) * fr * (head ? 0.3 : 0.5), fr, head ? a * 0.4 : rng.range(-20, 20), head, rng);
    for (int k = 1; k < n; ++k) {
        const double side = k % 2 ? -1.0 : 1.0;
        const double pa = a + side * (30 + 10 * k);
        const QPointF from = top + dirVec(a) * (-fr * 0.4 * k);
        const QPointF end = from + dirVec(pa) * fr * 1.6;
        p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.06), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, end);
        if (k == n - 1 && n > 2)
            drawBud(p, s, end, fr * 0.35, pa);
        else
            drawFlower(p, s, end, fr * 0.9, head ? pa * 0.4 : rng.range(0, 72), head || rng.uniform() < 0.3, rng);
    }
}

void branchedFlowers(QPainter& p, const Species& s, const QPainterPath& stem, double fr, Rng& rng)
{
    const int n = std::max(1, s.flowerCount);
    const bool head = s.form == Form::Daisy || s.form == Form::Thistle;
    std::vector<std::pair<QPointF, double>> ends;
    for (int k = 0; k < n - 1; ++k) {
        const double t = 0.66 + 0.3 * k / std::max(1, n - 1);
        const QPointF at = stem.pointAtPercent(t);
        const double a = tangentDeg(stem, t);
        const double side = k % 2 == 0 ? 1.0 : -1.0;
        const double len = fr * (4.2 - 2.4 * double(k) / n) * rng.range(0.85, 1.1);
        QPainterPath br;
        br.moveTo(at);
        const double da = side * (30 + rng.range(-6, 10));
        br.quadTo(at + dirVec(a + da * 1.3) * len * 0.5, at + dirVec(a + da * 0.7) * len);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.09), Qt::SolidLine, Qt::RoundCap));
        p.drawPath(br);
        ends.emplace_back(br.pointAtPercent(1.0), tangentDeg(br, 1.0));
    }
    ends.emplace_back(stem.pointAtPercent(1.0), tangentDeg(stem, 1.0));
    for (size_t i = 0; i < ends.size(); ++i) {
        const auto& e = ends[i];
        if (s.form == Form::Knotweed) {
            drawFlower(p, s, e.first + dirVec(e.second) * fr * 0.5, fr * 0.6, 0, false, rng);
        } else if (head) {
            if (s.form == Form::Thistle || i % 3 != 1)
                drawFlower(p, s, e.first + dirVec(e.second) * fr * 0.3, fr, e.second * 0.5, true, rng);
            else
                drawFlower(p, s, e.first + dirVec(e.second) * fr * 0.2, fr, 0, false, rng);
        } else {
            drawFlower(p, s, e.first + dirVec(e.second) * fr * 0.5, fr, e.second * 0.3, i % 2 == 1, rng);
        }
    }
}

void belled(QPainter& p, const Species& s, const QPainterPath& stem, double fr, Rng& rng)
{
    const bool whorled = s.arrangement == Arrangement::Whorled;
    const int levels = std::max(2, s.flowerCount);
    for (int k = 0; k < levels; ++k) {
        const double t = 0.56 + 0.4 * k / levels;
        const QPointF at = stem.pointAtPercent(t);
        const double a = tangentDeg(stem, t);
        const int per = whorled ? 3 : 1;
        for (int j = 0; j < per; ++j) {
            const double side = whorled ? (j - 1.0) : (k % 2 == 0 ? 1.0 : -1.0);
            if (whorled && j == 1 && k % 2)
                continue;
            const double pa = a + side * (whorled ? 80 : 65);
            const QPointF end = at + dirVec(pa) * fr * (whorled ? (j == 1 ? 0.6 : 1.6) : 1.4);
            p.setPen(QPen(s.stemColour, std::max(0.5, fr * 0.07), Qt::SolidLine, Qt::RoundCap));
            QPainterPath ped;
            ped.moveTo(at);
            ped.quadTo(at + dirVec(pa) * fr * 0.9 + QPointF(0, -fr * 0.4), end);
            p.setBrush(Qt::NoBrush);
            p.drawPath(ped);
            const double scale = 1.0 - 0.35 * double(k) / levels;
            drawFlower(p, s, end + QPointF(0, fr * 0.95 * scale), fr * scale, side * 12 + rng.range(-6, 6), true, rng);
        }
    }
}

void axillaryFlowers(QPainter& p, const Species& s, const QPainterPath& stem, double fr, double L, Rng& rng,
                     double from, double to)
{
    const int n = s.nodes;
    for (int i = 1; i < n; ++i) {
        const double t = from + (to - from) * (i + 0.5) / n;
        if (t > to)
            break;
        const QPointF at = stem.pointAtPercent(t);
        const double a = tangentDeg(stem, t);
        const double side = i % 2 == 0 ? -1.0 : 1.0;
        const double pa = a + side * 35;
        if (s.form == Form::Bedstraw) {
            for (int j = 0; j < 2; ++j) {
                const QPointF end = at + dirVec(pa + j * 20 * side) * L * 0.35;
                p.setPen(QPen(s.stemColour, 0.6));
                p.drawLine(at, end);
                drawFlower(p, s, end, fr, rng.range(0, 90), false, rng);
            }
            continue;
        }
        const QPointF end = at + dirVec(pa) * L * (s.form == Form::Speedwell ? 0.7 : 0.5);
        p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.07), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at, end);
        const QColor alt = (s.petalAlt.isValid() && i % 2 == 0) ? s.petalAlt : QColor();
        if (s.form == Form::Round5 && s.fruit == Fruit::Crane) {
            // flowers in pairs
            for (int j = -1; j <= 1; j += 2) {
                const QPointF e2 = end + dirVec(pa + j * 30) * fr * 1.2;
                p.drawLine(end, e2);
                drawFlower(p, s, e2, fr, rng.range(0, 72), rng.uniform() < 0.4, rng, alt);
            }
        } else {
            drawFlower(p, s, end, fr, s.form == Form::Speedwell ? side * 15 : rng.range(0, 72), false, rng, alt);
        }
    }
}

void whorlFlowers(QPainter& p, const Species& s, const QPainterPath& stem, double fr, Rng& rng, double from)
{
    const int n = s.nodes;
    for (int i = 0; i < n; ++i) {
        const double t = from + (1.0 - from) * double(i) / std::max(1, n - 1);
        const QPointF at = stem.pointAtPercent(std::min(t, 0.99));
        const double a = tangentDeg(stem, t);
        const int count = (i == n - 1) ? 3 : 5;
        for (int k = 0; k < count; ++k) {
            const double off = (k - (count - 1) / 2.0) * 22 + rng.range(-5, 5);
            drawFlower(p, s, at, fr * (0.85 + 0.15 * rng.uniform()), a + off, true, rng);
        }
    }
}

void drawUprightPlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    const bool clusterTop = (s.inflo == Inflo::Raceme && s.form != Form::Balsam) || s.inflo == Inflo::Umbel
        || s.inflo == Inflo::Corymb || s.inflo == Inflo::Spike;
    const double clusterSize = s.inflo == Inflo::Raceme ? H * 0.38
                             : s.inflo == Inflo::Corymb ? H * 0.3
                             : s.inflo == Inflo::Spike ? H * 0.3 : H * 0.3;
    const double stemH = clusterTop ? H - clusterSize * (s.inflo == Inflo::Raceme ? 1.0 : 0.6) : H;
    const double fr = flowerRadius(s, H);
    const int stems = std::max(1, s.stems);
    const double spread = H * (stems > 3 ? 0.06 : 0.1);

    if (s.arrangement == Arrangement::Basal) {
        // a rosette of lobed leaves on the ground under the flowering stems
        const int n = 9;
        for (int k = 0; k < n; ++k) {
            const double az = 360.0 * k / n + rng.range(-10, 10);
            const double sx = std::cos(rad(az)), sz = std::sin(rad(az));
            const double deg = std::atan2(sx, 0.15 + 0.32 * sz) * 180.0 / Pi;
            const double fs = std::min(1.0, std::hypot(sx, 0.15 + 0.32 * sz));
            drawBlade(p, leafStyleOf(s), QPointF(0, 0), deg, H * 0.3 * s.leafSize, fs);
        }
    }

    std::vector<QPainterPath> paths;
    for (int k = 0; k < stems; ++k) {
        const double rel = stems == 1 ? 0.0 : (k - (stems - 1) / 2.0) / ((stems - 1) / 2.0);
        const QPointF base(rel * spread + rng.range(-0.02, 0.02) * H, 0);
        const double lean = rel * (stems > 3 ? 38 : 22) + rng.range(-5, 5);
        const double h = stemH * (stems == 1 ? 1.0 : rng.range(0.75, 1.0)) * (1.0 - 0.15 * std::fabs(rel));
        paths.push_back(stemPath(base, h, lean, 0.05, rng));
    }
    const double sw = std::max(1.0, H * (s.tall ? 0.014 : 0.011));
    const double leafTop = clusterTop ? 0.92 : (s.inflo == Inflo::Bells ? 0.6 : (s.inflo == Inflo::Branched ? 0.7 : 0.86));
    for (const QPainterPath& path : paths) {
        taperStroke(p, path, sw, sw * 0.5, s.stemColour, s.stemColour.darker(130));
        if (s.arrangement == Arrangement::Basal) {
            // few small clasping leaves on the stem
            for (int i = 0; i < s.nodes; ++i) {
                const double t = 0.15 + 0.45 * i / std::max(1, s.nodes);
                const QPointF at = path.pointAtPercent(t);
                LeafStyle st = leafStyleOf(s);
                st.blade = Blade::Lanceolate;
                st.width = 0.25;
                drawBlade(p, st, at, tangentDeg(path, t) + (i % 2 ? -40 : 40), H * 0.1 * s.leafSize);
            }
            continue;
        }
        for (int i = 0; i < s.nodes; ++i) {
            const double t = 0.06 + (leafTop - 0.06) * (i + 0.3) / s.nodes;
            const QPointF at = path.pointAtPercent(t);
            const double a = tangentDeg(path, t);
            const double L = H * 0.3 * s.leafSize * (1.0 - 0.4 * t) * rng.range(0.9, 1.1);
            nodeLeaves(p, s, at, a, L, i, rng);
        }
    }
    for (const QPainterPath& path : paths) {
        const QPointF top = path.pointAtPercent(1.0);
        const double a = tangentDeg(path, 1.0);
        const double L = H * 0.3 * s.leafSize * 0.6;
        switch (s.inflo) {
        case Inflo::Terminal:
            terminalFlowers(p, s, top, a, fr, rng);
            break;
        case Inflo::Branched:
            branchedFlowers(p, s, path, fr, rng);
            break;
        case Inflo::Raceme:
            if (s.form == Form::Balsam) {
                for (int k = 0; k < s.flowerCount; ++k) {
                    const double t = 0.55 + 0.45 * k / s.flowerCount;
                    const QPointF at = path.pointAtPercent(t);
                    const double side = k % 2 ? -1.0 : 1.0;
                    const QPointF end = at + dirVec(tangentDeg(path, t) + side * 70) * fr * 2.2;
                    p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.06)));
                    p.drawLine(at, end);
                    p.drawLine(end, end + QPointF(0, fr * 0.5));
                    drawFlower(p, s, end + QPointF(0, fr * 0.85), fr, side > 0 ? 0 : -1, true, rng);
                }
                // stalk continues a little above
            } else {
                drawCluster(p, s, top, a, clusterSize, rng);
            }
            break;
        case Inflo::AxilWhorl:
            whorlFlowers(p, s, path, fr, rng, 0.5);
            break;
        case Inflo::Axillary:
            axillaryFlowers(p, s, path, fr, L, rng, 0.06, leafTop);
            if (s.form == Form::Round5 || s.form == Form::Speedwell || s.form == Form::Bedstraw)
                drawFlower(p, s, top + dirVec(a) * fr * 0.5, fr, 0, false, rng);
            break;
        case Inflo::Umbel:
        case Inflo::Corymb:
        case Inflo::Spike:
            if (s.form == Form::Jumprope) {
                drawCluster(p, s, top, a, H * 0.5, rng);
                const QPointF at = path.pointAtPercent(0.75);
                drawCluster(p, s, at, tangentDeg(path, 0.75) + 28, H * 0.3, rng);
            } else {
                drawCluster(p, s, top, a, clusterSize, rng);
            }
            break;
        case Inflo::Bells:
            belled(p, s, path, fr, rng);
            break;
        case Inflo::Panicle:
            drawCluster(p, s, top, a, clusterSize, rng);
            break;
        }
    }
}

void drawStake(QPainter& p, double H)
{
    const double w = std::max(2.0, H * 0.022);
    QLinearGradient g(-w, 0, w, 0);
    g.setColorAt(0.0, QColor(0xb8, 0xa0, 0x68));
    g.setColorAt(0.5, QColor(0xe0, 0xcc, 0x94));
    g.setColorAt(1.0, QColor(0xa8, 0x90, 0x5c));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x8a, 0x74, 0x48), 0.6));
    p.drawRect(QRectF(-w / 2, -H * 1.02, w, H * 1.02 + 2));
    p.setPen(QPen(QColor(0x9a, 0x84, 0x58), std::max(0.6, w * 0.25)));
    for (int i = 1; i < 5; ++i)
        p.drawLine(QPointF(-w / 2, -H * 0.22 * i), QPointF(w / 2, -H * 0.22 * i));
}

void drawVinePlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    const bool stake = !s.tendrils;
    if (stake) {
        drawStake(p, H);
    } else {
        // dry grass stalks that the vine leans on
        for (int k = 0; k < 6; ++k) {
            const double x = rng.range(-0.25, 0.25) * H;
            p.setPen(QPen(QColor(0xc4, 0xb8, 0x90), std::max(0.8, H * 0.005)));
            p.drawLine(QPointF(x, 0), QPointF(x + rng.range(-0.1, 0.1) * H, -H * rng.range(0.7, 1.0)));
        }
    }
    const int stems = s.form == Form::Pea ? 2 : 1;
    const double fr = flowerRadius(s, H);
    for (int k = 0; k < stems; ++k) {
        QPainterPath path;
        const int n = 80;
        const double phase = rng.range(0, 2 * Pi);
        for (int i = 0; i <= n; ++i) {
            const double t = double(i) / n;
            double x;
            if (stake)
                x = H * 0.03 * std::sin(2 * Pi * t * 4.5 + phase);
            else
                x = H * (0.16 * std::sin(Pi * t * 1.2 + phase) * t + (k - 0.5) * 0.25 * (1 - t));
            const QPointF pt(x, -t * H * (stems > 1 ? (k ? 0.85 : 1.0) : 1.0));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        taperStroke(p, path, std::max(1.0, H * 0.01), std::max(0.6, H * 0.005), s.stemColour, s.stemColour.darker(130));
        for (int i = 0; i < s.nodes; ++i) {
            const double t = 0.12 + 0.82 * (i + 0.5) / s.nodes;
            const QPointF at = path.pointAtPercent(t);
            const double side = (i + k) % 2 == 0 ? 1.0 : -1.0;
            const double L = H * 0.2 * s.leafSize * (1.0 - 0.25 * t);
            const double deg = side * (70 + rng.range(-15, 20));
            drawLeafUnit(p, s, at, deg, L, rng);
            if (s.tendrils && s.arrangement == Arrangement::Pedate)
                drawTendril(p, at, -side * 50, L * 0.6, s.stemColour.lighter(120), side > 0);
            if (i == 0)
                continue;
            switch (s.inflo) {
            case Inflo::Axillary: {
                if (s.form == Form::Akebi) {
                    const QPointF end = at + dirVec(-side * 120) * fr * 1.8;
                    p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.06)));
                    p.drawLine(at, end);
                    drawFlower(p, s, end, fr, rng.range(0, 120), false, rng);
                    for (int j = 0; j < 3; ++j) {
                        const QPointF m = end + dirVec(-side * (100 + 25 * j)) * fr * (1.5 + 0.6 * j);
                        p.drawLine(end, m);
                        drawFlower(p, s, m, fr * 0.45, rng.range(0, 120), false, rng, mix(s.petal, Qt::white, 0.35));
                    }
                    break;
                }
                const double pa = -side * (40 + rng.range(0, 25));
                const QPointF end = at + dirVec(pa) * (s.form == Form::Funnel ? fr * 2.2 : fr * 1.2);
                p.setPen(QPen(s.stemColour, std::max(0.6, fr * 0.06), Qt::SolidLine, Qt::RoundCap));
                p.drawLine(at, end);
                if (s.form == Form::Funnel) {
                    if (i % 2)
                        drawFlower(p, s, end + dirVec(pa) * fr * 0.8, fr, rng.range(-20, 20), false, rng);
                    else
                        drawFlower(p, s, end + dirVec(pa) * fr * 0.6, fr * 0.9, pa, true, rng);
                } else {
                    drawFlower(p, s, end, fr, pa > 0 ? pa + 20 : pa - 20, true, rng);
                }
                break;
            }
            case Inflo::Raceme:
                if (i >= 2 && i % 2 == 0)
                    drawCluster(p, s, at, -side * 20, H * 0.26, rng);
                break;
            case Inflo::Corymb:
                if (i % 2 == 1)
                    drawCluster(p, s, at, -side * 30, H * 0.2, rng);
                break;
            default:
                break;
            }
        }
    }
}

// Leaves spread on the ground round the origin; `back` selects the half
// away from the viewer (drawn first).
void rosetteLeaves(QPainter& p, const Species& s, double H, bool back, int n)
{
    const LeafStyle st = leafStyleOf(s);
    for (int k = 0; k < n; ++k) {
        Rng lr(quint64(s.seed) * 31 + k);
        const double az = 360.0 * k / n + lr.range(-12, 12);
        const double sx = std::cos(rad(az)), sz = std::sin(rad(az));
        if ((sz > 0) != back)
            continue;
        const double L = H * 0.45 * s.leafSize * lr.range(0.8, 1.1);
        switch (s.blade) {
        case Blade::Kidney: {
            // long stalks rising from the ground with a broad blade on top
            const double pet = H * 0.55 * lr.range(0.7, 1.0);
            const double lean = sx * 38 + lr.range(-6, 6);
            QPainterPath ps;
            ps.moveTo(0, 0);
            const QPointF top = dirVec(lean) * pet;
            ps.quadTo(dirVec(lean * 0.4) * pet * 0.5, top);
            taperStroke(p, ps, std::max(1.0, H * 0.018), std::max(0.8, H * 0.012), mix(s.leafColour, s.stemColour, 0.4),
                        s.leafColour.darker(140));
            drawBlade(p, st, top, lean + (sx >= 0 ? 70 : -70) + lr.range(-10, 10), L * 0.75, 0.75 + 0.2 * std::fabs(sz));
            break;
        }
        case Blade::Linear: {
            QPainterPath lf;
            lf.moveTo(0, 0);
            const double lean = sx * 35 + lr.range(-8, 8);
            const double len = H * 0.75 * s.leafSize * lr.range(0.75, 1.05);
            const QPointF mid = dirVec(lean * 0.5) * len * 0.55;
            const QPointF end = mid + dirVec(lean * 2.0) * len * 0.5;
            lf.quadTo(mid, end);
            const double w = std::max(1.5, H * s.leafWidth * 0.5);
            taperStroke(p, lf, w, w * 0.3, st.colour, st.colour.darker(140));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(st.colour.lighter(130), std::max(0.4, w * 0.15)));
            p.drawPath(lf);
            break;
        }
        default: {
            const double rise = (s.blade == Blade::Lanceolate) ? 0.7 : 0.22;
            const double vx = sx, vy = rise + 0.32 * sz;
            const double deg = std::atan2(vx, vy) * 180.0 / Pi;
            const double fs = std::min(1.0, std::hypot(vx, vy) / std::hypot(1.0, rise));
            if (s.blade == Blade::Lanceolate && s.form == Form::Violet) {
                // winged stalks
                const QPointF tip = dirVec(deg) * L * 0.35 * fs;
                p.setPen(QPen(mix(s.leafColour, s.stemColour, 0.4), std::max(1.0, H * 0.012), Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(0, 0), tip);
                LeafStyle tri = st;
                tri.blade = Blade::Triangular;
                drawBlade(p, tri, tip, deg, L * 0.6, std::max(0.5, fs));
            } else if (s.form == Form::PlantainSpike) {
                const QPointF tip = dirVec(deg) * L * 0.3 * fs;
                p.setPen(QPen(mix(s.leafColour, QColor(0xc0, 0xc8, 0x90), 0.3), std::max(1.2, H * 0.02), Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(0, 0), tip);
                drawBlade(p, st, tip, deg, L * 0.7, std::max(0.45, fs));
            } else {
                drawBlade(p, st, QPointF(0, 0), deg, L, std::max(0.35, fs));
            }
            break;
        }
        }
    }
}

void drawRosettePlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    const int n = s.blade == Blade::Kidney ? 4 : (s.blade == Blade::Linear ? 8 : (s.form == Form::SpiralSpike ? 5 : 10));
    const double fr = flowerRadius(s, H);
    if (s.leaflessInFlower) {
        // a bulb's neck and some dry grass
        for (int k = 0; k < 10; ++k) {
            const double x = rng.range(-0.3, 0.3) * H;
            p.setPen(QPen(QColor(0xb0, 0xa8, 0x78), std::max(0.6, H * 0.004)));
            p.drawLine(QPointF(x, 0), QPointF(x + rng.range(-0.05, 0.05) * H, -H * rng.range(0.05, 0.15)));
        }
    } else {
        rosetteLeaves(p, s, H, true, n);
    }
    const int scapes = std::max(1, s.inflo == Inflo::Umbel || s.inflo == Inflo::Spike ? s.stems + (s.form == Form::PlantainSpike ? s.flowerCount - 1 : 0)
                                                                                       : s.flowerCount);
    auto scape = [&](double lean, double h, double bend) {
        QPainterPath path;
        path.moveTo(0, 0);
        path.cubicTo(dirVec(lean * 0.2) * h * 0.4, dirVec(lean + bend * 0.5) * h * 0.75, dirVec(lean + bend) * h);
        return path;
    };
    const QColor scapeColour = s.form == Form::Dandelion ? QColor(0x9a, 0xb0, 0x70) : s.stemColour;
    if (s.form == Form::Butterbur) {
        rosetteLeaves(p, s, H, false, n);
        // flower buds come up at the foot of the leaves
        drawFlower(p, s, QPointF(H * 0.32, -fr * 1.9), fr * 1.6, 5, true, rng);
        drawFlower(p, s, QPointF(-H * 0.36, -fr * 1.2), fr * 1.1, -8, true, rng);
        return;
    }
    for (int k = 0; k < scapes; ++k) {
        const double rel = scapes == 1 ? 0.0 : (k - (scapes - 1) / 2.0) / ((scapes - 1) / 2.0);
        const double lean = rel * 22 + rng.range(-4, 4);
        const double h = H * rng.range(0.78, 1.0);
        switch (s.form) {
        case Form::Dandelion: {
            const QPainterPath path = scape(lean, h * (k == 2 ? 1.05 : 0.85), rel * 10);
            taperStroke(p, path, std::max(1.0, H * 0.016), std::max(0.8, H * 0.012), scapeColour, scapeColour.darker(130));
            const QPointF top = path.pointAtPercent(1.0);
            if (k == 2) {
                // a seed head
                Rng pr(77);
                for (int i = 0; i < 70; ++i) {
                    const double a = pr.range(0, 360);
                    const QPointF d = dirVec(a) * fr * 1.05;
                    p.setPen(QPen(QColor(255, 255, 255, 200), std::max(0.4, fr * 0.02)));
                    p.drawLine(top, top + d);
                    p.setPen(QPen(QColor(245, 245, 240, 220), std::max(0.3, fr * 0.015)));
                    for (int j = -1; j <= 1; ++j)
                        p.drawLine(top + d, top + d + dirVec(a + j * 35) * fr * 0.2);
                }
                p.setBrush(QColor(0xa0, 0x90, 0x60));
                p.setPen(Qt::NoPen);
                p.drawEllipse(top, fr * 0.12, fr * 0.12);
            } else if (k == 3) {
                drawBud(p, s, top, fr * 0.45, lean);
            } else {
                drawFlower(p, s, top, fr, k == 1 ? 0 : lean * 0.5, k != 1, rng);
            }
            break;
        }
        case Form::Violet: {
            const QPainterPath path = scape(lean, h * 0.62, rel * 15 + (rel >= 0 ? 40 : -40));
            taperStroke(p, path, std::max(0.8, H * 0.01), std::max(0.6, H * 0.008), s.stemColour, s.stemColour.darker(130));
            const QPointF top = path.pointAtPercent(1.0);
            drawFlower(p, s, top + QPointF(rel >= 0 ? fr * 0.4 : -fr * 0.4, fr * 0.3), fr, rel >= 0 ? 100 : -100, k % 2 == 0, rng);
            break;
        }
        case Form::SpiderLily:
        case Form::Narcissus: {
            const QPainterPath path = scape(lean, h * 0.78, rel * 5);
            taperStroke(p, path, std::max(1.2, H * 0.018), std::max(1.0, H * 0.014), s.stemColour, s.stemColour.darker(130));
            drawCluster(p, s, path.pointAtPercent(1.0), tangentDeg(path, 1.0), H * (s.form == Form::SpiderLily ? 0.42 : 0.32), rng);
            break;
        }
        case Form::Daisy: {
            // tall stalk with heads branching at the top
            const QPainterPath path = scape(lean * 0.6, h * 0.8, 0);
            taperStroke(p, path, std::max(1.2, H * 0.018), std::max(0.9, H * 0.012), s.stemColour, s.stemColour.darker(130));
            const QPointF top = path.pointAtPercent(1.0);
            for (int j = 0; j < 5; ++j) {
                const double a = -60 + 30 * j + rng.range(-6, 6);
                const QPointF end = top + dirVec(a) * H * (0.14 + 0.05 * (j % 2));
                p.setPen(QPen(s.stemColour, std::max(0.7, H * 0.007)));
                p.drawLine(top, end);
                drawFlower(p, s, end, fr, a * 0.4, j % 2 == 0, rng);
            }
            break;
        }
        default: {
            const double spikeLen = H * (s.form == Form::SpiralSpike ? 0.45 : 0.38);
            const QPainterPath path = scape(lean, h - spikeLen, rel * 6);
            taperStroke(p, path, std::max(0.9, H * 0.012), std::max(0.7, H * 0.009), s.stemColour, s.stemColour.darker(130));
            drawCluster(p, s, path.pointAtPercent(1.0), tangentDeg(path, 1.0), spikeLen, rng);
            break;
        }
        }
    }
    if (!s.leaflessInFlower)
        rosetteLeaves(p, s, H, false, n);
}

void drawCreepingPlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    const double width = H * 2.6;
    QPainterPath runner;
    runner.moveTo(-width / 2, -H * 0.02);
    runner.cubicTo(QPointF(-width / 6, -H * 0.06), QPointF(width / 6, H * 0.02), QPointF(width / 2, -H * 0.03));
    taperStroke(p, runner, std::max(1.0, H * 0.03), std::max(0.8, H * 0.02), s.stemColour, s.stemColour.darker(130));
    const double fr = flowerRadius(s, H);
    const double L = H * 1.6 * s.leafSize;
    for (int i = 0; i < s.nodes; ++i) {
        const double t = (i + 0.5) / s.nodes;
        const QPointF at = runner.pointAtPercent(t);
        p.setPen(QPen(QColor(0x9a, 0x84, 0x60), std::max(0.5, H * 0.006)));
        for (int j = -1; j <= 1; ++j)
            p.drawLine(at, at + QPointF(j * H * 0.04, H * 0.06));
        const int leaves = 2;
        for (int j = 0; j < leaves; ++j)
            drawLeafUnit(p, s, at, rng.range(-40, 40), L * rng.range(0.8, 1.15), rng);
        if (i % 2 == 1 || s.form == Form::CloverHead) {
            const double lean = rng.range(-15, 15);
            const double h = H * rng.range(0.65, 1.0);
            QPainterPath stalk;
            stalk.moveTo(at);
            stalk.quadTo(at + dirVec(lean * 0.3) * h * 0.5, at + dirVec(lean) * h);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(s.stemColour.lighter(110), std::max(0.7, H * 0.012), Qt::SolidLine, Qt::RoundCap));
            if (s.form == Form::CloverHead && i % 2 == 0)
                continue;
            p.drawPath(stalk);
            const QPointF top = stalk.pointAtPercent(1.0);
            if (s.inflo == Inflo::Umbel) {
                for (int j = 0; j < s.flowerCount; ++j) {
                    const double a = lean + (j ? 40 : -30);
                    const QPointF e = top + dirVec(a) * fr * 1.4;
                    p.setPen(QPen(s.stemColour.lighter(110), std::max(0.5, H * 0.008)));
                    p.drawLine(top, e);
                    drawFlower(p, s, e, fr, rng.range(0, 72), j == 1, rng);
                }
                if (s.fruit == Fruit::Cylinder) {
                    const QPointF e = top + dirVec(lean + 5) * fr * 2.5;
                    p.drawLine(top, e);
                    p.setPen(QPen(QColor(0x4a, 0x7a, 0x2a), 0.6));
                    p.setBrush(QColor(0x7a, 0xa8, 0x48));
                    p.drawRoundedRect(QRectF(e.x() - fr * 0.2, e.y() - fr * 1.4, fr * 0.4, fr * 1.4), fr * 0.2, fr * 0.2);
                }
            } else {
                drawFlower(p, s, top, fr, rng.range(0, 72), false, rng);
            }
        }
        if (s.fruit == Fruit::Strawberry && i % 3 == 0) {
            const QPointF f = at + QPointF(H * 0.12, -H * 0.12);
            p.setPen(QPen(s.stemColour, 0.8));
            p.drawLine(at, f);
            QRadialGradient g(f + QPointF(-fr * 0.2, -fr * 0.2), fr * 0.8);
            g.setColorAt(0.0, QColor(0xf0, 0x50, 0x40));
            g.setColorAt(1.0, QColor(0xb0, 0x18, 0x18));
            p.setBrush(g);
            p.setPen(QPen(QColor(0x80, 0x10, 0x10), 0.6));
            p.drawEllipse(f, fr * 0.6, fr * 0.6);
        }
    }
}

void drawGrassPlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    const int leaves = std::max(4, s.stems);
    const bool whiteMidrib = s.form == Form::Plume;
    auto leaf = [&](int) {
        const QPointF base(rng.range(-0.05, 0.05) * H, 0);
        const double a = rng.range(-55, 55);
        const double len = H * rng.range(0.45, 0.8) * (s.form == Form::Plume ? 0.9 : 0.7);
        QPainterPath lf;
        lf.moveTo(base);
        const QPointF mid = base + dirVec(a * 0.5) * len * 0.55;
        const QPointF end = mid + dirVec(a * 2.2 + (a >= 0 ? 20 : -20)) * len * 0.5;
        lf.quadTo(mid, end);
        const double w = std::max(1.5, H * (s.form == Form::Plume ? 0.022 : 0.03));
        taperStroke(p, lf, w, w * 0.15, s.leafColour.lighter(100 + rng.below(14)), s.leafColour.darker(140));
        if (whiteMidrib) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(0xf0, 0xf0, 0xe0), std::max(0.4, w * 0.2)));
            p.drawPath(lf);
        }
    };
    for (int i = 0; i < leaves / 2; ++i)
        leaf(i);
    const int culms = std::max(1, s.flowerCount);
    for (int k = 0; k < culms; ++k) {
        const double rel = culms == 1 ? 0 : (k - (culms - 1) / 2.0) / ((culms - 1) / 2.0);
        const double lean = rel * 16 + rng.range(-4, 4);
        const double h = H * rng.range(0.72, 0.95) * (s.form == Form::Plume ? 0.78 : 0.8);
        const QPainterPath path = stemPath(QPointF(rel * H * 0.05, 0), h, lean, 0.02, rng);
        const double w = std::max(1.0, H * 0.009);
        taperStroke(p, path, w, w * 0.6, mix(s.leafColour, QColor(0xc8, 0xb8, 0x80), 0.4), s.leafColour.darker(140));
        for (double t : {0.3, 0.6}) {
            const QPointF at = path.pointAtPercent(t);
            p.setPen(QPen(s.leafColour.darker(120), w * 1.6));
            p.drawLine(at, at + QPointF(0, -H * 0.01));
            QPainterPath lf;
            const double side = k % 2 ? -1.0 : 1.0;
            lf.moveTo(at);
            lf.quadTo(at + dirVec(lean + side * 25) * H * 0.15, at + dirVec(lean + side * 70) * H * 0.3);
            taperStroke(p, lf, w * 1.8, w * 0.2, s.leafColour, s.leafColour.darker(140));
        }
        drawCluster(p, s, path.pointAtPercent(1.0), tangentDeg(path, 1.0), H * (s.form == Form::Plume ? 0.32 : 0.2), rng);
    }
    for (int i = leaves / 2; i < leaves; ++i)
        leaf(i);
}

} // namespace

void drawPlant(QPainter& p, const Species& s, double H, Rng& rng)
{
    switch (s.habit) {
    case Habit::Upright:
        drawUprightPlant(p, s, H, rng);
        break;
    case Habit::Vine:
        drawVinePlant(p, s, H, rng);
        break;
    case Habit::Rosette:
        drawRosettePlant(p, s, H, rng);
        break;
    case Habit::Creeping:
        drawCreepingPlant(p, s, H, rng);
        break;
    case Habit::Grass:
        drawGrassPlant(p, s, H, rng);
        break;
    }
}
