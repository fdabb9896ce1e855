#include "platform/audio/MemoryDecode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quorvel::audio {
namespace {

constexpr sf_count_t kPieceFrames = 8192;

// The scale that maps the peak to full scale, with the same small headroom as the reader's own
// scaled reading so that the peak itself does not wrap.
float fullScaleFactor(double peak) {
    if (!(peak > 0.0)) return 32767.0f;
    return static_cast<float>(32767.0 / ((32768.0 / 32767.0) * peak));
}

}  // namespace

MemoryPcm decodeIntoMemory(SNDFILE* file, int fileChannels, int keptChannels, std::uint64_t frames,
                           const std::atomic<bool>& cancel) {
    MemoryPcm pcm;
    const std::uint64_t count = frames * static_cast<std::uint64_t>(keptChannels);
    if (count == 0 || count > std::numeric_limits<std::size_t>::max() / sizeof(float)) return pcm;
    // Floats first, narrowed in place afterwards: sample i as 16 bits lies at or before the float
    // it comes from, so narrowing front to back never overwrites a float not yet read.
    pcm.block = platform::LargeBlock::allocate(static_cast<std::size_t>(count) * sizeof(float));
    if (!pcm.block) return pcm;
    auto* block = static_cast<unsigned char*>(pcm.block.data());

    std::vector<float> piece(static_cast<std::size_t>(kPieceFrames) * static_cast<std::size_t>(fileChannels));
    double peak = 0.0;
    std::uint64_t at = 0;
    while (at < frames) {
        if (cancel.load(std::memory_order_relaxed)) return {};
        const sf_count_t wanted = static_cast<sf_count_t>(std::min<std::uint64_t>(frames - at, kPieceFrames));
        const sf_count_t got = sf_readf_float(file, piece.data(), wanted);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            for (int c = 0; c < keptChannels; ++c) {
                const float sample = piece[static_cast<std::size_t>(i * fileChannels + c)];
                peak = std::max(peak, static_cast<double>(std::fabs(sample)));
                std::memcpy(block + ((at + static_cast<std::uint64_t>(i)) * keptChannels + c) * sizeof(float),
                            &sample, sizeof(float));
            }
        }
        at += static_cast<std::uint64_t>(got);
    }

    const float scale = fullScaleFactor(peak);
    for (std::uint64_t i = 0; i < count; ++i) {
        float sample;
        std::memcpy(&sample, block + i * sizeof(float), sizeof(float));
        const std::int16_t narrow = narrowSample(sample * scale);
        std::memcpy(block + i * sizeof(std::int16_t), &narrow, sizeof(narrow));
    }
    pcm.block.shrink(static_cast<std::size_t>(count) * sizeof(std::int16_t));
    pcm.frames = frames;
    pcm.channels = keptChannels;
    return pcm;
}

}  // namespace quorvel::audio
