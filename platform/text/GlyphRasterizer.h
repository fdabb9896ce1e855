// Text rasteriser standing in for a GDI font selected into a memory device context: fontconfig
// finds the face by name (any face name resolves to the closest installed font, so "Arial" gives
// Liberation Sans), FreeType renders antialiased white-on-black coverage into a 32-bit top-down
// pixel buffer. Sizes follow the logical-font convention: a negative height asks for that
// character (em) height in pixels, a positive one for that cell height. Measurements are those of
// Windows text measurement: a character's width is its hinted advance, its height the cell height
// (ascent plus descent of the font).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::text {

struct FontRequest {
    std::string face;
    int height = 0;  // < 0: character height in pixels; > 0: cell height in pixels
    bool bold = false;
    bool italic = false;
};

// 32-bit pixels 0x00RRGGBB, rows top to bottom without padding, as a top-down DIB section.
struct PixelBuffer {
    PixelBuffer(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

struct TextExtent {
    int width;   // advance in pixels
    int height;  // cell height in pixels
};

class GlyphRasterizer {
public:
    // Null when no font can be found or loaded.
    static std::unique_ptr<GlyphRasterizer> create(const FontRequest& request);
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    // The family name of the font that was found.
    const std::string& familyName() const { return family_; }
    int ascent() const { return ascent_; }
    int cellHeight() const { return ascent_ + descent_; }

    TextExtent measure(unsigned char c) const;

    // Draws c with its cell's top-left corner at (x, y) and an opaque background: the cell
    // (advance x cell height) is filled black, then the glyph's coverage is drawn as grey levels
    // of white. Pixels outside the buffer are left out.
    void drawOpaque(unsigned char c, int x, int y, PixelBuffer& target) const;

private:
    struct Impl;
    explicit GlyphRasterizer(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    std::string family_;
    int ascent_ = 0;
    int descent_ = 0;
};

}  // namespace quorvel::text
