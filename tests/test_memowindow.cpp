#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <deque>

#include "app/state.h"
#include "data/DataRW.h"
#include "images/ImageView.h"
#include "memo/Memo.h"
#include "platform/cp932.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

// Answers the font and colour dialogs with prepared choices; a dialog with
// no choice left is cancelled.
class DialogSeam : public TestSeam {
public:
    std::deque<QFont> fonts;
    std::deque<QColor> colours;

    bool chooseFont(QWidget*, QFont& font) override
    {
        if (fonts.empty())
            return false;
        font = fonts.front();
        fonts.pop_front();
        return true;
    }
    bool chooseColour(QWidget*, QColor& colour) override
    {
        if (colours.empty())
            return false;
        colour = colours.front();
        colours.pop_front();
        return true;
    }
};

// Four found species, each with one picture:
//   0 ハコベ   memo on the hard disk
//   1 スミレ   memo on both; the CD-ROM one is shown
//   2 ススキ   no memo
//   3 リンドウ memo on the hard disk
class MemoWindowTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    DialogSeam seam;

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
    EXPECT_FALSE(memo()->panel()->isEnabled());

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
    EXPECT_EQ(memo()->size(), QSize(380, 190));
    const QFont font = memo()->memo()->font();
    EXPECT_EQ(font.family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(font.pointSize(), 12);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(memo()->textColour(), QColor(255, 0, 0));
    EXPECT_EQ(memo()->backgroundColour(), QColor(0, 255, 255));
    // The disabled panel does not grey the text out.
    EXPECT_EQ(memo()->memo()->palette().color(QPalette::Disabled, QPalette::Text), QColor(255, 0, 0));

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
    seam.fonts.push_back(QFont(QStringLiteral("IPAGothic"), 14, QFont::Bold));
    window->toolButton(4)->click();
    window->resize(350, 180);
    EXPECT_FALSE(settings().memoBold); // only storing reaches the settings

    window->close();
    EXPECT_EQ(memo(), window); // hidden, not gone
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(settings().memoWidth, 350);
    EXPECT_TRUE(settings().memoBold);
    EXPECT_EQ(settings().memoLeft, 30); // the position is taken only by a refresh

    nextKind();
    EXPECT_EQ(memo(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    EXPECT_EQ(window->size(), QSize(350, 180));
    EXPECT_EQ(window->memo()->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(window->memo()->font().pointSize(), 14);
    EXPECT_TRUE(window->memo()->font().bold());
    EXPECT_EQ(memoText(), QStringLiteral("紫の花"));
}

TEST_F(MemoWindowTest, DialogChangesReachSettingsOnlyThroughStoring)
{
    openSpecies(0);
    seam.fonts.push_back(QFont(QStringLiteral("IPAGothic"), 11, QFont::Bold));
    seam.colours.push_back(QColor(255, 255, 200));
    memo()->toolButton(4)->click();
    memo()->toolButton(5)->click();
    EXPECT_EQ(memo()->backgroundColour(), QColor(255, 255, 200));
    EXPECT_EQ(settings().memoBgColor, SilverColour);

    // Cancelled dialogs change nothing.
    memo()->toolButton(4)->click();
    memo()->toolButton(5)->click();
    EXPECT_EQ(memo()->backgroundColour(), QColor(255, 255, 200));

    nextKind(); // a refresh stores them
    EXPECT_TRUE(settings().memoBold);
    EXPECT_EQ(settings().memoSize, 11);
    EXPECT_EQ(settings().memoBgColor, settingFromColour(QColor(255, 255, 200)));
    EXPECT_TRUE(memo()->memo()->font().bold());

    // Changed again and then dropped by "end viewing": the change is lost.
    seam.fonts.push_back(QFont(QStringLiteral("IPAGothic"), 20, QFont::Normal, true));
    memo()->toolButton(4)->click();
    TfImageView::instance()->toolButton(2)->click();
    EXPECT_EQ(memo(), nullptr);
    EXPECT_FALSE(settings().memoItalic);
    EXPECT_EQ(settings().memoSize, 11);

    openSpecies(3);
    ASSERT_NE(memo(), nullptr);
    EXPECT_TRUE(memo()->memo()->font().bold());
    EXPECT_FALSE(memo()->memo()->font().italic());
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
