#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/main.h"
#include "app/state.h"
#include "edit/p_list.h"
#include "images/thumbnails.h"
#include "memo/MemoFile.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "search/search.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

const QStringList eightSpecies = {
    QStringLiteral("アオイ,1,0,0,0,1,0,0,0,0,0,3,1,0,2,2"),
    QStringLiteral("イヌタデ,0,0,1,0,0,1,0,0,0,0,3,1,1,1,1"),
    QStringLiteral("ウツボグサ,0,1,0,0,0,0,0,0,1,0,6,1,0,2,1"),
    QStringLiteral("エノキグサ,0,1,1,0,0,0,0,0,0,1,0,1,0,1,1"),
    QStringLiteral("オオバコ,1,1,1,0,0,0,0,0,0,1,0,3,1,7,1"),
    QStringLiteral("カタバミ,1,1,1,0,0,0,1,0,0,0,10,0,1,5,1"),
    QStringLiteral("キキョウ,0,1,1,0,0,0,0,1,1,0,10,1,0,1,1"),
    QStringLiteral("クズ,0,1,1,0,0,1,0,0,1,0,5,2,1,5,1"),
};

// A program with an hard-disk folder full of pictures, in editing mode.
struct Program {
    QTemporaryDir root;
    QString exe() const { return folderOf(root); }
    QString hdd() const { return exe() + "hdd/"; }
    QString cd() const { return exe() + "cd/"; }
    QString src() const { return exe() + "chosen/"; }
    std::unique_ptr<TfMain> main;
    std::unique_ptr<TfSearch> pad;

    explicit Program(const QStringList& lines = eightSpecies)
    {
        for (const char* sub : {"hdd", "cd", "chosen"})
            QDir(root.path()).mkpath(sub);
        writeSettings(exe() + "tolvarin.ini", cd(), hdd(), src());
        writeCatalogue(hdd(), lines);
        for (const QString& line : lines) {
            const QStringList f = line.split(',');
            for (int n = 1; n <= f.last().toInt(); ++n)
                writePicture(hdd() + f[0] + QStringLiteral("%1.jpg").arg(n, 2, 10, QLatin1Char('0')), 40 + n, 30,
                             Qt::darkGreen);
        }
    }
    void start()
    {
        main = std::make_unique<TfMain>(exe() + "tolvarin.ini", exe());
        pad = std::make_unique<TfSearch>(main.get());
        main->setSearchPad(pad.get());
        main->A1Click();
    }
    QString dataText() const { return cp932::decode(readFile(hdd() + "Tolvarin.dat")); }
    PlantTable fileTable() const
    {
        PlantTable t;
        readPlantTable(t, hdd());
        return t;
    }
    QStringList pictures(const QString& name) const
    {
        return QDir(hdd()).entryList({name + "??.*"}, QDir::Files, QDir::Name);
    }
};

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainState() = MainState{};
        plantTable() = PlantTable{};
        thumbnailCache().clear();
    }
    TestSeam seam;

    // The chooser closes with OK on entry `index`, or with a new name.
    void chooseEntry(int index, const QString& newName = QString())
    {
        seam.dialogs.push_back([index, newName](QDialog* d) {
            auto* list = qobject_cast<Tf_p_list*>(d);
            if (index >= 0)
                list->selectEntry(index);
            list->newName = newName;
            return QDialog::Accepted;
        });
    }
    void cancelNext()
    {
        seam.dialogs.push_back([](QDialog*) { return QDialog::Rejected; });
    }
    // Picture editing with エノキグサ chosen for correction on the shown pad.
    void correctEnokigusa(Program& p)
    {
        p.start();
        p.main->toolButton(11)->setChecked(true);
        chooseEntry(3);
        p.main->ToolButton8Click();
    }
    // A change on the correction pad: winter ticked or unticked.
    static void toggleWinter(Program& p) { p.pad->findChild<QCheckBox*>("CheckBox4")->click(); }
    // The input pad ticks the named controls and confirms.
    void fillPad(const QStringList& ticks)
    {
        seam.dialogs.push_back([ticks](QDialog* pad) {
            for (const QString& name : ticks) {
                if (auto* c = pad->findChild<QCheckBox*>(name))
                    c->setChecked(true);
                if (auto* r = pad->findChild<QRadioButton*>(name))
                    r->setChecked(true);
            }
            return QDialog::Accepted;
        });
    }
};

} // namespace

