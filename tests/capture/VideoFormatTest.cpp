// Video formats by file name, their settings, and the ffmpeg command line that makes them.
#include <gtest/gtest.h>

#include <algorithm>

#include "VideoFormat.h"

using namespace quorvel::capture;

namespace {

// The value after the last occurrence of `flag` (later ffmpeg options win), or "" without one.
std::string valueAfter(const std::vector<std::string>& args, const std::string& flag) {
    auto it = std::find(args.rbegin(), args.rend(), flag);
    if (it == args.rend() || it == args.rbegin()) return "";
    return *(it - 1);
}

EncodeJob jobFor(const std::string& name) {
    EncodeJob job;
    job.format = videoFormatFor(name);
    job.width = 320;
    job.height = 240;
    job.rate = {60000, 1001};
    job.outputPath = ".partial";
    return job;
}

}  // namespace

TEST(VideoFormat, ChosenByExtensionInAnyCase) {
    EXPECT_EQ(videoFormatFor("show.mp4")->container, VideoContainer::Mp4);
    EXPECT_EQ(videoFormatFor("dir.v1/Show.WebM")->container, VideoContainer::WebM);
    EXPECT_EQ(videoFormatFor("edit.MOV")->container, VideoContainer::Mov);
    EXPECT_EQ(videoFormatFor("archive.mkv")->container, VideoContainer::Mkv);
    EXPECT_EQ(videoFormatFor("show.mp4.txt"), nullptr);
    EXPECT_EQ(videoFormatFor("mp4"), nullptr);
    EXPECT_EQ(videoFormatFor("show"), nullptr);
}

TEST(VideoFormat, EachFormatGetsItsCodecsAndContainer) {
    struct Expected {
        const char* name;
        const char* video;
        const char* pixels;
        const char* audio;
        const char* muxer;
    };
    for (const Expected& e : {Expected{"a.mp4", "libx264", "yuv420p", "aac", "mp4"},
                              Expected{"a.webm", "libvpx-vp9", "yuv420p", "libopus", "webm"},
                              Expected{"a.mov", "prores_ks", "yuv422p10le", "pcm_s16le", "mov"},
                              Expected{"a.mkv", "ffv1", "bgr0", "flac", "matroska"}}) {
        const auto args = ffmpegCommand(jobFor(e.name));
        EXPECT_EQ(args.front(), "ffmpeg");
        EXPECT_EQ(valueAfter(args, "-c:v"), e.video) << e.name;
        EXPECT_EQ(valueAfter(args, "-pix_fmt"), e.pixels) << e.name;
        EXPECT_EQ(valueAfter(args, "-c:a"), e.audio) << e.name;
        // The output comes last, with its container named, whatever the temporary name.
        EXPECT_EQ(args.back(), ".partial");
        EXPECT_EQ(args[args.size() - 2], e.muxer) << e.name;
        // Input: raw RGBA at the exact rate, sound on descriptor 3.
        EXPECT_EQ(valueAfter(args, "-video_size"), "320x240");
        EXPECT_EQ(valueAfter(args, "-framerate"), "60000/1001");
        EXPECT_NE(std::find(args.begin(), args.end(), "pipe:3"), args.end());
    }
    const auto mp4 = ffmpegCommand(jobFor("a.mp4"));
    EXPECT_EQ(valueAfter(mp4, "-crf"), "16");
    EXPECT_EQ(valueAfter(mp4, "-preset"), "veryfast");
    EXPECT_EQ(valueAfter(mp4, "-movflags"), "+faststart");
    EXPECT_EQ(valueAfter(mp4, "-flags"), "+cgop");
    EXPECT_EQ(valueAfter(ffmpegCommand(jobFor("a.mov")), "-profile:v"), "3");  // HQ
}

TEST(VideoFormat, SettingsReachTheCommandAndExtraArgumentsComeLast) {
    EncodeJob job = jobFor("a.webm");
    job.settings.crf = 40;
    job.settings.preset = "2";
    job.settings.extraArgs = {"-crf", "12", "-g", "48"};
    const auto args = ffmpegCommand(job);
    EXPECT_EQ(valueAfter(args, "-cpu-used"), "2");
    // The expert's -crf comes after ours, so ffmpeg takes it.
    EXPECT_EQ(valueAfter(args, "-crf"), "12");
    const auto extra = std::find(args.begin(), args.end(), "-g");
    ASSERT_NE(extra, args.end());
    EXPECT_EQ(args.end() - extra, 5);  // -g 48 -f webm .partial
}

TEST(VideoFormat, SettingsAreCheckedPerFormat) {
    const VideoFormat& mp4 = *videoFormatFor("a.mp4");
    EXPECT_EQ(checkVideoSettings(mp4, {}, 640, 480), "");
    EXPECT_EQ(checkVideoSettings(mp4, {}, 640, 481), "H.264 needs an even width and height; 640x481 is odd (try --size 640x482)");
    EXPECT_EQ(checkVideoSettings(mp4, {51, "placebo", {}}, 16, 16), "");
    EXPECT_NE(checkVideoSettings(mp4, {-1, "", {}}, 16, 16), "");
    EXPECT_NE(checkVideoSettings(mp4, {std::nullopt, "Medium", {}}, 16, 16), "");
    const VideoFormat& webm = *videoFormatFor("a.webm");
    EXPECT_EQ(checkVideoSettings(webm, {63, "8", {}}, 641, 481), "");
    EXPECT_NE(checkVideoSettings(webm, {64, "", {}}, 640, 480), "");
    EXPECT_NE(checkVideoSettings(webm, {std::nullopt, "9", {}}, 640, 480), "");
    EXPECT_EQ(checkVideoSettings(*videoFormatFor("a.mov"), {}, 641, 481), "");
}

TEST(VideoFormat, EncoderArgumentsSplitLikeAShell) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(*splitArguments(""), Args{});
    EXPECT_EQ(*splitArguments("  -tune\tfilm  "), (Args{"-tune", "film"}));
    EXPECT_EQ(*splitArguments("-x264-params 'keyint=60:bframes=2' -metadata \"title=Brass Orbit\""),
              (Args{"-x264-params", "keyint=60:bframes=2", "-metadata", "title=Brass Orbit"}));
    EXPECT_EQ(*splitArguments("a'b c'\"d\" ''"), (Args{"ab cd", ""}));
    EXPECT_EQ(*splitArguments("\"it's\""), (Args{"it's"}));
    EXPECT_FALSE(splitArguments("-metadata 'title=x"));
}
