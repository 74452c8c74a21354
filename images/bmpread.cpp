#include "images/bmpread.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "images/picturefaults.h"
#include "images/pictures.h"

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const uchar* p)
{
    return quint16(p[0] | p[1] << 8);
}

enum class Coding { Indexed, Channels, Rgb24, RunLength8, RunLength4 };

// One colour channel held by a bit mask: where it lies and how wide it is.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    int bits = 0;
    quint64 max = 0; // largest value, 2^bits - 1

    // False for a mask whose bits are not one run.
    bool set(quint32 m)
    {
        mask = m;
        if (m == 0)
            return true;
        while (!((m >> shift) & 1))
            ++shift;
        const quint32 run = m >> shift;
        while (bits < 32 && ((run >> bits) & 1))
            ++bits;
        if (bits < 32 && (run >> bits) != 0)
            return false;
        max = (quint64(1) << bits) - 1;
        return true;
    }
    // The channel of pixel value v scaled to 0..255, rounded half up.
    uchar value(quint32 v) const
    {
        if (bits == 0)
            return 0;
        const quint64 c = (v & mask) >> shift;
        if (bits == 8)
            return uchar(c);
        return uchar((c * 255 + max / 2) / max);
    }
};

using Rgb = std::array<uchar, 3>;

struct BmpLayout {
    qint64 fileSize = 0;
    qint64 dataOffset = 0;
    qint64 width = 0;
    qint64 rows = 0;
    bool topDown = false;
    int bits = 0;
    Coding coding = Coding::Indexed;
    Channel red, green, blue; // Coding::Channels
    std::vector<Rgb> palette; // indexed and run-length pictures

    qint64 rowBytes() const { return (width * bits + 31) / 32 * 4; }
};

// The largest head of a file the header parser looks at: the longest
// header, channel masks and a colour table of 256 four-byte entries.
constexpr qint64 HeadBytes = 14 + 124 + 16 + 256 * 4;

