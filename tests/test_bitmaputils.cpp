// The resampling filter, the longest-side rule, the 24-bit bitmap type and
// JPEG encoding of reduced pictures.
#include "images/Bitmap24.h"
#include "images/BitmapUtils.h"
#include "images/orientation.h"
#include "images/pictures.h"
#include "platform/files.h"
#include "support/testutil.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

namespace {

// A bitmap whose three bytes at (x, y) come from `f`.
Bitmap24 makeBitmap(int w, int h, const std::function<int(int x, int y, int b)>& f)
{
    Bitmap24 bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 3; ++b)
                bmp.row(y)[3 * x + b] = uchar(f(x, y, b));
    return bmp;
}

Bitmap24 grey(int w, int h, const std::vector<int>& values)
{
    return makeBitmap(w, h, [&](int x, int y, int) { return values[size_t(y * w + x)]; });
}

int byteAt(const Bitmap24& bmp, int x, int y, int b = 0)
{
    return bmp.constRow(y)[3 * x + b];
}

// A copy that shares nothing with `bmp`.
Bitmap24 deepCopy(const Bitmap24& bmp)
{
    Bitmap24 copy = bmp;
    copy.bits();
    return copy;
}

using Resampler = Bitmap24 (*)(const Bitmap24&, int, int);
const std::pair<const char*, Resampler> resamplers[] = {
    {"product", resampleBitmap},
    {"reference", resampleBitmapReference},
};

} // namespace

TEST(Resample, UniformColourStaysExact)
{
    const int sizes[][4] = {{1024, 768, 640, 480}, {37, 23, 5, 7}, {3, 3, 10, 10}, {641, 100, 640, 100}, {1, 9, 1, 2}};
    for (const auto& [name, resample] : resamplers) {
        for (const auto& s : sizes) {
            const Bitmap24 src = makeBitmap(s[0], s[1], [](int, int, int b) { return b == 0 ? 200 : b == 1 ? 3 : 255; });
            const Bitmap24 out = resample(src, s[2], s[3]);
            ASSERT_EQ(out.size(), QSize(s[2], s[3])) << name;
            for (int y = 0; y < out.height(); ++y)
                for (int x = 0; x < out.width(); ++x) {
                    ASSERT_EQ(byteAt(out, x, y, 0), 200) << name << " " << s[0] << "x" << s[1];
                    ASSERT_EQ(byteAt(out, x, y, 1), 3) << name;
                    ASSERT_EQ(byteAt(out, x, y, 2), 255) << name;
                }
        }
    }
}

// Halving averages the bilinear surface from half a pixel before to half a
// pixel after the source pixels, so it is not a box average; and the short
// footprint end keeps the bright end just below a half.
TEST(Resample, KnownValues)
{
    for (const auto& [name, resample] : resamplers) {
        const Bitmap24 edge = grey(4, 4, {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255});
        const Bitmap24 halved = resample(edge, 2, 2);
        for (int y = 0; y < 2; ++y)
            for (int b = 0; b < 3; ++b) {
                EXPECT_EQ(byteAt(halved, 0, y, b), 16) << name;
                EXPECT_EQ(byteAt(halved, 1, y, b), 239) << name;
            }
        EXPECT_EQ(byteAt(resample(grey(2, 2, {10, 20, 30, 40}), 1, 1), 0, 0), 25) << name;
        EXPECT_EQ(byteAt(resample(grey(2, 1, {0, 255}), 1, 1), 0, 0), 127) << name;
        // Channels are filtered independently.
        const Bitmap24 mixed = makeBitmap(2, 1, [](int x, int, int b) { return b == 1 ? 100 : x * 255; });
        const Bitmap24 one = resample(mixed, 1, 1);
        EXPECT_EQ(byteAt(one, 0, 0, 0), 127) << name;
        EXPECT_EQ(byteAt(one, 0, 0, 1), 100) << name;
        EXPECT_EQ(byteAt(one, 0, 0, 2), 127) << name;
    }
}

