// The table of display adapters, their Direct3D device types and the fullscreen modes each
// device can run, built once before the window exists. The setup dialog, the fullscreen toggle
// and the fallback to a window choose from it.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace quorvel {

constexpr UINT kMaxAdapters = 10;
constexpr UINT kMaxDevicesPerAdapter = 5;
constexpr UINT kMaxModesPerDevice = 150;
// Working lists while one adapter is enumerated.
constexpr UINT kMaxDistinctModes = 100;
constexpr UINT kMaxDistinctFormats = 20;

// One usable fullscreen mode of a device.
struct ModeEntry {
    UINT width;
    UINT height;
    D3DFORMAT format;
    DWORD behaviour;            // vertex-processing flags to create the device with
    D3DFORMAT depthStencilFormat;
};

struct DeviceEntry {
    D3DDEVTYPE type;
    D3DCAPS8 caps;
    const char* name;           // "HAL" or "REF"
    BOOL windowCapable;         // can render in a window with the desktop format
    UINT modeCount;
    ModeEntry modes[kMaxModesPerDevice];
    UINT currentMode;
    BOOL windowed;              // the windowed choice for this device
    D3DMULTISAMPLE_TYPE multiSampleType;
};

struct AdapterEntry {
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode;
    UINT deviceCount;
    DeviceEntry devices[kMaxDevicesPerAdapter];
    UINT currentDevice;
    // The adapter's number for Direct3D. It differs from the entry's index once an earlier
    // adapter without a usable device has been left out of the table.
    UINT ordinal;
};

// Bits per pixel shown for a display format: 32 for the 8-bit-per-channel formats, else 16.
constexpr int displayBits(D3DFORMAT format) {
    return (format == D3DFMT_R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) ? 32 : 16;
}

}  // namespace quorvel
