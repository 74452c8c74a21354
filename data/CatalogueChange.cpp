#include "data/CatalogueChange.h"

#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

using platform::reasonText;

const QString JournalName = QStringLiteral("journal");
const QString TemporaryPrefix = QStringLiteral("tmp-");
const QString RemovedPrefix = QStringLiteral("del-");
const QByteArray JournalHeader = "tolvarin-change 1";

// The names the program gives its own files in the work folder, matched
// exactly: anything else there is left alone.
const QRegularExpression& temporaryPattern()
{
    static const QRegularExpression re(QStringLiteral("^tmp-[A-Za-z0-9]{8}$"));
    return re;
}
const QRegularExpression& removedPattern()
{
    static const QRegularExpression re(QStringLiteral("^del-[A-Za-z0-9]{8}-(.+)$"));
    return re;
}
// A temporary file written beside its file: by a copy of an earlier
// version, or before the folder had a work folder. Its name is that of a
// file the program writes (a data file, picture, memo or backup) followed by
// ".tmp-" and six or eight letters, which a species' file never is: theirs
// end in ".jpg", ".bmp" or ".txt".
const QRegularExpression& besideTemporaryPattern()
{
    static const QRegularExpression re(QStringLiteral(
        "^.+\\.(dat|res|jpg|bmp|txt|backup-[0-9]{8}-[0-9]{6}(-[0-9]+)?)\\.tmp-[A-Za-z0-9]{6}([A-Za-z0-9]{2})?$"));
    return re;
}

QString randomLetters(int n)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < n; ++i)
        s += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
    return s;
}

QByteArray encodeName(const QString& name)
{
    return QUrl::toPercentEncoding(name);
}

QString decodeName(const QByteArray& bytes)
{
    return QUrl::fromPercentEncoding(bytes);
}

const char* kindWord(CatalogueChange::Step::Kind kind)
{
    switch (kind) {
    case CatalogueChange::Step::Add: return "add";
    case CatalogueChange::Step::Move: return "move";
    case CatalogueChange::Step::Remove: return "remove";
    }
    return "";
}

struct Journal {
    QString what;
    QString dataTemporary;
    quint64 dataInode = 0;
    std::vector<CatalogueChange::Step> steps;
};

QByteArray journalText(const Journal& j)
{
    QByteArray text = JournalHeader + "\n";
    text += "what " + encodeName(j.what) + "\n";
    text += "data " + encodeName(j.dataTemporary) + " " + QByteArray::number(j.dataInode) + "\n";
    for (const CatalogueChange::Step& s : j.steps)
        text += QByteArray("step ") + kindWord(s.kind) + " " + encodeName(s.from) + " " + QByteArray::number(s.inode) +
                " " + encodeName(s.to) + "\n";
    text += "end\n";
    return text;
}

bool parseJournal(const QByteArray& text, Journal& j)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 4 || lines[0] != JournalHeader)
        return false;
    bool ended = false;
    for (int i = 1; i < lines.size() && !ended; ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        bool ok = true;
        if (f[0] == "what" && f.size() == 2) {
            j.what = decodeName(f[1]);
        } else if (f[0] == "data" && f.size() == 3) {
            j.dataTemporary = decodeName(f[1]);
            j.dataInode = f[2].toULongLong(&ok);
        } else if (f[0] == "step" && f.size() == 5) {
            CatalogueChange::Step s{CatalogueChange::Step::Add, decodeName(f[2]), decodeName(f[4]), f[3].toULongLong(&ok)};
            if (f[1] == "move")
                s.kind = CatalogueChange::Step::Move;
            else if (f[1] == "remove")
                s.kind = CatalogueChange::Step::Remove;
            else if (f[1] != "add")
                return false;
            if (s.from.isEmpty() || s.to.isEmpty() || s.from.contains(QLatin1Char('/')) ||
                s.to.contains(QLatin1Char('/')))
                return false;
            j.steps.push_back(s);
        } else if (f[0] == "end") {
            ended = true;
        } else {
            return false;
        }
        if (!ok)
            return false;
    }
    return ended && !j.dataTemporary.isEmpty() && !j.dataTemporary.contains(QLatin1Char('/'));
}

} // namespace

