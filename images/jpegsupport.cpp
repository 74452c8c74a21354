#include "images/jpegsupport.h"

#include <cstring>

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

// Level -1 is a warning: the data is corrupt or ends early and the library
// would go on with made-up pixels. Higher levels are trace output.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    ++cinfo->err->num_warnings;
    if (manager->warningsAreErrors)
        jumpOut(cinfo, 2);
}

// Nothing goes to standard error; callers report failures themselves.
void onOutput(j_common_ptr) {}

} // namespace

jpeg_error_mgr* install(ErrorManager& manager, bool warningsAreErrors)
{
    jpeg_error_mgr* pub = jpeg_std_error(&manager.pub);
    pub->error_exit = onError;
    pub->emit_message = onMessage;
    pub->output_message = onOutput;
    manager.warningsAreErrors = warningsAreErrors;
    std::memset(manager.message, 0, sizeof manager.message);
    return pub;
}

} // namespace jpegsupport
