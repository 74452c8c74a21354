#include "support/web.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "app/state.h"
#include "platform/files.h"

namespace {

DesktopCalls realDesktopCalls()
{
    DesktopCalls calls;
    calls.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    calls.startDetached = [](const QString& program, const QStringList& args) {
        return QProcess::startDetached(program, args);
    };
    calls.runXdgMime = [](const QStringList& args) -> QString {
        QProcess process;
        process.start(QStringLiteral("xdg-mime"), args);
        if (!process.waitForStarted(2000))
            return {};
        // The user interface waits for the answer, so never for long.
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(1000);
            return {};
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return {};
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    };
    return calls;
}

DesktopCalls& desktop()
{
    static DesktopCalls calls = realDesktopCalls();
    return calls;
}

bool callOpenUrl(const QUrl& url)
{
    return desktop().openUrl && desktop().openUrl(url);
}

// The placeholders that stand for the file or address to open.
bool isArgumentCode(QChar c)
{
    return c == QLatin1Char('1') || c == QLatin1Char('u') || c == QLatin1Char('U') || c == QLatin1Char('f') ||
           c == QLatin1Char('F');
}

// Field codes that are dropped from a command line: the argument
// placeholders left over and the icon, name, location and deprecated codes.
bool isDroppedCode(QChar c)
{
    static const QString codes = QStringLiteral("1uUfFickdDnNvm");
    return codes.contains(c);
}

// Index of the first argument placeholder: with `quoted`, of the opening
// quote of one written as "%1"; otherwise of its "%". -1 when none. "%%" is
// a literal percent sign and never starts a placeholder.
int findArgumentPlaceholder(const QString& text, bool quoted)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('%'))
            continue;
        if (text.at(i + 1) == QLatin1Char('%')) {
            ++i;
            continue;
        }
        if (!isArgumentCode(text.at(i + 1)))
            continue;
        if (!quoted)
            return i;
        if (i > 0 && text.at(i - 1) == QLatin1Char('"') && i + 2 < text.size() && text.at(i + 2) == QLatin1Char('"'))
            return i - 1;
    }
    return -1;
}

