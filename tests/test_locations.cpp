#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "settings/IniFile.h"
#include "settings/locations.h"
#include "support/testutil.h"

namespace {

const QString Exe = QStringLiteral("/opt/tolvarin/tolvarin");

QProcessEnvironment envWith(std::initializer_list<std::pair<const char*, const char*>> vars)
{
    QProcessEnvironment env;
    for (const auto& [name, value] : vars)
        env.insert(QString::fromLatin1(name), QString::fromUtf8(value));
    return env;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

// A copy that may write beside its executable keeps everything there, and
// the XDG variables change nothing.
TEST(ProgramLocations, WritableFolderKeepsEverythingBesideTheExecutable)
{
    for (const QProcessEnvironment& env :
         {envWith({{"HOME", "/home/ann"}}),
          envWith({{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "/data"}})}) {
        const ProgramLocations p = programLocations(QStringLiteral("/home/ann/tolvarin/build/tolvarin"), true, env);
        EXPECT_TRUE(p.portable);
        EXPECT_EQ(p.iniPath, QStringLiteral("/home/ann/tolvarin/build/tolvarin.ini"));
        EXPECT_EQ(p.folders.cdDir, QStringLiteral("/home/ann/tolvarin/build/picture"));
        EXPECT_EQ(p.folders.hddDir, p.folders.cdDir);
        EXPECT_EQ(p.folders.addDir, p.folders.cdDir);
    }
    // The settings file follows the executable's name, as before.
    EXPECT_EQ(programLocations(QStringLiteral("/media/usb/Tolvarin.exe"), true, QProcessEnvironment()).iniPath,
              QStringLiteral("/media/usb/Tolvarin.ini"));
}

TEST(ProgramLocations, ReadOnlyFolderUsesTheHomeFoldersWithoutXdgVariables)
{
    const ProgramLocations p = programLocations(Exe, false, envWith({{"HOME", "/home/ann"}}));
    EXPECT_FALSE(p.portable);
    EXPECT_EQ(p.iniPath, QStringLiteral("/home/ann/.config/tolvarin/Tolvarin.ini"));
    // The installed catalogue is the CD-ROM folder; pictures go to the user's folder.
    EXPECT_EQ(p.folders.cdDir, QStringLiteral("/opt/tolvarin/picture"));
    EXPECT_EQ(p.folders.hddDir, QStringLiteral("/home/ann/.local/share/tolvarin/picture"));
    EXPECT_EQ(p.folders.addDir, p.folders.hddDir);
}

TEST(ProgramLocations, ReadOnlyFolderFollowsXdgVariables)
{
    const ProgramLocations p = programLocations(
        Exe, false,
        envWith({{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/srv/cfg/"}, {"XDG_DATA_HOME", "/srv/データ//share"}}));
    EXPECT_EQ(p.iniPath, QStringLiteral("/srv/cfg/tolvarin/Tolvarin.ini"));
    EXPECT_EQ(p.folders.cdDir, QStringLiteral("/opt/tolvarin/picture"));
    EXPECT_EQ(p.folders.hddDir, QStringLiteral("/srv/データ/share/tolvarin/picture"));
    EXPECT_EQ(p.folders.addDir, p.folders.hddDir);

    // Only one of the two set: the other falls back to the home folder.
    const ProgramLocations q =
        programLocations(Exe, false, envWith({{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/srv/data"}}));
    EXPECT_EQ(q.iniPath, QStringLiteral("/home/ann/.config/tolvarin/Tolvarin.ini"));
    EXPECT_EQ(q.folders.hddDir, QStringLiteral("/srv/data/tolvarin/picture"));
}

TEST(ProgramLocations, UnusableVariablesAreIgnored)
{
    // Empty or relative XDG values are ignored, as the base directory rules say.
    for (const char* bad : {"", "relative/cfg", "./cfg"}) {
        const ProgramLocations p = programLocations(
            Exe, false, envWith({{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", bad}, {"XDG_DATA_HOME", bad}}));
        EXPECT_EQ(p.iniPath, QStringLiteral("/home/ann/.config/tolvarin/Tolvarin.ini")) << bad;
        EXPECT_EQ(p.folders.hddDir, QStringLiteral("/home/ann/.local/share/tolvarin/picture")) << bad;
    }
    // No usable home folder at all: never a path relative to wherever the
    // program was started.
    for (const QProcessEnvironment& env : {QProcessEnvironment(), envWith({{"HOME", "ann"}})}) {
        const ProgramLocations p = programLocations(Exe, false, env);
        EXPECT_EQ(p.iniPath, QStringLiteral("/tmp/.config/tolvarin/Tolvarin.ini"));
        EXPECT_EQ(p.folders.hddDir, QStringLiteral("/tmp/.local/share/tolvarin/picture"));
    }
}

TEST(ProgramLocations, FolderDefaultsAgreeWithProgramLocations)
{
    const QProcessEnvironment env = envWith({{"HOME", "/home/ann"}});
    for (bool writable : {true, false}) {
        const FolderDefaults d = folderDefaults(QStringLiteral("/opt/tolvarin/"), writable, env);
        const FolderDefaults e = programLocations(Exe, writable, env).folders;
        EXPECT_EQ(d.cdDir, e.cdDir);
        EXPECT_EQ(d.hddDir, e.hddDir);
        EXPECT_EQ(d.addDir, e.addDir);
    }
    // The folder form of the executable folder does not matter.
    EXPECT_EQ(folderDefaults(QStringLiteral("/opt/tolvarin"), false, env).cdDir, QStringLiteral("/opt/tolvarin/picture"));
}

TEST(UserEnvironment, HomeComesFromThePasswordDatabaseWhenUnset)
{
    const QByteArray saved = qgetenv("HOME");
    qunsetenv("HOME");
    const QString home = userEnvironment().value(QStringLiteral("HOME"));
    qputenv("HOME", saved);
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(home, QFile::decodeName(pw->pw_dir));
    // A HOME that is set is kept.
    EXPECT_EQ(userEnvironment().value(QStringLiteral("HOME")), QString::fromLocal8Bit(saved));
}

TEST(FolderWritable, ProbesTheFolder)
{
    QTemporaryDir dir;
    EXPECT_TRUE(folderWritable(dir.path()));
    EXPECT_FALSE(folderWritable(dir.path() + QStringLiteral("/missing")));
    EXPECT_FALSE(folderWritable(QString()));
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write to any folder, whatever its mode";
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(folderWritable(dir.path()));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The first start of an installed copy: the user's folders do not exist yet.
TEST(PrepareLocations, CreatesTheUsersFoldersForAnInstalledCopy)
{
    QTemporaryDir home;
    const QString h = testutil::folderOf(home);
    const ProgramLocations p = programLocations(Exe, false, envWith({{"HOME", home.path().toUtf8().constData()}}));
    ASSERT_TRUE(p.iniPath.startsWith(h));

    // Without the folder, the settings written at shutdown would be lost.
    Settings s;
    loadSettings(p.iniPath, p.folders, s);
    EXPECT_FALSE(saveSettings(p.iniPath, s));

    QString failed;
    ASSERT_TRUE(prepareLocations(p, &failed)) << failed.toStdString();
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_TRUE(platform::folderExists(h + ".config/tolvarin"));
    EXPECT_TRUE(platform::folderExists(h + ".local/share/tolvarin/picture"));
    // Made private to the user, every level that was missing.
    EXPECT_EQ(modeOf(h + ".config"), mode_t(0700));
    EXPECT_EQ(modeOf(h + ".local/share/tolvarin/picture"), mode_t(0700));

    s.windowWidth = 777;
    ASSERT_TRUE(saveSettings(p.iniPath, s));
    Settings t;
    loadSettings(p.iniPath, p.folders, t);
    EXPECT_EQ(t.windowWidth, 777);
    EXPECT_EQ(t.hddDir, h + ".local/share/tolvarin/picture");
    EXPECT_EQ(t.cdDir, QStringLiteral("/opt/tolvarin/picture"));

    // A second start finds everything in place, and existing folders keep their mode.
    QFile::setPermissions(h + ".config", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadGroup | QFile::ExeGroup);
    EXPECT_TRUE(prepareLocations(p));
    EXPECT_EQ(modeOf(h + ".config"), mode_t(0750));
}

TEST(PrepareLocations, PortableCopyCreatesNothing)
{
    QTemporaryDir dir;
    const QString exe = testutil::folderOf(dir) + "tolvarin";
    const ProgramLocations p = programLocations(exe, true, envWith({{"HOME", dir.path().toUtf8().constData()}}));
    EXPECT_TRUE(prepareLocations(p));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST(PrepareLocations, ReportsAFolderThatCannotBeMade)
{
    QTemporaryDir home;
    const QString h = testutil::folderOf(home);
    // A file where the data folder should be.
    QDir().mkpath(h + ".local");
    testutil::writeFile(h + ".local/share", "not a folder");
    const ProgramLocations p = programLocations(Exe, false, envWith({{"HOME", home.path().toUtf8().constData()}}));
    QString failed;
    EXPECT_FALSE(prepareLocations(p, &failed));
    EXPECT_EQ(failed, h + ".local/share/tolvarin/picture");
}

// Values in the settings file win over the defaults; only empty or missing
// folder values take them.
TEST(LoadSettingsDefaults, EachFolderHasItsOwnDefault)
{
    QTemporaryDir dir;
    const QString ini = testutil::folderOf(dir) + "t.ini";
    const FolderDefaults d{QStringLiteral("/opt/tolvarin/picture"), QStringLiteral("/home/ann/hdd"),
                           QStringLiteral("/home/ann/add")};
    Settings s;
    loadSettings(ini, d, s);
    EXPECT_EQ(s.cdDir, d.cdDir);
    EXPECT_EQ(s.hddDir, d.hddDir);
    EXPECT_EQ(s.addDir, d.addDir);

    testutil::writeFile(ini, "[Dir]\r\nCdDir=/media/cdrom/picture\r\nHddDir=\r\n");
    loadSettings(ini, d, s);
    EXPECT_EQ(s.cdDir, QStringLiteral("/media/cdrom/picture"));
    EXPECT_EQ(s.hddDir, d.hddDir);
    EXPECT_EQ(s.addDir, d.addDir);
}
