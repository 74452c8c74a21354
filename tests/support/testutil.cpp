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

QString toolPath(const QString& name)
{
    return QStringLiteral(TOLVARIN_TOOLS_DIR "/") + name;
}

} // namespace testutil
