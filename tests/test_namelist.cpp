#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/state.h"
#include "data/DataRW.h"
#include "edit/conditiontree.h"
#include "edit/input.h"
#include "edit/p_list.h"
#include "memo/MemoFile.h"
#include "search/search.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

PadState padWith(std::initializer_list<int> checked)
{
    PadState state{};
    for (int i : checked)
        state[size_t(i)] = true;
    return state;
}

// A tree as indented lines, two spaces a level.
void appendLines(const ConditionNode& node, int depth, QStringList& out)
{
    out << QString(depth * 2, QLatin1Char(' ')) + node.text;
    for (const ConditionNode& child : node.children)
        appendLines(child, depth + 1, out);
}
QStringList lines(const ConditionNode& root)
{
    QStringList out;
    appendLines(root, 0, out);
    return out;
}

void appendLines(QTreeWidgetItem* item, int depth, QStringList& out, bool& allExpanded)
{
    out << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
    if (item->childCount() > 0 && !item->isExpanded())
        allExpanded = false;
    for (int i = 0; i < item->childCount(); ++i)
        appendLines(item->child(i), depth + 1, out, allExpanded);
}
QStringList lines(QTreeWidget* tree, bool* allExpanded = nullptr)
{
    QStringList out;
    bool expanded = true;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        appendLines(tree->topLevelItem(i), 0, out, expanded);
    if (allExpanded)
        *allExpanded = expanded;
    return out;
}

QStringList entries(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

Tf_p_list* asList(QDialog* dialog)
{
    auto* list = qobject_cast<Tf_p_list*>(dialog);
    EXPECT_NE(list, nullptr);
    return list;
}

void clickEntry(Tf_p_list* list, int row)
{
    QListWidget* box = list->listBox();
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, box->visualItemRect(box->item(row)).center());
}

// Japanese text arrives as an input method's commit.
void typeText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

// A script for the name input: types `text` into the empty field and
// presses OK.
std::function<int(QDialog*)> enterName(const QString& text, bool* stillOpen = nullptr)
{
    return [text, stillOpen](QDialog* dialog) {
        auto* input = qobject_cast<TfInput*>(dialog);
        EXPECT_NE(input, nullptr);
        input->edit()->clear();
        typeText(input->edit(), text);
        QTest::mouseClick(input->okButton(), Qt::LeftButton);
        if (stillOpen)
            *stillOpen = input->isVisible();
        return input->result();
    };
}

class NameListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainState() = MainState{};
        plantTable() = PlantTable{};
        settings() = Settings{};
        links() = WindowLinks{};
        settings().cdDir = folderOf(cd);
        settings().hddDir = folderOf(hdd);
        // スミレ: spring, purple, butterfly-shaped, leaves at the root,
        // toothed, alternate. タンポポ: spring, yellow, dandelion-shaped,
        // upright. ヤマユリ: nothing given.
        addPlant(QStringLiteral("スミレ"), [](PlantRecord& r) {
            r.seasons[0] = true;
            r.colours[4] = true;
            r.flowerShape = 5;
            r.stemHabit = 3;
            r.leafMargin = 0;
            r.leafShape = 1;
        });
        addPlant(QStringLiteral("タンポポ"), [](PlantRecord& r) {
            r.seasons[0] = true;
            r.colours[2] = true;
            r.flowerShape = 2;
            r.stemHabit = 1;
        });
        addPlant(QStringLiteral("ヤマユリ"), [](PlantRecord&) {});
    }
    void TearDown() override { Tf_p_list::closeAndRelease(); }

    void addPlant(const QString& name, const std::function<void(PlantRecord&)>& fill)
    {
        const int k = plantTable().append(name);
        fill(plantTable().record(k));
    }

    QTemporaryDir cd;
    QTemporaryDir hdd;
    TestSeam seam;
    TfSearch pad;
};

} // namespace

// ---------------------------------------------------------------- the tree rule

TEST(ConditionTree, FlowerGroupForSpringAndWhite)
{
    const PadState pad = padWith({PadSeasonFirst, PadColourFirst});
    EXPECT_EQ(lines(conditionTree(pad, false)),
              QStringList({"登録条件", "  花", "    咲く季節", "      春", "    系統色", "      白"}));
    const auto groups = conditionGroups(pad);
    EXPECT_EQ(groups, (std::array<bool, PadGroupCount>{true, true, false, false, false, false}));
}

