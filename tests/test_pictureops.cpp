#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "edit/pictureops.h"
#include "memo/MemoFile.h"
#include "platform/files.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

QSize sizeOf(const QString& path)
{
    QSize s;
    readPictureSize(path, s);
    return s;
}

QStringList filesIn(const QString& folder)
{
    QStringList l = QDir(folder).entryList(QDir::Files, QDir::Name);
    return l;
}

} // namespace

TEST(Registration, LimitsAreCheckedFirst)
{
    EXPECT_TRUE(registrationRefusal(3, 2, false, 10).isEmpty());
    EXPECT_TRUE(registrationRefusal(97, 2, false, 10).isEmpty());
    EXPECT_FALSE(registrationRefusal(98, 2, false, 10).isEmpty());
    EXPECT_TRUE(registrationRefusal(0, 99, true, 999).isEmpty());
    EXPECT_FALSE(registrationRefusal(0, 1, true, 1000).isEmpty());
    EXPECT_TRUE(registrationRefusal(0, 1, false, 1000).isEmpty());
    EXPECT_EQ(storeProgress(1, 3), 33);
    EXPECT_EQ(storeProgress(2, 3), 67);
    EXPECT_EQ(storeProgress(3, 3), 100);
    EXPECT_EQ(chosenExtension("/x/A.JPG"), QStringLiteral(".jpg"));
    EXPECT_EQ(chosenExtension("/x.y/noext"), QString());
    EXPECT_EQ(chosenExtension("/x/a.longext"), QStringLiteral(".long"));
}

TEST(Registration, StoresCopiesAndReductionsAndRefusesTheRest)
{
    QTemporaryDir src, hdd;
    const QString s = folderOf(src), h = folderOf(hdd);
    writePicture(s + "square.jpg", 640, 640, Qt::red);
    writePicture(s + "wide.bmp", 641, 100, Qt::blue);
    writePicture(s + "A.JPG", 300, 200, Qt::green);
    writePicture(s + "B.BMP", 30, 20, Qt::green);
    writePicture(s + "photo.jpeg", 30, 20, Qt::green);
    writeFile(s + "broken.jpg", "not a jpeg");

    std::vector<bool> announced;
    auto note = [&](bool reducing) { announced.push_back(reducing); };
    StoreOutcome o = storeChosenPicture(s + "square.jpg", h, "ハコベ", 4, note);
    EXPECT_EQ(o.kind, StoreOutcome::Copied);
    EXPECT_EQ(o.target, h + "ハコベ04.jpg");
    EXPECT_EQ(readFile(o.target), readFile(s + "square.jpg"));

    o = storeChosenPicture(s + "wide.bmp", h, "ハコベ", 5, note);
    EXPECT_EQ(o.kind, StoreOutcome::Reduced);
    EXPECT_EQ(o.target, h + "ハコベ05.jpg");
    EXPECT_EQ(sizeOf(o.target), QSize(640, 100));
    EXPECT_EQ(announced, (std::vector<bool>{false, true}));

    EXPECT_EQ(storeChosenPicture(s + "A.JPG", h, "ハコベ", 6).target, h + "ハコベ06.jpg");
    EXPECT_EQ(storeChosenPicture(s + "B.BMP", h, "ハコベ", 7).target, h + "ハコベ07.bmp");
    // A ".jpeg" file is stored as ".jpg", where pictures are looked for.
    o = storeChosenPicture(s + "photo.jpeg", h, "ハコベ", 8);
    EXPECT_EQ(o.kind, StoreOutcome::Copied);
    EXPECT_EQ(o.target, h + "ハコベ08.jpg");
    EXPECT_EQ(readFile(o.target), readFile(s + "photo.jpeg"));
    // A file that is gone or of another kind is refused with a reason.
    writeFile(s + "picture.png", "png");
    for (const char* refused : {"gone.jpg", "picture.png"}) {
        o = storeChosenPicture(s + refused, h, "ハコベ", 9);
        EXPECT_EQ(o.kind, StoreOutcome::Failed) << refused;
        EXPECT_FALSE(o.error.isEmpty()) << refused;
    }
    o = storeChosenPicture(s + "broken.jpg", h, "ハコベ", 8);
    EXPECT_EQ(o.kind, StoreOutcome::Failed);
    EXPECT_FALSE(o.error.isEmpty());
    EXPECT_EQ(readFile(h + "ハコベ08.jpg"), readFile(s + "photo.jpeg"));

    // An existing picture is never replaced, copied or reduced.
    const QByteArray before = readFile(h + "ハコベ04.jpg");
    EXPECT_EQ(storeChosenPicture(s + "A.JPG", h, "ハコベ", 4).kind, StoreOutcome::Failed);
    EXPECT_EQ(storeChosenPicture(s + "wide.bmp", h, "ハコベ", 4).kind, StoreOutcome::Failed);
    EXPECT_EQ(readFile(h + "ハコベ04.jpg"), before);
    EXPECT_EQ(filesIn(h).size(), 5);
}

