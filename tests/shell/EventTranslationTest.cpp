// SDL events in, window messages out: the translation the shell's message loop depends on, on
// a real SDL window of the offscreen video driver (no display needed).
#include "platform/window/EventTranslation.h"

#include "platform/window/Accelerators.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/ShellResources.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <vector>

namespace quorvel {
namespace {

namespace pf = platform;

// A message as the window procedure sees it, for comparing lists.
struct Msg {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Msg&) const = default;
};

void PrintTo(const Msg& m, std::ostream* os) {
    *os << "{" << m.hwnd << ", 0x" << std::hex << m.message << ", 0x" << m.wParam << ", 0x" << m.lParam
        << std::dec << "}";
}

std::vector<Msg> received;

LRESULT recordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back({hwnd, message, wParam, lParam});
    return pf::DefWindowProc(hwnd, message, wParam, lParam);
}

constexpr LPARAM kAltContext = LPARAM{1} << 29;
constexpr LPARAM kPreviouslyDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = static_cast<LPARAM>(std::uintptr_t{1} << 31);

class EventTranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_TRUE(pf::StartWindowSystem());
        window = pf::CreateAppWindow("Translation Test", kWindowedStyle, 320, 240, recordingProcedure);
        ASSERT_NE(window, nullptr);
        // Whatever SDL reported about the new window is not part of any test.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        pf::ClearMessageQueue();
        received.clear();
    }
    void TearDown() override {
        if (pf::IsWindow(window)) pf::DestroyWindow(window);
        pf::ClearMessageQueue();
        received.clear();
    }

    Uint32 windowId() const { return SDL_GetWindowID(static_cast<SDL_Window*>(window)); }

    SDL_Event windowEvent(Uint8 kind, Sint32 data1 = 0, Sint32 data2 = 0) const {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowId();
        e.window.event = kind;
        e.window.data1 = data1;
        e.window.data2 = data2;
        return e;
    }

    SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint16 mods = KMOD_NONE, Uint8 repeat = 0) const {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = windowId();
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        e.key.keysym.mod = mods;
        return e;
    }

    static std::vector<Msg> translate(const SDL_Event& e) {
        std::vector<MSG> out;
        pf::translateEvent(e, out);
        std::vector<Msg> messages;
        for (const MSG& m : out) messages.push_back({m.hwnd, m.message, m.wParam, m.lParam});
        return messages;
    }

    HWND window = nullptr;
};

TEST_F(EventTranslationTest, WindowStateChangesBecomeSizeFocusPaintAndCloseMessages) {
    const LPARAM clientSize = MAKELPARAM(320, 240);
    struct Case {
        Uint8 event;
        std::vector<Msg> expected;
    };
    const Case cases[] = {
        // Minimising makes the loop wait; restoring (also from maximised) makes it draw again.
        {SDL_WINDOWEVENT_MINIMIZED, {{window, WM_SIZE, SIZE_MINIMIZED, 0}}},
        {SDL_WINDOWEVENT_RESTORED, {{window, WM_SIZE, SIZE_RESTORED, clientSize}}},
        {SDL_WINDOWEVENT_MAXIMIZED, {{window, WM_SIZE, SIZE_MAXIMIZED, clientSize}}},
        {SDL_WINDOWEVENT_FOCUS_LOST, {{window, WM_ACTIVATEAPP, 0, 0}}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {{window, WM_ACTIVATEAPP, 1, 0}}},
        {SDL_WINDOWEVENT_EXPOSED, {{window, WM_PAINT, 0, 0}}},
        {SDL_WINDOWEVENT_CLOSE, {{window, WM_CLOSE, 0, 0}}},
        {SDL_WINDOWEVENT_MOVED, {{window, WM_ENTERSIZEMOVE, 0, 0}, {window, WM_EXITSIZEMOVE, 0, 0}}},
        // X11 reports hiding together with minimising, and showing together with restoring;
        // the pointer entering or leaving changes nothing for the program.
        {SDL_WINDOWEVENT_HIDDEN, {}},
        {SDL_WINDOWEVENT_SHOWN, {}},
        {SDL_WINDOWEVENT_ENTER, {}},
        {SDL_WINDOWEVENT_LEAVE, {}},
        {SDL_WINDOWEVENT_TAKE_FOCUS, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(translate(windowEvent(c.event)), c.expected) << int{c.event};
}

TEST_F(EventTranslationTest, ResizeIsReportedAsAnInteractiveSizingWithTheNewClientSize) {
    EXPECT_EQ(translate(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600)),
              (std::vector<Msg>{{window, WM_ENTERSIZEMOVE, 0, 0},
                                {window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600)},
                                {window, WM_EXITSIZEMOVE, 0, 0}}));
}

