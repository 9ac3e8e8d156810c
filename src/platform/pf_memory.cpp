// pf_memory.cpp: SDL's own memory, with its large blocks (texture pixels) mapped in huge pages where the system offers them.
//
// A full-screen texture is a block of 8 MB at 1920x1080 and 33 MB at 3840x2160,
// which SDL clears as soon as it is made. In pages of 4 KB that is one page
// fault for every 4 KB, thousands of them, and on a virtual machine each fault
// is costly: the clearing of one such texture took longer than everything else
// in the first frame. A block of 2 MB and more is therefore mapped on its own,
// on a 2 MB boundary, and marked for huge pages (the system decides; where it
// gives none the block is an ordinary mapping, given back to the system at
// once when freed). Smaller blocks are the C library's, as before.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include <malloc.h>

#include "pf_internal.h"
#include "pf_video_internal.h"

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kLargeBlock = kHugePage;

struct Mapping {
    void* base;
    size_t length;  // of the whole mapping
    size_t size;    // asked for
};

// The large blocks handed out, by the address given to SDL. SDL's audio thread
// allocates too, so the table has a lock.
struct LargeBlocks {
    std::mutex lock;
    std::unordered_map<void*, Mapping> blocks;
};

LargeBlocks& Large() {
    static LargeBlocks* large = new LargeBlocks;  // never destroyed: SDL may free after exit handlers
    return *large;
}

// A fresh zeroed block on a huge-page boundary, or null.
void* MapLarge(size_t size) {
    if (size > SIZE_MAX - 2 * kHugePage) return nullptr;
    const size_t length = size + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    const uintptr_t start = (uintptr_t(base) + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
    void* block = reinterpret_cast<void*>(start);
#ifdef MADV_HUGEPAGE
    // Only whole huge pages: the tail stays in small pages and costs no more than it uses.
    const size_t whole = size & ~(kHugePage - 1);
    if (whole > 0) madvise(block, whole, MADV_HUGEPAGE);
#endif
    LargeBlocks& large = Large();
    std::lock_guard<std::mutex> hold(large.lock);
    large.blocks[block] = Mapping{base, length, size};
    return block;
}

// The mapping of a large block handed out here; false for a block of the C library.
bool TakeLarge(void* block, Mapping& mapping) {
    LargeBlocks& large = Large();
    std::lock_guard<std::mutex> hold(large.lock);
    auto found = large.blocks.find(block);
    if (found == large.blocks.end()) return false;
    mapping = found->second;
    large.blocks.erase(found);
    return true;
}

size_t LargeSize(void* block) {
    LargeBlocks& large = Large();
    std::lock_guard<std::mutex> hold(large.lock);
    auto found = large.blocks.find(block);
    return found == large.blocks.end() ? 0 : found->second.size;
}

void* PfMalloc(size_t size) {
    if (size >= kLargeBlock) {
        if (void* block = MapLarge(size)) return block;
    }
    return std::malloc(size);
}

void* PfCalloc(size_t count, size_t each) {
    if (each != 0 && count > SIZE_MAX / each) return nullptr;
    const size_t size = count * each;
    // A fresh mapping is zero already: nothing to clear, no page touched.
    if (size >= kLargeBlock) {
        if (void* block = MapLarge(size)) return block;
    }
    return std::calloc(count, each);
}

void PfFree(void* block) {
    if (!block) return;
    Mapping mapping;
    if (TakeLarge(block, mapping)) {
        munmap(mapping.base, mapping.length);
        return;
    }
    std::free(block);
}

void* PfRealloc(void* block, size_t size) {
    if (!block) return PfMalloc(size);
    const size_t large = LargeSize(block);
    if (large == 0 && size < kLargeBlock) return std::realloc(block, size);
    // A large block on either side: a new block, the contents copied over.
    const size_t old = large != 0 ? large : malloc_usable_size(block);
    void* moved = PfMalloc(size == 0 ? 1 : size);
    if (!moved) return nullptr;
    std::memcpy(moved, block, old < size ? old : size);
    PfFree(block);
    return moved;
}

}  // namespace

void PfInstallMemoryFunctions() {
    // Only before SDL has handed out any block: one freed here that the C library
    // gave out, or the other way round, would corrupt both.
    if (SDL_GetNumAllocations() != 0) return;
    SDL_SetMemoryFunctions(PfMalloc, PfCalloc, PfRealloc, PfFree);
}

size_t PfLargeBlocksHeld() {
    LargeBlocks& large = Large();
    std::lock_guard<std::mutex> hold(large.lock);
    return large.blocks.size();
}
