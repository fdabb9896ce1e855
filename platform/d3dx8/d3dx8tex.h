// The D3DX 8 texture loader: an image file becomes a texture of the requested size, format, mip
// chain and pool, and the source file is described in D3DXIMAGE_INFO.
#pragma once

#include "platform/d3d8/d3d8.h"

// Asks the loader to take a value from the file (sizes) or to choose it (levels, filters).
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

// The source image as found in the file.
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// Width/height D3DX_DEFAULT take the file's size rounded up to a power of two; explicit sizes are
// honoured. mipLevels 0 or D3DX_DEFAULT build the full chain. srcInfo and palette may be null.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                     PALETTEENTRY* palette, IDirect3DTexture8** texture);
