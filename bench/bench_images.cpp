// Picture reduction and JPEG decoding at photograph sizes, storing chosen
// photographs as registration does, and the cost of refusing files made to
// exhaust a decoder.
//
// First a 4000 x 3000 picture is reduced to 640 x 480 by the direct
// (reference) form of the filter and by the product's separable form, and
// both times and their ratio are printed. Then the decoding of a 4000 x 3000
// JPEG at full size and at the scales 1/2, 1/4 and 1/8 is timed against
// libjpeg-turbo's djpeg decoding the same file in the same run. Then one
// 4000 x 3000 JPEG is stored as registration stores it (decoded, reduced to
// 640 x 480 while it is decoded, encoded), against djpeg's decode of the
// same file and against the whole picture decoded first, with the peak
// memory each way takes; and 20 such photographs are registered on all
// cores against one. Google Benchmark then times the product's reduction
// and the decoding again.
#include "bench/benchsupport.h"
#include "data/CatalogueChange.h"
#include "edit/pictureops.h"
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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
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
        writeFile(p, bytes);
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

// What registration does with a chosen photograph larger than 640 pixels:
// the bytes it stores. `streaming`: reduced while it is decoded; otherwise
// the whole picture is decoded first, then reduced (the way before).
bool storeBytes(const QString& path, bool streaming, QByteArray& bytes)
{
    Bitmap24 reduced;
    if (streaming) {
        if (!decodeForStoring(path, false, MaxPictureSide, reduced, nullptr))
            return false;
    } else {
        Bitmap24 full;
        if (!loadPictureFile(path, full))
            return false;
        reduced = reduceToLongestSide(full, MaxPictureSide);
    }
    return encodeJpeg(reduced, bytes);
}

// The peak resident memory of this process so far, from the kernel.
long highWaterKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Run in a process of its own: the peak memory that storing `path` adds to
// what the process had reached before, printed in KB.
int measureStoreMemory(const QString& path, bool streaming)
{
    QByteArray bytes;
    bytes.reserve(1 << 20); // the output buffer is not what is measured
    const long before = highWaterKb();
    if (!storeBytes(path, streaming, bytes))
        return 1;
    std::printf("%ld\n", highWaterKb() - before);
    return 0;
}

long storeMemoryKb(const char* program, const QString& path, bool streaming)
{
    QProcess p;
    p.start(QString::fromLocal8Bit(program),
            {QStringLiteral("--store-memory"), streaming ? QStringLiteral("streaming") : QStringLiteral("whole"), path});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        return -1;
    return p.readAllStandardOutput().trimmed().toLong();
}

void compareStoring(const char* program)
{
    const QString path = largeJpegPath();
    QByteArray streamed, whole;
    bool ok = true;
    const double tStreaming = bestMilliseconds(7, [&] { ok = storeBytes(path, true, streamed) && ok; });
    const double tWhole = bestMilliseconds(5, [&] { ok = storeBytes(path, false, whole) && ok; });
    const double djpeg = bench::djpegMilliseconds(path, 1, 7);
    std::printf("storing a 4000x3000 JPEG reduced to 640x480 (decode + reduce + encode), best of 7:\n");
    std::printf("  reduced while decoded  %6.1f ms", tStreaming);
    if (djpeg > 0)
        std::printf("  djpeg (baseline) %6.1f ms  ratio %.2f (target 1.25)", djpeg, tStreaming / djpeg);
    std::printf("\n  whole picture first    %6.1f ms  ratio to reduced while decoded %.2f\n", tWhole,
                tWhole / tStreaming);
    std::printf("  stored files identical: %s\n", ok && streamed == whole ? "yes" : "NO");
    const long memStreaming = storeMemoryKb(program, path, true);
    const long memWhole = storeMemoryKb(program, path, false);
    std::printf("  peak memory beyond the process's own: reduced while decoded %.1f MB (target 15 MB), "
                "whole picture first %.1f MB, ratio %.3f\n\n",
                memStreaming / 1024.0, memWhole / 1024.0, memWhole > 0 ? double(memStreaming) / memWhole : 0.0);
}

// 20 photographs of 12 megapixels registered to one species, as the
// registration loop stores them: prepared on one thread per core while the
// calling thread writes, against the same with no worker thread (one core).
void compareRegistration()
{
    constexpr int Pictures = 20;
    QTemporaryDir chosen;
    QStringList files;
    const QByteArray jpeg = [] {
        QFile f(largeJpegPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    for (int i = 0; i < Pictures; ++i) {
        files << chosen.path() + QStringLiteral("/photo%1.jpg").arg(i);
        writeFile(files.last(), jpeg);
    }
    const int threads = registrationThreads();
    auto registerAll = [&](int workers) {
        QTemporaryDir hdd;
        CatalogueChange change(hdd.path() + QLatin1Char('/'));
        PlantTable table;
        change.begin();
        change.reload(table);
        const int k = table.append(QStringLiteral("ハコベ"));
        QStringList failures;
        const auto start = std::chrono::steady_clock::now();
        table.record(k).pictureCount =
            storeChosenPictures(change, files, QStringLiteral("ハコベ"), 1, workers, {}, {}, failures);
        const bool ok = change.commit(table) == CatalogueChange::Result::Ok && failures.isEmpty() &&
                        table.record(k).pictureCount == Pictures;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        return ok ? ms : -1.0;
    };
    double one = 1e300, all = 1e300;
    for (int run = 0; run < 3; ++run) {
        one = std::min(one, registerAll(0));
        all = std::min(all, registerAll(threads));
    }
    std::printf("registering %d photographs of 4000x3000, best of 3:\n", Pictures);
    std::printf("  one core (baseline)    %7.1f ms\n", one);
    std::printf("  %d worker threads       %7.1f ms  ratio %.2f (target 0.6)\n\n", threads, all, all / one);
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
    if (argc == 4 && std::strcmp(argv[1], "--store-memory") == 0)
        return measureStoreMemory(QString::fromLocal8Bit(argv[3]), std::strcmp(argv[2], "streaming") == 0);
    bench::printMachine();
    const bool storingOnly = argc > 1 && std::strcmp(argv[1], "--storing-only") == 0;
    if (storingOnly) {
        compareStoring(argv[0]);
        compareRegistration();
        return 0;
    }
    reportBombs(argv[0]);
    compareResamplers();
    compareDecodingWithDjpeg();
    compareStoring(argv[0]);
    compareRegistration();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
