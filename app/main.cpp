#include "app/main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QToolBar>
#include <QToolButton>

#include "app/ErrorDlg.h"
#include "app/ModalSeam.h"
#include "app/glyphs.h"
#include "app/placement.h"
#include "edit/p_list.h"
#include "images/ImageView.h"
#include "memo/Memo.h"
#include "app/state.h"
#include "images/thumbnails.h"
#include "platform/files.h"
#include "search/compare.h"
#include "search/conditions.h"
#include "search/guidance.h"
#include "search/run.h"
#include "search/search.h"
#include "settings/dir.h"
#include "support/about.h"
#include "support/helpview.h"
#include "support/web.h"
#include "settings/func.h"
#include "settings/locations.h"

namespace {

TfMain* gMain = nullptr;

const QString FolderMissingMessage = QStringLiteral(
    "           指定されたフォルダが存在しません\n\nCD-ROM or HDD 内の画像のあるフォルダを指定してください");

// Tool bar buttons left to right: number, hint, glyph, enabled at design,
// divider after it.
struct ToolDesign {
    int number;
    const char* hint;
    int glyph;
    bool enabled;
    bool dividerAfter;
};
const ToolDesign toolDesigns[] = {
    {1, "検索開始", 0, true, false},  {2, "終了", 1, true, true},        {3, "画像編集中止", 2, false, true},
    {4, "前の種類", 3, false, false}, {7, "次の種類", 4, false, true},    {17, "画像削除", 5, false, true},
    {8, "訂正・削除", 6, false, false}, {10, "新規・追加", 7, false, true}, {11, "条件の表示", 8, false, false},
};

} // namespace

TfMain* fMain()
{
    return gMain;
}

// ---------------------------------------------------------------- slots

PictureSlot::PictureSlot(int tag, QWidget* parent)
    : QWidget(parent)
    , tag_(tag)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureSlot::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    if (image_.isNull()) {
        g.fillRect(rect(), palette().window());
        return;
    }
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    g.drawImage(rect(), image_);
}

void PictureSlot::mouseMoveEvent(QMouseEvent*)
{
    if (handlers_)
        emit hovered(tag_);
}

void PictureSlot::mousePressEvent(QMouseEvent* e)
{
    pressed_ = e->button() == Qt::LeftButton;
}

void PictureSlot::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click && handlers_)
        emit clicked(tag_);
}

SelectionFrame::SelectionFrame(QWidget* parent)
    : QWidget(parent)
    , pen_(QApplication::palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(SlotWidth, SlotHeight);
}

void SelectionFrame::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    g.setPen(QPen(pen_, 2));
    g.setBrush(Qt::NoBrush);
    g.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void SelectionFrame::mouseReleaseEvent(QMouseEvent* e)
{
    releaseModifiers_ = e->modifiers();
    emit released();
}

// ---------------------------------------------------------------- window

TfMain::TfMain(const QString& iniPath, const QString& exeFolder, QWidget* parent)
    : QMainWindow(parent)
    , iniPath_(iniPath)
    , exeFolder_(exeFolder)
{
    gMain = this;
    retryPause = [](int ms) { QThread::msleep(ulong(ms)); };
    connectViewerLinks();
    connectListLinks();
    buildWindow();
    formCreate();
    created_ = true;
}

TfMain::~TfMain()
{
    if (gMain == this)
        gMain = nullptr;
}

