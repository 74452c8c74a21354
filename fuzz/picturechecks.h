#pragma once
// Checks shared by the picture fuzz targets.
#include <QImage>

#include "fuzzsupport.h"
#include "images/Bitmap24.h"
#include "images/thumbnails.h"

namespace fuzzsupport {

// Reads the first and the last pixel byte of every row of a decoded
// picture, so that a buffer smaller than its stated size shows up under
// AddressSanitizer. (Every byte would make a picture of a hundred million
// pixels, which a few hundred bytes of JPEG can describe, take longer than
// the time allowed for one input.)
inline unsigned touchRows(const Bitmap24& bitmap)
{
    FUZZ_CHECK(bitmap.width() >= 0 && bitmap.height() >= 0);
    FUZZ_CHECK(bitmap.isEmpty() || bitmap.stride() >= 3 * bitmap.width());
    unsigned sum = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        const uchar* row = bitmap.constRow(y);
        sum += row[0] + row[3 * bitmap.width() - 1];
    }
    return sum;
}

// A picture loaded for the result grid: no larger than its slot needs (at
// most twice that, as the loader allows), with the full size of the header.
inline void checkThumbnail(const QString& path, const QSize& header, bool headerRead)
{
    Thumbnail thumbnail;
    QString error;
    if (!loadThumbnail(path, thumbnail, nullptr, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return;
    }
    FUZZ_CHECK(headerRead);
    FUZZ_CHECK(thumbnail.fullSize == header);
    FUZZ_CHECK(!thumbnail.image.isNull());
    FUZZ_CHECK(thumbnail.image.width() <= header.width() && thumbnail.image.height() <= header.height());
}

} // namespace fuzzsupport
