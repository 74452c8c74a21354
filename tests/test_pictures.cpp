// Picture file naming, lookup and decoding.
#include "images/Bitmap24.h"
#include "images/BitmapUtils.h"
#include "images/pictures.h"
#include "platform/files.h"
#include "support/picturebytes.h"
#include "support/testutil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include <sys/stat.h>

namespace {

const QString Lily = QStringLiteral("ヤマユリ");

Bitmap24 makeBitmap(int w, int h, const std::function<int(int x, int y, int b)>& f)
{
    Bitmap24 bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 3; ++b)
                bmp.row(y)[3 * x + b] = uchar(f(x, y, b));
    return bmp;
}

// A picture with broad areas of distinct colours that survive JPEG.
Bitmap24 quadrants(int w, int h)
{
    return makeBitmap(w, h, [w, h](int x, int y, int b) {
        static const int colours[4][3] = {{230, 30, 30}, {30, 200, 40}, {20, 40, 220}, {240, 240, 240}};
        return colours[(x >= w / 2) + 2 * (y >= h / 2)][b];
    });
}

QByteArray jpegOf(const Bitmap24& bmp)
{
    QByteArray bytes;
    if (!encodeJpeg(bmp, bytes))
        qFatal("cannot encode test picture");
    return bytes;
}

QColor colourAt(const Bitmap24& bmp, int x, int y)
{
    const uchar* p = bmp.constRow(y) + 3 * x;
    return QColor(p[0], p[1], p[2]);
}

