// Program entry: the application title, the Japanese fonts, the main window
// (whose creation runs the start-up sequence) and the hidden search pad.
#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include "app/main.h"
#include "platform/files.h"
#include "search/search.h"
#include "settings/locations.h"

namespace {

// Captions are designed for the Windows gothic; fontconfig maps its names to
// a Latin font, so point them at the gothic of the same design family.
void registerJapaneseFonts()
{
    const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    for (const QString& name :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("MS Pゴシック")})
        QFont::insertSubstitutions(name, gothic);
    const QStringList mincho{QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                             QStringLiteral("IPAPGothic")};
    for (const QString& name : {QStringLiteral("ＭＳ 明朝"), QStringLiteral("MS Mincho")})
        QFont::insertSubstitutions(name, mincho);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvarin"));
    // Matches the installed desktop entry, so desktops link the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tolvarin"));
    registerJapaneseFonts();

    // A copy that may write beside its executable keeps everything there; an
    // installed one uses the user's configuration and data folders.
    const ProgramLocations places = programLocationsFor(platform::executablePath());
    QString failedFolder;
    if (!prepareLocations(places, &failedFolder))
        QMessageBox::warning(nullptr, QApplication::applicationName(),
                             QStringLiteral("フォルダ「%1」を作成できません。\n"
                                            "設定と登録する写真を保存できません。")
                                 .arg(failedFolder));

    TfMain main(places.iniPath, platform::executableFolder());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    main.show();
    return app.exec();
}