void TfMain::buildWindow()
{
    setObjectName(QStringLiteral("fMain"));
    setFont(designFont());
    resize(582, 504);

    QMenuBar* menu = menuBar();
    menu->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [this](QMenu* m, const char* name, const QString& text, void (TfMain::*handler)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    QMenu* file = menu->addMenu(QStringLiteral("ファイル(&F)"));
    item(file, "Setup1", QStringLiteral("設定(&T)..."), &TfMain::Setup1Click);
    file->addSeparator();
    item(file, "Exit1", QStringLiteral("終了(&X)"), &TfMain::Exit1Click);
    QMenu* edit = menu->addMenu(QStringLiteral("編集(&E)"));
    item(edit, "Find1", QStringLiteral("検索(&F)..."), &TfMain::Find1Click);
    edit->addSeparator();
    item(edit, "A1", QStringLiteral("画像編集(&E)"), &TfMain::A1Click);
    QMenu* view = menu->addMenu(QStringLiteral("表示(&V)"));
    QAction* n3 = item(view, "N3", QStringLiteral("植物リスト"), &TfMain::N3Click);
    n3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    // The list is called back from the viewer and memo windows too.
    n3->setShortcutContext(Qt::ApplicationShortcut);
    n3->setEnabled(false);
    QAction* compare = item(view, "Compare1", QStringLiteral("比較"), &TfMain::Compare1Click);
    compare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    compare->setShortcutContext(Qt::ApplicationShortcut);
    QMenu* help = menu->addMenu(QStringLiteral("ヘルプ(&H)"));
    item(help, "Contents1", QStringLiteral("目次(&C)"), &TfMain::Contents1Click);
    help->addSeparator();
    item(help, "About1", QStringLiteral("バージョン情報(&A)..."), &TfMain::About1Click);

    QToolBar* bar = makeToolBar(this);
    addToolBar(bar);
    bar->setFixedHeight(26);
    for (const ToolDesign& tool : toolDesigns) {
        addToolButton(bar, tool.number, QString::fromUtf8(tool.hint), mainToolGlyph(tool.glyph))
            ->setEnabled(tool.enabled);
        if (tool.dividerAfter)
            bar->addSeparator();
    }
    connect(toolButton(1), &QToolButton::clicked, this, &TfMain::Find1Click);
    connect(toolButton(2), &QToolButton::clicked, this, &TfMain::Exit1Click);
    toolButton(11)->setCheckable(true);
    connect(toolButton(11), &QToolButton::clicked, this, &TfMain::ToolButton11Click);
    connect(toolButton(3), &QToolButton::clicked, this, &TfMain::ToolButton3Click);
    connect(toolButton(4), &QToolButton::clicked, this, &TfMain::ToolButton4Click);
    connect(toolButton(7), &QToolButton::clicked, this, &TfMain::ToolButton7Click);
    connect(toolButton(8), &QToolButton::clicked, this, &TfMain::ToolButton8Click);
    connect(toolButton(10), &QToolButton::clicked, this, &TfMain::ToolButton10Click);
    connect(toolButton(17), &QToolButton::clicked, this, &TfMain::ToolButton17Click);

    scrollBox1_ = new QScrollArea(this);
    scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    scrollBox1_->setWidgetResizable(false);
    canvas_ = new QWidget;
    canvas_->setObjectName(QStringLiteral("ScrollBox1Canvas"));
    scrollBox1_->setWidget(canvas_);
    setCentralWidget(scrollBox1_);

    placeholder_ = placeholderPicture();
    image1_ = new QLabel(canvas_);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(QPixmap::fromImage(placeholder_));
    image1_->hide();

    shape1_ = new SelectionFrame(canvas_);
    shape1_->setObjectName(QStringLiteral("Shape1"));
    connect(shape1_, &SelectionFrame::released, this, &TfMain::Shape1MouseUp);

    statusBar1_ = statusBar();
    statusBar1_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar1_->setFixedHeight(19);
    statusBar1_->setSizeGripEnabled(true);
    statusText_ = new QLabel(statusBar1_);
    statusText_->setObjectName(QStringLiteral("StatusText"));
    // Names are shown as written, never taken for markup.
    statusText_->setTextFormat(Qt::PlainText);
    statusBar1_->addWidget(statusText_, 1);
}

void TfMain::setStatusText(const QString& text)
{
    statusText_->setText(text);
}

QString TfMain::statusText() const
{
    return statusText_->text();
}

QToolButton* TfMain::toolButton(int number) const
{
    return findToolButton(this, number);
}

QAction* TfMain::menuAction(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

PictureFolders TfMain::folders() const
{
    return PictureFolders{settings().cdDir, settings().hddDir};
}

void TfMain::formCreate()
{
    MainState& state = mainState();
    state.resultList.clear();
    state.resultRecords.clear();
    setWindowTitle(QStringLiteral("Tolvarin－植物検索－ ") + versionText +
                   QStringLiteral("　野の花を名前から、名前を野の花から"));
    state.selectedPicture = -1;

    Settings& s = settings();
    loadSettings(iniPath_, folderDefaultsFor(exeFolder_), s);
    // The settings keep the outer size, frame included.
    setOuterSize(this, QSize(s.windowWidth, s.windowHeight));
    move(s.windowLeft, y());
    move(x(), s.windowTop);
    placeForm(this);

    s.cdDir = folderWithBackslash(s.cdDir);
    s.hddDir = folderWithBackslash(s.hddDir);
    s.addDir = folderWithBackslash(s.addDir);

    if (!platform::fileExists(s.hddDir + DataFileName)) {
        if (!platform::fileExists(s.cdDir + DataFileName)) {
            TfErrorDlg::showModal(this);
            return;
        }
        // Another copy may be doing the same at this moment: never replace
        // a file that appeared meanwhile.
        platform::copyFileNoReplace(s.cdDir + DataFileName, s.hddDir + DataFileName);
    }

    disableEditButtons();

    // A change a copy left half done is finished or taken back first.
    const QString repaired = recoverCatalogue(s.hddDir);
    if (!repaired.isEmpty())
        showInformation(this, repaired);

    PlantTable& table = plantTable();
    table.loadedStamp.reset();
    // The stamp is taken before the file is read: a copy that rewrites it
    // meanwhile makes the next search read it again, rather than leaving
    // this copy with the old contents under the new stamp.
    const platform::FileStamp stampBeforeLoad = platform::fileAge(s.hddDir + DataFileName);
    const LoadReport report = loadPlantTable(table, s.hddDir);
    reportIncompleteLoad(report);
    // A file that could not be read is tried again at the next search.
    if (!report.readFailed)
        table.loadedStamp = stampBeforeLoad;

    if (!platform::folderExists(s.hddDir) && !platform::folderExists(s.cdDir)) {
        modal().message(this, QApplication::applicationName(), FolderMissingMessage, ModalSeam::Icon::None,
                        QMessageBox::Ok, QMessageBox::Ok);
        Setup1Click();
    }
    resetPictureSlots(0);
}

void TfMain::reportIncompleteLoad(const LoadReport& report)
{
    if (report.readFailed) {
        // Told once for each reason: the search goes on with the table read
        // before, which the user must know is an older state.
        if (reportedBackups_.contains(report.failure))
            return;
        reportedBackups_.insert(report.failure);
        showError(this, plantTable().plantCount() > 0
                            ? report.failure + QStringLiteral("\n\n表示しているのは、前に読み込んだときの検索データです。")
                            : report.failure);
        return;
    }
    if (!report.fileRead || !report.needsTelling())
        return;
    const QString backup = keepBackupOfIncompleteFile(report);
    // One message per version of the file: a reload of the same file says
    // nothing new.
    const QString key = backup.isEmpty() ? report.path + QString::number(report.stamp.mtimeNs) : backup;
    if (reportedBackups_.contains(key))
        return;
    reportedBackups_.insert(key);
    showError(this, report.message(backup));
}

void TfMain::disableEditButtons()
{
    for (int n : {3, 4, 7, 8, 10, 11})
        toolButton(n)->setEnabled(false);
}

void TfMain::setSearchPad(TfSearch* pad)
{
    pad_ = pad;
    connect(pad_, &TfSearch::correctionConfirmed, this, &TfMain::storeCorrection);
    // Cancel on the pad drops its change on purpose: no question about it.
    connect(pad_, &TfSearch::restartCorrection, this, [this] {
        pad_->executeButton()->setEnabled(false);
        ToolButton8Click();
    });
}

void TfMain::closeSecondaryWindows()
{
    if (Tf_p_list::instance())
        menuAction("N3")->setEnabled(false);
    Tf_p_list::closeAndRelease();
    TfImageView::release();
    TfMemo::release();
    TfCompare::release();
}

bool TfMain::chooseSpecies(bool correction, int& record, QString& newName)
{
    const ListChoice choice = Tf_p_list::choose(this, correction, pad_);
    record = choice.record;
    newName = choice.newName;
    return choice.accepted;
}

void TfMain::closeEvent(QCloseEvent* e)
{
    FormCloseQuery();
    e->accept();
}

void TfMain::FormCloseQuery()
{
    // Closing is never refused, but a correction left unconfirmed on the
    // pad is not dropped without a question.
    settlePendingCorrection(false);
    // Each window's own close handling hands its position (and the memo
    // window its font and colours) to the settings before they are written.
    if (Tf_p_list* list = Tf_p_list::instance())
        list->close();
    if (TfImageView* viewer = TfImageView::instance())
        viewer->close();
    if (TfMemo* memo = TfMemo::instance())
        memo->close();
    if (TfCompare* compare = TfCompare::instance())
        compare->close();
    if (pad_)
        pad_->hide();
    Settings& s = settings();
    s.windowLeft = x();
    s.windowTop = y();
    const QSize outer = outerSize(this);
    s.windowWidth = outer.width();
    s.windowHeight = outer.height();
    // Settings are written once, here: what cannot be written would be
    // silently gone at the next start, so the user is told now.
    QStringList skipped;
    if (!saveSettings(iniPath_, s, &skipped))
        showError(this, QStringLiteral("設定ファイル「%1」を保存できませんでした。").arg(iniPath_));
    else if (!skipped.isEmpty())
        showError(this, QStringLiteral("次の設定は設定ファイルで扱えない文字を含むため、保存しませんでした。\n\n") +
                            skipped.join(QLatin1Char('\n')));
}

void TfMain::Exit1Click()
{
    close();
}

void TfMain::Setup1Click()
{
    TfDir dialog(this);
    modal().execDialog(&dialog);
}

void TfMain::About1Click()
{
    TAboutBox::showModal(this);
}

void TfMain::Contents1Click()
{
    // A desktop without a program for the help file gets the program's own
    // help window; only a help file that cannot be read is an error.
    const QString path = helpFilePath(platform::executablePath());
    if (!openHelp() && !THelpView::showFile(path, this))
        showError(this, QStringLiteral("ヘルプファイル「%1」を開けませんでした。").arg(path));
}

void TfMain::N3Click()
{
    Tf_p_list::bringBack();
}

// ---------------------------------------------------------------- grid

int TfMain::resetPictureSlots(int n)
{
    for (PictureSlot* slot : slots_) {
        slot->setPicture(QImage());
        delete slot;
    }
    slots_.clear();
    slots_.reserve(size_t(std::max(0, n)));
    for (int j = 0; j < n; ++j) {
        auto* slot = new PictureSlot(j, canvas_);
        connect(slot, &PictureSlot::hovered, this, &TfMain::ArImage1MouseMove);
        connect(slot, &PictureSlot::clicked, this, &TfMain::ArImage1Click);
        slot->show();
        slots_.push_back(slot);
    }
    // An empty grid leaves nothing to scroll to.
    fitCanvas();
    return n;
}

void TfMain::fitCanvas()
{
    // The canvas is as large as the grid on it and no larger: the scroll
    // box shows scroll bars only for a grid that does not fit, never for an
    // empty one.
    const int n = slotCount();
    const int columns = slotColumns(scrollBox1_->width());
    const int rows = (n + columns - 1) / columns;
    if (n == 0)
        canvas_->resize(0, 0);
    else
        canvas_->resize(std::min(columns, n) * (SlotWidth + 1) + 1, rows * (SlotHeight + 1) + 1);
}

void TfMain::fitPicture(PictureSlot* slot, const QImage& image, const QSize& fullSize)
{
    const SlotFit fit = fitPictureSize(fullSize.isValid() ? fullSize : image.size());
    slot->resize(fit.size);
    slot->setPicture(image);
}

int TfMain::loadResultPicture(int i, int attempt)
{
    const MainState& state = mainState();
    if (i < 0 || i >= slotCount() || i >= state.resultList.size())
        return -1;
    PictureSlot* slot = slots_[size_t(i)];
    const QString path = findPictureFile(folders(), state.resultList[i], 1);
    if (path.isEmpty()) {
        slot->setHandlersAttached(false);
        fitPicture(slot, placeholder_, placeholder_.size());
        return 0;
    }
    Thumbnail t;
    QString why;
    platform::FileStamp stamp;
    if (!loadThumbnail(path, t, &thumbnailCache(), &why, &stamp)) {
        if (attempt >= 4) {
            fitPicture(slot, placeholder_, placeholder_.size());
            // Given up: while the file stays as it is, later searches show
            // the placeholder at once instead of trying again.
            if (stamp.present)
                thumbnailCache().markBroken(path, stamp, why);
        }
        return -1;
    }
    fitPicture(slot, t.image, t.fullSize);
    return 0;
}

void TfMain::layoutSlots()
{
    scrollBox1_->verticalScrollBar()->setValue(0);
    scrollBox1_->horizontalScrollBar()->setValue(0);
    const int columns = slotColumns(scrollBox1_->width());
    for (int i = 0; i < slotCount(); ++i) {
        PictureSlot* slot = slots_[size_t(i)];
        const int c = i % columns;
        const int r = i / columns;
        slot->move(c * (SlotWidth + 1) + 1 + (SlotWidth - slot->width()) / 2,
                   r * (SlotHeight + 1) + 1 + (SlotHeight - slot->height()) / 2);
        slot->setTag(i);
    }
    fitCanvas();
    if (mainState().selectedPicture >= 0 && created_)
        selectPicture(mainState().selectedPicture);
}

void TfMain::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    layoutSlots();
}

void TfMain::selectPicture(int i)
{
    MainState& state = mainState();
    state.selectedPicture = i;
    if (i >= 0 && i < slotCount())
        shape1_->setGeometry(slots_[size_t(i)]->geometry());
    shape1_->setPenColour(Qt::red);
    shape1_->raise();
    if (state.resultMode && i >= 0 && i < state.resultList.size())
        setStatusText(resultStatusText(state.resultList[i], resultMisses(i)));
    if (state.editMode)
        toolButton(17)->setEnabled(true);
}

void TfMain::hideSelectionFrame()
{
    shape1_->setPenColour(QApplication::palette().color(QPalette::Button));
    shape1_->lower();
}

void TfMain::ArImage1MouseMove(int tag)
{
    if (mainState().resultMode)
        selectPicture(tag);
}

void TfMain::ArImage1Click(int tag)
{
    if (!mainState().resultMode)
        selectPicture(tag);
}

void TfMain::Shape1MouseUp()
{
    const MainState& state = mainState();
    Tf_p_list* list = Tf_p_list::instance();
    // Ctrl+click chooses the species for the comparison (or drops it).
    if (list && state.resultMode && state.selectedPicture >= 0 &&
        (shape1_->releaseModifiers() & Qt::ControlModifier)) {
        list->toggleEntry(state.selectedPicture);
        return;
    }
    if (list && state.resultMode && state.selectedPicture >= 0) {
        list->selectEntry(state.selectedPicture);
        list->ListBox1DblClick();
    }
}

// ---------------------------------------------------------------- search

void TfMain::Find1Click()
{
    MainState& state = mainState();
    // A search from the menu while pictures are edited leaves editing
    // first, so no correction or edit button outlives it; a user who keeps
    // an unconfirmed correction open stays there.
    if (state.editMode) {
        ToolButton3Click();
        if (state.editMode)
            return;
    }
    state.resultMode = true;
    state.editMode = false;
    state.memoOnPad = false;
    resetPictureSlots(0);
    hideSelectionFrame();
    shape1_->move(0, 0);
    state.selectedPicture = -1;
    setStatusText(QString()); // no species shown any more
    closeSecondaryWindows();
    menuAction("N3")->setEnabled(false);
    if (!pad_)
        return;

    pad_->clearButton()->setEnabled(true);
    pad_->clearConditions();
    pad_->setMode(QStringLiteral("検索パッド"), QStringLiteral("検索実行"));
    pad_->showFlowerPage();
    // The pad counts species over the table as it is now.
    reportIncompleteLoad(loadPlantTable(plantTable(), settings().hddDir));
    const bool confirmed = pad_->showModalSearch(true);
    if (confirmed) {
        hideSelectionFrame();
        TfRun run(this);
        run.showNow();
        runSearch();
        resetPictureSlots(state.resultList.size());
        showResultPictures(&run);
        layoutSlots();
        markNearMatches();
        run.close();
        Tf_p_list::openResults(this, pad_);
        menuAction("N3")->setEnabled(true);
    }
    pad_->clearButton()->setEnabled(false);
}

void TfMain::runSearch()
{
    PlantTable& table = plantTable();
    reportIncompleteLoad(loadPlantTable(table, settings().hddDir));
    MainState& state = mainState();
    state.resultList.clear();
    state.resultRecords.clear();
    state.resultMisses.clear();
    const PadState pad = pad_->padState();
    const int tolerance = validTolerance(settings().searchTolerance);
    for (const FoundSpecies& found : searchTable(table, pad, tolerance)) {
        state.resultList.append(table.record(found.record).name);
        state.resultRecords.append(QString::number(found.record));
        state.resultMisses.push_back(found.misses);
    }
    // Nothing found: say whether one wrong tick is to blame.
    if (state.resultList.isEmpty() && tolerance == 0) {
        const int near = int(searchTable(table, pad, 1).size());
        setStatusText(near ? QStringLiteral("該当なし — 一致しない条件を1つ許すと %1 種見つかります").arg(near)
                           : QStringLiteral("該当なし — 一致しない条件を1つ許しても見つかりません"));
    }
}

unsigned TfMain::resultMisses(int i) const
{
    const std::vector<unsigned>& misses = mainState().resultMisses;
    return i >= 0 && size_t(i) < misses.size() ? misses[size_t(i)] : 0u;
}

namespace {

// A small mark in a corner of a result picture; the picture still takes
// the mouse.
QLabel* slotMark(PictureSlot* slot, const char* name, const QString& text, const QColor& colour)
{
    auto* mark = slot->findChild<QLabel*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!mark) {
        mark = new QLabel(slot);
        mark->setObjectName(QLatin1String(name));
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont small = mark->font();
        small.setPixelSize(11);
        mark->setFont(small);
    }
    mark->setText(text);
    mark->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1; border-radius: 3px;"
                                       " padding: 0px 3px; }")
                            .arg(colour.name()));
    mark->adjustSize();
    return mark;
}

} // namespace

