// The D3DX 8 texture loader: an image file becomes a texture of the asked size, format, mip
// chain and pool. Files are decoded with stb_image (JPEG, PNG, BMP, TGA, GIF, PSD, HDR, PIC,
// PNM) and scaled with stb_image_resize.
//
// Sizes: D3DX_DEFAULT (or 0) takes the file's size. Whatever the size, it is rounded up to a
// power of two and limited to the device's maximum, since our devices report power-of-two
// textures only (D3DPTEXTURECAPS_POW2) - which also keeps two files loaded with the same
// explicit size at the same texture size.
#pragma once

#include "platform/d3d8/d3d8.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

constexpr DWORD D3DX_FILTER_NONE = 0x00000001u;
constexpr DWORD D3DX_FILTER_POINT = 0x00000002u;
constexpr DWORD D3DX_FILTER_LINEAR = 0x00000003u;
constexpr DWORD D3DX_FILTER_TRIANGLE = 0x00000004u;
constexpr DWORD D3DX_FILTER_BOX = 0x00000005u;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000u;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000u;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000u;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000u;

constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

// Description of the source file: its size, one depth slice, one mip level, and its pixel
// format (R8G8B8 for colour files without alpha, A8R8G8B8 with alpha, L8 / A8L8 for grey).
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

// width, height: D3DX_DEFAULT or 0 for the file's size. mipLevels: 0 or D3DX_DEFAULT for a full
// chain. format: D3DFMT_UNKNOWN for the file's own (A8R8G8B8 with alpha, X8R8G8B8 without).
// filter scales the image to the texture size (NONE copies it into the top-left corner);
// mipFilter makes each smaller level from the one above (POINT or a 2x2 box for the others).
// colorKey: texels of exactly that ARGB colour become transparent black (0 = none).
// Fails with D3DERR_NOTFOUND for a missing file, D3DXERR_INVALIDDATA for one that does not
// decode, or the device's error; *texture is null on failure.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                     PALETTEENTRY* palette, IDirect3DTexture8** texture);

// The same with every choice left to its default: file size, full mip chain, file format,
// managed pool, default filters.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* srcFile, IDirect3DTexture8** texture);

// D3DXCreateTextureFromFileExA for a file already read into memory: the same texture from the
// same bytes. Fails with D3DERR_INVALIDCALL for null data, D3DXERR_INVALIDDATA for bytes that do
// not decode (none at all included).
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture8** texture);
