#include "app/ModalSeam.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The choices of the font dialog's colour box, in its order: the sixteen
// basic colours.
struct BasicColour {
    const char* name;
    QRgb rgb;
};
constexpr BasicColour BasicColours[] = {
    {"黒", 0x000000},   {"栗色", 0x800000}, {"緑", 0x008000}, {"オリーブ", 0x808000},
    {"紺", 0x000080},   {"紫", 0x800080},   {"青緑", 0x008080}, {"灰色", 0x808080},
    {"銀", 0xC0C0C0},   {"赤", 0xFF0000},   {"黄緑", 0x00FF00}, {"黄", 0xFFFF00},
    {"青", 0x0000FF},   {"赤紫", 0xFF00FF}, {"水色", 0x00FFFF}, {"白", 0xFFFFFF},
};

QIcon colourSwatch(const QColor& colour)
{
    QPixmap swatch(24, 12);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    return QIcon(swatch);
}

// Fills `box` with the basic colours and selects `preset`; a preset that is
// none of them is kept as an extra "カスタム" entry, so that OK without
// touching the box keeps the colour the text had.
void fillColourBox(QComboBox* box, const QColor& preset)
{
    const QRgb wanted = preset.isValid() ? preset.rgb() : qRgb(0, 0, 0);
    int selected = -1;
    for (const BasicColour& entry : BasicColours) {
        const QColor colour = QColor::fromRgb(entry.rgb);
        if (colour.rgb() == wanted)
            selected = box->count();
        box->addItem(colourSwatch(colour), QString::fromUtf8(entry.name), colour);
    }
    if (selected < 0) {
        const QColor colour = QColor::fromRgb(wanted);
        selected = box->count();
        box->addItem(colourSwatch(colour), QStringLiteral("カスタム"), colour);
    }
    box->setCurrentIndex(selected);
}

} // namespace

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
    // Every message is plain text; a name in it that looks like markup is
    // shown as written, and the line breaks stay.
    box.setTextFormat(Qt::PlainText);
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

bool ModalSeam::chooseFont(QWidget* parent, QFont& font, QColor& colour)
{
    // Qt's font dialog has no colour, so it is embedded as a plain widget in
    // a dialog of our own that adds the colour box and the buttons.
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FontDialog"));
    dialog.setWindowTitle(QStringLiteral("フォント"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* fonts = new QFontDialog(&dialog);
    fonts->setObjectName(QStringLiteral("fontChooser"));
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setCurrentFont(font);
    layout->addWidget(fonts);
    // Escape (or Return) inside the embedded dialog would end only that
    // part; it ends the whole dialog instead.
    QObject::connect(fonts, &QDialog::finished, &dialog, &QDialog::done);

    auto* colourRow = new QHBoxLayout;
    auto* colourLabel = new QLabel(QStringLiteral("色(&C):"), &dialog);
    auto* colours = new QComboBox(&dialog);
    colours->setObjectName(QStringLiteral("colourBox"));
    fillColourBox(colours, colour);
    colourLabel->setBuddy(colours);
    colourRow->addWidget(colourLabel);
    colourRow->addWidget(colours);
    colourRow->addStretch(1);
    layout->addLayout(colourRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = fonts->currentFont();
    colour = colours->currentData().value<QColor>();
    return true;
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
