#include "shell/AppShell.h"

#include "platform/time/ManualClock.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "shell/FrameTimer.h"
#include "shell/ShellResources.h"
#include "support/CapturedReports.h"
#include "support/FakeDirect3D.h"
#include "support/RecordingDevice.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvel {
namespace {

using testing::FakeAdapter;
using testing::FakeDirect3D;
using testing::RecordingDevice;
using Journal = std::vector<std::string>;

// A shell whose hooks write into a journal and can be told to fail; Direct3D is the fake one,
// and the devices it makes log Reset, Present and Release into the journal among the hooks.
class TestShell : public AppShell {
public:
    explicit TestShell(Journal& journal) : journal_(journal) {
        windowTitle = "Shell Test";
        createWidth = 320;
        createHeight = 240;
        // Without hardware transform and lighting: software vertex processing.
        d3d->adapters[0].hal.caps.DevCaps = 0;
        d3d->adapters[0].ref.caps.DevCaps = 0;
        d3d->createDevice = [this](UINT adapter, D3DDEVTYPE type, HWND focus, DWORD behaviour,
                                   D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** out) {
            journal_.push_back(std::string("CreateDevice ") + (type == D3DDEVTYPE_HAL ? "HAL" : "REF"));
            created = {adapter, type, behaviour, *pp};
            const HRESULT hr = d3d->makeDevice(adapter, type, focus, behaviour, pp, out);
            if (SUCCEEDED(hr)) {
                d3d->lastDevice->observer = [this](const testing::Call& call) {
                    if (call.method == "Reset" || call.method == "Present" || call.method == "Release")
                        journal_.push_back(call.method);
                    if (call.method == "Reset") resets.push_back(call.text);
                };
            }
            return hr;
        };
    }
    // What the shell did not release goes with it; the test's own reference on Direct3D too.
    ~TestShell() override {
        if (device) device->Release();
        if (direct3d) direct3d->Release();
        d3d->Release();
    }

    HRESULT onStartup() override { return hook("onStartup"); }
    HRESULT onDeviceCreated() override { return hook("onDeviceCreated"); }
    HRESULT onDeviceReset() override { return hook("onDeviceReset"); }
    HRESULT onUpdate() override { return hook("onUpdate"); }
    HRESULT onRender() override {
        ++renders;
        if (renders == closeAfterRenders) requestClose();
        return hook("onRender");
    }
    HRESULT onDeviceLost() override { return hook("onDeviceLost"); }
    HRESULT onDeviceDestroy() override { return hook("onDeviceDestroy"); }
    HRESULT onShutdown() override { return hook("onShutdown"); }

    IDirect3D8* createDirect3D() override {
        if (!haveDirect3D) return nullptr;
        d3d->AddRef();
        return d3d;
    }
    INT runSetupDialog() override {
        journal_.push_back("dialog");
        return dialogResult;
    }

    using AppShell::cleanup;
    using AppShell::fallBackToWindow;
    using AppShell::flipWindowMode;
    using AppShell::renderFrame;
    using AppShell::resetDevice;
    using AppShell::showError;

    // The device the shell made last, while the shell holds it.
    RecordingDevice& testDevice() { return *d3d->lastDevice; }

    struct Creation {
        UINT adapter;
        D3DDEVTYPE type;
        DWORD behaviour;
        D3DPRESENT_PARAMETERS params;
    };
    FakeDirect3D* d3d = new FakeDirect3D;  // the test's reference: refCount() 1 once the shell let go
    bool haveDirect3D = true;
    INT dialogResult = 1;
    std::map<std::string, HRESULT> failures;
    Creation created{};
    Journal resets;  // every device's Reset calls, as text
    int renders = 0;
    int closeAfterRenders = -1;

private:
    HRESULT hook(const char* name) {
        journal_.push_back(name);
        auto it = failures.find(name);
        return it == failures.end() ? S_OK : it->second;
    }
    Journal& journal_;
};

class AppShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        platform::ClearMessageQueue();
        useFrameTimerClock(&clock);
        shell = std::make_unique<TestShell>(journal);
    }
    void TearDown() override {
        if (platform::IsWindow(shell->window)) platform::DestroyWindow(shell->window);
        shell.reset();
        platform::ClearMessageQueue();
        useFrameTimerClock(nullptr);
    }

    // Creates the shell and forgets what creation wrote into the journal.
    void createShell() {
        ASSERT_EQ(shell->create(nullptr), S_OK);
        journal.clear();
    }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return platform::SendMessage(shell->window, message, wParam, lParam);
    }
    // Advances the clock by a frame and renders it.
    HRESULT frame(double seconds = 0.02) {
        clock.advance(seconds);
        return shell->renderFrame();
    }

    Journal journal;
    platform::ManualClock clock{5.0};
    testing::CapturedReports reports;
    std::unique_ptr<TestShell> shell;
};