TEST(Deletion, RenumbersKeepingExtensions)
{
    QTemporaryDir hdd;
    const QString h = folderOf(hdd);
    for (int n = 1; n <= 4; ++n)
        writePicture(h + QStringLiteral("スミレ0%1.jpg").arg(n), 10 * n, 10, Qt::magenta);
    ASSERT_TRUE(deletePictureAndRenumber(h, "スミレ", 2, 4));
    EXPECT_EQ(filesIn(h), (QStringList{"スミレ01.jpg", "スミレ02.jpg", "スミレ03.jpg"}));
    EXPECT_EQ(sizeOf(h + "スミレ02.jpg").width(), 30);
    EXPECT_EQ(sizeOf(h + "スミレ03.jpg").width(), 40);

    QTemporaryDir mixed;
    const QString m = folderOf(mixed);
    writePicture(m + "ナズナ01.jpg", 10, 10, Qt::white);
    writePicture(m + "ナズナ02.bmp", 20, 10, Qt::white);
    writePicture(m + "ナズナ03.jpg", 30, 10, Qt::white);
    ASSERT_TRUE(deletePictureAndRenumber(m, "ナズナ", 1, 3));
    EXPECT_EQ(filesIn(m), (QStringList{"ナズナ01.bmp", "ナズナ02.jpg"}));

    // A picture that is not on the hard disk is not deleted, nor is anything renumbered.
    EXPECT_FALSE(deletePictureAndRenumber(m, "ナズナ", 3, 3));
    EXPECT_FALSE(deletePictureAndRenumber(m, "ヨメナ", 1, 1));
    EXPECT_EQ(filesIn(m), (QStringList{"ナズナ01.bmp", "ナズナ02.jpg"}));
}

TEST(Renaming, RenamesEveryPictureButNeverReplaces)
{
    QTemporaryDir hdd, cd;
    const PictureFolders f{folderOf(cd), folderOf(hdd)};
    writePicture(f.hddDir + "ノギク01.jpg", 10, 10, Qt::white);
    writePicture(f.hddDir + "ノギク02.bmp", 10, 10, Qt::white);
    writePicture(f.hddDir + "ノギク03.jpg", 10, 10, Qt::white);
    EXPECT_TRUE(renameRefusal(f, "ノギク", "ヨメナ", 3).isEmpty());
    renameSpeciesPictures(f, "ノギク", "ヨメナ", 3);
    EXPECT_EQ(filesIn(f.hddDir), (QStringList{"ヨメナ01.jpg", "ヨメナ02.bmp", "ヨメナ03.jpg"}));

    writePicture(f.hddDir + "ノコンギク02.bmp", 10, 10, Qt::white);
    const QString refusal = renameRefusal(f, "ヨメナ", "ノコンギク", 3);
    EXPECT_TRUE(refusal.contains("ノコンギク02.bmp"));
}

// A species name from a damaged or foreign data file may hold "/": its
// pictures and memo would lie outside the picture folder. Such a name has
// no files, and nothing is read, written or deleted for it.
TEST(NamesOutsideTheFolder, HaveNoFiles)
{
    QTemporaryDir root;
    const QString r = folderOf(root);
    ASSERT_TRUE(QDir().mkpath(r + "pictures"));
    const QString h = r + "pictures/";
    writePicture(r + "x01.jpg", 10, 10, Qt::red);
    writeFile(r + "x.txt", "memo\r\n");
    const QString escaping = QStringLiteral("../x");
    const PictureFolders folders{h, h};

    EXPECT_EQ(findPictureFile(folders, escaping, 1), QString());
    EXPECT_EQ(hardDiskPicture(h, escaping, 1), QString());
    EXPECT_FALSE(deletePictureAndRenumber(h, escaping, 1, 1));
    EXPECT_TRUE(platform::fileExists(r + "x01.jpg"));
    writePicture(r + "new.jpg", 10, 10, Qt::blue);
    EXPECT_EQ(storeChosenPicture(r + "new.jpg", h, escaping, 2).kind, StoreOutcome::Failed);
    EXPECT_FALSE(platform::fileExists(r + "x02.jpg"));
    EXPECT_EQ(memoFileName(h, escaping), QString());
    EXPECT_EQ(selectMemoFile(h, h, escaping), QString());
    QString memoPath;
    EXPECT_EQ(savePadMemo(memoPath, memoFileName(h, escaping), QStringLiteral("text"), true), PadMemoResult::Failed);
    EXPECT_EQ(readFile(r + "x.txt"), QByteArray("memo\r\n"));
    EXPECT_EQ(filesIn(h), QStringList());
}
