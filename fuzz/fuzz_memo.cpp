// Fuzz target of the memo reader: any bytes as a memo file, read as cp932
// or as UTF-8. Reading must end without a fault and give the file's lines,
// each without its line break, whatever bytes that are not text they hold;
// lines and text must convert into each other unchanged; and text that the
// writer accepts must read back as it was written (Linux look-alikes such
// as 〜 as the cp932 characters of the same look).
#include "fuzzsupport.h"
#include "memo/MemoFile.h"
#include "platform/cp932.h"

namespace {

// The number of lines the bytes hold: up to the first NUL, a line ends at
// CR LF, a lone CR or a lone LF, and text after the last break is a line.
// No byte of a double-byte cp932 character or of a UTF-8 sequence is CR or
// LF, so decoding must keep exactly these breaks, whatever else the bytes
// hold. A UTF-8 byte order mark at the start is not text.
int linesIn(const uint8_t* data, size_t size)
{
    int lines = 0;
    size_t i = size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
    size_t start = i;
    for (; i < size && data[i] != 0; ++i) {
        if (data[i] != '\r' && data[i] != '\n')
            continue;
        ++lines;
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < i)
        ++lines;
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzzsupport::writeScratchFile(QStringLiteral("memo.txt"), data, size);
    QStringList lines;
    FUZZ_CHECK(readMemoLines(path, lines));
    FUZZ_CHECK(lines.size() == linesIn(data, size));
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')) && !line.contains(QChar(0)));
    QString text;
    FUZZ_CHECK(readMemoFile(path, text));
    FUZZ_CHECK(text == memoText(lines));
    FUZZ_CHECK(memoLines(text) == lines);

    // Written over the file itself, as the search pad saves an edited memo.
    QString error;
    if (writeMemoFile(path, text, &error)) {
        QString back;
        FUZZ_CHECK(readMemoFile(path, back));
        FUZZ_CHECK(back == text || back == memoText(memoLines(cp932::windowsForms(text))));
    } else {
        FUZZ_CHECK(!error.isEmpty());
    }
    return 0;
}
