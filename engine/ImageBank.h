// The engine's named textures: images named by "@loadimage" and the texture and opacity maps of
// scene materials, loaded into managed Direct3D textures and keyed by file name. Plug-ins read
// the entries and the device directly and carry their own copies of FindImage and BindTexture
// (defined inline here), so the field order of both types is part of the plug-in interface.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/d3dx8tex.h"

class ImageFileReads;

class NamedItem {
public:
    std::string name;
    virtual ~NamedItem() = default;
};

class ImageEntry : public NamedItem {
public:
    IDirect3DTexture8* texture = nullptr;  // one reference, released with the entry
    D3DXIMAGE_INFO info{};                 // the colour image's source file
    BOOL hasAlpha = FALSE;                 // made with an alpha file

    ~ImageEntry() override {
        if (texture) texture->Release();
    }
};

class ImageBank {
public:
    std::vector<ImageEntry*> entries;       // load order; owned
    std::string basePath;                   // put before every file name ("data/")
    IDirect3DDevice8* device = nullptr;     // not reference-counted by the bank
    IDirect3D8* direct3D = nullptr;         // one reference, from the device
    BOOL prefer32Bit = TRUE;                // try 32-bit formats first

    ImageBank() = default;
    ImageBank(const ImageBank&) = delete;
    ImageBank& operator=(const ImageBank&) = delete;
    virtual ~ImageBank();

    void SetBasePath(const std::string& path) { basePath = path; }
    HRESULT SetDevice(IDirect3DDevice8* newDevice);

    // The first entry, in load order, whose name equals name exactly; null when none.
    ImageEntry* FindImage(const char* name) const {
        if (!name) return nullptr;
        const size_t length = std::strlen(name);
        for (ImageEntry* entry : entries) {
            if (entry->name.size() == length && std::memcmp(entry->name.data(), name, length) == 0) return entry;
        }
        return nullptr;
    }

    // Sets the entry's texture on a texture stage of the device, or no texture for null.
    void BindTexture(DWORD stage, const ImageEntry* entry) const {
        if (device) device->SetTexture(stage, entry ? entry->texture : nullptr);
    }

    // Files already read ahead (basePath + name) are taken from reads rather than read again.
    ImageEntry* LoadImage(const char* name, bool mipmaps, ImageFileReads* reads = nullptr);
    ImageEntry* LoadImageWithAlpha(const char* colourName, const char* alphaName, bool mipmaps,
                                   ImageFileReads* reads = nullptr);
    // A texture format the device supports (D3DFMT_UNKNOWN when none).
    D3DFORMAT ChooseTextureFormat(bool wantAlpha, bool renderTarget) const;
    void ReleaseImages();
    void ReleaseDirect3D();

private:
    IDirect3DTexture8* loadTexture(const std::string& name, UINT width, UINT height, bool mipmaps,
                                   D3DFORMAT format, D3DXIMAGE_INFO* info, ImageFileReads* reads) const;
    // Appends an entry that takes over the texture's reference.
    ImageEntry* addEntry(const char* name, IDirect3DTexture8* texture, const D3DXIMAGE_INFO& info, BOOL hasAlpha);
};