// Reads the file header, the information header, the channel masks and the
// colour table from the first bytes of the file and checks them against
// the file's length. Nothing is allocated for the pixels here.
bool parseLayout(const uchar* p, qint64 have, qint64 fileSize, BmpLayout& l, QString* error)
{
    using namespace picturefaults;
    if (fileSize == 0)
        return fail(error, empty());
    if (have < 2 || p[0] != 'B' || p[1] != 'M')
        return fail(error, notBitmap());
    if (have < 14 + 4)
        return fail(error, cutShort());
    l.fileSize = fileSize;
    l.dataOffset = le32(p + 10);
    const qint64 infoSize = le32(p + 14);
    // 12: OS/2 1.x; 40, 52, 56, 108, 124: Windows; other sizes from 16 to
    // 64: OS/2 2.x, whose header may stop after any field.
    const bool core = infoSize == 12;
    const bool windows = infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    const bool os2 = !windows && infoSize >= 16 && infoSize <= 64;
    if (!core && !windows && !os2)
        return fail(error, unsupported(QStringLiteral("%1 バイトの BMP ヘッダー").arg(infoSize)));
    if (have < 14 + infoSize)
        return fail(error, cutShort());

    int planes;
    quint32 compression = 0;
    qint64 colours = 0;
    if (core) {
        l.width = le16(p + 18);
        l.rows = le16(p + 20);
        planes = le16(p + 22);
        l.bits = le16(p + 24);
    } else {
        l.width = qint32(le32(p + 18));
        const qint64 height = qint32(le32(p + 22));
        l.topDown = height < 0;
        l.rows = l.topDown ? -height : height;
        planes = le16(p + 26);
        l.bits = le16(p + 28);
        // An OS/2 2.x header may end before any of the following fields.
        if (infoSize >= 20)
            compression = le32(p + 30);
        if (infoSize >= 36)
            colours = le32(p + 46);
    }
    if (l.width < 1 || l.rows < 1 || planes != 1)
        return fail(error, damaged());
    if (l.width * l.rows > MaxPicturePixels)
        return fail(error, tooLarge(l.width, l.rows));

    // The coding from depth and compression.
    qint64 masksAfterHeader = 0;
    quint32 masks[3] = {0, 0, 0};
    switch (compression) {
    case 0: // uncompressed
        if (l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8) {
            l.coding = Coding::Indexed;
        } else if (l.bits == 16) {
            l.coding = Coding::Channels;
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else if (l.bits == 24) {
            l.coding = Coding::Rgb24;
        } else if (l.bits == 32) {
            l.coding = Coding::Channels;
            masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
        } else {
            return fail(error, unsupported(QStringLiteral("%1 ビットの BMP 画像").arg(l.bits)));
        }
        break;
    case 1:
    case 2:
        if (os2 && compression == 2 && l.bits == 24)
            return fail(error, unsupported(QStringLiteral("24 ビットのランレングス圧縮 BMP 画像")));
        if ((compression == 1 && l.bits != 8) || (compression == 2 && l.bits != 4))
            return fail(error, damaged());
        if (l.topDown) // run-length pictures are always stored from the bottom
            return fail(error, damaged());
        l.coding = compression == 1 ? Coding::RunLength8 : Coding::RunLength4;
        break;
    case 3:
    case 6:
        if (os2) // OS/2 2.x uses 3 for Huffman coding
            return fail(error, unsupported(QStringLiteral("ハフマン圧縮の BMP 画像")));
        if (l.bits != 16 && l.bits != 32)
            return fail(error, damaged());
        l.coding = Coding::Channels;
        // The masks follow a 40-byte header, and lie inside a longer one.
        if (infoSize == 40) {
            masksAfterHeader = compression == 3 ? 12 : 16;
            if (have < 14 + infoSize + 12)
                return fail(error, cutShort());
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = le32(p + 14 + 40 + 4 * i);
        break;
    case 4:
        return fail(error, unsupported(QStringLiteral("JPEG を含む BMP 画像")));
    case 5:
        return fail(error, unsupported(QStringLiteral("PNG を含む BMP 画像")));
    default:
        return fail(error, unsupported(QStringLiteral("圧縮形式 %1 の BMP 画像").arg(compression)));
    }

    if (l.coding == Coding::Channels) {
        const quint32 inDepth = l.bits == 32 ? 0xFFFFFFFFu : (1u << l.bits) - 1;
        if (!l.red.set(masks[0]) || !l.green.set(masks[1]) || !l.blue.set(masks[2]))
            return fail(error, unsupported(QStringLiteral("飛び飛びのビットに色を持つ BMP 画像")));
        const quint32 all = masks[0] | masks[1] | masks[2];
        const bool overlap = (masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2]);
        if (all == 0 || overlap || (all & ~inDepth))
            return fail(error, damaged());
    }

    // The colour table lies between the headers and the pixels; a table
    // shorter than the depth allows is fine as long as no pixel uses a
    // missing entry.
    const qint64 tableStart = 14 + infoSize + masksAfterHeader;
    if (l.dataOffset < tableStart)
        return fail(error, damaged());
    if (l.coding == Coding::Indexed || l.coding == Coding::RunLength8 || l.coding == Coding::RunLength4) {
        const int entrySize = core ? 3 : 4;
        const qint64 depthColours = qint64(1) << l.bits;
        qint64 count = colours >= 1 && colours <= depthColours ? colours : depthColours;
        count = std::min(count, (l.dataOffset - tableStart) / entrySize);
        if (count < 1)
            return fail(error, damaged());
        if (tableStart + count * entrySize > have)
            return fail(error, cutShort());
        l.palette.resize(size_t(count));
        for (qint64 i = 0; i < count; ++i) {
            const uchar* e = p + tableStart + i * entrySize; // blue, green, red
            l.palette[size_t(i)] = Rgb{e[2], e[1], e[0]};
        }
    }

    // What the file's length allows.
    if (l.dataOffset > fileSize)
        return fail(error, cutShort());
    const qint64 dataBytes = fileSize - l.dataOffset;
    if (l.coding == Coding::RunLength8 || l.coding == Coding::RunLength4) {
        if (l.width * l.rows * 2 > dataBytes * RunLengthPixelsPerTwoBytes)
            return fail(error, sizeBeyondFile(l.width, l.rows));
    } else if (dataBytes / l.rows < l.rowBytes()) {
        return fail(error, cutShort());
    }
    return true;
}

bool readLayout(QFile& file, const QString& path, BmpLayout& l, QString* error)
{
    file.setFileName(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, picturefaults::cannotOpen(errno));
    const QByteArray head = file.read(HeadBytes);
    return parseLayout(reinterpret_cast<const uchar*>(head.constData()), head.size(), file.size(), l, error);
}

// ---------------------------------------------------------------------------
// Uncompressed rows.

bool convertRow(const BmpLayout& l, const uchar* src, uchar* dst)
{
    const int w = int(l.width);
    switch (l.coding) {
    case Coding::Indexed: {
        const int perByte = 8 / l.bits;
        const unsigned mask = (1u << l.bits) - 1;
        const size_t count = l.palette.size();
        for (int x = 0; x < w; ++x, dst += 3) {
            const int shift = 8 - l.bits * (x % perByte + 1);
            const unsigned index = (src[x / perByte] >> shift) & mask;
            if (index >= count)
                return false; // a colour the table does not hold
            std::memcpy(dst, l.palette[index].data(), 3);
        }
        return true;
    }
    case Coding::Rgb24:
        for (int x = 0; x < w; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
        return true;
    case Coding::Channels:
        for (int x = 0; x < w; ++x, dst += 3) {
            const quint32 v = l.bits == 16 ? le16(src + 2 * x) : le32(src + 4 * x);
            dst[0] = l.red.value(v);
            dst[1] = l.green.value(v);
            dst[2] = l.blue.value(v);
        }
        return true;
    default:
        return false;
    }
}

bool decodeRows(QFile& file, const BmpLayout& l, Bitmap24& out, QString* error)
{
    const qint64 rowBytes = l.rowBytes();
    QByteArray row(qsizetype(rowBytes), '\0');
    if (!file.seek(l.dataOffset))
        return fail(error, picturefaults::cutShort());
    for (qint64 r = 0; r < l.rows; ++r) {
        if (file.read(row.data(), rowBytes) != rowBytes)
            return fail(error, picturefaults::cutShort());
        const int y = int(l.topDown ? r : l.rows - 1 - r);
        if (!convertRow(l, reinterpret_cast<const uchar*>(row.constData()), out.row(y)))
            return fail(error, picturefaults::damaged());
        out.clearPadding(y);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Run-length coded pictures. The data is a series of two-byte codes: a
// count and a colour (a run), or 0 and an escape: 0 end of line, 1 end of
// picture, 2 a move right and up, 3..255 that many pixels given one by
// one. Rows run from the bottom of the picture up.

class RunLengthDecoder {
public:
    RunLengthDecoder(const BmpLayout& l, const QByteArray& data, Bitmap24& out)
        : l_(l)
        , p_(reinterpret_cast<const uchar*>(data.constData()))
        , end_(p_ + data.size())
        , out_(out)
        , four_(l.coding == Coding::RunLength4)
    {
    }

    // False, with the reason, when the data is cut short or broken.
    bool run(QString* error)
    {
        while (end_ - p_ >= 2) {
            const uchar count = p_[0];
            const uchar code = p_[1];
            p_ += 2;
            if (count > 0) {
                if (!put(count, [code, this](int i) { return four_ ? (i % 2 ? code & 0x0F : code >> 4) : code; }))
                    return fail(error, picturefaults::damaged());
                continue;
            }
            switch (code) {
            case 0: // end of line
                skipped_ = skipped_ || x_ < l_.width;
                ++row_;
                x_ = 0;
                break;
            case 1: // end of picture
                return complete(error);
            case 2: { // move
                if (end_ - p_ < 2)
                    return fail(error, picturefaults::cutShort());
                skipped_ = skipped_ || p_[0] > 0 || p_[1] > 0;
                x_ += p_[0];
                row_ += p_[1];
                p_ += 2;
                if (x_ > l_.width || row_ >= l_.rows)
                    return fail(error, picturefaults::damaged());
                break;
            }
            default: { // pixels one by one, padded to an even number of bytes
                const qint64 bytes = four_ ? (code + 1) / 2 : code;
                const qint64 padded = (bytes + 1) / 2 * 2;
                if (end_ - p_ < padded)
                    return fail(error, picturefaults::cutShort());
                const uchar* given = p_;
                if (!put(code, [given, this](int i) {
                        return four_ ? (i % 2 ? given[i / 2] & 0x0F : given[i / 2] >> 4) : given[i];
                    }))
                    return fail(error, picturefaults::damaged());
                p_ += padded;
                break;
            }
            }
        }
        // The data ended without an end-of-picture code.
        return complete(error);
    }

private:
    // The picture is shown only when the data gave every pixel: pixels a
    // move, an early end of line or an early end of picture pass over have
    // no colour in the file, and none is made up for them.
    bool complete(QString* error) const
    {
        if (given_ == l_.width * l_.rows)
            return true;
        return fail(error, skipped_ ? picturefaults::pixelsLeftOut() : picturefaults::cutShort());
    }

    // Writes `count` pixels at the current place, colour i from index(i).
    // False when they would pass the end of the row or of the picture, or
    // use a colour the table does not hold. A 4-bit code gives pixels in
    // pairs, so on an odd-width row its last pair may reach one pixel past
    // the end; that pixel is dropped.
    template <typename Index>
    bool put(int count, Index index)
    {
        if (row_ >= l_.rows)
            return false;
        qint64 stop = x_ + count;
        if (stop > l_.width) {
            if (!(four_ && count % 2 == 0 && stop == l_.width + 1))
                return false;
            stop = l_.width;
        }
        uchar* dst = out_.row(int(l_.rows - 1 - row_)) + 3 * x_;
        given_ += stop - x_; // places only move forward, so no pixel is given twice
        for (int i = 0; x_ < stop; ++i, ++x_, dst += 3) {
            const unsigned c = unsigned(index(i));
            if (c >= l_.palette.size())
                return false;
            std::memcpy(dst, l_.palette[c].data(), 3);
        }
        return true;
    }

    const BmpLayout& l_;
    const uchar* p_;
    const uchar* end_;
    Bitmap24& out_;
    bool four_;
    qint64 x_ = 0;
    qint64 row_ = 0; // counted from the bottom
    qint64 given_ = 0; // pixels the data has given
    bool skipped_ = false; // a move or an end of line passed over pixels
};

bool decodeRunLength(QFile& file, const BmpLayout& l, Bitmap24& out, QString* error)
{
    if (!file.seek(l.dataOffset))
        return fail(error, picturefaults::cutShort());
    const QByteArray data = file.read(l.fileSize - l.dataOffset);
    for (int y = 0; y < out.height(); ++y)
        out.clearPadding(y);
    return RunLengthDecoder(l, data, out).run(error);
}

} // namespace

bool readBmpSize(const QString& path, QSize& size, QString* error)
{
    QFile file;
    BmpLayout l;
    if (!readLayout(file, path, l, error))
        return false;
    size = QSize(int(l.width), int(l.rows));
    return true;
}

bool decodeBmpFile(const QString& path, Bitmap24& out, QString* error)
{
    QFile file;
    BmpLayout l;
    if (!readLayout(file, path, l, error))
        return false;
    try {
        Bitmap24 pixels = Bitmap24::uninitialised(int(l.width), int(l.rows));
        const bool runLength = l.coding == Coding::RunLength8 || l.coding == Coding::RunLength4;
        if (!(runLength ? decodeRunLength(file, l, pixels, error) : decodeRows(file, l, pixels, error)))
            return false;
        out = std::move(pixels);
        return true;
    } catch (const std::bad_alloc&) {
        return fail(error, picturefaults::noMemory());
    }
}
