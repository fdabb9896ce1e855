#include "engine/PlayerEngine.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/PlayerOverlays.h"
#include "engine/ShowLocation.h"
#include "engine/TextPanel.h"
#include "font/OverlayFont.h"
#include "platform/win/Win32.h"
#include "platform/window/Window.h"
#include "shell/DisplayPreselection.h"
#include "shell/DisplaySettings.h"
#include "shell/SetupDialogModel.h"

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
    trustShow = options.trustShow;
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
    if (message == WM_KEYDOWN && wParam == VK_F5 && !(lParam & kKeyRepeat)) {
        reloadRequested_ = true;  // done before the next frame is drawn
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
    if (!font || (!showHelp_ && !showTime_ && reloadError_.empty())) return;
    constexpr float kLeft = 8.0f, kGap = 8.0f;
    constexpr DWORD kTextColour = 0xFFFFFFFFu;
    constexpr DWORD kErrorColour = 0xFFFFD040u;
    // Below the statistics lines, one panel under the other: a failed reload's reason first.
    float top = 34.0f;
    auto panel = [&](const std::vector<std::string>& lines, DWORD colour) {
        drawTextPanel(device, *font, kLeft, top, lines, colour);
        top += font->lineHeight() * static_cast<float>(lines.size()) + 12.0f + kGap;  // 12: the box's margins
    };
    if (!reloadError_.empty()) panel(reloadError_, kErrorColour);
    if (showTime_) panel(timeLines(demoTime, playback.paused(), layers, LayerCount), kTextColour);
    if (showHelp_) panel(helpLines(), kTextColour);
}

INT PlayerEngine::runSetupDialog() {
    const std::string path = displaySettingsPath();
    DisplaySettings remembered;
    if (!path.empty()) {
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

    // A show that brings its own plug-ins: the dialog offers to allow them, as the user last chose
    // for this folder; --trust-show has decided already.
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    const bool remembersTrust = !ec && remembered.trustedShows.count(folder) != 0;
    ShowTrustChoice trust{options_.trustShow || remembersTrust, options_.trustShow};
    const bool offered = asksForShowPlugins();
    if (options_.noDialog) {
        trustShow = trust.checked;
        return IDOK;
    }

    const INT result = showDialog(offered ? &trust : nullptr);
    if (result != IDOK) return result;
    if (offered) trustShow = trust.checked;
    if (!path.empty()) {
        DisplaySettings chosen = currentDisplaySettings(*this);
        chosen.trustedShows = remembered.trustedShows;
        if (offered && !trust.locked && !ec) {
            if (trust.checked)
                chosen.trustedShows.insert(folder);
            else
                chosen.trustedShows.erase(folder);
        }
        std::string error;
        if (!writeDisplaySettings(path, chosen, error)) warn(error);
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

bool noDisplayToPlayOn() {
    // A driver asked for by name (offscreen in tests) is the user's choice and is used.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver) return false;
    if (platform::WindowSystemReachesDisplay()) return false;
    std::fprintf(stderr, "quorvel: no display to play on; quorvel-capture plays a show without one, "
                         "to pictures or a video\n");
    return true;
}

}  // namespace quorvel
