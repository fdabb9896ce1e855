#include "shell/AppShell.h"

#include "TableDirect3D.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

using testing::TableAdapter;
using testing::TableDirect3D;

class EnumeratingShell : public AppShell {
public:
    explicit EnumeratingShell(TableDirect3D& d3d) { direct3d = &d3d; }
    ~EnumeratingShell() override { direct3d = nullptr; }

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
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {640, 399, 60, D3DFMT_X8R8G8B8},
               {639, 480, 60, D3DFMT_X8R8G8B8},  {800, 600, 60, D3DFMT_R5G6B5},
               {800, 600, 85, D3DFMT_R5G6B5},     {640, 480, 60, D3DFMT_X8R8G8B8},
               {640, 480, 75, D3DFMT_X8R8G8B8},   {640, 400, 70, D3DFMT_X8R8G8B8},
               {320, 200, 70, D3DFMT_R5G6B5}};
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);
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
    TableDirect3D d3d;
    d3d.adapters = {testing::standardAdapter()};
    EnumeratingShell shell(d3d);
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const DeviceEntry& hal = shell.adapters[0].devices[0];
    const ModeEntry& start = hal.modes[hal.currentMode];
    EXPECT_EQ(start.width, 640u);
    EXPECT_EQ(start.height, 480u);
    EXPECT_EQ(start.format, D3DFMT_R5G6B5);
}

TEST(DeviceEnumeration, StartingModeFallsBackToLast640x480ThenToTheFirstMode) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_X8R8G8B8},
               {640, 480, 60, D3DFMT_A8R8G8B8}};
    a.hal.displayFormats = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    TableAdapter b = testing::standardAdapter();
    b.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8}};
    d3d.adapters = {a, b};
    EnumeratingShell shell(d3d);
    ASSERT_EQ(shell.enumerateDevices(), S_OK);

    const DeviceEntry& first = shell.adapters[0].devices[0];
    // Sorted: 640x480/22, 800x600/22, 640x480/21; no 16-bit 640x480, so the last 640x480.
    ASSERT_EQ(first.modeCount, 3u);
    EXPECT_EQ(first.modes[first.currentMode].format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(first.currentMode, 2u);
    EXPECT_EQ(shell.adapters[1].devices[0].currentMode, 0u);
}

TEST(DeviceEnumeration, AdapterWithOnlySmallModesIsDropped) {
    TableDirect3D d3d;
    TableAdapter small = testing::standardAdapter("small");
    small.modes = {{320, 240, 60, D3DFMT_X8R8G8B8}, {639, 479, 60, D3DFMT_R5G6B5}};
    d3d.adapters = {small, testing::standardAdapter("big")};
    EnumeratingShell shell(d3d);
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    ASSERT_EQ(shell.adapterCount, 1u);
    EXPECT_STREQ(shell.adapters[0].identifier.Description, "big");
    // The kept adapter is still addressed by its own Direct3D number.
    EXPECT_EQ(shell.adapters[0].ordinal, 1u);
}

TEST(DeviceEnumeration, NoUsableAdapterIsNoCompatibleDevices) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.hal.displayFormats.clear();
    a.ref.present = false;
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);
    EXPECT_EQ(shell.enumerateDevices(), ErrNoCompatibleDevices);
    EXPECT_EQ(shell.adapterCount, 0u);
}

TEST(DeviceEnumeration, DeviceThatCannotUseTheDesktopFormatInAWindowGivesNoWindowableDevices) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    // Fullscreen 16-bit modes exist, but the desktop format (32-bit) is not supported.
    a.hal.displayFormats = {D3DFMT_R5G6B5};
    a.ref.present = false;
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);
    EXPECT_EQ(shell.enumerateDevices(), ErrNoWindowableDevices);
    EXPECT_EQ(shell.adapters[0].devices[0].modeCount, 1u);

    // Caps without the windowed bit: the same.
    TableDirect3D d3d2;
    TableAdapter b = testing::standardAdapter();
    b.hal.caps.Caps2 = 0;
    b.ref.caps.Caps2 = 0;
    d3d2.adapters = {b};
    EnumeratingShell shell2(d3d2);
    EXPECT_EQ(shell2.enumerateDevices(), ErrNoWindowableDevices);
}

