// The engine as the capture program runs it: no dialog, a clock that moves exactly one frame per
// frame, every frame in the chosen window of demo time written as a PNG, and the music of that
// window mixed into a WAV file.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CaptureOptions.h"
#include "engine/DemoEngine.h"
#include "platform/time/ManualClock.h"

namespace quorvel::audio {
class WavCapture;
}

namespace quorvel::capture {

class CaptureEngine : public DemoEngine {
public:
    CaptureEngine(const CaptureOptions& options, platform::ManualClock& clock);
    ~CaptureEngine() override;

    // Prepares the output folder and the WAV file; false (with a message) when they cannot be made.
    bool prepareOutputs();

    HRESULT onUpdate() override;
    HRESULT onRender() override;

    bool reachedEnd() const { return reachedEnd_; }
    // With --measure: time to the first drawn frame and frame-time figures, on stderr.
    void reportMeasurements(std::chrono::steady_clock::time_point programStart) const;
    long framesWritten() const { return framesWritten_; }

private:
    bool inWindow() const;
    void writeFrame();
    void mixAudioUpTo(std::uint64_t totalFrames);

    CaptureOptions options_;
    platform::ManualClock& clock_;
    long frameIndex_ = 0;
    long framesWritten_ = 0;
    bool reachedEnd_ = false;
    bool closing_ = false;
    std::uint64_t audioFramesMixed_ = 0;
    std::unique_ptr<audio::WavCapture> wav_;
    std::vector<std::int16_t> discardedAudio_;  // reused for music mixed outside the window
    int lastProgressSecond_ = -1;

    // --measure: when each frame's update began, and the first frame's end.
    std::vector<std::chrono::steady_clock::time_point> frameStarts_;
    std::chrono::steady_clock::time_point firstFrameDrawn_{};
};

}  // namespace quorvel::capture
