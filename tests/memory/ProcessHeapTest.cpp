#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/memory/ProcessHeap.h"

// AddressSanitizer brings its own allocator, which neither takes the settings nor uses the break.
#if defined(__SANITIZE_ADDRESS__)
#define HEAP_IS_GLIBCS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_IS_GLIBCS 0
#endif
#endif
#ifndef HEAP_IS_GLIBCS
#define HEAP_IS_GLIBCS 1
#endif

namespace {

using quorvel::platform::hugePagesOnRequest;
using quorvel::platform::prepareProcessHeap;

TEST(ProcessHeap, ReadsTheKernelsHugePageSetting) {
    EXPECT_TRUE(hugePagesOnRequest("always [madvise] never\n"));
    EXPECT_TRUE(hugePagesOnRequest("[always] madvise never\n"));
    EXPECT_FALSE(hugePagesOnRequest("always madvise [never]\n"));
    EXPECT_FALSE(hugePagesOnRequest(""));
    EXPECT_FALSE(hugePagesOnRequest(nullptr));
}

#if HEAP_IS_GLIBCS
// Blocks of megabytes allocated and freed in turn, as the GL driver does on every change of
// program, come from memory the heap keeps: the program break no longer moves, so no page is
// handed back to the kernel and faulted in again.
TEST(ProcessHeap, FreedBlocksStayWithTheHeap) {
    const auto setup = prepareProcessHeap();
    ASSERT_TRUE(setup.tuned);
    std::vector<void*> warm;
    for (std::size_t size : {1u << 20, 6u << 20, 12u << 20}) warm.push_back(std::malloc(size));
    for (void* p : warm) std::free(p);

    void* const breakBefore = sbrk(0);
    for (int round = 0; round < 50; ++round) {
        const std::size_t size = (std::size_t{1} << 20) * static_cast<std::size_t>(1 + round % 12);
        void* block = std::malloc(size);
        ASSERT_NE(block, nullptr);
        static_cast<volatile char*>(block)[size - 1] = 1;
        std::free(block);
    }
    EXPECT_EQ(sbrk(0), breakBefore);
}
#endif

}  // namespace
