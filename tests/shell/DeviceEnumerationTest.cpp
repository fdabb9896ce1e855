#include "shell/AppShell.h"

#include "support/FakeDirect3D.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

using testing::FakeAdapter;
using testing::FakeDirect3D;

// A shell enumerating the devices of a fake Direct3D object with these adapters.
class EnumeratingShell : public AppShell {
public:
    explicit EnumeratingShell(std::vector<FakeAdapter> adapters) {
        auto* d3d = new FakeDirect3D;
        d3d->adapters = std::move(adapters);
        direct3d = d3d;
    }
    ~EnumeratingShell() override { direct3d->Release(); }

    using AppShell::enumerateDevices;
    using AppShell::pickDepthStencilFormat;

    // Records the acceptance questions; rejects the behaviours listed in `rejected`.
    HRESULT checkDevice(const D3DCAPS8&, DWORD behaviour, D3DFORMAT format) override {
        asked.push_back({behaviour, format});
        for (DWORD r : rejected)
            if (r == behaviour) return E_FAIL;
        return S_OK;
    }
    std::vector<std::pair<DWORD, D3DFORMAT>> asked;
    std::vector<DWORD> rejected;
};

std::vector<std::string> modeList(const DeviceEntry& d) {
    std::vector<std::string> out;
    for (UINT m = 0; m < d.modeCount; ++m)
        out.push_back(std::to_string(d.modes[m].width) + "x" + std::to_string(d.modes[m].height) + "/" +
                      std::to_string(d.modes[m].format));
    return out;
}

TEST(DeviceEnumeration, ModesAreFilteredDeduplicatedAndSorted) {
    FakeAdapter a;
    a.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {640, 399, 60, D3DFMT_X8R8G8B8},
               {639, 480, 60, D3DFMT_X8R8G8B8},  {800, 600, 60, D3DFMT_R5G6B5},
               {800, 600, 85, D3DFMT_R5G6B5},     {640, 480, 60, D3DFMT_X8R8G8B8},
               {640, 480, 75, D3DFMT_X8R8G8B8},   {640, 400, 70, D3DFMT_X8R8G8B8},
               {320, 200, 70, D3DFMT_R5G6B5}};
    EnumeratingShell shell({a});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);

    ASSERT_EQ(shell.adapterCount, 1u);
    const DeviceEntry& hal = shell.adapters[0].devices[0];
    EXPECT_STREQ(hal.name, "HAL");
    // Larger format numbers first (R5G6B5 is 23, X8R8G8B8 22), then width, then height.
    const std::vector<std::string> expected = {"800x600/23", "640x400/22", "640x480/22", "1024x768/22"};
    EXPECT_EQ(modeList(hal), expected);
    EXPECT_EQ(shell.adapters[0].desktopMode.Width, 1024u);
}

TEST(DeviceEnumeration, SixteenBitStartingModePreferredOverThirtyTwoBit) {
    EnumeratingShell shell({FakeAdapter{}});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const DeviceEntry& hal = shell.adapters[0].devices[0];
    const ModeEntry& start = hal.modes[hal.currentMode];
    EXPECT_EQ(start.width, 640u);
    EXPECT_EQ(start.height, 480u);
    EXPECT_EQ(start.format, D3DFMT_R5G6B5);
}

TEST(DeviceEnumeration, StartingModeFallsBackToLast640x480ThenToTheFirstMode) {
    FakeAdapter a;
    a.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8},
               {640, 480, 60, D3DFMT_A8R8G8B8}};
    a.hal.displayFormats = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    FakeAdapter b;
    b.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8}};
    EnumeratingShell shell({a, b});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);

    const DeviceEntry& first = shell.adapters[0].devices[0];
    // Sorted: 640x480/22, 800x600/22, 640x480/21; no 16-bit 640x480, so the last 640x480.
    ASSERT_EQ(first.modeCount, 3u);
    EXPECT_EQ(first.modes[first.currentMode].format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(first.currentMode, 2u);
    EXPECT_EQ(shell.adapters[1].devices[0].currentMode, 0u);
}

