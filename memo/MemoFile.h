#pragma once
// Memo files: one plain cp932 text file per species, named after it, in the
// CD-ROM or the hard-disk picture folder. These are the file rules only; the
// memo window and the search pad's "Memo" page use them.
#include <QString>
#include <QStringList>

// folder + species + ".txt"; `folder` ends in "/", the name is used as it
// is. Empty for a name that cannot name a file in the folder (one holding
// "/"): such a species has no memo.
QString memoFileName(const QString& folder, const QString& species);

// The memo file of a species: the one in the CD-ROM folder when it exists,
// else the one in the hard-disk folder when it exists, else the empty
// string. (A new memo always goes to memoFileName(hddDir, species).)
QString selectMemoFile(const QString& cdDir, const QString& hddDir, const QString& species);

// Memo text and its lines. The text holds every line followed by "\n", the
// way a memo box shows a file; turning text back into lines splits at CR
// LF, lone CR and lone LF and drops the empty line after a final line
// break. So memoLines(memoText(lines)) == lines, and empty text has no
// lines at all.
QStringList memoLines(const QString& text);
QString memoText(const QStringList& lines);

// Reads a memo file as lines: cp932, a line ends at CR LF, a lone CR or a
// lone LF, and a NUL byte ends the text. A memo saved as UTF-8 (by a Linux
// text editor, say) is read as UTF-8: one that starts with the UTF-8 byte
// order mark, or whose bytes are well-formed UTF-8 holding more than ASCII
// and are not sensible cp932. False when the file cannot be read.
bool readMemoLines(const QString& path, QStringList& lines);
// The same as memo text (see memoText).
bool readMemoFile(const QString& path, QString& text);

// Writes memo text: the lines of `text`, each followed by CR LF, in cp932
// (which Windows and other copies of the program read) whenever every
// character fits. A memo file that is UTF-8 already keeps UTF-8 when the
// text does not fit cp932; so does text whose cp932 bytes would read back
// as other text. The file is replaced in one step, so a failed write leaves
// the old memo. Other text with a character that cp932 cannot hold (or a
// NUL character, which would end the text on reading) is refused and
// nothing is written. On failure `error` gets a message for the user.
bool writeMemoFile(const QString& path, const QString& text, QString* error = nullptr);

// The bytes writeMemoFile would write to `path` for `text`; false (with
// `error`) when it would refuse the text.
bool encodeMemoFile(const QString& path, const QString& text, QByteArray& bytes, QString* error = nullptr);

enum class PadMemoResult {
    Unchanged, // nothing to save or delete
    Saved,     // the memo was written to memoPath
    Deleted,   // the emptied memo was removed from the hard-disk folder
    Failed     // the memo could not be written; `error` says why
};

// The memo rules of the search pad's confirm button, for the memo of the
// species shown on the pad:
// 1. a memo with text but no file yet gets the hard-disk path
//    (memoPath := defaultMemoPath);
// 2. a memo the user emptied (modified) whose file is the hard-disk one is
//    deleted (a memo in the CD-ROM folder is never deleted); memoPath
//    becomes empty once the file is gone, and a failed delete is ignored;
// 3. a memo with text that was modified is written to memoPath; when a
//    new memo cannot be written, memoPath becomes empty again.
// `memoPath` is updated in place; `defaultMemoPath` is
// memoFileName(hddDir, species).
PadMemoResult savePadMemo(QString& memoPath, const QString& defaultMemoPath, const QString& text, bool modified,
                          QString* error = nullptr);
