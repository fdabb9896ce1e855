// The mix: two channels of float samples that instruments add into, with the final polish
// (gentle saturation, peak normalisation, fades) and storage through libsndfile.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

constexpr int kSampleRate = 44100;

class StereoBuffer {
public:
    explicit StereoBuffer(double seconds);

    std::size_t frames() const { return left_.size(); }
    // Adds a sample at frame i with the given pan (-1 left .. +1 right, equal power).
    void add(std::size_t i, float sample, float pan);
    // Adds a stereo pair directly.
    void addPair(std::size_t i, float l, float r);
    float left(std::size_t i) const { return left_[i]; }
    float right(std::size_t i) const { return right_[i]; }

    // Rounds off peaks with a soft curve, then scales so the loudest sample sits at peak.
    void finish(float peak);
    // Linear fade-out over the last `seconds`.
    void fadeOut(double seconds);

    // Peak and root-mean-square level over both channels.
    float peakLevel() const;
    float rmsLevel() const;

    // Stores the mix as OGG/Vorbis at the given quality (0..1); false on failure, with the
    // library's message in error.
    bool saveOggVorbis(const std::string& path, double quality, std::string& error) const;

private:
    std::vector<float> left_, right_;
};

}  // namespace quorvel
