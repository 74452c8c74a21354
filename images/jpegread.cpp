#include "images/jpegread.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "images/jpegsupport.h"
#include "images/picturefaults.h"
#include "images/pictures.h"

#include <jerror.h> // the message codes; after jpeglib.h, which it needs

namespace {

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

// What the library's message code means for the user.
QString faultOf(int code, qint64 width, qint64 height)
{
    using namespace picturefaults;
    switch (code) {
    case JERR_INPUT_EMPTY:
        return empty();
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
        return cutShort();
    case JERR_NO_SOI:
        return notJpeg();
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return tooLarge(width, height);
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
        return noMemory();
    case JERR_ARITH_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
    case JERR_BAD_PRECISION:
    case JERR_SOF_UNSUPPORTED:
    case JERR_CCIR601_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_COMPONENT_COUNT:
    case JERR_FRACT_SAMPLE_NOTIMPL:
        return unsupported(QStringLiteral("この形式の JPEG"));
    default:
        return damaged();
    }
}

struct ReadJob {
    std::FILE* file;
    qint64 fileSize;
    JpegDecode* decode;
    JpegRowSink* sink; // receives the pixels; owned by the caller
    qint64 width;      // from the header
    qint64 height;
    bool tooManyScans; // set by the progress monitor before it jumps out
    QString fault;     // set by checks of our own
    int code;          // the library's message code after a jump
    char message[JMSG_LENGTH_MAX];
};

struct Progress {
    jpeg_progress_mgr pub; // first member: libjpeg sees only this part
    ReadJob* job;
};

// The progress monitor: called before each step of reading the file, so a
// file with more scans than allowed stops at the first step after them.
void watchScans(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number <= MaxJpegScans)
        return;
    reinterpret_cast<Progress*>(cinfo->progress)->job->tooManyScans = true;
    std::longjmp(reinterpret_cast<jpegsupport::ErrorManager*>(cinfo->err)->jump, 3);
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

// The sink of a decode into a whole bitmap.
class BitmapSink : public JpegRowSink {
public:
    // `small`: a picture of which many are kept (Bitmap24::uninitialisedSmall).
    BitmapSink(Bitmap24* out, bool small)
        : out_(out)
        , small_(small)
    {
    }
    // Never throws: a failed allocation is reported as false so that the
    // decoder can clean up.
    bool start(const QSize& stored, int) override
    {
        try {
            *out_ = small_ ? Bitmap24::uninitialisedSmall(stored.width(), stored.height())
                           : Bitmap24::uninitialised(stored.width(), stored.height());
        } catch (...) {
            return false;
        }
        base_ = out_->bits();
        return true;
    }
    int nextRows(uchar** rows, int max) override
    {
        const int n = std::min(max, out_->height() - next_);
        for (int k = 0; k < n; ++k)
            rows[k] = base_ + std::ptrdiff_t(next_ + k) * out_->stride();
        return n;
    }
    void rowsWritten(int n) override
    {
        for (int k = 0; k < n; ++k)
            out_->clearPadding(next_ + k);
        next_ += n;
    }

private:
    Bitmap24* out_;
    bool small_;
    uchar* base_ = nullptr;
    int next_ = 0;
};

int orientationOf(j_decompress_ptr cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1)
            continue;
        if (m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return exifOrientation(m->data, m->data_length);
    }
    return OrientUpright;
}

