// A configurable IDirect3D8 for enumeration and device-creation tests.
//
// Adapters, their desktop mode and display modes, the caps of each device type, and which
// checks pass are plain data that tests fill in. By default every check passes for formats in
// the accepted sets (see FakeDeviceType), CreateDevice makes a RecordingDevice with the
// presentation parameters it was given, and every call is logged in calls as text with
// Direct3D's names ("CreateDevice(0, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING)").
// Reference counting is real: the object deletes itself at zero, so tests can check that the
// code under test releases it (or hold their own reference to inspect it afterwards).
#pragma once

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "support/D3DNames.h"

namespace quorvel::testing {

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
    // Multisample types other than none that pass, per window mode and surface format.
    std::set<std::tuple<BOOL, D3DFORMAT, D3DMULTISAMPLE_TYPE>> multiSamples;
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
    // Replaces device creation; receives the arguments and returns the result and device. It
    // may call makeDevice for the default creation.
    std::function<HRESULT(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags, D3DPRESENT_PARAMETERS*,
                          IDirect3DDevice8**)>
        createDevice;
    HRESULT createDeviceResult = D3D_OK;  // used when createDevice is not set
    RecordingDevice* lastDevice = nullptr;  // the last device made by makeDevice
    std::vector<std::string> calls;
    ULONG refCount() const { return refs_; }

    // --- IDirect3D8 (see platform/d3d8/d3d8.h) ------------------------------------------------
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT, DWORD, D3DADAPTER_IDENTIFIER8*) override;
    UINT GetAdapterModeCount(UINT) override;
    HRESULT EnumAdapterModes(UINT, UINT, D3DDISPLAYMODE*) override;
    HRESULT GetAdapterDisplayMode(UINT, D3DDISPLAYMODE*) override;
    HRESULT CheckDeviceType(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, BOOL) override;
    HRESULT CheckDeviceFormat(UINT, D3DDEVTYPE, D3DFORMAT, DWORD, D3DRESOURCETYPE, D3DFORMAT) override;
    HRESULT CheckDeviceMultiSampleType(UINT, D3DDEVTYPE, D3DFORMAT, BOOL, D3DMULTISAMPLE_TYPE) override;
    HRESULT CheckDepthStencilMatch(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT, D3DFORMAT) override;
    HRESULT GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS8*) override;
    HMONITOR GetAdapterMonitor(UINT) override;
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice8**) override;

    // The default creation: a RecordingDevice with the device type's caps, the creation and
    // presentation parameters and the adapter's desktop mode; createDeviceResult if it fails.
    HRESULT makeDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);

private:
    ~FakeDirect3D() override = default;
    // The device type's table, or null for an unknown adapter or type.
    FakeDeviceType* deviceType(UINT adapter, D3DDEVTYPE type);
    void log(const std::string& method, std::initializer_list<Arg> args) { calls.push_back(callText(method, args)); }

    ULONG refs_ = 1;
};

}  // namespace quorvel::testing
