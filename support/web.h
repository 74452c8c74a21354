#pragma once
// Reaching the outside world: opening a web page, starting a mail and
// opening the help file, all through the desktop.
//
// A web page is first handed to the desktop; when that fails, the desktop's
// default program for web pages is looked up in its MIME database and
// started by hand with the address. The calls that leave the program go
// through DesktopCalls, so tests can answer them.
#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

struct DesktopCalls {
    // Asks the desktop to open a URL; true when it accepted.
    std::function<bool(const QUrl& url)> openUrl;
    // Starts a program without waiting for it; true when it started.
    std::function<bool(const QString& program, const QStringList& args)> startDetached;
    // Runs xdg-mime with the arguments; its standard output, empty on failure.
    std::function<QString(const QStringList& args)> runXdgMime;
};

// Installs the calls used from now on (tests). A member left empty counts
// as a call that fails.
void setDesktopCalls(const DesktopCalls& calls);
// Restores the real desktop calls.
void resetDesktopCalls();

// Opens `address` in the user's web browser. True when a browser was
// started: by the desktop, or else by the default program for "text/html".
bool openWebPage(const QString& address);

// The whole mailto text for `start` ("mailto:" + address + "?"), with an
// empty cc, the program's subject and an empty body.
QString mailtoText(const QString& start);
// Starts a new mail in the user's mail program from mailtoText(start).
void composeMail(const QString& start);

// The help file: the executable's path with its extension (if any)
// replaced by ".hlp".
QString helpFilePath(const QString& executablePath);
// Opens the help file of the running executable. The file is plain text,
// so the desktop's text viewer opens it; when the desktop has none, the
// file is handed to the desktop as it is. True when something was started.
bool openHelp();

// --- The steps of the hand-started fallback, exposed for tests ---

// Removes the argument placeholder from a handler's command line: the
// first quoted "%1" (or "%u", "%U", "%f", "%F") together with the
// character before it (normally a blank); when there is no quoted one, the
// first unquoted placeholder with the character before it. A placeholder
// at the very start loses only itself. Other text stays as it is.
QString removeUrlPlaceholder(const QString& commandLine);

// Splits a desktop-entry command line into program and arguments: blanks
// separate arguments, double quotes group them (inside them a backslash
// escapes '"', '`', '$' and '\'), "%%" stands for "%" and the remaining
// field codes (%i, %c, %k and the deprecated ones) are dropped; an argument
// that was only a field code disappears.
QStringList splitExecLine(const QString& commandLine);

// The program and arguments that open `argument` with a handler whose
// command line is `execLine`: placeholder removed, then `argument` added
// as one argument of its own (never passed through a shell).
QStringList handlerCommand(const QString& execLine, const QString& argument);

// The Exec line of a desktop file's [Desktop Entry] group, with the
// value escapes (\s, \n, \t, \r, \\) undone; empty when there is none or
// when the entry must run in a terminal.
QString desktopEntryExec(const QByteArray& contents);

// The full path of the desktop file `desktopId`, looked up in
// $XDG_DATA_HOME/applications (default ~/.local/share) and then in each
// $XDG_DATA_DIRS/applications (default /usr/local/share:/usr/share); a "-"
// in the id may stand for a subfolder. Empty when not found.
QString findDesktopFile(const QString& desktopId);

// Starts the desktop's default program for `mimeType` with `argument`.
bool startDefaultHandler(const QString& mimeType, const QString& argument);
