#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/collate.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "support/testutil.h"

using testutil::readFile;
using testutil::writeFile;

TEST(Cp932Text, DecodesAsWindowsDoes)
{
    // 0x5C is the backslash, not a yen sign; control codes pass unchanged;
    // 表 has 0x5C as its second byte.
    EXPECT_EQ(cp932::decode(QByteArray("a\\b\x1a\x1c\x7f", 6)), QStringLiteral("a\\b\x1a\x1c\x7f"));
    EXPECT_EQ(cp932::decode(QByteArray("\x95\x5c", 2)), QStringLiteral("表"));
    EXPECT_EQ(cp932::decode(QByteArray("\x83\x6e\x83\x52\x83\x78", 6)), QStringLiteral("ハコベ"));
    EXPECT_EQ(cp932::decode(QByteArray("\xb1", 1)), QStringLiteral("ｱ"));
    // Invalid bytes become replacement characters, and decoding goes on. A
    // lead byte followed by a byte that cannot end a double-byte character
    // stands alone: that byte (a blank, a comma, a line break) is kept.
    EXPECT_EQ(cp932::decode(QByteArray("a\x81\x20" "b\x81", 5)), QStringLiteral("a\uFFFD b\uFFFD"));
    EXPECT_EQ(cp932::decode(QByteArray("a\x81\n\x9f,\xfc\r\n", 8)), QStringLiteral("a\uFFFD\n\uFFFD,\uFFFD\r\n"));
    // A lead byte and a trail byte that name no character are one character.
    EXPECT_EQ(cp932::decode(QByteArray("a\x85\x40z", 4)), QStringLiteral("a\uFFFDz"));
}

TEST(Cp932Text, RepresentableOnlyWhenItComesBackUnchanged)
{
    EXPECT_TRUE(cp932::representable(QStringLiteral("ヤマユリ ①Ⅲ～－")));
    EXPECT_FALSE(cp932::representable(QStringLiteral("¥100")));      // would come back as a backslash
    EXPECT_FALSE(cp932::representable(QStringLiteral("😀")));
    EXPECT_FALSE(cp932::representable(QStringLiteral("한국")));
    QByteArray out;
    EXPECT_FALSE(cp932::encode(QStringLiteral("a😀b"), out));
    EXPECT_EQ(out, QByteArray("a?b"));
    EXPECT_EQ(cp932::byteLength(QStringLiteral("aハ")), 3);
}

TEST(Cp932Text, TruncationFallsBetweenCharacters)
{
    const QString name = QStringLiteral("aアイウ");
    EXPECT_EQ(cp932::truncateToBytes(name, 7), name);
    EXPECT_EQ(cp932::truncateToBytes(name, 6), QStringLiteral("aアイ"));
    EXPECT_EQ(cp932::truncateToBytes(name, 4), QStringLiteral("aア"));
    EXPECT_EQ(cp932::truncateToBytes(name, 0), QString());
    EXPECT_EQ(cp932::truncateToBytes(QStringLiteral("ｱｲｳ"), 2), QStringLiteral("ｱｲ"));
}

TEST(PlatformFiles, MoveNeverReplacesAndCopyDoes)
{
    QTemporaryDir dir;
    const QString a = dir.path() + "/a", b = dir.path() + "/b", c = dir.path() + "/c";
    writeFile(a, "AAA");
    writeFile(b, "BBB");
    EXPECT_FALSE(platform::moveFileNoReplace(a, b));
    EXPECT_EQ(readFile(a), QByteArray("AAA"));
    EXPECT_EQ(readFile(b), QByteArray("BBB"));
    EXPECT_TRUE(platform::moveFileNoReplace(a, c));
    EXPECT_FALSE(platform::fileExists(a));
    EXPECT_FALSE(platform::copyFileNoReplace(c, b));
    EXPECT_TRUE(platform::copyFileReplace(c, b));
    EXPECT_EQ(readFile(b), QByteArray("AAA"));
    EXPECT_TRUE(platform::deleteFile(b));
    EXPECT_FALSE(platform::fileAge(b).present);
    EXPECT_FALSE(platform::fileExists(dir.path()));
    EXPECT_TRUE(platform::folderExists(dir.path()));
}

TEST(PlatformFiles, StampsSeeRewritesWithinOneTick)
{
    QTemporaryDir dir;
    const QString p = dir.path() + "/Tolvarin.dat";
    ASSERT_TRUE(platform::writeFileAtomic(p, "one"));
    const platform::FileStamp first = platform::fileAge(p);
    ASSERT_TRUE(platform::writeFileAtomic(p, "two"));
    EXPECT_NE(platform::fileAge(p), first);
    EXPECT_EQ(platform::fileAge(p), platform::fileAge(p));
}

TEST(NameOrder, JapaneseOrderIgnoringCaseOnly)
{
    EXPECT_LT(platform::compareNames("apple", "Banana"), 0);
    EXPECT_EQ(platform::compareNames("ABC", "abc"), 0);
    EXPECT_EQ(platform::compareNames("ＡＢＣ", "ａｂｃ"), 0);
    EXPECT_NE(platform::compareNames("アサガオ", "あさがお"), 0);
    EXPECT_NE(platform::compareNames("ハコベ", "ﾊｺﾍﾞ"), 0);
    // Kana order, not code-point order of mixed scripts.
    EXPECT_LT(platform::compareNames("アサガオ", "カタバミ"), 0);
    EXPECT_LT(platform::compareNames("あさがお", "カタバミ"), 0);
}

// A folder that cannot be flushed after the rename is reported, not taken
// for success: the new contents are in place but may not survive a power
// cut.
TEST(PlatformFiles, AFolderThatCannotBeFlushedIsReported)
{
    QTemporaryDir dir;
    const QString p = dir.path() + "/memo.txt";
    platform::countStepsForTesting();
    ASSERT_TRUE(platform::writeFileAtomic(p, "one"));
    const int steps = platform::stepsForTesting(); // the folder's flush is the last
    platform::countStepsForTesting(0, steps, EIO);
    QString error;
    EXPECT_FALSE(platform::writeFileAtomic(p, "two", &error));
    platform::clearFaultsForTesting();
    EXPECT_TRUE(error.contains("EIO")) << error.toStdString();
    EXPECT_EQ(readFile(p), QByteArray("two"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"memo.txt"});
}

// Files are never created or opened through a link, and a file reached
// through a link is read only when it lies in the same folder.
TEST(PlatformFiles, LinksOutOfTheFolderAreNotFollowed)
{
    QTemporaryDir dir, other;
    writeFile(other.path() + "/secret", "secret");
    writeFile(dir.path() + "/real", "real");
    ASSERT_TRUE(QFile::link(other.path() + "/secret", dir.path() + "/out"));
    ASSERT_TRUE(QFile::link(dir.path() + "/real", dir.path() + "/in"));
    int error = 0;
    EXPECT_EQ(platform::openForReading(dir.path() + "/out", &error), -1);
    EXPECT_EQ(error, platform::LinkOutOfFolder);
    const int fd = platform::openForReading(dir.path() + "/in", &error);
    EXPECT_GE(fd, 0);
    ::close(fd);
    platform::Folder f;
    ASSERT_TRUE(f.open(dir.path(), &error));
    EXPECT_EQ(f.openRead("out", &error), -1);
    EXPECT_EQ(f.openOrCreate("out", 0644, &error), -1);
    EXPECT_EQ(error, ELOOP);
    EXPECT_EQ(readFile(other.path() + "/secret"), QByteArray("secret"));
}
