// How SDL events become window messages:
//  - window size changed: WM_ENTERSIZEMOVE, WM_SIZE (SIZE_RESTORED), WM_EXITSIZEMOVE, as after
//    an interactive resize; moved: WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE
//  - minimized / maximized / restored: WM_SIZE with SIZE_MINIMIZED / SIZE_MAXIMIZED / SIZE_RESTORED
//  - exposed: WM_PAINT; close request: WM_CLOSE
//  - focus gained / lost: WM_ACTIVATEAPP with 1 / 0
//  - mouse motion: WM_SETCURSOR, then WM_MOUSEMOVE with client coordinates
//  - key press: WM_KEYDOWN, or WM_SYSKEYDOWN while Alt is held (bit 29 of lParam set), with the
//    Win32 virtual-key code; releases likewise WM_KEYUP / WM_SYSKEYUP
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
