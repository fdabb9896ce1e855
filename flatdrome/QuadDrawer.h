// Draws screen quads over the picture below: no depth test, no depth writes, no culling, alpha
// blended (or added). The vertex buffer lives in the default pool, so it is made when the event
// starts and released when it stops, which a device reset requires. Every device state it
// changes is put back after the draw, so the layers drawn later find the device as they left it.
#pragma once

#include "flatdrome/ScreenSpace.h"

namespace quorvel::flat {

enum class Blend { Normal, Additive };

class QuadDrawer {
public:
    QuadDrawer() = default;
    ~QuadDrawer() { release(); }
    QuadDrawer(const QuadDrawer&) = delete;
    QuadDrawer& operator=(const QuadDrawer&) = delete;

    HRESULT create(IDirect3DDevice8* device);
    void release();
    bool ready() const { return buffer_ != nullptr; }

    // The quad's colour is multiplied by the texture, or used alone when texture is null.
    void draw(const Quad& quad, IDirect3DBaseTexture8* texture, Blend blend);

private:
    IDirect3DDevice8* device_ = nullptr;
    IDirect3DVertexBuffer8* buffer_ = nullptr;
};

}  // namespace quorvel::flat