TEST_F(AppShellTest, CreateRunsStartupThenTheDeviceHooksAndOpensTheWindow) {
    shell->showSetupDialog = TRUE;
    ASSERT_EQ(shell->create(nullptr), S_OK);
    EXPECT_EQ(journal, (Journal{"dialog", "onStartup", "CreateDevice HAL", "onDeviceCreated", "onDeviceReset"}));
    EXPECT_TRUE(shell->active);
    EXPECT_TRUE(shell->ready);
    EXPECT_TRUE(shell->windowed);

    ASSERT_TRUE(platform::IsWindow(shell->window));
    EXPECT_STREQ(SDL_GetWindowTitle(static_cast<SDL_Window*>(shell->window)), "Shell Test");
    RECT client{};
    platform::GetClientRect(shell->window, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    int minW = 0, minH = 0;
    SDL_GetWindowMinimumSize(static_cast<SDL_Window*>(shell->window), &minW, &minH);
    EXPECT_EQ(minW, 100);
    EXPECT_EQ(minH, 100);

    const D3DPRESENT_PARAMETERS& pp = shell->created.params;
    EXPECT_TRUE(pp.Windowed);
    EXPECT_EQ(pp.BackBufferWidth, 320u);
    EXPECT_EQ(pp.BackBufferHeight, 240u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(pp.BackBufferCount, 1u);
    EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(pp.hDeviceWindow, shell->window);
    EXPECT_EQ(shell->backBufferDesc.Width, 320u);
    EXPECT_EQ(shell->created.behaviour, static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(AppShellTest, CancelledDialogEndsWithoutWindowOrMessage) {
    shell->showSetupDialog = TRUE;
    shell->dialogResult = 2;
    EXPECT_EQ(shell->create(nullptr), E_FAIL);
    EXPECT_EQ(shell->window, nullptr);
    EXPECT_EQ(journal, (Journal{"dialog"}));
    EXPECT_TRUE(reports.boxes.empty());
    EXPECT_EQ(shell->direct3d, nullptr);
    EXPECT_EQ(shell->d3d->refCount(), 1u);
}

TEST_F(AppShellTest, FailingStartupClosesSilentlyAndStillShutsDown) {
    shell->failures["onStartup"] = E_FAIL;
    EXPECT_EQ(shell->create(nullptr), E_FAIL);
    EXPECT_EQ(journal, (Journal{"onStartup", "onShutdown"}));
    EXPECT_TRUE(reports.boxes.empty());
    EXPECT_FALSE(platform::IsWindow(shell->window));
    EXPECT_EQ(shell->direct3d, nullptr);
    EXPECT_EQ(shell->d3d->refCount(), 1u);
}

TEST_F(AppShellTest, DeviceHookFailureUndoesTheDeviceAndReportsTheCode) {
    shell->failures["onDeviceReset"] = D3DERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(shell->create(nullptr), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(journal, (Journal{"onStartup", "CreateDevice HAL", "onDeviceCreated", "onDeviceReset", "onDeviceLost",
                                "onDeviceDestroy", "Release", "onShutdown"}));
    EXPECT_EQ(shell->device, nullptr);
    EXPECT_EQ(shell->d3d->refCount(), 1u);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].caption, "Shell Test");
    EXPECT_EQ(reports.boxes[0].text, "Not enough video memory.");
}

TEST_F(AppShellTest, FailedCreateDeviceCallsNoDeviceHooks) {
    shell->d3d->createDeviceResult = D3DERR_NOTAVAILABLE;
    EXPECT_EQ(shell->create(nullptr), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(journal, (Journal{"onStartup", "CreateDevice HAL", "onShutdown"}));
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(AppShellTest, MissingDirect3DAndMissingDevicesAreReported) {
    shell->haveDirect3D = false;
    EXPECT_EQ(shell->create(nullptr), ErrNoDirect3D);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text.substr(0, 39), "Could not initialize Direct3D. You may\n");

    reports.clear();
    Journal other;
    TestShell noDevices(other);
    noDevices.d3d->adapters[0].modes = {{320, 200, 60, D3DFMT_X8R8G8B8}};
    EXPECT_EQ(noDevices.create(nullptr), ErrNoCompatibleDevices);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Could not find any compatible Direct3D\ndevices.");
    EXPECT_EQ(noDevices.d3d->refCount(), 1u);
    EXPECT_EQ(noDevices.window, nullptr);
    EXPECT_TRUE(other.empty());
}

TEST_F(AppShellTest, LostDeviceDrawsNothingAndNotResetDeviceIsReset) {
    createShell();
    RecordingDevice& dev = shell->testDevice();
    dev.fail("TestCooperativeLevel", D3DERR_DEVICELOST);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_TRUE(journal.empty());

    // The desktop changed format meanwhile: the reset takes the new one.
    shell->d3d->adapters[0].desktop.Format = D3DFMT_R5G6B5;
    dev.fail("TestCooperativeLevel", D3DERR_DEVICENOTRESET);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "Reset", "onDeviceReset"}));
    EXPECT_EQ(shell->resets, Journal{"Reset(320, 240, D3DFMT_R5G6B5, 1)"});

    journal.clear();
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(journal, (Journal{"onUpdate", "onRender", "Present"}));
}

TEST_F(AppShellTest, OtherCooperativeLevelFailuresAndFailedResetsEndTheFrameWithTheirCode) {
    createShell();
    RecordingDevice& dev = shell->testDevice();
    dev.fail("TestCooperativeLevel", D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(frame(), D3DERR_DRIVERINTERNALERROR);
    dev.fail("TestCooperativeLevel", D3DERR_DEVICENOTRESET);
    dev.failAlways("Reset", D3DERR_INVALIDCALL);
    EXPECT_EQ(frame(), D3DERR_INVALIDCALL);
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "Reset"}));
    EXPECT_EQ(shell->exitStatus(), 1) << "a device that cannot go on is a failure of the run";
}

