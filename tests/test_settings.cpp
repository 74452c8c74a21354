#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include "platform/cp932.h"
#include "platform/files.h"
#include "settings/IniFile.h"
#include "settings/folderrules.h"
#include "settings/func.h"
#include "support/testutil.h"

namespace {

const QString ExeFolder = QStringLiteral("/opt/tolvarin/");

Settings loadFrom(const QString& path)
{
    Settings s;
    loadSettings(path, ExeFolder, s);
    return s;
}

QByteArray sjis(const QString& text)
{
    return cp932::encodeLossy(text);
}

} // namespace

TEST(FolderWithBackslash, FolderForm)
{
    EXPECT_EQ(folderWithBackslash(QString()), QString());
    EXPECT_EQ(folderWithBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderWithBackslash(QStringLiteral("/home/a/picture")), QStringLiteral("/home/a/picture/"));
    EXPECT_EQ(folderWithBackslash(QStringLiteral("/home/a/picture/")), QStringLiteral("/home/a/picture/"));
    // 表 ends in byte 0x5C in cp932; in memory it is one character, not a separator.
    EXPECT_EQ(folderWithBackslash(QStringLiteral("/data/一覧表")), QStringLiteral("/data/一覧表/"));
}

TEST(PlaceRect, KeepsFormsInsideTheWorkArea)
{
    const QRect area(0, 0, 1024, 740);
    // Already inside: unchanged.
    EXPECT_EQ(placeRect(QRect(10, 20, 640, 500), area), QRect(10, 20, 640, 500));
    // Exactly filling the area still fits.
    EXPECT_EQ(placeRect(QRect(0, 0, 1024, 740), area), QRect(0, 0, 1024, 740));
    // Larger than the area: shrunk to it.
    EXPECT_EQ(placeRect(QRect(0, 0, 2000, 1000), area), QRect(0, 0, 1024, 740));
    // Partly beyond the right and bottom edges: moved back inside.
    EXPECT_EQ(placeRect(QRect(900, 700, 400, 200), area), QRect(624, 540, 400, 200));
    // Before the left and top edges: moved to them.
    EXPECT_EQ(placeRect(QRect(-50, -30, 400, 200), area), QRect(0, 0, 400, 200));
}

TEST(PlaceRect, WorkAreaNotAtOrigin)
{
    // A task bar on the left and top: the work area starts at (60, 30).
    const QRect area(60, 30, 800, 600);
    EXPECT_EQ(placeRect(QRect(0, 0, 640, 500), area), QRect(60, 30, 640, 500));
    EXPECT_EQ(placeRect(QRect(500, 400, 640, 500), area), QRect(220, 130, 640, 500));
    EXPECT_EQ(placeRect(QRect(-100, 900, 900, 700), area), QRect(60, 30, 800, 600));
}

TEST(SettingsPath, ExtensionReplacedOrAdded)
{
    EXPECT_EQ(settingsPathFor(QStringLiteral("/opt/tolvarin/tolvarin")), QStringLiteral("/opt/tolvarin/tolvarin.ini"));
    EXPECT_EQ(settingsPathFor(QStringLiteral("/opt/x/Tolvarin.exe")), QStringLiteral("/opt/x/Tolvarin.ini"));
    // A dot in a folder name is not an extension.
    EXPECT_EQ(settingsPathFor(QStringLiteral("/opt/v1.5/tolvarin")), QStringLiteral("/opt/v1.5/tolvarin.ini"));
    EXPECT_TRUE(settingsFilePath().endsWith(QLatin1String(".ini")));
}

