#include "platform/gl/GlResources.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d8/MipChain.h"
#include "platform/gl/GlDevice.h"
#include "platform/gl/GlFormats.h"

namespace quorvel::gl {

namespace {

// Texture unit used for uploads, away from the units the stages draw with.
constexpr GLenum kUploadUnit = GL_TEXTURE0 + 15;

}  // namespace

// --- DeviceChild -------------------------------------------------------------------------------

DeviceChild::DeviceChild(GlDevice* device, D3DPOOL pool) : device_(device), pool_(pool) {
    device_->AddRef();
    device_->resourceCreated(pool_);
}

DeviceChild::~DeviceChild() = default;

HRESULT DeviceChild::handOutDevice(IDirect3DDevice8** device) {
    if (!device) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

ULONG DeviceChild::releasePublicRef() {
    if (publicRefs_ == 0) return 0;
    const ULONG n = --publicRefs_;
    if (n == 0) {
        GlDevice* device = device_;
        device->resourceReleased(pool_);
        if (bindings_ == 0) delete this;
        // The device may go now, and with it the last bindings of this object.
        device->Release();
    }
    return n;
}

void DeviceChild::unbind() {
    if (bindings_ > 0 && --bindings_ == 0 && publicRefs_ == 0) delete this;
}

// --- GlTexture ---------------------------------------------------------------------------------

GlTexture::GlTexture(GlDevice* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : DeviceChild(device, pool), format_(format), usage_(usage) {
    const TextureFormatInfo info = textureFormatInfo(format);
    if (info.bytesPerTexel == 0 || width == 0 || height == 0) return;
    const UINT chain = fullMipChainLength(width, height);
    const UINT count = levels == 0 ? chain : std::min(levels, chain);
    levels_.resize(count);
    UINT w = width, h = height;
    for (auto& level : levels_) {
        level.width = w;
        level.height = h;
        level.pitch = w * info.bytesPerTexel;
        level.memory.assign(static_cast<size_t>(level.pitch) * h, 0);
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
    glGenTextures(1, &texture_);
    glActiveTexture(kUploadUnit);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(count - 1));
    if (!info.hasAlpha) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    for (UINT i = 0; i < count; ++i) {
        const Level& level = levels_[i];
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(info.internalFormat),
                     static_cast<GLsizei>(level.width), static_cast<GLsizei>(level.height), 0, info.uploadFormat,
                     info.uploadType, level.memory.data());
    }
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture_);
        texture_ = 0;
    }
}

GlTexture::~GlTexture() {
    if (texture_) glDeleteTextures(1, &texture_);
}

HRESULT GlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
    const Level& l = levels_[level];
    *desc = D3DSURFACE_DESC{format_, D3DRTYPE_SURFACE, usage_, pool_, static_cast<UINT>(l.memory.size()),
                            D3DMULTISAMPLE_NONE, l.width, l.height};
    return D3D_OK;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (!lockedRect || level >= levels_.size()) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    if (l.locked) return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            static_cast<UINT>(rect->right) > l.width || static_cast<UINT>(rect->bottom) > l.height)
            return D3DERR_INVALIDCALL;
        offset = static_cast<size_t>(rect->top) * l.pitch +
                 static_cast<size_t>(rect->left) * textureFormatInfo(format_).bytesPerTexel;
    }
    l.locked = true;
    l.readOnly = (flags & D3DLOCK_READONLY) != 0;
    lockedRect->Pitch = static_cast<INT>(l.pitch);
    lockedRect->pBits = l.memory.data() + offset;
    return D3D_OK;
}

HRESULT GlTexture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    l.locked = false;
    if (l.readOnly) return D3D_OK;
    const TextureFormatInfo info = textureFormatInfo(format_);
    glActiveTexture(kUploadUnit);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(l.width),
                    static_cast<GLsizei>(l.height), info.uploadFormat, info.uploadType, l.memory.data());
    return D3D_OK;
}

// --- Buffers -----------------------------------------------------------------------------------

GlBufferStorage::GlBufferStorage(UINT length, DWORD usage) : memory_(length, 0) {
    if (length == 0) return;
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferData(GL_COPY_WRITE_BUFFER, length, nullptr, (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteBuffers(1, &buffer_);
        buffer_ = 0;
    }
}

GlBufferStorage::~GlBufferStorage() {
    if (buffer_) glDeleteBuffers(1, &buffer_);
}

HRESULT GlBufferStorage::lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    if (!data || locked_) return D3DERR_INVALIDCALL;
    const UINT total = length();
    if (size == 0) {
        if (offset > total) return D3DERR_INVALIDCALL;
        size = total - offset;
    }
    if (offset > total || size > total - offset) return D3DERR_INVALIDCALL;
    locked_ = true;
    readOnly_ = (flags & D3DLOCK_READONLY) != 0;
    discard_ = (flags & D3DLOCK_DISCARD) != 0;
    lockOffset_ = offset;
    lockSize_ = size;
    *data = memory_.data() + offset;
    return D3D_OK;
}

