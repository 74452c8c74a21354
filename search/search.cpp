#include "search/search.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <vector>

#include "app/ModalSeam.h"
#include "app/placement.h"
#include "app/state.h"
#include "data/DataRW.h"
#include "memo/MemoFile.h"
#include "search/guidance.h"
#include "search/padillustrations.h"

namespace {

constexpr int ClientWidth = 469;
constexpr int ClientHeight = 325;
constexpr int BarHeight = 35;
constexpr int MemoPage = 3;
constexpr int StripHeight = 26; // the aids' strip under the button bar
// With the aids, the season and colour boxes stand wider apart to leave
// room for their counts.
constexpr int AidsCheckLeft = 68;
constexpr int AidsCheckStep = 56;

struct Card {
    QRect rect; // in the picture's own coordinates
    padart::Subject subject;
    int value;
};

// One picture per panel (Image1..Image4): the cards of its illustrations
// drawn into a label that lies under the panel's radio buttons.
QLabel* makePicture(QWidget* parent, const char* name, const QRect& geometry, const std::vector<Card>& cards)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap picture(geometry.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    for (const Card& card : cards)
        padart::drawCard(painter, card.rect, card.subject, card.value);
    painter.end();
    label->setPixmap(picture);
    return label;
}

QFrame* makePanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(geometry);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->adjustSize();
    label->move(x, y);
    return label;
}

// The condition button of pad index `index`, named and captioned as the
// conditions table gives it.
QAbstractButton* makeButton(QWidget* parent, int index)
{
    const PadButton& entry = padButtons()[index];
    QAbstractButton* button = isRadioGroup(entry.group) ? static_cast<QAbstractButton*>(new QRadioButton(parent))
                                                        : static_cast<QAbstractButton*>(new QCheckBox(parent));
    button->setObjectName(QLatin1String(entry.control));
    button->setText(padCaption(index));
    button->adjustSize();
    return button;
}

// Places a button centred on centreX.
void placeCentred(QAbstractButton* button, int centreX, int y)
{
    button->move(centreX - button->width() / 2, y);
}

} // namespace

TfSearch::TfSearch(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fSearch"));
    setWindowTitle(QStringLiteral("検索パッド"));
    setFont(designFont());
    setFixedSize(ClientWidth, ClientHeight);

    pageControl1_ = new QTabWidget(this);
    pageControl1_->setObjectName(QStringLiteral("PageControl1"));
    pageControl1_->setGeometry(0, 0, ClientWidth, ClientHeight - BarHeight);
    pageControl1_->setUsesScrollButtons(false);

    auto addPage = [&](const char* name, const QString& caption) {
        auto* page = new QWidget;
        page->setObjectName(QLatin1String(name));
        pageControl1_->addTab(page, caption);
        return page;
    };
    buildFlowerPage(addPage("TabSheet1", QStringLiteral("花")));
    buildStemPage(addPage("TabSheet2", QStringLiteral("茎")));
    buildLeafPage(addPage("TabSheet3", QStringLiteral("葉")));
    QWidget* memoPage = addPage("TabSheet4", QStringLiteral("Memo"));
    memo1_ = new QPlainTextEdit(memoPage);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    auto* memoLayout = new QVBoxLayout(memoPage);
    memoLayout->setContentsMargins(0, 0, 0, 0);
    memoLayout->addWidget(memo1_);
    pageControl1_->setTabVisible(MemoPage, false);

    auto* panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->setGeometry(0, ClientHeight - BarHeight, ClientWidth, BarHeight);
    auto makeBarButton = [&](const char* name, const QString& caption, const QPixmap& glyph, int x) {
        auto* button = new QPushButton(QIcon(glyph), caption, panel1);
        button->setObjectName(QLatin1String(name));
        button->setGeometry(x, (BarHeight - 25) / 2, 90, 25);
        return button;
    };
    bitBtn1_ = makeBarButton("BitBtn1", QStringLiteral("検索実行"), padart::okGlyph(), 82);
    bitBtn2_ = makeBarButton("BitBtn2", QStringLiteral("キャンセル"), padart::cancelGlyph(), 190);
    bitBtn3_ = makeBarButton("BitBtn3", QStringLiteral("条件消去"), padart::clearGlyph(), 298);
    bitBtn1_->setDefault(true);

    collectPadIndex();
    buildAids();

    connect(bitBtn1_, &QPushButton::clicked, this, &TfSearch::executeClicked);
    connect(bitBtn2_, &QPushButton::clicked, this, &TfSearch::BitBtn2Click);
    connect(bitBtn3_, &QPushButton::clicked, this, [this] {
        const PadState before = padState();
        BitBtn3Click();
        if (padState() != before)
            ArCheckBox1Click();
    });
    connect(memo1_, &QPlainTextEdit::textChanged, this, &TfSearch::Memo1Change);
}