TEST(LoadSettings, MissingFileGivesDefaults)
{
    QTemporaryDir dir;
    const Settings s = loadFrom(testutil::folderOf(dir) + "none.ini");
    EXPECT_EQ(s.windowLeft, 0);
    EXPECT_EQ(s.windowTop, 0);
    EXPECT_EQ(s.windowWidth, 640);
    EXPECT_EQ(s.windowHeight, 500);
    EXPECT_EQ(s.cdDir, QStringLiteral("/opt/tolvarin/picture"));
    EXPECT_EQ(s.hddDir, QStringLiteral("/opt/tolvarin/picture"));
    EXPECT_EQ(s.addDir, QStringLiteral("/opt/tolvarin/picture"));
    EXPECT_TRUE(s.showConditions);
    EXPECT_TRUE(s.imageAutoSize);
    EXPECT_EQ(s.memoWidth, 400);
    EXPECT_EQ(s.memoHeight, 200);
    EXPECT_EQ(s.memoSize, 9);
    EXPECT_EQ(s.memoName, QStringLiteral("MS Pゴシック"));
    EXPECT_EQ(s.memoColor, -16777208);
    EXPECT_EQ(s.memoBgColor, 12632256);
    EXPECT_FALSE(s.memoBold || s.memoItalic || s.memoUnder || s.memoStrike);
    // The default folder without a trailing "/" on the executable folder.
    Settings t;
    loadSettings(testutil::folderOf(dir) + "none.ini", QStringLiteral("/opt/tolvarin"), t);
    EXPECT_EQ(t.hddDir, QStringLiteral("/opt/tolvarin/picture"));
}

TEST(LoadSettings, ValueForms)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "t.ini";
    testutil::writeFile(path, sjis(QStringLiteral(
        "[Window]\r\n"
        "Left=-20\r\n"
        "Top=0x10\r\n"
        "Width=abc\r\n"
        "Height=12abc\r\n"
        "[Dir]\r\n"
        "CdDir=\r\n"
        "HddDir=/srv/写真/\r\n"
        "[Search]\r\n"
        "Left=99999999999\r\n"
        "Button=0\r\n"
        "[Image]\r\n"
        "AutoSize=7\r\n"
        "[Memo]\r\n"
        "Color=0xFF000008\r\n"
        "BgColor=0x000000FF\r\n"
        "Name=ＭＳ 明朝\r\n"
        "Bold=1\r\n"
        "Italic=x\r\n")));
    const Settings s = loadFrom(path);
    EXPECT_EQ(s.windowLeft, -20);
    EXPECT_EQ(s.windowTop, 16);
    EXPECT_EQ(s.windowWidth, 640);  // not a number
    EXPECT_EQ(s.windowHeight, 500); // trailing junk
    EXPECT_EQ(s.cdDir, QStringLiteral("/opt/tolvarin/picture")); // empty value
    EXPECT_EQ(s.hddDir, QStringLiteral("/srv/写真/"));
    EXPECT_EQ(s.addDir, QStringLiteral("/opt/tolvarin/picture")); // missing key
    EXPECT_EQ(s.searchLeft, 0); // out of 32-bit range
    EXPECT_FALSE(s.showConditions);
    EXPECT_TRUE(s.imageAutoSize);
    EXPECT_EQ(s.memoColor, -16777208);
    EXPECT_EQ(s.memoBgColor, 255);
    EXPECT_EQ(colourFromSetting(s.memoBgColor), QColor(255, 0, 0));
    EXPECT_EQ(s.memoName, QStringLiteral("ＭＳ 明朝"));
    EXPECT_TRUE(s.memoBold);
    EXPECT_FALSE(s.memoItalic); // not a number: default
}

TEST(LoadSettings, ProfileFileConventions)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "t.ini";
    // Letter case of sections and keys does not matter, blanks around
    // them do not count, a pair of quotes is removed, lone LF and CR end
    // lines, a comment is not a key, the first of two sections wins.
    testutil::writeFile(path, "; Left=5\n"
                              "[ window ]\r"
                              "  LEFT = 33 \n"
                              "top=\t44\n"
                              "[Memo]\n"
                              "Name=\" Courier \"\n"
                              "Size=+11\n"
                              "[WINDOW]\n"
                              "Width=100\n");
    const Settings s = loadFrom(path);
    EXPECT_EQ(s.windowLeft, 33);
    EXPECT_EQ(s.windowTop, 44);
    EXPECT_EQ(s.windowWidth, 640);
    EXPECT_EQ(s.memoName, QStringLiteral(" Courier "));
    EXPECT_EQ(s.memoSize, 11);
}

