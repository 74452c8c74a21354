#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "memo/MemoFile.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "support/testutil.h"

namespace {

struct Folders {
    QTemporaryDir dir;
    QString cd;
    QString hdd;
    Folders()
    {
        cd = testutil::folderOf(dir) + "cd/";
        hdd = testutil::folderOf(dir) + "hdd/";
        QDir().mkpath(cd);
        QDir().mkpath(hdd);
    }
};

QByteArray sjis(const QString& text)
{
    return cp932::encodeLossy(text);
}

} // namespace

TEST(MemoFile, SelectPrefersTheCdFolder)
{
    Folders f;
    const QString name = QStringLiteral("ハコベ");
    EXPECT_EQ(memoFileName(f.hdd, name), f.hdd + QStringLiteral("ハコベ.txt"));
    EXPECT_EQ(selectMemoFile(f.cd, f.hdd, name), QString());

    testutil::writeFile(f.hdd + QStringLiteral("ハコベ.txt"), "hdd\r\n");
    EXPECT_EQ(selectMemoFile(f.cd, f.hdd, name), f.hdd + QStringLiteral("ハコベ.txt"));

    testutil::writeFile(f.cd + QStringLiteral("ハコベ.txt"), "cd\r\n");
    EXPECT_EQ(selectMemoFile(f.cd, f.hdd, name), f.cd + QStringLiteral("ハコベ.txt"));

    // A folder of that name is not a memo file.
    QDir().mkpath(f.hdd + QStringLiteral("スミレ.txt"));
    EXPECT_EQ(selectMemoFile(f.cd, f.hdd, QStringLiteral("スミレ")), QString());
}

TEST(MemoFile, ReadSplitsAtEveryLineEndAndStopsAtNul)
{
    Folders f;
    const QString path = f.hdd + "m.txt";
    QStringList lines;

    testutil::writeFile(path, sjis(QStringLiteral("春に咲く\r\n白い花\r\n")));
    ASSERT_TRUE(readMemoLines(path, lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("春に咲く"), QStringLiteral("白い花")}));

    // LF, lone CR, CR followed by CR LF, an empty line, no final line end.
    testutil::writeFile(path, "a\nb\rc\r\r\nd\n\ne");
    ASSERT_TRUE(readMemoLines(path, lines));
    EXPECT_EQ(lines, (QStringList{"a", "b", "c", "", "d", "", "e"}));

    testutil::writeFile(path, QByteArray("one\r\ntwo\0three\r\nfour\r\n", 22));
    ASSERT_TRUE(readMemoLines(path, lines));
    EXPECT_EQ(lines, (QStringList{"one", "two"}));

    testutil::writeFile(path, QByteArray());
    ASSERT_TRUE(readMemoLines(path, lines));
    EXPECT_TRUE(lines.isEmpty());

    EXPECT_FALSE(readMemoLines(f.hdd + "missing.txt", lines));
}

TEST(MemoFile, TextAndLinesRoundTrip)
{
    for (const QStringList& lines : {QStringList{}, QStringList{""}, QStringList{"a"}, QStringList{"a", ""},
                                     QStringList{"", "", "b"}})
        EXPECT_EQ(memoLines(memoText(lines)), lines);
    // Text typed without a final line break has the same lines.
    EXPECT_EQ(memoLines(QStringLiteral("a\nb")), (QStringList{"a", "b"}));
    EXPECT_TRUE(memoLines(QString()).isEmpty());
}

TEST(MemoFile, WriteEndsEveryLineWithCrLf)
{
    Folders f;
    const QString path = f.hdd + QStringLiteral("ハコベ.txt");
    ASSERT_TRUE(writeMemoFile(path, QStringLiteral("春に咲く\n白い花")));
    EXPECT_EQ(testutil::readFile(path), sjis(QStringLiteral("春に咲く\r\n白い花\r\n")));

    // A file with LF line ends, read and written back, gets CR LF.
    testutil::writeFile(path, "x\ny\n\nz\n");
    QString text;
    ASSERT_TRUE(readMemoFile(path, text));
    ASSERT_TRUE(writeMemoFile(path, text));
    EXPECT_EQ(testutil::readFile(path), QByteArray("x\r\ny\r\n\r\nz\r\n"));
}

