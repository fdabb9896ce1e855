// IDirect3D8 over SDL and OpenGL: adapters are SDL's displays, display modes come from SDL,
// the hardware device is the GL driver SDL gives and the reference device is Mesa's software
// rasteriser (requested with LIBGL_ALWAYS_SOFTWARE while its context is made).
//
// Capabilities that need GL (maximum texture size, sample counts, renderer name) are read once
// from a hidden probe window and context the first time they are asked for.
#pragma once

#include <string>

#include "platform/d3d8/d3d8.h"

namespace quorvel::gl {

class GlDirect3D final : public IDirect3D8 {
public:
    // Null when SDL's video subsystem cannot start.
    static GlDirect3D* create();

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSampleType) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HMONITOR GetAdapterMonitor(UINT adapter) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) override;

    bool validAdapter(UINT adapter);
    static bool validDeviceType(D3DDEVTYPE type) { return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF; }

private:
    GlDirect3D() = default;
    ~GlDirect3D() override;
    void probe();

    ULONG refs_ = 1;
    bool ownsVideo_ = false;
    bool probed_ = false;
    std::string renderer_ = "OpenGL";
    int maxTextureSize_ = 2048;
    int maxSamples_ = 0;
};

}  // namespace quorvel::gl
