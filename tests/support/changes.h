#pragma once
// The catalogue changes the tests make as a copy of the program would,
// through the same functions as the main window: used in-process by the
// tests and by tolvarin_catalogtool, the copy they start as a process.
//
//   register FOLDER NAME SOURCE...  add pictures to NAME (a new species if missing)
//   rename FOLDER CDFOLDER OLD NEW  rename a species with its files
//   delete FOLDER NAME NUMBER       delete one picture, renumbering the rest
//   recover FOLDER                  what a starting copy does first
#include <QStringList>

#include "data/CatalogueChange.h"
#include "edit/pictureops.h"

namespace testchanges {

struct Outcome {
    int code = 0;  // 0 done, 2 failed or refused, 3 busy, 64 unknown command
    QStringList told; // what the user would be told, in order
};

inline Outcome commitAndTell(CatalogueChange& change, const PlantTable& table, Outcome out)
{
    if (change.commit(table) != CatalogueChange::Result::Ok) {
        out.told << change.error();
        out.code = 2;
    } else if (!change.notice().isEmpty()) {
        out.told << change.notice();
    }
    return out;
}

inline Outcome run(const QString& command, const QStringList& args)
{
    Outcome out;
    if (command == QLatin1String("recover")) {
        const QString told = recoverCatalogue(args.value(0));
        if (!told.isEmpty())
            out.told << told;
        return out;
    }
    CatalogueChange change(args.value(0));
    const CatalogueChange::Result locked = change.begin();
    if (!change.repaired().isEmpty())
        out.told << change.repaired();
    if (locked != CatalogueChange::Result::Ok) {
        out.told << change.error();
        out.code = locked == CatalogueChange::Result::Busy ? 3 : 2;
        return out;
    }
    PlantTable table;
    if (change.reload(table).readFailed) {
        out.told << change.error();
        out.code = 2;
        return out;
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
        return commitAndTell(change, table, out);
    }
    if (command == QLatin1String("rename") && args.size() == 4) {
        const int k = table.findByName(args[2]);
        const QString refusal =
            k == 0 ? QStringLiteral("no species") : renameSpecies(change, PictureFolders{args[1], args[0]}, table, k, args[3]);
        if (!refusal.isEmpty()) {
            out.told << refusal;
            out.code = 2;
            return out;
        }
        return commitAndTell(change, table, out);
    }
    if (command == QLatin1String("delete") && args.size() == 3) {
        const int k = table.findByName(args[1]);
        if (k == 0 || !deletePicture(change, table, k, args[2].toInt())) {
            out.code = 2;
            return out;
        }
        return commitAndTell(change, table, out);
    }
    out.code = 64;
    return out;
}

} // namespace testchanges
