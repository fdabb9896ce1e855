#include "shell/DisplayPreselection.h"

#include <gtest/gtest.h>

#include "shell/AppShell.h"
#include <memory>

#include "support/FakeDirect3D.h"

namespace quorvel {
namespace {

using testing::FakeAdapter;
using testing::FakeDirect3D;

// The test's own reference to a fake Direct3D object; the shells below borrow it.
struct ReleaseFake {
    void operator()(FakeDirect3D* d3d) const { d3d->Release(); }
};
using TableDirect3D = std::unique_ptr<FakeDirect3D, ReleaseFake>;

class TableShell : public AppShell {
public:
    explicit TableShell(TableDirect3D& d3d) {
        direct3d = d3d.get();
        wantDepthBuffer = FALSE;
        EXPECT_EQ(enumerateDevices(), S_OK);
    }
    ~TableShell() override { direct3d = nullptr; }
};

// Two adapters; the second one's reference device can use four samples in an 800x600 X8R8G8B8
// fullscreen mode.
TableDirect3D twoAdapters() {
    TableDirect3D d3d(new FakeDirect3D);
    d3d->adapters.assign(2, FakeAdapter{});
    d3d->adapters[0].description = "First GPU";
    d3d->adapters[1].description = "Second GPU";
    d3d->adapters[1].ref.multiSamples.insert({FALSE, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_4_SAMPLES});
    return d3d;
}

DisplaySettings secondAdapterFullscreen() {
    DisplaySettings s;
    s.adapter = "Second GPU";
    s.device = "REF";
    s.windowed = false;
    s.width = 800;
    s.height = 600;
    s.format = D3DFMT_X8R8G8B8;
    s.multiSample = 4;
    return s;
}

TEST(DisplayPreselection, ARememberedChoiceComesBackOnAFreshTable) {
    TableDirect3D d3d = twoAdapters();
    TableShell shell(d3d);
    ASSERT_TRUE(preselectDisplay(shell, secondAdapterFullscreen()));
    EXPECT_EQ(shell.currentAdapter, 1u);
    EXPECT_STREQ(shell.currentDeviceEntry().name, "REF");
    EXPECT_FALSE(shell.currentDeviceEntry().windowed);
    EXPECT_EQ(shell.currentModeEntry().width, 800u);
    EXPECT_EQ(shell.currentDeviceEntry().multiSampleType, D3DMULTISAMPLE_4_SAMPLES);
    EXPECT_EQ(currentDisplaySettings(shell), secondAdapterFullscreen());

    TableShell again(d3d);
    ASSERT_TRUE(preselectDisplay(again, currentDisplaySettings(shell)));
    EXPECT_EQ(currentDisplaySettings(again), secondAdapterFullscreen());
}

TEST(DisplayPreselection, WhatVanishedFallsBackToTheDefault) {
    TableDirect3D d3d = twoAdapters();
    TableShell reference(d3d);
    const DisplaySettings defaults = currentDisplaySettings(reference);

    DisplaySettings gone = secondAdapterFullscreen();
    gone.adapter = "Unplugged GPU";
    TableShell noAdapter(d3d);
    EXPECT_FALSE(preselectDisplay(noAdapter, gone));
    EXPECT_EQ(currentDisplaySettings(noAdapter), defaults);

    gone = secondAdapterFullscreen();
    gone.device = "XYZ";
    TableShell noDevice(d3d);
    EXPECT_FALSE(preselectDisplay(noDevice, gone));
    EXPECT_EQ(currentDisplaySettings(noDevice), defaults);

    // The adapter and device are still there: they are chosen, the mode stays the device's default.
    gone = secondAdapterFullscreen();
    gone.width = 1920;
    gone.height = 1080;
    TableShell noMode(d3d);
    const UINT defaultMode = noMode.adapters[1].devices[1].currentMode;
    EXPECT_FALSE(preselectDisplay(noMode, gone));
    EXPECT_EQ(noMode.currentAdapter, 1u);
    EXPECT_EQ(noMode.currentDeviceEntry().currentMode, defaultMode);

    // The first adapter cannot multisample: none is used.
    gone = secondAdapterFullscreen();
    gone.adapter = "First GPU";
    TableShell noSamples(d3d);
    EXPECT_FALSE(preselectDisplay(noSamples, gone));
    EXPECT_EQ(noSamples.currentDeviceEntry().multiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(noSamples.currentModeEntry().width, 800u);
}

TEST(DisplayPreselection, AWindowNeedsADeviceThatCanRenderInOne) {
    TableDirect3D d3d = twoAdapters();
    d3d->adapters[1].ref.caps.Caps2 = 0;  // fullscreen only
    TableShell shell(d3d);
    DisplaySettings windowed = secondAdapterFullscreen();
    windowed.windowed = true;
    windowed.multiSample = 0;
    EXPECT_FALSE(preselectDisplay(shell, windowed));
    EXPECT_EQ(shell.currentAdapter, 0u);

    windowed.windowed = false;
    ASSERT_TRUE(preselectDisplay(shell, windowed));
    EXPECT_FALSE(chooseWindowed(shell, true));
    EXPECT_FALSE(shell.currentDeviceEntry().windowed);
    EXPECT_TRUE(chooseWindowed(shell, false));
}

TEST(DisplayPreselection, ModeSizePrefersTheCurrentFormat) {
    TableDirect3D d3d = twoAdapters();
    TableShell shell(d3d);
    // The default is the 16-bit 640x480 mode; 800x600 exists only as X8R8G8B8.
    ASSERT_EQ(shell.currentModeEntry().format, D3DFMT_R5G6B5);
    ASSERT_TRUE(chooseModeSize(shell, 800, 600));
    EXPECT_EQ(shell.currentModeEntry().width, 800u);
    EXPECT_EQ(shell.currentModeEntry().format, D3DFMT_X8R8G8B8);
    ASSERT_TRUE(chooseModeSize(shell, 640, 480));
    EXPECT_EQ(shell.currentModeEntry().format, D3DFMT_X8R8G8B8);
    EXPECT_FALSE(chooseModeSize(shell, 1280, 1024));
    EXPECT_EQ(shell.currentModeEntry().width, 640u);
}

}  // namespace
}  // namespace quorvel
