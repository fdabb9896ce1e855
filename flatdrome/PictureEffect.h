// "picture": an image of the engine's image bank drawn as a screen-aligned quad over the layers
// below, placed in the 640 x 480 virtual screen or over the whole viewport.
#pragma once

#include <string>

#include "flatdrome/FlatEffect.h"

class ImageEntry;

namespace quorvel::flat {

class PictureEffect final : public FlatEffect {
public:
    // The quad as it is drawn at the current time on a viewport.
    Quad quadAt(const ScreenMap& screen) const;
    const std::string& imageName() const { return imageName_; }
    bool additive() const { return additive_; }

private:
    const char* className() const override { return "picture"; }
    bool takeParam(const std::string& keyword, BlockReader& values) override;
    HRESULT prepare(EngineServices& services) override;
    void draw(IDirect3DDevice8& device, QuadDrawer& quads) override;

    std::string imageName_;
    ImageEntry* image_ = nullptr;
    bool fullscreen_ = false;
    bool additive_ = false;
    KeyTrack x_{0.0f}, y_{0.0f};
    KeyTrack width_, height_;  // no key: the image's own size
    KeyTrack alpha_{1.0f};
    KeyTrack rotation_{0.0f};
    ColourTrack tint_{0xFFFFFFFFu};
    float imageWidth_ = 0.0f, imageHeight_ = 0.0f;
};

}  // namespace quorvel::flat
