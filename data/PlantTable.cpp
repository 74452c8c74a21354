#include "data/PlantTable.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "platform/collate.h"
#include "platform/cp932.h"

QString storedName(const QString& enteredName)
{
    return cp932::truncateToBytes(enteredName, MaxNameBytes);
}

PlantTable::PlantTable()
{
    names_.reserve(MaxPlants);
    for (int i = 0; i < MaxPlants; ++i)
        names_.append(QString());
}

PlantRecord& PlantTable::record(int k)
{
    if (k < 1 || k > MaxPlants)
        throw std::out_of_range("plant record number out of range");
    return records_[size_t(k - 1)];
}

const PlantRecord& PlantTable::record(int k) const
{
    if (k < 1 || k > MaxPlants)
        throw std::out_of_range("plant record number out of range");
    return records_[size_t(k - 1)];
}

void PlantTable::setPlantCount(int n)
{
    if (n < 0 || n > MaxPlants)
        throw std::out_of_range("plant count out of range");
    count_ = n;
}

void PlantTable::setPlantName(int position, const QString& name)
{
    if (position < 0 || position >= MaxPlants)
        throw std::out_of_range("plant name position out of range");
    names_[position] = name;
}

int PlantTable::append(const QString& enteredName)
{
    if (count_ >= MaxPlants)
        return 0;
    ++count_;
    PlantRecord& r = records_[size_t(count_ - 1)];
    r = PlantRecord{};
    r.name = storedName(enteredName);
    names_[count_ - 1] = enteredName;
    return count_;
}

void PlantTable::remove(int k)
{
    if (k < 1 || k > count_)
        throw std::out_of_range("removed record number out of range");
    for (int i = k; i < count_; ++i) {
        records_[size_t(i - 1)] = std::move(records_[size_t(i)]);
        names_[i - 1] = names_[i];
    }
    records_[size_t(count_ - 1)] = PlantRecord{};
    names_[count_ - 1].clear();
    --count_;
}

int PlantTable::findByName(const QString& name) const
{
    for (int i = 0; i < count_; ++i)
        if (records_[size_t(i)].name == name)
            return i + 1;
    return 0;
}

void sortPlantTable(PlantTable& table)
{
    const int n = table.plantCount();
    if (n == 0)
        return;
    // A stable sort of whole records: it ends for any input, and names that
    // compare equal keep the order they had in the file.
    std::vector<PlantRecord> records;
    records.reserve(size_t(n));
    for (int i = 1; i <= n; ++i)
        records.push_back(std::move(table.record(i)));
    std::stable_sort(records.begin(), records.end(), [](const PlantRecord& a, const PlantRecord& b) {
        return platform::compareNames(a.name, b.name) < 0;
    });
    for (int i = 1; i <= n; ++i) {
        table.record(i) = std::move(records[size_t(i - 1)]);
        table.setPlantName(i - 1, table.record(i).name);
    }
}