TEST(LoadSettings, LongStringCutBetweenCharacters)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "t.ini";
    // 2046 ASCII bytes then a double-byte character: it does not fit whole.
    const QString value = QString(2046, QLatin1Char('a')) + QStringLiteral("表表");
    testutil::writeFile(path, "[Dir]\r\nCdDir=" + sjis(value) + "\r\n");
    EXPECT_EQ(loadFrom(path).cdDir, QString(2046, QLatin1Char('a')));
}

TEST(SaveSettings, FreshFileInTableOrder)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    Settings s = loadFrom(path);
    ASSERT_TRUE(saveSettings(path, s));
    const QByteArray expected = sjis(QStringLiteral(
        "[Window]\r\nLeft=0\r\nTop=0\r\nWidth=640\r\nHeight=500\r\n"
        "\r\n[Dir]\r\nCdDir=/opt/tolvarin/picture\r\nHddDir=/opt/tolvarin/picture\r\n"
        "AddDir=/opt/tolvarin/picture\r\n"
        "\r\n[Search]\r\nLeft=0\r\nTop=0\r\nButton=1\r\nTolerance=0\r\n"
        "\r\n[Image]\r\nLeft=0\r\nTop=0\r\nAutoSize=1\r\n"
        "\r\n[List]\r\nLeft=0\r\nTop=0\r\n"
        "\r\n[Memo]\r\nLeft=0\r\nTop=0\r\nWidth=400\r\nHeight=200\r\nColor=-16777208\r\nSize=9\r\n"
        "Name=MS Pゴシック\r\nBold=0\r\nItalic=0\r\nUnder=0\r\nStrike=0\r\nBgColor=12632256\r\n"
        "\r\n[Compare]\r\nLeft=0\r\nTop=0\r\nWidth=720\r\nHeight=560\r\n"));
    EXPECT_EQ(testutil::readFile(path), expected);
    // "MS Pゴシック" is stored in cp932: half-width "MS P", then 4 double-byte characters.
    EXPECT_TRUE(testutil::readFile(path).contains(QByteArray("Name=MS P\x83\x53\x83\x56\x83\x62\x83\x4E\r\n")));
}

