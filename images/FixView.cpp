#include "images/FixView.h"

#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

TfFixView::TfFixView(const QString& caption, const QImage& picture, bool fitToPicture, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , picture_(picture)
{
    setObjectName(QStringLiteral("fFixView"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(237, 203);
    setWindowTitle(caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scrollBox_ = new QScrollArea(this);
    scrollBox_->setObjectName(QStringLiteral("ScrollBox"));
    // The same two-pixel frame as the viewer's, so 5 spare pixels suffice.
    scrollBox_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scrollBox_->setLineWidth(2);
    scrollBox_->setWidgetResizable(false);
    scrollBox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_ = new QLabel;
    image_->setObjectName(QStringLiteral("Image"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_->setPixmap(QPixmap::fromImage(picture_));
    image_->resize(picture_.size());
    scrollBox_->setWidget(image_);
    layout->addWidget(scrollBox_);

    if (fitToPicture && !picture_.isNull())
        resize(picture_.width() + 5, picture_.height() + 5);
}
