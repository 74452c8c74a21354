#include "search/compare.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/placement.h"
#include "app/state.h"
#include "data/DataRW.h"
#include "images/pictures.h"
#include "memo/MemoFile.h"
#include "search/guidance.h"

namespace {

QPointer<TfCompare> gCompare;

const QColor DifferenceColour(255, 228, 170);

// A picture fitted into the box, never enlarged, centred.
class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent) : QWidget(parent) { setMinimumSize(120, 90); }
    void setImage(const QImage& image)
    {
        image_ = image;
        update();
    }
    QSize sizeHint() const override { return {200, 150}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        if (image_.isNull())
            return;
        QSize size = image_.size();
        if (size.width() > width() || size.height() > height())
            size.scale(this->size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, image_);
    }

private:
    QImage image_;
};

// The first lines of a species' memo; "—" when it has none.
QString memoStart(const QString& name)
{
    const Settings& s = settings();
    const QString path = selectMemoFile(s.cdDir, s.hddDir, name);
    QStringList lines;
    if (path.isEmpty() || !readMemoLines(path, lines))
        return QStringLiteral("—");
    QStringList shown;
    for (const QString& line : lines) {
        if (shown.size() == TfCompare::MemoLines)
            break;
        shown << line;
    }
    while (!shown.isEmpty() && shown.back().trimmed().isEmpty())
        shown.removeLast();
    if (shown.isEmpty())
        return QStringLiteral("—");
    if (lines.size() > shown.size())
        shown.back() += QStringLiteral("…");
    return shown.join(QLatin1Char('\n'));
}

} // namespace

TfCompare::TfCompare(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fCompare"));
    setWindowTitle(QStringLiteral("比較"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("CompareSplitter"));
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter);

    picturesArea_ = new QWidget(splitter);
    picturesArea_->setObjectName(QStringLiteral("PicturesArea"));
    table_ = new QTableWidget(splitter);
    table_->setObjectName(QStringLiteral("CompareTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    splitter->addWidget(picturesArea_);
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 260});
}

TfCompare::~TfCompare() = default;

TfCompare* TfCompare::instance()
{
    return gCompare.data();
}

