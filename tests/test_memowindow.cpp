#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

#include "app/state.h"
#include "data/DataRW.h"
#include "images/ImageView.h"
#include "memo/Memo.h"
#include "platform/cp932.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

// Four found species, each with one picture:
//   0 ハコベ   memo on the hard disk
//   1 スミレ   memo on both; the CD-ROM one is shown
//   2 ススキ   no memo
//   3 リンドウ memo on the hard disk
class MemoWindowTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    TestSeam seam;

    QString hdd() const { return folderOf(root) + "hdd/"; }
    QString cd() const { return folderOf(root) + "cd/"; }

    void SetUp() override
    {
        QDir(root.path()).mkpath("hdd");
        QDir(root.path()).mkpath("cd");
        settings() = Settings{};
        settings().hddDir = hdd();
        settings().cdDir = cd();
        settings().memoLeft = 30;
        settings().memoTop = 40;
        mainState() = MainState{};
        links() = WindowLinks{};

        const QStringList names = {"ハコベ", "スミレ", "ススキ", "リンドウ"};
        PlantTable& table = plantTable();
        table = PlantTable{};
        table.setPlantCount(int(names.size()));
        for (int k = 1; k <= names.size(); ++k) {
            table.record(k).name = names[k - 1];
            table.record(k).pictureCount = 1;
            writePicture(hdd() + names[k - 1] + "01.jpg", 64, 48, Qt::white);
            mainState().resultRecords << QString::number(k);
        }
        mainState().resultList = names;

        writeMemo(hdd() + "ハコベ.txt", "道ばたに咲く\r\n白い花\r\n");
        writeMemo(hdd() + "スミレ.txt", "古いメモ\r\n");
        writeMemo(cd() + "スミレ.txt", "紫の花\r\n");
        writeMemo(hdd() + "リンドウ.txt", "秋の山\r\n");
    }

    void TearDown() override
    {
        TfImageView::release();
        TfMemo::release();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void writeMemo(const QString& path, const QString& text) { writeFile(path, cp932::encodeLossy(text)); }

    static TfMemo* memo() { return TfMemo::instance(); }

    // Runs the memo window's real font dialog, played by `user`, who gets
    // its font part, colour box and buttons (the dialog is rejected when
    // one of them is missing).
    void useRealFontDialog(const std::function<void(QDialog*, QFontDialog*, QComboBox*, QDialogButtonBox*)>& user)
    {
        setModalSeam(nullptr);
        QTimer::singleShot(0, memo(), [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* fonts = dialog->findChild<QFontDialog*>(QStringLiteral("fontChooser"));
            auto* colours = dialog->findChild<QComboBox*>(QStringLiteral("colourBox"));
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (!fonts || !colours || !buttons) {
                ADD_FAILURE() << "the font dialog lacks a part";
                dialog->reject();
                return;
            }
            user(dialog, fonts, colours, buttons);
        });
        memo()->toolButton(4)->click();
        setModalSeam(&seam);
    }
    static QString memoText() { return memo()->memo()->toPlainText(); }
    static void nextKind() { TfImageView::instance()->toolButton(7)->click(); }
};

} // namespace

