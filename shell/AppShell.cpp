#include "shell/AppShell.h"

#include "platform/win/Win32.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/FrameTimer.h"
#include "shell/SetupDialog.h"
#include "shell/ShellResources.h"

#include <cstdio>
#include <cstring>

namespace quorvel {
namespace {

namespace pf = platform;

// The registered window procedure forwards every message to the one shell object.
AppShell* g_shell = nullptr;
// Nesting depth of holdFrames.
int g_holdCount = 0;
// Frame statistics: when they last changed and the frames drawn since.
float g_statsLastTime = 0.0f;
DWORD g_statsFrames = 0;

LRESULT shellWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_shell) return g_shell->handleMessage(hwnd, message, wParam, lParam);
    return pf::DefWindowProc(hwnd, message, wParam, lParam);
}

const char* depthSuffix(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_D16: return " (D16)";
    case D3DFMT_D15S1: return " (D15S1)";
    case D3DFMT_D24X8: return " (D24X8)";
    case D3DFMT_D24S8: return " (D24S8)";
    case D3DFMT_D24X4S4: return " (D24X4S4)";
    case D3DFMT_D32: return " (D32)";
    default: return "";
    }
}

LONG width(const RECT& r) { return r.right - r.left; }
LONG height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

AppShell::AppShell() {
    std::memset(adapters, 0, sizeof adapters);
    g_shell = this;
    // One shell lives per process; a new one starts with fresh pause and statistics counters.
    g_holdCount = 0;
    g_statsLastTime = 0.0f;
    g_statsFrames = 0;
}

AppShell::~AppShell() {
    if (g_shell == this) g_shell = nullptr;
    // A window left open (the loop never ran to its end) goes with the shell; its messages no
    // longer reach this object.
    if (pf::IsWindow(window)) pf::DestroyWindow(window);
}

HRESULT AppShell::adjustWindowStyle() {
    pf::SetWindowStyle(window, windowed ? windowedStyle : kFullscreenStyle);
    return S_OK;
}

HRESULT AppShell::checkDevice(const D3DCAPS8&, DWORD, D3DFORMAT) { return S_OK; }
HRESULT AppShell::onStartup() { return S_OK; }
HRESULT AppShell::onDeviceCreated() { return S_OK; }
HRESULT AppShell::onDeviceReset() { return S_OK; }
HRESULT AppShell::onUpdate() { return S_OK; }
HRESULT AppShell::onRender() { return S_OK; }
HRESULT AppShell::onDeviceLost() { return S_OK; }
HRESULT AppShell::onDeviceDestroy() { return S_OK; }
HRESULT AppShell::onShutdown() { return S_OK; }

IDirect3D8* AppShell::createDirect3D() { return Direct3DCreate8(D3D_SDK_VERSION); }

INT AppShell::runSetupDialog() { return showSetupDialogBox(*this); }

