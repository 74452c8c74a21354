#include "app/placement.h"
#include "images/ImageView.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ModalSeam.h"
#include "app/main.h"
#include "app/state.h"
#include "data/DataRW.h"
#include "images/FixView.h"
#include "images/pictures.h"
#include "images/viewerglyphs.h"
#include "memo/Memo.h"

namespace {

QPointer<TfImageView> gViewer;

// Tool bar buttons left to right: number, hint, glyph; a separator goes
// before each button that starts a group.
struct ToolEntry {
    int number;
    const char* hint;
    int glyph;
    bool separatorBefore;
};
const ToolEntry toolEntries[] = {
    {2, "画像表示終了", 0, true},
    {4, "前の種類", 1, true},
    {5, "前画像", 2, false},
    {6, "次画像", 3, false},
    {7, "次の種類", 4, false},
    {11, "画像を別窓に表示", 5, true},
    {9, "窓の大きさを画像に合わせる", 7, true},
};

// The record number of result `kind`, or 0 when there is no such entry or
// it is not a number.
int recordOfResult(int kind)
{
    const QStringList& records = mainState().resultRecords;
    if (kind < 0 || kind >= records.size())
        return 0;
    bool ok = false;
    const int record = records[kind].trimmed().toInt(&ok);
    return ok ? record : 0;
}

// The picture count of a record; 0 for a number outside the table's slots.
int pictureCountOf(int record)
{
    if (record < 1 || record > MaxPlants)
        return 0;
    return plantTable().record(record).pictureCount;
}

} // namespace

TfImageView::TfImageView(int viewKind, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fImageView"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    gViewer = this;
    FormCreate(viewKind);
}

TfImageView::~TfImageView() = default;

void TfImageView::buildWindow()
{
    resize(306, 346);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar1_ = makeToolBar(this);
    for (const ToolEntry& entry : toolEntries) {
        if (entry.separatorBefore)
            toolBar1_->addSeparator();
        addToolButton(toolBar1_, entry.number, QString::fromUtf8(entry.hint), viewerToolGlyph(entry.glyph))
            ->setFixedHeight(25);
    }
    toolBar1_->setFixedHeight(toolBar1_->sizeHint().height());
    layout->addWidget(toolBar1_);

    QToolButton* fit = toolButton(9);
    fit->setCheckable(true);
    fit->setChecked(true);

    connect(toolButton(2), &QToolButton::clicked, this, &TfImageView::ToolButton2Click);
    connect(toolButton(4), &QToolButton::clicked, this, &TfImageView::ToolButton4Click);
    connect(toolButton(5), &QToolButton::clicked, this, &TfImageView::ToolButton5Click);
    connect(toolButton(6), &QToolButton::clicked, this, &TfImageView::ToolButton6Click);
    connect(toolButton(7), &QToolButton::clicked, this, &TfImageView::ToolButton7Click);
    connect(fit, &QToolButton::clicked, this, &TfImageView::ToolButton9Click);
    connect(toolButton(11), &QToolButton::clicked, this, &TfImageView::ToolButton11Click);

    scrollBox1_ = new QScrollArea(this);
    scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    // A two-pixel frame: a picture with 5 pixels to spare fits without
    // scroll bars.
    scrollBox1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scrollBox1_->setLineWidth(2);
    scrollBox1_->setWidgetResizable(false);
    scrollBox1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_ = new QLabel;
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->resize(0, 0);
    scrollBox1_->setWidget(image1_);
    layout->addWidget(scrollBox1_, 1);
}

QToolButton* TfImageView::toolButton(int number) const
{
    return findToolButton(this, number);
}

TfImageView* TfImageView::instance()
{
    return gViewer.data();
}

void TfImageView::openOn(int viewKind)
{
    if (TfImageView* v = gViewer.data()) {
        Settings& s = settings();
        s.imageLeft = v->x();
        s.imageTop = v->y();
        v->FormCreate(viewKind);
    } else {
        new TfImageView(viewKind, fMain());
    }
    TfImageView* v = gViewer.data();
    v->show();
    v->raise();
    v->activateWindow();
}

void TfImageView::release()
{
    delete gViewer.data();
}

void TfImageView::FormCreate(int viewKind)
{
    const Settings& s = settings();
    move(s.imageLeft, s.imageTop);
    toolButton(9)->setChecked(s.imageAutoSize);
    viewKind_ = viewKind;
    viewKindCount_ = int(mainState().resultList.size());
    takeKind();
    // Restarting on another species must not leave the picture buttons as
    // the previous species left them.
    enablePictureButtons();
    showViewerPicture();
    ToolButton9Click();
    // The remembered place may be off screen since the monitors changed.
    // Placed once the size is settled, so that a restart on a smaller
    // picture keeps its place.
    placeForm(this);
}

void TfImageView::takeKind()
{
    const QStringList& names = mainState().resultList;
    viewRecord_ = recordOfResult(viewKind_);
    viewPicture_ = 1;
    viewPictureCount_ = pictureCountOf(viewRecord_);
    viewName_ = viewKind_ >= 0 && viewKind_ < names.size() ? names[viewKind_] : QString();
    setWindowTitle(viewName_);
}

