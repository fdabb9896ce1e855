// The engine as the capture program runs it: no dialog, a clock that moves exactly one frame per
// frame, and every frame of the chosen window of demo time read back and handed on: to PNG
// files (written by worker threads), to a video encoder, or only timed (--measure). The music of
// the same window goes to a WAV file and to the video.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CaptureOptions.h"
#include "FrameStatistics.h"
#include "FrameWindow.h"
#include "engine/DemoEngine.h"
#include "platform/gl/FrameReadbackRing.h"
#include "platform/time/ManualClock.h"

namespace quorvel::audio {
class WavCapture;
}

namespace quorvel::capture {

class FrameWriter;
class Progress;
class VideoExport;

class CaptureEngine : public DemoEngine {
public:
    CaptureEngine(const CaptureOptions& options, platform::ManualClock& clock,
                  std::chrono::steady_clock::time_point programStart);
    ~CaptureEngine() override;

    // Prepares the output folder and the WAV file; false (with a message) when they cannot be made.
    bool prepareOutputs();
    // After create(), when the show's times are known: works out the frames to write and starts
    // the encoder of a video. False (with a message) when the capture cannot go on.
    bool beginCapture();
    // After run(): finishes the files, reports, and returns the exit status.
    int endCapture();
    // Makes run() close the show, unloading it as usual, without drawing a frame.
    void closeBeforeFirstFrame() { stop(true); }

    HRESULT onUpdate() override;
    HRESULT onRender() override;
    HRESULT onDeviceLost() override;

    bool reachedEnd() const { return reachedEnd_; }

private:
    void readBack();
    void takeFrame(std::int64_t index, const std::uint8_t* rgba, UINT width, UINT height);
    void finishReadBacks();
    void mixAudioUpTo(std::uint64_t totalFrames);
    void mixAudioPiece(std::uint64_t frames, bool kept);
    void stop(bool failed);
    void notePresentation();

    CaptureOptions options_;
    platform::ManualClock& clock_;
    FrameWindow window_;
    std::int64_t frameIndex_ = 0;
    std::int64_t framesTaken_ = 0;  // frames of the window drawn and handed on
    std::optional<std::int64_t> closeAfter_;
    bool reachedEnd_ = false;
    bool closing_ = false;
    bool failed_ = false;
    bool interrupted_ = false;

    FrameReadbackRing readback_;
    std::unique_ptr<FrameWriter> pngWriter_;
    std::unique_ptr<VideoExport> video_;
    std::unique_ptr<Progress> progress_;

    std::uint64_t audioFramesMixed_ = 0;
    std::uint64_t keptAudioBegin_ = 0;  // the window's sound, in samples since application time 0
    std::uint64_t keptAudioEnd_ = 0;
    std::unique_ptr<audio::WavCapture> wav_;
    std::vector<std::int16_t> mixed_;  // reused for each frame's music

    // --measure: the frame drawn last waits for its presentation to be timed.
    FrameStatistics statistics_;
    bool presentationPending_ = false;
    std::int64_t pendingFrame_ = 0;
    double pendingDemoTime_ = 0.0;
};

}  // namespace quorvel::capture
