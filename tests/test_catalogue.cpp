// The catalogue as one unit under faults: a copy killed before each step of
// every kind of change, a disk operation failing at each step, and the next
// start finding the catalogue as it was before the change or as it is after
// it, never in between, with nothing left behind.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>

#include "platform/cp932.h"
#include "platform/files.h"
#include "support/changes.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

const QStringList catalogueLines = {
    QStringLiteral("スミレ,1,0,0,0,0,0,0,0,1,0,10,1,0,1,4"),
    QStringLiteral("ナズナ,1,0,0,0,1,0,0,0,0,0,9,1,0,1,1"),
    QStringLiteral("ハコベ,1,1,0,0,1,0,0,0,0,0,3,1,0,2,3"),
};

// The catalogues of these tests live on a memory file system where there is
// one: every step is flushed to disk, which makes hundreds of runs slow on
// a real disk, and what the tests check is the order of the steps.
QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return (shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath()) + QStringLiteral("/tolvarin-test-XXXXXX");
}

// The files of a catalogue, made once and copied for every run: pictures of
// three species with memos, picture 3 of ハコベ only in the CD-ROM folder.
QString templateRoot()
{
    static QTemporaryDir dir(scratchTemplate());
    static const QString root = [] {
        const QString r = folderOf(dir);
        for (const char* sub : {"hdd", "cd", "src"})
            QDir(r).mkpath(sub);
        writeCatalogue(r + "hdd/", catalogueLines);
        int shade = 0;
        for (const char* file : {"スミレ01.jpg", "スミレ02.bmp", "スミレ03.jpg", "スミレ04.jpg", "ナズナ01.jpg",
                                 "ハコベ01.jpg", "ハコベ02.jpg"})
            writePicture(r + "hdd/" + QString::fromUtf8(file), 20 + shade++, 10, Qt::darkGreen);
        writeFile(r + "hdd/スミレ.txt", cp932::encodeLossy(QStringLiteral("すみれの花\r\n")));
        writeFile(r + "hdd/ハコベ.txt", cp932::encodeLossy(QStringLiteral("はこべ\r\n")));
        writePicture(r + "cd/ハコベ03.jpg", 33, 10, Qt::white);
        writePicture(r + "src/a.jpg", 30, 20, Qt::red);
        writePicture(r + "src/b.bmp", 20, 20, Qt::blue);
        writePicture(r + "src/big.jpg", 700, 100, Qt::yellow);
        return r;
    }();
    return root;
}

struct Catalogue {
    QTemporaryDir root{scratchTemplate()};
    QString hdd, cd, src;
    Catalogue()
    {
        const QString r = folderOf(root);
        hdd = r + "hdd/";
        cd = r + "cd/";
        src = r + "src/";
        const QString from = templateRoot();
        for (const QString& sub : {QStringLiteral("hdd/"), QStringLiteral("cd/"), QStringLiteral("src/")}) {
            QDir().mkpath(r + sub);
            // Hard links: a change never writes into a file, it only
            // makes new ones and renames, so the template stays as it is.
            for (const QString& f : QDir(from + sub).entryList(QDir::Files))
                EXPECT_EQ(::link(QFile::encodeName(from + sub + f).constData(), QFile::encodeName(r + sub + f).constData()), 0);
        }
    }
    QString work() const { return hdd + platform::WorkFolderName + "/"; }
};

// What the user would see of the catalogue: every file of the hard-disk
// folder with its contents. The lock, the fallback (a copy of an earlier
// data file) and the time in backup names are left out.
QStringList snapshot(const QString& hdd)
{
    QStringList out;
    static const QRegularExpression time(QStringLiteral("\\.backup-[0-9]{8}-[0-9]{6}(-[0-9]+)?$"));
    for (const QString& name : QDir(hdd).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (name == LockFileName || name == FallbackFileName)
            continue;
        QString shown = name;
        shown.replace(time, QStringLiteral(".backup"));
        out << shown + QLatin1Char(' ') +
                   QString::fromLatin1(QCryptographicHash::hash(readFile(hdd + name), QCryptographicHash::Md5).toHex());
    }
    out.sort();
    return out;
}