void TfMain::markNearMatches()
{
    for (int i = 0; i < slotCount(); ++i) {
        const QString text = missMark(resultMisses(i));
        if (text.isEmpty())
            continue;
        PictureSlot* slot = slots_[size_t(i)];
        QLabel* mark = slotMark(slot, "NearMark", text, QColor(176, 96, 0));
        mark->move(2, slot->height() - mark->height() - 2);
        mark->show();
    }
}

void TfMain::markComparedSlots(const QList<int>& chosen)
{
    for (int i = 0; i < slotCount(); ++i) {
        PictureSlot* slot = slots_[size_t(i)];
        const bool marked = chosen.contains(i);
        QLabel* mark = slot->findChild<QLabel*>(QStringLiteral("CompareMark"), Qt::FindDirectChildrenOnly);
        if (!marked) {
            if (mark)
                mark->hide();
            continue;
        }
        mark = slotMark(slot, "CompareMark", QStringLiteral("比較"), QColor(29, 79, 145));
        mark->move(2, 2);
        mark->show();
    }
}

void TfMain::Compare1Click()
{
    const MainState& state = mainState();
    std::vector<int> records;
    if (Tf_p_list* list = Tf_p_list::instance(); list && state.resultMode)
        for (int row : list->compareSelection())
            if (row < state.resultRecords.size())
                records.push_back(state.resultRecords[row].toInt());
    if (records.size() < 2 || records.size() > size_t(TfCompare::MaxSpecies)) {
        showInformation(this, QStringLiteral("比較する植物を2～4種選んでください。\n"
                                             "検索結果の写真を Ctrl+クリックするか、植物名リストで"
                                             "Ctrl または Shift を押しながら名前をクリックします。"));
        return;
    }
    TfCompare::showFor(this, records);
}