void TfSearch::buildFlowerPage(QWidget* page)
{
    makeLabel(page, "Label1", QStringLiteral("咲く季節"), 10, 9);
    for (int i = 0; i < 4; ++i)
        makeButton(page, PadSeasonFirst + i)->move(80 + 50 * i, 6);
    makeLabel(page, "Label2", QStringLiteral("系統色"), 10, 31);
    for (int i = 0; i < 6; ++i)
        makeButton(page, PadColourFirst + i)->move(80 + 50 * i, 28);
    makeLabel(page, "Label3", QStringLiteral("花の形"), 10, 54);

    // Two rows of five shapes, each card with its button under it; "不明"
    // below them.
    QFrame* panel5 = makePanel(page, "Panel5", QRect(6, 70, 449, 188));
    constexpr int column = 89, card = 56, rowHeight = 80, left = 2;
    std::vector<Card> cards;
    for (int shape = 1; shape <= 10; ++shape) {
        const int col = (shape - 1) % 5, row = (shape - 1) / 5;
        cards.push_back({QRect(col * column + (column - card) / 2, 2 + row * rowHeight, card, card),
                         padart::Subject::FlowerShape, shape});
    }
    makePicture(panel5, "Image1", QRect(left, 2, 5 * column, 2 * rowHeight), cards);
    for (const Card& c : cards)
        cards_[size_t(PadFlowerFirst + c.value - 1)] = c.rect.translated(left, 2);
    for (int shape = 1; shape <= 10; ++shape) {
        const int col = (shape - 1) % 5, row = (shape - 1) / 5;
        placeCentred(makeButton(panel5, PadFlowerFirst + shape - 1), left + col * column + column / 2,
                     2 + row * rowHeight + card + 3);
    }
    makeButton(panel5, PadFlowerUnknown)->move(12, 2 + 2 * rowHeight + 4);
}

void TfSearch::buildStemPage(QWidget* page)
{
    makeLabel(page, "Label4", QStringLiteral("茎の様子"), 10, 9);
    constexpr int column = 147, cardWidth = 128, cardHeight = 150, top = 28, left = 10;
    std::vector<Card> cards;
    for (int habit = 1; habit <= 3; ++habit)
        cards.push_back({QRect((habit - 1) * column + (column - cardWidth) / 2, 0, cardWidth, cardHeight),
                         padart::Subject::StemHabit, habit});
    makePicture(page, "Image2", QRect(left, top, 3 * column, cardHeight), cards);
    for (int habit = 1; habit <= 3; ++habit)
        placeCentred(makeButton(page, PadStemFirst + habit - 1), left + (habit - 1) * column + column / 2,
                     top + cardHeight + 6);
    makeButton(page, PadStemUnknown)->move(left + (column - cardWidth) / 2, top + cardHeight + 34);
}