// What is wrong with the catalogue, or an empty string: every counted
// picture must exist, none beyond a count, no temporary or working file
// may be left.
QString inconsistency(const Catalogue& c)
{
    PlantTable t;
    const LoadReport r = readPlantTable(t, c.hdd);
    if (!r.fileRead || !r.complete())
        return QStringLiteral("the data file does not load");
    for (int k = 1; k <= t.plantCount(); ++k) {
        const PlantRecord& p = t.record(k);
        for (int n = 1; n <= p.pictureCount; ++n)
            if (findPictureFile(PictureFolders{c.cd, c.hdd}, p.name, n).isEmpty())
                return QStringLiteral("%1 picture %2 is missing").arg(p.name).arg(n);
        for (int n = p.pictureCount + 1; n <= MaxPictureNumber; ++n)
            if (!hardDiskPicture(c.hdd, p.name, n).isEmpty())
                return QStringLiteral("%1 picture %2 is beyond its count").arg(p.name).arg(n);
    }
    if (!QDir(c.hdd).entryList({"*.tmp-*"}, QDir::Files | QDir::Hidden).isEmpty())
        return QStringLiteral("a temporary file is left");
    const QStringList working = QDir(c.work()).entryList(QDir::Files | QDir::Hidden);
    if (!working.isEmpty())
        return QStringLiteral("the work folder holds ") + working.join(' ');
    return {};
}

struct Operation {
    const char* what;
    QString command;
    std::function<QStringList(const Catalogue&)> args;
};

const Operation operations[] = {
    {"registration", "register",
     [](const Catalogue& c) { return QStringList{c.hdd, "スミレ", c.src + "a.jpg", c.src + "big.jpg"}; }},
    {"new species", "register", [](const Catalogue& c) { return QStringList{c.hdd, "ヨモギ", c.src + "b.bmp"}; }},
    {"renaming", "rename", [](const Catalogue& c) { return QStringList{c.hdd, c.cd, "ハコベ", "ハコベラ"}; }},
    {"deletion", "delete", [](const Catalogue& c) { return QStringList{c.hdd, "スミレ", "2"}; }},
    {"last picture", "delete", [](const Catalogue& c) { return QStringList{c.hdd, "ナズナ", "1"}; }},
};

struct States {
    QStringList before, after;
};

States referenceStates(const Operation& op)
{
    States s;
    Catalogue fresh;
    s.before = snapshot(fresh.hdd);
    Catalogue done;
    const testchanges::Outcome out = testchanges::run(op.command, op.args(done));
    EXPECT_EQ(out.code, 0) << out.told.join('\n').toStdString();
    EXPECT_EQ(inconsistency(done).toStdString(), "");
    s.after = snapshot(done.hdd);
    EXPECT_NE(s.before, s.after);
    return s;
}

// Runs `op` in another process that kills itself before step `stop`;
// returns true when it was killed, false when it ran to its end.
bool runKilled(const Operation& op, const Catalogue& c, int stop, QString* told = nullptr)
{
    QProcess p;
    p.start(toolPath("tolvarin_catalogtool"), QStringList{QString::number(stop), op.command} + op.args(c));
    EXPECT_TRUE(p.waitForFinished(60000));
    if (told)
        *told = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::CrashExit;
}

} // namespace

// A copy killed before each step of each change: the next start finds the
// catalogue whole, as before or after the change, and says what it repaired.
TEST(CatalogueChange, AKillAtEveryStepLeavesItBeforeOrAfter)
{
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.what);
        const States states = referenceStates(op);
        int rolledBack = 0, finished = 0;
        bool ended = false;
        for (int stop = 1; stop < 200 && !ended; ++stop) {
            Catalogue c;
            if (!runKilled(op, c, stop)) {
                EXPECT_EQ(snapshot(c.hdd).join('\n').toStdString(), states.after.join('\n').toStdString());
                ended = true;
                break;
            }
            const bool halfDone = QFile::exists(c.work() + "journal");
            const QString told = recoverCatalogue(c.hdd);
            EXPECT_EQ(halfDone, !told.isEmpty()) << "step " << stop << ": " << told.toStdString();
            const QStringList now = snapshot(c.hdd);
            ASSERT_TRUE(now == states.before || now == states.after)
                << "step " << stop << "\n" << now.join('\n').toStdString();
            ASSERT_EQ(inconsistency(c).toStdString(), "") << "step " << stop;
            ++(now == states.before ? rolledBack : finished);
        }
        EXPECT_TRUE(ended);
        EXPECT_GT(rolledBack, 3);
        EXPECT_GT(finished, 0);
    }
}

