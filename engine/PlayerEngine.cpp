#include "engine/PlayerEngine.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/PlayerOverlays.h"
#include "engine/ShowLocation.h"
#include "engine/TextPanel.h"
#include "font/OverlayFont.h"
#include "platform/win/Win32.h"
#include "shell/DisplayPreselection.h"
#include "shell/DisplaySettings.h"

namespace quorvel {
namespace {

void warn(const std::string& text) { std::fprintf(stderr, "quorvel: warning: %s\n", text.c_str()); }

// lParam bit 30: the key was already down (an auto-repeat).
constexpr LPARAM kKeyRepeat = LPARAM{1} << 30;

constexpr const char* kUsageHint =
    "usage: quorvel [OPTION...] [SHOW]\n"
    "Try 'quorvel --help' for the options.\n";

}  // namespace

PlayerEngine::PlayerEngine(const PlayerOptions& options) : options_(options) {
    if (options.start) startOverride = static_cast<float>(*options.start);
    loop = options.loop;
    mute = options.mute;
}

void PlayerEngine::play(const ShowLocation& location) {
    playFrom(location);
    if (viewer.isOpen()) {
        // The viewer shows the scene until it is closed, and names the file in the title bar.
        loop = true;
        title_ = location.sceneFile + " - quorvel";
        windowTitle = title_.c_str();
    }
}

LRESULT PlayerEngine::handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == 'C' && !(lParam & kKeyRepeat) && viewer.isOpen()) {
        if (viewer.nextCamera() && viewer.followedCamera())
            std::fprintf(stderr, "quorvel: camera %s\n", viewer.followedCamera()->name.c_str());
        return 0;
    }
    if (message == WM_KEYDOWN && handlePlaybackKey(wParam, (lParam & kKeyRepeat) != 0)) return 0;
    return DemoEngine::handleMessage(hwnd, message, wParam, lParam);
}

bool PlayerEngine::handlePlaybackKey(WPARAM key, bool repeat) {
    const float step = (GetKeyState(static_cast<int>(VK_SHIFT)) & 0x8000) != 0 ? 10.0f : 1.0f;
    switch (key) {
    case VK_SPACE:
        if (!repeat) togglePause();
        return true;
    case VK_LEFT:  // held down, the arrows and pages go on moving
        seekBy(-step);
        return true;
    case VK_RIGHT:
        seekBy(step);
        return true;
    case VK_PRIOR:
        seekBy(-10.0f);
        return true;
    case VK_NEXT:
        seekBy(10.0f);
        return true;
    case VK_HOME:
        seekTo(passStart());
        return true;
    case VK_F1:
        if (!repeat) showHelp_ = !showHelp_;
        return true;
    case 'T':
        if (!repeat) showTime_ = !showTime_;
        return true;
    default:
        return false;
    }
}

void PlayerEngine::drawOverlays() {
    if (!font || (!showHelp_ && !showTime_)) return;
    constexpr float kLeft = 8.0f, kGap = 8.0f;
    constexpr DWORD kTextColour = 0xFFFFFFFFu;
    // Below the statistics lines, one panel under the other.
    float top = 34.0f;
    auto panel = [&](const std::vector<std::string>& lines) {
        drawTextPanel(device, *font, kLeft, top, lines, kTextColour);
        top += font->lineHeight() * static_cast<float>(lines.size()) + 12.0f + kGap;  // 12: the box's margins
    };
    if (showTime_) panel(timeLines(demoTime, playback.paused(), layers, LayerCount));
    if (showHelp_) panel(helpLines());
}

INT PlayerEngine::runSetupDialog() {
    const std::string path = displaySettingsPath();
    if (!path.empty()) {
        DisplaySettings remembered;
        std::string problem;
        switch (readDisplaySettings(path, remembered, problem)) {
        case SettingsReadResult::Loaded:
            if (!preselectDisplay(*this, remembered))
                warn("the remembered display settings no longer fit this machine; defaults are used where they differ");
            break;
        case SettingsReadResult::Damaged:
            warn("ignoring " + path + ": " + problem);
            break;
        case SettingsReadResult::Missing:
            break;
        }
    }
    applyDisplayOptions();
    if (options_.noDialog) return IDOK;

    const INT result = DemoEngine::runSetupDialog();
    if (result == IDOK && !path.empty()) {
        std::string error;
        if (!writeDisplaySettings(path, currentDisplaySettings(*this), error)) warn(error);
    }
    return result;
}

void PlayerEngine::applyDisplayOptions() {
    if (options_.windowed && !chooseWindowed(*this, *options_.windowed))
        warn("the display device cannot render in a window; playing fullscreen");
    if (options_.width > 0) {
        createWidth = static_cast<DWORD>(options_.width);
        createHeight = static_cast<DWORD>(options_.height);
        const bool found = chooseModeSize(*this, static_cast<unsigned>(options_.width),
                                          static_cast<unsigned>(options_.height));
        if (!found && !currentDeviceEntry().windowed)
            warn("no fullscreen mode of " + std::to_string(options_.width) + "x" +
                 std::to_string(options_.height) + "; using " +
                 std::to_string(currentModeEntry().width) + "x" + std::to_string(currentModeEntry().height));
    }
}

std::unique_ptr<DemoEngine> preparePlayer(int argc, char** argv, int& status) {
    const CommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    status = 0;
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(PlayerUsage, stdout);
        return nullptr;
    case CommandLine::Action::Version:
        std::puts(playerVersionLine());
        return nullptr;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "quorvel: %s\n%s", command.error.c_str(), kUsageHint);
        status = 2;
        return nullptr;
    case CommandLine::Action::Play:
        break;
    }

    auto engine = std::make_unique<PlayerEngine>(command.options);
    // Without a SHOW the working directory is played as it stands, whatever it holds: a missing
    // script is reported by the engine, as it always was.
    if (command.options.show.empty()) return engine;

    std::string error;
    const auto location = locateShow(command.options.show, error);
    if (location && ::chdir(location->folder.c_str()) != 0)
        error = "cannot enter " + location->folder + ": " + std::strerror(errno);
    if (!location || !error.empty()) {
        std::fprintf(stderr, "quorvel: %s\n%s", error.c_str(), kUsageHint);
        status = 2;
        return nullptr;
    }
    engine->play(*location);
    return engine;
}

}  // namespace quorvel