void TfSearch::buildLeafPage(QWidget* page)
{
    // Leaf margin: a strip with the two leaves side by side.
    QFrame* panel2 = makePanel(page, "Panel2", QRect(6, 4, 449, 62));
    {
        constexpr int card = 54;
        const std::vector<Card> cards = {{QRect(82, 4, card, card), padart::Subject::LeafMargin, 0},
                                         {QRect(262, 4, card, card), padart::Subject::LeafMargin, 1}};
        makePicture(panel2, "Image3", QRect(0, 0, 449, 62), cards);
        makeLabel(panel2, "Label5", QStringLiteral("葉の縁"), 10, 8);
        QAbstractButton* toothed = makeButton(panel2, PadMarginToothed);
        toothed->move(82 + card + 8, (62 - toothed->height()) / 2);
        QAbstractButton* entire = makeButton(panel2, PadMarginEntire);
        entire->move(262 + card + 8, (62 - entire->height()) / 2);
    }

    // Leaf form: the label, two rows of four, "不明" below.
    QFrame* panel3 = makePanel(page, "Panel3", QRect(6, 70, 449, 188));
    {
        constexpr int column = 111, card = 50, rowHeight = 71, top = 20, left = 2;
        makeLabel(panel3, "Label6", QStringLiteral("葉の形"), 8, 4);
        std::vector<Card> cards;
        for (int shape = 1; shape <= 8; ++shape) {
            const int col = (shape - 1) % 4, row = (shape - 1) / 4;
            cards.push_back({QRect(col * column + (column - card) / 2, row * rowHeight, card, card),
                             padart::Subject::LeafShape, shape});
        }
        makePicture(panel3, "Image4", QRect(left, top, 4 * column, 2 * rowHeight), cards);
        for (const Card& c : cards)
            cards_[size_t(PadLeafFirst + c.value - 1)] = c.rect.translated(left, top);
        for (int shape = 1; shape <= 8; ++shape) {
            const int col = (shape - 1) % 4, row = (shape - 1) / 4;
            placeCentred(makeButton(panel3, PadLeafFirst + shape - 1), left + col * column + column / 2,
                         top + row * rowHeight + card + 2);
        }
        makeButton(panel3, PadLeafUnknown)->move(12, top + 2 * rowHeight + 4);
    }
}

void TfSearch::collectPadIndex()
{
    // Looked up by name, so the pad order is the table's whatever the order
    // in which the pages were built.
    for (int i = 0; i < PadButtonCount; ++i) {
        QAbstractButton* button = findChild<QAbstractButton*>(QLatin1String(padButtons()[i].control));
        Q_ASSERT(button);
        padIndex_[i] = button;
        connect(button, &QAbstractButton::clicked, this, &TfSearch::ArCheckBox1Click);
    }
    for (int g = 0; g < PadGroupCount; ++g) {
        const auto group = PadGroup(g);
        if (!isRadioGroup(group))
            continue;
        groups_[g] = new QButtonGroup(this);
        groups_[g]->setExclusive(true);
        for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
            groups_[g]->addButton(padIndex_[i], i);
    }
}

PadState TfSearch::padState() const
{
    PadState state{};
    for (int i = 0; i < PadButtonCount; ++i)
        state[i] = padIndex_[i]->isChecked();
    return state;
}

void TfSearch::setPadState(const PadState& state)
{
    // An exclusive group refuses to uncheck its checked button, so the
    // groups are opened while the buttons are set.
    settingState_ = true;
    for (QButtonGroup* group : groups_)
        if (group)
            group->setExclusive(false);
    for (int i = 0; i < PadButtonCount; ++i)
        padIndex_[i]->setChecked(state[i]);
    for (int g = 0; g < PadGroupCount; ++g) {
        if (!groups_[g])
            continue;
        // Keep at most one checked button per group: the last one.
        bool seen = false;
        for (int i = padGroupEnd(PadGroup(g)) - 1; i >= padGroupBegin(PadGroup(g)); --i) {
            if (padIndex_[i]->isChecked()) {
                if (seen)
                    padIndex_[i]->setChecked(false);
                seen = true;
            }
        }
        groups_[g]->setExclusive(true);
    }
    settingState_ = false;
    refreshAids();
}

void TfSearch::clearConditions()
{
    setPadState(PadState{});
}

