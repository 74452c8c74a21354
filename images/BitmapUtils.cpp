#include "images/BitmapUtils.h"

#include "images/jpegsupport.h"
#include "images/orientation.h"
#include "images/picturefaults.h"
#include "platform/files.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------------------
// The resampling filter.
//
// Source pixel (column j, row i) is a sample at the point (j, i); between
// samples the picture is the bilinear surface through the four surrounding
// samples, and outside it the nearest edge sample repeats. Target pixel
// (x, y) covers the footprint [x*sx - 0.5, (x+1)*sx - 0.500001] by
// [y*sy - 0.5, (y+1)*sy - 0.500001] in source coordinates (the end offset
// is a millionth more than the start offset, so a footprint ending exactly on
// a sample does not reach into the next cell). Its value is the integral of
// the surface over the footprint divided by area = W*H/tw/th.

struct Geometry {
    int width;   // source
    int height;
    double sx;   // source pixels per target pixel
    double sy;
    double area;
};

constexpr double FootprintStart = 0.5;
constexpr double FootprintEnd = 0.500001;

Geometry geometryFor(const QSize& src, int tw, int th)
{
    Geometry g;
    g.width = src.width();
    g.height = src.height();
    g.sx = double(g.width) / tw;
    g.sy = double(g.height) / th;
    g.area = double(qint64(g.width) * qint64(g.height)) / tw / th;
    return g;
}

inline int clampIndex(int v, int n)
{
    return v < 0 ? 0 : (v >= n ? n - 1 : v);
}

// Rounds to the nearest byte value, halves to even (the default rounding mode).
inline uchar toByte(double v)
{
    const double r = std::nearbyint(v);
    return r <= 0 ? uchar(0) : (r >= 255 ? uchar(255) : uchar(r));
}

// True when v, which is not negative, lies within `margin` of a rounding
// boundary (a half).
inline bool nearHalf(double v, double margin)
{
    return std::fabs(v - double(int(v)) - 0.5) < margin;
}

std::vector<const uchar*> rowPointers(const Bitmap24& b)
{
    std::vector<const uchar*> rows(size_t(b.height()));
    for (int y = 0; y < b.height(); ++y)
        rows[size_t(y)] = b.constRow(y);
    return rows;
}

// Where the pixels of the picture being resampled are: at(j, i) gives
// column j, row i (both already clamped to the picture) of the picture as
// it stands upright, wherever the decoder put its rows.
struct UprightRows {
    const uchar* const* rows; // the stored picture's rows
    int width;                // of the stored picture
    int height;
    bool transposed;          // stored rows are upright columns
    bool mirrorColumns;       // of the stored picture
    bool mirrorRows;

    const uchar* operator()(int j, int i) const
    {
        int column = j, row = i;
        if (transposed)
            std::swap(column, row);
        if (mirrorColumns)
            column = width - 1 - column;
        if (mirrorRows)
            row = height - 1 - row;
        return rows[row] + 3 * column;
    }
};

UprightRows uprightRows(const uchar* const* rows, int width, int height, int orientation)
{
    UprightRows at{rows, width, height, false, false, false};
    if (orientation < OrientUpright || orientation > OrientTurnedRight)
        return at;
    at.transposed = orientationSwapsAxes(orientation);
    at.mirrorColumns = orientation == OrientMirrored || orientation == OrientUpsideDown ||
                       orientation == OrientTransverse || orientation == OrientTurnedRight;
    at.mirrorRows = orientation == OrientUpsideDown || orientation == OrientFlipped ||
                    orientation == OrientTurnedLeft || orientation == OrientTransverse;
    return at;
}