TEST(MemoFile, WriteRefusesTextOutsideCp932)
{
    Folders f;
    const QString path = f.hdd + "m.txt";
    testutil::writeFile(path, "old\r\n");
    QString error;
    EXPECT_FALSE(writeMemoFile(path, QStringLiteral("花 \U0001F33C\n"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("\U0001F33C")));
    EXPECT_FALSE(writeMemoFile(path, QStringLiteral("a") + QChar(0) + QStringLiteral("b"), &error));
    EXPECT_EQ(testutil::readFile(path), QByteArray("old\r\n"));
}

TEST(MemoFile, FailedWriteKeepsOldMemo)
{
    Folders f;
    const QString path = f.hdd + "m.txt";
    testutil::writeFile(path, "old\r\n");
    platform::setWriteFaultForTesting(QStringLiteral("m.txt"));
    QString error;
    EXPECT_FALSE(writeMemoFile(path, QStringLiteral("new"), &error));
    platform::setWriteFaultForTesting(QString());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testutil::readFile(path), QByteArray("old\r\n"));
}

TEST(MemoFile, LinuxLookAlikesAreWrittenAsTheirCp932Forms)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "m.txt";
    ASSERT_TRUE(writeMemoFile(path, QStringLiteral("花期 5〜7月")));
    EXPECT_EQ(testutil::readFile(path), cp932::encodeLossy(QStringLiteral("花期 5～7月\r\n")));
}

TEST(PadMemo, NewMemoGoesToTheHardDisk)
{
    Folders f;
    const QString def = memoFileName(f.hdd, QStringLiteral("スミレ"));
    QString memoPath;
    EXPECT_EQ(savePadMemo(memoPath, def, QStringLiteral("紫の花\n"), true), PadMemoResult::Saved);
    EXPECT_EQ(memoPath, def);
    EXPECT_EQ(testutil::readFile(def), sjis(QStringLiteral("紫の花\r\n")));

    // No text and no file: nothing happens.
    QString none;
    EXPECT_EQ(savePadMemo(none, memoFileName(f.hdd, QStringLiteral("無し")), QString(), true),
              PadMemoResult::Unchanged);
    EXPECT_EQ(none, QString());
    EXPECT_TRUE(QDir(f.hdd).entryList(QDir::Files) == QStringList{QStringLiteral("スミレ.txt")});

    // A new memo that cannot be written leaves the species without one.
    QString bad;
    QString error;
    EXPECT_EQ(savePadMemo(bad, memoFileName(f.hdd, QStringLiteral("キク")), QStringLiteral("\U0001F33C"), true,
                          &error),
              PadMemoResult::Failed);
    EXPECT_EQ(bad, QString());
    EXPECT_FALSE(error.isEmpty());
}

TEST(PadMemo, ExistingMemoSavedInPlaceOnlyWhenModified)
{
    Folders f;
    const QString onCd = memoFileName(f.cd, QStringLiteral("スミレ"));
    const QString def = memoFileName(f.hdd, QStringLiteral("スミレ"));
    testutil::writeFile(onCd, "cd\r\n");
    QString memoPath = selectMemoFile(f.cd, f.hdd, QStringLiteral("スミレ"));
    EXPECT_EQ(savePadMemo(memoPath, def, QStringLiteral("cd\n"), false), PadMemoResult::Unchanged);
    EXPECT_EQ(savePadMemo(memoPath, def, QStringLiteral("changed\n"), true), PadMemoResult::Saved);
    EXPECT_EQ(testutil::readFile(onCd), QByteArray("changed\r\n"));
    EXPECT_FALSE(platform::fileExists(def));
}

TEST(PadMemo, EmptiedMemoDeletedOnlyOnTheHardDisk)
{
    Folders f;
    const QString onCd = memoFileName(f.cd, QStringLiteral("スミレ"));
    const QString onHdd = memoFileName(f.hdd, QStringLiteral("スミレ"));
    testutil::writeFile(onCd, "cd\r\n");
    testutil::writeFile(onHdd, "hdd\r\n");

    // Found in the CD-ROM folder: emptying it leaves the file as it was.
    QString memoPath = selectMemoFile(f.cd, f.hdd, QStringLiteral("スミレ"));
    EXPECT_EQ(savePadMemo(memoPath, onHdd, QString(), true), PadMemoResult::Unchanged);
    EXPECT_EQ(testutil::readFile(onCd), QByteArray("cd\r\n"));
    EXPECT_EQ(memoPath, onCd);

    // Found in the hard-disk folder: emptying it deletes the file.
    QFile::remove(onCd);
    memoPath = selectMemoFile(f.cd, f.hdd, QStringLiteral("スミレ"));
    ASSERT_EQ(memoPath, onHdd);
    // An empty page the user did not empty (the memo could not be read,
    // say) deletes nothing.
    EXPECT_EQ(savePadMemo(memoPath, onHdd, QString(), false), PadMemoResult::Unchanged);
    EXPECT_EQ(testutil::readFile(onHdd), QByteArray("hdd\r\n"));
    EXPECT_EQ(savePadMemo(memoPath, onHdd, QString(), true), PadMemoResult::Deleted);
    EXPECT_FALSE(platform::fileExists(onHdd));
    EXPECT_EQ(memoPath, QString());
}

