#include "settings/locations.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString ProgramFolderName = QStringLiteral("tolvarin");
const QString UserSettingsName = QStringLiteral("Tolvarin.ini");

QString homeFolder(const QProcessEnvironment& env)
{
    const QString home = env.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) : QStringLiteral("/tmp");
}

// An XDG base folder: the variable when it holds an absolute path (the base
// directory rules say a relative one is to be ignored), else the fallback
// below the home folder.
QString baseFolder(const QProcessEnvironment& env, const QString& variable, const QString& underHome)
{
    const QString value = env.value(variable);
    if (QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return homeFolder(env) + QLatin1Char('/') + underHome;
}

// The folder part of a path, ending in "/".
QString folderOfFile(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// mkdir -p with mode 0700 for every folder it makes.
bool makeFolders(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    int from = 1;
    while (true) {
        const int slash = clean.indexOf(QLatin1Char('/'), from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        if (!part.isEmpty()) {
            const QByteArray native = QFile::encodeName(part);
            if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
                return false;
        }
        if (slash < 0)
            break;
        from = slash + 1;
    }
    struct stat st {};
    return ::stat(QFile::encodeName(clean).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

FolderDefaults folderDefaults(const QString& exeFolder, bool exeFolderWritable, const QProcessEnvironment& env)
{
    const QString beside = defaultPictureFolder(exeFolder);
    if (exeFolderWritable)
        return FolderDefaults{beside, beside, beside};
    const QString user = baseFolder(env, QStringLiteral("XDG_DATA_HOME"), QStringLiteral(".local/share")) +
                         QLatin1Char('/') + ProgramFolderName + QStringLiteral("/picture");
    return FolderDefaults{beside, user, user};
}

ProgramLocations programLocations(const QString& exePath, bool exeFolderWritable, const QProcessEnvironment& env)
{
    ProgramLocations places;
    places.portable = exeFolderWritable;
    places.folders = folderDefaults(folderOfFile(exePath), exeFolderWritable, env);
    if (exeFolderWritable)
        places.iniPath = settingsPathFor(exePath);
    else
        places.iniPath = baseFolder(env, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral(".config")) +
                         QLatin1Char('/') + ProgramFolderName + QLatin1Char('/') + UserSettingsName;
    return places;
}

bool folderWritable(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

QProcessEnvironment userEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("HOME")).isEmpty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir)
            env.insert(QStringLiteral("HOME"), QFile::decodeName(pw->pw_dir));
    }
    return env;
}

ProgramLocations programLocationsFor(const QString& exePath)
{
    return programLocations(exePath, folderWritable(folderOfFile(exePath)), userEnvironment());
}

FolderDefaults folderDefaultsFor(const QString& exeFolder)
{
    return folderDefaults(exeFolder, folderWritable(exeFolder), userEnvironment());
}

bool prepareLocations(const ProgramLocations& locations, QString* failedFolder)
{
    if (locations.portable)
        return true;
    const QString iniFolder = folderOfFile(locations.iniPath);
    for (const QString& folder : {iniFolder, locations.folders.hddDir, locations.folders.addDir}) {
        if (folder.isEmpty() || makeFolders(folder))
            continue;
        if (failedFolder)
            *failedFolder = folder;
        return false;
    }
    return true;
}