TEST_F(AppShellTest, FrameIsSkippedWhenNoTimeHasPassed) {
    createShell();
    EXPECT_EQ(frame(0.0), S_OK);
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(frame(0.02), S_OK);
    EXPECT_EQ(journal, (Journal{"onUpdate", "onRender", "Present"}));
    EXPECT_FLOAT_EQ(shell->appTime, 0.02f);
    EXPECT_FLOAT_EQ(shell->elapsedTime, 0.02f);
}

TEST_F(AppShellTest, FailingUpdateOrRenderFailsTheFrameWithoutPresenting) {
    createShell();
    shell->failures["onRender"] = E_FAIL;
    EXPECT_EQ(frame(), E_FAIL);
    shell->failures = {{"onUpdate", E_OUTOFMEMORY}};
    EXPECT_EQ(frame(), E_OUTOFMEMORY);
    EXPECT_EQ(journal, (Journal{"onUpdate", "onRender", "onUpdate"}));
}

TEST_F(AppShellTest, StoppedTimeDrawsWithoutUpdatesAndAResetGivesExactlyOne) {
    createShell();
    frameTimer(ClockStop);
    shell->timeRunning = FALSE;
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(journal, (Journal{"onRender", "Present", "onRender", "Present"}));

    journal.clear();
    clock.advance(3.0);
    shell->testDevice().fail("TestCooperativeLevel", D3DERR_DEVICENOTRESET);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(frame(), S_OK);
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "Reset", "onDeviceReset", "onUpdate", "onRender", "Present",
                                "onRender", "Present"}));
    // Application time stood still across the reset.
    EXPECT_FLOAT_EQ(shell->appTime, 0.0f);
}

