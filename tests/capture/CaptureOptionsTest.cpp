// The capture program's command line.
#include <gtest/gtest.h>

#include "CaptureOptions.h"

using quorvel::capture::parseCaptureOptions;

TEST(CaptureOptions, DefaultsAndEveryFlag) {
    std::string error;
    auto defaults = parseCaptureOptions({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_DOUBLE_EQ(defaults->fps, 30.0);
    EXPECT_FALSE(defaults->from);
    EXPECT_FALSE(defaults->to);
    EXPECT_EQ(defaults->width, 640);
    EXPECT_EQ(defaults->height, 480);
    EXPECT_EQ(defaults->outDir, "capture");
    EXPECT_TRUE(defaults->wavPath.empty());
    EXPECT_FALSE(defaults->measure);

    auto all = parseCaptureOptions({"--fps", "25", "--from", "1.5", "--to", "3", "--size", "320x200", "--out",
                                    "frames", "--wav", "music.wav", "--measure"},
                                   error);
    ASSERT_TRUE(all) << error;
    EXPECT_DOUBLE_EQ(all->fps, 25.0);
    EXPECT_DOUBLE_EQ(*all->from, 1.5);
    EXPECT_DOUBLE_EQ(*all->to, 3.0);
    EXPECT_EQ(all->width, 320);
    EXPECT_EQ(all->height, 200);
    EXPECT_EQ(all->outDir, "frames");
    EXPECT_EQ(all->wavPath, "music.wav");
    EXPECT_TRUE(all->measure);
}

TEST(CaptureOptions, BadArgumentsAreExplained) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--fps"}, "missing value after --fps"},
        {{"--fps", "0"}, "--fps needs a number of frames per second above 0"},
        {{"--fps", "30x"}, "--fps needs a number of frames per second above 0"},
        {{"--from", "soon"}, "--from needs a time in seconds"},
        {{"--size", "640"}, "--size needs WIDTHxHEIGHT, for example 640x480"},
        {{"--size", "0x480"}, "--size needs WIDTHxHEIGHT, for example 640x480"},
        {{"--from", "5", "--to", "4"}, "--to lies before --from"},
        {{"--loud", "1"}, "unknown option --loud"},
    };
    for (const auto& [args, message] : cases) {
        std::string error;
        EXPECT_FALSE(parseCaptureOptions(args, error));
        EXPECT_EQ(error, message);
    }
}
