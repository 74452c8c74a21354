#include "images/pictures.h"

#include "images/BitmapUtils.h"
#include "images/bmpread.h"
#include "images/jpegread.h"
#include "images/orientation.h"
#include "images/picturefaults.h"
#include "platform/files.h"

#include <QFileInfo>

#include <cerrno>
#include <mutex>
#include <new>

// The built-in placeholder lives in this library's resources, which a static
// library must register explicitly (outside any namespace).
static void registerPictureResources()
{
    Q_INIT_RESOURCE(tolvarin_images);
}

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// Decodes (or only measures) a JPEG file and turns it upright by its EXIF
// orientation. `out` and `fullSize` (the upright size) are set only on
// success.
bool readJpeg(const QString& path, bool headerOnly, bool scaled, int minWidth, int minHeight, Bitmap24* out,
              QSize* fullSize, QString* error)
{
    JpegDecode decode;
    decode.headerOnly = headerOnly;
    decode.scaled = scaled;
    decode.minWidth = minWidth;
    decode.minHeight = minHeight;
    if (!decodeJpegFile(path, decode, error))
        return false;
    Bitmap24 upright;
    try {
        upright = orientUpright(decode.stored, decode.orientation);
    } catch (const std::bad_alloc&) {
        return fail(error, picturefaults::noMemory());
    }
    if (fullSize)
        *fullSize = uprightSize(decode.storedSize, decode.orientation);
    if (out)
        *out = std::move(upright);
    return true;
}

// Receives a JPEG's rows for storing: reduces them as they come when the
// picture is larger than `longest`, else lets them pass through a band of
// its own.
class StoringSink : public JpegRowSink {
public:
    explicit StoringSink(int longest)
        : longest_(longest)
    {
    }
    bool start(const QSize& stored, int orientation) override
    {
        upright_ = uprightSize(stored, orientation);
        try {
            if (upright_.width() > longest_ || upright_.height() > longest_) {
                const QSize target = longestSideSize(upright_, longest_);
                resampler_ = std::make_unique<RowResampler>(stored, orientation, target.width(), target.height());
            } else {
                rowBytes_ = size_t(stored.width()) * 3;
                scratch_.reset(new uchar[rowBytes_ * JpegBand]);
            }
        } catch (...) {
            return false;
        }
        return true;
    }
    int nextRows(uchar** rows, int max) override
    {
        if (resampler_)
            return resampler_->nextRows(rows, max);
        max = std::min(max, JpegBand);
        for (int k = 0; k < max; ++k)
            rows[k] = scratch_.get() + size_t(k) * rowBytes_;
        return max;
    }
    void rowsWritten(int n) override
    {
        if (resampler_)
            resampler_->rowsWritten(n);
    }
    Bitmap24 reduced() const { return resampler_ ? resampler_->result() : Bitmap24(); }
    QSize upright() const { return upright_; }

private:
    int longest_;
    QSize upright_;
    std::unique_ptr<RowResampler> resampler_;
    std::unique_ptr<uchar[]> scratch_;
    size_t rowBytes_ = 0;
};

} // namespace

QString pictureNumberText(int number)
{
    if (number < 0)
        return QStringLiteral("00");
    return (QLatin1Char('0') + QString::number(number)).right(2);
}

QString findPictureFile(const PictureFolders& folders, const QString& name, int number)
{
    if (!platform::staysInFolder(name))
        return QString();
    const QString stem = name + pictureNumberText(number);
    for (const QString* folder : {&folders.hddDir, &folders.cdDir}) {
        for (const char* ext : {".jpg", ".bmp"}) {
            const QString path = *folder + stem + QLatin1String(ext);
            if (platform::fileExists(path))
                return path;
        }
    }
    return QString();
}

bool isCdRomSpecies(const PictureFolders& folders, const QString& name)
{
    // Found in the hard-disk folder first, picture 1 counts as the CD-ROM's
    // only when it lies in the CD-ROM folder itself. When both folders are
    // one (a copy that keeps everything beside the program) or one lies
    // inside the other, a prefix test would call every species the CD-ROM's.
    if (folders.cdDir.isEmpty() || folders.cdDir == folders.hddDir)
        return false;
    const QString first = findPictureFile(folders, name, 1);
    return !first.isEmpty() && first.left(first.lastIndexOf(QLatin1Char('/')) + 1) == folders.cdDir;
}

bool isBitmapPath(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash && QStringView(path).mid(dot) == QLatin1String(".bmp");
}

QString whyNoPictureFile(const QString& path)
{
    return QFileInfo::exists(path) ? picturefaults::notAFile(path) : picturefaults::cannotOpen(ENOENT);
}

// Only regular files are read: opening a folder fails late and a named
// pipe would wait for a writer.
bool isPictureFile(const QString& path, QString* error)
{
    return platform::fileExists(path) || fail(error, whyNoPictureFile(path));
}

bool loadPictureFile(const QString& path, Bitmap24& out, QString* error)
{
    return loadPictureAs(path, isBitmapPath(path), out, error);
}

bool loadPictureAs(const QString& path, bool asBitmap, Bitmap24& out, QString* error)
{
    if (!isPictureFile(path, error))
        return false;
    if (asBitmap)
        return decodeBmpFile(path, out, error);
    return readJpeg(path, false, false, 0, 0, &out, nullptr, error);
}

bool decodeForStoring(const QString& path, bool asBitmap, int longest, Bitmap24& reduced, QSize* uprightSize,
                      QString* error)
{
    if (!isPictureFile(path, error))
        return false;
    if (asBitmap) {
        Bitmap24 full;
        if (!decodeBmpFile(path, full, error))
            return false;
        try {
            reduced = full.width() > longest || full.height() > longest ? reduceToLongestSide(full, longest)
                                                                        : Bitmap24();
        } catch (const std::bad_alloc&) {
            return fail(error, picturefaults::noMemory());
        }
        if (uprightSize)
            *uprightSize = full.size();
        return true;
    }
    StoringSink sink(longest);
    JpegDecode decode;
    decode.sink = &sink;
    if (!decodeJpegFile(path, decode, error))
        return false;
    reduced = sink.reduced();
    if (uprightSize)
        *uprightSize = sink.upright();
    return true;
}

bool loadJpegScaled(const QString& path, int minWidth, int minHeight, Bitmap24& out, QSize* fullSize,
                    QString* error)
{
    if (!isPictureFile(path, error))
        return false;
    return readJpeg(path, false, true, minWidth, minHeight, &out, fullSize, error);
}

bool loadPictureScaled(const QString& path, int minWidth, int minHeight, Bitmap24& out, QSize* fullSize,
                       QString* error)
{
    if (!isBitmapPath(path))
        return loadJpegScaled(path, minWidth, minHeight, out, fullSize, error);
    if (!isPictureFile(path, error))
        return false;
    Bitmap24 full;
    if (!decodeBmpFile(path, full, error))
        return false;
    if (fullSize)
        *fullSize = full.size();
    out = std::move(full);
    return true;
}

bool readPictureSize(const QString& path, QSize& size, QString* error)
{
    if (!isPictureFile(path, error))
        return false;
    if (isBitmapPath(path))
        return readBmpSize(path, size, error);
    return readJpeg(path, true, false, 0, 0, nullptr, &size, error);
}

QImage missingPicture()
{
    const QString file = platform::executableFolder() + QStringLiteral("NoImage.jpg");
    Bitmap24 custom;
    if (platform::fileExists(file) && loadPictureFile(file, custom))
        return custom.toImage();
    static std::once_flag registered;
    std::call_once(registered, registerPictureResources);
    return QImage(QStringLiteral(":/NoImage"));
}
