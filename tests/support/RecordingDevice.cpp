#include "support/RecordingDevice.h"

#include <algorithm>

namespace quorvel::testing {

namespace {

UINT texelBytes(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return 4;
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_L8:
    case D3DFMT_A8: return 1;
    default: return 2;
    }
}

// How many vertices primitiveCount primitives of this type take.
size_t vertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    if (primitiveCount == 0) return 0;
    switch (type) {
    case D3DPT_POINTLIST: return primitiveCount;
    case D3DPT_LINELIST: return primitiveCount * size_t{2};
    case D3DPT_LINESTRIP: return primitiveCount + size_t{1};
    case D3DPT_TRIANGLELIST: return primitiveCount * size_t{3};
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitiveCount + size_t{2};
    }
    return 0;
}

// A numbered slot of the device (a light, a light's switch) read or written; an index past the
// slots is an invalid call. A write answers what recording the call answered.
template <class T, std::size_t N>
HRESULT readSlot(const std::array<T, N>& slots, DWORD index, T* value) {
    if (index >= N) return D3DERR_INVALIDCALL;
    *value = slots[index];
    return D3D_OK;
}

template <class T, std::size_t N>
HRESULT writeSlot(std::array<T, N>& slots, DWORD index, const T& value, HRESULT recorded) {
    if (index >= N) return D3DERR_INVALIDCALL;
    slots[index] = value;
    return recorded;
}

// Direct3D's initial render states that tests are most likely to read.
DWORD defaultRenderState(DWORD state) {
    switch (state) {
    case D3DRS_ZENABLE: return D3DZB_TRUE;
    case D3DRS_FILLMODE: return D3DFILL_SOLID;
    case D3DRS_SHADEMODE: return D3DSHADE_GOURAUD;
    case D3DRS_ZWRITEENABLE: return TRUE;
    case D3DRS_LASTPIXEL: return TRUE;
    case D3DRS_SRCBLEND: return D3DBLEND_ONE;
    case D3DRS_DESTBLEND: return D3DBLEND_ZERO;
    case D3DRS_CULLMODE: return D3DCULL_CCW;
    case D3DRS_ZFUNC: return D3DCMP_LESSEQUAL;
    case D3DRS_ALPHAFUNC: return D3DCMP_ALWAYS;
    case D3DRS_TEXTUREFACTOR: return 0xFFFFFFFFu;
    case D3DRS_CLIPPING: return TRUE;
    case D3DRS_LIGHTING: return TRUE;
    case D3DRS_COLORVERTEX: return TRUE;
    case D3DRS_LOCALVIEWER: return TRUE;
    case D3DRS_DIFFUSEMATERIALSOURCE: return D3DMCS_COLOR1;
    case D3DRS_SPECULARMATERIALSOURCE: return D3DMCS_COLOR2;
    case D3DRS_COLORWRITEENABLE: return 0x0Fu;
    case D3DRS_BLENDOP: return D3DBLENDOP_ADD;
    case D3DRS_STENCILFUNC: return D3DCMP_ALWAYS;
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
    case D3DRS_MULTISAMPLEMASK: return 0xFFFFFFFFu;
    case D3DRS_MULTISAMPLEANTIALIAS: return TRUE;
    default: return 0;
    }
}

