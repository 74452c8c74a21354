#pragma once
// Memory for the pixels of the small pictures the result grid keeps by the
// thousand (160 x 120 thumbnails, 56 KB each). It is cut from large blocks
// aligned to the system's huge page size and marked for huge pages, so that
// the memory of a thousand thumbnails is brought in with a few dozen page
// faults rather than one per 4 KB page: on a virtual machine, where each
// fault is costly, that was most of a search after a restart. Space in a
// block is handed out in order and not reused; a block goes back to the
// system once everything cut from it is released. Thread-safe.
#include <cstddef>

namespace pixelpool {

// `bytes` of uninitialised memory, aligned for any pixel format; nullptr
// when the system has none.
unsigned char* take(std::size_t bytes);

// Gives back memory from take(). Has the signature of a QImage cleanup
// function, with the memory as its argument.
void give(void* memory);

// Bytes of the blocks held from the system now.
std::size_t heldBytes();

} // namespace pixelpool