// One target pixel computed cell by cell: for every unit cell the footprint
// overlaps, the integral of the bilinear surface over the overlap rectangle,
// which is the rectangle's area times the surface's value at its centre.
// `at` reaches the upright picture's pixels (see UprightRows).
template <class At>
void directPixel(const At& at, const Geometry& g, int x, int y, uchar* out)
{
    const double x0 = x * g.sx - FootprintStart;
    const double x1 = (x + 1) * g.sx - FootprintEnd;
    const double y0 = y * g.sy - FootprintStart;
    const double y1 = (y + 1) * g.sy - FootprintEnd;
    double sum[3] = {0.0, 0.0, 0.0};
    const int iFirst = int(std::floor(y0));
    const int iLast = int(std::floor(y1));
    const int jFirst = int(std::floor(x0));
    const int jLast = int(std::floor(x1));
    for (int i = iFirst; i <= iLast; ++i) {
        const int top = clampIndex(i, g.height);
        const int bottom = clampIndex(i + 1, g.height);
        const double oy0 = std::max(y0, double(i));
        const double oy1 = std::min(y1, double(i + 1));
        const double wy = oy1 - oy0;
        const double cy = (oy0 + oy1) / 2 - i;
        for (int j = jFirst; j <= jLast; ++j) {
            const int left = clampIndex(j, g.width);
            const int right = clampIndex(j + 1, g.width);
            const uchar* q00 = at(left, top);
            const uchar* q01 = at(right, top);
            const uchar* q10 = at(left, bottom);
            const uchar* q11 = at(right, bottom);
            const double ox0 = std::max(x0, double(j));
            const double ox1 = std::min(x1, double(j + 1));
            const double wx = ox1 - ox0;
            const double cx = (ox0 + ox1) / 2 - j;
            for (int b = 0; b < 3; ++b) {
                const int p00 = q00[b];
                const int p01 = q01[b];
                const int p10 = q10[b];
                const int p11 = q11[b];
                const double a = p00;
                const double dx = p01 - p00;
                const double dy = p10 - p00;
                const double dxy = p11 - p01 - p10 + p00;
                sum[b] += wx * wy * (a + dx * cx + dy * cy + dxy * cx * cy);
            }
        }
    }
    for (int b = 0; b < 3; ++b)
        out[b] = toByte(sum[b] / g.area);
}

// The integrand of one cell expands to
//   (1-cx)(1-cy) p00 + cx(1-cy) p01 + (1-cx)cy p10 + cx cy p11,
// so a target pixel's sum is sum_r sum_c u(c) v(r) p(c, r) with one weight
// list per target column (u, over source columns) and one per target row
// (v, over source rows). AxisWeights holds those lists for one axis.
//
// A source index whose two neighbouring cells both lie wholly inside the
// footprint gets weight exactly 1 (0.5 from each cell); only the two or
// three indices at each end of the footprint get other weights.
struct AxisWeights {
    std::vector<int> first;     // first source index of target t
    std::vector<int> count;     // number of weights of target t
    std::vector<size_t> offset; // start of target t's weights in `weights`
    std::vector<float> weights;
    std::vector<bool> unit;     // the weight is exactly 1
    int maxCount = 0;
};

AxisWeights axisWeights(int sourceLength, int targetLength, double scale)
{
    AxisWeights a;
    a.first.resize(size_t(targetLength));
    a.count.resize(size_t(targetLength));
    a.offset.resize(size_t(targetLength));
    std::vector<double> w;
    for (int t = 0; t < targetLength; ++t) {
        const double t0 = t * scale - FootprintStart;
        const double t1 = (t + 1) * scale - FootprintEnd;
        const int jFirst = int(std::floor(t0));
        const int jLast = int(std::floor(t1));
        const int lo = clampIndex(jFirst, sourceLength);
        const int hi = std::max(lo, clampIndex(jLast + 1, sourceLength));
        w.assign(size_t(hi - lo + 1), 0.0);
        for (int j = jFirst; j <= jLast; ++j) {
            const double o0 = std::max(t0, double(j));
            const double o1 = std::min(t1, double(j + 1));
            const double len = o1 - o0;
            const double c = (o0 + o1) / 2 - j;
            w[size_t(clampIndex(j, sourceLength) - lo)] += len * (1 - c);
            w[size_t(clampIndex(j + 1, sourceLength) - lo)] += len * c;
        }
        a.first[size_t(t)] = lo;
        a.count[size_t(t)] = hi - lo + 1;
        a.offset[size_t(t)] = a.weights.size();
        a.maxCount = std::max(a.maxCount, hi - lo + 1);
        for (double wk : w) {
            a.weights.push_back(float(wk));
            a.unit.push_back(wk == 1.0);
        }
    }
    return a;
}

