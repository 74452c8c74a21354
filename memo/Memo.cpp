#include "memo/Memo.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/ModalSeam.h"
#include "app/main.h"
#include "app/placement.h"
#include "app/state.h"
#include "images/ImageView.h"
#include "images/viewerglyphs.h"
#include "memo/MemoFile.h"

namespace {

QPointer<TfMemo> gMemo;

// The memo's text box. A read-only QPlainTextEdit zooms on Ctrl+wheel,
// which would change the memo's font behind the font dialog's back (and the
// zoomed size would be stored); here the wheel only ever scrolls.
class MemoText : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void wheelEvent(QWheelEvent* e) override
    {
        if (!(e->modifiers() & Qt::ControlModifier)) {
            QPlainTextEdit::wheelEvent(e);
            return;
        }
        QWheelEvent plain(e->position(), e->globalPosition(), e->pixelDelta(), e->angleDelta(), e->buttons(),
                          e->modifiers() & ~Qt::ControlModifier, e->phase(), e->inverted(), e->source(),
                          e->pointingDevice());
        QPlainTextEdit::wheelEvent(&plain);
        e->setAccepted(plain.isAccepted());
    }
};

} // namespace

TfMemo::TfMemo(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fMemo"));
    buildWindow();
    gMemo = this;
    FormCreate();
}

TfMemo::~TfMemo() = default;

void TfMemo::buildWindow()
{
    setWindowTitle(QStringLiteral("メモ欄"));
    resize(429, 249);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    toolBar1_ = makeToolBar(this);
    toolBar1_->addSeparator();
    const struct {
        int number;
        const char* hint;
        int glyph;
    } buttons[] = {{4, "文字属性 変更", 0}, {5, "背景色 変更", 1}};
    for (const auto& entry : buttons)
        addToolButton(toolBar1_, entry.number, QString::fromUtf8(entry.hint), memoToolGlyph(entry.glyph));
    layout->addWidget(toolBar1_);
    connect(toolButton(4), &QToolButton::clicked, this, &TfMemo::ToolButton4Click);
    connect(toolButton(5), &QToolButton::clicked, this, &TfMemo::ToolButton5Click);

    // The memo is edited on the search pad, never here: the text box shows
    // it read-only, takes no focus and no mouse selection, but scrolls by
    // its scroll bars and the wheel.
    panel1_ = new QFrame(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* inner = new QVBoxLayout(panel1_);
    inner->setContentsMargins(1, 1, 1, 1);
    memo1_ = new MemoText(panel1_);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setReadOnly(true);
    memo1_->setTextInteractionFlags(Qt::NoTextInteraction);
    memo1_->setFocusPolicy(Qt::NoFocus);
    memo1_->setContextMenuPolicy(Qt::NoContextMenu);
    memo1_->setAcceptDrops(false);
    inner->addWidget(memo1_);
    layout->addWidget(panel1_, 1);
}

QToolButton* TfMemo::toolButton(int number) const
{
    return findToolButton(this, number);
}

TfMemo* TfMemo::instance()
{
    return gMemo.data();
}

void TfMemo::release()
{
    delete gMemo.data();
}

QColor TfMemo::textColour() const
{
    return memo1_->palette().color(QPalette::Active, QPalette::Text);
}

QColor TfMemo::backgroundColour() const
{
    return memo1_->palette().color(QPalette::Active, QPalette::Base);
}

void TfMemo::setColours(const QColor& text, const QColor& background)
{
    // Every colour group alike, so the text keeps its colours while the
    // window is inactive (as it mostly is, beside the viewer).
    QPalette p = memo1_->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, background);
    memo1_->setPalette(p);
}

