#include "settings/dir.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/state.h"
#include "settings/func.h"

TfDir::TfDir(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("fDir"));
    setWindowTitle(QStringLiteral("ディレクトリ設定"));
    auto* form = new QFormLayout;
    cd_ = new QLineEdit(settings().cdDir);
    cd_->setObjectName(QStringLiteral("Edit1"));
    hdd_ = new QLineEdit(settings().hddDir);
    hdd_->setObjectName(QStringLiteral("Edit2"));
    add_ = new QLineEdit(settings().addDir);
    add_->setObjectName(QStringLiteral("Edit3"));
    form->addRow(QStringLiteral("CD-ROM 画像フォルダ"), cd_);
    form->addRow(QStringLiteral("HDD 画像フォルダ"), hdd_);
    form->addRow(QStringLiteral("追加画像フォルダ"), add_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfDir::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfDir::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(460, height());
}

void TfDir::accept()
{
    Settings& s = settings();
    s.cdDir = folderWithBackslash(cd_->text().trimmed());
    s.hddDir = folderWithBackslash(hdd_->text().trimmed());
    s.addDir = folderWithBackslash(add_->text().trimmed());
    QDialog::accept();
}
