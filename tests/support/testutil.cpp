#include "testutil.h"

#include <QFile>

namespace testutil {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write test file %s", qPrintable(path));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString folderOf(const QTemporaryDir& dir)
{
    return dir.path() + QLatin1Char('/');
}

QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = folderOf(dir) + name;
    writeFile(path, bytes);
    return path;
}

QString toolPath(const QString& name)
{
    return QStringLiteral(TOLVARIN_TOOLS_DIR "/") + name;
}

} // namespace testutil

#include <QColor>
#include <QImage>

#include "platform/cp932.h"

namespace testutil {

void writeCatalogue(const QString& folder, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += cp932::encodeLossy(line) + "\r\n";
    writeFile(folder + QStringLiteral("Tolvarin.dat"), bytes);
}

void writePicture(const QString& path, int w, int h, const QColor& colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    const char* format = path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? "BMP" : "JPG";
    if (!image.save(path, format, 90))
        qFatal("cannot write test picture %s", qPrintable(path));
}

void writeSettings(const QString& iniPath, const QString& cdDir, const QString& hddDir, const QString& addDir)
{
    const QString text = QStringLiteral("[Dir]\r\nCdDir=%1\r\nHddDir=%2\r\nAddDir=%3\r\n").arg(cdDir, hddDir, addDir);
    writeFile(iniPath, cp932::encodeLossy(text));
}

} // namespace testutil
