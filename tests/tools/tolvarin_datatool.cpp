// A second copy of the program's data handling, started by the tests as a
// separate process to exercise what happens when copies share one folder.
//
//   tolvarin_datatool hold FOLDER MS          take the lock, print "locked", wait MS, exit
//   tolvarin_datatool append FOLDER NAME       register a species (retrying while busy)
//   tolvarin_datatool try-append FOLDER NAME   register once; exit 3 when busy
//   tolvarin_datatool flip FOLDER N            rewrite the table N times, alternating two versions
#include <QCoreApplication>
#include <QThread>

#include <cstdio>

#include "data/CatalogueChange.h"

namespace {

int flip(const QString& folder, int times)
{
    PlantTable table;
    for (int n = 0; n < times; ++n) {
        const auto result = rewritePlantTable(table, folder, [n](PlantTable& t) {
            // Version A has every picture count 1, version B 2: a reader
            // must see one version whole, never a mixture or a part.
            for (int k = 1; k <= t.plantCount(); ++k)
                t.record(k).pictureCount = (n % 2) + 1;
            return true;
        });
        if (result != CatalogueChange::Result::Ok)
            return 2;
    }
    return 0;
}

int append(const QString& folder, const QString& name, bool retry)
{
    PlantTable table;
    for (int attempt = 0; attempt < 500; ++attempt) {
        const auto result = rewritePlantTable(table, folder, [&](PlantTable& t) {
            const int k = t.append(name);
            if (k == 0)
                return false;
            t.record(k).pictureCount = 1;
            t.record(k).seasons[0] = true;
            return true;
        });
        if (result == CatalogueChange::Result::Ok)
            return 0;
        if (result != CatalogueChange::Result::Busy)
            return 2;
        if (!retry)
            return 3;
        QThread::msleep(10);
    }
    return 3;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 64;
    const QString command = args[1];
    const QString folder = args[2];
    if (command == QLatin1String("hold")) {
        CatalogueChange rewrite(folder);
        if (rewrite.begin() != CatalogueChange::Result::Ok)
            return 3;
        std::printf("locked\n");
        std::fflush(stdout);
        QThread::msleep(args[3].toULong());
        return 0;
    }
    if (command == QLatin1String("append"))
        return append(folder, args[3], true);
    if (command == QLatin1String("try-append"))
        return append(folder, args[3], false);
    if (command == QLatin1String("flip"))
        return flip(folder, args[3].toInt());
    return 64;
}
