// Keyboard accelerators: a table of keys with modifiers bound to commands. A key message that
// matches an entry becomes WM_COMMAND (low word the command, high word 1) sent to the window.
#pragma once

#include "platform/win/WinMessages.h"

#include <span>

namespace quorvel::platform {

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};

// Shift and Control are read from the keyboard state, Alt from the message itself. An entry
// matches only when its modifiers are exactly the ones held. Returns whether a command was sent.
bool TranslateAccelerator(HWND window, std::span<const ACCEL> table, const MSG* message);

}  // namespace quorvel::platform
