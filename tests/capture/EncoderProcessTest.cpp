// The encoder child process and the export around it, with shell scripts standing in for ffmpeg.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "EncoderProcess.h"
#include "VideoExport.h"
#include "support/TempDir.h"

using namespace quorvel::capture;
using quorvel::testing::TempDir;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::uint8_t> pattern(size_t bytes, int seed) {
    std::vector<std::uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>((i * 7 + static_cast<size_t>(seed)) % 251);
    return data;
}

class EncoderProcessTest : public ::testing::Test {
protected:
    // Writes to a pipe whose reader is gone must fail, not end the test program.
    void SetUp() override { std::signal(SIGPIPE, SIG_IGN); }

    std::string script(const std::string& name, const std::string& body) {
        const std::string path = dir_.write(name, "#!/bin/sh\n" + body + "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    TempDir dir_;
};

}  // namespace

TEST_F(EncoderProcessTest, PicturesAndSoundArriveWhicheverTheEncoderReadsFirst) {
    // This encoder takes no sound until every picture is in: sound must never hold up pictures.
    const std::string video = dir_.path() + "/video", audio = dir_.path() + "/audio";
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.start({"sh", "-c", "cat > \"$0\"; cat <&3 > \"$1\"", video, audio}, error)) << error;
    std::vector<std::int16_t> sound(600000);
    for (size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<std::int16_t>(i * 31);
    encoder.writeAudio(sound.data(), sound.size());  // far more than a pipe holds
    const auto pictures = pattern(4 << 20, 1);
    ASSERT_TRUE(encoder.writeVideo(pictures.data(), pictures.size()));
    ASSERT_TRUE(encoder.finish());
    EXPECT_EQ(encoder.endDescription(), "exited with status 0");
    EXPECT_EQ(readFile(video), std::string(pictures.begin(), pictures.end()));
    const std::string heard = readFile(audio);
    ASSERT_EQ(heard.size(), sound.size() * 2);
    EXPECT_EQ(std::memcmp(heard.data(), sound.data(), heard.size()), 0);
}

TEST_F(EncoderProcessTest, AFailureIsToldWithTheEndOfItsErrorOutput) {
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.start({"sh", "-c", "echo one >&2; echo >&2; echo 'two  ' >&2; echo three >&2; exit 3"}, error));
    EXPECT_FALSE(encoder.finish());
    EXPECT_EQ(encoder.endDescription(), "exited with status 3");
    EXPECT_EQ(encoder.errorTail(), "one / two / three");
    EXPECT_EQ(encoder.errorTail(1), "three");
}

TEST_F(EncoderProcessTest, WritingToAnEncoderThatQuitFails) {
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.start({"sh", "-c", "exit 0"}, error));
    const auto pictures = pattern(4 << 20, 2);
    EXPECT_FALSE(encoder.writeVideo(pictures.data(), pictures.size()));
    encoder.finish();
}

TEST_F(EncoderProcessTest, AMissingProgramIsNamed) {
    EncoderProcess encoder;
    std::string error;
    EXPECT_FALSE(encoder.start({"quorvel-no-such-encoder", "-i", "x"}, error));
    EXPECT_EQ(error, "quorvel-no-such-encoder was not found on PATH (install the ffmpeg package)");
}

TEST_F(EncoderProcessTest, AStuckEncoderCanBeLeft) {
    EncoderProcess encoder;
    std::string error;
    ASSERT_TRUE(encoder.start({"sleep", "30"}, error));
    const auto pictures = pattern(4 << 20, 3);
    auto writing = std::async(std::launch::async, [&] { return encoder.writeVideo(pictures.data(), pictures.size()); });
    EXPECT_EQ(writing.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    encoder.stopWriting();
    EXPECT_FALSE(writing.get());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(encoder.finish([&] { return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(100); }));
    EXPECT_EQ(encoder.endDescription(), "was killed by signal 9");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(VideoExportNames, PartialFileSitsBesideTheVideo) {
    EXPECT_EQ(partialPathFor("out/show.mp4", 42), "out/.show.mp4.42.partial");
    EXPECT_EQ(partialPathFor("show.mkv", 7), ".show.mkv.7.partial");
    EXPECT_EQ(partialPathFor("/a.b/c/show.webm", 1), "/a.b/c/.show.webm.1.partial");
}

class VideoExportTest : public EncoderProcessTest {
protected:
    EncodeJob job(const std::string& name) {
        EncodeJob job;
        job.format = videoFormatFor(name);
        job.width = 4;
        job.height = 2;
        job.outputPath = dir_.path() + "/" + name;
        return job;
    }
    // Writes the pictures to the output named last on its command line, as ffmpeg would.
    std::string fakeEncoder(int status) {
        return script("encoder-" + std::to_string(status),
                      "for out; do :; done\ncat > \"$out\"\ncat <&3 > /dev/null\necho \"bad things\" >&2\nexit " +
                          std::to_string(status));
    }
    std::vector<std::string> leftovers() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("encoder-", 0) != 0 && name != "quitter") names.push_back(name);
        }
        return names;
    }
};