HRESULT AppShell::create(HINSTANCE) {
    // The window system stays up for the life of the process, whatever the Direct3D object
    // does with it; without one, Direct3D cannot start either and says so below.
    pf::StartWindowSystem();
    direct3d = createDirect3D();
    if (!direct3d) return showError(ErrNoDirect3D, true);

    HRESULT hr = enumerateDevices();
    if (FAILED(hr)) {
        direct3d->Release();
        direct3d = nullptr;
        return showError(hr, true);
    }

    if (showSetupDialog) {
        if (runSetupDialog() != IDOK) {
            // The program ends here; the Direct3D object goes with it.
            direct3d->Release();
            direct3d = nullptr;
            return E_FAIL;
        }
        windowed = currentDeviceEntry().windowed;
    }

    if (!window) {
        windowedStyle = kWindowedStyle;
        window = pf::CreateAppWindow(windowTitle, windowedStyle, static_cast<int>(createWidth),
                                     static_cast<int>(createHeight), shellWindowProc);
        if (!window) {
            direct3d->Release();
            direct3d = nullptr;
            return showError(E_FAIL, true);
        }
    }

    if (!focusWindow) focusWindow = window;
    windowedStyle = pf::GetWindowStyle(window);
    pf::GetWindowRect(window, &windowRect);
    pf::GetClientRect(window, &clientRect);

    hr = onStartup();
    if (FAILED(hr)) {
        direct3d->Release();
        direct3d = nullptr;
        return showError(hr, true);
    }

    hr = createDevice();
    if (FAILED(hr)) {
        direct3d->Release();
        direct3d = nullptr;
        return showError(hr, true);
    }

    frameTimer(ClockStart);
    ready = TRUE;
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
        presentParams.BackBufferWidth = static_cast<UINT>(width(clientRect));
        presentParams.BackBufferHeight = static_cast<UINT>(height(clientRect));
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

HRESULT AppShell::renderFrame() {
    HRESULT hr = device->TestCooperativeLevel();
    if (FAILED(hr)) {
        if (hr == D3DERR_DEVICELOST) return S_OK;
        if (hr == D3DERR_DEVICENOTRESET) {
            if (windowed) {
                AdapterEntry& adapter = currentAdapterEntry();
                direct3d->GetAdapterDisplayMode(adapter.ordinal, &adapter.desktopMode);
                presentParams.BackBufferFormat = adapter.desktopMode.Format;
            }
            return resetDevice();
        }
        return hr;
    }

    const float time = frameTimer(ClockAppTime);
    const float elapsed = frameTimer(ClockElapsed);
    if (elapsed == 0.0f && timeRunning) return S_OK;

    if (timeRunning || stepOnce) {
        appTime = time;
        elapsedTime = elapsed;
        hr = onUpdate();
        if (FAILED(hr)) return hr;
        stepOnce = FALSE;
    }

    hr = onRender();
    if (FAILED(hr)) return hr;

    updateFrameStats();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return S_OK;
}

void AppShell::updateFrameStats() {
    const float now = frameTimer(ClockAbsolute);
    ++g_statsFrames;
    if (now - g_statsLastTime <= 1.0f) return;
    framesPerSecond = static_cast<float>(g_statsFrames) / (now - g_statsLastTime);
    g_statsFrames = 0;
    g_statsLastTime = now;

    // The display format in use: the desktop's in a window, the mode's in fullscreen.
    const D3DFORMAT displayFormat =
        windowed ? currentAdapterEntry().desktopMode.Format : currentModeEntry().format;
    const int bits = displayFormat == D3DFMT_X8R8G8B8 ? 32 : 16;
    std::snprintf(frameStats, sizeof frameStats, "%.02f fps (%dx%dx%d)%s",
                  static_cast<double>(framesPerSecond), static_cast<int>(backBufferDesc.Width),
                  static_cast<int>(backBufferDesc.Height), bits,
                  wantDepthBuffer ? depthSuffix(currentModeEntry().depthStencilFormat) : "");
}

INT AppShell::run() {
    MSG message{};
    if (!pf::PeekMessage(&message, false)) message.message = WM_NULL;

    while (message.message != WM_QUIT) {
        const bool got = active ? pf::PeekMessage(&message, true) != FALSE
                                : (pf::GetMessage(&message), true);
        if (got) {
            if (message.message == WM_QUIT) break;
            if (!pf::TranslateAccelerator(window, kShellAccelerators, &message)) {
                pf::TranslateMessage(&message);
                pf::DispatchMessage(&message);
            }
        } else if (active && ready) {
            if (FAILED(renderFrame())) pf::SendMessage(window, WM_CLOSE, 0, 0);
        }
    }
    return static_cast<INT>(message.wParam);
}

LRESULT AppShell::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        active = (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) ? FALSE : TRUE;
        break;

    case WM_PAINT:
        if (device && !ready && windowed) device->Present(nullptr, nullptr, nullptr, nullptr);
        break;

    case WM_CLOSE:
        cleanup();
        pf::DestroyWindow(hwnd);
        pf::PostQuitMessage(0);
        return 0;

    case WM_SETCURSOR:
        if (active && ready && !windowed) {
            pf::ShowCursor(false);
            return 1;
        }
        break;

    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info) info->ptMinTrackSize = POINT{100, 100};
        break;
    }

    case WM_NCHITTEST:
        if (!windowed) return HTCLIENT;
        break;

    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CmdClose:
            pf::SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case CmdFlipWindowMode:
            if (active && ready) {
                if (FAILED(flipWindowMode())) showError(ErrResetFailed, true);
            }
            return 0;
        default:
            break;
        }
        break;

    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MAXIMIZE:
        case SC_KEYMENU:
        case SC_MONITORPOWER:
            if (!windowed) return 1;
            break;
        default:
            break;
        }
        break;

    case WM_MOUSEMOVE:
        if (active && ready && device)
            device->SetCursorPosition(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), 0);
        break;

    case WM_ENTERMENULOOP:
        holdFrames(true);
        break;
    case WM_EXITMENULOOP:
        holdFrames(false);
        break;

    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) return 1;
        break;

    case WM_ENTERSIZEMOVE:
        if (timeRunning) frameTimer(ClockStop);
        break;

    case WM_EXITSIZEMOVE:
        if (timeRunning) frameTimer(ClockStart);
        if (active && windowed) {
            const RECT oldClient = clientRect;
            pf::GetWindowRect(hwnd, &windowRect);
            pf::GetClientRect(hwnd, &clientRect);
            if (width(oldClient) != width(clientRect) || height(oldClient) != height(clientRect)) {
                ready = FALSE;
                presentParams.BackBufferWidth = static_cast<UINT>(width(clientRect));
                presentParams.BackBufferHeight = static_cast<UINT>(height(clientRect));
                if (FAILED(resetDevice())) {
                    showError(ErrResetFailed, true);
                    return 0;
                }
                ready = TRUE;
            }
        }
        break;

    default:
        break;
    }
    return pf::DefWindowProc(hwnd, message, wParam, lParam);
}

void AppShell::holdFrames(bool hold) {
    g_holdCount += hold ? 1 : -1;
    ready = g_holdCount == 0 ? TRUE : FALSE;
    if (hold && g_holdCount == 1 && timeRunning) frameTimer(ClockStop);
    if (g_holdCount == 0 && timeRunning) frameTimer(ClockStart);
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

HRESULT AppShell::cleanup() {
    active = FALSE;
    ready = FALSE;
    if (device) {
        onDeviceLost();
        onDeviceDestroy();
        device->Release();
        device = nullptr;
    }
    // Also without a device: a fallback whose new device could not be made leaves the
    // Direct3D object behind.
    if (direct3d) direct3d->Release();
    direct3d = nullptr;
    return onShutdown();
}

HRESULT AppShell::showError(HRESULT code, bool fatal) {
    if (!fatal) return code;
    if (const char* text = shellErrorText(code)) MessageBoxA(nullptr, text, windowTitle, MB_ICONERROR | MB_OK);
    if (pf::IsWindow(window)) pf::SendMessage(window, WM_CLOSE, 0, 0);
    return code;
}

void AppShell::requestClose() {
    pf::PostMessage(window, WM_COMMAND, CmdClose, 0);
}

}  // namespace quorvel
