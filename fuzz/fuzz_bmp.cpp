// Fuzz target of Windows bitmap loading: any bytes as a ".bmp" picture file.
// Decoding must end without a fault; a picture that decodes has the size its
// header states (which the grid relies on before decoding), and every way of
// loading it agrees.
#include "fuzzsupport.h"
#include "images/pictures.h"
#include "picturechecks.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzzsupport::writeScratchFile(QStringLiteral("picture.bmp"), data, size);
    FUZZ_CHECK(isBitmapPath(path));

    QSize header;
    const bool headerRead = readPictureSize(path, header);
    if (headerRead)
        FUZZ_CHECK(header.width() >= 1 && header.height() >= 1 &&
                   qint64(header.width()) * header.height() <= MaxPicturePixels);

    Bitmap24 full;
    QString error;
    const bool loaded = loadPictureFile(path, full, &error);
    if (loaded) {
        FUZZ_CHECK(headerRead);
        FUZZ_CHECK(full.size() == header);
        fuzzsupport::touchRows(full);
    } else {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(full.isEmpty());
    }

    // A large picture is decoded once only, to keep each input within the
    // time allowed. (A run-length coded file may claim no more pixels than
    // its data can describe, so such a picture needs a long input.)
    if (headerRead && qint64(header.width()) * header.height() > 4'000'000)
        return 0;

    Bitmap24 scaled;
    QSize fullSize;
    const bool loadedScaled = loadPictureScaled(path, SlotWidth, SlotHeight, scaled, &fullSize, &error);
    FUZZ_CHECK(loadedScaled == loaded);
    if (loadedScaled) {
        FUZZ_CHECK(fullSize == header);
        FUZZ_CHECK(scaled == full);
    }

    fuzzsupport::checkThumbnail(path, header, headerRead);
    return 0;
}
