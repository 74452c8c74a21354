#include "platform/collate.h"

#include <QCollator>
#include <QLocale>

namespace platform {

int compareNames(const QString& a, const QString& b)
{
    // The Japanese locale is named explicitly: a default collator under
    // LANG=C compares code points.
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::Japanese, QLocale::Japan)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int primary = collator.compare(a, b);
    if (primary != 0)
        return primary;
    // The collator also equates hiragana with katakana and half-width with
    // full-width forms; such names are different species, so break the tie
    // on the case-folded text, code point by code point.
    const QString fa = a.toCaseFolded();
    const QString fb = b.toCaseFolded();
    return fa < fb ? -1 : (fb < fa ? 1 : 0);
}

} // namespace platform