TEST(DeviceEnumeration, FirstWindowableDeviceBecomesCurrentEvenTheReferenceDevice) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter("first");
    a.hal.caps.Caps2 = 0;
    a.ref.caps.Caps2 = 0;
    TableAdapter b = testing::standardAdapter("second");
    b.hal.caps.Caps2 = 0;
    d3d.adapters = {a, b};
    EnumeratingShell shell(d3d);
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    EXPECT_EQ(shell.currentAdapter, 1u);
    EXPECT_EQ(shell.adapters[1].currentDevice, 1u);
    EXPECT_STREQ(shell.adapters[1].devices[1].name, "REF");
    EXPECT_TRUE(shell.windowed);
    EXPECT_TRUE(shell.adapters[1].devices[1].windowed);
    EXPECT_FALSE(shell.adapters[1].devices[0].windowed);
}

TEST(DeviceEnumeration, BehavioursAreTriedInOrderUntilOneIsAccepted) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.modes = {{640, 480, 60, D3DFMT_X8R8G8B8}};
    a.hal.caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    a.ref.present = false;
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);
    shell.rejected = {0x50, 0x40};
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const std::vector<std::pair<DWORD, D3DFORMAT>> asked = {
        {0x50, D3DFMT_X8R8G8B8}, {0x40, D3DFMT_X8R8G8B8}, {0x80, D3DFMT_X8R8G8B8}};
    EXPECT_EQ(shell.asked, asked);
    EXPECT_EQ(shell.adapters[0].devices[0].modes[0].behaviour, 0x80u);

    // Without hardware transform and lighting only software processing is asked for, and when
    // that is refused the format is not usable.
    TableDirect3D d3d2;
    TableAdapter b = a;
    b.hal.caps.DevCaps = 0;
    d3d2.adapters = {b};
    EnumeratingShell shell2(d3d2);
    shell2.rejected = {0x20};
    EXPECT_EQ(shell2.enumerateDevices(), ErrNoCompatibleDevices);
    ASSERT_EQ(shell2.asked.size(), 1u);
    EXPECT_EQ(shell2.asked[0].first, 0x20u);
}

TEST(DeviceEnumeration, DepthBufferIsRequiredOnlyWhenWanted) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.hal.depthFormats = {D3DFMT_D24S8};
    a.ref.present = false;
    d3d.adapters = {a};

    EnumeratingShell without(d3d);
    ASSERT_EQ(without.enumerateDevices(), S_OK);
    EXPECT_EQ(without.adapters[0].devices[0].modes[0].depthStencilFormat, D3DFMT_UNKNOWN);

    EnumeratingShell with(d3d);
    with.wantDepthBuffer = TRUE;
    // 16 bits of depth without stencil allow every candidate but D15S1; the device offers
    // only D24S8.
    ASSERT_EQ(with.enumerateDevices(), S_OK);
    EXPECT_EQ(with.adapters[0].devices[0].modes[0].depthStencilFormat, D3DFMT_D24S8);

    TableDirect3D none;
    TableAdapter b = a;
    b.hal.depthFormats.clear();
    none.adapters = {b};
    EnumeratingShell noDepth(none);
    noDepth.wantDepthBuffer = TRUE;
    EXPECT_EQ(noDepth.enumerateDevices(), ErrNoCompatibleDevices);
}

TEST(DeviceEnumeration, DepthStencilCandidatesFollowTheWantedBits) {
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.hal.depthFormats = {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);

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
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
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
    for (int i = 0; i < 12; ++i) d3d.adapters.push_back(a);

    EnumeratingShell shell(d3d);
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
    TableDirect3D d3d;
    TableAdapter a = testing::standardAdapter();
    a.modes.clear();
    // Read in descending width so that the kept ones, the first 100 read, are the widest.
    for (UINT s = 0; s < 120; ++s) a.modes.push_back({759 - s, 480, 60, D3DFMT_X8R8G8B8});
    d3d.adapters = {a};
    EnumeratingShell shell(d3d);
    ASSERT_EQ(shell.enumerateDevices(), S_OK);
    const DeviceEntry& hal = shell.adapters[0].devices[0];
    ASSERT_EQ(hal.modeCount, kMaxDistinctModes);
    EXPECT_EQ(hal.modes[0].width, 660u);
    EXPECT_EQ(hal.modes[hal.modeCount - 1].width, 759u);
}

}  // namespace
}  // namespace quorvel
