// quorvel-check: reads a show as the player would, without a display, a GL context or a sound
// device, and reports every problem it finds at once; optionally draws the show's timeline.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "ShowCheck.h"
#include "TimelinePicture.h"
#include "engine/ShowLocation.h"

namespace {

const char* const Usage =
    "usage: quorvel-check [--timeline FILE.svg|FILE.png] [--trust-show] [SHOW]\n"
    "Reports every problem of the show as FILE:LINE: error|warning: TEXT, sorted by line.\n"
    "SHOW is a show folder, its data/ folder or a script file (default: the working directory).\n"
    "--trust-show loads the show's own plug-in libraries too (they are programs), to check their effects.\n"
    "Exit status: 0 without errors, 1 with errors, 2 when the show cannot be read.\n";

}  // namespace

int main(int argc, char** argv) {
    std::string showArgument;
    std::string timelineFile;
    bool trustShow = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (arg == "--trust-show") {
            trustShow = true;
        } else if (arg == "--timeline" && i + 1 < argc) {
            timelineFile = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "quorvel-check: unknown option %s\n%s", arg.c_str(), Usage);
            return 2;
        } else if (showArgument.empty()) {
            showArgument = arg;
        } else {
            std::fprintf(stderr, "quorvel-check: more than one show given\n%s", Usage);
            return 2;
        }
    }
    // The picture is written where the user asked, relative to where the checker started.
    if (!timelineFile.empty() && timelineFile[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd))) timelineFile = std::string(cwd) + "/" + timelineFile;
    }

    std::string error;
    const auto location = quorvel::locateShow(showArgument, error);
    if (!location || location->isScene()) {
        std::fprintf(stderr, "quorvel-check: %s\n", location ? "a scene file is no show to check" : error.c_str());
        return 2;
    }
    if (chdir(location->folder.c_str()) != 0) {
        std::fprintf(stderr, "quorvel-check: cannot enter %s\n", location->folder.c_str());
        return 2;
    }

    // No window, GL context or sound device is ever opened; plug-ins' message boxes become
    // stderr lines that the checker catches.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto check = std::make_unique<quorvel::check::ShowCheck>(location->scriptPath);
    check->trustShow = trustShow;
    const bool readable = check->run();
    int errors = 0, warnings = 0;
    for (const quorvel::Diagnostic& d : check->diagnostics) {
        (d.severity == quorvel::Severity::Error ? errors : warnings) += 1;
        std::printf("%s\n", quorvel::formatDiagnostic(check->scriptPath(), d, true).c_str());
    }
    std::printf("%s: %d error%s, %d warning%s\n", check->scriptPath().c_str(), errors, errors == 1 ? "" : "s", warnings,
                warnings == 1 ? "" : "s");
    if (!readable) return 2;

    if (!timelineFile.empty()) {
        std::string why;
        if (!quorvel::check::writeTimelinePicture(*check, timelineFile, why)) {
            std::fprintf(stderr, "quorvel-check: cannot write %s: %s\n", timelineFile.c_str(), why.c_str());
            return 2;
        }
    }
    return errors == 0 ? 0 : 1;
}
