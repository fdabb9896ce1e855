#include "shell/DisplayPreselection.h"

#include <cstring>

#include "shell/AppShell.h"

namespace quorvel {
namespace {

// Index of the device's mode with this size, in the given format when there is one, else in any
// format; -1 when none has the size.
int findMode(const DeviceEntry& device, unsigned width, unsigned height, unsigned format) {
    int anyFormat = -1;
    for (UINT m = 0; m < device.modeCount; ++m) {
        const ModeEntry& mode = device.modes[m];
        if (mode.width != width || mode.height != height) continue;
        if (static_cast<unsigned>(mode.format) == format) return static_cast<int>(m);
        if (anyFormat < 0) anyFormat = static_cast<int>(m);
    }
    return anyFormat;
}

bool multiSampleWorks(AppShell& shell, const AdapterEntry& adapter, const DeviceEntry& device,
                      D3DMULTISAMPLE_TYPE type) {
    if (type == D3DMULTISAMPLE_NONE) return true;
    if (!shell.direct3d) return false;
    const D3DFORMAT surface = device.windowed ? adapter.desktopMode.Format : device.modes[device.currentMode].format;
    return SUCCEEDED(shell.direct3d->CheckDeviceMultiSampleType(adapter.ordinal, device.type, surface,
                                                                device.windowed, type));
}

}  // namespace

DisplaySettings currentDisplaySettings(AppShell& shell) {
    const AdapterEntry& adapter = shell.currentAdapterEntry();
    const DeviceEntry& device = shell.currentDeviceEntry();
    const ModeEntry& mode = shell.currentModeEntry();
    DisplaySettings settings;
    settings.adapter = adapter.identifier.Description;
    settings.device = device.name ? device.name : "";
    settings.windowed = device.windowed != FALSE;
    settings.width = mode.width;
    settings.height = mode.height;
    settings.format = static_cast<unsigned>(mode.format);
    settings.multiSample = static_cast<unsigned>(device.multiSampleType);
    return settings;
}

bool preselectDisplay(AppShell& shell, const DisplaySettings& settings) {
    for (UINT a = 0; a < shell.adapterCount; ++a) {
        AdapterEntry& adapter = shell.adapters[a];
        if (settings.adapter != adapter.identifier.Description) continue;
        for (UINT d = 0; d < adapter.deviceCount; ++d) {
            DeviceEntry& device = adapter.devices[d];
            if (!device.name || settings.device != device.name) continue;
            // A window needs a device that can render in one; otherwise the device's default stays.
            if (settings.windowed && !device.windowCapable) return false;
            shell.currentAdapter = a;
            adapter.currentDevice = d;
            device.windowed = settings.windowed ? TRUE : FALSE;
            const int mode = findMode(device, settings.width, settings.height, settings.format);
            const bool modeFound = mode >= 0 && static_cast<unsigned>(device.modes[mode].format) == settings.format;
            if (modeFound) device.currentMode = static_cast<UINT>(mode);
            const auto type = static_cast<D3DMULTISAMPLE_TYPE>(settings.multiSample);
            device.multiSampleType = multiSampleWorks(shell, adapter, device, type) ? type : D3DMULTISAMPLE_NONE;
            // A vanished fullscreen mode matters only when playing fullscreen.
            return (modeFound || settings.windowed) && device.multiSampleType == type;
        }
        return false;
    }
    return false;
}

bool chooseWindowed(AppShell& shell, bool windowed) {
    DeviceEntry& device = shell.currentDeviceEntry();
    if (windowed && !device.windowCapable) return false;
    device.windowed = windowed ? TRUE : FALSE;
    return true;
}

bool chooseModeSize(AppShell& shell, unsigned width, unsigned height) {
    DeviceEntry& device = shell.currentDeviceEntry();
    const int mode = findMode(device, width, height, static_cast<unsigned>(shell.currentModeEntry().format));
    if (mode < 0) return false;
    device.currentMode = static_cast<UINT>(mode);
    return true;
}

}  // namespace quorvel
