// Replaces the global operator new/delete in this test program only, in a file of its own so
// that the compiler cannot pair inlined calls across the replacement. Every plain, array and
// nothrow form is replaced, so that no allocation is freed by a different family (the address
// sanitizer checks that).
#include "alloc/CountingAllocator.h"

#include <dlfcn.h>
#include <link.h>
#include <execinfo.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<pthread_t> countedThread{};
std::atomic<long> allocations{0};
thread_local bool attributing = false;

enum class Caller { Ours, Runtime, Elsewhere, Program };

// The code segments of the loaded objects and whose they are, read once when counting starts
// (everything the show uses is loaded by then). dladdr would look through whole symbol tables.
struct CodeRange {
    std::uintptr_t begin, end;
    Caller owner;
};
CodeRange codeRanges[256];
int codeRangeCount = 0;

bool endsWith(const char* text, const char* tail) {
    const std::size_t n = std::strlen(text), m = std::strlen(tail);
    return n >= m && std::strcmp(text + n - m, tail) == 0;
}

// Libraries that allocate on behalf of whoever called them.
bool isRuntime(const char* file) {
    return std::strstr(file, "libstdc++") || std::strstr(file, "libc.so") || std::strstr(file, "libgcc_s") ||
           std::strstr(file, "libm.so");
}

int addCodeRanges(dl_phdr_info* info, std::size_t, void*) {
    const char* name = info->dlpi_name ? info->dlpi_name : "";
    // The program itself comes first, with an empty name.
    const Caller owner = name[0] == '\0'                   ? Caller::Program
                         : endsWith(name, "/meshdrome.so") ? Caller::Ours
                         : isRuntime(name)                 ? Caller::Runtime
                                                           : Caller::Elsewhere;
    for (int i = 0; i < info->dlpi_phnum && codeRangeCount < 256; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
        const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
        codeRanges[codeRangeCount++] = {begin, begin + segment.p_memsz, owner};
    }
    return 0;
}

// The program carries its own copies of the standard library's templates, and other libraries
// may call them (the program exports them): those count as runtime too.
bool isStandardLibrary(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_sname) return false;
    const char* name = info.dli_sname;
    return std::strncmp(name, "_ZNSt", 5) == 0 || std::strncmp(name, "_ZNKSt", 6) == 0 ||
           std::strncmp(name, "_ZSt", 4) == 0 || std::strncmp(name, "_ZN9__gnu_cxx", 13) == 0;
}

Caller classify(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (int i = 0; i < codeRangeCount; ++i) {
        if (at < codeRanges[i].begin || at >= codeRanges[i].end) continue;
        if (codeRanges[i].owner != Caller::Program) return codeRanges[i].owner;
        return isStandardLibrary(address) ? Caller::Runtime : Caller::Ours;
    }
    return Caller::Elsewhere;  // generated code, for one
}

// The first caller outside the runtime libraries decides. caller is operator new's return
// address; only when that lies in the runtime is the stack walked on from it. A walk that never
// leaves the runtime counts as ours.
bool madeByOurCode(const void* caller) {
    const Caller direct = classify(caller);
    if (direct != Caller::Runtime) return direct == Caller::Ours;
    void* frames[16];
    const int depth = backtrace(frames, 16);
    int i = 0;
    while (i < depth && frames[i] != caller) ++i;
    for (++i; i < depth; ++i) {
        const Caller c = classify(frames[i]);
        if (c != Caller::Runtime) return c == Caller::Ours;
    }
    return true;
}

// Every form of operator new comes here with the address it returns to.
void* allocate(std::size_t size, const void* caller) {
    if (counting.load(std::memory_order_relaxed) && !attributing &&
        pthread_equal(pthread_self(), countedThread.load())) {
        attributing = true;
        if (madeByOurCode(caller)) allocations.fetch_add(1, std::memory_order_relaxed);
        attributing = false;
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

namespace quorvel::testing {

void countAllocationsOfThisThread() {
    attributing = true;
    codeRangeCount = 0;
    dl_iterate_phdr(&addCodeRanges, nullptr);
    void* frames[1];
    backtrace(frames, 1);  // loads the unwinder now rather than inside a count
    attributing = false;
    countedThread.store(pthread_self());
    counting.store(true);
}

long countedAllocations() { return allocations.load(std::memory_order_relaxed); }

}  // namespace quorvel::testing

void* operator new(std::size_t size) { return allocate(size, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return allocate(size, __builtin_return_address(0)); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size, __builtin_return_address(0));
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size, __builtin_return_address(0));
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
