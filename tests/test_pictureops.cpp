#include <QColor>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
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

namespace {

// A change of the catalogue in `folder`, begun and read; commit() writes
// the planned files with an empty table.
struct Change {
    PlantTable table;
    CatalogueChange change;
    explicit Change(const QString& folder)
        : change(folder)
    {
        EXPECT_EQ(change.begin(), CatalogueChange::Result::Ok);
        change.reload(table);
    }
    bool commit() { return change.commit(table) == CatalogueChange::Result::Ok; }
};

QStringList pictureFilesIn(const QString& folder)
{
    QStringList l = filesIn(folder);
    l.removeAll(DataFileName);
    l.removeAll(LockFileName);
    return l;
}

} // namespace

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

    Change c(h);
    std::vector<bool> announced;
    auto note = [&](bool reducing) { announced.push_back(reducing); };
    StoreOutcome o = storeChosenPicture(c.change, s + "square.jpg", "ハコベ", 4, note);
    EXPECT_EQ(o.kind, StoreOutcome::Copied);
    EXPECT_EQ(o.target, h + "ハコベ04.jpg");
    o = storeChosenPicture(c.change, s + "wide.bmp", "ハコベ", 5, note);
    EXPECT_EQ(o.kind, StoreOutcome::Reduced);
    EXPECT_EQ(o.target, h + "ハコベ05.jpg");
    EXPECT_EQ(announced, (std::vector<bool>{false, true}));
    EXPECT_EQ(storeChosenPicture(c.change, s + "A.JPG", "ハコベ", 6).target, h + "ハコベ06.jpg");
    EXPECT_EQ(storeChosenPicture(c.change, s + "B.BMP", "ハコベ", 7).target, h + "ハコベ07.bmp");
    // A ".jpeg" file is stored as ".jpg", where pictures are looked for.
    o = storeChosenPicture(c.change, s + "photo.jpeg", "ハコベ", 8);
    EXPECT_EQ(o.kind, StoreOutcome::Copied);
    EXPECT_EQ(o.target, h + "ハコベ08.jpg");
    // A file that is gone, of another kind or broken is refused with a reason.
    writeFile(s + "picture.png", "png");
    for (const char* refused : {"gone.jpg", "picture.png", "broken.jpg"}) {
        o = storeChosenPicture(c.change, s + refused, "ハコベ", 9);
        EXPECT_EQ(o.kind, StoreOutcome::Failed) << refused;
        EXPECT_FALSE(o.error.isEmpty()) << refused;
    }
    // Nothing shows before the change is committed.
    EXPECT_EQ(pictureFilesIn(h), QStringList());
    ASSERT_TRUE(c.commit());
    EXPECT_EQ(readFile(h + "ハコベ04.jpg"), readFile(s + "square.jpg"));
    EXPECT_EQ(sizeOf(h + "ハコベ05.jpg"), QSize(640, 100));
    EXPECT_EQ(readFile(h + "ハコベ08.jpg"), readFile(s + "photo.jpeg"));
    EXPECT_EQ(pictureFilesIn(h).size(), 5);
}