TEST_F(EventTranslationTest, EventsOfWindowsThatAreNotOursGiveNothing) {
    SDL_Event e = windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    e.window.windowID = windowId() + 1000;
    EXPECT_TRUE(translate(e).empty());

    // A window of SDL's that was not made through CreateAppWindow is not ours either.
    SDL_Window* foreign = SDL_CreateWindow("foreign", 0, 0, 10, 10, SDL_WINDOW_HIDDEN);
    ASSERT_NE(foreign, nullptr);
    e.window.windowID = SDL_GetWindowID(foreign);
    EXPECT_TRUE(translate(e).empty());
    SDL_DestroyWindow(foreign);

    // Nor is a window that has been destroyed.
    const SDL_Event late = windowEvent(SDL_WINDOWEVENT_RESTORED);
    pf::DestroyWindow(window);
    EXPECT_TRUE(translate(late).empty());
}

TEST_F(EventTranslationTest, KeysCarryVirtualKeyCodesAndTheirStateBits) {
    const LPARAM escapeScan = static_cast<LPARAM>(SDL_SCANCODE_ESCAPE) << 16;
    EXPECT_EQ(translate(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE)),
              (std::vector<Msg>{{window, WM_KEYDOWN, VK_ESCAPE, 1 | escapeScan}}));
    EXPECT_EQ(translate(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, 1)),
              (std::vector<Msg>{{window, WM_KEYDOWN, VK_ESCAPE, 1 | escapeScan | kPreviouslyDown}}));
    EXPECT_EQ(translate(keyEvent(SDL_KEYUP, SDLK_ESCAPE)),
              (std::vector<Msg>{{window, WM_KEYUP, VK_ESCAPE, 1 | escapeScan | kPreviouslyDown | kReleased}}));

    // Either Alt key makes a system key message with the context bit.
    const LPARAM returnScan = static_cast<LPARAM>(SDL_SCANCODE_RETURN) << 16;
    for (Uint16 alt : {KMOD_LALT, KMOD_RALT}) {
        EXPECT_EQ(translate(keyEvent(SDL_KEYDOWN, SDLK_RETURN, alt)),
                  (std::vector<Msg>{{window, WM_SYSKEYDOWN, VK_RETURN, 1 | returnScan | kAltContext}}));
        EXPECT_EQ(translate(keyEvent(SDL_KEYUP, SDLK_RETURN, alt)),
                  (std::vector<Msg>{
                      {window, WM_SYSKEYUP, VK_RETURN, 1 | returnScan | kAltContext | kPreviouslyDown | kReleased}}));
    }

    // Keys the program has no code for are dropped.
    EXPECT_TRUE(translate(keyEvent(SDL_KEYDOWN, SDLK_LSHIFT)).empty());
    EXPECT_TRUE(translate(keyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT)).empty());
}

