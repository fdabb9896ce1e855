// "fade": the whole viewport in one colour with an alpha, for fades to and from a colour and for
// flashes (with additive).
#pragma once

#include "flatdrome/FlatEffect.h"

namespace quorvel::flat {

class FadeEffect final : public FlatEffect {
public:
    // The colour drawn at the current time, alpha included.
    std::uint32_t colourNow() const;
    bool additive() const { return additive_; }

private:
    const char* className() const override { return "fade"; }
    bool takeParam(const std::string& keyword, BlockReader& values) override;
    void draw(IDirect3DDevice8& device, QuadDrawer& quads) override;

    ColourTrack colour_{0xFF000000u};
    KeyTrack alpha_{1.0f};
    bool additive_ = false;
};

}  // namespace quorvel::flat
