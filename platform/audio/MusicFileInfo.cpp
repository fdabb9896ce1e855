#include "platform/audio/MusicFileInfo.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace quorvel::audio {

namespace {

// An open libsndfile handle, closed with its owner.
struct SoundFile {
    SF_INFO info{};
    SNDFILE* file = nullptr;
    explicit SoundFile(const std::string& path) { file = sf_open(path.c_str(), SFM_READ, &info); }
    ~SoundFile() {
        if (file) sf_close(file);
    }
    bool usable() const { return file && info.channels > 0 && info.samplerate > 0 && info.frames >= 0; }
};

}  // namespace

bool readMusicFileInfo(const std::string& path, MusicFileInfo& info, std::string& why) {
    SoundFile sound(path);
    if (!sound.file) {
        why = sf_strerror(nullptr);
        return false;
    }
    if (!sound.usable()) {
        why = "no channels, rate or length in the file";
        return false;
    }
    info.channels = sound.info.channels;
    info.sampleRate = sound.info.samplerate;
    info.seconds = static_cast<double>(sound.info.frames) / sound.info.samplerate;
    return true;
}

std::vector<float> musicPeakEnvelope(const std::string& path, int count) {
    SoundFile sound(path);
    if (!sound.usable() || count <= 0 || sound.info.frames == 0) return {};
    std::vector<float> peaks(static_cast<std::size_t>(count), 0.0f);
    const sf_count_t frames = sound.info.frames;
    const int channels = sound.info.channels;
    std::vector<float> buffer(static_cast<std::size_t>(4096 * channels));
    sf_count_t position = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(sound.file, buffer.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i) {
            const auto bin = static_cast<std::size_t>(std::min<sf_count_t>(count - 1, (position + i) * count / frames));
            for (int c = 0; c < channels; ++c) {
                peaks[bin] = std::max(peaks[bin], std::fabs(buffer[static_cast<std::size_t>(i * channels + c)]));
            }
        }
        position += got;
    }
    for (float& peak : peaks) peak = std::min(peak, 1.0f);
    return peaks;
}

}  // namespace quorvel::audio