// Recovery itself may be killed at any of its steps: the next start still
// finishes the job.
TEST(CatalogueChange, AKilledRecoveryIsRecoveredInTurn)
{
    const Operation& op = operations[3]; // deletion with renumbering
    const States states = referenceStates(op);
    // One copy killed with its journal standing and the old data file (to
    // be taken back), one after the new data file (to be finished).
    std::vector<int> cases;
    bool wantBack = true, wantForward = true;
    for (int stop = 1; stop < 200 && (wantBack || wantForward); ++stop) {
        Catalogue c;
        if (!runKilled(op, c, stop))
            break;
        if (!QFile::exists(c.work() + "journal"))
            continue;
        PlantTable t;
        readPlantTable(t, c.hdd);
        const bool committed = t.record(t.findByName("スミレ")).pictureCount == 3;
        if ((committed && wantForward) || (!committed && wantBack)) {
            cases.push_back(stop);
            (committed ? wantForward : wantBack) = false;
        }
    }
    ASSERT_EQ(cases.size(), 2u);
    const Operation recover{"recovery", "recover", [](const Catalogue& c) { return QStringList{c.hdd}; }};
    for (int killedAt : cases) {
        for (int stop = 1; stop < 100; ++stop) {
            Catalogue c;
            ASSERT_TRUE(runKilled(op, c, killedAt));
            const bool killedAgain = runKilled(recover, c, stop);
            recoverCatalogue(c.hdd);
            const QStringList now = snapshot(c.hdd);
            ASSERT_TRUE(now == states.before || now == states.after) << killedAt << "/" << stop;
            ASSERT_EQ(inconsistency(c).toStdString(), "") << killedAt << "/" << stop;
            if (!killedAgain)
                break;
        }
    }
}

// A disk operation failing at each step: the change is taken back and the
// user told so, or (once the data file is replaced) it stands; the next
// start leaves the catalogue whole either way.
TEST(CatalogueChange, AFailureAtEveryStepLeavesItBeforeOrAfter)
{
    for (const Operation& op : operations) {
        SCOPED_TRACE(op.what);
        const States states = referenceStates(op);
        for (int failAt = 1; failAt < 200; ++failAt) {
            Catalogue c;
            platform::countStepsForTesting(0, failAt, EIO);
            const testchanges::Outcome out = testchanges::run(op.command, op.args(c));
            const int steps = platform::stepsForTesting();
            platform::clearFaultsForTesting();
            const QStringList now = snapshot(c.hdd);
            const QString told = out.told.join('\n');
            if (failAt > steps) {
                EXPECT_EQ(out.code, 0);
                EXPECT_EQ(now.join('\n').toStdString(), states.after.join('\n').toStdString());
                break;
            }
            if (out.code != 0) {
                // A failure is always told, and "nothing changed" only when true.
                ASSERT_FALSE(told.isEmpty()) << "step " << failAt;
                if (told.contains(QStringLiteral("元のデータはそのまま")) || told.contains(QStringLiteral("変更していません")))
                    ASSERT_EQ(now.join('\n').toStdString(), states.before.join('\n').toStdString())
                        << "step " << failAt << ": " << told.toStdString();
            }
            // A picture that could not be stored is left out of a
            // registration, which then stands with the others.
            const bool partial = out.code == 0 && now != states.after && op.command == QLatin1String("register");
            ASSERT_TRUE(now == states.before || now == states.after || partial)
                << "step " << failAt << ": " << told.toStdString();
            recoverCatalogue(c.hdd);
            EXPECT_EQ(snapshot(c.hdd).join('\n').toStdString(), now.join('\n').toStdString()) << "step " << failAt;
            ASSERT_EQ(inconsistency(c).toStdString(), "") << "step " << failAt << ": " << told.toStdString();
        }
    }
}

namespace {

const QByteArray twoSpecies = "A,1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\nB,1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\n";
const QByteArray oneSpecies = "A,1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\n";

bool appendC(PlantTable& t)
{
    t.record(t.append("C")).pictureCount = 1;
    return true;
}

} // namespace

