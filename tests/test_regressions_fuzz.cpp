// Cases found by the fuzz targets (fuzz/), kept so that the faults they
// showed stay fixed in the normal test run.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "data/DataRW.h"
#include "images/pictures.h"
#include "memo/MemoFile.h"
#include "support/testutil.h"

namespace {

QString folderPath(const QTemporaryDir& dir)
{
    return testutil::folderOf(dir);
}

} // namespace

// The program reloads the data file into the one table it keeps. A line
// whose fields stop early used to keep, after the last field read, the
// fields of whatever species the slot held before; the next rewrite then
// stored that other species' shapes and picture count under this name.
TEST(FuzzRegressions, ALineThatStopsEarlyKeepsNothingOfAnEarlierLoad)
{
    QTemporaryDir dir;
    const QString folder = folderPath(dir);
    PlantTable table;

    testutil::writeCatalogue(folder, {QStringLiteral("Aster,1,1,1,1,1,1,1,1,1,1,10,3,1,8,7")});
    ASSERT_TRUE(readPlantTable(table, folder).complete());

    // Stops at the flower shape (11 is out of range).
    testutil::writeCatalogue(folder, {QStringLiteral("Bindweed,0,1,0,0,1,0,0,0,0,0,11,3,1,8,7")});
    const LoadReport report = readPlantTable(table, folder);
    EXPECT_EQ(report.stop, LoadReport::Stop::BadField);
    ASSERT_EQ(table.plantCount(), 1);
    const PlantRecord& r = table.record(1);
    EXPECT_EQ(r.name, QStringLiteral("Bindweed"));
    // Read before the stop: from the line.
    EXPECT_EQ(r.seasons, (std::array<bool, SeasonCount>{false, true, false, false}));
    EXPECT_EQ(r.colours, (std::array<bool, ColourCount>{true, false, false, false, false, false}));
    // From the stop on: not given, as in a table that was never used.
    EXPECT_EQ(r.flowerShape, -1);
    EXPECT_EQ(r.stemHabit, -1);
    EXPECT_EQ(r.leafMargin, -1);
    EXPECT_EQ(r.leafShape, -1);
    EXPECT_EQ(r.pictureCount, 0);

    PlantTable fresh;
    readPlantTable(fresh, folder);
    EXPECT_EQ(writePlantTable(table), writePlantTable(fresh));

    // Too few fields: the same.
    testutil::writeCatalogue(folder, {QStringLiteral("Aster,1,1,1,1,1,1,1,1,1,1,10,3,1,8,7"),
                                      QStringLiteral("Clover,1,1,1,1,1,1,1,1,1,1,10,3,1,8,7")});
    ASSERT_TRUE(readPlantTable(table, folder).complete());
    testutil::writeCatalogue(folder, {QStringLiteral("Dock,1,0")});
    EXPECT_EQ(readPlantTable(table, folder).stop, LoadReport::Stop::BadField);
    ASSERT_EQ(table.plantCount(), 1);
    EXPECT_EQ(table.record(1).name, QStringLiteral("Dock"));
    EXPECT_EQ(table.record(1).seasons, (std::array<bool, SeasonCount>{true, false, false, false}));
    EXPECT_EQ(table.record(1).colours, (std::array<bool, ColourCount>{}));
    EXPECT_EQ(table.record(1).leafShape, -1);
    EXPECT_EQ(table.record(1).pictureCount, 0);
}

// A byte that starts a double-byte character, followed by one that cannot
// end it, used to take that next byte with it into the replacement
// character: a line break of a memo, or a comma of the data file.
TEST(FuzzRegressions, AStrayLeadByteKeepsTheLineBreakOrCommaAfterIt)
{
    QTemporaryDir dir;
    const QString folder = folderPath(dir);

    const QString memo = folder + QStringLiteral("memo.txt");
    testutil::writeFile(memo, QByteArray("first\x81\nsecond\x9f\r\nthird\xfc\rfourth\x81"));
    QStringList lines;
    ASSERT_TRUE(readMemoLines(memo, lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("first\uFFFD"), QStringLiteral("second\uFFFD"),
                                  QStringLiteral("third\uFFFD"), QStringLiteral("fourth\uFFFD")}));

    testutil::writeFile(folder + DataFileName, QByteArray("Ab\x81,1,0,0,0,1,0,0,0,0,0,5,1,1,5,2\r\n"));
    PlantTable table;
    const LoadReport report = readPlantTable(table, folder);
    // The name shows the byte as unreadable, but every field is read.
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(report.unreadableLine, 1);
    ASSERT_EQ(table.plantCount(), 1);
    EXPECT_EQ(table.record(1).name, QStringLiteral("Ab\uFFFD"));
    EXPECT_TRUE(table.record(1).seasons[0]);
    EXPECT_TRUE(table.record(1).colours[0]);
    EXPECT_EQ(table.record(1).flowerShape, 5);
    EXPECT_EQ(table.record(1).leafShape, 5);
    EXPECT_EQ(table.record(1).pictureCount, 2);
}

