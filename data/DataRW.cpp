#include "data/DataRW.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/cp932.h"

namespace {

// No valid line comes near this length; a longer one is cut and treated as
// a bad line instead of being read into memory whole.
constexpr qint64 MaxLineBytes = 64 * 1024;

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

// Fills slot `k` from one line, field by field. Returns false at the first
// field that is not an integer or lies outside its range; the fields read
// before it stay in the slot, the others are "not given".
bool readRecordLine(PlantTable& table, int k, QString line)
{
    PlantRecord& r = table.record(k);
    // The slot may hold a species of an earlier load: a line that stops
    // early must not keep that species' fields.
    r = PlantRecord{};
    r.name = storedName(nextField(line));
    table.setPlantName(k - 1, r.name);
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

// A name written into the file must stay one field on one line.
QString safeName(const QString& name)
{
    QString s = name;
    for (QChar& c : s) {
        if (c == QLatin1Char(','))
            c = QChar(0xFF0C); // full-width comma
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return trimmed(s);
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
    case LoadReport::Stop::BadText: // told in a message of its own
    case LoadReport::Stop::None:
        break;
    }
    return {};
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString LoadReport::message(const QString& backupPath) const
{
    if (complete())
        return {};
    // Undecodable text does not stop the load: every line is in the table,
    // but a rewrite cannot give those bytes back.
    QString text = stop == Stop::BadText
                       ? QStringLiteral("検索データ「%1」の%2行目に Shift-JIS として読めない文字があります。\n\n"
                                        "データを変更すると、その文字は「?」として書き込まれます。")
                             .arg(fileNameOf(path))
                             .arg(stopLine)
                       : QStringLiteral("検索データ「%1」を最後まで読み込めませんでした。\n\n").arg(fileNameOf(path)) +
                             stopReason(*this);
    if (!backupPath.isEmpty())
        text += QStringLiteral("\n\n元のファイルは「%1」として同じフォルダに残してあります。").arg(fileNameOf(backupPath));
    else
        text += QStringLiteral("\n\n元のファイルの控えを残せませんでした。データを変更する前にファイルを確認してください。");
    return text;
}

QString LoadReport::rewrittenMessage(const QString& backupPath) const
{
    if (complete())
        return {};
    QString what;
    switch (stop) {
    case Stop::BadText:
        what = QStringLiteral("%1行目の Shift-JIS として読めない文字は「?」として書き込まれています。");
        break;
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

LoadReport readPlantTable(PlantTable& table, const QString& folder)
{
    LoadReport report;
    QFile file(folder + DataFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        file.setFileName(folder + FallbackFileName);
        if (!file.open(QIODevice::ReadOnly))
            return report;
    }
    report.fileRead = true;
    report.path = file.fileName();
    report.stamp = platform::fileAge(report.path);

    int count = 0;
    int lineNo = 0;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine(MaxLineBytes);
        const bool overlong = !raw.endsWith('\n') && !file.atEnd();
        raw = withoutLineEnd(raw);
        ++lineNo;
        if (isBlankLine(raw)) {
            // The first empty line ends the data; lines after it are left
            // out, which the report must tell when any of them holds text.
            while (!file.atEnd()) {
                if (!isBlankLine(withoutLineEnd(file.readLine(MaxLineBytes)))) {
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
        const QString line = cp932::decode(raw);
        QByteArray again;
        if (report.stop == LoadReport::Stop::None && (!cp932::encode(line, again) || again != raw)) {
            // The line loads, but its text would not be written back as it
            // stands: keep the file as a backup before any rewrite.
            report.stop = LoadReport::Stop::BadText;
            report.stopLine = lineNo;
        }
        if (!readRecordLine(table, count, line) || overlong) {
            report.stop = LoadReport::Stop::BadField;
            report.stopLine = lineNo;
            break;
        }
    }
    file.close();
    report.recordsRead = count;
    table.setPlantCount(count);
    sortPlantTable(table);
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

QByteArray writePlantTable(const PlantTable& table)
{
    QByteArray out;
    for (int i = 1; i <= table.plantCount(); ++i) {
        const PlantRecord& r = table.record(i);
        QString line = safeName(r.name);
        for (bool b : r.seasons)
            line += b ? QLatin1String(",1") : QLatin1String(",0");
        for (bool b : r.colours)
            line += b ? QLatin1String(",1") : QLatin1String(",0");
        for (int v : {r.flowerShape, r.stemHabit, r.leafMargin, r.leafShape, int(r.pictureCount)})
            line += QLatin1Char(',') + QString::number(v);
        out += cp932::encodeLossy(line);
        out += "\r\n";
    }
    return out;
}

namespace {

// Copies `path` to a backup beside it named after its modification time; a
// backup of that name with the same contents means this version is kept
// already. Returns the backup's path, or an empty string on failure.
QString keepBackupOf(const QString& path, const platform::FileStamp& stamp)
{
    QByteArray original;
    if (!platform::readFile(path, original))
        return {};
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(stamp.mtimeNs / 1000000);
    const QString base = path + QStringLiteral(".backup-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString backup = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        QByteArray existing;
        if (platform::fileExists(backup)) {
            if (platform::readFile(backup, existing) && existing == original)
                return backup;
            continue;
        }
        if (platform::copyFileNoReplace(path, backup))
            return backup;
    }
    return {};
}

} // namespace

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

DataRewrite::DataRewrite(const QString& folder)
    : folder_(folder)
{
}

DataRewrite::~DataRewrite()
{
    if (lockFd_ >= 0)
        ::close(lockFd_); // closing the descriptor releases the lock
}

DataRewrite::Result DataRewrite::begin()
{
    if (lockFd_ >= 0)
        return Result::Ok;
    const QByteArray lockPath = QFile::encodeName(folder_ + LockFileName);
    int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        fd = ::open(lockPath.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = QStringLiteral("データフォルダ「%1」に書き込めません（%2）。")
                     .arg(folder_, QString::fromLocal8Bit(strerror(errno)));
        return Result::Failed;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const bool busy = errno == EWOULDBLOCK;
        error_ = busy ? BusyMessage : QString::fromLocal8Bit(strerror(errno));
        ::close(fd);
        return busy ? Result::Busy : Result::Failed;
    }
    lockFd_ = fd;
    // Temporary files left by a copy that died while writing: nobody else
    // can be writing one now, since we hold the lock.
    const QDir dir(folder_);
    for (const QString& stale : dir.entryList({DataFileName + QStringLiteral(".tmp-*")}, QDir::Files))
        platform::deleteFile(folder_ + stale);
    return Result::Ok;
}

LoadReport DataRewrite::reload(PlantTable& table)
{
    lastReload_ = readPlantTable(table, folder_);
    reloaded_ = true;
    return lastReload_;
}

void DataRewrite::keepPreviousAsFallback()
{
    if (lockFd_ >= 0 && !platform::fileExists(folder_ + FallbackFileName))
        platform::copyFileNoReplace(folder_ + DataFileName, folder_ + FallbackFileName);
}

DataRewrite::Result DataRewrite::commit(const PlantTable& table)
{
    if (lockFd_ < 0) {
        error_ = BusyMessage;
        return Result::Busy;
    }
    if (!reloaded_) {
        // A rewrite must start from the file as it is now, or it would undo
        // what other copies wrote since this copy read it.
        error_ = QStringLiteral("内部エラー: 検索データを読み直さずに書き換えようとしました。");
        return Result::Failed;
    }
    if (!lastReload_.complete() && lastReload_.path == folder_ + DataFileName) {
        bool ok = false;
        backupPath_ = keepBackupOfIncompleteFile(lastReload_, &ok);
        if (!ok) {
            error_ = QStringLiteral("読み込めなかった行を含む検索データの控えを作れないため、書き換えを中止しました。");
            return Result::Failed;
        }
    }
    // Something that ignores the lock (a person copying a file, say) may
    // have replaced or removed the data file since it was read: keep what
    // it put there, and tell the user.
    const QString dat = folder_ + DataFileName;
    const platform::FileStamp now = platform::fileAge(dat);
    notice_.clear();
    if (lastReload_.fileRead && lastReload_.path == dat && now != lastReload_.stamp) {
        if (!now.present) {
            notice_ = QStringLiteral("検索データ「%1」が書き換えの途中で削除されていたため、作り直しました。").arg(DataFileName);
        } else {
            const QString kept = keepBackupOf(dat, now);
            if (kept.isEmpty()) {
                error_ = QStringLiteral("検索データが書き換えの途中で他から変更されました。その控えを作れないため、書き換えを中止しました。");
                return Result::Failed;
            }
            notice_ = QStringLiteral("検索データが書き換えの途中で他から変更されていました。\n\n変更されたファイルは「%1」として残し、"
                                     "この変更を書き込みました。")
                          .arg(kept.mid(kept.lastIndexOf(QLatin1Char('/')) + 1));
        }
    }
    QString why;
    if (!platform::writeFileAtomic(dat, writePlantTable(table), &why)) {
        error_ = QStringLiteral("検索データを書き込めませんでした（%1）。元のデータはそのまま残っています。").arg(why);
        return Result::Failed;
    }
    if (!backupPath_.isEmpty()) {
        const QString lost = lastReload_.rewrittenMessage(backupPath_);
        notice_ = notice_.isEmpty() ? lost : notice_ + QStringLiteral("\n\n") + lost;
    }
    // The table just written is what the file holds now.
    lastReload_ = LoadReport{};
    lastReload_.fileRead = true;
    lastReload_.path = folder_ + DataFileName;
    lastReload_.stamp = platform::fileAge(lastReload_.path);
    return Result::Ok;
}

DataRewrite::Result rewritePlantTable(PlantTable& table, const QString& folder,
                                      const std::function<bool(PlantTable&)>& change, QString* error,
                                      QString* notice)
{
    DataRewrite rewrite(folder);
    DataRewrite::Result result = rewrite.begin();
    if (result == DataRewrite::Result::Ok) {
        rewrite.reload(table);
        if (!change(table))
            return DataRewrite::Result::Ok;
        result = rewrite.commit(table);
    }
    if (error)
        *error = rewrite.error();
    if (notice)
        *notice = result == DataRewrite::Result::Ok ? rewrite.notice() : QString();
    return result;
}

PlantTable& plantTable()
{
    static PlantTable table;
    return table;
}
