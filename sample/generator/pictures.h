#pragma once
// Whole pictures: the views of a species, the large pictures of the plants
// that are not in the catalogue, and the placeholder card.
#include "catalogue.h"

#include <QImage>
#include <QSize>

// Picture `index` (0-based, into s.views) of species `s`.
QImage drawSpeciesPicture(const Species& s, int index, QSize size);

// The usual size of picture `index` of `s` (landscape 640x480, or portrait
// 480x640 for the whole-plant view of tall plants).
QSize defaultPictureSize(const Species& s, int index);

// A whole-plant picture with a close-up of the flower, for plants outside
// the catalogue.
QImage drawLargePicture(const Species& s, QSize size);

// The grey card shown for a picture number that has no file.
QImage drawNoImageCard(QSize size);
