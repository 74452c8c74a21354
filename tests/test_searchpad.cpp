#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>

#include "app/ErrorDlg.h"
#include "app/fonts.h"
#include "app/ModalSeam.h"
#include "app/state.h"
#include "data/DataRW.h"
#include "images/MesDlg.h"
#include "search/padillustrations.h"
#include "search/run.h"
#include "search/search.h"
#include "support/testutil.h"

namespace {

// Answers every modal moment: message boxes are recorded, and a dialog is
// shown, handed to `onDialog` (which plays the user) and then put away.
class PadSeam : public ModalSeam {
public:
    QStringList messages;
    int dialogs = 0;
    bool stillOpenAfterAction = false;
    std::function<void(QDialog*)> onDialog;

    QMessageBox::StandardButton message(QWidget*, const QString&, const QString& text, Icon,
                                        QMessageBox::StandardButtons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        messages << text;
        return defaultButton;
    }
    int execDialog(QDialog* dialog) override
    {
        ++dialogs;
        dialog->show();
        if (onDialog)
            onDialog(dialog);
        stillOpenAfterAction = dialog->isVisible();
        const int result = dialog->result();
        dialog->hide();
        return result;
    }
};

void userClick(QAbstractButton* button)
{
    // The indicator of a check box or radio button, the middle of a push button.
    const QPoint at = qobject_cast<QPushButton*>(button) ? button->rect().center()
                                                         : QPoint(6, button->height() / 2);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

// Types text as an input method commits it (Japanese cannot go through
// simulated key presses).
void typeText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

PadState stateWith(std::initializer_list<int> checked)
{
    PadState state{};
    for (int i : checked)
        state[i] = true;
    return state;
}

class SearchPad : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainState() = MainState{};
        settings() = Settings{};
        setModalSeam(&seam);
        pad = std::make_unique<TfSearch>();
    }
    void TearDown() override
    {
        pad.reset();
        setModalSeam(nullptr);
    }

    QAbstractButton* button(int index) const { return pad->padIndex()[index]; }

    PadSeam seam;
    std::unique_ptr<TfSearch> pad;
};

} // namespace

TEST_F(SearchPad, PadIndexFollowsTheControlNames)
{
    const auto& index = pad->padIndex();
    for (int i = 0; i < PadButtonCount; ++i) {
        ASSERT_NE(index[i], nullptr) << i;
        EXPECT_EQ(index[i]->objectName(), QLatin1String(padButtons()[i].control)) << i;
        EXPECT_EQ(index[i]->text(), padCaption(i)) << i;
        const bool radio = isRadioGroup(padButtons()[i].group);
        EXPECT_EQ(qobject_cast<QRadioButton*>(index[i]) != nullptr, radio) << i;
        EXPECT_EQ(qobject_cast<QCheckBox*>(index[i]) != nullptr, !radio) << i;
    }
    // Each group lives on its own page or panel.
    auto within = [&](int first, int last, const char* container) {
        auto* parent = pad->findChild<QWidget*>(QLatin1String(container));
        ASSERT_NE(parent, nullptr) << container;
        for (int i = first; i <= last; ++i)
            EXPECT_TRUE(parent->isAncestorOf(index[i])) << i << " " << container;
    };
    within(0, 9, "TabSheet1");
    within(10, 20, "Panel5");
    within(21, 24, "TabSheet2");
    within(25, 26, "Panel2");
    within(27, 35, "Panel3");

    QTabWidget* pages = pad->pages();
    ASSERT_EQ(pages->count(), 4);
    const char* names[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"};
    const QString captions[] = {QStringLiteral("花"), QStringLiteral("茎"), QStringLiteral("葉"),
                                QStringLiteral("Memo")};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), QLatin1String(names[i]));
        EXPECT_EQ(pages->tabText(i), captions[i]);
    }
    for (const char* name : {"Image1", "Image2", "Image3", "Image4"}) {
        auto* image = pad->findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(image, nullptr) << name;
        EXPECT_FALSE(image->pixmap().isNull()) << name;
    }
}

