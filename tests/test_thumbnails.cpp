// Result thumbnails kept across runs in the desktop's shared thumbnail cache,
// and pictures that could not be decoded remembered for the run.
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>

#include "images/pixelpool.h"
#include "images/pngfile.h"
#include "images/thumbnails.h"
#include "platform/files.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

int permissions(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Sets a file's modification time to the nanosecond.
void setModified(const QString& path, qint64 ns)
{
    timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(ns / 1000000000);
    times[0].tv_nsec = times[1].tv_nsec = long(ns % 1000000000);
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

bool samePixels(const QImage& a, const QImage& b)
{
    return a.format() == b.format() && a.size() == b.size() && a == b;
}

class SharedCache : public ::testing::Test {
protected:
    void TearDown() override { platform::clearFaultsForTesting(); }
    QTemporaryDir root;
    QString pictures() const { return folderOf(root) + "ピクチャ/"; }
    // The "large" folder in a cache folder that does not exist yet.
    QString large() const { return folderOf(root) + "cache/thumbnails/large"; }
    QString picture(const QString& name, int w, int h, const QColor& colour) const
    {
        QDir().mkpath(pictures());
        writePicture(pictures() + name, w, h, colour);
        return pictures() + name;
    }
};

} // namespace

// Where a thumbnail goes and what it says, as the Thumbnail Managing
// Standard lays it out; after a restart (an empty memory cache) the grid
// gets the very image it got from decoding.
TEST_F(SharedCache, KeptAsTheDesktopKeepsThem)
{
    const QString path = picture("ハコベ01.jpg", 640, 480, Qt::darkGreen);
    SharedThumbnails shared(large());
    ThumbnailCache memory;
    memory.setShared(&shared);
    Thumbnail decoded;
    platform::FileStamp stamp;
    ASSERT_TRUE(loadThumbnail(path, decoded, &memory, nullptr, &stamp));
    shared.finishWriting();

    const QByteArray uri = "file://" + QUrl::toPercentEncoding(path, "/");
    EXPECT_EQ(SharedThumbnails::uriOf(path), uri);
    const QString file =
        large() + "/" + QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + ".png";
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(permissions(file), 0600);
    for (const QString& folder : {large(), QFileInfo(large()).path(), QFileInfo(QFileInfo(large()).path()).path()})
        EXPECT_EQ(permissions(folder), 0700) << folder.toStdString();
    EXPECT_EQ(QDir(large()).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()}); // no temporaries
    const QImage png(file, "png");
    EXPECT_EQ(png.text("Thumb::URI").toUtf8(), uri);
    EXPECT_EQ(png.text("Thumb::MTime"), QString::number(QFileInfo(path).lastModified().toSecsSinceEpoch()));
    EXPECT_EQ(png.text("Thumb::Size"), QString::number(QFileInfo(path).size()));
    EXPECT_EQ(png.text("Thumb::Image::Width"), "640");
    EXPECT_EQ(png.text("Thumb::Image::Height"), "480");
    EXPECT_EQ(png.size(), QSize(160, 120));

    // After a restart: the same picture for the grid, and its full size.
    ThumbnailCache restarted;
    restarted.setShared(&shared);
    Thumbnail kept;
    ASSERT_TRUE(loadThumbnail(path, kept, &restarted));
    EXPECT_TRUE(samePixels(kept.image, decoded.image));
    EXPECT_EQ(kept.fullSize, QSize(640, 480));

    // What is found is what was kept for this file (not decoded again).
    Thumbnail red{QImage(160, 120, QImage::Format_RGB888), QSize(640, 480)};
    red.image.fill(Qt::red);
    ASSERT_TRUE(shared.write(path, stamp, red));
    ThumbnailCache again;
    again.setShared(&shared);
    ASSERT_TRUE(loadThumbnail(path, kept, &again));
    EXPECT_TRUE(samePixels(kept.image, red.image));

    // A picture the DCT scales leave larger than the "large" size is shrunk
    // to its slot, and kept like the others; a thumbnail larger than that
    // size is never written.
    for (const QSize& size : {QSize(640, 427), QSize(1400, 100)}) {
        const QString wide = picture(QStringLiteral("ススキ%1.jpg").arg(size.width()), size.width(), size.height(),
                                     Qt::yellow);
        Thumbnail t;
        ASSERT_TRUE(loadThumbnail(wide, t, &memory));
        EXPECT_EQ(t.image.size(), fitPictureSize(size).size);
        shared.finishWriting();
        EXPECT_TRUE(QFileInfo::exists(large() + "/" + SharedThumbnails::fileNameFor(wide)));
    }
    Thumbnail large{QImage(257, 100, QImage::Format_RGB888), QSize(2570, 1000)};
    large.image.fill(Qt::black);
    EXPECT_FALSE(shared.write(path, stamp, large));
}

