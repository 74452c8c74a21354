#pragma once
// A whole plant, drawn standing on the ground at the origin and reaching up
// to about `height` (towards -y).
#include "parts.h"

void drawPlant(QPainter& p, const Species& s, double height, Rng& rng);
