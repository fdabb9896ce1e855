// Minimising and restoring as SDL reports them, through the event translation and the real
// message loop of a shell with the real device (offscreen video driver, no display needed):
// while minimised the loop waits and draws nothing; restoring makes it draw again.
#include "shell/AppShell.h"

#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/FrameTimer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace quorvel {
namespace {

using Clock = std::chrono::steady_clock;

// Writes what the loop does into a journal and closes itself a few frames after a restore.
class JournalShell : public AppShell {
public:
    JournalShell() {
        windowTitle = "Minimise Test";
        createWidth = 160;
        createHeight = 120;
    }

    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SIZE) {
            const bool minimised = wParam == SIZE_MINIMIZED;
            journal.push_back(minimised ? "minimised" : "restored");
            (minimised ? minimisedAt : restoredAt) = Clock::now();
        }
        return AppShell::handleMessage(hwnd, message, wParam, lParam);
    }

    HRESULT onRender() override {
        journal.push_back("render");
        if (restoredAt != Clock::time_point{} && ++rendersAfterRestore == 3) requestClose();
        return S_OK;
    }

    std::vector<std::string> journal;
    Clock::time_point minimisedAt{}, restoredAt{};
    int rendersAfterRestore = 0;
};

SDL_Event windowEvent(HWND window, Uint8 kind) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(window));
    e.window.event = kind;
    return e;
}

TEST(MinimisedLoop, WaitsWithoutDrawingUntilRestored) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    platform::ClearMessageQueue();
    useFrameTimerClock(nullptr);  // real time, so frames have elapsed time to draw with

    JournalShell shell;
    ASSERT_EQ(shell.create(nullptr), S_OK);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);

    SDL_Event minimise = windowEvent(shell.window, SDL_WINDOWEVENT_MINIMIZED);
    ASSERT_EQ(SDL_PushEvent(&minimise), 1);
    // The restore comes later from another thread, as from the window system; a loop that kept
    // drawing while minimised would fill the journal with frames meanwhile.
    constexpr auto kAway = std::chrono::milliseconds(300);
    const HWND window = shell.window;
    std::thread restorer([restore = windowEvent(window, SDL_WINDOWEVENT_RESTORED), kAway]() mutable {
        std::this_thread::sleep_for(kAway);
        SDL_PushEvent(&restore);
    });
    const INT exitCode = shell.run();
    restorer.join();

    EXPECT_EQ(exitCode, 0);
    ASSERT_GE(shell.journal.size(), 5u);
    EXPECT_EQ(shell.journal[0], "minimised");
    EXPECT_EQ(shell.journal[1], "restored");
    for (size_t i = 2; i < shell.journal.size(); ++i) EXPECT_EQ(shell.journal[i], "render") << i;
    EXPECT_GE(shell.restoredAt - shell.minimisedAt, kAway - std::chrono::milliseconds(50));
    EXPECT_FALSE(platform::IsWindow(window));
}

}  // namespace
}  // namespace quorvel
