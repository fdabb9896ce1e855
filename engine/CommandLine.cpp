#include "engine/CommandLine.h"

#include <charconv>
#include <cmath>

#ifndef QUORVEL_VERSION
#define QUORVEL_VERSION "unknown"
#endif

namespace quorvel {

const char* const PlayerUsage =
    "usage: quorvel [OPTION...] [SHOW]\n"
    "Plays a demo show. SHOW is a show folder (the one holding data/; default: the current\n"
    "folder), a script file inside one, or a 3D Studio file (.3ds) to view alone.\n"
    "\n"
    "Options:\n"
    "  --no-dialog        start without the setup dialog, with the remembered settings\n"
    "  --windowed         play in a window\n"
    "  --fullscreen       play fullscreen\n"
    "  --size WxH         window size, or fullscreen mode, in pixels (for example 1280x720)\n"
    "  --start SECONDS    start at this demo time (fractional; replaces the script's @starttime)\n"
    "  --loop             start again at the end instead of exiting\n"
    "  --mute             play without music\n"
    "  --trust-show       let the show's own plug-in libraries load (they are programs)\n"
    "  --version          print the version and exit\n"
    "  --help             print this help and exit\n"
    "\n"
    "Keys while playing:\n"
    "  Escape, Alt+F4     end the show\n"
    "  Alt+Enter          switch between window and fullscreen\n"
    "  Space              pause / resume (picture and music)\n"
    "  Left, Right        1 s back / forward\n"
    "  Page Up, Page Down 10 s back / forward (also Shift+Left, Shift+Right)\n"
    "  Home               back to the start time\n"
    "  T                  show / hide the demo time and the active layers\n"
    "  F1                 show / hide the list of keys\n"
    "  C                  next camera (when viewing a .3ds file)\n"
    "  F5                 reload the show (it also reloads by itself when a file is saved)\n"
    "\n"
    "The setup dialog's choice is remembered in $XDG_CONFIG_HOME/quorvel/settings.ini\n"
    "(~/.config/quorvel/settings.ini by default).\n";

const char* playerVersionLine() { return "quorvel " QUORVEL_VERSION; }

namespace {

// A whole decimal number with nothing around it.
bool readWhole(std::string_view text, int& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool readSize(const std::string& text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    const std::string_view all(text);
    if (!readWhole(all.substr(0, x), width) || !readWhole(all.substr(x + 1), height)) return false;
    constexpr int smallest = 16, largest = 16384;
    return width >= smallest && height >= smallest && width <= largest && height <= largest;
}

bool readSeconds(const std::string& text, double& seconds) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(seconds) &&
           seconds >= 0.0;
}

CommandLine failure(std::string message) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(message);
    return result;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    PlayerOptions& options = result.options;
    bool showGiven = false;
    bool optionsEnded = false;

    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (showGiven) return failure("unexpected argument '" + arg + "': only one SHOW may be given");
            options.show = arg;
            showGiven = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        // Options with a value take it as the next argument or after '='.
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        const bool takesValue = arg == "--size" || arg == "--start";
        if (inlineValue && !takesValue) return failure("option '" + arg + "' takes no value");
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return failure("option '" + arg + "' needs a value");
            }
        }

        if (arg == "--help" || arg == "-h") {
            result.action = CommandLine::Action::Help;
        } else if (arg == "--version") {
            if (result.action != CommandLine::Action::Help) result.action = CommandLine::Action::Version;
        } else if (arg == "--no-dialog") {
            options.noDialog = true;
        } else if (arg == "--windowed" || arg == "--fullscreen") {
            const bool windowed = arg == "--windowed";
            if (options.windowed && *options.windowed != windowed)
                return failure("option '" + arg + "' contradicts '" +
                               (windowed ? "--fullscreen" : "--windowed") + "'");
            options.windowed = windowed;
        } else if (arg == "--size") {
            if (!readSize(value, options.width, options.height))
                return failure("bad value '" + value + "' for --size: expected WIDTHxHEIGHT, 16 to 16384 each");
        } else if (arg == "--start") {
            double seconds = 0.0;
            if (!readSeconds(value, seconds))
                return failure("bad value '" + value + "' for --start: expected seconds, 0 or more");
            options.start = seconds;
        } else if (arg == "--loop") {
            options.loop = true;
        } else if (arg == "--mute") {
            options.mute = true;
        } else if (arg == "--trust-show") {
            options.trustShow = true;
        } else {
            return failure("unknown option '" + arg + "'");
        }
    }
    return result;
}

}  // namespace quorvel
