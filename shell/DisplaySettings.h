// The display choice of the setup dialog as it is remembered between runs, and the file it is
// kept in: $XDG_CONFIG_HOME/quorvel/settings.ini (~/.config/quorvel/settings.ini by default), a
// small text file of "key=value" lines under a "[display]" heading, followed by one
// "[show FOLDER]" section with "plugins=allowed" for every show folder (an absolute path) whose
// own plug-ins the user allowed in the dialog.
#pragma once

#include <set>
#include <string>

namespace quorvel {

struct DisplaySettings {
    std::string adapter;        // the adapter's description, as the dialog lists it
    std::string device;         // "HAL" or "REF"
    bool windowed = true;
    unsigned width = 0;         // the fullscreen mode
    unsigned height = 0;
    unsigned format = 0;        // the mode's display format (a D3DFORMAT number)
    unsigned multiSample = 0;   // multisample type, 0 for none
    std::set<std::string> trustedShows;  // show folders whose own plug-ins may load

    bool operator==(const DisplaySettings&) const = default;
};

// Where the settings live; empty when neither XDG_CONFIG_HOME nor HOME is usable.
std::string displaySettingsPath();

enum class SettingsReadResult { Loaded, Missing, Damaged };

// Reads the file at path. Missing: there is none (nothing to say). Damaged: the file exists but is
// not a settings file of ours, or one of its values cannot be used; problem says why, in a few
// words. Only Loaded fills settings.
SettingsReadResult readDisplaySettings(const std::string& path, DisplaySettings& settings,
                                       std::string& problem);

// Writes the settings so that the file is either the old one or the complete new one, never a
// mix: a temporary file next to it is written in full and then renamed over it. Makes the folder
// when needed. False (with error set) when the file could not be written; the old file stays.
bool writeDisplaySettings(const std::string& path, const DisplaySettings& settings, std::string& error);

}  // namespace quorvel