// The same lists for the axis read the other way round: source index k
// becomes length - 1 - k, so each target's weights run backwards.
AxisWeights mirrored(const AxisWeights& a, int length)
{
    AxisWeights m = a;
    for (size_t t = 0; t < a.first.size(); ++t) {
        const int n = a.count[t];
        m.first[t] = length - a.first[t] - n;
        for (int k = 0; k < n; ++k) {
            m.weights[a.offset[t] + size_t(k)] = a.weights[a.offset[t] + size_t(n - 1 - k)];
            m.unit[a.offset[t] + size_t(k)] = a.unit[a.offset[t] + size_t(n - 1 - k)];
        }
    }
    return m;
}

// Loops over blocks of a fixed length, which the compiler turns into vector
// instructions even at moderate optimisation levels.
constexpr size_t Block = 16;

// acc[i] = src[i] (first) or acc[i] += src[i]; exact in 16 bits for up to
// 257 rows of bytes.
void addBytes(quint16* __restrict acc, const uchar* __restrict src, size_t n, bool first)
{
    size_t i = 0;
    if (first) {
        for (; i + Block <= n; i += Block)
            for (size_t j = 0; j < Block; ++j)
                acc[i + j] = src[i + j];
        for (; i < n; ++i)
            acc[i] = src[i];
    } else {
        for (; i + Block <= n; i += Block)
            for (size_t j = 0; j < Block; ++j)
                acc[i + j] = quint16(acc[i + j] + src[i + j]);
        for (; i < n; ++i)
            acc[i] = quint16(acc[i] + src[i]);
    }
}

void addWholeNumbers(float* __restrict acc, const quint16* __restrict src, size_t n)
{
    size_t i = 0;
    for (; i + Block <= n; i += Block)
        for (size_t j = 0; j < Block; ++j)
            acc[i + j] += float(src[i + j]);
    for (; i < n; ++i)
        acc[i] += float(src[i]);
}

// acc[i] += wa * a[i] + wb * b[i]: two rows in one sweep over `acc`.
void addWeighted(float* __restrict acc, const uchar* __restrict a, float wa, const uchar* __restrict b, float wb,
                 size_t n)
{
    size_t i = 0;
    for (; i + Block <= n; i += Block)
        for (size_t j = 0; j < Block; ++j)
            acc[i + j] += wa * float(a[i + j]) + wb * float(b[i + j]);
    for (; i < n; ++i)
        acc[i] += wa * float(a[i]) + wb * float(b[i]);
}

// One target row's vertical pass: the weighted sum of its source rows, per
// byte of the row. Rows of weight 1 are added as integers, exactly; the
// others (two or three at each end) go into the float sums in pairs.
void verticalPass(const std::vector<const uchar*>& rows, const AxisWeights& v, int y, size_t n, quint16* whole,
                  float* out)
{
    std::fill(out, out + n, 0.0f);
    const size_t base = v.offset[size_t(y)];
    const uchar* heldRow = nullptr; // a weighted row waiting for a partner
    float heldWeight = 0;
    int pending = 0;
    for (int k = 0; k < v.count[size_t(y)]; ++k) {
        const uchar* src = rows[size_t(v.first[size_t(y)] + k)];
        const float w = v.weights[base + size_t(k)];
        if (v.unit[base + size_t(k)]) {
            addBytes(whole, src, n, pending == 0);
            if (++pending == 257) {
                addWholeNumbers(out, whole, n);
                pending = 0;
            }
        } else if (w != 0.0f) {
            if (heldRow) {
                addWeighted(out, heldRow, heldWeight, src, w, n);
                heldRow = nullptr;
            } else {
                heldRow = src;
                heldWeight = w;
            }
        }
    }
    if (heldRow)
        addWeighted(out, heldRow, heldWeight, heldRow, 0.0f, n);
    if (pending > 0)
        addWholeNumbers(out, whole, n);
}

