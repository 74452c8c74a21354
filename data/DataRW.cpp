#include "data/DataRW.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/cp932.h"

namespace {

// No valid line comes near this length; a longer one is cut and treated as
// a bad line instead of being read into memory whole.
constexpr qint64 MaxLineBytes = 64 * 1024;
// More than any data file can use: the load stops after MaxPlants lines.
constexpr qint64 MaxFileBytes = qint64(MaxPlants + 2) * MaxLineBytes;

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

QString trimmed(const QString& s)
{
    int b = 0;
    int e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// A decimal integer with an optional sign that fits 32 bits.
bool parseInteger(const QString& field, int& value)
{
    if (field.isEmpty())
        return false;
    int i = 0;
    if (field[0] == QLatin1Char('-') || field[0] == QLatin1Char('+'))
        i = 1;
    if (i == field.size())
        return false;
    for (int k = i; k < field.size(); ++k)
        if (field[k] < QLatin1Char('0') || field[k] > QLatin1Char('9'))
            return false;
    bool ok = false;
    const qlonglong v = field.toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int(v);
    return true;
}

// Strips the line end (CR LF or LF) from a line read from the file.
QByteArray withoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// A line of nothing but blanks and control characters (an end-of-file
// byte 0x1A left by an old editor, say) has no name to read: it counts as
// an empty line, not as a nameless species.
bool isBlankLine(const QByteArray& line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) <= 0x20 || uchar(c) == 0x7F; });
}

QByteArray trimmedBytes(const QByteArray& s)
{
    int b = 0;
    int e = s.size();
    while (b < e && uchar(s[b]) <= 0x20)
        ++b;
    while (e > b && uchar(s[e - 1]) <= 0x20)
        --e;
    return s.mid(b, e - b);
}

// The longest start of a name's bytes that is at most MaxNameBytes long
// and ends between characters.
QByteArray cutName(const QByteArray& raw)
{
    int used = 0;
    while (used < raw.size()) {
        const bool pair = cp932::isLeadByte(uchar(raw[used])) && used + 1 < raw.size() &&
                          cp932::isTrailByte(uchar(raw[used + 1]));
        const int width = pair ? 2 : 1;
        if (used + width > MaxNameBytes)
            break;
        used += width;
    }
    return raw.left(used);
}

// Fills slot `k` from one line, field by field. Returns false at the first
// field that is not an integer or lies outside its range; the fields read
// before it stay in the slot, the others are "not given". The name is taken
// from the line's bytes and keeps them; `nameValid` tells whether they are
// all cp932 characters.
bool readRecordLine(PlantTable& table, int k, const QByteArray& raw, bool& nameValid)
{
    PlantRecord& r = table.record(k);
    // The slot may hold a species of an earlier load: a line that stops
    // early must not keep that species' fields.
    r = PlantRecord{};
    // The comma is never part of a double-byte character, so the name field
    // ends at the first one in the bytes as in the text. A cut that leaves
    // a blank at the end is trimmed, or the name would change at the next
    // load of the file written from it.
    const int comma = raw.indexOf(',');
    r.nameBytes = trimmedBytes(cutName(trimmedBytes(comma < 0 ? raw : raw.left(comma))));
    r.name = cp932::decode(r.nameBytes, &nameValid);
    table.setPlantName(k - 1, r.name);
    QString line = comma < 0 ? QString() : cp932::decode(raw.mid(comma + 1));
    int v = 0;
    for (int j = 0; j < SeasonCount; ++j) {
        if (!parseInteger(nextField(line), v))
            return false;
        r.seasons[size_t(j)] = v == 1;
    }
    for (int j = 0; j < ColourCount; ++j) {
        if (!parseInteger(nextField(line), v))
            return false;
        r.colours[size_t(j)] = v == 1;
    }
    struct Range {
        int PlantRecord::*field;
        int low;
        int high;
    };
    static const Range ranges[] = {
        {&PlantRecord::flowerShape, -1, 10},
        {&PlantRecord::stemHabit, -1, 3},
        {&PlantRecord::leafMargin, -1, 1},
        {&PlantRecord::leafShape, -1, 8},
    };
    for (const Range& range : ranges) {
        if (!parseInteger(nextField(line), v) || v < range.low || v > range.high)
            return false;
        r.*range.field = v;
    }
    if (!parseInteger(nextField(line), v))
        return false;
    r.pictureCount = v;
    return true;
}

