#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/state.h"
#include "platform/files.h"
#include "settings/dir.h"
#include "settings/dir_list.h"
#include "settings/folderrules.h"
#include "support/testseam.h"

namespace {

TEST(FolderRules, DisplayFormDropsTheTrailingSlashButKeepsTheRoot)
{
    EXPECT_EQ(folderDisplayForm(QStringLiteral("/home/a/野草/")), QStringLiteral("/home/a/野草"));
    EXPECT_EQ(folderDisplayForm(QStringLiteral("/home/a")), QStringLiteral("/home/a"));
    EXPECT_EQ(folderDisplayForm(QStringLiteral("/home/a//")), QStringLiteral("/home/a"));
    EXPECT_EQ(folderDisplayForm(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderDisplayForm(QStringLiteral("//")), QStringLiteral("/"));
    EXPECT_EQ(folderDisplayForm(QString()), QString());
}

TEST(FolderRules, PickedFolderIsStoredWithExactlyOneTrailingSlash)
{
    EXPECT_EQ(folderFromPicker(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderFromPicker(QStringLiteral("/mnt/d/plants")), QStringLiteral("/mnt/d/plants/"));
    // A typed path that already ends in "/" does not get a second one.
    EXPECT_EQ(folderFromPicker(QStringLiteral("/mnt/d/plants/")), QStringLiteral("/mnt/d/plants/"));
    EXPECT_EQ(folderFromPicker(QStringLiteral("/mnt/d/plants///")), QStringLiteral("/mnt/d/plants/"));
    EXPECT_EQ(folderFromPicker(QStringLiteral("///")), QStringLiteral("/"));
    EXPECT_EQ(folderFromPicker(QString()), QString());
    // Stored and shown again, a folder comes back as it was picked.
    for (const QString& picked : {QStringLiteral("/"), QStringLiteral("/a/b")})
        EXPECT_EQ(folderDisplayForm(folderFromPicker(picked)), picked);
}

TEST(FolderRules, EnterSelectsAnExistingFolderOrFallsBackWithABeep)
{
    PathBoxEnter e = pathBoxEnter(QStringLiteral("/srv/pics/./spring/"), true, QStringLiteral("/last"),
                                  QStringLiteral("/home/u"));
    EXPECT_TRUE(e.selectInTree);
    EXPECT_FALSE(e.beep);
    EXPECT_EQ(e.path, QStringLiteral("/srv/pics/spring"));

    e = pathBoxEnter(QStringLiteral("pics/../photos"), true, QStringLiteral("/last"), QStringLiteral("/home/u"));
    EXPECT_TRUE(e.selectInTree);
    EXPECT_EQ(e.path, QStringLiteral("/home/u/photos"));

    e = pathBoxEnter(QStringLiteral("/no/such"), false, QStringLiteral("/last"), QStringLiteral("/home/u"));
    EXPECT_FALSE(e.selectInTree);
    EXPECT_TRUE(e.beep);
    EXPECT_EQ(e.path, QStringLiteral("/last"));

    e = pathBoxEnter(QString(), true, QString(), QStringLiteral("/home/u"));
    EXPECT_FALSE(e.selectInTree);
    EXPECT_TRUE(e.beep);
}

TEST(FolderRules, PickedTextIsMadeAbsoluteAgainstTheProgramFolder)
{
    const QString program = QStringLiteral("/opt/tolvarin/");
    EXPECT_EQ(pickedFolderPath(QString(), program), QString());
    EXPECT_EQ(pickedFolderPath(QStringLiteral("  "), program), QString());
    // Absolute text is taken as it stands.
    EXPECT_EQ(pickedFolderPath(QStringLiteral("/mnt/d/x/"), program), QStringLiteral("/mnt/d/x/"));
    EXPECT_EQ(pickedFolderPath(QStringLiteral("pics"), program), QStringLiteral("/opt/tolvarin/pics"));
    EXPECT_EQ(pickedFolderPath(QStringLiteral("./a/../b/"), program), QStringLiteral("/opt/tolvarin/b"));
    EXPECT_EQ(pickedFolderPath(QStringLiteral(".."), program), QStringLiteral("/opt"));
}

TEST(FolderRules, UnstorableFolderIsRefusedWithItsReason)
{
    QString reason = QStringLiteral("untouched");
    EXPECT_TRUE(folderStorable(QStringLiteral("/home/u/野草 ～/"), &reason));
    EXPECT_EQ(reason, QStringLiteral("untouched"));

    // The characters at fault are named with their code points, since the
    // wave dash looks like the full-width tilde that cp932 does hold.
    ASSERT_FALSE(folderStorable(QStringLiteral("/home/u/Müller/春〜夏/Müller/"), &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("「ü」(U+00FC)")));
    EXPECT_TRUE(reason.contains(QStringLiteral("「〜」(U+301C)")));
    EXPECT_EQ(reason.count(QStringLiteral("U+00FC")), 1);
    ASSERT_FALSE(folderStorable(QStringLiteral("/home/u/\U0001F33C/"), &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("(U+1F33C)")));

    ASSERT_FALSE(folderStorable(QStringLiteral("/a\nb/"), &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("改行")));
    ASSERT_FALSE(folderStorable(QStringLiteral("/") + QString(2047, QLatin1Char('a')), &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("2047")));

    const QString message = unstorableFolderMessage(reason);
    EXPECT_TRUE(message.startsWith(QStringLiteral("このフォルダ名は設定ファイルに保存できません。\n")));
    EXPECT_TRUE(message.contains(reason));
    EXPECT_TRUE(message.endsWith(QStringLiteral("\n\n別のフォルダを指定してください。")));
}

// The settings values are program-wide; every test puts them back.
class FolderDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = settings();
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).absolutePath();
        for (const char* name : {"cd", "hdd", "add", "other"})
            ASSERT_TRUE(QDir(root_).mkpath(QString::fromLatin1(name)));
        settings().cdDir = root_ + QStringLiteral("/cd/");
        settings().hddDir = root_ + QStringLiteral("/hdd/");
        settings().addDir = root_ + QStringLiteral("/add/");
        mainWindow_.move(100, 50);
    }
    void TearDown() override { settings() = saved_; }