TEST(ConditionTree, GroupsHangUnderTheRootWhateverComesBefore)
{
    EXPECT_EQ(lines(conditionTree(padWith({PadStemFirst + 1}), false)),
              QStringList({"登録条件", "  茎", "    茎の様子", "      つる型"}));
    // The leaf margin comes before the leaf shape, whichever is set.
    EXPECT_EQ(lines(conditionTree(padWith({PadLeafFirst + 2, PadMarginEntire}), false)),
              QStringList({"登録条件", "  葉", "    葉の縁", "      きょ歯なし", "    葉の形", "      ３枚以上輪生"}));
    EXPECT_EQ(lines(conditionTree(padWith({PadLeafUnknown}), false)),
              QStringList({"登録条件", "  葉", "    葉の形", "      不明"}));
    EXPECT_EQ(lines(conditionTree(PadState{}, false)), QStringList({"登録条件"}));
    EXPECT_EQ(lines(conditionTree(PadState{}, true)), QStringList({"検索条件"}));
}

TEST(ConditionTree, FullPadKeepsGroupAndPadOrder)
{
    // Two seasons and two colours, and the "不明" and first buttons of the
    // radio groups, which count as set like any other.
    const PadState pad = padWith({PadSeasonFirst + 3, PadSeasonFirst, PadColourFirst + 5, PadColourFirst + 1,
                                  PadFlowerFirst + 9, PadStemUnknown, PadMarginToothed, PadLeafFirst});
    EXPECT_EQ(lines(conditionTree(pad, true)),
              QStringList({"検索条件", "  花", "    咲く季節", "      春", "      冬", "    系統色", "      赤",
                           "      目立たない", "    花の形", "      ５枚", "  茎", "    茎の様子", "      不明", "  葉",
                           "    葉の縁", "      きょ歯あり", "    葉の形", "      互生"}));
}

// ---------------------------------------------------------------- the window

TEST_F(NameListTest, ChooserShowsThePadConditionsFullyExpanded)
{
    pad.setPadState(padWith({PadSeasonFirst, PadColourFirst}));
    Tf_p_list list(nullptr, &pad);
    EXPECT_EQ(Tf_p_list::instance(), &list);
    EXPECT_FALSE(list.newButton()->isHidden()); // registration: "新 規"
    EXPECT_TRUE(list.renameButton()->isHidden());
    list.show();

    bool expanded = false;
    EXPECT_EQ(lines(list.treeView(), &expanded),
              QStringList({"登録条件", "  花", "    咲く季節", "      春", "    系統色", "      白"}));
    EXPECT_TRUE(expanded);

    // OK and cancel sit side by side, 8 pixels apart, in the middle.
    QPushButton* ok = list.okButton();
    QPushButton* cancel = list.cancelButton();
    EXPECT_EQ(ok->x(), (list.panel()->width() - ok->width() - cancel->width() - 8) / 2);
    EXPECT_EQ(cancel->x(), ok->x() + ok->width() + 8);

    // Correction offers renaming in the place of "新 規".
    mainState().correctionMode = true;
    Tf_p_list correction(nullptr, &pad);
    EXPECT_TRUE(correction.newButton()->isHidden());
    EXPECT_FALSE(correction.renameButton()->isHidden());
    EXPECT_EQ(correction.renameButton()->x(), correction.newButton()->x());
}

TEST_F(NameListTest, ClickingAnEntryLoadsItsConditionsAndMemoAndTheTreeFollows)
{
    mainState().memoOnPad = true;
    writeFile(settings().hddDir + QStringLiteral("スミレ.txt"), QByteArray("\x8e\x87\x82\xa2\r\n")); // 紫い
    seam.dialogs.push_back([&](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        EXPECT_EQ(entries(list->listBox()), QStringList({"スミレ", "タンポポ", "ヤマユリ"}));
        clickEntry(list, 0);
        EXPECT_EQ(pad.padState(), padFromRecord(plantTable().record(1)));
        EXPECT_EQ(pad.memoText(), QStringLiteral("紫い\n"));
        EXPECT_EQ(mainState().memoPath, settings().hddDir + QStringLiteral("スミレ.txt"));
        EXPECT_EQ(lines(list->treeView()), lines(conditionTree(pad.padState(), false)));
        EXPECT_EQ(lines(list->treeView()).size(), 16);

        clickEntry(list, 1);
        EXPECT_EQ(pad.padState(), padFromRecord(plantTable().record(2)));
        EXPECT_EQ(pad.memoText(), QString()); // タンポポ has no memo
        EXPECT_EQ(lines(list->treeView()), lines(conditionTree(pad.padState(), false)));

        // The keyboard moves the selection like a click.
        QTest::keyClick(list->listBox(), Qt::Key_Down);
        EXPECT_EQ(list->selectedIndex(), 2);
        EXPECT_EQ(lines(list->treeView()), QStringList({"登録条件"}));

        QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
        return list->result();
    });
    const ListChoice choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_FALSE(choice.accepted);
    EXPECT_EQ(Tf_p_list::instance(), nullptr);
}

