#include "images/thumbnails.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <unistd.h>

#include "images/pictures.h"
#include "images/pngfile.h"
#include "platform/threads.h"

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

// ---------------------------------------------------------------------------
// The shared cache on disk.

namespace {

const char* const UriKey = "Thumb::URI";
const char* const MTimeKey = "Thumb::MTime";
const char* const SizeKey = "Thumb::Size";
const char* const WidthKey = "Thumb::Image::Width";
const char* const HeightKey = "Thumb::Image::Height";
const char* const MimeKey = "Thumb::Mimetype";
const char* const StampKey = "X-Tolvarin::Stamp";

QByteArray stampText(const platform::FileStamp& stamp)
{
    return QByteArray::number(stamp.mtimeNs) + ' ' + QByteArray::number(stamp.inode) + ' ' +
           QByteArray::number(stamp.size);
}

// No thumbnail of at most 256 x 256 pixels comes near this.
constexpr qint64 MaxFileBytes = 1 << 20;

// Whole seconds, as Thumb::MTime holds them (rounded down also before 1970).
qint64 mtimeSeconds(const platform::FileStamp& stamp)
{
    const qint64 ns = stamp.mtimeNs;
    return ns >= 0 ? ns / 1000000000 : -((-ns + 999999999) / 1000000000);
}

} // namespace

SharedThumbnails::SharedThumbnails(const QString& folder)
    : folder_(folder)
{
}

SharedThumbnails::~SharedThumbnails()
{
    stopWriting();
}

QString SharedThumbnails::defaultFolder()
{
    // The cache folder by the XDG base directory rules: a relative
    // path in the variable is not valid and is passed over.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return QString();
        cache = home + QStringLiteral("/.cache");
    }
    return QDir::cleanPath(cache) + QStringLiteral("/thumbnails/large");
}

QString SharedThumbnails::folder() const
{
    std::lock_guard<std::mutex> g(lock_);
    return folder_;
}

void SharedThumbnails::setFolder(const QString& folder)
{
    finishWriting();
    std::lock_guard<std::mutex> g(lock_);
    folder_ = folder;
    writable_ = true;
    foldersMade_ = false;
}

QByteArray SharedThumbnails::uriOf(const QString& path)
{
    return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath())).toEncoded();
}

