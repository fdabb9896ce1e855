// How SDL events become window messages:
//  - window size changed: WM_ENTERSIZEMOVE, WM_SIZE (SIZE_RESTORED), WM_EXITSIZEMOVE, as after
//    an interactive resize; moved: WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE
//  - minimized / maximized / restored: WM_SIZE with SIZE_MINIMIZED / SIZE_MAXIMIZED / SIZE_RESTORED
//  - exposed: WM_PAINT; close request: WM_CLOSE
//  - focus gained / lost: WM_ACTIVATEAPP with 1 / 0
//  - mouse motion: WM_SETCURSOR, then WM_MOUSEMOVE with client coordinates
//  - key press: WM_KEYDOWN, or WM_SYSKEYDOWN while Alt is held (bit 29 of lParam set), with the
//    Win32 virtual-key code; releases likewise WM_KEYUP / WM_SYSKEYUP
//  - quit request (session end, signal): WM_CLOSE to every window
// Messages the shell's window procedure handles that nothing here makes, because Linux tells
// the program of no such thing:
//  - WM_ENTERMENULOOP / WM_EXITMENULOOP: the window has no menu.
//  - WM_SYSCOMMAND (size, move, maximize, key menu, monitor power) and WM_NCHITTEST: the window
//    manager moves, sizes and maximizes windows and hit-tests their frames without asking the
//    program, and there is no window menu; screen blanking is left to the session.
//  - WM_POWERBROADCAST: SDL2 reports no suspend or resume on Linux (its background and
//    foreground events come only from mobile systems).
//  - WM_SIZE with SIZE_MAXHIDE: X11 reports every unmapping of the window as a minimise.
// WM_GETMINMAXINFO comes from CreateAppWindow, WM_COMMAND from the accelerators.
#pragma once

#include "platform/win/WinMessages.h"

#include <SDL.h>

#include <vector>

namespace quorvel::platform {

// Appends the messages for one event to `out`; events without a window of ours give none.
void translateEvent(const SDL_Event& event, std::vector<MSG>& out);

// Win32 virtual-key code of an SDL key, or 0 when the program has no use for it.
WPARAM virtualKeyOf(SDL_Keycode key);

}  // namespace quorvel::platform
