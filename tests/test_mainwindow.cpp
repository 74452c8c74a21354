#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/ModalSeam.h"
#include "app/main.h"
#include "app/state.h"
#include "images/thumbnails.h"
#include "platform/files.h"
#include "search/compare.h"
#include "search/search.h"
#include "support/testseam.h"
#include "support/testutil.h"

using namespace testutil;

namespace {

const QStringList& sampleLines = fiveSpecies;

// A program folder with a settings file, a hard-disk folder and a CD-ROM
// folder, each in a temporary folder of its own.
struct Folders {
    QTemporaryDir root;
    QString exe() const { return folderOf(root); }
    QString ini() const { return exe() + "tolvarin.ini"; }
    QString hdd() const { return exe() + "hdd/"; }
    QString cd() const { return exe() + "cd/"; }
    Folders()
    {
        QDir(root.path()).mkpath("hdd");
        QDir(root.path()).mkpath("cd");
        writeSettings(ini(), cd(), hdd(), exe() + "add/");
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainState() = MainState{};
        plantTable() = PlantTable{};
        thumbnailCache().clear();
    }
    TestSeam seam;
};

QToolButton* tool(TfMain& m, int n)
{
    return m.toolButton(n);
}

// Runs a search whose pad script ticks the named controls.
void search(TfMain& main, TestSeam& seam, const QStringList& ticks, bool confirm = true)
{
    seam.dialogs.push_back([ticks, confirm](QDialog* pad) {
        for (const QString& name : ticks) {
            if (auto* c = pad->findChild<QCheckBox*>(name))
                c->setChecked(true);
            if (auto* r = pad->findChild<QRadioButton*>(name))
                r->setChecked(true);
        }
        return confirm ? QDialog::Accepted : QDialog::Rejected;
    });
    main.Find1Click();
}

} // namespace

TEST_F(MainWindowTest, StartupCopiesTheDataFileFromTheCdRomFolder)
{
    Folders s;
    writeCatalogue(s.cd(), sampleLines);
    TfMain main(s.ini(), s.exe());
    EXPECT_TRUE(platform::fileExists(s.hdd() + "Tolvarin.dat"));
    EXPECT_EQ(plantTable().plantCount(), 5);
    EXPECT_EQ(plantTable().record(1).name, QStringLiteral("ススキ"));
    ASSERT_TRUE(plantTable().loadedStamp.has_value());
    EXPECT_EQ(*plantTable().loadedStamp, platform::fileAge(s.hdd() + "Tolvarin.dat"));
    EXPECT_TRUE(seam.messages.empty());
    EXPECT_TRUE(seam.dialogNames.isEmpty());
    EXPECT_EQ(settings().hddDir, s.hdd());
}

TEST_F(MainWindowTest, StartupWithoutADataFileShowsTheErrorWindowAndStops)
{
    Folders s;
    TfMain main(s.ini(), s.exe());
    ASSERT_EQ(seam.dialogNames.size(), 1);
    EXPECT_TRUE(seam.messages.empty()); // no folder message after the error window
    EXPECT_TRUE(tool(main, 1)->isEnabled());
    EXPECT_TRUE(tool(main, 2)->isEnabled());
    for (int n : {3, 4, 7, 17, 8, 10, 11})
        EXPECT_FALSE(tool(main, n)->isEnabled()) << n;
    EXPECT_FALSE(plantTable().loadedStamp.has_value());
    EXPECT_TRUE(main.windowTitle().startsWith(QStringLiteral("Tolvarin－植物検索－ Ver 1.5β")));
}

TEST_F(MainWindowTest, AnIncompleteDataFileIsReportedOnceWithItsBackup)
{
    Folders s;
    QStringList lines = sampleLines;
    lines.insert(2, QStringLiteral("ナズナ,1,0,0,0,1,0,0,0,0,0,99,1,0,2,1"));
    writeCatalogue(s.hdd(), lines);
    TfMain main(s.ini(), s.exe());
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_TRUE(seam.messages[0].text.contains(QStringLiteral("3行目")));
    EXPECT_EQ(QDir(s.hdd()).entryList({"Tolvarin.dat.backup-*"}).size(), 1);
    // A search reloads the same file (its stamp was recorded), and says
    // nothing again.
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    search(main, seam, {});
    EXPECT_EQ(seam.messages.size(), 1u);
}

namespace {

// The sample catalogue with picture 1 of three species: ハコベ (640 x 480)
// and ススキ (`susuki`) in the hard-disk folder, ヤマユリ (a bitmap) on the
// CD-ROM.
void writeSampleCatalogue(const Folders& s, const QSize& susuki)
{
    writeCatalogue(s.hdd(), sampleLines);
    writePicture(s.hdd() + "ハコベ01.jpg", 640, 480, Qt::white);
    writePicture(s.cd() + "ヤマユリ01.bmp", 100, 300, Qt::yellow);
    writePicture(s.hdd() + "ススキ01.jpg", susuki.width(), susuki.height(), Qt::darkYellow);
}

} // namespace

