// GlDevice: creation, presentation parameters, Reset, loss, reference counts and resource
// creation.
#include "platform/gl/GlDevice.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <SDL2/SDL.h>

#include "platform/gl/GlDirect3D.h"
#include "platform/gl/GlFormats.h"
#include "platform/gl/GlResources.h"

namespace quorvel::gl {

namespace {

SDL_Window* sdlWindow(void* w) { return static_cast<SDL_Window*>(w); }

// Makes the GL context for the window; the reference device asks Mesa for its software
// rasteriser, which is read when the context's driver is loaded.
SDL_GLContext createContext(SDL_Window* window, D3DDEVTYPE type) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    if (type != D3DDEVTYPE_REF) return SDL_GL_CreateContext(window);
    const char* previous = std::getenv("LIBGL_ALWAYS_SOFTWARE");
    const std::string saved = previous ? previous : "";
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (previous)
        setenv("LIBGL_ALWAYS_SOFTWARE", saved.c_str(), 1);
    else
        unsetenv("LIBGL_ALWAYS_SOFTWARE");
    return context;
}

}  // namespace

GlDevice::GlDevice(GlDirect3D* direct3d, UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags)
    : direct3d_(direct3d), adapter_(adapter), type_(type), focusWindow_(focusWindow), behaviorFlags_(behaviorFlags) {
    direct3d_->AddRef();
}

GlDevice::~GlDevice() {
    if (context_) {
        SDL_GL_MakeCurrent(sdlWindow(window_), context_);
        unbindAll();
        for (auto& [token, block] : stateBlocks_) releaseStateBlock(*block);
        stateBlocks_.clear();
        if (recording_) releaseStateBlock(*recording_);
        recording_.reset();
        rememberPrograms();
        for (auto& [key, program] : programs_) glDeleteProgram(program.program);
        destroyRenderTargets();
        presenter_.destroy();
        glDeleteSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteBuffers(1, &userVertexBuffer_);
        SDL_GL_MakeCurrent(sdlWindow(window_), nullptr);
        SDL_GL_DeleteContext(context_);
    }
    direct3d_->Release();
}

HRESULT GlDevice::create(GlDirect3D* direct3d, UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                         DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
    *device = nullptr;
    const DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                              D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
    // Exactly one vertex processing mode, as Direct3D demands.
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_MIXED_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    auto* d = new GlDevice(direct3d, adapter, type, focusWindow, behaviorFlags);
    const HRESULT hr = d->initialise(*parameters);
    if (FAILED(hr)) {
        d->Release();
        return hr;
    }
    *parameters = d->parameters_;
    *device = d;
    return D3D_OK;
}

