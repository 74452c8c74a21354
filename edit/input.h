#pragma once
// The name input ("種名入力"): a one-line dialog for the name of a new
// species or the new name of a species. OK checks the name against the name
// rules; a refused name is explained and the dialog stays open with its text.
#include <QDialog>
#include <QStringList>

class QLineEdit;
class QPushButton;

class TfInput : public QDialog {
    Q_OBJECT
public:
    // `listWindow` is the plant name list the dialog belongs to; the dialog
    // places itself relative to it.
    explicit TfInput(QWidget* listWindow = nullptr);

    QLineEdit* edit() const { return edit1_; }
    QPushButton* okButton() const { return bitBtn1_; }
    QPushButton* cancelButton() const { return bitBtn2_; }

    // Names of the other species: a name kept as one of them is refused.
    void setTakenNames(const QStringList& names) { taken_ = names; }

    // The confirmed name as the data file keeps it (trimmed, at most
    // MaxNameBytes); empty until OK, and empty when OK was pressed on a
    // blank field.
    QString name() const { return name_; }

    // Handlers.
    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    void FormClose();
    void BitBtn1Click();

public slots:
    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QLineEdit* edit1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QWidget* listWindow_ = nullptr;
    QStringList taken_;
    QString name_;
    int rememberedImeMode_ = 0;
};