HRESULT GlBufferStorage::unlock() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    if (readOnly_ || lockSize_ == 0) return D3D_OK;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    if (discard_) {
        // Orphan the old storage so a draw still reading it does not stall us.
        glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(memory_.size()), memory_.data(), GL_DYNAMIC_DRAW);
    } else {
        glBufferSubData(GL_COPY_WRITE_BUFFER, lockOffset_, lockSize_, memory_.data() + lockOffset_);
    }
    return D3D_OK;
}

GlVertexBuffer::GlVertexBuffer(GlDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : DeviceChild(device, pool), storage_(length, usage), usage_(usage), fvf_(fvf) {}

GlVertexBuffer::~GlVertexBuffer() { device_->forgetVertexBuffer(storage_.name()); }

HRESULT GlVertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    return storage_.lock(offset, size, data, flags);
}

HRESULT GlVertexBuffer::Unlock() { return storage_.unlock(); }

HRESULT GlVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, storage_.length(), fvf_};
    return D3D_OK;
}

GlIndexBuffer::GlIndexBuffer(GlDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device, pool), storage_(length, usage), usage_(usage), format_(format) {}

HRESULT GlIndexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    return storage_.lock(offset, size, data, flags);
}

HRESULT GlIndexBuffer::Unlock() {
    maxIndexCache_.clear();
    return storage_.unlock();
}

UINT GlIndexBuffer::maxIndex(UINT start, UINT count) {
    const std::uint64_t key = (static_cast<std::uint64_t>(start) << 32) | count;
    auto it = maxIndexCache_.find(key);
    if (it != maxIndexCache_.end()) return it->second;
    UINT largest = 0;
    const std::uint8_t* bytes = storage_.data() + static_cast<size_t>(start) * 2;
    for (UINT i = 0; i < count; ++i) {
        std::uint16_t index;
        std::memcpy(&index, bytes + static_cast<size_t>(i) * 2, 2);
        if (index > largest) largest = index;
    }
    if (maxIndexCache_.size() > 4096) maxIndexCache_.clear();
    maxIndexCache_.emplace(key, largest);
    return largest;
}

HRESULT GlIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, storage_.length()};
    return D3D_OK;
}

// --- GlBackBuffer ------------------------------------------------------------------------------

GlBackBuffer::GlBackBuffer(GlDevice* device) : DeviceChild(device, D3DPOOL_DEFAULT) {}

HRESULT GlBackBuffer::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    const D3DPRESENT_PARAMETERS& p = device_->presentParameters();
    *desc = D3DSURFACE_DESC{p.BackBufferFormat, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                            p.BackBufferWidth * p.BackBufferHeight * bytesPerPixel(p.BackBufferFormat),
                            p.MultiSampleType, p.BackBufferWidth, p.BackBufferHeight};
    return D3D_OK;
}

HRESULT GlBackBuffer::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD) {
    if (!lockedRect || locked_) return D3DERR_INVALIDCALL;
    const D3DPRESENT_PARAMETERS& p = device_->presentParameters();
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            static_cast<UINT>(rect->right) > p.BackBufferWidth || static_cast<UINT>(rect->bottom) > p.BackBufferHeight)
            return D3DERR_INVALIDCALL;
        offset = (static_cast<size_t>(rect->top) * p.BackBufferWidth + static_cast<size_t>(rect->left)) * 4;
    }
    if (!device_->readBackBuffer(pixels_)) return D3DERR_INVALIDCALL;
    // RGBA bytes to X8R8G8B8 words (bytes B, G, R, X in memory).
    for (size_t i = 0; i + 3 < pixels_.size(); i += 4) {
        std::swap(pixels_[i], pixels_[i + 2]);
        pixels_[i + 3] = 0xFF;
    }
    locked_ = true;
    lockedRect->Pitch = static_cast<INT>(p.BackBufferWidth * 4);
    lockedRect->pBits = pixels_.data() + offset;
    return D3D_OK;
}

HRESULT GlBackBuffer::UnlockRect() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

}  // namespace quorvel::gl
