#include "memo/MemoFile.h"

#include <QStringDecoder>

#include "platform/cp932.h"
#include "platform/files.h"

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");

// The text of `bytes` when they are well-formed UTF-8; false otherwise.
bool decodeUtf8(const QByteArray& bytes, QString& text)
{
    // A byte order mark is kept as a character: the caller drops the one
    // that starts a file, and only that one.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool hasNonAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// True when every character of `text` beyond ASCII belongs to what a memo
// written in UTF-8 holds: Latin letters, Greek and Cyrillic, punctuation
// and symbols, Japanese, Chinese and Korean script, full-width forms,
// emoji. cp932 bytes read as UTF-8 by chance give C1 controls, phonetic
// modifiers, Hebrew or Arabic letters and the like instead.
bool looksLikeText(const QString& text)
{
    for (const uint c : text.toUcs4()) {
        const bool plausible = c < 0x80 || (c >= 0xA0 && c <= 0x24F) || (c >= 0x300 && c <= 0x36F) ||
                               (c >= 0x370 && c <= 0x4FF) || (c >= 0x1E00 && c <= 0x1EFF) ||
                               (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x2E80 && c <= 0x9FFF) ||
                               (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
                               (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
                               (c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFF);
        if (!plausible)
            return false;
    }
    return true;
}

// How the bytes of a memo file are read. Memos are cp932, as Windows and
// the other copies of the program write them; a memo saved by a Linux
// text editor is UTF-8. UTF-8 is taken when the file starts with its byte
// order mark, or when the bytes are well-formed UTF-8 holding more than
// ASCII and are not sensible cp932: they are not cp932 at all, or read as
// UTF-8 they give ordinary text (real cp932 text is almost never
// well-formed UTF-8, and then reads as odd symbols).
struct MemoDecoding {
    QString text;
    bool utf8 = false;
};

MemoDecoding decodeMemo(const QByteArray& bytes)
{
    MemoDecoding d;
    if (bytes.startsWith(Utf8Mark) && decodeUtf8(bytes.mid(Utf8Mark.size()), d.text)) {
        d.utf8 = true;
        return d;
    }
    QString asUtf8;
    if (hasNonAscii(bytes) && decodeUtf8(bytes, asUtf8)) {
        const QString asCp932 = cp932::decode(bytes);
        if (asCp932.contains(QChar(QChar::ReplacementCharacter)) || looksLikeText(asUtf8)) {
            d.text = asUtf8;
            d.utf8 = true;
            return d;
        }
        d.text = asCp932;
        return d;
    }
    d.text = cp932::decode(bytes);
    return d;
}

// The bytes of a memo file up to the NUL that ends its text; false when the
// file cannot be read.
bool readMemoBytes(const QString& path, QByteArray& bytes)
{
    if (!platform::readFile(path, bytes))
        return false;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return true;
}

// True when the memo file at `path` exists and is read as UTF-8.
bool isUtf8Memo(const QString& path)
{
    QByteArray bytes;
    return platform::fileExists(path) && readMemoBytes(path, bytes) && decodeMemo(bytes).utf8;
}

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
    if (!readMemoBytes(path, bytes))
        return false;
    lines = splitLines(decodeMemo(bytes).text);
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

bool encodeMemoFile(const QString& path, const QString& text, QByteArray& out, QString* error)
{
    if (text.contains(QChar(0))) {
        if (error)
            *error = QStringLiteral("メモに保存できない文字があります: %1").arg(unwritableCharacters(text));
        return false;
    }
    // cp932 whenever every character fits (〜 typed on Linux is written as
    // the ～ cp932 holds) and the bytes read back as this text; otherwise
    // UTF-8 for a memo that is UTF-8 already, or for text whose cp932 bytes
    // would read back as something else. Text that fits neither way is
    // refused, and the file is left as it was.
    const QString forWindows = cp932::windowsForms(text);
    QByteArray bytes;
    bool fits = true;
    for (const QString& line : splitLines(forWindows)) {
        QByteArray encoded;
        fits = fits && cp932::encode(line, encoded);
        bytes += encoded + "\r\n";
    }
    const bool readsBack = fits && memoLines(decodeMemo(bytes).text) == memoLines(forWindows);
    if (!readsBack) {
        if (fits || isUtf8Memo(path)) {
            bytes.clear();
            for (const QString& line : splitLines(text))
                bytes += line.toUtf8() + "\r\n";
            if (memoLines(decodeMemo(bytes).text) != memoLines(text))
                bytes.prepend(Utf8Mark); // the mark makes it read as UTF-8
        } else {
            if (error)
                *error = QStringLiteral("メモに保存できない文字があります: %1").arg(unwritableCharacters(text));
            return false;
        }
    }
    out = bytes;
    return true;
}

bool writeMemoFile(const QString& path, const QString& text, QString* error)
{
    QByteArray bytes;
    if (!encodeMemoFile(path, text, bytes, error))
        return false;
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
