#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzsupport {
namespace {

void quiet(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

const QString ScratchPrefix = QStringLiteral("tolvarin-fuzz-");

// A run that crashed (the reason it stopped, often) could not remove its
// folder; those of processes that no longer exist are removed here.
void removeStaleFolders(const QString& base)
{
    const QStringList names = QDir(base).entryList({ScratchPrefix + QLatin1Char('*')}, QDir::Dirs);
    for (const QString& name : names) {
        bool ok = false;
        const int pid = name.mid(ScratchPrefix.size()).toInt(&ok);
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QDir(base + QLatin1Char('/') + name).removeRecursively();
    }
}

QString makeScratchFolder()
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() && ::access("/dev/shm", W_OK) == 0
                             ? QStringLiteral("/dev/shm")
                             : QDir::tempPath();
    removeStaleFolders(base);
    const QString folder = base + QLatin1Char('/') + ScratchPrefix + QString::number(::getpid()) + QLatin1Char('/');
    QDir().mkpath(folder);
    std::atexit([] { QDir(scratchFolder()).removeRecursively(); });
    return folder;
}

} // namespace

void initialise(int* argc, char*** argv)
{
    qInstallMessageHandler(quiet);
    // Kept for the life of the process, like any program's application object.
    static QCoreApplication* app = new QCoreApplication(*argc, *argv);
    (void)app;
    scratchFolder();
}

const QString& scratchFolder()
{
    // Never destroyed, so that the clean-up at exit can still name it.
    static const QString* folder = new QString(makeScratchFolder());
    return *folder;
}

QString writeScratchFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = scratchFolder() + name;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror("fuzz scratch file");
        std::abort();
    }
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::perror("fuzz scratch file");
            std::abort();
        }
        data += n;
        size -= size_t(n);
    }
    ::close(fd);
    return path;
}

QString writeScratchFile(const QString& name, const QByteArray& bytes)
{
    return writeScratchFile(name, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

void failed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", condition, file, line);
    std::abort();
}

} // namespace fuzzsupport