CatalogueChange::CatalogueChange(const QString& folder)
    : folder_(folder)
{
}

CatalogueChange::~CatalogueChange()
{
    if (!journalLeft_)
        removeTemporaries();
    if (lockFd_ >= 0)
        ::close(lockFd_); // closing the descriptor releases the lock
}

CatalogueChange::Result CatalogueChange::begin()
{
    if (lockFd_ >= 0)
        return Result::Ok;
    int e = 0;
    if (!dir_.open(folder_, &e)) {
        fail(QStringLiteral("データフォルダ「%1」を開けません。\n\n%2").arg(folder_, reasonText(e)));
        return Result::Failed;
    }
    // The lock file is shared by every copy, also of other accounts, so it
    // may be one this account can only read: a lock on it works as well.
    // It is never opened through a link, which could make the program
    // create a file elsewhere.
    int first = 0;
    int fd = dir_.openOrCreate(LockFileName, 0666, &first);
    if (fd < 0 && first != ELOOP)
        fd = dir_.openRead(LockFileName, nullptr);
    if (fd < 0) {
        fail(first == ELOOP ? QStringLiteral("データフォルダ「%1」の「%2」がリンクになっているため、データを書き換えられません。\n\n"
                                             "このリンクを削除してから、もう一度行ってください。")
                                  .arg(folder_, LockFileName)
                            : QStringLiteral("データフォルダ「%1」に書き込めません。\n\n%2").arg(folder_, reasonText(first)));
        return Result::Failed;
    }
    const int locked = platform::tryLock(fd);
    if (locked != 0) {
        ::close(fd);
        const bool busy = locked == EWOULDBLOCK;
        fail(busy ? BusyMessage : QStringLiteral("データフォルダ「%1」をロックできません。\n\n%2").arg(folder_, reasonText(locked)));
        return busy ? Result::Busy : Result::Failed;
    }
    lockFd_ = fd;
    if (!work_.openInside(dir_, platform::WorkFolderName, true, &e)) {
        fail(QStringLiteral("データフォルダ「%1」に作業用のフォルダ「%2」を作れません。\n\n%3")
                 .arg(folder_, platform::WorkFolderName, reasonText(e)));
        ::close(lockFd_);
        lockFd_ = -1;
        return Result::Failed;
    }
    if (!recoverJournal()) {
        ::close(lockFd_);
        lockFd_ = -1;
        return Result::Failed;
    }
    removeStaleFiles();
    return Result::Ok;
}

