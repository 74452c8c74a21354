#include "edit/names.h"

#include "data/PlantTable.h"
#include "platform/cp932.h"

namespace {

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isTrimmed(QChar c)
{
    return c.unicode() <= 0x20 || isControl(c.unicode()) || c.unicode() == 0x3000;
}

} // namespace

QString trimSpeciesName(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool sameSpeciesName(const QString& a, const QString& b)
{
    return storedName(trimSpeciesName(a)).compare(storedName(trimSpeciesName(b)), Qt::CaseInsensitive) == 0;
}

NameCheck checkSpeciesName(const QString& text, const QStringList& taken)
{
    NameCheck check;
    // 〜 typed on Linux is ～ to Windows: the same name in the data file.
    check.name = cp932::windowsForms(trimSpeciesName(text));
    if (check.name.isEmpty())
        return check;

    // Refusals, in the order the user is most likely to understand them.
    const QList<uint> codePoints = check.name.toUcs4();
    for (uint c : codePoints) {
        if (isControl(c)) {
            check.fault = NameFault::ControlCharacter;
            check.message = QStringLiteral("植物名に改行やタブなどの制御文字は使えません。");
            return check;
        }
    }
    if (check.name.contains(QLatin1Char(','))) {
        check.fault = NameFault::Comma;
        check.message = QStringLiteral("植物名に半角の「,」は使えません。\n（検索データの区切りに使われる文字です）");
        return check;
    }
    if (check.name.contains(QLatin1Char('/')) || check.name.contains(QLatin1Char('\\'))) {
        check.fault = NameFault::PathSeparator;
        check.message = QStringLiteral("植物名に「/」や「\\」は使えません。\n（画像ファイルの名前に使われます）");
        return check;
    }
    for (uint c : codePoints) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        if (!cp932::representable(one)) {
            check.fault = NameFault::NotCp932;
            // The character may have no glyph in the dialog's font (𠮷, an
            // emoji): its code names it in any case.
            check.message = QStringLiteral("植物名に使えない文字「%1」（U+%2）が含まれています。")
                                .arg(one)
                                .arg(QString::number(c, 16).toUpper().rightJustified(4, QLatin1Char('0')));
            return check;
        }
    }

    // The store keeps at most MaxNameBytes bytes; a cut that ends in a blank
    // would lose that blank when the data file is read again.
    check.stored = trimSpeciesName(storedName(check.name));
    check.cut = check.stored != check.name;

    for (const QString& other : taken) {
        if (sameSpeciesName(other, check.stored)) {
            check.fault = NameFault::AlreadyUsed;
            check.message = QStringLiteral("「%1」は既に登録されています。\n別の植物名を入力してください。")
                                .arg(check.stored);
            return check;
        }
    }
    if (check.cut) {
        check.message = QStringLiteral("植物名が%1バイト（全角%2文字）を超えています。\n「%3」に切り詰めて登録します。")
                            .arg(MaxNameBytes)
                            .arg(MaxNameBytes / 2)
                            .arg(check.stored);
    }
    return check;
}
