// Phone photos: the EXIF orientation turns a picture upright wherever it
// is shown and before it is reduced for storing.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "edit/pictureops.h"
#include "images/BitmapUtils.h"
#include "images/orientation.h"
#include "images/pictures.h"
#include "images/thumbnails.h"
#include "support/picturebytes.h"
#include "support/testutil.h"

using namespace picturebytes;

namespace {

// Pixel (x, y) of this picture is (x, y, 7): every pixel tells where it
// came from.
Bitmap24 numbered(int w, int h)
{
    Bitmap24 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uchar* p = b.row(y) + 3 * x;
            p[0] = uchar(x), p[1] = uchar(y), p[2] = 7;
        }
    return b;
}

QPoint origin(const Bitmap24& b, int x, int y)
{
    const uchar* p = b.constRow(y) + 3 * x;
    return QPoint(p[0], p[1]);
}

// A photo whose left half is red and right half blue, top row a band of
// green: which way it stands survives JPEG.
Bitmap24 photo(int w, int h)
{
    Bitmap24 b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uchar* p = b.row(y) + 3 * x;
            const bool band = y < h / 8;
            p[0] = band ? 0 : x < w / 2 ? 220 : 20;
            p[1] = band ? 220 : 20;
            p[2] = band ? 0 : x < w / 2 ? 20 : 220;
        }
    return b;
}

QColor colourAt(const Bitmap24& b, int x, int y)
{
    const uchar* p = b.constRow(y) + 3 * x;
    return QColor(p[0], p[1], p[2]);
}

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 30 && std::abs(a.green() - b.green()) < 30 && std::abs(a.blue() - b.blue()) < 30;
}

const QColor Red(220, 20, 20), Blue(20, 20, 220), Green(0, 220, 0);

QByteArray jpegOf(const Bitmap24& b)
{
    QByteArray bytes;
    EXPECT_TRUE(encodeJpeg(b, bytes));
    return bytes;
}

} // namespace

TEST(Orientation, ReadFromExifData)
{
    for (bool big : {false, true})
        for (int o = 1; o <= 8; ++o) {
            const QByteArray body = exifBody(o, big);
            EXPECT_EQ(exifOrientation(reinterpret_cast<const uchar*>(body.constData()), size_t(body.size())), o)
                << o << (big ? " big-endian" : "");
        }
    auto read = [](const QByteArray& body) {
        return exifOrientation(reinterpret_cast<const uchar*>(body.constData()), size_t(body.size()));
    };
    const QByteArray six = exifBody(6, false);
    EXPECT_EQ(read(exifBody(9, false)), 1);  // no such orientation
    EXPECT_EQ(read(exifBody(0, true)), 1);
    EXPECT_EQ(read(six.left(six.size() - 10)), 1); // the tag's entry cut off
    EXPECT_EQ(read(QByteArray("Exif\0\0", 6)), 1);
    EXPECT_EQ(read(QByteArray("http://ns.adobe.com/xap/1.0/")), 1); // XMP, not EXIF
    QByteArray farOffset = six;
    farOffset[6 + 4] = char(0xF0); // first directory far past the end
    EXPECT_EQ(read(farOffset), 1);
    QByteArray manyEntries = six;
    manyEntries[6 + 8] = char(0xFF); // 0xFF entries claimed, two present
    EXPECT_EQ(read(manyEntries), 6);
    QByteArray wrongType = six;
    wrongType[6 + 10 + 12 + 2] = 4; // LONG instead of SHORT
    EXPECT_EQ(read(wrongType), 1);
    EXPECT_EQ(exifOrientation(nullptr, 0), 1);
}

