// Reloading a show in a running player: the demo time goes on, a broken show leaves the last good
// one playing and says why, and many reloads in a row neither leak nor grow the process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/PlayerEngine.h"
#include "platform/time/ManualClock.h"
#include "platform/win/Win32.h"
#include "shell/FrameTimer.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

namespace {

const std::string Plugin = std::string(TEST_PLUGIN_DIR) + "/test_effects_a.so";

class ReloadingPlayer : public quorvel::PlayerEngine {
    static quorvel::PlayerOptions trusted() {
        quorvel::PlayerOptions options;
        options.trustShow = true;
        return options;
    }

public:
    // The test plug-in is named by absolute path: a library that loads only for a trusted show.
    ReloadingPlayer() : PlayerEngine(trusted()) { showSetupDialog = FALSE; }
    using AppShell::cleanup;
    void frame(float t) {
        appTime = t;
        onUpdate();
        onRender();
        device->Present(nullptr, nullptr, nullptr, nullptr);  // lets the driver finish the frame
    }
};

// Resident set in pages.
long residentPages() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident;
}

class ShowReload : public ::testing::Test {
protected:
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        previousDir_ = buffer;
        ASSERT_EQ(chdir(show_.path().c_str()), 0);
        quorvel::useFrameTimerClock(&clock_);
        library_ = LoadLibraryA(Plugin.c_str());
        ASSERT_NE(library_, nullptr);
        using SetLog = void (*)(std::vector<std::string>*);
        reinterpret_cast<SetLog>(GetProcAddress(library_, "SetRecordingLog"))(&calls_);
        // A 2x2 picture the shows load, so that reloads also go through the image bank.
        show_.write("data/dot.ppm", std::string("P6\n2 2\n255\n") + std::string(12, '\x7f'));
    }
    void TearDown() override {
        if (player) player->cleanup();
        player.reset();
        reinterpret_cast<void (*)(std::vector<std::string>*)>(GetProcAddress(library_, "SetRecordingLog"))(nullptr);
        FreeLibrary(library_);
        quorvel::useFrameTimerClock(nullptr);
        ASSERT_EQ(chdir(previousDir_.c_str()), 0);
    }

    void writeScript(const std::string& header, const std::string& timeline) {
        show_.write("data/vantro.jpg", "@data. @loadlibrary " + Plugin + " @loadimage dot.ppm " + header +
                                           " @code. " + timeline + " @eof\n");
    }
    void start(const std::string& header, const std::string& timeline) {
        writeScript(header, timeline);
        player = std::make_unique<ReloadingPlayer>();
        ASSERT_EQ(player->create(nullptr), S_OK);
    }
    bool called(const std::string& call) const {
        return std::find(calls_.begin(), calls_.end(), call) != calls_.end();
    }

    quorvel::testing::CapturedReports reports;
    std::unique_ptr<ReloadingPlayer> player;
    std::vector<std::string> calls_;
    quorvel::testing::TempDir show_;

private:
    quorvel::platform::ManualClock clock_;
    std::string previousDir_;
    HMODULE library_ = nullptr;
};

TEST_F(ShowReload, NewShowPlaysOnAtTheSameDemoTime) {
    start("@bgcolor 255", "0 0 create recorder 10 0 delete");
    player->frame(4.0f);
    calls_.clear();

    // A new start time is where a loop starts again; the time that plays goes on.
    writeScript("@bgcolor 65280 @starttime 3", "0 0 create recorder { new } 10 0 delete");
    ASSERT_TRUE(player->reloadShow());
    EXPECT_EQ(player->backgroundColour, 65280u);
    EXPECT_TRUE(player->reloadError().empty());
    // The old effect is taken down; the new one is set up and is live at once.
    EXPECT_TRUE(called("A0:Stop") && called("A0:Shutdown"));
    EXPECT_TRUE(called("A1:Init") && called("A1:Start"));

    player->frame(4.5f);
    EXPECT_FLOAT_EQ(player->demoTime, 4.5f);
    EXPECT_EQ(calls_.back(), "A1:Render");
}