bool CatalogueChange::recoverJournal()
{
    if (!work_.exists(JournalName))
        return true;
    journalFound_ = true;
    int e = 0;
    QByteArray text;
    const int fd = work_.openRead(JournalName, &e);
    const bool read = fd >= 0 && platform::readAll(fd, text, 16 * 1024 * 1024, work_.path() + JournalName, &e);
    if (fd >= 0)
        ::close(fd);
    if (!read) {
        fail(QStringLiteral("データフォルダ「%1」に前回の変更の記録がありますが、読み込めません。\n\n%2").arg(folder_, reasonText(e)));
        return false;
    }
    Journal j;
    if (!parseJournal(text, j)) {
        // Written whole and renamed into place, a journal is never half
        // written; one that cannot be understood is kept for a person to
        // look at, and files it named are found below as leftovers.
        const QString kept = JournalName + QStringLiteral(".broken-") + randomLetters(8);
        if (!work_.rename(JournalName, work_, kept, false, &e)) {
            fail(QStringLiteral("前回の変更の記録を片付けられません。\n\n%1").arg(reasonText(e)));
            return false;
        }
        repaired_ = QStringLiteral("前回の変更の記録が壊れていたため、「%1」として残しました。").arg(platform::WorkFolderName + QLatin1Char('/') + kept);
        return true;
    }
    const QString what = j.what.isEmpty() ? QStringLiteral("データの変更") : j.what;
    if (dir_.inode(DataFileName) == j.dataInode) {
        // The data file is the journal's: the change stands, and only the
        // deleted files and the journal itself were still to be removed.
        for (const Step& s : j.steps) {
            const bool left = (s.kind == Step::Remove && work_.inode(s.to) == s.inode) ||
                              (s.kind == Step::Add && work_.exists(s.from));
            if (left && !work_.remove(s.kind == Step::Remove ? s.to : s.from, &e)) {
                fail(QStringLiteral("前回の変更の作業用のファイルを片付けられません。\n\n%1").arg(reasonText(e)));
                return false;
            }
        }
        repaired_ = QStringLiteral("前回の%1が途中で終わっていました。変更は書き込まれていたため、"
                                   "残っていた作業用のファイルを片付けました。")
                        .arg(what);
    } else {
        QString why;
        if (!takeBack(j.steps, j.steps.size(), &why)) {
            fail(QStringLiteral("前回の%1が途中で終わっていますが、その変更を元に戻せません。\n\n%2").arg(what, why));
            return false;
        }
        for (const Step& s : j.steps)
            if (s.kind == Step::Add && work_.exists(s.from))
                work_.remove(s.from, nullptr);
        if (work_.exists(j.dataTemporary))
            work_.remove(j.dataTemporary, nullptr);
        repaired_ = QStringLiteral("前回の%1が途中で終わっていたため、その変更を取り消して元に戻しました。").arg(what);
    }
    if (!work_.remove(JournalName, &e) || !work_.sync(&e)) {
        fail(QStringLiteral("前回の変更の記録を片付けられません。\n\n%1").arg(reasonText(e)));
        return false;
    }
    return true;
}

void CatalogueChange::removeStaleFiles()
{
    // A temporary file whose writer still holds it is being written (a
    // memo saved by another copy, which needs no lock): left alone.
    const auto removeIfNobodyHolds = [](const platform::Folder& in, const QString& name) {
        int e = 0;
        const int fd = in.openRead(name, &e);
        if (fd < 0) {
            if (e != ENOENT)
                in.remove(name, nullptr); // not a file this program made
            return;
        }
        if (platform::tryLock(fd) == 0)
            in.remove(name, nullptr);
        ::close(fd);
    };
    QStringList restored;
    for (const QString& name : work_.entries()) {
        if (temporaryPattern().match(name).hasMatch()) {
            removeIfNobodyHolds(work_, name);
            continue;
        }
        // A deleted file that no journal names: its change may not have
        // stood. It goes back beside the others under a backup name.
        const QRegularExpressionMatch m = removedPattern().match(name);
        if (!m.hasMatch())
            continue;
        const QString original = m.captured(1);
        const QString backup = original + QStringLiteral(".backup-") +
                               QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-")) +
                               randomLetters(4);
        if (work_.rename(name, dir_, backup, false, nullptr))
            restored << QStringLiteral("「%1」→「%2」").arg(original, backup);
    }
    for (const QString& name : dir_.entries())
        if (besideTemporaryPattern().match(name).hasMatch() && dir_.stamp(name).present)
            removeIfNobodyHolds(dir_, name);
    if (!restored.isEmpty()) {
        if (!repaired_.isEmpty())
            repaired_ += QStringLiteral("\n\n");
        repaired_ += QStringLiteral("削除の途中だったファイルを、名前を変えて元のフォルダに戻しました。\n") +
                     restored.join(QLatin1Char('\n'));
    }
}

LoadReport CatalogueChange::reload(PlantTable& table)
{
    lastBytes_.clear();
    lastReload_ = readPlantTable(table, folder_, &lastBytes_);
    reloaded_ = true;
    if (lastReload_.readFailed)
        fail(lastReload_.failure + QStringLiteral("\n\nデータは変更していません。"));
    return lastReload_;
}

