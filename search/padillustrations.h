#pragma once
// Line drawings for the search pad: one small picture for every flower
// shape, stem habit, leaf margin and leaf form the pad offers, so that the
// user can match a plant in hand against "唇状型" or "３小葉" without
// knowing the botanical term, plus the glyphs of the pad's three buttons.
// Everything is painted with QPainter; no picture files are involved.
#include <QImage>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

namespace padart {

enum class Subject {
    FlowerShape, // 1..10, the record's flowerShape values
    StemHabit,   // 1..3, stemHabit
    LeafMargin,  // 0 toothed, 1 entire, leafMargin
    LeafShape    // 1..8, leafShape
};

// True when `value` has a drawing for `subject` (the "unknown" value 0 of
// flower shape, stem habit and leaf form has none).
bool hasDrawing(Subject subject, int value);

// Draws the illustration of `value` into `box`, centred and scaled to fit
// its shorter side. Draws nothing when hasDrawing() is false.
void draw(QPainter& painter, const QRectF& box, Subject subject, int value);

// One illustration on a transparent image of `size`.
QImage illustration(Subject subject, int value, const QSize& size);

// A picture card: a white rounded frame with the illustration inside; the
// pad lays these out beside its radio buttons.
void drawCard(QPainter& painter, const QRectF& box, Subject subject, int value);

// 16 x 16 button glyphs: a green tick (confirm), a red cross (cancel) and
// an eraser (clear conditions).
QPixmap okGlyph();
QPixmap cancelGlyph();
QPixmap clearGlyph();

} // namespace padart