TEST_F(MainWindowTest, SearchFillsResultsSlotsAndPlaceholders)
{
    Folders s;
    writeSampleCatalogue(s, QSize(200, 100));
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    main.resize(700, 500);

    search(main, seam, {"CheckBox1", "CheckBox2"}); // spring or summer
    const MainState& st = mainState();
    EXPECT_EQ(st.resultList, (QStringList{"タンポポ", "ハコベ", "ヤマユリ"}));
    EXPECT_EQ(st.resultRecords, (QStringList{"2", "3", "4"}));
    EXPECT_TRUE(st.resultMode);
    ASSERT_EQ(main.slotCount(), 3);
    EXPECT_TRUE(main.menuAction("N3")->isEnabled());
    EXPECT_FALSE(pad.findChild<QPushButton*>("BitBtn3")->isEnabled());

    // タンポポ has no picture: placeholder, and it reacts to nothing.
    EXPECT_FALSE(main.pictureSlot(0)->handlersAttached());
    EXPECT_EQ(main.pictureSlot(0)->size(), QSize(180, 120));
    EXPECT_EQ(main.pictureSlot(1)->size(), QSize(160, 120));
    EXPECT_EQ(main.pictureSlot(2)->size(), QSize(40, 120));
    EXPECT_TRUE(main.pictureSlot(1)->handlersAttached());
    // The thumbnail keeps only what the slot shows.
    EXPECT_LE(main.pictureSlot(1)->picture().width(), 320);

    // Slots sit centred in their cells, row by row.
    const int columns = slotColumns(main.findChild<QScrollArea*>("ScrollBox1")->width());
    for (int i = 0; i < 3; ++i) {
        const QRect g = main.pictureSlot(i)->geometry();
        EXPECT_EQ(g.left(), (i % columns) * 181 + 1 + (180 - g.width()) / 2);
        EXPECT_EQ(g.top(), (i / columns) * 121 + 1 + (120 - g.height()) / 2);
    }

    // Hovering frames a picture and names it; a placeholder does not react.
    QTest::mouseMove(main.pictureSlot(1), QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(main.pictureSlot(1), &move);
    EXPECT_EQ(st.selectedPicture, 1);
    EXPECT_EQ(main.selectionFrame()->geometry(), main.pictureSlot(1)->geometry());
    EXPECT_TRUE(main.selectionFrame()->isShown());
    EXPECT_EQ(main.statusText(), QStringLiteral("ハコベ"));
    // A menu's empty status tip (sent when a menu opens) leaves the name.
    QStatusTipEvent tip{QString()};
    QCoreApplication::sendEvent(&main, &tip);
    EXPECT_EQ(main.statusText(), QStringLiteral("ハコベ"));
    QCoreApplication::sendEvent(main.pictureSlot(0), &move);
    EXPECT_EQ(st.selectedPicture, 1);

    // Releasing the button on the frame opens that result through the list.
    int opened = -1;
    links().openSpecies = [&](int i) { opened = i; };
    QTest::mouseClick(main.selectionFrame(), Qt::LeftButton);
    EXPECT_EQ(opened, 1);

    // Resizing moves the frame with its slot.
    main.resize(400, 500);
    EXPECT_EQ(main.selectionFrame()->geometry(), main.pictureSlot(1)->geometry());
}

TEST_F(MainWindowTest, CancelledPadLeavesTheWindowEmpty)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    search(main, seam, {});
    EXPECT_EQ(main.slotCount(), 5);
    search(main, seam, {"CheckBox1"}, false);
    EXPECT_EQ(main.slotCount(), 0);
    EXPECT_FALSE(main.menuAction("N3")->isEnabled());
    EXPECT_FALSE(main.selectionFrame()->isShown());
    EXPECT_FALSE(pad.findChild<QPushButton*>("BitBtn3")->isEnabled());
}

