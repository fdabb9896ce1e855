// Audio files written for the music tests with libsndfile, and the samples they decode to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::testing {

// A sample pattern that never contains 0, so leading silence in an output can be told apart
// from the music. Interleaved, `channels` per frame.
std::vector<std::int16_t> patternSamples(std::int64_t frames, int channels);

// A sine of the given frequency at half scale, interleaved with every channel equal.
std::vector<std::int16_t> sineSamples(std::int64_t frames, int channels, int rate, double frequency);

// Writes samples to a file of the given libsndfile format (e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16).
// Fails the current test when the file cannot be written.
void writeAudioFile(const std::string& path, int format, int rate, int channels,
                    const std::vector<std::int16_t>& samples);

// Decodes a whole file with libsndfile as 16-bit samples, for comparison with what was played.
std::vector<std::int16_t> decodeFile(const std::string& path, int& channels);

}  // namespace quorvel::testing