TEST(DeviceEnumeration, AdapterWithOnlySmallModesIsDropped) {
    FakeAdapter small{.description = "small"};
    small.modes = {{320, 240, 60, D3DFMT_X8R8G8B8}, {639, 479, 60, D3DFMT_R5G6B5}};
    EnumeratingShell shell({small, FakeAdapter{.description = "big"}});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    ASSERT_EQ(shell.adapterCount, 1u);
    EXPECT_STREQ(shell.adapters[0].identifier.Description, "big");
    // The kept adapter is still addressed by its own Direct3D number.
    EXPECT_EQ(shell.adapters[0].ordinal, 1u);
}

TEST(DeviceEnumeration, NoUsableAdapterIsNoCompatibleDevices) {
    FakeAdapter a;
    a.hal.displayFormats.clear();
    a.ref.available = false;
    EnumeratingShell shell({a});
    EXPECT_EQ(shell.enumerateDevices(), ErrNoCompatibleDevices);
    EXPECT_EQ(shell.adapterCount, 0u);
}

TEST(DeviceEnumeration, DeviceThatCannotUseTheDesktopFormatInAWindowGivesNoWindowableDevices) {
    FakeAdapter a;
    // Fullscreen 16-bit modes exist, but the desktop format (32-bit) is not supported.
    a.hal.displayFormats = {D3DFMT_R5G6B5};
    a.ref.available = false;
    EnumeratingShell shell({a});
    EXPECT_EQ(shell.enumerateDevices(), ErrNoWindowableDevices);
    EXPECT_EQ(shell.adapters[0].devices[0].modeCount, 1u);

    // Caps without the windowed bit: the same.
    FakeAdapter b;
    b.hal.caps.Caps2 = 0;
    b.ref.caps.Caps2 = 0;
    EnumeratingShell shell2({b});
    EXPECT_EQ(shell2.enumerateDevices(), ErrNoWindowableDevices);
}

TEST(DeviceEnumeration, FirstWindowableDeviceBecomesCurrentEvenTheReferenceDevice) {
    FakeAdapter a{.description = "first"};
    a.hal.caps.Caps2 = 0;
    a.ref.caps.Caps2 = 0;
    FakeAdapter b{.description = "second"};
    b.hal.caps.Caps2 = 0;
    EnumeratingShell shell({a, b});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    EXPECT_EQ(shell.currentAdapter, 1u);
    EXPECT_EQ(shell.adapters[1].currentDevice, 1u);
    EXPECT_STREQ(shell.adapters[1].devices[1].name, "REF");
    EXPECT_TRUE(shell.windowed);
    EXPECT_TRUE(shell.adapters[1].devices[1].windowed);
    EXPECT_FALSE(shell.adapters[1].devices[0].windowed);
}

TEST(DeviceEnumeration, BehavioursAreTriedInOrderUntilOneIsAccepted) {
    FakeAdapter a;
    a.modes = {{640, 480, 60, D3DFMT_X8R8G8B8}};
    a.hal.caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    a.ref.available = false;
    EnumeratingShell shell({a});
    shell.rejected = {0x50, 0x40};
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const std::vector<std::pair<DWORD, D3DFORMAT>> asked = {
        {0x50, D3DFMT_X8R8G8B8}, {0x40, D3DFMT_X8R8G8B8}, {0x80, D3DFMT_X8R8G8B8}};
    EXPECT_EQ(shell.asked, asked);
    EXPECT_EQ(shell.adapters[0].devices[0].modes[0].behaviour, 0x80u);

    // Without hardware transform and lighting only software processing is asked for, and when
    // that is refused the format is not usable.
    FakeAdapter b = a;
    b.hal.caps.DevCaps = 0;
    EnumeratingShell shell2({b});
    shell2.rejected = {0x20};
    EXPECT_EQ(shell2.enumerateDevices(), ErrNoCompatibleDevices);
    ASSERT_EQ(shell2.asked.size(), 1u);
    EXPECT_EQ(shell2.asked[0].first, 0x20u);
}