DWORD defaultStageState(DWORD stage, DWORD type) {
    switch (type) {
    case D3DTSS_COLOROP: return stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    case D3DTSS_ALPHAOP: return stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    case D3DTSS_COLORARG1:
    case D3DTSS_ALPHAARG1: return D3DTA_TEXTURE;
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG2: return D3DTA_CURRENT;
    case D3DTSS_TEXCOORDINDEX: return stage;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW: return D3DTADDRESS_WRAP;
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER: return D3DTEXF_POINT;
    case D3DTSS_MAXANISOTROPY: return 1;
    default: return 0;
    }
}

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Back buffer surface: only its description is real.
class RecordingSurface final : public IDirect3DSurface8 {
public:
    explicit RecordingSurface(RecordingDevice* device) : device_(device) { device_->AddRef(); }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG n = --refs_;
        if (n == 0) {
            RecordingDevice* device = device_;
            delete this;
            device->releaseChildReference();
        }
        return n;
    }
    HRESULT GetDevice(IDirect3DDevice8** device) override {
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override {
        const D3DPRESENT_PARAMETERS& p = device_->presentParameters;
        *desc = {p.BackBufferFormat, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                 p.BackBufferWidth * p.BackBufferHeight * 4, p.MultiSampleType, p.BackBufferWidth, p.BackBufferHeight};
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }

private:
    RecordingDevice* device_;
    ULONG refs_ = 1;
};

}  // namespace

// --- States ------------------------------------------------------------------------------------

std::vector<std::string> StateBlock::texts() const {
    std::vector<std::string> out;
    for (const auto& [state, value] : renderStates)
        out.push_back(renderStateName(state) + " = " + renderStateValue(state, value));
    for (const auto& [key, value] : stageStates)
        out.push_back(std::to_string(key.first) + ":" + stageStateName(key.second) + " = " +
                      stageStateValue(key.second, value));
    for (const auto& [stage, texture] : textures)
        out.push_back("texture " + std::to_string(stage) + " = " + pointerText(texture));
    return out;
}

DWORD DeviceState::renderState(D3DRENDERSTATETYPE state) const {
    auto it = renderStates.find(state);
    return it != renderStates.end() ? it->second : defaultRenderState(state);
}

DWORD DeviceState::stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
    auto it = stageStates.find({stage, type});
    return it != stageStates.end() ? it->second : defaultStageState(stage, type);
}

IDirect3DBaseTexture8* DeviceState::texture(DWORD stage) const {
    auto it = textures.find(stage);
    return it != textures.end() ? it->second : nullptr;
}

const D3DMATRIX& DeviceState::transform(D3DTRANSFORMSTATETYPE type) const {
    static const D3DMATRIX kIdentity = identity();
    auto it = transforms.find(type);
    return it != transforms.end() ? it->second : kIdentity;
}

std::string stateDifferences(const DeviceState& before, const DeviceState& after) {
    std::string out;
    auto differ = [&](const std::string& name, const std::string& was, const std::string& is) {
        if (was != is) out += name + ": " + was + " -> " + is + "\n";
    };
    std::map<DWORD, DWORD> renderKeys = before.renderStates;
    renderKeys.insert(after.renderStates.begin(), after.renderStates.end());
    for (const auto& [key, unused] : renderKeys) {
        const auto state = static_cast<D3DRENDERSTATETYPE>(key);
        differ(renderStateName(key), renderStateValue(key, before.renderState(state)),
               renderStateValue(key, after.renderState(state)));
    }
    auto stageKeys = before.stageStates;
    stageKeys.insert(after.stageStates.begin(), after.stageStates.end());
    for (const auto& [key, unused] : stageKeys) {
        const auto type = static_cast<D3DTEXTURESTAGESTATETYPE>(key.second);
        differ(std::to_string(key.first) + ":" + stageStateName(key.second),
               stageStateValue(key.second, before.stageState(key.first, type)),
               stageStateValue(key.second, after.stageState(key.first, type)));
    }
    for (DWORD stage = 0; stage < D3DTSS_STAGE_COUNT; ++stage)
        differ("texture " + std::to_string(stage), pointerText(before.texture(stage)),
               pointerText(after.texture(stage)));
    return out;
}

// --- Resources ---------------------------------------------------------------------------------

template <class Interface>
RecordingResource<Interface>::RecordingResource(RecordingDevice* device, D3DPOOL pool) : device_(device), pool_(pool) {
    device_->AddRef();
    device_->resourceCreated(pool_);
}