TEST_F(EditingTest, AddingPicturesToAnExistingSpecies)
{
    Program p;
    writePicture(p.src() + "a.jpg", 640, 640, Qt::red);
    writePicture(p.src() + "b.bmp", 641, 100, Qt::blue);
    writePicture(p.src() + "c.jpeg", 20, 20, Qt::blue);
    p.start();
    writePicture(p.hdd() + "アオイ03.jpg", 50, 30, Qt::darkGreen);
    PlantTable t = p.fileTable();
    t.record(1).pictureCount = 3;
    platform::writeFileAtomic(p.hdd() + "Tolvarin.dat", writePlantTable(t));

    seam.pictureChoices.push_back({p.src() + "a.jpg", p.src() + "b.bmp", p.src() + "c.jpeg"});
    chooseEntry(0);
    p.main->ToolButton10Click();
    EXPECT_EQ(p.pictures("アオイ"), (QStringList{"アオイ01.jpg", "アオイ02.jpg", "アオイ03.jpg", "アオイ04.jpg",
                                                 "アオイ05.jpg", "アオイ06.jpg"}));
    EXPECT_EQ(readFile(p.hdd() + "アオイ04.jpg"), readFile(p.src() + "a.jpg"));
    QSize reduced;
    readPictureSize(p.hdd() + "アオイ05.jpg", reduced);
    EXPECT_EQ(reduced, QSize(640, 100));
    // The ".jpeg" file is stored as ".jpg": 3 + 3.
    EXPECT_EQ(p.fileTable().record(1).pictureCount, 6);
    EXPECT_EQ(mainState().currentSpecies, 1);
    EXPECT_EQ(p.main->slotCount(), 6);
    EXPECT_FALSE(mainState().correctionMode);
    EXPECT_TRUE(platform::fileExists(p.hdd() + "Tolvarin.res"));
    EXPECT_TRUE(seam.messages.empty()) << seam.messageTexts().join('|').toStdString();
}

TEST_F(EditingTest, RegisteringANewSpeciesWithThePad)
{
    Program p;
    writePicture(p.src() + "x.JPG", 300, 200, Qt::magenta);
    writeFile(p.src() + "broken.jpg", "garbage");
    writePicture(p.src() + "y.bmp", 30, 20, Qt::magenta);
    p.start();
    seam.pictureChoices.push_back({p.src() + "x.JPG", p.src() + "broken.jpg", p.src() + "y.bmp"});
    chooseEntry(-1, QStringLiteral("ホタルブクロ"));
    fillPad({"CheckBox2", "CheckBox9", "RadioButton7", "RadioButton12"});
    p.main->ToolButton10Click();

    // The broken file is reported; the others are stored under consecutive numbers.
    EXPECT_EQ(p.pictures("ホタルブクロ"), (QStringList{"ホタルブクロ01.jpg", "ホタルブクロ02.bmp"}));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains("broken.jpg"));
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("ホタルブクロ,0,1,0,0,0,0,0,0,1,0,7,1,-1,-1,2\r\n")));
    EXPECT_EQ(plantTable().plantCount(), 9);
    EXPECT_EQ(plantTable().record(9).name, QStringLiteral("ホタルブクロ"));
    EXPECT_EQ(mainState().lastPictureFolder, p.src());
    EXPECT_EQ(p.pad->windowTitle(), QStringLiteral("入力パッド"));
}

// The memo typed on the input pad belongs to the new species: it is written
// with its pictures and data line, and not at all when nothing could be
// registered (else a later species of that name would inherit it).
TEST_F(EditingTest, ANewSpeciesMemoIsWrittenOnlyWithTheSpecies)
{
    Program p;
    writeFile(p.src() + "broken.jpg", "garbage");
    writePicture(p.src() + "good.jpg", 30, 20, Qt::magenta);
    p.start();
    const auto typeMemo = [this](const QString& text) {
        seam.dialogs.push_back([text](QDialog* pad) {
            auto* input = qobject_cast<TfSearch*>(pad);
            input->memoBox()->setPlainText(text);
            input->memoBox()->document()->setModified(true); // as typing leaves it
            input->executeButton()->click();
            return pad->result();
        });
    };

    seam.pictureChoices.push_back({p.src() + "broken.jpg"});
    chooseEntry(-1, QStringLiteral("ホタルブクロ"));
    typeMemo(QStringLiteral("釣鐘形の花"));
    p.main->ToolButton10Click();
    EXPECT_EQ(p.fileTable().findByName(QStringLiteral("ホタルブクロ")), 0);
    EXPECT_FALSE(platform::fileExists(p.hdd() + "ホタルブクロ.txt"));

    seam.pictureChoices.push_back({p.src() + "good.jpg"});
    chooseEntry(-1, QStringLiteral("ホタルブクロ"));
    typeMemo(QStringLiteral("釣鐘形の花"));
    p.main->ToolButton10Click();
    EXPECT_NE(p.fileTable().findByName(QStringLiteral("ホタルブクロ")), 0);
    QString memo;
    ASSERT_TRUE(readMemoFile(p.hdd() + "ホタルブクロ.txt", memo));
    EXPECT_EQ(memo, QStringLiteral("釣鐘形の花\n"));
    EXPECT_EQ(mainState().memoPath, p.hdd() + "ホタルブクロ.txt");
}