TEST_F(MainWindowTest, BrokenPictureIsRetriedThenShownAsPlaceholder)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    writeFile(s.hdd() + "リンドウ01.jpg", QByteArray("not a picture at all"));
    writePicture(s.hdd() + "ススキ01.jpg", 200, 100, Qt::darkYellow);
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    std::vector<int> pauses;
    main.retryPause = [&](int ms) { pauses.push_back(ms); };
    search(main, seam, {"CheckBox3"}); // autumn: ススキ, リンドウ
    EXPECT_EQ(mainState().resultList, (QStringList{"ススキ", "リンドウ"}));
    ASSERT_EQ(pauses.size(), 4u);
    for (int ms : pauses) {
        EXPECT_GE(ms, 100);
        EXPECT_LE(ms, 595);
    }
    EXPECT_EQ(main.pictureSlot(1)->size(), QSize(180, 120));
    EXPECT_TRUE(main.pictureSlot(1)->handlersAttached());
    EXPECT_EQ(main.pictureSlot(0)->size(), QSize(180, 90));

    // The next search remembers it: the placeholder at once, no attempts.
    const QImage placeholder = main.pictureSlot(1)->picture();
    pauses.clear();
    search(main, seam, {"CheckBox3"});
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(main.pictureSlot(1)->picture(), placeholder);
    EXPECT_TRUE(main.pictureSlot(1)->handlersAttached());

    // A file that changed (still being copied, say) gets its attempts again;
    // once it is a picture, it shows.
    writeFile(s.hdd() + "リンドウ01.jpg", QByteArray("not a picture at all, but longer now"));
    search(main, seam, {"CheckBox3"});
    EXPECT_EQ(pauses.size(), 4u);
    writePicture(s.hdd() + "リンドウ01.jpg", 90, 60, Qt::blue);
    pauses.clear();
    search(main, seam, {"CheckBox3"});
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(main.pictureSlot(1)->size(), QSize(90, 60));
}

// After a restart the result pictures come from the desktop's thumbnail
// cache, looking exactly as when they were decoded.
TEST_F(MainWindowTest, ResultPicturesKeptAcrossRuns)
{
    Folders s;
    writeSampleCatalogue(s, QSize(1200, 800));
    QTemporaryDir cache;
    sharedThumbnails().setFolder(folderOf(cache) + "thumbnails/large");
    // One run of the program: a search for every species, what it shows.
    auto run = [&] {
        TfMain main(s.ini(), s.exe());
        TfSearch pad(&main);
        main.setSearchPad(&pad);
        search(main, seam, {});
        std::vector<std::pair<QImage, QSize>> shown;
        for (int i = 0; i < main.slotCount(); ++i)
            shown.emplace_back(main.pictureSlot(i)->picture(), main.pictureSlot(i)->size());
        return shown;
    };
    const auto first = run();
    sharedThumbnails().finishWriting();
    EXPECT_EQ(QDir(folderOf(cache) + "thumbnails/large").entryList(QDir::Files).size(), 3);
    thumbnailCache().clear(); // a new run
    const auto again = run();
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < again.size(); ++i) {
        EXPECT_EQ(again[i].second, first[i].second) << i;
        EXPECT_EQ(again[i].first.format(), first[i].first.format()) << i;
        EXPECT_EQ(again[i].first, first[i].first) << i;
    }
    sharedThumbnails().setFolder(SharedThumbnails::defaultFolder());
}

TEST_F(MainWindowTest, ShutdownWritesTheSettings)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    {
        TfMain main(s.ini(), s.exe());
        main.resize(600, 450);
        main.move(20, 30);
        settings().searchLeft = 77;
        main.close();
    }
    const QString ini = QString::fromLatin1(readFile(s.ini()));
    EXPECT_TRUE(ini.contains("Width=600")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Left=77"));
    EXPECT_TRUE(ini.contains("HddDir=" + s.hdd()));
}

TEST(SlotGeometry, FitAndColumns)
{
    EXPECT_EQ(fitPictureSize({640, 480}).size, QSize(160, 120));
    EXPECT_EQ(fitPictureSize({200, 100}).size, QSize(180, 90));
    EXPECT_EQ(fitPictureSize({100, 300}).size, QSize(40, 120));
    EXPECT_EQ(fitPictureSize({180, 120}).size, QSize(180, 120));
    EXPECT_FALSE(fitPictureSize({180, 120}).stretch);
    EXPECT_TRUE(fitPictureSize({181, 120}).stretch);
    // 120/250*75 = 36 exactly; 180/360*45 = 22.5 rounds to even 22.
    EXPECT_EQ(fitPictureSize({75, 250}).size, QSize(36, 120));
    EXPECT_EQ(fitPictureSize({360, 45}).size, QSize(180, 22));
    EXPECT_EQ(fitPictureSize({100000, 10}).size, QSize(180, 1));
    EXPECT_EQ(slotColumns(630), 4);
    EXPECT_EQ(slotColumns(629), 3);
    EXPECT_EQ(slotColumns(40), 1);
    EXPECT_EQ(slotColumns(0), 1);
}

