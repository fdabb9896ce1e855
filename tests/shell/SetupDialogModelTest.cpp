#include "shell/SetupDialogModel.h"

#include "support/FakeDirect3D.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace quorvel {
namespace {

using testing::FakeDirect3D;

// Builds a table by hand: two adapters, each with a HAL that runs in a window and a REF that
// cannot, so that switching device changes the windowed choice.
class SetupDialogModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(adapters, 0, sizeof adapters);
        for (UINT a = 0; a < 2; ++a) {
            AdapterEntry& adapter = adapters[a];
            std::snprintf(adapter.identifier.Description, sizeof adapter.identifier.Description, "Adapter %u", a);
            adapter.desktopMode = {1024, 768, 60, D3DFMT_X8R8G8B8};
            adapter.ordinal = a;
            adapter.deviceCount = 2;
            DeviceEntry& hal = adapter.devices[0];
            hal.type = D3DDEVTYPE_HAL;
            hal.name = "HAL";
            hal.windowCapable = TRUE;
            hal.windowed = TRUE;
            hal.modeCount = 3;
            hal.modes[0] = {800, 600, D3DFMT_R5G6B5, 0x20, D3DFMT_D16};
            hal.modes[1] = {640, 480, D3DFMT_X8R8G8B8, 0x20, D3DFMT_D16};
            hal.modes[2] = {1024, 768, D3DFMT_A8R8G8B8, 0x20, D3DFMT_D16};
            hal.currentMode = 1;
            DeviceEntry& ref = adapter.devices[1];
            ref.type = D3DDEVTYPE_REF;
            ref.name = "REF";
            ref.modeCount = 1;
            ref.modes[0] = {640, 480, D3DFMT_R5G6B5, 0x20, D3DFMT_D16};
        }
        adapters[1].currentDevice = 1;

        d3d->adapters.resize(2);
        for (auto& a : d3d->adapters) {
            a.hal.multiSamples = {{TRUE, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_2_SAMPLES},
                                  {TRUE, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_4_SAMPLES},
                                  {FALSE, D3DFMT_R5G6B5, D3DMULTISAMPLE_2_SAMPLES}};
        }
        model = std::make_unique<SetupDialogModel>(adapters, 2, currentAdapter, d3d);
        model->initialise();
    }
    void TearDown() override { d3d->Release(); }

    int send(SetupDialogCommand c, int index = 0) { return model->command(c, index, model->lists().windowedChecked); }

    AdapterEntry adapters[2];
    UINT currentAdapter = 0;
    FakeDirect3D* d3d = new FakeDirect3D;
    std::unique_ptr<SetupDialogModel> model;
};

TEST_F(SetupDialogModelTest, ListsShowTheCurrentSelection) {
    const SetupDialogLists& l = model->lists();
    EXPECT_EQ(l.adapters, (std::vector<std::string>{"Adapter 0", "Adapter 1"}));
    EXPECT_EQ(l.adapterSelection, 0);
    EXPECT_EQ(l.devices, (std::vector<std::string>{"HAL", "REF"}));
    EXPECT_EQ(l.deviceSelection, 0);
    EXPECT_EQ(l.modes, (std::vector<std::string>{"800 x 600 x 16", "640 x 480 x 32", "1024 x 768 x 32"}));
    EXPECT_EQ(l.modeSelection, 1);
    EXPECT_TRUE(l.windowedChecked);
    EXPECT_TRUE(l.windowedEnabled);
    EXPECT_FALSE(l.modeListEnabled);
}

TEST_F(SetupDialogModelTest, OkWithoutChangesWritesNothing) {
    // Scribble on the table behind the dialog's back: an OK without changes must not restore it.
    adapters[0].devices[0].currentMode = 2;
    EXPECT_EQ(send(SetupDialogCommand::Ok), SetupDialogModel::kOk);
    EXPECT_EQ(adapters[0].devices[0].currentMode, 2u);
    EXPECT_EQ(currentAdapter, 0u);
}

TEST_F(SetupDialogModelTest, OkWritesBackEveryWorkingValueAfterAChange) {
    model->command(SetupDialogCommand::RadioClicked, 0, false);  // "Full Screen"
    send(SetupDialogCommand::ModeChosen, 0);
    send(SetupDialogCommand::MultiSampleChosen, 1);
    EXPECT_EQ(model->working().multiSampleType, D3DMULTISAMPLE_2_SAMPLES);
    EXPECT_EQ(send(SetupDialogCommand::Ok), SetupDialogModel::kOk);
    const DeviceEntry& hal = adapters[0].devices[0];
    EXPECT_EQ(hal.currentMode, 0u);
    EXPECT_FALSE(hal.windowed);
    EXPECT_EQ(hal.multiSampleType, D3DMULTISAMPLE_2_SAMPLES);
}

TEST_F(SetupDialogModelTest, CancelWritesNothing) {
    send(SetupDialogCommand::AdapterChosen, 1);
    send(SetupDialogCommand::ModeChosen, 0);
    EXPECT_EQ(send(SetupDialogCommand::Cancel), SetupDialogModel::kCancel);
    EXPECT_EQ(currentAdapter, 0u);
    EXPECT_EQ(adapters[1].devices[1].currentMode, 0u);
    EXPECT_EQ(adapters[0].devices[0].currentMode, 1u);
}

