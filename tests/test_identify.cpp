// The identification aids as the user meets them: the counts and the hint on
// the search pad, near matches in the results, and the comparison window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/main.h"
#include "app/state.h"
#include "edit/p_list.h"
#include "images/thumbnails.h"
#include "platform/cp932.h"
#include "search/compare.h"
#include "search/guidance.h"
#include "search/search.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

const QStringList& catalogue = fiveSpecies;

struct Folders {
    QTemporaryDir root;
    QString exe() const { return folderOf(root); }
    QString ini() const { return exe() + "tolvarin.ini"; }
    QString hdd() const { return exe() + "hdd/"; }
    Folders(const QString& extraSettings = QString())
    {
        QDir(root.path()).mkpath("hdd");
        writeSettings(ini(), hdd(), hdd(), hdd());
        if (!extraSettings.isEmpty())
            writeFile(ini(), readFile(ini()) + cp932::encodeLossy(extraSettings));
        writeCatalogue(hdd(), catalogue);
    }
};

void userClick(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

// Shown on its page, whichever page is in front.
bool shown(QWidget* widget)
{
    return widget->isVisibleTo(widget->parentWidget());
}

bool muted(QAbstractButton* button)
{
    return button->palette().color(QPalette::WindowText) == TfSearch::mutedCaptionColour();
}

// Four species: A spring/white/タンポポ型/upright/toothed/互生, B
// summer/red/ハコベ型/stem unknown/untoothed, C spring+summer/white/flower
// unknown/climbing/対生, D nothing given.
void fourSpecies()
{
    PlantTable& table = plantTable();
    table = PlantTable{};
    auto add = [&](const char* name, std::array<bool, 4> seasons, std::array<bool, 6> colours, int flower,
                   int stem, int margin, int leaf) {
        PlantRecord& r = table.record(table.append(QString::fromUtf8(name)));
        r.seasons = seasons;
        r.colours = colours;
        r.flowerShape = flower;
        r.stemHabit = stem;
        r.leafMargin = margin;
        r.leafShape = leaf;
    };
    add("A", {true, false, false, false}, {true, false, false, false, false, false}, 2, 1, 0, 1);
    add("B", {false, true, false, false}, {false, true, false, false, false, false}, 3, 0, 1, -1);
    add("C", {true, true, false, false}, {true, false, false, false, false, false}, 0, 2, -1, 2);
    add("D", {}, {}, -1, -1, -1, -1);
}

class Identify : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainState() = MainState{};
        settings() = Settings{};
        plantTable() = PlantTable{};
        thumbnailCache().clear();
    }
    void TearDown() override { TfCompare::release(); }
    TestSeam seam;
};

// Runs a search whose pad script ticks the named controls.
void search(TfMain& main, TestSeam& seam, const QStringList& ticks)
{
    seam.dialogs.push_back([ticks](QDialog* pad) {
        for (const QString& name : ticks)
            if (auto* b = pad->findChild<QAbstractButton*>(name))
                b->setChecked(true);
        return QDialog::Accepted;
    });
    main.Find1Click();
}

} // namespace