template <class Interface>
ULONG RecordingResource<Interface>::Release() {
    const ULONG n = --refs_;
    if (n == 0) {
        RecordingDevice* device = device_;
        const D3DPOOL pool = pool_;
        delete this;
        device->resourceDestroyed(pool);
    }
    return n;
}

template <class Interface>
HRESULT RecordingResource<Interface>::GetDevice(IDirect3DDevice8** device) {
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

RecordingTexture::RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool)
    : RecordingResource(device, pool), usage_(usage), format_(format) {
    UINT chain = 1;
    for (UINT w = width, h = height; w > 1 || h > 1; w = std::max(1u, w / 2), h = std::max(1u, h / 2)) ++chain;
    const UINT count = levels == 0 ? chain : std::min(levels, chain);
    UINT w = width, h = height;
    for (UINT i = 0; i < count; ++i) {
        const UINT pitch = w * texelBytes(format) + device->textureRowPadding;
        levels_.push_back(
            {w, h, pitch, std::vector<std::uint8_t>(static_cast<size_t>(pitch) * h, device->textureFill)});
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
}

HRESULT RecordingTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
    const Level& l = levels_[level];
    *desc = {format_, D3DRTYPE_SURFACE, usage_, pool_, static_cast<UINT>(l.bytes.size()), D3DMULTISAMPLE_NONE,
             l.width, l.height};
    return D3D_OK;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (const HRESULT hr = device_->record("Texture::LockRect", {level, rect, named(flags, lockFlags)}); FAILED(hr))
        return hr;
    if (!lockedRect || level >= levels_.size() || levels_[level].locked) return D3DERR_INVALIDCALL;
    Level& l = levels_[level];
    size_t offset = 0;
    if (rect) offset = static_cast<size_t>(rect->top) * l.pitch + static_cast<size_t>(rect->left) * texelBytes(format_);
    l.locked = true;
    lockedRect->Pitch = static_cast<INT>(l.pitch);
    lockedRect->pBits = l.bytes.data() + offset;
    return D3D_OK;
}

HRESULT RecordingTexture::UnlockRect(UINT level) {
    device_->record("Texture::UnlockRect", {level});
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    levels_[level].locked = false;
    return D3D_OK;
}

template <class Interface, class Desc>
RecordingBuffer<Interface, Desc>::RecordingBuffer(RecordingDevice* device, const char* kind, const Desc& desc)
    : RecordingResource<Interface>(device, desc.Pool), kind_(kind), desc_(desc), bytes_(desc.Size, 0) {}

template <class Interface, class Desc>
HRESULT RecordingBuffer<Interface, Desc>::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    if (const HRESULT hr = this->device_->record(kind_ + "::Lock", {offset, size, named(flags, lockFlags)}); FAILED(hr))
        return hr;
    if (!data || locked_) return D3DERR_INVALIDCALL;
    if (size == 0) size = static_cast<UINT>(bytes_.size()) - std::min<UINT>(offset, static_cast<UINT>(bytes_.size()));
    if (static_cast<std::uint64_t>(offset) + size > bytes_.size()) return D3DERR_INVALIDCALL;
    // A discarding lock hands out fresh memory: nothing written before may be relied on.
    if (flags & D3DLOCK_DISCARD) std::fill(bytes_.begin(), bytes_.end(), 0xCD);
    locked_ = true;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

