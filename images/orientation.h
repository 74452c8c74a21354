#pragma once
// The EXIF orientation of a photograph: how the stored picture must be
// turned or mirrored to stand upright. A camera or phone held on its side
// stores the picture as its sensor saw it and only notes the turn in the
// EXIF data (tag 0x0112), so every place that shows a picture, or reduces
// it for storing, turns it upright first.
//
// The turn is a step of its own (orientUpright) on a decoded bitmap, so
// that it can be placed anywhere in a chain of picture operations.
#include <QSize>
#include <cstddef>

#include "images/Bitmap24.h"

// The eight EXIF orientations; 1 is upright. The numbers are the tag's.
enum ExifOrientation : int {
    OrientUpright = 1,       // as stored
    OrientMirrored = 2,      // mirrored left to right
    OrientUpsideDown = 3,    // turned half round
    OrientFlipped = 4,       // mirrored top to bottom
    OrientTransposed = 5,    // mirrored along the main diagonal
    OrientTurnedLeft = 6,    // stored turned left: turn right (clockwise) to show
    OrientTransverse = 7,    // mirrored along the other diagonal
    OrientTurnedRight = 8,   // stored turned right: turn left to show
};

// The orientation named by the body of a JPEG APP1 segment (starting with
// "Exif\0\0"), or OrientUpright when the segment is not EXIF data, holds no
// orientation, or holds a value outside 1..8. Never reads outside `size`
// bytes.
int exifOrientation(const unsigned char* app1, std::size_t size);

// True when the orientation swaps width and height (5 to 8).
bool orientationSwapsAxes(int orientation);

// The size of a stored picture of size `stored` once it stands upright.
QSize uprightSize(const QSize& stored, int orientation);

// The stored picture turned upright. Upright (or unknown) orientations give
// the bitmap itself, without copying. Throws std::bad_alloc when the turned
// picture cannot be allocated.
Bitmap24 orientUpright(const Bitmap24& stored, int orientation);
