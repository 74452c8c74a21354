#include "images/Bitmap24.h"

#include "images/pixelpool.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

void givePooled(uchar* pixels)
{
    pixelpool::give(pixels);
}

std::shared_ptr<uchar> allocatePixels(std::size_t bytes, bool cleared = true)
{
    return std::shared_ptr<uchar>(cleared ? new uchar[bytes]() : new uchar[bytes], std::default_delete<uchar[]>());
}

std::shared_ptr<uchar> allocatePooled(std::size_t bytes)
{
    uchar* pixels = pixelpool::take(bytes);
    if (!pixels)
        throw std::bad_alloc();
    return std::shared_ptr<uchar>(pixels, givePooled);
}

// Cleanup function of the QImage made by toImage(): drops its share of the buffer.
void releaseShare(void* info)
{
    delete static_cast<std::shared_ptr<uchar>*>(info);
}

} // namespace

Bitmap24::Bitmap24(int width, int height)
    : Bitmap24(width, height, Memory::Cleared)
{
}

Bitmap24 Bitmap24::uninitialised(int width, int height)
{
    return Bitmap24(width, height, Memory::Uninitialised);
}

Bitmap24 Bitmap24::uninitialisedSmall(int width, int height)
{
    return Bitmap24(width, height, Memory::Pooled);
}

Bitmap24::Bitmap24(int width, int height, Memory memory)
{
    if (width < 1 || height < 1)
        return;
    if (width > (INT_MAX - 3) / 3)
        throw std::bad_alloc();
    const int stride = strideFor(width);
    const std::size_t bytes = std::size_t(stride) * std::size_t(height);
    data_ = memory == Memory::Pooled ? allocatePooled(bytes) : allocatePixels(bytes, memory == Memory::Cleared);
    width_ = width;
    height_ = height;
    stride_ = stride;
}

uchar* Bitmap24::bits()
{
    detach();
    return data_.get();
}

void Bitmap24::clearPadding(int y)
{
    const int used = 3 * width_;
    if (stride_ > used)
        std::memset(row(y) + used, 0, std::size_t(stride_ - used));
}

void Bitmap24::detach()
{
    // use_count() can only be too high under concurrent releases, which costs
    // an unneeded copy, never a shared write.
    if (!data_ || data_.use_count() == 1)
        return;
    const std::size_t bytes = std::size_t(stride_) * std::size_t(height_);
    std::shared_ptr<uchar> copy = allocatePixels(bytes, false);
    std::memcpy(copy.get(), data_.get(), bytes);
    data_ = std::move(copy);
}

QImage Bitmap24::toImage() const
{
    if (isEmpty())
        return QImage();
    // The const-data constructor makes QImage copy the pixels before any
    // write through it, so the shared buffer is never changed behind our back.
    auto* share = new std::shared_ptr<uchar>(data_);
    return QImage(static_cast<const uchar*>(data_.get()), width_, height_, stride_, QImage::Format_RGB888,
                  releaseShare, share);
}

Bitmap24 Bitmap24::fromImage(const QImage& image)
{
    if (image.isNull())
        return Bitmap24();
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image
                                                                : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull())
        throw std::bad_alloc();
    Bitmap24 out(rgb.width(), rgb.height());
    const std::size_t rowBytes = std::size_t(out.width()) * 3;
    for (int y = 0; y < out.height(); ++y)
        std::memcpy(out.row(y), rgb.constScanLine(y), rowBytes);
    return out;
}

bool operator==(const Bitmap24& a, const Bitmap24& b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_)
        return false;
    if (a.data_ == b.data_)
        return true;
    const std::size_t rowBytes = std::size_t(a.width_) * 3;
    for (int y = 0; y < a.height_; ++y)
        if (std::memcmp(a.row(y), b.row(y), rowBytes) != 0)
            return false;
    return true;
}
