#include "app/placement.h"
#include "support/about.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "app/ModalSeam.h"
#include "app/state.h"
#include "support/web.h"

namespace {

constexpr int ClientWidth = 320;
constexpr int ClientHeight = 196;

const QString WebAddress = QStringLiteral("https://www.example.org/tolvarin/");
const QString MailAddress = QStringLiteral("tolvarin@example.org");

// The program's icon when the application has none: a five-petalled white
// flower on a green leaf, 32 x 32.
QPixmap drawnProgramIcon()
{
    QPixmap icon(32, 32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath leaf;
    leaf.moveTo(3, 29);
    leaf.cubicTo(3, 12, 14, 4, 29, 3);
    leaf.cubicTo(28, 18, 20, 29, 3, 29);
    p.fillPath(leaf, QColor(0x3A, 0x8F, 0x3A));
    p.translate(16, 16);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.8));
    p.setBrush(Qt::white);
    for (int petal = 0; petal < 5; ++petal) {
        p.drawEllipse(QRectF(-3.5, -12, 7, 10));
        p.rotate(72);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xC1, 0x1D));
    p.drawEllipse(QRectF(-3, -3, 6, 6));
    return icon;
}

} // namespace

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(ClientWidth, ClientHeight);
    setFont(designFont());

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, ClientWidth - 16, 140);

    programIcon_ = new QLabel(panel);
    programIcon_->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon_->setGeometry(12, 12, 32, 32);
    const QIcon appIcon = QGuiApplication::windowIcon();
    programIcon_->setPixmap(appIcon.isNull() ? drawnProgramIcon() : appIcon.pixmap(32, 32));

    label1_ = new QLabel(QStringLiteral("Tolvarin"), panel);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont nameFont = label1_->font();
    nameFont.setBold(true);
    nameFont.setPixelSize(18);
    label1_->setFont(nameFont);
    label1_->setGeometry(60, 10, 220, 24);

    version_ = new QLabel(panel);
    version_->setObjectName(QStringLiteral("Version"));
    version_->setGeometry(60, 38, 220, 16);

    button1_ = new QPushButton(QStringLiteral("URL:"), panel);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setProperty("tag", 1);
    button1_->setToolTip(QStringLiteral("URLをクリップボードにコピーします。"));
    button1_->setGeometry(12, 76, 48, 21);
    button1_->setAutoDefault(false);
    connect(button1_, &QPushButton::clicked, this, &TAboutBox::ButtonClick);

    button2_ = new QPushButton(QStringLiteral("Mail:"), panel);
    button2_->setObjectName(QStringLiteral("Button2"));
    button2_->setProperty("tag", 2);
    button2_->setToolTip(QStringLiteral("Mailアドレスをクリップボードにコピーします。"));
    button2_->setGeometry(12, 104, 48, 21);
    button2_->setAutoDefault(false);
    connect(button2_, &QPushButton::clicked, this, &TAboutBox::ButtonClick);

    // The addresses are written here only; the operations read them back
    // from the labels.
    QPalette link = palette();
    link.setColor(QPalette::WindowText, link.color(QPalette::Link));
    url_ = new QLabel(WebAddress, panel);
    url_->setObjectName(QStringLiteral("Url"));
    mail_ = new QLabel(MailAddress, panel);
    mail_->setObjectName(QStringLiteral("Mail"));
    int top = 78;
    for (QLabel* label : {url_, mail_}) {
        label->setGeometry(68, top, 220, 17);
        label->setCursor(Qt::PointingHandCursor);
        label->setPalette(link);
        label->installEventFilter(this);
        top += 28;
    }

    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setGeometry((ClientWidth - 75) / 2, 160, 75, 25);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    // FormCreate
    version_->setText(versionText);

    // Centred on the main window.
    if (owner) {
        const QWidget* mainWindow = owner->window();
        move(mainWindow->frameGeometry().center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    }
}

void TAboutBox::showModal(QWidget* owner)
{
    TAboutBox box(owner);
    modal().execDialog(&box);
}

QString TAboutBox::webAddress() const
{
    return url_->text();
}

QString TAboutBox::mailAddress() const
{
    return mail_->text();
}

void TAboutBox::UrlClick()
{
    openWebPage(url_->text());
}

void TAboutBox::MailClick()
{
    composeMail(QStringLiteral("mailto:") + mail_->text() + QStringLiteral("?"));
}

void TAboutBox::ButtonClick()
{
    const QObject* button = sender();
    if (!button)
        return;
    QString text;
    switch (button->property("tag").toInt()) {
    case 1:
        text = url_->text();
        break;
    case 2:
        text = mail_->text();
        break;
    default:
        return;
    }
    if (text.isEmpty())
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == url_) {
            UrlClick();
            return true;
        }
        if (watched == mail_) {
            MailClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