typedef float Float4 __attribute__((vector_size(16)));

inline Float4 loadPixel(const float* p)
{
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// One target row's horizontal pass over the vertical sums (three floats a
// pixel, followed by one spare float): four lanes at a time, the fourth
// unused, so each weight costs one vector multiply-add. Four partial sums
// keep the additions independent of each other.
void horizontalPass(const float* sums, const AxisWeights& h, int tw, Float4* out)
{
    for (int x = 0; x < tw; ++x) {
        const float* p = sums + size_t(h.first[size_t(x)]) * 3;
        const float* w = h.weights.data() + h.offset[size_t(x)];
        const int n = h.count[size_t(x)];
        Float4 s0 = {0, 0, 0, 0}, s1 = s0, s2 = s0, s3 = s0;
        int k = 0;
        for (; k + 4 <= n; k += 4, p += 12) {
            s0 += w[k] * loadPixel(p);
            s1 += w[k + 1] * loadPixel(p + 3);
            s2 += w[k + 2] * loadPixel(p + 6);
            s3 += w[k + 3] * loadPixel(p + 9);
        }
        for (; k < n; ++k, p += 3)
            s0 += w[k] * loadPixel(p);
        out[x] = (s0 + s1) + (s2 + s3);
    }
}

// Rounds a value known not to lie near a half: to the nearest byte.
inline uchar nearestByte(double v)
{
    return v <= 0 ? uchar(0) : (v >= 255 ? uchar(255) : uchar(int(v + 0.5)));
}

} // namespace

// The resampling of one picture, fed the stored picture's rows top to
// bottom. The picture is resampled as it stands upright: the weights of
// each upright axis are laid over the stored axis it becomes (read
// backwards where the orientation mirrors it), so the passes run along the
// stored rows whatever the orientation. Each target row (or, for a picture
// stored on its side, target column) is made as soon as the last stored row
// under its footprints has arrived; rows above its footprints are never
// read again.
struct ResampleEngine {
    Geometry g;           // of the upright picture
    int storedHeight;
    std::vector<const uchar*> rows; // stored rows as they arrive
    UprightRows at;
    bool transposed;
    bool direct;          // every pixel by the direct form
    AxisWeights along;    // over stored rows, one list per target line made at once
    AxisWeights across;   // over stored columns, one list per pixel of such a line
    int lines;            // target lines to make
    int next;             // the next line to make
    int step;             // +1, or -1 when the stored rows run upwards in the picture
    int made = 0;
    Bitmap24 out;
    uchar* outBits;
    int outStride;
    std::vector<quint16> whole;
    std::vector<float> sums;
    std::vector<Float4> pixels;
    double margin;

    ResampleEngine(const QSize& stored, int orientation, int tw, int th)
        : g(geometryFor(uprightSize(stored, orientation), tw, th))
        , storedHeight(stored.height())
        , rows(size_t(stored.height()), nullptr)
        , at(uprightRows(rows.data(), stored.width(), stored.height(), orientation))
        , transposed(at.transposed)
        // An enlargement over a thousandfold has footprints too small for
        // the error bound below; the direct form handles it.
        , direct(g.sx < 1e-3 || g.sy < 1e-3)
        , out(tw, th)
    {
        AxisWeights columns = axisWeights(g.width, tw, g.sx);
        AxisWeights uprightRowsWeights = axisWeights(g.height, th, g.sy);
        along = transposed ? std::move(columns) : std::move(uprightRowsWeights);
        across = transposed ? std::move(uprightRowsWeights) : std::move(columns);
        if (at.mirrorRows)
            along = mirrored(along, stored.height());
        if (at.mirrorColumns)
            across = mirrored(across, stored.width());
        lines = transposed ? tw : th;
        next = at.mirrorRows ? lines - 1 : 0;
        step = at.mirrorRows ? -1 : 1;
        outBits = out.bits();
        outStride = out.stride();
        const size_t n = size_t(stored.width()) * 3;
        whole.resize(n);
        sums.assign(n + 1, 0.0f); // one spare float for the last pixel's vector load
        pixels.resize(size_t(transposed ? th : tw));

        // The sums are in float. All weights and bytes are non-negative, so
        // the relative error of a sum is at most u = 2^-24 times the number
        // of roundings on the way of one of its terms: the rounding of the
        // weight, the products and the additions of both passes, fewer than
        // mv + mh + 8 for mv row and mh column weights. A value (at most
        // 255) is thus off by less than 256 (mv + mh + 8) u. The direct form
        // sums at most (mv + 1) (mh + 1) cells in double, each with a
        // handful of roundings; its error is far below the generous bound
        // used here. When the fast value lies farther than both errors
        // together from a half, the direct form rounds it the same way;
        // otherwise the pixel is computed directly. Neither the order of the
        // passes nor the order of the terms changes the bound.
        const double mv = along.maxCount, mh = across.maxCount;
        const double fastError = 256 * (mv + mh + 8) * std::ldexp(1.0, -24);
        const double directError = 64 * 256 * ((mv + 1) * (mh + 1) + 16) * std::ldexp(1.0, -53);
        margin = fastError + directError;
    }

