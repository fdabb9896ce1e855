// Building the device table: adapters, their device types and usable fullscreen modes, and the
// choice of a starting configuration that can run in a window.
#include "shell/AppShell.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvel {
namespace {

struct DepthCandidate {
    D3DFORMAT format;
    DWORD maxDepth;
    DWORD maxStencil;
};

constexpr std::array<DepthCandidate, 6> kDepthCandidates{{
    {D3DFMT_D16, 16, 0},
    {D3DFMT_D15S1, 15, 1},
    {D3DFMT_D24X8, 24, 0},
    {D3DFMT_D24S8, 24, 8},
    {D3DFMT_D24X4S4, 24, 4},
    {D3DFMT_D32, 32, 0},
}};

// One display format of the adapter and what the device under test can do with it.
struct FormatInfo {
    D3DFORMAT format;
    bool confirmed;
    DWORD behaviour;
    D3DFORMAT depthStencil;
};

bool isSixteenBit(D3DFORMAT f) {
    return f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5;
}

UINT startingMode(const DeviceEntry& dev) {
    for (UINT m = 0; m < dev.modeCount; ++m) {
        const ModeEntry& mode = dev.modes[m];
        if (mode.width == 640 && mode.height == 480 && isSixteenBit(mode.format)) return m;
    }
    for (UINT m = dev.modeCount; m-- > 0;) {
        if (dev.modes[m].width == 640 && dev.modes[m].height == 480) return m;
    }
    return 0;
}

}  // namespace

bool AppShell::pickDepthStencilFormat(UINT adapterOrdinal, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                      D3DFORMAT* depthStencilFormat) {
    for (const DepthCandidate& c : kDepthCandidates) {
        const bool allowed = depthBitsWanted <= c.maxDepth &&
                             (c.maxStencil == 0 ? stencilBitsWanted == 0 : stencilBitsWanted <= c.maxStencil);
        if (!allowed) continue;
        if (FAILED(direct3d->CheckDeviceFormat(adapterOrdinal, type, displayFormat, D3DUSAGE_DEPTHSTENCIL,
                                               D3DRTYPE_SURFACE, c.format)))
            continue;
        if (FAILED(direct3d->CheckDepthStencilMatch(adapterOrdinal, type, displayFormat, displayFormat,
                                                    c.format)))
            continue;
        *depthStencilFormat = c.format;
        return true;
    }
    return false;
}

