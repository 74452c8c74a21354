// The main window in picture editing mode: entering and leaving it, showing
// one species, stepping through the table, and the three editing
// operations (registration, correction with renaming, picture deletion).
// Every change of the catalogue goes through CatalogueChange: it holds the
// folder's lock for the whole operation, starts from the data file as it is
// now, and carries out the picture and memo files' steps and the data
// file's rewrite as one unit.
#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "app/ModalSeam.h"
#include "app/main.h"
#include "app/state.h"
#include "edit/pictureops.h"
#include "images/MesDlg.h"
#include "images/thumbnails.h"
#include "memo/Memo.h"
#include "memo/MemoFile.h"
#include "platform/files.h"
#include "search/conditions.h"
#include "search/search.h"

namespace {

const QString DeleteCaption = QStringLiteral("画像削除確認");
const QString DeleteQuestion = QStringLiteral("赤枠で指定され画像を\n削除してもよろしいですか");
const QString CdRomPictureMessage = QStringLiteral("CD-ROM内の画像は削除できません。");

// A message box with the program's title, no icon and an OK button: what
// picture deletion uses for its refusals.
void showPlainMessage(QWidget* parent, const QString& text)
{
    modal().message(parent, QApplication::applicationName(), text, ModalSeam::Icon::None, QMessageBox::Ok,
                    QMessageBox::Ok);
}

// Tells the user why a rewrite failed: an error box with the reason, or,
// when `failed` is given (picture deletion), a plain message of that text
// followed by the reason.
void reportRewriteFailure(QWidget* parent, const QString& failed, const QString& reason)
{
    if (failed.isEmpty())
        showError(parent, reason);
    else
        showPlainMessage(parent, failed + QStringLiteral("\n\n") + reason);
}

// Carries out the change with the table; tells the user when it failed (see
// reportRewriteFailure) or what a successful change must tell. Returns
// whether the change stands.
bool commitChange(QWidget* parent, CatalogueChange& change, const PlantTable& table, const QString& failed = QString())
{
    if (change.commit(table) != CatalogueChange::Result::Ok) {
        reportRewriteFailure(parent, failed, change.error());
        return false;
    }
    if (!change.notice().isEmpty())
        showInformation(parent, change.notice());
    return true;
}

} // namespace

bool TfMain::beginChange(CatalogueChange& change, const QString& busyText, bool plainMessages)
{
    // Take the lock, then read the file as it is now: the operation applies
    // its change to what other copies wrote.
    const CatalogueChange::Result locked = change.begin();
    if (!change.repaired().isEmpty())
        showInformation(this, change.repaired());
    if (locked == CatalogueChange::Result::Busy) {
        if (plainMessages)
            showPlainMessage(this, busyText);
        else
            showError(this, busyText);
        return false;
    }
    if (locked != CatalogueChange::Result::Ok) {
        reportRewriteFailure(this, plainMessages ? busyText : QString(), change.error());
        return false;
    }
    // A data file that exists but cannot be read is never written over.
    const LoadReport report = change.reload(plantTable());
    if (report.readFailed) {
        reportRewriteFailure(this, plainMessages ? busyText : QString(), change.error());
        return false;
    }
    reportIncompleteLoad(report);
    return true;
}

