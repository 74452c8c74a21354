#pragma once
// Shared by the benchmark programs: best-of-N timing, the machine the
// figures come from, and the decoder baseline (libjpeg-turbo's own djpeg on
// the same file, timed in the same run), so that a figure can be read as a
// ratio that holds on a busy or slower machine too.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace bench {

// The shortest of `runs` timings of f(), in milliseconds.
template <class F>
double bestMilliseconds(int runs, F&& f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

// One line naming the processor, its cores and the load when the run began.
inline void printMachine()
{
    QString model = QStringLiteral("unknown processor");
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : cpuinfo.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    QString load = QStringLiteral("?");
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        load = QString::fromLatin1(loadavg.readAll()).section(QLatin1Char(' '), 0, 0);
    std::printf("machine: %s, %d cores, load average %s\n\n", qPrintable(model), QThread::idealThreadCount(),
                qPrintable(load));
}

// The best of `runs` times djpeg takes to decode `path` at 1/denom scale
// and throw the pixels away, process start included; negative when djpeg
// (Debian package libjpeg-turbo-progs) is not installed or fails.
inline double djpegMilliseconds(const QString& path, int denom, int runs)
{
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    if (djpeg.isEmpty())
        return -1;
    bool ok = true;
    const double best = bestMilliseconds(runs, [&] {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(djpeg, {QStringLiteral("-scale"), QStringLiteral("1/%1").arg(denom), path});
        ok = ok && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    });
    return ok ? best : -1;
}

} // namespace bench
