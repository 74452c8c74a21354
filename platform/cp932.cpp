#include "platform/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace cp932 {
namespace {

// glibc's "CP932" maps 0x5C to the backslash and the control codes as
// Windows does; both directions are opened once and guarded, since an iconv
// descriptor carries state.
struct Converter {
    iconv_t toUnicode = reinterpret_cast<iconv_t>(-1);
    iconv_t fromUnicode = reinterpret_cast<iconv_t>(-1);
    std::mutex lock;
    Converter()
    {
        toUnicode = iconv_open("UTF-16LE", "CP932");
        fromUnicode = iconv_open("CP932", "UTF-16LE");
        if (toUnicode == reinterpret_cast<iconv_t>(-1) || fromUnicode == reinterpret_cast<iconv_t>(-1))
            qFatal("iconv has no CP932 converter");
    }
};

Converter& converter()
{
    static Converter c;
    return c;
}

// Converts one unit (one character or one cp932 byte sequence) at a time
// where the bulk conversion stops, so invalid input is replaced rather than
// ending the conversion.
QByteArray run(iconv_t cd, const char* in, size_t inLen, size_t unit, const QByteArray& replacement,
               bool* clean)
{
    QByteArray out;
    out.resize(int(inLen * 2 + 16));
    char* inPtr = const_cast<char*>(in);
    size_t inLeft = inLen;
    size_t written = 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        size_t outLeft = size_t(out.size()) - written;
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        written = size_t(outPtr - out.data());
        if (r != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: skip one unit and put a replacement in its place.
        if (clean)
            *clean = false;
        // A lead byte and a trail byte that name no character are one
        // character; a lead byte followed by anything else (a line break,
        // a comma) stands alone, so the byte after it is still read.
        size_t skip = unit;
        if (unit == 1 && inLeft >= 2 && isLeadByte(static_cast<unsigned char>(inPtr[0])) &&
            isTrailByte(static_cast<unsigned char>(inPtr[1])))
            skip = 2;
        if (unit == 2 && inLeft >= 4) {
            const auto hi = static_cast<unsigned char>(inPtr[1]);
            if (hi >= 0xD8 && hi <= 0xDB)
                skip = 4; // a surrogate pair is one character
        }
        skip = std::min(skip, inLeft);
        inPtr += skip;
        inLeft -= skip;
        if (size_t(out.size()) - written < size_t(replacement.size()) + 4)
            out.resize(out.size() * 2 + replacement.size());
        memcpy(out.data() + written, replacement.constData(), size_t(replacement.size()));
        written += size_t(replacement.size());
    }
    out.resize(int(written));
    return out;
}

} // namespace

QString decode(const QByteArray& bytes, bool* valid)
{
    if (valid)
        *valid = true;
    if (bytes.isEmpty())
        return {};
    Converter& c = converter();
    std::lock_guard<std::mutex> g(c.lock);
    static const QByteArray replacement("\xFD\xFF", 2); // U+FFFD in UTF-16LE
    const QByteArray utf16 = run(c.toUnicode, bytes.constData(), size_t(bytes.size()), 1, replacement, valid);
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

bool encode(const QString& text, QByteArray& out)
{
    out.clear();
    if (text.isEmpty())
        return true;
    bool clean = true;
    {
        Converter& c = converter();
        std::lock_guard<std::mutex> g(c.lock);
        out = run(c.fromUnicode, reinterpret_cast<const char*>(text.utf16()), size_t(text.size()) * 2, 2,
                  QByteArray("?"), &clean);
    }
    // glibc maps a few characters one way only (for example U+00A5 to 0x5C);
    // such text would not come back as written, so it is not representable.
    if (clean && decode(out) != text)
        clean = false;
    return clean;
}

QByteArray encodeLossy(const QString& text)
{
    QByteArray out;
    encode(text, out);
    return out;
}

QString windowsForms(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        switch (c.unicode()) {
        case 0x301C: c = QChar(0xFF5E); break; // wave dash
        case 0x2016: c = QChar(0x2225); break; // double vertical line
        case 0x2212: c = QChar(0xFF0D); break; // minus sign
        case 0x2014: c = QChar(0x2015); break; // em dash
        case 0x00A2: c = QChar(0xFFE0); break; // cent sign
        case 0x00A3: c = QChar(0xFFE1); break; // pound sign
        case 0x00AC: c = QChar(0xFFE2); break; // not sign
        default: break;
        }
    }
    return out;
}

bool representable(const QString& text)
{
    QByteArray out;
    return encode(text, out);
}

int byteLength(const QString& text)
{
    return encodeLossy(text).size();
}

QString truncateToBytes(const QString& text, int maxBytes)
{
    if (maxBytes <= 0)
        return {};
    if (encodeLossy(text).size() <= maxBytes)
        return text;
    // Add whole characters (one or two bytes each in cp932) while they fit,
    // so a cut never falls inside a double-byte character.
    int used = 0;
    int chars = 0;
    while (chars < text.size()) {
        const int len = (text[chars].isHighSurrogate() && chars + 1 < text.size()) ? 2 : 1;
        const int width = encodeLossy(text.mid(chars, len)).size();
        if (used + width > maxBytes)
            break;
        used += width;
        chars += len;
    }
    return text.left(chars);
}

} // namespace cp932
