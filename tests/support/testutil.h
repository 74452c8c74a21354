#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace testutil {

// Writes raw bytes to a file, creating it or replacing its contents.
void writeFile(const QString& path, const QByteArray& bytes);
// Reads a whole file; an empty array when it cannot be read.
QByteArray readFile(const QString& path);
// A temporary folder path ending in "/".
QString folderOf(const QTemporaryDir& dir);
// Writes `bytes` as the file `name` in `dir`; returns its path.
QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
// Path of a helper program built beside the tests.
QString toolPath(const QString& name);

} // namespace testutil

class QColor;

namespace testutil {

// Writes a data file (cp932, CR LF) with the given lines into `folder`.
void writeCatalogue(const QString& folder, const QStringList& lines);

// Five species of different seasons, colours and forms, for the window
// tests. Fields: name, seasons, colours, flower, stem, margin, leaf, pictures.
inline const QStringList fiveSpecies = {
    QStringLiteral("ハコベ,1,1,0,0,1,0,0,0,0,0,3,1,0,2,2"),
    QStringLiteral("タンポポ,1,0,0,0,0,0,1,0,0,0,2,3,0,4,1"),
    QStringLiteral("ヤマユリ,0,1,0,0,1,0,0,0,0,0,8,1,1,1,1"),
    QStringLiteral("リンドウ,0,0,1,0,0,0,0,1,0,0,1,1,1,2,1"),
    QStringLiteral("ススキ,0,0,1,0,0,0,0,0,0,1,4,1,0,8,1"),
};
// Writes a w x h picture of one colour; the format follows the extension
// (".jpg" or ".bmp").
void writePicture(const QString& path, int w, int h, const QColor& colour);
// A settings file naming the three folders.
void writeSettings(const QString& iniPath, const QString& cdDir, const QString& hddDir, const QString& addDir);

} // namespace testutil
