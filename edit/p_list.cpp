#include "edit/p_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QSplitter>
#include <QTextDocument>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "app/ModalSeam.h"
#include "app/main.h"
#include "app/placement.h"
#include "app/state.h"
#include "data/DataRW.h"
#include "edit/conditiontree.h"
#include "edit/input.h"
#include "edit/names.h"
#include "images/pictures.h"
#include "memo/MemoFile.h"
#include "search/guidance.h"
#include "search/search.h"

namespace {

Tf_p_list* gList = nullptr;

const QString CdRomRenameMessage = QStringLiteral("CD-ROM内の植物名は変更できません。");

constexpr int ButtonGap = 8;

// The names list: entries flow from top to bottom and wrap into columns a
// quarter of the list's width, scrolling sideways. A selection moved with
// the keyboard counts as a click, as it does with the mouse.
class NameList : public QListWidget {
public:
    explicit NameList(QWidget* parent)
        : QListWidget(parent)
    {
        setViewMode(QListView::ListMode);
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    static constexpr int Columns = 4;
    std::function<void()> keyMoved;

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        QListWidget::resizeEvent(e);
        setGridSize(QSize(std::max(1, viewport()->width() / Columns), fontMetrics().height() + 2));
    }
    // A name wider than its column is cut with "…"; hovering shows it whole.
    bool viewportEvent(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(e);
            const QListWidgetItem* item = itemAt(help->pos());
            if (item)
                QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(item->text(), Qt::WhiteSpaceNoWrap),
                                   viewport(), visualItemRect(item));
            else
                QToolTip::hideText();
            return true;
        }
        return QListWidget::viewportEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        QListWidgetItem* before = currentItem();
        QListWidget::keyPressEvent(e);
        if (currentItem() != before && keyMoved)
            keyMoved();
    }
};

// A name of the result list with, for a near match, the number of its
// differences after it ("1", "2" in a small box); the name itself is the
// entry's text, unchanged.
class MissCountDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int misses = index.data(Tf_p_list::MissRole).toInt();
        if (misses <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QString badge = QString::number(misses);
        const int badgeWidth = option.fontMetrics.horizontalAdvance(badge) + 8;
        QStyleOptionViewItem named = option;
        named.rect.setRight(option.rect.right() - badgeWidth - 2);
        QStyledItemDelegate::paint(painter, named, index);
        const QRect box(named.rect.right() + 2, option.rect.top() + 1, badgeWidth, option.rect.height() - 2);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(176, 96, 0));
        painter->drawRoundedRect(box, 3, 3);
        painter->setPen(Qt::white);
        painter->drawText(box, Qt::AlignCenter, badge);
        painter->restore();
    }
};

void addNodes(QTreeWidgetItem* parent, const ConditionNode& node)
{
    for (const ConditionNode& child : node.children) {
        auto* item = new QTreeWidgetItem(parent, QStringList{child.text});
        addNodes(item, child);
    }
}

// Loads record `record`'s registered attributes and memo into `pad`, for a
// list that runs without the main window (which otherwise does this).
void loadKindIntoPad(TfSearch* pad, int record)
{
    const PlantTable& table = plantTable();
    if (!pad || record < 1 || record > table.plantCount())
        return;
    const PlantRecord& r = table.record(record);
    pad->clearConditions();
    pad->setPadState(padFromRecord(r));
    MainState& state = mainState();
    state.memoPath = selectMemoFile(settings().cdDir, settings().hddDir, r.name);
    state.defaultMemoPath = memoFileName(settings().hddDir, r.name);
    QString text;
    if (state.memoOnPad && !state.memoPath.isEmpty())
        readMemoFile(state.memoPath, text);
    pad->setMemoText(text);
}

} // namespace

// ---------------------------------------------------------------- window

