// Fuzz target of the thumbnail cache's reader: any bytes as a PNG file in
// the desktop's thumbnail cache, which other programs write too. Decoding
// must end without a fault; a picture that decodes is 8-bit RGB and no
// larger than the size allowed, and the cache never takes a file that does
// not carry the stamp of the picture it stands for.
#include "fuzzsupport.h"
#include "images/pngfile.h"
#include "images/thumbnails.h"

#include <QDir>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage image;
    QHash<QByteArray, QByteArray> keys;
    if (decodePng(bytes, SharedThumbnails::LargeSize, image, keys)) {
        FUZZ_CHECK(image.format() == QImage::Format_RGB888);
        FUZZ_CHECK(image.width() >= 1 && image.width() <= SharedThumbnails::LargeSize);
        FUZZ_CHECK(image.height() >= 1 && image.height() <= SharedThumbnails::LargeSize);
        unsigned sum = 0;
        for (int y = 0; y < image.height(); ++y)
            sum += image.constScanLine(y)[0] + image.constScanLine(y)[3 * image.width() - 1];
        (void)sum;
    } else {
        FUZZ_CHECK(image.isNull());
    }

    // The same bytes as the cached thumbnail of a picture.
    static const QString folder = fuzzsupport::scratchFolder() + QStringLiteral("thumbnails/large");
    static const bool made = QDir().mkpath(folder);
    FUZZ_CHECK(made);
    static SharedThumbnails shared(folder);
    const QString picture = fuzzsupport::writeScratchFile(QStringLiteral("ハコベ01.jpg"), QByteArray("x"));
    fuzzsupport::writeScratchFile(QStringLiteral("thumbnails/large/") + SharedThumbnails::fileNameFor(picture), bytes);
    FUZZ_CHECK(!shared.find(picture, platform::fileAge(picture)));
    return 0;
}