TEST(SaveSettings, ToleranceIsReadAndKeptWithTheLinesOfOtherVersions)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    // A file of a version without the key searches exactly.
    testutil::writeFile(path, "[Search]\r\nLeft=3\r\nTop=4\r\nButton=0\r\n");
    Settings s = loadFrom(path);
    EXPECT_EQ(s.searchTolerance, 0);
    s.searchTolerance = 2;
    ASSERT_TRUE(saveSettings(path, s));
    EXPECT_TRUE(testutil::readFile(path).startsWith("[Search]\r\nLeft=3\r\nTop=4\r\nButton=0\r\nTolerance=2\r\n"));
    EXPECT_EQ(loadFrom(path).searchTolerance, 2);

    // Keys this version does not know, in its sections and others, survive
    // its rewrite where they stood.
    testutil::writeFile(path, "[Search]\r\nTolerance=1\r\nFuture=x\r\n[Compare]\r\nZoom=3\r\nLeft=12\r\n");
    s = loadFrom(path);
    EXPECT_EQ(s.searchTolerance, 1);
    EXPECT_EQ(s.compareLeft, 12);
    ASSERT_TRUE(saveSettings(path, s));
    const QByteArray text = testutil::readFile(path);
    EXPECT_TRUE(text.startsWith("[Search]\r\nTolerance=1\r\nFuture=x\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("[Compare]\r\nZoom=3\r\nLeft=12\r\n")) << text.constData();
}

TEST(SaveSettings, RoundTrip)
{
    QTemporaryDir dir;
    const QString first = testutil::folderOf(dir) + "first.ini";
    const QString second = testutil::folderOf(dir) + "second.ini";
    // Every value differs from its default and from the others, so a value
    // lost or read into the wrong field changes the second file.
    Settings s;
    int n = 1;
    for (int* v : {&s.windowLeft, &s.windowTop, &s.windowWidth, &s.windowHeight, &s.searchLeft, &s.searchTop,
                   &s.imageLeft, &s.imageTop, &s.listLeft, &s.listTop, &s.memoLeft, &s.memoTop, &s.memoWidth,
                   &s.memoHeight, &s.memoSize, &s.compareLeft, &s.compareTop, &s.compareWidth, &s.compareHeight})
        *v = -1000 + 7 * n++;
    s.cdDir = QStringLiteral("/media/cdrom/植物/");
    s.hddDir = QStringLiteral("/home/u/表/");
    s.addDir = QStringLiteral("  /tmp/space at ends ");
    s.showConditions = s.imageAutoSize = false;
    s.searchTolerance = 2;
    s.memoColor = 0x00FF0000;
    s.memoName = QStringLiteral("\"quoted\"");
    s.memoBold = s.memoItalic = s.memoUnder = s.memoStrike = true;
    s.memoBgColor = WindowTextColour;
    ASSERT_TRUE(saveSettings(first, s));
    const Settings r = loadFrom(first);
    ASSERT_TRUE(saveSettings(second, r));
    EXPECT_EQ(testutil::readFile(second), testutil::readFile(first));
    EXPECT_EQ(r.addDir, s.addDir);
    EXPECT_EQ(r.memoName, s.memoName);
    EXPECT_EQ(r.memoSize, s.memoSize);
    EXPECT_FALSE(r.imageAutoSize);
}

TEST(SaveSettings, RewriteKeepsOtherLinesInPlace)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    testutil::writeFile(path, sjis(QStringLiteral(
        "; 設定ファイル\r\n"
        "[Memo]\r\n"
        "width=1\r\n"
        "Font2=ＭＳ 明朝\r\n"
        "\r\n"
        "[Other]\r\n"
        "Key=値\r\n"
        "[Window]\r\n"
        "Extra=1\r\n"
        "Left=5\r\n")));
    Settings s = loadFrom(path);
    EXPECT_EQ(s.memoWidth, 1);
    s.memoWidth = 420;
    s.windowLeft = 77;
    ASSERT_TRUE(saveSettings(path, s));

    const QString text = cp932::decode(testutil::readFile(path));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    // The comment, the unknown key and section stay; known keys are
    // replaced where they stood; missing ones go to the end of their
    // section; missing sections follow at the end of the file.
    ASSERT_GE(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("; 設定ファイル"));
    EXPECT_EQ(lines[1], QStringLiteral("[Memo]"));
    EXPECT_EQ(lines[2], QStringLiteral("Width=420"));
    EXPECT_EQ(lines[3], QStringLiteral("Font2=ＭＳ 明朝"));
    EXPECT_EQ(lines[4], QStringLiteral("Left=0"));
    EXPECT_EQ(lines.indexOf(QStringLiteral("BgColor=12632256")), 14);
    EXPECT_EQ(lines[15], QString());
    EXPECT_EQ(lines[16], QStringLiteral("[Other]"));
    EXPECT_EQ(lines[17], QStringLiteral("Key=値"));
    EXPECT_EQ(lines[18], QStringLiteral("[Window]"));
    EXPECT_EQ(lines[19], QStringLiteral("Extra=1"));
    EXPECT_EQ(lines[20], QStringLiteral("Left=77"));
    EXPECT_EQ(lines[21], QStringLiteral("Top=0"));
    EXPECT_EQ(lines[24], QString());
    EXPECT_EQ(lines[25], QStringLiteral("[Dir]"));
    EXPECT_EQ(text.count(QStringLiteral("[Memo]")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Left=")), 6);

    // A second rewrite with the same values changes nothing.
    const QByteArray once = testutil::readFile(path);
    ASSERT_TRUE(saveSettings(path, loadFrom(path)));
    EXPECT_EQ(testutil::readFile(path), once);
}

TEST(SaveSettings, InvalidBytesInOtherLinesSurvive)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    const QByteArray odd("[Private]\r\nBlob=\x81\xFF\x80\xA0\r\n");
    testutil::writeFile(path, odd);
    ASSERT_TRUE(saveSettings(path, loadFrom(path)));
    EXPECT_TRUE(testutil::readFile(path).startsWith(odd));
}

TEST(SaveSettings, ValueOutsideCp932KeepsPreviousLine)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    testutil::writeFile(path, "[Dir]\r\nCdDir=/old/cd/\r\n");
    Settings s = loadFrom(path);
    s.cdDir = QStringLiteral("/home/u/\U0001F33C/"); // a flower emoji: no cp932 form
    s.hddDir = QStringLiteral("/home/u/line\nbreak/");
    s.memoName = QStringLiteral("Noto Sans \u00E9"); // é: no cp932 form, key new to the file
    QStringList skipped;
    ASSERT_TRUE(saveSettings(path, s, &skipped));
    EXPECT_EQ(skipped, (QStringList{QStringLiteral("Dir/CdDir"), QStringLiteral("Dir/HddDir"),
                                    QStringLiteral("Memo/Name")}));
    const QByteArray bytes = testutil::readFile(path);
    EXPECT_TRUE(bytes.contains("CdDir=/old/cd/\r\n"));
    EXPECT_FALSE(bytes.contains("HddDir"));
    EXPECT_FALSE(bytes.contains("Name="));
    EXPECT_FALSE(bytes.contains('?'));
    const Settings r = loadFrom(path);
    EXPECT_EQ(r.cdDir, QStringLiteral("/old/cd/"));
    EXPECT_EQ(r.memoName, QStringLiteral("MS Pゴシック"));
}

