#include "settings/folderrules.h"

#include <QDir>
#include <QStringList>

#include "platform/cp932.h"
#include "settings/IniFile.h"

namespace {

// `path` without its trailing slashes; a path of slashes only is the root.
QString withoutTrailingSlashes(const QString& path)
{
    int end = path.size();
    while (end > 0 && path.at(end - 1) == QLatin1Char('/'))
        --end;
    if (end == 0)
        return path.isEmpty() ? QString() : QStringLiteral("/");
    return path.left(end);
}

// A relative `path` taken against the folder `base`, cleaned.
QString relativeTo(const QString& base, const QString& path)
{
    return QDir::cleanPath(base + QLatin1Char('/') + path);
}

// The characters of `text` that cp932 cannot hold, each with its code
// point (so a wave dash U+301C is told apart from the full-width tilde
// U+FF5E it looks like), at most `limit` of them.
QStringList charactersOutsideCp932(const QString& text, int limit)
{
    QStringList found;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (cp932::representable(one))
            continue;
        const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        const QString shown = QStringLiteral("「%1」(U+%2)").arg(one, code);
        if (found.contains(shown))
            continue;
        if (found.size() == limit) {
            found << QStringLiteral("…");
            break;
        }
        found << shown;
    }
    return found;
}

} // namespace

QString folderDisplayForm(const QString& folder)
{
    return withoutTrailingSlashes(folder);
}

QString folderFromPicker(const QString& path)
{
    const QString bare = withoutTrailingSlashes(path);
    if (bare.isEmpty() || bare == QLatin1String("/"))
        return bare;
    return bare + QLatin1Char('/');
}

QString pickedFolderPath(const QString& text, const QString& programFolder)
{
    if (text.trimmed().isEmpty())
        return QString();
    if (text.startsWith(QLatin1Char('/')))
        return text;
    return relativeTo(programFolder, text);
}

bool folderStorable(const QString& folder, QString* reason)
{
    QString why;
    switch (settingValueFault(folder)) {
    case SettingValueFault::None:
        return true;
    case SettingValueFault::LineBreak:
        why = QStringLiteral("フォルダ名に改行などの制御文字が含まれています。");
        break;
    case SettingValueFault::NotCp932: {
        const QStringList chars = charactersOutsideCp932(folder, 5);
        why = QStringLiteral("フォルダ名に設定ファイルで扱えない文字が含まれています。");
        if (!chars.isEmpty())
            why += QStringLiteral("\n") + chars.join(QStringLiteral("、"));
        break;
    }
    case SettingValueFault::TooLong:
        why = QStringLiteral("フォルダ名が長すぎます（%1 バイトまで）。").arg(MaxSettingBytes);
        break;
    }
    if (reason)
        *reason = why;
    return false;
}

QString unstorableFolderMessage(const QString& reason)
{
    return QStringLiteral("このフォルダ名は設定ファイルに保存できません。\n%1\n\n別のフォルダを指定してください。")
        .arg(reason);
}

PathBoxEnter pathBoxEnter(const QString& typed, bool typedIsFolder, const QString& lastTreePath,
                          const QString& currentFolder)
{
    PathBoxEnter out;
    if (!typedIsFolder || typed.isEmpty()) {
        out.path = lastTreePath;
        out.beep = true;
        return out;
    }
    out.selectInTree = true;
    out.path = typed.startsWith(QLatin1Char('/')) ? QDir::cleanPath(typed) : relativeTo(currentFolder, typed);
    return out;
}
