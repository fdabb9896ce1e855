// Decoding a whole lossy stream into memory, so that playing it from any frame is a copy rather
// than a decode from the file's start (Ogg streams cannot be positioned exactly in the file).
//
// The codec gives floating-point samples; they are kept as 16-bit samples scaled so that the
// file's peak is full scale, as the file reader's own scaled reading does. The peak is only known
// once everything is decoded, so the floats are decoded first into the same block and then
// narrowed in place: while decoding the block is twice the final size for a moment.
#pragma once

#include <sndfile.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/memory/LargeBlock.h"

namespace quorvel::audio {

// 16-bit samples held in one block (narrowed in place, then shrunk).
struct MemoryPcm {
    platform::LargeBlock block;
    std::uint64_t frames = 0;  // frames of `channels` samples each
    int channels = 0;

    const std::int16_t* frame(std::uint64_t index) const {
        return static_cast<const std::int16_t*>(block.data()) + index * static_cast<std::uint64_t>(channels);
    }
};

// Bytes a stream of `frames` frames of `channels` kept channels takes in memory as 16-bit samples.
constexpr std::uint64_t memoryBytes(std::uint64_t frames, int channels) {
    return frames * static_cast<std::uint64_t>(channels) * 2u;
}

// A scaled sample as 16 bits: rounded to nearest with ties to even, as lrintf rounds by default,
// and held to the 16-bit range; NaN gives -32768. Done inline rather than by a library call per
// sample, which took a third longer over a whole stream.
inline std::int16_t narrowSample(float scaled) {
    if (!(scaled > -32768.5f)) return -32768;
    if (scaled >= 32767.5f) return 32767;
    // Adding 1.5 * 2^23 leaves no fraction bits in a float of this size, so the addition itself
    // rounds (ties to even); subtracting it again is exact.
    const float rounded = (scaled + 12582912.0f) - 12582912.0f;
    return static_cast<std::int16_t>(rounded);
}

// Reads `frames` frames from the file's current position, keeping its first `keptChannels`
// channels (1 or 2) of `fileChannels`. Frames the file does not deliver stay silent. Gives up
// (empty result) when `cancel` becomes true or the memory cannot be had.
MemoryPcm decodeIntoMemory(SNDFILE* file, int fileChannels, int keptChannels, std::uint64_t frames,
                           const std::atomic<bool>& cancel);

}  // namespace quorvel::audio