TEST_F(AppShellTest, StatisticsChangeOnlyAfterMoreThanOneSecond) {
    shell->wantDepthBuffer = TRUE;
    createShell();
    EXPECT_STREQ(shell->frameStats, "");
    // Absolute time is 5 s on the first frame: more than a second since "never".
    frame(0.25);
    const std::string first = shell->frameStats;
    EXPECT_NE(first, "");
    for (int i = 0; i < 4; ++i) frame(0.25);  // exactly 1.0 s later: not more than a second
    EXPECT_EQ(std::string(shell->frameStats), first);
    frame(0.25);  // 1.25 s and 5 frames since the last change
    EXPECT_STREQ(shell->frameStats, "4.00 fps (320x240x32) (D16)");
    EXPECT_FLOAT_EQ(shell->framesPerSecond, 4.0f);
}

TEST_F(AppShellTest, StatisticsShowSixteenBitsAndNoDepthSuffixWithoutDepthBuffer) {
    shell->d3d->adapters[0].desktop.Format = D3DFMT_R5G6B5;
    createShell();
    frame(0.5);
    frame(0.5);
    frame(0.5);
    frame(0.5);
    EXPECT_STREQ(shell->frameStats, "2.00 fps (320x240x16)");
}

TEST_F(AppShellTest, ResizeResetsTheDeviceWithTheNewClientSize) {
    createShell();
    send(WM_ENTERSIZEMOVE);
    SDL_SetWindowSize(static_cast<SDL_Window*>(shell->window), 400, 300);
    send(WM_EXITSIZEMOVE);
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "Reset", "onDeviceReset"}));
    EXPECT_EQ(shell->resets, Journal{"Reset(400, 300, D3DFMT_X8R8G8B8, 1)"});
    EXPECT_EQ(shell->backBufferDesc.Width, 400u);
    EXPECT_TRUE(shell->ready);

    // Moving without resizing resets nothing.
    journal.clear();
    send(WM_ENTERSIZEMOVE);
    send(WM_EXITSIZEMOVE);
    EXPECT_TRUE(journal.empty());
}

TEST_F(AppShellTest, SizingStopsApplicationTime) {
    createShell();
    frame(0.5);
    send(WM_ENTERSIZEMOVE);
    clock.advance(10.0);
    send(WM_EXITSIZEMOVE);
    frame(0.5);
    EXPECT_FLOAT_EQ(shell->appTime, 1.0f);
}

TEST_F(AppShellTest, FailedResizeResetIsReportedAndCloses) {
    createShell();
    shell->testDevice().failAlways("Reset", D3DERR_INVALIDCALL);
    SDL_SetWindowSize(static_cast<SDL_Window*>(shell->window), 200, 150);
    EXPECT_EQ(send(WM_EXITSIZEMOVE), 0);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Could not reset the Direct3D device.");
    EXPECT_FALSE(platform::IsWindow(shell->window));
    EXPECT_EQ(journal.back(), "onShutdown");
    // The program ends with a failure status, not as after a show that played to its end.
    EXPECT_EQ(shell->run(), 1);
}

