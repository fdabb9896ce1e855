// How Direct3D surface formats map onto OpenGL and onto SDL's display pixel formats.
#pragma once

#include <epoxy/gl.h>

#include "platform/d3d8/d3d8.h"

namespace quorvel::gl {

// Upload description of a texture format: the texel layout in memory is Direct3D's
// (little-endian ARGB words), which GL reads with the BGRA orders and reversed packings.
struct TextureFormatInfo {
    UINT bytesPerTexel = 0;
    GLenum internalFormat = 0;
    GLenum uploadFormat = 0;
    GLenum uploadType = 0;
    bool hasAlpha = false;  // formats with X instead of A read alpha as 1
};

// Null-equivalent (bytesPerTexel 0) for formats we cannot texture from.
TextureFormatInfo textureFormatInfo(D3DFORMAT format);
bool isTextureFormat(D3DFORMAT format);

// Render target storage for a back buffer format, or 0 when unsupported.
GLenum renderTargetFormat(D3DFORMAT format);
bool isDisplayFormat(D3DFORMAT format);

// Depth-stencil storage for a depth format, or 0 when unsupported.
GLenum depthStencilFormat(D3DFORMAT format);

// Bits of colour per pixel for D3DSURFACE_DESC sizes.
UINT bytesPerPixel(D3DFORMAT format);

// SDL_PIXELFORMAT_* value to the Direct3D display format (unknown formats become X8R8G8B8,
// which is what the desktop is presented in).
D3DFORMAT formatFromSdl(unsigned sdlPixelFormat);

}  // namespace quorvel::gl
