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

TextImage rasteriseText(const std::vector<std::string>& lines, const text::FontRequest& request, Align align) {
    TextImage image;
    if (lines.empty()) return image;
    const auto font = text::GlyphRasterizer::create(request);
    if (!font) return image;

    const int cell = font->cellHeight();
    std::vector<int> advances;
    for (const std::string& line : lines) advances.push_back(lineAdvance(*font, line));
    image.textWidth = *std::max_element(advances.begin(), advances.end());
    image.margin = std::max(1, cell / 4);
    image.width = image.textWidth + 2 * image.margin;
    image.height = cell * static_cast<int>(lines.size());
    if (cell <= 0 || image.width <= 0) return TextImage{};
    image.coverage.assign(static_cast<std::size_t>(image.width) * image.height, 0);

    // Each glyph is drawn into a cell of its own and merged by maximum, so a glyph that reaches
    // past its advance is not cut by the black cell of the next one.
    const int glyphWidth = cell * 2 + 2 * image.margin;
    text::PixelBuffer glyph(glyphWidth, cell);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        int pen = image.margin;
        if (align == Align::Centre) pen += (image.textWidth - advances[row]) / 2;
        if (align == Align::Right) pen += image.textWidth - advances[row];
        const int top = cell * static_cast<int>(row);
        for (unsigned char c : lines[row]) {
            if (!printable(c)) continue;
            std::fill(glyph.pixels.begin(), glyph.pixels.end(), 0u);
            font->drawOpaque(c, image.margin, 0, glyph);
            for (int y = 0; y < cell; ++y) {
                for (int x = 0; x < glyphWidth; ++x) {
                    const int tx = pen - image.margin + x;
                    if (tx < 0 || tx >= image.width) continue;
                    const auto value = static_cast<std::uint8_t>(glyph.at(x, y) & 0xFFu);
                    std::uint8_t& target = image.coverage[static_cast<std::size_t>(top + y) * image.width + tx];
                    target = std::max(target, value);
                }
            }
            pen += font->measure(c).width;
        }
    }
    return image;
}

}  // namespace quorvel::flat
