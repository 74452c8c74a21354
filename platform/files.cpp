#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <linux/fs.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// Fault injection and step counting (tests only). Pictures are decoded on
// worker threads, which read files through this layer too.
struct Fault {
    FileOp op;
    QString pathPart;
    int error;
    int times;
};
struct Faults {
    std::mutex lock;
    std::vector<Fault> list;
    bool counting = false;
    int steps = 0;
    int stopAt = 0;
    int failAt = 0;
    int failError = 0;
};

Faults& faults()
{
    static Faults f;
    return f;
}

bool changesDisk(FileOp op)
{
    return op != FileOp::Open && op != FileOp::Read;
}

// 0, or the error an operation of kind `op` on `path` must fail with.
int injected(FileOp op, const QString& path)
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    if (f.counting && changesDisk(op)) {
        ++f.steps;
        if (f.stopAt > 0 && f.steps == f.stopAt)
            ::kill(::getpid(), SIGKILL);
        if (f.failAt > 0 && f.steps == f.failAt)
            return f.failError;
    }
    for (Fault& fault : f.list) {
        if (fault.op != op || fault.times == 0 || !path.contains(fault.pathPart))
            continue;
        if (fault.times > 0)
            --fault.times;
        return fault.error;
    }
    return 0;
}

// Runs a system call unless a fault is injected for it; returns its result
// with errno set on failure.
template <typename Call>
int guarded(FileOp op, const QString& path, Call call)
{
    if (const int e = injected(op, path)) {
        errno = e;
        return -1;
    }
    int r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool fail(int* error, int e)
{
    if (error)
        *error = e;
    return false;
}

bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

QString folderOfPath(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral("./") : path.left(slash + 1);
}

QString fileNameOfPath(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

FileStamp stampFrom(const struct stat& st)
{
    FileStamp s;
    if (!S_ISREG(st.st_mode))
        return s;
    s.present = true;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    return s;
}

} // namespace

mode_t ordinaryFileMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

namespace {

// A temporary file for a new version of `path`, flushed to disk and locked
// by this process until it is renamed into place: in the folder's work
// folder when it has one, else beside the file.
struct Temporary {
    Folder folder;     // the folder of `path`
    Folder work;       // its work folder, when it has one
    const Folder* in = nullptr;
    QString name;
    int fd = -1;
    ~Temporary()
    {
        if (fd >= 0) {
            if (in)
                in->remove(name, nullptr);
            ::close(fd);
        }
    }
};

bool writeTemporary(const QString& path, const QByteArray& bytes, Temporary& t, QString* error, int mode = -1)
{
    int e = 0;
    const auto failed = [&] {
        if (error)
            *error = reasonText(e);
        return false;
    };
    if (!t.folder.open(folderOfPath(path), &e))
        return failed();
    bool inWork = t.work.openInside(t.folder, WorkFolderName, false, nullptr);
    for (int attempt = 0; attempt < 10; ++attempt) {
        t.in = inWork ? &t.work : &t.folder;
        const QString prefix = inWork ? QStringLiteral("tmp-") : fileNameOfPath(path) + QStringLiteral(".tmp-");
        t.fd = t.in->createUnique(prefix, mode < 0 ? ordinaryFileMode() : mode_t(mode), t.name, &e);
        if (t.fd < 0 && inWork) {
            // A work folder this account may not write in: beside the file.
            inWork = false;
            continue;
        }
        if (t.fd < 0)
            return failed();
        // Held until the rename: a copy cleaning up after a crash removes
        // only temporaries nobody holds. One that took it between the
        // creation and this lock has removed it: make another.
        ::flock(t.fd, LOCK_EX);
        struct stat st;
        if (::fstat(t.fd, &st) == 0 && st.st_nlink > 0)
            break;
        ::close(t.fd);
        t.fd = -1;
    }
    if (t.fd < 0) {
        e = EAGAIN;
        return failed();
    }
    if (!writeAndSync(t.fd, bytes, path, &e))
        return failed();
    return true;
}

const char* errorName(int e)
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    if (const char* n = strerrorname_np(e))
        return n;
#endif
    return nullptr;
}

} // namespace

