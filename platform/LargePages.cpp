#include "platform/LargePages.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

void PreferLargePagesForHeap() {
    // The heap is grown once to a size that covers a large run, marked for large pages, and kept:
    // what later allocations take from it comes from marked memory. Untouched, it costs nothing.
    constexpr std::size_t kReserve = std::size_t{256} << 20;
    constexpr std::size_t kLarge = std::size_t{2} << 20;
    if (mallopt(M_MMAP_THRESHOLD, 32 << 20) != 1 || mallopt(M_TRIM_THRESHOLD, static_cast<int>(kReserve * 2)) != 1)
        return;
    mallopt(M_MMAP_MAX, 0); // the reserve itself must come from the heap, not from a mapping of its own
    void* block = std::malloc(kReserve);
    mallopt(M_MMAP_MAX, 65536);
    if (!block) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + kLarge - 1) & ~(kLarge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + kReserve) & ~(kLarge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    std::free(block);
}