    int lastRowOf(int line) const
    {
        return along.first[size_t(line)] + along.count[size_t(line)] - 1;
    }

    // The first stored row a line still to be made reads.
    int lowestNeeded() const
    {
        return made < lines ? along.first[size_t(next)] : storedHeight;
    }

    void arrived(int i, const uchar* row)
    {
        rows[size_t(i)] = row;
        while (made < lines && lastRowOf(next) <= i) {
            makeLine(next);
            next += step;
            ++made;
        }
    }

    void makeLine(int line)
    {
        const int n = int(pixels.size());
        if (!direct) {
            verticalPass(rows, along, line, size_t(at.width) * 3, whole.data(), sums.data());
            horizontalPass(sums.data(), across, n, pixels.data());
        }
        for (int k = 0; k < n; ++k) {
            const int x = transposed ? line : k;
            const int y = transposed ? k : line;
            uchar* dst = outBits + std::ptrdiff_t(y) * outStride + 3 * x;
            if (direct) {
                directPixel(at, g, x, y, dst);
                continue;
            }
            const Float4 s = pixels[size_t(k)];
            const double v0 = double(s[0]) / g.area;
            const double v1 = double(s[1]) / g.area;
            const double v2 = double(s[2]) / g.area;
            if (nearHalf(v0, margin) || nearHalf(v1, margin) || nearHalf(v2, margin)) {
                directPixel(at, g, x, y, dst);
            } else {
                dst[0] = nearestByte(v0);
                dst[1] = nearestByte(v1);
                dst[2] = nearestByte(v2);
            }
        }
    }
};

Bitmap24 resampleBitmapReference(const Bitmap24& src, int tw, int th)
{
    if (src.isEmpty() || tw < 1 || th < 1)
        return Bitmap24();
    const Geometry g = geometryFor(src.size(), tw, th);
    const std::vector<const uchar*> rows = rowPointers(src);
    const UprightRows at = uprightRows(rows.data(), src.width(), src.height(), OrientUpright);
    Bitmap24 out(tw, th);
    for (int y = 0; y < th; ++y) {
        uchar* dst = out.row(y);
        for (int x = 0; x < tw; ++x)
            directPixel(at, g, x, y, dst + 3 * x);
    }
    return out;
}

Bitmap24 resampleBitmap(const Bitmap24& src, int tw, int th)
{
    if (src.isEmpty() || tw < 1 || th < 1)
        return Bitmap24();
    ResampleEngine engine(src.size(), OrientUpright, tw, th);
    for (int i = 0; i < src.height(); ++i)
        engine.arrived(i, src.constRow(i));
    return engine.out;
}

