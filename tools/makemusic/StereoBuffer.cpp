#include "tools/makemusic/StereoBuffer.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

namespace quorvel {

StereoBuffer::StereoBuffer(double seconds)
    : left_(std::size_t(seconds * kSampleRate)), right_(std::size_t(seconds * kSampleRate)) {}

void StereoBuffer::add(std::size_t i, float sample, float pan) {
    if (i >= left_.size()) return;
    const float angle = (pan + 1.0f) * 0.25f * 3.14159265f;
    left_[i] += sample * std::cos(angle);
    right_[i] += sample * std::sin(angle);
}

void StereoBuffer::addPair(std::size_t i, float l, float r) {
    if (i >= left_.size()) return;
    left_[i] += l;
    right_[i] += r;
}

void StereoBuffer::finish(float peak) {
    // A one-pole high-pass near 15 Hz takes out any offset from zero (drum bodies start on a
    // half wave), then a soft curve rounds off the loudest peaks.
    const float k = std::exp(-2.0f * 3.14159265f * 15.0f / float(kSampleRate));
    for (auto* channel : {&left_, &right_}) {
        float previousIn = 0.0f, previousOut = 0.0f;
        for (float& s : *channel) {
            const float out = s - previousIn + k * previousOut;
            previousIn = s;
            previousOut = out;
            s = std::tanh(out);
        }
    }
    const float loudest = peakLevel();
    if (loudest <= 0.0f) return;
    const float gain = peak / loudest;
    for (auto* channel : {&left_, &right_})
        for (float& s : *channel) s *= gain;
}

void StereoBuffer::fadeOut(double seconds) {
    const std::size_t n = std::min(left_.size(), std::size_t(seconds * kSampleRate));
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = left_.size() - n + k;
        const float g = 1.0f - float(k) / float(n);
        left_[i] *= g;
        right_[i] *= g;
    }
}

float StereoBuffer::peakLevel() const {
    float peak = 0.0f;
    for (std::size_t i = 0; i < left_.size(); ++i)
        peak = std::max({peak, std::fabs(left_[i]), std::fabs(right_[i])});
    return peak;
}

float StereoBuffer::rmsLevel() const {
    double sum = 0.0;
    for (std::size_t i = 0; i < left_.size(); ++i) sum += double(left_[i]) * left_[i] + double(right_[i]) * right_[i];
    return left_.empty() ? 0.0f : float(std::sqrt(sum / (2.0 * double(left_.size()))));
}

bool StereoBuffer::saveOggVorbis(const std::string& path, double quality, std::string& error) const {
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    std::vector<float> interleaved(left_.size() * 2);
    for (std::size_t i = 0; i < left_.size(); ++i) {
        interleaved[2 * i] = left_[i];
        interleaved[2 * i + 1] = right_[i];
    }
    // Small blocks: the Vorbis encoder behind libsndfile crashes on one very large write.
    constexpr std::size_t kBlock = 4096;
    for (std::size_t done = 0; done < left_.size() && error.empty(); done += kBlock) {
        const sf_count_t n = sf_count_t(std::min(kBlock, left_.size() - done));
        if (sf_writef_float(file, interleaved.data() + 2 * done, n) != n) error = sf_strerror(file);
    }
    const int closed = sf_close(file);
    if (closed != 0 && error.empty()) error = sf_error_number(closed);
    return error.empty();
}

}  // namespace quorvel
