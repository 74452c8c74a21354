#pragma once
// A plant table of `species` records whose values, unknown (0) and not given
// (-1) included, are drawn from a fixed seed: the same table every run, for
// tests and benchmarks of the rules over a large catalogue.
#include <QRandomGenerator>

#include <memory>

#include "data/PlantTable.h"

inline std::unique_ptr<PlantTable> randomCatalogue(int species, quint32 seed)
{
    auto table = std::make_unique<PlantTable>();
    QRandomGenerator rng(seed);
    for (int i = 0; i < species; ++i) {
        PlantRecord& r = table->record(table->append(QStringLiteral("種%1").arg(i, 4, 10, QLatin1Char('0'))));
        for (bool& f : r.seasons)
            f = rng.bounded(3) == 0;
        for (bool& f : r.colours)
            f = rng.bounded(4) == 0;
        r.flowerShape = int(rng.bounded(12)) - 1;
        r.stemHabit = int(rng.bounded(5)) - 1;
        r.leafMargin = int(rng.bounded(3)) - 1;
        r.leafShape = int(rng.bounded(10)) - 1;
    }
    return table;
}