TEST_F(SearchPad, WindowAndButtonBar)
{
    EXPECT_EQ(pad->windowTitle(), QStringLiteral("検索パッド"));
    EXPECT_EQ(pad->size(), QSize(469, 325));
    EXPECT_EQ(pad->font().pixelSize(), 12);
    const struct {
        const char* name;
        const char* caption;
        int x;
    } bar[] = {{"BitBtn1", "検索実行", 82}, {"BitBtn2", "キャンセル", 190}, {"BitBtn3", "条件消去", 298}};
    for (const auto& b : bar) {
        auto* button = pad->findChild<QPushButton*>(QLatin1String(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry().size(), QSize(90, 25));
        EXPECT_EQ(button->x(), b.x);
        EXPECT_TRUE(button->isEnabled());
    }
    pad->setMode(QStringLiteral("入力パッド"), QStringLiteral("画像追加"));
    EXPECT_EQ(pad->windowTitle(), QStringLiteral("入力パッド"));
    EXPECT_EQ(pad->executeButton()->text(), QStringLiteral("画像追加"));
}

TEST_F(SearchPad, ClearingUnchecksEverythingAndGroupsStayExclusive)
{
    pad->show();
    // Every check box and the "不明" button of each radio group, plus
    // "きょ歯なし".
    PadState full{};
    for (int i = 0; i < 10; ++i)
        full[i] = true;
    full[PadFlowerUnknown] = full[PadStemUnknown] = full[PadMarginEntire] = full[PadLeafUnknown] = true;
    pad->setPadState(full);
    ASSERT_EQ(pad->padState(), full);

    pad->clearConditions();
    EXPECT_EQ(pad->padState(), PadState{});
    for (QAbstractButton* b : pad->padIndex())
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();

    // After a clear the radio groups still allow one button each, and
    // groups do not affect one another.
    userClick(button(PadFlowerFirst));
    userClick(button(PadFlowerFirst + 1));
    userClick(button(PadStemUnknown));
    userClick(button(PadMarginToothed));
    userClick(button(PadMarginEntire));
    userClick(button(PadLeafFirst + 7));
    EXPECT_EQ(pad->padState(), stateWith({PadFlowerFirst + 1, PadStemUnknown, PadMarginEntire, PadLeafFirst + 7}));

    // The clear button does the same, and clearing again leaves nothing.
    userClick(pad->clearButton());
    EXPECT_EQ(pad->padState(), PadState{});
}

TEST_F(SearchPad, RecordsRoundTripThroughTheControls)
{
    PlantRecord notGiven; // every shape field -1
    PlantRecord unknown;
    unknown.seasons = {true, false, false, true};
    unknown.flowerShape = unknown.stemHabit = unknown.leafShape = 0;
    unknown.leafMargin = 0;
    PlantRecord full;
    full.seasons = {false, true, true, false};
    full.colours = {true, false, true, false, false, true};
    full.flowerShape = 10;
    full.stemHabit = 3;
    full.leafMargin = 1;
    full.leafShape = 8;

    for (const PlantRecord& record : {notGiven, unknown, full}) {
        const PadState expected = padFromRecord(record);
        pad->setPadState(expected);
        for (int i = 0; i < PadButtonCount; ++i)
            EXPECT_EQ(button(i)->isChecked(), expected[i]) << i;
        PlantRecord stored;
        stored.name = QStringLiteral("ハコベ");
        stored.pictureCount = 4;
        storePadIntoRecord(pad->padState(), stored);
        PlantRecord want = record;
        want.name = stored.name;
        want.pictureCount = stored.pictureCount;
        EXPECT_EQ(stored, want);
    }

    // What a user ticks is what a record receives.
    pad->clearConditions();
    pad->show();
    userClick(button(PadSeasonFirst + 1));  // 夏
    userClick(button(PadColourFirst));      // 白
    userClick(button(PadFlowerFirst + 1));  // タンポポ型
    userClick(button(PadStemFirst + 1));    // つる型
    userClick(button(PadMarginEntire));     // きょ歯なし
    userClick(button(PadLeafFirst + 4));    // ３小葉
    PlantRecord ticked;
    storePadIntoRecord(pad->padState(), ticked);
    EXPECT_EQ(ticked.seasons, (std::array<bool, SeasonCount>{false, true, false, false}));
    EXPECT_EQ(ticked.colours, (std::array<bool, ColourCount>{true, false, false, false, false, false}));
    EXPECT_EQ(ticked.flowerShape, 2);
    EXPECT_EQ(ticked.stemHabit, 2);
    EXPECT_EQ(ticked.leafMargin, 1);
    EXPECT_EQ(ticked.leafShape, 5);
}

TEST_F(SearchPad, MemoPageOnlyWhileTheMemoIsOnThePad)
{
    mainState().memoOnPad = false;
    pad->show();
    EXPECT_FALSE(pad->pages()->isTabVisible(3));
    pad->hide();
    mainState().memoOnPad = true;
    pad->show();
    EXPECT_TRUE(pad->pages()->isTabVisible(3));
    pad->hide();
    mainState().memoOnPad = false;
    pad->show();
    EXPECT_FALSE(pad->pages()->isTabVisible(3));
}

TEST_F(SearchPad, OnlyUserChangesEnableTheExecuteButton)
{
    mainState().memoOnPad = true;
    pad->show();
    QPushButton* execute = pad->executeButton();

    // Openers fill the pad and then disable the button; filling again
    // keeps it disabled.
    execute->setEnabled(false);
    pad->setPadState(stateWith({0, PadFlowerFirst, PadLeafUnknown}));
    pad->clearConditions();
    pad->setMemoText(QStringLiteral("花は白い。\n"));
    EXPECT_FALSE(execute->isEnabled());
    EXPECT_FALSE(pad->memoModified());

    userClick(button(PadColourFirst + 2));
    EXPECT_TRUE(execute->isEnabled());

    execute->setEnabled(false);
    userClick(button(PadStemFirst));
    EXPECT_TRUE(execute->isEnabled());

    execute->setEnabled(false);
    pad->pages()->setCurrentIndex(3);
    typeText(pad->memoBox(), QStringLiteral("葉は対生。"));
    EXPECT_TRUE(execute->isEnabled());
    EXPECT_TRUE(pad->memoModified());
}

TEST_F(SearchPad, PositionIsRememberedOnHideAndAppliedOnShow)
{
    // Hiding a pad that was never shown keeps the remembered position.
    settings().searchLeft = 120;
    settings().searchTop = 90;
    pad->FormHide();
    EXPECT_EQ(settings().searchLeft, 120);
    EXPECT_EQ(settings().searchTop, 90);

    pad->show();
    EXPECT_EQ(pad->pos(), QPoint(120, 90));
    pad->move(150, 60);
    pad->hide();
    EXPECT_EQ(settings().searchLeft, 150);
    EXPECT_EQ(settings().searchTop, 60);
    pad->show();
    EXPECT_EQ(pad->pos(), QPoint(150, 60));
    pad->hide();

    // A position off the screen is brought back inside the work area.
    settings().searchLeft = 5000;
    settings().searchTop = -400;
    pad->show();
    const QRect area = pad->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(pad->frameGeometry())) << pad->x() << "," << pad->y();
}