TEST(Resample, LongestSideSizes)
{
    const int cases[][4] = {{1024, 768, 640, 480}, {3000, 2000, 640, 427}, {2000, 3000, 427, 640}, {800, 800, 640, 640},
                            {641, 100, 640, 100},  {100, 641, 100, 640},   {641, 641, 640, 640},   {1281, 1, 640, 1},
                            {3000, 1, 640, 1},     {1, 5000, 1, 640}};
    for (const auto& c : cases)
        EXPECT_EQ(longestSideSize(QSize(c[0], c[1]), MaxPictureSide), QSize(c[2], c[3])) << c[0] << "x" << c[1];
    EXPECT_EQ(reduceToLongestSide(Bitmap24(1024, 768), MaxPictureSide).size(), QSize(640, 480));
    EXPECT_EQ(reduceToLongestSide(Bitmap24(4000, 2), MaxPictureSide).size(), QSize(640, 1));
    EXPECT_TRUE(reduceToLongestSide(Bitmap24(), MaxPictureSide).isEmpty());
}

TEST(Resample, EmptyInputsGiveEmptyBitmap)
{
    for (const auto& [name, resample] : resamplers) {
        EXPECT_TRUE(resample(Bitmap24(), 4, 4).isEmpty()) << name;
        EXPECT_TRUE(resample(Bitmap24(3, 3), 0, 4).isEmpty()) << name;
        EXPECT_TRUE(resample(Bitmap24(3, 3), 4, -1).isEmpty()) << name;
    }
}

// The product's separable form must give exactly the reference's bytes, in
// particular where a value lies at or next to a rounding half.
TEST(Resample, ProductMatchesReferenceByteForByte)
{
    std::mt19937 rng(20240611);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int cases = 0;
    for (int round = 0; round < 400; ++round) {
        const int w = uniform(1, 48);
        const int h = uniform(1, 48);
        const int tw = uniform(1, 64);
        const int th = uniform(1, 64);
        const int kind = round % 4;
        const int range = kind == 0 ? 255 : kind == 1 ? 3 : 1;
        const Bitmap24 src = makeBitmap(w, h, [&](int x, int y, int b) {
            if (kind == 3) // blocks of two levels with sharp edges
                return ((x / 3 + y / 2 + b) % 2) ? 255 : 0;
            return uniform(0, range);
        });
        const Bitmap24 before = deepCopy(src);
        const Bitmap24 expected = resampleBitmapReference(src, tw, th);
        const Bitmap24 actual = resampleBitmap(src, tw, th);
        ASSERT_EQ(actual, expected) << w << "x" << h << " -> " << tw << "x" << th << " kind " << kind;
        ASSERT_EQ(src, before);
        ++cases;
    }
    // Exact halves: only the top-left sample is lit, so the short footprint
    // end changes nothing and the value is 2/4, 6/4, ... before rounding.
    for (int v = 0; v < 256; ++v) {
        const Bitmap24 src = grey(2, 2, {v, 0, 0, 0});
        ASSERT_EQ(resampleBitmap(src, 1, 1), resampleBitmapReference(src, 1, 1)) << v;
    }
    // Two lit samples whose average for target (1, 1) is a half up to the
    // last bit: summed in a different order it rounds the other way.
    Bitmap24 sparse(16, 9);
    for (int b = 0; b < 3; ++b) {
        sparse.row(4)[3 * 7 + b] = 214;
        sparse.row(7)[3 * 4 + b] = 72;
    }
    ASSERT_EQ(resampleBitmap(sparse, 3, 2), resampleBitmapReference(sparse, 3, 2));
    // Photograph-like sizes and the near-identity case.
    const int large[][4] = {{1000, 700, 640, 448}, {643, 481, 640, 480}, {1, 900, 1, 640}, {900, 1, 640, 1},
                            {17, 13, 640, 480}};
    for (const auto& s : large) {
        const Bitmap24 src = makeBitmap(s[0], s[1], [&](int x, int y, int b) {
            return (x * 7 + y * 13 + b * 50 + uniform(0, 20)) % 256;
        });
        ASSERT_EQ(resampleBitmap(src, s[2], s[3]), resampleBitmapReference(src, s[2], s[3])) << s[0] << "x" << s[1];
        ++cases;
    }
    EXPECT_GT(cases, 400);
}