HRESULT AppShell::enumerateDevices() {
    static constexpr D3DDEVTYPE kTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
    static constexpr const char* kNames[] = {"HAL", "REF"};

    adapterCount = 0;
    const UINT reported = direct3d->GetAdapterCount();
    for (UINT ordinal = 0; ordinal < reported && adapterCount < kMaxAdapters; ++ordinal) {
        AdapterEntry& adapter = adapters[adapterCount];
        std::memset(&adapter, 0, sizeof adapter);
        adapter.ordinal = ordinal;
        if (FAILED(direct3d->GetAdapterIdentifier(ordinal, D3DENUM_NO_WHQL_LEVEL, &adapter.identifier)))
            continue;
        if (FAILED(direct3d->GetAdapterDisplayMode(ordinal, &adapter.desktopMode))) continue;

        // Distinct modes (refresh rates ignored) and the display formats they use, the desktop
        // format first. What does not fit the working lists is left out.
        std::array<D3DDISPLAYMODE, kMaxDistinctModes> modes{};
        UINT modeCount = 0;
        std::array<D3DFORMAT, kMaxDistinctFormats> formats{};
        UINT formatCount = 0;
        formats[formatCount++] = adapter.desktopMode.Format;

        const UINT adapterModes = direct3d->GetAdapterModeCount(ordinal);
        for (UINT m = 0; m < adapterModes; ++m) {
            D3DDISPLAYMODE mode{};
            if (FAILED(direct3d->EnumAdapterModes(ordinal, m, &mode))) continue;
            if (mode.Width < 640 || mode.Height < 400) continue;
            const bool listed = std::any_of(modes.begin(), modes.begin() + modeCount, [&](const D3DDISPLAYMODE& d) {
                return d.Width == mode.Width && d.Height == mode.Height && d.Format == mode.Format;
            });
            if (listed || modeCount == kMaxDistinctModes) continue;
            mode.RefreshRate = 0;
            modes[modeCount++] = mode;
            const bool knownFormat =
                std::find(formats.begin(), formats.begin() + formatCount, mode.Format) != formats.begin() + formatCount;
            if (!knownFormat && formatCount < kMaxDistinctFormats) formats[formatCount++] = mode.Format;
        }
        std::sort(modes.begin(), modes.begin() + modeCount, [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
            if (a.Format != b.Format) return a.Format > b.Format;
            if (a.Width != b.Width) return a.Width < b.Width;
            return a.Height < b.Height;
        });

        for (UINT t = 0; t < 2 && adapter.deviceCount < kMaxDevicesPerAdapter; ++t) {
            DeviceEntry& dev = adapter.devices[adapter.deviceCount];
            std::memset(&dev, 0, sizeof dev);
            dev.type = kTypes[t];
            dev.name = kNames[t];
            if (FAILED(direct3d->GetDeviceCaps(ordinal, dev.type, &dev.caps))) continue;

            std::array<FormatInfo, kMaxDistinctFormats> info{};
            for (UINT f = 0; f < formatCount; ++f) {
                FormatInfo& fi = info[f];
                fi = FormatInfo{formats[f], false, 0, D3DFMT_UNKNOWN};
                if (FAILED(direct3d->CheckDeviceType(ordinal, dev.type, fi.format, fi.format, FALSE))) continue;

                DWORD tries[4] = {};
                int tryCount = 0;
                if (dev.caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
                    if (dev.caps.DevCaps & D3DDEVCAPS_PUREDEVICE)
                        tries[tryCount++] = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
                    tries[tryCount++] = D3DCREATE_HARDWARE_VERTEXPROCESSING;
                    tries[tryCount++] = D3DCREATE_MIXED_VERTEXPROCESSING;
                }
                tries[tryCount++] = D3DCREATE_SOFTWARE_VERTEXPROCESSING;

                bool accepted = false;
                for (int i = 0; i < tryCount && !accepted; ++i) {
                    if (SUCCEEDED(checkDevice(dev.caps, tries[i], fi.format))) {
                        fi.behaviour = tries[i];
                        accepted = true;
                    }
                }
                if (!accepted) continue;
                if (wantDepthBuffer && !pickDepthStencilFormat(ordinal, dev.type, fi.format, &fi.depthStencil))
                    continue;
                fi.confirmed = true;
            }

            for (UINT m = 0; m < modeCount; ++m) {
                for (UINT f = 0; f < formatCount; ++f) {
                    if (!info[f].confirmed || info[f].format != modes[m].Format) continue;
                    if (dev.modeCount == kMaxModesPerDevice) continue;
                    dev.modes[dev.modeCount++] = ModeEntry{modes[m].Width, modes[m].Height, modes[m].Format,
                                                           info[f].behaviour, info[f].depthStencil};
                }
            }
            dev.currentMode = startingMode(dev);

            if (info[0].confirmed && (dev.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED)) {
                dev.windowCapable = TRUE;
                dev.windowed = TRUE;
            }
            if (dev.modeCount > 0) ++adapter.deviceCount;
        }
        if (adapter.deviceCount > 0) ++adapterCount;
    }

    if (adapterCount == 0) return ErrNoCompatibleDevices;

    for (UINT a = 0; a < adapterCount; ++a) {
        for (UINT d = 0; d < adapters[a].deviceCount; ++d) {
            if (adapters[a].devices[d].windowed) {
                currentAdapter = a;
                adapters[a].currentDevice = d;
                windowed = TRUE;
                return S_OK;
            }
        }
    }
    return ErrNoWindowableDevices;
}

}  // namespace quorvel