TEST_F(SearchPad, ModalDisplayEndsWithTheExecuteOrCancelButton)
{
    seam.onDialog = [](QDialog* dialog) { userClick(dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))); };
    EXPECT_TRUE(pad->showModalSearch());
    EXPECT_EQ(seam.dialogs, 1);

    QSignalSpy restart(pad.get(), &TfSearch::restartCorrection);
    seam.onDialog = [](QDialog* dialog) { userClick(dialog->findChild<QPushButton*>(QStringLiteral("BitBtn2"))); };
    EXPECT_FALSE(pad->showModalSearch());
    seam.onDialog = [](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
    EXPECT_FALSE(pad->showModalSearch());
    EXPECT_EQ(restart.count(), 0);

    // The real modal display, as the program runs it. A pad that failed to
    // end it would be ended by the guard after a few seconds.
    setModalSeam(nullptr);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, pad.get(), [this] { pad->done(QDialog::Rejected); });
    guard.start(3000);
    QTimer::singleShot(0, pad.get(), [this] { userClick(pad->executeButton()); });
    EXPECT_EQ(modal().execDialog(pad.get()), QDialog::Accepted);
    guard.start(3000);
    QTimer::singleShot(0, pad.get(), [this] { userClick(pad->cancelButton()); });
    EXPECT_FALSE(pad->showModalSearch());
    EXPECT_TRUE(guard.isActive());
    guard.stop();
    setModalSeam(&seam);

    // Outside a modal display, cancel neither hides the pad nor restarts anything.
    pad->show();
    userClick(pad->cancelButton());
    EXPECT_TRUE(pad->isVisible());
    EXPECT_EQ(restart.count(), 0);
}

