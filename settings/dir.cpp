#include "settings/dir.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/ModalSeam.h"
#include "app/placement.h"
#include "app/state.h"
#include "platform/files.h"
#include "settings/dir_list.h"
#include "settings/folderrules.h"

namespace {

constexpr int ClientWidth = 376;
constexpr int ClientHeight = 110;
constexpr int PanelHeight = 81;
constexpr int RowButtonWidth = 97;
constexpr int RowButtonHeight = 17;
constexpr int LabelWidth = 265;
constexpr int LabelHeight = 16;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

// Labels show the folder after two blanks.
QString labelText(const QString& shown)
{
    return QStringLiteral("  ") + shown;
}

} // namespace

TfDir::TfDir(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fDir"));
    setWindowTitle(QStringLiteral("Directory 指定"));
    setFixedSize(ClientWidth, ClientHeight);
    setFont(designFont());

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(0, 0, ClientWidth, PanelHeight);

    const Settings& s = settings();
    const QString captions[3] = {QStringLiteral("CD-ROM Folder"), QStringLiteral("HDD Folder"),
                                 QStringLiteral("追加用 Folder")};
    const QString folders[3] = {s.cdDir, s.hddDir, s.addDir};
    for (int row = 0; row < 3; ++row) {
        const int top = 12 + row * 22;
        auto* button = new QPushButton(captions[row], panel);
        button->setObjectName(QStringLiteral("Button%1").arg(row + 1));
        QFont font = button->font();
        font.setBold(true);
        font.setItalic(true);
        button->setFont(font);
        button->setAutoDefault(false);
        button->setGeometry(4, top, RowButtonWidth, RowButtonHeight);
        button_[row] = button;

        auto* label = new QLabel(labelText(folderDisplayForm(folders[row])), panel);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        label->setGeometry(4 + RowButtonWidth + 6, top, LabelWidth, LabelHeight);
        label->setAutoFillBackground(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, colours.color(QPalette::Highlight));
        colours.setColor(QPalette::WindowText, colours.color(QPalette::HighlightedText));
        label->setPalette(colours);
        label_[row] = label;
    }
    connect(button_[0], &QPushButton::clicked, this, &TfDir::Button1Click);
    connect(button_[1], &QPushButton::clicked, this, &TfDir::Button2Click);
    connect(button_[2], &QPushButton::clicked, this, &TfDir::Button3Click);

    const int buttonTop = PanelHeight + (ClientHeight - PanelHeight - ButtonHeight) / 2;
    bitBtn1_ = new QPushButton(QStringLiteral("OK"), this);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setGeometry(ClientWidth / 2 - ButtonWidth - 8, buttonTop, ButtonWidth, ButtonHeight);
    bitBtn1_->setDefault(true);
    connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
    bitBtn2_ = new QPushButton(QStringLiteral("キャンセル"), this);
    bitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
    bitBtn2_->setGeometry(ClientWidth / 2 + 8, buttonTop, ButtonWidth, ButtonHeight);
    bitBtn2_->setAutoDefault(false);
    connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);

    // 75 pixels below and 8 to the right of the main window's top-left
    // corner, kept inside the work area.
    if (parent) {
        const QWidget* mainWindow = parent->window();
        move(mainWindow->x() + 8, mainWindow->y() + 75);
    }
    placeForm(this);
}

void TfDir::Button1Click()
{
    pickFolder(settings().cdDir, label_[0], QStringLiteral("CD-ROM Image Folder 選択"));
}

void TfDir::Button2Click()
{
    pickFolder(settings().hddDir, label_[1], QStringLiteral("HDD Image Folder 選択"));
}

void TfDir::Button3Click()
{
    pickFolder(settings().addDir, label_[2], QStringLiteral("追加用 Image Folder 選択"));
}

void TfDir::pickFolder(QString& folder, QLabel* label, const QString& pickerCaption)
{
    workingFolder_ = folderDisplayForm(folder);
    TfDir_list picker(this, workingFolder_);
    picker.setWindowTitle(pickerCaption);
    picker.setPathText(workingFolder_);
    if (platform::folderExists(workingFolder_)) {
        picker.selectFolder(workingFolder_);
    } else {
        // A stored folder that is gone: start at the program's own folder.
        modal().beep();
        workingFolder_ = platform::executableFolder();
        picker.selectFolder(workingFolder_);
    }
    if (modal().execDialog(&picker) != QDialog::Accepted)
        return;
    // The text is taken as it stands, also when it was typed and never
    // confirmed with Enter; only a relative path is made absolute (against
    // the program's folder), since the current directory is arbitrary.
    const QString picked = pickedFolderPath(picker.pathText(), platform::executableFolder());
    if (picked.isEmpty()) // the picker does not take an empty box; never store ""
        return;
    const QString stored = folderFromPicker(picked);
    QString reason;
    if (!folderStorable(stored, &reason)) {
        // The settings file could not keep it: at the next start the old
        // folder would silently come back. The previous folder stays.
        showError(this, unstorableFolderMessage(reason));
        workingFolder_ = folderDisplayForm(folder);
        return;
    }
    folder = stored;
    workingFolder_ = folderDisplayForm(folder);
    label->setText(labelText(workingFolder_));
}
