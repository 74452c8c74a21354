#include "images/pngfile.h"

#include "images/pixelpool.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace {

// libpng reports a fatal error by longjmp to the setjmp of png_jmpbuf; the
// functions that call setjmp hold only objects without destructors in
// their own frames, and everything else happens in helpers they call.

struct WriteJob {
    const QImage* image; // Format_RGB888
    const PngTexts* texts;
    QByteArray* out;
};

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<WriteJob*>(png_get_io_ptr(png))->out->append(reinterpret_cast<const char*>(data),
                                                             qsizetype(length));
}

void noFlush(png_structp) {}

// Stay silent: a failure is reported by the result.
void noWarning(png_structp, png_const_charp) {}

[[noreturn]] void onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void setTexts(png_structp png, png_infop info, const PngTexts& texts)
{
    std::vector<png_text> chunks(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        png_text& t = chunks[i];
        std::memset(&t, 0, sizeof t);
        t.compression = PNG_TEXT_COMPRESSION_NONE;
        t.key = const_cast<png_charp>(texts[i].first.constData());
        t.text = const_cast<png_charp>(texts[i].second.constData());
        t.text_length = size_t(texts[i].second.size());
    }
    // libpng copies the texts.
    png_set_text(png, info, chunks.data(), int(chunks.size()));
}

bool runWrite(WriteJob* job)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, noWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, job, appendBytes, noFlush);
    const QImage& image = *job->image;
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    setTexts(png, info, *job->texts);
    // Neither filtered nor compressed: reading such a file is little more
    // than copying its bytes, at the price of a larger file (a thumbnail of a
    // photograph hardly compresses without filtering anyway).
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 0);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

constexpr png_alloc_size_t MaxChunkBytes = 1 << 20;
constexpr png_uint_32 MaxChunks = 64;

struct ReadJob {
    const QByteArray* bytes;
    qsizetype at;
    int maxSide;
    QImage* image;
    QHash<QByteArray, QByteArray>* texts;
};

void readBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<ReadJob*>(png_get_io_ptr(png));
    if (qsizetype(length) > job->bytes->size() - job->at)
        png_error(png, "the file ends early");
    std::memcpy(data, job->bytes->constData() + job->at, length);
    job->at += qsizetype(length);
}

// Never throws: a failed allocation gives a null image. The pixels come
// from pixelpool.h: thumbnails are kept by the thousand.
bool allocate(QImage* image, int width, int height) noexcept
{
    try {
        const int stride = (width * 3 + 3) & ~3;
        uchar* pixels = pixelpool::take(size_t(stride) * size_t(height));
        *image = pixels ? QImage(pixels, width, height, stride, QImage::Format_RGB888, pixelpool::give, pixels)
                        : QImage();
    } catch (...) {
        *image = QImage();
    }
    return !image->isNull();
}

void getTexts(png_structp png, png_infop info, QHash<QByteArray, QByteArray>* texts) noexcept
{
    try {
        png_textp chunks = nullptr;
        const int n = png_get_text(png, info, &chunks, nullptr);
        for (int i = 0; i < n; ++i)
            texts->insert(QByteArray(chunks[i].key),
                          QByteArray(chunks[i].text, qsizetype(chunks[i].text ? chunks[i].text_length : 0)));
    } catch (...) {
        texts->clear();
    }
}

bool runRead(ReadJob* job)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, noWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, job, readBytes);
    // Nothing a file claims is allocated beyond what a thumbnail needs: the
    // size is refused in the header, and no chunk (a text, a profile) may
    // take more than the largest thumbnail file, nor may there be many.
    png_set_user_limits(png, png_uint_32(job->maxSide), png_uint_32(job->maxSide));
    png_set_chunk_malloc_max(png, MaxChunkBytes);
    png_set_chunk_cache_max(png, MaxChunks);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, &interlace, nullptr, nullptr);
    if (depth != 8 || colour != PNG_COLOR_TYPE_RGB || interlace != PNG_INTERLACE_NONE || width < 1 || height < 1 ||
        width > png_uint_32(job->maxSide) || height > png_uint_32(job->maxSide) ||
        !allocate(job->image, int(width), int(height))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    getTexts(png, info, job->texts);
    for (int y = 0; y < int(height); ++y)
        png_read_row(png, job->image->scanLine(y), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

bool encodePng(const QImage& image, const PngTexts& texts, QByteArray& out)
{
    out.clear();
    if (image.isNull())
        return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    WriteJob job{&rgb, &texts, &out};
    if (runWrite(&job))
        return true;
    out.clear();
    return false;
}

namespace {

// True when every chunk of the PNG in `bytes` lies within it, up to the
// end chunk. libpng allocates (and clears) what a chunk's length claims
// before it finds that the file is shorter: a few bytes claiming 2 GB would
// otherwise cost that much memory.
bool chunksWithin(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qint64 size = bytes.size();
    qint64 at = 8; // the signature
    while (at + 12 <= size) {
        const qint64 length = qint64(p[at]) << 24 | p[at + 1] << 16 | p[at + 2] << 8 | p[at + 3];
        if (length > size - at - 12)
            return false;
        if (std::memcmp(p + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + length;
    }
    return false;
}

} // namespace

bool decodePng(const QByteArray& bytes, int maxSide, QImage& image, QHash<QByteArray, QByteArray>& texts)
{
    if (!chunksWithin(bytes))
        return false;
    QImage decoded;
    QHash<QByteArray, QByteArray> keys;
    ReadJob job{&bytes, 0, maxSide, &decoded, &keys};
    if (!runRead(&job))
        return false;
    image = decoded;
    texts = keys;
    return true;
}
