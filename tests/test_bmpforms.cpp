// Bitmap files in every form the loader reads, and the damaged ones it
// refuses: each decoded pixel is the file's own, or the file is refused.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "images/pictures.h"
#include "support/picturebytes.h"
#include "support/testutil.h"

using namespace picturebytes;

namespace {

class BmpForms : public ::testing::Test {
protected:
    QTemporaryDir dir;

    // Loads `file` from a ".bmp" file; fails the test when it is refused.
    Bitmap24 load(const QByteArray& file)
    {
        const QString path = write(file);
        Bitmap24 out;
        QString error;
        EXPECT_TRUE(loadPictureFile(path, out, &error)) << qPrintable(error);
        QSize size;
        EXPECT_TRUE(readPictureSize(path, size));
        EXPECT_EQ(size, out.size());
        return out;
    }

    // The message a refused file gives; empty when it loads.
    QString refusal(const QByteArray& file)
    {
        const QString path = write(file);
        Bitmap24 out;
        QString error;
        if (loadPictureFile(path, out, &error))
            return QString();
        EXPECT_TRUE(out.isEmpty());
        EXPECT_FALSE(error.isEmpty());
        return error;
    }

    QString write(const QByteArray& file)
    {
        const QString path = testutil::folderOf(dir) + QStringLiteral("p%1.bmp").arg(++count_);
        testutil::writeFile(path, file);
        return path;
    }

private:
    int count_ = 0;
};

QRgb at(const Bitmap24& b, int x, int y)
{
    const uchar* p = b.constRow(y) + 3 * x;
    return qRgb(p[0], p[1], p[2]);
}

// One row of 16-bit or 32-bit pixel values, padded to four bytes.
QByteArray valueRow(const std::vector<quint32>& values, int bits)
{
    QByteArray row;
    for (quint32 v : values)
        bits == 16 ? put16(row, v) : put32(row, v);
    while (row.size() % 4)
        row.append('\0');
    return row;
}

int scaled(quint32 v, int width)
{
    const quint64 max = (quint64(1) << width) - 1;
    return int((quint64(v) * 255 + max / 2) / max);
}

} // namespace

