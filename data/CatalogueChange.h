#pragma once
// One change of the catalogue in the hard-disk folder: the data file
// "Tolvarin.dat", the picture files and the memo files, taken together.
// The user's years of work must never be left half changed, whether the
// program is killed, the power fails or a disk operation fails at any step.
//
// A change holds the folder's lock ("Tolvarin.lock") from begin() to its
// destruction; another copy that tries meanwhile is told that the data is
// being rewritten. Windows describe the change: files to add, rename and
// delete, and the table's edit. commit() then
//  1. writes every new file (pictures, the new data file) to temporary
//     files in the work folder (platform::WorkFolderName) and flushes them;
//  2. writes and flushes a journal naming every planned step and the
//     identity (inode) of every file it moves;
//  3. carries out the steps: new files take their names, files are renamed,
//     deleted files move into the work folder;
//  4. replaces "Tolvarin.dat" with the new data file: the change now stands;
//  5. removes the deleted files and, last, the journal.
// A failure before step 4 takes every step back. Whichever copy next takes
// the lock, or starts, finds a journal a killed copy left: when the data
// file is the journal's it finishes step 5, otherwise it takes the steps
// back, and tells the user what it repaired.
//
// Nothing is ever written over a data file that was not read in full under
// the lock (or is kept as a backup first); the fallback "Tolvarin.res" is
// for reading only.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "data/DataRW.h"
#include "platform/files.h"

class CatalogueChange {
public:
    enum class Result { Ok, Busy, Failed };

    // `folder` is the hard-disk folder, ending in "/".
    explicit CatalogueChange(const QString& folder);
    ~CatalogueChange();
    CatalogueChange(const CatalogueChange&) = delete;
    CatalogueChange& operator=(const CatalogueChange&) = delete;

    // Takes the lock without waiting. Then finishes or takes back a change
    // that a copy left half done (repaired() says what was done), and
    // removes the temporary files of copies that died.
    Result begin();
    bool locked() const { return lockFd_ >= 0; }
    // The hard-disk folder, ending in "/".
    const QString& folder() const { return folder_; }
    // For the user: what begin() repaired; empty when nothing.
    QString repaired() const { return repaired_; }
    // Whether begin() found a journal a copy left.
    bool foundJournal() const { return journalFound_; }

    // Reads the data file afresh under the lock, so the change is applied
    // to what other copies wrote. When it cannot be read the table is
    // unchanged and the report says why: the change must stop there.
    LoadReport reload(PlantTable& table);

    // Keeps the data file just read as "Tolvarin.res", the copy readers
    // fall back to while "Tolvarin.dat" does not exist. A fallback that
    // cannot be read is left alone.
    void keepPreviousAsFallback();

    // Describes the change for a repair message ("「ハコベ」の画像の登録").
    void describe(const QString& what) { what_ = what; }

    // Planned steps; `name` and the other names are file names in the
    // folder. Nothing visible changes before commit().
    // A new file `name` holding `bytes`. It is written to a temporary file
    // now (false, with `error`, when that fails).
    bool addFile(const QString& name, const QByteArray& bytes, QString* error = nullptr);
    // Renames `from` to `to`.
    void moveFile(const QString& from, const QString& to);
    // Deletes `name`.
    void removeFile(const QString& name);
    // A file that no species counts and that no journal explains stands
    // where a step must put a file: it is renamed to a backup name, which
    // is returned (and named to the user in notice()).
    QString moveAside(const QString& name);
    bool hasFileSteps() const { return !steps_.empty(); }
    // Forgets every planned step and removes its temporary files.
    void discard();

    // Carries out the planned steps and writes the table, as one unit.
    Result commit(const PlantTable& table);

    // Why the last begin(), reload() or commit() failed, for the user.
    QString error() const { return error_; }
    // Set by a successful commit() that the user must hear of: files moved
    // aside, a data file that was removed or replaced behind the lock (the
    // replaced file is kept as a backup), a table from a load that stopped
    // early (the lines left out are only in the backup now), or a change
    // that could not be confirmed on disk. Empty otherwise.
    QString notice() const { return notice_; }
    // The backup kept by commit() of a file whose load stopped early, if any.
    QString backupPath() const { return backupPath_; }

    struct Step {
        enum Kind { Add, Move, Remove } kind;
        QString from; // Add: the temporary in the work folder; else a name in the folder
        QString to;   // Add, Move: a name in the folder; Remove: its place in the work folder
        quint64 inode = 0;
    };

private:
    bool openFolders(int* error);
    bool recoverJournal();
    void removeStaleFiles();
    bool dataFileMayBeReplaced();
    bool validateSteps();
    bool writeJournal(const QString& dataTemporary, quint64 dataInode);
    bool carryOut(size_t& done);
    bool takeBack(const std::vector<Step>& steps, size_t count, QString* why);
    void removeTemporaries();
    void fail(const QString& text) { error_ = text; }

    QString folder_;
    platform::Folder dir_;
    platform::Folder work_;
    int lockFd_ = -1;
    LoadReport lastReload_;
    QByteArray lastBytes_;
    bool reloaded_ = false;
    QString what_;
    std::vector<Step> steps_;
    QStringList asideNotes_;
    QString error_;
    QString notice_;
    QString backupPath_;
    QString repaired_;
    bool journalFound_ = false;
    bool journalLeft_ = false;
};

// The common shape of a change of the data file alone: lock, reload, apply
// `change` to the fresh table (it returns false to cancel without writing),
// commit. `error` receives the reason of a failure and `notice` what the
// user must hear of a successful one (a repair, CatalogueChange::notice),
// when given.
CatalogueChange::Result rewritePlantTable(PlantTable& table, const QString& folder,
                                          const std::function<bool(PlantTable&)>& change,
                                          QString* error = nullptr, QString* notice = nullptr);

// At start-up: takes the lock when it is free and repairs what a copy left
// half done. Returns what the user must hear (empty when nothing).
QString recoverCatalogue(const QString& folder);