TEST_F(AppShellTest, FlipGoesFullscreenWithTheModeAndBackWithTheClientSize) {
    createShell();
    send(WM_COMMAND, CmdFlipWindowMode);
    EXPECT_FALSE(shell->windowed);
    EXPECT_FALSE(shell->currentDeviceEntry().windowed);
    EXPECT_EQ(platform::GetWindowStyle(shell->window), kFullscreenStyle);
    EXPECT_EQ(shell->resets, Journal{"Reset(640, 480, D3DFMT_R5G6B5, 0)"});
    EXPECT_TRUE(shell->ready);

    send(WM_COMMAND, CmdFlipWindowMode);
    EXPECT_TRUE(shell->windowed);
    EXPECT_EQ(platform::GetWindowStyle(shell->window), kWindowedStyle);
    EXPECT_EQ(shell->resets,
              (Journal{"Reset(640, 480, D3DFMT_R5G6B5, 0)", "Reset(320, 240, D3DFMT_X8R8G8B8, 1)"}));
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "Reset", "onDeviceReset", "onDeviceLost", "Reset", "onDeviceReset"}));
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(AppShellTest, FlipIsIgnoredWhileNotReady) {
    createShell();
    send(WM_ENTERMENULOOP);
    send(WM_COMMAND, CmdFlipWindowMode);
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(shell->windowed);
}

TEST_F(AppShellTest, FailedFlipToFullscreenIsReportedAndCloses) {
    createShell();
    shell->testDevice().failAlways("Reset", D3DERR_INVALIDCALL);
    send(WM_COMMAND, CmdFlipWindowMode);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "Could not reset the Direct3D device.");
    EXPECT_FALSE(platform::IsWindow(shell->window));
}

TEST_F(AppShellTest, FlipFromFullscreenOnADeviceThatCannotUseAWindowFallsBackToOneThatCan) {
    shell->d3d->adapters[0].hal.caps.Caps2 = 0;
    shell->d3d->adapters.push_back(FakeAdapter{.description = "second"});
    shell->d3d->adapters[1].hal.caps.Caps2 = 0;
    // Enumeration picks the first windowable device, adapter 0's REF; in the dialog the user
    // chooses the HAL, which can only run fullscreen.
    class DialogChoosesHal : public TestShell {
    public:
        using TestShell::TestShell;
        INT runSetupDialog() override {
            currentAdapter = 0;
            adapters[0].currentDevice = 0;
            return 1;
        }
    };
    Journal j;
    DialogChoosesHal s(j);
    s.showSetupDialog = TRUE;
    s.d3d->adapters = shell->d3d->adapters;
    ASSERT_EQ(s.create(nullptr), S_OK);
    EXPECT_FALSE(s.windowed);
    EXPECT_EQ(s.created.type, D3DDEVTYPE_HAL);
    EXPECT_FALSE(s.created.params.Windowed);
    j.clear();

    platform::SendMessage(s.window, WM_COMMAND, CmdFlipWindowMode, 0);
    EXPECT_EQ(j, (Journal{"onDeviceLost", "onDeviceDestroy", "Release", "CreateDevice REF", "onDeviceCreated",
                          "onDeviceReset"}));
    EXPECT_TRUE(s.windowed);
    EXPECT_EQ(s.currentAdapter, 0u);
    EXPECT_EQ(s.adapters[0].currentDevice, 1u);
    EXPECT_TRUE(s.created.params.Windowed);
    EXPECT_TRUE(s.ready);
    EXPECT_TRUE(reports.boxes.empty());
    platform::DestroyWindow(s.window);
}

TEST_F(AppShellTest, FallbackWithRemainingReferencesIsReported) {
    createShell();
    RecordingDevice& dev = shell->testDevice();
    dev.AddRef();  // a reference someone else still holds
    EXPECT_EQ(shell->fallBackToWindow(), ErrNonZeroRefCount);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text,
              "A D3D object has a non-zero reference\ncount (meaning things were not properly\ncleaned up).");
    EXPECT_FALSE(platform::IsWindow(shell->window));
    EXPECT_EQ(dev.Release(), 0u);
    EXPECT_EQ(shell->d3d->refCount(), 1u);  // the Direct3D object is released at clean-up all the same
}

TEST_F(AppShellTest, FallbackWithoutAnyWindowableDeviceFails) {
    createShell();
    shell->adapters[0].devices[0].windowCapable = FALSE;
    shell->adapters[0].devices[1].windowCapable = FALSE;
    EXPECT_EQ(shell->fallBackToWindow(), E_FAIL);
    EXPECT_TRUE(journal.empty());
}