Tf_p_list::Tf_p_list(QWidget* owner, TfSearch* pad)
    : QDialog(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                         Qt::WindowCloseButtonHint)
    , pad_(pad)
{
    setObjectName(QStringLiteral("f_p_list"));
    setWindowTitle(QStringLiteral("植物名リスト"));
    resize(560, 330);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    splitter1_ = new QSplitter(Qt::Horizontal, this);
    splitter1_->setObjectName(QStringLiteral("Splitter1"));
    splitter1_->setChildrenCollapsible(false);

    treeView1_ = new QTreeWidget(splitter1_);
    treeView1_->setObjectName(QStringLiteral("TreeView1"));
    treeView1_->setHeaderHidden(true);
    treeView1_->setRootIsDecorated(false);
    treeView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeView1_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* names = new NameList(splitter1_);
    listBox1_ = names;
    listBox1_->setObjectName(QStringLiteral("ListBox1"));

    splitter1_->addWidget(treeView1_);
    splitter1_->addWidget(listBox1_);
    splitter1_->setStretchFactor(0, 0);
    splitter1_->setStretchFactor(1, 1);
    splitter1_->setSizes({150, 410});
    layout->addWidget(splitter1_, 1);

    panel1_ = new QWidget(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setFixedHeight(41);
    layout->addWidget(panel1_);

    auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, panel1_);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 8, 90, 25);
        // A button with the focus answers Enter itself.
        b->setAutoDefault(true);
        return b;
    };
    bitBtn1_ = button("BitBtn1", QStringLiteral("OK"), 230);
    // Otherwise Enter is OK: on a selected entry it opens the species (the
    // result list) or chooses it (the chooser), as a double-click does. The
    // names list passes Enter on to the window.
    bitBtn1_->setDefault(true);
    bitBtn2_ = button("BitBtn2", QStringLiteral("キャンセル"), 330);
    bitBtn3_ = button("BitBtn3", QStringLiteral("新 規"), 8);
    bitBtn4_ = button("BitBtn4", QStringLiteral("植物名変更"), 108);
    bitBtn3_->hide();
    bitBtn4_->hide();

    connect(listBox1_, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    names->keyMoved = [this] { ListBox1Click(); };
    connect(listBox1_, &QListWidget::itemDoubleClicked, this, [this] { ListBox1DblClick(); });
    connect(bitBtn1_, &QPushButton::clicked, this, &Tf_p_list::BitBtn1Click);
    connect(bitBtn2_, &QPushButton::clicked, this, &Tf_p_list::BitBtn2Click);
    connect(bitBtn3_, &QPushButton::clicked, this, &Tf_p_list::BitBtn3Click);
    connect(bitBtn4_, &QPushButton::clicked, this, &Tf_p_list::BitBtn4Click);

    gList = this;
    FormCreate();
}

Tf_p_list::~Tf_p_list()
{
    if (gList == this)
        gList = nullptr;
}

TfSearch* Tf_p_list::pad() const
{
    if (pad_)
        return pad_;
    return fMain() ? fMain()->searchPad() : nullptr;
}

void Tf_p_list::FormCreate()
{
    move(settings().listLeft, settings().listTop);
    const MainState& state = mainState();
    if (state.resultMode)
        return;
    showChooserButtons(state.correctionMode);
}

void Tf_p_list::showChooserButtons(bool rename)
{
    if (rename) {
        bitBtn4_->move(bitBtn3_->x(), bitBtn4_->y());
        bitBtn3_->hide();
        bitBtn4_->show();
    } else {
        bitBtn3_->show();
        bitBtn4_->hide();
    }
}

void Tf_p_list::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void Tf_p_list::FormShow()
{
    placeForm(this);
    if (layout())
        layout()->activate();

    // OK and cancel side by side in the middle of the panel.
    const int left = (panel1_->width() - (bitBtn1_->width() + bitBtn2_->width()) - ButtonGap) / 2;
    bitBtn1_->move(left, bitBtn1_->y());
    bitBtn2_->move(left + bitBtn1_->width() + ButtonGap, bitBtn2_->y());

    PadState state{};
    if (TfSearch* p = pad())
        state = p->padState();
    const ConditionNode tree = conditionTree(state, tag_ != 0);
    treeView1_->clear();
    auto* root = new QTreeWidgetItem(treeView1_, QStringList{tree.text});
    addNodes(root, tree);
    treeView1_->expandAll();
}

