#pragma once
// What registration, renaming and picture deletion do to the picture and
// memo files of a species in the hard-disk folder. Plain functions that
// plan the file steps of a CatalogueChange: the windows decide when to call
// them, and the change carries them out together with the data file.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "data/CatalogueChange.h"
#include "images/pictures.h"

constexpr int MaxPictureNumber = 99; // two-digit picture numbers: 01..99

// Registration.

// Why `chosen` more pictures cannot be added to a species that has
// `existingCount` (a new species when `newSpecies`, into a table holding
// `plantCount` species); empty when they can. Checked before any file is
// copied, so nothing is overwritten and the table never overflows.
QString registrationRefusal(int existingCount, int chosen, bool newSpecies, int plantCount);

// The extension a chosen file is judged by: its own, in lower case, with
// the dot, at most five characters.
QString chosenExtension(const QString& path);

// The progress value before storing file i of n (1-based): i * 100 / n
// rounded half up, at most 100.
int storeProgress(int i, int n);

struct StoreOutcome {
    enum Kind {
        Copied,  // stored byte for byte
        Reduced, // reduced to 640 pixels and stored as JPEG
        Failed,  // missing, of another kind, not decodable or not written:
                 // its number is not used
    } kind = Failed;
    QString target; // the file it is stored as, for Copied and Reduced
    QString error;  // why, for Failed
};

// The first half of storing a chosen file as picture `number` of species
// `name`: decodes it and gives the bytes to store. Pictures larger than 640
// pixels either way are reduced and stored as ".jpg"; others are copied
// with their own (lower-case) extension, a ".jpeg" file as ".jpg" (the
// only JPEG extension pictures are looked up by). Files of any other kind
// are refused. `target` of the outcome is the file name without folder.
// `announce` is told, before the work starts, whether the picture is being
// reduced (true) or copied (false). Touches no file but the source, so it
// may run on another thread while an earlier picture is stored.
StoreOutcome prepareChosenPicture(const QString& source, const QString& name, int number, QByteArray& bytes,
                                  const std::function<void(bool reducing)>& announce = {});

// The second half: plans the prepared picture as a new file of `change`
// (written to a temporary file now, named at the commit). A file of that
// picture number that no species counts is moved aside first. `target` of
// the outcome becomes the full path.
StoreOutcome storePreparedPicture(CatalogueChange& change, const StoreOutcome& prepared, const QByteArray& bytes);

// Both halves at once.
StoreOutcome storeChosenPicture(CatalogueChange& change, const QString& source, const QString& name, int number,
                                const std::function<void(bool reducing)>& announce = {});

// Chosen files prepared (the first half) ahead of their storing, on
// `threads` worker threads, while the calling thread stores the ones before:
// with two cores one picture is decoded while another is, and the one
// before them is written. Workers run at most `threads` files ahead of the
// last one taken, so only that many prepared pictures wait in memory. With
// no threads each file is prepared by take() itself.
class ChosenPictures {
public:
    ChosenPictures(const QStringList& sources, int threads);
    // Waits for the files being prepared; those not started are dropped.
    ~ChosenPictures();
    ChosenPictures(const ChosenPictures&) = delete;
    ChosenPictures& operator=(const ChosenPictures&) = delete;

    // File i (0-based) prepared as picture `number` of `name`, exactly as
    // prepareChosenPicture() gives it; `announce` is told then what it was
    // told there, so what the user sees comes in the same order as when
    // the files are worked on one at a time. Waits for the file when it is
    // not ready yet. Call it once for each file, in order.
    StoreOutcome take(int i, const QString& name, int number, QByteArray& bytes,
                      const std::function<void(bool reducing)>& announce = {});

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
    std::vector<std::thread> workers_;
};

// Registration's loop: stores the chosen `files`, in order, as pictures of
// `name` numbered from `first` on in `change`. Before file i of n, `step`
// is told the progress value storeProgress(i, n); `announce` is told
// whether the file is being reduced or copied. A file that cannot be stored
// uses no number and is listed in `failures` with its reason
// ("ファイル名（理由）"). Returns the number of pictures stored. `threads`
// as for ChosenPictures: with any number, the same numbers, files, steps
// and messages come out in the same order.
int storeChosenPictures(CatalogueChange& change, const QStringList& files, const QString& name, int first,
                        int threads, const std::function<void(int percent)>& step,
                        const std::function<void(bool reducing)>& announce, QStringList& failures);

// The worker threads registration prepares pictures on: one a core, from
// one to four.
int registrationThreads();

// Renaming.

// Why record `record` of `table` cannot be named `newName`: another species
// has that name (its files are counted), or the name cannot name files;
// empty when it can.
QString renameRefusal(const PlantTable& table, int record, const QString& newName);

// Plans renaming species `oldName` with `count` pictures to `newName`: every
// picture file of it in the hard-disk folder (each number, each extension)
// and its memo there are renamed; one that only the CD-ROM folder has is
// copied to the hard-disk folder under the new name, and so is a memo in
// the CD-ROM folder. Files of the new name that no species counts are moved
// aside first. Returns why it cannot be done (a CD-ROM file that cannot be
// read), else an empty string.
QString planRename(CatalogueChange& change, const PictureFolders& folders, const QString& oldName,
                   const QString& newName, int count);

// Renames record `record` of `table` to `newName` (stored as the table
// stores names) and plans its files' renaming in `change`. Returns why it
// is refused (nothing planned, the table unchanged), else an empty string.
QString renameSpecies(CatalogueChange& change, const PictureFolders& folders, PlantTable& table, int record,
                      const QString& newName);

// Deletion.

// The hard-disk file of picture `number` of `name` (".jpg" before
// ".bmp"); empty when the picture is not in the hard-disk folder.
QString hardDiskPicture(const QString& hddDir, const QString& name, int number);

// Plans deleting picture `number` of `name` (1-based) from the hard-disk
// folder of `change` and closing the gap: pictures number+1..count move down
// one number, each keeping its own extension. A file of the deleted number
// with the other extension, which the deleted one hid, is moved aside.
// Returns false, planning nothing, when the picture is not in the
// hard-disk folder.
bool planPictureDeletion(CatalogueChange& change, const QString& name, int number, int count);

// Plans deleting picture `number` of record `record` of `table` and counts
// it out: the record's count goes down by one, and a record left without
// pictures leaves the table. False, changing nothing, when the picture is
// not in the hard-disk folder.
bool deletePicture(CatalogueChange& change, PlantTable& table, int record, int number);