TEST_F(NameListTest, OkReportsTheSelectedRecordOrNone)
{
    seam.dialogs.push_back([](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 2);
        QTest::mouseClick(list->okButton(), Qt::LeftButton);
        return list->result();
    });
    ListChoice choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.record, 3);
    EXPECT_EQ(choice.newName, QString());

    // A double-click chooses too, and OK without a selection still closes.
    seam.dialogs.push_back([](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        QListWidget* box = list->listBox();
        clickEntry(list, 1); // the first click of a double-click selects
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, Qt::NoModifier,
                           box->visualItemRect(box->item(1)).center());
        return list->result();
    });
    choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.record, 2);

    seam.dialogs.push_back([](QDialog* dialog) {
        QTest::mouseClick(asList(dialog)->okButton(), Qt::LeftButton);
        return dialog->result();
    });
    choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.record, 0);
}

TEST_F(NameListTest, EnterIsOkUnlessAnotherButtonHasTheFocus)
{
    // An arrow key moves the selection as before; Enter chooses the entry.
    seam.dialogs.push_back([this](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 0);
        QTest::keyClick(list->listBox(), Qt::Key_Down);
        EXPECT_EQ(pad.padState(), padFromRecord(plantTable().record(2)));
        QTest::keyClick(list->listBox(), Qt::Key_Return);
        return list->result();
    });
    ListChoice choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.record, 2);

    // Enter on a focused button presses that button.
    seam.dialogs.push_back([](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 2);
        QTest::keyClick(list->cancelButton(), Qt::Key_Return);
        return list->result();
    });
    choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_FALSE(choice.accepted);

    // The result list: Enter opens the selected species and keeps the list.
    mainState().resultMode = true;
    mainState().resultList = QStringList({"スミレ", "タンポポ"});
    QList<int> opened;
    links().openSpecies = [&](int index) { opened << index; };
    Tf_p_list::openResults(nullptr, &pad);
    Tf_p_list* list = Tf_p_list::instance();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->listBox(), Qt::Key_Return); // nothing selected
    EXPECT_TRUE(opened.isEmpty());
    clickEntry(list, 1);
    QTest::keyClick(list->listBox(), Qt::Key_Return);
    EXPECT_EQ(opened, QList<int>({1}));
    EXPECT_TRUE(list->isVisible());
}

TEST_F(NameListTest, NewNameIsTrimmedAndClosesTheChooser)
{
    seam.dialogs.push_back([](QDialog* dialog) {
        QTest::mouseClick(asList(dialog)->newButton(), Qt::LeftButton);
        return dialog->result();
    });
    seam.dialogs.push_back(enterName(QStringLiteral(" \u3000ハコベ  ")));
    const ListChoice choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_EQ(seam.dialogNames, QStringList({"f_p_list", "fInput"}));
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.newName, QStringLiteral("ハコベ"));
}

TEST_F(NameListTest, NoNewNameKeepsTheChooserOpen)
{
    bool inputOpen = false;
    bool listOpen = false;
    QString listNewName = QStringLiteral("unset");
    seam.dialogs.push_back([&](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        QTest::mouseClick(list->newButton(), Qt::LeftButton); // blanks only
        QTest::mouseClick(list->newButton(), Qt::LeftButton); // input cancelled
        QTest::mouseClick(list->newButton(), Qt::LeftButton); // an existing name, then cancelled
        listOpen = list->isVisible();
        listNewName = list->newName;
        QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
        return list->result();
    });
    seam.dialogs.push_back(enterName(QStringLiteral("  \u3000 ")));
    seam.dialogs.push_back([](QDialog* dialog) {
        QTest::mouseClick(qobject_cast<TfInput*>(dialog)->cancelButton(), Qt::LeftButton);
        return dialog->result();
    });
    seam.dialogs.push_back([&](QDialog* dialog) {
        enterName(QStringLiteral("タンポポ"), &inputOpen)(dialog);
        dialog->reject();
        return dialog->result();
    });
    const ListChoice choice = Tf_p_list::choose(nullptr, false, &pad);
    EXPECT_TRUE(listOpen);
    EXPECT_EQ(listNewName, QString());
    EXPECT_TRUE(inputOpen); // the existing name was refused, the input stayed
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("タンポポ")));
    EXPECT_FALSE(choice.accepted);
    EXPECT_EQ(choice.newName, QString());
}

