#pragma once
// Decoding JPEG files through libjpeg, with guards against files made to
// cost more than a real photograph of their size:
//
// - a header may not claim more pixels than any Huffman-coded JPEG of the
//   file's length can describe (MaxJpegPixelsPerByte); such a file is
//   refused before anything is allocated for its pixels;
// - a progressive (or other multi-scan) file may hold at most MaxJpegScans
//   scans: the scans are counted before decoding starts, and libjpeg's
//   progress monitor stops a decode that meets more;
// - a file that ends early or holds broken data fails (see jpegsupport.h),
//   having touched only the memory of the rows decoded so far.
//
// The picture comes out as stored; its EXIF orientation is reported beside
// it for the caller to apply (orientation.h).
#include <QSize>
#include <QString>

#include <cstdio>

#include "images/Bitmap24.h"
#include "images/orientation.h"

// A real photograph has a handful of scans (libjpeg's own progressive
// script writes ten); a file with many more only costs time.
constexpr int MaxJpegScans = 100;

// Every Huffman-coded block takes at least one bit in some scan, so a JPEG
// file holds at most 64 pixels a bit of its length, 512 a byte.
constexpr qint64 MaxJpegPixelsPerByte = 512;

// Takes a picture's rows as they are decoded, top to bottom as stored, in
// place of a whole bitmap: a picture can then be reduced while it is
// decoded, without its full size ever being held. None of these may throw.
class JpegRowSink {
public:
    virtual ~JpegRowSink() = default;
    // The picture's size as stored and its orientation, before any row;
    // false when the sink cannot take it (no memory): the decode fails.
    virtual bool start(const QSize& stored, int orientation) = 0;
    // Buffers for the next rows (3 * width bytes each): up to `max`, at
    // least one while rows are missing.
    virtual int nextRows(uchar** rows, int max) = 0;
    // The first `n` buffers of the last nextRows() hold their rows now.
    virtual void rowsWritten(int n) = 0;
};

// Rows the decoder asks a sink for at once.
constexpr int JpegBand = 16;

struct JpegDecode {
    // What to do.
    bool headerOnly = false; // read the header only: storedSize and orientation
    bool scaled = false;     // decode at a DCT scale chosen from the minimum size,
                             // into memory for many small pictures (pixelpool.h)
    int minWidth = 0;        // smallest size to cover, as the picture is shown
    int minHeight = 0;       // (upright); swapped for a file stored on its side
    JpegRowSink* sink = nullptr; // receives the rows at full size instead of `stored`

    // What came out.
    Bitmap24 stored;             // the pixels as the file stores them
    QSize storedSize;            // the full size as stored
    int orientation = OrientUpright;
};

// Decodes or measures the JPEG file at `path`. False, with a message for the
// user in `error`, when it cannot be read; `job`'s results are then unset.
bool decodeJpegFile(const QString& path, JpegDecode& job, QString* error = nullptr);

// The number of start-of-scan markers in the JPEG data of `file`, read as
// libjpeg meets them; counting stops at `stopAfter` + 1. Reads with pread,
// so the stream position of `file` stays where it was.
int countJpegScans(std::FILE* file, int stopAfter);