void CatalogueChange::keepPreviousAsFallback()
{
    if (lockFd_ < 0 || !lastReload_.fileRead || lastReload_.path != folder_ + DataFileName)
        return;
    const QString res = folder_ + FallbackFileName;
    if (dir_.exists(FallbackFileName)) {
        QByteArray old;
        if (!platform::readFile(res, old) || old == lastBytes_)
            return;
    }
    platform::writeFileAtomic(res, lastBytes_);
}

bool CatalogueChange::addFile(const QString& name, const QByteArray& bytes, QString* error)
{
    int e = EBADF;
    QString temporary;
    const int fd = lockFd_ >= 0 ? work_.createUnique(TemporaryPrefix, platform::ordinaryFileMode(), temporary, &e) : -1;
    if (fd < 0) {
        if (error)
            *error = reasonText(e);
        return false;
    }
    const bool written = platform::writeAndSync(fd, bytes, folder_ + name, &e);
    const quint64 inode = platform::stampOf(fd).inode;
    ::close(fd);
    if (!written) {
        work_.remove(temporary, nullptr);
        if (error)
            *error = reasonText(e);
        return false;
    }
    steps_.push_back({Step::Add, temporary, name, inode});
    return true;
}

void CatalogueChange::moveFile(const QString& from, const QString& to)
{
    steps_.push_back({Step::Move, from, to, 0});
}

void CatalogueChange::removeFile(const QString& name)
{
    steps_.push_back({Step::Remove, name, RemovedPrefix + randomLetters(8) + QLatin1Char('-') + name, 0});
}

