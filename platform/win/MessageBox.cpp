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
};

// Kept as an SDL hint rather than in this file's state: plug-ins carry their own copy of this
// code, and the one SDL library of the process is what all copies share, so a program that
// keeps its boxes on stderr keeps its plug-ins' boxes there too.
constexpr const char* kHeadlessHint = "QUORVEL_MESSAGE_BOXES_HEADLESS";

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

void setMessageBoxesHeadless(bool headless) { SDL_SetHint(kHeadlessHint, headless ? "1" : "0"); }

bool messageBoxesHeadless() { return SDL_GetHintBoolean(kHeadlessHint, SDL_FALSE) == SDL_TRUE; }

}  // namespace quorvel::platform

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    if (quorvel::platform::recordMessageBox(text, caption, type)) return IDOK;  // held back
    const std::string captionText = caption ? caption : "Error";
    const std::string bodyText = text ? text : "";

    quorvel::platform::MessageBoxSink sink;
    {
        std::lock_guard<std::mutex> guard(state().lock);
        sink = state().sink;
    }
    const bool headless = quorvel::platform::messageBoxesHeadless();
    if (sink) {
        sink(captionText, bodyText);
        return IDOK;
    }

    printLine(captionText, bodyText);
    if (headless || !displayAvailable()) return IDOK;

    // One OK button that Return and Escape both press, as on Windows.
    SDL_MessageBoxButtonData ok{};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = IDOK;
    ok.text = "OK";
    SDL_MessageBoxData box{};
    box.flags = (type & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    box.window = static_cast<SDL_Window*>(owner);
    box.title = captionText.c_str();
    box.message = bodyText.c_str();
    box.numbuttons = 1;
    box.buttons = &ok;
    int pressed = IDOK;
    SDL_ShowMessageBox(&box, &pressed);
    return IDOK;
}
