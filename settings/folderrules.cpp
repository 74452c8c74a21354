#include "settings/folderrules.h"

#include <QDir>

namespace {

// `path` without its trailing slashes; a path of slashes only is the root.
QString withoutTrailingSlashes(const QString& path)
{
    int end = path.size();
    while (end > 0 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    if (end == 0)
        return path.isEmpty() ? QString() : QStringLiteral("/");
    return path.left(end);
}

} // namespace

QString folderDisplayForm(const QString& folder)
{
    return withoutTrailingSlashes(folder);
}

QString folderFromPicker(const QString& path)
{
    const QString bare = withoutTrailingSlashes(path);
    if (bare.isEmpty() || bare == QLatin1String("/"))
        return bare;
    return bare + QLatin1Char('/');
}

PathBoxEnter pathBoxEnter(const QString& typed, bool typedIsFolder, const QString& lastTreePath,
                          const QString& currentFolder)
{
    PathBoxEnter out;
    if (!typedIsFolder || typed.isEmpty()) {
        out.path = lastTreePath;
        out.beep = true;
        return out;
    }
    const QString absolute = typed.startsWith(QLatin1Char('/')) ? typed : currentFolder + QLatin1Char('/') + typed;
    out.selectInTree = true;
    out.path = QDir::cleanPath(absolute);
    return out;
}