TEST_F(Identify, ThePadCountsAtEveryClickAndHintsTheNextQuestion)
{
    fourSpecies();
    TfSearch pad;
    // Without the aids the pad is as designed.
    EXPECT_EQ(pad.size(), QSize(469, 325));
    pad.show();
    for (int i = 0; i < PadButtonCount; ++i)
        EXPECT_FALSE(shown(pad.countLabel(i))) << i;
    EXPECT_FALSE(pad.hintLabel()->isVisible());

    pad.setAidsShown(true);
    // One strip more; the conditions, captions and buttons stay.
    EXPECT_EQ(pad.size(), QSize(469, 325 + 26));
    EXPECT_EQ(pad.pages()->height(), 290);
    for (int i = 0; i < PadButtonCount; ++i)
        EXPECT_EQ(pad.padIndex()[i]->text(), padCaption(i)) << i;
    EXPECT_EQ(pad.windowTitle(), QStringLiteral("検索パッド"));
    // The buttons stay in their bar; the strip lies below it.
    EXPECT_EQ(pad.executeButton()->mapTo(&pad, QPoint(0, 0)), QPoint(82, 290 + 5));
    EXPECT_EQ(pad.foundLabel()->parentWidget()->geometry(), QRect(0, 325, 469, 26));

    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 4 種"));
    EXPECT_EQ(pad.countLabel(0)->text(), QStringLiteral("2"));  // 春
    EXPECT_EQ(pad.countLabel(11)->text(), QStringLiteral("3")); // タンポポ型
    EXPECT_EQ(pad.countLabel(2)->text(), QStringLiteral("0"));  // 秋: nobody
    EXPECT_TRUE(muted(pad.padIndex()[2]));
    EXPECT_TRUE(pad.padIndex()[2]->isEnabled()); // still usable
    EXPECT_FALSE(muted(pad.padIndex()[0]));
    // Each count sits beside its button or on the card just above it.
    for (int i = 0; i < PadButtonCount; ++i) {
        QLabel* label = pad.countLabel(i);
        EXPECT_TRUE(shown(label)) << i;
        EXPECT_EQ(label->parentWidget(), pad.padIndex()[i]->parentWidget()) << i;
        EXPECT_LT(std::abs(label->geometry().center().y() - pad.padIndex()[i]->geometry().center().y()), 45) << i;
    }

    // 春: A and C remain.
    userClick(pad.padIndex()[0]);
    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 2 種"));
    EXPECT_EQ(pad.countLabel(5)->text(), QStringLiteral("0")); // 赤 would leave none
    EXPECT_TRUE(muted(pad.padIndex()[5]));
    EXPECT_EQ(pad.countLabel(1)->text(), QStringLiteral("3")); // 春 or 夏
    // Stem and leaf form each split A from C; the stem comes first.
    EXPECT_EQ(pad.hintLabel()->text(), QStringLiteral("次は『茎の様子』が絞り込みに役立ちます"));
    EXPECT_EQ(pad.markedPage(), 1);
    EXPECT_FALSE(pad.pages()->tabIcon(1).isNull());
    EXPECT_TRUE(pad.pages()->tabIcon(0).isNull());
    EXPECT_EQ(pad.pages()->tabText(1), QStringLiteral("茎"));

    // つる型 leaves C alone: no more questions.
    pad.pages()->setCurrentIndex(1);
    userClick(pad.padIndex()[22]);
    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 1 種"));
    EXPECT_TRUE(pad.hintLabel()->text().isEmpty());
    EXPECT_EQ(pad.markedPage(), -1);

    // Clearing counts again from scratch.
    userClick(pad.clearButton());
    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 4 種"));
    EXPECT_FALSE(muted(pad.padIndex()[5]));

    // The tolerance counts near matches and is kept for the settings file.
    userClick(pad.padIndex()[1]); // 夏
    userClick(pad.padIndex()[5]); // 赤: B only
    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 1 種"));
    pad.toleranceBox()->setCurrentIndex(1);
    EXPECT_EQ(settings().searchTolerance, 1);
    EXPECT_EQ(pad.foundLabel()->text(), QStringLiteral("該当 2 種")); // C misses the colour only

    // Hidden again, the pad is back to its own size and looks.
    pad.setAidsShown(false);
    EXPECT_EQ(pad.size(), QSize(469, 325));
    for (int i = 0; i < PadButtonCount; ++i) {
        EXPECT_FALSE(shown(pad.countLabel(i))) << i;
        EXPECT_FALSE(muted(pad.padIndex()[i])) << i;
    }
    for (int page = 0; page < 3; ++page)
        EXPECT_TRUE(pad.pages()->tabIcon(page).isNull());
    EXPECT_FALSE(pad.hintLabel()->isVisible());
}

