#include "platform/gl/GlDirect3D.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include "platform/gl/GlDevice.h"
#include "platform/gl/GlFormats.h"
#include "platform/gl/DriverEnvironment.h"

namespace quorvel::gl {

GlDirect3D* GlDirect3D::create() {
    prepareDriverEnvironment();  // read by the GL driver when it loads
    const bool running = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!running && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    // Load the GL driver once for the life of the process. SDL would otherwise unload it with
    // its last GL window (the probe window, then the show's window on every recreation) and
    // load it again, and the leak checker could no longer attribute the driver's caches.
    static const bool driverLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
    (void)driverLoaded;
    auto* d3d = new GlDirect3D();
    d3d->ownsVideo_ = !running;
    return d3d;
}

GlDirect3D::~GlDirect3D() {
    if (ownsVideo_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

ULONG GlDirect3D::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

void GlDirect3D::probe() {
    if (probed_) return;
    probed_ = true;
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("quorvel probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) return;
    if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
        if (const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER))) renderer_ = name;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples_);
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(window);
    if (previousContext) SDL_GL_MakeCurrent(previousWindow, previousContext);
}

bool GlDirect3D::validAdapter(UINT adapter) {
    return adapter < GetAdapterCount();
}

UINT GlDirect3D::GetAdapterCount() {
    const int n = SDL_GetNumVideoDisplays();
    return n > 0 ? static_cast<UINT>(n) : 0;
}

HRESULT GlDirect3D::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier) {
    if (!identifier || !validAdapter(adapter)) return D3DERR_INVALIDCALL;
    probe();
    *identifier = D3DADAPTER_IDENTIFIER8{};
    std::snprintf(identifier->Driver, sizeof identifier->Driver, "OpenGL (%s)", SDL_GetCurrentVideoDriver());
    const char* display = SDL_GetDisplayName(static_cast<int>(adapter));
    std::snprintf(identifier->Description, sizeof identifier->Description, "%s on display %s",
                  renderer_.c_str(), display ? display : "?");
    identifier->DeviceIdentifier[0] = static_cast<BYTE>(adapter);
    return D3D_OK;
}

UINT GlDirect3D::GetAdapterModeCount(UINT adapter) {
    if (!validAdapter(adapter)) return 0;
    const int n = SDL_GetNumDisplayModes(static_cast<int>(adapter));
    return n > 0 ? static_cast<UINT>(n) : 0;
}

HRESULT GlDirect3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
    if (!displayMode || !validAdapter(adapter) || mode >= GetAdapterModeCount(adapter)) return D3DERR_INVALIDCALL;
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(static_cast<int>(adapter), static_cast<int>(mode), &m) != 0) return D3DERR_INVALIDCALL;
    // Drivers without real modes (offscreen, dummy) list one mode of size 0 x 0, meaning any
    // size; it stands for the desktop mode.
    if (m.w <= 0 || m.h <= 0) return GetAdapterDisplayMode(adapter, displayMode);
    *displayMode = {static_cast<UINT>(m.w), static_cast<UINT>(m.h), static_cast<UINT>(m.refresh_rate),
                    formatFromSdl(m.format)};
    return D3D_OK;
}

HRESULT GlDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
    if (!displayMode || !validAdapter(adapter)) return D3DERR_INVALIDCALL;
    SDL_DisplayMode m;
    if (SDL_GetCurrentDisplayMode(static_cast<int>(adapter), &m) != 0 &&
        SDL_GetDesktopDisplayMode(static_cast<int>(adapter), &m) != 0)
        return D3DERR_INVALIDCALL;
    *displayMode = {static_cast<UINT>(m.w), static_cast<UINT>(m.h), static_cast<UINT>(m.refresh_rate),
                    formatFromSdl(m.format)};
    return D3D_OK;
}

