#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <optional>

#include "app/state.h"
#include "platform/files.h"
#include "support/about.h"
#include "support/helpview.h"
#include "support/testseam.h"
#include "support/testutil.h"
#include "support/web.h"

namespace {

const QString Address = QStringLiteral("https://www.example.org/tolvarin/?a=1&b=$(x) y");

TEST(UrlPlaceholder, RemovedWithTheCharacterBeforeIt)
{
    // Quoted: the blank and the four characters of "%1" go.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("\"/opt/My Browser/browser\" \"%1\"")),
              QStringLiteral("\"/opt/My Browser/browser\""));
    // Unquoted: the blank and "%1".
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("browser -nohome %1")), QStringLiteral("browser -nohome"));
    // None: unchanged.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("browser -nohome")), QStringLiteral("browser -nohome"));
    // The desktop's placeholders follow the same rule, wherever they stand.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("firefox %u")), QStringLiteral("firefox"));
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("chromium %U --incognito")), QStringLiteral("chromium --incognito"));
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("viewer \"%F\"")), QStringLiteral("viewer"));
    // A quoted placeholder is taken before an earlier unquoted one; only one goes.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("b %1 \"%1\"")), QStringLiteral("b %1"));
    // At the very start there is no character before it to remove.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("%u rest")), QStringLiteral(" rest"));
    // "%%u" is a literal "%u", not a placeholder.
    EXPECT_EQ(removeUrlPlaceholder(QStringLiteral("app 100%%u %f")), QStringLiteral("app 100%%u"));
}

TEST(UrlPlaceholder, HandlerCommandPassesTheAddressAsOneArgument)
{
    EXPECT_EQ(handlerCommand(QStringLiteral("\"/opt/My Browser/browser\" \"%1\""), Address),
              (QStringList{QStringLiteral("/opt/My Browser/browser"), Address}));
    EXPECT_EQ(handlerCommand(QStringLiteral("browser %1"), Address), (QStringList{QStringLiteral("browser"), Address}));
    EXPECT_EQ(handlerCommand(QStringLiteral("browser"), Address), (QStringList{QStringLiteral("browser"), Address}));
    // Other field codes are dropped, "%%" is a percent sign, quotes group.
    EXPECT_EQ(handlerCommand(QStringLiteral("app %i %c %k --rate=100%% \"a \\\"b\\\"\" %U"), Address),
              (QStringList{QStringLiteral("app"), QStringLiteral("--rate=100%"), QStringLiteral("a \"b\""), Address}));
    EXPECT_TRUE(handlerCommand(QString(), Address).isEmpty());
}

TEST(DesktopEntry, ExecOfTheMainGroupWithEscapesUndone)
{
    const QByteArray entry = "[Desktop Entry]\n"
                             "Name=Browser\n"
                             "Exec[de]=wrong %u\n"
                             "Exec = /opt/web\\sbrowser/run %u\n"
                             "[Desktop Action new-window]\n"
                             "Exec=/opt/other --new %u\n";
    EXPECT_EQ(desktopEntryExec(entry), QStringLiteral("/opt/web browser/run %u"));
    EXPECT_EQ(desktopEntryExec("[Desktop Entry]\nExec=vim %F\nTerminal=true\n"), QString());
    EXPECT_EQ(desktopEntryExec("[Desktop Action x]\nExec=nothing\n"), QString());
}

// Answers the desktop calls and records them.
class FakeDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp_.isValid());
        savedHome_ = qgetenv("XDG_DATA_HOME");
        savedDirs_ = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp_.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(tmp_.filePath(QStringLiteral("sys1")) + QLatin1Char(':') +
                                                    tmp_.filePath(QStringLiteral("sys2"))));
        DesktopCalls calls;
        calls.openUrl = [this](const QUrl& url) {
            opened.push_back(url);
            return desktopOpens;
        };
        calls.startDetached = [this](const QString& program, const QStringList& args) {
            started.push_back(QStringList{program} + args);
            return true;
        };
        calls.runXdgMime = [this](const QStringList& args) {
            queries.push_back(args);
            return defaultHandler;
        };
        setDesktopCalls(calls);
    }
    void TearDown() override
    {
        resetDesktopCalls();
        qputenv("XDG_DATA_HOME", savedHome_);
        qputenv("XDG_DATA_DIRS", savedDirs_);
    }

    // Writes a desktop file under `dataFolder`/applications.
    void writeEntry(const QString& dataFolder, const QString& relative, const QByteArray& exec)
    {
        const QString path = tmp_.filePath(dataFolder + QStringLiteral("/applications/") + relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        testutil::writeFile(path, "[Desktop Entry]\nType=Application\nName=X\nExec=" + exec + "\n");
    }

    QTemporaryDir tmp_;
    QByteArray savedHome_;
    QByteArray savedDirs_;
    bool desktopOpens = false;
    QString defaultHandler;
    std::vector<QUrl> opened;
    std::vector<QStringList> started;
    std::vector<QStringList> queries;
};

