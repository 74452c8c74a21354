#include "images/pixelpool.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#include <sys/mman.h>

namespace pixelpool {
namespace {

// Under AddressSanitizer every piece comes from the ordinary heap, where the
// sanitizer sees its bounds: a decoder writing past one thumbnail must not
// go unnoticed into the next.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t BlockSize = 4 * HugePage;
// Larger requests come from the ordinary heap: a block holds many pictures.
constexpr std::size_t LargestPooled = BlockSize / 8;
constexpr std::size_t Alignment = 64;

struct Block {
    unsigned char* base = nullptr; // BlockSize bytes, aligned to HugePage
    std::size_t mapped = 0;        // what mmap gave, from `start`
    void* start = nullptr;
    std::size_t used = 0;
    std::size_t live = 0;          // pieces handed out and not given back
};

// Every piece starts with this header, so give() finds its block.
struct alignas(Alignment) Header {
    Block* block; // nullptr: from the ordinary heap
};

std::mutex lock;
Block* current = nullptr;
std::size_t held = 0;

void release(Block* b)
{
    ::munmap(b->start, b->mapped);
    held -= BlockSize;
    delete b;
}

Block* newBlock()
{
    // Mapped with room to align the block to a huge page.
    const std::size_t mapped = BlockSize + HugePage;
    void* start = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return nullptr;
    auto* b = new (std::nothrow) Block;
    if (!b) {
        ::munmap(start, mapped);
        return nullptr;
    }
    b->start = start;
    b->mapped = mapped;
    b->base = reinterpret_cast<unsigned char*>((reinterpret_cast<std::uintptr_t>(start) + HugePage - 1) &
                                               ~std::uintptr_t(HugePage - 1));
    // A hint: without huge pages the memory works all the same.
    ::madvise(b->base, BlockSize, MADV_HUGEPAGE);
    held += BlockSize;
    return b;
}

} // namespace

unsigned char* take(std::size_t bytes)
{
    const std::size_t need = (sizeof(Header) + bytes + Alignment - 1) & ~(Alignment - 1);
    if (bytes > LargestPooled || Sanitized) {
        void* p = std::aligned_alloc(Alignment, need);
        if (!p)
            return nullptr;
        static_cast<Header*>(p)->block = nullptr;
        return static_cast<unsigned char*>(p) + sizeof(Header);
    }
    std::lock_guard<std::mutex> g(lock);
    if (!current || current->used + need > BlockSize) {
        Block* fresh = newBlock();
        if (!fresh)
            return nullptr;
        if (current && current->live == 0)
            release(current);
        current = fresh;
    }
    unsigned char* p = current->base + current->used;
    current->used += need;
    ++current->live;
    reinterpret_cast<Header*>(p)->block = current;
    return p + sizeof(Header);
}

void give(void* memory)
{
    if (!memory)
        return;
    auto* header = reinterpret_cast<Header*>(static_cast<unsigned char*>(memory) - sizeof(Header));
    Block* b = header->block;
    if (!b) {
        std::free(header);
        return;
    }
    std::lock_guard<std::mutex> g(lock);
    if (--b->live == 0 && b != current)
        release(b);
}

std::size_t heldBytes()
{
    std::lock_guard<std::mutex> g(lock);
    return held;
}

} // namespace pixelpool
