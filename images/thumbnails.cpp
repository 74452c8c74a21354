#include "images/thumbnails.h"

#include <QThread>

#include <atomic>
#include <cmath>
#include <thread>

#include "images/pictures.h"

namespace {

int roundEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

SlotFit fitPictureSize(const QSize& picture)
{
    const int w = picture.width();
    const int h = picture.height();
    SlotFit fit;
    if (w <= 0 || h <= 0) {
        fit.size = QSize(0, 0);
        return fit;
    }
    if (w <= SlotWidth && h <= SlotHeight) {
        fit.size = QSize(w, h);
        return fit;
    }
    fit.stretch = true;
    if (w <= SlotWidth) {
        fit.size = QSize(roundEven(double(SlotHeight) / h * w), SlotHeight);
    } else if (h <= SlotHeight) {
        fit.size = QSize(SlotWidth, roundEven(double(SlotWidth) / w * h));
    } else {
        const double rw = double(SlotWidth) / w;
        const double rh = double(SlotHeight) / h;
        const double r = rw < rh ? rw : rh;
        fit.size = QSize(roundEven(r * w), roundEven(r * h));
    }
    // A very long picture still gets at least one pixel each way.
    fit.size = fit.size.expandedTo(QSize(1, 1));
    return fit;
}

int slotColumns(int width)
{
    const int columns = width / SlotWidth + (width % SlotWidth >= SlotWidth / 2 ? 1 : 0);
    return std::max(1, columns);
}

ThumbnailCache::ThumbnailCache(qint64 maxBytes)
    : maxBytes_(maxBytes)
{
}

std::optional<Thumbnail> ThumbnailCache::find(const QString& path, const platform::FileStamp& stamp)
{
    std::lock_guard<std::mutex> g(lock_);
    const auto it = index_.find(path);
    if (it == index_.end() || (*it)->stamp != stamp)
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, *it);
    return entries_.front().thumbnail;
}

void ThumbnailCache::insert(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail)
{
    std::lock_guard<std::mutex> g(lock_);
    const auto it = index_.find(path);
    if (it != index_.end()) {
        bytes_ -= imageBytes((*it)->thumbnail.image);
        entries_.erase(*it);
        index_.erase(it);
    }
    entries_.push_front(Entry{path, stamp, thumbnail});
    index_.insert(path, entries_.begin());
    bytes_ += imageBytes(thumbnail.image);
    evict();
}

void ThumbnailCache::evict()
{
    while (bytes_ > maxBytes_ && entries_.size() > 1) {
        bytes_ -= imageBytes(entries_.back().thumbnail.image);
        index_.remove(entries_.back().path);
        entries_.pop_back();
    }
}

void ThumbnailCache::clear()
{
    std::lock_guard<std::mutex> g(lock_);
    entries_.clear();
    index_.clear();
    bytes_ = 0;
}

qint64 ThumbnailCache::bytes() const
{
    std::lock_guard<std::mutex> g(lock_);
    return bytes_;
}

int ThumbnailCache::count() const
{
    std::lock_guard<std::mutex> g(lock_);
    return int(entries_.size());
}

ThumbnailCache& thumbnailCache()
{
    static ThumbnailCache cache;
    return cache;
}

qint64 imageBytes(const QImage& image)
{
    return image.sizeInBytes();
}

bool loadThumbnail(const QString& path, Thumbnail& out, ThumbnailCache* cache, QString* error)
{
    const platform::FileStamp stamp = platform::fileAge(path);
    if (!stamp.present) {
        if (error)
            *error = whyNoPictureFile(path);
        return false;
    }
    if (cache) {
        if (auto hit = cache->find(path, stamp)) {
            out = *hit;
            return true;
        }
    }
    QSize full;
    if (!readPictureSize(path, full, error))
        return false;
    const QSize need = fitPictureSize(full).size;
    Bitmap24 bitmap;
    QSize decodedFull;
    if (!loadPictureScaled(path, need.width(), need.height(), bitmap, &decodedFull, error))
        return false;
    Thumbnail t;
    t.fullSize = decodedFull;
    t.image = bitmap.toImage();
    // Bitmaps have no DCT scaling: shrink a large one so the slot keeps
    // only what it shows.
    if (t.image.width() > 2 * need.width() || t.image.height() > 2 * need.height())
        t.image = t.image.scaled(need, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out = t;
    if (cache)
        cache->insert(path, stamp, t);
    return true;
}

std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, ThumbnailCache* cache, int threads,
                                                     const std::function<void()>& waiting)
{
    std::vector<std::optional<Thumbnail>> results(size_t(paths.size()));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    auto work = [&] {
        for (int i = next++; i < paths.size(); i = next++) {
            Thumbnail t;
            if (!paths[i].isEmpty() && loadThumbnail(paths[i], t, cache))
                results[size_t(i)] = std::move(t);
            ++done;
        }
    };
    threads = std::max(1, threads);
    // With a `waiting` callback the calling thread only waits; otherwise it
    // is one of the workers.
    const int spawned = waiting ? threads : threads - 1;
    std::vector<std::thread> workers;
    for (int k = 0; k < spawned; ++k)
        workers.emplace_back(work);
    if (waiting) {
        // The calling thread keeps the progress window alive while the
        // workers decode.
        while (done.load() < paths.size()) {
            waiting();
            QThread::msleep(15);
        }
    } else {
        work();
    }
    for (std::thread& t : workers)
        t.join();
    return results;
}
