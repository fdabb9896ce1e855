// A configurable IDirect3D8 for enumeration and device-creation tests.
//
// Adapters, their desktop mode and display modes, the caps of each device type, and which
// checks pass are plain data that tests fill in. By default every check passes for formats in
// the accepted sets (see FakeDeviceType), CreateDevice makes a RecordingDevice with the
// presentation parameters it was given, and every call is logged in calls() as text.
// Reference counting is real: the object deletes itself at zero, so tests can check that the
// code under test releases it (or hold their own reference to inspect it afterwards).
#pragma once

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace quorvel::test {

class RecordingDevice;

struct FakeDeviceType {
    bool available = true;  // GetDeviceCaps and CheckDeviceType succeed at all
    D3DCAPS8 caps{};
    // Display formats for which CheckDeviceType passes (windowed: the desktop format must be
    // in the set too).
    std::set<D3DFORMAT> displayFormats{D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    // Depth-stencil formats for CheckDeviceFormat (depth usage) and CheckDepthStencilMatch.
    std::set<D3DFORMAT> depthFormats{D3DFMT_D16, D3DFMT_D24S8};
    // Texture formats for CheckDeviceFormat without depth usage.
    std::set<D3DFORMAT> textureFormats{D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,  D3DFMT_A4R4G4B4,
                                       D3DFMT_X4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5};
    // Multisample types other than none that pass, for any format and window mode.
    std::set<D3DMULTISAMPLE_TYPE> multiSampleTypes;
};

struct FakeAdapter {
    std::string description = "Fake adapter";
    std::string driver = "fake";
    D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDISPLAYMODE> modes{{640, 480, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5},
                                      {800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8}};
    FakeDeviceType hal = halDefaults();
    FakeDeviceType ref = refDefaults();

    static FakeDeviceType halDefaults();
    static FakeDeviceType refDefaults();
};

class FakeDirect3D final : public IDirect3D8 {
public:
    // One default adapter.
    FakeDirect3D();

    std::vector<FakeAdapter> adapters;
    // Replaces device creation; receives the arguments and returns the result and device.
    std::function<HRESULT(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags, D3DPRESENT_PARAMETERS*,
                          IDirect3DDevice8**)>
        createDevice;
    HRESULT createDeviceResult = D3D_OK;  // used when createDevice is not set
    RecordingDevice* lastDevice = nullptr;  // the last device made by the default creation
    std::vector<std::string> calls;
    ULONG refCount() const { return refs_; }

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

private:
    ~FakeDirect3D() override = default;
    // The device type's table, or null for an unknown adapter or type.
    FakeDeviceType* deviceType(UINT adapter, D3DDEVTYPE type);
    void log(const std::string& text) { calls.push_back(text); }

    ULONG refs_ = 1;
};

}  // namespace quorvel::test