// Why a name cannot be written as it stands (empty when it can): the
// field separator and line breaks would split it, a blank at either end
// would be dropped on reading, a character cp932 cannot hold would change.
bool writableAsItIs(const QString& name)
{
    if (name.contains(QLatin1Char(',')) || name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')))
        return false;
    if (!name.isEmpty() && (isBlank(name.front()) || isBlank(name.back())))
        return false;
    return cp932::representable(name);
}

// The bytes of a name's field: those it was read from while they still
// spell it, else its cp932 form, kept on one field of one line.
QByteArray nameField(const PlantRecord& r, bool& asItIs)
{
    asItIs = true;
    if (!r.nameBytes.isEmpty() && cp932::decode(r.nameBytes) == r.name)
        return r.nameBytes;
    if (writableAsItIs(r.name))
        return cp932::encodeLossy(r.name);
    asItIs = false;
    QString s = r.name;
    for (QChar& c : s) {
        if (c == QLatin1Char(','))
            c = QChar(0xFF0C); // full-width comma
        else if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return cp932::encodeLossy(trimmed(s));
}

QString stopReason(const LoadReport& r)
{
    switch (r.stop) {
    case LoadReport::Stop::BadField:
        return QStringLiteral("%1行目に読めない値があるため、この行の途中から後は読み込まれていません。").arg(r.stopLine);
    case LoadReport::Stop::EmptyLine:
        return QStringLiteral("%1行目が空行のため、それより後の行は読み込まれていません。").arg(r.stopLine);
    case LoadReport::Stop::TooManyLines:
        return QStringLiteral("登録できる植物は%1種類までのため、%2行目から後は読み込まれていません。")
            .arg(MaxPlants)
            .arg(r.stopLine);
    case LoadReport::Stop::None:
        break;
    }
    return {};
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Reads a whole data file into `bytes`, with the stamp of what was read.
// A stale network handle, a file changed while it was read, and (for the
// data file) a file missing for a moment while another program replaces
// it are tried again. False with `error` set when it cannot be read.
bool readDataFile(const QString& path, bool mayBeReplaced, QByteArray& bytes, platform::FileStamp& stamp, int& error)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = platform::openForReading(path, &error);
        if (fd < 0) {
            if (error == ESTALE)
                continue;
            if (error == ENOENT && mayBeReplaced && attempt < 2) {
                ::usleep(20000);
                continue;
            }
            return false;
        }
        const platform::FileStamp before = platform::stampOf(fd);
        const bool ok = platform::readAll(fd, bytes, MaxFileBytes, path, &error);
        const platform::FileStamp after = platform::stampOf(fd);
        ::close(fd);
        if (!ok) {
            if (error == ESTALE)
                continue;
            return false;
        }
        if (before != after) {
            error = EAGAIN; // written to while it was read
            continue;
        }
        stamp = after;
        return true;
    }
    return false;
}

// Parses the bytes of a data file into the table, filling the report.
void parseDataFile(PlantTable& table, const QByteArray& bytes, LoadReport& report)
{
    qsizetype pos = 0;
    const bool cutShort = bytes.size() >= MaxFileBytes;
    // The next line with its end, at most MaxLineBytes of it; `overlong`
    // when it goes on beyond that.
    const auto nextLine = [&](QByteArray& line, bool& overlong) {
        if (pos >= bytes.size())
            return false;
        const qsizetype nl = bytes.indexOf('\n', pos);
        qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        overlong = (nl < 0 && cutShort) || end - pos > MaxLineBytes;
        if (end - pos > MaxLineBytes)
            end = pos + MaxLineBytes;
        line = bytes.mid(pos, end - pos);
        pos = end;
        return true;
    };
    int count = 0;
    int lineNo = 0;
    QByteArray raw;
    bool overlong = false;
    while (nextLine(raw, overlong)) {
        raw = withoutLineEnd(raw);
        ++lineNo;
        if (isBlankLine(raw)) {
            // The first empty line ends the data; lines after it are left
            // out, which the report must tell when any of them holds text.
            bool more = false;
            while (nextLine(raw, more)) {
                if (!isBlankLine(withoutLineEnd(raw))) {
                    report.stop = LoadReport::Stop::EmptyLine;
                    report.stopLine = lineNo;
                    break;
                }
            }
            break;
        }
        if (count == MaxPlants) {
            report.stop = LoadReport::Stop::TooManyLines;
            report.stopLine = lineNo;
            break;
        }
        ++count;
        bool nameValid = true;
        const bool read = readRecordLine(table, count, raw, nameValid);
        if (!nameValid && report.unreadableLine == 0)
            report.unreadableLine = lineNo;
        if (!read || overlong) {
            report.stop = LoadReport::Stop::BadField;
            report.stopLine = lineNo;
            break;
        }
    }
    report.recordsRead = count;
    table.setPlantCount(count);
    sortPlantTable(table);
}

} // namespace

QString LoadReport::message(const QString& backupPath) const
{
    if (readFailed)
        return failure;
    QStringList parts;
    if (unreadableLine > 0)
        parts << QStringLiteral("検索データ「%1」の%2行目の植物名に Shift-JIS として読めない文字があります"
                                "（「\uFFFD」と表示されます）。\n\nデータを書き換えても、その名前はファイルの中でそのまま残ります。")
                     .arg(fileNameOf(path))
                     .arg(unreadableLine);
    if (!complete()) {
        QString text = QStringLiteral("検索データ「%1」を最後まで読み込めませんでした。\n\n").arg(fileNameOf(path)) +
                       stopReason(*this);
        if (!backupPath.isEmpty())
            text += QStringLiteral("\n\n元のファイルは「%1」として同じフォルダに残してあります。").arg(fileNameOf(backupPath));
        else
            text += QStringLiteral("\n\n元のファイルの控えを残せませんでした。データを変更する前にファイルを確認してください。");
        parts << text;
    }
    return parts.join(QStringLiteral("\n\n"));
}