QString CatalogueChange::moveAside(const QString& name)
{
    const QString base =
        name + QStringLiteral(".backup-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString backup = base;
    const auto planned = [this](const QString& n) {
        return std::any_of(steps_.begin(), steps_.end(), [&](const Step& s) { return s.to == n; });
    };
    for (int n = 2; dir_.exists(backup) || planned(backup); ++n)
        backup = base + QStringLiteral("-%1").arg(n);
    moveFile(name, backup);
    asideNotes_ << QStringLiteral("「%1」→「%2」").arg(name, backup);
    return backup;
}

void CatalogueChange::removeTemporaries()
{
    for (const Step& s : steps_)
        if (s.kind == Step::Add && work_.isOpen() && work_.inode(s.from) == s.inode)
            work_.remove(s.from, nullptr);
}

void CatalogueChange::discard()
{
    removeTemporaries();
    steps_.clear();
    asideNotes_.clear();
}

bool CatalogueChange::dataFileMayBeReplaced()
{
    const QString dat = folder_ + DataFileName;
    if (lastReload_.readFailed) {
        fail(lastReload_.failure + QStringLiteral("\n\nデータは変更していません。"));
        return false;
    }
    const platform::FileStamp now = platform::fileAge(dat);
    const bool readIt = lastReload_.fileRead && lastReload_.path == dat;
    if (readIt && now == lastReload_.stamp)
        return true; // the very file read in full under the lock
    if (!dir_.exists(DataFileName)) {
        if (readIt)
            notice_ = QStringLiteral("検索データ「%1」が書き換えの途中で削除されていたため、作り直しました。").arg(DataFileName);
        return true;
    }
    // Something that ignores the lock (a person copying a file, say) put
    // a data file there since it was read, or it appeared where there was
    // none: it is replaced only once a backup holds all of it.
    QString why;
    const QString kept = keepBackupOf(dat, now, &why);
    if (kept.isEmpty()) {
        fail(QStringLiteral("検索データ「%1」が他から変更されていて、その控えを作れないため、書き換えを中止しました。\n\n%2\n\n"
                            "データは変更していません。")
                 .arg(dat, why));
        return false;
    }
    notice_ = QStringLiteral("検索データが書き換えの途中で他から変更されていました。\n\n変更されたファイルは「%1」として残し、"
                             "この変更を書き込みました。")
                  .arg(kept.mid(kept.lastIndexOf(QLatin1Char('/')) + 1));
    return true;
}

bool CatalogueChange::validateSteps()
{
    // Walks the steps over what the folder holds now, so a file in the
    // way or a file gone missing stops the change before anything moved.
    QHash<QString, quint64> changed; // name -> inode after the steps so far, 0 when gone
    const auto inodeOf = [&](const QString& name) {
        const auto it = changed.constFind(name);
        return it != changed.constEnd() ? *it : dir_.inode(name);
    };
    const QString doing = what_.isEmpty() ? QStringLiteral("データの変更") : what_;
    for (Step& s : steps_) {
        if (s.kind != Step::Add) {
            s.inode = inodeOf(s.from);
            if (s.inode == 0) {
                fail(QStringLiteral("「%1」が見つからないため、%2ができませんでした。\n\nデータは変更していません。").arg(s.from, doing));
                return false;
            }
            changed[s.from] = 0;
        }
        if (s.kind == Step::Remove)
            continue;
        if (inodeOf(s.to) != 0) {
            fail(QStringLiteral("データフォルダに「%1」という名前のファイルがあるため、%2ができませんでした。\n\n"
                                "このファイルの名前を変えるか別のフォルダへ移してから、もう一度行ってください。"
                                "データは変更していません。")
                     .arg(s.to, doing));
            return false;
        }
        changed[s.to] = s.inode;
    }
    return true;
}

bool CatalogueChange::writeJournal(const QString& dataTemporary, quint64 dataInode)
{
    Journal j{what_, dataTemporary, dataInode, steps_};
    int e = 0;
    QString temporary;
    const int fd = work_.createUnique(TemporaryPrefix, platform::ordinaryFileMode(), temporary, &e);
    bool ok = fd >= 0 && platform::writeAndSync(fd, journalText(j), work_.path() + JournalName, &e);
    if (fd >= 0)
        ::close(fd);
    ok = ok && work_.rename(temporary, work_, JournalName, false, &e) && work_.sync(&e);
    if (!ok) {
        if (fd >= 0)
            work_.remove(temporary, nullptr);
        if (work_.exists(JournalName))
            work_.remove(JournalName, nullptr);
        fail(QStringLiteral("変更の記録を書き込めませんでした。\n\n%1\n\n元のデータはそのまま残っています。").arg(reasonText(e)));
    }
    return ok;
}

bool CatalogueChange::carryOut(size_t& done)
{
    int e = 0;
    for (done = 0; done < steps_.size(); ++done) {
        const Step& s = steps_[done];
        bool ok = false;
        switch (s.kind) {
        case Step::Add: ok = work_.rename(s.from, dir_, s.to, false, &e); break;
        case Step::Move: ok = dir_.rename(s.from, dir_, s.to, false, &e); break;
        case Step::Remove: ok = dir_.rename(s.from, work_, s.to, false, &e); break;
        }
        if (!ok) {
            fail((s.kind == Step::Remove ? QStringLiteral("「%1」を削除できませんでした。\n\n%2").arg(s.from, reasonText(e))
                                         : QStringLiteral("「%1」を書き込めませんでした。\n\n%2").arg(s.to, reasonText(e))));
            return false;
        }
    }
    // Every step stands on disk before the data file counts it.
    if (!dir_.sync(&e) || !work_.sync(&e)) {
        fail(QStringLiteral("データフォルダ「%1」をディスクに書き込めませんでした。\n\n%2").arg(folder_, reasonText(e)));
        return false;
    }
    return true;
}

bool CatalogueChange::takeBack(const std::vector<Step>& steps, size_t count, QString* why)
{
    int e = 0;
    const auto failed = [&](const QString& name) {
        if (why)
            *why = QStringLiteral("「%1」: %2").arg(name, reasonText(e));
        return false;
    };
    // Each step is looked at on disk: done (the file with its inode at the
    // new name), not done, or half done by a link that still has both
    // names. Only what was done is undone, latest first.
    for (size_t i = count; i-- > 0;) {
        const Step& s = steps[i];
        switch (s.kind) {
        case Step::Add:
            if (dir_.inode(s.to) == s.inode && !dir_.remove(s.to, &e))
                return failed(s.to);
            break;
        case Step::Move:
        case Step::Remove: {
            // A deleted file waits in the work folder, a renamed one in the folder.
            const platform::Folder& at = s.kind == Step::Move ? dir_ : work_;
            if (at.inode(s.to) != s.inode)
                break;
            if (dir_.inode(s.from) == s.inode ? !at.remove(s.to, &e) : !at.rename(s.to, dir_, s.from, false, &e))
                return failed(s.from);
            break;
        }
        }
    }
    if (!dir_.sync(&e) || !work_.sync(&e))
        return failed(folder_);
    return true;
}

CatalogueChange::Result CatalogueChange::commit(const PlantTable& table)
{
    notice_.clear();
    backupPath_.clear();
    const auto give = [this](Result r) {
        if (r != Result::Ok)
            discard();
        return r;
    };
    if (lockFd_ < 0) {
        fail(BusyMessage);
        return give(Result::Busy);
    }
    if (!reloaded_) {
        // A rewrite must start from the file as it is now, or it would undo
        // what other copies wrote since this copy read it.
        fail(QStringLiteral("内部エラー: 検索データを読み直さずに書き換えようとしました。"));
        return give(Result::Failed);
    }
    QStringList unwritable;
    const QByteArray bytes = writePlantTable(table, &unwritable);
    if (!unwritable.isEmpty()) {
        fail(QStringLiteral("植物名「%1」は、改行や「,」、Shift-JIS にない文字、両端の空白を含むため、"
                            "検索データにそのまま書き込めません。書き換えを中止しました。\n\nデータは変更していません。")
                 .arg(unwritable.first()));
        return give(Result::Failed);
    }
    if (!dataFileMayBeReplaced())
        return give(Result::Failed);
    if (!lastReload_.complete() && lastReload_.path == folder_ + DataFileName) {
        bool ok = false;
        backupPath_ = keepBackupOfIncompleteFile(lastReload_, &ok);
        if (!ok) {
            fail(QStringLiteral("読み込めなかった行を含む検索データの控えを作れないため、書き換えを中止しました。"));
            return give(Result::Failed);
        }
    }

    // The new data file, beside the new pictures in the work folder. It
    // keeps the permissions of the file it replaces, so the other accounts
    // sharing the folder can still read it.
    int e = 0;
    QString dataTemporary;
    const int oldMode = dir_.stamp(DataFileName).present ? dir_.mode(DataFileName) : -1;
    const int fd = work_.createUnique(TemporaryPrefix, oldMode >= 0 ? mode_t(oldMode) : platform::ordinaryFileMode(),
                                      dataTemporary, &e);
    bool written = fd >= 0 && platform::writeAndSync(fd, bytes, folder_ + DataFileName, &e);
    const quint64 dataInode = fd >= 0 ? platform::stampOf(fd).inode : 0;
    if (fd >= 0)
        ::close(fd);
    const auto dropData = [&] {
        if (!dataTemporary.isEmpty() && work_.inode(dataTemporary) == dataInode)
            work_.remove(dataTemporary, nullptr);
    };
    const QString notWritten = QStringLiteral("検索データを書き込めませんでした（%1）。元のデータはそのまま残っています。");
    if (!written) {
        dropData();
        fail(notWritten.arg(reasonText(e)));
        return give(Result::Failed);
    }

    // Takes back the steps carried out so far after a failure; the error
    // already says what failed, this adds what the catalogue is now.
    const auto undo = [&](size_t done) {
        QString why;
        if (takeBack(steps_, done, &why) && work_.remove(JournalName, nullptr)) {
            work_.sync(nullptr);
            error_ += QStringLiteral("\n\n変更は取り消しました。元のデータはそのまま残っています。");
        } else {
            journalLeft_ = true;
            error_ += QStringLiteral("\n\n途中までの変更を元に戻せませんでした（%1）。次にこのフォルダのデータを変更するとき、"
                                     "またはプログラムを起動したときに元に戻します。")
                          .arg(why);
        }
        dropData();
    };

    const bool journaled = !steps_.empty();
    if (journaled) {
        if (!validateSteps() || !writeJournal(dataTemporary, dataInode)) {
            dropData();
            return give(Result::Failed);
        }
        size_t done = 0;
        if (!carryOut(done)) {
            undo(done);
            return give(Result::Failed);
        }
    }
    // The change stands once the data file is replaced.
    if (!work_.rename(dataTemporary, dir_, DataFileName, true, &e)) {
        fail(notWritten.arg(reasonText(e)));
        undo(steps_.size());
        return give(Result::Failed);
    }
    QStringList told;
    if (!notice_.isEmpty())
        told << notice_;
    if (!dir_.sync(&e)) {
        // In place, but perhaps not on disk: the journal stays, so the next
        // copy to take the lock sees which of the two the disk kept.
        told << QStringLiteral("変更は書き込みましたが、ディスクへの書き込みを確かめられませんでした（%1）。"
                               "電源が切れると、変更が失われることがあります。")
                    .arg(reasonText(e));
    } else if (journaled) {
        // The journal goes last: while a deleted file is still in the work
        // folder, it tells the next copy that the file's deletion stands.
        bool cleared = true;
        for (const Step& s : steps_)
            if (s.kind == Step::Remove)
                cleared = work_.remove(s.to, nullptr) && cleared;
        if (cleared && work_.remove(JournalName, nullptr))
            work_.sync(nullptr);
    }
    if (!asideNotes_.isEmpty())
        told << QStringLiteral("次のファイルはどの植物にも数えられていないため、名前を変えて残しました。\n") +
                    asideNotes_.join(QLatin1Char('\n'));
    if (!backupPath_.isEmpty())
        told << lastReload_.rewrittenMessage(backupPath_);
    notice_ = told.join(QStringLiteral("\n\n"));
    steps_.clear();
    asideNotes_.clear();
    // The table just written is what the file holds now.
    lastReload_ = LoadReport{};
    lastReload_.fileRead = true;
    lastReload_.path = folder_ + DataFileName;
    lastReload_.stamp = platform::fileAge(lastReload_.path);
    lastBytes_ = bytes;
    return Result::Ok;
}

CatalogueChange::Result rewritePlantTable(PlantTable& table, const QString& folder,
                                          const std::function<bool(PlantTable&)>& change, QString* error,
                                          QString* notice)
{
    CatalogueChange rewrite(folder);
    CatalogueChange::Result result = rewrite.begin();
    QStringList told;
    if (!rewrite.repaired().isEmpty())
        told << rewrite.repaired();
    if (result == CatalogueChange::Result::Ok) {
        if (rewrite.reload(table).readFailed)
            result = CatalogueChange::Result::Failed;
        else if (change(table))
            result = rewrite.commit(table);
    }
    if (error)
        *error = rewrite.error();
    if (result == CatalogueChange::Result::Ok && !rewrite.notice().isEmpty())
        told << rewrite.notice();
    if (notice)
        *notice = told.join(QStringLiteral("\n\n"));
    return result;
}

QString recoverCatalogue(const QString& folder)
{
    CatalogueChange change(folder);
    switch (change.begin()) {
    case CatalogueChange::Result::Ok: return change.repaired();
    case CatalogueChange::Result::Busy: return {}; // the copy holding the lock is alive and will finish
    case CatalogueChange::Result::Failed: break;
    }
    // A folder that cannot be written has nothing to repair, unless a
    // change was left in it half done.
    return change.foundJournal() ? change.error() : QString();
}
