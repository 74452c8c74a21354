#include "app/ErrorDlg.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/ModalSeam.h"

namespace {
constexpr int ClientWidth = 392;
constexpr int ClientHeight = 366;
constexpr int BarHeight = 43;
} // namespace

QStringList TfErrorDlg::messageLines()
{
    // The lines are broken where the window's width ends; the empty ones
    // are part of the text.
    return {
        QStringLiteral("検索データ”Tolvarin.dat”が見つかりません。"),
        QStringLiteral(""),
        QStringLiteral("”Tolvarin.dat”は、\"plant01.lzh\" などの植物画"),
        QStringLiteral("像ファイルに含まれています。"),
        QStringLiteral(""),
        QStringLiteral("デフォルトでは、『Tolvarin』を解凍したフォルダ"),
        QStringLiteral("内の \"picture\" フォルダを指定しているので、"),
        QStringLiteral("\"picture\" フォルダを新規作成して、そこに植物画"),
        QStringLiteral("像を解凍するとエラー無しに、起動するようになり"),
        QStringLiteral("ます。"),
        QStringLiteral(""),
        QStringLiteral("あるいは、別に植物画像専用のデータフォルダを作"),
        QStringLiteral("成して、そこに植物画像を解凍します。"),
        QStringLiteral("次に、そのフォルダを、[ファイル－設定] から、"),
        QStringLiteral("ディレクトリ指定してください。"),
        QStringLiteral(""),
        QStringLiteral("３種類のフォルダーの違いについての詳細は、ヘル"),
        QStringLiteral("プを参照してください。"),
        QStringLiteral(""),
    };
}

TfErrorDlg::TfErrorDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("fErrorDlg"));
    setWindowTitle(QStringLiteral("エラー"));
    setFixedSize(ClientWidth, ClientHeight);

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memo1_->setGeometry(0, 0, ClientWidth, ClientHeight - BarHeight);
    memo1_->setReadOnly(true);
    memo1_->setFocusPolicy(Qt::ClickFocus);
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo1_->document()->setDocumentMargin(2);
    QFont memoFont(QStringLiteral("ＭＳ 明朝"));
    memoFont.setPixelSize(16);
    memo1_->setFont(memoFont);
    QPalette colours = memo1_->palette();
    colours.setColor(QPalette::Base, QColor(0xFF, 0xFB, 0xF0));
    colours.setColor(QPalette::Text, QColor(0x00, 0x80, 0x00));
    memo1_->setPalette(colours);
    memo1_->setPlainText(messageLines().join(QLatin1Char('\n')));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, ClientHeight - BarHeight, ClientWidth, BarHeight);
    bitBtn1_ = new QPushButton(QStringLiteral("閉じる"), panel);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setGeometry((ClientWidth - 90) / 2, (BarHeight - 25) / 2, 90, 25);
    bitBtn1_->setDefault(true);
    connect(bitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
}

void TfErrorDlg::showModal(QWidget* owner)
{
    TfErrorDlg dialog(owner);
    modal().execDialog(&dialog);
}