TEST_F(EditingTest, EveryCancelLeavesTheDataFileAlone)
{
    Program p;
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    p.start();
    const QByteArray before = readFile(p.hdd() + "Tolvarin.dat");
    const auto stamp = platform::fileAge(p.hdd() + "Tolvarin.dat");
    p.main->ToolButton10Click(); // the picture dialog cancelled
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    cancelNext(); // the chooser cancelled
    p.main->ToolButton10Click();
    EXPECT_EQ(p.main->slotCount(), 0);
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    chooseEntry(-1, QStringLiteral("ミズヒキ"));
    cancelNext(); // the input pad cancelled
    p.main->ToolButton10Click();
    EXPECT_EQ(p.main->slotCount(), 0);
    EXPECT_EQ(readFile(p.hdd() + "Tolvarin.dat"), before);
    EXPECT_EQ(platform::fileAge(p.hdd() + "Tolvarin.dat"), stamp);
    EXPECT_TRUE(p.pictures("ミズヒキ").isEmpty());
}

TEST_F(EditingTest, LimitsRefuseBeforeAnythingIsCopied)
{
    QStringList full;
    for (int i = 0; i < 1000; ++i)
        full << QStringLiteral("種%1,1,0,0,0,1,0,0,0,0,0,3,1,0,2,0").arg(i, 4, 10, QLatin1Char('0'));
    full[0] = QStringLiteral("種0000,1,0,0,0,1,0,0,0,0,0,3,1,0,2,98");
    Program p(full);
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    writePicture(p.src() + "b.jpg", 30, 20, Qt::red);
    p.start();
    const QByteArray before = readFile(p.hdd() + "Tolvarin.dat");
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    chooseEntry(-1, QStringLiteral("千一番目"));
    p.main->ToolButton10Click();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains("1000"));
    seam.pictureChoices.push_back({p.src() + "a.jpg", p.src() + "b.jpg"});
    chooseEntry(0);
    p.main->ToolButton10Click();
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_TRUE(seam.messages[1].text.contains("99"));
    EXPECT_EQ(readFile(p.hdd() + "Tolvarin.dat"), before);
    EXPECT_TRUE(p.pictures("種0000").size() == 98 || p.pictures("種0000").isEmpty());
    EXPECT_FALSE(platform::fileExists(p.hdd() + "種000099.jpg"));
}

TEST_F(EditingTest, CorrectionRenamesAndStoresConfirmedConditions)
{
    Program p;
    p.start();
    p.main->toolButton(11)->setChecked(true);
    chooseEntry(2, QStringLiteral("ウツボグサ改"));
    p.main->ToolButton8Click();
    EXPECT_EQ(mainState().currentSpecies, 3);
    EXPECT_EQ(p.pictures("ウツボグサ改"), QStringList{"ウツボグサ改01.jpg"});
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("ウツボグサ改,0,1,0,0")));
    EXPECT_TRUE(p.main->toolButton(4)->isEnabled());
    EXPECT_TRUE(p.main->toolButton(7)->isEnabled());
    EXPECT_TRUE(p.pad->isVisible());

    // Confirming a change on the pad reaches the data file at once.
    p.pad->findChild<QCheckBox*>("CheckBox4")->click();
    ASSERT_TRUE(p.pad->executeButton()->isEnabled());
    p.pad->executeButton()->click();
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("ウツボグサ改,0,1,0,1")));

    // Stepping to the neighbours, and the ends of the table.
    p.main->ToolButton7Click();
    EXPECT_EQ(mainState().currentSpecies, 4);
    chooseEntry(0);
    p.main->ToolButton8Click();
    EXPECT_FALSE(p.main->toolButton(4)->isEnabled());
    EXPECT_TRUE(p.main->toolButton(7)->isEnabled());
}