namespace {

class PadMemo : public SearchPad {
protected:
    void SetUp() override
    {
        SearchPad::SetUp();
        ASSERT_TRUE(hdd.isValid() && cd.isValid());
        mainState().memoOnPad = true;
        mainState().defaultMemoPath = hddMemo();
    }
    QString hddMemo() const { return testutil::folderOf(hdd) + QStringLiteral("ハコベ.txt"); }
    QString cdMemo() const { return testutil::folderOf(cd) + QStringLiteral("ハコベ.txt"); }
    void typeMemo(const QString& text)
    {
        pad->pages()->setCurrentIndex(3);
        typeText(pad->memoBox(), text);
    }
    void emptyMemo()
    {
        QTest::keyClick(pad->memoBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(pad->memoBox(), Qt::Key_Delete);
    }

    QTemporaryDir hdd;
    QTemporaryDir cd;
};

} // namespace

TEST_F(PadMemo, NewMemoGoesToTheHardDiskFolder)
{
    pad->setMemoText(QString());
    typeMemo(QStringLiteral("道端に多い。"));
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_EQ(mainState().memoPath, hddMemo());
    EXPECT_EQ(testutil::readFile(hddMemo()), QByteArray("\x93\xb9\x92\x5b\x82\xc9\x91\xbd\x82\xa2\x81\x42\r\n"));
    EXPECT_FALSE(pad->memoModified());
}

TEST_F(PadMemo, EmptiedMemoIsDeletedOnlyFromTheHardDiskFolder)
{
    testutil::writeFile(hddMemo(), "old\r\n");
    mainState().memoPath = hddMemo();
    pad->setMemoText(QStringLiteral("old\n"));
    emptyMemo();
    ASSERT_TRUE(pad->memoText().isEmpty());
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_FALSE(QFileInfo::exists(hddMemo()));
    EXPECT_TRUE(mainState().memoPath.isEmpty());

    // A memo from the CD-ROM folder stays, whatever the pad holds.
    testutil::writeFile(cdMemo(), "cd\r\n");
    mainState().memoPath = cdMemo();
    pad->setMemoText(QStringLiteral("cd\n"));
    emptyMemo();
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_EQ(testutil::readFile(cdMemo()), QByteArray("cd\r\n"));
    EXPECT_EQ(mainState().memoPath, cdMemo());
}

TEST_F(PadMemo, UnmodifiedMemoIsNotRewritten)
{
    testutil::writeFile(hddMemo(), "as on disk\n");
    mainState().memoPath = hddMemo();
    pad->setMemoText(QStringLiteral("as on disk\n"));
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_EQ(testutil::readFile(hddMemo()), QByteArray("as on disk\n"));

    // After a save, confirming again writes nothing.
    typeMemo(QStringLiteral("x"));
    EXPECT_TRUE(pad->BitBtn1Click());
    const QByteArray saved = testutil::readFile(hddMemo());
    EXPECT_EQ(saved, QByteArray("xas on disk\r\n"));
    testutil::writeFile(hddMemo(), "changed elsewhere\r\n");
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_EQ(testutil::readFile(hddMemo()), QByteArray("changed elsewhere\r\n"));
}

TEST_F(PadMemo, NothingHappensWithoutTheMemoOnThePad)
{
    mainState().memoOnPad = false;
    testutil::writeFile(hddMemo(), "keep\r\n");
    mainState().memoPath = hddMemo();
    pad->setMemoText(QStringLiteral("keep\n"));
    emptyMemo();
    typeMemo(QStringLiteral("new"));
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_EQ(testutil::readFile(hddMemo()), QByteArray("keep\r\n"));

    mainState().memoPath.clear();
    QFile::remove(hddMemo());
    EXPECT_TRUE(pad->BitBtn1Click());
    EXPECT_FALSE(QFileInfo::exists(hddMemo()));
    EXPECT_TRUE(mainState().memoPath.isEmpty());
}

TEST_F(PadMemo, MemoThatCannotBeSavedKeepsThePadOpen)
{
    pad->setMemoText(QString());
    seam.onDialog = [this](QDialog* dialog) {
        typeMemo(QStringLiteral("花🌸"));
        userClick(dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1")));
    };
    EXPECT_FALSE(pad->showModalSearch());
    EXPECT_TRUE(seam.stillOpenAfterAction);
    ASSERT_EQ(seam.messages.size(), 1);
    EXPECT_TRUE(seam.messages[0].contains(QStringLiteral("🌸")));
    EXPECT_EQ(pad->memoText(), QStringLiteral("花🌸"));
    EXPECT_TRUE(pad->memoModified());
    EXPECT_FALSE(QFileInfo::exists(hddMemo()));
    EXPECT_TRUE(mainState().memoPath.isEmpty());

    // A folder that cannot be written to: the same, and the species still
    // has no memo file.
    mainState().defaultMemoPath = testutil::folderOf(hdd) + QStringLiteral("missing/ハコベ.txt");
    pad->setMemoText(QString());
    typeMemo(QStringLiteral("葉"));
    EXPECT_FALSE(pad->BitBtn1Click());
    EXPECT_EQ(seam.messages.size(), 2);
    EXPECT_TRUE(mainState().memoPath.isEmpty());
    EXPECT_EQ(pad->memoText(), QStringLiteral("葉"));
}

TEST_F(PadMemo, CorrectionStoresThePadIntoTheShownSpecies)
{
    PlantTable saved = plantTable();
    PlantTable& table = plantTable();
    table = PlantTable();
    table.append(QStringLiteral("オオバコ"));
    table.append(QStringLiteral("ハコベ"));
    table.record(2).pictureCount = 3;
    const PlantRecord first = table.record(1);

    mainState().correctionMode = true;
    mainState().currentSpecies = 2;
    pad->show();
    pad->setPadState(padFromRecord(table.record(2)));
    pad->executeButton()->setEnabled(false);
    QSignalSpy confirmed(pad.get(), &TfSearch::correctionConfirmed);

    userClick(button(PadSeasonFirst));
    userClick(button(PadColourFirst));
    userClick(button(PadFlowerFirst + 2)); // ハコベ型
    userClick(button(PadLeafFirst + 1));   // 対生
    ASSERT_TRUE(pad->executeButton()->isEnabled());
    userClick(pad->executeButton());

    const PlantRecord& r = table.record(2);
    EXPECT_EQ(r.name, QStringLiteral("ハコベ"));
    EXPECT_EQ(r.pictureCount, 3);
    EXPECT_TRUE(r.seasons[0]);
    EXPECT_TRUE(r.colours[0]);
    EXPECT_EQ(r.flowerShape, 3);
    EXPECT_EQ(r.stemHabit, -1);
    EXPECT_EQ(r.leafShape, 2);
    EXPECT_EQ(table.record(1), first);
    EXPECT_FALSE(pad->executeButton()->isEnabled());
    EXPECT_EQ(confirmed.count(), 1);
    EXPECT_TRUE(pad->isVisible()); // the modeless pad stays open

    // No species chosen yet: nothing is stored and nothing is announced.
    mainState().currentSpecies = 0;
    userClick(button(PadStemFirst));
    userClick(pad->executeButton());
    EXPECT_EQ(confirmed.count(), 1);
    EXPECT_EQ(table.record(2).stemHabit, -1);

    plantTable() = saved;
}

TEST_F(SearchPad, CancelInCorrectionModeStartsTheCorrectionAgain)
{
    mainState().correctionMode = true;
    mainState().memoOnPad = true;
    QSignalSpy restart(pad.get(), &TfSearch::restartCorrection);
    pad->show();
    userClick(pad->cancelButton());
    EXPECT_FALSE(pad->isVisible());
    EXPECT_EQ(restart.count(), 1);
}

TEST(ErrorDlg, ShowsTheNineteenLinesAndCloses)
{
    const QStringList expected = {
        QStringLiteral("検索データ”Tolvarin.dat”が見つかりません。"),
        QString(),
        QStringLiteral("”Tolvarin.dat”は、\"plant01.lzh\" などの植物画"),
        QStringLiteral("像ファイルに含まれています。"),
        QString(),
        QStringLiteral("デフォルトでは、『Tolvarin』を解凍したフォルダ"),
        QStringLiteral("内の \"picture\" フォルダを指定しているので、"),
        QStringLiteral("\"picture\" フォルダを新規作成して、そこに植物画"),
        QStringLiteral("像を解凍するとエラー無しに、起動するようになり"),
        QStringLiteral("ます。"),
        QString(),
        QStringLiteral("あるいは、別に植物画像専用のデータフォルダを作"),
        QStringLiteral("成して、そこに植物画像を解凍します。"),
        QStringLiteral("次に、そのフォルダを、[ファイル－設定] から、"),
        QStringLiteral("ディレクトリ指定してください。"),
        QString(),
        QStringLiteral("３種類のフォルダーの違いについての詳細は、ヘル"),
        QStringLiteral("プを参照してください。"),
        QString(),
    };
    TfErrorDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("エラー"));
    EXPECT_EQ(dialog.size(), QSize(392, 366));
    auto* memo = dialog.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->document()->blockCount(), 19);
    EXPECT_EQ(memo->toPlainText().split(QLatin1Char('\n')), expected);

