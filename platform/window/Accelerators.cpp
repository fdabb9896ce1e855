#include "platform/window/Accelerators.h"

#include "platform/window/Messages.h"

#include <SDL.h>

namespace quorvel::platform {

bool TranslateAccelerator(HWND window, std::span<const ACCEL> table, const MSG* message) {
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return false;
    BYTE held = 0;
    if (message->lParam & (LPARAM{1} << 29)) held |= FALT;
    const SDL_Keymod mods = SDL_GetModState();
    if (mods & KMOD_SHIFT) held |= FSHIFT;
    if (mods & KMOD_CTRL) held |= FCONTROL;

    for (const ACCEL& entry : table) {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != message->wParam) continue;
        if ((entry.fVirt & (FSHIFT | FCONTROL | FALT)) != held) continue;
        SendMessage(window, WM_COMMAND, (WPARAM{1} << 16) | entry.cmd, 0);
        return true;
    }
    return false;
}

}  // namespace quorvel::platform