// A data file that exists but cannot be read is never replaced, nor taken
// for its fallback: the table stays, the change is refused, and the user is
// told which file and why.
TEST(UnreadableDataFile, IsNeverReplacedNorTakenForTheFallback)
{
    struct Case {
        platform::FileOp op;
        int error;
        const char* told;
    };
    for (const Case& k : {Case{platform::FileOp::Open, EACCES, "EACCES"}, Case{platform::FileOp::Open, EIO, "EIO"},
                          Case{platform::FileOp::Open, ESTALE, "ESTALE"}, Case{platform::FileOp::Read, EIO, "EIO"}}) {
        SCOPED_TRACE(k.told);
        QTemporaryDir dir;
        const QString f = folderOf(dir);
        writeFile(f + DataFileName, twoSpecies);
        writeFile(f + FallbackFileName, oneSpecies);
        PlantTable t;
        readPlantTable(t, f);
        t.append("kept in memory");
        platform::injectFaultForTesting(k.op, DataFileName, k.error);
        const LoadReport r = readPlantTable(t, f);
        EXPECT_TRUE(r.readFailed);
        EXPECT_FALSE(r.fileRead);
        EXPECT_TRUE(r.failure.contains(f + DataFileName) && r.failure.contains(k.told)) << r.failure.toStdString();
        EXPECT_EQ(t.plantCount(), 3);
        QString error;
        EXPECT_EQ(rewritePlantTable(t, f, appendC, &error), CatalogueChange::Result::Failed);
        EXPECT_TRUE(error.contains(DataFileName) && error.contains(k.told)) << error.toStdString();
        platform::clearFaultsForTesting();
        EXPECT_EQ(readFile(f + DataFileName), twoSpecies);
        EXPECT_EQ(readFile(f + FallbackFileName), oneSpecies);
        EXPECT_EQ(QDir(f).entryList({"*.backup-*"}), QStringList());
    }
    // A stale network handle once (another client just renamed the file)
    // is opened again: the data file is read, not the fallback.
    QTemporaryDir dir;
    const QString f = folderOf(dir);
    writeFile(f + DataFileName, twoSpecies);
    writeFile(f + FallbackFileName, oneSpecies);
    platform::injectFaultForTesting(platform::FileOp::Open, DataFileName, ESTALE, 1);
    PlantTable t;
    const LoadReport r = readPlantTable(t, f);
    platform::clearFaultsForTesting();
    EXPECT_EQ(r.path, f + DataFileName);
    EXPECT_EQ(t.plantCount(), 2);
    // Not there at all: the fallback is read, and a rewrite makes the data
    // file anew without touching it.
    platform::deleteFile(f + DataFileName);
    EXPECT_EQ(rewritePlantTable(t, f, appendC), CatalogueChange::Result::Ok);
    readPlantTable(t, f);
    EXPECT_EQ(t.plantCount(), 2);
    EXPECT_EQ(readFile(f + FallbackFileName), oneSpecies);
}

// Lock, journal, temporary and backup files are never taken for a species'
// files, and every kind of temporary a crashed copy left is cleaned; one
// another copy is still writing is left alone.
TEST(WorkingFiles, NeverTakeASpeciesFilesAndAreCleanedAfterACrash)
{
    QTemporaryDir dir;
    const QString f = folderOf(dir);
    const QString species = QStringLiteral("Tolvarin.dat.tmp-ハコベ");
    writeFile(f + DataFileName, cp932::encodeLossy(species + QStringLiteral(",1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\n")));
    writePicture(f + species + "01.jpg", 10, 10, Qt::red);
    writeFile(f + species + ".txt", "memo\r\n");
    writeFile(f + "Tolvarin.dat.tmp-AbC123", "left by an earlier version");
    writeFile(f + "Tolvarin.res.tmp-AbCdEf12", "left before the work folder existed");
    writeFile(f + "ハコベ01.jpg.tmp-Xy12Ab", "a picture being written");
    QDir(f).mkdir(platform::WorkFolderName);
    const QString work = f + platform::WorkFolderName + "/";
    writeFile(work + "tmp-ABCDEFGH", "a picture of a killed registration");
    writeFile(work + "notes", "not the program's");
    // A memo another copy is saving this moment.
    writeFile(work + "tmp-LiveLive", "being written");
    const int held = ::open(QFile::encodeName(work + "tmp-LiveLive").constData(), O_RDONLY);
    ASSERT_EQ(platform::tryLock(held), 0);

    PlantTable t;
    ASSERT_EQ(rewritePlantTable(t, f, [](PlantTable&) { return true; }), CatalogueChange::Result::Ok);
    ::close(held);
    QStringList left = QDir(f).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{DataFileName, species + ".txt", species + "01.jpg", LockFileName}));
    left = QDir(work).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"notes", "tmp-LiveLive"}));
    EXPECT_EQ(readPlantTable(t, f).recordsRead, 1);
    EXPECT_EQ(t.record(1).name, species);
}