void TfSearch::setMode(const QString& caption, const QString& okCaption)
{
    setWindowTitle(caption);
    bitBtn1_->setText(okCaption);
}

void TfSearch::showFlowerPage()
{
    pageControl1_->setCurrentIndex(0);
}

QString TfSearch::memoText() const
{
    return memo1_->toPlainText();
}

void TfSearch::setMemoText(const QString& text)
{
    fillingMemo_ = true;
    memo1_->setPlainText(text);
    memo1_->document()->setModified(false);
    fillingMemo_ = false;
}

bool TfSearch::memoModified() const
{
    return memo1_->document()->isModified();
}

bool TfSearch::showModalSearch(bool searchAids)
{
    if (isVisible())
        hide();
    setResult(QDialog::Rejected);
    // Correction and kind stepping disable the execute button of the
    // modeless pad; a pad opened to search or register always executes.
    bitBtn1_->setEnabled(true);
    setAidsShown(searchAids);
    modalShowing_ = true;
    const int result = modal().execDialog(this);
    modalShowing_ = false;
    setAidsShown(false);
    return result == QDialog::Accepted;
}

int TfSearch::exec()
{
    const bool wasModal = modalShowing_;
    modalShowing_ = true;
    const int result = QDialog::exec();
    modalShowing_ = wasModal;
    return result;
}

void TfSearch::FormShow()
{
    move(settings().searchLeft, settings().searchTop);
    // A position saved on a larger or another screen must not leave the pad
    // out of reach.
    placeForm(this);
    pageControl1_->setTabVisible(MemoPage, mainState().memoOnPad);
}

void TfSearch::FormHide()
{
    // Before its first show the pad has no position of its own; keep the
    // remembered one.
    if (!shownOnce_)
        return;
    settings().searchLeft = x();
    settings().searchTop = y();
}

bool TfSearch::BitBtn1Click()
{
    MainState& state = mainState();
    if (!state.memoOnPad)
        return true;

    QString error;
    if (memoDeferred_) {
        QByteArray bytes;
        if (memoModified() && !memoText().isEmpty() &&
            (state.defaultMemoPath.isEmpty() || !encodeMemoFile(state.defaultMemoPath, memoText(), bytes, &error))) {
            showError(this, error.isEmpty() ? QStringLiteral("この植物名ではメモファイルを作れません。") : error);
            return false;
        }
        return true;
    }
    switch (savePadMemo(state.memoPath, state.defaultMemoPath, memo1_->toPlainText(), memoModified(), &error)) {
    case PadMemoResult::Failed:
        // The memo stays on the page, still marked as modified, so the user
        // can change it and confirm again.
        showError(this, error);
        return false;
    case PadMemoResult::Saved:
        memo1_->document()->setModified(false);
        break;
    case PadMemoResult::Deleted:
    case PadMemoResult::Unchanged:
        break;
    }

    if (state.correctionMode) {
        // Until a species is chosen for correction there is no record to
        // store into.
        PlantTable& table = plantTable();
        if (state.currentSpecies < 1 || state.currentSpecies > table.plantCount())
            return false;
        storePadIntoRecord(padState(), table.record(state.currentSpecies));
        bitBtn1_->setEnabled(false);
        emit correctionConfirmed();
    }
    return true;
}

void TfSearch::executeClicked()
{
    if (!BitBtn1Click())
        return;
    if (modalShowing_)
        QDialog::accept();
}

void TfSearch::BitBtn2Click()
{
    if (mainState().correctionMode) {
        if (modalShowing_)
            QDialog::reject();
        else
            hide();
        emit restartCorrection();
        return;
    }
    if (modalShowing_)
        QDialog::reject();
}

void TfSearch::BitBtn3Click()
{
    clearConditions();
}

void TfSearch::Memo1Change()
{
    if (!fillingMemo_)
        bitBtn1_->setEnabled(true);
}

void TfSearch::ArCheckBox1Click()
{
    bitBtn1_->setEnabled(true);
}

void TfSearch::reject()
{
    BitBtn2Click();
}