TEST_F(ShowReload, PausedShowStaysPausedAtItsTime) {
    start("", "0 0 create recorder 10 0 delete");
    player->frame(4.0f);
    player->togglePause();
    player->frame(5.0f);
    ASSERT_TRUE(player->reloadShow());
    player->frame(6.0f);
    EXPECT_TRUE(player->playback.paused());
    EXPECT_FLOAT_EQ(player->demoTime, 4.0f);
    player->togglePause();
    player->frame(7.0f);
    EXPECT_FLOAT_EQ(player->demoTime, 5.0f);
}

TEST_F(ShowReload, BrokenShowKeepsTheLastGoodOneUntilAGoodReload) {
    start("@bgcolor 255", "0 0 create recorder 10 0 delete");
    player->frame(2.0f);
    const struct {
        const char* what;
        std::string header, timeline, expected;
    } broken[] = {
        {"a script error", "@bgcolor 1", "0 0 create recorder 10 0 dlete", "SCRIPT PARSE ERROR"},
        {"a missing scene", "@loadscene gone.3ds", "", "Couldn't load gone.3ds"},
        {"a missing image", "@loadimage gone.png", "", "Couldn't load gone.png"},
        {"refused parameters", "", "0 0 create recorder { failparse } 10 0 delete", "refused its parameters"},
        {"a failed set-up", "", "0 0 create recorder { failinit } 10 0 delete", "could not set itself up"},
    };
    for (const auto& edit : broken) {
        SCOPED_TRACE(edit.what);
        calls_.clear();
        writeScript(edit.header, edit.timeline);
        EXPECT_FALSE(player->reloadShow());
        ASSERT_GE(player->reloadError().size(), 2u);
        std::string text;
        for (const std::string& line : player->reloadError()) text += line + "\n";
        EXPECT_NE(text.find(edit.expected), std::string::npos) << text;
        EXPECT_TRUE(reports.boxes.empty()) << "a box was shown: " << reports.boxes[0].text;
        // The old show's effect was never stopped and plays on.
        EXPECT_FALSE(called("A0:Stop"));
        EXPECT_EQ(player->backgroundColour, 255u);
        player->frame(2.5f);
        EXPECT_EQ(calls_.back(), "A0:Render");
    }

    writeScript("@bgcolor 65280", "0 0 create recorder 10 0 delete");
    EXPECT_TRUE(player->reloadShow());
    EXPECT_TRUE(player->reloadError().empty());
    EXPECT_EQ(player->backgroundColour, 65280u);
}

TEST_F(ShowReload, TwoHundredReloadsNeitherLeakNorGrow) {
    start("", "0 0 create recorder 10 0 delete 0 1 create recorder 10 1 delete");
    const char* timelines[] = {
        "0 0 create recorder 10 0 delete 0 1 create recorder { a } 10 1 delete",
        "0 0 create recorder { failparse } 10 0 delete",
        "0 0 create recorder 10 0 delete 5 2 create recorder 10 2 delete",
        "0 0 create recorder 10 0 dlete",
    };
    long firstPages = 0;
    for (int i = 0; i < 200; ++i) {
        writeScript(i % 8 == 5 ? "@loadscene gone.3ds" : "", timelines[i % 4]);
        player->reloadShow();
        player->frame(1.0f + 0.01f * static_cast<float>(i));
        calls_.clear();
        if (i == 0) firstPages = residentPages();
    }
    EXPECT_TRUE(reports.boxes.empty());
    const long lastPages = residentPages();
    std::printf("resident after the first reload: %ld pages, after the last: %ld pages\n", firstPages, lastPages);
#if !defined(__SANITIZE_ADDRESS__)
    // The address sanitizer holds freed memory back, so resident size only means something without.
    EXPECT_LE(lastPages, firstPages + firstPages / 20);
#endif
}

}  // namespace