// Links in a shared folder are not followed where that would write or copy
// a file elsewhere: the lock and the work folder are never links, a data
// file leading out of the folder is refused, and a backup gets the
// permissions of the file it copies.
TEST(WorkingFiles, LinksAreNotFollowedOutOfTheFolder)
{
    QTemporaryDir dir, elsewhere;
    const QString f = folderOf(dir), out = folderOf(elsewhere);
    writeFile(f + DataFileName, twoSpecies);
    ASSERT_TRUE(QFile::link(out + "created", f + LockFileName));
    {
        CatalogueChange change(f);
        EXPECT_EQ(change.begin(), CatalogueChange::Result::Failed);
        EXPECT_TRUE(change.error().contains(LockFileName) && change.error().contains(QStringLiteral("リンク")));
    }
    EXPECT_FALSE(QFileInfo::exists(out + "created"));
    QFile::remove(f + LockFileName);

    ASSERT_TRUE(QFile::link(out, f + platform::WorkFolderName));
    {
        CatalogueChange change(f);
        EXPECT_EQ(change.begin(), CatalogueChange::Result::Failed);
        EXPECT_TRUE(change.error().contains(platform::WorkFolderName));
    }
    QFile::remove(f + platform::WorkFolderName);

    // Another account's private file, reached through a link.
    writeFile(out + "private.dat", twoSpecies + "broken line\r\n");
    QFile::remove(f + DataFileName);
    ASSERT_TRUE(QFile::link(out + "private.dat", f + DataFileName));
    PlantTable t;
    const LoadReport r = readPlantTable(t, f);
    EXPECT_TRUE(r.readFailed);
    EXPECT_TRUE(r.failure.contains(QStringLiteral("フォルダの外"))) << r.failure.toStdString();
    EXPECT_EQ(keepBackupOf(f + DataFileName, platform::fileAge(f + DataFileName)), QString());
    QString error;
    EXPECT_EQ(rewritePlantTable(t, f, appendC, &error), CatalogueChange::Result::Failed);
    EXPECT_EQ(QDir(f).entryList({"*.backup-*"}), QStringList());
    EXPECT_EQ(readFile(out + "private.dat"), twoSpecies + "broken line\r\n");

    // A link to a file inside the folder is the data file.
    QFile::remove(f + DataFileName);
    QDir(f).mkdir("data");
    writeFile(f + "data/real.dat", twoSpecies + "broken line\r\n");
    ::chmod(QFile::encodeName(f + "data/real.dat").constData(), 0640);
    ASSERT_TRUE(QFile::link(f + "data/real.dat", f + DataFileName));
    const LoadReport inside = readPlantTable(t, f);
    EXPECT_TRUE(inside.fileRead);
    EXPECT_EQ(inside.stop, LoadReport::Stop::BadField);
    const QString backup = keepBackupOfIncompleteFile(inside);
    ASSERT_FALSE(backup.isEmpty());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(backup).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// Every refusal names the first failure's reason, and a change whose data
// file could not be confirmed on disk is told, not taken for certain.
TEST(HonestReports, TheFirstReasonAndAnUnconfirmedChange)
{
    QTemporaryDir dir;
    const QString f = folderOf(dir);
    writeFile(f + DataFileName, twoSpecies);
    // A read-only file system: creating the lock fails with EROFS; the
    // read-only open tried next fails for a reason of its own.
    platform::injectFaultForTesting(platform::FileOp::Create, LockFileName, EROFS);
    platform::injectFaultForTesting(platform::FileOp::Open, LockFileName, ENOENT);
    QString error;
    PlantTable t;
    EXPECT_EQ(rewritePlantTable(t, f, appendC, &error), CatalogueChange::Result::Failed);
    platform::clearFaultsForTesting();
    EXPECT_TRUE(error.contains("EROFS") && !error.contains("ENOENT")) << error.toStdString();

    // The folder cannot be flushed after the data file was replaced.
    Catalogue c;
    platform::countStepsForTesting();
    ASSERT_EQ(testchanges::run("delete", {c.hdd, "スミレ", "1"}).code, 0);
    const int steps = platform::stepsForTesting();
    // After the data file's rename: the flush, the deleted file, the journal.
    for (int failAt = steps - 3; failAt <= steps; ++failAt) {
        Catalogue d;
        platform::countStepsForTesting(0, failAt, EIO);
        const testchanges::Outcome out = testchanges::run("delete", {d.hdd, "スミレ", "1"});
        platform::clearFaultsForTesting();
        EXPECT_EQ(out.code, 0);
        EXPECT_EQ(snapshot(d.hdd), snapshot(c.hdd));
        // The journal stays then, so the next copy sees which of the two
        // states the disk kept.
        if (out.told.join("").contains(QStringLiteral("確かめられませんでした")))
            EXPECT_TRUE(QFile::exists(d.work() + "journal"));
        recoverCatalogue(d.hdd);
        EXPECT_EQ(snapshot(d.hdd), snapshot(c.hdd));
        EXPECT_EQ(inconsistency(d).toStdString(), "");
    }
}