// An OS/2 bitmap whose 16-bit height has its top bit set: the header says
// 36102 rows, the decoder took it as a signed, top-down 29434. A picture
// whose decoded size differs from its header is damaged, not shown at a
// size the slot was not fitted for.
TEST(FuzzRegressions, ABitmapDecodingToAnotherSizeThanItsHeaderIsRefused)
{
    QTemporaryDir dir;
    const QString path = folderPath(dir) + "os2.bmp";
    QByteArray bytes("BM", 2);
    auto le16 = [&](int v) { bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto le32 = [&](qint64 v) { for (int i = 0; i < 4; ++i) bytes.append(char((v >> (8 * i)) & 0xFF)); };
    const int width = 6, height = 0x8D06, rowBytes = (width * 24 + 31) / 32 * 4;
    le32(26 + qint64(rowBytes) * height); // file size
    le32(0);                              // reserved
    le32(26);                             // pixel data offset
    le32(12);                             // OS/2 core header
    le16(width);
    le16(height);
    le16(1);  // planes
    le16(24); // bits a pixel
    bytes.append(QByteArray(rowBytes * height, char(0x7F)));
    testutil::writeFile(path, bytes);

    Bitmap24 picture;
    QString error;
    QSize header;
    if (loadPictureFile(path, picture, &error)) {
        ASSERT_TRUE(readPictureSize(path, header));
        EXPECT_EQ(picture.size(), header);
    } else {
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(picture.isEmpty());
    }
}

// A run-length coded bitmap need not set every pixel: a delta skips some and
// the end-of-bitmap code may come before the last row. The decoder left
// those pixels as whatever memory held, so one file showed differently at
// each load. The file says nothing of those pixels, so it is refused, the
// same way at every load.
TEST(FuzzRegressions, ARunLengthBitmapThatSkipsPixelsIsRefused)
{
    QTemporaryDir dir;
    const QString path = folderPath(dir) + "rle.bmp";
    const int width = 8, height = 64;
    QByteArray bytes("BM", 2);
    auto le16 = [&](int v) { bytes.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto le32 = [&](qint64 v) { for (int i = 0; i < 4; ++i) bytes.append(char((v >> (8 * i)) & 0xFF)); };
    auto bytesOf = [&](std::initializer_list<int> values) { for (int v : values) bytes.append(char(v)); };
    const int paletteStart = 14 + 40, dataStart = paletteStart + 256 * 4;
    le32(0); // file size (readers ignore it)
    le32(0);
    le32(dataStart);
    le32(40);
    le32(width);
    le32(height);
    le16(1);
    le16(8);
    le32(1); // 8-bit run-length coding
    le32(0);
    le32(2835);
    le32(2835);
    le32(256);
    le32(0);
    for (int i = 0; i < 256; ++i) // index 0 green, every other index white
        bytesOf(i == 0 ? std::initializer_list<int>{30, 200, 10, 0} : std::initializer_list<int>{255, 255, 255, 0});
    bytesOf({width, 5, 0, 0});    // bottom row: eight pixels of index 5, end of line
    bytesOf({2, 7, 0, 2, 3, 1});  // two pixels of 7, then a delta three right and one up
    bytesOf({1, 9, 0, 1});        // one pixel of 9, end of the bitmap
    testutil::writeFile(path, bytes);

    Bitmap24 picture;
    QString error;
    EXPECT_FALSE(loadPictureFile(path, picture, &error));
    EXPECT_TRUE(picture.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("点を飛ばして"))) << error.toStdString();
}
