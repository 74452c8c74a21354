#pragma once
// The picture viewer: a tool window that shows the pictures of one found
// species at full size, one at a time, steps through its pictures and
// through the species of the last search, can fit its size to the picture
// and can copy the picture into separate windows. The memo window follows
// it from species to species.
//
// There is at most one viewer; instance() reaches it.
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>
#include <QWidget>

class QLabel;
class QScrollArea;
class QToolBar;
class QToolButton;

class TfImageView : public QWidget {
    Q_OBJECT
public:
    ~TfImageView() override;

    // The viewer, or null while there is none.
    static TfImageView* instance();
    // Opens the viewer on entry `viewKind` of the result list: creates it,
    // or restarts the open one in place (its position is stored first, so
    // it stays where it is); then shows it and brings it to the front.
    static void openOn(int viewKind);
    // Destroys the viewer without its close handling, so its position is
    // not stored (a new search, picture editing mode).
    static void release();

    // The start-up step: position (kept on screen) and fit toggle from the
    // settings, the species `viewKind` of the result list at picture 1.
    void FormCreate(int viewKind);
    // Shows picture viewPicture() of the species and sets the caption.
    void showViewerPicture();
    // Sets the window to the picture's size unless the fit toggle is
    // pressed, kept inside the screen's work area.
    void fitViewerToPicture();

    // Tool bar: end viewing, previous/next kind, previous/next picture,
    // fit toggle, separate window.
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton7Click();
    void ToolButton9Click();
    void ToolButton11Click();

    int viewKind() const { return viewKind_; }
    int viewKindCount() const { return viewKindCount_; }
    int viewRecord() const { return viewRecord_; }
    QString viewName() const { return viewName_; }
    int viewPicture() const { return viewPicture_; }
    int viewPictureCount() const { return viewPictureCount_; }
    // The picture shown; null once the viewer has closed.
    const QImage& viewBitmap() const { return viewBitmap_; }

    QToolButton* toolButton(int number) const;
    QToolBar* toolBar() const { return toolBar1_; }
    QScrollArea* scrollBox() const { return scrollBox1_; }
    QLabel* image() const { return image1_; }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TfImageView(int viewKind, QWidget* parent);
    void buildWindow();
    // Record, name, picture 1 and picture count of entry viewKind_.
    void takeKind();
    void enablePictureButtons();
    void changeKind();
    void FormCloseQuery();
    void FormClose();

    int viewKind_ = 0;
    int viewKindCount_ = 0;
    int viewRecord_ = 0;
    QString viewName_;
    int viewPicture_ = 1;
    int viewPictureCount_ = 0;
    QImage viewBitmap_;
    // Where the user had put the window before a picture too large for the
    // screen pushed it to pushedTo_.
    QPoint userPlace_;
    std::optional<QPoint> pushedTo_;

    QToolBar* toolBar1_ = nullptr;
    QScrollArea* scrollBox1_ = nullptr;
    QLabel* image1_ = nullptr;
};

// The open action of the plant name list: for a valid entry `index` of the
// result list, selects the species' memo file, opens the viewer on it and
// refreshes the memo window. Any other index does nothing.
void openSpecies(int index);

// Makes openSpecies the answer to links().openSpecies.
void connectViewerLinks();
