#include "flatdrome/TextEffect.h"

#include <algorithm>
#include <cmath>

#include "flatdrome/ColourMath.h"

namespace quorvel::flat {

namespace {

int powerOfTwoAtLeast(int value) {
    int result = 1;
    while (result < value) result *= 2;
    return result;
}

IDirect3DTexture8* createTexture(IDirect3DDevice8& device, int width, int height, D3DFORMAT& format) {
    for (D3DFORMAT candidate : {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4}) {
        IDirect3DTexture8* texture = nullptr;
        if (device.CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0, candidate,
                                 D3DPOOL_MANAGED, &texture) >= 0 && texture != nullptr) {
            format = candidate;
            return texture;
        }
    }
    return nullptr;
}

// White texels whose alpha is the glyph coverage; texels outside the image are transparent.
void fillTexture(IDirect3DTexture8& texture, D3DFORMAT format, const TextImage& image, int width, int height) {
    D3DLOCKED_RECT locked{};
    if (texture.LockRect(0, &locked, nullptr, 0) < 0 || locked.pBits == nullptr) return;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<BYTE*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch;
        for (int x = 0; x < width; ++x) {
            const unsigned coverage = (x < image.width && y < image.height) ? image.at(x, y) : 0u;
            if (format == D3DFMT_A8R8G8B8) {
                reinterpret_cast<DWORD*>(row)[x] = (coverage << 24) | 0x00FFFFFFu;
            } else {
                reinterpret_cast<WORD*>(row)[x] = static_cast<WORD>(((coverage >> 4) << 12) | 0x0FFFu);
            }
        }
    }
    texture.UnlockRect(0);
}

}  // namespace

bool TextEffect::takeParam(const std::string& keyword, BlockReader& values) {
    if (keyword == "text") {
        // Every word to the end of the block; a later block's text replaces an earlier one.
        lines_.assign(1, std::string());
        std::string word;
        while (values.word(word)) {
            if (word == LineBreakToken) {
                lines_.emplace_back();
                continue;
            }
            if (!lines_.back().empty()) lines_.back() += ' ';
            lines_.back() += word;
        }
        return true;
    }
    if (keyword == "font") return values.word(font_.face);
    if (keyword == "size") return values.number(size_) && size_ > 0.0f && size_ <= 480.0f;
    if (keyword == "bold") return font_.bold = true;
    if (keyword == "italic") return font_.italic = true;
    if (keyword == "align") {
        std::string how;
        if (!values.word(how)) return false;
        if (how == "left") align_ = Align::Left;
        else if (how == "centre" || how == "center") align_ = Align::Centre;
        else if (how == "right") align_ = Align::Right;
        else return false;
        return true;
    }
    if (keyword == "x") return values.key(x_);
    if (keyword == "y") return values.key(y_);
    if (keyword == "alpha") return values.key(alpha_);
    if (keyword == "colour" || keyword == "color") return values.key(colour_);
    return false;
}

void TextEffect::rasteriseFor(IDirect3DDevice8* device) {
    const ScreenMap screen = ScreenMap::of(device);
    const int pixelSize = std::max(1, static_cast<int>(std::lround(size_ * screen.scaleY())));
    if (pixelSize == imagePixelSize_) return;
    D3DCAPS8 caps{};
    int maxSide = 2048;  // every Direct3D 8 device of note takes textures this large
    if (device != nullptr && device->GetDeviceCaps(&caps) >= 0 && caps.MaxTextureWidth > 0 && caps.MaxTextureHeight > 0)
        maxSide = static_cast<int>(std::min(caps.MaxTextureWidth, caps.MaxTextureHeight));
    font_.height = -pixelSize;  // the character height in pixels
    image_ = rasteriseText(lines_, font_, align_, maxSide);
    imagePixelSize_ = pixelSize;
}

HRESULT TextEffect::prepare(EngineServices& services) {
    // The font lookup and the drawing of the glyphs happen here, not when the event starts.
    rasteriseFor(services.device);
    return 0;
}

HRESULT TextEffect::startDrawing(IDirect3DDevice8& device) {
    stopDrawing();
    rasteriseFor(&device);
    if (image_.width <= 0 || image_.height <= 0) return 0;
    // The image fits the largest texture, so its power-of-two rounding does too.
    texWidth_ = powerOfTwoAtLeast(image_.width);
    texHeight_ = powerOfTwoAtLeast(image_.height);
    D3DFORMAT format = D3DFMT_UNKNOWN;
    texture_ = createTexture(device, texWidth_, texHeight_, format);
    if (texture_ == nullptr) return E_FAIL;
    fillTexture(*texture_, format, image_, texWidth_, texHeight_);
    return 0;
}

Quad TextEffect::quadAt(const ScreenMap& screen, int texWidth, int texHeight) const {
    const float t = seconds();
    const bool ease = eases();
    const D3DCOLOR colour = withAlpha(colour_.at(t, ease), alpha_.at(t, ease));
    const float w = static_cast<float>(std::min(image_.width, texWidth));
    const float h = static_cast<float>(std::min(image_.height, texHeight));
    float left = screen.pixelX(x_.at(t, ease)) - static_cast<float>(image_.margin);
    if (align_ == Align::Centre) left -= static_cast<float>(image_.textWidth) * 0.5f;
    if (align_ == Align::Right) left -= static_cast<float>(image_.textWidth);
    // Whole pixels, so every texel lands on one pixel and the glyphs stay sharp.
    return ScreenMap::pixels(std::round(left), std::round(screen.pixelY(y_.at(t, ease))), w, h, colour, 0.0f, 0.0f,
                             w / static_cast<float>(texWidth), h / static_cast<float>(texHeight));
}

void TextEffect::draw(IDirect3DDevice8& device, QuadDrawer& quads) {
    if (texture_ == nullptr) return;
    quads.draw(quadAt(ScreenMap::of(&device), texWidth_, texHeight_), texture_, Blend::Normal);
}

void TextEffect::stopDrawing() {
    if (texture_) texture_->Release();
    texture_ = nullptr;
}

}  // namespace quorvel::flat
