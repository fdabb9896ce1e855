// quorvel-capture: plays a show (by default the one in the working directory) headless and
// frame-exact, to pictures, a video or measurements. It runs the same engine, shell and plug-ins as quorvel.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "CaptureEngine.h"
#include "Interruption.h"
#include "engine/ShowLocation.h"
#include "platform/audio/bass.h"
#include "platform/memory/ProcessHeap.h"
#include "platform/win/OutputRedirection.h"
#include "shell/FrameTimer.h"

int main(int argc, char** argv) {
    const auto programStart = std::chrono::steady_clock::now();
    quorvel::platform::prepareProcessHeap();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto options = quorvel::capture::parseCaptureOptions(args, error);
    if (!options) {
        if (!error.empty()) std::fprintf(stderr, "quorvel-capture: %s\n", error.c_str());
        std::fputs(quorvel::capture::CaptureUsage, stderr);
        return error.empty() ? 0 : 2;
    }

    // Output paths stay relative to where the program was started, not to the show folder.
    options->outDir = std::filesystem::absolute(options->outDir).string();
    for (std::string* path : {&options->wavPath, &options->videoPath, &options->measureCsv}) {
        if (!path->empty()) *path = std::filesystem::absolute(*path).string();
    }
    std::optional<quorvel::ShowLocation> show;
    if (!options->show.empty()) {
        show = quorvel::locateShow(options->show, error);
        if (!show || ::chdir(show->folder.c_str()) != 0) {
            std::fprintf(stderr, "quorvel-capture: %s\n", show ? "cannot enter the show folder" : error.c_str());
            return 2;
        }
    }

    // No display and no sound device: pictures come from an offscreen GL context, the music is
    // mixed on demand, and message boxes become stderr lines.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    quorvel::platform::setMessageBoxesHeadless(true);
    BASS_SetCaptureMode(TRUE);
    quorvel::capture::catchInterruptions();

    quorvel::platform::ManualClock clock;
    quorvel::useFrameTimerClock(&clock);

    auto engine = std::make_unique<quorvel::capture::CaptureEngine>(*options, clock, programStart);
    if (show) engine->playFrom(*show);
    if (!engine->prepareOutputs()) return 1;
    if (FAILED(engine->create(nullptr))) {
        const std::string& reason = engine->startupFailure;
        std::fprintf(stderr, "quorvel-capture: the show could not start%s%s\n", reason.empty() ? "" : ": ",
                     reason.c_str());
        return 1;
    }
    const bool begun = engine->beginCapture();
    if (!begun) engine->closeBeforeFirstFrame();  // the loop then only takes the show down
    clock.advance(1.0 / options->fps.value());  // the first frame sees one frame's elapsed time
    engine->run();
    const int status = begun ? engine->endCapture() : 1;
    engine.reset();
    quorvel::useFrameTimerClock(nullptr);
    return status;
}
