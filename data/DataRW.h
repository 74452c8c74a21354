#pragma once
// The search data file "Tolvarin.dat": one species per line, 16
// comma-separated values, cp932 text with CR LF line ends. This unit reads
// it into the plant table, writes the table back, and rewrites it safely
// while several copies of the program share one folder.
#include <QByteArray>
#include <QString>

#include <functional>

#include "data/PlantTable.h"

inline const QString DataFileName = QStringLiteral("Tolvarin.dat");
inline const QString FallbackFileName = QStringLiteral("Tolvarin.res");
inline const QString LockFileName = QStringLiteral("Tolvarin.lock");

// The message a copy shows when another copy is rewriting the data file.
inline const QString BusyMessage = QStringLiteral("他で検索データを書き換え中です。\n\n後で、再実行してください。");
// The message of a failed rewrite during picture deletion.
inline const QString RewriteFailedMessage = QStringLiteral("データの書き換えに失敗しました。");

// What a load did. A load that stops before the end of the file leaves the
// lines after the stop out of the table; the report says so, and a rewrite
// keeps the original file as a backup first (keepBackupOfIncompleteFile).
struct LoadReport {
    enum class Stop {
        None,         // read to the end of the file
        BadField,     // a field was not an integer or out of its range
        EmptyLine,    // an empty line with more lines after it
        TooManyLines, // more than MaxPlants lines
        BadText,      // bytes that are not cp932 text (the name would change)
    };
    bool skipped = false;  // the time stamp was unchanged, nothing was read
    bool fileRead = false; // a file was opened and read
    QString path;          // the file that was read
    platform::FileStamp stamp; // its stamp when it was read
    Stop stop = Stop::None;
    int stopLine = 0;      // 1-based line of the stop
    int recordsRead = 0;

    bool complete() const { return stop == Stop::None; }
    // A Japanese message for the user about an incomplete load, naming the
    // line and the backup; empty for a complete load.
    QString message(const QString& backupPath) const;
    // The message after such a load was written back: the lines the load
    // left out are no longer in the data file, only in the backup.
    QString rewrittenMessage(const QString& backupPath) const;
};

// Removes the text up to and including the first "," from `line` and
// returns it trimmed of blanks and control characters at both ends. A line
// without "," is all one field and becomes empty.
QString nextField(QString& line);

// Reads folder + "Tolvarin.dat" (or "Tolvarin.res" when that cannot be
// opened) into the table, sorted by name. When neither can be opened the
// table is unchanged. `folder` ends in "/".
LoadReport readPlantTable(PlantTable& table, const QString& folder);

// As readPlantTable, but does nothing when the data file's stamp equals the
// table's loadedStamp.
LoadReport loadPlantTable(PlantTable& table, const QString& folder);

// The file text of records 1..plantCount: cp932, each line ended by CR LF.
// A name can never break its line: commas become full-width commas and
// control characters blanks.
QByteArray writePlantTable(const PlantTable& table);

// When `report` is of a load that stopped early, copies the file it read to
// a backup beside it (once per version of the file) and returns the backup's
// path; an empty string when no backup is needed or it could not be made
// (`ok` tells which).
QString keepBackupOfIncompleteFile(const LoadReport& report, bool* ok = nullptr);

// One rewrite of the data file, holding the folder's lock from begin() to
// destruction. Another copy that tries meanwhile gets Busy. The new table
// is written to a temporary file, flushed and renamed over "Tolvarin.dat",
// so readers see the old file or the new one, never a part of either.
class DataRewrite {
public:
    enum class Result { Ok, Busy, Failed };

    explicit DataRewrite(const QString& folder);
    ~DataRewrite();
    DataRewrite(const DataRewrite&) = delete;
    DataRewrite& operator=(const DataRewrite&) = delete;

    // Takes the lock without waiting.
    Result begin();
    bool locked() const { return lockFd_ >= 0; }

    // Reads the file afresh under the lock, so the change is applied to what
    // other copies wrote. Changes are then looked up by species name.
    LoadReport reload(PlantTable& table);

    // Keeps the current data file as "Tolvarin.res" when there is none yet
    // (as a copy: "Tolvarin.dat" stays in place).
    void keepPreviousAsFallback();

    // Writes the table. Before replacing a file whose last load under this
    // lock stopped early, keeps a backup of it. On failure the old file is
    // left intact and error() says why.
    Result commit(const PlantTable& table);

    QString error() const { return error_; }
    // The backup kept by commit() of a file whose load stopped early, if any.
    QString backupPath() const { return backupPath_; }
    // Set by a successful commit() that the user must hear of: the file was
    // removed or replaced behind the lock since it was read (the replaced
    // file is kept as a backup), or the table written came from a load that
    // stopped early (the lines left out are only in the backup now). Empty
    // otherwise.
    QString notice() const { return notice_; }

private:
    QString folder_;
    int lockFd_ = -1;
    LoadReport lastReload_;
    bool reloaded_ = false;
    QString error_;
    QString backupPath_;
    QString notice_;
};

// The common shape of a rewrite: lock, reload, apply `change` to the fresh
// table (it returns false to cancel without writing), commit. `error`
// receives the reason of a failure and `notice` what a successful commit
// must tell the user (DataRewrite::notice), when given.
DataRewrite::Result rewritePlantTable(PlantTable& table, const QString& folder,
                                      const std::function<bool(PlantTable&)>& change,
                                      QString* error = nullptr, QString* notice = nullptr);

// The process-wide plant table.
PlantTable& plantTable();