QString SharedThumbnails::fileNameFor(const QString& path)
{
    return QString::fromLatin1(QCryptographicHash::hash(uriOf(path), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

std::optional<Thumbnail> SharedThumbnails::find(const QString& path, const platform::FileStamp& stamp) const
{
    const QString folder = this->folder();
    if (folder.isEmpty() || !stamp.present)
        return std::nullopt;
    QFile file(folder + QLatin1Char('/') + fileNameFor(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return std::nullopt;
    Thumbnail t;
    QHash<QByteArray, QByteArray> keys;
    if (!decodePng(file.readAll(), LargeSize, t.image, keys))
        return std::nullopt;
    // Another program's thumbnail, one of a file that was here before, or
    // one not written in full is not this picture's.
    if (keys.value(StampKey) != stampText(stamp) || keys.value(UriKey) != uriOf(path) ||
        keys.value(MTimeKey) != QByteArray::number(mtimeSeconds(stamp)))
        return std::nullopt;
    t.fullSize = QSize(keys.value(WidthKey).toInt(), keys.value(HeightKey).toInt());
    if (t.fullSize.isEmpty())
        return std::nullopt;
    return t;
}

bool SharedThumbnails::write(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail)
{
    const QImage& image = thumbnail.image;
    if (!stamp.present || image.isNull() || image.width() > LargeSize || image.height() > LargeSize ||
        thumbnail.fullSize.isEmpty())
        return false;
    QString folder;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (folder_.isEmpty() || !writable_)
            return false;
        folder = folder_;
        if (!foldersMade_) {
            // thumbnails/ and thumbnails/large/, and the cache folder itself
            // when it is missing, readable by the user alone.
            const QString thumbnails = QFileInfo(folder).path();
            const QString cache = QFileInfo(thumbnails).path();
            writable_ = platform::makeFolder(cache, 0700, nullptr) && platform::makeFolder(thumbnails, 0700, nullptr) &&
                        platform::makeFolder(folder, 0700, nullptr);
            foldersMade_ = writable_;
            if (!writable_)
                return false;
        }
    }
    // In the format a decoded thumbnail has, so that the grid draws both
    // alike.
    const PngTexts keys = {
        {UriKey, uriOf(path)},
        {MTimeKey, QByteArray::number(mtimeSeconds(stamp))},
        {SizeKey, QByteArray::number(stamp.size)},
        {WidthKey, QByteArray::number(thumbnail.fullSize.width())},
        {HeightKey, QByteArray::number(thumbnail.fullSize.height())},
        {MimeKey, isBitmapPath(path) ? "image/bmp" : "image/jpeg"},
        {"Software", "Tolvarin"},
        {StampKey, stampText(stamp)},
    };
    QByteArray png;
    if (!encodePng(image, keys, png))
        return false;
    // A temporary file beside it, renamed over the old thumbnail: a reader
    // (another copy, another program) sees the old file or the new one.
    platform::Folder dir;
    QString temporary;
    int e = 0;
    int fd = -1;
    bool ok = dir.open(folder + QLatin1Char('/'), &e);
    if (ok) {
        fd = dir.createUnique(fileNameFor(path) + QStringLiteral(".tmp-"), 0600, temporary, &e);
        ok = fd >= 0;
    }
    if (ok)
        ok = platform::writeAllUnsynced(fd, png, dir.path() + temporary, &e);
    if (fd >= 0)
        ::close(fd);
    if (ok)
        ok = dir.rename(temporary, dir, fileNameFor(path), true, &e);
    if (!ok) {
        if (!temporary.isEmpty())
            dir.remove(temporary, nullptr);
        // A cache that cannot be written is not tried again this run.
        std::lock_guard<std::mutex> g(lock_);
        writable_ = false;
    }
    return ok;
}

void SharedThumbnails::writeLater(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail)
{
    std::lock_guard<std::mutex> g(lock_);
    if (folder_.isEmpty() || !writable_ || stopping_)
        return;
    pending_.push_back(Pending{path, stamp, thumbnail});
    if (!writer_.joinable())
        writer_ = std::thread([this] { writeWhenIdle(); });
    changed_.notify_all();
}

void SharedThumbnails::writeWhenIdle()
{
    platform::runOnlyWhenIdle();
    std::unique_lock<std::mutex> g(lock_);
    for (;;) {
        changed_.wait(g, [&] { return stopping_ || !pending_.empty(); });
        if (stopping_)
            return;
        const Pending p = std::move(pending_.front());
        pending_.pop_front();
        writing_ = true;
        g.unlock();
        write(p.path, p.stamp, p.thumbnail);
        g.lock();
        writing_ = false;
        changed_.notify_all();
    }
}

void SharedThumbnails::finishWriting()
{
    std::unique_lock<std::mutex> g(lock_);
    changed_.wait(g, [&] { return stopping_ || (pending_.empty() && !writing_); });
}

void SharedThumbnails::stopWriting()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        stopping_ = true;
        pending_.clear();
    }
    changed_.notify_all();
    if (writer_.joinable()) {
        platform::runNormally(writer_.native_handle());
        writer_.join();
    }
    std::lock_guard<std::mutex> g(lock_);
    writer_ = std::thread();
    stopping_ = false;
}

SharedThumbnails& sharedThumbnails()
{
    static SharedThumbnails shared(SharedThumbnails::defaultFolder());
    // The writing thread ends with the application, while the libraries it
    // uses are all still there.
    static const bool registered = [] {
        if (QCoreApplication::instance())
            qAddPostRoutine([] { sharedThumbnails().stopWriting(); });
        return true;
    }();
    Q_UNUSED(registered);
    return shared;
}

// ---------------------------------------------------------------------------
// The cache in memory.

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
    broken_.clear();
    bytes_ = 0;
}

void ThumbnailCache::markBroken(const QString& path, const platform::FileStamp& stamp, const QString& why)
{
    std::lock_guard<std::mutex> g(lock_);
    broken_.insert(path, Broken{stamp, why});
}

std::optional<QString> ThumbnailCache::broken(const QString& path, const platform::FileStamp& stamp) const
{
    std::lock_guard<std::mutex> g(lock_);
    const auto it = broken_.find(path);
    if (it == broken_.end() || it->stamp != stamp)
        return std::nullopt;
    return it->why;
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
    static const bool shared = [] {
        cache.setShared(&sharedThumbnails());
        return true;
    }();
    Q_UNUSED(shared);
    return cache;
}

qint64 imageBytes(const QImage& image)
{
    return image.sizeInBytes();
}

bool loadThumbnail(const QString& path, Thumbnail& out, ThumbnailCache* cache, QString* error,
                   platform::FileStamp* stampSeen)
{
    const platform::FileStamp stamp = platform::fileAge(path);
    if (stampSeen)
        *stampSeen = stamp;
    if (!stamp.present) {
        if (error)
            *error = whyNoPictureFile(path);
        return false;
    }
    SharedThumbnails* shared = cache ? cache->shared() : nullptr;
    if (cache) {
        if (auto hit = cache->find(path, stamp)) {
            out = *hit;
            return true;
        }
        if (auto why = cache->broken(path, stamp)) {
            if (error)
                *error = *why;
            return false;
        }
        if (shared) {
            if (auto kept = shared->find(path, stamp)) {
                cache->insert(path, stamp, *kept);
                out = *kept;
                return true;
            }
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
    // only what it shows. So is one the DCT scales leave larger than the
    // shared cache's "large" size (a 640 x 427 photo decodes at 1/2 to
    // 320 x 214), so that the grid shows the same image whether it comes
    // from the cache or from decoding.
    if (t.image.width() > 2 * need.width() || t.image.height() > 2 * need.height() ||
        t.image.width() > SharedThumbnails::LargeSize || t.image.height() > SharedThumbnails::LargeSize)
        t.image = t.image.scaled(need, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    out = t;
    if (cache) {
        cache->insert(path, stamp, t);
        if (shared)
            shared->writeLater(path, stamp, t);
    }
    return true;
}

std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, ThumbnailCache* cache, int threads,
                                                     const std::function<void()>& waiting)
{
    std::vector<std::optional<Thumbnail>> results(size_t(paths.size()));
    std::atomic<int> next{0};
    int done = 0;
    std::mutex doneLock;
    std::condition_variable allDone;
    auto work = [&] {
        for (int i = next++; i < paths.size(); i = next++) {
            Thumbnail t;
            if (!paths[i].isEmpty() && loadThumbnail(paths[i], t, cache))
                results[size_t(i)] = std::move(t);
            std::lock_guard<std::mutex> g(doneLock);
            if (++done == paths.size())
                allDone.notify_all();
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
        // workers decode, and goes on the moment they are done.
        std::unique_lock<std::mutex> g(doneLock);
        while (!allDone.wait_for(g, std::chrono::milliseconds(15), [&] { return done == paths.size(); })) {
            g.unlock();
            waiting();
            g.lock();
        }
    } else {
        work();
    }
    for (std::thread& t : workers)
        t.join();
    return results;
}
