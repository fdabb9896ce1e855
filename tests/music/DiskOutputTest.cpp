// What is heard through a real SDL output device: the disk driver writes the device's samples to a
// file, which must begin (after any silence before the music starts) with the decoded music from
// the start position and go on from the music's beginning after its end.
#include "music/MusicPlayer.h"

#include "music/TestAudioFiles.h"
#include "support/CapturedReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

namespace quorvel {
namespace {

std::vector<std::int16_t> readRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST(DiskOutputTest, MusicStartsAtItsPositionAndRepeatsAfterTheEnd) {
    testing::TempDir dir;
    testing::CapturedReports reports;
    const std::string output = dir.path() + "/heard.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "4", 1);  // about five times faster than real time

    // 2.5 s of 16-bit stereo: 2 whole seconds of 220,500 bytes, so a start of 1 s is frame 55,125.
    const std::int64_t frames = 110'250;
    const auto samples = testing::patternSamples(frames, 2);
    testing::writeAudioFile(dir.path() + "/data/tune.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                            samples);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.path() + "/data/", "tune.wav"), S_OK) << reports.boxes.size();
    const size_t startFrame = 55'125;
    player.Play(1);

    // Wait until the rest of the tune and a second of its repeat have been written.
    const size_t wanted = (frames - startFrame) + 44'100;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::vector<std::int16_t> heard;
    size_t first = 0;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        heard = readRaw(output);
        first = 0;
        while (first < heard.size() && heard[first] == 0) ++first;
        if (heard.size() >= first + 2 * wanted + 2) break;
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "output stalled at " << heard.size();
    }
    player.Stop();
    player.Close();

    ASSERT_EQ(first % 2, 0u) << "output not frame aligned";
    const size_t firstFrame = first / 2;
    for (size_t i = 0; i < wanted; ++i) {
        const size_t source = (startFrame + i) % static_cast<size_t>(frames);
        ASSERT_EQ(heard[2 * (firstFrame + i)], samples[2 * source]) << "frame " << i;
        ASSERT_EQ(heard[2 * (firstFrame + i) + 1], samples[2 * source + 1]) << "frame " << i;
    }
    EXPECT_TRUE(reports.boxes.empty());
}

}  // namespace
}  // namespace quorvel