TEST_F(MemoWindowTest, FollowsTheViewerFromSpeciesToSpecies)
{
    openSpecies(0);
    EXPECT_EQ(mainState().memoPath, hdd() + "ハコベ.txt");
    EXPECT_EQ(mainState().defaultMemoPath, hdd() + "ハコベ.txt");
    ASSERT_NE(memo(), nullptr);
    TfMemo* first = memo();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("ハコベ"));
    EXPECT_EQ(memoText(), QStringLiteral("道ばたに咲く\n白い花"));
    EXPECT_TRUE(memo()->memo()->isReadOnly());

    nextKind(); // スミレ: the CD-ROM memo wins, the new-memo path stays on the hard disk
    EXPECT_EQ(mainState().memoPath, cd() + "スミレ.txt");
    EXPECT_EQ(mainState().defaultMemoPath, hdd() + "スミレ.txt");
    EXPECT_EQ(memo(), first);
    EXPECT_EQ(memo()->windowTitle(), QStringLiteral("スミレ"));
    EXPECT_EQ(memoText(), QStringLiteral("紫の花"));

    nextKind(); // ススキ: no memo, the window goes
    EXPECT_TRUE(mainState().memoPath.isEmpty());
    EXPECT_EQ(mainState().defaultMemoPath, hdd() + "ススキ.txt");
    EXPECT_EQ(memo(), nullptr);

    nextKind(); // リンドウ: a new window
    ASSERT_NE(memo(), nullptr);
    EXPECT_TRUE(memo()->isVisible());
    EXPECT_EQ(memo()->windowTitle(), QStringLiteral("リンドウ"));
    EXPECT_EQ(memoText(), QStringLiteral("秋の山"));
    EXPECT_TRUE(seam.messages.empty());
}

TEST_F(MemoWindowTest, MemoFilesWithAnyLineEndAndATrailingNul)
{
    QByteArray bytes = cp932::encodeLossy(QStringLiteral("一行目\n二行目\r三行目\r\n\r\n五行目"));
    bytes += '\0';
    bytes += cp932::encodeLossy(QStringLiteral("消えた行\r\n"));
    writeFile(hdd() + "ハコベ.txt", bytes);
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    EXPECT_EQ(memoText(), QStringLiteral("一行目\n二行目\n三行目\n\n五行目"));
    EXPECT_EQ(memo()->memo()->blockCount(), 5);
}

