#pragma once
// The settings file: every user setting of the program (window positions and
// sizes, the three picture folders, two toggles, the memo window's font and
// colours) in one initialisation file beside the executable, read once at
// start-up and written once at shutdown.
//
// The file is cp932 text: "[Section]" lines open a section, "Key=value"
// lines hold values. Sections and keys are matched without regard to letter
// case. A rewrite replaces known keys in place and keeps every other line
// (unknown sections and keys, comments, blank lines) as it was.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Colour values are kept as the file holds them: 0x00BBGGRR, or 0xFF0000nn
// for system colour number nn.
constexpr qint32 WindowTextColour = qint32(0xFF000008);
constexpr qint32 SilverColour = 0x00C0C0C0;

// The defaults below are those used for a missing file, section or key.
// The three folders are empty here; loadSettings puts the default folders
// (see FolderDefaults) in place of an empty value.
struct Settings {
    // [Window] main window outer geometry
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 640;
    int windowHeight = 500;
    // [Dir] CD-ROM folder, hard-disk folder, folder the picture dialog starts in
    QString cdDir;
    QString hddDir;
    QString addDir;
    // [Search] search pad position; "Button": the "条件の表示" toggle
    int searchLeft = 0;
    int searchTop = 0;
    bool showConditions = true;
    // "Tolerance": how many failed tests a search forgives (0..2; files
    // without it, and other values, search exactly)
    int searchTolerance = 0;
    // [Image] picture viewer position and its fit-window toggle
    int imageLeft = 0;
    int imageTop = 0;
    bool imageAutoSize = true;
    // [List] plant name list position
    int listLeft = 0;
    int listTop = 0;
    // [Memo] memo window position, outer size, font and colours
    int memoLeft = 0;
    int memoTop = 0;
    int memoWidth = 400;
    int memoHeight = 200;
    qint32 memoColor = WindowTextColour;
    int memoSize = 9;
    QString memoName = QStringLiteral("MS Pゴシック");
    bool memoBold = false;
    bool memoItalic = false;
    bool memoUnder = false;
    bool memoStrike = false;
    qint32 memoBgColor = SilverColour;
    // [Compare] comparison window geometry
    int compareLeft = 0;
    int compareTop = 0;
    int compareWidth = 720;
    int compareHeight = 560;
};

// The longest string value read from the file, in cp932 bytes.
constexpr int MaxSettingBytes = 2047;

// Why a string value cannot be written to the settings file and read back
// unchanged.
enum class SettingValueFault {
    None,
    LineBreak, // a CR, LF or NUL, which would end or cut the line
    NotCp932,  // characters that cp932 cannot hold
    TooLong,   // more than MaxSettingBytes bytes in cp932
};
SettingValueFault settingValueFault(const QString& value);

// The settings file of the running program: the executable's path with its
// extension replaced by ".ini" ("tolvarin" -> "tolvarin.ini").
QString settingsFilePath();
// The same rule for any executable path.
QString settingsPathFor(const QString& executablePath);

// The folder used for an empty "Dir" value: `exeFolder` in folder form
// followed by "picture".
QString defaultPictureFolder(const QString& exeFolder);

// The folders loadSettings uses for an empty (or missing) "Dir" value.
// Where they lie depends on whether the program may write beside its
// executable; settings/locations.h holds that rule.
struct FolderDefaults {
    QString cdDir;
    QString hddDir;
    QString addDir;
};

// Reads every setting from `iniPath` into `settings`. A missing file,
// section or key, or a number that does not parse, gives the default; an
// empty folder value gives the folder from `defaults`.
// Integers are decimal or "0x"/"0X" hexadecimal; booleans are integers
// (non-zero is true).
void loadSettings(const QString& iniPath, const FolderDefaults& defaults, Settings& settings);
// The same with all three folders defaulting to defaultPictureFolder(exeFolder),
// as for a program that keeps everything beside its executable.
void loadSettings(const QString& iniPath, const QString& exeFolder, Settings& settings);

// Writes every setting into `iniPath`, keeping the file's other lines. The
// new file replaces the old one in a single step: on failure (read-only
// folder, full disk) the old file is left untouched and false is returned.
// A string value that the file cannot hold (characters outside cp932, a
// line break, more than MaxSettingBytes bytes) is not written: the key keeps
// the line it had, and "Section/Key" is added to `skipped` if given.
bool saveSettings(const QString& iniPath, const Settings& settings, QStringList* skipped = nullptr);

// A colour setting as a colour. A value whose top byte is 0xFF names a
// system colour by its low byte (8 window text, 5 window, 15 button face,
// ...), given in the classic Windows scheme; other values are 0x00BBGGRR.
QColor colourFromSetting(qint32 value);
// A colour as a setting value, 0x00BBGGRR (alpha is dropped).
qint32 settingFromColour(const QColor& colour);
// The same, but keeps `previous` when it already stands for `colour`, so a
// system colour the user did not change stays a system colour.
qint32 settingFromColour(const QColor& colour, qint32 previous);
