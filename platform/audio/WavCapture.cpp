#include "platform/audio/WavCapture.h"

#include "platform/audio/bass.h"

#include <sndfile.h>

#include <algorithm>

namespace quorvel::audio {

namespace {
constexpr std::uint64_t kPieceFrames = 4096;
}

WavCapture::~WavCapture() { close(); }

bool WavCapture::open(const std::string& path) {
    close();
    SF_INFO info{};
    info.samplerate = static_cast<int>(BASS_OUTPUT_RATE);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    written_ = 0;
    buffer_.resize(kPieceFrames * 2);
    return file_ != nullptr;
}

bool WavCapture::render(std::uint64_t frames) {
    if (file_ == nullptr) return false;
    while (frames > 0) {
        const std::uint64_t piece = std::min(frames, kPieceFrames);
        if (BASS_MixOutput(buffer_.data(), static_cast<DWORD>(piece)) != piece) return false;
        const sf_count_t count = static_cast<sf_count_t>(piece);
        if (sf_writef_short(file_, buffer_.data(), count) != count) return false;
        written_ += piece;
        frames -= piece;
    }
    return true;
}

bool WavCapture::append(const std::int16_t* samples, std::uint64_t frames) {
    if (file_ == nullptr) return false;
    const auto count = static_cast<sf_count_t>(frames);
    if (sf_writef_short(file_, samples, count) != count) return false;
    written_ += frames;
    return true;
}

void WavCapture::close() {
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
}

}  // namespace quorvel::audio
