// The shell's device: creating it for the current adapter, device and mode, resetting it, the
// switch between window and fullscreen and the fallback to a device that can use a window.
#include "shell/AppShell.h"

#include "platform/window/Window.h"
#include "shell/AppShellShared.h"
#include "shell/FrameTimer.h"
#include "shell/ShellResources.h"

namespace quorvel {
namespace {

namespace pf = platform;

}  // namespace

HRESULT AppShell::adjustWindowStyle() {
    pf::SetWindowStyle(window, windowed ? windowedStyle : kFullscreenStyle);
    return S_OK;
}

void AppShell::fillPresentParams() {
    AdapterEntry& adapter = currentAdapterEntry();
    DeviceEntry& dev = currentDeviceEntry();
    ModeEntry& mode = currentModeEntry();
    presentParams.Windowed = dev.windowed;
    presentParams.MultiSampleType = dev.multiSampleType;
    presentParams.hDeviceWindow = window;
    presentParams.AutoDepthStencilFormat = mode.depthStencilFormat;
    if (windowed) {
        presentParams.BackBufferWidth = static_cast<UINT>(rectWidth(clientRect));
        presentParams.BackBufferHeight = static_cast<UINT>(rectHeight(clientRect));
        presentParams.BackBufferFormat = adapter.desktopMode.Format;
    } else {
        presentParams.BackBufferWidth = mode.width;
        presentParams.BackBufferHeight = mode.height;
        presentParams.BackBufferFormat = mode.format;
    }
}

void AppShell::readBackBufferDesc() {
    IDirect3DSurface8* backBuffer = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) && backBuffer) {
        backBuffer->GetDesc(&backBufferDesc);
        backBuffer->Release();
    }
}

void AppShell::placeWindowAtSavedRect() { pf::PlaceWindow(window, windowRect); }

HRESULT AppShell::createDevice() {
    AdapterEntry& adapter = currentAdapterEntry();
    DeviceEntry& dev = currentDeviceEntry();
    ModeEntry& mode = currentModeEntry();

    adjustWindowStyle();

    presentParams = D3DPRESENT_PARAMETERS{};
    presentParams.BackBufferCount = 1;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.EnableAutoDepthStencil = wantDepthBuffer;
    fillPresentParams();

    HRESULT hr = direct3d->CreateDevice(adapter.ordinal, dev.type, focusWindow, mode.behaviour,
                                        &presentParams, &device);
    if (FAILED(hr)) {
        device = nullptr;
        return hr;
    }

    if (windowed) placeWindowAtSavedRect();
    readBackBufferDesc();

    hr = onDeviceCreated();
    if (SUCCEEDED(hr)) hr = onDeviceReset();
    if (SUCCEEDED(hr)) {
        active = TRUE;
        return S_OK;
    }
    onDeviceLost();
    onDeviceDestroy();
    device->Release();
    device = nullptr;
    return hr;
}

HRESULT AppShell::resetDevice() {
    HRESULT hr = onDeviceLost();
    if (FAILED(hr)) return hr;
    hr = device->Reset(&presentParams);
    if (FAILED(hr)) return hr;
    readBackBufferDesc();
    hr = onDeviceReset();
    if (FAILED(hr)) return hr;
    if (!timeRunning) {
        // A paused application still draws one frame that reflects the reset.
        stepOnce = TRUE;
        frameTimer(ClockStart);
        frameTimer(ClockStop);
    }
    return S_OK;
}

HRESULT AppShell::flipWindowMode() {
    DeviceEntry& dev = currentDeviceEntry();
    if (!windowed && !dev.windowCapable) return fallBackToWindow();

    ready = FALSE;
    windowed = windowed ? FALSE : TRUE;
    dev.windowed = windowed;
    adjustWindowStyle();
    fillPresentParams();

    if (FAILED(resetDevice())) {
        if (windowed) return fallBackToWindow();
        return E_FAIL;
    }
    if (windowed) placeWindowAtSavedRect();
    ready = TRUE;
    return S_OK;
}

HRESULT AppShell::fallBackToWindow() {
    if (!currentDeviceEntry().windowCapable) {
        bool found = false;
        for (UINT a = 0; a < adapterCount && !found; ++a) {
            for (UINT d = 0; d < adapters[a].deviceCount; ++d) {
                if (adapters[a].devices[d].windowCapable) {
                    currentAdapter = a;
                    adapters[a].currentDevice = d;
                    found = true;
                    break;
                }
            }
        }
        if (!found) return E_FAIL;
    }

    currentDeviceEntry().windowed = TRUE;
    windowed = TRUE;
    ready = FALSE;

    onDeviceLost();
    onDeviceDestroy();
    const ULONG remaining = device->Release();
    device = nullptr;
    if (remaining > 0) return showError(ErrNonZeroRefCount, true);

    const HRESULT hr = createDevice();
    if (FAILED(hr)) return showError(hr, true);
    ready = TRUE;
    return S_OK;
}

}  // namespace quorvel
