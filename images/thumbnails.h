#pragma once
// Result pictures for the main window's grid: the size a picture takes in
// its 180 x 120 slot, and decoding a picture only as large as that slot
// needs, with a bounded cache so a repeated search decodes nothing, and the
// desktop's shared thumbnail cache on disk so a search after a restart
// decodes nothing either.
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <thread>
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

// The desktop's shared thumbnail cache, as the freedesktop.org Thumbnail
// Managing Standard lays it out: one PNG a picture in
// $XDG_CACHE_HOME/thumbnails/large (~/.cache when the variable is not set),
// named by the MD5 sum of the picture's file URI, written to a temporary
// file and renamed into place, readable by the user alone (folders 0700,
// files 0600). Our thumbnails are no larger than the grid shows them (160 x
// 120 for a 640 x 480 picture): more than the 128 pixels of the "normal"
// size, so they belong with the "large" ones (up to 256).
//
// A thumbnail carries the picture's URI, modification time and size
// (Thumb::URI, Thumb::MTime, Thumb::Size), its width and height as it stands
// (Thumb::Image::Width, Thumb::Image::Height) and a stamp of our own,
// X-Tolvarin::Stamp: the modification time in nanoseconds, the inode and the
// size. Thumb::MTime has whole seconds only, and a deletion renumbers a
// species' pictures by renaming, so another file can take a URI within the
// same second; a thumbnail is used only when the stamp matches in full.
//
// A cache that cannot be written (a read-only or full disk, no home folder)
// changes nothing but speed. Thread-safe.
class SharedThumbnails {
public:
    // `folder`: the "large" folder; empty for none (nothing is found, nothing
    // written).
    explicit SharedThumbnails(const QString& folder);
    // Stops writing: the thumbnail being written is finished, the others are
    // dropped.
    ~SharedThumbnails();
    SharedThumbnails(const SharedThumbnails&) = delete;
    SharedThumbnails& operator=(const SharedThumbnails&) = delete;

    // The largest thumbnail the "large" folder holds, either way.
    static constexpr int LargeSize = 256;

    // $XDG_CACHE_HOME/thumbnails/large, or ~/.cache/thumbnails/large; empty
    // when neither a cache folder nor a home folder is set.
    static QString defaultFolder();
    QString folder() const;
    // Where thumbnails go from now on (tests; the folder settings of the
    // environment are read once, at the first use of sharedThumbnails()).
    void setFolder(const QString& folder);

    // The file URI of a picture, and the name of its thumbnail file.
    static QByteArray uriOf(const QString& path);
    static QString fileNameFor(const QString& path);

    // The thumbnail kept for the picture at `path`, if one was written for
    // the very file whose stamp is `stamp`.
    std::optional<Thumbnail> find(const QString& path, const platform::FileStamp& stamp) const;
    // Keeps the thumbnail now. False when it cannot be kept: a thumbnail
    // larger than the "large" size, or a cache that cannot be written, which
    // is then left alone for the rest of the run.
    bool write(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail);
    // Keeps the thumbnail later, on a thread of its own that runs only when
    // the processors have nothing else to do: a search shows its results
    // first.
    void writeLater(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail);
    // Waits until every thumbnail given to writeLater() is written.
    void finishWriting();
    // Drops the thumbnails still waiting and ends the writing thread.
    void stopWriting();

private:
    struct Pending {
        QString path;
        platform::FileStamp stamp;
        Thumbnail thumbnail;
    };
    void writeWhenIdle();

    mutable std::mutex lock_;
    std::condition_variable changed_;
    QString folder_;
    bool writable_ = true;
    bool foldersMade_ = false;
    std::deque<Pending> pending_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread writer_;
};

// The process-wide shared cache: the default folder, read when first used.
SharedThumbnails& sharedThumbnails();

// Decoded thumbnails by file (path and stamp), least recently used first
// out when the images pass `maxBytes`. Images are shared with the slots
// that show them, so a cached picture costs its memory once. A cache may
// stand in front of the desktop's shared cache (setShared): what is not in
// memory is looked for there, and what is decoded is kept there too.
//
// It also remembers, for the run, pictures that could not be decoded (by
// their stamp): while such a file stays as it was, it is not tried again.
// Thread-safe.
class ThumbnailCache {
public:
    explicit ThumbnailCache(qint64 maxBytes = 160LL * 1024 * 1024);
    std::optional<Thumbnail> find(const QString& path, const platform::FileStamp& stamp);
    void insert(const QString& path, const platform::FileStamp& stamp, const Thumbnail& thumbnail);
    // Forgets the thumbnails and the broken pictures.
    void clear();
    qint64 bytes() const;
    int count() const;

    void setShared(SharedThumbnails* shared) { shared_ = shared; }
    SharedThumbnails* shared() const { return shared_; }

    // Remembers that the file at `path`, as its stamp says it was, cannot be
    // decoded, and why.
    void markBroken(const QString& path, const platform::FileStamp& stamp, const QString& why);
    // Why the file cannot be decoded, when it was marked broken and has not
    // changed since (a file still being copied changes its size or time).
    std::optional<QString> broken(const QString& path, const platform::FileStamp& stamp) const;

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
    SharedThumbnails* shared_ = nullptr;
    struct Broken {
        platform::FileStamp stamp;
        QString why;
    };
    QHash<QString, Broken> broken_;
};

// The process-wide cache of the main window, in front of sharedThumbnails().
ThumbnailCache& thumbnailCache();

// Decodes the picture at `path` for its slot: a JPEG at the smallest DCT
// scale that still covers the slot size, a bitmap at full size and then
// shrunk. With a cache, an unchanged file is not decoded again, and one
// the cache knows to be broken not tried again. Returns false (and the
// reason) when the file cannot be decoded. `stamp` (if given) receives the
// stamp the file had when it was looked at.
bool loadThumbnail(const QString& path, Thumbnail& out, ThumbnailCache* cache, QString* error = nullptr,
                   platform::FileStamp* stamp = nullptr);

// loadThumbnail for many files on `threads` worker threads (the calling
// thread waits, calling `waiting` now and then so it can repaint a progress
// window). Results come in the order of `paths`; an empty path or a failed
// decode gives no value.
std::vector<std::optional<Thumbnail>> loadThumbnails(const QStringList& paths, ThumbnailCache* cache, int threads,
                                                     const std::function<void()>& waiting = {});

// Bytes held by an image's pixels.
qint64 imageBytes(const QImage& image);