// A picture that changed is never shown from the cache: a new time, and a
// file renamed into its place within the same second, or even with the
// same time to the nanosecond (a deletion renumbers pictures by renaming).
// Another program's thumbnail, without our stamp, is not trusted either.
TEST_F(SharedCache, NeverStale)
{
    const QString first = picture("スミレ01.jpg", 640, 480, Qt::red);
    const QString second = picture("スミレ02.jpg", 640, 480, Qt::blue);
    SharedThumbnails shared(large());
    auto shown = [&](const QString& path) {
        ThumbnailCache restarted; // every look a new run
        restarted.setShared(&shared);
        Thumbnail t;
        EXPECT_TRUE(loadThumbnail(path, t, &restarted));
        shared.finishWriting();
        return t.image.pixelColor(80, 60);
    };
    EXPECT_GT(shown(first).red(), 200);
    EXPECT_TRUE(QFileInfo::exists(large() + "/" + SharedThumbnails::fileNameFor(first)));
    EXPECT_GT(shown(first).red(), 200);

    // Rewritten with a new time.
    writePicture(first, 640, 480, Qt::green);
    EXPECT_GT(shown(first).green(), 100);

    // Picture 2 renamed over picture 1, carrying picture 1's time exactly.
    const platform::FileStamp before = platform::fileAge(first);
    setModified(second, before.mtimeNs);
    ASSERT_TRUE(QFile::remove(first));
    ASSERT_TRUE(QFile::rename(second, first));
    EXPECT_EQ(platform::fileAge(first).mtimeNs, before.mtimeNs);
    EXPECT_GT(shown(first).blue(), 200);

    // A thumbnail another program wrote (no stamp of ours) is made anew.
    const QString file = large() + "/" + SharedThumbnails::fileNameFor(first);
    QImage foreign(256, 192, QImage::Format_RGB888);
    foreign.fill(Qt::white);
    foreign.setText("Thumb::URI", QString::fromUtf8(SharedThumbnails::uriOf(first)));
    foreign.setText("Thumb::MTime", QString::number(QFileInfo(first).lastModified().toSecsSinceEpoch()));
    ASSERT_TRUE(foreign.save(file, "png"));
    EXPECT_GT(shown(first).blue(), 200);
    EXPECT_FALSE(QImage(file, "png").text("X-Tolvarin::Stamp").isEmpty());

    // Neither is a file that is not a picture at all.
    writeFile(file, "not a png");
    EXPECT_GT(shown(first).blue(), 200);
}