// Rows fed as a decoder delivers them, in bands of varying size, give for
// every orientation exactly what the reference filter makes of the whole
// picture turned upright: reductions, enlargements, odd and one-pixel sizes.
TEST(Resample, RowByRowMatchesTheReferenceInEveryOrientation)
{
    std::mt19937 rng(77);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto streamed = [&](const Bitmap24& stored, int orientation, int tw, int th) {
        RowResampler r(stored.size(), orientation, tw, th);
        uchar* rows[RowResampler::Band];
        int fed = 0;
        for (;;) {
            const int n = r.nextRows(rows, uniform(1, RowResampler::Band));
            if (n == 0)
                break;
            // The decoder may fill fewer rows than it was given buffers for.
            const int written = uniform(1, n);
            for (int k = 0; k < written; ++k)
                std::memcpy(rows[k], stored.constRow(fed + k), size_t(stored.width()) * 3);
            r.rowsWritten(written);
            fed += written;
            EXPECT_TRUE(fed == stored.height() || r.result().isEmpty());
        }
        EXPECT_EQ(fed, stored.height());
        return r.result();
    };
    int cases = 0;
    for (int round = 0; round < 240; ++round) {
        const int orientation = round % 8 + 1;
        const int w = uniform(1, 60);
        const int h = uniform(1, 60);
        const QSize upright = uprightSize(QSize(w, h), orientation);
        // Mostly reductions, as registration makes them, some enlargements.
        const int tw = round % 5 == 0 ? uniform(1, 80) : uniform(1, upright.width());
        const int th = round % 5 == 0 ? uniform(1, 80) : uniform(1, upright.height());
        const int range = round % 3 == 0 ? 1 : 255;
        const Bitmap24 stored = makeBitmap(w, h, [&](int, int, int) { return uniform(0, range); });
        const Bitmap24 expected = resampleBitmapReference(orientUpright(stored, orientation), tw, th);
        ASSERT_EQ(streamed(stored, orientation, tw, th), expected)
            << w << "x" << h << " orientation " << orientation << " -> " << tw << "x" << th;
        ++cases;
    }
    // Photograph-like reductions of odd sizes, each orientation.
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Bitmap24 stored = makeBitmap(1283, 967, [&](int x, int y, int b) {
            return (x * 7 + y * 13 + b * 50 + uniform(0, 20)) % 256;
        });
        const QSize target = longestSideSize(uprightSize(stored.size(), orientation), MaxPictureSide);
        const Bitmap24 expected =
            resampleBitmapReference(orientUpright(stored, orientation), target.width(), target.height());
        ASSERT_EQ(streamed(stored, orientation, target.width(), target.height()), expected) << orientation;
        ++cases;
    }
    EXPECT_EQ(cases, 248);

    // Only a band of rows is held, however tall the picture.
    RowResampler tall(QSize(40, 4000), OrientUpright, 4, 400);
    EXPECT_LE(tall.bandBytes(), 40 * 3 * 40);
    RowResampler lying(QSize(4000, 3000), OrientTurnedLeft, 480, 640);
    EXPECT_LE(lying.bandBytes(), 4000 * 3 * 30);
}

