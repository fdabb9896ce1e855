#include "platform/window/Window.h"

#include "platform/gl/DriverEnvironment.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace quorvel::platform {
namespace {

struct Frame {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool any() const { return top || left || bottom || right; }
};

struct WindowRecord {
    SDL_Window* sdl;
    WNDPROC procedure;
    DWORD style;
    // The decorations last seen around the window while it had a caption. The window manager
    // reports none while the window is fullscreen or not yet framed, so placing the window
    // right after leaving fullscreen uses these.
    Frame lastFrame;
};

// The windows that exist, like the system's window table. The program has one window; a
// vector keeps the lookup trivial.
std::vector<WindowRecord>& windows() {
    static std::vector<WindowRecord> list;
    return list;
}

WindowRecord* find(HWND window) {
    auto& list = windows();
    auto it = std::find_if(list.begin(), list.end(),
                           [window](const WindowRecord& r) { return r.sdl == window; });
    return it == list.end() ? nullptr : &*it;
}

SDL_Window* sdlOf(HWND window) { return find(window) ? static_cast<SDL_Window*>(window) : nullptr; }

Frame frameOf(WindowRecord& record) {
    Frame f;
    if (SDL_GetWindowBordersSize(record.sdl, &f.top, &f.left, &f.bottom, &f.right) != 0) f = Frame{};
    const bool captioned = (record.style & WS_CAPTION) == WS_CAPTION;
    if (f.any() && captioned) record.lastFrame = f;
    if (!f.any() && captioned) f = record.lastFrame;
    return f;
}

void applyStyle(SDL_Window* sdl, DWORD style) {
    SDL_SetWindowBordered(sdl, (style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
}

}  // namespace

// SDL would otherwise unload the GL driver with the last GL window and its X extension
// libraries with the last user of its video, and load them all over again for the next window;
// the caches they keep would also become unattributable to the leak checker. A failed GL load
// (a video driver without GL) is left for window creation to report.
bool StartWindowSystem() {
    static bool running = false;
    if (!running) {
        gl::prepareDriverEnvironment();  // read by the GL driver when it loads
        running = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        if (running) SDL_GL_LoadLibrary(nullptr);
    }
    return running;
}

bool WindowSystemReachesDisplay() {
    // Video alone, without the GL library: a program without a display ends at once. SDL counts
    // the start, so the window system starting later is unaffected.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    for (const char* headless : {"offscreen", "dummy", "evdev"}) {
        if (SDL_strcasecmp(driver, headless) == 0) return false;
    }
    return true;
}

HWND CreateAppWindow(const char* title, DWORD style, int clientWidth, int clientHeight,
                     WNDPROC procedure) {
    if (!StartWindowSystem()) return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL;
    if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    if (!(style & WS_VISIBLE)) flags |= SDL_WINDOW_HIDDEN;
    SDL_Window* sdl = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                       clientWidth, clientHeight, flags);
    if (!sdl) return nullptr;
    windows().push_back({sdl, procedure, style, Frame{}});
    HWND handle = static_cast<HWND>(sdl);

    if (procedure) {
        MINMAXINFO info{};
        procedure(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        if (info.ptMinTrackSize.x > 0 || info.ptMinTrackSize.y > 0)
            SDL_SetWindowMinimumSize(sdl, std::max<int>(1, info.ptMinTrackSize.x),
                                     std::max<int>(1, info.ptMinTrackSize.y));
    }
    return handle;
}

BOOL DestroyWindow(HWND window) {
    WindowRecord* record = find(window);
    if (!record) return FALSE;
    if (record->procedure) record->procedure(window, WM_DESTROY, 0, 0);
    // The procedure may have looked the window up; find it again before erasing.
    auto& list = windows();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [window](const WindowRecord& r) { return r.sdl == window; }),
               list.end());
    SDL_DestroyWindow(static_cast<SDL_Window*>(window));
    return TRUE;
}

bool IsWindow(HWND window) { return find(window) != nullptr; }

std::vector<HWND> AllWindows() {
    std::vector<HWND> handles;
    for (const WindowRecord& r : windows()) handles.push_back(static_cast<HWND>(r.sdl));
    return handles;
}

WNDPROC GetWindowProcedure(HWND window) {
    WindowRecord* record = find(window);
    return record ? record->procedure : nullptr;
}

DWORD GetWindowStyle(HWND window) {
    WindowRecord* record = find(window);
    return record ? record->style : 0;
}

void SetWindowStyle(HWND window, DWORD style) {
    WindowRecord* record = find(window);
    if (!record) return;
    record->style = style;
    applyStyle(record->sdl, style);
}

BOOL GetClientRect(HWND window, RECT* rect) {
    SDL_Window* sdl = sdlOf(window);
    if (!sdl || !rect) return FALSE;
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    *rect = RECT{0, 0, w, h};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    WindowRecord* record = find(window);
    if (!record || !rect) return FALSE;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(record->sdl, &x, &y);
    SDL_GetWindowSize(record->sdl, &w, &h);
    const Frame f = frameOf(*record);
    *rect = RECT{x - f.left, y - f.top, x + w + f.right, y + h + f.bottom};
    return TRUE;
}

void PlaceWindow(HWND window, const RECT& outer) {
    WindowRecord* record = find(window);
    if (!record) return;
    const Frame f = frameOf(*record);
    const int w = std::max(1, static_cast<int>(outer.right - outer.left) - f.left - f.right);
    const int h = std::max(1, static_cast<int>(outer.bottom - outer.top) - f.top - f.bottom);
    SDL_SetWindowSize(record->sdl, w, h);
    SDL_SetWindowPosition(record->sdl, outer.left + f.left, outer.top + f.top);
    SDL_ShowWindow(record->sdl);
}

void ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

}  // namespace quorvel::platform
