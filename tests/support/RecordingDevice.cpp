#include "support/RecordingDevice.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace quorvel::test {

namespace {

std::int64_t ptr(const void* p) { return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(p)); }

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

}  // namespace

// --- RecordingTexture --------------------------------------------------------------------------

RecordingTexture::RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool)
    : device_(device), usage_(usage), format_(format), pool_(pool) {
    UINT chain = 1;
    for (UINT w = width, h = height; w > 1 || h > 1; w = std::max(1u, w / 2), h = std::max(1u, h / 2)) ++chain;
    const UINT count = levels == 0 ? chain : std::min(levels, chain);
    UINT w = width, h = height;
    for (UINT i = 0; i < count; ++i) {
        const UINT pitch = w * texelBytes(format);
        levels_.push_back({w, h, pitch, std::vector<std::uint8_t>(static_cast<size_t>(pitch) * h, 0)});
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
    device_->AddRef();
    device_->resourceCreated(pool_);
}

ULONG RecordingTexture::Release() {
    const ULONG n = --refs_;
    if (n == 0) {
        RecordingDevice* device = device_;
        device->resourceReleased(pool_);
        delete this;
        device->Release();
    }
    return n;
}

HRESULT RecordingTexture::GetDevice(IDirect3DDevice8** device) {
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT RecordingTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= levels_.size()) return D3DERR_INVALIDCALL;
    const Level& l = levels_[level];
    *desc = {format_, D3DRTYPE_SURFACE, usage_, pool_, static_cast<UINT>(l.bytes.size()), D3DMULTISAMPLE_NONE,
             l.width, l.height};
    return D3D_OK;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    device_->record("Texture::LockRect", {level, rect ? 1 : 0, flags});
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

// --- Buffers -----------------------------------------------------------------------------------

RecordingVertexBuffer::RecordingVertexBuffer(RecordingDevice* device, UINT length, DWORD usage, DWORD fvf,
                                             D3DPOOL pool)
    : device_(device), bytes_(length, 0), usage_(usage), fvf_(fvf), pool_(pool) {
    device_->AddRef();
    device_->resourceCreated(pool_);
}

ULONG RecordingVertexBuffer::Release() {
    const ULONG n = --refs_;
    if (n == 0) {
        RecordingDevice* device = device_;
        device->resourceReleased(pool_);
        delete this;
        device->Release();
    }
    return n;
}

HRESULT RecordingVertexBuffer::GetDevice(IDirect3DDevice8** device) {
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT RecordingVertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    device_->record("VertexBuffer::Lock", {offset, size, flags});
    if (!data || locked_) return D3DERR_INVALIDCALL;
    if (size == 0) size = static_cast<UINT>(bytes_.size()) - std::min<UINT>(offset, static_cast<UINT>(bytes_.size()));
    if (static_cast<std::uint64_t>(offset) + size > bytes_.size()) return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

HRESULT RecordingVertexBuffer::Unlock() {
    device_->record("VertexBuffer::Unlock", {});
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

HRESULT RecordingVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, usage_, pool_, static_cast<UINT>(bytes_.size()), fvf_};
    return D3D_OK;
}

RecordingIndexBuffer::RecordingIndexBuffer(RecordingDevice* device, UINT length, DWORD usage, D3DFORMAT format,
                                           D3DPOOL pool)
    : device_(device), bytes_(length, 0), usage_(usage), format_(format), pool_(pool) {
    device_->AddRef();
    device_->resourceCreated(pool_);
}

ULONG RecordingIndexBuffer::Release() {
    const ULONG n = --refs_;
    if (n == 0) {
        RecordingDevice* device = device_;
        device->resourceReleased(pool_);
        delete this;
        device->Release();
    }
    return n;
}

HRESULT RecordingIndexBuffer::GetDevice(IDirect3DDevice8** device) {
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT RecordingIndexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
    device_->record("IndexBuffer::Lock", {offset, size, flags});
    if (!data || locked_) return D3DERR_INVALIDCALL;
    if (size == 0) size = static_cast<UINT>(bytes_.size()) - std::min<UINT>(offset, static_cast<UINT>(bytes_.size()));
    if (static_cast<std::uint64_t>(offset) + size > bytes_.size()) return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

HRESULT RecordingIndexBuffer::Unlock() {
    device_->record("IndexBuffer::Unlock", {});
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

HRESULT RecordingIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, static_cast<UINT>(bytes_.size())};
    return D3D_OK;
}

// Back buffer surface: only its description is real.
namespace {
class RecordingSurface final : public IDirect3DSurface8 {
public:
    explicit RecordingSurface(RecordingDevice* device) : device_(device) { device_->AddRef(); }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG n = --refs_;
        if (n == 0) {
            RecordingDevice* device = device_;
            delete this;
            device->Release();
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

// --- RecordingDevice ---------------------------------------------------------------------------

RecordingDevice::RecordingDevice(UINT width, UINT height, IDirect3D8* direct3d) : direct3d_(direct3d) {
    if (direct3d_) direct3d_->AddRef();
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    presentParameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    presentParameters.BackBufferCount = 1;
    presentParameters.Windowed = TRUE;
    viewport_ = {0, 0, width, height, 0.0f, 1.0f};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 2048;
    caps.MaxActiveLights = 8;
    caps.MaxSimultaneousTextures = 2;
    caps.MaxTextureBlendStages = 2;
    caps.TextureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_ALPHA;
    for (auto& l : lights_) {
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Diffuse = {1, 1, 1, 0};
        l.Direction = {0, 0, 1};
    }
}

RecordingDevice::~RecordingDevice() {
    if (direct3d_) direct3d_->Release();
}

ULONG RecordingDevice::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

void RecordingDevice::record(const std::string& method, std::vector<std::int64_t> args, std::vector<float> values) {
    std::ostringstream text;
    text << method << '(';
    bool first = true;
    for (auto a : args) {
        text << (first ? "" : ", ") << a;
        first = false;
    }
    for (auto v : values) {
        text << (first ? "" : ", ") << v;
        first = false;
    }
    text << ')';
    calls_.push_back({method, std::move(args), std::move(values), text.str()});
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

void RecordingDevice::resourceReleased(D3DPOOL pool) {
    --liveResources_;
    if (pool == D3DPOOL_DEFAULT) --liveDefaultPool_;
}

DWORD RecordingDevice::renderState(D3DRENDERSTATETYPE state) const {
    auto it = renderStates_.find(state);
    return it != renderStates_.end() ? it->second : defaultRenderState(state);
}

DWORD RecordingDevice::stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const {
    auto it = stageStates_.find({stage, type});
    return it != stageStates_.end() ? it->second : defaultStageState(stage, type);
}

const D3DMATRIX& RecordingDevice::transform(D3DTRANSFORMSTATETYPE type) const {
    static const D3DMATRIX kIdentity = identity();
    auto it = transforms_.find(type);
    return it != transforms_.end() ? it->second : kIdentity;
}

HRESULT RecordingDevice::TestCooperativeLevel() {
    record("TestCooperativeLevel", {});
    return cooperativeLevel;
}

HRESULT RecordingDevice::GetDirect3D(IDirect3D8** direct3d) {
    record("GetDirect3D", {});
    if (const HRESULT hr = injected("GetDirect3D"); FAILED(hr)) return hr;
    if (!direct3d || !direct3d_) return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS8* out) {
    record("GetDeviceCaps", {});
    if (const HRESULT hr = injected("GetDeviceCaps"); FAILED(hr)) return hr;
    *out = caps;
    return D3D_OK;
}

HRESULT RecordingDevice::GetDisplayMode(D3DDISPLAYMODE* mode) {
    record("GetDisplayMode", {});
    if (const HRESULT hr = injected("GetDisplayMode"); FAILED(hr)) return hr;
    *mode = displayMode;
    return D3D_OK;
}

HRESULT RecordingDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    record("GetCreationParameters", {});
    if (const HRESULT hr = injected("GetCreationParameters"); FAILED(hr)) return hr;
    *parameters = creationParameters;
    return D3D_OK;
}

void RecordingDevice::SetCursorPosition(int x, int y, DWORD flags) { record("SetCursorPosition", {x, y, flags}); }

BOOL RecordingDevice::ShowCursor(BOOL show) {
    record("ShowCursor", {show});
    return TRUE;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    record("Reset", {parameters ? parameters->BackBufferWidth : 0, parameters ? parameters->BackBufferHeight : 0,
                     parameters ? parameters->Windowed : 0});
    if (const HRESULT hr = injected("Reset"); FAILED(hr)) return hr;
    // Direct3D refuses to reset while default-pool resources exist.
    if (!parameters || liveDefaultPool_ > 0) return D3DERR_INVALIDCALL;
    presentParameters = *parameters;
    viewport_ = {0, 0, parameters->BackBufferWidth, parameters->BackBufferHeight, 0.0f, 1.0f};
    renderStates_.clear();
    stageStates_.clear();
    textures_.fill(nullptr);
    stream_ = nullptr;
    indices_ = nullptr;
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND window, const void* dirty) {
    record("Present", {ptr(sourceRect), ptr(destRect), ptr(window), ptr(dirty)});
    return injected("Present");
}

HRESULT RecordingDevice::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** backBuffer) {
    record("GetBackBuffer", {index, type});
    if (const HRESULT hr = injected("GetBackBuffer"); FAILED(hr)) return hr;
    if (!backBuffer || index != 0) return D3DERR_INVALIDCALL;
    *backBuffer = new RecordingSurface(this);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture8** texture) {
    record("CreateTexture", {width, height, levels, usage, format, pool});
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (const HRESULT hr = injected("CreateTexture"); FAILED(hr)) return hr;
    if (width == 0 || height == 0) return D3DERR_INVALIDCALL;
    *texture = new RecordingTexture(this, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer8** vertexBuffer) {
    record("CreateVertexBuffer", {length, usage, fvf, pool});
    if (!vertexBuffer) return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (const HRESULT hr = injected("CreateVertexBuffer"); FAILED(hr)) return hr;
    if (length == 0) return D3DERR_INVALIDCALL;
    *vertexBuffer = new RecordingVertexBuffer(this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer8** indexBuffer) {
    record("CreateIndexBuffer", {length, usage, format, pool});
    if (!indexBuffer) return D3DERR_INVALIDCALL;
    *indexBuffer = nullptr;
    if (const HRESULT hr = injected("CreateIndexBuffer"); FAILED(hr)) return hr;
    if (length == 0) return D3DERR_INVALIDCALL;
    *indexBuffer = new RecordingIndexBuffer(this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
    record("BeginScene", {});
    if (const HRESULT hr = injected("BeginScene"); FAILED(hr)) return hr;
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
    record("EndScene", {});
    if (const HRESULT hr = injected("EndScene"); FAILED(hr)) return hr;
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                               DWORD stencil) {
    record("Clear", {rectCount, ptr(rects), flags, colour, stencil}, {z});
    return injected("Clear");
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    record("SetTransform", {state});
    if (!matrix) return D3DERR_INVALIDCALL;
    transforms_[state] = *matrix;
    return injected("SetTransform");
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    record("GetTransform", {state});
    *matrix = transform(state);
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT8* viewport) {
    record("SetViewport", {viewport->X, viewport->Y, viewport->Width, viewport->Height});
    viewport_ = *viewport;
    return injected("SetViewport");
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT8* viewport) {
    record("GetViewport", {});
    if (const HRESULT hr = injected("GetViewport"); FAILED(hr)) return hr;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL8* material) {
    record("SetMaterial", {}, {material->Diffuse.r, material->Diffuse.g, material->Diffuse.b, material->Diffuse.a});
    material_ = *material;
    return injected("SetMaterial");
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL8* material) {
    record("GetMaterial", {});
    *material = material_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
    record("SetLight", {index, light ? static_cast<std::int64_t>(light->Type) : 0});
    if (!light || index >= lights_.size()) return D3DERR_INVALIDCALL;
    lights_[index] = *light;
    return injected("SetLight");
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT8* light) {
    record("GetLight", {index});
    if (index >= lights_.size()) return D3DERR_INVALIDCALL;
    *light = lights_[index];
    return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable) {
    record("LightEnable", {index, enable});
    if (index >= lightEnabled_.size()) return D3DERR_INVALIDCALL;
    lightEnabled_[index] = enable ? TRUE : FALSE;
    return injected("LightEnable");
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable) {
    record("GetLightEnable", {index});
    if (index >= lightEnabled_.size()) return D3DERR_INVALIDCALL;
    *enable = lightEnabled_[index];
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    record("SetRenderState", {state, value});
    if (recording_)
        recording_->renderStates[state] = value;
    else
        renderStates_[state] = value;
    return injected("SetRenderState");
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    record("GetRenderState", {state});
    *value = renderState(state);
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    record("SetTexture", {stage, ptr(texture)});
    if (stage >= textures_.size()) return D3DERR_INVALIDCALL;
    if (recording_)
        recording_->textures[stage] = texture;
    else
        textures_[stage] = texture;
    return injected("SetTexture");
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    record("GetTexture", {stage});
    if (stage >= textures_.size()) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    record("SetTextureStageState", {stage, type, value});
    if (recording_)
        recording_->stageStates[{stage, type}] = value;
    else
        stageStates_[{stage, type}] = value;
    return injected("SetTextureStageState");
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    record("GetTextureStageState", {stage, type});
    *value = stageState(stage, type);
    return D3D_OK;
}

HRESULT RecordingDevice::BeginStateBlock() {
    record("BeginStateBlock", {});
    if (const HRESULT hr = injected("BeginStateBlock"); FAILED(hr)) return hr;
    if (recording_) return D3DERR_INVALIDCALL;
    recordingBlock_ = Block{};
    recording_ = &recordingBlock_;
    return D3D_OK;
}

HRESULT RecordingDevice::EndStateBlock(DWORD* token) {
    record("EndStateBlock", {});
    if (!recording_ || !token) return D3DERR_INVALIDCALL;
    recording_ = nullptr;
    if (const HRESULT hr = injected("EndStateBlock"); FAILED(hr)) return hr;
    const DWORD id = nextBlock_++;
    blocks_[id] = recordingBlock_;
    *token = id;
    return D3D_OK;
}

HRESULT RecordingDevice::ApplyStateBlock(DWORD token) {
    record("ApplyStateBlock", {token});
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (auto [state, value] : it->second.renderStates) renderStates_[state] = value;
    for (auto [key, value] : it->second.stageStates) stageStates_[key] = value;
    for (auto [stage, texture] : it->second.textures) textures_[stage] = texture;
    return injected("ApplyStateBlock");
}

HRESULT RecordingDevice::CaptureStateBlock(DWORD token) {
    record("CaptureStateBlock", {token});
    auto it = blocks_.find(token);
    if (it == blocks_.end()) return D3DERR_INVALIDCALL;
    for (auto& [state, value] : it->second.renderStates) value = renderState(static_cast<D3DRENDERSTATETYPE>(state));
    for (auto& [key, value] : it->second.stageStates)
        value = stageState(key.first, static_cast<D3DTEXTURESTAGESTATETYPE>(key.second));
    for (auto& [stage, texture] : it->second.textures) texture = textures_[stage];
    return injected("CaptureStateBlock");
}

HRESULT RecordingDevice::DeleteStateBlock(DWORD token) {
    record("DeleteStateBlock", {token});
    if (blocks_.erase(token) == 0) return D3DERR_INVALIDCALL;
    return injected("DeleteStateBlock");
}

HRESULT RecordingDevice::CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) {
    record("CreateStateBlock", {type});
    if (!token) return D3DERR_INVALIDCALL;
    Block b;
    b.renderStates = renderStates_;
    b.stageStates = stageStates_;
    for (DWORD s = 0; s < textures_.size(); ++s) b.textures[s] = textures_[s];
    const DWORD id = nextBlock_++;
    blocks_[id] = b;
    *token = id;
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(DWORD fvf) {
    record("SetVertexShader", {fvf});
    fvf_ = fvf;
    return injected("SetVertexShader");
}

HRESULT RecordingDevice::GetVertexShader(DWORD* fvf) {
    record("GetVertexShader", {});
    *fvf = fvf_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* vertexBuffer, UINT stride) {
    record("SetStreamSource", {stream, ptr(vertexBuffer), stride});
    if (stream != 0) return D3DERR_INVALIDCALL;
    stream_ = vertexBuffer;
    stride_ = stride;
    return injected("SetStreamSource");
}

HRESULT RecordingDevice::GetStreamSource(UINT, IDirect3DVertexBuffer8** vertexBuffer, UINT* stride) {
    record("GetStreamSource", {});
    *vertexBuffer = stream_;
    if (stream_) stream_->AddRef();
    *stride = stride_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer8* indexBuffer, UINT baseVertexIndex) {
    record("SetIndices", {ptr(indexBuffer), baseVertexIndex});
    indices_ = indexBuffer;
    baseVertex_ = baseVertexIndex;
    return injected("SetIndices");
}

HRESULT RecordingDevice::GetIndices(IDirect3DIndexBuffer8** indexBuffer, UINT* baseVertexIndex) {
    record("GetIndices", {});
    *indexBuffer = indices_;
    if (indices_) indices_->AddRef();
    *baseVertexIndex = baseVertex_;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    record("DrawPrimitive", {type, startVertex, primitiveCount});
    return injected("DrawPrimitive");
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                              UINT startIndex, UINT primitiveCount) {
    record("DrawIndexedPrimitive", {type, minIndex, vertexCount, startIndex, primitiveCount});
    return injected("DrawIndexedPrimitive");
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                         UINT stride) {
    record("DrawPrimitiveUP", {type, primitiveCount, ptr(vertexData), stride});
    stream_ = nullptr;
    return injected("DrawPrimitiveUP");
}

}  // namespace quorvel::test