void TfSearch::setVisible(bool visible)
{
    // Moved once it is on its way to the screen, the window would be
    // placed by its inside: a window manager that has not yet told the
    // program how wide its frame is then puts the frame that much higher
    // and further left, and the remembered position would creep up at
    // every start. Moved before, the position is the frame's, as for every
    // other window.
    if (visible && !isVisible())
        FormShow();
    QDialog::setVisible(visible);
}

void TfSearch::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        shownOnce_ = true;
}

void TfSearch::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TfSearch::closeEvent(QCloseEvent* event)
{
    // A modal display ends with Cancel; a modeless pad is only hidden.
    if (modalShowing_)
        QDialog::reject();
    event->accept();
}

// ---------------------------------------------------------------- aids

namespace {

const QColor CountColour(29, 79, 145);
const QColor MutedColour(150, 150, 150);

// The mark on the tab of the page whose question the hint suggests.
QIcon hintMark()
{
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap mark(QSize(10, 10) * ratio);
    mark.setDevicePixelRatio(ratio);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(160, 90, 0), 1));
    painter.setBrush(QColor(255, 170, 30));
    painter.drawEllipse(QRectF(1.5, 1.5, 7, 7));
    painter.end();
    return QIcon(mark);
}

} // namespace

QColor TfSearch::mutedCaptionColour()
{
    return MutedColour;
}

void TfSearch::buildAids()
{
    QFont small = font();
    small.setPixelSize(10);
    for (int i = 0; i < PadFlowerFirst; ++i)
        checkPositions_[size_t(i)] = padIndex_[size_t(i)]->pos();
    for (int i = 0; i < PadButtonCount; ++i) {
        auto* label = new QLabel(padIndex_[size_t(i)]->parentWidget());
        label->setObjectName(QStringLiteral("Count") + QLatin1String(padButtons()[size_t(i)].control));
        label->setFont(small);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->hide();
        countLabels_[size_t(i)] = label;
        // A radio button chosen unchecks the group's other one: the aids
        // follow the checked one only, once per click.
        const bool radio = isRadioGroup(padButtons()[size_t(i)].group);
        connect(padIndex_[size_t(i)], &QAbstractButton::toggled, this, [this, radio](bool checked) {
            if (!settingState_ && (checked || !radio))
                refreshAids();
        });
    }

    aidsStrip_ = new QFrame(this);
    aidsStrip_->setObjectName(QStringLiteral("AidsPanel"));
    // Below the button bar, like a status bar: the pages and the buttons
    // stay where they are.
    aidsStrip_->setGeometry(0, ClientHeight, ClientWidth, StripHeight);
    auto* strip = new QHBoxLayout(aidsStrip_);
    strip->setContentsMargins(10, 2, 10, 2);
    foundLabel_ = new QLabel(aidsStrip_);
    foundLabel_->setObjectName(QStringLiteral("FoundLabel"));
    QFont bold = font();
    bold.setBold(true);
    foundLabel_->setFont(bold);
    strip->addWidget(foundLabel_);
    strip->addStretch(1);
    auto* toleranceLabel = new QLabel(QStringLiteral("一致しない条件を許す:"), aidsStrip_);
    toleranceLabel->setObjectName(QStringLiteral("ToleranceLabel"));
    strip->addWidget(toleranceLabel);
    toleranceBox_ = new QComboBox(aidsStrip_);
    toleranceBox_->setObjectName(QStringLiteral("ToleranceBox"));
    for (int t = 0; t <= MaxTolerance; ++t)
        toleranceBox_->addItem(QString::number(t));
    toleranceLabel->setBuddy(toleranceBox_);
    strip->addWidget(toleranceBox_);
    aidsStrip_->hide();
    connect(toleranceBox_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index < 0)
            return;
        settings().searchTolerance = index;
        refreshAids();
    });

    hintLabel_ = new QLabel(pageControl1_);
    hintLabel_->setObjectName(QStringLiteral("HintLabel"));
    hintLabel_->setContentsMargins(0, 0, 6, 0);
    pageControl1_->setCornerWidget(hintLabel_, Qt::TopRightCorner);
    hintLabel_->hide();
}