TEST_F(EditingTest, RenamingNeverReplacesAnotherSpeciesPictures)
{
    Program p;
    p.start();
    chooseEntry(1, QStringLiteral("アオイ"));
    p.main->ToolButton8Click();
    EXPECT_EQ(p.pictures("アオイ").size(), 2);
    EXPECT_EQ(p.pictures("イヌタデ").size(), 1);
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("イヌタデ,")));
}

TEST_F(EditingTest, DeletingPicturesAndTheLastOneOfASpecies)
{
    Program p;
    p.start();
    // Picture 1 of アオイ's two: the other moves down.
    chooseEntry(0);
    p.main->ToolButton8Click();
    p.main->selectPicture(0);
    EXPECT_TRUE(p.main->toolButton(17)->isEnabled());
    seam.answers.push_back(QMessageBox::No);
    p.main->ToolButton17Click();
    EXPECT_EQ(p.pictures("アオイ").size(), 2);
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    EXPECT_EQ(p.pictures("アオイ"), QStringList{"アオイ01.jpg"});
    EXPECT_EQ(p.fileTable().record(1).pictureCount, 1);
    EXPECT_EQ(seam.messages.back().caption, QStringLiteral("画像削除確認"));

    // The only picture of species 5 of 8: the record leaves, the next one shows.
    chooseEntry(4);
    p.main->ToolButton8Click();
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    EXPECT_EQ(p.fileTable().plantCount(), 7);
    EXPECT_EQ(p.fileTable().record(5).name, QStringLiteral("カタバミ"));
    EXPECT_EQ(mainState().currentSpecies, 5);
    EXPECT_EQ(p.main->statusText(), QStringLiteral("カタバミ"));

    // The last record: the new last one shows.
    chooseEntry(6);
    p.main->ToolButton8Click();
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    EXPECT_EQ(p.fileTable().plantCount(), 6);
    EXPECT_EQ(mainState().currentSpecies, 6);
    EXPECT_EQ(p.main->statusText(), QStringLiteral("キキョウ"));
}

TEST_F(EditingTest, PicturesOnTheCdRomAreNotDeleted)
{
    Program p;
    writePicture(p.cd() + "クズ02.jpg", 30, 30, Qt::red);
    PlantTable t = p.fileTable();
    t.record(8).pictureCount = 2;
    platform::writeFileAtomic(p.hdd() + "Tolvarin.dat", writePlantTable(t));
    p.start();
    chooseEntry(7);
    p.main->ToolButton8Click();
    p.main->selectPicture(1);
    p.main->ToolButton17Click();
    EXPECT_EQ(seam.messages.back().text, QStringLiteral("CD-ROM内の画像は削除できません。"));
    EXPECT_TRUE(platform::fileExists(p.cd() + "クズ02.jpg"));
    EXPECT_EQ(p.fileTable().record(8).pictureCount, 2);
}

TEST_F(EditingTest, ABusyDataFileRefusesEveryOperationBeforeAnythingChanges)
{
    Program p;
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    p.start();
    chooseEntry(0);
    p.main->ToolButton8Click();
    const QByteArray before = readFile(p.hdd() + "Tolvarin.dat");

    QProcess holder;
    holder.start(toolPath("tolvarin_datatool"), {"hold", p.hdd(), "20000"});
    ASSERT_TRUE(holder.waitForReadyRead(10000));

    seam.messages.clear();
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    EXPECT_EQ(seam.messages.back().text, RewriteFailedMessage);
    EXPECT_EQ(p.pictures("アオイ").size(), 2);

    p.main->ToolButton8Click();
    EXPECT_EQ(seam.messages.back().text, BusyMessage);
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    p.main->ToolButton10Click();
    EXPECT_EQ(seam.messages.back().text, BusyMessage);
    EXPECT_EQ(readFile(p.hdd() + "Tolvarin.dat"), before);

    // Searching still works while another copy writes.
    seam.dialogs.push_back([](QDialog*) { return QDialog::Accepted; });
    p.main->ToolButton3Click();
    p.main->Find1Click();
    EXPECT_EQ(mainState().resultList.size(), 8);
    holder.kill();
    holder.waitForFinished();
}

