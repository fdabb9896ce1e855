// A Direct3D object described by a table, for the device-table and dialog tests: adapters with
// their desktop and display modes, per device type the caps and which display formats, depth
// formats and multisample types pass the checks. CreateDevice hands out a device a test gives.
#pragma once

#include "platform/d3d8/d3d8.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace quorvel::testing {

struct TableDevice {
    bool present = true;                 // GetDeviceCaps succeeds
    D3DCAPS8 caps{};
    std::set<D3DFORMAT> displayFormats;  // CheckDeviceType passes (fullscreen)
    std::set<D3DFORMAT> depthFormats;    // CheckDeviceFormat and CheckDepthStencilMatch pass
    // Multisample types accepted, per (windowed, format); empty means "none" only.
    std::set<std::tuple<BOOL, D3DFORMAT, D3DMULTISAMPLE_TYPE>> multiSamples;
};

struct TableAdapter {
    std::string description = "Test adapter";
    D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDISPLAYMODE> modes;
    TableDevice hal, ref;
};

inline D3DCAPS8 windowCapableCaps(DWORD devCaps = 0) {
    D3DCAPS8 caps{};
    caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    caps.DevCaps = devCaps;
    return caps;
}

class TableDirect3D final : public IDirect3D8 {
public:
    std::vector<TableAdapter> adapters;
    ULONG refs = 1;
    int createCalls = 0;
    std::function<HRESULT(UINT, D3DDEVTYPE, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice8**)> onCreateDevice;

    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    UINT GetAdapterCount() override { return static_cast<UINT>(adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT a, DWORD, D3DADAPTER_IDENTIFIER8* id) override {
        if (a >= adapters.size()) return D3DERR_INVALIDCALL;
        *id = D3DADAPTER_IDENTIFIER8{};
        std::snprintf(id->Description, sizeof id->Description, "%s", adapters[a].description.c_str());
        return D3D_OK;
    }
    UINT GetAdapterModeCount(UINT a) override {
        return a < adapters.size() ? static_cast<UINT>(adapters[a].modes.size()) : 0;
    }
    HRESULT EnumAdapterModes(UINT a, UINT m, D3DDISPLAYMODE* mode) override {
        if (a >= adapters.size() || m >= adapters[a].modes.size()) return D3DERR_INVALIDCALL;
        *mode = adapters[a].modes[m];
        return D3D_OK;
    }
    HRESULT GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* mode) override {
        if (a >= adapters.size()) return D3DERR_INVALIDCALL;
        *mode = adapters[a].desktop;
        return D3D_OK;
    }
    HRESULT CheckDeviceType(UINT a, D3DDEVTYPE t, D3DFORMAT display, D3DFORMAT back, BOOL) override {
        const TableDevice* d = device(a, t);
        if (!d || display != back) return D3DERR_NOTAVAILABLE;
        return d->displayFormats.count(display) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceFormat(UINT a, D3DDEVTYPE t, D3DFORMAT, DWORD usage, D3DRESOURCETYPE,
                              D3DFORMAT check) override {
        const TableDevice* d = device(a, t);
        if (!d || !(usage & D3DUSAGE_DEPTHSTENCIL)) return D3DERR_NOTAVAILABLE;
        return d->depthFormats.count(check) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceMultiSampleType(UINT a, D3DDEVTYPE t, D3DFORMAT format, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE type) override {
        const TableDevice* d = device(a, t);
        if (!d) return D3DERR_NOTAVAILABLE;
        if (type == D3DMULTISAMPLE_NONE) return D3D_OK;
        return d->multiSamples.count({windowed, format, type}) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDepthStencilMatch(UINT a, D3DDEVTYPE t, D3DFORMAT, D3DFORMAT, D3DFORMAT depth) override {
        const TableDevice* d = device(a, t);
        return d && d->depthFormats.count(depth) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS8* caps) override {
        const TableDevice* d = device(a, t);
        if (!d || !d->present) return D3DERR_NOTAVAILABLE;
        *caps = d->caps;
        caps->DeviceType = t;
        caps->AdapterOrdinal = a;
        return D3D_OK;
    }
    HMONITOR GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT CreateDevice(UINT a, D3DDEVTYPE t, HWND, DWORD behaviour, D3DPRESENT_PARAMETERS* pp,
                         IDirect3DDevice8** out) override {
        ++createCalls;
        *out = nullptr;
        if (!onCreateDevice) return D3DERR_NOTAVAILABLE;
        return onCreateDevice(a, t, behaviour, pp, out);
    }

private:
    const TableDevice* device(UINT a, D3DDEVTYPE t) const {
        if (a >= adapters.size()) return nullptr;
        return t == D3DDEVTYPE_HAL ? &adapters[a].hal : t == D3DDEVTYPE_REF ? &adapters[a].ref : nullptr;
    }
};

// A device usable in a window and fullscreen with these formats and D16 depth.
inline TableDevice capableDevice(std::set<D3DFORMAT> formats, DWORD devCaps = 0) {
    TableDevice d;
    d.caps = windowCapableCaps(devCaps);
    d.displayFormats = std::move(formats);
    d.depthFormats = {D3DFMT_D16};
    return d;
}

inline TableAdapter standardAdapter(const std::string& description = "Test adapter") {
    TableAdapter a;
    a.description = description;
    a.modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8},
               {640, 480, 60, D3DFMT_R5G6B5}, {1024, 768, 60, D3DFMT_X8R8G8B8}};
    a.hal = capableDevice({D3DFMT_X8R8G8B8, D3DFMT_R5G6B5});
    a.ref = capableDevice({D3DFMT_X8R8G8B8, D3DFMT_R5G6B5});
    return a;
}

}  // namespace quorvel::testing