HRESULT GlDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) {
    if (!validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    if (!isDisplayFormat(displayFormat)) return D3DERR_NOTAVAILABLE;
    if (backBufferFormat != D3DFMT_UNKNOWN && renderTargetFormat(backBufferFormat) == 0) return D3DERR_NOTAVAILABLE;
    if (windowed) {
        D3DDISPLAYMODE desktop;
        if (FAILED(GetAdapterDisplayMode(adapter, &desktop)) || desktop.Format != displayFormat)
            return D3DERR_NOTAVAILABLE;
        return D3D_OK;
    }
    // Fullscreen needs a display mode in that format.
    const UINT count = GetAdapterModeCount(adapter);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE m;
        if (SUCCEEDED(EnumAdapterModes(adapter, i, &m)) && m.Format == displayFormat) return D3D_OK;
    }
    return D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (!validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    if (!isDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        return resourceType == D3DRTYPE_SURFACE && depthStencilFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_RENDERTARGET)
        return resourceType == D3DRTYPE_SURFACE && renderTargetFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (resourceType == D3DRTYPE_TEXTURE) return isTextureFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (resourceType == D3DRTYPE_SURFACE) return isTextureFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    return D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL,
                                               D3DMULTISAMPLE_TYPE multiSampleType) {
    if (!validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    if (renderTargetFormat(surfaceFormat) == 0) return D3DERR_NOTAVAILABLE;
    if (multiSampleType == D3DMULTISAMPLE_NONE) return D3D_OK;
    probe();
    const UINT n = multiSampleType;
    const bool powerOfTwo = n >= 2 && (n & (n - 1)) == 0;
    return powerOfTwo && static_cast<int>(n) <= maxSamples_ ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT renderTargetFormat_,
                                           D3DFORMAT depthStencilFormat_) {
    if (!validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    return renderTargetFormat(renderTargetFormat_) && depthStencilFormat(depthStencilFormat_) ? D3D_OK
                                                                                             : D3DERR_NOTAVAILABLE;
}

HRESULT GlDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
    if (!caps || !validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    probe();
    D3DCAPS8 c{};
    c.DeviceType = type;
    c.AdapterOrdinal = adapter;
    c.Caps2 = D3DCAPS2_CANRENDERWINDOWED | D3DCAPS2_DYNAMICTEXTURES;
    c.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    c.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_DRAWPRIMTLVERTEX |
                D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_TEXTUREVIDEOMEMORY;
    if (type == D3DDEVTYPE_HAL) c.DevCaps |= D3DDEVCAPS_PUREDEVICE;
    c.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
    c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;
    c.SrcBlendCaps = c.DestBlendCaps = 0x1FFF;
    c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
    c.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                          D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    c.TextureAddressCaps = 0x1F;
    c.MaxTextureWidth = c.MaxTextureHeight = static_cast<DWORD>(std::max(maxTextureSize_, 256));
    c.MaxTextureRepeat = 8192;
    c.MaxTextureAspectRatio = c.MaxTextureWidth;
    c.MaxAnisotropy = 1;
    c.MaxVertexW = 1e10f;
    c.FVFCaps = 2;  // texture coordinate sets
    c.TextureOpCaps = 0x0000FFFF;
    c.MaxTextureBlendStages = 2;
    c.MaxSimultaneousTextures = 2;
    c.VertexProcessingCaps = D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    c.MaxActiveLights = 8;
    c.MaxPointSize = 1.0f;
    c.MaxPrimitiveCount = 0x00FFFFFF;
    c.MaxVertexIndex = 0x0000FFFF;
    c.MaxStreams = 1;
    c.MaxStreamStride = 256;
    *caps = c;
    return D3D_OK;
}

HMONITOR GlDirect3D::GetAdapterMonitor(UINT adapter) {
    // Monitors have no handles here; the adapter number plus one identifies one.
    return validAdapter(adapter) ? reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(adapter) + 1) : nullptr;
}

HRESULT GlDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
    if (!device || !parameters || !validAdapter(adapter) || !validDeviceType(type)) return D3DERR_INVALIDCALL;
    return GlDevice::create(this, adapter, type, focusWindow, behaviorFlags, parameters, device);
}

}  // namespace quorvel::gl

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return quorvel::gl::GlDirect3D::create();
}