// The settings keep the main window's outer size, frame included (the
// offscreen platform draws a frame too).
TEST_F(MainWindowTest, TheSettingsKeepTheOuterSize)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    QFile ini(s.ini());
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[Window]\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=520\r\n");
    ini.close();
    {
        TfMain main(s.ini(), s.exe());
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        EXPECT_EQ(main.frameGeometry().size(), QSize(700, 520));
        EXPECT_LT(main.width(), 700);
        main.resize(600, 450);
        const QSize outer = main.frameGeometry().size();
        main.close();
        const QString text = QString::fromLatin1(readFile(s.ini()));
        EXPECT_TRUE(text.contains(QStringLiteral("Width=%1").arg(outer.width()))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Height=%1").arg(outer.height())));
    }
}

// An empty grid has nothing to scroll: after a cancelled pad and on
// entering picture editing mode the scroll bars go.
TEST_F(MainWindowTest, EmptyGridHasNoScrollBars)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    main.resize(420, 300);
    main.show();
    auto* box = main.findChild<QScrollArea*>("ScrollBox1");
    search(main, seam, {});
    ASSERT_EQ(main.slotCount(), 5);
    ASSERT_GT(box->verticalScrollBar()->maximum(), 0);
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());

    search(main, seam, {}, false);
    EXPECT_EQ(main.slotCount(), 0);
    EXPECT_EQ(box->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0);

    search(main, seam, {});
    ASSERT_GT(box->verticalScrollBar()->maximum(), 0);
    main.menuAction("A1")->trigger(); // picture editing mode starts empty
    EXPECT_EQ(main.slotCount(), 0);
    EXPECT_EQ(box->verticalScrollBar()->maximum(), 0);
}

// Clicks made while a search blocks the window are dropped, not carried out
// when the search ends: a click on the exit button leaves the program open.
TEST_F(MainWindowTest, InputDuringASearchIsDropped)
{
    Folders s;
    writeCatalogue(s.hdd(), sampleLines);
    writeFile(s.hdd() + "リンドウ01.jpg", QByteArray("not a picture at all"));
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    int clicks = 0;
    main.retryPause = [&](int) {
        if (clicks++ == 0) {
            QTest::mouseClick(tool(main, 2), Qt::LeftButton); // 終了
            QTest::keyClick(&main, Qt::Key_L, Qt::ControlModifier); // the list
        }
    };
    search(main, seam, {"CheckBox3"}); // autumn: ススキ, リンドウ (broken)
    EXPECT_GT(clicks, 0);
    EXPECT_TRUE(main.isVisible());
    // Afterwards the window takes input again.
    QTest::mouseClick(tool(main, 2), Qt::LeftButton);
    EXPECT_FALSE(main.isVisible());
}

// A name is shown as it is written, whatever characters it holds: one that
// looks like markup ("<b>…", from a hand-edited data file) is not taken for
// formatting in the status bar, the comparison window or a message box,
// and a message keeps its line breaks.
TEST_F(MainWindowTest, NamesThatLookLikeMarkupShowAsWritten)
{
    Folders s;
    const QString odd = QStringLiteral("<b>ハコベ<br>");
    writeCatalogue(s.hdd(), {odd + QStringLiteral(",1,1,0,0,1,0,0,0,0,0,3,1,0,2,1"),
                             QStringLiteral("タンポポ,1,0,0,0,0,0,1,0,0,0,2,3,0,4,1")});
    writePicture(s.hdd() + odd + QStringLiteral("01.jpg"), 64, 48, Qt::white);
    TfMain main(s.ini(), s.exe());
    TfSearch pad(&main);
    main.setSearchPad(&pad);
    search(main, seam, {});
    ASSERT_EQ(mainState().resultList, (QStringList{odd, QStringLiteral("タンポポ")}));

    // Shown whole: laid out as wide as all its characters, not as a bold
    // "ハコベ" and a line break.
    const auto showsWhole = [](const QLabel* label, const QString& text) {
        return label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(text);
    };
    main.selectPicture(0);
    EXPECT_EQ(main.statusText(), odd);
    const auto* status = main.findChild<QLabel*>(QStringLiteral("StatusText"));
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(showsWhole(status, odd));

    ASSERT_TRUE(TfCompare::showFor(&main, {1, 2}));
    const auto* name = TfCompare::instance()->findChild<QLabel*>(QStringLiteral("Name0"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), odd);
    EXPECT_TRUE(showsWhole(name, odd));
    TfCompare::release();

    // The program's own message boxes, with the real modal seam.
    setModalSeam(nullptr);
    const QString first = QStringLiteral("「%1」は既に登録されています。").arg(odd);
    bool whole = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        const auto* text = box ? box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")) : nullptr;
        whole = text && showsWhole(text, first);
        if (box)
            box->done(QMessageBox::Ok);
    });
    showError(&main, first + QStringLiteral("\n別の植物名を入力してください。"));
    EXPECT_TRUE(whole);
    setModalSeam(&seam);
}