TEST(SaveSettings, FolderAcceptedByTheFolderRuleSurvivesSaveAndLoad)
{
    // The folder dialog refuses exactly the folders that saving would leave
    // out; any folder it accepts comes back unchanged at the next start.
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    const QString longest = QStringLiteral("/") + QString(2045, QLatin1Char('a')) + QStringLiteral("/"); // 2047 bytes
    const QString doubleByteLongest = QStringLiteral("/a") + QString(1022, QChar(0x8868)) + QStringLiteral("/");
    const QString cases[] = {
        QStringLiteral("/home/u/野草 ～ 春/"), // full-width tilde U+FF5E: cp932 has it
        QStringLiteral("/home/u/春〜夏/"),      // wave dash U+301C: cp932 cannot give it back
        QStringLiteral("/home/u/Müller/"),
        QStringLiteral("/home/u/caf\u00E9/"),
        QStringLiteral("/home/u/a\nb/"),
        longest,
        longest + QStringLiteral("b"),
        doubleByteLongest,
        QStringLiteral("/") + doubleByteLongest,
    };
    for (const QString& folder : cases) {
        SCOPED_TRACE(folder.left(40).toStdString());
        testutil::writeFile(path, "[Dir]\r\nHddDir=/old/\r\n");
        Settings s = loadFrom(path);
        s.hddDir = folder;
        QStringList skipped;
        ASSERT_TRUE(saveSettings(path, s, &skipped));
        const bool storable = folderStorable(folder);
        EXPECT_EQ(skipped.contains(QStringLiteral("Dir/HddDir")), !storable);
        EXPECT_EQ(loadFrom(path).hddDir, storable ? folder : QStringLiteral("/old/"));
    }
    EXPECT_TRUE(folderStorable(longest));
    EXPECT_FALSE(folderStorable(longest + QStringLiteral("b")));
    EXPECT_TRUE(folderStorable(doubleByteLongest));
    EXPECT_FALSE(folderStorable(QStringLiteral("/home/u/春〜夏/")));
}

