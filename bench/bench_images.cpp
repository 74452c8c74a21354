// Picture reduction and JPEG decoding at photograph sizes.
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

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

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

} // namespace

int main(int argc, char** argv)
{
    bench::printMachine();
    compareResamplers();
    compareDecodingWithDjpeg();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