TEST_F(FakeDesktop, WebPageOpenedByTheDesktopNeedsNoHandler)
{
    desktopOpens = true;
    EXPECT_TRUE(openWebPage(QStringLiteral("https://www.example.org/tolvarin/")));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://www.example.org/tolvarin/")));
    EXPECT_TRUE(queries.empty());
    EXPECT_TRUE(started.empty());
}

TEST_F(FakeDesktop, WebPageFallsBackToTheDefaultHtmlHandler)
{
    defaultHandler = QStringLiteral("web-browser.desktop\n");
    writeEntry(QStringLiteral("home"), QStringLiteral("web-browser.desktop"), "webbrowser --new-window %u");
    EXPECT_TRUE(openWebPage(Address));
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0], (QStringList{QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")}));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (QStringList{QStringLiteral("webbrowser"), QStringLiteral("--new-window"), Address}));
}

TEST_F(FakeDesktop, HandlerIsFoundInTheSystemFoldersAndVendorSubfolders)
{
    // Not in the user's folder nor the first system folder; in the second,
    // under a vendor subfolder for the "-" of the id.
    defaultHandler = QStringLiteral("acme-browser.desktop");
    writeEntry(QStringLiteral("sys2"), QStringLiteral("acme/browser.desktop"), "\"/opt/acme browser\" \"%1\"");
    EXPECT_TRUE(openWebPage(Address));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (QStringList{QStringLiteral("/opt/acme browser"), Address}));
}

TEST_F(FakeDesktop, NoUsableHandlerMeansFailure)
{
    // No answer from the MIME database.
    EXPECT_FALSE(openWebPage(Address));
    // A desktop file that is not there, or a name that leaves the folders.
    defaultHandler = QStringLiteral("absent.desktop");
    EXPECT_FALSE(openWebPage(Address));
    writeEntry(QStringLiteral("home"), QStringLiteral("evil.desktop"), "evil %u");
    defaultHandler = QStringLiteral("../applications/evil.desktop");
    EXPECT_FALSE(openWebPage(Address));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(findDesktopFile(QStringLiteral("evil.desktop")),
              tmp_.filePath(QStringLiteral("home/applications/evil.desktop")));
}

TEST_F(FakeDesktop, AboutBoxOpensItsAddressesAndStartsTheMail)
{
    desktopOpens = true;
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(), versionText);
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Tolvarin"));

    QLabel* url = box.findChild<QLabel*>(QStringLiteral("Url"));
    QTest::mouseClick(url, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(url->text()));
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));

    const QString mail = box.findChild<QLabel*>(QStringLiteral("Mail"))->text();
    EXPECT_TRUE(mail.contains(QLatin1Char('@')));
    QTest::mouseClick(box.findChild<QLabel*>(QStringLiteral("Mail")), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    const QString expected = QStringLiteral("mailto:") + mail +
                             QStringLiteral("?cc= &subject=『Tolvarin』Ver 1.5βについて&body= &");
    EXPECT_EQ(mailtoText(QStringLiteral("mailto:") + mail + QStringLiteral("?")), expected);
    EXPECT_EQ(opened[1].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(QUrl::fromPercentEncoding(opened[1].toEncoded()), expected);
}

TEST_F(FakeDesktop, HelpFileOpensInTheTextViewer)
{
    const QString help = helpFilePath(platform::executablePath());
    ASSERT_FALSE(platform::fileExists(help));
    // Missing: handed to the desktop as it is, which reports its own failure.
    desktopOpens = false;
    EXPECT_FALSE(openHelp());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(help));
    EXPECT_TRUE(queries.empty());

    // Present: the default program for plain text gets its path.
    testutil::writeFile(help, "ヘルプ\n");
    defaultHandler = QStringLiteral("editor.desktop");
    writeEntry(QStringLiteral("sys1"), QStringLiteral("editor.desktop"), "texteditor %U");
    const bool ok = openHelp();
    QFile::remove(help);
    EXPECT_TRUE(ok);
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].last(), QStringLiteral("text/plain"));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (QStringList{QStringLiteral("texteditor"), help}));
}

