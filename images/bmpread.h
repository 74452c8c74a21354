#pragma once
// Windows and OS/2 bitmap files, decoded by the program itself so that
// every form is read the same way on every machine and no pixel is shown
// that the file does not define.
//
// Read: the Windows headers (BITMAPINFOHEADER and its V2 to V5 forms), the
// OS/2 1.x and 2.x headers; 1, 2, 4 and 8 bits a pixel with a colour table,
// 16 and 32 bits with the standard channels or with channel masks of any
// width (every channel scaled to 0..255 by its own width, rounded), 24
// bits; run-length coded 8- and 4-bit pictures. Alpha is ignored.
//
// Refused, with a message for the user: a header that is not sensible, a
// file shorter than its pixel rows, run-length data that is cut short,
// broken or coded from the top, an index outside the colour table, more
// pixels than MaxPicturePixels, a run-length picture with more pixels than
// its data can describe, and the forms the program does not read (JPEG or
// PNG inside a bitmap, OS/2 Huffman and 24-bit run-length coding, 64-bit
// pixels).
//
// Pixels a run-length picture skips (by a delta, an early end of line or
// end of picture) take colour 0 of the colour table.
#include <QSize>
#include <QString>

#include "images/Bitmap24.h"

// Run-length data can describe at most 255 pixels in two bytes.
constexpr int RunLengthPixelsPerTwoBytes = 255;

// The picture's size from the header, once the header and the file's
// length have been checked as far as that can be done without decoding.
bool readBmpSize(const QString& path, QSize& size, QString* error = nullptr);

// Decodes the whole picture. On failure `out` is left as it was.
bool decodeBmpFile(const QString& path, Bitmap24& out, QString* error = nullptr);
