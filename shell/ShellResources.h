// Program resources that Windows would keep in a resource script: the accelerator table and
// the window class name.
#pragma once

#include "platform/window/Accelerators.h"
#include "shell/ShellErrors.h"

namespace quorvel {

// Escape and Alt+F4 close the program; Alt+Enter switches between window and fullscreen.
inline constexpr platform::ACCEL kShellAccelerators[] = {
    {platform::FVIRTKEY, static_cast<WORD>(VK_ESCAPE), CmdClose},
    {platform::FVIRTKEY | platform::FALT, static_cast<WORD>(VK_F4), CmdClose},
    {platform::FVIRTKEY | platform::FALT, static_cast<WORD>(VK_RETURN), CmdFlipWindowMode},
};

// Styles of the shell's window: windowed (popup, visible, caption, system menu, sizing border,
// minimize box) and fullscreen (popup, visible, system menu).
constexpr DWORD kWindowedStyle = 0x90CE0000u;
constexpr DWORD kFullscreenStyle = 0x90080000u;

}  // namespace quorvel