// A desktop with no program for the help file: the program's own window
// shows it; one window only, brought back by the next call.
TEST_F(FakeDesktop, HelpShowsInItsOwnWindowWhenTheDesktopCannot)
{
    QTemporaryDir dir;
    const QString help = testutil::folderOf(dir) + "tolvarin.hlp";
    EXPECT_FALSE(THelpView::showFile(help, nullptr)); // missing
    EXPECT_EQ(THelpView::instance(), nullptr);
    testutil::writeFile(help, QStringLiteral("1. 検索のしかた\n").toUtf8());
    ASSERT_TRUE(THelpView::showFile(help, nullptr));
    THelpView* view = THelpView::instance();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->text()->toPlainText(), QStringLiteral("1. 検索のしかた\n"));
    EXPECT_TRUE(view->text()->isReadOnly());
    ASSERT_TRUE(THelpView::showFile(help, nullptr));
    EXPECT_EQ(THelpView::instance(), view);
    view->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(THelpView::instance(), nullptr);
}

TEST(HelpFile, NamedAfterTheExecutable)
{
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/tolvarin/tolvarin")), QStringLiteral("/opt/tolvarin/tolvarin.hlp"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/v1.5/tolvarin")), QStringLiteral("/opt/v1.5/tolvarin.hlp"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/tolvarin/tolvarin.exe")), QStringLiteral("/opt/tolvarin/tolvarin.hlp"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/.tolvarin")), QStringLiteral("/opt/.tolvarin.hlp"));
}

TEST(HelpFile, ShippedHelpIsUtf8Text)
{
    const QByteArray bytes = testutil::readFile(QStringLiteral(TOLVARIN_SOURCE_DIR "/support/help/tolvarin.hlp"));
    ASSERT_GT(bytes.size(), 1000);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    EXPECT_FALSE(utf8.hasError());
    EXPECT_FALSE(bytes.contains('\0'));
    for (const char* topic : {"検索パッド", "新規・追加", "Tolvarin.dat", "HDD フォルダ", "tolvarin.ini"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
}

TEST(AboutBox, CopyButtonsPutTheAddressOnTheClipboard)
{
    TAboutBox box;
    QClipboard* clipboard = QGuiApplication::clipboard();
    QLabel* url = box.findChild<QLabel*>(QStringLiteral("Url"));
    QLabel* mail = box.findChild<QLabel*>(QStringLiteral("Mail"));
    QPushButton* urlButton = box.findChild<QPushButton*>(QStringLiteral("Button1"));
    QPushButton* mailButton = box.findChild<QPushButton*>(QStringLiteral("Button2"));
    EXPECT_EQ(urlButton->text(), QStringLiteral("URL:"));
    EXPECT_EQ(mailButton->toolTip(), QStringLiteral("Mailアドレスをクリップボードにコピーします。"));

    urlButton->click();
    EXPECT_EQ(clipboard->text(), url->text());
    mailButton->click();
    EXPECT_EQ(clipboard->text(), mail->text());

    // Nothing is copied for an empty address or an unknown tag.
    url->clear();
    urlButton->click();
    EXPECT_EQ(clipboard->text(), mail->text());
    mailButton->setProperty("tag", 3);
    clipboard->setText(QStringLiteral("kept"));
    mailButton->click();
    EXPECT_EQ(clipboard->text(), QStringLiteral("kept"));
}

TEST(AboutBox, ShownModallyThroughTheSeam)
{
    TestSeam seam;
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    QPoint centre;
    seam.dialogs.push_back([&](QDialog* box) {
        centre = box->geometry().center();
        return QDialog::Accepted;
    });
    TAboutBox::showModal(&owner);
    EXPECT_EQ(seam.dialogNames, QStringList{QStringLiteral("AboutBox")});
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);
}

} // namespace
