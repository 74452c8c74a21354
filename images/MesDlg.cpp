#include "images/MesDlg.h"

#include <QLabel>
#include <QProgressBar>

TfMesDlg::TfMesDlg(QWidget* owner)
    : ProgressWindow(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fMesDlg"));
    setWindowTitle(QStringLiteral("画像縮小中"));
    setFixedSize(204, 80);
    setAttribute(Qt::WA_DeleteOnClose, false);

    label1_ = new QLabel(QStringLiteral("現在、画像を縮小しています。"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->move(12, 8);
    label1_->resize(186, 16);

    label2_ = new QLabel(QStringLiteral("しばらく、お待ちください。"), this);
    label2_->setObjectName(QStringLiteral("Label2"));
    QFont bold = label2_->font();
    bold.setBold(true);
    label2_->setFont(bold);
    QPalette fuchsia = label2_->palette();
    fuchsia.setColor(QPalette::WindowText, QColor(255, 0, 255));
    label2_->setPalette(fuchsia);
    label2_->move(36, 32);
    label2_->resize(166, 16);

    gauge1_ = new QProgressBar(this);
    gauge1_->setObjectName(QStringLiteral("Gauge1"));
    gauge1_->setGeometry(16, 52, 177, 21);
    gauge1_->setRange(0, 100);
    gauge1_->setValue(0);
    gauge1_->setFormat(QStringLiteral("%p%"));
    gauge1_->setAlignment(Qt::AlignCenter);
    gauge1_->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid grey; background: white; }"
                                          "QProgressBar::chunk { background: #00FFFF; }"));
    if (owner) {
        const QRect o = owner->geometry();
        move(o.center() - rect().center());
    }
}

void TfMesDlg::setProgress(int percent, const QString& firstLine)
{
    gauge1_->setValue(percent);
    if (!firstLine.isNull())
        label1_->setText(firstLine);
    paintStep();
}

int TfMesDlg::progress() const
{
    return gauge1_->value();
}

QString TfMesDlg::firstLine() const
{
    return label1_->text();
}
