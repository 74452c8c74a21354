#pragma once
// The folder picker: a path box above a tree of the computer's folders.
// Selecting a folder in the tree puts its path into the box; Enter in the
// box moves the tree to a typed folder; OK hands the box's text to the
// folder settings dialog (an empty box is refused with a beep).
#include <QDialog>

class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

class TfDir_list : public QDialog {
    Q_OBJECT
public:
    // `settingsDialog` is the folder settings dialog that opens the picker
    // (its owner is the main window); `workingFolder` goes into the path box.
    TfDir_list(QWidget* settingsDialog, const QString& workingFolder);

    static constexpr int MinWidth = 250;
    static constexpr int MinHeight = 340;

    // The folder last selected in the tree during this run; empty at start.
    // It outlives the picker, so the next opening falls back to it.
    static QString lastTreePath();

    // The path box's text, which OK hands over unchanged (a relative path
    // is made absolute by the settings dialog).
    QString pathText() const;
    void setPathText(const QString& text);
    // Moves the tree's selection to an existing folder (which updates
    // lastTreePath and the path box); false when the folder is not there.
    bool selectFolder(const QString& path);
    // The path of the folder selected in the tree; empty when none.
    QString selectedTreePath() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BitBtn1Click();
    void Edit1KeyPress();
    void ShellTreeView1Change(const QModelIndex& current);
    void FormResize();

    QFrame* topPanel_;
    QLabel* label1_;
    QLineEdit* edit1_;
    QFileSystemModel* folders_;
    QTreeView* tree_;
    QFrame* bottomPanel_;
    QPushButton* bitBtn1_;
    QPushButton* bitBtn2_;
    bool followSelection_ = false; // keep the selected folder in view while the tree loads
};
