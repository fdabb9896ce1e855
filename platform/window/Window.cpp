#include "platform/window/Window.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace quorvel::platform {
namespace {

struct WindowRecord {
    SDL_Window* sdl;
    WNDPROC procedure;
    DWORD style;
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

void applyStyle(SDL_Window* sdl, DWORD style) {
    SDL_SetWindowBordered(sdl, (style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
}

}  // namespace

HWND CreateAppWindow(const char* title, DWORD style, int clientWidth, int clientHeight,
                     WNDPROC procedure) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL;
    if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    if (!(style & WS_VISIBLE)) flags |= SDL_WINDOW_HIDDEN;
    SDL_Window* sdl = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                       clientWidth, clientHeight, flags);
    if (!sdl) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    windows().push_back({sdl, procedure, style});
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
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
    SDL_Window* sdl = sdlOf(window);
    if (!sdl || !rect) return FALSE;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &w, &h);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    *rect = RECT{x - left, y - top, x + w + right, y + h + bottom};
    return TRUE;
}

void PlaceWindow(HWND window, const RECT& outer) {
    SDL_Window* sdl = sdlOf(window);
    if (!sdl) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0) top = left = bottom = right = 0;
    const int w = std::max(1, static_cast<int>(outer.right - outer.left) - left - right);
    const int h = std::max(1, static_cast<int>(outer.bottom - outer.top) - top - bottom);
    SDL_SetWindowSize(sdl, w, h);
    SDL_SetWindowPosition(sdl, outer.left + left, outer.top + top);
    SDL_ShowWindow(sdl);
}

void ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

}  // namespace quorvel::platform