template <class Interface, class Desc>
HRESULT RecordingBuffer<Interface, Desc>::Unlock() {
    this->device_->record(kind_ + "::Unlock", {});
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

template <class Interface, class Desc>
HRESULT RecordingBuffer<Interface, Desc>::GetDesc(Desc* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

template class RecordingResource<IDirect3DTexture8>;
template class RecordingResource<IDirect3DVertexBuffer8>;
template class RecordingResource<IDirect3DIndexBuffer8>;
template class RecordingBuffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
template class RecordingBuffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

// --- RecordingDevice ---------------------------------------------------------------------------

RecordingDevice::RecordingDevice(UINT width, UINT height, IDirect3D8* direct3d) : direct3d_(direct3d) {
    if (direct3d_) direct3d_->AddRef();
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    presentParameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    presentParameters.BackBufferCount = 1;
    presentParameters.Windowed = TRUE;
    state_.viewport = {0, 0, width, height, 0.0f, 1.0f};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 2048;
    caps.MaxActiveLights = 8;
    caps.MaxSimultaneousTextures = 2;
    caps.MaxTextureBlendStages = 2;
    caps.TextureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_ALPHA;
    for (auto& l : state_.lights) {
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Diffuse = {1, 1, 1, 0};
        l.Direction = {0, 0, 1};
    }
}

RecordingDevice::~RecordingDevice() {
    if (direct3d_) direct3d_->Release();
}

ULONG RecordingDevice::Release() {
    if (observer) observer(Call{"Release", "Release()"});
    return releaseChildReference();
}

ULONG RecordingDevice::releaseChildReference() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT RecordingDevice::record(const std::string& method, std::initializer_list<Arg> args) {
    calls_.push_back({method, callText(method, args)});
    if (observer) observer(calls_.back());
    return injected(method);
}

std::vector<std::string> RecordingDevice::callTexts(const std::string& method) const {
    std::vector<std::string> out;
    for (const Call& c : calls_)
        if (method.empty() || c.method == method) out.push_back(c.text);
    return out;
}

size_t RecordingDevice::countCalls(const std::string& method) const {
    return static_cast<size_t>(
        std::count_if(calls_.begin(), calls_.end(), [&](const Call& c) { return c.method == method; }));
}

const StateBlock* RecordingDevice::stateBlock(DWORD token) const {
    auto it = blocks_.find(token);
    return it != blocks_.end() ? &it->second : nullptr;
}

HRESULT RecordingDevice::injected(const std::string& method) {
    if (auto it = failOnce_.find(method); it != failOnce_.end()) {
        const HRESULT hr = it->second;
        failOnce_.erase(it);
        return hr;
    }
    if (auto it = failAlways_.find(method); it != failAlways_.end()) return it->second;
    return D3D_OK;
}

void RecordingDevice::resourceCreated(D3DPOOL pool) {
    ++liveResources_;
    if (pool == D3DPOOL_DEFAULT) ++liveDefaultPool_;
}

void RecordingDevice::resourceDestroyed(D3DPOOL pool) {
    --liveResources_;
    if (pool == D3DPOOL_DEFAULT) --liveDefaultPool_;
    releaseChildReference();
}

HRESULT RecordingDevice::TestCooperativeLevel() {
    if (const HRESULT hr = record("TestCooperativeLevel", {}); FAILED(hr)) return hr;
    return cooperativeLevel;
}

HRESULT RecordingDevice::GetDirect3D(IDirect3D8** direct3d) {
    if (const HRESULT hr = record("GetDirect3D", {}); FAILED(hr)) return hr;
    if (!direct3d || !direct3d_) return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS8* out) {
    if (const HRESULT hr = record("GetDeviceCaps", {}); FAILED(hr)) return hr;
    *out = caps;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    if (const HRESULT hr = record("GetDisplayMode", {}); FAILED(hr)) return hr;
    *mode = displayMode;
    return D3D_OK;
}

HRESULT RecordingDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (const HRESULT hr = record("GetCreationParameters", {}); FAILED(hr)) return hr;
    *parameters = creationParameters;
    return D3D_OK;
}

void RecordingDevice::SetCursorPosition(int x, int y, DWORD flags) { record("SetCursorPosition", {x, y, flags}); }

BOOL RecordingDevice::ShowCursor(BOOL show) {
    record("ShowCursor", {show});
    return TRUE;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    const HRESULT hr = parameters ? record("Reset", {parameters->BackBufferWidth, parameters->BackBufferHeight,
                                                     named(parameters->BackBufferFormat, formatName),
                                                     parameters->Windowed})
                                  : record("Reset", {nullptr});
    if (FAILED(hr)) return hr;
    // Direct3D refuses to reset while default-pool resources exist.
    if (!parameters || liveDefaultPool_ > 0) return D3DERR_INVALIDCALL;
    presentParameters = *parameters;
    state_.viewport = {0, 0, parameters->BackBufferWidth, parameters->BackBufferHeight, 0.0f, 1.0f};
    state_.renderStates.clear();
    state_.stageStates.clear();
    state_.textures.clear();
    state_.stream = nullptr;
    state_.indices = nullptr;
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND window, const void* dirty) {
    return record("Present", {sourceRect, destRect, window, dirty});
}

HRESULT RecordingDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBuffer) {
    if (const HRESULT hr = record("GetBackBuffer", {index, type}); FAILED(hr)) return hr;
    if (!backBuffer || index != 0) return D3DERR_INVALIDCALL;
    *backBuffer = new RecordingSurface(this);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture8** texture) {
    const HRESULT hr = record("CreateTexture", {width, height, levels, named(usage, usageFlags),
                                                named(format, formatName), named(pool, poolName)});
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (FAILED(hr)) return hr;
    if (width == 0 || height == 0) return D3DERR_INVALIDCALL;
    *texture = new RecordingTexture(this, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer8** vertexBuffer) {
    const HRESULT hr = record("CreateVertexBuffer", {length, named(usage, usageFlags), named(fvf, vertexFormatFlags),
                                                     named(pool, poolName)});
    return createBuffer<RecordingVertexBuffer>(
        hr, "VertexBuffer", D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf},
        vertexBuffer);
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer8** indexBuffer) {
    const HRESULT hr = record("CreateIndexBuffer", {length, named(usage, usageFlags), named(format, formatName),
                                                    named(pool, poolName)});
    return createBuffer<RecordingIndexBuffer>(
        hr, "IndexBuffer", D3DINDEXBUFFER_DESC{format, D3DRTYPE_INDEXBUFFER, usage, pool, length}, indexBuffer);
}

