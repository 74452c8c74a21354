// Fuzz target of the settings file: any bytes as the ini file. Loading must
// end without a fault; saving the loaded settings into a copy of the file,
// or into a new file, and loading that again must give the same settings,
// and a second save must leave the file byte for byte as the first one
// wrote it.
#include <QFile>
#include <QStringList>

#include "fuzzsupport.h"
#include "settings/IniFile.h"

namespace {

bool sameSettings(const Settings& a, const Settings& b)
{
    return a.windowLeft == b.windowLeft && a.windowTop == b.windowTop && a.windowWidth == b.windowWidth &&
           a.windowHeight == b.windowHeight && a.cdDir == b.cdDir && a.hddDir == b.hddDir && a.addDir == b.addDir &&
           a.searchLeft == b.searchLeft && a.searchTop == b.searchTop && a.showConditions == b.showConditions &&
           a.imageLeft == b.imageLeft && a.imageTop == b.imageTop && a.imageAutoSize == b.imageAutoSize &&
           a.listLeft == b.listLeft && a.listTop == b.listTop && a.memoLeft == b.memoLeft && a.memoTop == b.memoTop &&
           a.memoWidth == b.memoWidth && a.memoHeight == b.memoHeight && a.memoColor == b.memoColor &&
           a.memoSize == b.memoSize && a.memoName == b.memoName && a.memoBold == b.memoBold &&
           a.memoItalic == b.memoItalic && a.memoUnder == b.memoUnder && a.memoStrike == b.memoStrike &&
           a.memoBgColor == b.memoBgColor;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzsupport::initialise(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString& exeFolder = fuzzsupport::scratchFolder();
    const QString input = fuzzsupport::writeScratchFile(QStringLiteral("input.ini"), data, size);
    Settings first;
    loadSettings(input, exeFolder, first);
    FUZZ_CHECK(!first.cdDir.isEmpty() && !first.hddDir.isEmpty() && !first.addDir.isEmpty());

    // A system colour the user did not change stays as the file had it.
    for (qint32 colour : {first.memoColor, first.memoBgColor})
        FUZZ_CHECK(settingFromColour(colourFromSetting(colour), colour) == colour);

    const QString saved = fuzzsupport::writeScratchFile(QStringLiteral("saved.ini"), data, size);
    QStringList skipped;
    FUZZ_CHECK(saveSettings(saved, first, &skipped));
    Settings second;
    loadSettings(saved, exeFolder, second);
    FUZZ_CHECK(sameSettings(first, second));

    // Saved into a file of its own, the settings load back the same, but
    // for the values that file cannot hold (those keep their defaults).
    const QString fresh = fuzzsupport::scratchFolder() + QStringLiteral("fresh.ini");
    QFile::remove(fresh);
    QStringList skippedFresh;
    FUZZ_CHECK(saveSettings(fresh, first, &skippedFresh));
    FUZZ_CHECK(skippedFresh == skipped);
    if (skippedFresh.isEmpty()) {
        Settings third;
        loadSettings(fresh, exeFolder, third);
        FUZZ_CHECK(sameSettings(first, third));
    }

    const QByteArray once = fileBytes(saved);
    QStringList skippedAgain;
    FUZZ_CHECK(saveSettings(saved, second, &skippedAgain));
    FUZZ_CHECK(skippedAgain == skipped);
    FUZZ_CHECK(fileBytes(saved) == once);
    return 0;
}
