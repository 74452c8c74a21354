#pragma once
// The error window of start-up: shown when the search data file is in
// neither picture folder, it tells the user where the file comes from and
// how to put it in place. Created on demand, shown modally and released.
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

class TfErrorDlg : public QDialog {
    Q_OBJECT
public:
    explicit TfErrorDlg(QWidget* owner = nullptr);

    // The text the window shows, line by line.
    static QStringList messageLines();

    // Creates the window over `owner`, shows it modally through the modal
    // seam and releases it.
    static void showModal(QWidget* owner);

private:
    QPlainTextEdit* memo1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
};
