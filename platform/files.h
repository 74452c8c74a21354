#pragma once
// File operations the program needs, with the semantics its callers rely on.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// A file's time stamp: its modification time in nanoseconds together with
// its inode and size, so that a rewrite within the file system's clock tick
// (or a file replaced by rename) still gives a different stamp.
struct FileStamp {
    bool present = false; // false: the file does not exist
    qint64 mtimeNs = 0;
    quint64 inode = 0;
    qint64 size = 0;

    friend bool operator==(const FileStamp& a, const FileStamp& b)
    {
        return a.present == b.present && a.mtimeNs == b.mtimeNs && a.inode == b.inode && a.size == b.size;
    }
    friend bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }
};

// The stamp of a regular file, or a stamp with present == false when there is none.
FileStamp fileAge(const QString& path);

// True when `path` names an existing regular file.
bool fileExists(const QString& path);

// True when `stem` can begin a file name inside a folder: it holds no path
// separator and no NUL. A species name from a damaged or foreign data file
// ("../x", say) would otherwise read, write or delete files outside the
// picture folder; such a name has no files.
bool staysInFolder(const QString& stem);
// True when `path` names an existing folder.
bool folderExists(const QString& path);

// Copies `from` to `to`, replacing `to` if it exists. The copy is written to
// a temporary file in the target folder, flushed and renamed into place, so
// `to` is never seen half-written.
bool copyFileReplace(const QString& from, const QString& to);

// Writes `bytes` as the new file `path`: a temporary file in the same
// folder is written, flushed and renamed to `path` only if no file of that
// name exists, also when one appears meanwhile. Never replaces a file and
// leaves nothing behind on failure; `error` (if given) says what failed.
bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Copies `from` to `to` only when `to` does not exist; never replaces a file.
bool copyFileNoReplace(const QString& from, const QString& to);

// Renames `from` to `to`; fails, changing nothing, when `to` exists.
bool moveFileNoReplace(const QString& from, const QString& to);

// Deletes a file.
bool deleteFile(const QString& path);

// Writes `bytes` as the new contents of `path` atomically: a temporary file
// in the same folder is written, flushed to disk and renamed over `path`.
// On any failure (full disk, unwritable folder) `path` is left as it was and
// `error` (if given) says what failed.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a whole file. Returns false when it cannot be opened or read.
bool readFile(const QString& path, QByteArray& bytes);

// The running executable's full path and its folder (ending in "/").
QString executablePath();
QString executableFolder();

// Hook for fault-injection tests: when set, every write of
// writeFileAtomic/copy functions whose target path contains the given text
// fails as with a full disk. Empty disables it.
void setWriteFaultForTesting(const QString& pathPart);

} // namespace platform
