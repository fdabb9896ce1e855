#include "platform/window/EventTranslation.h"

#include "platform/win/Win32.h"
#include "platform/window/Window.h"

namespace quorvel::platform {
namespace {

constexpr LPARAM kAltContext = LPARAM{1} << 29;
constexpr LPARAM kPreviouslyDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = static_cast<LPARAM>(std::uintptr_t{1} << 31);

HWND windowOf(Uint32 windowId) {
    HWND window = static_cast<HWND>(SDL_GetWindowFromID(windowId));
    return IsWindow(window) ? window : nullptr;
}

void windowEvent(const SDL_WindowEvent& e, std::vector<MSG>& out) {
    HWND window = windowOf(e.windowID);
    if (!window) return;
    switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        out.push_back({window, WM_ENTERSIZEMOVE, 0, 0});
        out.push_back({window, WM_SIZE, SIZE_RESTORED,
                       MAKELPARAM(static_cast<unsigned>(e.data1), static_cast<unsigned>(e.data2))});
        out.push_back({window, WM_EXITSIZEMOVE, 0, 0});
        break;
    case SDL_WINDOWEVENT_MOVED:
        out.push_back({window, WM_ENTERSIZEMOVE, 0, 0});
        out.push_back({window, WM_EXITSIZEMOVE, 0, 0});
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        out.push_back({window, WM_SIZE, SIZE_MINIMIZED, 0});
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: {
        int w = 0, h = 0;
        SDL_GetWindowSize(static_cast<SDL_Window*>(window), &w, &h);
        out.push_back({window, WM_SIZE,
                       e.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
                       MAKELPARAM(static_cast<unsigned>(w), static_cast<unsigned>(h))});
        break;
    }
    case SDL_WINDOWEVENT_EXPOSED:
        out.push_back({window, WM_PAINT, 0, 0});
        break;
    case SDL_WINDOWEVENT_CLOSE:
        out.push_back({window, WM_CLOSE, 0, 0});
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        out.push_back({window, WM_ACTIVATEAPP, 1, 0});
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        out.push_back({window, WM_ACTIVATEAPP, 0, 0});
        break;
    default:
        break;
    }
}

void keyEvent(const SDL_KeyboardEvent& e, std::vector<MSG>& out) {
    HWND window = windowOf(e.windowID);
    if (!window) return;
    const WPARAM key = virtualKeyOf(e.keysym.sym);
    if (key == 0) return;
    const bool alt = (e.keysym.mod & KMOD_ALT) != 0;
    const bool down = e.type == SDL_KEYDOWN;
    LPARAM lParam = 1 | (static_cast<LPARAM>(e.keysym.scancode & 0xFF) << 16);
    if (alt) lParam |= kAltContext;
    if (!down || e.repeat) lParam |= kPreviouslyDown;
    if (!down) lParam |= kReleased;
    UINT message = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    out.push_back({window, message, key, lParam});
}

}  // namespace

WPARAM virtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<WPARAM>(0x70 + (key - SDLK_F1));
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_TAB:
        return 0x09;
    case SDLK_BACKSPACE:
        return 0x08;
    default:
        return 0;
    }
}

void translateEvent(const SDL_Event& event, std::vector<MSG>& out) {
    switch (event.type) {
    case SDL_WINDOWEVENT:
        windowEvent(event.window, out);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        keyEvent(event.key, out);
        break;
    case SDL_MOUSEMOTION: {
        HWND window = windowOf(event.motion.windowID);
        if (!window) break;
        out.push_back({window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT});
        out.push_back({window, WM_MOUSEMOVE, 0,
                       MAKELPARAM(static_cast<unsigned>(event.motion.x),
                                  static_cast<unsigned>(event.motion.y))});
        break;
    }
    case SDL_QUIT:
        // The session or a signal asks the program to end: close every window as the user would.
        for (HWND window : AllWindows()) out.push_back({window, WM_CLOSE, 0, 0});
        break;
    default:
        break;
    }
}

}  // namespace quorvel::platform

short GetKeyState(int virtualKey) {
    // Only Shift is asked for; the high bit means "held down", as in Win32.
    if (static_cast<WPARAM>(virtualKey) != VK_SHIFT) return 0;
    return (SDL_GetModState() & KMOD_SHIFT) != 0 ? static_cast<short>(0x8000) : 0;
}