// Where the stored picture's first row and column go, as EXIF defines each
// orientation: "0th row at the visual top/left/..., 0th column at ...".
TEST(Orientation, TurnsEachOrientationUpright)
{
    const int w = 4, h = 3;
    const Bitmap24 stored = numbered(w, h);
    struct Case {
        int orientation;
        QPoint firstPixel; // where stored (0, 0) lands in the upright picture
        QPoint rowEnd;     // where stored (w-1, 0) lands
    };
    // Upright sizes: w x h for 1-4, h x w for 5-8.
    const Case cases[] = {
        {1, {0, 0}, {w - 1, 0}},         {2, {w - 1, 0}, {0, 0}},
        {3, {w - 1, h - 1}, {0, h - 1}}, {4, {0, h - 1}, {w - 1, h - 1}},
        {5, {0, 0}, {0, w - 1}},         {6, {h - 1, 0}, {h - 1, w - 1}},
        {7, {h - 1, w - 1}, {h - 1, 0}}, {8, {0, w - 1}, {0, 0}},
    };
    for (const Case& c : cases) {
        const Bitmap24 up = orientUpright(stored, c.orientation);
        ASSERT_EQ(up.size(), uprightSize(stored.size(), c.orientation)) << c.orientation;
        ASSERT_EQ(up.size(), c.orientation >= 5 ? QSize(h, w) : QSize(w, h)) << c.orientation;
        EXPECT_EQ(origin(up, c.firstPixel.x(), c.firstPixel.y()), QPoint(0, 0)) << c.orientation;
        EXPECT_EQ(origin(up, c.rowEnd.x(), c.rowEnd.y()), QPoint(w - 1, 0)) << c.orientation;
        // A turn and its opposite give the stored picture back.
        const int back[9] = {0, 1, 2, 3, 4, 5, 8, 7, 6};
        EXPECT_EQ(orientUpright(up, back[c.orientation]), stored) << c.orientation;
    }
    EXPECT_EQ(orientUpright(stored, 0), stored);
    EXPECT_EQ(orientUpright(stored, 9), stored);
}

class PhonePhotos : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) { return testutil::writeFileIn(dir, name, bytes); }
};

// A photo taken upright with the phone turned (orientation 6) shows
// upright at full size, in the grid's scaled decode and by its header.
TEST_F(PhonePhotos, ShownUpright)
{
    // Stored lying down: the green band (the top of the scene) on the left.
    const Bitmap24 scene = photo(600, 800);
    const Bitmap24 lying = orientUpright(scene, 8); // the sensor's view
    ASSERT_EQ(lying.size(), QSize(800, 600));
    for (bool big : {false, true}) {
        const QString path = write(big ? "mm.jpg" : "ii.jpg", withExif(jpegOf(lying), 6, big));
        Bitmap24 full;
        ASSERT_TRUE(loadPictureFile(path, full));
        ASSERT_EQ(full.size(), QSize(600, 800));
        EXPECT_TRUE(near(colourAt(full, 300, 20), Green));
        EXPECT_TRUE(near(colourAt(full, 100, 500), Red));
        EXPECT_TRUE(near(colourAt(full, 500, 500), Blue));
        QSize size;
        ASSERT_TRUE(readPictureSize(path, size));
        EXPECT_EQ(size, QSize(600, 800));

        // The smallest scale covering 180 x 120 upright: 1/4 of the stored
        // 800 x 600 is 200 x 150, which stands as 150 x 200, too narrow.
        Bitmap24 scaled;
        QSize fullSize;
        ASSERT_TRUE(loadJpegScaled(path, 180, 120, scaled, &fullSize));
        EXPECT_EQ(scaled.size(), QSize(300, 400));
        EXPECT_EQ(fullSize, QSize(600, 800));
        EXPECT_TRUE(near(colourAt(scaled, 150, 5), Green));

        Thumbnail thumbnail;
        ASSERT_TRUE(loadThumbnail(path, thumbnail, nullptr));
        EXPECT_EQ(thumbnail.fullSize, QSize(600, 800));
        EXPECT_GT(thumbnail.image.height(), thumbnail.image.width());
    }
}