TEST_F(NameListTest, RenameOfACdRomSpeciesIsRefused)
{
    writeFile(settings().cdDir + QStringLiteral("スミレ01.jpg"), "x");
    QStringList shown;
    seam.dialogs.push_back([&](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 0);
        QTest::mouseClick(list->renameButton(), Qt::LeftButton);
        shown = entries(list->listBox());
        QTest::mouseClick(list->okButton(), Qt::LeftButton);
        return list->result();
    });
    const ListChoice choice = Tf_p_list::choose(nullptr, true, &pad);
    EXPECT_EQ(seam.messageTexts(), QStringList({"CD-ROM内の植物名は変更できません。"}));
    EXPECT_EQ(seam.dialogNames, QStringList({"f_p_list"})); // no name input
    EXPECT_EQ(shown, QStringList({"スミレ", "タンポポ", "ヤマユリ"}));
    EXPECT_EQ(choice.record, 1);
    EXPECT_EQ(choice.newName, QString());
}

TEST_F(NameListTest, RenameIsAllowedUnlessPictureOneIsOnTheCdRom)
{
    struct Case {
        const char* what;
        QString cdDir;
        QStringList files; // relative to the temporary folders: "cd/..." or "hdd/..."
    };
    const QString cdFolder = folderOf(cd);
    const std::vector<Case> cases = {
        {"no picture at all", cdFolder, {}},
        {"picture 1 on the hard disk, another on the CD-ROM", cdFolder, {"hdd/スミレ01.bmp", "cd/スミレ02.jpg"}},
        // An empty CD-ROM folder setting is not a CD-ROM.
        {"no CD-ROM folder set", QString(), {"hdd/スミレ01.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(hdd.path()).removeRecursively();
        QDir(cd.path()).removeRecursively();
        QDir().mkpath(hdd.path());
        QDir().mkpath(cd.path());
        for (const QString& f : c.files)
            writeFile((f.startsWith("cd/") ? cdFolder : folderOf(hdd)) + f.section('/', 1), "x");
        settings().cdDir = c.cdDir;
        seam.messages.clear();

        seam.dialogs.push_back([](QDialog* dialog) {
            Tf_p_list* list = asList(dialog);
            clickEntry(list, 0);
            QTest::mouseClick(list->renameButton(), Qt::LeftButton);
            QTest::mouseClick(list->okButton(), Qt::LeftButton);
            return list->result();
        });
        seam.dialogs.push_back(enterName(QStringLiteral("ニオイスミレ")));
        const ListChoice choice = Tf_p_list::choose(nullptr, true, &pad);
        EXPECT_TRUE(seam.messages.empty());
        EXPECT_EQ(choice.record, 1);
        EXPECT_EQ(choice.newName, QStringLiteral("ニオイスミレ"));
    }
}

TEST_F(NameListTest, RenameReplacesTheEntryAndWaitsForOk)
{
    bool openAfterRename = false;
    QStringList shown;
    seam.dialogs.push_back([&](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 1);
        QTest::mouseClick(list->renameButton(), Qt::LeftButton);
        openAfterRename = list->isVisible();
        shown = entries(list->listBox());
        EXPECT_EQ(list->newName, QStringLiteral("セイヨウタンポポ"));
        QTest::mouseClick(list->okButton(), Qt::LeftButton);
        return list->result();
    });
    // The input starts with the selected name.
    seam.dialogs.push_back([](QDialog* dialog) {
        auto* input = qobject_cast<TfInput*>(dialog);
        EXPECT_EQ(input->edit()->text(), QStringLiteral("タンポポ"));
        return enterName(QStringLiteral("セイヨウタンポポ "))(dialog);
    });
    const ListChoice choice = Tf_p_list::choose(nullptr, true, &pad);
    EXPECT_TRUE(openAfterRename);
    EXPECT_EQ(shown, QStringList({"スミレ", "セイヨウタンポポ", "ヤマユリ"}));
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.record, 2);
    EXPECT_EQ(choice.newName, QStringLiteral("セイヨウタンポポ"));
}

