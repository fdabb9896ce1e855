#include "font/FontTestDevice.h"

#include <cstring>

namespace quorvel::testing {
namespace {

class MemoryTexture final : public IDirect3DTexture8 {
public:
    MemoryTexture(UINT w, UINT h, D3DFORMAT f, int& live, std::shared_ptr<std::vector<std::uint16_t>> texels)
        : width_(w), height_(h), format_(f), live_(live), texels_(std::move(texels)) {
        ++live_;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            --live_;
            delete this;
        }
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice8**) override { return D3DERR_INVALIDCALL; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (level != 0) return D3DERR_INVALIDCALL;
        *desc = {};
        desc->Format = format_;
        desc->Width = width_;
        desc->Height = height_;
        return D3D_OK;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT*, DWORD) override {
        if (level != 0) return D3DERR_INVALIDCALL;
        // Rows padded beyond the width, so code that ignores the pitch shows up.
        locked->Pitch = static_cast<INT>(width_ * 2 + 64);
        staging_.assign(static_cast<size_t>(locked->Pitch) * height_, 0xAB);
        locked->pBits = staging_.data();
        return D3D_OK;
    }
    HRESULT UnlockRect(UINT) override {
        const size_t pitch = staging_.size() / height_;
        for (UINT y = 0; y < height_; ++y)
            std::memcpy(texels_->data() + static_cast<size_t>(y) * width_, staging_.data() + y * pitch, width_ * 2);
        return D3D_OK;
    }

private:
    ULONG refs_ = 1;
    UINT width_, height_;
    D3DFORMAT format_;
    int& live_;
    std::shared_ptr<std::vector<std::uint16_t>> texels_;
    std::vector<BYTE> staging_;
};

class MemoryVertexBuffer final : public IDirect3DVertexBuffer8 {
public:
    MemoryVertexBuffer(UINT length, int& live) : bytes(length, 0), live_(live) { ++live_; }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            --live_;
            delete this;
        }
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice8**) override { return D3DERR_INVALIDCALL; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
        if (locked || offset != 0 || size != 0) return D3DERR_INVALIDCALL;
        // A discard lock hands out fresh memory: nothing written before may be relied on.
        if (flags & D3DLOCK_DISCARD) std::memset(bytes.data(), 0xCD, bytes.size());
        locked = true;
        *data = bytes.data();
        return D3D_OK;
    }
    HRESULT Unlock() override {
        if (!locked) return D3DERR_INVALIDCALL;
        locked = false;
        return D3D_OK;
    }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override {
        *desc = {};
        desc->Size = static_cast<UINT>(bytes.size());
        return D3D_OK;
    }
    std::vector<BYTE> bytes;
    bool locked = false;

private:
    ULONG refs_ = 1;
    int& live_;
};

}  // namespace

FontTestDevice::FontTestDevice() = default;
FontTestDevice::~FontTestDevice() = default;

std::vector<std::uint16_t> FontTestDevice::texels() const {
    return texelStore_ ? *texelStore_ : std::vector<std::uint16_t>{};
}

std::vector<std::uint64_t> FontTestDevice::blockKeys(DWORD token) const {
    std::vector<std::uint64_t> keys;
    auto it = blocks_.find(token);
    if (it != blocks_.end())
        for (const auto& [key, value] : it->second.values) keys.push_back(key);
    return keys;
}

HRESULT FontTestDevice::GetDeviceCaps(D3DCAPS8* caps) {
    *caps = {};
    caps->MaxTextureWidth = maxTextureWidth;
    caps->MaxTextureHeight = maxTextureWidth;
    return D3D_OK;
}

HRESULT FontTestDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format,
                                      D3DPOOL pool, IDirect3DTexture8** texture) {
    calls.push_back("CreateTexture");
    if (FAILED(textureResult)) return textureResult;
    textureWidth = width;
    textureHeight = height;
    textureLevels = levels;
    textureFormat = format;
    texturePool = pool;
    texelStore_ = std::make_shared<std::vector<std::uint16_t>>(static_cast<size_t>(width) * height, 0xEEEE);
    *texture = new MemoryTexture(width, height, format, liveResources, texelStore_);
    return D3D_OK;
}