    QString folder(const char* name) const { return root_ + QLatin1Char('/') + QString::fromLatin1(name); }

    static QLabel* label(QWidget* w, const char* name) { return w->findChild<QLabel*>(QString::fromLatin1(name)); }
    static QPushButton* button(QWidget* w, const char* name)
    {
        return w->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    static QLineEdit* pathBox(QDialog* picker) { return picker->findChild<QLineEdit*>(QStringLiteral("Edit1")); }
    static void enter(QDialog* picker, const QString& text)
    {
        pathBox(picker)->setText(text);
        QTest::keyClick(pathBox(picker), Qt::Key_Return);
    }
    static int pressOk(QDialog* picker)
    {
        button(picker, "BitBtn1")->click();
        return picker->result();
    }
    static int pressCancel(QDialog* picker)
    {
        button(picker, "BitBtn2")->click();
        return picker->result();
    }

    Settings saved_;
    QTemporaryDir tmp_;
    QString root_;
    QWidget mainWindow_;
    TestSeam seam_;
};

TEST_F(FolderDialogs, ShowsTheThreeFoldersBelowTheMainWindow)
{
    settings().addDir = QStringLiteral("/");
    TfDir dialog(&mainWindow_);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Directory 指定"));
    EXPECT_EQ(button(&dialog, "Button1")->text(), QStringLiteral("CD-ROM Folder"));
    EXPECT_EQ(button(&dialog, "Button3")->text(), QStringLiteral("追加用 Folder"));
    EXPECT_EQ(label(&dialog, "Label1")->text(), QStringLiteral("  ") + folder("cd"));
    EXPECT_EQ(label(&dialog, "Label2")->text(), QStringLiteral("  ") + folder("hdd"));
    EXPECT_EQ(label(&dialog, "Label3")->text(), QStringLiteral("  /"));
    EXPECT_EQ(dialog.pos(), QPoint(108, 125));
}

TEST_F(FolderDialogs, PickerOpensAtTheFolderAndEnterMovesTheTree)
{
    TfDir dialog(&mainWindow_);
    const int dialogTop = dialog.y();
    seam_.dialogs.push_back([&](QDialog* picker) {
        auto* list = qobject_cast<TfDir_list*>(picker);
        EXPECT_TRUE(list);
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("HDD Image Folder 選択"));
        // Top edge at the settings dialog's, left edge 390 right of the main window's.
        EXPECT_EQ(picker->pos(), QPoint(490, dialogTop));
        EXPECT_EQ(list->selectedTreePath(), folder("hdd"));
        EXPECT_EQ(pathBox(picker)->text(), folder("hdd"));

        // Enter on an existing folder: the tree follows, the picker stays open.
        enter(picker, folder("other") + QLatin1Char('/'));
        EXPECT_EQ(list->selectedTreePath(), folder("other"));
        EXPECT_EQ(pathBox(picker)->text(), folder("other"));
        EXPECT_EQ(TfDir_list::lastTreePath(), folder("other"));
        EXPECT_TRUE(picker->isVisible());

        // Enter on a missing folder: back to the tree's folder, with a beep.
        enter(picker, folder("missing"));
        EXPECT_EQ(pathBox(picker)->text(), folder("other"));
        EXPECT_EQ(list->selectedTreePath(), folder("other"));
        EXPECT_EQ(seam_.beeps, 1);
        EXPECT_TRUE(picker->isVisible());
        return pressOk(picker);
    });
    button(&dialog, "Button2")->click();
    EXPECT_EQ(seam_.dialogNames, QStringList{QStringLiteral("fDir_list")});
    EXPECT_EQ(settings().hddDir, folder("other") + QLatin1Char('/'));
    EXPECT_EQ(label(&dialog, "Label2")->text(), QStringLiteral("  ") + folder("other"));
    EXPECT_EQ(dialog.workingFolder(), folder("other"));

