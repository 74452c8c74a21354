#pragma once
// Picture files built byte by byte for the decoder tests: Windows and OS/2
// bitmaps of every header, depth and coding, JPEGs with EXIF orientation,
// and the files made to exhaust a decoder's time and memory.
#include <QByteArray>
#include <QColor>
#include <QtGlobal>

#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace picturebytes {

inline void put16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

inline void put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

inline void putBig16(QByteArray& b, quint32 v)
{
    b.append(char((v >> 8) & 0xFF));
    b.append(char(v & 0xFF));
}

inline void putBig32(QByteArray& b, quint32 v)
{
    for (int i = 3; i >= 0; --i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A bitmap file. `pixels` are the rows (or run-length codes) as stored.
struct Bmp {
    int infoSize = 40;    // 12 (OS/2 1.x), 16..64 (OS/2 2.x), 40, 52, 56, 108, 124
    int width = 1;
    int height = 1;       // negative: stored from the top
    int bits = 24;
    quint32 compression = 0;
    std::vector<quint32> masks; // in the header (52 and up) or after it (40)
    std::vector<QRgb> palette;
    int declaredColours = -1;   // the header's colour count; -1: the palette's size
    QByteArray pixels;
};

inline QByteArray bmpBytes(const Bmp& b)
{
    const bool core = b.infoSize == 12;
    const int entry = core ? 3 : 4;
    const bool masksAfter = b.infoSize == 40 && !b.masks.empty();
    const int offset = 14 + b.infoSize + (masksAfter ? 4 * int(b.masks.size()) : 0) + entry * int(b.palette.size());
    QByteArray f("BM");
    put32(f, quint32(offset + b.pixels.size()));
    put32(f, 0);
    put32(f, quint32(offset));
    QByteArray info;
    put32(info, quint32(b.infoSize));
    if (core) {
        put16(info, quint32(b.width));
        put16(info, quint32(b.height));
        put16(info, 1);
        put16(info, quint32(b.bits));
    } else {
        put32(info, quint32(b.width));
        put32(info, quint32(b.height));
        put16(info, 1);
        put16(info, quint32(b.bits));
        put32(info, b.compression);
        put32(info, quint32(b.pixels.size()));
        put32(info, 2835);
        put32(info, 2835);
        put32(info, quint32(b.declaredColours >= 0 ? b.declaredColours : int(b.palette.size())));
        put32(info, 0);
        if (b.infoSize > 40)
            for (quint32 m : b.masks)
                put32(info, m);
    }
    info = info.leftJustified(b.infoSize, '\0', true);
    f += info;
    if (masksAfter)
        for (quint32 m : b.masks)
            put32(f, m);
    for (QRgb c : b.palette) {
        f.append(char(qBlue(c)));
        f.append(char(qGreen(c)));
        f.append(char(qRed(c)));
        if (!core)
            f.append('\0');
    }
    return f + b.pixels;
}

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A run-length coded bitmap claiming `width` x `height` pixels, whose data
// is `data` (run-length codes): the decompression bomb of a small file.
inline QByteArray runLengthBitmap(int width, int height, bool fourBits, const QByteArray& data)
{
    Bmp b;
    b.width = width;
    b.height = height;
    b.bits = fourBits ? 4 : 8;
    b.compression = fourBits ? 2 : 1;
    b.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    b.pixels = data;
    return bmpBytes(b);
}

// How libjpeg is to write a JPEG: the layouts the program's own encoder
// never produces.
struct JpegLayout {
    int components = 3;
    J_COLOR_SPACE space = JCS_RGB; // of the components given
    bool adobeMarker = false;
    int restartRows = 0;           // a restart marker after every that many MCU rows
    bool progressive = false;
    bool optimise = false;
    int quality = 95;
};

// A JPEG of w x h written by libjpeg; `pixel` fills the components of
// pixel (x, y).
inline QByteArray libjpegFile(int w, int h, const JpegLayout& layout,
                              const std::function<void(int x, int y, JSAMPLE* px)>& pixel)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = layout.components;
    cinfo.in_color_space = layout.space;
    jpeg_set_defaults(&cinfo);
    cinfo.write_Adobe_marker = layout.adobeMarker ? TRUE : FALSE;
    cinfo.restart_in_rows = layout.restartRows;
    cinfo.optimize_coding = layout.optimise ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, layout.quality, TRUE);
    if (layout.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(w) * size_t(layout.components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < w; ++x)
            pixel(x, int(cinfo.next_scanline), row.data() + size_t(x) * size_t(layout.components));
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

// The body of an EXIF APP1 segment holding one orientation tag.
inline QByteArray exifBody(int orientation, bool bigEndian)
{
    QByteArray tiff = bigEndian ? QByteArray("MM") : QByteArray("II");
    auto p16 = [&](quint32 v) { bigEndian ? putBig16(tiff, v) : put16(tiff, v); };
    auto p32 = [&](quint32 v) { bigEndian ? putBig32(tiff, v) : put32(tiff, v); };
    p16(42);
    p32(8);      // the first directory follows the header
    p16(2);      // two entries: a resolution unit, then the orientation
    p16(0x0128); // ResolutionUnit, SHORT, 1 value: 2
    p16(3);
    p32(1);
    p16(2);
    p16(0);
    p16(0x0112); // Orientation, SHORT, 1 value
    p16(3);
    p32(1);
    p16(quint32(orientation));
    p16(0);
    p32(0); // no next directory
    return QByteArray("Exif\0\0", 6) + tiff;
}

// `jpeg` with an EXIF segment naming `orientation` right after its start
// marker.
inline QByteArray withExif(const QByteArray& jpeg, int orientation, bool bigEndian = false)
{
    const QByteArray body = exifBody(orientation, bigEndian);
    QByteArray segment("\xFF\xE1", 2);
    putBig16(segment, quint32(body.size() + 2));
    return jpeg.left(2) + segment + body + jpeg.mid(2);
}

// The offsets at which the coded data of each scan of `jpeg` ends (the
// first marker after it that is not a restart marker).
inline std::vector<int> scanEnds(const QByteArray& jpeg)
{
    std::vector<int> ends;
    for (int sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2)); sos >= 0;) {
        int at = sos + 2 + (uchar(jpeg[sos + 2]) << 8 | uchar(jpeg[sos + 3]));
        while (at + 1 < jpeg.size() &&
               !(uchar(jpeg[at]) == 0xFF && uchar(jpeg[at + 1]) != 0 && (uchar(jpeg[at + 1]) & 0xF8) != 0xD0))
            ++at;
        ends.push_back(at);
        sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2), at);
    }
    return ends;
}

