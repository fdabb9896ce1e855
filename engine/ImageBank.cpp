#include "engine/ImageBank.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/ImageFileReads.h"
#include "platform/d3dx8/d3dx8tex.h"

namespace {

// Candidates in the order tried after the preferred 32-bit formats; an image that needs alpha
// skips the first (R5G6B5).
constexpr D3DFORMAT CandidateFormats[] = {D3DFMT_R5G6B5,   D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4,
                                          D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5, D3DFMT_A8R8G8B8,
                                          D3DFMT_X8R8G8B8};

// Moves the alpha image's lowest bits into the colour texels' alpha bits, row by row. Each level
// is read at its own lock pitch, so levels of different layout cannot be overrun.
template <typename Texel, int AlphaShift, Texel AlphaSourceMask, Texel ColourMask>
void mergeAlphaLevel(const D3DLOCKED_RECT& colour, const D3DLOCKED_RECT& alpha, UINT width, UINT height) {
    for (UINT y = 0; y < height; ++y) {
        auto* colourRow = reinterpret_cast<Texel*>(static_cast<std::uint8_t*>(colour.pBits) + y * colour.Pitch);
        auto* alphaRow = reinterpret_cast<const Texel*>(static_cast<const std::uint8_t*>(alpha.pBits) + y * alpha.Pitch);
        for (UINT x = 0; x < width; ++x) {
            colourRow[x] = static_cast<Texel>(((alphaRow[x] & AlphaSourceMask) << AlphaShift) | (colourRow[x] & ColourMask));
        }
    }
}

void mergeAlpha(IDirect3DTexture8* colourTexture, IDirect3DTexture8* alphaTexture, D3DFORMAT format) {
    const bool wide = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
    const bool narrow = format == D3DFMT_A4R4G4B4 || format == D3DFMT_X4R4G4B4;
    if (!wide && !narrow) return;  // other formats keep no alpha

    const DWORD levels = std::min(colourTexture->GetLevelCount(), alphaTexture->GetLevelCount());
    for (DWORD level = 0; level < levels; ++level) {
        D3DSURFACE_DESC colourDesc{}, alphaDesc{};
        if (FAILED(colourTexture->GetLevelDesc(level, &colourDesc)) ||
            FAILED(alphaTexture->GetLevelDesc(level, &alphaDesc))) {
            return;
        }
        D3DLOCKED_RECT colourLock{}, alphaLock{};
        if (FAILED(colourTexture->LockRect(level, &colourLock, nullptr, 0))) return;
        if (FAILED(alphaTexture->LockRect(level, &alphaLock, nullptr, 0))) {
            colourTexture->UnlockRect(level);
            return;
        }
        const UINT width = std::min(colourDesc.Width, alphaDesc.Width);
        const UINT height = std::min(colourDesc.Height, alphaDesc.Height);
        if (wide) {
            mergeAlphaLevel<std::uint32_t, 24, 0xFFu, 0x00FFFFFFu>(colourLock, alphaLock, width, height);
        } else {
            mergeAlphaLevel<std::uint16_t, 12, 0x000Fu, 0x0FFFu>(colourLock, alphaLock, width, height);
        }
        alphaTexture->UnlockRect(level);
        colourTexture->UnlockRect(level);
    }
}

}  // namespace

ImageBank::~ImageBank() {
    // The engine empties the bank when the device goes; whatever is still listed is released
    // here rather than leaked.
    ReleaseImages();
    ReleaseDirect3D();
}

HRESULT ImageBank::SetDevice(IDirect3DDevice8* newDevice) {
    if (!newDevice) return E_FAIL;
    device = newDevice;
    ReleaseDirect3D();
    IDirect3D8* object = nullptr;
    HRESULT hr = device->GetDirect3D(&object);
    if (FAILED(hr)) return hr;
    direct3D = object;
    return S_OK;
}

