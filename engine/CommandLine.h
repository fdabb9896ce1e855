// The command line of the quorvel program:
//   quorvel [OPTION...] [SHOW]
// SHOW is a show folder, a script file inside one, or a 3D Studio file played alone. Without any
// option quorvel plays the working directory's show after the setup dialog, as it always did.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorvel {

struct PlayerOptions {
    std::string show;                // the SHOW argument; empty: the working directory
    bool noDialog = false;           // start with the remembered or default settings
    std::optional<bool> windowed;    // --windowed (true) or --fullscreen (false)
    int width = 0;                   // --size: window client size or fullscreen mode; 0: not given
    int height = 0;
    std::optional<double> start;     // --start: demo time of the first frame, replaces "@starttime"
    bool loop = false;               // at the end, start again instead of exiting
    bool mute = false;               // no music, and no audio device opened
    bool trustShow = false;          // plug-in libraries that come with the show may load
};

struct CommandLine {
    enum class Action { Play, Help, Version, Error };
    Action action = Action::Play;
    PlayerOptions options;
    std::string error;  // for Error: one line naming the argument at fault
};

// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// The usage text that --help prints (and that follows an error on stderr).
extern const char* const PlayerUsage;

// "quorvel VERSION".
const char* playerVersionLine();

}  // namespace quorvel
