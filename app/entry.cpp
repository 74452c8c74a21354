// Program entry: the application title, the Japanese fonts, the main window
// (whose creation runs the start-up sequence) and the hidden search pad.
#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>

#include <exception>
#include <new>

#include "app/ModalSeam.h"
#include "app/fonts.h"
#include "app/main.h"
#include "platform/files.h"
#include "search/search.h"
#include "settings/locations.h"

namespace {

// A fault inside one event handler (an exception, such as a record number
// out of range or memory running out) ends that operation with a message
// instead of the program: the settings are still written at exit, and the
// data file, rewritten only whole and in one step, is never left half done.
class TolvarinApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            report(QStringLiteral("メモリが足りないため、この操作を中止しました。"));
        } catch (const std::exception& e) {
            report(QStringLiteral("内部エラーのため、この操作を中止しました。\n\n%1").arg(QString::fromLocal8Bit(e.what())));
        }
        return false;
    }

private:
    void report(const QString& text)
    {
        if (reporting_) // a fault while the message itself is shown
            return;
        reporting_ = true;
        showError(activeWindow(), text);
        reporting_ = false;
    }
    bool reporting_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    TolvarinApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvarin"));
    // Matches the installed desktop entry, so desktops link the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tolvarin"));
    registerJapaneseFonts();
    // Qt's own texts (the buttons of message boxes, the file dialog) in
    // Japanese like the rest of the program, whatever the desktop's locale.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);

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