// Only objects without destructors live in this frame: a libjpeg error, a
// warning that the data is missing or broken, or the scan limit jumps back
// to the setjmp below. The header-only read and the scaled decode take this
// same path, so all readers agree on which files fail.
bool runRead(ReadJob* job)
{
    jpeg_decompress_struct cinfo;
    jpegsupport::ErrorManager errors;
    Progress progress;
    progress.pub.progress_monitor = watchScans;
    progress.job = job;
    cinfo.err = jpegsupport::install(errors, true);
    if (setjmp(errors.jump)) {
        job->code = errors.pub.msg_code;
        std::memcpy(job->message, errors.message, sizeof job->message);
        if (job->tooManyScans)
            job->fault = picturefaults::tooManyScans(MaxJpegScans);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &progress.pub;
    jpeg_stdio_src(&cinfo, job->file);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    JpegDecode& d = *job->decode;
    job->width = cinfo.image_width;
    job->height = cinfo.image_height;
    d.orientation = orientationOf(&cinfo);
    const qint64 pixels = job->width * job->height;
    if (pixels > MaxPicturePixels)
        job->fault = picturefaults::tooLarge(job->width, job->height);
    else if (pixels > MaxJpegPixelsPerByte * job->fileSize)
        job->fault = picturefaults::sizeBeyondFile(job->width, job->height);
    else if (!d.headerOnly && jpeg_has_multiple_scans(&cinfo) &&
             countJpegScans(job->file, MaxJpegScans) > MaxJpegScans)
        job->fault = picturefaults::tooManyScans(MaxJpegScans);
    if (!job->fault.isEmpty() || d.headerOnly) {
        jpeg_destroy_decompress(&cinfo);
        return job->fault.isEmpty();
    }

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    if (d.scaled) {
        // The minimum size is the upright picture's.
        const bool sideways = orientationSwapsAxes(d.orientation);
        const int minWidth = sideways ? d.minHeight : d.minWidth;
        const int minHeight = sideways ? d.minWidth : d.minHeight;
        for (unsigned denom = 8; denom > 1; denom /= 2) {
            cinfo.scale_denom = denom;
            jpeg_calc_output_dimensions(&cinfo);
            if (int(cinfo.output_width) >= minWidth && int(cinfo.output_height) >= minHeight)
                break;
            cinfo.scale_denom = 1;
        }
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != (cmyk ? 4 : 3)) {
        job->fault = picturefaults::unsupported(QStringLiteral("この色の形式の JPEG"));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    JpegRowSink& sink = *job->sink;
    if (!sink.start(QSize(int(cinfo.output_width), int(cinfo.output_height)), d.orientation)) {
        job->fault = picturefaults::noMemory();
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // A CMYK picture is decoded into rows of its own and converted into the
    // sink's; the others go straight into the sink's rows.
    JSAMPARRAY cmykRows = cmyk ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                             cinfo.output_width * 4, JpegBand)
                               : nullptr;
    const bool inverted = cmyk && cinfo.saw_Adobe_marker;
    JSAMPROW rows[JpegBand];
    while (cinfo.output_scanline < cinfo.output_height) {
        const int wanted = sink.nextRows(rows, JpegBand);
        if (wanted < 1) {
            job->fault = picturefaults::noMemory();
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        const int got = int(jpeg_read_scanlines(&cinfo, cmyk ? cmykRows : rows, JDIMENSION(wanted)));
        if (got < 1) {
            job->fault = picturefaults::cutShort();
            jpeg_destroy_decompress(&cinfo);
            return false;
        }
        if (cmyk)
            for (int k = 0; k < got; ++k)
                cmykToRgb(cmykRows[k], rows[k], cinfo.output_width, inverted);
        sink.rowsWritten(got);
    }
    jpeg_finish_decompress(&cinfo);
    d.storedSize = QSize(int(job->width), int(job->height));
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Buffered reading at given offsets, for counting scans beside libjpeg.
class ByteReader {
public:
    explicit ByteReader(int fd)
        : fd_(fd)
    {
    }
    // The next byte, or -1 at the end of the file or on a read error.
    int get()
    {
        if (at_ == length_) {
            start_ += length_;
            at_ = 0;
            const ssize_t n = ::pread(fd_, buffer_, sizeof buffer_, off_t(start_));
            length_ = n > 0 ? int(n) : 0;
            if (length_ == 0)
                return -1;
        }
        return buffer_[at_++];
    }
    void skip(qint64 n)
    {
        const qint64 inBuffer = length_ - at_;
        if (n <= inBuffer) {
            at_ += int(n);
            return;
        }
        start_ += length_ + (n - inBuffer);
        at_ = length_ = 0;
    }

private:
    int fd_;
    qint64 start_ = 0; // file offset of buffer_[0]
    int at_ = 0;
    int length_ = 0;
    unsigned char buffer_[65536];
};

// Reads over a scan's coded data, to the first marker that is neither a
// stuffed zero nor a restart marker; returns that marker's code, or -1 at
// the end of the file.
int skipScanData(ByteReader& in)
{
    for (;;) {
        int c = in.get();
        if (c == -1)
            return -1;
        if (c != 0xFF)
            continue;
        do
            c = in.get();
        while (c == 0xFF);
        if (c == -1)
            return -1;
        if (c != 0 && !(c >= 0xD0 && c <= 0xD7))
            return c;
    }
}

} // namespace

int countJpegScans(std::FILE* file, int stopAfter)
{
    ByteReader in(fileno(file));
    if (in.get() != 0xFF || in.get() != 0xD8)
        return 0;
    int scans = 0;
    int pending = -1; // a marker code met at the end of a scan's data
    for (;;) {
        int marker = pending;
        pending = -1;
        if (marker < 0) {
            // To the next marker: libjpeg too passes over stray bytes, and
            // any number of 0xFF fill bytes may precede the marker code.
            int c = in.get();
            while (c != -1 && c != 0xFF)
                c = in.get();
            while (c == 0xFF)
                c = in.get();
            marker = c;
        }
        if (marker == -1 || marker == 0xD9) // end of file, end of picture
            return scans;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // markers without a length
        const int high = in.get();
        const int low = in.get();
        if (high == -1 || low == -1 || (high << 8 | low) < 2)
            return scans;
        in.skip((high << 8 | low) - 2);
        if (marker != 0xDA)
            continue;
        if (++scans > stopAfter)
            return scans;
        pending = skipScanData(in);
        if (pending == -1)
            return scans;
    }
}

bool decodeJpegFile(const QString& path, JpegDecode& decode, QString* error)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rbe");
    if (!file)
        return fail(error, picturefaults::cannotOpen(errno));
    struct stat info;
    const qint64 fileSize = ::fstat(fileno(file), &info) == 0 ? qint64(info.st_size) : 0;
    Bitmap24 pixels;
    // A scaled decode is a thumbnail, kept with many others.
    BitmapSink whole(&pixels, decode.scaled);
    JpegDecode result = decode;
    ReadJob job{};
    job.file = file;
    job.fileSize = fileSize;
    job.decode = &result;
    job.sink = decode.sink ? decode.sink : &whole;
    const bool ok = runRead(&job);
    std::fclose(file);
    if (!ok) {
        if (!job.fault.isEmpty())
            return fail(error, job.fault);
        return fail(error, picturefaults::withDetail(faultOf(job.code, job.width, job.height),
                                                     QStringLiteral("libjpeg"), QString::fromUtf8(job.message)));
    }
    if (result.headerOnly)
        result.storedSize = QSize(int(job.width), int(job.height));
    result.stored = std::move(pixels);
    decode = std::move(result);
    return true;
}
