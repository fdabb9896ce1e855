// The bundled music as the player decodes it: a minute of 44.1 kHz stereo that is heard in
// every part of the show and never clips.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ShowFiles.h"

using namespace showtest;

TEST(ShowMusic, IsAMinuteOfUnclippedStereoHeardThroughout) {
    SF_INFO info{};
    SNDFILE* file = sf_open((dataFolder() + "music.ogg").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
    // The show ends at 60 s; the music should last as long, so its end meets the show's end.
    EXPECT_NEAR(double(info.frames) / info.samplerate, 60.0, 0.05);

    std::vector<float> samples(std::size_t(info.frames) * 2);
    ASSERT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames);
    sf_close(file);

    float peak = 0.0f;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LT(peak, 0.99f) << "the music clips";
    EXPECT_GT(peak, 0.5f) << "the music is too quiet";

    // Every four-second stretch but the fade at the very end carries sound.
    const std::size_t window = 4 * 44100;
    for (std::size_t start = 0; start + window <= std::size_t(info.frames) - 3 * 44100; start += window) {
        double sum = 0.0;
        for (std::size_t i = 2 * start; i < 2 * (start + window); ++i) sum += double(samples[i]) * samples[i];
        const double rms = std::sqrt(sum / double(2 * window));
        EXPECT_GT(rms, 0.03) << "near silence from " << start / 44100 << " s";
    }
}
