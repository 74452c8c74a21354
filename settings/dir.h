#pragma once
// The folder settings dialog: the CD-ROM folder, the hard-disk folder and
// the folder in which adding pictures starts. Each row's button opens the
// folder picker; a folder taken there with OK replaces the setting at once,
// so the dialog's own OK and Cancel only close it.
#include <QDialog>

class QLabel;
class QPushButton;

class TfDir : public QDialog {
    Q_OBJECT
public:
    explicit TfDir(QWidget* parent = nullptr);

    // The folder being edited, in display form (the picker's result).
    QString workingFolder() const { return workingFolder_; }

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // One row's button: runs the picker for `folder` and on OK stores its
    // result (a relative path taken below the program's folder) into
    // `folder` and shows it in `label`. A folder the settings file cannot
    // keep is refused with a message, and `folder` stays as it was.
    void pickFolder(QString& folder, QLabel* label, const QString& pickerCaption);

    QString workingFolder_;
    QPushButton* button_[3];
    QLabel* label_[3];
    QPushButton* bitBtn1_;
    QPushButton* bitBtn2_;
};