QString reasonText(int e)
{
    QString text;
    switch (e) {
    case EACCES:
    case EPERM: text = QStringLiteral("アクセスが許可されていません"); break;
    case EIO: text = QStringLiteral("ディスクの読み書きでエラーが起きました"); break;
    case ESTALE: text = QStringLiteral("ネットワーク上のファイルの参照が古くなっています"); break;
    case ENOSPC:
    case EDQUOT: text = QStringLiteral("ディスクの空きが足りません"); break;
    case EROFS: text = QStringLiteral("読み取り専用の場所です"); break;
    case ENOENT: text = QStringLiteral("ファイルまたはフォルダがありません"); break;
    case EEXIST: text = QStringLiteral("同じ名前のファイルがすでにあります"); break;
    case ELOOP: text = QStringLiteral("シンボリックリンクになっています"); break;
    case LinkOutOfFolder: return QStringLiteral("フォルダの外を指すリンクになっています");
    case EISDIR: text = QStringLiteral("フォルダになっています"); break;
    case ENOTDIR: text = QStringLiteral("フォルダではありません"); break;
    case EMFILE:
    case ENFILE: text = QStringLiteral("開いているファイルが多すぎます"); break;
    case ENAMETOOLONG: text = QStringLiteral("名前が長すぎます"); break;
    case EBUSY:
    case ETXTBSY: text = QStringLiteral("使用中です"); break;
    default: text = QString::fromLocal8Bit(strerror(e)); break;
    }
    const char* name = errorName(e);
    return QStringLiteral("%1（%2）").arg(text, name ? QString::fromLatin1(name) : QStringLiteral("errno %1").arg(e));
}

