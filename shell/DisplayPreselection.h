// Between the remembered display settings and the shell's device table: what the table's current
// choice is, as settings to remember, and the table preselected from remembered settings. What the
// settings name but the machine no longer has (an adapter, a device, a mode, a multisample type)
// leaves the table's default choice in place.
#pragma once

#include <string>

#include "shell/DisplaySettings.h"

namespace quorvel {

class AppShell;

// The table's current adapter, device, windowed choice, mode and multisample type.
DisplaySettings currentDisplaySettings(AppShell& shell);

// Makes the remembered choice the table's current one where it still exists. Returns false when
// the remembered adapter, device or mode is gone and the default was kept for it.
bool preselectDisplay(AppShell& shell, const DisplaySettings& settings);

// Chooses windowed (true) or fullscreen for the current device. Windowed needs a device that can
// render in a window; false when it cannot.
bool chooseWindowed(AppShell& shell, bool windowed);

// Makes the current device's mode of this size current, preferring the current mode's format.
// False when the device has no mode of that size.
bool chooseModeSize(AppShell& shell, unsigned width, unsigned height);

}  // namespace quorvel
