// Files made to cost far more than a real photo of their size: each is a
// broken picture wherever it is met (grid, viewer, registration), refused
// from its header or its structure before its pixels are allocated; and
// what the user is told about a picture that cannot be read is Japanese.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include "edit/pictureops.h"
#include "images/BitmapUtils.h"
#include "images/jpegread.h"
#include "images/pictures.h"
#include "images/thumbnails.h"
#include "support/picturebytes.h"
#include "support/testutil.h"

using namespace picturebytes;

namespace {

// A picture of broad flat areas, encoded as JPEG by libjpeg.
QByteArray jpegFile(int w, int h, bool progressive, bool gray = false)
{
    JpegLayout layout;
    layout.components = gray ? 1 : 3;
    layout.space = gray ? JCS_GRAYSCALE : JCS_RGB;
    layout.progressive = progressive;
    layout.optimise = true;
    layout.quality = 75;
    return libjpegFile(w, h, layout, [&](int x, int y, JSAMPLE* p) {
        for (int c = 0; c < layout.components; ++c)
            p[c] = JSAMPLE(x < w / 2 ? 40 + 60 * c : 220 - 50 * c + (y > h / 2 ? 20 : 0));
    });
}

class Bombs : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes) { return testutil::writeFileIn(dir, name, bytes); }

    // Checks that every way of meeting the file refuses it: full decoding
    // (viewer), the header and the grid's thumbnail, and registration.
    // Returns the viewer's message.
    QString refusedEverywhere(const QString& path)
    {
        Bitmap24 out;
        QString error;
        EXPECT_FALSE(loadPictureFile(path, out, &error)) << qPrintable(path);
        EXPECT_TRUE(out.isEmpty());
        Thumbnail thumbnail;
        QString thumbError;
        EXPECT_FALSE(loadThumbnail(path, thumbnail, nullptr, &thumbError)) << qPrintable(path);
        QByteArray bytes;
        const StoreOutcome stored = prepareChosenPicture(path, QStringLiteral("ハコベ"), 1, bytes);
        EXPECT_EQ(stored.kind, StoreOutcome::Failed);
        EXPECT_EQ(stored.error, error);
        return error;
    }
};

} // namespace

// Run-length bitmaps that claim far more pixels than their data can give:
// 1 KB claiming 12240 x 12240, 253 bytes claiming 2554 x 18803.
TEST_F(Bombs, RunLengthBitmaps)
{
    QByteArray runs;
    for (int i = 0; i < 500; ++i)
        runs += bytes({255, 1});
    runs += bytes({0, 1});
    const QString eight = write("rle8.bmp", runLengthBitmap(12240, 12240, false, runs.left(1000) + bytes({0, 1})));
    const QString four = write("rle4.bmp", runLengthBitmap(2554, 18803, true, runs.left(180) + bytes({0, 1})));
    for (const QString& path : {eight, four}) {
        const QString message = refusedEverywhere(path);
        EXPECT_TRUE(message.contains(QStringLiteral("ファイルの長さに見合いません"))) << qPrintable(message);
        QSize size;
        EXPECT_FALSE(readPictureSize(path, size));
    }
    // The same data describing a picture it can fill is a picture.
    QByteArray rows;
    for (int i = 0; i < 500; ++i)
        rows += bytes({255, 1, 0, 0});
    const QString fits = write("fits.bmp", runLengthBitmap(255, 500, false, rows + bytes({0, 1})));
    Bitmap24 out;
    ASSERT_TRUE(loadPictureFile(fits, out));
    EXPECT_EQ(out.size(), QSize(255, 500));
}

// A progressive JPEG with one scan repeated many times: every
// repetition is decoded again, so the file is refused by its scan count
// before its pixels are allocated. A real progressive photo decodes.
TEST_F(Bombs, ProgressiveJpegWithEndlessScans)
{
    const QByteArray photo = jpegFile(320, 240, true);
    const QString real = write("real.jpg", photo);
    Bitmap24 out;
    ASSERT_TRUE(loadPictureFile(real, out));
    EXPECT_EQ(out.size(), QSize(320, 240));

    const QString bomb = write("scans.jpg", repeatScan(photo, 3000));
    const QString message = refusedEverywhere(bomb);
    EXPECT_TRUE(message.contains(QStringLiteral("走査が多すぎます"))) << qPrintable(message);

    // Repeated scans up to the limit are merely odd: the picture shows.
    const QString many = write("many.jpg", repeatScan(photo, MaxJpegScans));
    QString error;
    ASSERT_TRUE(loadPictureFile(many, out, &error)) << qPrintable(error);
    EXPECT_EQ(out.size(), QSize(320, 240));
}

