#pragma once
// The comparison window ("比較"): two to four species of the last search
// side by side. Each column shows one species' pictures, stepped through on
// their own, and below them a table gives the six characters of each
// species in the pad's words, every row whose values differ highlighted,
// with the first lines of each memo.
//
// There is at most one comparison window; instance() reaches it. It keeps
// its place and size in the settings and stays inside the screen.
#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

#include "data/PlantTable.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TfCompare : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinSpecies = 2;
    static constexpr int MaxSpecies = 4;
    // Lines of each memo shown in the table.
    static constexpr int MemoLines = 3;

    ~TfCompare() override;

    // The window, or null while there is none.
    static TfCompare* instance();
    // Compares the species of `records` (1-based record numbers of the
    // plant table; numbers outside the table are left out): opens the
    // window at its remembered place, or refills the open one where it is,
    // and brings it to the front. Fewer than two valid species, or more
    // than four, open nothing; false then.
    static bool showFor(QWidget* owner, const std::vector<int>& records);
    // Destroys the window; its place is not stored (a new search, picture
    // editing mode).
    static void release();

    int speciesCount() const { return int(columns_.size()); }
    QString speciesName(int column) const;
    // The picture shown in a column: its number (1-based) and how many the
    // species has.
    int pictureNumber(int column) const;
    int pictureCount(int column) const;
    QImage shownPicture(int column) const;
    // Steps a column's picture by `delta`, wrapping round.
    void stepPicture(int column, int delta);

    // The characters table: rows in pad group order, then the memo row.
    QTableWidget* table() const { return table_; }
    static constexpr int MemoRow = 6;
    // True when the species' values in a character row differ.
    bool rowDiffers(int row) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit TfCompare(QWidget* owner);
    struct Column;
    void fill(const std::vector<PlantRecord>& species);
    void showPicture(Column& column);
    void storePlace();

    struct Column {
        PlantRecord record;
        int picture = 1;
        QImage image;
        QLabel* nameLabel = nullptr;
        QWidget* pictureBox = nullptr;
        QLabel* numberLabel = nullptr;
        QPushButton* previous = nullptr;
        QPushButton* next = nullptr;
    };
    std::vector<Column> columns_;
    QWidget* picturesArea_ = nullptr;
    QTableWidget* table_ = nullptr;
    std::vector<bool> differs_;
};