// A memo saved by a Linux text editor is UTF-8; it is read as such, while
// cp932 memos (also those whose bytes happen to be well-formed UTF-8) stay
// cp932.
TEST(MemoFile, Utf8MemosAreReadAsUtf8)
{
    Folders f;
    const QString path = f.hdd + "m.txt";
    const QString text = QStringLiteral("春の七草のひとつ。\n花は白く、5〜7月に咲く 🌼\n");
    const struct {
        const char* what;
        QByteArray bytes;
        QString expected;
    } cases[] = {
        {"UTF-8, LF", text.toUtf8(), text},
        {"UTF-8 with its mark", QByteArray("\xEF\xBB\xBF") + QByteArray("é\r\nß"), QStringLiteral("é\nß\n")},
        {"UTF-8 Latin", QByteArray("Stellaria média"), QStringLiteral("Stellaria média\n")},
        // Only the mark that starts the file is not text.
        {"two marks", QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "a"), QString(QChar(0xFEFF)) + QStringLiteral("a\n")},
        {"cp932", sjis(QStringLiteral("春の七草。白い花\r\n")), QStringLiteral("春の七草。白い花\n")},
        // Half-width kana ﾊｲ are the bytes CA B2, well-formed UTF-8 for a
        // phonetic modifier letter: not text, so cp932.
        {"cp932 that is well-formed UTF-8", sjis(QStringLiteral("ﾊｲ")), QStringLiteral("ﾊｲ\n")},
        {"ASCII", QByteArray("plain\r\n"), QStringLiteral("plain\n")},
    };
    for (const auto& c : cases) {
        testutil::writeFile(path, c.bytes);
        QString read;
        ASSERT_TRUE(readMemoFile(path, read)) << c.what;
        EXPECT_EQ(read, c.expected) << c.what;
    }
}

// Saving goes back to cp932 when every character fits; a UTF-8 memo whose
// text does not fit stays UTF-8; nothing is lost either way.
TEST(MemoFile, SavedInCp932WhenItFitsElseKeptInUtf8)
{
    Folders f;
    const QString path = f.hdd + "m.txt";
    testutil::writeFile(path, QStringLiteral("白い花\n").toUtf8());
    ASSERT_TRUE(writeMemoFile(path, QStringLiteral("白い花\n5〜7月\n")));
    EXPECT_EQ(testutil::readFile(path), sjis(QStringLiteral("白い花\r\n5～7月\r\n")));

    testutil::writeFile(path, QStringLiteral("白い花\n").toUtf8());
    const QString flower = QStringLiteral("白い花 🌼\n𠮷野で採集\n");
    QString error;
    ASSERT_TRUE(writeMemoFile(path, flower, &error)) << qPrintable(error);
    EXPECT_EQ(testutil::readFile(path), QStringLiteral("白い花 🌼\r\n𠮷野で採集\r\n").toUtf8());
    QString back;
    ASSERT_TRUE(readMemoFile(path, back));
    EXPECT_EQ(back, flower);

    // cp932 text that would read back as other text is kept in UTF-8.
    const QString kana = QStringLiteral("ﾃｩ\n"); // cp932 C3 A9 reads as é
    ASSERT_TRUE(writeMemoFile(path, kana));
    ASSERT_TRUE(readMemoFile(path, back));
    EXPECT_EQ(back, kana);
}

// The search pad's save of a memo read from UTF-8 (an edited Linux memo
// with a character cp932 lacks) succeeds where it used to be refused.
TEST(PadMemo, EditedUtf8MemoIsSaved)
{
    Folders f;
    const QString def = memoFileName(f.hdd, QStringLiteral("ハコベ"));
    testutil::writeFile(def, QStringLiteral("花びら①②…\n").toUtf8() + QByteArray("\xE2\x80\x8B") + "\n");
    QString memoPath = def;
    QString text;
    ASSERT_TRUE(readMemoFile(def, text));
    text += QStringLiteral("追記\n");
    QString error;
    EXPECT_EQ(savePadMemo(memoPath, def, text, true, &error), PadMemoResult::Saved) << qPrintable(error);
    QString back;
    ASSERT_TRUE(readMemoFile(def, back));
    EXPECT_EQ(back, text);
}
