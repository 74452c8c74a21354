#pragma once
// Drawing of plant parts: leaves, compound leaves, flowers and flower
// clusters. Directions are in degrees, 0 pointing up the picture and
// positive turning clockwise.
#include "catalogue.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <cmath>

// A small deterministic random generator (splitmix64), so that the same
// seed always draws the same picture whatever the platform.
class Rng {
public:
    explicit Rng(quint64 seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}
    quint64 next()
    {
        state_ += 0x9E3779B97F4A7C15ULL;
        quint64 z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double a, double b) { return a + (b - a) * uniform(); }
    // v changed by up to +-frac of itself.
    double jitter(double v, double frac) { return v * (1.0 + range(-frac, frac)); }
    int below(int n) { return int(uniform() * n) % n; }

private:
    quint64 state_;
};

constexpr double Pi = 3.14159265358979323846;
inline double rad(double deg) { return deg * Pi / 180.0; }
// Unit vector for a direction (0 = up, clockwise).
inline QPointF dirVec(double deg) { return QPointF(std::sin(rad(deg)), -std::cos(rad(deg))); }
QColor mix(const QColor& a, const QColor& b, double t);

enum class Veins { Pinnate, Parallel, Arcuate, Palmate };

struct LeafStyle {
    Blade blade = Blade::Lanceolate;
    double width = 0.35;      // half-width as a part of the length... see bladePath
    bool toothed = false;
    QColor colour;
    Veins veins = Veins::Pinnate;
    QColor mark;              // chevron mark on the blade (clover); invalid for none
    double toothScale = 1.0;
};

LeafStyle leafStyleOf(const Species& s);

// The outline of a blade lying along +x from (0,0) to (length,0).
QPainterPath bladePath(const LeafStyle& st, double length);

// Draws a blade whose base is at `base`, pointing in direction `deg`.
// `foreshorten` < 1 shortens it as if it pointed towards the viewer.
void drawBlade(QPainter& p, const LeafStyle& st, QPointF base, double deg, double length,
               double foreshorten = 1.0);

// A leaf of the species as it sits on a stem: simple, three leaflets,
// pinnate or pedate, with its stalk. Returns the end of the stalk.
void drawLeafUnit(QPainter& p, const Species& s, QPointF base, double deg, double length, Rng& rng,
                  double foreshorten = 1.0);

// A curling tendril starting at `from` in direction `deg`.
void drawTendril(QPainter& p, QPointF from, double deg, double length, QColor colour, bool clockwise);

// A stem-like stroke along `path`, `w0` wide at its start and `w1` at its end.
void taperStroke(QPainter& p, const QPainterPath& path, double w0, double w1, const QColor& colour,
                 const QColor& outline = QColor());

// One flower (or head, spike) of the species centred at `c` with radius
// `r`, facing direction `deg`; `side` draws it seen from the side.
void drawFlower(QPainter& p, const Species& s, QPointF c, double r, double deg, bool side, Rng& rng,
                const QColor& petalOverride = QColor());

// A bud of the species.
void drawBud(QPainter& p, const Species& s, QPointF c, double r, double deg);

// A cluster of flowers at the end of a stalk ending at `top` (for umbels,
// corymbs, spikes, racemes, panicles), `size` being its overall height.
void drawCluster(QPainter& p, const Species& s, QPointF top, double deg, double size, Rng& rng);

// The font used for all Japanese text in the pictures.
QFont japaneseFont(int pixelSize, bool bold = false);