    // The dialog's Cancel does not undo a folder taken with OK.
    dialog.reject();
    EXPECT_EQ(settings().hddDir, folder("other") + QLatin1Char('/'));
    EXPECT_EQ(settings().cdDir, folder("cd") + QLatin1Char('/'));
}

TEST_F(FolderDialogs, CancelledPickerLeavesFolderAndLabel)
{
    TfDir dialog(&mainWindow_);
    seam_.dialogs.push_back([&](QDialog* picker) {
        qobject_cast<TfDir_list*>(picker)->selectFolder(folder("other"));
        EXPECT_EQ(pathBox(picker)->text(), folder("other"));
        return pressCancel(picker);
    });
    button(&dialog, "Button1")->click();
    EXPECT_EQ(settings().cdDir, folder("cd") + QLatin1Char('/'));
    EXPECT_EQ(label(&dialog, "Label1")->text(), QStringLiteral("  ") + folder("cd"));
}

TEST_F(FolderDialogs, MissingStoredFolderOpensAtTheProgramFolderWithABeep)
{
    settings().addDir = folder("gone") + QLatin1Char('/');
    TfDir dialog(&mainWindow_);
    const QString exeFolder = folderDisplayForm(platform::executableFolder());
    seam_.dialogs.push_back([&](QDialog* picker) {
        EXPECT_EQ(seam_.beeps, 1);
        EXPECT_EQ(qobject_cast<TfDir_list*>(picker)->selectedTreePath(), exeFolder);
        EXPECT_EQ(pathBox(picker)->text(), exeFolder);
        return pressOk(picker);
    });
    button(&dialog, "Button3")->click();
    EXPECT_EQ(settings().addDir, exeFolder + QLatin1Char('/'));
}

TEST_F(FolderDialogs, OkTakesTypedTextWithoutEnterUnderTheFolderRule)
{
    TfDir dialog(&mainWindow_);
    // A typed path that was never confirmed is taken as it stands, with one
    // trailing slash however it was typed.
    seam_.dialogs.push_back([&](QDialog* picker) {
        pathBox(picker)->setText(QStringLiteral("/not/checked/"));
        return pressOk(picker);
    });
    button(&dialog, "Button1")->click();
    EXPECT_EQ(settings().cdDir, QStringLiteral("/not/checked/"));
    EXPECT_EQ(label(&dialog, "Label1")->text(), QStringLiteral("  /not/checked"));

    // The root is kept as it is.
    seam_.dialogs.push_back([&](QDialog* picker) {
        enter(picker, QStringLiteral("/"));
        EXPECT_EQ(pathBox(picker)->text(), QStringLiteral("/"));
        return pressOk(picker);
    });
    button(&dialog, "Button2")->click();
    EXPECT_EQ(settings().hddDir, QStringLiteral("/"));
    EXPECT_EQ(label(&dialog, "Label2")->text(), QStringLiteral("  /"));
}

