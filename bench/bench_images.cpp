// Picture reduction and JPEG decoding at photograph sizes, and the cost of
// refusing files made to exhaust a decoder.
//
// First a 4000 x 3000 picture is reduced to 640 x 480 by the direct
// (reference) form of the filter and by the product's separable form, and
// both times and their ratio are printed. Then the decoding of a 4000 x 3000
// JPEG at full size and at the scales 1/2, 1/4 and 1/8 is timed against
// libjpeg-turbo's djpeg decoding the same file in the same run. Google
// Benchmark then times the product's reduction and the decoding again.
#include "bench/benchsupport.h"
#include "images/Bitmap24.h"
#include "images/BitmapUtils.h"
#include "images/pictures.h"
#include "images/thumbnails.h"
#include "tests/support/picturebytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>

#include <sys/resource.h>

namespace {

// A photograph-like picture: smooth colour gradients, some structure and noise.
Bitmap24 photograph(int w, int h)
{
    Bitmap24 bmp(w, h);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < h; ++y) {
        uchar* row = bmp.row(y);
        for (int x = 0; x < w; ++x) {
            const double fx = double(x) / w;
            const double fy = double(y) / h;
            const double wave = 40 * std::sin(x * 0.013) * std::cos(y * 0.021);
            const int v[3] = {int(60 + 150 * fx + wave), int(90 + 100 * fy - wave), int(120 + 60 * std::sin(fx * 9))};
            for (int b = 0; b < 3; ++b)
                row[3 * x + b] = uchar(std::clamp(v[b] + noise(rng), 0, 255));
        }
    }
    return bmp;
}

const Bitmap24& largePicture()
{
    static const Bitmap24 picture = photograph(4000, 3000);
    return picture;
}

QString largeJpegPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.path() + QStringLiteral("/large.jpg");
        QByteArray bytes;
        encodeJpeg(largePicture(), bytes);
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return p;
    }();
    return path;
}

using bench::bestMilliseconds;

void compareResamplers()
{
    const Bitmap24& src = largePicture();
    Bitmap24 product, reference;
    const double tReference = bestMilliseconds(3, [&] { reference = resampleBitmapReference(src, 640, 480); });
    const double tProduct = bestMilliseconds(15, [&] { product = resampleBitmap(src, 640, 480); });
    std::printf("4000x3000 -> 640x480  reference %.1f ms  product %.1f ms  ratio %.1fx  identical: %s\n\n", tReference,
                tProduct, tReference / tProduct, product == reference ? "yes" : "NO");
}

// Our decoding of the 4000 x 3000 JPEG at each DCT scale, against djpeg on
// the same file: the ratio is what holds from machine to machine.
void compareDecodingWithDjpeg()
{
    const QString path = largeJpegPath();
    std::printf("decoding a 4000x3000 JPEG (%lld bytes), best of 5:\n", qlonglong(QFileInfo(path).size()));
    for (int denom : {1, 2, 4, 8}) {
        const int minW = denom == 1 ? 4000 : 4000 / denom;
        const int minH = denom == 1 ? 3000 : 3000 / denom;
        bool ok = true;
        const double ours = bestMilliseconds(5, [&] {
            Bitmap24 out;
            QSize full;
            ok = ok && loadJpegScaled(path, minW, minH, out, &full);
        });
        const double djpeg = bench::djpegMilliseconds(path, denom, 5);
        if (djpeg > 0)
            std::printf("  1/%d  ours %6.1f ms  djpeg %6.1f ms  ratio %.2f%s\n", denom, ours, djpeg, ours / djpeg,
                        ok ? "" : "  (DECODING FAILED)");
        else
            std::printf("  1/%d  ours %6.1f ms  (djpeg not found: install libjpeg-turbo-progs)%s\n", denom, ours,
                        ok ? "" : "  (DECODING FAILED)");
    }
    std::printf("\n");
}

void BM_Reduce4000x3000(benchmark::State& state)
{
    const Bitmap24& src = largePicture();
    for (auto _ : state)
        benchmark::DoNotOptimize(reduceToLongestSide(src, MaxPictureSide));
}
BENCHMARK(BM_Reduce4000x3000)->Unit(benchmark::kMillisecond);