template <class Buffer, class Desc, class Interface>
HRESULT RecordingDevice::createBuffer(HRESULT recorded, const char* kind, const Desc& desc, Interface** buffer) {
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (FAILED(recorded)) return recorded;
    if (desc.Size == 0) return D3DERR_INVALIDCALL;
    *buffer = new Buffer(this, kind, desc);
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
    if (const HRESULT hr = record("BeginScene", {}); FAILED(hr)) return hr;
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
    if (const HRESULT hr = record("EndScene", {}); FAILED(hr)) return hr;
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                               DWORD stencil) {
    const HRESULT hr =
        record("Clear", {rectCount, rects, named(flags, clearFlags), Arg(hex(colour)), z, stencil});
    return hr;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    const HRESULT hr = record("SetTransform", {named(state, transformName)});
    if (!matrix) return D3DERR_INVALIDCALL;
    state_.transforms[state] = *matrix;
    return hr;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    record("GetTransform", {named(state, transformName)});
    *matrix = state_.transform(state);
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT8* viewport) {
    const HRESULT hr = record("SetViewport", {viewport->X, viewport->Y, viewport->Width, viewport->Height});
    state_.viewport = *viewport;
    return hr;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT8* viewport) {
    if (const HRESULT hr = record("GetViewport", {}); FAILED(hr)) return hr;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8* material) {
    const D3DCOLORVALUE& d = material->Diffuse;
    const HRESULT hr = record("SetMaterial", {d.r, d.g, d.b, d.a});
    state_.material = *material;
    return hr;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL8* material) {
    record("GetMaterial", {});
    *material = state_.material;
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
    const HRESULT hr = record("SetLight", {index, light ? named(light->Type, lightTypeName) : Arg(nullptr)});
    if (!light) return D3DERR_INVALIDCALL;
    return writeSlot(state_.lights, index, *light, hr);
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT8* light) {
    record("GetLight", {index});
    return readSlot(state_.lights, index, light);
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    const HRESULT hr = record("LightEnable", {index, enable});
    return writeSlot(state_.lightEnabled, index, BOOL{enable ? TRUE : FALSE}, hr);
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    record("GetLightEnable", {index});
    return readSlot(state_.lightEnabled, index, enable);
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    const HRESULT hr =
        record("SetRenderState", {named(state, renderStateName), Arg(renderStateValue(state, value))});
    stateTarget().renderStates[state] = value;
    return hr;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    record("GetRenderState", {named(state, renderStateName)});
    *value = state_.renderState(state);
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    const HRESULT hr = record("SetTexture", {stage, texture});
    if (stage >= D3DTSS_STAGE_COUNT) return D3DERR_INVALIDCALL;
    stateTarget().textures[stage] = texture;
    return hr;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    record("GetTexture", {stage});
    if (stage >= D3DTSS_STAGE_COUNT) return D3DERR_INVALIDCALL;
    *texture = state_.texture(stage);
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    const HRESULT hr =
        record("SetTextureStageState", {stage, named(type, stageStateName), Arg(stageStateValue(type, value))});
    stateTarget().stageStates[{stage, type}] = value;
    return hr;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    record("GetTextureStageState", {stage, named(type, stageStateName)});
    *value = state_.stageState(stage, type);
    return D3D_OK;
}

