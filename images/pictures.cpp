#include "images/pictures.h"

#include "images/jpegsupport.h"
#include "platform/files.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

QString tooLargeText(qint64 width, qint64 height)
{
    return QStringLiteral("画像が大きすぎます（%1 × %2 ドット）").arg(width).arg(height);
}

// ---------------------------------------------------------------------------
// JPEG decoding through libjpeg.

struct JpegReadJob {
    std::FILE* file;
    bool headerOnly;
    bool scaled;     // choose a DCT scale from minWidth x minHeight
    int minWidth;
    int minHeight;
    int fullWidth;   // from the header
    int fullHeight;
    bool tooLarge;
    Bitmap24* out;   // receives the pixels; owned by the caller
    char message[JMSG_LENGTH_MAX];
};

// Gives the job's bitmap its size. Never throws: a failed allocation is
// reported as false so that the decoder can clean up.
bool allocateOutput(Bitmap24* out, int width, int height) noexcept
{
    try {
        *out = Bitmap24(width, height);
        return true;
    } catch (...) {
        return false;
    }
}

// Adobe applications write CMYK JPEGs with inverted values (255 = no ink);
// others store plain CMYK. Either becomes RGB by multiplying out the black.
void cmykToRgb(const JSAMPLE* cmyk, uchar* rgb, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = uchar((c * k + 127) / 255);
        rgb[1] = uchar((m * k + 127) / 255);
        rgb[2] = uchar((y * k + 127) / 255);
    }
}

void copyMessage(JpegReadJob* job, const char* text)
{
    std::strncpy(job->message, text, sizeof job->message - 1);
    job->message[sizeof job->message - 1] = '\0';
}

