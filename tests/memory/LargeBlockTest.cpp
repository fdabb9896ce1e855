// Large zero-filled blocks: what decoded music relies on when it is kept in memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/memory/LargeBlock.h"

namespace quorvel::platform {
namespace {

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

TEST(LargeBlockTest, StartsZeroedAndKeepsItsFrontWhenShrunk) {
    const std::size_t bytes = 5 * kMegabyte + 123;  // not a whole number of pages or huge pages
    LargeBlock block = LargeBlock::allocate(bytes);
    ASSERT_TRUE(block);
    ASSERT_EQ(block.size(), bytes);
    auto* data = static_cast<std::uint8_t*>(block.data());
    // Frames a file does not deliver stay silent: untouched memory must read as zero.
    for (std::size_t i = 0; i < bytes; i += 4093) ASSERT_EQ(data[i], 0u) << "byte " << i;
    ASSERT_EQ(data[bytes - 1], 0u);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i * 7);

    const std::size_t kept = bytes / 2 + 1;
    block.shrink(kept);
    EXPECT_EQ(block.size(), kept);
    EXPECT_EQ(block.data(), data) << "shrinking must not move the block";
    for (std::size_t i = 0; i < kept; i += 997) ASSERT_EQ(data[i], static_cast<std::uint8_t>(i * 7)) << "byte " << i;
    EXPECT_EQ(data[kept - 1], static_cast<std::uint8_t>((kept - 1) * 7));

    block.shrink(0);
    EXPECT_FALSE(block);
}

TEST(LargeBlockTest, MovesHandOverTheMemoryAndNothingIsEmpty) {
    EXPECT_FALSE(LargeBlock::allocate(0));
    LargeBlock first = LargeBlock::allocate(kMegabyte);
    ASSERT_TRUE(first);
    std::memset(first.data(), 0x5A, kMegabyte);
    void* const data = first.data();

    LargeBlock second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): a moved-from block is empty
    EXPECT_EQ(second.data(), data);
    LargeBlock third = LargeBlock::allocate(kMegabyte);
    third = std::move(second);  // the old block of `third` is given back
    EXPECT_EQ(third.data(), data);
    EXPECT_EQ(static_cast<std::uint8_t*>(third.data())[kMegabyte - 1], 0x5Au);
}

}  // namespace
}  // namespace quorvel::platform
