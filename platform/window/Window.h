// Windows of the program on SDL2. A window handle (HWND) is the SDL_Window* cast to void*; the
// window is created with SDL_WINDOW_OPENGL so the Direct3D layer can make its GL context on it.
// Each window carries the procedure its messages go to and a Win32-style style word, of which
// the caption and the sizing border are shown by SDL.
#pragma once

#include "platform/win/WinMessages.h"

#include <vector>

namespace quorvel::platform {

// Starts SDL's video and loads its GL library for the rest of the process (once; later calls
// only report). False when no video driver can start.
bool StartWindowSystem();
// Starts the window system and tells whether its video driver shows windows on a real display;
// false when it cannot start or is one that renders without a display (offscreen, dummy).
bool WindowSystemReachesDisplay();

// Creates a window titled `title` with a client area of clientWidth x clientHeight at the
// default position. The procedure receives WM_GETMINMAXINFO once; its minimum tracking size
// becomes the window's minimum size. Returns null when SDL cannot make the window.
HWND CreateAppWindow(const char* title, DWORD style, int clientWidth, int clientHeight,
                     WNDPROC procedure);
// Destroys the window (its procedure gets WM_DESTROY first). Messages to it are dropped after.
BOOL DestroyWindow(HWND window);
bool IsWindow(HWND window);
// The windows that exist, oldest first.
std::vector<HWND> AllWindows();
WNDPROC GetWindowProcedure(HWND window);

DWORD GetWindowStyle(HWND window);
void SetWindowStyle(HWND window, DWORD style);

// Client rectangle: origin (0, 0), the drawable size. Window rectangle: the outer frame in
// screen coordinates, decorations included.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
// Moves and sizes the window to an outer rectangle and shows it.
void PlaceWindow(HWND window, const RECT& outer);

// Shows or hides the mouse cursor over the program's windows.
void ShowCursor(bool show);

}  // namespace quorvel::platform
