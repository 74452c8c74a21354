#include "settings/dir_list.h"

#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>

#include "app/ModalSeam.h"
#include "app/placement.h"
#include "platform/files.h"
#include "settings/folderrules.h"

namespace {

constexpr int TopPanelHeight = 49;
constexpr int BottomPanelHeight = 36;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 20;
constexpr int EditMargin = 25; // the path box is this much narrower than the window
constexpr int MainWindowOffset = 390;

QString& lastTreePathValue()
{
    static QString path;
    return path;
}

} // namespace

QString TfDir_list::lastTreePath()
{
    return lastTreePathValue();
}

TfDir_list::TfDir_list(QWidget* settingsDialog, const QString& workingFolder)
    : QDialog(settingsDialog, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                  Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fDir_list"));
    setMinimumSize(MinWidth, MinHeight);
    setFont(designFont());

    topPanel_ = new QFrame(this);
    topPanel_->setObjectName(QStringLiteral("Panel1"));
    label1_ = new QLabel(QStringLiteral("Directory"), topPanel_);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont bold = label1_->font();
    bold.setBold(true);
    label1_->setFont(bold);
    label1_->setGeometry(8, 4, 120, 16);
    edit1_ = new QLineEdit(topPanel_);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->installEventFilter(this);

    folders_ = new QFileSystemModel(this);
    // Folders only, hidden ones included; the tree is read as it is when
    // opened and not watched for changes.
    folders_->setOptions(QFileSystemModel::DontWatchForChanges);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    folders_->setRootPath(QStringLiteral("/"));

    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("ShellTreeView1"));
    tree_->setModel(folders_);
    // No root index: the top level is the computer, which holds "/".
    for (int column = 1; column < folders_->columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setIndentation(19);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->expand(folders_->index(QStringLiteral("/")));
    // Folders are read and sorted in the background, so a folder selected
    // by path is brought into view again as its surroundings come in, until
    // the user takes over the tree.
    auto keepInView = [this] {
        if (followSelection_ && tree_->currentIndex().isValid())
            tree_->scrollTo(tree_->currentIndex());
    };
    connect(folders_, &QFileSystemModel::directoryLoaded, this, keepInView);
    connect(folders_, &QAbstractItemModel::layoutChanged, this, keepInView);
    tree_->installEventFilter(this);
    tree_->viewport()->installEventFilter(this);
    tree_->verticalScrollBar()->installEventFilter(this);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { ShellTreeView1Change(current); });

    bottomPanel_ = new QFrame(this);
    bottomPanel_->setObjectName(QStringLiteral("Panel2"));
    bitBtn1_ = new QPushButton(QStringLiteral("OK"), bottomPanel_);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setDefault(true);
    connect(bitBtn1_, &QPushButton::clicked, this, &TfDir_list::BitBtn1Click);
    bitBtn2_ = new QPushButton(QStringLiteral("キャンセル"), bottomPanel_);
    bitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
    bitBtn2_->setAutoDefault(false);
    connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);

    resize(MinWidth, MinHeight);
    FormResize();

    // Top edge at the settings dialog's, left edge 390 pixels right of the
    // main window's; then kept inside the work area.
    if (settingsDialog) {
        const QWidget* mainWindow = settingsDialog->parentWidget() ? settingsDialog->parentWidget()->window()
                                                                   : settingsDialog;
        move(mainWindow->x() + MainWindowOffset, settingsDialog->y());
    }
    placeForm(this);

    edit1_->setText(workingFolder);
}

QString TfDir_list::pathText() const
{
    return edit1_->text();
}

void TfDir_list::setPathText(const QString& text)
{
    edit1_->setText(text);
}

bool TfDir_list::selectFolder(const QString& path)
{
    if (!platform::folderExists(path))
        return false;
    const QModelIndex index = folders_->index(QDir::cleanPath(QDir(path).absolutePath()));
    if (!index.isValid())
        return false;
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
    followSelection_ = true;
    return true;
}

QString TfDir_list::selectedTreePath() const
{
    const QModelIndex current = tree_->currentIndex();
    return current.isValid() ? folders_->filePath(current) : QString();
}

void TfDir_list::ShellTreeView1Change(const QModelIndex& current)
{
    if (!current.isValid())
        return;
    lastTreePathValue() = folders_->filePath(current);
    edit1_->setText(lastTreePathValue());
}

void TfDir_list::BitBtn1Click()
{
    // An empty box names no folder: taking it would store "" (which the
    // next start replaces by the default folder). Like a bad Enter, it
    // beeps and the picker stays open.
    if (pickedFolderPath(edit1_->text(), platform::executableFolder()).isEmpty()) {
        modal().beep();
        edit1_->setFocus();
        return;
    }
    accept();
}

void TfDir_list::Edit1KeyPress()
{
    // A relative path means the same folder here as on OK: one below the
    // program's folder, not below whatever the current directory is.
    const QString typed = edit1_->text();
    const QString programFolder = platform::executableFolder();
    const PathBoxEnter outcome =
        pathBoxEnter(typed, platform::folderExists(pickedFolderPath(typed, programFolder)), lastTreePathValue(),
                     programFolder);
    if (outcome.selectInTree && selectFolder(outcome.path))
        return;
    edit1_->setText(outcome.selectInTree ? lastTreePathValue() : outcome.path);
    modal().beep();
}

bool TfDir_list::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == edit1_) {
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Handled here and swallowed: Enter never reaches the OK button.
                Edit1KeyPress();
                return true;
            }
        }
    } else if (type == QEvent::MouseButtonPress || type == QEvent::Wheel || type == QEvent::KeyPress) {
        // The user is working the tree: stop bringing the selection back.
        followSelection_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void TfDir_list::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TfDir_list::FormResize()
{
    const int w = width();
    const int h = height();
    topPanel_->setGeometry(0, 0, w, TopPanelHeight);
    edit1_->setGeometry(8, 22, w - EditMargin, 21);
    tree_->setGeometry(0, TopPanelHeight, w, h - TopPanelHeight - BottomPanelHeight);
    bottomPanel_->setGeometry(0, h - BottomPanelHeight, w, BottomPanelHeight);
    const int okLeft = (w - (ButtonWidth + ButtonWidth) - ButtonGap) / 2;
    const int top = (BottomPanelHeight - ButtonHeight) / 2;
    bitBtn1_->setGeometry(okLeft, top, ButtonWidth, ButtonHeight);
    bitBtn2_->setGeometry(okLeft + ButtonWidth + ButtonGap, top, ButtonWidth, ButtonHeight);
}