HRESULT GlDevice::initialise(const D3DPRESENT_PARAMETERS& requested) {
    window_ = requested.hDeviceWindow ? requested.hDeviceWindow : focusWindow_;
    if (!window_) return D3DERR_INVALIDCALL;
    if (!(SDL_GetWindowFlags(sdlWindow(window_)) & SDL_WINDOW_OPENGL)) return D3DERR_NOTAVAILABLE;
    D3DPRESENT_PARAMETERS p = requested;
    HRESULT hr = applyPresentParameters(p);
    if (FAILED(hr)) return hr;
    context_ = createContext(sdlWindow(window_), type_);
    if (!context_) {
        std::fprintf(stderr, "quorvel: OpenGL 3.3 context failed: %s\n", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    SDL_GL_MakeCurrent(sdlWindow(window_), context_);
    parameters_ = p;
    setUpGlDefaults();
    buildRememberedPrograms();
    if (!presenter_.create() || !createRenderTargets()) return D3DERR_OUTOFVIDEOMEMORY;
    SDL_GL_SetSwapInterval(!p.Windowed && p.FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE ? 1 : 0);
    resetState();
    return D3D_OK;
}

// Validates the parameters, fills in what Direct3D fills in (window size, desktop format) and
// puts the window into the asked mode.
HRESULT GlDevice::applyPresentParameters(D3DPRESENT_PARAMETERS& p) {
    SDL_Window* window = sdlWindow(window_);
    if (p.BackBufferCount > 1 || p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && depthStencilFormat(p.AutoDepthStencilFormat) == 0) return D3DERR_INVALIDCALL;
    if (p.MultiSampleType != D3DMULTISAMPLE_NONE &&
        FAILED(direct3d_->CheckDeviceMultiSampleType(adapter_, type_, p.BackBufferFormat == D3DFMT_UNKNOWN
                                                                           ? D3DFMT_X8R8G8B8
                                                                           : p.BackBufferFormat,
                                                     p.Windowed, p.MultiSampleType)))
        return D3DERR_INVALIDCALL;
    p.BackBufferCount = 1;
    if (p.Windowed) {
        D3DDISPLAYMODE desktop;
        if (FAILED(direct3d_->GetAdapterDisplayMode(adapter_, &desktop))) return D3DERR_NOTAVAILABLE;
        if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = desktop.Format;
        if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window, 0);
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        if (p.BackBufferWidth == 0) p.BackBufferWidth = w > 0 ? static_cast<UINT>(w) : 1;
        if (p.BackBufferHeight == 0) p.BackBufferHeight = h > 0 ? static_cast<UINT>(h) : 1;
    } else {
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) return D3DERR_INVALIDCALL;
        SDL_DisplayMode wanted{};
        wanted.w = static_cast<int>(p.BackBufferWidth);
        wanted.h = static_cast<int>(p.BackBufferHeight);
        wanted.refresh_rate = static_cast<int>(p.FullScreen_RefreshRateInHz);
        SDL_DisplayMode closest;
        if (!SDL_GetClosestDisplayMode(static_cast<int>(adapter_), &wanted, &closest)) return D3DERR_NOTAVAILABLE;
        SDL_SetWindowDisplayMode(window, &closest);
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) return D3DERR_NOTAVAILABLE;
    }
    if (renderTargetFormat(p.BackBufferFormat) == 0) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

void GlDevice::setUpGlDefaults() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // Flat shading takes the first vertex's colour, as Direct3D does.
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    // Rows run top to bottom in our framebuffer, which turns Direct3D's clockwise screen
    // winding into GL's counter-clockwise: front faces are GL_CCW.
    glFrontFace(GL_CCW);
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenBuffers(1, &userVertexBuffer_);
    glGenSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
    for (DWORD s = 0; s < kStageCount; ++s) glBindSampler(s, samplers_[s]);
}

void GlDevice::resetState() {
    state_ = defaultDeviceState(parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                                parameters_.EnableAutoDepthStencil != FALSE);
    keyDirty_ = pipelineDirty_ = derivedTransformsDirty_ = lightsDirty_ = true;
    samplerDirty_.fill(true);
    textureBindingDirty_.fill(true);
    ++transformVersion_;
    ++projectionVersion_;
    ++materialVersion_;
    ++lightVersion_;
    ++miscVersion_;
    layoutBuffer_ = 0;
    layoutOffset_ = -1;
    inScene_ = false;
}

void GlDevice::unbindAll() {
    for (DWORD s = 0; s < kStageCount; ++s) setTextureBinding(s, nullptr);
    setStreamBinding(nullptr, 0);
    setIndexBinding(nullptr, 0);
}

void GlDevice::resourceCreated(D3DPOOL pool) {
    if (pool == D3DPOOL_DEFAULT) ++defaultPoolResources_;
}

void GlDevice::resourceReleased(D3DPOOL pool) {
    if (pool == D3DPOOL_DEFAULT && defaultPoolResources_ > 0) --defaultPoolResources_;
}

ULONG GlDevice::AddRef() { return ++refs_; }

