// The text rasteriser: which font a face name gives, the measurements the glyph layout relies
// on, and what drawing a character does to the pixels around it.
#include "platform/text/GlyphRasterizer.h"

#include <gtest/gtest.h>

namespace quorvel::text {
namespace {

TEST(GlyphRasterizerTest, ArialResolvesToAMetricCompatibleFace) {
    const auto font = GlyphRasterizer::create({"Arial", -13, false, false});
    ASSERT_TRUE(font);
    EXPECT_EQ(font->familyName(), "Liberation Sans");
    // A 13-pixel Arial has a cell of 15 pixels: ascent 12, descent 3.
    EXPECT_EQ(font->ascent(), 12);
    EXPECT_EQ(font->cellHeight(), 15);
    for (unsigned char c = 32; c < 127; ++c) {
        const TextExtent extent = font->measure(c);
        EXPECT_EQ(extent.height, 15) << c;
        EXPECT_GT(extent.width, 0) << c;
        EXPECT_LT(extent.width, 15) << c;
    }
    EXPECT_GT(font->measure('W').width, font->measure('i').width);
    // Digits share one width in this family, as the statistics rely on for steady columns.
    for (unsigned char c = '1'; c <= '9'; ++c) EXPECT_EQ(font->measure(c).width, font->measure('0').width);
}

TEST(GlyphRasterizerTest, HeightSignAndStyleChooseTheSize) {
    const auto byCell = GlyphRasterizer::create({"Arial", 15, false, false});
    ASSERT_TRUE(byCell);
    EXPECT_EQ(byCell->cellHeight(), 15);
    const auto large = GlyphRasterizer::create({"Arial", -40, false, false});
    ASSERT_TRUE(large);
    EXPECT_GE(large->cellHeight(), 44);
    EXPECT_LE(large->cellHeight(), 46);

    const auto regular = GlyphRasterizer::create({"Arial", -20, false, false});
    const auto bold = GlyphRasterizer::create({"Arial", -20, true, false});
    const auto italic = GlyphRasterizer::create({"Arial", -20, false, true});
    ASSERT_TRUE(regular && bold && italic);
    int regularWidth = 0, boldWidth = 0;
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        regularWidth += regular->measure(c).width;
        boldWidth += bold->measure(c).width;
    }
    EXPECT_GT(boldWidth, regularWidth);
    PixelBuffer upright(40, 40), slanted(40, 40);
    regular->drawOpaque('l', 10, 5, upright);
    italic->drawOpaque('l', 10, 5, slanted);
    EXPECT_NE(upright.pixels, slanted.pixels);

    EXPECT_FALSE(GlyphRasterizer::create({"Arial", 0, false, false}));
}

TEST(GlyphRasterizerTest, DrawingFillsTheCellAndInksInGrey) {
    const auto font = GlyphRasterizer::create({"Arial", -13, false, false});
    ASSERT_TRUE(font);
    PixelBuffer buffer(32, 32);
    std::fill(buffer.pixels.begin(), buffer.pixels.end(), 0x00123456u);
    font->drawOpaque('H', 4, 3, buffer);
    const TextExtent cell = font->measure('H');
    int inked = 0, full = 0;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.width; ++x) {
            const std::uint32_t p = buffer.at(x, y);
            const bool inCell = x >= 4 && x < 4 + cell.width && y >= 3 && y < 3 + cell.height;
            if (!inCell) {
                EXPECT_EQ(p, 0x00123456u) << x << "," << y;
                continue;
            }
            // White on black: every pixel of the cell is a grey level.
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
            EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
            if (p != 0) ++inked;
            if (p == 0xFFFFFFu) ++full;
        }
    }
    // Antialiased: the stems spread over partly covered columns, the cross bar row is solid.
    EXPECT_GT(inked, 20);
    EXPECT_GT(full, 0);
}

TEST(GlyphRasterizerTest, DrawingPartlyOutsideTheBufferIsCut) {
    const auto font = GlyphRasterizer::create({"Arial", -30, false, false});
    ASSERT_TRUE(font);
    PixelBuffer buffer(16, 16);
    font->drawOpaque('W', -10, -12, buffer);
    font->drawOpaque('g', 8, 8, buffer);
    font->drawOpaque('W', 100, 100, buffer);
    int inked = 0;
    for (std::uint32_t p : buffer.pixels) inked += p != 0;
    EXPECT_GT(inked, 0);
}

}  // namespace
}  // namespace quorvel::text