TEST_F(EditingTest, DeletionKeepsAnotherCopysRegistration)
{
    Program p;
    p.start();
    chooseEntry(0);
    p.main->ToolButton8Click();
    ASSERT_EQ(QProcess::execute(toolPath("tolvarin_datatool"), {"append", p.hdd(), "ヨモギ"}), 0);
    p.main->selectPicture(1);
    p.main->ToolButton17Click();
    const PlantTable t = p.fileTable();
    EXPECT_NE(t.findByName(QStringLiteral("ヨモギ")), 0);
    EXPECT_EQ(t.record(t.findByName(QStringLiteral("アオイ"))).pictureCount, 1);
}

TEST_F(EditingTest, EnteringAndLeavingEditingMode)
{
    Program p;
    p.start(); // A1Click
    for (int n : {3, 8, 10, 11})
        EXPECT_TRUE(p.main->toolButton(n)->isEnabled()) << n;
    for (int n : {1, 2, 4, 7, 17})
        EXPECT_FALSE(p.main->toolButton(n)->isEnabled()) << n;
    EXPECT_TRUE(mainState().editMode);
    EXPECT_TRUE(mainState().memoOnPad);
    EXPECT_EQ(mainState().lastPictureFolder, p.src());

    // The "show conditions" toggle up when leaving: remembered, and the pad
    // stays hidden on the next entry.
    p.main->toolButton(11)->setChecked(false);
    p.main->ToolButton11Click();
    p.main->ToolButton3Click();
    EXPECT_FALSE(settings().showConditions);
    EXPECT_FALSE(mainState().editMode);
    EXPECT_TRUE(p.main->toolButton(1)->isEnabled());
    for (int n : {3, 4, 7, 8, 10, 11, 17})
        EXPECT_FALSE(p.main->toolButton(n)->isEnabled()) << n;
    p.main->A1Click();
    EXPECT_FALSE(p.main->toolButton(11)->isChecked());
    EXPECT_FALSE(p.pad->isVisible());

    // A search's list window is closed on entering, and N3 disabled.
    p.main->ToolButton3Click();
    seam.dialogs.push_back([](QDialog*) { return QDialog::Accepted; });
    p.main->Find1Click();
    ASSERT_NE(Tf_p_list::instance(), nullptr);
    EXPECT_TRUE(p.main->menuAction("N3")->isEnabled());
    p.main->A1Click();
    EXPECT_EQ(Tf_p_list::instance(), nullptr);
    EXPECT_FALSE(p.main->menuAction("N3")->isEnabled());
    EXPECT_EQ(p.main->slotCount(), 0);
}

// OK in the chooser with no entry selected and no new name chooses nothing:
// registration ends as after a cancel (it used to look up record 0 and end
// the program).
TEST_F(EditingTest, OkWithNothingChosenRegistersNothing)
{
    Program p;
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    p.start();
    const QByteArray before = readFile(p.hdd() + "Tolvarin.dat");
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    chooseEntry(-1);
    EXPECT_NO_THROW(p.main->ToolButton10Click());
    EXPECT_EQ(p.main->slotCount(), 0);
    EXPECT_EQ(readFile(p.hdd() + "Tolvarin.dat"), before);
    EXPECT_EQ(p.pictures("アオイ").size(), 2);
}

// After the last picture of a species is deleted, the correction pad shows
// the species now in its place, and cannot store the removed one's
// conditions into it.
TEST_F(EditingTest, TheCorrectionPadFollowsADeletedSpecies)
{
    Program p;
    p.start();
    p.main->toolButton(11)->setChecked(true);
    chooseEntry(4); // オオバコ, one picture
    p.main->ToolButton8Click();
    p.pad->findChild<QCheckBox*>("CheckBox4")->click(); // winter, not confirmed
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    ASSERT_EQ(mainState().currentSpecies, 5);
    EXPECT_EQ(plantTable().record(5).name, QStringLiteral("カタバミ"));
    EXPECT_FALSE(p.pad->executeButton()->isEnabled());
    EXPECT_EQ(p.pad->padState(), padFromRecord(plantTable().record(5)));
    const QString katabami = QStringLiteral("カタバミ,1,1,1,0,0,0,1,0,0,0,10,0,1,5,1");
    EXPECT_TRUE(p.dataText().contains(katabami));
}

