#pragma once
// The search pad: the one window in which field-guide conditions are
// entered. It is created once at start-up, kept hidden between uses and
// serves three purposes set up by whoever opens it: entering search
// conditions (modal, "検索実行"), entering the attributes of a newly
// registered species (modal, "画像追加"), and showing or correcting the
// attributes and memo of the species on the main window (modeless,
// "変更").
#include <QDialog>

#include <array>

#include "search/conditions.h"

class QAbstractButton;
class QButtonGroup;
class QCloseEvent;
class QComboBox;
class QLabel;
class QHideEvent;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QTabWidget;

class TfSearch : public QDialog {
    Q_OBJECT
public:
    explicit TfSearch(QWidget* parent = nullptr);

    // The 36 condition buttons in pad order (see padButtons()).
    const std::array<QAbstractButton*, PadButtonCount>& padIndex() const { return padIndex_; }

    // The checked state of the 36 buttons, and setting it. Setting is not a
    // user change: it leaves BitBtn1's enabled state alone. In a state with
    // two buttons of one radio group checked, the later one wins.
    PadState padState() const;
    void setPadState(const PadState& state);
    // Unchecks all 36 buttons, the "不明" ones included.
    void clearConditions();

    // The window caption and the caption of the confirm button BitBtn1.
    void setMode(const QString& caption, const QString& okCaption);
    // Makes the first page ("花") the active one.
    void showFlowerPage();

    // The memo text on the "Memo" page. setMemoText fills it as a species'
    // stored memo: not a user change, not modified, BitBtn1 left alone.
    QString memoText() const;
    void setMemoText(const QString& text);
    // True when the user changed the memo since it was filled or saved.
    bool memoModified() const;
    // While set (the input pad of a new species), confirming only checks
    // that the memo can be saved: registration writes it together with the
    // species' pictures and data line, so a species that is not registered
    // leaves no memo behind.
    void setMemoDeferred(bool deferred) { memoDeferred_ = deferred; }

    // Shows the pad modally through the modal seam; true when it ended
    // with the confirm button. With `searchAids` (a search, not a
    // registration) the identification aids are shown while it is open.
    bool showModalSearch(bool searchAids = false);

    // The identification aids: the number of species the search would find
    // ("該当 N 種"), beside each condition button the number it would find
    // with that button chosen (a choice that finds none has a muted
    // caption), the hint for the next question with a mark on its page's
    // tab, and the tolerance of near matches. They show only while the pad
    // is open for a search; the pad then grows by one strip at the bottom,
    // and is back to its own size without them. They follow every change
    // of the pad.
    void setAidsShown(bool shown);
    bool aidsShown() const { return aidsShown_; }
    // Works the aids out again over the plant table as it is now.
    void refreshAids();
    QLabel* foundLabel() const { return foundLabel_; }
    QLabel* hintLabel() const { return hintLabel_; }
    QLabel* countLabel(int index) const { return countLabels_.at(size_t(index)); }
    QComboBox* toleranceBox() const { return toleranceBox_; }
    // The caption colour of a choice that would find no species.
    static QColor mutedCaptionColour();
    // The page whose tab carries the hint's mark; -1 for none.
    int markedPage() const { return markedPage_; }
    // A modal display however it is started (the real seam runs exec()):
    // the confirm button then ends it with Accepted.
    int exec() override;

    // Controls other windows use.
    QPushButton* executeButton() const { return bitBtn1_; }
    QPushButton* cancelButton() const { return bitBtn2_; }
    QPushButton* clearButton() const { return bitBtn3_; }
    QTabWidget* pages() const { return pageControl1_; }
    QPlainTextEdit* memoBox() const { return memo1_; }

    // Event handlers, callable directly by the windows that drive the pad.
    void FormShow();          // moves to the remembered position; Memo tab only while memoOnPad
    void FormHide();          // remembers the position for the settings file
    bool BitBtn1Click();      // memo saving, and in correction mode storing the pad; false on failure
    void BitBtn2Click();      // cancel
    void BitBtn3Click();      // clear conditions
    void Memo1Change();       // the memo changed: confirming becomes possible
    void ArCheckBox1Click();  // a condition changed: confirming becomes possible

signals:
    // The pad was stored into record currentSpecies in correction mode;
    // the table still has to reach the data file.
    void correctionConfirmed();
    // Cancel was pressed in correction mode: the pad is hidden and the user
    // chooses the species to correct anew.
    void restartCorrection();

public slots:
    // Escape and the title bar's close button behave like the cancel button
    // in a modal display; a modeless pad is only hidden by its close button.
    void reject() override;
    // Showing runs FormShow first: the remembered position is applied
    // before the window system maps the window (see FormShow).
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildFlowerPage(QWidget* page);
    void buildStemPage(QWidget* page);
    void buildLeafPage(QWidget* page);
    void collectPadIndex();
    void executeClicked();
    void buildAids();
    void placeCountLabel(int index);

    // Where a button's count goes when there is no room beside it: the
    // card above it (its illustration), in the button's parent coordinates.
    std::array<QRect, PadButtonCount> cards_{};
    std::array<QLabel*, PadButtonCount> countLabels_{};
    std::array<QPoint, PadFlowerFirst> checkPositions_{}; // the check boxes' places without the aids
    QWidget* aidsStrip_ = nullptr;
    QLabel* foundLabel_ = nullptr;
    QLabel* hintLabel_ = nullptr;
    QComboBox* toleranceBox_ = nullptr;
    bool aidsShown_ = false;
    bool settingState_ = false; // inside setPadState: the aids follow once, at its end
    int markedPage_ = -1;

    QTabWidget* pageControl1_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
    std::array<QAbstractButton*, PadButtonCount> padIndex_{};
    std::array<QButtonGroup*, PadGroupCount> groups_{};
    bool modalShowing_ = false; // inside showModalSearch
    bool fillingMemo_ = false;  // inside setMemoText
    bool memoDeferred_ = false; // see setMemoDeferred
    bool shownOnce_ = false;    // the position is the pad's own only after a first show
};
