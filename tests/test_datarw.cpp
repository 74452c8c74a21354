#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

#include "data/CatalogueChange.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "support/testutil.h"

using testutil::readFile;
using testutil::writeFile;

namespace {

QByteArray sjis(const QString& s)
{
    return cp932::encodeLossy(s);
}

struct Folder {
    QTemporaryDir dir;
    QString path() const { return testutil::folderOf(dir); }
    QString dat() const { return path() + DataFileName; }
    void writeData(const QString& text) const { writeFile(dat(), sjis(text)); }
};

QString names(const PlantTable& t)
{
    QStringList out;
    for (int k = 1; k <= t.plantCount(); ++k)
        out << t.record(k).name;
    return out.join(QLatin1Char('|'));
}

const char* const Hakobe = "ハコベ,1,1,0,0,1,0,0,0,0,0,3,1,0,2,4\r\n";

} // namespace

TEST(DataFileFields, NextFieldTrimsAndConsumes)
{
    QString line = QStringLiteral("  ハコベ , 1,\t2\x01,,last");
    EXPECT_EQ(nextField(line), QStringLiteral("ハコベ"));
    EXPECT_EQ(nextField(line), QStringLiteral("1"));
    EXPECT_EQ(nextField(line), QStringLiteral("2"));
    EXPECT_EQ(nextField(line), QString());
    EXPECT_EQ(nextField(line), QStringLiteral("last"));
    EXPECT_TRUE(line.isEmpty());
    EXPECT_EQ(nextField(line), QString());
}