// Only objects without destructors live in this frame: a libjpeg error, or
// a warning that the data is missing or broken, jumps back to the setjmp
// below. The header-only read and the scaled decode take this same path, so
// all readers agree on which warnings fail a picture.
bool runJpegRead(JpegReadJob* job)
{
    jpeg_decompress_struct cinfo;
    jpegsupport::ErrorManager errors;
    cinfo.err = jpegsupport::install(errors, true);
    if (setjmp(errors.jump)) {
        copyMessage(job, errors.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, job->file);
    jpeg_read_header(&cinfo, TRUE);
    job->fullWidth = int(cinfo.image_width);
    job->fullHeight = int(cinfo.image_height);
    if (qint64(cinfo.image_width) * qint64(cinfo.image_height) > MaxPicturePixels) {
        job->tooLarge = true;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (job->headerOnly) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    if (job->scaled) {
        for (unsigned denom = 8; denom > 1; denom /= 2) {
            cinfo.scale_denom = denom;
            jpeg_calc_output_dimensions(&cinfo);
            if (int(cinfo.output_width) >= job->minWidth && int(cinfo.output_height) >= job->minHeight)
                break;
            cinfo.scale_denom = 1;
        }
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != (cmyk ? 4 : 3)) {
        copyMessage(job, "対応していない色の形式です");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!allocateOutput(job->out, int(cinfo.output_width), int(cinfo.output_height))) {
        copyMessage(job, "メモリが足りません");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    uchar* base = job->out->bits();
    const int stride = job->out->stride();
    JSAMPARRAY cmykRow = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                            cinfo.output_width * 4, 1)
                              : nullptr;
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        uchar* dst = base + std::ptrdiff_t(cinfo.output_scanline) * stride;
        JSAMPROW row = cmyk ? cmykRow[0] : dst;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            copyMessage(job, "データが途中で終わっています");
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        if (cmyk)
            cmykToRgb(cmykRow[0], dst, cinfo.output_width, inverted);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Opens and decodes (or only measures) a JPEG file. `out` and `fullSize` are
// set only on success.
bool readJpeg(const QString& path, bool headerOnly, bool scaled, int minWidth, int minHeight, Bitmap24* out,
              QSize* fullSize, QString* error)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rbe");
    if (!file)
        return fail(error, QStringLiteral("ファイルを開けません（%1）").arg(qt_error_string(errno)));
    Bitmap24 pixels;
    JpegReadJob job{};
    job.file = file;
    job.headerOnly = headerOnly;
    job.scaled = scaled;
    job.minWidth = minWidth;
    job.minHeight = minHeight;
    job.out = &pixels;
    const bool ok = runJpegRead(&job);
    std::fclose(file);
    if (!ok) {
        if (job.tooLarge)
            return fail(error, tooLargeText(job.fullWidth, job.fullHeight));
        return fail(error, QStringLiteral("JPEG 画像として読めません（%1）").arg(QString::fromUtf8(job.message)));
    }
    if (fullSize)
        *fullSize = QSize(job.fullWidth, job.fullHeight);
    if (out)
        *out = std::move(pixels);
    return true;
}

// ---------------------------------------------------------------------------
// Windows bitmaps. Qt decodes them; the header is checked here first, so
// that absurd dimensions are refused before anything is allocated and a
// file cut short is not shown with its missing rows made up.

struct BmpHeader {
    qint64 width = 0;
    qint64 height = 0; // rows; the file's sign (top-down) already removed
    quint32 compression = 0;
};

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const uchar* p)
{
    return quint16(p[0] | p[1] << 8);
}

bool readBmpHeader(const QString& path, BmpHeader& header, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("ファイルを開けません（%1）").arg(file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray bytes = file.read(14 + 40);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 14 + 12 || p[0] != 'B' || p[1] != 'M')
        return fail(error, QStringLiteral("BMP 画像ではありません"));
    const qint64 dataOffset = le32(p + 10);
    const qint64 infoSize = le32(p + 14);
    qint64 width, height;
    int bitCount;
    quint32 compression = 0;
    if (infoSize == 12) { // OS/2 1.x core header: 16-bit unsigned dimensions
        width = le16(p + 18);
        height = le16(p + 20);
        bitCount = le16(p + 24);
    } else if (infoSize >= 16 && bytes.size() >= 14 + 16) {
        width = qint32(le32(p + 18));
        height = qint32(le32(p + 22));
        bitCount = le16(p + 28);
        if (infoSize >= 20 && bytes.size() >= 14 + 20)
            compression = le32(p + 30);
    } else {
        return fail(error, QStringLiteral("BMP 画像のヘッダーが壊れています"));
    }
    if (height < 0)
        height = -height; // rows stored from the top
    if (width < 1 || height < 1)
        return fail(error, QStringLiteral("BMP 画像のヘッダーが壊れています"));
    if (width * height > MaxPicturePixels)
        return fail(error, tooLargeText(width, height));
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return fail(error, QStringLiteral("対応していない BMP 画像です（%1 ビット）").arg(bitCount));

    // Uncompressed pixel rows (BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS) have
    // a known size; a shorter file has been cut off.
    if (compression == 0 || compression == 3 || compression == 6) {
        const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
        const qint64 start = std::max(dataOffset, 14 + infoSize);
        if (fileSize < start + rowBytes * height)
            return fail(error, QStringLiteral("BMP 画像のファイルが途中で切れています"));
    }
    header.width = width;
    header.height = height;
    header.compression = compression;
    return true;
}

bool loadBitmapFile(const QString& path, Bitmap24& out, QString* error)
{
    BmpHeader header;
    if (!readBmpHeader(path, header, error))
        return false;
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // Qt holds the pixels at up to 4 bytes each; allow what the header check allows.
    reader.setAllocationLimit(int(MaxPicturePixels * 4 / (1024 * 1024)) + 1);
    // A run-length coded bitmap need not set every pixel: a delta skips some,
    // and a file that ends early leaves the rest. The decoder writes into the
    // image it is given when the size and format fit, so give it one cleared
    // to colour index 0; otherwise those pixels would show whatever memory
    // held before, different at each load.
    QImage image;
    const bool runLength = header.compression == 1 || header.compression == 2;
    if (runLength) {
        image = QImage(int(header.width), int(header.height), QImage::Format_Indexed8);
        if (image.isNull())
            return fail(error, QStringLiteral("画像を読み込むメモリが足りません"));
        image.setColorCount(256);
        image.fill(0);
    }
    if (!reader.read(&image) || image.isNull())
        return fail(error, QStringLiteral("BMP 画像として読めません（%1）").arg(reader.errorString()));
    // The grid sizes a slot from the header before decoding; a file whose
    // pixels decode to another size (an OS/2 header's height read as signed
    // by the decoder, say) is damaged.
    if (image.width() != header.width || image.height() != header.height)
        return fail(error, QStringLiteral("BMP 画像のヘッダーが壊れています"));
    try {
        out = Bitmap24::fromImage(image);
    } catch (const std::bad_alloc&) {
        return fail(error, QStringLiteral("画像を読み込むメモリが足りません"));
    }
    return true;
}

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

// Only regular files are read: opening a folder fails late and a named
// pipe would wait for a writer.
bool isPictureFile(const QString& path, QString* error)
{
    return platform::fileExists(path) || fail(error, QStringLiteral("「%1」はファイルではありません").arg(path));
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
        return loadBitmapFile(path, out, error);
    return readJpeg(path, false, false, 0, 0, &out, nullptr, error);
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
    if (!loadBitmapFile(path, full, error))
        return false;
    if (fullSize)
        *fullSize = full.size();
    out = std::move(full);
    return true;
}

bool readPictureSize(const QString& path, QSize& size)
{
    if (!isPictureFile(path, nullptr))
        return false;
    if (isBitmapPath(path)) {
        BmpHeader header;
        if (!readBmpHeader(path, header, nullptr))
            return false;
        size = QSize(int(header.width), int(header.height));
        return true;
    }
    return readJpeg(path, true, false, 0, 0, nullptr, &size, nullptr);
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