TEST_F(FolderDialogs, FolderTheSettingsFileCannotKeepIsRefusedAndThePreviousKept)
{
    ASSERT_TRUE(QDir(root_).mkpath(QStringLiteral("Müller")));
    const QString muller = root_ + QStringLiteral("/Müller");
    TfDir dialog(&mainWindow_);
    // Picked in the tree.
    seam_.dialogs.push_back([&](QDialog* picker) {
        EXPECT_TRUE(qobject_cast<TfDir_list*>(picker)->selectFolder(muller));
        return pressOk(picker);
    });
    button(&dialog, "Button2")->click();
    ASSERT_EQ(seam_.messages.size(), 1u);
    EXPECT_EQ(seam_.messages[0].caption, QStringLiteral("エラー"));
    EXPECT_TRUE(seam_.messages[0].text.startsWith(QStringLiteral("このフォルダ名は設定ファイルに保存できません。")));
    EXPECT_TRUE(seam_.messages[0].text.contains(QStringLiteral("U+00FC")));
    EXPECT_EQ(settings().hddDir, folder("hdd") + QLatin1Char('/'));
    EXPECT_EQ(label(&dialog, "Label2")->text(), QStringLiteral("  ") + folder("hdd"));
    EXPECT_EQ(dialog.workingFolder(), folder("hdd"));

    // Typed with a wave dash and taken with OK without Enter.
    seam_.dialogs.push_back([&](QDialog* picker) {
        pathBox(picker)->setText(root_ + QStringLiteral("/春〜夏"));
        return pressOk(picker);
    });
    button(&dialog, "Button3")->click();
    ASSERT_EQ(seam_.messages.size(), 2u);
    EXPECT_TRUE(seam_.messages[1].text.contains(QStringLiteral("U+301C")));
    EXPECT_EQ(settings().addDir, folder("add") + QLatin1Char('/'));
    EXPECT_EQ(label(&dialog, "Label3")->text(), QStringLiteral("  ") + folder("add"));

    // A folder the file can keep is then taken as usual.
    seam_.dialogs.push_back([&](QDialog* picker) {
        qobject_cast<TfDir_list*>(picker)->selectFolder(folder("other"));
        return pressOk(picker);
    });
    button(&dialog, "Button2")->click();
    EXPECT_EQ(seam_.messages.size(), 2u);
    EXPECT_EQ(settings().hddDir, folder("other") + QLatin1Char('/'));
}

TEST_F(FolderDialogs, EmptyBoxIsNotTakenAndRelativeTextIsUnderTheProgramFolder)
{
    const QString program = platform::executableFolder();
    // The current directory is somewhere else, as when started from a menu.
    const QString savedCurrent = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root_));
    QTemporaryDir below(program + QStringLiteral("pickerXXXXXX"));
    ASSERT_TRUE(below.isValid());
    const QString belowName = QDir(below.path()).dirName();
    ASSERT_TRUE(QDir(root_).mkpath(belowName)); // the same name below the current directory

    TfDir dialog(&mainWindow_);
    seam_.dialogs.push_back([&](QDialog* picker) {
        // OK with an empty or blank box: a beep, and the picker stays open.
        for (const QString& blank : {QString(), QStringLiteral("   ")}) {
            pathBox(picker)->setText(blank);
            EXPECT_NE(pressOk(picker), int(QDialog::Accepted));
            EXPECT_TRUE(picker->isVisible());
        }
        EXPECT_EQ(seam_.beeps, 2);
        // Enter on a relative name selects the folder below the program's folder.
        enter(picker, belowName);
        EXPECT_EQ(qobject_cast<TfDir_list*>(picker)->selectedTreePath(), QDir(below.path()).absolutePath());
        EXPECT_EQ(seam_.beeps, 2);
        // OK on relative text that was never confirmed with Enter.
        pathBox(picker)->setText(QStringLiteral("./plants/../spring/"));
        return pressOk(picker);
    });
    button(&dialog, "Button1")->click();
    QDir::setCurrent(savedCurrent);
    EXPECT_EQ(settings().cdDir, program + QStringLiteral("spring/"));
    EXPECT_EQ(label(&dialog, "Label1")->text(), QStringLiteral("  ") + program + QStringLiteral("spring"));
    EXPECT_TRUE(seam_.messages.empty());
}

TEST_F(FolderDialogs, LastTreeSelectionOutlivesThePicker)
{
    {
        TfDir_list first(nullptr, QString());
        ASSERT_TRUE(first.selectFolder(folder("other")));
    }
    // A later picker whose tree has not been touched falls back to it.
    TfDir_list second(nullptr, QStringLiteral("typed"));
    enter(&second, folder("nowhere"));
    EXPECT_EQ(pathBox(&second)->text(), folder("other"));
    EXPECT_EQ(seam_.beeps, 1);
}

TEST_F(FolderDialogs, PickerKeepsItsMinimumSizeAndCentresItsButtons)
{
    TfDir_list picker(nullptr, QString());
    picker.show();
    picker.resize(100, 100);
    EXPECT_EQ(picker.size(), QSize(TfDir_list::MinWidth, TfDir_list::MinHeight));

    picker.resize(400, 420);
    EXPECT_EQ(pathBox(&picker)->width(), 400 - 25);
    QPushButton* ok = button(&picker, "BitBtn1");
    QPushButton* cancel = button(&picker, "BitBtn2");
    EXPECT_EQ(ok->x(), (400 - (ok->width() + cancel->width()) - 20) / 2);
    EXPECT_EQ(cancel->x(), ok->x() + ok->width() + 20);
    EXPECT_LE(ok->mapTo(&picker, QPoint(0, 0)).y() + ok->height(), 420);
}

} // namespace