RowResampler::RowResampler(const QSize& stored, int orientation, int tw, int th)
    : height_(std::max(0, stored.height()))
{
    const int width = std::max(1, stored.width());
    rowBytes_ = (size_t(width) * 3 + 15) & ~size_t(15);
    int keep = 1; // rows kept: a scratch row when there is nothing to make
    if (!stored.isEmpty() && tw >= 1 && th >= 1) {
        engine_ = std::make_unique<ResampleEngine>(stored, orientation, tw, th);
        // Every row under one line's footprints, and a band of new rows.
        keep = std::min(height_, engine_->along.maxCount + Band);
    }
    slots_ = std::max(1, keep);
    band_.reset(new uchar[rowBytes_ * size_t(slots_)]);
}

RowResampler::~RowResampler() = default;

int RowResampler::nextRows(uchar** rows, int max)
{
    if (received_ >= height_ || max < 1)
        return 0;
    int n = std::min(max, height_ - received_);
    if (engine_)
        // A slot is reused only once no line still to be made reads its row.
        n = std::min(n, slots_ + engine_->lowestNeeded() - received_);
    else
        n = std::min(n, slots_);
    for (int k = 0; k < n; ++k)
        rows[k] = band_.get() + size_t((received_ + k) % slots_) * rowBytes_;
    return n;
}

void RowResampler::rowsWritten(int n)
{
    for (int k = 0; k < n && received_ < height_; ++k, ++received_)
        if (engine_)
            engine_->arrived(received_, band_.get() + size_t(received_ % slots_) * rowBytes_);
}

Bitmap24 RowResampler::result() const
{
    return engine_ && received_ >= height_ ? engine_->out : Bitmap24();
}

qint64 RowResampler::bandBytes() const
{
    return qint64(rowBytes_) * slots_;
}

QSize longestSideSize(const QSize& source, int longest)
{
    const int w = source.width();
    const int h = source.height();
    if (w < 1 || h < 1 || longest < 1)
        return QSize();
    int tw, th;
    if (h < w) {
        tw = longest;
        th = int(longest * (double(h) / double(w)) + 0.5);
    } else {
        th = longest;
        tw = int(longest * (double(w) / double(h)) + 0.5);
    }
    // A side computing to 0 would leave nothing to save; keep one pixel.
    return QSize(std::max(tw, 1), std::max(th, 1));
}

Bitmap24 reduceToLongestSide(const Bitmap24& src, int longest)
{
    const QSize size = longestSideSize(src.size(), longest);
    if (size.isEmpty())
        return Bitmap24();
    return resampleBitmap(src, size.width(), size.height());
}

// ---------------------------------------------------------------------------
// JPEG encoding.

namespace {

struct EncodeJob {
    const Bitmap24* bitmap;
    unsigned char* buffer; // allocated by libjpeg's memory destination; freed by the caller
    unsigned long size;
};

// Only objects without destructors live in this frame: an error jumps back
// to the setjmp below.
bool runEncode(EncodeJob* job)
{
    jpeg_compress_struct cinfo;
    jpegsupport::ErrorManager errors;
    cinfo.err = jpegsupport::install(errors, false);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job->buffer, &job->size);
    cinfo.image_width = JDIMENSION(job->bitmap->width());
    cinfo.image_height = JDIMENSION(job->bitmap->height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job->bitmap->constRow(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool encodeJpeg(const Bitmap24& bitmap, QByteArray& out)
{
    out.clear();
    if (bitmap.isEmpty())
        return false;
    EncodeJob job{&bitmap, nullptr, 0};
    const bool ok = runEncode(&job);
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(job.buffer), qsizetype(job.size));
    std::free(job.buffer);
    return ok;
}

bool saveJpegFile(const QString& path, const Bitmap24& bitmap, QString* error)
{
    if (platform::fileExists(path))
        return fail(error, QStringLiteral("「%1」はすでにあります").arg(path));
    QByteArray bytes;
    if (!encodeJpeg(bitmap, bytes))
        return fail(error, QStringLiteral("画像を JPEG 形式にできません"));
    QString why;
    if (platform::writeNewFile(path, bytes, &why))
        return true;
    // The system's own words (in English) only as a detail.
    return fail(error, picturefaults::withDetail(QStringLiteral("画像ファイルを書き込めません。"),
                                                 QStringLiteral("システム"), why));
}
