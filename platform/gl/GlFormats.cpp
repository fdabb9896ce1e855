#include "platform/gl/GlFormats.h"

#include <SDL2/SDL_pixels.h>

namespace quorvel::gl {

TextureFormatInfo textureFormatInfo(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8: return {4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true};
    case D3DFMT_X8R8G8B8: return {4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false};
    case D3DFMT_R5G6B5: return {2, GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false};
    case D3DFMT_A4R4G4B4: return {2, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, true};
    case D3DFMT_X4R4G4B4: return {2, GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
    case D3DFMT_A1R5G5B5: return {2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
    case D3DFMT_X1R5G5B5: return {2, GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
    default: return {};
    }
}

bool isTextureFormat(D3DFORMAT format) { return textureFormatInfo(format).bytesPerTexel != 0; }

GLenum renderTargetFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return GL_RGBA8;
    case D3DFMT_R5G6B5: return GL_RGB565;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: return GL_RGB5_A1;
    default: return 0;
    }
}

bool isDisplayFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
}

GLenum depthStencilFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_D16: return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D24S8: return GL_DEPTH24_STENCIL8;
    case D3DFMT_D32: return GL_DEPTH_COMPONENT32;
    default: return 0;
    }
}

UINT bytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4: return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_D16:
    case D3DFMT_D15S1: return 2;
    default: return 0;
    }
}

D3DFORMAT formatFromSdl(unsigned sdlPixelFormat) {
    switch (sdlPixelFormat) {
    case SDL_PIXELFORMAT_RGB565: return D3DFMT_R5G6B5;
    case SDL_PIXELFORMAT_RGB555: return D3DFMT_X1R5G5B5;
    case SDL_PIXELFORMAT_ARGB1555: return D3DFMT_X1R5G5B5;
    default: return D3DFMT_X8R8G8B8;
    }
}

}  // namespace quorvel::gl
