// The virtual screen of 640 x 480 units that positions and sizes are written in, mapped onto the
// device's viewport so a show looks the same at any window size. Quads are placed by Direct3D's
// pixel-centre rule: a pixel's centre lies at its integer coordinate, so corners are moved up
// and left by half a pixel and a texel lands exactly on a pixel when sizes match.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace quorvel::flat {

constexpr float VirtualWidth = 640.0f;
constexpr float VirtualHeight = 480.0f;

// Vertex of format XYZRHW | DIFFUSE | TEX1: screen position, colour, texture coordinates.
struct QuadVertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD QuadFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A quad as a triangle strip: top left, top right, bottom left, bottom right.
struct Quad {
    QuadVertex corner[4];
};

class ScreenMap {
public:
    // The device's current viewport.
    static ScreenMap of(IDirect3DDevice8* device);
    ScreenMap(float left, float top, float width, float height)
        : left_(left), top_(top), scaleX_(width / VirtualWidth), scaleY_(height / VirtualHeight) {}

    float pixelX(float virtualX) const { return left_ + virtualX * scaleX_; }
    float pixelY(float virtualY) const { return top_ + virtualY * scaleY_; }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }

    // The rectangle at (x, y) of size w x h in virtual units, turned by degrees (clockwise on
    // screen) about its centre, with texture coordinates (u0, v0) to (u1, v1).
    Quad place(float x, float y, float w, float h, float degrees, D3DCOLOR colour, float u0 = 0.0f,
               float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f) const;
    // The same for a rectangle given in whole pixels, unscaled.
    static Quad pixels(float left, float top, float w, float h, D3DCOLOR colour, float u0 = 0.0f,
                       float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f);
    // The whole viewport.
    Quad whole(D3DCOLOR colour) const;

private:
    float left_, top_, scaleX_, scaleY_;
};

}  // namespace quorvel::flat
