#pragma once
// The plant name list ("植物名リスト"): species names in four columns beside
// a tree of the conditions set in the search pad. After a search it is the
// result list, a modeless window beside the main window (tag 1); in picture
// editing mode it is the modal chooser of a species for registration and
// correction (tag 0), which also offers a new name ("新 規") or renaming
// ("植物名変更").
#include <QDialog>
#include <QString>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QWidget;
class TfSearch;

// What the chooser ended with.
struct ListChoice {
    bool accepted = false; // closed with OK
    int record = 0;        // 1-based record of the selected entry; 0 for none
    // The name entered through "新 規", or the new name of the selected
    // species through "植物名変更"; empty when none was entered.
    QString newName;
};

class Tf_p_list : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int tag READ tag WRITE setTag)
public:
    // `pad` is the search pad whose conditions the tree shows and into which
    // a chosen species is loaded; without one, the main window's pad.
    explicit Tf_p_list(QWidget* owner = nullptr, TfSearch* pad = nullptr);
    ~Tf_p_list() override;

    // 1: the result list of a search; 0: the chooser.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // The name entered through "新 規" or "植物名変更"; empty when none.
    QString newName;

    QListWidget* listBox() const { return listBox1_; }
    QTreeWidget* treeView() const { return treeView1_; }
    QSplitter* splitter() const { return splitter1_; }
    QWidget* panel() const { return panel1_; }
    QPushButton* okButton() const { return bitBtn1_; } // the default button (Enter)
    QPushButton* cancelButton() const { return bitBtn2_; }
    QPushButton* newButton() const { return bitBtn3_; }
    QPushButton* renameButton() const { return bitBtn4_; }

    // Shows "植物名変更" (renaming, for correction) or "新 規" (a new
    // species, for registration) in the chooser.
    void showChooserButtons(bool rename);

    // The selected entry's index, -1 for none.
    int selectedIndex() const;
    // Selects entry `index` without the click handling (another window moved
    // to that species). An index outside the list does nothing. An entry
    // that is part of a multiple selection becomes the current one and the
    // selection stays.
    void selectEntry(int index);

    // The result list lets several names be selected (Ctrl or Shift with a
    // click) to compare them. The selected entries' indices, ascending.
    QList<int> compareSelection() const;
    // Adds entry `index` to the selection, or takes it out (Ctrl+click on
    // its picture).
    void toggleEntry(int index);
    // The number of failed tests shown beside each name of a near match
    // (the data role of its entry), 0 for an exact match.
    static constexpr int MissRole = Qt::UserRole + 1;

    // Handlers.
    void FormCreate();
    void FormShow();
    void ListBox1Click();
    void ListBox1DblClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void FormCloseQuery();

    // The open list window, null when there is none.
    static Tf_p_list* instance();
    // Creates the result list of the last search (mainState().resultList),
    // releasing an earlier list window, and shows it without making it modal.
    static void openResults(QWidget* owner, TfSearch* pad = nullptr);
    // Shows the result list again and gives it the focus (menu "植物リスト").
    static void bringBack();
    // Closes the list window, remembering its position, and releases it.
    static void closeAndRelease();
    // Runs the chooser over the plant table's names: "植物名変更" when
    // `rename` (correction), else "新 規" (registration).
    static ListChoice choose(QWidget* owner, bool rename, TfSearch* pad = nullptr);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TfSearch* pad() const;
    QStringList entryNames(int except) const;
    void abandonRename();

    TfSearch* pad_ = nullptr;
    int tag_ = 0;
    QListWidget* listBox1_ = nullptr;
    QTreeWidget* treeView1_ = nullptr;
    QSplitter* splitter1_ = nullptr;
    QWidget* panel1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
    QPushButton* bitBtn4_ = nullptr;
    bool selecting_ = false;  // inside selectEntry: no click handling
    bool toggling_ = false;   // inside toggleEntry: a choice for comparing
    int renamedIndex_ = -1;   // the entry showing a new name not yet carried out
    QString renamedFrom_;     // that entry's text before
};

// Lets the other windows select an entry of the open list
// (links().selectListEntry).
void connectListLinks();