TEST(Bitmap24, LayoutAndSharing)
{
    Bitmap24 bmp(5, 2);
    EXPECT_EQ(bmp.stride(), 16);
    EXPECT_EQ(bmp.row(1) - bmp.row(0), 16);
    bmp.row(1)[3 * 4 + 2] = 77; // blue of the bottom-right pixel

    QImage image = bmp.toImage();
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.constBits(), bmp.constBits()); // wraps, does not copy
    EXPECT_EQ(image.pixelColor(4, 1), QColor(0, 0, 77));

    // Writing to the bitmap afterwards leaves the image as it was, and the
    // image outlives the bitmap.
    bmp.row(0)[0] = 255;
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
    bmp = Bitmap24();
    EXPECT_EQ(image.pixelColor(4, 1), QColor(0, 0, 77));

    QImage argb(3, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgb(10, 20, 30));
    argb.setPixel(1, 0, qRgb(255, 0, 0));
    argb.setPixel(2, 0, qRgb(0, 0, 255));
    const Bitmap24 converted = Bitmap24::fromImage(argb);
    ASSERT_EQ(converted.size(), QSize(3, 1));
    EXPECT_EQ(byteAt(converted, 0, 0, 0), 10);
    EXPECT_EQ(byteAt(converted, 0, 0, 2), 30);
    EXPECT_EQ(byteAt(converted, 1, 0, 0), 255);
    EXPECT_EQ(byteAt(converted, 2, 0, 2), 255);
    EXPECT_TRUE(Bitmap24::fromImage(QImage()).isEmpty());
}

TEST(JpegEncoding, RoundTripIsBaselineColour)
{
    const Bitmap24 src = makeBitmap(64, 48, [](int x, int y, int b) {
        return b == 0 ? (x < 32 ? 220 : 30) : b == 1 ? y * 5 : 128;
    });
    QByteArray jpeg;
    ASSERT_TRUE(encodeJpeg(src, jpeg));
    // Baseline frame (SOF0), not progressive (SOF2), with three components.
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(sof, 0);
    EXPECT_LT(jpeg.indexOf(QByteArray("\xFF\xC2", 2)), 0);
    EXPECT_EQ(int(uchar(jpeg[sof + 9])), 3);

    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + QStringLiteral("ヤマユリ01.jpg");
    testutil::writeFile(path, jpeg);
    Bitmap24 back;
    ASSERT_TRUE(loadPictureFile(path, back));
    ASSERT_EQ(back.size(), src.size());
    for (int y = 4; y < 44; y += 8)
        for (int x = 4; x < 60; x += 8) // away from the sharp edge at x = 32
            if (std::abs(x - 32) > 4)
                for (int b = 0; b < 3; ++b)
                    EXPECT_NEAR(byteAt(back, x, y, b), byteAt(src, x, y, b), 8) << x << "," << y << " " << b;

    EXPECT_FALSE(encodeJpeg(Bitmap24(), jpeg));
    EXPECT_TRUE(jpeg.isEmpty());
}

TEST(JpegEncoding, SaveNeverReplacesAFile)
{
    QTemporaryDir dir;
    const QString folder = testutil::folderOf(dir);
    const QString path = folder + QStringLiteral("ヤマユリ02.jpg");
    const Bitmap24 src = makeBitmap(40, 30, [](int x, int, int) { return x * 6; });

    QString error;
    ASSERT_TRUE(saveJpegFile(path, src, &error)) << qPrintable(error);
    Bitmap24 saved;
    ASSERT_TRUE(loadPictureFile(path, saved));
    EXPECT_EQ(saved.size(), QSize(40, 30));

    const QByteArray first = testutil::readFile(path);
    EXPECT_FALSE(saveJpegFile(path, Bitmap24(8, 8), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testutil::readFile(path), first);

    EXPECT_FALSE(saveJpegFile(folder + QStringLiteral("empty.jpg"), Bitmap24()));
    EXPECT_FALSE(saveJpegFile(folder + QStringLiteral("no/such/folder.jpg"), src));
    // No temporary files are left behind, successful or not.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("ヤマユリ02.jpg")});
}