void TfMemo::FormCreate()
{
    const Settings& s = settings();
    // Position and size are the frame's (the outer size, as the settings
    // keep it).
    const QPoint topLeft(s.memoLeft, s.memoTop);
    const QSize size(s.memoWidth, s.memoHeight);
    const QPoint frame = geometry().topLeft() - frameGeometry().topLeft();
    if (!frame.isNull()) {
        // Shown before (perhaps hidden now): it knows its frame, so place its
        // inside by it. A move() of a hidden window would leave the frame
        // geometry behind until the next showing, and the placement on
        // showing would then shift the window by the frame's width.
        setGeometry(QRect(topLeft + frame, size - (frameGeometry().size() - this->size())));
    } else {
        move(topLeft);
        setOuterSize(this, size);
    }
    if (TfImageView* viewer = TfImageView::instance())
        setWindowTitle(viewer->viewName());

    setColours(colourFromSetting(s.memoColor), colourFromSetting(s.memoBgColor));
    QFont font;
    font.setFamily(s.memoName);
    if (s.memoSize > 0)
        font.setPointSize(s.memoSize);
    font.setBold(s.memoBold);
    font.setItalic(s.memoItalic);
    font.setUnderline(s.memoUnder);
    font.setStrikeOut(s.memoStrike);
    memo1_->setFont(font);

    const QString path = mainState().memoPath;
    if (path.isEmpty()) {
        memo1_->clear();
        return;
    }
    QStringList lines;
    if (!readMemoLines(path, lines)) {
        // The text box keeps what it showed before.
        showError(this, QStringLiteral("メモファイルを読み込めません。\n\n%1").arg(path));
        return;
    }
    memo1_->setPlainText(lines.join(QLatin1Char('\n')));
}

void TfMemo::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    // Restoring from the task bar is not a new showing.
    if (!e->spontaneous())
        FormShow();
}

void TfMemo::FormShow()
{
    placeForm(this);
}

void TfMemo::closeEvent(QCloseEvent* e)
{
    FormCloseQuery();
    e->accept();
}

void TfMemo::FormCloseQuery()
{
    storeMemoSettings();
}

void TfMemo::storeMemoSettings()
{
    Settings& s = settings();
    const QSize outer = outerSize(this);
    s.memoWidth = outer.width();
    s.memoHeight = outer.height();
    const QFont font = memo1_->font();
    s.memoColor = settingFromColour(textColour(), s.memoColor);
    s.memoName = font.family();
    // A font chosen in the dialog may be given in pixels; keep its size in
    // points all the same.
    const int points = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    if (points > 0)
        s.memoSize = points;
    s.memoBold = font.bold();
    s.memoItalic = font.italic();
    s.memoUnder = font.underline();
    s.memoStrike = font.strikeOut();
    s.memoBgColor = settingFromColour(backgroundColour(), s.memoBgColor);
}

void TfMemo::ToolButton4Click()
{
    // The memo's font name may be one this machine knows only through a
    // substitute ("ＭＳ Ｐゴシック" drawn in an IPA gothic, say). The dialog
    // lists installed families only, so it is preset with the family
    // actually drawn; and unless the user picks another family, the memo
    // keeps its own name, so that changing only the size or the colour
    // does not swap the font.
    const QFont current = memo1_->font();
    const QString drawn = QFontInfo(current).family();
    QFont font = current;
    font.setFamily(drawn);
    QColor colour = textColour();
    if (modal().chooseFont(this, font, colour)) {
        if (font.family() == drawn)
            font.setFamily(current.family());
        memo1_->setFont(font);
        setColours(colour, backgroundColour());
    }
}

void TfMemo::ToolButton5Click()
{
    QColor colour = backgroundColour();
    if (modal().chooseColour(this, colour))
        setColours(textColour(), colour);
}

void selectMemoFile(const QString& name)
{
    const Settings& s = settings();
    MainState& state = mainState();
    state.defaultMemoPath = memoFileName(s.hddDir, name);
    state.memoPath = selectMemoFile(s.cdDir, s.hddDir, name);
}

void refreshMemoWindow()
{
    const bool hasMemo = !mainState().memoPath.isEmpty();
    if (TfMemo* memo = gMemo.data()) {
        Settings& s = settings();
        s.memoLeft = memo->x();
        s.memoTop = memo->y();
        memo->storeMemoSettings();
        if (hasMemo)
            memo->FormCreate();
        else
            TfMemo::release();
    } else if (hasMemo) {
        new TfMemo(fMain());
    }
    if (hasMemo) {
        TfMemo* memo = gMemo.data();
        memo->show();
        memo->raise();
    }
}
