// Message boxes: a modal SDL2 box where a display exists, and always one line on stderr so that
// headless runs and logs keep every report.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win/OutputRedirection.h"
#include "platform/win/ReportRecording.h"
#include "platform/win/Win32.h"

namespace {

struct MessageBoxState {
    std::mutex lock;
    quorvel::platform::MessageBoxSink sink;
    bool headless = false;
};

MessageBoxState& state() {
    static MessageBoxState s;
    return s;
}

// A box can only be shown when a window system is reachable and SDL is not told to render
// without one.
bool displayAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        return false;
    }
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// One stderr line: caption, then the text with its line breaks shown as spaces.
void printLine(const std::string& caption, const std::string& text) {
    std::string flat = text;
    for (char& c : flat) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), flat.c_str());
    std::fflush(stderr);
}

}  // namespace

namespace quorvel::platform {

void setMessageBoxSink(MessageBoxSink sink) {
    std::lock_guard<std::mutex> guard(state().lock);
    state().sink = std::move(sink);
}

void setMessageBoxesHeadless(bool headless) {
    std::lock_guard<std::mutex> guard(state().lock);
    state().headless = headless;
}

}  // namespace quorvel::platform

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    if (quorvel::platform::recordMessageBox(text, caption, type)) return IDOK;  // held back
    const std::string captionText = caption ? caption : "Error";
    const std::string bodyText = text ? text : "";

    quorvel::platform::MessageBoxSink sink;
    bool headless;
    {
        std::lock_guard<std::mutex> guard(state().lock);
        sink = state().sink;
        headless = state().headless;
    }
    if (sink) {
        sink(captionText, bodyText);
        return IDOK;
    }

    printLine(captionText, bodyText);
    if (headless || !displayAvailable()) return IDOK;

    const Uint32 flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, captionText.c_str(), bodyText.c_str(),
                             static_cast<SDL_Window*>(owner));
    return IDOK;
}
