// The SHOW argument: folders, data folders, script files, scenes, and what is refused.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/ShowLocation.h"
#include "support/TempDir.h"

using quorvel::locateShow;
using quorvel::ShowLocation;
using quorvel::testing::TempDir;

namespace {

std::string canonical(const std::string& path) { return std::filesystem::canonical(path).string(); }

ShowLocation located(const std::string& argument) {
    std::string error;
    auto location = locateShow(argument, error);
    EXPECT_TRUE(location.has_value()) << argument << ": " << error;
    return location.value_or(ShowLocation{});
}

std::string refusal(const std::string& argument) {
    std::string error;
    auto location = locateShow(argument, error);
    EXPECT_FALSE(location.has_value()) << argument;
    return error;
}

}  // namespace

TEST(ShowLocation, FoldersAndScriptsFindTheFolderHoldingData) {
    TempDir dir;
    dir.write("show/data/vantro.jpg", "@data.\n@code.\n@eof\n");
    dir.write("show/data/acts/act2.txt", "@data.\n@code.\n@eof\n");
    const std::string show = canonical(dir.path() + "/show");

    ShowLocation folder = located(dir.path() + "/show");
    EXPECT_EQ(folder.folder, show);
    EXPECT_EQ(folder.scriptPath, "data/vantro.jpg");
    EXPECT_FALSE(folder.isScene());

    EXPECT_EQ(located(dir.path() + "/show/data").folder, show);
    EXPECT_EQ(located(dir.path() + "/show/data/").folder, show);

    ShowLocation script = located(dir.path() + "/show/data/acts/act2.txt");
    EXPECT_EQ(script.folder, show);
    EXPECT_EQ(script.scriptPath, "data/acts/act2.txt");
}

TEST(ShowLocation, NoArgumentMeansTheWorkingDirectory) {
    TempDir dir;
    dir.write("data/vantro.jpg", "@data.\n@code.\n@eof\n");
    const std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    std::string error;
    auto location = locateShow("", error);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    ASSERT_TRUE(location.has_value()) << error;
    EXPECT_EQ(location->folder, canonical(dir.path()));
    EXPECT_EQ(location->scriptPath, "data/vantro.jpg");
}

TEST(ShowLocation, SceneFilesOpenTheViewerInTheirOwnFolder) {
    TempDir dir;
    dir.write("models/Ship.3DS", "not read here");
    ShowLocation scene = located(dir.path() + "/models/Ship.3DS");
    EXPECT_TRUE(scene.isScene());
    EXPECT_EQ(scene.folder, canonical(dir.path() + "/models"));
    EXPECT_EQ(scene.sceneFile, "Ship.3DS");
    EXPECT_TRUE(scene.scriptPath.empty());
}

TEST(ShowLocation, RefusalsNameTheArgument) {
    TempDir dir;
    dir.write("plain/readme.txt", "x");
    EXPECT_NE(refusal(dir.path() + "/missing").find("does not exist"), std::string::npos);
    EXPECT_NE(refusal(dir.path() + "/plain").find("not a show folder"), std::string::npos);
    const std::string loose = refusal(dir.path() + "/plain/readme.txt");
    EXPECT_NE(loose.find("readme.txt"), std::string::npos);
    EXPECT_NE(loose.find("not inside a show folder"), std::string::npos);
}
