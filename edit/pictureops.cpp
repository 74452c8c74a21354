#include "edit/pictureops.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>

#include "edit/names.h"
#include "images/BitmapUtils.h"
#include "images/picturefaults.h"
#include "memo/MemoFile.h"
#include "platform/files.h"

QString registrationRefusal(int existingCount, int chosen, bool newSpecies, int plantCount)
{
    if (newSpecies && plantCount >= 1000)
        return QStringLiteral("登録できる植物は1000種類までです。\n\n新しい植物は登録できません。");
    const long long last = (long long)std::max(0, existingCount) + std::max(0, chosen);
    if (last > MaxPictureNumber)
        return QStringLiteral("1種類の植物に登録できる画像は%1枚までです。\n\nこの植物にはすでに%2枚あるため、"
                              "%3枚は追加できません。")
            .arg(MaxPictureNumber)
            .arg(existingCount)
            .arg(chosen);
    return {};
}

QString chosenExtension(const QString& path)
{
    const QString file = QFileInfo(path).fileName();
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return file.mid(dot).toLower().left(5);
}

int storeProgress(int i, int n)
{
    if (n <= 0)
        return 100;
    return std::min(100, int(double(i) * 100.0 / n + 0.5));
}

namespace {

const QString MissingFile = QStringLiteral("ファイルがありません");

// A chosen file made ready for storing before its species and number are
// known: the outcome's `target` holds only the extension.
struct Prepared {
    bool found = false; // the file was there
    StoreOutcome outcome;
    QByteArray bytes;
    int announced = -1; // what `announce` was told: -1 nothing, 0 copying, 1 reducing
};

Prepared prepareOrThrow(const QString& source, const std::function<void(bool)>& announce)
{
    Prepared p;
    StoreOutcome& out = p.outcome;
    const auto tell = [&](bool reducing) {
        p.announced = reducing ? 1 : 0;
        if (announce)
            announce(reducing);
    };
    QString ext = chosenExtension(source);
    if (ext == QLatin1String(".jpeg"))
        ext = QStringLiteral(".jpg");
    const bool bitmap = ext == QLatin1String(".bmp");
    // A file that is gone or of another kind is reported, not counted: a
    // number without a file would only ever show the placeholder.
    p.found = platform::fileExists(source);
    if (!p.found) {
        out.error = MissingFile;
        return p;
    }
    if (!bitmap && ext != QLatin1String(".jpg")) {
        out.error = QStringLiteral("JPEG（.jpg）と BMP（.bmp）の画像だけを登録できます");
        return p;
    }
    // Every chosen picture is decoded once, to learn its size and to make
    // sure that what is stored is a picture the program can show. One
    // larger than 640 pixels either way is reduced while it is decoded.
    Bitmap24 reduced;
    if (!decodeForStoring(source, bitmap, MaxPictureSide, reduced, nullptr, &out.error))
        return p;
    if (!reduced.isEmpty()) {
        tell(true);
        if (!encodeJpeg(reduced, p.bytes)) {
            out.error = QStringLiteral("画像を JPEG 形式にできません");
            return p;
        }
        out.target = QStringLiteral(".jpg");
        out.kind = StoreOutcome::Reduced;
        return p;
    }
    tell(false);
    int e = 0;
    if (!platform::readFile(source, p.bytes, &e)) {
        out.error = QStringLiteral("画像ファイルを読み込めません: %1").arg(platform::reasonText(e));
        p.bytes.clear();
        return p;
    }
    out.target = ext;
    out.kind = StoreOutcome::Copied;
    return p;
}

// A picture that does not fit in memory fails like one that cannot be read.
Prepared prepareUnnamed(const QString& source, const std::function<void(bool)>& announce)
{
    try {
        return prepareOrThrow(source, announce);
    } catch (const std::bad_alloc&) {
        Prepared p;
        p.found = true;
        p.outcome.error = picturefaults::noMemory();
        return p;
    }
}

// A species name that cannot name files refuses every file that is there.
StoreOutcome nameRefusal()
{
    StoreOutcome out;
    out.error = QStringLiteral("この植物名では画像ファイルを作れません");
    return out;
}

// The prepared file as picture `number` of `name`.
StoreOutcome named(Prepared& p, const QString& name, int number, QByteArray& bytes)
{
    StoreOutcome out = p.outcome;
    bytes.clear();
    if (out.kind == StoreOutcome::Failed)
        return out;
    out.target = name + pictureNumberText(number) + out.target;
    bytes = std::move(p.bytes);
    return out;
}

} // namespace

