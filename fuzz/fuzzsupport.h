#pragma once
// What the fuzz targets share: the Qt set-up, a scratch folder for the files
// the loaders read, and a check that stops the run when a loader breaks one
// of its promises (libFuzzer then keeps the input as a crash artefact).
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzzsupport {

// Called from LLVMFuzzerInitialize: creates the application object the
// loaders may rely on and silences Qt's warnings, which would only slow
// the run down.
void initialise(int* argc, char*** argv);

// This process's scratch folder, ending in "/". It lies in RAM (/dev/shm)
// when the system has one, else in the temporary folder; every input reuses
// it, and it is removed when the process ends.
const QString& scratchFolder();

// Writes `size` bytes as the file `name` in the scratch folder, replacing
// it, and returns its path.
QString writeScratchFile(const QString& name, const uint8_t* data, size_t size);
QString writeScratchFile(const QString& name, const QByteArray& bytes);

// Reports a broken promise and aborts.
[[noreturn]] void failed(const char* condition, const char* file, int line);

} // namespace fuzzsupport

#define FUZZ_CHECK(condition)                                                                                      \
    do {                                                                                                           \
        if (!(condition))                                                                                          \
            ::fuzzsupport::failed(#condition, __FILE__, __LINE__);                                                 \
    } while (false)