// A cache that cannot be written (no home folder, a read-only or full
// disk) changes nothing but speed, and is not tried again in that run.
TEST_F(SharedCache, OneThatCannotBeWrittenChangesNothingButSpeed)
{
    const QString path = picture("セリ01.jpg", 640, 480, Qt::darkCyan);
    Thumbnail expected;
    ASSERT_TRUE(loadThumbnail(path, expected, nullptr));

    const QByteArray home = qgetenv("HOME"), cache = qgetenv("XDG_CACHE_HOME");
    qunsetenv("XDG_CACHE_HOME");
    qunsetenv("HOME");
    EXPECT_EQ(SharedThumbnails::defaultFolder(), QString());
    qputenv("HOME", "/home/someone");
    qputenv("XDG_CACHE_HOME", "relative/cache"); // not valid: passed over
    EXPECT_EQ(SharedThumbnails::defaultFolder(), "/home/someone/.cache/thumbnails/large");
    qputenv("XDG_CACHE_HOME", "/elsewhere//cache/");
    EXPECT_EQ(SharedThumbnails::defaultFolder(), "/elsewhere/cache/thumbnails/large");
    qputenv("HOME", home);
    qputenv("XDG_CACHE_HOME", cache);

    for (int fault : {0, EROFS, ENOSPC}) {
        QTemporaryDir where;
        const QString folder = folderOf(where) + "thumbnails/large";
        SharedThumbnails shared(fault == 0 ? QString() : folder);
        if (fault == EROFS)
            platform::injectFaultForTesting(platform::FileOp::Create, "thumbnails", EROFS);
        if (fault == ENOSPC)
            platform::setWriteFaultForTesting("thumbnails");
        for (int run = 0; run < 2; ++run) {
            ThumbnailCache memory;
            memory.setShared(&shared);
            Thumbnail t;
            ASSERT_TRUE(loadThumbnail(path, t, &memory)) << fault;
            shared.finishWriting();
            EXPECT_TRUE(samePixels(t.image, expected.image)) << fault;
        }
        platform::clearFaultsForTesting();
        if (fault != 0)
            EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty()) << fault; // nothing half-written left
        // Once found unwritable, the cache is left alone for the run.
        Thumbnail t;
        ThumbnailCache memory;
        memory.setShared(&shared);
        ASSERT_TRUE(loadThumbnail(path, t, &memory));
        shared.finishWriting();
        EXPECT_FALSE(QFileInfo::exists(folder + "/" + SharedThumbnails::fileNameFor(path))) << fault;
    }
}

// The memory of pictures that could not be decoded: by file identity, so a
// file still being copied (its size or time changes) is tried again.
TEST(BrokenPictures, RememberedWhileUnchanged)
{
    QTemporaryDir dir;
    const QString path = folderOf(dir) + "リンドウ01.jpg";
    writeFile(path, "not a picture");
    ThumbnailCache cache;
    Thumbnail t;
    QString why;
    platform::FileStamp stamp;
    ASSERT_FALSE(loadThumbnail(path, t, &cache, &why, &stamp));
    EXPECT_FALSE(cache.broken(path, stamp));
    cache.markBroken(path, stamp, why);
    EXPECT_EQ(cache.broken(path, platform::fileAge(path)), why);
    QString again;
    EXPECT_FALSE(loadThumbnail(path, t, &cache, &again));
    EXPECT_EQ(again, why);

    writeFile(path, "still not a picture, and longer");
    EXPECT_FALSE(cache.broken(path, platform::fileAge(path)));
    writePicture(path, 64, 48, Qt::blue);
    EXPECT_TRUE(loadThumbnail(path, t, &cache));
    cache.markBroken(path, platform::fileAge(path), why);
    cache.clear();
    EXPECT_FALSE(cache.broken(path, platform::fileAge(path)));
}