// One argument with its field codes expanded or dropped; `onlyCodes` tells
// that nothing but dropped codes made it up.
QString expandFieldCodes(const QString& arg, bool& onlyCodes)
{
    QString out;
    bool dropped = false;
    for (int i = 0; i < arg.size(); ++i) {
        const QChar c = arg.at(i);
        if (c == QLatin1Char('%') && i + 1 < arg.size()) {
            const QChar code = arg.at(i + 1);
            if (code == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if (isDroppedCode(code)) {
                dropped = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    onlyCodes = dropped && out.isEmpty();
    return out;
}

QStringList dataFolders()
{
    QStringList folders;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    folders << home;
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << dir;
    return folders;
}

} // namespace

void setDesktopCalls(const DesktopCalls& calls)
{
    desktop() = calls;
}

void resetDesktopCalls()
{
    desktop() = realDesktopCalls();
}

QString removeUrlPlaceholder(const QString& commandLine)
{
    QString out = commandLine;
    int at = findArgumentPlaceholder(out, true);
    int length = 4; // "%1" with its quotes
    if (at < 0) {
        at = findArgumentPlaceholder(out, false);
        length = 2;
    }
    if (at < 0)
        return out;
    // The character before the placeholder (normally the blank separating
    // it) goes with it; a placeholder at the very start has none.
    if (at > 0)
        out.remove(at - 1, length + 1);
    else
        out.remove(0, length);
    return out;
}

QStringList splitExecLine(const QString& commandLine)
{
    QStringList args;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    bool quotedArgument = false;
    auto finish = [&] {
        if (!inArgument)
            return;
        bool onlyCodes = false;
        const QString arg = quotedArgument ? current : expandFieldCodes(current, onlyCodes);
        if (!onlyCodes)
            args << arg;
        current.clear();
        inArgument = false;
        quotedArgument = false;
    };
    for (int i = 0; i < commandLine.size(); ++i) {
        const QChar c = commandLine.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < commandLine.size() &&
                QStringLiteral("\"`$\\").contains(commandLine.at(i + 1))) {
                current += commandLine.at(++i);
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            finish();
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = true;
            quotedArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    finish();
    return args;
}

QStringList handlerCommand(const QString& execLine, const QString& argument)
{
    QStringList command = splitExecLine(removeUrlPlaceholder(execLine));
    if (command.isEmpty())
        return {};
    command << argument;
    return command;
}

QString desktopEntryExec(const QByteArray& contents)
{
    const QStringList lines = QString::fromUtf8(contents).split(QRegularExpression(QStringLiteral("\r?\n")));
    bool inEntry = false;
    QString exec;
    bool terminal = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Exec") && exec.isEmpty())
            exec = value;
        else if (key == QLatin1String("Terminal"))
            terminal = value == QLatin1String("true");
    }
    // A program that needs a terminal cannot be started on its own.
    if (terminal)
        return {};
    QString out;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c != QLatin1Char('\\') || i + 1 == exec.size()) {
            out += c;
            continue;
        }
        const QChar next = exec.at(++i);
        if (next == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (next == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else {
            out += c;
            out += next;
        }
    }
    return out;
}

QString findDesktopFile(const QString& desktopId)
{
    // An id is a plain file name; anything that could leave the
    // applications folders is refused.
    if (!desktopId.endsWith(QLatin1String(".desktop")) || desktopId.contains(QLatin1Char('/')) ||
        desktopId.startsWith(QLatin1Char('.')))
        return {};
    // "vendor-app.desktop" may also be "vendor/app.desktop".
    QStringList candidates{desktopId};
    QString relative = desktopId;
    const int stem = relative.size() - int(sizeof(".desktop") - 1);
    for (int dash = relative.indexOf(QLatin1Char('-')); dash >= 0 && dash < stem;
         dash = relative.indexOf(QLatin1Char('-'), dash + 1)) {
        relative[dash] = QLatin1Char('/');
        candidates << relative;
    }
    for (const QString& folder : dataFolders()) {
        for (const QString& candidate : candidates) {
            const QString path = folder + QStringLiteral("/applications/") + candidate;
            if (platform::fileExists(path))
                return path;
        }
    }
    return {};
}

bool startDefaultHandler(const QString& mimeType, const QString& argument)
{
    if (!desktop().runXdgMime)
        return false;
    const QString answer = desktop().runXdgMime({QStringLiteral("query"), QStringLiteral("default"), mimeType});
    for (const QString& id : answer.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
        const QString path = findDesktopFile(id);
        QByteArray contents;
        if (path.isEmpty() || !platform::readFile(path, contents))
            continue;
        const QStringList command = handlerCommand(desktopEntryExec(contents), argument);
        if (command.isEmpty())
            continue;
        return desktop().startDetached && desktop().startDetached(command.first(), command.mid(1));
    }
    return false;
}

bool openWebPage(const QString& address)
{
    if (address.isEmpty())
        return false;
    if (callOpenUrl(QUrl(address, QUrl::TolerantMode)))
        return true;
    return startDefaultHandler(QStringLiteral("text/html"), address);
}

QString mailtoText(const QString& start)
{
    const QString subject = QStringLiteral("subject=『Tolvarin』") + versionText + QStringLiteral("について&");
    return start + QStringLiteral("cc= &") + subject + QStringLiteral("body= &");
}

void composeMail(const QString& start)
{
    callOpenUrl(QUrl(mailtoText(start), QUrl::TolerantMode));
}

QString helpFilePath(const QString& executablePath)
{
    const int slash = executablePath.lastIndexOf(QLatin1Char('/'));
    const int dot = executablePath.lastIndexOf(QLatin1Char('.'));
    // Only a dot inside the file name, and not its first character, starts
    // an extension.
    if (dot > slash + 1)
        return executablePath.left(dot) + QStringLiteral(".hlp");
    return executablePath + QStringLiteral(".hlp");
}

bool openHelp()
{
    const QString path = helpFilePath(platform::executablePath());
    // Desktops file "*.hlp" under the old Windows help type, which has no
    // viewer; the file is plain text, so the text viewer is asked first.
    if (platform::fileExists(path) && startDefaultHandler(QStringLiteral("text/plain"), path))
        return true;
    return callOpenUrl(QUrl::fromLocalFile(path));
}
