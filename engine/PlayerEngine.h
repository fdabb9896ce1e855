// The engine as the quorvel program runs it: the command line's choices, the setup dialog
// preselected from the remembered settings (or skipped), the choice remembered on OK, the keys
// that move in time (pause, seek) with their overlays, and the keys of the scene viewer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/CommandLine.h"
#include "engine/DemoEngine.h"
#include "engine/ShowWatch.h"

namespace quorvel {

struct ShowLocation;

class PlayerEngine : public DemoEngine {
public:
    explicit PlayerEngine(const PlayerOptions& options);

    // Plays what the SHOW argument located (the working directory is its folder already).
    void play(const ShowLocation& location);

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Start-up as the engine's, then the show's folders are watched for saved files.
    HRESULT onStartup() override;
    // Reloads the show first when its files were saved or F5 asked.
    HRESULT onRender() override;

    // Loads the show again from its files in the same window and device and plays on at the same
    // demo time. False when the new show cannot be played: the last good show plays on, and
    // reloadError() says why until a reload succeeds.
    bool reloadShow();
    const std::vector<std::string>& reloadError() const { return reloadError_; }

protected:
    INT runSetupDialog() override;
    void drawOverlays() override;

private:
    // Space, the seeking keys, F1 and T; false for any other key.
    bool handlePlaybackKey(WPARAM key, bool repeat);
    // --windowed, --fullscreen and --size, applied to the device table and the window size.
    void applyDisplayOptions();
    // The music file the script names, with what identifies its content; empty without music.
    std::string musicStamp() const;
    // After a reload: the music is opened again only when its file changed, and plays at t.
    void refreshMusic(double t);

    PlayerOptions options_;
    std::string title_;  // the window title while viewing a scene
    ShowWatch watch_;
    bool reloadRequested_ = false;
    std::vector<std::string> reloadError_;
    std::string musicStamp_;  // of the music that plays
    bool showHelp_ = false;
    bool showTime_ = false;
};

// Reads the command line, finds the show and enters its folder. Returns the engine to create and
// run, or null when the program ends at once with `status` (help, version, or a bad argument:
// one line naming it and the usage on stderr, status 2).
std::unique_ptr<DemoEngine> preparePlayer(int argc, char** argv, int& status);

// True, after one line on stderr, when no video driver was asked for and none reaches a real
// display (SDL would fall back to rendering offscreen, and the show would play unseen).
bool noDisplayToPlayOn();

}  // namespace quorvel