TEST_F(SetupDialogModelTest, AdapterChangeTakesThatAdaptersDeviceModeAndWindowedChoice) {
    send(SetupDialogCommand::ModeChosen, 2);
    send(SetupDialogCommand::AdapterChosen, 1);
    const DeviceSelection& w = model->working();
    EXPECT_EQ(w.adapter, 1u);
    EXPECT_EQ(w.device, 1u);  // adapter 1's current device is its REF
    EXPECT_EQ(w.mode, 0u);
    EXPECT_FALSE(w.windowed);
    const SetupDialogLists& l = model->lists();
    EXPECT_EQ(l.deviceSelection, 1);
    EXPECT_EQ(l.modes, (std::vector<std::string>{"640 x 480 x 16"}));
    EXPECT_FALSE(l.windowedEnabled);  // the REF cannot run in a window
    EXPECT_FALSE(l.windowedChecked);
    EXPECT_TRUE(l.modeListEnabled);

    EXPECT_EQ(send(SetupDialogCommand::Ok), SetupDialogModel::kOk);
    EXPECT_EQ(currentAdapter, 1u);
}

TEST_F(SetupDialogModelTest, DeviceChangeTakesThatDevicesModeAndWindowedChoice) {
    send(SetupDialogCommand::DeviceChosen, 1);
    EXPECT_EQ(model->working().device, 1u);
    EXPECT_EQ(model->working().mode, 0u);
    EXPECT_FALSE(model->working().windowed);
    send(SetupDialogCommand::DeviceChosen, 0);
    EXPECT_EQ(model->working().mode, 1u);
    EXPECT_TRUE(model->working().windowed);
}

TEST_F(SetupDialogModelTest, WindowedDisablesTheModeListAndFullScreenEnablesIt) {
    model->command(SetupDialogCommand::RadioClicked, 0, false);
    EXPECT_TRUE(model->lists().modeListEnabled);
    EXPECT_FALSE(model->lists().windowedChecked);
    model->command(SetupDialogCommand::RadioClicked, 0, true);
    EXPECT_FALSE(model->lists().modeListEnabled);
    EXPECT_TRUE(model->lists().windowedChecked);
}

TEST_F(SetupDialogModelTest, MultisampleListFollowsTheSurfaceFormat) {
    // Windowed: the desktop format X8R8G8B8 offers 2 and 4 samples.
    EXPECT_EQ(model->lists().multiSamples, (std::vector<std::string>{"none", "2 samples", "4 samples"}));
    EXPECT_EQ(model->lists().multiSampleSelection, 0);
    EXPECT_TRUE(model->lists().multiSampleEnabled);

    send(SetupDialogCommand::MultiSampleChosen, 2);
    EXPECT_EQ(model->working().multiSampleType, D3DMULTISAMPLE_4_SAMPLES);
    EXPECT_EQ(model->lists().multiSampleSelection, 2);

    // Fullscreen at 640 x 480 x 32 (X8R8G8B8, not windowed): nothing beyond "none"; the working
    // type falls back to it and the list is disabled.
    model->command(SetupDialogCommand::RadioClicked, 0, false);
    EXPECT_EQ(model->lists().multiSamples, (std::vector<std::string>{"none"}));
    EXPECT_FALSE(model->lists().multiSampleEnabled);
    EXPECT_EQ(model->working().multiSampleType, D3DMULTISAMPLE_NONE);

    // Fullscreen 800 x 600 x 16 offers 2 samples.
    send(SetupDialogCommand::ModeChosen, 0);
    EXPECT_EQ(model->lists().multiSamples, (std::vector<std::string>{"none", "2 samples"}));
    EXPECT_TRUE(model->lists().multiSampleEnabled);
}

TEST_F(SetupDialogModelTest, OutOfRangeSelectionsAreIgnored) {
    const DeviceSelection before = model->working();
    send(SetupDialogCommand::AdapterChosen, 5);
    send(SetupDialogCommand::DeviceChosen, -1);
    send(SetupDialogCommand::ModeChosen, 3);
    send(SetupDialogCommand::MultiSampleChosen, 9);
    EXPECT_EQ(model->working(), before);
}

TEST_F(SetupDialogModelTest, TheShowsOwnPlugInsBoxAppearsOnlyWhenOfferedAndALockedChoiceStays) {
    EXPECT_FALSE(model->lists().trustShown);
    send(SetupDialogCommand::TrustToggled, 1);
    EXPECT_FALSE(model->showTrust().has_value());

    for (const bool locked : {false, true}) {
        model = std::make_unique<SetupDialogModel>(adapters, 2, currentAdapter, d3d);
        model->offerShowTrust(ShowTrustChoice{locked, locked});
        model->initialise();
        EXPECT_TRUE(model->lists().trustShown);
        EXPECT_EQ(model->lists().trustChecked, locked);
        EXPECT_EQ(model->lists().trustEnabled, !locked);
        send(SetupDialogCommand::TrustToggled, locked ? 0 : 1);
        // The box keeps its state while the other lists are rebuilt.
        send(SetupDialogCommand::AdapterChosen, 1);
        EXPECT_TRUE(model->lists().trustChecked) << "locked " << locked;
        EXPECT_EQ(send(SetupDialogCommand::Ok), SetupDialogModel::kOk);
        EXPECT_TRUE(model->showTrust()->checked);
    }
}

}  // namespace
}  // namespace quorvel
