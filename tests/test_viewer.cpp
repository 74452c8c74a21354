#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/state.h"
#include "data/DataRW.h"
#include "images/FixView.h"
#include "images/ImageView.h"
#include "images/pictures.h"
#include "memo/Memo.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

// Picture sizes are above the window's smallest size, so fitting is exact.
const QSize Big1(320, 240);
const QSize Big2(360, 200);
const QSize Big3(300, 280);

// A hard-disk and a CD-ROM folder with four found species:
//   0 ハコベ   3 pictures (hdd .jpg, .bmp, .jpg)
//   1 タンポポ 1 picture
//   2 ヤマユリ 2 pictures, 01 on the CD-ROM, 02 missing
//   3 リンドウ 3 pictures, 02 not a picture at all
class ViewerTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    TestSeam seam;
    QStringList listSelections;

    QString hdd() const { return folderOf(root) + "hdd/"; }
    QString cd() const { return folderOf(root) + "cd/"; }

    void SetUp() override
    {
        QDir(root.path()).mkpath("hdd");
        QDir(root.path()).mkpath("cd");
        settings() = Settings{};
        settings().hddDir = hdd();
        settings().cdDir = cd();
        mainState() = MainState{};
        links() = WindowLinks{};
        links().selectListEntry = [this](int i) { listSelections << QString::number(i); };

        PlantTable& table = plantTable();
        table = PlantTable{};
        const QStringList names = {"ハコベ", "タンポポ", "ヤマユリ", "リンドウ"};
        const int counts[] = {3, 1, 2, 3};
        table.setPlantCount(4);
        for (int k = 1; k <= 4; ++k) {
            table.record(k).name = names[k - 1];
            table.record(k).pictureCount = counts[k - 1];
        }
        mainState().resultList = names;
        mainState().resultRecords = {"1", "2", "3", "4"};

        writePicture(hdd() + "ハコベ01.jpg", Big1.width(), Big1.height(), Qt::white);
        writePicture(hdd() + "ハコベ02.bmp", Big2.width(), Big2.height(), Qt::red);
        writePicture(hdd() + "ハコベ03.jpg", Big3.width(), Big3.height(), Qt::blue);
        writePicture(hdd() + "タンポポ01.jpg", Big2.width(), Big2.height(), Qt::yellow);
        writePicture(cd() + "ヤマユリ01.jpg", Big3.width(), Big3.height(), Qt::green);
        writePicture(hdd() + "リンドウ01.jpg", Big1.width(), Big1.height(), Qt::magenta);
        writeFile(hdd() + "リンドウ02.jpg", "this is not a picture");
        writePicture(hdd() + "リンドウ03.jpg", Big2.width(), Big2.height(), Qt::cyan);
    }

    void TearDown() override
    {
        TfImageView::release();
        TfMemo::release();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TfFixView*>(w))
                delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        links() = WindowLinks{};
    }

    static TfImageView* viewer() { return TfImageView::instance(); }
    static QString caption() { return viewer()->windowTitle(); }
    static QImage shown() { return viewer()->image()->pixmap().toImage(); }

    static std::vector<TfFixView*> fixViews()
    {
        std::vector<TfFixView*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TfFixView*>(w))
                out.push_back(f);
        return out;
    }
};

// True when the picture's centre has about the given colour (JPEG is lossy).
bool looksLike(const QImage& image, const QColor& colour)
{
    if (image.isNull())
        return false;
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return std::abs(c.red() - colour.red()) < 24 && std::abs(c.green() - colour.green()) < 24 &&
           std::abs(c.blue() - colour.blue()) < 24;
}

