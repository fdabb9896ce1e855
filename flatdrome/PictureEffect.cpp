#include "flatdrome/PictureEffect.h"

#include <algorithm>

#include "engine/ImageBank.h"
#include "flatdrome/ColourMath.h"
#include "script/Reports.h"

namespace quorvel::flat {

bool PictureEffect::takeParam(const std::string& keyword, BlockReader& values) {
    if (keyword == "image") return values.word(imageName_);
    if (keyword == "fullscreen") return fullscreen_ = true;
    if (keyword == "additive") return additive_ = true;
    if (keyword == "x") return values.key(x_);
    if (keyword == "y") return values.key(y_);
    if (keyword == "width") return values.key(width_);
    if (keyword == "height") return values.key(height_);
    if (keyword == "alpha") return values.key(alpha_);
    if (keyword == "rotation") return values.key(rotation_);
    if (keyword == "tint") return values.key(tint_);
    return false;
}

HRESULT PictureEffect::prepare(EngineServices& services) {
    image_ = services.images ? services.images->FindImage(imageName_.c_str()) : nullptr;
    if (image_ == nullptr) {
        reportError("%s not loaded. You need to load the image before use.", imageName_.c_str());
        return E_FAIL;
    }
    // The loader may have scaled the texture to a power of two; the picture keeps the file's size.
    imageWidth_ = static_cast<float>(image_->info.Width);
    imageHeight_ = static_cast<float>(image_->info.Height);
    return 0;
}

Quad PictureEffect::quadAt(const ScreenMap& screen) const {
    const float t = seconds();
    const bool ease = eases();
    const D3DCOLOR colour = withAlpha(tint_.at(t, ease), alpha_.at(t, ease));
    if (fullscreen_) return screen.whole(colour);
    const float w = width_.empty() ? imageWidth_ : width_.at(t, ease);
    const float h = height_.empty() ? imageHeight_ : height_.at(t, ease);
    return screen.place(x_.at(t, ease), y_.at(t, ease), w, h, rotation_.at(t, ease), colour);
}

void PictureEffect::draw(IDirect3DDevice8& device, QuadDrawer& quads) {
    if (image_ == nullptr || image_->texture == nullptr) return;
    quads.draw(quadAt(ScreenMap::of(&device)), image_->texture, additive_ ? Blend::Additive : Blend::Normal);
}

}  // namespace quorvel::flat
