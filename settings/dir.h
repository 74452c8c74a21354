#pragma once
// The folder settings dialog: the CD-ROM folder, the hard-disk folder and
// the folder in which adding pictures starts.
#include <QDialog>

class QLineEdit;

class TfDir : public QDialog {
    Q_OBJECT
public:
    explicit TfDir(QWidget* parent = nullptr);

    void accept() override;

private:
    QLineEdit* cd_;
    QLineEdit* hdd_;
    QLineEdit* add_;
};
