#include "images/jpegsupport.h"

#include <cstring>

#include <jerror.h> // the message codes; after jpeglib.h, which it needs

namespace jpegsupport {
namespace {

void jumpOut(j_common_ptr cinfo, int code)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, code);
}

void onError(j_common_ptr cinfo)
{
    jumpOut(cinfo, 1);
}

// The warnings after which the library goes on with made-up pixels: the
// file ends early (it may still be being copied) or the compressed data is
// corrupt. Every other warning concerns something the library works around
// and the picture decodes in full.
bool meansDamagedData(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:       // file ends early; the rest is filled in
    case JWRN_HIT_MARKER:     // a scan's data stops short
    case JWRN_MUST_RESYNC:    // a restart marker missing or out of order
    case JWRN_HUFF_BAD_CODE:  // undecodable Huffman data
    case JWRN_ARITH_BAD_CODE: // undecodable arithmetic-coded data
        return true;
    default:
        return false;
    }
}

// Level -1 is a warning; higher levels are trace output.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    ++cinfo->err->num_warnings;
    if (manager->damageIsError && meansDamagedData(cinfo->err->msg_code))
        jumpOut(cinfo, 2);
}

// Nothing goes to standard error; callers report failures themselves.
void onOutput(j_common_ptr) {}

} // namespace

jpeg_error_mgr* install(ErrorManager& manager, bool damageIsError)
{
    jpeg_error_mgr* pub = jpeg_std_error(&manager.pub);
    pub->error_exit = onError;
    pub->emit_message = onMessage;
    pub->output_message = onOutput;
    manager.damageIsError = damageIsError;
    std::memset(manager.message, 0, sizeof manager.message);
    return pub;
}

} // namespace jpegsupport