bool samePicture(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST_F(ViewerTest, PicturesStepWithWrapAround)
{
    openSpecies(0);
    ASSERT_NE(viewer(), nullptr);
    EXPECT_TRUE(viewer()->isVisible());
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [1/3]"));
    EXPECT_EQ(viewer()->viewRecord(), 1);
    EXPECT_TRUE(looksLike(shown(), Qt::white));
    EXPECT_EQ(viewer()->image()->size(), Big1);

    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [2/3]"));
    EXPECT_TRUE(looksLike(shown(), Qt::red)); // the .bmp
    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [3/3]"));
    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [1/3]"));
    EXPECT_TRUE(looksLike(shown(), Qt::white));
    viewer()->toolButton(5)->click();
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [3/3]"));
    EXPECT_TRUE(looksLike(shown(), Qt::blue));
    EXPECT_TRUE(seam.messages.empty());
}

TEST_F(ViewerTest, KindsStepWithWrapAroundAndFollowTheListAndButtons)
{
    openSpecies(3);
    EXPECT_EQ(viewer()->viewKindCount(), 4);
    viewer()->toolButton(6)->click(); // to picture 2 (undecodable), then on
    seam.messages.clear();

    viewer()->toolButton(7)->click();
    EXPECT_EQ(viewer()->viewKind(), 0);
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [1/3]")); // restarts at picture 1
    EXPECT_TRUE(viewer()->toolButton(5)->isEnabled());

    viewer()->toolButton(4)->click();
    EXPECT_EQ(caption(), QStringLiteral("リンドウ [1/3]"));
    viewer()->toolButton(4)->click();
    EXPECT_EQ(caption(), QStringLiteral("ヤマユリ [1/2]"));
    EXPECT_TRUE(looksLike(shown(), Qt::green)); // from the CD-ROM folder
    viewer()->toolButton(4)->click();
    EXPECT_EQ(caption(), QStringLiteral("タンポポ [1/1]"));
    EXPECT_EQ(listSelections, (QStringList{"0", "3", "2", "1"}));

    // One picture: both picture buttons off, and stepping does nothing.
    EXPECT_FALSE(viewer()->toolButton(5)->isEnabled());
    EXPECT_FALSE(viewer()->toolButton(6)->isEnabled());
    viewer()->ToolButton6Click();
    viewer()->ToolButton5Click();
    EXPECT_EQ(caption(), QStringLiteral("タンポポ [1/1]"));

    viewer()->toolButton(7)->click();
    EXPECT_TRUE(viewer()->toolButton(5)->isEnabled());
    EXPECT_TRUE(viewer()->toolButton(6)->isEnabled());

    // Restarting on a species with several pictures from a one-picture one
    // makes its pictures reachable again.
    viewer()->toolButton(4)->click();
    EXPECT_FALSE(viewer()->toolButton(6)->isEnabled());
    openSpecies(0);
    EXPECT_TRUE(viewer()->toolButton(6)->isEnabled());
    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("ハコベ [2/3]"));
}

TEST_F(ViewerTest, OneFoundSpeciesDoesNotChangeKind)
{
    mainState().resultList = QStringList{"ハコベ"};
    mainState().resultRecords = QStringList{"1"};
    openSpecies(0);
    viewer()->toolButton(7)->click();
    viewer()->toolButton(4)->click();
    EXPECT_EQ(viewer()->viewKind(), 0);
    EXPECT_TRUE(listSelections.isEmpty());
}

TEST_F(ViewerTest, FitToggleKeepsOrFollowsThePicture)
{
    openSpecies(0);
    QToolButton* fit = viewer()->toolButton(9);
    ASSERT_TRUE(fit->isChecked()); // the default setting: pressed
    EXPECT_EQ(viewer()->size(), QSize(306, 346));
    viewer()->toolButton(6)->click();
    EXPECT_EQ(viewer()->size(), QSize(306, 346));

    const int bar = viewer()->toolBar()->height();
    fit->click(); // released: follows the picture at once
    EXPECT_FALSE(settings().imageAutoSize);
    EXPECT_EQ(viewer()->size(), QSize(Big2.width() + 5, Big2.height() + bar + 5));
    viewer()->toolButton(6)->click();
    EXPECT_EQ(viewer()->size(), QSize(Big3.width() + 5, Big3.height() + bar + 5));

    fit->click(); // pressed again: the size stays with the next picture
    EXPECT_TRUE(settings().imageAutoSize);
    viewer()->toolButton(6)->click();
    EXPECT_EQ(viewer()->size(), QSize(Big3.width() + 5, Big3.height() + bar + 5));

    // The state is taken from the settings when the viewer starts.
    viewer()->close();
    settings().imageAutoSize = false;
    openSpecies(3);
    EXPECT_FALSE(viewer()->toolButton(9)->isChecked());
    EXPECT_EQ(viewer()->size(), QSize(Big1.width() + 5, Big1.height() + bar + 5));
}

