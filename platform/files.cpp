#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {
namespace {

QString gWriteFault;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool faultFor(const QString& path)
{
    return !gWriteFault.isEmpty() && path.contains(gWriteFault);
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
    return slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
}

// Makes the rename of a file into `folder` durable.
void syncFolder(const QString& folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `bytes` into a new temporary file beside `target`, flushed to disk.
// Returns the temporary path, or an empty string on failure.
QString writeTemporary(const QString& target, const QByteArray& bytes, QString* error)
{
    QByteArray templ = native(target) + ".tmp-XXXXXX";
    const int fd = ::mkostemp(templ.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        return {};
    }
    // mkostemp creates the file for its owner only; give it the permissions
    // an ordinary new file gets.
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mode_t(0666 & ~mask);
    }();
    ::fchmod(fd, mode);
    const QString tmp = QFile::decodeName(templ);
    bool ok = !faultFor(target) && writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
    const int saved = faultFor(target) ? ENOSPC : errno;
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(saved));
        ::unlink(templ.constData());
        return {};
    }
    return tmp;
}

} // namespace

FileStamp fileAge(const QString& path)
{
    struct stat st;
    FileStamp s;
    if (::stat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    s.present = true;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    return s;
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

bool readFile(const QString& path, QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString tmp = writeTemporary(path, bytes, error);
    if (tmp.isEmpty())
        return false;
    if (::rename(native(tmp).constData(), native(path).constData()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(strerror(errno));
        ::unlink(native(tmp).constData());
        return false;
    }
    syncFolder(folderOfPath(path));
    return true;
}

bool copyFileReplace(const QString& from, const QString& to)
{
    QByteArray bytes;
    return readFile(from, bytes) && writeFileAtomic(to, bytes);
}

bool moveFileNoReplace(const QString& from, const QString& to)
{
    const QByteArray a = native(from);
    const QByteArray b = native(to);
#ifdef SYS_renameat2
    if (::syscall(SYS_renameat2, AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // File systems without RENAME_NOREPLACE: a hard link fails when the
    // target exists, and the source is removed only after the link stands.
    if (::link(a.constData(), b.constData()) != 0)
        return false;
    ::unlink(a.constData());
    return true;
}

bool writeNewFile(const QString& path, const QByteArray& bytes, QString* error)
{
    if (fileExists(path)) {
        if (error)
            *error = QStringLiteral("「%1」はすでにあります").arg(path);
        return false;
    }
    const QString tmp = writeTemporary(path, bytes, error);
    if (tmp.isEmpty())
        return false;
    if (!moveFileNoReplace(tmp, path)) {
        const int why = errno;
        ::unlink(native(tmp).constData());
        if (error)
            *error = why == EEXIST ? QStringLiteral("「%1」はすでにあります").arg(path) : QString::fromLocal8Bit(strerror(why));
        return false;
    }
    syncFolder(folderOfPath(path));
    return true;
}

bool copyFileNoReplace(const QString& from, const QString& to)
{
    QByteArray bytes;
    return !fileExists(to) && readFile(from, bytes) && writeNewFile(to, bytes);
}

bool deleteFile(const QString& path)
{
    return ::unlink(native(path).constData()) == 0;
}

QString executablePath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString executableFolder()
{
    return folderOfPath(executablePath());
}

void setWriteFaultForTesting(const QString& pathPart)
{
    gWriteFault = pathPart;
}

} // namespace platform