TEST(DeviceEnumeration, DepthBufferIsRequiredOnlyWhenWanted) {
    FakeAdapter a;
    a.hal.depthFormats = {D3DFMT_D24S8};
    a.ref.available = false;

    EnumeratingShell without({a});
    ASSERT_EQ(without.enumerateDevices(), S_OK);
    EXPECT_EQ(without.adapters[0].devices[0].modes[0].depthStencilFormat, D3DFMT_UNKNOWN);

    EnumeratingShell with({a});
    with.wantDepthBuffer = TRUE;
    // 16 bits of depth without stencil allow every candidate but D15S1; the device offers
    // only D24S8.
    ASSERT_EQ(with.enumerateDevices(), S_OK);
    EXPECT_EQ(with.adapters[0].devices[0].modes[0].depthStencilFormat, D3DFMT_D24S8);

    FakeAdapter b = a;
    b.hal.depthFormats.clear();
    EnumeratingShell noDepth({b});
    noDepth.wantDepthBuffer = TRUE;
    EXPECT_EQ(noDepth.enumerateDevices(), ErrNoCompatibleDevices);
}

TEST(DeviceEnumeration, DepthStencilCandidatesFollowTheWantedBits) {
    FakeAdapter a;
    a.hal.depthFormats = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
    EnumeratingShell shell({a});

    struct Case { DWORD depth, stencil; D3DFORMAT expected; };
    const Case cases[] = {{16, 0, D3DFMT_D16},  {15, 1, D3DFMT_D15S1},  {24, 0, D3DFMT_D24X8},
                          {24, 8, D3DFMT_D24S8}, {24, 4, D3DFMT_D24S8},  {32, 0, D3DFMT_D32},
                          {8, 0, D3DFMT_D16},   {16, 1, D3DFMT_D24S8}};
    for (const Case& c : cases) {
        shell.depthBitsWanted = c.depth;
        shell.stencilBitsWanted = c.stencil;
        D3DFORMAT got = D3DFMT_UNKNOWN;
        ASSERT_TRUE(shell.pickDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &got))
            << c.depth << "/" << c.stencil;
        EXPECT_EQ(got, c.expected) << c.depth << "/" << c.stencil;
    }
    shell.depthBitsWanted = 32;
    shell.stencilBitsWanted = 8;
    D3DFORMAT got = D3DFMT_UNKNOWN;
    EXPECT_FALSE(shell.pickDepthStencilFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, &got));
}

TEST(DeviceEnumeration, CapacitiesAreNeverOverrun) {
    FakeAdapter a;
    a.modes.clear();
    std::set<D3DFORMAT> formats;
    // 30 formats x 10 sizes: 300 distinct modes, more than every working list holds.
    for (DWORD f = 0; f < 30; ++f) {
        const auto format = static_cast<D3DFORMAT>(f == 0 ? D3DFMT_X8R8G8B8 : 200 + f);
        formats.insert(format);
        for (UINT s = 0; s < 10; ++s) a.modes.push_back({640 + 16 * s, 480, 60, format});
    }
    a.hal.displayFormats = formats;
    a.ref.displayFormats = formats;

    EnumeratingShell shell(std::vector<FakeAdapter>(12, a));
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    EXPECT_EQ(shell.adapterCount, kMaxAdapters);
    for (UINT i = 0; i < shell.adapterCount; ++i) {
        const AdapterEntry& entry = shell.adapters[i];
        EXPECT_EQ(entry.ordinal, i);
        ASSERT_EQ(entry.deviceCount, 2u);
        for (UINT d = 0; d < entry.deviceCount; ++d) {
            // 100 distinct modes kept while reading, all of formats that fit the format list.
            EXPECT_EQ(entry.devices[d].modeCount, 100u);
            EXPECT_LE(entry.devices[d].modeCount, kMaxModesPerDevice);
        }
    }
}

TEST(DeviceEnumeration, DistinctModesBeyondTheWorkingListAreDropped) {
    FakeAdapter a;
    a.modes.clear();
    // Read in descending width so that the kept ones, the first 100 read, are the widest.
    for (UINT s = 0; s < 120; ++s) a.modes.push_back({759 - s, 480, 60, D3DFMT_X8R8G8B8});
    EnumeratingShell shell({a});
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const DeviceEntry& hal = shell.adapters[0].devices[0];
    ASSERT_EQ(hal.modeCount, kMaxDistinctModes);
    EXPECT_EQ(hal.modes[0].width, 660u);
    EXPECT_EQ(hal.modes[hal.modeCount - 1].width, 759u);
}

}  // namespace
}  // namespace quorvel
