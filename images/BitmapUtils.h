#pragma once
// Reduction of pictures added to the catalogue: the area-averaging
// resampling filter, the longest-side size rule and the JPEG encoder for the
// reduced pictures. Everything here is free of shared state and may be
// called from several threads at once.
#include <QByteArray>
#include <QString>

#include <memory>

#include "images/Bitmap24.h"

// Pictures are stored at most this many pixels wide and high.
constexpr int MaxPictureSide = 640;

// Resamples `src` to tw x th pixels. Each target pixel is the exact average,
// over its footprint in source coordinates, of the bilinear surface through
// the source pixels (edge pixels repeat outside the picture); every byte is
// rounded to the nearest value, halves to even.
//
// An empty source or a target width or height below 1 gives an empty bitmap:
// there is nothing to average, or nothing to fill. Throws std::bad_alloc when
// the target cannot be allocated. The source is never changed.
//
// This is the product's form: a separable two-pass computation whose output
// is byte-identical to resampleBitmapReference().
Bitmap24 resampleBitmap(const Bitmap24& src, int tw, int th);

// The same filter computed directly, pixel by pixel and cell by cell. Slow;
// it defines the result resampleBitmap() must match.
Bitmap24 resampleBitmapReference(const Bitmap24& src, int tw, int th);

struct ResampleEngine;

// Resamples a picture whose rows arrive one band at a time, top to bottom as
// it is stored (from a decoder), and turns it upright on the way by its EXIF
// orientation (orientation.h). The result is byte for byte
// resampleBitmap(orientUpright(picture, orientation), tw, th), but only the
// stored rows under the footprints of the target rows being made are kept:
// a band of about H / th + 19 rows (W / tw + 19 for a picture stored on its
// side) instead of the whole picture.
class RowResampler {
public:
    // `stored`: the size of the picture as its rows arrive; tw x th: the
    // size of the upright result. Throws std::bad_alloc when its buffers
    // cannot be had. An empty picture or target gives an empty result.
    RowResampler(const QSize& stored, int orientation, int tw, int th);
    ~RowResampler();
    RowResampler(const RowResampler&) = delete;
    RowResampler& operator=(const RowResampler&) = delete;

    // Buffers for the next rows, from row received() on: up to `max`, at
    // least one while rows are missing, none once all have arrived. Each
    // takes the 3 * width bytes of one row's pixels.
    int nextRows(uchar** rows, int max);
    // The first `n` buffers handed out by the last nextRows() hold their
    // rows now.
    void rowsWritten(int n);
    int received() const { return received_; }
    // The upright result; empty until every row has arrived.
    Bitmap24 result() const;
    // Bytes held for arriving rows.
    qint64 bandBytes() const;

    // Rows a decoder may deliver at once.
    static constexpr int Band = 16;

private:
    std::unique_ptr<ResampleEngine> engine_;
    std::unique_ptr<uchar[]> band_;
    size_t rowBytes_ = 0;
    int slots_ = 1;
    int height_ = 0;
    int received_ = 0;
};

// Resamples `src` so that its longer side is `longest` pixels, keeping the
// aspect ratio; the shorter side is rounded half up and is at least 1 pixel
// (a picture over 1280 times longer than wide would otherwise compute to 0).
// Landscape pictures (height < width) get width `longest`; portrait and
// square ones height `longest`. An empty source gives an empty bitmap.
Bitmap24 reduceToLongestSide(const Bitmap24& src, int longest);

// The target size reduceToLongestSide() uses.
QSize longestSideSize(const QSize& source, int longest);

// Encodes the bitmap as a baseline colour JPEG of quality 90. Returns false
// (leaving `out` empty) for an empty bitmap or when encoding fails.
bool encodeJpeg(const Bitmap24& bitmap, QByteArray& out);

// Encodes the bitmap and stores it as a new file `path`. Never replaces a
// file: fails when `path` exists already, also when it appears while the
// picture is being written. The data goes to a temporary file in the same
// folder, flushed to disk, which is then renamed to `path`, so no reader ever
// sees a half-written picture. On failure nothing is left behind and `error`
// (if given) says what failed.
bool saveJpegFile(const QString& path, const Bitmap24& bitmap, QString* error = nullptr);