// The thumbnails' PNG files: what is written reads back exactly; of other
// PNGs, only the 8-bit RGB ones the size allows are read, and nothing broken
// is.
TEST(PngFiles, ReadBackExactlyAndNothingElse)
{
    std::mt19937 rng(5);
    QImage image(13, 7, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() * 3; ++x)
            image.scanLine(y)[x] = uchar(rng());
    QByteArray png;
    ASSERT_TRUE(encodePng(image, {{"Thumb::URI", "file:///a/b.jpg"}, {"X-Tolvarin::Stamp", "1 2 3"}}, png));
    QImage back;
    QHash<QByteArray, QByteArray> keys;
    ASSERT_TRUE(decodePng(png, 256, back, keys));
    EXPECT_TRUE(samePixels(back, image));
    EXPECT_EQ(keys.value("Thumb::URI"), "file:///a/b.jpg");
    EXPECT_EQ(keys.value("X-Tolvarin::Stamp"), "1 2 3");
    // Qt reads it as well: a valid PNG for every other program.
    EXPECT_TRUE(samePixels(QImage::fromData(png, "png").convertToFormat(QImage::Format_RGB888), image));

    // Another program's compressed, filtered RGB file reads the same.
    QByteArray compressed;
    {
        QBuffer buffer(&compressed);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "png", 0));
    }
    ASSERT_TRUE(decodePng(compressed, 256, back, keys));
    EXPECT_TRUE(samePixels(back, image));

    // Refused: too large, not RGB, and anything cut short or broken. The
    // image is left as it was.
    QImage wide(257, 2, QImage::Format_RGB888);
    wide.fill(Qt::blue);
    ASSERT_TRUE(encodePng(wide, {}, png));
    EXPECT_TRUE(decodePng(png, 257, back, keys));
    const QImage kept = back;
    EXPECT_FALSE(decodePng(png, 256, back, keys));
    QByteArray other;
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_Grayscale8, QImage::Format_Indexed8}) {
        QBuffer buffer(&other);
        buffer.open(QIODevice::WriteOnly);
        QImage converted = image.convertToFormat(format);
        if (format == QImage::Format_ARGB32)
            converted.setPixelColor(0, 0, QColor(1, 2, 3, 4)); // a real alpha channel
        ASSERT_TRUE(converted.save(&buffer, "png"));
        EXPECT_FALSE(decodePng(other, 256, back, keys)) << int(format);
    }
    ASSERT_TRUE(encodePng(image, {}, png));
    for (qsizetype cut : {qsizetype(0), qsizetype(8), qsizetype(40), png.size() / 2, png.size() - 13})
        EXPECT_FALSE(decodePng(png.left(cut), 256, back, keys)) << cut;
    // A text chunk claiming 350 MB is refused before anything is allocated
    // for it (found by the fuzz target: it ran out of memory).
    QByteArray keyed;
    ASSERT_TRUE(encodePng(image, {{"Thumb::URI", "file:///a/b.jpg"}}, keyed));
    const qsizetype text = keyed.indexOf("tEXt") - 4;
    ASSERT_GT(text, 0);
    QByteArray claiming = keyed;
    claiming.replace(text, 4, QByteArray("\x15\x00\x00\x20", 4));
    EXPECT_FALSE(decodePng(claiming, 256, back, keys));
    QByteArray flipped = png;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x10);
    EXPECT_FALSE(decodePng(flipped, 256, back, keys));
    EXPECT_TRUE(samePixels(back, kept));
}

// The memory of the thumbnails: pieces that never overlap, and blocks that
// go back to the system once everything cut from them is given back.
TEST(PixelPool, PiecesApartAndBlocksGivenBack)
{
    const std::size_t before = pixelpool::heldBytes();
    std::vector<unsigned char*> pieces;
    for (int i = 0; i < 400; ++i) {
        const std::size_t bytes = i % 50 == 0 ? 3u << 20 : 57600 + std::size_t(i);
        unsigned char* p = pixelpool::take(bytes);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 64, 0u);
        std::memset(p, i & 0xFF, bytes);
        pieces.push_back(p);
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::size_t bytes = i % 50 == 0 ? 3u << 20 : 57600 + i;
        ASSERT_EQ(pieces[i][0], uchar(i & 0xFF)) << i;
        ASSERT_EQ(pieces[i][bytes - 1], uchar(i & 0xFF)) << i;
    }
    for (unsigned char* p : pieces)
        pixelpool::give(p);
    // The block in use is kept for the next pieces; the others went back.
    EXPECT_LE(pixelpool::heldBytes(), before + (std::size_t(8) << 20));
    pixelpool::give(nullptr);
}
