#include "images/orientation.h"

#include <cstring>

namespace {

// Reads 16- and 32-bit values of a TIFF structure in its own byte order.
struct TiffReader {
    const unsigned char* data;
    std::size_t size;
    bool bigEndian;

    bool has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
    unsigned u16(std::size_t at) const
    {
        return bigEndian ? unsigned(data[at]) << 8 | data[at + 1] : unsigned(data[at + 1]) << 8 | data[at];
    }
    unsigned long u32(std::size_t at) const
    {
        return bigEndian ? (unsigned long)u16(at) << 16 | u16(at + 2) : (unsigned long)u16(at + 2) << 16 | u16(at);
    }
};

constexpr unsigned OrientationTag = 0x0112;
constexpr unsigned TypeShort = 3;

} // namespace

int exifOrientation(const unsigned char* app1, std::size_t size)
{
    static const unsigned char exifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!app1 || size < sizeof exifId + 8 || std::memcmp(app1, exifId, sizeof exifId) != 0)
        return OrientUpright;
    // The TIFF structure follows the identifier; its offsets count from its
    // own first byte.
    TiffReader tiff{app1 + sizeof exifId, size - sizeof exifId, false};
    if (tiff.data[0] == 'M' && tiff.data[1] == 'M')
        tiff.bigEndian = true;
    else if (!(tiff.data[0] == 'I' && tiff.data[1] == 'I'))
        return OrientUpright;
    if (tiff.u16(2) != 42)
        return OrientUpright;
    const unsigned long ifd = tiff.u32(4);
    if (!tiff.has(ifd, 2))
        return OrientUpright;
    const unsigned entries = tiff.u16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + std::size_t(i) * 12;
        if (!tiff.has(entry, 12))
            break;
        if (tiff.u16(entry) != OrientationTag)
            continue;
        if (tiff.u16(entry + 2) != TypeShort || tiff.u32(entry + 4) < 1)
            return OrientUpright;
        const unsigned value = tiff.u16(entry + 8); // a short lies at the start of the value field
        return value >= 1 && value <= 8 ? int(value) : OrientUpright;
    }
    return OrientUpright;
}

bool orientationSwapsAxes(int orientation)
{
    return orientation >= OrientTransposed && orientation <= OrientTurnedRight;
}

QSize uprightSize(const QSize& stored, int orientation)
{
    return orientationSwapsAxes(orientation) ? stored.transposed() : stored;
}

Bitmap24 orientUpright(const Bitmap24& stored, int orientation)
{
    if (orientation <= OrientUpright || orientation > OrientTurnedRight || stored.isEmpty())
        return stored;
    const int w = stored.width();
    const int h = stored.height();
    const QSize size = uprightSize(stored.size(), orientation);
    Bitmap24 out = Bitmap24::uninitialised(size.width(), size.height());
    // Upright pixel (x, y) comes from stored pixel (sx, sy); each case walks
    // the upright picture row by row.
    for (int y = 0; y < size.height(); ++y) {
        uchar* dst = out.row(y);
        for (int x = 0; x < size.width(); ++x, dst += 3) {
            int sx = x, sy = y;
            switch (orientation) {
            case OrientMirrored:
                sx = w - 1 - x;
                break;
            case OrientUpsideDown:
                sx = w - 1 - x;
                sy = h - 1 - y;
                break;
            case OrientFlipped:
                sy = h - 1 - y;
                break;
            case OrientTransposed:
                sx = y;
                sy = x;
                break;
            case OrientTurnedLeft:
                sx = y;
                sy = h - 1 - x;
                break;
            case OrientTransverse:
                sx = w - 1 - y;
                sy = h - 1 - x;
                break;
            case OrientTurnedRight:
                sx = w - 1 - y;
                sy = x;
                break;
            }
            std::memcpy(dst, stored.constRow(sy) + 3 * sx, 3);
        }
        out.clearPadding(y);
    }
    return out;
}