// Registration prepares the next pictures on worker threads while it
// stores one; the numbers, the files, the progress steps and the messages
// come out exactly as when the files are worked on one at a time, also
// with failing files in the middle.
TEST(Registration, PreparingAheadChangesNothingTheUserSees)
{
    QTemporaryDir src;
    const QString s = folderOf(src);
    writePicture(s + "big1.jpg", 1301, 977, Qt::red);
    writePicture(s + "small.jpg", 300, 200, Qt::green);
    writeFile(s + "broken.jpg", "not a jpeg");
    writePicture(s + "big2.bmp", 700, 900, Qt::blue);
    writeFile(s + "notes.txt", "text");
    writePicture(s + "big3.jpg", 977, 1301, Qt::yellow);
    const QStringList files = {s + "big1.jpg", s + "small.jpg", s + "broken.jpg", s + "gone.jpg",
                               s + "big2.bmp", s + "notes.txt", s + "big3.jpg"};

    struct Run {
        QStringList events;
        QStringList failures;
        int stored = 0;
        QStringList names;
        std::vector<QByteArray> contents;
    };
    auto run = [&](int threads) {
        QTemporaryDir hdd;
        const QString h = folderOf(hdd);
        Run r;
        Change c(h);
        r.stored = storeChosenPictures(
            c.change, files, "ハコベ", 3, threads, [&](int p) { r.events << QString::number(p); },
            [&](bool reducing) { r.events << (reducing ? "reducing" : "copying"); }, r.failures);
        EXPECT_TRUE(c.commit());
        r.names = pictureFilesIn(h);
        for (const QString& f : r.names)
            r.contents.push_back(readFile(h + f));
        return r;
    };
    const Run alone = run(0);
    EXPECT_EQ(alone.stored, 4);
    EXPECT_EQ(alone.names, (QStringList{"ハコベ03.jpg", "ハコベ04.jpg", "ハコベ05.jpg", "ハコベ06.jpg"}));
    EXPECT_EQ(alone.events, (QStringList{"14", "reducing", "29", "copying", "43", "57", "71", "reducing", "86",
                                         "100", "reducing"}));
    ASSERT_EQ(alone.failures.size(), 3);
    EXPECT_TRUE(alone.failures[0].startsWith("broken.jpg（"));
    EXPECT_TRUE(alone.failures[1].startsWith("gone.jpg（"));
    EXPECT_TRUE(alone.failures[2].startsWith("notes.txt（"));
    for (int threads : {1, 2, 3, 8}) {
        const Run ahead = run(threads);
        EXPECT_EQ(ahead.events, alone.events) << threads;
        EXPECT_EQ(ahead.failures, alone.failures) << threads;
        EXPECT_EQ(ahead.stored, alone.stored) << threads;
        EXPECT_EQ(ahead.names, alone.names) << threads;
        EXPECT_TRUE(ahead.contents == alone.contents) << threads;
    }

    // A name that cannot name files refuses each file that is there, before
    // anything is announced, whichever way the files are prepared.
    for (int threads : {0, 2}) {
        QTemporaryDir hdd;
        Change c(folderOf(hdd));
        QStringList events, failures;
        EXPECT_EQ(storeChosenPictures(c.change, files.mid(0, 4), "a/b", 1, threads,
                                      [&](int p) { events << QString::number(p); },
                                      [&](bool) { events << "announced"; }, failures),
                  0);
        EXPECT_EQ(events, (QStringList{"25", "50", "75", "100"})) << threads;
        ASSERT_EQ(failures.size(), 4);
        EXPECT_TRUE(failures[3].startsWith("gone.jpg（ファイルがありません")) << threads;
        EXPECT_TRUE(failures[0].contains("植物名")) << threads;
    }
}

// A file no species counts where a new picture goes (left by hand, or by
// a program that crashed) never blocks registration: it is moved aside to
// a backup name the user is told, never replaced.
TEST(Registration, AFileInTheWayIsMovedAsideNotReplaced)
{
    QTemporaryDir src, hdd;
    const QString s = folderOf(src), h = folderOf(hdd);
    writePicture(s + "a.jpg", 30, 20, Qt::red);
    writePicture(h + "ハコベ01.jpg", 20, 20, Qt::blue);
    writePicture(h + "ハコベ01.bmp", 20, 20, Qt::blue);
    const QByteArray leftover = readFile(h + "ハコベ01.jpg");
    Change c(h);
    ASSERT_EQ(storeChosenPicture(c.change, s + "a.jpg", "ハコベ", 1).kind, StoreOutcome::Copied);
    ASSERT_TRUE(c.commit());
    EXPECT_EQ(readFile(h + "ハコベ01.jpg"), readFile(s + "a.jpg"));
    const QStringList aside = QDir(h).entryList({"ハコベ01.*.backup-*"});
    ASSERT_EQ(aside.size(), 2);
    EXPECT_TRUE(aside.filter(".jpg.backup-").size() == 1 && readFile(h + aside.filter(".jpg.backup-")[0]) == leftover);
    for (const QString& b : aside)
        EXPECT_TRUE(c.change.notice().contains(b)) << c.change.notice().toStdString();
}

