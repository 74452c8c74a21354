#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace testutil {

// Writes raw bytes to a file, creating it or replacing its contents.
void writeFile(const QString& path, const QByteArray& bytes);
// Reads a whole file; an empty array when it cannot be read.
QByteArray readFile(const QString& path);
// A temporary folder path ending in "/".
QString folderOf(const QTemporaryDir& dir);
// Path of a helper program built beside the tests.
QString toolPath(const QString& name);

} // namespace testutil