HRESULT FontTestDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD, D3DPOOL pool,
                                           IDirect3DVertexBuffer8** vertexBuffer) {
    calls.push_back("CreateVertexBuffer");
    if (FAILED(vertexBufferResult)) return vertexBufferResult;
    bufferLength = length;
    bufferUsage = usage;
    bufferPool = pool;
    *vertexBuffer = new MemoryVertexBuffer(length, liveResources);
    return D3D_OK;
}

HRESULT FontTestDevice::set(std::uint64_t key, std::uintptr_t value) {
    if (recording_)
        recorded_.values[key] = value;
    else
        states[key] = value;
    return D3D_OK;
}

HRESULT FontTestDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    return set(renderKey(state), value);
}
HRESULT FontTestDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    *value = static_cast<DWORD>(states[renderKey(state)]);
    return D3D_OK;
}
HRESULT FontTestDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    return set(textureKey(stage), reinterpret_cast<std::uintptr_t>(texture));
}
HRESULT FontTestDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    *texture = reinterpret_cast<IDirect3DBaseTexture8*>(states[textureKey(stage)]);
    return D3D_OK;
}
HRESULT FontTestDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    return set(stageKey(stage, type), value);
}
HRESULT FontTestDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    *value = static_cast<DWORD>(states[stageKey(stage, type)]);
    return D3D_OK;
}

HRESULT FontTestDevice::BeginStateBlock() {
    calls.push_back("BeginStateBlock");
    if (recording_) return D3DERR_INVALIDCALL;
    recording_ = true;
    recorded_ = {};
    return D3D_OK;
}
HRESULT FontTestDevice::EndStateBlock(DWORD* token) {
    calls.push_back("EndStateBlock");
    if (!recording_) return D3DERR_INVALIDCALL;
    recording_ = false;
    *token = nextBlock_++;
    blocks_[*token] = recorded_;
    return D3D_OK;
}
HRESULT FontTestDevice::ApplyStateBlock(DWORD token) {
    calls.push_back("ApplyStateBlock " + std::to_string(token));
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (const auto& [key, value] : it->second.values) states[key] = value;
    return D3D_OK;
}
HRESULT FontTestDevice::CaptureStateBlock(DWORD token) {
    calls.push_back("CaptureStateBlock " + std::to_string(token));
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (auto& [key, value] : it->second.values) value = states[key];
    return D3D_OK;
}
HRESULT FontTestDevice::DeleteStateBlock(DWORD token) {
    calls.push_back("DeleteStateBlock " + std::to_string(token));
    return blocks_.erase(token) == 1 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT FontTestDevice::SetVertexShader(DWORD fvf) {
    fvf_ = fvf;
    return D3D_OK;
}
HRESULT FontTestDevice::GetVertexShader(DWORD* fvf) {
    *fvf = fvf_;
    return D3D_OK;
}
HRESULT FontTestDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) {
    if (stream != 0) return D3DERR_INVALIDCALL;
    stream0_ = vertexBuffer;
    stride0_ = stride;
    return D3D_OK;
}

HRESULT FontTestDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    calls.push_back("DrawPrimitive");
    auto* buffer = dynamic_cast<MemoryVertexBuffer*>(stream0_);
    if (buffer == nullptr || buffer->locked || stride0_ != sizeof(OverlayFont::Vertex))
        return D3DERR_INVALIDCALL;
    const size_t count = type == D3DPT_TRIANGLELIST ? primitiveCount * 3u : 0u;
    if ((startVertex + count) * stride0_ > buffer->bytes.size()) return D3DERR_INVALIDCALL;
    Draw draw{type, startVertex, primitiveCount, fvf_, stride0_, {}, states};
    draw.vertices.resize(count);
    std::memcpy(draw.vertices.data(), buffer->bytes.data() + startVertex * stride0_, count * stride0_);
    draws.push_back(std::move(draw));
    return D3D_OK;
}

}  // namespace quorvel::testing
