// Another copy of the program's catalogue changes, started by the tests as
// a separate process: it makes the same change as the main window does,
// through the same functions, and can be stopped dead (SIGKILL) just before
// any step that touches the disk.
//
//   tolvarin_catalogtool STOP register FOLDER NAME SOURCE...  add pictures to NAME (new species if missing)
//   tolvarin_catalogtool STOP rename FOLDER CDFOLDER OLD NEW  rename a species with its files
//   tolvarin_catalogtool STOP delete FOLDER NAME NUMBER       delete one picture, renumbering the rest
//   tolvarin_catalogtool STOP recover FOLDER                  what a starting copy does first
//
// STOP is the step before which the process kills itself, 0 for none. On
// completion it prints "steps N" (the steps it took) and what the user
// would be told, and exits 0; 2 when the change failed, 3 when busy.
#include <QCoreApplication>

#include <cstdio>

#include "data/CatalogueChange.h"
#include "edit/pictureops.h"

namespace {

void say(const QString& text)
{
    if (!text.isEmpty())
        std::printf("%s\n", text.toUtf8().constData());
}

int finish(CatalogueChange& change, const PlantTable& table)
{
    if (change.commit(table) != CatalogueChange::Result::Ok) {
        say(change.error());
        return 2;
    }
    say(change.notice());
    return 0;
}

int run(const QString& command, const QStringList& args)
{
    if (command == QLatin1String("recover")) {
        say(recoverCatalogue(args.value(0)));
        return 0;
    }
    CatalogueChange change(args.value(0));
    const CatalogueChange::Result locked = change.begin();
    say(change.repaired());
    if (locked != CatalogueChange::Result::Ok) {
        say(change.error());
        return locked == CatalogueChange::Result::Busy ? 3 : 2;
    }
    PlantTable table;
    if (change.reload(table).readFailed) {
        say(change.error());
        return 2;
    }
    if (command == QLatin1String("register") && args.size() >= 3) {
        change.keepPreviousAsFallback();
        int k = table.findByName(args[1]);
        if (k == 0) {
            k = table.append(args[1]);
            table.record(k).seasons[0] = true;
        }
        const QString name = table.record(k).name;
        change.describe(QStringLiteral("「%1」の画像の登録").arg(name));
        int next = table.record(k).pictureCount + 1;
        for (const QString& source : args.mid(2))
            if (storeChosenPicture(change, source, name, next).kind != StoreOutcome::Failed)
                ++next;
        table.record(k).pictureCount = next - 1;
        return finish(change, table);
    }
    if (command == QLatin1String("rename") && args.size() == 4) {
        const int k = table.findByName(args[2]);
        if (k == 0)
            return 2;
        const QString refusal = renameSpecies(change, PictureFolders{args[1], args[0]}, table, k, args[3]);
        if (!refusal.isEmpty()) {
            say(refusal);
            return 2;
        }
        return finish(change, table);
    }
    if (command == QLatin1String("delete") && args.size() == 3) {
        const int k = table.findByName(args[1]);
        if (k == 0 || !deletePicture(change, table, k, args[2].toInt()))
            return 2;
        return finish(change, table);
    }
    return 64;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 64;
    platform::countStepsForTesting(args[1].toInt());
    const int result = run(args[2], args.mid(3));
    std::printf("steps %d\n", platform::stepsForTesting());
    return result;
}
