// How the process heap serves a renderer that draws in software: the GL driver allocates and
// frees blocks of megabytes as it compiles programs and switches state, and on a heap left at
// its defaults each such block is handed back to the kernel on free and faulted in again, page
// by page, on the next use.
#pragma once

#include <cstddef>

namespace quorvel::platform {

struct HeapSetup {
    bool tuned = false;             // the allocator took the settings
    std::size_t hugePageBytes = 0;  // heap set aside for transparent huge pages (0: none)
};

// Keeps freed heap memory for reuse instead of returning it to the kernel, serves blocks up to
// 32 MB from the heap, and, where the kernel gives transparent huge pages on request, grows the
// heap once by 64 MB backed by them, so the driver's first compilations take far fewer page
// faults. Call it once, first thing in main.
HeapSetup prepareProcessHeap();

// Whether the kernel hands out transparent huge pages to memory that asks for them, judged from
// the contents of /sys/kernel/mm/transparent_hugepage/enabled ("always [madvise] never").
bool hugePagesOnRequest(const char* enabledSetting);

}  // namespace quorvel::platform
