#include "support/helpview.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/files.h"

namespace {
THelpView* openView = nullptr;
}

THelpView::THelpView(QWidget* owner)
    : QDialog(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fHelp"));
    setWindowTitle(QStringLiteral("Tolvarin ヘルプ"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(620, 560);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("Memo1"));
    text_->setReadOnly(true);
    // The help is laid out in columns of full- and half-width characters.
    QFont font(QStringLiteral("IPAGothic"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(14);
    text_->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    openView = this;
}

THelpView::~THelpView()
{
    if (openView == this)
        openView = nullptr;
}

THelpView* THelpView::instance()
{
    return openView;
}

bool THelpView::showFile(const QString& path, QWidget* owner)
{
    QByteArray bytes;
    if (!platform::fileExists(path) || !platform::readFile(path, bytes))
        return false;
    THelpView* view = openView ? openView : new THelpView(owner);
    view->text_->setPlainText(QString::fromUtf8(bytes));
    view->show();
    view->raise();
    view->activateWindow();
    return true;
}
