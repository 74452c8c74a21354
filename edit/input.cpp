#include "edit/input.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/ModalSeam.h"
#include "edit/names.h"
#include "platform/inputmethod.h"

TfInput::TfInput(QWidget* listWindow)
    : QDialog(listWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , listWindow_(listWindow)
{
    setObjectName(QStringLiteral("fInput"));
    setWindowTitle(QStringLiteral("種名入力"));
    setFixedSize(297, 97);

    edit1_ = new QLineEdit(this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(16, 16, 265, 24);

    bitBtn1_ = new QPushButton(QStringLiteral("OK"), this);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setGeometry(56, 56, 85, 27);
    bitBtn1_->setDefault(true);
    bitBtn1_->setAutoDefault(true);

    bitBtn2_ = new QPushButton(QStringLiteral("キャンセル"), this);
    bitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
    bitBtn2_->setGeometry(156, 56, 85, 27);
    bitBtn2_->setAutoDefault(false);

    connect(bitBtn1_, &QPushButton::clicked, this, &TfInput::BitBtn1Click);
    connect(bitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TfInput::FormCreate()
{
    if (listWindow_)
        move(listWindow_->x() + 120, listWindow_->y() + 75);
    rememberedImeMode_ = platform::inputMethodMode(edit1_);
}

void TfInput::FormActivate()
{
    platform::setKatakanaInputMode(edit1_);
}

void TfInput::FormDeactivate()
{
    platform::setInputMethodMode(edit1_, rememberedImeMode_);
}

void TfInput::FormClose()
{
    platform::setInputMethodMode(edit1_, rememberedImeMode_);
}

void TfInput::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}

void TfInput::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfInput::BitBtn1Click()
{
    const NameCheck check = checkSpeciesName(edit1_->text(), taken_);
    if (check.refused()) {
        showError(this, check.message);
        edit1_->setFocus();
        return;
    }
    if (check.cut) {
        const auto answer = modal().message(this, windowTitle(), check.message + QStringLiteral("\n\nよろしいですか？"),
                                            ModalSeam::Icon::Question, QMessageBox::Ok | QMessageBox::Cancel,
                                            QMessageBox::Ok);
        if (answer != QMessageBox::Ok) {
            edit1_->setFocus();
            return;
        }
    }
    name_ = check.stored;
    accept();
}