void TfMain::showResultPictures(TfRun* run)
{
    const MainState& state = mainState();
    const int n = std::min(slotCount(), int(state.resultList.size()));
    // The first attempt for every picture runs on worker threads while this
    // thread keeps the progress window painted; retries then follow in
    // result order, with their pauses, as before.
    QStringList paths;
    for (int i = 0; i < n; ++i)
        paths.append(findPictureFile(folders(), state.resultList[i], 1));
    const int threads = std::max(1, std::min(QThread::idealThreadCount(), 4));
    const auto decoded = loadThumbnails(paths, &thumbnailCache(), threads, [run] {
        run->advance();
    });
    for (int i = 0; i < n; ++i) {
        if (decoded[size_t(i)]) {
            fitPicture(slots_[size_t(i)], decoded[size_t(i)]->image, decoded[size_t(i)]->fullSize);
            continue;
        }
        // A picture an earlier search gave up on, unchanged since, is not
        // tried again: it shows the placeholder, as after its fifth attempt.
        const QString& path = paths[i];
        if (!path.isEmpty() && thumbnailCache().broken(path, platform::fileAge(path))) {
            fitPicture(slots_[size_t(i)], placeholder_, placeholder_.size());
            continue;
        }
        int attempt = 0;
        int result = loadResultPicture(i, attempt);
        while (result == -1 && attempt < 4) {
            ++attempt;
            run->advance();
            retryPause(100 + 5 * int(QRandomGenerator::global()->bounded(100)));
            result = loadResultPicture(i, attempt);
        }
    }
}

void TfMain::ToolButton11Click()
{
    if (!pad_)
        return;
    if (toolButton(11)->isChecked()) {
        if (slotCount() > 0) {
            pad_->executeButton()->setText(QStringLiteral("変更"));
            pad_->show();
        }
    } else {
        pad_->hide();
    }
}
