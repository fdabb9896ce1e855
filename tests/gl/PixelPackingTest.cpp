// Packing of RGBA bytes into the texel formats the loader writes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/d3dx8/texture/PixelPacking.h"

namespace quorvel::d3dx {
namespace {

DWORD packOne(D3DFORMAT format, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    const std::uint8_t rgba[4] = {r, g, b, a};
    std::uint8_t out[4] = {};
    EXPECT_TRUE(packRow(format, rgba, 1, out));
    DWORD v = 0;
    std::memcpy(&v, out, packedTexelSize(format));
    return v;
}

TEST(PixelPackingTest, ThirtyTwoBitFormatsKeepBytesAndSetX) {
    EXPECT_EQ(packOne(D3DFMT_A8R8G8B8, 0x12, 0x34, 0x56, 0x78), 0x78123456u);
    EXPECT_EQ(packOne(D3DFMT_X8R8G8B8, 0x12, 0x34, 0x56, 0x00), 0xFF123456u);
}

TEST(PixelPackingTest, SixteenBitFormatsRoundToNearest) {
    EXPECT_EQ(packOne(D3DFMT_R5G6B5, 255, 255, 255, 0), 0xFFFFu);
    EXPECT_EQ(packOne(D3DFMT_R5G6B5, 255, 0, 0, 0), 0xF800u);
    EXPECT_EQ(packOne(D3DFMT_R5G6B5, 0, 130, 0, 0), 32u << 5);  // 130/255*63 = 32.1
    EXPECT_EQ(packOne(D3DFMT_R5G6B5, 4, 0, 4, 0), 0x0000u);     // below half a step
    EXPECT_EQ(packOne(D3DFMT_R5G6B5, 5, 0, 5, 0), 0x0801u);     // above half a step
    EXPECT_EQ(packOne(D3DFMT_A4R4G4B4, 0x11, 0x22, 0x33, 0x44), 0x4123u);
    EXPECT_EQ(packOne(D3DFMT_X4R4G4B4, 0xFF, 0, 0, 0), 0xFF00u);
    EXPECT_EQ(packOne(D3DFMT_A1R5G5B5, 0, 0, 255, 127), 0x001Fu);
    EXPECT_EQ(packOne(D3DFMT_A1R5G5B5, 0, 0, 255, 128), 0x801Fu);
    EXPECT_EQ(packOne(D3DFMT_X1R5G5B5, 255, 0, 0, 0), 0xFC00u);
}

TEST(PixelPackingTest, RowsAdvanceByTexelSizeAndUnknownFormatsAreRefused) {
    const std::uint8_t rgba[8] = {255, 0, 0, 255, 0, 0, 255, 255};
    std::uint8_t out[4] = {};
    ASSERT_TRUE(packRow(D3DFMT_R5G6B5, rgba, 2, out));
    EXPECT_EQ(out[0] | (out[1] << 8), 0xF800);
    EXPECT_EQ(out[2] | (out[3] << 8), 0x001F);
    EXPECT_FALSE(packRow(D3DFMT_D16, rgba, 1, out));
    EXPECT_EQ(packedTexelSize(D3DFMT_R8G8B8), 0u);
}

}  // namespace
}  // namespace quorvel::d3dx
