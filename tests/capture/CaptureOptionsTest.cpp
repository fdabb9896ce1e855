// The capture program's command line.
#include <gtest/gtest.h>

#include "CaptureOptions.h"

using quorvel::capture::parseCaptureOptions;

TEST(CaptureOptions, DefaultsAndEveryFlag) {
    std::string error;
    auto defaults = parseCaptureOptions({}, error);
    ASSERT_TRUE(defaults);
    EXPECT_DOUBLE_EQ(defaults->fps.value(), 30.0);
    EXPECT_FALSE(defaults->from);
    EXPECT_FALSE(defaults->to);
    EXPECT_EQ(defaults->width, 640);
    EXPECT_EQ(defaults->height, 480);
    EXPECT_EQ(defaults->outDir, "capture");
    EXPECT_TRUE(defaults->wavPath.empty());
    EXPECT_FALSE(defaults->measure);
    EXPECT_FALSE(defaults->writesVideo());

    auto all = parseCaptureOptions({"--fps", "25", "--from", "1.5", "--to", "3", "--size", "320x200", "--out",
                                    "frames", "--wav", "music.wav", "--measure", "--measure-csv", "times.csv"},
                                   error);
    ASSERT_TRUE(all) << error;
    EXPECT_DOUBLE_EQ(all->fps.value(), 25.0);
    EXPECT_DOUBLE_EQ(*all->from, 1.5);
    EXPECT_DOUBLE_EQ(*all->to, 3.0);
    EXPECT_EQ(all->width, 320);
    EXPECT_EQ(all->height, 200);
    EXPECT_EQ(all->outDir, "frames");
    EXPECT_EQ(all->wavPath, "music.wav");
    EXPECT_TRUE(all->measure);
    EXPECT_EQ(all->measureCsv, "times.csv");
}

TEST(CaptureOptions, VideoFlags) {
    std::string error;
    auto video = parseCaptureOptions({"--video", "out/Show.MP4", "--crf", "20", "--preset", "veryfast",
                                      "--encoder-args", "-tune animation", "--fps", "60000/1001", "--size",
                                      "8192x8192", "--wav", "music.wav"},
                                     error);
    ASSERT_TRUE(video) << error;
    ASSERT_TRUE(video->writesVideo());
    EXPECT_STREQ(video->videoFormat->extension, ".mp4");
    EXPECT_EQ(video->encoder.crf, 20);
    EXPECT_EQ(video->encoder.preset, "veryfast");
    EXPECT_EQ(video->encoder.extraArgs, (std::vector<std::string>{"-tune", "animation"}));
    EXPECT_EQ(video->fps.numerator, 60000);
    EXPECT_EQ(video->fps.denominator, 1001);
    EXPECT_EQ(video->width, 8192);

    // --measure-csv alone turns on --measure.
    auto csv = parseCaptureOptions({"--measure-csv", "t.csv"}, error);
    ASSERT_TRUE(csv);
    EXPECT_TRUE(csv->measure);

    // Odd sizes are fine where the codec takes them.
    EXPECT_TRUE(parseCaptureOptions({"--video", "a.mkv", "--size", "321x241"}, error)) << error;
}

TEST(CaptureOptions, BadArgumentsAreExplained) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--fps"}, "missing value after --fps"},
        {{"--fps", "0"}, "--fps needs a number of frames per second above 0"},
        {{"--fps", "30x"}, "--fps needs a number of frames per second above 0"},
        {{"--fps", "1/0"}, "--fps needs a number of frames per second above 0"},
        {{"--fps", "2001/2"}, "--fps needs a number of frames per second above 0"},
        {{"--from", "soon"}, "--from needs a time in seconds"},
        {{"--size", "640"}, "--size needs WIDTHxHEIGHT, for example 640x480"},
        {{"--size", "0x480"}, "--size needs WIDTHxHEIGHT, for example 640x480"},
        {{"--size", "8193x480"}, "--size needs WIDTHxHEIGHT, for example 640x480"},
        {{"--from", "5", "--to", "4"}, "--to lies before --from"},
        {{"--loud", "1"}, "unknown option --loud"},
        {{"--video", "show.avi"}, "--video needs a file name ending in .mp4, .webm, .mov or .mkv"},
        {{"--video", ".mp4"}, "--video needs a file name ending in .mp4, .webm, .mov or .mkv"},
        {{"--video", "a.mp4", "--measure"}, "--measure and --video exclude each other"},
        {{"--video", "a.mp4", "--out", "d"}, "--out and --video exclude each other: a video is written instead of pictures"},
        {{"--crf", "18"}, "--crf needs --video"},
        {{"--preset", "fast"}, "--preset needs --video"},
        {{"--encoder-args", "-g 1"}, "--encoder-args needs --video"},
        {{"--video", "a.mp4", "--crf", "high"}, "--crf needs a whole number"},
        {{"--video", "a.mp4", "--crf", "52"}, "--crf for .mp4 lies between 0 and 51"},
        {{"--video", "a.mkv", "--crf", "10"}, "--crf does not apply to .mkv (FFV1 with FLAC)"},
        {{"--video", "a.mov", "--preset", "fast"}, "--preset does not apply to .mov (ProRes 422 HQ with PCM)"},
        {{"--video", "a.webm", "--preset", "fast"}, "--preset for .webm is a speed from 0 (best) to 8 (fastest)"},
        {{"--video", "a.mp4", "--encoder-args", "-x264-params 'keyint=1"}, "--encoder-args has a quote that is not closed"},
        {{"--video", "a.mp4", "--size", "641x480"}, "H.264 needs an even width and height; 641x480 is odd (try --size 642x480)"},
    };
    for (const auto& [args, message] : cases) {
        std::string error;
        EXPECT_FALSE(parseCaptureOptions(args, error)) << message;
        EXPECT_EQ(error, message);
    }
}
