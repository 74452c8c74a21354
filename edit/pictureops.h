#pragma once
// What registration, renaming and picture deletion do to the picture files
// of a species in the hard-disk folder. Plain functions on paths: the
// windows decide when to call them, under the data file's lock.
#include <QString>
#include <QStringList>

#include <functional>

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
    QString target; // the stored file, for Copied and Reduced
    QString error;  // why, for Failed
};

// Stores `source` as picture `number` of species `name` in `hddDir`.
// Pictures larger than 640 pixels either way are reduced and stored as
// ".jpg"; others are copied with their own (lower-case) extension, a
// ".jpeg" file as ".jpg" (the only JPEG extension pictures are looked up
// by). Files of any other kind are refused. An existing file is never
// replaced. `announce` is told, before the work
// starts, whether the picture is being reduced (true) or copied (false).
StoreOutcome storeChosenPicture(const QString& source, const QString& hddDir, const QString& name, int number,
                                const std::function<void(bool reducing)>& announce = {});

// Renaming.

// Why species `oldName` with `count` pictures cannot be renamed to
// `newName` (a picture file of the new name is already in the folder where
// one would be renamed to); empty when it can.
QString renameRefusal(const PictureFolders& folders, const QString& oldName, const QString& newName, int count);

// Renames pictures 1..count of `oldName` to `newName` in the folder each
// lies in, keeping number and extension. Never replaces a file; a picture
// that is missing or cannot be renamed is passed over.
void renameSpeciesPictures(const PictureFolders& folders, const QString& oldName, const QString& newName,
                           int count);

// Deletion.

// The hard-disk file of picture `number` of `name` (".jpg" before
// ".bmp"); empty when the picture is not in the hard-disk folder.
QString hardDiskPicture(const QString& hddDir, const QString& name, int number);

// Deletes picture `number` of `name` (1-based) from `hddDir` and closes the
// gap: pictures number+1..count move down one number, each keeping its own
// extension. Returns false, changing nothing, when the picture is not in
// the hard-disk folder.
bool deletePictureAndRenumber(const QString& hddDir, const QString& name, int number, int count);
