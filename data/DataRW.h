#pragma once
// The search data file "Tolvarin.dat": one species per line, 16
// comma-separated values, cp932 text with CR LF line ends. This unit reads
// it into the plant table and turns the table back into its text; a change
// of the catalogue writes it through CatalogueChange.
#include <QByteArray>
#include <QString>
#include <QStringList>

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
    };
    bool skipped = false;  // the time stamp was unchanged, nothing was read
    bool fileRead = false; // a file was opened and read
    // The data file (or the fallback, when the data file does not exist)
    // exists but could not be read: the table is unchanged, and `failure`
    // tells the user which file and why.
    bool readFailed = false;
    QString failure;
    QString path;          // the file that was read (or could not be)
    platform::FileStamp stamp; // its stamp when it was read
    Stop stop = Stop::None;
    int stopLine = 0;      // 1-based line of the stop
    int recordsRead = 0;
    // The first line whose name holds bytes that are no cp932 character at
    // all (0: none). The name keeps those bytes; it only shows them as "�".
    int unreadableLine = 0;

    bool complete() const { return stop == Stop::None; }
    // Whether the user must hear of this load (message, or failure).
    bool needsTelling() const { return readFailed || !complete() || unreadableLine > 0; }
    // A Japanese message for the user about an incomplete load or names
    // with unreadable bytes, naming the line and the backup; empty when
    // there is nothing to tell.
    QString message(const QString& backupPath) const;
    // The message after such a load was written back: the lines the load
    // left out are no longer in the data file, only in the backup.
    QString rewrittenMessage(const QString& backupPath) const;
};

// Removes the text up to and including the first "," from `line` and
// returns it trimmed of blanks and control characters at both ends. A line
// without "," is all one field and becomes empty.
QString nextField(QString& line);

// Reads folder + "Tolvarin.dat" into the table, sorted by name. Only while
// that file does not exist (after a short wait, in case it is being
// replaced) is "Tolvarin.res" read instead; a stale network handle is
// opened again. When neither exists, or the one there cannot be read (the
// report says why), the table is unchanged. `folder` ends in "/".
// `contents`, when given, receives the bytes that were read.
LoadReport readPlantTable(PlantTable& table, const QString& folder, QByteArray* contents = nullptr);

// As readPlantTable, but does nothing when the data file's stamp equals the
// table's loadedStamp.
LoadReport loadPlantTable(PlantTable& table, const QString& folder);

// The file text of records 1..plantCount: cp932, each line ended by CR LF.
// A name read from the file is written as the bytes it was read from while
// it is unchanged. A name that cannot be written as it is (it holds CR, LF
// or ",", a character cp932 cannot hold, or a blank at either end, which
// reading would drop) is still kept on its line (commas become full-width
// commas, line breaks blanks) and is listed in `unwritable` when given, so
// that a rewrite can refuse it instead of renaming the species.
QByteArray writePlantTable(const PlantTable& table, QStringList* unwritable = nullptr);

// When `report` is of a load that stopped early, copies the file it read to
// a backup beside it (once per version of the file) and returns the backup's
// path; an empty string when no backup is needed or it could not be made
// (`ok` tells which).
QString keepBackupOfIncompleteFile(const LoadReport& report, bool* ok = nullptr);

// Copies the file `path` (whose stamp is `stamp`) to a new backup beside it
// named after its modification time, with the file's own permissions; a
// backup of that name with the same contents means this version is kept
// already. Returns the backup's path, or an empty string on failure
// (`error` says why).
QString keepBackupOf(const QString& path, const platform::FileStamp& stamp, QString* error = nullptr);

// The process-wide plant table.
PlantTable& plantTable();
