#include "app/fonts.h"

#include <QFont>
#include <QStringList>

void registerJapaneseFonts()
{
    const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    for (const QString& name :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("MS Pゴシック")})
        QFont::insertSubstitutions(name, gothic);
    const QStringList mincho{QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                             QStringLiteral("IPAPGothic")};
    for (const QString& name : {QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS 明朝"), QStringLiteral("MS Mincho")})
        QFont::insertSubstitutions(name, mincho);
}