ULONG GlDevice::Release() {
    if (refs_ == 0) return 0;
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

void GlDevice::updateLossState() {
    const Uint32 flags = SDL_GetWindowFlags(sdlWindow(window_));
    loss_.update(parameters_.Windowed != FALSE, (flags & SDL_WINDOW_MINIMIZED) != 0,
                 (flags & SDL_WINDOW_INPUT_FOCUS) != 0);
}

HRESULT GlDevice::TestCooperativeLevel() {
    updateLossState();
    switch (loss_.state()) {
    case DeviceLoss::State::Lost: return D3DERR_DEVICELOST;
    case DeviceLoss::State::NeedsReset: return D3DERR_DEVICENOTRESET;
    default: return D3D_OK;
    }
}

UINT GlDevice::GetAvailableTextureMem() { return 256u * 1024u * 1024u; }

HRESULT GlDevice::GetDirect3D(IDirect3D8** direct3d) {
    if (!direct3d) return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

HRESULT GlDevice::GetDeviceCaps(D3DCAPS8* caps) { return direct3d_->GetDeviceCaps(adapter_, type_, caps); }

HRESULT GlDevice::GetDisplayMode(D3DDISPLAYMODE* mode) { return direct3d_->GetAdapterDisplayMode(adapter_, mode); }

HRESULT GlDevice::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    *parameters = {adapter_, type_, focusWindow_, behaviorFlags_};
    return D3D_OK;
}

// The device cursor is the system cursor; its position follows the mouse by itself.
void GlDevice::SetCursorPosition(int, int, DWORD) {}

BOOL GlDevice::ShowCursor(BOOL show) {
    const int previous = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    return previous == SDL_ENABLE ? TRUE : FALSE;
}

HRESULT GlDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    // A device cannot be reset while its fullscreen window is still away.
    updateLossState();
    if (loss_.state() == DeviceLoss::State::Lost) return D3DERR_DEVICELOST;
    // Default-pool resources do not survive a reset; the application must release them first.
    if (defaultPoolResources_ > 0) return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS p = *parameters;
    if (!p.hDeviceWindow) p.hDeviceWindow = window_;
    if (p.hDeviceWindow != window_) return D3DERR_INVALIDCALL;
    const HRESULT hr = applyPresentParameters(p);
    if (FAILED(hr)) return hr;
    SDL_GL_MakeCurrent(sdlWindow(window_), context_);
    unbindAll();
    destroyRenderTargets();
    parameters_ = p;
    if (!createRenderTargets()) return D3DERR_OUTOFVIDEOMEMORY;
    SDL_GL_SetSwapInterval(!p.Windowed && p.FullScreen_PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE ? 1 : 0);
    resetState();
    loss_.reset();
    *parameters = p;
    return D3D_OK;
}

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || !isTextureFormat(format) || (usage & D3DUSAGE_RENDERTARGET) ||
        pool == D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    D3DCAPS8 caps;
    GetDeviceCaps(&caps);
    if (width > caps.MaxTextureWidth || height > caps.MaxTextureHeight) return D3DERR_INVALIDCALL;
    while (glGetError() != GL_NO_ERROR) {
    }
    auto* t = new GlTexture(this, width, height, levels, usage, format, pool);
    if (!t->valid()) {
        t->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *texture = t;
    return D3D_OK;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** vertexBuffer) {
    if (!vertexBuffer) return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (length == 0 || pool == D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    while (glGetError() != GL_NO_ERROR) {
    }
    auto* b = new GlVertexBuffer(this, length, usage, fvf, pool);
    if (!b->valid()) {
        b->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *vertexBuffer = b;
    return D3D_OK;
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** indexBuffer) {
    if (!indexBuffer) return D3DERR_INVALIDCALL;
    *indexBuffer = nullptr;
    // 16-bit indices only: the device reports MaxVertexIndex 0xFFFF.
    if (length == 0 || format != D3DFMT_INDEX16 || pool == D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    while (glGetError() != GL_NO_ERROR) {
    }
    auto* b = new GlIndexBuffer(this, length, usage, format, pool);
    if (!b->valid()) {
        b->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *indexBuffer = b;
    return D3D_OK;
}

}  // namespace quorvel::gl
