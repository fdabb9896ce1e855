#include "platform/memory/ProcessHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace quorvel::platform {

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;
constexpr std::size_t HugePage = 2 * MiB;
// Glibc's largest mmap threshold on 64-bit systems; larger blocks are mapped on their own.
constexpr std::size_t HeapServedUpTo = 32 * MiB;
// Freed memory at the top of the heap is returned only beyond this much, so one frame's or one
// compilation's worth of scratch memory stays mapped.
constexpr std::size_t KeptOnFree = 128 * MiB;
constexpr std::size_t GrowthPad = 32 * MiB;
// What start-up is sure to use: the driver and the show take some 25 MB of heap before the first
// frame. Faulting it in on another thread, while the main thread loads the driver, spares the main
// thread the clearing of each huge page at its first touch.
constexpr std::size_t FaultedInAhead = 32 * MiB;

bool readHugePageSetting() {
    std::FILE* file = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (!file) return false;
    char setting[128] = {};
    const bool read = std::fgets(setting, sizeof setting, file) != nullptr;
    std::fclose(file);
    return read && hugePagesOnRequest(setting);
}

// Grows the heap by one block (and the growth pad) and marks the aligned part of the new
// stretch for huge pages; the first part of it is faulted in on a thread of its own. Faulting
// in keeps the memory's contents, so it may run while the heap hands out that memory.
std::size_t setAsideHugePages() {
    auto* before = static_cast<char*>(sbrk(0));
    void* block = std::malloc(HeapServedUpTo - MiB);
    // Keep the compiler from pairing away the allocation: the heap's growth is the point.
    asm volatile("" : : "r"(block) : "memory");
    std::free(block);
    auto* after = static_cast<char*>(sbrk(0));
    if (before == reinterpret_cast<char*>(-1) || after <= before) return 0;  // another allocator
    const auto start = (reinterpret_cast<std::uintptr_t>(before) + HugePage - 1) & ~(HugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(after) & ~(HugePage - 1);
    if (end <= start) return 0;
    if (madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) != 0) return 0;
    const std::size_t ahead = std::min<std::size_t>(FaultedInAhead, end - start);
    // One huge page per call: a call holds the address space's lock, and the main thread's
    // library loading must get it in between to map the GL driver.
    std::thread([start, ahead] {
        for (std::size_t at = 0; at < ahead; at += HugePage)
            madvise(reinterpret_cast<void*>(start + at), HugePage, MADV_POPULATE_WRITE);
    }).detach();
    return end - start;
}

}  // namespace

bool hugePagesOnRequest(const char* enabledSetting) {
    if (!enabledSetting) return false;
    return std::strstr(enabledSetting, "[madvise]") != nullptr || std::strstr(enabledSetting, "[always]") != nullptr;
}

HeapSetup prepareProcessHeap() {
    HeapSetup setup;
    setup.tuned = mallopt(M_MMAP_THRESHOLD, static_cast<int>(HeapServedUpTo)) == 1 &&
                  mallopt(M_TRIM_THRESHOLD, static_cast<int>(KeptOnFree)) == 1 &&
                  mallopt(M_TOP_PAD, static_cast<int>(GrowthPad)) == 1;
    if (setup.tuned && readHugePageSetting()) setup.hugePageBytes = setAsideHugePages();
    return setup;
}

}  // namespace quorvel::platform
