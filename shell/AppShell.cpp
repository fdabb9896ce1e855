// The shell's life cycle: construction, start-up (create), the message loop (run), one frame
// (renderFrame) with its statistics, clean-up and the fatal error report, and the hooks' defaults.
#include "shell/AppShell.h"

#include "platform/win/Win32.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/AppShellShared.h"
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

}  // namespace

AppShell::AppShell() {
    std::memset(adapters, 0, sizeof adapters);
    g_shell = this;
    // One shell lives per process; a new one starts with fresh pause and statistics counters.
    resetHoldCount();
    g_statsLastTime = 0.0f;
    g_statsFrames = 0;
}

AppShell::~AppShell() {
    if (g_shell == this) g_shell = nullptr;
    // A window left open (the loop never ran to its end) goes with the shell; its messages no
    // longer reach this object.
    if (pf::IsWindow(window)) pf::DestroyWindow(window);
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
            hr = resetDevice();
            if (FAILED(hr)) deviceFailed_ = TRUE;
            return hr;
        }
        deviceFailed_ = TRUE;
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
    deviceFailed_ = TRUE;
    if (const char* text = shellErrorText(code)) MessageBoxA(nullptr, text, windowTitle, MB_ICONERROR | MB_OK);
    if (pf::IsWindow(window)) pf::SendMessage(window, WM_CLOSE, 0, 0);
    return code;
}

void AppShell::requestClose() {
    pf::PostMessage(window, WM_COMMAND, CmdClose, 0);
}

}  // namespace quorvel
