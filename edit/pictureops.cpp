#include "edit/pictureops.h"

#include <QFileInfo>

#include "images/BitmapUtils.h"
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

StoreOutcome storeChosenPicture(const QString& source, const QString& hddDir, const QString& name, int number,
                                const std::function<void(bool)>& announce)
{
    StoreOutcome out;
    QString ext = chosenExtension(source);
    if (ext == QLatin1String(".jpeg"))
        ext = QStringLiteral(".jpg");
    const bool bitmap = ext == QLatin1String(".bmp");
    // A file that is gone or of another kind is reported, not counted: a
    // number without a file would only ever show the placeholder.
    if (!platform::fileExists(source)) {
        out.error = QStringLiteral("ファイルがありません");
        return out;
    }
    if (!platform::staysInFolder(name)) {
        out.error = QStringLiteral("この植物名では画像ファイルを作れません");
        return out;
    }
    if (!bitmap && ext != QLatin1String(".jpg")) {
        out.error = QStringLiteral("JPEG（.jpg）と BMP（.bmp）の画像だけを登録できます");
        return out;
    }
    // Every chosen picture is decoded once, to learn its size and to make
    // sure that what is stored is a picture the program can show.
    Bitmap24 picture;
    if (!loadPictureAs(source, bitmap, picture, &out.error))
        return out;
    const QString base = hddDir + name + pictureNumberText(number);
    if (picture.width() > MaxPictureSide || picture.height() > MaxPictureSide) {
        if (announce)
            announce(true);
        out.target = base + QStringLiteral(".jpg");
        if (!saveJpegFile(out.target, reduceToLongestSide(picture, MaxPictureSide), &out.error))
            return out;
        out.kind = StoreOutcome::Reduced;
        return out;
    }
    if (announce)
        announce(false);
    out.target = base + ext;
    if (!platform::copyFileNoReplace(source, out.target)) {
        out.error = platform::fileExists(out.target) ? QStringLiteral("同じ名前の画像ファイルがすでにあります")
                                                     : QStringLiteral("画像ファイルを書き込めません");
        return out;
    }
    out.kind = StoreOutcome::Copied;
    return out;
}

QString renameRefusal(const PictureFolders& folders, const QString& oldName, const QString& newName, int count)
{
    for (int n = 1; n <= std::min(count, MaxPictureNumber); ++n) {
        const QString found = findPictureFile(folders, oldName, n);
        if (found.isEmpty())
            continue;
        const QFileInfo info(found);
        const QString target = info.path() + QLatin1Char('/') + newName + pictureNumberText(n) + QLatin1Char('.') +
                               info.suffix();
        if (platform::fileExists(target))
            return QStringLiteral("「%1」という名前の画像ファイルがすでにあるため、植物名を変更できません。")
                .arg(info.fileName().isEmpty() ? target : QFileInfo(target).fileName());
    }
    return {};
}

void renameSpeciesPictures(const PictureFolders& folders, const QString& oldName, const QString& newName, int count)
{
    for (int n = 1; n <= std::min(count, MaxPictureNumber); ++n) {
        const QString found = findPictureFile(folders, oldName, n);
        if (found.isEmpty())
            continue;
        const QFileInfo info(found);
        platform::moveFileNoReplace(found, info.path() + QLatin1Char('/') + newName + pictureNumberText(n) +
                                               QLatin1Char('.') + info.suffix());
    }
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

bool deletePictureAndRenumber(const QString& hddDir, const QString& name, int number, int count)
{
    const QString doomed = hardDiskPicture(hddDir, name, number);
    if (doomed.isEmpty())
        return false;
    platform::deleteFile(doomed);
    for (int n = number + 1; n <= std::min(count, MaxPictureNumber); ++n) {
        const QString from = hardDiskPicture(hddDir, name, n);
        if (from.isEmpty())
            continue;
        platform::moveFileNoReplace(from, hddDir + name + pictureNumberText(n - 1) + from.right(4));
    }
    return true;
}
