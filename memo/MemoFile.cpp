#include "memo/MemoFile.h"

#include "platform/cp932.h"
#include "platform/files.h"

namespace {

// Splits at CR LF, lone CR and lone LF. Text after the last break is a line
// of its own; a final break is not followed by an empty line.
QStringList splitLines(const QString& text)
{
    QStringList lines;
    int start = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

// The characters of `text` that a memo file cannot hold, each once.
QString unwritableCharacters(const QString& text)
{
    QString found;
    const QList<uint> codes = text.toUcs4();
    for (uint code : codes) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        if ((code == 0 || !cp932::representable(ch)) && !found.contains(ch))
            found += code == 0 ? QStringLiteral("NUL") : ch;
    }
    return found;
}

} // namespace

QString memoFileName(const QString& folder, const QString& species)
{
    if (!platform::staysInFolder(species))
        return {};
    return folder + species + QLatin1String(".txt");
}

QString selectMemoFile(const QString& cdDir, const QString& hddDir, const QString& species)
{
    const QString onCd = memoFileName(cdDir, species);
    if (platform::fileExists(onCd))
        return onCd;
    const QString onHdd = memoFileName(hddDir, species);
    if (platform::fileExists(onHdd))
        return onHdd;
    return {};
}

QStringList memoLines(const QString& text)
{
    return splitLines(text);
}

QString memoText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    return text;
}

bool readMemoLines(const QString& path, QStringList& lines)
{
    QByteArray bytes;
    if (!platform::readFile(path, bytes))
        return false;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    lines = splitLines(cp932::decode(bytes));
    return true;
}

bool readMemoFile(const QString& path, QString& text)
{
    QStringList lines;
    if (!readMemoLines(path, lines))
        return false;
    text = memoText(lines);
    return true;
}

bool writeMemoFile(const QString& path, const QString& text, QString* error)
{
    QByteArray bytes;
    // 〜 typed on Linux is written as the ～ cp932 holds, not refused.
    for (const QString& line : splitLines(cp932::windowsForms(text))) {
        QByteArray encoded;
        if (!cp932::encode(line, encoded) || line.contains(QChar(0))) {
            if (error)
                *error = QStringLiteral("メモに保存できない文字があります: %1").arg(unwritableCharacters(text));
            return false;
        }
        bytes += encoded + "\r\n";
    }
    QString reason;
    if (!platform::writeFileAtomic(path, bytes, &reason)) {
        if (error)
            *error = QStringLiteral("メモを保存できません: %1\n%2").arg(path, reason);
        return false;
    }
    return true;
}

PadMemoResult savePadMemo(QString& memoPath, const QString& defaultMemoPath, const QString& text, bool modified,
                          QString* error)
{
    const bool hasLines = !text.isEmpty();
    const bool newMemo = memoPath.isEmpty() && hasLines;
    if (newMemo && defaultMemoPath.isEmpty()) {
        if (error)
            *error = QStringLiteral("この植物名ではメモファイルを作れません。");
        return modified ? PadMemoResult::Failed : PadMemoResult::Unchanged;
    }
    if (newMemo)
        memoPath = defaultMemoPath;
    // Only a memo the user emptied is deleted: one that could not be read
    // shows an empty page too, and confirming the pad must not delete it.
    if (!hasLines && modified && !memoPath.isEmpty() && memoPath == defaultMemoPath) {
        const bool deleted = platform::deleteFile(memoPath);
        if (!platform::fileExists(memoPath))
            memoPath.clear();
        return deleted ? PadMemoResult::Deleted : PadMemoResult::Unchanged;
    }
    if (hasLines && modified) {
        if (writeMemoFile(memoPath, text, error))
            return PadMemoResult::Saved;
        // A new memo that could not be written has no file: the species
        // still has no memo.
        if (newMemo)
            memoPath.clear();
        return PadMemoResult::Failed;
    }
    return PadMemoResult::Unchanged;
}