int Tf_p_list::selectedIndex() const
{
    QListWidgetItem* item = listBox1_->currentItem();
    if (!item || !item->isSelected())
        return -1;
    return listBox1_->row(item);
}

void Tf_p_list::selectEntry(int index)
{
    if (index < 0 || index >= listBox1_->count())
        return;
    selecting_ = true;
    const bool inMultiple = listBox1_->item(index)->isSelected() && listBox1_->selectedItems().size() > 1;
    if (inMultiple)
        listBox1_->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    else
        listBox1_->setCurrentRow(index);
    listBox1_->scrollToItem(listBox1_->item(index));
    selecting_ = false;
}

QList<int> Tf_p_list::compareSelection() const
{
    QList<int> rows;
    for (const QModelIndex& index : listBox1_->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Tf_p_list::toggleEntry(int index)
{
    if (index < 0 || index >= listBox1_->count())
        return;
    selecting_ = true;
    toggling_ = true;
    listBox1_->selectionModel()->select(listBox1_->model()->index(index, 0), QItemSelectionModel::Toggle);
    toggling_ = false;
    selecting_ = false;
}

QStringList Tf_p_list::entryNames(int except) const
{
    QStringList out;
    for (int i = 0; i < listBox1_->count(); ++i) {
        if (i == except)
            continue;
        out << listBox1_->item(i)->text();
        if (i == renamedIndex_)
            out << renamedFrom_;
    }
    return out;
}

void Tf_p_list::abandonRename()
{
    if (renamedIndex_ >= 0 && renamedIndex_ < listBox1_->count())
        listBox1_->item(renamedIndex_)->setText(renamedFrom_);
    renamedIndex_ = -1;
    renamedFrom_.clear();
    newName.clear();
}

void Tf_p_list::ListBox1Click()
{
    if (selecting_)
        return;
    const int k = selectedIndex();
    if (tag_ != 0) {
        if (k >= 0 && fMain())
            fMain()->selectPicture(k);
        return;
    }
    // A new name typed for one species is not carried over to another: the
    // rename is done on the entry selected when the chooser closes.
    if (renamedIndex_ >= 0 && renamedIndex_ != k)
        abandonRename();
    if (k < 0)
        return;
    // The main window shows the species on its own pad; a list given a pad
    // of its own loads the species into that one.
    if (fMain() && (!pad_ || pad_ == fMain()->searchPad()))
        fMain()->showKindOnPad(k + 1);
    else
        loadKindIntoPad(pad_, k + 1);
    FormShow();
}

void Tf_p_list::ListBox1DblClick()
{
    const int k = selectedIndex();
    if (k < 0)
        return;
    if (tag_ != 0) {
        if (links().openSpecies)
            links().openSpecies(k);
        return;
    }
    const QString name = listBox1_->item(k)->text();
    MainState& state = mainState();
    state.memoPath = selectMemoFile(settings().cdDir, settings().hddDir, name);
    state.defaultMemoPath = memoFileName(settings().hddDir, name);
    accept();
}

void Tf_p_list::BitBtn1Click()
{
    ListBox1DblClick();
    // In the chooser OK closes the window even without a selection.
    if (tag_ == 0 && selectedIndex() < 0)
        accept();
}

void Tf_p_list::BitBtn2Click()
{
    if (tag_ != 0)
        hide();
    else
        reject();
}

void Tf_p_list::BitBtn3Click()
{
    newName.clear();
    TfInput input(this);
    input.setTakenNames(entryNames(-1));
    if (modal().execDialog(&input) == QDialog::Accepted)
        newName = input.name();
    if (!newName.isEmpty())
        accept();
}

void Tf_p_list::BitBtn4Click()
{
    const int k = selectedIndex();
    if (renamedIndex_ >= 0 && renamedIndex_ != k)
        abandonRename();
    const QString pending = renamedIndex_ >= 0 ? newName : QString();
    newName.clear();
    if (k < 0)
        return;

    const QString current = renamedIndex_ == k ? renamedFrom_ : listBox1_->item(k)->text();
    const PictureFolders folders{settings().cdDir, settings().hddDir};
    if (isCdRomSpecies(folders, current)) {
        modal().message(this, QApplication::applicationName(), CdRomRenameMessage, ModalSeam::Icon::None,
                        QMessageBox::Ok, QMessageBox::Ok);
        newName = pending;
        return;
    }

    TfInput input(this);
    input.edit()->setText(listBox1_->item(k)->text());
    input.setTakenNames(entryNames(k));
    if (modal().execDialog(&input) != QDialog::Accepted || input.name().isEmpty()) {
        newName = pending; // the entry stays as it was
        return;
    }
    if (renamedIndex_ != k) {
        renamedIndex_ = k;
        renamedFrom_ = current;
    }
    if (input.name() == renamedFrom_) {
        abandonRename(); // renamed back to what it was
        return;
    }
    newName = input.name();
    listBox1_->item(k)->setText(newName);
}

void Tf_p_list::FormCloseQuery()
{
    settings().listLeft = x();
    settings().listTop = y();
}

void Tf_p_list::done(int result)
{
    FormCloseQuery();
    QDialog::done(result);
}

void Tf_p_list::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    QDialog::closeEvent(event);
}

// ---------------------------------------------------------------- statics

Tf_p_list* Tf_p_list::instance()
{
    return gList;
}

void Tf_p_list::openResults(QWidget* owner, TfSearch* pad)
{
    closeAndRelease();
    auto* list = new Tf_p_list(owner, pad);
    list->setTag(1);
    const MainState& state = mainState();
    list->listBox()->addItems(state.resultList);
    // Several names may be selected here, to compare them; near matches
    // show how many tests they fail.
    list->listBox()->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->listBox()->setItemDelegate(new MissCountDelegate(list->listBox()));
    for (int i = 0; i < list->listBox()->count() && size_t(i) < state.resultMisses.size(); ++i)
        if (const int misses = missCount(state.resultMisses[size_t(i)]))
            list->listBox()->item(i)->setData(MissRole, misses);
    connect(list->listBox(), &QListWidget::itemSelectionChanged, list, [list] {
        // Not while the list is being released. One name selected by a
        // plain click is no choice for comparing; one Ctrl+clicked is.
        if (gList != list || !fMain())
            return;
        const QList<int> rows = list->compareSelection();
        fMain()->markComparedSlots(rows.size() >= 2 || list->toggling_ ? rows : QList<int>{});
    });
    list->show();
}

void Tf_p_list::bringBack()
{
    if (!gList)
        return;
    gList->show();
    gList->raise();
    gList->activateWindow();
    gList->listBox()->setFocus();
}

void Tf_p_list::closeAndRelease()
{
    Tf_p_list* list = gList;
    if (!list)
        return;
    gList = nullptr;
    list->FormCloseQuery();
    list->hide();
    // Released once control is back in the event loop, so that a handler of
    // the list itself may close it.
    list->deleteLater();
}

ListChoice Tf_p_list::choose(QWidget* owner, bool rename, TfSearch* pad)
{
    closeAndRelease();
    QPointer<Tf_p_list> list = new Tf_p_list(owner, pad);
    list->setTag(0);
    list->showChooserButtons(rename);
    const PlantTable& table = plantTable();
    for (int i = 0; i < table.plantCount(); ++i)
        list->listBox()->addItem(table.plantNames().at(i));

    ListChoice choice;
    const int result = modal().execDialog(list);
    if (!list)
        return choice;
    if (result == QDialog::Accepted) {
        const int k = list->selectedIndex();
        choice.accepted = true;
        choice.record = k + 1;
        choice.newName = list->newName;
        // A new name belongs to the entry it was typed for.
        if (list->renamedIndex_ >= 0 && list->renamedIndex_ != k)
            choice.newName.clear();
    }
    delete list;
    return choice;
}

// ---------------------------------------------------------------- free functions

void connectListLinks()
{
    links().selectListEntry = [](int index) {
        if (Tf_p_list* list = Tf_p_list::instance())
            list->selectEntry(index);
    };
}
