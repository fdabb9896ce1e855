// The engine as the quorvel program runs it: the command line's choices, the setup dialog
// preselected from the remembered settings (or skipped), the choice remembered on OK, the keys
// that move in time (pause, seek) with their overlays, and the keys of the scene viewer.
#pragma once

#include <memory>
#include <string>

#include "engine/CommandLine.h"
#include "engine/DemoEngine.h"

namespace quorvel {

struct ShowLocation;

class PlayerEngine : public DemoEngine {
public:
    explicit PlayerEngine(const PlayerOptions& options);

    // Plays what the SHOW argument located (the working directory is its folder already).
    void play(const ShowLocation& location);

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    INT runSetupDialog() override;
    void drawOverlays() override;

private:
    // Space, the seeking keys, F1 and T; false for any other key.
    bool handlePlaybackKey(WPARAM key, bool repeat);
    // --windowed, --fullscreen and --size, applied to the device table and the window size.
    void applyDisplayOptions();

    PlayerOptions options_;
    std::string title_;  // the window title while viewing a scene
    bool showHelp_ = false;
    bool showTime_ = false;
};

// Reads the command line, finds the show and enters its folder. Returns the engine to create and
// run, or null when the program ends at once with `status` (help, version, or a bad argument:
// one line naming it and the usage on stderr, status 2).
std::unique_ptr<DemoEngine> preparePlayer(int argc, char** argv, int& status);

}  // namespace quorvel