TEST(Deletion, RenumbersKeepingExtensions)
{
    QTemporaryDir hdd;
    const QString h = folderOf(hdd);
    for (int n = 1; n <= 4; ++n)
        writePicture(h + QStringLiteral("スミレ0%1.jpg").arg(n), 10 * n, 10, Qt::magenta);
    {
        Change c(h);
        ASSERT_TRUE(planPictureDeletion(c.change, "スミレ", 2, 4));
        ASSERT_TRUE(c.commit());
    }
    EXPECT_EQ(pictureFilesIn(h), (QStringList{"スミレ01.jpg", "スミレ02.jpg", "スミレ03.jpg"}));
    EXPECT_EQ(sizeOf(h + "スミレ02.jpg").width(), 30);
    EXPECT_EQ(sizeOf(h + "スミレ03.jpg").width(), 40);

    QTemporaryDir mixed;
    const QString m = folderOf(mixed);
    writePicture(m + "ナズナ01.jpg", 10, 10, Qt::white);
    writePicture(m + "ナズナ02.bmp", 20, 10, Qt::white);
    writePicture(m + "ナズナ03.jpg", 30, 10, Qt::white);
    Change c(m);
    ASSERT_TRUE(planPictureDeletion(c.change, "ナズナ", 1, 3));
    // A picture that is not on the hard disk is not deleted, nor is anything renumbered.
    EXPECT_FALSE(planPictureDeletion(c.change, "ヨメナ", 1, 1));
    ASSERT_TRUE(c.commit());
    EXPECT_EQ(pictureFilesIn(m), (QStringList{"ナズナ01.bmp", "ナズナ02.jpg"}));
    EXPECT_EQ(QDir(m + platform::WorkFolderName).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(Renaming, RenamesEveryPictureAndTheMemoAndMovesLeftoversAside)
{
    QTemporaryDir hdd, cd;
    const PictureFolders f{folderOf(cd), folderOf(hdd)};
    writePicture(f.hddDir + "ノギク01.jpg", 10, 10, Qt::white);
    writePicture(f.hddDir + "ノギク02.bmp", 10, 10, Qt::white);
    writePicture(f.cdDir + "ノギク03.jpg", 10, 10, Qt::white);
    writeFile(f.hddDir + "ノギク.txt", "memo\r\n");
    writePicture(f.hddDir + "ヨメナ02.bmp", 12, 10, Qt::white); // no species counts it
    {
        Change c(f.hddDir);
        EXPECT_TRUE(planRename(c.change, f, "ノギク", "ヨメナ", 3).isEmpty());
        ASSERT_TRUE(c.commit());
    }
    const QStringList files = pictureFilesIn(f.hddDir);
    EXPECT_EQ(files.filter(QRegularExpression("^ヨメナ[0-9.a-z]*$")),
              (QStringList{"ヨメナ.txt", "ヨメナ01.jpg", "ヨメナ02.bmp", "ヨメナ03.jpg"}));
    EXPECT_EQ(files.filter("ノギク"), QStringList());
    EXPECT_EQ(files.filter("ヨメナ02.bmp.backup-").size(), 1);
    // The CD-ROM's picture stays and is copied under the new name.
    EXPECT_EQ(readFile(f.hddDir + "ヨメナ03.jpg"), readFile(f.cdDir + "ノギク03.jpg"));
    EXPECT_EQ(readFile(f.hddDir + "ヨメナ.txt"), QByteArray("memo\r\n"));

    // A memo in the CD-ROM folder stays, and a copy goes to the hard disk.
    writeFile(f.cdDir + "ヨメナ.txt", "cd memo\r\n");
    Change c(f.hddDir);
    EXPECT_TRUE(planRename(c.change, f, "ヨメナ", "ノコンギク", 3).isEmpty());
    ASSERT_TRUE(c.commit());
    EXPECT_EQ(readFile(f.hddDir + "ノコンギク.txt"), QByteArray("cd memo\r\n"));
    EXPECT_EQ(readFile(f.cdDir + "ヨメナ.txt"), QByteArray("cd memo\r\n"));
    EXPECT_EQ(pictureFilesIn(f.hddDir).filter("ヨメナ.txt.backup-").size(), 1);

    // A name another species has is refused.
    PlantTable t;
    t.append("ノギク");
    t.append("ヨメナ");
    t.append("Yomena");
    EXPECT_FALSE(renameRefusal(t, 1, "ヨメナ").isEmpty());
    EXPECT_FALSE(renameRefusal(t, 1, "YOMENA").isEmpty()); // one file name on some systems
    EXPECT_TRUE(renameRefusal(t, 1, "ノギク").isEmpty());
    EXPECT_TRUE(renameRefusal(t, 1, "ノコンギク").isEmpty());
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
    {
        Change c(h);
        EXPECT_FALSE(planPictureDeletion(c.change, escaping, 1, 1));
        writePicture(r + "new.jpg", 10, 10, Qt::blue);
        EXPECT_EQ(storeChosenPicture(c.change, r + "new.jpg", escaping, 2).kind, StoreOutcome::Failed);
        ASSERT_TRUE(c.commit());
    }
    EXPECT_TRUE(platform::fileExists(r + "x01.jpg"));
    EXPECT_FALSE(platform::fileExists(r + "x02.jpg"));
    EXPECT_EQ(memoFileName(h, escaping), QString());
    EXPECT_EQ(selectMemoFile(h, h, escaping), QString());
    QString memoPath;
    EXPECT_EQ(savePadMemo(memoPath, memoFileName(h, escaping), QStringLiteral("text"), true), PadMemoResult::Failed);
    EXPECT_EQ(readFile(r + "x.txt"), QByteArray("memo\r\n"));
    EXPECT_EQ(pictureFilesIn(h), QStringList());
}