// Every channel is scaled by its own mask's width, so full scale is 255
// whatever the width, and no channel is lost to a mask wider than 8 bits.
TEST_F(BmpForms, ChannelMasksOfAnyWidth)
{
    struct Case {
        const char* name;
        int bits;
        quint32 r, g, b;
        int rw, gw, bw; // widths
        int rs, gs, bs; // shifts
    };
    const Case cases[] = {
        {"5-5-5 plain", 16, 0x7C00, 0x03E0, 0x001F, 5, 5, 5, 10, 5, 0},
        {"5-6-5", 16, 0xF800, 0x07E0, 0x001F, 5, 6, 5, 11, 5, 0},
        {"3-10-3", 16, 0xE000, 0x1FF8, 0x0007, 3, 10, 3, 13, 3, 0},
        {"1-9-2 with alpha bits left", 16, 0x8000, 0x7FC0, 0x0030, 1, 9, 2, 15, 6, 4},
        {"10-10-10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 10, 10, 10, 20, 10, 0},
        {"11-11-10", 32, 0xFFE00000, 0x001FFC00, 0x000003FF, 11, 11, 10, 21, 10, 0},
        {"7-18-7", 32, 0xFE000000, 0x01FFFF80, 0x0000007F, 7, 18, 7, 25, 7, 0},
        {"8-8-8 plain", 32, 0xFF0000, 0xFF00, 0xFF, 8, 8, 8, 16, 8, 0},
    };
    for (const Case& c : cases) {
        // Full scale, zero, and a value in the middle of each channel.
        const auto value = [&](quint32 r, quint32 g, quint32 b) { return r << c.rs | g << c.gs | b << c.bs; };
        const quint32 rMax = (1u << c.rw) - 1, gMax = quint32((quint64(1) << c.gw) - 1), bMax = (1u << c.bw) - 1;
        const std::vector<quint32> values = {value(rMax, gMax, bMax), 0, value(rMax / 3, gMax / 2 + 1, bMax / 3)};
        const bool plain = QByteArray(c.name).endsWith("plain");
        for (int infoSize : plain ? std::vector<int>{40} : std::vector<int>{40, 56, 108, 124}) {
            Bmp b;
            b.infoSize = infoSize;
            b.width = 3;
            b.bits = c.bits;
            if (!plain) {
                b.compression = 3;
                b.masks = {c.r, c.g, c.b};
                if (infoSize > 40)
                    b.masks.push_back(0); // the alpha mask of the longer headers
            }
            b.pixels = valueRow(values, c.bits);
            const Bitmap24 out = load(bmpBytes(b));
            ASSERT_EQ(out.size(), QSize(3, 1)) << c.name;
            EXPECT_EQ(at(out, 0, 0), qRgb(255, 255, 255)) << c.name << " " << infoSize;
            EXPECT_EQ(at(out, 1, 0), qRgb(0, 0, 0)) << c.name;
            EXPECT_EQ(at(out, 2, 0), qRgb(scaled(rMax / 3, c.rw), scaled(gMax / 2 + 1, c.gw), scaled(bMax / 3, c.bw)))
                << c.name << " " << infoSize;
        }
    }
    // 5 bits: 31 is 255 (not 248), 16 is 132, 1 is 8.
    EXPECT_EQ(scaled(16, 5), 132);
    EXPECT_EQ(scaled(1, 5), 8);

    // Alpha in a fourth mask is ignored.
    Bmp alpha;
    alpha.infoSize = 40;
    alpha.bits = 32;
    alpha.compression = 6; // BI_ALPHABITFIELDS
    alpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    alpha.pixels = valueRow({0x10203040}, 32);
    EXPECT_EQ(at(load(bmpBytes(alpha)), 0, 0), qRgb(0x20, 0x30, 0x40));
}

TEST_F(BmpForms, MasksThatNameNoColourAreRefused)
{
    Bmp b;
    b.width = 2;
    b.bits = 16;
    b.compression = 3;
    b.pixels = valueRow({1, 2}, 16);
    b.masks = {0xF0F0, 0x0F00, 0x000F}; // bits apart
    EXPECT_TRUE(refusal(bmpBytes(b)).contains(QStringLiteral("対応していない")));
    b.masks = {0xFF00, 0x0FF0, 0x000F}; // overlapping
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
    b.masks = {0x10000, 0xFF00, 0x00FF}; // beyond 16 bits
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
    b.masks = {0, 0, 0};
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
    b.bits = 24; // masks on a depth that has none
    b.masks = {0xFF0000, 0xFF00, 0xFF};
    b.pixels = QByteArray(8, '\0');
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
}

// Colour tables: as long as the depth allows, shorter (the OS/2 1.x file
// with a short table that the offset of the pixels tells), or longer than
// the depth allows; an index outside the table refuses the file.
TEST_F(BmpForms, ColourTables)
{
    std::vector<QRgb> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back(qRgb(i * 20, 255 - i * 20, i));

    for (int infoSize : {12, 40, 64, 16}) {
        Bmp b;
        b.infoSize = infoSize;
        b.width = 5;
        b.height = 2;
        b.bits = 8;
        b.palette = twelve;
        b.declaredColours = infoSize == 40 || infoSize == 64 ? 0 : -1; // 0: "as many as the depth allows"
        b.pixels = bytes({11, 0, 5, 7, 3, 0, 0, 0, /* top row: */ 1, 2, 3, 4, 10, 0, 0, 0});
        const QByteArray file = bmpBytes(b);
        const Bitmap24 first = load(file);
        ASSERT_EQ(first.size(), QSize(5, 2)) << infoSize;
        EXPECT_EQ(at(first, 0, 1), twelve[11]) << infoSize; // the bottom row comes first
        EXPECT_EQ(at(first, 4, 1), twelve[3]);
        EXPECT_EQ(at(first, 0, 0), twelve[1]);
        EXPECT_EQ(at(first, 4, 0), twelve[10]);
        EXPECT_EQ(load(file), first); // the same pixels every time

        b.pixels[4] = 12; // one past the table
        EXPECT_TRUE(refusal(bmpBytes(b)).contains(QStringLiteral("壊れて"))) << infoSize;
    }

    // More colours declared than 4 bits hold: the first 16 count.
    Bmp wide;
    wide.width = 2;
    wide.bits = 4;
    std::vector<QRgb> many(20, qRgb(1, 2, 3));
    many[15] = qRgb(200, 100, 50);
    wide.palette = many;
    wide.pixels = bytes({0xF0, 0, 0, 0});
    const Bitmap24 out = load(bmpBytes(wide));
    EXPECT_EQ(at(out, 0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(at(out, 1, 0), qRgb(1, 2, 3));

    // 1 and 2 bits a pixel, rows stored from the top.
    Bmp mono;
    mono.width = 10;
    mono.height = -1;
    mono.bits = 1;
    mono.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    mono.pixels = bytes({0xA0, 0x40, 0, 0});
    const Bitmap24 m = load(bmpBytes(mono));
    EXPECT_EQ(at(m, 0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(m, 1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(at(m, 2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(m, 9, 0), qRgb(255, 255, 255));
    Bmp two = mono;
    two.bits = 2;
    two.palette = {qRgb(0, 0, 0), qRgb(80, 80, 80), qRgb(160, 160, 160), qRgb(240, 240, 240)};
    two.pixels = bytes({0x1B, 0xE0, 0, 0, 0});
    two.width = 5;
    const Bitmap24 t = load(bmpBytes(two));
    EXPECT_EQ(at(t, 0, 0), two.palette[0]);
    EXPECT_EQ(at(t, 3, 0), two.palette[3]);
    EXPECT_EQ(at(t, 4, 0), two.palette[3]);
}

// Run-length data: runs, pixels given one by one (padded to whole words), a
// move that passes over nothing, end of line and end of picture.
TEST_F(BmpForms, RunLengthPictures)
{
    const std::vector<QRgb> palette = {qRgb(9, 9, 9), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    Bmp b;
    b.width = 6;
    b.height = 3;
    b.bits = 8;
    b.compression = 1;
    b.palette = palette;
    b.pixels = bytes({3, 1, 0, 3, 2, 3, 2, 0, // bottom row: 1 1 1 2 3 2 (three given, padded)
                      0, 0,                   // end of line
                      0, 2, 0, 0,             // a move by nothing
                      2, 0, 2, 3, 2, 0, 0, 0, // the middle row: 0 0 3 3 0 0, end of line
                      6, 2,                   // the top row
                      0, 1});
    const QByteArray file = bmpBytes(b);
    const Bitmap24 out = load(file);
    const QRgb expected[3][6] = {{palette[2], palette[2], palette[2], palette[2], palette[2], palette[2]},
                                 {palette[0], palette[0], palette[3], palette[3], palette[0], palette[0]},
                                 {palette[1], palette[1], palette[1], palette[2], palette[3], palette[2]}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(at(out, x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(load(file), out);

    // 4 bits: pairs of colours; an odd-width row may be finished by a pair
    // that reaches one pixel past it.
    Bmp four = b;
    four.width = 5;
    four.height = 1;
    four.bits = 4;
    four.compression = 2;
    four.pixels = bytes({0, 3, 0x12, 0x30, 2, 0x33, 0, 1});
    const Bitmap24 f = load(bmpBytes(four));
    EXPECT_EQ(at(f, 0, 0), palette[1]);
    EXPECT_EQ(at(f, 2, 0), palette[3]);
    EXPECT_EQ(at(f, 4, 0), palette[3]);
    four.pixels = bytes({4, 0x12, 2, 0x33, 0, 1}); // 4 pixels, then a pair of which one fits
    const Bitmap24 pairs = load(bmpBytes(four));
    EXPECT_EQ(at(pairs, 1, 0), palette[2]);
    EXPECT_EQ(at(pairs, 4, 0), palette[3]);
    four.pixels = bytes({4, 0x12, 4, 0x33, 0, 1}); // two pixels past the row
    EXPECT_FALSE(refusal(bmpBytes(four)).isEmpty());
    // Data that ends exactly with the last row needs no end code.
    four.pixels = bytes({4, 0x12, 0, 0});
    four.width = 4;
    EXPECT_EQ(at(load(bmpBytes(four)), 3, 0), palette[2]);
}

// Run-length data that is cut short or broken, that passes over pixels, or
// that uses a colour the table does not hold, is refused: nothing is made up.
TEST_F(BmpForms, BrokenRunLengthDataIsRefused)
{
    Bmp b;
    b.width = 4;
    b.height = 2;
    b.bits = 8;
    b.compression = 1;
    b.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const struct {
        const char* what;
        QByteArray data;
        const char* says;
    } cases[] = {
        {"ends after the first row", bytes({4, 1, 0, 0}), "途中で切れて"},
        {"ends inside a row", bytes({4, 1, 0, 0, 2, 1}), "途中で切れて"},
        {"pixels given one by one cut off", bytes({0, 4, 1, 1}), "途中で切れて"},
        {"a move cut off", bytes({0, 2, 1}), "途中で切れて"},
        {"a run past the end of the row", bytes({5, 1, 0, 1}), "壊れて"},
        {"pixels past the end of the row", bytes({2, 1, 0, 3, 1, 1, 1, 0, 0, 1}), "壊れて"},
        {"a move out of the picture", bytes({0, 2, 0, 2, 1, 1, 0, 1}), "壊れて"},
        {"a move past the row", bytes({0, 2, 5, 0, 0, 1}), "壊れて"},
        {"a row past the top", bytes({4, 1, 0, 0, 4, 1, 0, 0, 1, 1, 0, 1}), "壊れて"},
        {"a colour the table lacks", bytes({4, 2, 0, 0, 4, 1, 0, 1}), "壊れて"},
        {"ends early with an end of picture", bytes({4, 1, 0, 0, 0, 1}), "途中で切れて"},
        {"a move passes over pixels", bytes({0, 2, 1, 0, 3, 1, 0, 0, 4, 1, 0, 1}), "点を飛ばして"},
        {"a move up a row", bytes({2, 1, 0, 2, 0, 1, 2, 1, 0, 1}), "点を飛ばして"},
        {"an early end of line", bytes({3, 1, 0, 0, 4, 1, 0, 1}), "点を飛ばして"},
        {"an early end of the last line", bytes({4, 1, 0, 0, 3, 1, 0, 1}), "途中で切れて"},
    };
    for (const auto& c : cases) {
        b.pixels = c.data;
        EXPECT_TRUE(refusal(bmpBytes(b)).contains(QString::fromUtf8(c.says))) << c.what;
    }
    // Run-length pictures are stored from the bottom only.
    b.height = -2;
    b.pixels = bytes({4, 1, 0, 0, 4, 1, 0, 1});
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
    // The coding must fit the depth.
    b.height = 2;
    b.bits = 4;
    EXPECT_FALSE(refusal(bmpBytes(b)).isEmpty());
}

// Headers and files that are not sensible, and forms not read, are refused
// with a message that says which.
TEST_F(BmpForms, HeadersAndFormsRefused)
{
    Bmp good;
    good.width = 2;
    good.height = 2;
    good.pixels = QByteArray(16, '\x40');
    ASSERT_EQ(load(bmpBytes(good)).size(), QSize(2, 2));

    auto with = [&](auto change) {
        Bmp b = good;
        change(b);
        return refusal(bmpBytes(b));
    };
    EXPECT_TRUE(with([](Bmp& b) { b.pixels.chop(1); }).contains(QStringLiteral("途中で切れて")));
    EXPECT_TRUE(with([](Bmp& b) { b.width = 0; }).contains(QStringLiteral("壊れて")));
    EXPECT_TRUE(with([](Bmp& b) { b.bits = 64; }).contains(QStringLiteral("対応していない")));
    EXPECT_TRUE(with([](Bmp& b) { b.compression = 4; }).contains(QStringLiteral("JPEG")));
    EXPECT_TRUE(with([](Bmp& b) { b.compression = 5; }).contains(QStringLiteral("PNG")));
    EXPECT_TRUE(with([](Bmp& b) { b.infoSize = 200; }).contains(QStringLiteral("対応していない")));
    EXPECT_TRUE(with([](Bmp& b) { b.width = 20000, b.height = 20000; }).contains(QStringLiteral("大きすぎ")));
    // OS/2 2.x uses compression 3 for Huffman coding.
    EXPECT_TRUE(with([](Bmp& b) { b.infoSize = 64, b.bits = 1, b.compression = 3; })
                    .contains(QStringLiteral("ハフマン")));
    QByteArray planes = bmpBytes(good);
    planes[26] = 2;
    EXPECT_FALSE(refusal(planes).isEmpty());
    EXPECT_TRUE(refusal("BA" + bmpBytes(good).mid(2)).contains(QStringLiteral("BMP 画像ではありません")));
    EXPECT_FALSE(refusal(bmpBytes(good).left(20)).isEmpty());
}