void TfSearch::setAidsShown(bool shown)
{
    aidsShown_ = shown;
    const int extra = shown ? StripHeight : 0;
    setFixedSize(ClientWidth, ClientHeight + extra);
    aidsStrip_->setVisible(shown);
    hintLabel_->setVisible(shown);
    for (int i = 0; i < PadFlowerFirst; ++i) {
        const QPoint design = checkPositions_[size_t(i)];
        const int column = i < PadColourFirst ? i - PadSeasonFirst : i - PadColourFirst;
        padIndex_[size_t(i)]->move(shown ? QPoint(AidsCheckLeft + AidsCheckStep * column, design.y()) : design);
    }
    if (shown) {
        const QSignalBlocker quiet(toleranceBox_);
        toleranceBox_->setCurrentIndex(validTolerance(settings().searchTolerance));
        refreshAids();
        return;
    }
    for (int i = 0; i < PadButtonCount; ++i) {
        countLabels_[size_t(i)]->hide();
        padIndex_[size_t(i)]->setProperty("muted", false);
        padIndex_[size_t(i)]->setPalette(QPalette());
    }
    for (int page = 0; page < pageControl1_->count(); ++page)
        pageControl1_->setTabIcon(page, QIcon());
    hintLabel_->clear();
    markedPage_ = -1;
}

void TfSearch::refreshAids()
{
    if (!aidsShown_)
        return;
    const PadState pad = padState();
    const int tolerance = validTolerance(settings().searchTolerance);
    const PlantTable& table = plantTable();
    const PadCounts counts = padCounts(table, pad, tolerance);
    foundLabel_->setText(QStringLiteral("該当 %1 種").arg(counts.found));
    for (int i = 0; i < PadButtonCount; ++i) {
        const int n = counts.ifChosen[size_t(i)];
        QLabel* label = countLabels_[size_t(i)];
        label->setText(QString::number(n));
        // Restyled only when the colour changes: restyling is the slow part.
        const QString colour = (n ? CountColour : MutedColour).name();
        if (label->property("colour").toString() != colour) {
            label->setProperty("colour", colour);
            label->setStyleSheet(QStringLiteral("QLabel { color: %1; background: rgba(255, 255, 255, 210);"
                                                " border-radius: 3px; padding: 0px 1px; }")
                                     .arg(colour));
        }
        placeCountLabel(i);
        label->show();
        QAbstractButton* button = padIndex_[size_t(i)];
        const bool muted = n == 0;
        if (button->property("muted").toBool() != muted) {
            button->setProperty("muted", muted);
            QPalette palette;
            if (muted) {
                palette = button->palette();
                palette.setColor(QPalette::WindowText, MutedColour);
                palette.setColor(QPalette::ButtonText, MutedColour);
            }
            button->setPalette(palette);
        }
    }

    const std::optional<PadGroup> next = nextQuestion(table, pad, tolerance);
    hintLabel_->setText(next ? nextQuestionHint(*next) : QString());
    markedPage_ = next ? groupPage(*next) : -1;
    static const QIcon mark = hintMark();
    for (int page = 0; page < pageControl1_->count(); ++page)
        pageControl1_->setTabIcon(page, page == markedPage_ ? mark : QIcon());
}

void TfSearch::placeCountLabel(int index)
{
    QLabel* label = countLabels_[size_t(index)];
    label->adjustSize();
    const QRect card = cards_[size_t(index)];
    if (card.isValid()) {
        // The bottom right corner of the illustration, just above the
        // button: the column leaves no room beside it.
        label->move(card.right() + 1 - label->width(), card.bottom() + 1 - label->height());
    } else {
        const QRect button = padIndex_[size_t(index)]->geometry();
        label->move(button.right() + 1, button.y() + (button.height() - label->height()) / 2);
    }
    label->raise();
}