TEST_F(Identify, OnlyASearchShowsTheAids)
{
    fourSpecies();
    settings().searchTolerance = 2;
    TfSearch pad;
    bool shownDuringRegistration = true;
    QSize sizeDuringRegistration;
    seam.dialogs.push_back([&](QDialog*) {
        shownDuringRegistration = pad.aidsShown() || pad.foundLabel()->isVisible();
        sizeDuringRegistration = pad.size();
        return QDialog::Accepted;
    });
    pad.setMode(QStringLiteral("入力パッド"), QStringLiteral("画像追加"));
    EXPECT_TRUE(pad.showModalSearch());
    EXPECT_FALSE(shownDuringRegistration);
    EXPECT_EQ(sizeDuringRegistration, QSize(469, 325));

    bool shownDuringSearch = false;
    int toleranceShown = -1;
    seam.dialogs.push_back([&](QDialog*) {
        shownDuringSearch = pad.aidsShown() && pad.foundLabel()->isVisible();
        toleranceShown = pad.toleranceBox()->currentIndex();
        return QDialog::Accepted;
    });
    pad.setMode(QStringLiteral("検索パッド"), QStringLiteral("検索実行"));
    EXPECT_TRUE(pad.showModalSearch(true));
    EXPECT_TRUE(shownDuringSearch);
    EXPECT_EQ(toleranceShown, 2); // the remembered tolerance
    EXPECT_FALSE(pad.aidsShown());
    EXPECT_EQ(pad.size(), QSize(469, 325));

    // A value the pad does not offer reads as 0.
    settings().searchTolerance = 9;
    seam.dialogs.push_back([&](QDialog*) {
        toleranceShown = pad.toleranceBox()->currentIndex();
        return QDialog::Rejected;
    });
    pad.showModalSearch(true);
    EXPECT_EQ(toleranceShown, 0);
}

TEST_F(Identify, NearMatchesFollowTheExactOnesWithTheirMarks)
{
    Folders s(QStringLiteral("[Search]\r\nTolerance=1\r\n"));
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    EXPECT_EQ(settings().searchTolerance, 1);

    // 夏 + 白 + ハコベ型: ハコベ matches; ヤマユリ has another flower shape.
    search(main, seam, {"CheckBox2", "CheckBox5", "RadioButton3"});
    const MainState& st = mainState();
    ASSERT_EQ(st.resultList, (QStringList{QStringLiteral("ハコベ"), QStringLiteral("ヤマユリ")}));
    ASSERT_EQ(st.resultMisses.size(), 2u);
    EXPECT_EQ(st.resultMisses[1], 1u << int(PadGroup::FlowerShape));
    ASSERT_EQ(main.slotCount(), 2);
    EXPECT_EQ(main.pictureSlot(0)->findChild<QLabel*>("NearMark"), nullptr);
    QLabel* mark = main.pictureSlot(1)->findChild<QLabel*>("NearMark");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->text(), QStringLiteral("1つ違い"));
    EXPECT_TRUE(main.pictureSlot(1)->rect().contains(mark->geometry()));

    main.selectPicture(1);
    EXPECT_EQ(main.statusText(), QStringLiteral("ヤマユリ — 違い: 花の形"));
    main.selectPicture(0);
    EXPECT_EQ(main.statusText(), QStringLiteral("ハコベ"));

    // The list keeps the names and shows the differences beside them.
    Tf_p_list* list = Tf_p_list::instance();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->listBox()->count(), 2);
    EXPECT_EQ(list->listBox()->item(1)->text(), QStringLiteral("ヤマユリ"));
    EXPECT_EQ(list->listBox()->item(1)->data(Tf_p_list::MissRole).toInt(), 1);
    EXPECT_EQ(list->listBox()->item(0)->data(Tf_p_list::MissRole).toInt(), 0);
}

TEST_F(Identify, AnEmptyExactSearchSaysWhatOneToleratedTestWouldFind)
{
    Folders s;
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);

    // 夏 + 白 + アサガオ型: nothing; ハコベ and ヤマユリ differ in the shape.
    search(main, seam, {"CheckBox2", "CheckBox5", "RadioButton1"});
    EXPECT_TRUE(mainState().resultList.isEmpty());
    EXPECT_EQ(main.statusText(), QStringLiteral("該当なし — 一致しない条件を1つ許すと 2 種見つかります"));

    // Exact results carry no marks and are the matching rule's, in order.
    search(main, seam, {"CheckBox2"});
    EXPECT_EQ(mainState().resultList, (QStringList{QStringLiteral("ハコベ"), QStringLiteral("ヤマユリ")}));
    for (int i = 0; i < main.slotCount(); ++i)
        EXPECT_EQ(main.pictureSlot(i)->findChild<QLabel*>("NearMark"), nullptr);
    EXPECT_TRUE(main.statusText().isEmpty());
}

