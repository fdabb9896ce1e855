#include "music/TestAudioFiles.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

namespace quorvel::testing {

std::vector<std::int16_t> patternSamples(std::int64_t frames, int channels) {
    std::vector<std::int16_t> samples(static_cast<size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const int value = 1 + static_cast<int>((i * (7 + 6 * c)) % 30000);
            samples[static_cast<size_t>(i * channels + c)] =
                static_cast<std::int16_t>(c % 2 == 0 ? value : -value);
        }
    }
    return samples;
}

std::vector<std::int16_t> sineSamples(std::int64_t frames, int channels, int rate, double frequency) {
    std::vector<std::int16_t> samples(static_cast<size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i) {
        const double value = 16000.0 * std::sin(2.0 * std::numbers::pi * frequency *
                                                static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(i * channels + c)] = static_cast<std::int16_t>(std::lround(value));
    }
    return samples;
}

void writeAudioFile(const std::string& path, int format, int rate, int channels,
                    const std::vector<std::int16_t>& samples) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    // libsndfile's Vorbis encoder crashes on very large single writes; hand it pieces.
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    for (sf_count_t at = 0; at < frames; at += 4096) {
        const sf_count_t piece = std::min<sf_count_t>(4096, frames - at);
        EXPECT_EQ(sf_writef_short(file, samples.data() + at * channels, piece), piece);
    }
    sf_close(file);
}

std::vector<std::int16_t> decodeFile(const std::string& path, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<std::int16_t> samples;
    if (file == nullptr) {
        ADD_FAILURE() << path << ": " << sf_strerror(nullptr);
        return samples;
    }
    sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
    channels = info.channels;
    std::vector<std::int16_t> piece(4096 * static_cast<size_t>(info.channels));
    for (;;) {
        const sf_count_t got = sf_readf_short(file, piece.data(), 4096);
        if (got <= 0) break;
        samples.insert(samples.end(), piece.begin(), piece.begin() + got * info.channels);
    }
    sf_close(file);
    return samples;
}

}  // namespace quorvel::testing
