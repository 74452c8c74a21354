// The data file under faults: a full disk, a folder that cannot be written,
// and the file removed or replaced by something that ignores the lock while
// an operation runs. Each ends with a clear message and no table lost.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>

#include "app/main.h"
#include "app/state.h"
#include "edit/p_list.h"
#include "images/thumbnails.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "search/search.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

const QStringList lines = {
    QStringLiteral("アオイ,1,0,0,0,1,0,0,0,0,0,3,1,0,2,1"),
    QStringLiteral("イヌタデ,0,0,1,0,0,1,0,0,0,0,3,1,1,1,1"),
};

class FaultTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString hdd;
    QString chosen;
    TestSeam seam;
    std::unique_ptr<TfMain> main;
    std::unique_ptr<TfSearch> pad;

    void SetUp() override
    {
        mainState() = MainState{};
        plantTable() = PlantTable{};
        thumbnailCache().clear();
        hdd = folderOf(root) + "hdd/";
        chosen = folderOf(root) + "chosen/";
        QDir().mkpath(hdd);
        QDir().mkpath(chosen);
    }
    void TearDown() override { platform::clearFaultsForTesting(); }

    void start(const QString& hddFolder)
    {
        hdd = hddFolder;
        writeSettings(folderOf(root) + "tolvarin.ini", folderOf(root) + "cd/", hdd, chosen);
        writeCatalogue(hdd, lines);
        writePicture(hdd + "アオイ01.jpg", 40, 30, Qt::green);
        writePicture(hdd + "イヌタデ01.jpg", 40, 30, Qt::red);
        writePicture(chosen + "new.jpg", 50, 40, Qt::blue);
        main = std::make_unique<TfMain>(folderOf(root) + "tolvarin.ini", folderOf(root));
        pad = std::make_unique<TfSearch>(main.get());
        main->setSearchPad(pad.get());
        main->A1Click();
    }

    // Registers new.jpg to アオイ; `during` runs while the chooser is open.
    void registerPicture(const std::function<void()>& during)
    {
        seam.pictureChoices.push_back({chosen + "new.jpg"});
        seam.dialogs.push_back([during](QDialog* d) {
            during();
            qobject_cast<Tf_p_list*>(d)->selectEntry(0);
            return QDialog::Accepted;
        });
        main->ToolButton10Click();
    }

    PlantTable fileTable() const
    {
        PlantTable t;
        readPlantTable(t, hdd);
        return t;
    }
};

} // namespace

TEST_F(FaultTest, AFailedWriteLeavesThePreviousTable)
{
    start(hdd);
    const QByteArray before = readFile(hdd + "Tolvarin.dat");
    registerPicture([] { platform::setWriteFaultForTesting(DataFileName); });
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(seam.messages.back().text.contains(QStringLiteral("元のデータはそのまま")));
    EXPECT_EQ(readFile(hdd + "Tolvarin.dat"), before);
    EXPECT_TRUE(QDir(hdd).entryList({"*.tmp-*"}).isEmpty());
    // The picture stored for the table that was not written is taken back:
    // a file under a number the data file does not count would block the
    // next registration.
    EXPECT_FALSE(platform::fileExists(hdd + "アオイ02.jpg"));
    EXPECT_EQ(main->slotCount(), 0);
    platform::setWriteFaultForTesting(QString());
    seam.messages.clear();
    registerPicture([] {});
    EXPECT_TRUE(seam.messages.empty()) << seam.messageTexts().join('|').toStdString();
    EXPECT_TRUE(platform::fileExists(hdd + "アオイ02.jpg"));
    EXPECT_EQ(fileTable().record(1).pictureCount, 2);
}

// Deletion writes the data file before it touches a picture: a write that
// fails leaves every picture where it was.
TEST_F(FaultTest, AFailedWriteDeletesNoPicture)
{
    start(hdd);
    writePicture(hdd + "アオイ02.jpg", 40, 30, Qt::yellow);
    PlantTable t = fileTable();
    t.record(1).pictureCount = 2;
    platform::writeFileAtomic(hdd + "Tolvarin.dat", writePlantTable(t));
    const QByteArray before = readFile(hdd + "Tolvarin.dat");
    seam.dialogs.push_back([](QDialog* d) {
        qobject_cast<Tf_p_list*>(d)->selectEntry(0);
        return QDialog::Accepted;
    });
    main->ToolButton8Click();
    main->selectPicture(0);
    seam.messages.clear();
    platform::setWriteFaultForTesting(DataFileName);
    main->ToolButton17Click();
    ASSERT_EQ(seam.messages.size(), 2u); // the question, then the failure
    EXPECT_TRUE(seam.messages.back().text.startsWith(RewriteFailedMessage));
    EXPECT_EQ(readFile(hdd + "Tolvarin.dat"), before);
    EXPECT_TRUE(platform::fileExists(hdd + "アオイ01.jpg"));
    EXPECT_TRUE(platform::fileExists(hdd + "アオイ02.jpg"));
    EXPECT_EQ(main->slotCount(), 2);
}

TEST_F(FaultTest, ADataFileRemovedMidOperationIsWrittenAnew)
{
    start(hdd);
    const QString dat = hdd + "Tolvarin.dat";
    registerPicture([&] { platform::deleteFile(dat); });
    const PlantTable t = fileTable();
    ASSERT_EQ(t.plantCount(), 2);
    EXPECT_EQ(t.record(1).pictureCount, 2);
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(seam.messages.back().text.contains(QStringLiteral("削除されていた")));
}