// `jpeg` (progressive) with its second scan (a first pass over some AC
// coefficients, which decodes the same whatever came before), together
// with the Huffman tables defined for it, repeated at the end until the
// file holds `scans` scans. libjpeg decodes every repetition again.
inline QByteArray repeatScan(const QByteArray& jpeg, int scans)
{
    const std::vector<int> ends = scanEnds(jpeg);
    const QByteArray chunk = jpeg.mid(ends[0], ends[1] - ends[0]);
    QByteArray out = jpeg.left(ends.back());
    for (int i = int(ends.size()); i < scans; ++i)
        out += chunk;
    return out + jpeg.mid(ends.back());
}

// `jpeg` with the frame header's size replaced by `width` x `height`.
inline QByteArray withFrameSize(QByteArray jpeg, int width, int height)
{
    for (const char* sof : {"\xFF\xC0", "\xFF\xC1", "\xFF\xC2"}) {
        const int at = jpeg.indexOf(QByteArray(sof, 2));
        if (at < 0)
            continue;
        jpeg[at + 5] = char(height >> 8);
        jpeg[at + 6] = char(height & 0xFF);
        jpeg[at + 7] = char(width >> 8);
        jpeg[at + 8] = char(width & 0xFF);
        break;
    }
    return jpeg;
}

} // namespace picturebytes
