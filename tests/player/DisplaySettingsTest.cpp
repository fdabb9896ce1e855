#include "shell/DisplaySettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;

DisplaySettings sample() {
    DisplaySettings s;
    s.adapter = "Mesa Intel(R) UHD = Graphics [x]";
    s.device = "REF";
    s.windowed = false;
    s.width = 1024;
    s.height = 768;
    s.format = 22;
    s.multiSample = 4;
    return s;
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class DisplaySettingsFile : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string path = (fs::path(dir.path()) / "quorvel" / "settings.ini").string();

    SettingsReadResult read(DisplaySettings& out, std::string& problem) {
        return readDisplaySettings(path, out, problem);
    }
};

TEST_F(DisplaySettingsFile, RoundTripMakesTheFolderAndLeavesNoTemporaryFile) {
    std::string error;
    ASSERT_TRUE(writeDisplaySettings(path, sample(), error)) << error;
    DisplaySettings back;
    std::string problem;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    EXPECT_EQ(back, sample());

    DisplaySettings windowed;
    windowed.adapter = "Other";
    windowed.device = "HAL";
    ASSERT_TRUE(writeDisplaySettings(path, windowed, error)) << error;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    EXPECT_EQ(back, windowed);
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(fs::path(path).parent_path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(DisplaySettingsFile, ShowFoldersWhosePlugInsAreAllowedRoundTrip) {
    DisplaySettings trusting = sample();
    trusting.trustedShows = {"/shows/a=b]c", "/shows/with space ", "/shows/line\n[show /forged]"};
    std::string error;
    ASSERT_TRUE(writeDisplaySettings(path, trusting, error)) << error;
    DisplaySettings back;
    std::string problem;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    // A folder whose name holds a line break is not remembered: it could forge another entry.
    trusting.trustedShows.erase("/shows/line\n[show /forged]");
    EXPECT_EQ(back, trusting);

    // Only "allowed" allows; a [show] section before [display] or with other keys is read as well.
    writeText(path, "[show /a]\nplugins=denied\n[show /b]\nlater=1\nplugins = allowed\n[display]\nadapter=x\n"
                    "device=HAL\nwindowed=1\nmode=0x0\nformat=0\nmultisample=0\n");
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    EXPECT_EQ(back.trustedShows, std::set<std::string>{"/b"});
}

TEST_F(DisplaySettingsFile, ALineBreakInANameCannotForgeAValue) {
    DisplaySettings s = sample();
    s.adapter = "GPU\nwindowed=1";
    std::string error, problem;
    ASSERT_TRUE(writeDisplaySettings(path, s, error)) << error;
    DisplaySettings back;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    EXPECT_FALSE(back.windowed);
    EXPECT_EQ(back.adapter, "GPU windowed=1");
}

TEST_F(DisplaySettingsFile, NoFileIsNotAProblem) {
    DisplaySettings back = sample();
    std::string problem;
    EXPECT_EQ(read(back, problem), SettingsReadResult::Missing);
    EXPECT_EQ(back, sample());
}

TEST_F(DisplaySettingsFile, DamagedOrForeignFilesAreRefusedWithAReason) {
    const std::string good =
        "[display]\nadapter=A\ndevice=HAL\nwindowed=1\nmode=640x480\nformat=22\nmultisample=0\n";
    const std::string cases[] = {
        "",
        "[window]\nwidth=3\n",                       // someone else's file
        std::string("[display]\nadapter=A\0\x01\x02", 16),
        "[display]\nadapter=A\ndevice=HAL\nwindowed=1\nmode=640x480\nformat=22\n",  // cut short
        "[display]\nadapter=A\ndevice=HAL\nwindowed=2\nmode=640x480\nformat=22\nmultisample=0\n",
        "[display]\nadapter=A\ndevice=HAL\nwindowed=1\nmode=640by480\nformat=22\nmultisample=0\n",
        "[display]\nadapter=A\ndevice=HAL\nwindowed=1\nmode=640x480\nformat=-3\nmultisample=0\n",
        "[display]\nadapter=A\ndevice=HAL\nwindowed=1\nmode=640x480\nformat=22\nmultisample=99\n",
        "[display]\njust some words\n",
        std::string(100000, 'x'),
    };
    fs::create_directories(fs::path(path).parent_path());
    for (const std::string& text : cases) {
        writeText(path, text);
        DisplaySettings back = sample();
        std::string problem;
        EXPECT_EQ(read(back, problem), SettingsReadResult::Damaged) << text.substr(0, 60);
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(back, sample()) << "a refused file leaves the settings alone";
    }

    writeText(path, "# comment\n[other]\nadapter=B\n[display]\n" + good + "future=1\n");
    DisplaySettings back;
    std::string problem;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded) << problem;
    EXPECT_EQ(back.adapter, "A");

    fs::remove(path);
    fs::create_directories(path);
    EXPECT_EQ(read(back, problem), SettingsReadResult::Damaged);
}

TEST_F(DisplaySettingsFile, AFailedWriteKeepsTheOldFile) {
    std::string error;
    ASSERT_TRUE(writeDisplaySettings(path, sample(), error)) << error;
    // The folder for the settings cannot be made where a file stands.
    const std::string blocked = (fs::path(dir.path()) / "file").string();
    writeText(blocked, "x");
    EXPECT_FALSE(writeDisplaySettings(blocked + "/quorvel/settings.ini", sample(), error));
    EXPECT_FALSE(error.empty());
    // Nor can the file replace a folder of the same name; the temporary file is cleaned up.
    fs::create_directories(fs::path(dir.path()) / "q" / "settings.ini" / "inner");
    EXPECT_FALSE(writeDisplaySettings((fs::path(dir.path()) / "q" / "settings.ini").string(), sample(), error));
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(fs::path(dir.path()) / "q")) ++entries;
    EXPECT_EQ(entries, 1);

    DisplaySettings back;
    std::string problem;
    ASSERT_EQ(read(back, problem), SettingsReadResult::Loaded);
    EXPECT_EQ(back, sample());
}

TEST(DisplaySettingsPath, FollowsTheXdgBaseDirectoryRules) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";

    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(displaySettingsPath(), "/tmp/cfg/quorvel/settings.ini");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(displaySettingsPath(), "/home/ann/.config/quorvel/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(displaySettingsPath(), "/home/ann/.config/quorvel/settings.ini");
    unsetenv("HOME");
    EXPECT_EQ(displaySettingsPath(), "");

    if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
}  // namespace quorvel
