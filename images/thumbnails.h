#pragma once
// Result pictures for the main window's grid: the size a picture takes in
// its 180 x 120 slot, and decoding a picture only as large as that slot
// needs, with a bounded cache so a repeated search decodes nothing.
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/files.h"

constexpr int SlotWidth = 180;
constexpr int SlotHeight = 120;

// How a picture of a given size sits in a slot: its displayed size and
// whether it is stretched to that size (otherwise shown at natural size).
// A picture is never enlarged; sizes are rounded halves to even.
struct SlotFit {
    QSize size;
    bool stretch = false;
};
SlotFit fitPictureSize(const QSize& picture);

// Columns of the grid in a scroll box `width` pixels wide: one per whole
// slot width, one more when the rest is at least half a slot, and never
// fewer than one.
int slotColumns(int width);

// One decoded result picture: the image (no larger than its slot needs,
// at most a little over) and the picture's full size from its file.
struct Thumbnail {
    QImage image;
    QSize fullSize;
};

// Decoded thumbnails by file (path and stamp), least recently used first
// out when the images pass `maxBytes`. Images are shared with the slots
// that show them, so a cached picture costs its memory once. Thread-safe.
class ThumbnailCache {
public:
    explicit ThumbnailCache(qint64 maxBytes = 160LL * 1024 * 1024);
    std::optional<Thumbnail> find(const QString& path, const platform::FileStamp& stamp);
    void insert(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail);
    void clear();
    qint64 bytes() const;
    int count() const;

private:
    struct Entry {
        QString path;
        platform::FileStamp stamp;
        Thumbnail thumbnail;
    };
    void evict();
    mutable std::mutex lock_;
    std::list<Entry> entries_; // most recently used first
    QHash<QString, std::list<Entry>::iterator> index_;
    qint64 bytes_ = 0;
    qint64 maxBytes_;
};

// The process-wide cache of the main window.
ThumbnailCache& thumbnailCache();

// Decodes the picture at `path` for its slot: a JPEG at the smallest DCT
// scale that still covers the slot size, a bitmap at full size and then
// shrunk. With a cache, an unchanged file is not decoded again. Returns
// false (and the reason) when the file cannot be decoded.
bool loadThumbnail(const QString& path, Thumbnail& out, ThumbnailCache* cache, QString* error = nullptr);

// loadThumbnail for many files on `threads` worker threads (the calling
// thread waits, calling `waiting` now and then so it can repaint a progress
// window). Results come in the order of `paths`; an empty path or a failed
// decode gives no value.
std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, ThumbnailCache* cache, int threads,
                                                     const std::function<void()>& waiting = {});

// Bytes held by an image's pixels.
qint64 imageBytes(const QImage& image);
