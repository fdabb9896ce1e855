// The shell's window procedure body and the nested pause of frames and time.
#include "shell/AppShell.h"

#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/AppShellShared.h"
#include "shell/FrameTimer.h"
#include "shell/ShellResources.h"

namespace quorvel {
namespace {

namespace pf = platform;

// Nesting depth of holdFrames.
int g_holdCount = 0;

}  // namespace

void resetHoldCount() { g_holdCount = 0; }

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
        pf::PostQuitMessage(exitStatus());
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
            if (rectWidth(oldClient) != rectWidth(clientRect) || rectHeight(oldClient) != rectHeight(clientRect)) {
                ready = FALSE;
                presentParams.BackBufferWidth = static_cast<UINT>(rectWidth(clientRect));
                presentParams.BackBufferHeight = static_cast<UINT>(rectHeight(clientRect));
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

}  // namespace quorvel