StoreOutcome prepareChosenPicture(const QString& source, const QString& name, int number, QByteArray& bytes,
                                  const std::function<void(bool)>& announce)
{
    bytes.clear();
    if (platform::fileExists(source) && !platform::staysInFolder(name))
        return nameRefusal();
    Prepared p = prepareUnnamed(source, announce);
    return named(p, name, number, bytes);
}

struct ChosenPictures::Shared {
    QStringList sources; // read by every thread: only through const access (at())
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::optional<Prepared>> ready;
    int claimed = 0;  // files given to a worker
    int taken = 0;    // files handed out by take()
    int ahead = 0;    // how far the workers may run ahead of take()
    bool stopping = false;

    void work()
    {
        for (;;) {
            int i;
            {
                std::unique_lock<std::mutex> g(lock);
                changed.wait(g, [&] { return stopping || claimed >= sources.size() || claimed < taken + ahead; });
                if (stopping || claimed >= sources.size())
                    return;
                i = claimed++;
            }
            Prepared p = prepareUnnamed(sources.at(i), {});
            {
                std::lock_guard<std::mutex> g(lock);
                ready[size_t(i)] = std::move(p);
            }
            changed.notify_all();
        }
    }
};

ChosenPictures::ChosenPictures(const QStringList& sources, int threads)
    : shared_(std::make_unique<Shared>())
{
    shared_->sources = sources;
    shared_->ready.resize(size_t(sources.size()));
    shared_->ahead = std::max(0, threads);
    for (int k = 0; k < std::min(threads, int(sources.size())); ++k)
        workers_.emplace_back([s = shared_.get()] { s->work(); });
}

ChosenPictures::~ChosenPictures()
{
    {
        std::lock_guard<std::mutex> g(shared_->lock);
        shared_->stopping = true;
    }
    shared_->changed.notify_all();
    for (std::thread& t : workers_)
        t.join();
}

StoreOutcome ChosenPictures::take(int i, const QString& name, int number, QByteArray& bytes,
                                  const std::function<void(bool)>& announce)
{
    bytes.clear();
    if (i < 0 || i >= shared_->sources.size())
        return StoreOutcome{StoreOutcome::Failed, QString(), MissingFile};
    if (workers_.empty())
        return prepareChosenPicture(shared_->sources.at(i), name, number, bytes, announce);
    Prepared p;
    {
        std::unique_lock<std::mutex> g(shared_->lock);
        shared_->changed.wait(g, [&] { return shared_->ready[size_t(i)].has_value(); });
        p = std::move(*shared_->ready[size_t(i)]);
        shared_->ready[size_t(i)].reset();
        shared_->taken = std::max(shared_->taken, i + 1);
    }
    shared_->changed.notify_all();
    // What the user is told, in the order of working on one file at a time:
    // a name that cannot name files before anything is announced.
    if (p.found && !platform::staysInFolder(name))
        return nameRefusal();
    if (p.announced >= 0 && announce)
        announce(p.announced == 1);
    return named(p, name, number, bytes);
}

