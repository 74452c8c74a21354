#include "app/ModalSeam.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>

QMessageBox::StandardButton ModalSeam::message(QWidget* parent, const QString& caption, const QString& text,
                                               Icon icon, QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Warning: qtIcon = QMessageBox::Warning; break;
    case Icon::Error: qtIcon = QMessageBox::Critical; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    case Icon::None: break;
    }
    QMessageBox box(qtIcon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

int ModalSeam::execDialog(QDialog* dialog)
{
    return dialog->exec();
}

QStringList ModalSeam::openPictures(QWidget* parent, const QString& startFolder)
{
    QFileDialog dialog(parent, QString(), startFolder);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::ReadOnly);
    dialog.setNameFilters({QStringLiteral("画像 (*.jpg *.JPG *.jpeg *.JPEG *.bmp *.BMP)"),
                           QStringLiteral("すべてのファイル (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString ModalSeam::pickFolder(QWidget* parent, const QString& caption, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

bool ModalSeam::chooseFont(QWidget* parent, QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent);
    if (ok)
        font = chosen;
    return ok;
}

bool ModalSeam::chooseColour(QWidget* parent, QColor& colour)
{
    const QColor chosen = QColorDialog::getColor(colour, parent);
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

void ModalSeam::beep()
{
    QApplication::beep();
}

namespace {
ModalSeam gRealSeam;
ModalSeam* gSeam = &gRealSeam;
} // namespace

ModalSeam& modal()
{
    return *gSeam;
}

void setModalSeam(ModalSeam* seam)
{
    gSeam = seam ? seam : &gRealSeam;
}

void showInformation(QWidget* parent, const QString& text)
{
    modal().message(parent, QApplication::applicationName(), text, ModalSeam::Icon::Information, QMessageBox::Ok,
                    QMessageBox::Ok);
}

void showError(QWidget* parent, const QString& text)
{
    modal().message(parent, QStringLiteral("エラー"), text, ModalSeam::Icon::Error, QMessageBox::Ok,
                    QMessageBox::Ok);
}

bool askYesNo(QWidget* parent, const QString& text)
{
    return modal().message(parent, QStringLiteral("確認"), text, ModalSeam::Icon::Question,
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