    PadSeam seam;
    setModalSeam(&seam);
    bool accepted = false;
    seam.onDialog = [&](QDialog* d) {
        auto* close = d->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
        userClick(close);
        accepted = !d->isVisible() && d->result() == QDialog::Accepted;
    };
    TfErrorDlg::showModal(nullptr);
    setModalSeam(nullptr);
    EXPECT_EQ(seam.dialogs, 1);
    EXPECT_TRUE(accepted);
}

// The error window's text is set in "ＭＳ 明朝": on Linux that is the IPA
// mincho the install script and the package bring, not a Latin fallback.
TEST(ErrorDlg, TextIsInTheMinchoFace)
{
    registerJapaneseFonts();
    TfErrorDlg dialog;
    auto* memo = dialog.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->font().family(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_TRUE(QFontInfo(memo->font()).family().startsWith(QStringLiteral("IPAPMincho")))
        << QFontInfo(memo->font()).family().toStdString();
    for (const QString& name : {QStringLiteral("MS 明朝"), QStringLiteral("MS Mincho")})
        EXPECT_TRUE(QFontInfo(QFont(name)).family().startsWith(QStringLiteral("IPAPMincho"))) << name.toStdString();
    for (const QString& name : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS Pゴシック"), QStringLiteral("MS PGothic")})
        EXPECT_TRUE(QFontInfo(QFont(name)).family().startsWith(QStringLiteral("IPAPGothic"))) << name.toStdString();
}

TEST(RunWindow, CaptionLabelPlaceAndAnimation)
{
    QWidget owner;
    owner.setGeometry(200, 150, 400, 300);
    owner.show();
    TfRun run(&owner);
    EXPECT_EQ(run.windowTitle(), QStringLiteral("検索実行中"));
    EXPECT_TRUE(run.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(run.size(), QSize(236, 52));
    auto* label = run.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("ただいま、検索中です。"));
    EXPECT_EQ(label->font().pixelSize(), 16);
    run.show();
    EXPECT_EQ(run.pos(), owner.pos() + QPoint(30, 80));

    auto* animation = run.findChild<TfRunAnimation*>(QStringLiteral("Animate1"));
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->size(), QSize(16, 16));
    const QImage before = animation->grab().toImage();
    run.advance();
    EXPECT_NE(animation->grab().toImage(), before);
}

namespace {

// True when the pixels the window system holds for an area of a window are
// what the window draws there now, that is when its last paint reached the
// screen.
bool shownAsDrawn(QWidget* w, const QRect& area)
{
    const QImage onScreen = w->screen()
                                ->grabWindow(w->winId(), area.x(), area.y(), area.width(), area.height())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
    return !onScreen.isNull() && onScreen == w->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// Registration and the search step their progress windows without returning
// to the event loop; what they paint must still reach the screen.
TEST(ProgressWindows, ShowingAndEveryStepReachTheScreen)
{
    QWidget owner;
    owner.setGeometry(200, 150, 400, 300);
    owner.show();

    TfMesDlg progress(&owner);
    progress.setProgress(0);
    progress.showNow();
    ASSERT_NE(progress.windowHandle(), nullptr);
    EXPECT_TRUE(progress.windowHandle()->isExposed());
    EXPECT_TRUE(shownAsDrawn(&progress, progress.rect()));
    progress.setProgress(40);
    progress.setProgress(70, QStringLiteral("画像をコピーをしています。"));
    EXPECT_TRUE(shownAsDrawn(&progress, progress.rect()));

    // The caption part of the search window (its animation moves on its own).
    TfRun run(&owner);
    run.showNow();
    auto* label = run.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(run.windowHandle()->isExposed());
    EXPECT_TRUE(shownAsDrawn(&run, label->geometry()));
    run.advance();
    EXPECT_TRUE(shownAsDrawn(&run, label->geometry()));

    // Shown plainly, the first step still waits until the window is on
    // screen; shown again after closing, it is a new window once more.
    TfMesDlg plain(&owner);
    for (int showing = 0; showing < 2; ++showing) {
        plain.show();
        plain.setProgress(50 + showing * 20);
        EXPECT_TRUE(plain.windowHandle()->isExposed()) << showing;
        EXPECT_TRUE(shownAsDrawn(&plain, plain.rect())) << showing;
        plain.close();
    }
}

TEST(ProgressWindows, AWindowThatNeverComesOnScreenHoldsTheWorkBackOnlyBriefly)
{
    // An empty window is never exposed.
    TfMesDlg progress(nullptr);
    progress.setFixedSize(0, 0);
    QElapsedTimer clock;
    clock.start();
    progress.showNow();
    EXPECT_FALSE(progress.windowHandle()->isExposed());
    for (int step = 0; step <= 100; step += 10)
        progress.setProgress(step);
    // One wait at most, not one per step.
    EXPECT_LT(clock.elapsed(), 2 * ProgressWindow::ExposeWaitMs);
    EXPECT_EQ(progress.progress(), 100);
}

TEST(PadIllustrations, EveryChoiceHasItsOwnPicture)
{
    using padart::Subject;
    const struct {
        Subject subject;
        int first, last;
    } ranges[] = {{Subject::FlowerShape, 1, 10}, {Subject::StemHabit, 1, 3}, {Subject::LeafMargin, 0, 1},
                  {Subject::LeafShape, 1, 8}};
    const QSize size(56, 56);
    QImage blank(size, QImage::Format_ARGB32_Premultiplied);
    blank.fill(Qt::transparent);
    for (const auto& range : ranges) {
        std::vector<QImage> pictures;
        for (int v = range.first; v <= range.last; ++v) {
            EXPECT_TRUE(padart::hasDrawing(range.subject, v));
            const QImage picture = padart::illustration(range.subject, v, size);
            EXPECT_NE(picture, blank) << int(range.subject) << " " << v;
            for (const QImage& other : pictures)
                EXPECT_NE(picture, other) << int(range.subject) << " " << v;
            pictures.push_back(picture);
        }
        // Values without a picture ("不明", out of range) draw nothing.
        EXPECT_FALSE(padart::hasDrawing(range.subject, range.last + 1));
        EXPECT_EQ(padart::illustration(range.subject, range.last + 1, size), blank);
    }
    EXPECT_FALSE(padart::hasDrawing(Subject::FlowerShape, 0));
}
