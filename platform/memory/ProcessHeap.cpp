#include "platform/memory/ProcessHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool readHugePageSetting() {
    std::FILE* file = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (!file) return false;
    char setting[128] = {};
    const bool read = std::fgets(setting, sizeof setting, file) != nullptr;
    std::fclose(file);
    return read && hugePagesOnRequest(setting);
}

// Grows the heap by one block (and the growth pad) and marks the aligned part of the new
// stretch for huge pages, so that it faults in 2 MB at a time as the driver first uses it.
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
