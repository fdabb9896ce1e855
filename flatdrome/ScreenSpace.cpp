#include "flatdrome/ScreenSpace.h"

#include <cmath>

namespace quorvel::flat {

namespace {

constexpr float PixelCentre = 0.5f;
constexpr float Pi = 3.14159265358979f;

QuadVertex vertex(float x, float y, D3DCOLOR colour, float u, float v) {
    return QuadVertex{x - PixelCentre, y - PixelCentre, 0.0f, 1.0f, colour, u, v};
}

}  // namespace

ScreenMap ScreenMap::of(IDirect3DDevice8* device) {
    D3DVIEWPORT8 viewport{};
    if (device == nullptr || device->GetViewport(&viewport) < 0)
        return ScreenMap(0.0f, 0.0f, VirtualWidth, VirtualHeight);
    return ScreenMap(static_cast<float>(viewport.X), static_cast<float>(viewport.Y),
                     static_cast<float>(viewport.Width), static_cast<float>(viewport.Height));
}

Quad ScreenMap::place(float x, float y, float w, float h, float degrees, D3DCOLOR colour, float u0, float v0,
                      float u1, float v1) const {
    // Turned in pixels, not virtual units, so a viewport of another shape does not shear it.
    const float cx = pixelX(x + w * 0.5f), cy = pixelY(y + h * 0.5f);
    const float hw = w * 0.5f * scaleX_, hh = h * 0.5f * scaleY_;
    const float radians = degrees * Pi / 180.0f;
    const float c = degrees == 0.0f ? 1.0f : std::cos(radians);
    const float s = degrees == 0.0f ? 0.0f : std::sin(radians);
    auto at = [&](float dx, float dy, float u, float v) {
        return vertex(cx + dx * c - dy * s, cy + dx * s + dy * c, colour, u, v);
    };
    return Quad{{at(-hw, -hh, u0, v0), at(hw, -hh, u1, v0), at(-hw, hh, u0, v1), at(hw, hh, u1, v1)}};
}

Quad ScreenMap::pixels(float left, float top, float w, float h, D3DCOLOR colour, float u0, float v0, float u1,
                       float v1) {
    return Quad{{vertex(left, top, colour, u0, v0), vertex(left + w, top, colour, u1, v0),
                 vertex(left, top + h, colour, u0, v1), vertex(left + w, top + h, colour, u1, v1)}};
}

Quad ScreenMap::whole(D3DCOLOR colour) const {
    return pixels(left_, top_, VirtualWidth * scaleX_, VirtualHeight * scaleY_, colour);
}

}  // namespace quorvel::flat
