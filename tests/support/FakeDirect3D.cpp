#include "support/FakeDirect3D.h"

#include <cstdio>
#include <string>

#include "support/RecordingDevice.h"

namespace quorvel::testing {

FakeDeviceType FakeAdapter::halDefaults() {
    FakeDeviceType t;
    t.caps.DeviceType = D3DDEVTYPE_HAL;
    t.caps.Caps2 = D3DCAPS2_CANRENDERWINDOWED;
    t.caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    t.caps.MaxTextureWidth = t.caps.MaxTextureHeight = 2048;
    t.caps.MaxActiveLights = 8;
    return t;
}

FakeDeviceType FakeAdapter::refDefaults() {
    FakeDeviceType t = halDefaults();
    t.caps.DeviceType = D3DDEVTYPE_REF;
    t.caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    return t;
}

FakeDirect3D::FakeDirect3D() : adapters(1) {}

ULONG FakeDirect3D::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

FakeDeviceType* FakeDirect3D::deviceType(UINT adapter, D3DDEVTYPE type) {
    if (adapter >= adapters.size()) return nullptr;
    if (type == D3DDEVTYPE_HAL) return &adapters[adapter].hal;
    if (type == D3DDEVTYPE_REF) return &adapters[adapter].ref;
    return nullptr;
}

UINT FakeDirect3D::GetAdapterCount() {
    log("GetAdapterCount", {});
    return static_cast<UINT>(adapters.size());
}

HRESULT FakeDirect3D::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) {
    log("GetAdapterIdentifier", {adapter, flags});
    if (adapter >= adapters.size() || !identifier) return D3DERR_INVALIDCALL;
    *identifier = D3DADAPTER_IDENTIFIER8{};
    std::snprintf(identifier->Description, sizeof identifier->Description, "%s", adapters[adapter].description.c_str());
    std::snprintf(identifier->Driver, sizeof identifier->Driver, "%s", adapters[adapter].driver.c_str());
    return D3D_OK;
}

UINT FakeDirect3D::GetAdapterModeCount(UINT adapter) {
    log("GetAdapterModeCount", {adapter});
    return adapter < adapters.size() ? static_cast<UINT>(adapters[adapter].modes.size()) : 0;
}

HRESULT FakeDirect3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
    log("EnumAdapterModes", {adapter, mode});
    if (adapter >= adapters.size() || mode >= adapters[adapter].modes.size() || !displayMode) return D3DERR_INVALIDCALL;
    *displayMode = adapters[adapter].modes[mode];
    return D3D_OK;
}

HRESULT FakeDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
    log("GetAdapterDisplayMode", {adapter});
    if (adapter >= adapters.size() || !displayMode) return D3DERR_INVALIDCALL;
    *displayMode = adapters[adapter].desktop;
    return D3D_OK;
}

HRESULT FakeDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                      D3DFORMAT backBufferFormat, BOOL windowed) {
    log("CheckDeviceType", {adapter, named(type, deviceTypeName), named(displayFormat, formatName),
                            named(backBufferFormat, formatName), windowed});
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t) return D3DERR_INVALIDCALL;
    if (!t->available || !t->displayFormats.count(displayFormat)) return D3DERR_NOTAVAILABLE;
    if (windowed && displayFormat != adapters[adapter].desktop.Format) return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT FakeDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                        D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    log("CheckDeviceFormat", {adapter, named(type, deviceTypeName), named(adapterFormat, formatName),
                              named(usage, usageFlags), named(resourceType, resourceTypeName),
                              named(checkFormat, formatName)});
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t) return D3DERR_INVALIDCALL;
    if (!t->available) return D3DERR_NOTAVAILABLE;
    const auto& formats = (usage & D3DUSAGE_DEPTHSTENCIL) ? t->depthFormats : t->textureFormats;
    return formats.count(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat,
                                                 BOOL windowed, D3DMULTISAMPLE_TYPE multiSampleType) {
    log("CheckDeviceMultiSampleType",
        {adapter, named(type, deviceTypeName), named(surfaceFormat, formatName), windowed, multiSampleType});
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t) return D3DERR_INVALIDCALL;
    if (multiSampleType == D3DMULTISAMPLE_NONE) return D3D_OK;
    return t->multiSamples.count({windowed, surfaceFormat, multiSampleType}) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                             D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) {
    log("CheckDepthStencilMatch", {adapter, named(type, deviceTypeName), named(adapterFormat, formatName),
                                   named(renderTargetFormat, formatName), named(depthStencilFormat, formatName)});
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t) return D3DERR_INVALIDCALL;
    return t->available && t->depthFormats.count(depthStencilFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT FakeDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
    log("GetDeviceCaps", {adapter, named(type, deviceTypeName)});
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t || !caps) return D3DERR_INVALIDCALL;
    if (!t->available) return D3DERR_NOTAVAILABLE;
    *caps = t->caps;
    caps->DeviceType = type;
    caps->AdapterOrdinal = adapter;
    return D3D_OK;
}

HMONITOR FakeDirect3D::GetAdapterMonitor(UINT adapter) {
    return adapter < adapters.size() ? reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(adapter) + 1) : nullptr;
}

HRESULT FakeDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                   D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
    log("CreateDevice", {adapter, named(type, deviceTypeName), named(behaviorFlags, behaviourFlags)});
    if (!device || !parameters) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (createDevice) return createDevice(adapter, type, focusWindow, behaviorFlags, parameters, device);
    return makeDevice(adapter, type, focusWindow, behaviorFlags, parameters, device);
}

HRESULT FakeDirect3D::makeDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
    if (FAILED(createDeviceResult)) return createDeviceResult;
    FakeDeviceType* t = deviceType(adapter, type);
    if (!t || !t->available) return D3DERR_NOTAVAILABLE;
    auto* d = new RecordingDevice(parameters->BackBufferWidth, parameters->BackBufferHeight, this);
    d->presentParameters = *parameters;
    d->caps = t->caps;
    d->creationParameters = {adapter, type, focusWindow, behaviorFlags};
    d->displayMode = adapters[adapter].desktop;
    lastDevice = d;
    *device = d;
    return D3D_OK;
}

}  // namespace quorvel::testing
