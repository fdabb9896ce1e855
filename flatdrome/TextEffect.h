// "text": lines of text in a font found by family name, drawn in a colour at a position of the
// 640 x 480 virtual screen. The glyphs are rasterised at the viewport's pixel size when the
// device's objects are made, again only if a reset changed that size, and uploaded to a texture
// for each live interval.
#pragma once

#include <string>
#include <vector>

#include "flatdrome/FlatEffect.h"
#include "flatdrome/TextImage.h"

namespace quorvel::flat {

// A word of its own that starts a new line in the text.
constexpr const char* LineBreakToken = "|";

class TextEffect final : public FlatEffect {
public:
    const std::vector<std::string>& lines() const { return lines_; }
    const std::string& fontFamily() const { return font_.face; }
    float size() const { return size_; }
    Align align() const { return align_; }
    // The quad as it is drawn at the current time; its texture coordinates cover the text image
    // within a texture of texWidth x texHeight.
    Quad quadAt(const ScreenMap& screen, int texWidth, int texHeight) const;
    const TextImage& image() const { return image_; }

private:
    const char* className() const override { return "text"; }
    bool takeParam(const std::string& keyword, BlockReader& values) override;
    HRESULT prepare(EngineServices& services) override;
    HRESULT startDrawing(IDirect3DDevice8& device) override;
    void draw(IDirect3DDevice8& device, QuadDrawer& quads) override;
    void stopDrawing() override;

    // Rasterises the text for the device's viewport unless the image already has its pixel size.
    void rasteriseFor(IDirect3DDevice8* device);

    std::vector<std::string> lines_;
    text::FontRequest font_{"Arial", 0, false, false};
    float size_ = 24.0f;
    Align align_ = Align::Left;
    KeyTrack x_{0.0f}, y_{0.0f};
    KeyTrack alpha_{1.0f};
    ColourTrack colour_{0xFFFFFFFFu};

    TextImage image_;
    int imagePixelSize_ = 0;
    IDirect3DTexture8* texture_ = nullptr;
    int texWidth_ = 0, texHeight_ = 0;
};

}  // namespace quorvel::flat