void TfImageView::enablePictureButtons()
{
    // A species with one picture (or, from a damaged table, none) has
    // nothing to step through.
    const bool several = viewPictureCount_ > 1;
    toolButton(5)->setEnabled(several);
    toolButton(6)->setEnabled(several);
}

void TfImageView::showViewerPicture()
{
    setWindowTitle(viewName_ + QStringLiteral(" [") + QString::number(viewPicture_) + QLatin1Char('/') +
                   QString::number(viewPictureCount_) + QLatin1Char(']'));
    const Settings& s = settings();
    const QString path =
        viewPictureCount_ > 0 ? findPictureFile(PictureFolders{s.cdDir, s.hddDir}, viewName_, viewPicture_) : QString();
    if (path.isEmpty()) {
        viewBitmap_ = missingPicture();
    } else {
        Bitmap24 bitmap;
        QString why;
        if (!loadPictureFile(path, bitmap, &why)) {
            // The previous picture stays on display; only the caption moved on.
            showError(this, QStringLiteral("画像ファイルを読み込めません。\n\n%1\n\n%2").arg(why, path));
            return;
        }
        viewBitmap_ = bitmap.toImage();
    }
    image1_->setPixmap(QPixmap::fromImage(viewBitmap_));
    image1_->resize(viewBitmap_.size());
    fitViewerToPicture();
}

void TfImageView::fitViewerToPicture()
{
    if (toolButton(9)->isChecked() || viewBitmap_.isNull())
        return;
    // A picture too large for the screen pushes the window to the screen's
    // edge; the next picture that fits shows where the user had put it, as
    // long as the window has not been moved since.
    const QPoint wanted = pushedTo_ && pos() == *pushedTo_ ? userPlace_ : pos();
    resize(viewBitmap_.width() + 5, viewBitmap_.height() + toolBar1_->height() + 5);
    move(wanted);
    // A large picture must not push the window past the screen's edges.
    placeForm(this);
    if (pos() != wanted) {
        userPlace_ = wanted;
        pushedTo_ = pos();
    } else {
        pushedTo_.reset();
    }
}

void TfImageView::ToolButton2Click()
{
    close();
    TfMemo::release();
}

void TfImageView::ToolButton5Click()
{
    if (viewPictureCount_ <= 1)
        return;
    viewPicture_ = viewPicture_ <= 1 ? viewPictureCount_ : viewPicture_ - 1;
    showViewerPicture();
}

void TfImageView::ToolButton6Click()
{
    if (viewPictureCount_ <= 1)
        return;
    viewPicture_ = viewPicture_ >= viewPictureCount_ ? 1 : viewPicture_ + 1;
    showViewerPicture();
}

void TfImageView::ToolButton4Click()
{
    if (viewKindCount_ <= 1)
        return;
    viewKind_ = viewKind_ <= 0 || viewKind_ > viewKindCount_ ? viewKindCount_ - 1 : viewKind_ - 1;
    changeKind();
}

void TfImageView::ToolButton7Click()
{
    if (viewKindCount_ <= 1)
        return;
    viewKind_ = viewKind_ + 1 >= viewKindCount_ || viewKind_ < 0 ? 0 : viewKind_ + 1;
    changeKind();
}

void TfImageView::changeKind()
{
    if (links().selectListEntry)
        links().selectListEntry(viewKind_);
    takeKind();
    enablePictureButtons();
    if (TfMain* m = fMain())
        m->selectPicture(viewKind_);
    showViewerPicture();
    selectMemoFile(viewName_);
    refreshMemoWindow();
}

void TfImageView::ToolButton9Click()
{
    QToolButton* fit = toolButton(9);
    fit->setIcon(viewerToolGlyph(fit->isChecked() ? 7 : 6));
    if (!fit->isChecked())
        fitViewerToPicture();
    settings().imageAutoSize = fit->isChecked();
}

void TfImageView::ToolButton11Click()
{
    auto* w = new TfFixView(windowTitle(), image1_->pixmap().toImage(), !toolButton(9)->isChecked(), fMain());
    w->show();
}

void TfImageView::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Placed again now that the window has its frame; restoring from the
    // task bar is not a new showing.
    if (!e->spontaneous())
        placeForm(this);
}

void TfImageView::closeEvent(QCloseEvent* e)
{
    FormCloseQuery();
    e->accept();
    FormClose();
}

void TfImageView::FormCloseQuery()
{
    Settings& s = settings();
    s.imageLeft = x();
    s.imageTop = y();
    viewBitmap_ = QImage();
}

void TfImageView::FormClose()
{
    // The window deletes itself once the close ends; from now on a new
    // opening creates a new viewer.
    if (gViewer == this)
        gViewer = nullptr;
}

void openSpecies(int index)
{
    const MainState& state = mainState();
    if (index < 0 || index >= state.resultList.size())
        return;
    selectMemoFile(state.resultList[index]);
    TfImageView::openOn(index);
    refreshMemoWindow();
}

void connectViewerLinks()
{
    links().openSpecies = openSpecies;
}