HRESULT RecordingDevice::BeginStateBlock() {
    if (const HRESULT hr = record("BeginStateBlock", {}); FAILED(hr)) return hr;
    if (recording_) return D3DERR_INVALIDCALL;
    recordingBlock_ = StateBlock{};
    recording_ = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndStateBlock(DWORD* token) {
    const HRESULT hr = record("EndStateBlock", {});
    if (!recording_ || !token) return D3DERR_INVALIDCALL;
    recording_ = false;
    if (FAILED(hr)) return hr;
    const DWORD id = nextBlock_++;
    blocks_[id] = recordingBlock_;
    *token = id;
    return D3D_OK;
}

HRESULT RecordingDevice::ApplyStateBlock(DWORD token) {
    const HRESULT hr = record("ApplyStateBlock", {token});
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (auto [state, value] : it->second.renderStates) state_.renderStates[state] = value;
    for (auto [key, value] : it->second.stageStates) state_.stageStates[key] = value;
    for (auto [stage, texture] : it->second.textures) state_.textures[stage] = texture;
    return hr;
}

HRESULT RecordingDevice::CaptureStateBlock(DWORD token) {
    const HRESULT hr = record("CaptureStateBlock", {token});
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (auto& [state, value] : it->second.renderStates)
        value = state_.renderState(static_cast<D3DRENDERSTATETYPE>(state));
    for (auto& [key, value] : it->second.stageStates)
        value = state_.stageState(key.first, static_cast<D3DTEXTURESTAGESTATETYPE>(key.second));
    for (auto& [stage, texture] : it->second.textures) texture = state_.texture(stage);
    return hr;
}

HRESULT RecordingDevice::DeleteStateBlock(DWORD token) {
    const HRESULT hr = record("DeleteStateBlock", {token});
    if (blocks_.erase(token) == 0) return D3DERR_INVALIDCALL;
    return hr;
}

HRESULT RecordingDevice::CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) {
    record("CreateStateBlock", {type});
    if (!token) return D3DERR_INVALIDCALL;
    StateBlock b = state_;
    for (DWORD s = 0; s < D3DTSS_STAGE_COUNT; ++s) b.textures[s] = state_.texture(s);
    const DWORD id = nextBlock_++;
    blocks_[id] = b;
    *token = id;
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(DWORD fvf) {
    const HRESULT hr = record("SetVertexShader", {named(fvf, vertexFormatFlags)});
    state_.fvf = fvf;
    return hr;
}

HRESULT RecordingDevice::GetVertexShader(DWORD* fvf) {
    record("GetVertexShader", {});
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) {
    const HRESULT hr = record("SetStreamSource", {stream, vertexBuffer, stride});
    if (stream != 0) return D3DERR_INVALIDCALL;
    state_.stream = vertexBuffer;
    state_.stride = stride;
    return hr;
}

HRESULT RecordingDevice::GetStreamSource(UINT, IDirect3DVertexBuffer8** vertexBuffer, UINT* stride) {
    record("GetStreamSource", {});
    *vertexBuffer = state_.stream;
    if (state_.stream) state_.stream->AddRef();
    *stride = state_.stride;
    return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer8* indexBuffer, UINT baseVertexIndex) {
    const HRESULT hr = record("SetIndices", {indexBuffer, baseVertexIndex});
    state_.indices = indexBuffer;
    state_.baseVertex = baseVertexIndex;
    return hr;
}

HRESULT RecordingDevice::GetIndices(IDirect3DIndexBuffer8** indexBuffer, UINT* baseVertexIndex) {
    record("GetIndices", {});
    *indexBuffer = state_.indices;
    if (state_.indices) state_.indices->AddRef();
    *baseVertexIndex = state_.baseVertex;
    return D3D_OK;
}

HRESULT RecordingDevice::addDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, const std::uint8_t* vertices,
                                 size_t length) {
    draws_.push_back({calls_.back(), type, primitiveCount, state_, {}});
    if (vertices) draws_.back().bytes.assign(vertices, vertices + length);
    return D3D_OK;
}

