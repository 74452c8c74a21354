#include "settings/IniFile.h"

#include <QFileInfo>

#include <iterator>
#include <vector>

#include "platform/cp932.h"
#include "platform/files.h"
#include "settings/func.h"

namespace {

// Spaces and tabs around keys and values do not count, as in the Windows
// profile functions. (Not QString::trimmed, which would also drop the
// full-width space.)
QString trimBlanks(const QString& s)
{
    int begin = 0;
    int end = s.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(s[begin]))
        ++begin;
    while (end > begin && blank(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool quotedPair(const QString& s)
{
    return s.size() >= 2 && s.front() == s.back() &&
           (s.front() == QLatin1Char('"') || s.front() == QLatin1Char('\''));
}

// One line of the file. `raw` is written back unchanged unless the line is
// replaced, so lines the program does not understand (or that hold bytes
// that are not valid cp932) survive a rewrite byte for byte.
struct IniLine {
    enum Kind { Other, Section, Key };
    QByteArray raw;
    Kind kind = Other;
    QString name;  // section name or key
    QString value; // for keys: the value, blanks and one pair of quotes removed
};

IniLine parseLine(const QByteArray& raw)
{
    IniLine line;
    line.raw = raw;
    const QString text = trimBlanks(cp932::decode(raw));
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        line.kind = IniLine::Section;
        line.name = trimBlanks(text.mid(1, close < 0 ? -1 : close - 1));
        return line;
    }
    if (text.startsWith(QLatin1Char(';')))
        return line; // comment
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return line;
    line.kind = IniLine::Key;
    line.name = trimBlanks(text.left(eq));
    line.value = trimBlanks(text.mid(eq + 1));
    if (quotedPair(line.value))
        line.value = line.value.mid(1, line.value.size() - 2);
    return line;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

class IniDocument {
public:
    void parse(const QByteArray& bytes)
    {
        // An editor that saved the file as UTF-8 may have put a byte-order
        // mark in front; it is not part of the first line (which would
        // otherwise no longer read as a section header) and is not written
        // back.
        int start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        // CR LF, a lone CR and a lone LF all end a line; neither byte can be
        // the second byte of a cp932 character.
        const int n = bytes.size();
        for (int i = start; i < n; ++i) {
            if (bytes[i] != '\r' && bytes[i] != '\n')
                continue;
            lines_.push_back(parseLine(bytes.mid(start, i - start)));
            if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        if (start < n)
            lines_.push_back(parseLine(bytes.mid(start)));
    }

    QByteArray bytes() const
    {
        QByteArray out;
        for (const IniLine& line : lines_)
            out += line.raw + "\r\n";
        return out;
    }

    // The value of the first matching key of the first matching section.
    const QString* value(const QString& section, const QString& key) const
    {
        const int at = findKey(section, key);
        return at < 0 ? nullptr : &lines_[size_t(at)].value;
    }

    // Sets a key to an already encoded value: in place when the key exists,
    // else at the end of its section, else in a new section at the end.
    void set(const QString& section, const QString& key, const QByteArray& encodedValue)
    {
        const QByteArray raw = key.toLatin1() + '=' + encodedValue;
        const int at = findKey(section, key);
        if (at >= 0) {
            lines_[size_t(at)] = parseLine(raw);
            return;
        }
        int begin = 0;
        int end = 0;
        if (sectionRange(section, begin, end)) {
            // After the section's last non-blank line, so the blank lines
            // that separate it from the next section stay between them.
            int insert = begin + 1;
            for (int i = begin + 1; i < end; ++i)
                if (!trimBlanks(cp932::decode(lines_[size_t(i)].raw)).isEmpty())
                    insert = i + 1;
            lines_.insert(lines_.begin() + insert, parseLine(raw));
            return;
        }
        if (!lines_.empty() && !trimBlanks(cp932::decode(lines_.back().raw)).isEmpty())
            lines_.push_back(parseLine(QByteArray()));
        lines_.push_back(parseLine('[' + section.toLatin1() + ']'));
        lines_.push_back(parseLine(raw));
    }

private:
    // The first section of that name: its header line and the line after
    // its last line.
    bool sectionRange(const QString& section, int& begin, int& end) const
    {
        const int n = int(lines_.size());
        for (int i = 0; i < n; ++i) {
            if (lines_[size_t(i)].kind != IniLine::Section || !sameName(lines_[size_t(i)].name, section))
                continue;
            begin = i;
            end = i + 1;
            while (end < n && lines_[size_t(end)].kind != IniLine::Section)
                ++end;
            return true;
        }
        return false;
    }

    int findKey(const QString& section, const QString& key) const
    {
        int begin = 0;
        int end = 0;
        if (!sectionRange(section, begin, end))
            return -1;
        for (int i = begin + 1; i < end; ++i)
            if (lines_[size_t(i)].kind == IniLine::Key && sameName(lines_[size_t(i)].name, key))
                return i;
        return -1;
    }

    std::vector<IniLine> lines_;
};

// Whole text as a 32-bit integer: optional sign, then decimal digits or
// "0x"/"0X" and hexadecimal digits. Hexadecimal covers the full unsigned
// range, so "0xFF000008" is the system colour value -16777208.
bool parseInteger(const QString& text, qint32& out)
{
    QString t = text;
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t.remove(0, 1);
    }
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (hex)
        t.remove(0, 2);
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool hexLetter = (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                               (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!digit && !(hex && hexLetter))
            return false;
    }
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, hex ? 16 : 10);
    if (!ok)
        return false;
    if (hex) {
        if (magnitude > 0xFFFFFFFFull)
            return false;
        const quint32 bits = quint32(magnitude);
        out = qint32(negative ? quint32(0) - bits : bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull))
        return false;
    out = negative ? qint32(-qint64(magnitude)) : qint32(magnitude);
    return true;
}

class Reader {
public:
    explicit Reader(const IniDocument& doc) : doc_(doc) {}

    void integer(const char* section, const char* key, int& v)
    {
        const QString* text = doc_.value(QLatin1String(section), QLatin1String(key));
        qint32 parsed = 0;
        if (text && parseInteger(*text, parsed))
            v = parsed;
    }
    void boolean(const char* section, const char* key, bool& v)
    {
        int n = v ? 1 : 0;
        integer(section, key, n);
        v = n != 0;
    }
    void string(const char* section, const char* key, QString& v)
    {
        if (const QString* text = doc_.value(QLatin1String(section), QLatin1String(key)))
            v = cp932::truncateToBytes(*text, MaxSettingBytes);
    }

private:
    const IniDocument& doc_;
};

class Writer {
public:
    Writer(IniDocument& doc, QStringList* skipped) : doc_(doc), skipped_(skipped) {}

    void integer(const char* section, const char* key, int v)
    {
        doc_.set(QLatin1String(section), QLatin1String(key), QByteArray::number(v));
    }
    void boolean(const char* section, const char* key, bool v)
    {
        doc_.set(QLatin1String(section), QLatin1String(key), v ? "1" : "0");
    }
    void string(const char* section, const char* key, const QString& v)
    {
        // Blanks at either end, or a pair of quotes around the whole value,
        // would be removed on reading: such a value is written in quotes.
        const bool quote = trimBlanks(v) != v || quotedPair(v);
        if (settingValueFault(v) != SettingValueFault::None) {
            if (skipped_)
                skipped_->append(QLatin1String(section) + QLatin1Char('/') + QLatin1String(key));
            return;
        }
        QByteArray encoded;
        cp932::encode(v, encoded);
        doc_.set(QLatin1String(section), QLatin1String(key), quote ? '"' + encoded + '"' : encoded);
    }

private:
    IniDocument& doc_;
    QStringList* skipped_;
};

// Every setting, in the order in which the file lists them. Reading and
// writing both go through this one list.
template <class IO, class S>
void visitSettings(IO& io, S& s)
{
    io.integer("Window", "Left", s.windowLeft);
    io.integer("Window", "Top", s.windowTop);
    io.integer("Window", "Width", s.windowWidth);
    io.integer("Window", "Height", s.windowHeight);
    io.string("Dir", "CdDir", s.cdDir);
    io.string("Dir", "HddDir", s.hddDir);
    io.string("Dir", "AddDir", s.addDir);
    io.integer("Search", "Left", s.searchLeft);
    io.integer("Search", "Top", s.searchTop);
    io.boolean("Search", "Button", s.showConditions);
    io.integer("Search", "Tolerance", s.searchTolerance);
    io.integer("Image", "Left", s.imageLeft);
    io.integer("Image", "Top", s.imageTop);
    io.boolean("Image", "AutoSize", s.imageAutoSize);
    io.integer("List", "Left", s.listLeft);
    io.integer("List", "Top", s.listTop);
    io.integer("Memo", "Left", s.memoLeft);
    io.integer("Memo", "Top", s.memoTop);
    io.integer("Memo", "Width", s.memoWidth);
    io.integer("Memo", "Height", s.memoHeight);
    io.integer("Memo", "Color", s.memoColor);
    io.integer("Memo", "Size", s.memoSize);
    io.string("Memo", "Name", s.memoName);
    io.boolean("Memo", "Bold", s.memoBold);
    io.boolean("Memo", "Italic", s.memoItalic);
    io.boolean("Memo", "Under", s.memoUnder);
    io.boolean("Memo", "Strike", s.memoStrike);
    io.integer("Memo", "BgColor", s.memoBgColor);
    io.integer("Compare", "Left", s.compareLeft);
    io.integer("Compare", "Top", s.compareTop);
    io.integer("Compare", "Width", s.compareWidth);
    io.integer("Compare", "Height", s.compareHeight);
}

IniDocument readDocument(const QString& path)
{
    IniDocument doc;
    QByteArray bytes;
    if (platform::readFile(path, bytes))
        doc.parse(bytes);
    return doc;
}

// The classic Windows scheme for the system colours, as 0xRRGGBB, indexed
// like GetSysColor. Numbers beyond the table are taken as window text.
constexpr quint32 SystemColours[] = {
    0xC0C0C0, // 0 scroll bar
    0x008080, // 1 desktop
    0x000080, // 2 active caption
    0x808080, // 3 inactive caption
    0xC0C0C0, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC0C0C0, // 10 active border
    0xC0C0C0, // 11 inactive border
    0x808080, // 12 application workspace
    0x000080, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC0C0C0, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 grey text
    0x000000, // 18 button text
    0xC0C0C0, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x000000, // 21 3D dark shadow
    0xDFDFDF, // 22 3D light
    0x000000, // 23 tooltip text
    0xFFFFE1, // 24 tooltip background
    0x000000, // 25 (unused)
    0x000080, // 26 hot-tracked item
    0x1084D0, // 27 active caption gradient
    0xB5B5B5, // 28 inactive caption gradient
    0x000080, // 29 menu highlight
    0xC0C0C0, // 30 menu bar
};

} // namespace

SettingValueFault settingValueFault(const QString& value)
{
    if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')) || value.contains(QChar(0)))
        return SettingValueFault::LineBreak;
    QByteArray encoded;
    if (!cp932::encode(value, encoded))
        return SettingValueFault::NotCp932;
    if (encoded.size() > MaxSettingBytes)
        return SettingValueFault::TooLong;
    return SettingValueFault::None;
}

QString settingsPathFor(const QString& executablePath)
{
    const int slash = executablePath.lastIndexOf(QLatin1Char('/'));
    const int dot = executablePath.lastIndexOf(QLatin1Char('.'));
    // Only a dot inside the file name, and not its first character (a
    // hidden file's name), starts an extension.
    if (dot > slash + 1)
        return executablePath.left(dot) + QLatin1String(".ini");
    return executablePath + QLatin1String(".ini");
}

QString settingsFilePath()
{
    return settingsPathFor(platform::executablePath());
}

QString defaultPictureFolder(const QString& exeFolder)
{
    return folderWithBackslash(exeFolder) + QLatin1String("picture");
}

void loadSettings(const QString& iniPath, const FolderDefaults& defaults, Settings& settings)
{
    const IniDocument doc = readDocument(iniPath);
    Settings s;
    Reader reader(doc);
    visitSettings(reader, s);
    if (s.cdDir.isEmpty())
        s.cdDir = defaults.cdDir;
    if (s.hddDir.isEmpty())
        s.hddDir = defaults.hddDir;
    if (s.addDir.isEmpty())
        s.addDir = defaults.addDir;
    settings = s;
}

void loadSettings(const QString& iniPath, const QString& exeFolder, Settings& settings)
{
    const QString folder = defaultPictureFolder(exeFolder);
    loadSettings(iniPath, FolderDefaults{folder, folder, folder}, settings);
}

bool saveSettings(const QString& iniPath, const Settings& settings, QStringList* skipped)
{
    IniDocument doc = readDocument(iniPath);
    Writer writer(doc, skipped);
    visitSettings(writer, settings);
    return platform::writeFileAtomic(iniPath, doc.bytes());
}

QColor colourFromSetting(qint32 value)
{
    const quint32 bits = quint32(value);
    quint32 rgb = 0;
    if ((bits >> 24) == 0xFF) {
        const quint32 index = bits & 0xFF;
        rgb = index < std::size(SystemColours) ? SystemColours[index] : SystemColours[8];
    } else {
        rgb = ((bits & 0xFF) << 16) | (bits & 0xFF00) | ((bits >> 16) & 0xFF);
    }
    return QColor::fromRgb(QRgb(rgb));
}

qint32 settingFromColour(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return qint32(quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16));
}

qint32 settingFromColour(const QColor& colour, qint32 previous)
{
    if (colourFromSetting(previous).rgb() == colour.toRgb().rgb())
        return previous;
    return settingFromColour(colour);
}
