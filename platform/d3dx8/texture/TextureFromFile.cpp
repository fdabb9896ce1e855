#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <stb_image.h>

#include "platform/d3d8/MipChain.h"
#include "platform/d3dx8/d3dx8tex.h"
#include "platform/d3dx8/texture/ImageDecode.h"
#include "platform/d3dx8/texture/PixelPacking.h"
#include "platform/d3dx8/texture/RgbaImage.h"
#include "platform/win/FileNames.h"

namespace {

using quorvel::d3dx::kMaxSourcePixels;
using quorvel::d3dx::RgbaImage;

UINT roundUpToPowerOfTwo(UINT v) {
    UINT p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

D3DFORMAT sourceFormat(int channels) {
    switch (channels) {
    case 1: return D3DFMT_L8;
    case 2: return D3DFMT_A8L8;
    case 3: return D3DFMT_R8G8B8;
    default: return D3DFMT_A8R8G8B8;
    }
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void applyColourKey(RgbaImage& image, D3DCOLOR key) {
    const std::uint8_t ka = key >> 24, kr = (key >> 16) & 0xFF, kg = (key >> 8) & 0xFF, kb = key & 0xFF;
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        std::uint8_t* p = image.pixels.data() + i;
        if (p[0] == kr && p[1] == kg && p[2] == kb && p[3] == ka) p[0] = p[1] = p[2] = p[3] = 0;
    }
}

HRESULT writeLevel(IDirect3DTexture8* texture, UINT level, D3DFORMAT format, const RgbaImage& image) {
    D3DLOCKED_RECT locked;
    HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(hr)) return hr;
    auto* rows = static_cast<std::uint8_t*>(locked.pBits);
    for (UINT y = 0; y < image.height; ++y)
        quorvel::d3dx::packRow(format, image.at(0, y), image.width, rows + static_cast<size_t>(y) * locked.Pitch);
    return texture->UnlockRect(level);
}

}  // namespace

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                     PALETTEENTRY* palette, IDirect3DTexture8** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !srcFile) return D3DERR_INVALIDCALL;

    std::vector<unsigned char> bytes;
    if (!readFile(quorvel::platform::resolveFileName(srcFile), bytes)) return D3DERR_NOTFOUND;
    if (bytes.empty() || bytes.size() > 0x7FFFFFFFu) return D3DXERR_INVALIDDATA;
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), width, height,
                                               mipLevels, usage, format, pool, filter, mipFilter, colorKey, srcInfo,
                                               palette, texture);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* srcInfo, PALETTEENTRY*, IDirect3DTexture8** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !srcData) return D3DERR_INVALIDCALL;
    if (srcDataSize == 0 || srcDataSize > 0x7FFFFFFFu) return D3DXERR_INVALIDDATA;

    const auto* bytes = static_cast<const unsigned char*>(srcData);
    const int length = static_cast<int>(srcDataSize);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels) || w <= 0 || h <= 0 ||
        static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > kMaxSourcePixels)
        return D3DXERR_INVALIDDATA;
    RgbaImage source;
    if (!quorvel::d3dx::decodeRgba(bytes, length, source, channels)) return D3DXERR_INVALIDDATA;

    if (srcInfo) *srcInfo = D3DXIMAGE_INFO{source.width, source.height, 1, 1, sourceFormat(channels)};

    // Texture size: the file's, or the asked one; rounded up to a power of two and kept within
    // the device's limits.
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) return D3DERR_INVALIDCALL;
    UINT texWidth = (width == 0 || width == D3DX_DEFAULT) ? source.width : width;
    UINT texHeight = (height == 0 || height == D3DX_DEFAULT) ? source.height : height;
    texWidth = roundUpToPowerOfTwo(texWidth);
    texHeight = roundUpToPowerOfTwo(texHeight);
    if (caps.MaxTextureWidth) texWidth = std::min<UINT>(texWidth, caps.MaxTextureWidth);
    if (caps.MaxTextureHeight) texHeight = std::min<UINT>(texHeight, caps.MaxTextureHeight);

    const UINT chain = quorvel::fullMipChainLength(texWidth, texHeight);
    const UINT levels = (mipLevels == 0 || mipLevels == D3DX_DEFAULT) ? chain : std::min(mipLevels, chain);
    const bool hasAlpha = channels == 2 || channels == 4;
    if (format == D3DFMT_UNKNOWN || quorvel::d3dx::packedTexelSize(format) == 0)
        format = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;

    IDirect3DTexture8* created = nullptr;
    HRESULT hr = device->CreateTexture(texWidth, texHeight, levels, usage, format, pool, &created);
    if (FAILED(hr)) return hr;

    const DWORD scaleFilter = filter == D3DX_DEFAULT ? D3DX_FILTER_TRIANGLE : filter;
    const DWORD levelFilter = mipFilter == D3DX_DEFAULT ? D3DX_FILTER_BOX : mipFilter;
    RgbaImage level = quorvel::d3dx::scaleImage(source, texWidth, texHeight, scaleFilter);
    if (colorKey != 0) applyColourKey(level, colorKey);
    const UINT actualLevels = created->GetLevelCount();
    for (UINT i = 0; i < actualLevels && SUCCEEDED(hr); ++i) {
        if (i > 0) level = quorvel::d3dx::halveImage(level, levelFilter);
        hr = writeLevel(created, i, format, level);
    }
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *texture = created;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* srcFile, IDirect3DTexture8** texture) {
    return D3DXCreateTextureFromFileExA(device, srcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}
