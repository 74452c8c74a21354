#pragma once
// Text in the Windows Japanese code page (cp932), the encoding of every file
// the program reads and writes (data file, memo files, settings file). In
// memory all text is Unicode (QString).
#include <QByteArray>
#include <QString>

namespace cp932 {

// Decodes cp932 bytes. Bytes that are not valid cp932 become U+FFFD;
// `valid`, when given, tells whether there were none.
QString decode(const QByteArray& bytes, bool* valid = nullptr);

// Encodes text as cp932. Returns false (and leaves `out` holding the best
// effort) when some character cannot be written in cp932 and read back
// unchanged.
bool encode(const QString& text, QByteArray& out);

// Encodes text, substituting '?' for characters cp932 cannot hold.
QByteArray encodeLossy(const QString& text);

// `text` with the characters that Linux input methods type where Windows
// types another of the same look replaced by the Windows ones, which cp932
// holds: the wave dash 〜 (U+301C) by ～ (U+FF5E), ‖ by ∥, the minus sign by
// －, the em dash by ―, ¢ £ ¬ by their full-width forms. Everything else is
// left as it is.
QString windowsForms(const QString& text);

// True when every character of `text` survives cp932 and back unchanged.
bool representable(const QString& text);

// Length of `text` in cp932 bytes (a character cp932 cannot hold counts as 1).
int byteLength(const QString& text);

// The longest prefix of `text` whose cp932 form is at most `maxBytes` bytes.
// The cut always falls between characters, never inside a double-byte one.
QString truncateToBytes(const QString& text, int maxBytes);

// True when byte `b` starts a double-byte cp932 character.
inline bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when byte `b` can be the second byte of a double-byte character.
inline bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

} // namespace cp932