TEST_F(ViewerTest, MissingAndUndecodablePictures)
{
    openSpecies(2);
    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("ヤマユリ [2/2]"));
    EXPECT_TRUE(samePicture(shown(), missingPicture()));
    EXPECT_TRUE(seam.messages.empty());

    openSpecies(3);
    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("リンドウ [2/3]"));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].icon, ModalSeam::Icon::Error);
    EXPECT_TRUE(seam.messages[0].text.contains(hdd() + "リンドウ02.jpg"));
    // What is wrong, in Japanese.
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("JPEG 画像ではありません。"))) << qPrintable(seam.messages[0].text);
    EXPECT_TRUE(looksLike(shown(), Qt::magenta)); // picture 1 stays
    EXPECT_TRUE(looksLike(viewer()->viewBitmap(), Qt::magenta));

    viewer()->toolButton(6)->click();
    EXPECT_EQ(caption(), QStringLiteral("リンドウ [3/3]"));
    EXPECT_TRUE(looksLike(shown(), Qt::cyan));
    EXPECT_EQ(seam.messages.size(), 1u);
}

TEST_F(ViewerTest, SpeciesWithoutUsablePicturesShowThePlaceholder)
{
    // Record numbers that are not numbers or lie outside the table, and a
    // stored count of 0 or below, all mean "no pictures".
    mainState().resultList = QStringList{"ハコベ", "タンポポ", "ヤマユリ", "リンドウ"};
    mainState().resultRecords = QStringList{"x", "1001", "3", "4"};
    plantTable().record(3).pictureCount = 0;
    plantTable().record(4).pictureCount = -2;
    for (int kind = 0; kind < 4; ++kind) {
        openSpecies(kind);
        EXPECT_LE(viewer()->viewPictureCount(), 0) << kind;
        EXPECT_TRUE(caption().endsWith(QStringLiteral(" [1/") + QString::number(viewer()->viewPictureCount()) + "]"))
            << kind;
        EXPECT_TRUE(samePicture(shown(), missingPicture())) << kind;
        EXPECT_FALSE(viewer()->toolButton(6)->isEnabled()) << kind;
        viewer()->ToolButton6Click();
        viewer()->ToolButton5Click();
        EXPECT_EQ(viewer()->viewPicture(), 1) << kind;
    }
    // A result list longer than its record list.
    mainState().resultRecords = QStringList{"1"};
    openSpecies(0);
    viewer()->toolButton(4)->click();
    EXPECT_EQ(caption(), QStringLiteral("リンドウ [1/0]"));
    EXPECT_TRUE(seam.messages.empty());
}

TEST_F(ViewerTest, SeparateWindowKeepsItsPicture)
{
    openSpecies(0);
    viewer()->toolButton(11)->click();
    ASSERT_EQ(fixViews().size(), 1u);
    TfFixView* first = fixViews()[0];
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("ハコベ [1/3]"));
    EXPECT_EQ(first->size(), QSize(237, 203)); // fit toggle pressed
    EXPECT_EQ(first->image()->size(), Big1);

    viewer()->toolButton(9)->click(); // released
    viewer()->toolButton(6)->click();
    viewer()->toolButton(11)->click();
    ASSERT_EQ(fixViews().size(), 2u);
    TfFixView* second = fixViews()[0] == first ? fixViews()[1] : fixViews()[0];
    EXPECT_EQ(second->windowTitle(), QStringLiteral("ハコベ [2/3]"));
    EXPECT_EQ(second->size(), QSize(Big2.width() + 5, Big2.height() + 5));

    viewer()->toolButton(7)->click();
    viewer()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("ハコベ [1/3]"));
    EXPECT_TRUE(looksLike(first->image()->pixmap().toImage(), Qt::white));
    EXPECT_TRUE(looksLike(second->image()->pixmap().toImage(), Qt::red));

    // Closing a separate window frees it.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fixViews().size(), 1u);
}