// A correction chosen and cancelled shows nothing that could be stepped from
// or deleted; a search from the menu leaves editing first; and the search
// pad always executes, though correction disabled its button.
TEST_F(EditingTest, LeavingACorrectionLeavesNoHalfState)
{
    Program p;
    p.start();
    chooseEntry(4);
    p.main->ToolButton8Click();
    ASSERT_EQ(p.main->slotCount(), 1);
    const auto stamp = platform::fileAge(p.hdd() + "Tolvarin.dat");
    cancelNext();
    p.main->ToolButton8Click();
    EXPECT_EQ(mainState().currentSpecies, 0);
    EXPECT_EQ(p.main->slotCount(), 0);
    for (int n : {4, 7, 17})
        EXPECT_FALSE(p.main->toolButton(n)->isEnabled()) << n;
    EXPECT_EQ(platform::fileAge(p.hdd() + "Tolvarin.dat"), stamp); // nothing to write
    // OK with nothing selected, the pad shown: it goes, rather than offer
    // "変更" with no species to store into.
    p.main->toolButton(11)->setChecked(true);
    chooseEntry(4);
    p.main->ToolButton8Click();
    ASSERT_TRUE(p.pad->isVisible());
    chooseEntry(-1);
    p.main->ToolButton8Click();
    EXPECT_FALSE(p.pad->isVisible());
    EXPECT_EQ(p.main->slotCount(), 0);

    chooseEntry(4);
    p.main->ToolButton8Click();
    bool executable = false;
    seam.dialogs.push_back([&](QDialog* pad) {
        executable = qobject_cast<TfSearch*>(pad)->executeButton()->isEnabled();
        return QDialog::Rejected;
    });
    p.main->Find1Click(); // cancelled: no correction chooser reopens
    EXPECT_TRUE(executable);
    EXPECT_TRUE(seam.dialogs.empty());
    EXPECT_FALSE(mainState().editMode);
    EXPECT_FALSE(mainState().correctionMode);
    EXPECT_TRUE(p.main->toolButton(1)->isEnabled());
    for (int n : {3, 4, 7, 8, 10, 11, 17})
        EXPECT_FALSE(p.main->toolButton(n)->isEnabled()) << n;
}

// A data file that loads only in part: the user is told at the rewrite that
// the lines left out are now only in the backup.
TEST_F(EditingTest, ARewriteOfAPartlyLoadedFileSaysWhatIsLeftOut)
{
    QStringList lines = eightSpecies;
    lines.insert(2, QString());
    Program p(lines);
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    p.start();
    seam.messages.clear();
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    chooseEntry(0);
    p.main->ToolButton10Click();
    ASSERT_FALSE(seam.messages.empty());
    const QStringList backups = QDir(p.hdd()).entryList({"Tolvarin.dat.backup-*"});
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(seam.messages.back().text.contains(backups[0]));
    EXPECT_TRUE(seam.messages.back().text.contains(QStringLiteral("含まれていません")));
}

// A species without pictures (here from a line that stops after its name)
// has no picture to select: deletion removes the species itself, after
// asking.
TEST_F(EditingTest, ASpeciesWithoutPicturesCanBeRemoved)
{
    QStringList lines = eightSpecies;
    lines.append(QStringLiteral("名前だけの行"));
    Program p(lines);
    p.start();
    const int k = plantTable().findByName(QStringLiteral("名前だけの行"));
    ASSERT_GE(k, 1);
    chooseEntry(k - 1);
    p.main->ToolButton8Click();
    EXPECT_EQ(p.main->slotCount(), 0);
    ASSERT_TRUE(p.main->toolButton(17)->isEnabled());
    seam.messages.clear();
    seam.answers.push_back(QMessageBox::No);
    p.main->ToolButton17Click();
    EXPECT_EQ(plantTable().findByName(QStringLiteral("名前だけの行")), k);
    p.main->ToolButton17Click();
    // Asked twice; the rewrite then says what the damaged file's backup holds.
    ASSERT_EQ(seam.messages.size(), 3u);
    EXPECT_TRUE(seam.messages[1].text.contains(QStringLiteral("画像がありません")));
    EXPECT_TRUE(seam.messages[2].text.contains(QStringLiteral("9行目")));
    EXPECT_EQ(p.fileTable().findByName(QStringLiteral("名前だけの行")), 0);
    EXPECT_EQ(p.fileTable().plantCount(), 8);
    // The species now at that place shows; pictures of the others are all there.
    EXPECT_EQ(mainState().currentSpecies, std::min(k, 8));
    EXPECT_EQ(p.pictures("アオイ").size(), 2);
}