TEST(LoadSettings, Utf8ByteOrderMarkIsSkippedAndNotWrittenBack)
{
    QTemporaryDir dir;
    const QString path = testutil::folderOf(dir) + "tolvarin.ini";
    testutil::writeFile(path, "\xEF\xBB\xBF[Window]\r\nLeft=12\r\nTop=34\r\n[Dir]\r\nHddDir=/srv/p/\r\n");
    Settings s = loadFrom(path);
    EXPECT_EQ(s.windowLeft, 12);
    EXPECT_EQ(s.windowTop, 34);
    EXPECT_EQ(s.hddDir, QStringLiteral("/srv/p/"));

    // Rewritten, the section keeps its one header and its values in place.
    s.windowLeft = 56;
    ASSERT_TRUE(saveSettings(path, s));
    const QByteArray bytes = testutil::readFile(path);
    EXPECT_TRUE(bytes.startsWith("[Window]\r\nLeft=56\r\nTop=34\r\n"));
    EXPECT_EQ(bytes.count("[Window]"), 1);

    // Only a mark at the very start is one; elsewhere those bytes are data.
    testutil::writeFile(path, "[Window]\r\n\xEF\xBB\xBFLeft=9\r\n");
    EXPECT_EQ(loadFrom(path).windowLeft, 0);
}

TEST(SaveSettings, FailedWriteKeepsOldFile)
{
    QTemporaryDir dir;
    const QString folder = testutil::folderOf(dir) + "ro/";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "tolvarin.ini";
    const QByteArray old("[Window]\r\nLeft=3\r\n");
    testutil::writeFile(path, old);
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    // The superuser can write into a read-only folder; a failing disk is
    // simulated for it instead.
    const bool root = ::geteuid() == 0;
    if (root)
        platform::setWriteFaultForTesting(QStringLiteral("/ro/"));
    Settings s = loadFrom(path);
    s.windowLeft = 99;
    EXPECT_FALSE(saveSettings(path, s));
    platform::setWriteFaultForTesting(QString());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(testutil::readFile(path), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("tolvarin.ini")});

    // No file at all in a read-only folder: none is created.
    const QString missing = testutil::folderOf(dir) + "nofolder/tolvarin.ini";
    EXPECT_FALSE(saveSettings(missing, s));
    EXPECT_FALSE(platform::fileExists(missing));
}

TEST(SettingColours, WindowsLayoutAndSystemColours)
{
    EXPECT_EQ(colourFromSetting(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(colourFromSetting(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(colourFromSetting(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(colourFromSetting(SilverColour), QColor(192, 192, 192));
    EXPECT_EQ(colourFromSetting(WindowTextColour), QColor(Qt::black));
    EXPECT_EQ(colourFromSetting(qint32(0xFF000005)), QColor(Qt::white));
    EXPECT_EQ(colourFromSetting(qint32(0xFF00000F)), QColor(192, 192, 192));
    EXPECT_TRUE(colourFromSetting(qint32(0xFF0000EE)).isValid());

    EXPECT_EQ(settingFromColour(QColor(255, 0, 0)), 0x000000FF);
    EXPECT_EQ(settingFromColour(QColor(0x99, 0x66, 0x33)), 0x00336699);
    // An unchanged system colour stays a system colour; a changed one does not.
    EXPECT_EQ(settingFromColour(QColor(Qt::black), WindowTextColour), WindowTextColour);
    EXPECT_EQ(settingFromColour(QColor(1, 0, 0), WindowTextColour), 1);
}
