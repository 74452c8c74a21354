#pragma once
// The plant table: the whole search database in memory, at most 1000
// species kept in name order, with a parallel list of their names.
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "platform/files.h"

constexpr int MaxPlants = 1000;      // slots of the table
constexpr int MaxNameBytes = 50;     // a stored name is at most 50 cp932 bytes
constexpr int SeasonCount = 4;       // spring, summer, autumn, winter
constexpr int ColourCount = 6;       // white, red, yellow, blue, purple, inconspicuous

// One species. The shape fields hold -1 for "not given" and 0 for "unknown".
struct PlantRecord {
    QString name;                      // at most MaxNameBytes in cp932
    // The name's bytes as the data file held them, when the record was
    // read from it. Several cp932 codes stand for one character (NEC and
    // IBM extensions), so encoding the name again could change them; the
    // writer gives these bytes back while they still spell `name`.
    QByteArray nameBytes;
    std::array<bool, SeasonCount> seasons{};
    std::array<bool, ColourCount> colours{};
    int flowerShape = -1;              // -1..10
    int stemHabit = -1;                // -1..3
    int leafMargin = -1;               // -1..1
    int leafShape = -1;                // -1..8
    qint32 pictureCount = 0;

    // Equal species data; how the name was spelled in the file is left out.
    friend bool operator==(const PlantRecord& a, const PlantRecord& b)
    {
        return a.name == b.name && a.seasons == b.seasons && a.colours == b.colours &&
               a.flowerShape == b.flowerShape && a.stemHabit == b.stemHabit &&
               a.leafMargin == b.leafMargin && a.leafShape == b.leafShape && a.pictureCount == b.pictureCount;
    }
    friend bool operator!=(const PlantRecord& a, const PlantRecord& b) { return !(a == b); }
};

// A name as the table stores it: cut to MaxNameBytes cp932 bytes, always
// between characters.
QString storedName(const QString& enteredName);

class PlantTable {
public:
    PlantTable();

    // Record k, 1-based. A number outside 1..MaxPlants is a programming
    // error: it throws std::out_of_range rather than touching memory.
    PlantRecord& record(int k);
    const PlantRecord& record(int k) const;

    int plantCount() const { return count_; }
    // Sets the number of records in use (0..MaxPlants; throws otherwise).
    void setPlantCount(int n);

    // plantNames position i-1 is the name of record i, for i in 1..plantCount.
    const QStringList& plantNames() const { return names_; }
    void setPlantName(int position, const QString& name);

    // Appends a species: the slot's name is the entered name cut to
    // MaxNameBytes, its list entry the entered name itself, its attributes
    // "not given" and its picture count 0. Returns the new record number, or
    // 0 when the table is full (nothing changes then).
    int append(const QString& enteredName);

    // Removes record k; the records after it move down one slot.
    void remove(int k);

    // Record number (1-based) of the species whose stored name is `name`,
    // exactly; 0 when there is none.
    int findByName(const QString& name) const;

    // The data file's stamp when it was loaded at start-up; empty before.
    std::optional<platform::FileStamp> loadedStamp;

private:
    std::array<PlantRecord, MaxPlants> records_;
    QStringList names_;
    int count_ = 0;
};

// Puts records 1..plantCount in name order (case-insensitive Japanese
// collation) and rebuilds plantNames. Ends for every input, duplicates
// included; equal names keep their relative order.
void sortPlantTable(PlantTable& table);