// Argument: the scale denominator (1 = full size).
void BM_DecodeJpeg4000x3000(benchmark::State& state)
{
    const QString path = largeJpegPath();
    const int denom = int(state.range(0));
    const int minW = denom == 1 ? 4000 : 4000 / denom;
    const int minH = denom == 1 ? 3000 : 3000 / denom;
    for (auto _ : state) {
        Bitmap24 out;
        QSize full;
        if (!loadJpegScaled(path, minW, minH, out, &full)) {
            state.SkipWithError("decoding failed");
            break;
        }
        benchmark::DoNotOptimize(out.constBits());
        state.counters["width"] = out.width();
    }
}
BENCHMARK(BM_DecodeJpeg4000x3000)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// Decompression bombs: each kind is loaded as the viewer loads it and as
// the grid does; the slowest refusal is printed, beside the decoding of a
// real photograph of the same file size, and the memory the process took.

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A flat progressive JPEG of w x h whose cheap second scan is repeated
// until the file holds `scans` scans.
QByteArray scanBomb(int w, int h, int scans)
{
    Bitmap24 flat(w, h);
    for (int y = 0; y < h; ++y)
        std::fill(flat.row(y), flat.row(y) + 3 * w, uchar(128));
    QImage image = flat.toImage();
    QByteArray bytes;
    // Qt writes progressive JPEGs through libjpeg's simple progression.
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return picturebytes::repeatScan(bytes, scans);
}

struct Bomb {
    const char* what;
    const char* file;
};
const Bomb bombs[] = {
    {"run-length 8-bit, 12240 x 12240 in 1 KB", "rle8.bmp"},
    {"run-length 4-bit, 2554 x 18803 in 253 bytes", "rle4.bmp"},
    {"progressive JPEG, 4000 x 3000, 20000 scans", "scans.jpg"},
    {"JPEG cut to 2.7 KB claiming 12240 x 12240", "claims.jpg"},
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// Writes the bombs into `folder`. Run in a process of its own, so that the
// memory it takes to make them does not hide what refusing them takes.
void writeBombs(const QString& folder)
{
    QByteArray runs;
    for (int i = 0; i < 600; ++i)
        runs += picturebytes::bytes({255, 1});
    QByteArray small;
    encodeJpeg(photograph(240, 180), small);
    const QByteArray files[] = {
        picturebytes::runLengthBitmap(12240, 12240, false, runs.left(1000)),
        picturebytes::runLengthBitmap(2554, 18803, true, runs.left(190)),
        scanBomb(4000, 3000, 20000),
        picturebytes::withFrameSize(small, 12240, 12240).left(2700),
    };
    for (size_t i = 0; i < std::size(bombs); ++i)
        writeFile(folder + QLatin1Char('/') + QLatin1String(bombs[i].file), files[i]);
}

void reportBombs(const char* program)
{
    QTemporaryDir dir;
    QProcess maker;
    maker.start(QString::fromLocal8Bit(program), {QStringLiteral("--write-bombs"), dir.path()});
    if (!maker.waitForFinished(-1) || maker.exitCode() != 0) {
        std::printf("bombs: could not be written\n");
        return;
    }
    const long before = peakResidentKb();
    double slowest = 0;
    qint64 largestFile = 0;
    for (const Bomb& bomb : bombs) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(bomb.file);
        bool refused = true;
        const double ms = bestMilliseconds(3, [&] {
            Bitmap24 out;
            Thumbnail thumbnail;
            refused = !loadPictureFile(path, out) && !loadThumbnail(path, thumbnail, nullptr);
        });
        largestFile = std::max(largestFile, QFileInfo(path).size());
        std::printf("bomb: %-46s %8lld bytes %8.2f ms  %s\n", bomb.what, (long long)QFileInfo(path).size(), ms,
                    refused ? "refused" : "NOT REFUSED");
        slowest = std::max(slowest, ms);
    }
    const long afterBombs = peakResidentKb();
    // A real photograph of the largest bomb's size, decoded the same ways.
    int side = 400;
    QByteArray photo;
    do {
        side += 100;
        encodeJpeg(photograph(side * 4 / 3, side), photo);
    } while (photo.size() < largestFile);
    const QString photoPath = dir.path() + QStringLiteral("/photo.jpg");
    writeFile(photoPath, photo);
    const double photoMs = bestMilliseconds(3, [&] {
        Bitmap24 out;
        Thumbnail thumbnail;
        loadPictureFile(photoPath, out);
        loadThumbnail(photoPath, thumbnail, nullptr);
    });
    std::printf("slowest refused bomb: %.2f ms; a real %lld KB photo (%d x %d): %.2f ms; ratio %.4f\n", slowest,
                (long long)photo.size() / 1024, side * 4 / 3, side, photoMs, slowest / photoMs);
    std::printf("peak memory of the process: %.1f MB before the bombs, %.1f MB after refusing them\n\n",
                before / 1024.0, afterBombs / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-bombs") == 0) {
        writeBombs(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    bench::printMachine();
    reportBombs(argv[0]);
    compareResamplers();
    compareDecodingWithDjpeg();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
