#pragma once
// The main window: start-up and shutdown, the grid of result pictures and
// the commands of its tool bar and menu.
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <functional>
#include <vector>

#include "data/CatalogueChange.h"
#include "images/pictures.h"

class QAction;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolButton;
class TfSearch;
class TfRun;

// One picture slot of the grid: shows a picture at natural size or
// stretched to the slot's size.
class PictureSlot : public QWidget {
    Q_OBJECT
public:
    PictureSlot(int tag, QWidget* parent);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    void setPicture(const QImage& image) { image_ = image; update(); }
    const QImage& picture() const { return image_; }
    // Removes or restores the click and hover reactions.
    void setHandlersAttached(bool attached) { handlers_ = attached; }
    bool handlersAttached() const { return handlers_; }
signals:
    void hovered(int tag);
    void clicked(int tag);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    int tag_;
    QImage image_;
    bool handlers_ = true;
    bool pressed_ = false;
};

// The selection frame: a red rectangle over the selected slot, invisible
// (window-face colour) when nothing is selected. Releasing a mouse button
// on it opens the species in result mode.
class SelectionFrame : public QWidget {
    Q_OBJECT
public:
    explicit SelectionFrame(QWidget* parent);
    void setPenColour(const QColor& colour) { pen_ = colour; update(); }
    QColor penColour() const { return pen_; }
    bool isShown() const { return pen_ == Qt::red; }
    // The keys held when a mouse button was last released on the frame.
    Qt::KeyboardModifiers releaseModifiers() const { return releaseModifiers_; }
signals:
    void released();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QColor pen_;
    Qt::KeyboardModifiers releaseModifiers_;
};

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence with the settings
    // file `iniPath`; `exeFolder` (ending in "/") is where the default
    // picture folder lies.
    TfMain(const QString& iniPath, const QString& exeFolder, QWidget* parent = nullptr);
    ~TfMain() override;

    // The search pad, created after the main window.
    void setSearchPad(TfSearch* pad);
    TfSearch* searchPad() const { return pad_; }

    // The picture slots of the grid.
    int slotCount() const { return int(slots_.size()); }
    PictureSlot* pictureSlot(int i) const { return slots_.at(size_t(i)); }
    SelectionFrame* selectionFrame() const { return shape1_; }
    PictureFolders folders() const;

    // Grid operations.
    int resetPictureSlots(int n);
    int loadResultPicture(int i, int attempt);
    void fitPicture(PictureSlot* slot, const QImage& image, const QSize& fullSize);
    void layoutSlots();
    // Sizes the scroll box's canvas to the grid of the current slots.
    void fitCanvas();
    void selectPicture(int i);
    void hideSelectionFrame();

    // Commands.
    void Find1Click();
    void Exit1Click();
    void Setup1Click();
    void About1Click();
    void Contents1Click();
    void N3Click();
    void Compare1Click();
    void A1Click();
    void ToolButton11Click();
    void Shape1MouseUp();

    // Picture editing mode.
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton10Click();
    void ToolButton17Click();
    void showKind(int k, const QString& name, int count);
    void showKindOnPad(int k);
    void previewChosenPictures(const QStringList& files);
    // Renames the pictures, the memo and the record of currentSpecies and
    // writes the table, as one change; false (the user told) when refused or
    // when it failed and nothing changed.
    bool renameSpeciesFiles(CatalogueChange& change, const QString& newName);
    void planNewSpeciesMemo(CatalogueChange& change);

    // How the search waits between attempts to load a picture (tests
    // replace it to record the waits instead of sleeping).
    std::function<void(int ms)> retryPause;

protected:
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void buildWindow();
    void formCreate();
    void FormCloseQuery();
    void disableEditButtons();
    void runSearch();
    void showResultPictures(TfRun* run);
    void reportIncompleteLoad(const LoadReport& report);
    void ArImage1MouseMove(int tag);
    void stepKind(int delta);
    // Takes the data file's lock for a deletion and finds `name` in the
    // table read afresh: its record number, or 0 (the user told) when the
    // lock cannot be had or another copy removed the species.
    int lockForDeletion(CatalogueChange& change, const QString& name);
    // Removes the shown species when it has no pictures, after asking.
    void removeSpeciesWithoutPictures();
    // After a deletion: shows the species now at place k of the table (the
    // new last one when k is past the end), or nothing when none is left.
    void showPlaceAfterDeletion(int k);
    // Starts a change of the catalogue: takes the lock and reads the data
    // file afresh. False (after telling the user, with `busyText` when
    // another copy holds it) when it cannot be had or the data file cannot
    // be read. With `plainMessages` (picture deletion) the user is told in
    // plain messages that begin with `busyText`, else in error boxes.
    bool beginChange(CatalogueChange& change, const QString& busyText, bool plainMessages = false);
    // A change made on the correction pad but not confirmed with "変更":
    // asks whether to keep it before the pad moves on. False when the user
    // cancels, or the change could not be stored. Without `mayCancel` (the
    // program is closing) the question has no cancel button.
    bool settlePendingCorrection(bool mayCancel = true);
    // True when the species shown is still `name` with `count` pictures and
    // the picture in `slot` is still the very file shown there.
    bool stillAsShown(const QString& name, int count, int slot) const;
    void storeCorrection();
    // Closes the plant name list, the picture viewer and the memo window
    // (a new search or picture editing starts).
    void closeSecondaryWindows();
    // Runs the plant name list as the chooser of a species: true on OK,
    // with the chosen record (0 for none) and the name entered, if any.
    bool chooseSpecies(bool correction, int& record, QString& newName);
    void ArImage1Click(int tag);

    QString iniPath_;
    QString exeFolder_;
    TfSearch* pad_ = nullptr;
    QScrollArea* scrollBox1_ = nullptr;
    QWidget* canvas_ = nullptr;
    SelectionFrame* shape1_ = nullptr;
    QLabel* image1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    std::vector<PictureSlot*> slots_;
    QImage placeholder_;
    QSet<QString> reportedBackups_;
    // The species showKind last showed, and the file of each slot.
    struct ShownPicture {
        QString path;
        platform::FileStamp stamp;
    };
    QString shownName_;
    int shownCount_ = 0;
    std::vector<ShownPicture> shownPictures_;
    bool created_ = false;

public:
    QToolButton* toolButton(int number) const;
    QAction* menuAction(const char* name) const;

    // The species named in the status bar. It stays until the next
    // selection: a permanent label, which a menu's status tip cannot clear.
    void setStatusText(const QString& text);
    QString statusText() const;

    // Identification aids on the result pictures: the 「1つ違い」 marks of
    // near matches, and the 「比較」 marks of the species chosen for the
    // comparison (indices into resultList).
    void markNearMatches();
    void markComparedSlots(const QList<int>& chosen);
    // The tests result i fails; 0 for an exact match or no such result.
    unsigned resultMisses(int i) const;

private:
    QLabel* statusText_ = nullptr;
};

TfMain* fMain();
