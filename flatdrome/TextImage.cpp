#include "flatdrome/TextImage.h"

#include <algorithm>

namespace quorvel::flat {

namespace {

bool printable(unsigned char c) { return c >= 32 && c < 127; }

int lineAdvance(const text::GlyphRasterizer& font, const std::string& line) {
    int width = 0;
    for (unsigned char c : line)
        if (printable(c)) width += font.measure(c).width;
    return width;
}

}  // namespace

TextImage rasteriseText(const std::vector<std::string>& lines, const text::FontRequest& request, Align align,
                        int maxSide) {
    TextImage image;
    if (lines.empty() || maxSide <= 0) return image;
    const auto font = text::GlyphRasterizer::create(request);
    if (!font) return image;

    const int cell = font->cellHeight();
    if (cell <= 0) return image;
    std::vector<int> advances;
    for (const std::string& line : lines) advances.push_back(lineAdvance(*font, line));
    image.textWidth = *std::max_element(advances.begin(), advances.end());
    image.margin = std::max(1, cell / 4);
    // What does not fit the largest texture is cut at the right and the bottom.
    image.width = std::min(image.textWidth + 2 * image.margin, maxSide);
    image.height = std::min(cell * static_cast<int>(lines.size()), maxSide);
    image.coverage.assign(static_cast<std::size_t>(image.width) * image.height, 0);

    // Each glyph is drawn into a cell of its own with room on both sides and merged by maximum,
    // so a glyph that reaches past its advance is not cut by the black cell of the next one.
    for (std::size_t row = 0; row < lines.size(); ++row) {
        const int top = cell * static_cast<int>(row);
        if (top >= image.height) break;
        int pen = image.margin;
        if (align == Align::Centre) pen += (image.textWidth - advances[row]) / 2;
        if (align == Align::Right) pen += image.textWidth - advances[row];
        for (unsigned char c : lines[row]) {
            if (!printable(c)) continue;
            if (pen - image.margin >= image.width) break;
            const int advance = font->measure(c).width;
            text::PixelBuffer glyph(advance + 2 * image.margin, cell);
            font->drawOpaque(c, image.margin, 0, glyph);
            for (int y = 0; y < cell && top + y < image.height; ++y) {
                for (int x = 0; x < glyph.width; ++x) {
                    const int tx = pen - image.margin + x;
                    if (tx < 0 || tx >= image.width) continue;
                    const auto value = static_cast<std::uint8_t>(glyph.at(x, y) & 0xFFu);
                    std::uint8_t& target = image.coverage[static_cast<std::size_t>(top + y) * image.width + tx];
                    target = std::max(target, value);
                }
            }
            pen += advance;
        }
    }
    return image;
}

}  // namespace quorvel::flat