TEST_F(AppShellTest, CloseCleansUpInOrderAndEndsTheLoop) {
    createShell();
    EXPECT_EQ(send(WM_CLOSE), 0);
    EXPECT_EQ(journal, (Journal{"onDeviceLost", "onDeviceDestroy", "Release", "onShutdown"}));
    EXPECT_FALSE(shell->active);
    EXPECT_FALSE(shell->ready);
    EXPECT_EQ(shell->device, nullptr);
    EXPECT_EQ(shell->direct3d, nullptr);
    EXPECT_EQ(shell->d3d->refCount(), 1u);
    EXPECT_FALSE(platform::IsWindow(shell->window));
    EXPECT_EQ(shell->run(), 0);
}

TEST_F(AppShellTest, RunRendersFramesUntilTheProgramAsksToClose) {
    createShell();
    shell->closeAfterRenders = 3;
    // The loop needs time to pass between frames: let the timer read the real clock.
    useFrameTimerClock(nullptr);
    frameTimer(ClockStart);
    EXPECT_EQ(shell->run(), 0);
    EXPECT_GE(shell->renders, 3);
    EXPECT_EQ(journal.back(), "onShutdown");
    EXPECT_FALSE(platform::IsWindow(shell->window));
}

TEST_F(AppShellTest, FailedFrameInRunClosesTheWindow) {
    createShell();
    useFrameTimerClock(nullptr);
    frameTimer(ClockStart);
    shell->failures["onRender"] = E_FAIL;
    EXPECT_EQ(shell->run(), 0);
    EXPECT_EQ(shell->renders, 1);
    EXPECT_TRUE(reports.boxes.empty());
    EXPECT_EQ(journal.back(), "onShutdown");
}

TEST_F(AppShellTest, AcceleratorsCloseAndFlip) {
    createShell();
    // Alt+Enter, then Escape.
    platform::PostMessage(shell->window, WM_SYSKEYDOWN, VK_RETURN, LPARAM{1} << 29);
    platform::PostMessage(shell->window, WM_KEYDOWN, VK_ESCAPE, 0);
    useFrameTimerClock(nullptr);
    frameTimer(ClockStart);
    EXPECT_EQ(shell->run(), 0);
    EXPECT_EQ(shell->resets, Journal{"Reset(640, 480, D3DFMT_R5G6B5, 0)"});
    EXPECT_EQ(journal.back(), "onShutdown");
}

TEST_F(AppShellTest, AltF4ClosesButPlainF4AndAltEscapeDoNot) {
    createShell();
    MSG plainF4{shell->window, WM_KEYDOWN, VK_F4, 0};
    MSG altEscape{shell->window, WM_SYSKEYDOWN, VK_ESCAPE, LPARAM{1} << 29};
    MSG altF4{shell->window, WM_SYSKEYDOWN, VK_F4, LPARAM{1} << 29};
    EXPECT_FALSE(platform::TranslateAccelerator(shell->window, kShellAccelerators, &plainF4));
    EXPECT_FALSE(platform::TranslateAccelerator(shell->window, kShellAccelerators, &altEscape));
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(platform::TranslateAccelerator(shell->window, kShellAccelerators, &altF4));
    EXPECT_EQ(journal.back(), "onShutdown");
}

TEST_F(AppShellTest, MinimizeStopsFramesAndRestoreResumes) {
    createShell();
    send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_FALSE(shell->active);
    send(WM_SIZE, SIZE_MAXHIDE);
    EXPECT_FALSE(shell->active);
    send(WM_SIZE, SIZE_RESTORED);
    EXPECT_TRUE(shell->active);
}

TEST_F(AppShellTest, MenuLoopsHoldFramesAndTimeNested) {
    createShell();
    frame(0.5);
    send(WM_ENTERMENULOOP);
    send(WM_ENTERMENULOOP);
    EXPECT_FALSE(shell->ready);
    clock.advance(4.0);
    send(WM_EXITMENULOOP);
    EXPECT_FALSE(shell->ready);
    send(WM_EXITMENULOOP);
    EXPECT_TRUE(shell->ready);
    frame(0.5);
    EXPECT_FLOAT_EQ(shell->appTime, 1.0f);
}