TEST(DataFileLoad, ReadsTheDocumentedLineAndSortsByName)
{
    Folder f;
    f.writeData(QStringLiteral("ヨメナ,0,0,1,0,1,0,0,0,1,0,2,1,0,1,2\r\n") + QString::fromUtf8(Hakobe));
    PlantTable t;
    const LoadReport r = readPlantTable(t, f.path());
    ASSERT_TRUE(r.complete());
    ASSERT_EQ(t.plantCount(), 2);
    EXPECT_EQ(names(t), QStringLiteral("ハコベ|ヨメナ"));
    const PlantRecord& h = t.record(1);
    EXPECT_EQ(h.seasons, (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(h.colours, (std::array<bool, 6>{true, false, false, false, false, false}));
    EXPECT_EQ(h.flowerShape, 3);
    EXPECT_EQ(h.stemHabit, 1);
    EXPECT_EQ(h.leafMargin, 0);
    EXPECT_EQ(h.leafShape, 2);
    EXPECT_EQ(h.pictureCount, 4);
    EXPECT_EQ(t.plantNames().at(1), QStringLiteral("ヨメナ"));
}

TEST(DataFileLoad, FieldRulesAndEarlyStops)
{
    Folder f;
    PlantTable t;
    // Blanks around fields, "2" as a season, LF-only line ends, extra fields.
    f.writeData(QStringLiteral("  ハコベ , 1,2,0,0,1,0,0,0,0,0,3,1,0,2,4,99,xx\nナズナ,1,0,0,0,1,0,0,0,0,0,9,1,0,1,1\n"));
    LoadReport r = readPlantTable(t, f.path());
    EXPECT_TRUE(r.complete());
    ASSERT_EQ(t.plantCount(), 2);
    EXPECT_EQ(t.record(1).name, QStringLiteral("ナズナ"));
    EXPECT_EQ(t.record(2).name, QStringLiteral("ハコベ"));
    EXPECT_FALSE(t.record(2).seasons[1]);

    // The third line empty: two records, the rest left out and reported.
    f.writeData(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\nB,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n\r\nC,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    r = readPlantTable(t, f.path());
    EXPECT_EQ(t.plantCount(), 2);
    EXPECT_EQ(r.stop, LoadReport::Stop::EmptyLine);
    EXPECT_EQ(r.stopLine, 3);

    // Trailing empty lines only: complete.
    f.writeData(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n\r\n\r\n"));
    EXPECT_TRUE(readPlantTable(t, f.path()).complete());

    // A line of blanks, or an end-of-file byte after the last line, is no
    // nameless species.
    f.writeData(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n\x1a"));
    EXPECT_TRUE(readPlantTable(t, f.path()).complete());
    EXPECT_EQ(names(t), QStringLiteral("A"));
    f.writeData(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n \t \r\nC,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    r = readPlantTable(t, f.path());
    EXPECT_EQ(names(t), QStringLiteral("A"));
    EXPECT_EQ(r.stop, LoadReport::Stop::EmptyLine);
    EXPECT_EQ(r.stopLine, 2);

    // "11" as flower shape ends loading, the bad line's record counted.
    f.writeData(QStringLiteral("B,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\nA,1,0,0,0,0,0,0,0,0,0,11,1,1,1,1\r\nC,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    r = readPlantTable(t, f.path());
    EXPECT_EQ(t.plantCount(), 2);
    EXPECT_EQ(names(t), QStringLiteral("A|B"));
    EXPECT_TRUE(t.record(1).seasons[0]);
    EXPECT_EQ(r.stop, LoadReport::Stop::BadField);
    EXPECT_EQ(r.stopLine, 2);
    EXPECT_TRUE(r.message(QString()).contains(QStringLiteral("2行目")));

    // Too few values, and a value that is not a decimal number.
    for (const char* bad : {"A,1,0,0", "A,1,0,0,0,0,0,0,0,0,0,1,1,1,1,x", "A,1,0,0,0,0,0,0,0,0,0,1,1,1,1,99999999999"}) {
        f.writeData(QString::fromUtf8(bad) + QStringLiteral("\r\n"));
        EXPECT_EQ(readPlantTable(t, f.path()).stop, LoadReport::Stop::BadField) << bad;
    }

    // An empty file is an empty table.
    f.writeData(QString());
    r = readPlantTable(t, f.path());
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(t.plantCount(), 0);
}

TEST(DataFileLoad, LongNamesAreCutBetweenCharacters)
{
    Folder f;
    PlantTable t;
    // 30 double-byte characters = 60 bytes; an odd cut point (one ASCII
    // letter first) would fall inside a character.
    const QString longName = QStringLiteral("a") + QString(30, QChar(0x30A2));
    f.writeData(longName + QStringLiteral(",0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    readPlantTable(t, f.path());
    ASSERT_EQ(t.plantCount(), 1);
    EXPECT_EQ(t.record(1).name, QStringLiteral("a") + QString(24, QChar(0x30A2)));
    EXPECT_EQ(cp932::byteLength(t.record(1).name), 49);
}

TEST(DataFileLoad, MoreThanAThousandLinesAndOverlongLines)
{
    Folder f;
    QString text;
    for (int i = 0; i < 1005; ++i)
        text += QStringLiteral("P%1,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n").arg(i, 4, 10, QLatin1Char('0'));
    f.writeData(text);
    PlantTable t;
    LoadReport r = readPlantTable(t, f.path());
    EXPECT_EQ(t.plantCount(), 1000);
    EXPECT_EQ(r.stop, LoadReport::Stop::TooManyLines);
    EXPECT_EQ(r.stopLine, 1001);

    writeFile(f.dat(), QByteArray(200000, 'x') + "\r\nB,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n");
    r = readPlantTable(t, f.path());
    EXPECT_EQ(r.stop, LoadReport::Stop::BadField);
    EXPECT_EQ(r.stopLine, 1);
}

TEST(DataFileLoad, FallbackAndStampSkip)
{
    Folder f;
    PlantTable t;
    writeFile(f.path() + FallbackFileName, sjis(QString::fromUtf8(Hakobe)));
    LoadReport r = loadPlantTable(t, f.path());
    EXPECT_EQ(r.path, f.path() + FallbackFileName);
    EXPECT_EQ(t.plantCount(), 1);

    // Neither file: the table is unchanged.
    QFile::remove(f.path() + FallbackFileName);
    r = readPlantTable(t, f.path());
    EXPECT_FALSE(r.fileRead);
    EXPECT_EQ(t.plantCount(), 1);

    // Unchanged stamp skips the read; a rewrite (even within the same
    // clock tick) is noticed.
    f.writeData(QString::fromUtf8(Hakobe));
    t.loadedStamp = platform::fileAge(f.dat());
    t.setPlantCount(0);
    EXPECT_TRUE(loadPlantTable(t, f.path()).skipped);
    EXPECT_EQ(t.plantCount(), 0);
    ASSERT_TRUE(platform::writeFileAtomic(f.dat(), sjis(QString::fromUtf8(Hakobe))));
    EXPECT_FALSE(loadPlantTable(t, f.path()).skipped);
    EXPECT_EQ(t.plantCount(), 1);
}

TEST(DataFileWrite, RoundTripAndUnbreakableLines)
{
    PlantTable t;
    int k = t.append(QStringLiteral("ハコベ"));
    t.record(k).seasons = {true, true, false, false};
    t.record(k).colours[0] = true;
    t.record(k).flowerShape = 3;
    t.record(k).stemHabit = 1;
    t.record(k).leafMargin = 0;
    t.record(k).leafShape = 2;
    t.record(k).pictureCount = 4;
    EXPECT_EQ(writePlantTable(t), sjis(QString::fromUtf8(Hakobe)));

    k = t.append(QStringLiteral("Aa,b\r\nc"));
    t.record(k).pictureCount = -7;
    const QByteArray text = writePlantTable(t);
    EXPECT_EQ(text.count("\r\n"), 2);
    EXPECT_EQ(text.count(','), 30);

    Folder f;
    writeFile(f.dat(), text);
    PlantTable back;
    ASSERT_TRUE(readPlantTable(back, f.path()).complete());
    ASSERT_EQ(back.plantCount(), 2);
    EXPECT_EQ(back.record(1).name, QStringLiteral("Aa，b  c"));
    EXPECT_EQ(back.record(1).pictureCount, -7);
    EXPECT_EQ(back.record(2), t.record(1));
}

TEST(PlantTableOrder, SortIgnoresCaseOnlyAndAlwaysEnds)
{
    PlantTable t;
    for (const char* n : {"zeta", "Alpha", "ハコベ", "ﾊｺﾍﾞ", "はこべ", "BETA", "ハコベ", "alpha"})
        t.append(QString::fromUtf8(n));
    t.record(7).pictureCount = 7; // the second ハコベ
    sortPlantTable(t);
    ASSERT_EQ(t.plantCount(), 8);
    QStringList latin;
    for (int k = 1; k <= 4; ++k)
        latin << t.record(k).name;
    EXPECT_EQ(latin, (QStringList{"Alpha", "alpha", "BETA", "zeta"}));
    // Duplicates stay, in file order; the kana variants stay distinct.
    int hakobe = 0;
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(t.plantNames().at(k - 1), t.record(k).name);
        if (t.record(k).name == QStringLiteral("ハコベ"))
            ++hakobe;
    }
    EXPECT_EQ(hakobe, 2);
    EXPECT_EQ(t.findByName(QStringLiteral("はこべ")) != 0, true);
    EXPECT_EQ(t.record(t.findByName(QStringLiteral("ハコベ")) + 1).pictureCount, 7);
}

TEST(PlantTableOrder, AppendRemoveAndRangeChecks)
{
    PlantTable t;
    for (const char* n : {"A", "B", "C"})
        t.append(QString::fromUtf8(n));
    t.remove(1);
    EXPECT_EQ(names(t), QStringLiteral("B|C"));
    EXPECT_EQ(t.plantNames().at(0), QStringLiteral("B"));
    t.remove(2);
    EXPECT_EQ(names(t), QStringLiteral("B"));
    EXPECT_THROW(t.record(0), std::out_of_range);
    EXPECT_THROW(t.record(MaxPlants + 1), std::out_of_range);
    EXPECT_THROW(t.remove(5), std::out_of_range);
    for (int i = t.plantCount(); i < MaxPlants; ++i)
        ASSERT_NE(t.append(QStringLiteral("x")), 0);
    EXPECT_EQ(t.append(QStringLiteral("one too many")), 0);
    EXPECT_EQ(t.plantCount(), MaxPlants);
    // The list keeps the name as entered until the next load.
    PlantTable u;
    const QString entered = QString(40, QChar(0x30A2));
    u.append(entered);
    EXPECT_EQ(u.plantNames().at(0), entered);
    EXPECT_EQ(u.record(1).name.size(), 25);
}

TEST(DataRewriteProtocol, RewriteKeepsBackupOfAnIncompleteFile)
{
    Folder f;
    f.writeData(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n\r\nB,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    const QByteArray original = readFile(f.dat());
    PlantTable t;
    CatalogueChange rw(f.path());
    ASSERT_EQ(rw.begin(), CatalogueChange::Result::Ok);
    EXPECT_FALSE(rw.reload(t).complete());
    ASSERT_EQ(rw.commit(t), CatalogueChange::Result::Ok);
    ASSERT_FALSE(rw.backupPath().isEmpty());
    EXPECT_EQ(readFile(rw.backupPath()), original);
    // The user hears that the lines left out are only in the backup now.
    EXPECT_TRUE(rw.notice().contains(QStringLiteral("2行目の空行より後")));
    EXPECT_TRUE(rw.notice().contains(QFileInfo(rw.backupPath()).fileName()));
    // Loading the same broken file twice makes one backup only.
    PlantTable u;
    writeFile(f.dat(), original);
    const LoadReport r = readPlantTable(u, f.path());
    const QString b1 = keepBackupOfIncompleteFile(r);
    EXPECT_EQ(b1, rw.backupPath());
    EXPECT_EQ(keepBackupOfIncompleteFile(r), b1);
    EXPECT_EQ(QDir(f.path()).entryList({"*.backup-*"}).size(), 1);
    // Another broken version, even within the same second, is kept apart.
    writeFile(f.dat(), original + "C,0\r\n");
    const QString b2 = keepBackupOfIncompleteFile(readPlantTable(u, f.path()));
    EXPECT_NE(b2, b1);
    EXPECT_EQ(readFile(b2), original + "C,0\r\n");
}

// Bytes that are no cp932 character at all do not stop the load: the name
// keeps them, a rewrite gives them back, and the message says just that.
TEST(DataRewriteProtocol, UndecodableTextIsToldAsSuchAndKept)
{
    Folder f;
    QByteArray bytes = cp932::encodeLossy(QStringLiteral("A,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n"));
    bytes += QByteArray("B\x85\x40,0,0,0,0,0,0,0,0,0,0,1,1,1,1,1\r\n");
    writeFile(f.dat(), bytes);
    PlantTable t;
    CatalogueChange rw(f.path());
    ASSERT_EQ(rw.begin(), CatalogueChange::Result::Ok);
    const LoadReport r = rw.reload(t);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.unreadableLine, 2);
    EXPECT_EQ(t.plantCount(), 2);
    const QString told = r.message(QString());
    EXPECT_FALSE(told.contains(QStringLiteral("最後まで読み込めません")));
    EXPECT_TRUE(told.contains(QStringLiteral("2行目")));
    ASSERT_EQ(rw.commit(t), CatalogueChange::Result::Ok);
    EXPECT_EQ(readFile(f.dat()), bytes);
    EXPECT_TRUE(rw.backupPath().isEmpty());

    // Unreadable text before a bad field: both are told.
    bytes += QByteArray("C,0,x\r\n");
    writeFile(f.dat(), bytes);
    const LoadReport both = readPlantTable(t, f.path());
    EXPECT_EQ(both.unreadableLine, 2);
    EXPECT_EQ(both.stop, LoadReport::Stop::BadField);
    EXPECT_EQ(both.stopLine, 3);
    EXPECT_TRUE(both.message(QString()).contains(QStringLiteral("2行目")));
    EXPECT_TRUE(both.message(QString()).contains(QStringLiteral("3行目")));
}

TEST(DataRewriteProtocol, CommitNeedsTheLockAndAFreshRead)
{
    Folder f;
    f.writeData(QString::fromUtf8(Hakobe));
    PlantTable t;
    CatalogueChange rw(f.path());
    EXPECT_EQ(rw.commit(t), CatalogueChange::Result::Busy);
    ASSERT_EQ(rw.begin(), CatalogueChange::Result::Ok);
    EXPECT_EQ(rw.commit(t), CatalogueChange::Result::Failed);
    EXPECT_EQ(readFile(f.dat()), sjis(QString::fromUtf8(Hakobe)));
}

TEST(DataRewriteProtocol, FailedWritesLeaveTheOldFile)
{
    Folder f;
    f.writeData(QString::fromUtf8(Hakobe));
    PlantTable t;
    platform::setWriteFaultForTesting(DataFileName);
    const auto result = rewritePlantTable(t, f.path(), [](PlantTable& t) {
        t.setPlantCount(0);
        return true;
    });
    platform::setWriteFaultForTesting(QString());
    EXPECT_EQ(result, CatalogueChange::Result::Failed);
    EXPECT_EQ(readFile(f.dat()), sjis(QString::fromUtf8(Hakobe)));
    EXPECT_EQ(QDir(f.path()).entryList({"*.tmp-*"}).size(), 0);

    // A folder that does not exist (or cannot be written) fails cleanly.
    QString error;
    EXPECT_EQ(rewritePlantTable(t, f.path() + "missing/", [](PlantTable&) { return true; }, &error),
              CatalogueChange::Result::Failed);
    EXPECT_FALSE(error.isEmpty());
    if (::geteuid() != 0) {
        QFile::setPermissions(f.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_NE(rewritePlantTable(t, f.path(), [](PlantTable&) { return true; }), CatalogueChange::Result::Ok);
        QFile::setPermissions(f.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(readFile(f.dat()), sjis(QString::fromUtf8(Hakobe)));
    }
}

TEST(DataRewriteProtocol, FallbackIsACopyOfTheFileLastRead)
{
    Folder f;
    f.writeData(QString::fromUtf8(Hakobe));
    PlantTable t;
    {
        CatalogueChange rw(f.path());
        ASSERT_EQ(rw.begin(), CatalogueChange::Result::Ok);
        rw.reload(t);
        rw.keepPreviousAsFallback();
        EXPECT_TRUE(platform::fileExists(f.dat()));
        t.append(QStringLiteral("ナズナ"));
        ASSERT_EQ(rw.commit(t), CatalogueChange::Result::Ok);
    }
    EXPECT_EQ(readFile(f.path() + FallbackFileName), sjis(QString::fromUtf8(Hakobe)));
    // The next change keeps the file as it is now, not a stale one.
    const QByteArray now = readFile(f.dat());
    CatalogueChange again(f.path());
    ASSERT_EQ(again.begin(), CatalogueChange::Result::Ok);
    again.reload(t);
    again.keepPreviousAsFallback();
    EXPECT_EQ(readFile(f.path() + FallbackFileName), now);
}

TEST(DataRewriteProtocol, SecondCopyIsToldBusyAndChangesNothing)
{
    Folder f;
    f.writeData(QString::fromUtf8(Hakobe));
    QProcess holder;
    holder.start(testutil::toolPath("tolvarin_datatool"), {"hold", f.path(), "3000"});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine().trimmed(), QByteArray("locked"));

    PlantTable t;
    QString error;
    bool changed = false;
    EXPECT_EQ(rewritePlantTable(t, f.path(), [&](PlantTable&) { return changed = true; }, &error),
              CatalogueChange::Result::Busy);
    EXPECT_FALSE(changed);
    EXPECT_EQ(error, BusyMessage);
    EXPECT_EQ(readFile(f.dat()), sjis(QString::fromUtf8(Hakobe)));

    // Another process is refused the same way while this copy holds it.
    holder.kill();
    holder.waitForFinished();
    CatalogueChange mine(f.path());
    ASSERT_EQ(mine.begin(), CatalogueChange::Result::Ok);
    EXPECT_EQ(QProcess::execute(testutil::toolPath("tolvarin_datatool"), {"try-append", f.path(), "X"}), 3);
}

TEST(DataRewriteProtocol, NoChangeIsLostBetweenCopies)
{
    Folder f;
    f.writeData(QString::fromUtf8(Hakobe));
    PlantTable mine;
    readPlantTable(mine, f.path());
    // Two other copies register species while this copy's table is stale,
    // one of them concurrently with this copy's own rewrite.
    ASSERT_EQ(QProcess::execute(testutil::toolPath("tolvarin_datatool"), {"append", f.path(), "ナズナ"}), 0);
    QProcess other;
    other.start(testutil::toolPath("tolvarin_datatool"), {"append", f.path(), "スミレ"});
    // While the other copy holds the file this copy is told it is busy,
    // and tries again as a user would.
    CatalogueChange::Result result = CatalogueChange::Result::Busy;
    for (int attempt = 0; attempt < 500 && result == CatalogueChange::Result::Busy; ++attempt) {
        result = rewritePlantTable(mine, f.path(), [](PlantTable& t) {
            const int k = t.findByName(QStringLiteral("ハコベ"));
            if (k == 0)
                return false;
            t.record(k).pictureCount = 3;
            return true;
        });
        if (result == CatalogueChange::Result::Busy)
            QThread::msleep(10);
    }
    ASSERT_EQ(result, CatalogueChange::Result::Ok);
    ASSERT_TRUE(other.waitForFinished(20000));
    EXPECT_EQ(other.exitCode(), 0);
    PlantTable check;
    readPlantTable(check, f.path());
    EXPECT_EQ(names(check), QStringLiteral("スミレ|ナズナ|ハコベ"));
    EXPECT_EQ(check.record(check.findByName(QStringLiteral("ハコベ"))).pictureCount, 3);
}

TEST(DataRewriteProtocol, KillingAWriterLeavesAWholeTable)
{
    Folder f;
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("種%1,1,0,1,0,1,0,0,0,0,0,3,1,0,2,1\r\n").arg(i, 3, 10, QLatin1Char('0'));
    f.writeData(text);
    // How long a writer takes to start and make a few rewrites on this
    // machine, now: the kills are spread over that span, so they land
    // before, during and between rewrites however loaded the machine is.
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(QProcess::execute(testutil::toolPath("tolvarin_datatool"), {"flip", f.path(), "4"}), 0);
    const qint64 spanUs = std::max<qint64>(4000, timer.nsecsElapsed() / 1000);
    auto* rng = QRandomGenerator::global();
    QSet<int> seen;
    for (int round = 0; round < 60; ++round) {
        QProcess writer;
        writer.start(testutil::toolPath("tolvarin_datatool"), {"flip", f.path(), "100000"});
        ASSERT_TRUE(writer.waitForStarted());
        QThread::usleep(ulong(rng->bounded(spanUs / 4, spanUs * 2)));
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();
        // Every reader sees one whole version: 400 records with one count.
        PlantTable t;
        const LoadReport r = readPlantTable(t, f.path());
        ASSERT_TRUE(r.complete()) << "round " << round;
        ASSERT_EQ(r.path, f.dat());
        ASSERT_EQ(t.plantCount(), 400) << "round " << round;
        const int count = t.record(1).pictureCount;
        for (int k = 2; k <= 400; ++k)
            ASSERT_EQ(t.record(k).pictureCount, count) << "round " << round;
        seen.insert(count);
    }
    // The writers were killed at different points, after both versions.
    EXPECT_EQ(seen.size(), 2);
    // The next rewrite clears the temporary files the killed writers left.
    PlantTable t;
    ASSERT_EQ(rewritePlantTable(t, f.path(), [](PlantTable&) { return true; }), CatalogueChange::Result::Ok);
    EXPECT_EQ(QDir(f.path()).entryList({"*.tmp-*"}).size(), 0);
    EXPECT_EQ(QDir(f.path() + platform::WorkFolderName).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

// A catalogue made on Windows opens unchanged: the codes Windows writes for
// NEC-selected IBM extensions, NEC row 13 and IBM extensions stand for
// characters other codes stand for too, and a name keeps its own bytes
// through a load and a rewrite, so it stays the name of its files. A tab or
// NUL in a name from a hand-edited file is kept as well.
TEST(DataFileNames, KeepTheirBytesThroughALoadAndARewrite)
{
    Folder f;
    QByteArray bytes;
    for (const char* name : {"\xED\x40\x87\x90", "\xEE\xF9\x87\x9A\x87\x9C", "\xFA\x54\xFA\x58\xFA\x59\xFA\x5A\xFA\x5B",
                             "\x83\x6E\x83\x52\x83\x78", "A\tB", "C"})
        bytes += QByteArray(name) + ",1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\n";
    static const char withNul[] = "D\0E,1,0,0,0,1,0,0,0,0,0,3,1,0,2,1\r\n";
    bytes += QByteArray(withNul, sizeof withNul - 1);
    writeFile(f.dat(), bytes);
    PlantTable t;
    CatalogueChange rw(f.path());
    ASSERT_EQ(rw.begin(), CatalogueChange::Result::Ok);
    const LoadReport r = rw.reload(t);
    EXPECT_FALSE(r.needsTelling()) << r.message(QString()).toStdString();
    ASSERT_EQ(t.plantCount(), 7);
    // 纊≒ is found under the name its files have, whichever code spelled it.
    EXPECT_NE(t.findByName(QStringLiteral("纊≒")), 0);
    EXPECT_NE(t.findByName(QStringLiteral("A\tB")), 0);
    EXPECT_NE(t.findByName(QString::fromUtf16(u"D\0E", 3)), 0);
    ASSERT_EQ(rw.commit(t), CatalogueChange::Result::Ok);
    PlantTable back;
    readPlantTable(back, f.path());
    EXPECT_EQ(writePlantTable(back), writePlantTable(t));
    QList<QByteArray> before = bytes.split('\n'), after = readFile(f.dat()).split('\n');
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
    EXPECT_TRUE(rw.notice().isEmpty());
    EXPECT_TRUE(QDir(f.path()).entryList({"*.backup-*"}).isEmpty());

    // A name that cannot be written as it is is refused, not changed.
    t.record(t.append(QStringLiteral("ハコベ,ナズナ"))).pictureCount = 1;
    const QByteArray kept = readFile(f.dat());
    EXPECT_EQ(rw.commit(t), CatalogueChange::Result::Failed);
    EXPECT_TRUE(rw.error().contains(QStringLiteral("ハコベ,ナズナ")));
    EXPECT_EQ(readFile(f.dat()), kept);
}