// Draws from a locked buffer, or past its end, are refused as Direct3D's debug runtime does.
HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (const HRESULT hr = record("DrawPrimitive", {named(type, primitiveName), startVertex, primitiveCount});
        FAILED(hr))
        return hr;
    auto* buffer = dynamic_cast<RecordingVertexBuffer*>(state_.stream);
    if (!buffer || buffer->locked()) return D3DERR_INVALIDCALL;
    const size_t first = size_t{startVertex} * state_.stride;
    const size_t length = vertexCount(type, primitiveCount) * state_.stride;
    if (first + length > buffer->bytes().size()) return D3DERR_INVALIDCALL;
    return addDraw(type, primitiveCount, buffer->bytes().data() + first, length);
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCountUsed,
                                              UINT startIndex, UINT primitiveCount) {
    if (const HRESULT hr = record("DrawIndexedPrimitive", {named(type, primitiveName), minIndex, vertexCountUsed,
                                                           startIndex, primitiveCount});
        FAILED(hr))
        return hr;
    auto* vertices = dynamic_cast<RecordingVertexBuffer*>(state_.stream);
    auto* indices = dynamic_cast<RecordingIndexBuffer*>(state_.indices);
    if (!vertices || !indices || vertices->locked() || indices->locked()) return D3DERR_INVALIDCALL;
    D3DINDEXBUFFER_DESC desc{};
    indices->GetDesc(&desc);
    const size_t indexBytes = desc.Format == D3DFMT_INDEX32 ? 4 : 2;
    if ((startIndex + vertexCount(type, primitiveCount)) * indexBytes > desc.Size) return D3DERR_INVALIDCALL;
    return addDraw(type, primitiveCount, nullptr, 0);
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                         UINT stride) {
    if (const HRESULT hr = record("DrawPrimitiveUP", {named(type, primitiveName), primitiveCount, vertexData, stride});
        FAILED(hr))
        return hr;
    if (!vertexData) return D3DERR_INVALIDCALL;
    addDraw(type, primitiveCount, static_cast<const std::uint8_t*>(vertexData),
            vertexCount(type, primitiveCount) * stride);
    draws_.back().state.stride = stride;
    // As in Direct3D, drawing from user memory unbinds stream 0.
    state_.stream = nullptr;
    state_.stride = 0;
    return D3D_OK;
}

}  // namespace quorvel::testing