QString LoadReport::rewrittenMessage(const QString& backupPath) const
{
    if (complete())
        return {};
    QString what;
    switch (stop) {
    case Stop::BadField: // the line's record is kept up to the value that could not be read
        what = QStringLiteral("%1行目の読めない値から後は、新しい検索データには含まれていません。");
        break;
    case Stop::EmptyLine:
        what = QStringLiteral("%1行目の空行より後の行は、新しい検索データには含まれていません。");
        break;
    case Stop::TooManyLines:
    case Stop::None:
        what = QStringLiteral("%1行目から後の行は、新しい検索データには含まれていません。");
        break;
    }
    what = what.arg(stopLine);
    return QStringLiteral("検索データ「%1」を書き換えました。").arg(fileNameOf(path)) + what +
           QStringLiteral("\n\n元のファイルは「%1」として同じフォルダに残してあります。").arg(fileNameOf(backupPath));
}

QString nextField(QString& line)
{
    const int comma = line.indexOf(QLatin1Char(','));
    QString field;
    if (comma < 0) {
        field = line;
        line.clear();
    } else {
        field = line.left(comma);
        line.remove(0, comma + 1);
    }
    return trimmed(field);
}

LoadReport readPlantTable(PlantTable& table, const QString& folder, QByteArray* contents)
{
    LoadReport report;
    QByteArray bytes;
    int error = 0;
    report.path = folder + DataFileName;
    bool read = readDataFile(report.path, true, bytes, report.stamp, error);
    if (!read && error == ENOENT) {
        // Only a data file that is not there gives way to the fallback: one
        // that cannot be read must not be taken for an older one.
        report.path = folder + FallbackFileName;
        read = readDataFile(report.path, false, bytes, report.stamp, error);
        if (!read && error == ENOENT) {
            report.path.clear();
            return report;
        }
    }
    if (!read) {
        report.readFailed = true;
        report.failure = QStringLiteral("検索データ「%1」を読み込めません。\n\n%2").arg(report.path, platform::reasonText(error));
        return report;
    }
    report.fileRead = true;
    parseDataFile(table, bytes, report);
    if (contents)
        *contents = bytes;
    return report;
}

LoadReport loadPlantTable(PlantTable& table, const QString& folder)
{
    if (table.loadedStamp && platform::fileAge(folder + DataFileName) == *table.loadedStamp) {
        LoadReport skipped;
        skipped.skipped = true;
        return skipped;
    }
    return readPlantTable(table, folder);
}

QByteArray writePlantTable(const PlantTable& table, QStringList* unwritable)
{
    QByteArray out;
    for (int i = 1; i <= table.plantCount(); ++i) {
        const PlantRecord& r = table.record(i);
        bool asItIs = true;
        out += nameField(r, asItIs);
        if (!asItIs && unwritable)
            unwritable->append(r.name);
        QString line;
        for (bool b : r.seasons)
            line += b ? QLatin1String(",1") : QLatin1String(",0");
        for (bool b : r.colours)
            line += b ? QLatin1String(",1") : QLatin1String(",0");
        for (int v : {r.flowerShape, r.stemHabit, r.leafMargin, r.leafShape, int(r.pictureCount)})
            line += QLatin1Char(',') + QString::number(v);
        out += line.toLatin1();
        out += "\r\n";
    }
    return out;
}

QString keepBackupOf(const QString& path, const platform::FileStamp& stamp, QString* error)
{
    int e = 0;
    const auto failed = [&](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    // Never through a link out of the folder: another account's private
    // file must not be copied where everyone can read it.
    const int fd = platform::openForReading(path, &e);
    if (fd < 0)
        return failed(platform::reasonText(e));
    QByteArray original;
    struct stat st;
    const bool read = ::fstat(fd, &st) == 0 && platform::readAll(fd, original, MaxFileBytes * 16, path, &e);
    ::close(fd);
    if (!read)
        return failed(platform::reasonText(e));
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(stamp.mtimeNs / 1000000);
    const QString base = path + QStringLiteral(".backup-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString why;
    for (int n = 1; n < 100; ++n) {
        const QString backup = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        QByteArray existing;
        if (platform::fileExists(backup)) {
            if (platform::readFile(backup, existing) && existing == original)
                return backup;
            continue;
        }
        // The backup is readable by whom the file was, no one else.
        if (platform::writeNewFile(backup, original, &why, int(st.st_mode & 0777)))
            return backup;
        if (!platform::fileExists(backup))
            break;
    }
    return failed(why);
}

QString keepBackupOfIncompleteFile(const LoadReport& report, bool* ok)
{
    if (ok)
        *ok = true;
    if (!report.fileRead || report.complete())
        return {};
    const QString backup = keepBackupOf(report.path, report.stamp);
    if (ok)
        *ok = !backup.isEmpty();
    return backup;
}

PlantTable& plantTable()
{
    static PlantTable table;
    return table;
}
