// Lines of text rasterised into one coverage image through the platform's glyph rasteriser
// (fontconfig finds the family, FreeType draws antialiased glyphs). Only printable ASCII is
// drawn; other bytes are left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/text/GlyphRasterizer.h"

namespace quorvel::flat {

enum class Align { Left, Centre, Right };

struct TextImage {
    int width = 0;    // pixels, margins included
    int height = 0;   // lines x cell height
    int margin = 0;   // empty columns left and right of the widest line, for glyphs that overhang
    int textWidth = 0;  // the widest line's advance
    std::vector<std::uint8_t> coverage;  // width x height, rows top to bottom

    std::uint8_t at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

// An empty image when the font cannot be found or there is nothing to draw. Each line is placed
// within the widest by align; the image is at most maxSide pixels wide and high.
TextImage rasteriseText(const std::vector<std::string>& lines, const text::FontRequest& font, Align align,
                        int maxSide);

}  // namespace quorvel::flat