int storeChosenPictures(CatalogueChange& change, const QStringList& files, const QString& name, int first,
                        int threads, const std::function<void(int)>& step, const std::function<void(bool)>& announce,
                        QStringList& failures)
{
    ChosenPictures ahead(files, threads);
    const int n = int(files.size());
    int next = first;
    for (int i = 1; i <= n; ++i) {
        if (step)
            step(storeProgress(i, n));
        QByteArray bytes;
        const StoreOutcome prepared = ahead.take(i - 1, name, next, bytes, announce);
        const StoreOutcome outcome = storePreparedPicture(change, prepared, bytes);
        if (outcome.kind == StoreOutcome::Failed)
            failures << QStringLiteral("%1（%2）").arg(QFileInfo(files[i - 1]).fileName(), outcome.error);
        else
            ++next;
    }
    return next - first;
}

int registrationThreads()
{
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

namespace {

// Moves files of picture `number` of `name` (either extension) that no
// species counts out of the way of a new file of that number.
void clearWayFor(CatalogueChange& change, const QString& name, int number)
{
    for (const char* ext : {".jpg", ".bmp"}) {
        const QString file = name + pictureNumberText(number) + QLatin1String(ext);
        if (platform::fileExists(change.folder() + file))
            change.moveAside(file);
    }
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

StoreOutcome storePreparedPicture(CatalogueChange& change, const StoreOutcome& prepared, const QByteArray& bytes)
{
    StoreOutcome out = prepared;
    if (out.kind == StoreOutcome::Failed)
        return out;
    // The file name is the species name and two digits before the extension.
    const QString stem = out.target.left(out.target.lastIndexOf(QLatin1Char('.')));
    const QString name = stem.left(stem.size() - 2);
    clearWayFor(change, name, stem.right(2).toInt());
    if (!change.addFile(out.target, bytes, &out.error)) {
        out.error = QStringLiteral("画像ファイルを書き込めません: %1").arg(out.error);
        out.kind = StoreOutcome::Failed;
        return out;
    }
    out.target = change.folder() + out.target;
    return out;
}

StoreOutcome storeChosenPicture(CatalogueChange& change, const QString& source, const QString& name, int number,
                                const std::function<void(bool)>& announce)
{
    QByteArray bytes;
    return storePreparedPicture(change, prepareChosenPicture(source, name, number, bytes, announce), bytes);
}

QString renameRefusal(const PlantTable& table, int record, const QString& newName)
{
    if (!platform::staysInFolder(newName))
        return QStringLiteral("植物名に「/」は使えません。");
    for (int k = 1; k <= table.plantCount(); ++k)
        if (k != record && sameSpeciesName(table.record(k).name, newName))
            return QStringLiteral("「%1」は既に登録されています。\n別の植物名を入力してください。").arg(newName);
    return {};
}

QString planRename(CatalogueChange& change, const PictureFolders& folders, const QString& oldName,
                   const QString& newName, int count)
{
    const QString& hdd = change.folder();
    const bool cdApart = !folders.cdDir.isEmpty() && folders.cdDir != hdd;
    // Copies a file of the CD-ROM folder to the hard-disk folder as `to`.
    const auto copyFromCd = [&](const QString& from, const QString& to) {
        QByteArray bytes;
        int e = 0;
        QString why;
        if (!platform::readFile(from, bytes, &e))
            return QStringLiteral("「%1」を読み込めません: %2").arg(from, platform::reasonText(e));
        if (!change.addFile(to, bytes, &why))
            return QStringLiteral("「%1」を書き込めません: %2").arg(to, why);
        return QString();
    };
    for (int n = 1; n <= std::min(count, MaxPictureNumber); ++n) {
        bool onHdd = false;
        for (const char* ext : {".jpg", ".bmp"}) {
            const QString from = oldName + pictureNumberText(n) + QLatin1String(ext);
            const QString to = newName + pictureNumberText(n) + QLatin1String(ext);
            if (platform::fileExists(hdd + to))
                change.moveAside(to);
            if (platform::fileExists(hdd + from)) {
                change.moveFile(from, to);
                onHdd = true;
            }
        }
        if (onHdd || !cdApart)
            continue;
        const QString onCd = findPictureFile(PictureFolders{folders.cdDir, QString()}, oldName, n);
        if (onCd.isEmpty())
            continue;
        const QString why = copyFromCd(onCd, newName + pictureNumberText(n) + onCd.right(4));
        if (!why.isEmpty())
            return why;
    }
    // The memo goes with the pictures, or the renamed plant would lose it
    // and a species registered later under the old name would inherit it.
    const QString memoFrom = fileNameOf(memoFileName(hdd, oldName));
    const QString memoTo = fileNameOf(memoFileName(hdd, newName));
    if (platform::fileExists(hdd + memoTo))
        change.moveAside(memoTo);
    const QString cdMemo = cdApart ? memoFileName(folders.cdDir, oldName) : QString();
    if (!cdMemo.isEmpty() && platform::fileExists(cdMemo)) {
        // The CD-ROM's memo is the one shown: it stays, and a copy goes to
        // the hard disk under the new name. A hard-disk memo it hid is kept
        // aside rather than left under the old name.
        const QString why = copyFromCd(cdMemo, memoTo);
        if (!why.isEmpty())
            return why;
        if (platform::fileExists(hdd + memoFrom))
            change.moveAside(memoFrom);
    } else if (platform::fileExists(hdd + memoFrom)) {
        change.moveFile(memoFrom, memoTo);
    }
    return {};
}

QString hardDiskPicture(const QString& hddDir, const QString& name, int number)
{
    if (!platform::staysInFolder(name))
        return {};
    const QString base = hddDir + name + pictureNumberText(number);
    for (const char* ext : {".jpg", ".bmp"}) {
        const QString path = base + QLatin1String(ext);
        if (platform::fileExists(path))
            return path;
    }
    return {};
}

bool planPictureDeletion(CatalogueChange& change, const QString& name, int number, int count)
{
    const QString& hdd = change.folder();
    const QString doomed = hardDiskPicture(hdd, name, number);
    if (doomed.isEmpty())
        return false;
    change.removeFile(fileNameOf(doomed));
    // The same number with the other extension was hidden by the deleted
    // file; it would now show in its place.
    for (const char* ext : {".jpg", ".bmp"}) {
        const QString other = name + pictureNumberText(number) + QLatin1String(ext);
        if (other != fileNameOf(doomed) && platform::fileExists(hdd + other))
            change.moveAside(other);
    }
    for (int n = number + 1; n <= std::min(count, MaxPictureNumber); ++n)
        for (const char* ext : {".jpg", ".bmp"})
            if (platform::fileExists(hdd + name + pictureNumberText(n) + QLatin1String(ext)))
                change.moveFile(name + pictureNumberText(n) + QLatin1String(ext),
                                name + pictureNumberText(n - 1) + QLatin1String(ext));
    return true;
}

QString renameSpecies(CatalogueChange& change, const PictureFolders& folders, PlantTable& table, int record,
                      const QString& newName)
{
    PlantRecord& r = table.record(record);
    const QString stored = storedName(newName);
    const QString oldName = r.name;
    change.describe(QStringLiteral("植物名の変更（「%1」→「%2」）").arg(oldName, stored));
    QString refusal = renameRefusal(table, record, stored);
    if (refusal.isEmpty())
        refusal = planRename(change, folders, oldName, stored, r.pictureCount);
    if (!refusal.isEmpty()) {
        change.discard();
        return refusal;
    }
    r.name = stored;
    table.setPlantName(record - 1, newName);
    return {};
}

bool deletePicture(CatalogueChange& change, PlantTable& table, int record, int number)
{
    PlantRecord& r = table.record(record);
    change.describe(QStringLiteral("「%1」の画像%2の削除").arg(r.name).arg(number));
    if (!planPictureDeletion(change, r.name, number, r.pictureCount))
        return false;
    if (number <= r.pictureCount) {
        --r.pictureCount;
        if (r.pictureCount <= 0)
            table.remove(record);
    }
    return true;
}
