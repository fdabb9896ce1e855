// Reload on save: the player watches the show's folders and, when a file was saved (or F5 is
// pressed), loads the whole show again in the same window and device, keeping the demo time. The
// old show is parked while the new one loads with the ordinary start-up code; only when all of
// the new show loaded and set itself up is the old one taken down. A show that fails to load
// leaves the old one playing, and says why in a box over the picture and on stderr.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include "engine/LayerOperations.h"
#include "engine/PlayerEngine.h"
#include "engine/ShowExchange.h"
#include "platform/win/FileNames.h"
#include "platform/win/OutputRedirection.h"
#include "platform/win/ReportRecording.h"
#include "shell/FrameTimer.h"

namespace quorvel {
namespace {

using platform::RecordedReport;

constexpr const char* kFailureHeading = "Reload failed; the last good show plays on:";

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The folder part of a path ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// What the playing show carries into the one that replaces it: the demo clock, with its time and
// pause state (loading a show sets the clock to the show's start).
struct CarriedPlayback {
    float demoTime;
    PlaybackControl clock;
};

// The message boxes a reload held back, one line per line of text, with their captions.
std::vector<std::string> boxLines(const std::vector<RecordedReport>& reports) {
    std::vector<std::string> lines;
    for (const RecordedReport& report : reports) {
        if (!report.messageBox) continue;
        std::string text = report.hasCaption && !report.caption.empty() ? report.caption + ": " + report.text
                                                                        : report.text;
        for (std::size_t from = 0; from <= text.size();) {
            const std::size_t end = std::min(text.find('\n', from), text.size());
            if (end > from) lines.push_back(text.substr(from, end - from));
            from = end + 1;
        }
    }
    return lines;
}

void replayDebugLines(const std::vector<RecordedReport>& reports) {
    std::vector<RecordedReport> debug;
    for (const RecordedReport& report : reports)
        if (!report.messageBox) debug.push_back(report);
    platform::replayReports(debug);
}

// Message boxes stay on stderr while the show reloads (the plug-ins' boxes too); the engine's own
// are recorded besides, for the box over the picture.
class NoModalBoxes {
public:
    NoModalBoxes() : was_(platform::messageBoxesHeadless()) { platform::setMessageBoxesHeadless(true); }
    ~NoModalBoxes() { platform::setMessageBoxesHeadless(was_); }
    NoModalBoxes(const NoModalBoxes&) = delete;
    NoModalBoxes& operator=(const NoModalBoxes&) = delete;

private:
    bool was_;
};

}  // namespace

HRESULT PlayerEngine::onStartup() {
    const HRESULT hr = DemoEngine::onStartup();
    if (FAILED(hr)) return hr;
    musicStamp_ = musicStamp();
    std::vector<std::string> folders{".", folderOf(scriptPath)};
    if (!dataPath.empty()) folders.push_back(dataPath);
    if (!watch_.watch(folders))
        std::fprintf(stderr, "quorvel: warning: the show's folders cannot be watched; F5 reloads the show\n");
    return hr;
}

HRESULT PlayerEngine::onRender() {
    if (watch_.settled(steadySeconds()) || reloadRequested_) {
        reloadRequested_ = false;
        reloadShow();
    }
    return DemoEngine::onRender();
}

bool PlayerEngine::reloadShow() {
    const CarriedPlayback carried{demoTime, playback};
    auto parked = std::make_unique<ShowContents>(viewer);
    exchangeShow(*this, *parked);
    startupFailure.clear();

    std::vector<RecordedReport> reports;
    HRESULT hr;
    {
        NoModalBoxes noModalBoxes;
        platform::ReportRecording recording;
        hr = loadShow(false);
        if (SUCCEEDED(hr)) hr = loadImages();
        if (SUCCEEDED(hr)) hr = initAllEffects();
        reports = recording.take();
    }

    if (FAILED(hr)) {
        // The new show goes; the parked one comes back exactly as it was, live effects and all.
        imageReads.clear();
        exchangeShow(*this, *parked);
        playback = carried.clock;
        parked->release();
        std::vector<std::string> lines = boxLines(reports);
        if (!startupFailure.empty() && std::find(lines.begin(), lines.end(), startupFailure) == lines.end())
            lines.push_back(startupFailure);
        if (lines.empty()) lines.push_back("the show could not be loaded");
        std::fprintf(stderr, "quorvel: %s\n", kFailureHeading);
        for (const std::string& line : lines) std::fprintf(stderr, "quorvel:   %s\n", line.c_str());
        std::fflush(stderr);
        lines.insert(lines.begin(), kFailureHeading);
        reloadError_ = std::move(lines);
        return false;
    }

    parked->release();
    replayDebugLines(reports);
    reloadError_.clear();

    // The demo clock runs on (or stays paused) at the carried time; the new show's effects that
    // are live at that time start as in the first frame of a show started there.
    playback = carried.clock;
    demoTime = carried.demoTime;
    refreshMusic(static_cast<double>(carried.demoTime) + (frameTimer(ClockAppTime) - appTime));
    for (Layer& layer : layers) advance(layer, &services, demoTime);
    std::fprintf(stderr, "quorvel: reloaded %s\n", viewer.isOpen() ? viewer.sceneFile().c_str() : scriptPath.c_str());
    return true;
}

std::string PlayerEngine::musicStamp() const {
    const std::int32_t argument = mute ? -1 : headerArgument("@loadmusic", 0);
    if (argument < 0) return {};
    const std::string path = platform::resolveFileName(musicBasePath + script.token(argument));
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return path + " (missing)";
    return path + " " + std::to_string(info.st_ino) + " " + std::to_string(info.st_size) + " " +
           std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

void PlayerEngine::refreshMusic(double t) {
    const std::string stamp = musicStamp();
    if (stamp == musicStamp_) return;  // the same music plays on, in time with the show
    musicStamp_ = stamp;
    music.Stop();
    music.Close();
    if (stamp.empty()) return;
    std::vector<RecordedReport> reports;
    {
        NoModalBoxes noModalBoxes;
        platform::ReportRecording recording;
        if (const char* name = script.textAfter(0, 0, "@loadmusic")) music.Open(musicBasePath, name, window);
        reports = recording.take();
    }
    // As at start-up, a music file that cannot be played leaves the show without music.
    reloadError_ = boxLines(reports);
    for (const std::string& line : reloadError_) std::fprintf(stderr, "quorvel: %s\n", line.c_str());
    if (!playback.paused()) music.PlayAt(t);  // a paused show's music starts when it resumes
}

}  // namespace quorvel