// Two copies on one species: what this copy framed is checked under the
// lock against what the other copy left, and nothing is deleted when the
// number framed would now name another picture.
TEST_F(EditingTest, AStaleFrameDeletesNothingAfterAnotherCopyChangedThePictures)
{
    QStringList lines = eightSpecies;
    lines[0] = QStringLiteral("アオイ,1,0,0,0,1,0,0,0,0,0,3,1,0,2,4");
    Program p(lines);
    p.start();
    chooseEntry(0);
    p.main->ToolButton8Click();
    ASSERT_EQ(p.main->slotCount(), 4);
    // The other copy deletes picture 1; the others move down one number.
    ASSERT_EQ(QProcess::execute(toolPath("tolvarin_catalogtool"), {"0", "delete", p.hdd(), "アオイ", "1"}), 0);
    const QByteArray oldThird = readFile(p.hdd() + "アオイ02.jpg");
    seam.messages.clear();
    p.main->selectPicture(1); // picture 2 as this copy still shows it
    p.main->ToolButton17Click();
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_TRUE(seam.messages.back().text.contains(QStringLiteral("他のコピー")));
    EXPECT_EQ(p.pictures("アオイ").size(), 3);
    EXPECT_EQ(readFile(p.hdd() + "アオイ02.jpg"), oldThird);
    EXPECT_EQ(p.fileTable().record(1).pictureCount, 3);
    EXPECT_EQ(p.main->slotCount(), 3); // shown afresh
    // Now framed as it is, the picture is deleted.
    p.main->selectPicture(1);
    p.main->ToolButton17Click();
    EXPECT_EQ(p.pictures("アオイ"), (QStringList{"アオイ01.jpg", "アオイ02.jpg"}));
    EXPECT_EQ(p.fileTable().record(1).pictureCount, 2);

    // The other copy renames the species: nothing of it is deleted here.
    ASSERT_EQ(QProcess::execute(toolPath("tolvarin_catalogtool"), {"0", "rename", p.hdd(), p.cd(), "アオイ", "タチアオイ"}),
              0);
    seam.messages.clear();
    p.main->selectPicture(0);
    p.main->ToolButton17Click();
    EXPECT_TRUE(seam.messages.back().text.contains(QStringLiteral("名前が変わって")));
    EXPECT_EQ(p.pictures("タチアオイ").size(), 2);
}

// Renaming takes the memo along with the pictures, in the same change; a
// memo in the CD-ROM folder stays and is copied under the new name.
TEST_F(EditingTest, RenamingTakesTheMemoAlong)
{
    Program p;
    writeFile(p.hdd() + "ウツボグサ.txt", cp932::encodeLossy(QStringLiteral("紫の花\r\n")));
    writeFile(p.cd() + "イヌタデ.txt", cp932::encodeLossy(QStringLiteral("赤まんま\r\n")));
    p.start();
    p.main->toolButton(11)->setChecked(true);
    chooseEntry(2, QStringLiteral("ウツボグサ改"));
    p.main->ToolButton8Click();
    EXPECT_FALSE(platform::fileExists(p.hdd() + "ウツボグサ.txt"));
    EXPECT_EQ(mainState().memoPath, p.hdd() + "ウツボグサ改.txt");
    EXPECT_EQ(p.pad->memoText(), QStringLiteral("紫の花\n"));

    chooseEntry(1, QStringLiteral("イヌタデ改"));
    p.main->ToolButton8Click();
    EXPECT_EQ(readFile(p.hdd() + "イヌタデ改.txt"), readFile(p.cd() + "イヌタデ.txt"));
    EXPECT_TRUE(platform::fileExists(p.cd() + "イヌタデ.txt"));
    EXPECT_EQ(p.pictures("イヌタデ改"), QStringList{"イヌタデ改01.jpg"});
}