// Registration: a tagged photo larger than 640 pixels is stored reduced,
// upright and untagged, exactly as the reference filter reduces the upright
// picture; an untagged one exactly as before; a small tagged one is copied
// with its bytes (and tag) and shows upright.
TEST_F(PhonePhotos, StoredUpright)
{
    const Bitmap24 lying = orientUpright(photo(600, 800), 8);

    const QString tagged = write("tagged.jpg", withExif(jpegOf(lying), 6));
    Bitmap24 upright;
    ASSERT_TRUE(loadPictureFile(tagged, upright));
    QByteArray stored;
    StoreOutcome o = prepareChosenPicture(tagged, QStringLiteral("ハコベ"), 1, stored);
    ASSERT_EQ(o.kind, StoreOutcome::Reduced) << qPrintable(o.error);
    EXPECT_EQ(o.target, QStringLiteral("ハコベ01.jpg"));
    EXPECT_EQ(stored, jpegOf(resampleBitmapReference(upright, 480, 640)));
    EXPECT_FALSE(stored.contains("Exif"));
    Bitmap24 back;
    ASSERT_TRUE(loadPictureFile(write(o.target, stored), back));
    EXPECT_EQ(back.size(), QSize(480, 640));
    EXPECT_TRUE(near(colourAt(back, 240, 10), Green));

    const QString plain = write("plain.jpg", jpegOf(lying));
    Bitmap24 asStored;
    ASSERT_TRUE(loadPictureFile(plain, asStored));
    QByteArray plainStored;
    o = prepareChosenPicture(plain, QStringLiteral("ハコベ"), 2, plainStored);
    ASSERT_EQ(o.kind, StoreOutcome::Reduced);
    EXPECT_EQ(plainStored, jpegOf(resampleBitmapReference(asStored, 640, 480)));

    const QByteArray small = withExif(jpegOf(orientUpright(photo(300, 400), 8)), 6);
    QByteArray smallStored;
    o = prepareChosenPicture(write("small.jpg", small), QStringLiteral("ハコベ"), 3, smallStored);
    ASSERT_EQ(o.kind, StoreOutcome::Copied);
    EXPECT_EQ(smallStored, small);
    ASSERT_TRUE(loadPictureFile(write(o.target, smallStored), back));
    EXPECT_EQ(back.size(), QSize(300, 400));
}

// Reduction while decoding, through the decoder itself: for every
// orientation and the layouts real files come in (progressive, CMYK, grey,
// restart markers), exactly what the reference filter makes of the whole
// picture decoded upright. A file that breaks off fails as it does for the
// viewer.
TEST_F(PhonePhotos, ReducedWhileDecodedInEveryOrientation)
{
    for (int o = 1; o <= 8; ++o) {
        JpegLayout layout;
        layout.progressive = o % 2 == 1;
        layout.restartRows = o == 2 ? 3 : 0;
        if (o == 4) {
            layout.components = 4;
            layout.space = JCS_CMYK;
            layout.adobeMarker = true;
        } else if (o == 6) {
            layout.components = 1;
            layout.space = JCS_GRAYSCALE;
        }
        const QByteArray jpeg = libjpegFile(701, 523, layout, [&](int x, int y, JSAMPLE* p) {
            for (int c = 0; c < layout.components; ++c)
                p[c] = JSAMPLE((x * (c + 3) + y * (7 - c) + ((x * y) % 13) * 9) % 256);
        });
        const QString path = write(QStringLiteral("o%1.jpg").arg(o), withExif(jpeg, o));
        Bitmap24 whole;
        ASSERT_TRUE(loadPictureFile(path, whole)) << o;
        Bitmap24 reduced;
        QSize size;
        ASSERT_TRUE(decodeForStoring(path, false, MaxPictureSide, reduced, &size)) << o;
        EXPECT_EQ(size, whole.size()) << o;
        const QSize target = longestSideSize(whole.size(), MaxPictureSide);
        ASSERT_EQ(reduced, resampleBitmapReference(whole, target.width(), target.height())) << o;

        const QString cut = write(QStringLiteral("cut%1.jpg").arg(o), withExif(jpeg, o).left(jpeg.size() / 2));
        QString viewerError, storingError;
        EXPECT_FALSE(loadPictureFile(cut, whole, &viewerError)) << o;
        EXPECT_FALSE(decodeForStoring(cut, false, MaxPictureSide, reduced, &size, &storingError)) << o;
        EXPECT_EQ(storingError, viewerError) << o;
    }
    // A picture that needs no reduction is checked, not kept.
    Bitmap24 reduced(3, 3);
    QSize size;
    const QString small = write("small.jpg", withExif(jpegOf(photo(640, 600)), 5));
    ASSERT_TRUE(decodeForStoring(small, false, MaxPictureSide, reduced, &size));
    EXPECT_TRUE(reduced.isEmpty());
    EXPECT_EQ(size, QSize(600, 640));
}