D3DFORMAT ImageBank::ChooseTextureFormat(bool wantAlpha, bool renderTarget) const {
    if (!device || !direct3D) return D3DFMT_UNKNOWN;
    D3DDEVICE_CREATION_PARAMETERS creation{};
    if (FAILED(device->GetCreationParameters(&creation))) return D3DFMT_UNKNOWN;
    D3DDISPLAYMODE mode{};
    if (FAILED(direct3D->GetAdapterDisplayMode(creation.AdapterOrdinal, &mode))) return D3DFMT_UNKNOWN;

    auto acceptable = [&](D3DFORMAT candidate) {
        return SUCCEEDED(direct3D->CheckDeviceFormat(creation.AdapterOrdinal, creation.DeviceType, mode.Format,
                                                     renderTarget ? D3DUSAGE_RENDERTARGET : 0,
                                                     D3DRTYPE_TEXTURE, candidate));
    };
    if (prefer32Bit) {
        if (acceptable(D3DFMT_A8R8G8B8)) return D3DFMT_A8R8G8B8;
        if (acceptable(D3DFMT_X8R8G8B8)) return D3DFMT_X8R8G8B8;
    }
    for (size_t i = wantAlpha ? 1 : 0; i < std::size(CandidateFormats); ++i) {
        if (acceptable(CandidateFormats[i])) return CandidateFormats[i];
    }
    return D3DFMT_UNKNOWN;
}

IDirect3DTexture8* ImageBank::loadTexture(const std::string& name, UINT width, UINT height, bool mipmaps,
                                          D3DFORMAT format, D3DXIMAGE_INFO* info, ImageFileReads* reads) const {
    const std::string path = basePath + name;
    const UINT levels = mipmaps ? D3DX_DEFAULT : 0;
    const DWORD mipFilter = mipmaps ? D3DX_FILTER_LINEAR : D3DX_FILTER_POINT;
    IDirect3DTexture8* texture = nullptr;
    HRESULT hr;
    if (std::optional<ImageFileReads::Bytes> bytes = reads ? reads->take(path) : std::nullopt) {
        hr = D3DXCreateTextureFromFileInMemoryEx(device, bytes->data(), static_cast<UINT>(bytes->size()), width,
                                                 height, levels, 0, format, D3DPOOL_MANAGED, D3DX_DEFAULT, mipFilter,
                                                 0, info, nullptr, &texture);
    } else {
        hr = D3DXCreateTextureFromFileExA(device, path.c_str(), width, height, levels, 0, format, D3DPOOL_MANAGED,
                                          D3DX_DEFAULT, mipFilter, 0, info, nullptr, &texture);
    }
    return SUCCEEDED(hr) ? texture : nullptr;
}

ImageEntry* ImageBank::LoadImage(const char* name, bool mipmaps, ImageFileReads* reads) {
    if (!name) return nullptr;
    if (ImageEntry* existing = FindImage(name)) return existing;
    const D3DFORMAT format = ChooseTextureFormat(false, false);
    if (format == D3DFMT_UNKNOWN) return nullptr;

    D3DXIMAGE_INFO info{};
    IDirect3DTexture8* texture = loadTexture(name, D3DX_DEFAULT, D3DX_DEFAULT, mipmaps, format, &info, reads);
    if (!texture) return nullptr;

    return addEntry(name, texture, info, FALSE);
}

ImageEntry* ImageBank::LoadImageWithAlpha(const char* colourName, const char* alphaName, bool mipmaps,
                                          ImageFileReads* reads) {
    if (!colourName || !alphaName) return nullptr;
    // An image already in the bank under this name is used again rather than loaded twice.
    if (ImageEntry* existing = FindImage(colourName)) return existing;
    const D3DFORMAT format = ChooseTextureFormat(true, false);
    if (format == D3DFMT_UNKNOWN) return nullptr;

    D3DXIMAGE_INFO info{};
    IDirect3DTexture8* colour = loadTexture(colourName, D3DX_DEFAULT, D3DX_DEFAULT, mipmaps, format, &info, reads);
    if (!colour) return nullptr;

    // The alpha file is scaled to the colour texture's own size, so both have the same size,
    // format and level count.
    D3DSURFACE_DESC top{};
    colour->GetLevelDesc(0, &top);
    IDirect3DTexture8* alpha = loadTexture(alphaName, top.Width, top.Height, mipmaps, format, nullptr, reads);
    if (!alpha) {
        colour->Release();
        return nullptr;
    }
    mergeAlpha(colour, alpha, format);
    alpha->Release();

    return addEntry(colourName, colour, info, TRUE);
}

ImageEntry* ImageBank::addEntry(const char* name, IDirect3DTexture8* texture, const D3DXIMAGE_INFO& info,
                                BOOL hasAlpha) {
    auto* entry = new ImageEntry;
    entry->name = name;
    entry->texture = texture;
    entry->info = info;
    entry->hasAlpha = hasAlpha;
    entries.push_back(entry);
    return entry;
}

void ImageBank::ReleaseImages() {
    for (ImageEntry* entry : entries) delete entry;
    entries.clear();
}

void ImageBank::ReleaseDirect3D() {
    if (direct3D) {
        direct3D->Release();
        direct3D = nullptr;
    }
}