bool near(const QColor& a, const QColor& b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// A JPEG written directly with libjpeg, for colour layouts the program's own
// encoder never produces. `pixel` fills `components` bytes of pixel (x, y).
// With `restartRows`, a restart marker follows every that many MCU rows.
QByteArray rawJpeg(int w, int h, int components, J_COLOR_SPACE space, bool adobeMarker,
                   const std::function<void(int x, int y, JSAMPLE* px)>& pixel, int restartRows = 0)
{
    picturebytes::JpegLayout layout;
    layout.components = components;
    layout.space = space;
    layout.adobeMarker = adobeMarker;
    layout.restartRows = restartRows;
    return picturebytes::libjpegFile(w, h, layout, pixel);
}

// A Windows bitmap file. Pixels come from `colour`; depth 8 uses a palette
// whose entry i is (i, 255 - i, i / 2) and pixel index (x + y) % 256.
QByteArray bmpFile(int w, int h, int depth, bool topDown, const std::function<QRgb(int x, int y)>& colour)
{
    const int paletteBytes = depth == 8 ? 256 * 4 : 0;
    const int rowBytes = (w * depth + 31) / 32 * 4;
    const int offset = 14 + 40 + paletteBytes;
    QByteArray f(offset + rowBytes * h, '\0');
    auto put32 = [&](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            f[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&](int at, quint16 v) {
        f[at] = char(v & 0xFF);
        f[at + 1] = char(v >> 8);
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, quint32(f.size()));
    put32(10, quint32(offset));
    put32(14, 40);
    put32(18, quint32(w));
    put32(22, quint32(topDown ? -h : h));
    put16(26, 1);
    put16(28, quint16(depth));
    put32(34, quint32(rowBytes * h));
    if (depth == 8) {
        put32(46, 256);
        for (int i = 0; i < 256; ++i)
            put32(54 + 4 * i, quint32(i / 2) | quint32(255 - i) << 8 | quint32(i) << 16); // B, G, R, 0
    }
    for (int y = 0; y < h; ++y) {
        const int fileRow = topDown ? y : h - 1 - y;
        char* p = f.data() + offset + fileRow * rowBytes;
        for (int x = 0; x < w; ++x) {
            if (depth == 8) {
                p[x] = char((x + y) % 256);
                continue;
            }
            const QRgb c = colour(x, y);
            char* px = p + x * (depth / 8);
            px[0] = char(qBlue(c));
            px[1] = char(qGreen(c));
            px[2] = char(qRed(c));
        }
    }
    return f;
}

QRgb testColour(int x, int y)
{
    return qRgb((x * 37) % 256, (y * 53) % 256, (x * y) % 256);
}

class PictureFiles : public ::testing::Test {
protected:
    QTemporaryDir hdd, cd;
    PictureFolders folders{testutil::folderOf(cd), testutil::folderOf(hdd)};
    QString inHdd(const QString& file) const { return folders.hddDir + file; }
    QString inCd(const QString& file) const { return folders.cdDir + file; }
    void touch(const QString& path) const { testutil::writeFile(path, "x"); }
};

} // namespace

TEST(PictureNames, NumberText)
{
    const std::pair<int, const char*> cases[] = {{1, "01"}, {9, "09"}, {12, "12"}, {99, "99"}, {0, "00"},
                                                 {100, "00"}, {101, "01"}, {123, "23"}, {-1, "00"}, {-57, "00"}};
    for (const auto& [n, text] : cases)
        EXPECT_EQ(pictureNumberText(n), QLatin1String(text)) << n;
}

TEST(PictureNames, BitmapExtensionIsExactLowerCase)
{
    EXPECT_TRUE(isBitmapPath(QStringLiteral("/p/ヤマユリ01.bmp")));
    EXPECT_FALSE(isBitmapPath(QStringLiteral("/p/ヤマユリ01.BMP")));
    EXPECT_FALSE(isBitmapPath(QStringLiteral("/p/ヤマユリ01.jpg")));
    EXPECT_FALSE(isBitmapPath(QStringLiteral("/p.bmp/ヤマユリ01")));
    EXPECT_FALSE(isBitmapPath(QStringLiteral("/p/ヤマユリ01.bmp.jpg")));
}

TEST_F(PictureFiles, LookupOrder)
{
    EXPECT_EQ(findPictureFile(folders, Lily, 1), QString());

    touch(inCd(Lily + "01.bmp"));
    EXPECT_EQ(findPictureFile(folders, Lily, 1), inCd(Lily + "01.bmp"));
    touch(inCd(Lily + "01.jpg"));
    EXPECT_EQ(findPictureFile(folders, Lily, 1), inCd(Lily + "01.jpg"));
    touch(inHdd(Lily + "01.bmp")); // the hard disk hides the CD-ROM, whatever the type
    EXPECT_EQ(findPictureFile(folders, Lily, 1), inHdd(Lily + "01.bmp"));
    touch(inHdd(Lily + "01.jpg"));
    EXPECT_EQ(findPictureFile(folders, Lily, 1), inHdd(Lily + "01.jpg"));

    // Numbers repeat their last two digits; other numbers and names stay apart.
    EXPECT_EQ(findPictureFile(folders, Lily, 101), inHdd(Lily + "01.jpg"));
    EXPECT_EQ(findPictureFile(folders, Lily, 2), QString());
    touch(inHdd(Lily + "00.jpg"));
    EXPECT_EQ(findPictureFile(folders, Lily, 100), inHdd(Lily + "00.jpg"));
    EXPECT_EQ(findPictureFile(folders, QStringLiteral("ヤマ"), 1), QString());
    // Upper-case extensions are not picture names on this file system.
    touch(inHdd(Lily + "03.JPG"));
    EXPECT_EQ(findPictureFile(folders, Lily, 3), QString());
    // A folder of the picture's name is not a picture.
    ASSERT_TRUE(QDir().mkpath(inHdd(Lily + "04.jpg")));
    EXPECT_EQ(findPictureFile(folders, Lily, 4), QString());
}

TEST_F(PictureFiles, CdRomSpecies)
{
    const QString fern = QStringLiteral("ゼンマイ");
    EXPECT_FALSE(isCdRomSpecies(folders, Lily)); // no picture 1 at all
    touch(inCd(Lily + "01.jpg"));
    touch(inHdd(Lily + "02.jpg"));
    EXPECT_TRUE(isCdRomSpecies(folders, Lily));
    touch(inHdd(fern + "01.bmp"));
    touch(inCd(fern + "01.jpg"));
    EXPECT_FALSE(isCdRomSpecies(folders, fern)); // the hard-disk picture 1 wins

    // One folder for both (the default beside the program): everything in
    // it is on the hard disk, so every species can be renamed.
    const PictureFolders same{folders.hddDir, folders.hddDir};
    EXPECT_FALSE(isCdRomSpecies(same, fern));
    EXPECT_FALSE(isCdRomSpecies(same, QStringLiteral("ススキ")));
    // A hard-disk folder inside the CD-ROM folder is still the hard disk.
    const QString inner = folders.cdDir + QStringLiteral("mine/");
    ASSERT_TRUE(QDir().mkpath(inner));
    const PictureFolders nested{folders.cdDir, inner};
    touch(inner + QStringLiteral("ススキ01.jpg"));
    EXPECT_FALSE(isCdRomSpecies(nested, QStringLiteral("ススキ")));
    EXPECT_TRUE(isCdRomSpecies(nested, Lily));

    // Without a CD-ROM folder nothing is a CD-ROM species.
    const PictureFolders noCd{QString(), folders.hddDir};
    EXPECT_FALSE(isCdRomSpecies(noCd, fern));
}

TEST_F(PictureFiles, LoadsJpegWhateverTheExtensionCase)
{
    const Bitmap24 src = quadrants(120, 80);
    for (const QString& file : {Lily + "01.jpg", Lily + "02.JPG", Lily + "03.BMP", Lily + "04"}) {
        testutil::writeFile(inHdd(file), jpegOf(src));
        Bitmap24 bmp;
        QString error;
        ASSERT_TRUE(loadPictureFile(inHdd(file), bmp, &error)) << qPrintable(file) << ": " << qPrintable(error);
        ASSERT_EQ(bmp.size(), QSize(120, 80));
        EXPECT_TRUE(near(colourAt(bmp, 10, 10), QColor(230, 30, 30)));
        EXPECT_TRUE(near(colourAt(bmp, 110, 10), QColor(30, 200, 40)));
        EXPECT_TRUE(near(colourAt(bmp, 10, 70), QColor(20, 40, 220)));
        EXPECT_TRUE(near(colourAt(bmp, 110, 70), QColor(240, 240, 240)));
    }
    // A JPEG named ".bmp" is read as a bitmap, and is not one.
    testutil::writeFile(inHdd(Lily + "05.bmp"), jpegOf(src));
    Bitmap24 bmp;
    EXPECT_FALSE(loadPictureFile(inHdd(Lily + "05.bmp"), bmp));
}

TEST_F(PictureFiles, JpegColourLayouts)
{
    const QString gray = inHdd("gray.jpg");
    testutil::writeFile(gray, rawJpeg(33, 17, 1, JCS_GRAYSCALE, false, [](int x, int, JSAMPLE* p) { *p = JSAMPLE(x < 16 ? 40 : 200); }));
    Bitmap24 bmp;
    ASSERT_TRUE(loadPictureFile(gray, bmp));
    ASSERT_EQ(bmp.size(), QSize(33, 17));
    EXPECT_TRUE(near(colourAt(bmp, 4, 8), QColor(40, 40, 40), 4));
    EXPECT_TRUE(near(colourAt(bmp, 30, 8), QColor(200, 200, 200), 4));

    // CMYK as Adobe writes it: inverted, 255 meaning no ink. Left half pure
    // magenta + yellow ink (red), right half no ink at all (white).
    const QString adobe = inHdd("adobe.jpg");
    testutil::writeFile(adobe, rawJpeg(32, 16, 4, JCS_CMYK, true, [](int x, int, JSAMPLE* p) {
        const int ink[4] = {0, 255, 255, 0};
        for (int i = 0; i < 4; ++i)
            p[i] = JSAMPLE(x < 16 ? 255 - ink[i] : 255);
    }));
    ASSERT_TRUE(loadPictureFile(adobe, bmp));
    EXPECT_TRUE(near(colourAt(bmp, 4, 8), QColor(255, 0, 0)));
    EXPECT_TRUE(near(colourAt(bmp, 28, 8), QColor(255, 255, 255)));

    // Plain CMYK without the Adobe marker: 255 means full ink.
    const QString plain = inHdd("plain.jpg");
    testutil::writeFile(plain, rawJpeg(32, 16, 4, JCS_CMYK, false, [](int x, int, JSAMPLE* p) {
        const int ink[4] = {255, 0, 255, 0}; // cyan + yellow: green
        for (int i = 0; i < 4; ++i)
            p[i] = JSAMPLE(x < 16 ? ink[i] : 0);
    }));
    ASSERT_TRUE(loadPictureFile(plain, bmp));
    EXPECT_TRUE(near(colourAt(bmp, 4, 8), QColor(0, 255, 0)));
    EXPECT_TRUE(near(colourAt(bmp, 28, 8), QColor(255, 255, 255)));
}

TEST_F(PictureFiles, BitmapForms)
{
    struct Form {
        int depth;
        bool topDown;
    };
    for (const Form form : {Form{24, false}, Form{24, true}, Form{32, false}, Form{32, true}, Form{8, false}}) {
        const int w = 13, h = 7; // odd width: rows need padding
        const QString path = inHdd(QStringLiteral("form%1%2.bmp").arg(form.depth).arg(form.topDown));
        testutil::writeFile(path, bmpFile(w, h, form.depth, form.topDown, testColour));
        Bitmap24 bmp;
        QString error;
        ASSERT_TRUE(loadPictureFile(path, bmp, &error)) << form.depth << " " << qPrintable(error);
        ASSERT_EQ(bmp.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int i = (x + y) % 256;
                const QColor expected = form.depth == 8 ? QColor(i, 255 - i, i / 2) : QColor(testColour(x, y));
                ASSERT_EQ(colourAt(bmp, x, y), expected) << form.depth << (form.topDown ? " top-down " : " ") << x << "," << y;
            }
        QSize size;
        ASSERT_TRUE(readPictureSize(path, size));
        EXPECT_EQ(size, QSize(w, h));
    }
    // Qt's own bitmap writer, for good measure.
    QImage image(21, 9, QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 21; ++x)
            image.setPixel(x, y, testColour(x, y));
    ASSERT_TRUE(image.save(inHdd("qt.bmp"), "BMP"));
    Bitmap24 bmp;
    ASSERT_TRUE(loadPictureFile(inHdd("qt.bmp"), bmp));
    EXPECT_EQ(colourAt(bmp, 20, 8), QColor(testColour(20, 8)));
}

// Damaged files fail (and leave the caller's bitmap alone); none crashes,
// hangs or allocates for a size the file merely claims.
TEST_F(PictureFiles, BrokenFilesFail)
{
    const QByteArray jpeg = jpegOf(quadrants(200, 150));
    const QByteArray bmp = bmpFile(50, 40, 24, false, testColour);

    QByteArray hugeJpeg = jpeg; // the frame header claims 60000 x 60000
    const int sof = hugeJpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GE(sof, 0);
    for (int at : {sof + 5, sof + 7}) {
        hugeJpeg[at] = char(60000 >> 8);
        hugeJpeg[at + 1] = char(60000 & 0xFF);
    }
    QByteArray hugeBmp = bmp; // 100000 x 100000 pixels
    for (int at : {18, 22}) {
        hugeBmp[at] = char(0xA0);
        hugeBmp[at + 1] = char(0x86);
        hugeBmp[at + 2] = char(0x01);
    }
    QByteArray zeroBmp = bmp;
    zeroBmp[18] = zeroBmp[19] = 0;
    // Restart markers cycle RST0..RST7; one out of order means lost data.
    QByteArray resync = rawJpeg(64, 64, 3, JCS_RGB, false, [](int x, int y, JSAMPLE* p) {
        p[0] = JSAMPLE(x * 4), p[1] = JSAMPLE(y * 4), p[2] = JSAMPLE(x ^ y);
    }, 1);
    const int rst1 = resync.indexOf(QByteArray("\xFF\xD1", 2));
    ASSERT_GE(rst1, 0);
    resync[rst1 + 1] = char(0xD5);

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty.jpg", QByteArray()},
        {"empty.bmp", QByteArray()},
        {"garbage.jpg", QByteArray("this is not a picture at all, only text").repeated(20)},
        {"garbage.bmp", QByteArray("BM") + QByteArray(100, '\x7F')},
        {"half.jpg", jpeg.left(jpeg.size() / 2)},
        {"noend.jpg", jpeg.left(jpeg.size() - 2)},
        {"shortscan.jpg", jpeg.left(jpeg.size() / 2) + QByteArray("\xFF\xD9", 2)},
        {"resync.jpg", resync},
        {"header.jpg", jpeg.left(sof + 20)},
        {"huge.jpg", hugeJpeg},
        {"half.bmp", bmp.left(bmp.size() / 2)},
        {"huge.bmp", hugeBmp},
        {"zero.bmp", zeroBmp},
    };
    const Bitmap24 untouched = quadrants(3, 3);
    for (const auto& [file, bytes] : cases) {
        const QString path = inHdd(QLatin1String(file));
        testutil::writeFile(path, bytes);
        Bitmap24 out = untouched;
        QString error;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(loadPictureFile(path, out, &error)) << file;
        EXPECT_FALSE(error.isEmpty()) << file;
        EXPECT_EQ(out, untouched) << file;
        QSize full(7, 7);
        EXPECT_FALSE(loadPictureScaled(path, 10, 10, out, &full)) << file;
        EXPECT_EQ(full, QSize(7, 7)) << file;
        EXPECT_LT(timer.elapsed(), 2000) << file;
    }
    // Missing files, folders and named pipes (which would block a reader).
    Bitmap24 out;
    QSize size;
    EXPECT_FALSE(loadPictureFile(inHdd("missing.jpg"), out));
    EXPECT_FALSE(loadPictureFile(inHdd("missing.bmp"), out));
    ASSERT_TRUE(QDir().mkpath(inHdd("folder.jpg")));
    EXPECT_FALSE(loadPictureFile(inHdd("folder.jpg"), out));
    ASSERT_EQ(::mkfifo(QFile::encodeName(inHdd("pipe.jpg")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(inHdd("pipe.bmp")).constData(), 0600), 0);
    for (const char* pipe : {"pipe.jpg", "pipe.bmp"}) {
        EXPECT_FALSE(loadPictureFile(inHdd(QLatin1String(pipe)), out)) << pipe;
        EXPECT_FALSE(readPictureSize(inHdd(QLatin1String(pipe)), size)) << pipe;
    }
    EXPECT_FALSE(readPictureSize(inHdd("garbage.jpg"), size));
    EXPECT_FALSE(readPictureSize(inHdd("huge.bmp"), size));
}

TEST_F(PictureFiles, ScaledDecodePicksTheSmallestCoveringScale)
{
    const QString path = inHdd(Lily + "01.jpg");
    testutil::writeFile(path, jpegOf(quadrants(801, 601)));
    struct Case {
        int minW, minH;
        QSize expected;
    };
    const Case cases[] = {
        {0, 0, {101, 76}},       // 1/8 (sizes round up)
        {101, 76, {101, 76}},    // 1/8 just covers
        {180, 120, {201, 151}},  // 1/4
        {201, 152, {401, 301}},  // 1/2: one row short at 1/4
        {500, 10, {801, 601}},   // full size
        {2000, 2000, {801, 601}} // smaller than asked: full size
    };
    for (const Case& c : cases) {
        Bitmap24 bmp;
        QSize full;
        ASSERT_TRUE(loadJpegScaled(path, c.minW, c.minH, bmp, &full)) << c.minW << "x" << c.minH;
        EXPECT_EQ(bmp.size(), c.expected) << c.minW << "x" << c.minH;
        EXPECT_EQ(full, QSize(801, 601));
        EXPECT_TRUE(near(colourAt(bmp, bmp.width() - 3, 2), QColor(30, 200, 40)));
    }
    QSize size;
    ASSERT_TRUE(readPictureSize(path, size));
    EXPECT_EQ(size, QSize(801, 601));

    // Bitmaps have no scaled decoding: full size, reported as such.
    const QString bmpPath = inHdd(Lily + "02.bmp");
    testutil::writeFile(bmpPath, bmpFile(300, 200, 24, false, testColour));
    Bitmap24 bmp;
    QSize full;
    ASSERT_TRUE(loadPictureScaled(bmpPath, 10, 10, bmp, &full));
    EXPECT_EQ(bmp.size(), QSize(300, 200));
    EXPECT_EQ(full, QSize(300, 200));
}

// libjpeg warns about some flaws it passes over without losing a pixel;
// such files show exactly as their clean original, whichever way they are
// read.
TEST_F(PictureFiles, HarmlessJpegFlawsDecodeInFull)
{
    const QByteArray clean = jpegOf(quadrants(401, 301));
    ASSERT_TRUE(clean.endsWith("\xFF\xD9"));
    ASSERT_EQ(clean.mid(6, 5), QByteArray("JFIF\0", 5));

    QByteArray strayBytes = clean; // "35 extraneous bytes before marker 0xd9"
    strayBytes.insert(clean.size() - 2, QByteArray(35, '\x5A'));
    QByteArray jfifTwo = clean; // "unknown JFIF revision number 2.01"
    jfifTwo[11] = 2;
    jfifTwo[12] = 1;

    testutil::writeFile(inHdd("clean.jpg"), clean);
    Bitmap24 reference, referenceScaled;
    ASSERT_TRUE(loadPictureFile(inHdd("clean.jpg"), reference));
    ASSERT_TRUE(loadPictureScaled(inHdd("clean.jpg"), 100, 75, referenceScaled, nullptr));
    ASSERT_EQ(referenceScaled.size(), QSize(101, 76));

    for (const auto& [file, bytes] : {std::pair{"stray.jpg", strayBytes}, std::pair{"jfif2.jpg", jfifTwo}}) {
        const QString path = inHdd(QLatin1String(file));
        testutil::writeFile(path, bytes);
        Bitmap24 full, scaled;
        QSize size, fullSize;
        QString error;
        EXPECT_TRUE(readPictureSize(path, size)) << file;
        EXPECT_EQ(size, QSize(401, 301)) << file;
        ASSERT_TRUE(loadPictureFile(path, full, &error)) << file << ": " << qPrintable(error);
        EXPECT_EQ(full, reference) << file;
        ASSERT_TRUE(loadPictureScaled(path, 100, 75, scaled, &fullSize, &error)) << file << ": " << qPrintable(error);
        EXPECT_EQ(scaled, referenceScaled) << file;
        EXPECT_EQ(fullSize, QSize(401, 301)) << file;
    }
}

// Thumbnails are decoded by worker threads; good and damaged files at once.
TEST_F(PictureFiles, DecodingInParallel)
{
    const Bitmap24 src = quadrants(320, 240);
    const QByteArray jpeg = jpegOf(src);
    testutil::writeFile(inHdd("good.jpg"), jpeg);
    testutil::writeFile(inHdd("bad.jpg"), jpeg.left(jpeg.size() / 3));
    testutil::writeFile(inHdd("good.bmp"), bmpFile(64, 64, 24, true, testColour));
    Bitmap24 reference;
    ASSERT_TRUE(loadPictureFile(inHdd("good.jpg"), reference));

    std::atomic<int> wrong{0};
    auto work = [&] {
        for (int i = 0; i < 40; ++i) {
            Bitmap24 a, b, c;
            QSize full;
            if (!loadPictureFile(inHdd("good.jpg"), a) || a != reference)
                ++wrong;
            if (loadPictureScaled(inHdd("bad.jpg"), 80, 60, b, &full))
                ++wrong;
            if (!loadPictureFile(inHdd("good.bmp"), c) || c.size() != QSize(64, 64))
                ++wrong;
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(MissingPicture, FileBesideTheProgramElseBuiltIn)
{
    const QString file = platform::executableFolder() + QStringLiteral("NoImage.jpg");
    if (platform::fileExists(file))
        GTEST_SKIP() << "a NoImage.jpg already lies beside the test program";

    const QImage builtIn = missingPicture();
    ASSERT_FALSE(builtIn.isNull());
    EXPECT_GE(builtIn.width(), 100);

    const QByteArray jpeg = jpegOf(quadrants(60, 40));
    testutil::writeFile(file, jpeg);
    const QImage custom = missingPicture();
    QFile::remove(file);
    EXPECT_EQ(custom.size(), QSize(60, 40));

    // A damaged file falls back to the built-in picture.
    testutil::writeFile(file, jpeg.left(100));
    const QImage fallback = missingPicture();
    QFile::remove(file);
    EXPECT_EQ(fallback.size(), builtIn.size());
}
