// Textures, vertex and index buffers and the back-buffer surface of the GL device.
//
// Reference counting: AddRef/Release count the application's references. While the
// application holds any, the resource also holds a reference on its device (so releasing the
// device with a live resource leaves a non-zero count, as Direct3D does). Bindings inside the
// device (textures set on stages, stream and index buffers, state blocks) keep the object alive
// without being counted, so a released object that is still bound disappears when unbound.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <epoxy/gl.h>

#include "platform/d3d8/d3d8.h"

namespace quorvel::gl {

class GlDevice;

class DeviceChild {
public:
    DeviceChild(GlDevice* device, D3DPOOL pool);
    virtual ~DeviceChild();
    DeviceChild(const DeviceChild&) = delete;
    DeviceChild& operator=(const DeviceChild&) = delete;

    ULONG addPublicRef() { return ++publicRefs_; }
    ULONG releasePublicRef();
    void bind() { ++bindings_; }
    void unbind();
    GlDevice* owner() const { return device_; }
    D3DPOOL pool() const { return pool_; }
    // GetDevice of every resource: the owning device, with a reference added for the caller.
    HRESULT handOutDevice(IDirect3DDevice8** device);

protected:
    GlDevice* device_;
    D3DPOOL pool_;

private:
    ULONG publicRefs_ = 1;
    ULONG bindings_ = 0;
};

class GlTexture final : public IDirect3DTexture8, public DeviceChild {
public:
    // Creates the GL texture with levels mip levels (0 = full chain); check valid() after.
    GlTexture(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
              D3DPOOL pool);
    ~GlTexture() override;
    bool valid() const { return texture_ != 0; }
    GLuint name() const { return texture_; }

    ULONG AddRef() override { return addPublicRef(); }
    ULONG Release() override { return releasePublicRef(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return handOutDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

private:
    struct Level {
        UINT width, height, pitch;
        std::vector<std::uint8_t> memory;  // the level's texels as the application sees them
        bool locked = false;
        bool readOnly = false;
    };
    D3DFORMAT format_;
    DWORD usage_;
    std::vector<Level> levels_;
    GLuint texture_ = 0;
};

// Shared by vertex and index buffers: system memory that Lock hands out, copied into the GL
// buffer object on Unlock.
class GlBufferStorage {
public:
    GlBufferStorage(UINT length, DWORD usage);
    ~GlBufferStorage();
    bool valid() const { return buffer_ != 0; }
    GLuint name() const { return buffer_; }
    UINT length() const { return static_cast<UINT>(memory_.size()); }
    HRESULT lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT unlock();
    const std::uint8_t* data() const { return memory_.data(); }

private:
    std::vector<std::uint8_t> memory_;
    GLuint buffer_ = 0;
    bool locked_ = false;
    bool readOnly_ = false;
    bool discard_ = false;
    UINT lockOffset_ = 0, lockSize_ = 0;
};

class GlVertexBuffer final : public IDirect3DVertexBuffer8, public DeviceChild {
public:
    GlVertexBuffer(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~GlVertexBuffer() override;
    bool valid() const { return storage_.valid(); }
    UINT length() const { return storage_.length(); }
    GLuint name() const { return storage_.name(); }

    ULONG AddRef() override { return addPublicRef(); }
    ULONG Release() override { return releasePublicRef(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return handOutDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

private:
    GlBufferStorage storage_;
    DWORD usage_, fvf_;
};

class GlIndexBuffer final : public IDirect3DIndexBuffer8, public DeviceChild {
public:
    GlIndexBuffer(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    bool valid() const { return storage_.valid(); }
    GLuint name() const { return storage_.name(); }
    UINT length() const { return storage_.length(); }
    D3DFORMAT format() const { return format_; }
    // Largest of count 16-bit indices from index start (which must lie in the buffer);
    // remembered per range until the next Unlock, since the same ranges are drawn each frame.
    UINT maxIndex(UINT start, UINT count);

    ULONG AddRef() override { return addPublicRef(); }
    ULONG Release() override { return releasePublicRef(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return handOutDevice(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

private:
    GlBufferStorage storage_;
    DWORD usage_;
    D3DFORMAT format_;
    std::unordered_map<std::uint64_t, UINT> maxIndexCache_;
};

// The device's back buffer. LockRect reads the current picture back (X8R8G8B8, top row
// first, read-only: writes through the lock are not shown).
class GlBackBuffer final : public IDirect3DSurface8, public DeviceChild {
public:
    explicit GlBackBuffer(GlDevice* device);
    ULONG AddRef() override { return addPublicRef(); }
    ULONG Release() override { return releasePublicRef(); }
    HRESULT GetDevice(IDirect3DDevice8** device) override { return handOutDevice(device); }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

private:
    std::vector<std::uint8_t> pixels_;
    bool locked_ = false;
};

}  // namespace quorvel::gl