TEST_F(FaultTest, ADataFileReplacedMidOperationIsKeptAsABackup)
{
    start(hdd);
    const QByteArray foreign = cp932::encodeLossy(QStringLiteral("ヨモギ,0,1,1,0,0,0,0,0,0,1,0,1,0,6,1\r\n"));
    registerPicture([&] { platform::writeFileAtomic(hdd + "Tolvarin.dat", foreign); });
    EXPECT_EQ(fileTable().record(1).pictureCount, 2);
    const QStringList backups = QDir(hdd).entryList({"Tolvarin.dat.backup-*"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(readFile(hdd + backups[0]), foreign);
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(seam.messages.back().text.contains(backups[0]));
}

TEST_F(FaultTest, AFullDiskAndAReadOnlyFolder)
{
    // A real small file system: only where this test may mount one.
    const QString mnt = folderOf(root) + "small/";
    QDir().mkpath(mnt);
    if (::geteuid() != 0 ||
        ::mount("tolvarin-test", QFile::encodeName(mnt).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        QString path;
        ~Unmount() { ::umount2(QFile::encodeName(path).constData(), MNT_DETACH); }
    } unmount{mnt};

    start(mnt);
    const QByteArray before = readFile(mnt + "Tolvarin.dat");
    // Fill the disk, leaving too little for a new data file.
    QFile filler(mnt + "filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    registerPicture([] {});
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_EQ(readFile(mnt + "Tolvarin.dat"), before);

    // Read-only: the lock cannot be taken for writing, or the write fails;
    // either way the user is told and the file stays.
    platform::deleteFile(mnt + "filler");
    ASSERT_EQ(::mount(nullptr, QFile::encodeName(mnt).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    seam.messages.clear();
    registerPicture([] {});
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_EQ(readFile(mnt + "Tolvarin.dat"), before);
}

// A data file that exists but cannot be read (another account's private
// file, a disk error, a stale network handle) is never replaced: the change
// is refused naming the file and the reason, and a search says once that it
// shows the state read before.
TEST_F(FaultTest, AnUnreadableDataFileIsToldAndNeverReplaced)
{
    start(hdd);
    ASSERT_EQ(QProcess::execute(toolPath("tolvarin_datatool"), {"append", hdd, "ヨモギ"}), 0);
    const QByteArray before = readFile(hdd + DataFileName);
    platform::injectFaultForTesting(platform::FileOp::Open, DataFileName, EACCES);
    registerPicture([] {});
    seam.dialogs.clear();
    seam.pictureChoices.clear();
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(seam.messages.back().text.contains(hdd + DataFileName));
    EXPECT_TRUE(seam.messages.back().text.contains("EACCES"));
    EXPECT_EQ(readFile(hdd + DataFileName), before);
    EXPECT_FALSE(platform::fileExists(hdd + "アオイ02.jpg"));
    EXPECT_FALSE(platform::fileExists(hdd + FallbackFileName));

    seam.messages.clear();
    for (int search = 0; search < 2; ++search) {
        seam.dialogs.push_back([](QDialog*) { return QDialog::Accepted; });
        main->Find1Click();
    }
    platform::clearFaultsForTesting();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("前に読み込んだ")));
    EXPECT_EQ(mainState().resultList, (QStringList{"アオイ", "イヌタデ"}));
    // Readable again, the next search shows what the file holds.
    seam.dialogs.push_back([](QDialog*) { return QDialog::Accepted; });
    main->Find1Click();
    EXPECT_EQ(mainState().resultList.size(), 3);
}

// A copy killed in the middle of a change: the next start puts the
// catalogue back and tells the user what it repaired.
TEST_F(FaultTest, TheNextStartRepairsWhatAKilledCopyLeft)
{
    writeCatalogue(hdd, lines);
    writePicture(hdd + "アオイ01.jpg", 40, 30, Qt::green);
    writePicture(chosen + "new.jpg", 50, 40, Qt::blue);
    const QByteArray before = readFile(hdd + DataFileName);
    // Killed once the journal stands and the new picture has its name, so
    // well before the data file counts it.
    QProcess copy;
    bool halfDone = false;
    for (int stop = 1; stop < 60 && !halfDone; ++stop) {
        platform::deleteFile(hdd + "アオイ02.jpg");
        copy.start(toolPath("tolvarin_catalogtool"), {QString::number(stop), "register", hdd, "アオイ", chosen + "new.jpg"});
        ASSERT_TRUE(copy.waitForFinished(30000));
        ASSERT_EQ(copy.exitStatus(), QProcess::CrashExit);
        halfDone = platform::fileExists(hdd + "アオイ02.jpg");
    }
    ASSERT_TRUE(halfDone);
    seam.messages.clear();
    writeSettings(folderOf(root) + "tolvarin.ini", folderOf(root) + "cd/", hdd, chosen);
    main = std::make_unique<TfMain>(folderOf(root) + "tolvarin.ini", folderOf(root));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("取り消して元に戻しました")));
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("「アオイ」の画像の登録")));
    EXPECT_FALSE(platform::fileExists(hdd + "アオイ02.jpg"));
    EXPECT_EQ(readFile(hdd + DataFileName), before);
}
