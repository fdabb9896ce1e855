#include "platform/gl/FrameReadback.h"

#include "platform/gl/GlDevice.h"

namespace quorvel {

bool ReadBackBuffer(IDirect3DDevice8* device, FramePixels& frame) {
    auto* gl = dynamic_cast<gl::GlDevice*>(device);
    if (!gl) return false;
    const D3DPRESENT_PARAMETERS& p = gl->presentParameters();
    frame.width = p.BackBufferWidth;
    frame.height = p.BackBufferHeight;
    return gl->readBackBuffer(frame.rgba);
}

}  // namespace quorvel
