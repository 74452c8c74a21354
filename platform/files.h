#pragma once
// File operations the program needs, with the semantics its callers rely on.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <sys/types.h>

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

// The hidden folder inside a catalogue folder that holds the program's own
// working files: the journal of a change, temporary files and files on
// their way out. Species' files never have a "/" in their names, so nothing
// in it can ever be taken for one of theirs, or the other way round.
inline const QString WorkFolderName = QStringLiteral(".tolvarin");

// A Japanese reason for an error number, with its name for a person
// reporting a problem: "アクセスが許可されていません（EACCES）".
QString reasonText(int error);

// Copies `from` to `to`, replacing `to` if it exists. The copy is written to
// a temporary file, flushed and renamed into place, so `to` is never seen
// half-written.
bool copyFileReplace(const QString& from, const QString& to);

// Writes `bytes` as the new file `path`: a temporary file is written,
// flushed and renamed to `path` only if no file of that name exists, also
// when one appears meanwhile. Never replaces a file and leaves nothing
// behind on failure; `error` (if given) says what failed. The file gets the
// permissions `mode` when given (a backup keeps those of what it copies),
// else those of an ordinary new file.
bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error = nullptr, int mode = -1);

// Copies `from` to `to` only when `to` does not exist; never replaces a file.
bool copyFileNoReplace(const QString& from, const QString& to);

// Renames `from` to `to`; fails, changing nothing, when `to` exists.
bool moveFileNoReplace(const QString& from, const QString& to);

// Deletes a file.
bool deleteFile(const QString& path);

// Writes `bytes` as the new contents of `path` atomically: a temporary file
// is written, flushed to disk and renamed over `path`. On any failure (full
// disk, unwritable folder) before the rename `path` is left as it was and
// `error` (if given) says what failed. When the folder cannot be flushed
// after the rename, the new contents are in place but may not survive a
// power loss: that is reported as a failure too, with its own reason.
//
// Temporary files of a folder that has a work folder (WorkFolderName) are
// made there, else beside the file. Their writer holds a lock on them while
// it works, so a copy cleaning up after a crash leaves them alone.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a whole file. Returns false when it cannot be opened or read
// (`error`, if given, receives the error number).
bool readFile(const QString& path, QByteArray& bytes, int* error = nullptr);

// Opens an existing file for reading. A symbolic link is followed only when
// it leads to a file in the same folder (or below it); a link leading out of
// the folder fails with LinkOutOfFolder. Returns the descriptor, or -1 with
// `error` set.
constexpr int LinkOutOfFolder = -1000;
int openForReading(const QString& path, int* error);

// Reads from a descriptor until `max` bytes or the end; false on an error.
bool readAll(int fd, QByteArray& bytes, qint64 max, const QString& path, int* error);

// The stamp of an open file.
FileStamp stampOf(int fd);

// An open folder, and file operations on the names in it: every name is a
// single component, nothing follows a symbolic link, new files are made
// with O_EXCL. The folder stays the same folder while it is open, even if
// its path is renamed or replaced meanwhile.
class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // Opens the folder `path` (ending in "/"); links on the way are followed.
    bool open(const QString& path, int* error);
    // Opens the folder `name` inside `parent`, which must not be a link;
    // with `create`, makes it first when missing, with the parent's
    // permissions (so a folder several accounts share stays shared).
    bool openInside(const Folder& parent, const QString& name, bool create, int* error);
    bool isOpen() const { return fd_ >= 0; }
    void close();
    // The folder's path, ending in "/".
    const QString& path() const { return path_; }

    // The entry `name` without following a link: present only when it is a
    // regular file.
    FileStamp stamp(const QString& name) const;
    // True when the entry exists at all (a file, a link, a folder).
    bool exists(const QString& name) const;
    // The inode of the entry `name` (not following a link); 0 when absent.
    quint64 inode(const QString& name) const;
    // The permission bits of the entry `name`; -1 when absent.
    int mode(const QString& name) const;
    // The entry names, "." and ".." left out.
    QStringList entries() const;

    // Opens an existing regular file for reading, never through a link.
    int openRead(const QString& name, int* error) const;
    // Creates a new file with a unique name `prefix` + random letters,
    // O_EXCL and never through a link, with permissions `mode` exactly.
    // Returns the descriptor (and the name), or -1 with `error` set.
    int createUnique(const QString& prefix, mode_t mode, QString& name, int* error) const;
    // Creates or opens `name` for reading and writing, never through a link.
    int openOrCreate(const QString& name, mode_t mode, int* error) const;

    // Renames `name` to `toName` in `to`; with `replace` false it fails with
    // EEXIST, changing nothing, when `toName` exists.
    bool rename(const QString& name, const Folder& to, const QString& toName, bool replace, int* error) const;
    bool remove(const QString& name, int* error) const;
    // Flushes the folder's entries to disk.
    bool sync(int* error) const;

private:
    int fd_ = -1;
    QString path_;
};

// Writes all of `bytes` to `fd` and flushes it to disk; `path` names the
// file for fault injection. False with `error` set on failure.
bool writeAndSync(int fd, const QByteArray& bytes, const QString& path, int* error);

// The same without flushing: for caches, which lose only time when a crash
// leaves a file short.
bool writeAllUnsynced(int fd, const QByteArray& bytes, const QString& path, int* error);

// Makes the folder `path` when it is missing, with permissions `mode`
// exactly; its parent must exist. True when it exists afterwards.
bool makeFolder(const QString& path, mode_t mode, int* error);

// The permissions a new file gets: rw for all, less the process's umask.
mode_t ordinaryFileMode();

// Takes an exclusive lock on an open file without waiting: 0 on success,
// else the error number (EWOULDBLOCK when another holds it).
int tryLock(int fd);

// The running executable's full path and its folder (ending in "/").
QString executablePath();
QString executableFolder();

// Fault injection for tests. Every file operation of this layer is one of
// these kinds; the ones that change something on disk are also counted as
// steps, so a test can stop or fail an operation at each of its steps.
enum class FileOp { Open, Read, Create, Write, Sync, Rename, Remove, MakeFolder };

// The next `times` operations of kind `op` on a path containing `pathPart`
// fail with `error` (times < 0: all of them).
void injectFaultForTesting(FileOp op, const QString& pathPart, int error, int times = -1);
void clearFaultsForTesting();
// Every write to a path containing `pathPart` fails as with a full disk.
// Empty disables it.
void setWriteFaultForTesting(const QString& pathPart);
// Counts steps from now. With `stopAt` > 0 the process kills itself
// (SIGKILL, as a power cut or a crash would end it) just before step
// `stopAt`; with `failAt` > 0 step `failAt` fails with `failError`.
void countStepsForTesting(int stopAt = 0, int failAt = 0, int failError = 0);
// Steps counted since countStepsForTesting.
int stepsForTesting();

} // namespace platform