TEST_F(MemoWindowTest, StartsWithTheSettingsAndStoresThem)
{
    Settings& s = settings();
    s.memoWidth = 380;
    s.memoHeight = 190;
    s.memoName = QStringLiteral("IPAPGothic");
    s.memoSize = 12;
    s.memoBold = true;
    s.memoStrike = true;
    s.memoColor = 0x000000FF;   // red, as 0x00BBGGRR
    s.memoBgColor = 0x00FFFF00; // aqua
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    EXPECT_EQ(memo()->pos(), QPoint(30, 40));
    // Width and height are the outer size, frame included (the offscreen
    // platform draws a frame too).
    EXPECT_EQ(memo()->frameGeometry().size(), QSize(380, 190));
    EXPECT_GT(memo()->frameGeometry().width(), memo()->width());
    const QFont font = memo()->memo()->font();
    EXPECT_EQ(font.family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(memo()->textColour(), QColor(255, 0, 0));
    EXPECT_EQ(memo()->backgroundColour(), QColor(0, 255, 255));
    // The colours hold while the window is inactive, as it mostly is.
    EXPECT_EQ(memo()->memo()->palette().color(QPalette::Inactive, QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(memo()->memo()->palette().color(QPalette::Inactive, QPalette::Base), QColor(0, 255, 255));

    // Storing gives back what was taken; the system text colour of the
    // defaults stays a system colour.
    const Settings before = s;
    s = Settings{};
    s.memoColor = WindowTextColour;
    memo()->storeMemoSettings();
    EXPECT_EQ(s.memoWidth, 380);
    EXPECT_EQ(s.memoHeight, 190);
    EXPECT_EQ(s.memoName, before.memoName);
    EXPECT_EQ(s.memoSize, 12);
    EXPECT_TRUE(s.memoBold && s.memoStrike && !s.memoItalic && !s.memoUnder);
    EXPECT_EQ(s.memoColor, 0x000000FF);
    EXPECT_EQ(s.memoBgColor, 0x00FFFF00);
}

TEST_F(MemoWindowTest, ClosedByItsCloseBoxComesBackAsItWasLeft)
{
    openSpecies(0);
    TfMemo* window = memo();
    ASSERT_NE(window, nullptr);
    seam.fontChoices.push_back({QFont(QStringLiteral("IPAGothic"), 14, QFont::Bold), QColor(0, 128, 0)});
    window->toolButton(4)->click();
    window->resize(350, 180);
    const QSize outer = window->frameGeometry().size();
    EXPECT_FALSE(settings().memoBold); // only storing reaches the settings

    window->close();
    EXPECT_EQ(memo(), window); // hidden, not gone
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(settings().memoWidth, outer.width());
    EXPECT_EQ(settings().memoHeight, outer.height());
    EXPECT_TRUE(settings().memoBold);
    EXPECT_EQ(settings().memoColor, 0x00008000);
    EXPECT_EQ(settings().memoLeft, 30); // the position is taken only by a refresh

    nextKind();
    EXPECT_EQ(memo(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    EXPECT_EQ(window->size(), QSize(350, 180));
    EXPECT_EQ(window->memo()->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(window->memo()->font().pointSize(), 14);
    EXPECT_TRUE(window->memo()->font().bold());
    EXPECT_EQ(window->textColour(), QColor(0, 128, 0));
    EXPECT_EQ(memoText(), QStringLiteral("紫の花"));
}

TEST_F(MemoWindowTest, DialogChangesReachSettingsOnlyThroughStoring)
{
    settings().memoColor = 0x000000FF; // red
    openSpecies(0);
    const QFont firstFont = memo()->memo()->font();
    seam.fontChoices.push_back({QFont(QStringLiteral("IPAGothic"), 11, QFont::Bold), QColor(0, 0, 128)});
    seam.colourChoices.push_back(QColor(255, 255, 200));
    memo()->toolButton(4)->click();
    memo()->toolButton(5)->click();
    EXPECT_EQ(seam.lastPresetColour, QColor(255, 0, 0)); // preset with the text colour
    EXPECT_EQ(memo()->textColour(), QColor(0, 0, 128));
    EXPECT_EQ(memo()->backgroundColour(), QColor(255, 255, 200));
    EXPECT_NE(memo()->memo()->font().bold(), firstFont.bold());
    EXPECT_EQ(settings().memoBgColor, SilverColour);
    EXPECT_EQ(settings().memoColor, 0x000000FF);

    // Cancelled dialogs change nothing; the font dialog now starts from the
    // colour chosen before.
    memo()->toolButton(4)->click();
    memo()->toolButton(5)->click();
    EXPECT_EQ(seam.lastPresetColour, QColor(0, 0, 128));
    EXPECT_EQ(memo()->textColour(), QColor(0, 0, 128));
    EXPECT_EQ(memo()->backgroundColour(), QColor(255, 255, 200));
    EXPECT_EQ(memo()->memo()->font().pointSize(), 11);

    nextKind(); // a refresh stores them
    EXPECT_TRUE(settings().memoBold);
    EXPECT_EQ(settings().memoSize, 11);
    EXPECT_EQ(settings().memoColor, 0x00800000); // navy, as 0x00BBGGRR
    EXPECT_EQ(settings().memoBgColor, settingFromColour(QColor(255, 255, 200)));
    EXPECT_TRUE(memo()->memo()->font().bold());
    EXPECT_EQ(memo()->textColour(), QColor(0, 0, 128));

    // Changed again and then dropped by "end viewing": the change is lost.
    seam.fontChoices.push_back({QFont(QStringLiteral("IPAGothic"), 20, QFont::Normal, true), QColor(255, 0, 255)});
    memo()->toolButton(4)->click();
    TfImageView::instance()->toolButton(2)->click();
    EXPECT_EQ(memo(), nullptr);
    EXPECT_FALSE(settings().memoItalic);
    EXPECT_EQ(settings().memoSize, 11);
    EXPECT_EQ(settings().memoColor, 0x00800000);

    openSpecies(3);
    ASSERT_NE(memo(), nullptr);
    EXPECT_TRUE(memo()->memo()->font().bold());
    EXPECT_FALSE(memo()->memo()->font().italic());
    EXPECT_EQ(memo()->textColour(), QColor(0, 0, 128));
}

// The real font dialog, driven as a user would: it is preset with the memo's
// font and text colour, and OK hands both back together.
TEST_F(MemoWindowTest, TheFontDialogChoosesFontAndColourTogether)
{
    settings().memoName = QStringLiteral("IPAGothic");
    settings().memoSize = 12;
    settings().memoColor = 0x000000FF; // red, one of the colour box's own
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    QString caption, presetFamily, presetColourName;
    QColor presetColour;
    useRealFontDialog([&](QDialog* dialog, QFontDialog* fonts, QComboBox* colours, QDialogButtonBox* buttons) {
        caption = dialog->windowTitle();
        presetFamily = fonts->currentFont().family();
        presetColour = colours->currentData().value<QColor>();
        presetColourName = colours->currentText();
        EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("OK"));
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        QFont chosen(QStringLiteral("IPAMincho"), 16);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        fonts->setCurrentFont(chosen);
        colours->setCurrentIndex(colours->findData(QColor(0, 128, 128)));
        buttons->button(QDialogButtonBox::Ok)->click();
    });

    EXPECT_EQ(caption, QStringLiteral("フォント"));
    EXPECT_EQ(presetFamily, QStringLiteral("IPAGothic"));
    EXPECT_EQ(presetColour, QColor(255, 0, 0));
    EXPECT_EQ(presetColourName, QStringLiteral("赤"));
    const QFont font = memo()->memo()->font();
    EXPECT_EQ(font.family(), QStringLiteral("IPAMincho"));
    EXPECT_EQ(font.pointSize(), 16);
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(memo()->textColour(), QColor(0, 128, 128));
    EXPECT_EQ(settings().memoColor, 0x000000FF); // not stored yet
    memo()->storeMemoSettings();
    EXPECT_EQ(settings().memoColor, 0x00808000);
    EXPECT_EQ(settings().memoName, QStringLiteral("IPAMincho"));
}

// A text colour outside the colour box's sixteen survives the dialog, and
// Escape anywhere in it cancels the whole dialog.
TEST_F(MemoWindowTest, TheFontDialogKeepsAnOddColourAndCancelsOnEscape)
{
    settings().memoColor = 0x00123456;
    settings().memoName = QStringLiteral("IPAGothic");
    settings().memoSize = 13;
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    setModalSeam(nullptr);

    // OK straight away: the colour the text had comes back.
    QString presetName;
    QTimer::singleShot(0, memo(), [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (auto* colours = dialog->findChild<QComboBox*>(QStringLiteral("colourBox")))
            presetName = colours->currentText();
        dialog->accept();
    });
    memo()->toolButton(4)->click();
    EXPECT_EQ(presetName, QStringLiteral("カスタム"));
    EXPECT_EQ(memo()->textColour(), QColor(0x56, 0x34, 0x12));
    const QFont before = memo()->memo()->font();
    EXPECT_EQ(before.family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(before.pointSize(), 13);

    // Escape pressed in the font part, after picking another colour.
    bool stillOpen = true;
    QTimer::singleShot(0, memo(), [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* fonts = dialog->findChild<QFontDialog*>(QStringLiteral("fontChooser"));
        auto* colours = dialog->findChild<QComboBox*>(QStringLiteral("colourBox"));
        if (!fonts || !colours) {
            dialog->reject();
            return;
        }
        colours->setCurrentIndex(0);
        fonts->setCurrentFont(QFont(QStringLiteral("IPAMincho"), 30));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(fonts, &escape);
        stillOpen = dialog->isVisible();
        if (stillOpen)
            dialog->reject();
    });
    memo()->toolButton(4)->click();
    setModalSeam(&seam);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(memo()->textColour(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(memo()->memo()->font(), before);
}

// The memo is shown, never edited here: typing and pasting change nothing
// and the text takes no focus, yet a long memo scrolls by the wheel and its
// scroll bar.
TEST_F(MemoWindowTest, TheTextScrollsButCannotBeChanged)
{
    QStringList lines;
    for (int k = 1; k <= 200; ++k)
        lines << QStringLiteral("%1 行目").arg(k);
    writeMemo(hdd() + "ハコベ.txt", lines.join("\r\n"));
    settings().memoWidth = 300;
    settings().memoHeight = 150;
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    QPlainTextEdit* text = memo()->memo();
    const QString original = text->toPlainText();

    EXPECT_EQ(text->focusPolicy(), Qt::NoFocus);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(text, &key);
    QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(text, &remove);
    EXPECT_EQ(text->toPlainText(), original);

    QScrollBar* bar = text->verticalScrollBar();
    EXPECT_TRUE(bar->isEnabled());
    ASSERT_GT(bar->maximum(), 0);
    ASSERT_EQ(bar->value(), 0);
    const QPointF at(20, 20);
    QWheelEvent down(at, text->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(text->viewport(), &down);
    const int scrolled = bar->value();
    EXPECT_GT(scrolled, 0);

    // Ctrl with the wheel scrolls too instead of zooming the memo's font.
    const int pointSize = text->font().pointSize();
    QWheelEvent zoom(at, text->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(text->viewport(), &zoom);
    EXPECT_EQ(text->font().pointSize(), pointSize);
    EXPECT_GT(bar->value(), scrolled);

    bar->setValue(bar->maximum());
    EXPECT_GT(text->cursorForPosition(QPoint(2, 2)).blockNumber(), 100); // the end of the memo is in view
    EXPECT_EQ(text->toPlainText(), original);
}

TEST_F(MemoWindowTest, AnUnreadableMemoKeepsThePreviousText)
{
    openSpecies(0);
    ASSERT_EQ(memoText(), QStringLiteral("道ばたに咲く\n白い花"));
    // The memo vanishes between choosing it and showing it.
    selectMemoFile(QStringLiteral("リンドウ"));
    QFile::remove(hdd() + "リンドウ.txt");
    refreshMemoWindow();
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].icon, ModalSeam::Icon::Error);
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("リンドウ.txt")));
    EXPECT_EQ(memoText(), QStringLiteral("道ばたに咲く\n白い花"));
}

// A memo font known only through a substitute: the dialog shows the family
// actually drawn, and OK without choosing another family (to change only
// the colour) keeps the memo's own font name.
TEST_F(MemoWindowTest, TheFontDialogKeepsASubstitutedFontName)
{
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {QStringLiteral("IPAPGothic")});
    settings().memoName = QStringLiteral("ＭＳ Ｐゴシック");
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    const QString drawn = QFontInfo(memo()->memo()->font()).family();
    ASSERT_EQ(drawn, QStringLiteral("IPAPGothic"));
    QString presetFamily;
    useRealFontDialog([&](QDialog*, QFontDialog* fonts, QComboBox* colours, QDialogButtonBox* buttons) {
        presetFamily = fonts->currentFont().family();
        colours->setCurrentIndex(colours->findData(QColor(0, 128, 0)));
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(presetFamily, drawn);
    EXPECT_EQ(memo()->memo()->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(memo()->textColour(), QColor(0, 128, 0));
    memo()->storeMemoSettings();
    EXPECT_EQ(settings().memoName, QStringLiteral("ＭＳ Ｐゴシック"));
    QFont::removeSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"));
}

// A memo a Linux editor saved in UTF-8 shows as written.
TEST_F(MemoWindowTest, Utf8MemoShowsAsWritten)
{
    writeFile(hdd() + "ハコベ.txt", QStringLiteral("道ばたに咲く\n白い花 🌼\n").toUtf8());
    openSpecies(0);
    ASSERT_NE(memo(), nullptr);
    EXPECT_EQ(memoText(), QStringLiteral("道ばたに咲く\n白い花 🌼"));
}
