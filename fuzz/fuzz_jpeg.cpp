// Fuzz target of JPEG loading: any bytes as a ".jpg" picture file, decoded
// at full size, at the DCT scales chosen for a few requested sizes, for the
// result grid, and measured from the header alone. Decoding must end
// without a fault, and a decoded picture must agree with its header.
#include <climits>
#include <utility>

#include "fuzzsupport.h"
#include "images/jpegread.h"
#include "images/pictures.h"
#include "picturechecks.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzzsupport::writeScratchFile(QStringLiteral("picture.jpg"), data, size);
    FUZZ_CHECK(!isBitmapPath(path));

    QSize header;
    const bool headerRead = readPictureSize(path, header);
    if (headerRead)
        FUZZ_CHECK(header.width() >= 1 && header.height() >= 1 &&
                   qint64(header.width()) * header.height() <= MaxPicturePixels);

    // No file claims more pixels than its length can describe.
    if (headerRead)
        FUZZ_CHECK(qint64(header.width()) * header.height() <= MaxJpegPixelsPerByte * qint64(size));

    Bitmap24 full;
    QString error;
    if (loadPictureFile(path, full, &error)) {
        FUZZ_CHECK(headerRead);
        FUZZ_CHECK(full.size() == header);
        fuzzsupport::touchRows(full);
    } else {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(full.isEmpty());
    }

    // The smallest scale that still covers the request, or the full size.
    const std::pair<int, int> requests[] = {{0, 0}, {1, 1}, {SlotWidth, SlotHeight}, {333, 17}, {INT_MAX, INT_MAX}};
    // A large picture (a JPEG may claim up to MaxJpegPixelsPerByte pixels a
    // byte, and every scale decodes all of the entropy-coded data) is
    // decoded once at full size and once for the grid, to keep each input
    // within the time allowed.
    const bool large = headerRead && qint64(header.width()) * header.height() > 4'000'000;
    for (const auto& [minWidth, minHeight] : requests) {
        if (large && minWidth != SlotWidth)
            continue;
        Bitmap24 scaled;
        QSize fullSize(-7, -7);
        if (!loadJpegScaled(path, minWidth, minHeight, scaled, &fullSize, &error)) {
            FUZZ_CHECK(scaled.isEmpty());
            FUZZ_CHECK(fullSize == QSize(-7, -7));
            continue;
        }
        FUZZ_CHECK(headerRead);
        FUZZ_CHECK(fullSize == header);
        FUZZ_CHECK(scaled.width() <= header.width() && scaled.height() <= header.height());
        FUZZ_CHECK(scaled.width() >= std::min(minWidth, header.width()));
        FUZZ_CHECK(scaled.height() >= std::min(minHeight, header.height()));
        FUZZ_CHECK(scaled.width() * 8 >= header.width() && scaled.height() * 8 >= header.height());
        fuzzsupport::touchRows(scaled);
    }

    if (!large)
        fuzzsupport::checkThumbnail(path, header, headerRead);
    return 0;
}
