#pragma once
// Error handling shared by the JPEG encoder and decoder. libjpeg reports a
// fatal error by calling error_exit, whose default ends the process; the
// manager here jumps back to the caller's setjmp point instead, with the
// library's message kept for the caller. Every function that calls setjmp on
// it must hold only objects without destructors in its own frame, because
// the jump skips them.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace jpegsupport {

struct ErrorManager {
    jpeg_error_mgr pub;             // first member: libjpeg sees only this part
    std::jmp_buf jump;              // where error_exit returns to
    bool damageIsError;             // a warning of missing or broken data also jumps
    char message[JMSG_LENGTH_MAX];  // the library's text of the last error
};

// Prepares `manager` and returns the pointer to assign to cinfo.err. With
// `damageIsError`, a warning that the picture data is missing or broken
// (the file ends early, the compressed data is corrupt) fails like an
// error; warnings about things the library works around without losing
// pixels (stray bytes between segments, an unknown JFIF version, a bad
// ICC profile marker, ...) never do.
jpeg_error_mgr* install(ErrorManager& manager, bool damageIsError);

} // namespace jpegsupport