FileStamp fileAge(const QString& path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

FileStamp stampOf(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return {};
    return stampFrom(st);
}

bool staysInFolder(const QString& stem)
{
    return !stem.contains(QLatin1Char('/')) && !stem.contains(QChar(0));
}

bool fileExists(const QString& path)
{
    return fileAge(path).present;
}

bool folderExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool readAll(int fd, QByteArray& bytes, qint64 max, const QString& path, int* error)
{
    bytes.clear();
    char buffer[65536];
    while (bytes.size() < max) {
        const qint64 want = std::min<qint64>(qint64(sizeof buffer), max - bytes.size());
        const int n = guarded(FileOp::Read, path, [&] { return int(::read(fd, buffer, size_t(want))); });
        if (n < 0)
            return fail(error, errno);
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return true;
}

bool readFile(const QString& path, QByteArray& bytes, int* error)
{
    const int fd = guarded(FileOp::Open, path, [&] { return ::open(native(path).constData(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0)
        return fail(error, errno);
    const bool ok = readAll(fd, bytes, std::numeric_limits<int>::max() - 1, path, error);
    ::close(fd);
    return ok;
}

int openForReading(const QString& path, int* error)
{
    const int fd = guarded(FileOp::Open, path, [&] { return ::open(native(path).constData(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0) {
        fail(error, errno);
        return -1;
    }
    // What was opened, links resolved, must lie in the folder of `path`.
    const QString folder = QFileInfo(folderOfPath(path)).canonicalFilePath();
    const QString opened = QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).canonicalFilePath();
    if (folder.isEmpty() || opened.isEmpty() ||
        !(opened.startsWith(folder + QLatin1Char('/')) || (folder == QLatin1String("/") && opened.startsWith(folder)))) {
        ::close(fd);
        fail(error, LinkOutOfFolder);
        return -1;
    }
    return fd;
}

bool writeAllUnsynced(int fd, const QByteArray& bytes, const QString& path, int* error)
{
    if (guarded(FileOp::Write, path, [&] { return writeAll(fd, bytes.constData(), bytes.size()) ? 0 : -1; }) != 0)
        return fail(error, errno);
    return true;
}

bool writeAndSync(int fd, const QByteArray& bytes, const QString& path, int* error)
{
    if (!writeAllUnsynced(fd, bytes, path, error))
        return false;
    if (guarded(FileOp::Sync, path, [&] { return ::fsync(fd); }) != 0)
        return fail(error, errno);
    return true;
}

bool makeFolder(const QString& path, mode_t mode, int* error)
{
    if (guarded(FileOp::MakeFolder, path, [&] { return ::mkdir(native(path).constData(), mode); }) == 0) {
        // mkdir leaves out what the umask forbids.
        ::chmod(native(path).constData(), mode);
        return true;
    }
    if (errno == EEXIST && folderExists(path))
        return true;
    return fail(error, errno);
}

int tryLock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    Temporary t;
    if (!writeTemporary(path, bytes, t, error))
        return false;
    int e = 0;
    if (!t.in->rename(t.name, t.folder, fileNameOfPath(path), true, &e)) {
        if (error)
            *error = reasonText(e);
        return false;
    }
    ::close(t.fd);
    t.fd = -1;
    if (!t.folder.sync(&e)) {
        if (error)
            *error = QStringLiteral("新しい内容に置き換えましたが、ディスクへの書き込みを確かめられません: %1").arg(reasonText(e));
        return false;
    }
    return true;
}

bool copyFileReplace(const QString& from, const QString& to)
{
    QByteArray bytes;
    return readFile(from, bytes) && writeFileAtomic(to, bytes);
}

bool moveFileNoReplace(const QString& from, const QString& to)
{
    Folder a, b;
    int e = 0;
    if (!a.open(folderOfPath(from), &e) || !b.open(folderOfPath(to), &e)) {
        errno = e;
        return false;
    }
    if (!a.rename(fileNameOfPath(from), b, fileNameOfPath(to), false, &e)) {
        errno = e;
        return false;
    }
    return true;
}

bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error, int mode)
{
    if (fileExists(path)) {
        if (error)
            *error = QStringLiteral("「%1」はすでにあります").arg(path);
        return false;
    }
    Temporary t;
    if (!writeTemporary(path, bytes, t, error, mode))
        return false;
    int e = 0;
    if (!t.in->rename(t.name, t.folder, fileNameOfPath(path), false, &e)) {
        if (error)
            *error = e == EEXIST ? QStringLiteral("「%1」はすでにあります").arg(path) : reasonText(e);
        return false;
    }
    ::close(t.fd);
    t.fd = -1;
    if (!t.folder.sync(&e)) {
        if (error)
            *error = QStringLiteral("書き込みましたが、ディスクへの書き込みを確かめられません: %1").arg(reasonText(e));
        return false;
    }
    return true;
}

bool copyFileNoReplace(const QString& from, const QString& to)
{
    QByteArray bytes;
    return !fileExists(to) && readFile(from, bytes) && writeNewFile(to, bytes);
}

bool deleteFile(const QString& path)
{
    return guarded(FileOp::Remove, path, [&] { return ::unlink(native(path).constData()); }) == 0;
}

// Folder

Folder::~Folder()
{
    close();
}

Folder::Folder(Folder&& other) noexcept
    : fd_(other.fd_)
    , path_(std::move(other.path_))
{
    other.fd_ = -1;
}

Folder& Folder::operator=(Folder&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

void Folder::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool Folder::open(const QString& path, int* error)
{
    close();
    path_ = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    fd_ = guarded(FileOp::Open, path_, [&] {
        return ::open(native(path_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    });
    return fd_ >= 0 || fail(error, errno);
}

bool Folder::openInside(const Folder& parent, const QString& name, bool create, int* error)
{
    close();
    path_ = parent.path() + name + QLatin1Char('/');
    const QByteArray n = native(name);
    const auto openIt = [&] {
        return guarded(FileOp::Open, path_, [&] {
            return ::openat(parent.fd_, n.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        });
    };
    fd_ = openIt();
    if (fd_ >= 0)
        return true;
    if (errno != ENOENT || !create)
        return fail(error, errno);
    struct stat st;
    if (::fstat(parent.fd_, &st) != 0)
        return fail(error, errno);
    const mode_t mode = st.st_mode & 07777;
    if (guarded(FileOp::MakeFolder, path_, [&] { return ::mkdirat(parent.fd_, n.constData(), 0700); }) != 0 &&
        errno != EEXIST)
        return fail(error, errno);
    fd_ = openIt();
    if (fd_ < 0)
        return fail(error, errno);
    // The new folder gets the permissions of the folder it is in; umask
    // would otherwise shut out the other accounts sharing it.
    struct stat mine;
    if (::fstat(fd_, &mine) == 0 && mine.st_uid == ::geteuid())
        ::fchmod(fd_, mode);
    // What is written into it later is only as durable as its own entry.
    parent.sync(nullptr);
    return true;
}

FileStamp Folder::stamp(const QString& name) const
{
    struct stat st;
    if (fd_ < 0 || ::fstatat(fd_, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return stampFrom(st);
}

bool Folder::exists(const QString& name) const
{
    struct stat st;
    return fd_ >= 0 && ::fstatat(fd_, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

quint64 Folder::inode(const QString& name) const
{
    struct stat st;
    if (fd_ < 0 || ::fstatat(fd_, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    return quint64(st.st_ino);
}

int Folder::mode(const QString& name) const
{
    struct stat st;
    if (fd_ < 0 || ::fstatat(fd_, native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

QStringList Folder::entries() const
{
    QStringList names;
    if (fd_ < 0)
        return names;
    const int copy = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0)
        return names;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (std::strcmp(n, ".") == 0 || std::strcmp(n, "..") == 0)
            continue;
        names << QFile::decodeName(n);
    }
    ::closedir(dir);
    return names;
}

int Folder::openRead(const QString& name, int* error) const
{
    const int fd = guarded(FileOp::Open, path_ + name, [&] {
        return ::openat(fd_, native(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    });
    if (fd < 0)
        fail(error, errno);
    return fd;
}

int Folder::createUnique(const QString& prefix, mode_t mode, QString& name, int* error) const
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString candidate = prefix;
        for (int i = 0; i < 8; ++i)
            candidate += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
        const int fd = guarded(FileOp::Create, path_ + candidate, [&] {
            return ::openat(fd_, native(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            0600);
        });
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            fail(error, errno);
            return -1;
        }
        ::fchmod(fd, mode);
        name = candidate;
        return fd;
    }
    fail(error, EEXIST);
    return -1;
}

int Folder::openOrCreate(const QString& name, mode_t mode, int* error) const
{
    const int fd = guarded(FileOp::Create, path_ + name, [&] {
        return ::openat(fd_, native(name).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, mode);
    });
    if (fd < 0)
        fail(error, errno);
    return fd;
}

bool Folder::rename(const QString& name, const Folder& to, const QString& toName, bool replace, int* error) const
{
    const QByteArray a = native(name);
    const QByteArray b = native(toName);
    const QString both = path_ + name + QLatin1Char('\n') + to.path_ + toName;
    if (replace)
        return guarded(FileOp::Rename, both, [&] { return ::renameat(fd_, a.constData(), to.fd_, b.constData()); }) ==
                   0 ||
               fail(error, errno);
    return guarded(FileOp::Rename, both, [&] {
               const int r = int(::syscall(SYS_renameat2, fd_, a.constData(), to.fd_, b.constData(), RENAME_NOREPLACE));
               if (r == 0 || (errno != EINVAL && errno != ENOSYS))
                   return r;
               // File systems without RENAME_NOREPLACE: a hard link fails
               // when the target exists, and the source is removed only
               // after the link stands.
               if (::linkat(fd_, a.constData(), to.fd_, b.constData(), 0) != 0)
                   return -1;
               ::unlinkat(fd_, a.constData(), 0);
               return 0;
           }) == 0 ||
           fail(error, errno);
}

bool Folder::remove(const QString& name, int* error) const
{
    return guarded(FileOp::Remove, path_ + name, [&] { return ::unlinkat(fd_, native(name).constData(), 0); }) == 0 ||
           fail(error, errno);
}

bool Folder::sync(int* error) const
{
    return guarded(FileOp::Sync, path_, [&] { return ::fsync(fd_); }) == 0 || fail(error, errno);
}

QString executablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString executableFolder()
{
    return folderOfPath(executablePath());
}

void injectFaultForTesting(FileOp op, const QString& pathPart, int error, int times)
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    f.list.push_back({op, pathPart, error, times});
}

void clearFaultsForTesting()
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    f.list.clear();
    f.counting = false;
    f.steps = f.stopAt = f.failAt = f.failError = 0;
}

void setWriteFaultForTesting(const QString& pathPart)
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    f.list.erase(std::remove_if(f.list.begin(), f.list.end(),
                                [](const Fault& x) { return x.op == FileOp::Write && x.error == ENOSPC; }),
                 f.list.end());
    if (!pathPart.isEmpty())
        f.list.push_back({FileOp::Write, pathPart, ENOSPC, -1});
}

void countStepsForTesting(int stopAt, int failAt, int failError)
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    f.counting = true;
    f.steps = 0;
    f.stopAt = stopAt;
    f.failAt = failAt;
    f.failError = failError;
}

int stepsForTesting()
{
    Faults& f = faults();
    std::lock_guard<std::mutex> g(f.lock);
    return f.steps;
}

} // namespace platform
