// Fuzz target of the data file reader: any bytes as "Tolvarin.dat". The
// reader must end without a fault and leave a consistent table, and the
// table written back must be a data file that loads completely, with the
// same records; a second round changes nothing more. A load into a table
// that already holds another catalogue gives the same table.
#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

#include "data/DataRW.h"
#include "fuzzsupport.h"
#include "platform/cp932.h"

namespace {

// Everything of a record but its name.
using Attributes = std::tuple<std::array<bool, SeasonCount>, std::array<bool, ColourCount>, int, int, int, int, qint32>;

std::vector<Attributes> attributesOf(const PlantTable& table)
{
    std::vector<Attributes> all;
    for (int k = 1; k <= table.plantCount(); ++k) {
        const PlantRecord& r = table.record(k);
        all.emplace_back(r.seasons, r.colours, r.flowerShape, r.stemHabit, r.leafMargin, r.leafShape, r.pictureCount);
    }
    std::sort(all.begin(), all.end());
    return all;
}

void checkTable(const PlantTable& table, const LoadReport& report)
{
    FUZZ_CHECK(report.fileRead);
    FUZZ_CHECK(report.recordsRead == table.plantCount());
    FUZZ_CHECK(table.plantCount() >= 0 && table.plantCount() <= MaxPlants);
    FUZZ_CHECK(report.complete() == (report.stopLine == 0));
    FUZZ_CHECK((report.complete() && report.unreadableLine == 0) == report.message(QString()).isEmpty());
    for (int k = 1; k <= table.plantCount(); ++k) {
        const PlantRecord& r = table.record(k);
        FUZZ_CHECK(table.plantNames().at(k - 1) == r.name);
        FUZZ_CHECK(cp932::byteLength(r.name) <= MaxNameBytes);
        FUZZ_CHECK(r.flowerShape >= -1 && r.flowerShape <= 10);
        FUZZ_CHECK(r.stemHabit >= -1 && r.stemHabit <= 3);
        FUZZ_CHECK(r.leafMargin >= -1 && r.leafMargin <= 1);
        FUZZ_CHECK(r.leafShape >= -1 && r.leafShape <= 8);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString& folder = fuzzsupport::scratchFolder();

    fuzzsupport::writeScratchFile(DataFileName, data, size);
    auto first = std::make_unique<PlantTable>();
    const LoadReport report = readPlantTable(*first, folder);
    checkTable(*first, report);

    // The program loads into the one table it keeps, over whatever the last
    // load left there; that must give the same table as a fresh one.
    static PlantTable* const kept = new PlantTable;
    const LoadReport keptReport = readPlantTable(*kept, folder);
    FUZZ_CHECK(keptReport.stop == report.stop && keptReport.stopLine == report.stopLine);
    FUZZ_CHECK(keptReport.unreadableLine == report.unreadableLine);
    FUZZ_CHECK(kept->plantCount() == first->plantCount());
    for (int k = 1; k <= kept->plantCount(); ++k)
        FUZZ_CHECK(kept->record(k) == first->record(k));

    const QByteArray written = writePlantTable(*first);
    fuzzsupport::writeScratchFile(DataFileName, written);
    auto second = std::make_unique<PlantTable>();
    const LoadReport reread = readPlantTable(*second, folder);
    checkTable(*second, reread);
    FUZZ_CHECK(reread.complete());
    FUZZ_CHECK(second->plantCount() == first->plantCount());
    FUZZ_CHECK(attributesOf(*second) == attributesOf(*first));
    // A name comes back as it was read, byte for byte.
    for (int k = 1; k <= second->plantCount(); ++k)
        FUZZ_CHECK(second->record(k).name == first->record(k).name &&
                   second->record(k).nameBytes == first->record(k).nameBytes);

    // Another round is exact.
    const QByteArray rewritten = writePlantTable(*second);
    fuzzsupport::writeScratchFile(DataFileName, rewritten);
    auto third = std::make_unique<PlantTable>();
    const LoadReport third_report = readPlantTable(*third, folder);
    checkTable(*third, third_report);
    FUZZ_CHECK(third_report.complete());
    FUZZ_CHECK(writePlantTable(*third) == rewritten);
    FUZZ_CHECK(rewritten == written);
    for (int k = 1; k <= third->plantCount(); ++k)
        FUZZ_CHECK(third->record(k) == second->record(k));
    return 0;
}
