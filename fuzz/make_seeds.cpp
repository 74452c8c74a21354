// Writes the hand-made seed inputs of the fuzz targets: small pictures in
// every layout the loaders handle (so that the fuzzer starts from inside
// each decoder path rather than having to discover the formats), and short
// data, memo and settings files with the cases their readers treat
// specially. The gate adds pictures, memos and the data file of the sample
// catalogue to these.
//
//   tolvarin_fuzz_seeds FOLDER    writes FOLDER/<target>/<seed>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include <jpeglib.h>
#include <png.h>

namespace {

using Bytes = std::vector<unsigned char>;

std::string gFolder;

void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes)
{
    const std::string dir = gFolder + "/" + target;
    ::mkdir(gFolder.c_str(), 0755);
    ::mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void writeText(const std::string& target, const std::string& name, const std::string& text)
{
    writeSeed(target, name, Bytes(text.begin(), text.end()));
}

// A smooth test pattern: every colour channel changes across the picture.
unsigned char sample(int x, int y, int channel)
{
    return static_cast<unsigned char>((x * 37 + y * 19 + channel * 85) & 0xFF);
}

// ---------------------------------------------------------------------------
// JPEG seeds, written by libjpeg itself.

struct JpegLayout {
    int width = 16;
    int height = 16;
    J_COLOR_SPACE input = JCS_RGB;   // components given to the encoder
    J_COLOR_SPACE stored = JCS_YCbCr; // colour space in the file
    int lumaH = 2;                     // sampling of the first component
    int lumaV = 2;
    bool progressive = false;
    bool arithmetic = false;
    bool optimise = false;
    int restartRows = 0;
    int quality = 75;
};

Bytes encodeJpeg(const JpegLayout& layout)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors); // a failure ends this tool, which is fine here
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    const int components = layout.input == JCS_GRAYSCALE ? 1 : layout.input == JCS_CMYK ? 4 : 3;
    cinfo.image_width = JDIMENSION(layout.width);
    cinfo.image_height = JDIMENSION(layout.height);
    cinfo.input_components = components;
    cinfo.in_color_space = layout.input;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, layout.stored);
    jpeg_set_quality(&cinfo, layout.quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = layout.lumaH;
    cinfo.comp_info[0].v_samp_factor = layout.lumaV;
    for (int c = 1; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (layout.progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = layout.arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = layout.optimise ? TRUE : FALSE;
    cinfo.restart_in_rows = layout.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(layout.width) * size_t(components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < layout.width; ++x)
            for (int c = 0; c < components; ++c)
                row[size_t(x * components + c)] = sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void jpegSeeds()
{
    JpegLayout l;
    writeSeed("jpeg", "baseline-420.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.width = 17;
    l.height = 9;
    l.lumaH = l.lumaV = 1;
    writeSeed("jpeg", "odd-size-444.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.lumaV = 1;
    l.width = 40;
    l.height = 24;
    writeSeed("jpeg", "sampling-422.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.width = 24;
    l.progressive = true;
    writeSeed("jpeg", "progressive.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.width = 8;
    l.height = 8;
    l.input = l.stored = JCS_GRAYSCALE;
    l.lumaH = l.lumaV = 1;
    writeSeed("jpeg", "grey.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.height = 8;
    l.input = l.stored = JCS_CMYK; // with an Adobe marker: inverted values
    l.lumaH = l.lumaV = 1;
    writeSeed("jpeg", "cmyk-adobe.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.input = JCS_CMYK;
    l.stored = JCS_YCCK;
    writeSeed("jpeg", "ycck.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.width = 32;
    l.height = 48;
    l.restartRows = 1;
    writeSeed("jpeg", "restart-markers.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.arithmetic = true;
    writeSeed("jpeg", "arithmetic.jpg", encodeJpeg(l));

    l = JpegLayout{};
    l.width = l.height = 1;
    l.lumaH = l.lumaV = 1;
    writeSeed("jpeg", "one-pixel.jpg", encodeJpeg(l));

    // Large enough for every DCT scale (1/8 gives 8 x 6), small in bytes.
    l = JpegLayout{};
    l.width = 64;
    l.height = 48;
    l.optimise = true;
    l.quality = 10;
    writeSeed("jpeg", "scalable-optimised.jpg", encodeJpeg(l));
}

// ---------------------------------------------------------------------------
// BMP seeds, assembled byte by byte: each header layout and depth the
// loader checks.

void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(Bytes& b, unsigned long v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct BmpLayout {
    int width = 5;
    int height = 3;     // negative: rows stored from the top
    int bits = 24;
    unsigned compression = 0;
    int infoSize = 40;  // 12 (OS/2 core), 40, 108 (V4) or 124 (V5)
    std::vector<unsigned long> masks; // BI_BITFIELDS masks after the header
    int paletteSize = 0;
    Bytes pixels;       // when empty: uncompressed rows of the pattern
};

Bytes uncompressedRows(const BmpLayout& l)
{
    const int rows = l.height < 0 ? -l.height : l.height;
    const int rowBytes = (l.width * l.bits + 31) / 32 * 4;
    Bytes out(size_t(rowBytes) * size_t(rows), 0);
    for (int y = 0; y < rows; ++y) {
        unsigned char* row = out.data() + size_t(y) * size_t(rowBytes);
        for (int x = 0; x < l.width; ++x) {
            switch (l.bits) {
            case 1:
                if ((x + y) % 2)
                    row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<unsigned char>((sample(x, y, 0) & 0x0F) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = sample(x, y, 0);
                break;
            case 16:
                row[2 * x] = sample(x, y, 0);
                row[2 * x + 1] = sample(x, y, 1) & 0x7F;
                break;
            default:
                for (int c = 0; c < l.bits / 8; ++c)
                    row[x * (l.bits / 8) + c] = sample(x, y, c);
            }
        }
    }
    return out;
}

Bytes makeBmp(const BmpLayout& l)
{
    const Bytes pixels = l.pixels.empty() ? uncompressedRows(l) : l.pixels;
    const int paletteEntry = l.infoSize == 12 ? 3 : 4;
    const size_t offset = 14 + size_t(l.infoSize) + 4 * l.masks.size() + size_t(l.paletteSize * paletteEntry);
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + pixels.size());
    put32(b, 0);
    put32(b, offset);
    put32(b, static_cast<unsigned long>(l.infoSize));
    if (l.infoSize == 12) {
        put16(b, unsigned(l.width));
        put16(b, unsigned(l.height));
        put16(b, 1);
        put16(b, unsigned(l.bits));
    } else {
        put32(b, static_cast<unsigned long>(l.width));
        put32(b, static_cast<unsigned long>(static_cast<long>(l.height)));
        put16(b, 1);
        put16(b, unsigned(l.bits));
        put32(b, l.compression);
        put32(b, pixels.size());
        put32(b, 2835); // 72 dpi
        put32(b, 2835);
        put32(b, static_cast<unsigned long>(l.paletteSize));
        put32(b, 0);
        while (b.size() < 14 + size_t(l.infoSize))
            b.push_back(0); // V4/V5 fields: masks, colour space, gamma (all zero)
    }
    for (unsigned long m : l.masks)
        put32(b, m);
    for (int i = 0; i < l.paletteSize; ++i) {
        b.push_back(static_cast<unsigned char>(i * 255 / (l.paletteSize > 1 ? l.paletteSize - 1 : 1)));
        b.push_back(sample(i, 0, 1));
        b.push_back(sample(i, 0, 2));
        if (paletteEntry == 4)
            b.push_back(0);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

void bmpSeeds()
{
    BmpLayout l;
    writeSeed("bmp", "rgb24-bottom-up.bmp", makeBmp(l));

    l = BmpLayout{};
    l.height = -4;
    l.bits = 32;
    writeSeed("bmp", "rgb32-top-down.bmp", makeBmp(l));

    l = BmpLayout{};
    l.width = 9;
    l.bits = 8;
    l.paletteSize = 256;
    writeSeed("bmp", "palette8.bmp", makeBmp(l));

    l = BmpLayout{};
    l.width = 7;
    l.bits = 4;
    l.paletteSize = 16;
    writeSeed("bmp", "palette4.bmp", makeBmp(l));

    l = BmpLayout{};
    l.width = 11;
    l.bits = 1;
    l.paletteSize = 2;
    writeSeed("bmp", "mono.bmp", makeBmp(l));

    l = BmpLayout{};
    l.bits = 16;
    writeSeed("bmp", "rgb555.bmp", makeBmp(l));

    l = BmpLayout{};
    l.bits = 16;
    l.compression = 3; // BI_BITFIELDS, 5-6-5
    l.masks = {0xF800, 0x07E0, 0x001F};
    writeSeed("bmp", "bitfields565.bmp", makeBmp(l));

    l = BmpLayout{};
    l.bits = 32;
    l.compression = 3;
    l.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    writeSeed("bmp", "bitfields32.bmp", makeBmp(l));

    l = BmpLayout{};
    l.infoSize = 12;
    l.width = 6;
    l.height = 2;
    writeSeed("bmp", "os2-core.bmp", makeBmp(l));

    l = BmpLayout{};
    l.infoSize = 12; // a core header's palette always has 2^bits entries
    l.bits = 4;
    l.paletteSize = 16;
    writeSeed("bmp", "os2-palette.bmp", makeBmp(l));

    l = BmpLayout{};
    l.infoSize = 124;
    l.width = 3;
    l.height = 3;
    writeSeed("bmp", "v5-header.bmp", makeBmp(l));

    l = BmpLayout{};
    l.infoSize = 108;
    l.bits = 32;
    writeSeed("bmp", "v4-header.bmp", makeBmp(l));

    // Run-length coded: a run, an absolute run, a delta, end of line, end
    // of picture.
    l = BmpLayout{};
    l.width = 8;
    l.height = 3;
    l.bits = 8;
    l.compression = 1; // BI_RLE8
    l.paletteSize = 4;
    l.pixels = {4, 1, 0, 3, 2, 3, 1, 0, 1, 0, 0, 8, 3, 0, 2, 1, 1, 0, 0, 0, 1};
    writeSeed("bmp", "rle8.bmp", makeBmp(l));

    l = BmpLayout{};
    l.width = 8;
    l.height = 2;
    l.bits = 4;
    l.compression = 2; // BI_RLE4
    l.paletteSize = 16;
    l.pixels = {6, 0x12, 0, 4, 0x34, 0x56, 0, 0, 8, 0xAB, 0, 1};
    writeSeed("bmp", "rle4.bmp", makeBmp(l));
}

// ---------------------------------------------------------------------------
// Text seeds. "\x83n\x83R\x83x" is ハコベ in cp932.

void dataSeeds()
{
    writeText("datafile", "two-records.dat",
              "\x83n\x83R\x83x,1,0,0,0,1,0,0,0,0,0,5,1,1,5,2\r\n"
              "Clover,0,1,0,0,0,1,0,0,0,0,-1,-1,-1,-1,0\r\n");
    writeText("datafile", "bad-field.dat", "A,1,0,0,0,1,0,0,0,0,0,11,1,1,5,2\r\nB,1\r\n");
    writeText("datafile", "empty-line.dat", "A,1,0,0,0,1,0,0,0,0,0,5,1,1,5,2\r\n\r\nB,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n");
    writeText("datafile", "blanks-and-signs.dat", "  name with blanks ,+1, 0,0,0,1,0,0,0,0,0,+5,1,1,-1,2147483647\n");
    writeText("datafile", "bad-text.dat", "\x81\x20\xff\xa0,1,0,0,0,1,0,0,0,0,0,5,1,1,5,2\r\n");
    writeText("datafile", "long-name.dat",
              "\x83n\x83R\x83x\x83n\x83R\x83x\x83n\x83R\x83x\x83n\x83R\x83x\x83n\x83R\x83x\x83n\x83R\x83x"
              "\x83n\x83R\x83x\x83n\x83R\x83x\x83n\x83R\x83x,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\n");
}

// The two limits of the data file: more lines than the table has slots,
// and a line too long to be read whole.
void dataLimitSeeds()
{
    std::string many;
    for (int i = 0; i <= 1000; ++i)
        many += "P" + std::to_string(i) + ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\n";
    writeText("datafile", "too-many-lines.dat", many);
    writeText("datafile", "overlong-line.dat",
              std::string(70000, 'x') + ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\nB,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\n");
}

void memoSeeds()
{
    writeText("memo", "mixed-line-ends.txt", "\x83n\x83R\x83x\r\nline two\rline three\nlast");
    static const char withNul[] = "before\r\n\0after\r\n";
    writeText("memo", "nul-ends-text.txt", std::string(withNul, sizeof withNul - 1));
    writeText("memo", "cut-lead-byte.txt", "text\x83");
    writeText("memo", "empty-lines.txt", "\r\n\r\n\n\r");
    writeText("memo", "ibm-extension.txt", "\xed\x40\xfa\x5c\x87\x40\r\n");
}

void settingsSeeds()
{
    writeText("settings", "every-section.ini",
              "[Window]\r\nLeft=10\r\nTop=20\r\nWidth=640\r\nHeight=500\r\n\r\n"
              "[Dir]\r\nCdDir=/media/cdrom/picture/\r\nHddDir=\r\nAddDir=\" spaced \"\r\n\r\n"
              "[Search]\r\nLeft=1\r\nTop=2\r\nButton=0\r\n\r\n"
              "[Image]\r\nLeft=3\r\nTop=4\r\nAutoSize=1\r\n\r\n"
              "[List]\r\nLeft=5\r\nTop=6\r\n\r\n"
              "[Memo]\r\nLeft=7\r\nTop=8\r\nWidth=400\r\nHeight=200\r\nColor=0xFF000008\r\nSize=9\r\n"
              "Name=\x82l\x82r \x82o\x83S\x83V\x83" "b\x83N\r\nBold=0\r\nItalic=1\r\nUnder=0\r\nStrike=0\r\n"
              "BgColor=0x00C0C0C0\r\n");
    writeText("settings", "odd-lines.ini",
              "; comment\n[window]\nleft = -0x10\n  TOP=\t+2147483647  \nwidth=99999999999\n[Unknown]\nkey=value\n"
              "[Dir\nCdDir='quoted'\n=no key\n[Memo]\rName=\"\"\"\"\rColor=-1\r");
    // Longer than a string setting may be (2047 bytes), cut between the
    // two bytes of a character.
    std::string longName = "[Memo]\r\nName=x";
    for (int i = 0; i < 1100; ++i)
        longName += "\x83n";
    writeText("settings", "long-value.ini", longName + "\r\n");
    writeText("settings", "duplicates.ini", "[Memo]\r\nSize=12\r\nSize=14\r\n[Memo]\r\nBold=1\r\n[Dir]\r\nHddDir=\x83\r\n");
}

// ---------------------------------------------------------------------------
// PNG seeds of the thumbnail cache, written by libpng: the program's own
// form (8-bit RGB, unfiltered, stored, text keys first) and the forms other
// programs write (compressed and filtered, with alpha, a palette, grey,
// 16 bits, interlaced).

struct PngLayout {
    int width = 12;
    int height = 9;
    int colour = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    int interlace = PNG_INTERLACE_NONE;
    int filters = PNG_FILTER_NONE;
    int level = 0;
    bool texts = true;
};

void appendPng(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

Bytes encodePng(const PngLayout& l)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "libpng failed\n");
        std::exit(1);
    }
    png_set_write_fn(png, &out, appendPng, flushNothing);
    png_set_IHDR(png, info, png_uint_32(l.width), png_uint_32(l.height), l.depth, l.colour, l.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[16];
    if (l.colour == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < 16; ++i)
            palette[i] = png_color{png_byte(i * 16), png_byte(255 - i * 16), png_byte(i * 5)};
        png_set_PLTE(png, info, palette, 16);
    }
    char k1[] = "Thumb::URI", v1[] = "file:///tmp/%E3%83%8F%E3%82%B3%E3%83%9901.jpg";
    char k2[] = "Thumb::MTime", v2[] = "1700000000";
    char k3[] = "X-Tolvarin::Stamp", v3[] = "1700000000123456789 1234 5678";
    png_text texts[3] = {};
    char* keys[3] = {k1, k2, k3};
    char* values[3] = {v1, v2, v3};
    for (int i = 0; i < 3; ++i) {
        texts[i].compression = PNG_TEXT_COMPRESSION_NONE;
        texts[i].key = keys[i];
        texts[i].text = values[i];
        texts[i].text_length = std::strlen(values[i]);
    }
    if (l.texts)
        png_set_text(png, info, texts, 3);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, l.filters);
    png_set_compression_level(png, l.level);
    png_write_info(png, info);
    const int channels = l.colour == PNG_COLOR_TYPE_RGB ? 3 : l.colour == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 1;
    const int bytesPerSample = l.depth == 16 ? 2 : 1;
    const int passes = png_set_interlace_handling(png);
    Bytes row(std::size_t(l.width * channels * bytesPerSample));
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < l.height; ++y) {
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = l.colour == PNG_COLOR_TYPE_PALETTE ? (y + int(i)) % 16 : sample(int(i), y, pass);
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void pngSeeds()
{
    // Each seed: the program's own form with one thing changed.
    using Change = void (*)(PngLayout&);
    const std::pair<const char*, Change> seeds[] = {
        {"thumbnail.png", [](PngLayout&) {}},
        {"rgb-filtered-compressed.png", [](PngLayout& l) {
             l.filters = PNG_ALL_FILTERS;
             l.level = 9;
         }},
        {"rgb-without-keys.png", [](PngLayout& l) { l.texts = false; }},
        {"rgba.png", [](PngLayout& l) { l.colour = PNG_COLOR_TYPE_RGB_ALPHA; }},
        {"palette.png", [](PngLayout& l) { l.colour = PNG_COLOR_TYPE_PALETTE; }},
        {"grey.png", [](PngLayout& l) { l.colour = PNG_COLOR_TYPE_GRAY; }},
        {"rgb-16-bit.png", [](PngLayout& l) { l.depth = 16; }},
        {"rgb-interlaced.png", [](PngLayout& l) { l.interlace = PNG_INTERLACE_ADAM7; }},
        {"wider-than-a-thumbnail.png", [](PngLayout& l) {
             l.width = 300;
             l.height = 2;
         }},
    };
    for (const auto& [name, change] : seeds) {
        PngLayout l;
        change(l);
        writeSeed("png", name, encodePng(l));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    gFolder = argv[1];
    jpegSeeds();
    bmpSeeds();
    dataSeeds();
    dataLimitSeeds();
    memoSeeds();
    settingsSeeds();
    pngSeeds();
    return 0;
}