TEST_F(VideoExportTest, TheFinishedVideoTakesItsName) {
    VideoExport video(job("show.mp4"));
    std::string error;
    ASSERT_TRUE(video.start(error, fakeEncoder(0))) << error;
    EXPECT_TRUE(std::filesystem::exists(video.partialPath()));
    std::string expected;
    for (int k = 0; k < 5; ++k) {
        const auto frame = pattern(4 * 2 * 4, k);
        ASSERT_TRUE(video.addFrame(k, 4, 2, frame.data()));
        expected.append(frame.begin(), frame.end());
        const std::int16_t sound[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        video.addAudio(sound, 4);
    }
    ASSERT_TRUE(video.finish(error)) << error;
    EXPECT_EQ(video.framesWritten(), 5);
    EXPECT_EQ(readFile(dir_.path() + "/show.mp4"), expected);
    EXPECT_EQ(leftovers(), std::vector<std::string>{"show.mp4"});
}

TEST_F(VideoExportTest, AFailedEncodeLeavesAnEarlierVideoAlone) {
    const std::string earlier = dir_.write("show.mp4", "yesterday's video");
    VideoExport video(job("show.mp4"));
    std::string error;
    ASSERT_TRUE(video.start(error, fakeEncoder(1)));
    const auto frame = pattern(32, 0);
    video.addFrame(0, 4, 2, frame.data());
    EXPECT_FALSE(video.finish(error));
    EXPECT_EQ(error, "ffmpeg could not make " + earlier + " (it exited with status 1): bad things");
    EXPECT_EQ(readFile(earlier), "yesterday's video");
    EXPECT_EQ(leftovers(), std::vector<std::string>{"show.mp4"});
}

TEST_F(VideoExportTest, AnAbandonedExportLeavesNothing) {
    VideoExport video(job("show.webm"));
    std::string error;
    ASSERT_TRUE(video.start(error, fakeEncoder(0)));
    const auto frame = pattern(32, 0);
    video.addFrame(0, 4, 2, frame.data());
    video.abandon();
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(VideoExportTest, AnUnwritableFolderShowsBeforeTheEncoderStarts) {
    EncodeJob bad = job("show.mov");
    bad.outputPath = dir_.path() + "/missing/show.mov";
    VideoExport video(bad);
    std::string error;
    EXPECT_FALSE(video.start(error, fakeEncoder(0)));
    EXPECT_EQ(error, "cannot write " + bad.outputPath + ": No such file or directory");

    VideoExport noEncoder(job("show.mkv"));
    EXPECT_FALSE(noEncoder.start(error, "quorvel-no-such-encoder"));
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(VideoExportTest, AnEncoderThatQuitsEarlyIsBlamedWhenAbandoned) {
    VideoExport video(job("show.mp4"));
    std::string error;
    ASSERT_TRUE(video.start(error, script("quitter", "echo 'Unknown encoder' >&2\nexit 1")));
    const auto frame = pattern(32, 0);
    bool refused = false;
    for (int k = 0; k < 500 && !refused; ++k) {
        refused = !video.addFrame(k, 4, 2, frame.data());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(refused);
    std::string reason;
    video.abandon(&reason);
    EXPECT_EQ(reason, "ffmpeg could not make " + dir_.path() + "/show.mp4 (it exited with status 1): Unknown encoder");
    EXPECT_TRUE(leftovers().empty());

    // Abandoned while the encoder was fine: nobody to blame.
    VideoExport healthy(job("show.mkv"));
    ASSERT_TRUE(healthy.start(error, fakeEncoder(0)));
    healthy.addFrame(0, 4, 2, frame.data());
    reason.clear();
    healthy.abandon(&reason);
    EXPECT_EQ(reason, "");
}