TEST_F(NameListTest, ANewNameStaysWithItsEntry)
{
    // Renaming one species and then choosing another must not rename the
    // other one: the first entry gets its name back.
    QStringList shown;
    seam.dialogs.push_back([&](QDialog* dialog) {
        Tf_p_list* list = asList(dialog);
        clickEntry(list, 1);
        QTest::mouseClick(list->renameButton(), Qt::LeftButton);
        clickEntry(list, 2);
        shown = entries(list->listBox());
        QTest::mouseClick(list->okButton(), Qt::LeftButton);
        return list->result();
    });
    seam.dialogs.push_back(enterName(QStringLiteral("セイヨウタンポポ")));
    const ListChoice choice = Tf_p_list::choose(nullptr, true, &pad);
    EXPECT_EQ(shown, QStringList({"スミレ", "タンポポ", "ヤマユリ"}));
    EXPECT_EQ(choice.record, 3);
    EXPECT_EQ(choice.newName, QString());
}

TEST_F(NameListTest, ResultListFollowsTheMainWindowsSearch)
{
    mainState().resultMode = true;
    mainState().resultList = QStringList({"スミレ", "タンポポ"});
    pad.setPadState(padWith({PadColourFirst + 4}));
    QList<int> opened;
    links().openSpecies = [&](int index) { opened << index; };

    Tf_p_list::openResults(nullptr, &pad);
    Tf_p_list* list = Tf_p_list::instance();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->tag(), 1);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isModal());
    EXPECT_TRUE(list->newButton()->isHidden());
    EXPECT_TRUE(list->renameButton()->isHidden());
    EXPECT_EQ(entries(list->listBox()), QStringList({"スミレ", "タンポポ"}));
    EXPECT_EQ(lines(list->treeView()), QStringList({"検索条件", "  花", "    系統色", "      紫"}));

    clickEntry(list, 1); // frames a picture of the main window; there is none here
    EXPECT_EQ(pad.padState(), padWith({PadColourFirst + 4}));
    QTest::mouseDClick(list->listBox()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       list->listBox()->visualItemRect(list->listBox()->item(1)).center());
    clickEntry(list, 0);
    QTest::mouseClick(list->okButton(), Qt::LeftButton);
    EXPECT_EQ(opened, QList<int>({1, 0}));
    EXPECT_TRUE(list->isVisible());

    QTest::mouseClick(list->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(Tf_p_list::instance(), list);
    Tf_p_list::bringBack();
    EXPECT_TRUE(list->isVisible());

    list->move(30, 40);
    Tf_p_list::closeAndRelease();
    EXPECT_EQ(Tf_p_list::instance(), nullptr);
    EXPECT_EQ(settings().listLeft, 30);
    EXPECT_EQ(settings().listTop, 40);
}

TEST_F(NameListTest, OtherWindowsSelectAnEntryWithoutItsClick)
{
    connectListLinks();
    links().selectListEntry(0); // no list: nothing happens
    Tf_p_list list(nullptr, &pad);
    for (const QString& name : plantTable().plantNames().mid(0, 3))
        list.listBox()->addItem(name);
    list.show();
    links().selectListEntry(1);
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(pad.padState(), PadState{}); // the chooser's click would load タンポポ
    links().selectListEntry(7);
    EXPECT_EQ(list.selectedIndex(), 1);
}

TEST_F(NameListTest, PositionIsRememberedAndNamesFillFourColumns)
{
    settings().listLeft = 20;
    settings().listTop = 25;
    Tf_p_list list(nullptr, &pad);
    EXPECT_EQ(list.pos(), QPoint(20, 25));
    list.move(35, 45);
    list.close();
    EXPECT_EQ(settings().listLeft, 35);
    EXPECT_EQ(settings().listTop, 45);

    for (int i = 0; i < 200; ++i)
        list.listBox()->addItem(QStringLiteral("名前%1").arg(i));
    list.resize(600, 300);
    list.show();
    QListWidget* box = list.listBox();
    const int column = box->viewport()->width() / 4;
    // Names run down the first column, then continue at the top of the next.
    const QRect first = box->visualItemRect(box->item(0));
    const QRect second = box->visualItemRect(box->item(1));
    EXPECT_EQ(second.x(), first.x());
    EXPECT_GT(second.y(), first.y());
    int next = 1;
    while (next < box->count() && box->visualItemRect(box->item(next)).x() == first.x())
        ++next;
    ASSERT_LT(next, box->count());
    EXPECT_EQ(box->visualItemRect(box->item(next)).x() - first.x(), column);
    EXPECT_EQ(box->visualItemRect(box->item(next)).y(), first.y());
}