bool TfMain::settlePendingCorrection(bool mayCancel)
{
    const MainState& state = mainState();
    if (!pad_ || !state.editMode || !state.correctionMode || state.currentSpecies < 1 ||
        !pad_->executeButton()->isEnabled() || pad_->executeButton()->text() != QStringLiteral("変更"))
        return true;
    const QMessageBox::StandardButtons buttons =
        QMessageBox::Yes | QMessageBox::No | (mayCancel ? QMessageBox::Cancel : QMessageBox::NoButton);
    switch (modal().message(this, QApplication::applicationName(), QStringLiteral("変更を保存しますか"),
                            ModalSeam::Icon::Question, buttons, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        // Stays when it could not be stored: the change is still on the pad.
        return pad_->BitBtn1Click() && !pad_->executeButton()->isEnabled();
    case QMessageBox::No:
        pad_->executeButton()->setEnabled(false);
        return true;
    default:
        return false;
    }
}

bool TfMain::stillAsShown(const QString& name, int count, int slot) const
{
    if (name != shownName_ || count != shownCount_ || slot < 0 || slot >= int(shownPictures_.size()))
        return false;
    const ShownPicture& shown = shownPictures_[size_t(slot)];
    const QString now = findPictureFile(folders(), name, slot + 1);
    return now == shown.path && platform::fileAge(now) == shown.stamp;
}

void TfMain::A1Click()
{
    MainState& state = mainState();
    state.lastPictureFolder = settings().addDir;
    resetPictureSlots(0);
    hideSelectionFrame();
    shape1_->move(0, 0);
    state.selectedPicture = -1;
    state.resultMode = false;
    state.editMode = true;
    closeSecondaryWindows();
    toolButton(1)->setEnabled(false);
    toolButton(2)->setEnabled(false);
    for (int n : {3, 8, 10, 11})
        toolButton(n)->setEnabled(true);
    toolButton(11)->setChecked(settings().showConditions);
    ToolButton11Click();
    state.memoOnPad = true;
}

void TfMain::ToolButton3Click()
{
    // The pad is hidden on leaving: a change left on it would be lost.
    if (!settlePendingCorrection())
        return;
    MainState& state = mainState();
    resetPictureSlots(0);
    hideSelectionFrame();
    state.selectedPicture = -1;
    state.editMode = false;
    settings().showConditions = toolButton(11)->isChecked();
    state.correctionMode = false;
    setStatusText(QString());
    toolButton(1)->setEnabled(true);
    toolButton(2)->setEnabled(true);
    for (int n : {3, 4, 7, 8, 10, 11, 17})
        toolButton(n)->setEnabled(false);
    if (pad_ && pad_->isVisible())
        pad_->hide();
}

void TfMain::showKind(int k, const QString& name, int count)
{
    MainState& state = mainState();
    hideSelectionFrame();
    state.selectedPicture = -1;
    toolButton(17)->setEnabled(false);
    setStatusText(name);
    resetPictureSlots(std::clamp(count, 0, MaxPictureNumber));
    // What is shown is remembered, so that an operation on it can make sure
    // under the lock that another copy has not changed it meanwhile.
    shownName_ = name;
    shownCount_ = count;
    shownPictures_.clear();
    // A picture that cannot be decoded shows the placeholder, so the later
    // pictures still show and the broken one can be selected and deleted.
    QStringList broken;
    for (int p = 1; p <= slotCount(); ++p) {
        PictureSlot* slot = slots_[size_t(p - 1)];
        const QString path = findPictureFile(folders(), name, p);
        shownPictures_.push_back({path, platform::fileAge(path)});
        Thumbnail t;
        QString why;
        if (!path.isEmpty() && loadThumbnail(path, t, &thumbnailCache(), &why)) {
            fitPicture(slot, t.image, t.fullSize);
            continue;
        }
        if (!path.isEmpty())
            broken << QFileInfo(path).fileName();
        fitPicture(slot, placeholder_, placeholder_.size());
    }
    layoutSlots();
    if (state.correctionMode) {
        toolButton(4)->setEnabled(k != 1);
        toolButton(7)->setEnabled(k != plantTable().plantCount());
    }
    // With no picture to select, deletion removes the species itself.
    if (state.editMode && count <= 0 && k >= 1 && k <= plantTable().plantCount())
        toolButton(17)->setEnabled(true);
    if (!broken.isEmpty())
        showError(this, QStringLiteral("表示できない画像があります。\n\n") + broken.join(QLatin1Char('\n')));
}

void TfMain::showKindOnPad(int k)
{
    if (!pad_ || k < 1 || k > plantTable().plantCount())
        return;
    const PlantRecord& record = plantTable().record(k);
    pad_->clearConditions();
    pad_->setPadState(padFromRecord(record));
    MainState& state = mainState();
    selectMemoFile(record.name);
    QString text;
    if (state.memoOnPad && !state.memoPath.isEmpty() && !readMemoFile(state.memoPath, text))
        showError(this, QStringLiteral("メモファイル「%1」を読み込めません。").arg(state.memoPath));
    pad_->setMemoText(text);
}

void TfMain::stepKind(int delta)
{
    if (!settlePendingCorrection())
        return;
    MainState& state = mainState();
    const int next = state.currentSpecies + delta;
    if (next < 1 || next > plantTable().plantCount())
        return;
    if (pad_)
        pad_->FormHide();
    state.currentSpecies = next;
    const PlantRecord& record = plantTable().record(next);
    showKind(next, record.name, record.pictureCount);
    showKindOnPad(next);
    if (pad_) {
        pad_->executeButton()->setEnabled(false);
        pad_->repaint();
    }
}

void TfMain::ToolButton4Click()
{
    stepKind(-1);
}

void TfMain::ToolButton7Click()
{
    stepKind(+1);
}

void TfMain::previewChosenPictures(const QStringList& files)
{
    hideSelectionFrame();
    resetPictureSlots(int(files.size()));
    for (int i = 0; i < files.size(); ++i) {
        Thumbnail t;
        PictureSlot* slot = slots_[size_t(i)];
        if (loadThumbnail(files[i], t, nullptr))
            fitPicture(slot, t.image, t.fullSize);
        else
            fitPicture(slot, placeholder_, placeholder_.size());
    }
    layoutSlots();
}

void TfMain::ToolButton10Click()
{
    if (!settlePendingCorrection())
        return;
    MainState& state = mainState();
    PlantTable& table = plantTable();
    resetPictureSlots(0);
    hideSelectionFrame();
    state.selectedPicture = -1;
    state.correctionMode = false;
    setStatusText(QString()); // no species shown any more
    toolButton(4)->setEnabled(false);
    toolButton(7)->setEnabled(false);
    if (pad_ && pad_->isVisible())
        pad_->hide();

    CatalogueChange change(settings().hddDir);
    if (!beginChange(change, BusyMessage))
        return;
    change.keepPreviousAsFallback();

    const QStringList files = modal().openPictures(this, state.lastPictureFolder);
    if (files.isEmpty())
        return; // nothing changed: the data file stays as it is
    previewChosenPictures(files);

    int record = 0;
    QString newName;
    const bool chosen = chooseSpecies(false, record, newName);
    menuAction("N3")->setEnabled(false);
    const bool isNew = !newName.isEmpty();
    // OK with no entry selected and no new name chooses nothing, as cancel.
    if (!chosen || (!isNew && (record < 1 || record > table.plantCount()))) {
        resetPictureSlots(0);
        return;
    }
    const int n = int(files.size());
    const QString refusal =
        registrationRefusal(isNew ? 0 : table.record(record).pictureCount, n, isNew, table.plantCount());
    if (!refusal.isEmpty()) {
        resetPictureSlots(0);
        showError(this, refusal);
        return;
    }
    if (isNew) {
        selectMemoFile(storedName(newName));
        pad_->setMemoText(QString());
        state.lastPictureFolder = QFileInfo(files.first()).absolutePath() + QLatin1Char('/');
        pad_->setMode(QStringLiteral("入力パッド"), QStringLiteral("画像追加"));
        pad_->showFlowerPage();
        pad_->clearConditions();
        pad_->setMemoDeferred(true);
        const bool confirmed = pad_->showModalSearch();
        pad_->setMemoDeferred(false);
        if (!confirmed) {
            resetPictureSlots(0);
            return;
        }
        record = table.append(newName);
        storePadIntoRecord(pad_->padState(), table.record(record));
        table.record(record).pictureCount = 0;
        planNewSpeciesMemo(change);
    }
    PlantRecord& target = table.record(record);
    const QString name = target.name;
    change.describe(QStringLiteral("「%1」の画像の登録").arg(name));

    TfMesDlg progress(this);
    progress.setProgress(0);
    progress.showNow();
    QStringList failures;
    const int stored = storeChosenPictures(
        change, files, name, target.pictureCount + 1, registrationThreads(),
        [&progress](int percent) { progress.setProgress(percent); },
        [&progress](bool reducing) {
            progress.setProgress(progress.progress(), reducing ? QStringLiteral("画像を縮小・コピーをしています。")
                                                               : QStringLiteral("画像をコピーをしています。"));
        },
        failures);
    progress.close();
    const int finalCount = target.pictureCount + stored;
    target.pictureCount = finalCount;

    if (isNew && finalCount <= 0) {
        // Nothing could be stored for the new species: it is not registered,
        // and the data file stays as it is.
        table.remove(record);
        change.discard();
        resetPictureSlots(0);
    } else if (commitChange(this, change, table)) {
        state.currentSpecies = record;
        selectMemoFile(name); // a memo written with a new species is its memo now
        showKind(record, name, finalCount);
    } else {
        // Neither the pictures nor the data file changed: the table goes
        // back to what the file holds.
        change.reload(table);
        state.currentSpecies = 0;
        resetPictureSlots(0);
        return;
    }
    if (!failures.isEmpty())
        showError(this, QStringLiteral("次の画像は登録できませんでした。\n\n") + failures.join(QLatin1Char('\n')));
}

void TfMain::planNewSpeciesMemo(CatalogueChange& change)
{
    MainState& state = mainState();
    if (!pad_ || !pad_->memoModified())
        return;
    const QString text = pad_->memoText();
    if (!state.memoPath.isEmpty() && state.memoPath != state.defaultMemoPath) {
        // A memo of that name in the CD-ROM folder: saved where it is, as
        // the pad saves every memo it shows.
        QString error;
        if (savePadMemo(state.memoPath, state.defaultMemoPath, text, true, &error) == PadMemoResult::Failed)
            showError(this, error);
        return;
    }
    // The memo file in the hard-disk folder: one a species of that name
    // left behind is replaced (or, emptied, removed) with the rest.
    const QString memoName = QFileInfo(state.defaultMemoPath).fileName();
    if (platform::fileExists(state.defaultMemoPath))
        change.removeFile(memoName);
    if (text.isEmpty())
        return;
    QByteArray bytes;
    QString error;
    if (!encodeMemoFile(state.defaultMemoPath, text, bytes, &error) || !change.addFile(memoName, bytes, &error))
        showError(this, QStringLiteral("メモを保存できません: %1\n%2").arg(state.defaultMemoPath, error));
}

bool TfMain::renameSpeciesFiles(CatalogueChange& change, const QString& newName)
{
    PlantTable& table = plantTable();
    MainState& state = mainState();
    const int r = state.currentSpecies;
    if (r < 1 || r > table.plantCount())
        return false;
    PlantRecord& record = table.record(r);
    const QString stored = storedName(newName);
    if (stored == record.name)
        return true;
    const QString oldName = record.name;
    const QString refusal = renameSpecies(change, folders(), table, r, newName);
    if (!refusal.isEmpty()) {
        showError(this, refusal);
        return false;
    }
    if (!commitChange(this, change, table)) {
        // Nothing changed on disk: the table goes back to what the file holds.
        change.reload(table);
        state.currentSpecies = table.findByName(oldName);
        return false;
    }
    return true;
}

void TfMain::ToolButton8Click()
{
    if (!settlePendingCorrection())
        return;
    MainState& state = mainState();
    PlantTable& table = plantTable();
    state.currentSpecies = 0;
    state.correctionMode = true;

    CatalogueChange change(settings().hddDir);
    if (!beginChange(change, BusyMessage))
        return;

    int record = 0;
    QString newName;
    bool chosen = false;
    if (chooseSpecies(true, record, newName)) {
        if (toolButton(11)->isChecked() && pad_) {
            pad_->executeButton()->setEnabled(false);
            pad_->executeButton()->setText(QStringLiteral("変更"));
            pad_->show();
        }
        if (record >= 1 && record <= table.plantCount()) {
            state.currentSpecies = record;
            toolButton(17)->setEnabled(false);
            if (!newName.isEmpty())
                renameSpeciesFiles(change, newName);
            chosen = state.currentSpecies >= 1;
            // The pad must show the chosen species however it was chosen,
            // or confirming would store another species' conditions.
            if (chosen)
                showKindOnPad(state.currentSpecies);
            if (pad_)
                pad_->executeButton()->setEnabled(false);
        }
    }
    menuAction("N3")->setEnabled(false);
    if (!chosen) {
        // Nothing chosen: no species is shown, so nothing can be stepped
        // from or deleted.
        resetPictureSlots(0);
        hideSelectionFrame();
        state.selectedPicture = -1;
        for (int n : {4, 7, 17})
            toolButton(n)->setEnabled(false);
        setStatusText(QString());
        // The pad would still show the species shown before, and "変更"
        // would have nothing to store into.
        if (pad_ && pad_->isVisible())
            pad_->hide();
        return; // the table is unchanged: the data file stays as it is
    }
    const PlantRecord& r = table.record(state.currentSpecies);
    showKind(state.currentSpecies, r.name, r.pictureCount);
}

void TfMain::storeCorrection()
{
    // The pad has stored its conditions into the shown record in memory;
    // bring them into the data file now, applied to the file as it is.
    MainState& state = mainState();
    PlantTable& table = plantTable();
    if (state.currentSpecies < 1 || state.currentSpecies > table.plantCount() || !pad_)
        return;
    const QString name = table.record(state.currentSpecies).name;
    const PadState pad = pad_->padState();
    int found = 0;
    QString error, notice;
    const CatalogueChange::Result result = rewritePlantTable(
        table, settings().hddDir,
        [&](PlantTable& t) {
            found = t.findByName(name);
            if (found == 0)
                return false;
            storePadIntoRecord(pad, t.record(found));
            return true;
        },
        &error, &notice);
    if (found != 0)
        state.currentSpecies = found;
    if (result != CatalogueChange::Result::Ok) {
        showError(this, result == CatalogueChange::Result::Busy ? BusyMessage : error);
        pad_->executeButton()->setEnabled(true); // the correction can be confirmed again
    } else if (found == 0) {
        showError(this, QStringLiteral("「%1」は他のコピーで削除されたか名前が変わったため、訂正できませんでした。").arg(name));
    } else if (!notice.isEmpty()) {
        showInformation(this, notice);
    }
}

void TfMain::ToolButton17Click()
{
    MainState& state = mainState();
    PlantTable& table = plantTable();
    const int r = state.currentSpecies;
    const int s = state.selectedPicture;
    if (r < 1 || r > table.plantCount())
        return;
    if (table.record(r).pictureCount <= 0) {
        removeSpeciesWithoutPictures();
        return;
    }
    if (s < 0)
        return;
    if (modal().message(this, DeleteCaption, DeleteQuestion, ModalSeam::Icon::Error,
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString name = table.record(r).name;
    const QString hdd = settings().hddDir;
    // The picture as shown: one that was not in the hard-disk folder (on
    // the CD-ROM, or missing) cannot be deleted. One that was there and is
    // gone now was changed by another copy, which the lock will tell.
    const QString shownPath = size_t(s) < shownPictures_.size() ? shownPictures_[size_t(s)].path : QString();
    if (shownPath.isEmpty() || shownPath != hdd + QFileInfo(shownPath).fileName()) {
        showPlainMessage(this, CdRomPictureMessage);
        return;
    }
    // The lock first: a busy data file refuses the deletion before any
    // picture is touched.
    CatalogueChange change(hdd);
    const int k = lockForDeletion(change, name);
    if (k == 0)
        return;
    PlantRecord& record = table.record(k);
    // What the user framed must still be that very file: another copy may
    // have deleted, renumbered or added pictures of this species since they
    // were shown, and the number framed would now name another picture.
    if (!stillAsShown(name, record.pictureCount, s)) {
        showPlainMessage(this, QStringLiteral("他のコピーでこの植物の画像が変更されたため、削除しませんでした。\n\n"
                                              "画像を表示し直しますので、確かめてから、もう一度削除してください。"));
        state.currentSpecies = k;
        showKind(k, name, record.pictureCount);
        return;
    }
    if (hardDiskPicture(hdd, name, s + 1).isEmpty()) {
        showPlainMessage(this, CdRomPictureMessage);
        return;
    }
    deletePicture(change, table, k, s + 1);
    if (!commitChange(this, change, table, RewriteFailedMessage)) {
        // Neither the pictures nor the data file changed.
        change.reload(table);
        state.currentSpecies = table.findByName(name);
        if (state.currentSpecies >= 1)
            showKind(state.currentSpecies, name, table.record(state.currentSpecies).pictureCount);
        else
            resetPictureSlots(0);
        return;
    }
    showPlaceAfterDeletion(k);
}

int TfMain::lockForDeletion(CatalogueChange& change, const QString& name)
{
    if (!beginChange(change, RewriteFailedMessage, true))
        return 0;
    const int k = plantTable().findByName(name);
    if (k == 0) {
        showError(this, QStringLiteral("「%1」は他のコピーで削除されたか名前が変わっています。").arg(name));
        resetPictureSlots(0);
    }
    return k;
}

void TfMain::removeSpeciesWithoutPictures()
{
    // A species without pictures (from a damaged or hand-edited data file)
    // has no picture whose deletion would remove it: it is removed itself.
    MainState& state = mainState();
    PlantTable& table = plantTable();
    const QString name = table.record(state.currentSpecies).name;
    if (modal().message(this, DeleteCaption,
                        QStringLiteral("「%1」には画像がありません。\nこの植物を削除してもよろしいですか").arg(name),
                        ModalSeam::Icon::Error, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    CatalogueChange change(settings().hddDir);
    const int k = lockForDeletion(change, name);
    if (k == 0)
        return;
    if (table.record(k).pictureCount > 0) {
        // Another copy added pictures meanwhile: show them, delete nothing.
        state.currentSpecies = k;
        showKind(k, name, table.record(k).pictureCount);
        return;
    }
    change.describe(QStringLiteral("「%1」の削除").arg(name));
    table.remove(k);
    if (!commitChange(this, change, table, RewriteFailedMessage)) {
        change.reload(table);
        state.currentSpecies = table.findByName(name);
        return;
    }
    showPlaceAfterDeletion(k);
}

void TfMain::showPlaceAfterDeletion(int k)
{
    MainState& state = mainState();
    PlantTable& table = plantTable();
    // Show what is now at that place: the next species when this one left
    // the table, the new last one when it was the last, nothing when none.
    const int shown = std::min(k, table.plantCount());
    state.currentSpecies = shown;
    if (shown >= 1) {
        showKind(shown, table.record(shown).name, table.record(shown).pictureCount);
        // The correction pad follows, or confirming it would store the
        // conditions of the species shown before into this one.
        showKindOnPad(shown);
        if (pad_)
            pad_->executeButton()->setEnabled(false);
    } else {
        resetPictureSlots(0);
        hideSelectionFrame();
        state.selectedPicture = -1;
        toolButton(17)->setEnabled(false);
        setStatusText(QString());
        if (pad_ && pad_->isVisible())
            pad_->hide();
    }
}
