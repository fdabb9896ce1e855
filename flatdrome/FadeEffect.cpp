#include "flatdrome/FadeEffect.h"

#include "flatdrome/ColourMath.h"

namespace quorvel::flat {

bool FadeEffect::takeParam(const std::string& keyword, BlockReader& values) {
    if (keyword == "colour" || keyword == "color") return values.key(colour_);
    if (keyword == "alpha") return values.key(alpha_);
    if (keyword == "additive") return additive_ = true;
    return false;
}

std::uint32_t FadeEffect::colourNow() const {
    return withAlpha(colour_.at(seconds(), eases()), alpha_.at(seconds(), eases()));
}

void FadeEffect::draw(IDirect3DDevice8& device, QuadDrawer& quads) {
    quads.draw(ScreenMap::of(&device).whole(colourNow()), nullptr, additive_ ? Blend::Additive : Blend::Normal);
}

}  // namespace quorvel::flat