TEST_F(ViewerTest, ReopeningRestartsInPlace)
{
    openSpecies(0);
    TfImageView* v = viewer();
    v->toolButton(6)->click();
    v->move(120, 80);
    openSpecies(2);
    EXPECT_EQ(viewer(), v);
    EXPECT_EQ(caption(), QStringLiteral("ヤマユリ [1/2]"));
    EXPECT_EQ(v->pos(), QPoint(120, 80));
    EXPECT_EQ(settings().imageLeft, 120);
    EXPECT_EQ(settings().imageTop, 80);

    // An entry outside the result list opens nothing.
    openSpecies(4);
    openSpecies(-1);
    EXPECT_EQ(caption(), QStringLiteral("ヤマユリ [1/2]"));
}

TEST_F(ViewerTest, ClosingStoresThePositionReleaseDoesNot)
{
    writeFile(hdd() + "ハコベ.txt", "memo\r\n");
    openSpecies(0);
    ASSERT_NE(TfMemo::instance(), nullptr);
    viewer()->move(40, 30);
    viewer()->close(); // the close box
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(settings().imageLeft, 40);
    EXPECT_EQ(settings().imageTop, 30);
    EXPECT_NE(TfMemo::instance(), nullptr); // the memo window stays

    openSpecies(0);
    EXPECT_EQ(viewer()->pos(), QPoint(40, 30));
    viewer()->move(90, 70);
    viewer()->toolButton(2)->click(); // end viewing: also drops the memo window
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(TfMemo::instance(), nullptr);
    EXPECT_EQ(settings().imageLeft, 90);

    openSpecies(1);
    viewer()->move(200, 150);
    TfImageView::release();
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(settings().imageLeft, 90);
    EXPECT_EQ(settings().imageTop, 70);
}

TEST_F(ViewerTest, KeptInsideTheScreenAtStartAndWhenFitted)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // A place remembered on a monitor that is gone.
    settings().imageLeft = area.right() + 2000;
    settings().imageTop = area.top() - 900;
    openSpecies(0);
    EXPECT_TRUE(area.contains(viewer()->frameGeometry())) << viewer()->frameGeometry().x();
    EXPECT_EQ(viewer()->frameGeometry().right(), area.right());
    EXPECT_EQ(viewer()->frameGeometry().top(), area.top());

    // Growing to the picture near the bottom-right corner moves it back.
    viewer()->move(area.right() - 100, area.bottom() - 100);
    viewer()->toolButton(9)->click(); // released: follows the picture
    const int bar = viewer()->toolBar()->height();
    EXPECT_EQ(viewer()->size(), QSize(Big1.width() + 5, Big1.height() + bar + 5));
    EXPECT_TRUE(area.contains(viewer()->frameGeometry()));

    // A picture wider than the screen: the window takes the work area's
    // width and the picture scrolls.
    writePicture(hdd() + "タンポポ01.jpg", area.width() + 200, 100, Qt::yellow);
    openSpecies(1);
    EXPECT_EQ(viewer()->image()->width(), area.width() + 200);
    EXPECT_EQ(viewer()->frameGeometry().width(), area.width());
    EXPECT_TRUE(area.contains(viewer()->frameGeometry()));

    // A place on screen is kept as it is.
    viewer()->move(area.left() + 10, area.top() + 20);
    openSpecies(0);
    EXPECT_EQ(viewer()->pos(), QPoint(area.left() + 10, area.top() + 20));
}

// A picture too large for the screen pushes the viewer (following its
// pictures) to the screen's edge; the next picture that fits shows where
// the user had put it, unless the user has moved it since.
TEST_F(ViewerTest, KeepsTheUsersPlaceWheneverThePictureFits)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    settings().imageAutoSize = false;
    writePicture(hdd() + "ハコベ02.bmp", area.width() + 200, 100, Qt::red);
    openSpecies(0);
    const QPoint place(area.left() + 100, area.top() + 50);
    viewer()->move(place);

    viewer()->toolButton(6)->click(); // picture 2, wider than the screen
    EXPECT_EQ(viewer()->frameGeometry().left(), area.left());
    viewer()->toolButton(6)->click(); // picture 3 fits
    EXPECT_EQ(viewer()->pos(), place);
    viewer()->toolButton(6)->click(); // picture 1 fits too
    EXPECT_EQ(viewer()->pos(), place);

    viewer()->toolButton(6)->click(); // pushed again, then moved by the user
    const QPoint moved(area.left() + 40, area.top() + 30);
    viewer()->move(moved);
    viewer()->toolButton(6)->click();
    EXPECT_EQ(viewer()->pos(), moved);
}