TEST_F(AppShellTest, FullscreenHidesTheCursorAndSwallowsSystemCommands) {
    createShell();
    // Windowed: the default handling applies.
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MAXIMIZE), 0);
    EXPECT_EQ(send(WM_NCHITTEST), HTCLIENT);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);

    send(WM_COMMAND, CmdFlipWindowMode);
    ASSERT_FALSE(shell->windowed);
    EXPECT_EQ(send(WM_SETCURSOR), 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    for (WPARAM command : {SC_SIZE, SC_MOVE, SC_MAXIMIZE, SC_KEYMENU, SC_MONITORPOWER})
        EXPECT_EQ(send(WM_SYSCOMMAND, command), 1) << command;
    EXPECT_EQ(send(WM_NCHITTEST), HTCLIENT);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MINIMIZE), 0);

    send(WM_COMMAND, CmdFlipWindowMode);
    send(WM_SETCURSOR);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(AppShellTest, MouseMovesTheDeviceCursorAndPowerQueriesAreAnswered) {
    createShell();
    send(WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    EXPECT_EQ(shell->testDevice().callTexts("SetCursorPosition"), Journal{"SetCursorPosition(12, 34, 0)"});
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMQUERYSUSPEND), 1);
    EXPECT_EQ(send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND), 1);
    EXPECT_EQ(send(WM_POWERBROADCAST, 4), 0);
}

TEST_F(AppShellTest, PaintPresentsOnlyWhileNotReadyInAWindow) {
    createShell();
    send(WM_PAINT);
    EXPECT_EQ(shell->testDevice().countCalls("Present"), 0u);
    send(WM_ENTERMENULOOP);
    send(WM_PAINT);
    EXPECT_EQ(shell->testDevice().countCalls("Present"), 1u);
}

TEST_F(AppShellTest, ShowErrorTextsAndFatality) {
    struct Case {
        HRESULT code;
        const char* text;
    };
    const Case cases[] = {
        {ErrNoDirect3D,
         "Could not initialize Direct3D. You may\nwant to check that the latest version of\nDirectX is correctly "
         "installed on your\nsystem.  Also make sure that this program\nwas compiled with header files that "
         "match\nthe installed DirectX DLLs."},
        {ErrNoCompatibleDevices, "Could not find any compatible Direct3D\ndevices."},
        {ErrNoWindowableDevices,
         "This sample cannot run in a desktop\nwindow with the current display settings.\nPlease change your "
         "desktop settings to a\n16- or 32-bit display mode and re-run this\nsample."},
        {ErrNonZeroRefCount,
         "A D3D object has a non-zero reference\ncount (meaning things were not properly\ncleaned up)."},
        {ErrResetFailed, "Could not reset the Direct3D device."},
        {E_OUTOFMEMORY, "Not enough memory."},
        {D3DERR_OUTOFVIDEOMEMORY, "Not enough video memory."},
    };
    // Without a window nothing is closed; every code comes back unchanged.
    for (const Case& c : cases) {
        reports.clear();
        EXPECT_EQ(shell->showError(c.code, true), c.code);
        ASSERT_EQ(reports.boxes.size(), 1u);
        EXPECT_EQ(reports.boxes[0].caption, "Shell Test");
        EXPECT_EQ(reports.boxes[0].text, c.text);
    }
    reports.clear();
    EXPECT_EQ(shell->showError(ErrResetFailed, false), ErrResetFailed);
    EXPECT_EQ(shell->showError(E_FAIL, true), E_FAIL);
    EXPECT_TRUE(reports.boxes.empty());

    // A fatal report closes an open window, even without a text.
    createShell();
    shell->showError(E_FAIL, true);
    EXPECT_FALSE(platform::IsWindow(shell->window));
    EXPECT_TRUE(reports.boxes.empty());
    EXPECT_EQ(journal.back(), "onShutdown");
}

}  // namespace
}  // namespace quorvel