TEST_F(Identify, ThePadCountsOverTheTableAsItIsWhenItOpens)
{
    Folders s;
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    // Another copy adds a species after start-up.
    QStringList more = catalogue;
    more << QStringLiteral("ナズナ,1,0,0,0,1,0,0,0,0,0,8,1,1,1,1");
    QTest::qWait(20);
    writeCatalogue(s.hdd(), more);
    QString found;
    seam.dialogs.push_back([&](QDialog*) {
        found = pad.foundLabel()->text();
        return QDialog::Rejected;
    });
    main.Find1Click();
    EXPECT_EQ(found, QStringLiteral("該当 6 種"));
}

TEST_F(Identify, ChosenSpeciesAreComparedSideBySide)
{
    Folders s(QStringLiteral("[Search]\r\nTolerance=1\r\n"));
    writePicture(s.hdd() + QStringLiteral("ハコベ01.jpg"), 64, 48, Qt::green);
    writePicture(s.hdd() + QStringLiteral("ハコベ02.jpg"), 48, 64, Qt::red);
    writePicture(s.hdd() + QStringLiteral("ヤマユリ01.jpg"), 64, 48, Qt::yellow);
    writeFile(s.hdd() + QStringLiteral("ハコベ.txt"),
              cp932::encodeLossy(QStringLiteral("道端に多い。\r\n花弁は5枚。\r\n深く裂ける。\r\n4行目\r\n")));
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    search(main, seam, {"CheckBox2", "CheckBox5", "RadioButton3"});
    ASSERT_EQ(main.slotCount(), 2);
    Tf_p_list* list = Tf_p_list::instance();
    ASSERT_NE(list, nullptr);

    // A name clicked in the list frames its picture but is no choice.
    QTest::mouseClick(list->listBox()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->listBox()->visualItemRect(list->listBox()->item(1)).center());
    EXPECT_EQ(list->compareSelection(), (QList<int>{1}));
    EXPECT_EQ(mainState().selectedPicture, 1);
    EXPECT_EQ(main.pictureSlot(1)->findChild<QLabel*>("CompareMark"), nullptr);
    list->listBox()->clearSelection();

    // One species is not enough.
    main.menuAction("Compare1")->trigger();
    EXPECT_EQ(TfCompare::instance(), nullptr);
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.startsWith(QStringLiteral("比較する植物を2～4種選んでください。")));

    // Ctrl+click on the pictures chooses them (and marks them); a plain
    // click would open the viewer instead.
    int opened = -1;
    links().openSpecies = [&](int i) { opened = i; };
    main.selectPicture(0);
    QTest::mouseClick(main.selectionFrame(), Qt::LeftButton, Qt::ControlModifier);
    main.selectPicture(1);
    QTest::mouseClick(main.selectionFrame(), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(opened, -1);
    EXPECT_EQ(list->compareSelection(), (QList<int>{0, 1}));
    for (int i = 0; i < 2; ++i) {
        QLabel* chosen = main.pictureSlot(i)->findChild<QLabel*>("CompareMark");
        ASSERT_NE(chosen, nullptr);
        EXPECT_TRUE(chosen->isVisibleTo(main.pictureSlot(i)));
    }
    EXPECT_EQ(main.menuAction("Compare1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    main.menuAction("Compare1")->trigger();
    TfCompare* compare = TfCompare::instance();
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->windowTitle(), QStringLiteral("比較"));
    ASSERT_EQ(compare->speciesCount(), 2);
    EXPECT_EQ(compare->speciesName(0), QStringLiteral("ハコベ"));
    EXPECT_EQ(compare->speciesName(1), QStringLiteral("ヤマユリ"));

    // The characters in the pad's words, differing rows highlighted.
    QTableWidget* table = compare->table();
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("春・夏"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("夏"));
    EXPECT_EQ(table->item(2, 0)->text(), QStringLiteral("ハコベ型"));
    EXPECT_EQ(table->item(2, 1)->text(), QStringLiteral("３，６枚"));
    EXPECT_EQ(table->verticalHeaderItem(2)->text(), QStringLiteral("花の形"));
    const std::vector<bool> differs = {true, false, true, false, true, true};
    for (int row = 0; row < PadGroupCount; ++row) {
        EXPECT_EQ(compare->rowDiffers(row), differs[size_t(row)]) << row;
        EXPECT_EQ(table->item(row, 0)->background().style() != Qt::NoBrush, differs[size_t(row)]) << row;
    }
    EXPECT_EQ(table->item(TfCompare::MemoRow, 0)->text(),
              QStringLiteral("道端に多い。\n花弁は5枚。\n深く裂ける。…"));
    EXPECT_EQ(table->item(TfCompare::MemoRow, 1)->text(), QStringLiteral("—"));

    // Each column steps through its own pictures.
    EXPECT_EQ(compare->pictureCount(0), 2);
    EXPECT_EQ(compare->shownPicture(0).size(), QSize(64, 48));
    compare->findChild<QPushButton*>("Next0")->click();
    EXPECT_EQ(compare->pictureNumber(0), 2);
    EXPECT_EQ(compare->shownPicture(0).size(), QSize(48, 64));
    EXPECT_EQ(compare->pictureNumber(1), 1);
    EXPECT_FALSE(compare->findChild<QPushButton*>("Next1")->isEnabled()); // one picture only
    compare->findChild<QPushButton*>("Next0")->click();
    EXPECT_EQ(compare->pictureNumber(0), 1); // wraps round
    compare->stepPicture(0, -1);
    EXPECT_EQ(compare->pictureNumber(0), 2);

    // A multiple selection in the list compares too, in the one window.
    list->listBox()->clearSelection();
    list->listBox()->item(1)->setSelected(true);
    list->listBox()->item(0)->setSelected(true);
    main.Compare1Click();
    EXPECT_EQ(TfCompare::instance(), compare);
    EXPECT_EQ(compare->pictureNumber(0), 1);

    // A new search closes it.
    search(main, seam, {"CheckBox2"});
    EXPECT_EQ(TfCompare::instance(), nullptr);
}

TEST_F(Identify, TheComparisonWindowKeepsItsPlaceInsideTheScreen)
{
    Folders s(QStringLiteral("[Compare]\r\nLeft=-3000\r\nTop=-3000\r\nWidth=500\r\nHeight=400\r\n"));
    TfMain main(s.ini(), s.exe());
    EXPECT_EQ(settings().compareWidth, 500);
    ASSERT_TRUE(TfCompare::showFor(&main, {1, 2, 3}));
    TfCompare* compare = TfCompare::instance();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(compare->x(), area.left());
    EXPECT_GE(compare->y(), area.top());
    EXPECT_EQ(compare->speciesCount(), 3);
    compare->move(area.left() + 40, area.top() + 30);
    compare->resize(700, 450);
    // Too few or too many species open nothing.
    EXPECT_FALSE(TfCompare::showFor(&main, {1}));
    EXPECT_FALSE(TfCompare::showFor(&main, {1, 2, 3, 4, 5}));
    EXPECT_FALSE(TfCompare::showFor(&main, {1, 99}));

    main.close(); // closes the comparison, which hands over its place
    EXPECT_EQ(settings().compareLeft, area.left() + 40);
    EXPECT_EQ(settings().compareTop, area.top() + 30);
    const QString ini = cp932::decode(readFile(s.ini()));
    EXPECT_TRUE(ini.contains(QStringLiteral("[Compare]\r\nLeft=%1\r\nTop=%2\r\nWidth=700\r\nHeight=450")
                                 .arg(area.left() + 40)
                                 .arg(area.top() + 30)));
    EXPECT_TRUE(ini.contains(QStringLiteral("Tolerance=0")));
}