bool TfCompare::showFor(QWidget* owner, const std::vector<int>& records)
{
    const PlantTable& table = plantTable();
    std::vector<PlantRecord> species;
    for (int k : records)
        if (k >= 1 && k <= table.plantCount())
            species.push_back(table.record(k));
    if (species.size() < size_t(MinSpecies) || species.size() > size_t(MaxSpecies))
        return false;

    TfCompare* window = gCompare.data();
    if (!window) {
        window = new TfCompare(owner);
        gCompare = window;
        const Settings& s = settings();
        window->resize(s.compareWidth, s.compareHeight);
        window->move(s.compareLeft, s.compareTop);
        placeForm(window);
    }
    window->fill(species);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void TfCompare::release()
{
    delete gCompare.data();
}

void TfCompare::fill(const std::vector<PlantRecord>& species)
{
    // The pictures area is built afresh for the new species.
    qDeleteAll(picturesArea_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    delete picturesArea_->layout();
    columns_.clear();
    columns_.resize(species.size());

    auto* grid = new QGridLayout(picturesArea_);
    grid->setContentsMargins(0, 0, 0, 0);
    QFont bold = font();
    bold.setBold(true);
    for (size_t c = 0; c < species.size(); ++c) {
        Column& column = columns_[c];
        column.record = species[c];
        const int col = int(c) * 3;
        column.nameLabel = new QLabel(column.record.name, picturesArea_);
        column.nameLabel->setObjectName(QStringLiteral("Name%1").arg(c));
        column.nameLabel->setTextFormat(Qt::PlainText);
        column.nameLabel->setFont(bold);
        column.nameLabel->setAlignment(Qt::AlignCenter);
        grid->addWidget(column.nameLabel, 0, col, 1, 3);
        column.pictureBox = new PictureBox(picturesArea_);
        column.pictureBox->setObjectName(QStringLiteral("Picture%1").arg(c));
        grid->addWidget(column.pictureBox, 1, col, 1, 3);
        column.previous = new QPushButton(QStringLiteral("前画像"), picturesArea_);
        column.previous->setObjectName(QStringLiteral("Previous%1").arg(c));
        column.numberLabel = new QLabel(picturesArea_);
        column.numberLabel->setObjectName(QStringLiteral("Number%1").arg(c));
        column.numberLabel->setAlignment(Qt::AlignCenter);
        column.next = new QPushButton(QStringLiteral("次画像"), picturesArea_);
        column.next->setObjectName(QStringLiteral("Next%1").arg(c));
        grid->addWidget(column.previous, 2, col);
        grid->addWidget(column.numberLabel, 2, col + 1);
        grid->addWidget(column.next, 2, col + 2);
        connect(column.previous, &QPushButton::clicked, this, [this, c] { stepPicture(int(c), -1); });
        connect(column.next, &QPushButton::clicked, this, [this, c] { stepPicture(int(c), 1); });
        for (int i = 0; i < 3; ++i)
            grid->setColumnStretch(col + i, i == 1 ? 2 : 1);
        column.picture = 1;
        showPicture(column);
    }
    grid->setRowStretch(1, 1);

    // The characters, then the memo, one column per species.
    const int rows = PadGroupCount + 1;
    table_->clear();
    table_->setColumnCount(int(species.size()));
    table_->setRowCount(rows);
    QStringList names;
    for (const PlantRecord& r : species)
        names << r.name;
    table_->setHorizontalHeaderLabels(names);
    QStringList labels;
    for (int g = 0; g < PadGroupCount; ++g)
        labels << padGroupLabel(PadGroup(g));
    labels << QStringLiteral("メモ");
    table_->setVerticalHeaderLabels(labels);
    differs_.assign(size_t(rows), false);
    for (int row = 0; row < rows; ++row) {
        QStringList values;
        for (const PlantRecord& r : species)
            values << (row < PadGroupCount ? characterText(r, PadGroup(row)) : memoStart(r.name));
        bool differ = false;
        for (const QString& v : values)
            differ = differ || v != values.front();
        // Memos are told apart by reading them, not marked.
        differ = differ && row < PadGroupCount;
        differs_[size_t(row)] = differ;
        for (int c = 0; c < values.size(); ++c) {
            auto* item = new QTableWidgetItem(values[c]);
            item->setTextAlignment(row < PadGroupCount ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
            if (differ) {
                item->setBackground(DifferenceColour);
                QFont f = font();
                f.setBold(true);
                item->setFont(f);
            }
            table_->setItem(row, c, item);
        }
        if (QTableWidgetItem* header = table_->verticalHeaderItem(row)) {
            QFont f = font();
            f.setBold(differ);
            header->setFont(f);
            if (row == MemoRow)
                header->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
    }
    table_->resizeRowToContents(MemoRow);
}

void TfCompare::showPicture(Column& column)
{
    const int count = column.record.pictureCount;
    const PictureFolders folders{settings().cdDir, settings().hddDir};
    QImage image;
    if (count >= 1) {
        const QString path = findPictureFile(folders, column.record.name, column.picture);
        Bitmap24 bitmap;
        QSize full;
        if (!path.isEmpty() && loadPictureScaled(path, 320, 240, bitmap, &full))
            image = bitmap.toImage().copy();
    }
    column.image = image.isNull() ? missingPicture() : image;
    static_cast<PictureBox*>(column.pictureBox)->setImage(column.image);
    column.numberLabel->setText(QStringLiteral("%1 / %2").arg(count >= 1 ? column.picture : 0).arg(std::max(0, count)));
    column.previous->setEnabled(count > 1);
    column.next->setEnabled(count > 1);
}

QString TfCompare::speciesName(int column) const
{
    return columns_.at(size_t(column)).record.name;
}

int TfCompare::pictureNumber(int column) const
{
    return columns_.at(size_t(column)).picture;
}

int TfCompare::pictureCount(int column) const
{
    return columns_.at(size_t(column)).record.pictureCount;
}

QImage TfCompare::shownPicture(int column) const
{
    return columns_.at(size_t(column)).image;
}

void TfCompare::stepPicture(int column, int delta)
{
    Column& c = columns_.at(size_t(column));
    const int count = c.record.pictureCount;
    if (count <= 1)
        return;
    c.picture = ((c.picture - 1 + delta) % count + count) % count + 1;
    showPicture(c);
}

bool TfCompare::rowDiffers(int row) const
{
    return row >= 0 && size_t(row) < differs_.size() && differs_[size_t(row)];
}

void TfCompare::storePlace()
{
    Settings& s = settings();
    s.compareLeft = x();
    s.compareTop = y();
    s.compareWidth = width();
    s.compareHeight = height();
}

void TfCompare::closeEvent(QCloseEvent* event)
{
    storePlace();
    QWidget::closeEvent(event);
}