TEST_F(EventTranslationTest, VirtualKeyCodes) {
    EXPECT_EQ(pf::virtualKeyOf(SDLK_a), WPARAM{'A'});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_z), WPARAM{'Z'});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_0), WPARAM{'0'});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_9), WPARAM{'9'});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_F1), WPARAM{0x70});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_F4), VK_F4);
    EXPECT_EQ(pf::virtualKeyOf(SDLK_F12), WPARAM{0x7B});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(pf::virtualKeyOf(SDLK_F13), WPARAM{0});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_UP), WPARAM{0});
    EXPECT_EQ(pf::virtualKeyOf(SDLK_LEFT), VK_LEFT);
    EXPECT_EQ(pf::virtualKeyOf(SDLK_PAGEDOWN), VK_NEXT);
}

TEST_F(EventTranslationTest, TranslatedKeysReachTheShellCommands) {
    struct Case {
        SDL_Keycode key;
        Uint16 mods;
        WORD command;  // 0: not a command
    };
    const Case cases[] = {
        {SDLK_RETURN, KMOD_LALT, CmdFlipWindowMode},
        {SDLK_KP_ENTER, KMOD_RALT, CmdFlipWindowMode},
        {SDLK_ESCAPE, KMOD_NONE, CmdClose},
        {SDLK_F4, KMOD_LALT, CmdClose},
        {SDLK_RETURN, KMOD_NONE, 0},
        {SDLK_F4, KMOD_NONE, 0},
    };
    for (const Case& c : cases) {
        received.clear();
        const std::vector<Msg> made = translate(keyEvent(SDL_KEYDOWN, c.key, c.mods));
        ASSERT_EQ(made.size(), 1u);
        const MSG message{made[0].hwnd, made[0].message, made[0].wParam, made[0].lParam};
        EXPECT_EQ(pf::TranslateAccelerator(window, kShellAccelerators, &message), c.command != 0) << c.key;
        if (c.command != 0)
            EXPECT_EQ(received, (std::vector<Msg>{{window, WM_COMMAND, (WPARAM{1} << 16) | c.command, 0}})) << c.key;
        else
            EXPECT_TRUE(received.empty()) << c.key;
    }
}

TEST_F(EventTranslationTest, MouseMotionSetsTheCursorThenMovesWithSignedClientCoordinates) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = windowId();
    e.motion.x = 12;
    e.motion.y = 34;
    EXPECT_EQ(translate(e), (std::vector<Msg>{{window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT},
                                              {window, WM_MOUSEMOVE, 0, MAKELPARAM(12, 34)}}));
    // Outside the client area (the pointer captured while a button is held).
    e.motion.x = -5;
    e.motion.y = -7;
    const std::vector<Msg> made = translate(e);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(made[1].lParam), -5);
    EXPECT_EQ(GET_Y_LPARAM(made[1].lParam), -7);
}

TEST_F(EventTranslationTest, QuitClosesEveryWindow) {
    HWND second = pf::CreateAppWindow("Second", kWindowedStyle, 100, 100, recordingProcedure);
    ASSERT_NE(second, nullptr);
    SDL_Event e{};
    e.type = SDL_QUIT;
    EXPECT_EQ(translate(e), (std::vector<Msg>{{window, WM_CLOSE, 0, 0}, {second, WM_CLOSE, 0, 0}}));
    pf::DestroyWindow(second);
}

TEST_F(EventTranslationTest, QueuedSdlEventsArriveThroughPeekAndDispatch) {
    SDL_Event minimised = windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    SDL_Event resized = windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 200, 100);
    ASSERT_EQ(SDL_PushEvent(&minimised), 1);
    ASSERT_EQ(SDL_PushEvent(&resized), 1);

    MSG message{};
    std::vector<UINT> order;
    while (pf::PeekMessage(&message, true)) {
        order.push_back(message.message);
        pf::DispatchMessage(&message);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_SIZE, WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE}));
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], (Msg{window, WM_SIZE, SIZE_MINIMIZED, 0}));
    EXPECT_EQ(received[2], (Msg{window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100)}));
}

}  // namespace
}  // namespace quorvel