// A change on the correction pad that was not confirmed with "変更" is not
// dropped in silence when the user steps on or starts a registration.
TEST_F(EditingTest, AnUnconfirmedCorrectionIsNotDroppedInSilence)
{
    Program p;
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    correctEnokigusa(p);
    const QString before = p.dataText();
    auto winter = [&] { toggleWinter(p); };
    winter();
    seam.messages.clear();
    // Cancel stays, with the change still on the pad.
    seam.answers.push_back(QMessageBox::Cancel);
    p.main->ToolButton7Click();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, QStringLiteral("変更を保存しますか"));
    EXPECT_EQ(mainState().currentSpecies, 4);
    EXPECT_TRUE(p.pad->executeButton()->isEnabled());
    // No drops it and moves on.
    seam.answers.push_back(QMessageBox::No);
    p.main->ToolButton7Click();
    EXPECT_EQ(mainState().currentSpecies, 5);
    EXPECT_EQ(p.dataText(), before);
    // Yes keeps it, then moves on.
    winter();
    seam.answers.push_back(QMessageBox::Yes);
    p.main->ToolButton4Click();
    EXPECT_EQ(mainState().currentSpecies, 4);
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("オオバコ,1,1,1,1,")));
    // Starting a registration asks too; cancel leaves the correction open.
    winter();
    seam.messages.clear();
    seam.answers.push_back(QMessageBox::Cancel);
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    p.main->ToolButton10Click();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.pictureChoices.size(), 1u); // no picture was asked for
    EXPECT_TRUE(mainState().correctionMode);
    // With nothing changed, nothing is asked.
    seam.pictureChoices.clear();
    seam.answers.push_back(QMessageBox::No);
    p.main->ToolButton7Click();
    seam.messages.clear();
    p.main->ToolButton7Click();
    EXPECT_TRUE(seam.messages.empty());
    // Choosing another species to correct asks too; the pad's own cancel
    // drops the change on purpose, without a question.
    winter();
    seam.answers.push_back(QMessageBox::Cancel);
    p.main->ToolButton8Click();
    ASSERT_EQ(seam.messages.size(), 1u);
    seam.messages.clear();
    chooseEntry(3);
    p.pad->cancelButton()->click();
    EXPECT_TRUE(seam.messages.empty());
    EXPECT_EQ(mainState().currentSpecies, 4);
}

// Leaving picture editing (its tool button, or a search from the menu) and
// closing the program ask about a change left unconfirmed on the pad too.
TEST_F(EditingTest, LeavingEditingOrClosingAsksAboutAnUnconfirmedCorrection)
{
    Program p;
    correctEnokigusa(p);
    const QString before = p.dataText();
    toggleWinter(p);
    seam.messages.clear();
    // Cancel stays in editing mode with the change on the pad.
    seam.answers.push_back(QMessageBox::Cancel);
    p.main->ToolButton3Click();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, QStringLiteral("変更を保存しますか"));
    EXPECT_TRUE(mainState().editMode);
    EXPECT_TRUE(p.pad->executeButton()->isEnabled());
    // A search from the menu asks the same; cancel leaves everything as it was.
    seam.answers.push_back(QMessageBox::Cancel);
    p.main->Find1Click();
    EXPECT_EQ(seam.messages.size(), 2u);
    EXPECT_TRUE(mainState().editMode);
    EXPECT_TRUE(seam.dialogNames.filter("fSearch").isEmpty()); // no search pad was shown
    // Yes keeps the change, then leaves.
    seam.answers.push_back(QMessageBox::Yes);
    p.main->ToolButton3Click();
    EXPECT_FALSE(mainState().editMode);
    EXPECT_TRUE(p.dataText().contains(QStringLiteral("エノキグサ,0,1,1,1,")));

    // Closing the program asks, and is never refused.
    p.main->A1Click();
    chooseEntry(3);
    p.main->ToolButton8Click();
    toggleWinter(p); // winter off again
    seam.messages.clear();
    seam.answers.push_back(QMessageBox::Yes);
    p.main->close();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].text, QStringLiteral("変更を保存しますか"));
    EXPECT_EQ(p.dataText(), before);
}

// A picture no species counts where registration puts the next one never
// blocks it: it is moved aside under a backup name the user is told of.
TEST_F(EditingTest, APictureNoSpeciesCountsIsMovedAsideNotInTheWay)
{
    Program p;
    writePicture(p.src() + "a.jpg", 30, 20, Qt::red);
    writePicture(p.hdd() + "イヌタデ02.jpg", 12, 12, Qt::blue);
    const QByteArray leftover = readFile(p.hdd() + "イヌタデ02.jpg");
    p.start();
    seam.pictureChoices.push_back({p.src() + "a.jpg"});
    chooseEntry(1);
    p.main->ToolButton10Click();
    EXPECT_EQ(p.fileTable().record(2).pictureCount, 2);
    EXPECT_EQ(readFile(p.hdd() + "イヌタデ02.jpg"), readFile(p.src() + "a.jpg"));
    const QStringList aside = QDir(p.hdd()).entryList({"イヌタデ02.jpg.backup-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(p.hdd() + aside[0]), leftover);
    ASSERT_FALSE(seam.messages.empty());
    EXPECT_TRUE(seam.messages.back().text.contains(aside[0]));
}