// Scans are counted as libjpeg meets them: a scan inside an EXIF thumbnail
// or a comment is none, stuffed bytes and restart markers do not end one.
TEST_F(Bombs, ScanCount)
{
    auto count = [this](const QByteArray& bytes) {
        std::FILE* f = std::fopen(QFile::encodeName(write("count.jpg", bytes)).constData(), "rb");
        const int n = countJpegScans(f, 1000);
        std::fclose(f);
        return n;
    };
    const QByteArray baseline = jpegFile(64, 48, false);
    const QByteArray progressive = jpegFile(64, 48, true);
    EXPECT_EQ(count(baseline), 1);
    EXPECT_EQ(count(progressive), 10); // libjpeg's own script for colour
    EXPECT_EQ(count(jpegFile(64, 48, true, true)), 6); // and for grey
    EXPECT_EQ(count(repeatScan(progressive, 250)), 250);
    // A whole JPEG (with its scan) inside an application segment.
    QByteArray app("\xFF\xE1", 2);
    putBig16(app, quint32(baseline.size() + 2));
    EXPECT_EQ(count(progressive.left(2) + app + baseline + progressive.mid(2)), 10);
    EXPECT_EQ(count("not a jpeg"), 0);
    // Counting stops once past the limit.
    std::FILE* f = std::fopen(QFile::encodeName(write("stop.jpg", repeatScan(progressive, 500))).constData(), "rb");
    EXPECT_EQ(countJpegScans(f, 20), 21);
    std::fclose(f);
}

// A header claiming more pixels than the file can hold is refused at once:
// a 2.7 KB file claiming 12240 x 12240, and a progressive one (whose
// coefficients libjpeg would buffer in full before the first scan).
TEST_F(Bombs, JpegClaimingMorePixelsThanItsLength)
{
    for (bool progressive : {false, true}) {
        const QByteArray small = jpegFile(96, 64, progressive);
        const QString path = write(progressive ? "claims-p.jpg" : "claims.jpg",
                                   withFrameSize(small, 12240, 12240).left(2700));
        const QString message = refusedEverywhere(path);
        EXPECT_TRUE(message.contains(QStringLiteral("ファイルの長さに見合いません"))) << qPrintable(message);
        QSize size;
        EXPECT_FALSE(readPictureSize(path, size));
    }
    // A flat picture, as small as JPEG makes it, is a picture all the same.
    const QByteArray flat = jpegFile(1600, 1200, false, true);
    ASSERT_LT(flat.size() * 100, 1600 * 1200); // over 100 pixels a byte
    Bitmap24 out;
    ASSERT_TRUE(loadPictureFile(write("flat.jpg", flat), out));
    EXPECT_EQ(out.size(), QSize(1600, 1200));
}

// What the user reads: a Japanese sentence naming the fault; libjpeg's own
// words only as an appended detail.
TEST_F(Bombs, MessagesAreJapanese)
{
    const QByteArray photo = jpegFile(200, 150, false);
    const struct {
        const char* file;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"cut.jpg", photo.left(photo.size() / 2), "画像ファイルが途中で切れています。（libjpeg: Premature end of JPEG file）"},
        {"text.jpg", QByteArray("plain text, not a picture"), "JPEG 画像ではありません。"},
        {"huge.jpg", withFrameSize(photo, 60000, 60000), "画像が大きすぎます（60000 × 60000 ドット）。"},
        {"empty.jpg", QByteArray(), "画像ファイルが空です。"},
        {"empty.bmp", QByteArray(), "画像ファイルが空です。"},
        {"text.bmp", QByteArray("plain text, not a picture"), "BMP 画像ではありません。"},
    };
    for (const auto& c : cases) {
        Bitmap24 out;
        QString error;
        EXPECT_FALSE(loadPictureFile(write(QLatin1String(c.file), c.bytes), out, &error)) << c.file;
        EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.says)) || error.contains(QString::fromUtf8(c.says)))
            << c.file << ": " << qPrintable(error);
    }
    // Broken data within the picture.
    QByteArray broken = photo;
    const int scan = broken.indexOf(QByteArray("\xFF\xDA", 2));
    for (int i = scan + 40; i < scan + 200; ++i)
        broken[i] = char(0xFF ^ i);
    Bitmap24 out;
    QString error;
    EXPECT_FALSE(loadPictureFile(write("broken.jpg", broken), out, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("画像のデータが壊れています。")) ||
                error.startsWith(QStringLiteral("画像ファイルが途中で切れています。")))
        << qPrintable(error);
    // A missing file.
    EXPECT_FALSE(loadPictureFile(testutil::folderOf(dir) + "none.jpg", out, &error));
    EXPECT_EQ(error, QStringLiteral("画像ファイルが見つかりません。"));
}
