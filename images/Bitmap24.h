#pragma once
// The core's 24-bit picture: width x height pixels, rows from the top, three
// bytes a pixel in red, green, blue order, each row padded to a multiple of
// four bytes. Copies share the pixel buffer until one of them is written to
// (a non-const row()/bits() call makes that copy's buffer its own), so
// passing bitmaps around by value is cheap.
#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <cstddef>
#include <memory>

class Bitmap24 {
public:
    // An empty bitmap (0 x 0).
    Bitmap24() = default;
    // A black bitmap of the given size. A width or height below 1 gives an
    // empty bitmap. Throws std::bad_alloc when the buffer cannot be had.
    Bitmap24(int width, int height);
    // A bitmap of the given size whose pixels are not cleared, for a
    // decoder that writes every row before the bitmap is used: memory the
    // decoder never reaches (a file that fails half way) is then never
    // touched either. Throws std::bad_alloc like the constructor.
    static Bitmap24 uninitialised(int width, int height);
    // The same for a small picture of which many are kept at once (the
    // result grid's thumbnails): its memory comes from pixelpool.h.
    static Bitmap24 uninitialisedSmall(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    QSize size() const { return QSize(width_, height_); }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    // Bytes from the start of one row to the start of the next.
    int stride() const { return stride_; }
    // Bytes needed for one row of `width` pixels.
    static int strideFor(int width) { return (width * 3 + 3) & ~3; }

    // Row y (0 = top), 3 * width() bytes of pixels followed by padding.
    // The non-const forms make the buffer this bitmap's own first.
    uchar* row(int y) { return bits() + std::ptrdiff_t(y) * stride_; }
    const uchar* row(int y) const { return constBits() + std::ptrdiff_t(y) * stride_; }
    const uchar* constRow(int y) const { return row(y); }
    uchar* bits();
    // Zeroes the padding bytes after row y's pixels (of an uninitialised
    // bitmap, once the row is written).
    void clearPadding(int y);
    const uchar* constBits() const { return data_.get(); }

    // A QImage (Format_RGB888) over this bitmap's buffer, without copying the
    // pixels. The image keeps the buffer alive on its own; writing to either
    // side later gives that side a copy, so neither sees the other's changes.
    QImage toImage() const;
    // The picture converted to 24 bits. A null image gives an empty bitmap.
    static Bitmap24 fromImage(const QImage& image);

    // Same size and same pixels (padding bytes are not compared).
    friend bool operator==(const Bitmap24& a, const Bitmap24& b);
    friend bool operator!=(const Bitmap24& a, const Bitmap24& b) { return !(a == b); }

private:
    enum class Memory { Cleared, Uninitialised, Pooled };
    Bitmap24(int width, int height, Memory memory);
    void detach();

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::shared_ptr<uchar> data_;
};
