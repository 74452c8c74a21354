#include "search/run.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <cmath>

TfRunAnimation::TfRunAnimation(QWidget* parent) : QWidget(parent)
{
    setFixedSize(16, 16);
    timer_ = new QTimer(this);
    timer_->setInterval(90);
    connect(timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % FrameCount;
        update();
    });
    timer_->start();
}

void TfRunAnimation::advance()
{
    frame_ = (frame_ + 1) % FrameCount;
    repaint();
}

void TfRunAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // the sheet being searched
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 10, 13));
    p.setPen(QPen(QColor(170, 170, 170), 1));
    for (qreal y = 4.5; y < 14; y += 2.5)
        p.drawLine(QPointF(3.5, y), QPointF(9.5, y));
    // the magnifier, moving round a small circle
    const double angle = frame_ * 2 * 3.14159265358979 / FrameCount;
    const QPointF lens(7.5 + 2.5 * std::cos(angle), 7 + 2.5 * std::sin(angle));
    p.setPen(QPen(QColor(90, 60, 30), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(lens + QPointF(2.6, 2.6), lens + QPointF(5.5, 5.5));
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(190, 220, 255, 170));
    p.drawEllipse(lens, 3.3, 3.3);
}

TfRun::TfRun(QWidget* owner)
    : ProgressWindow(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fRun"));
    setWindowTitle(QStringLiteral("検索実行中"));
    setFixedSize(236, 52);

    animate1_ = new TfRunAnimation(this);
    animate1_->setObjectName(QStringLiteral("Animate1"));
    animate1_->move(16, 18);

    label1_ = new QLabel(QStringLiteral("ただいま、検索中です。"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = font();
    labelFont.setPixelSize(16);
    label1_->setFont(labelFont);
    label1_->setGeometry(44, 0, 236 - 44, 52);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    FormCreate(owner);
}

void TfRun::FormCreate(QWidget* owner)
{
    if (owner) {
        const QPoint corner = owner->window()->pos();
        move(corner.x() + 30, corner.y() + 80);
    }
}

void TfRun::advance()
{
    animate1_->advance();
    paintStep();
}
