#include "CaptureEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/audio/WavCapture.h"
#include "platform/audio/bass.h"
#include "platform/gl/FrameReadback.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

namespace quorvel::capture {

namespace {
constexpr double AudioRate = 44100.0;
constexpr double WindowSlack = 1e-4;  // frame times are floats; keep exact multiples inside
}  // namespace

CaptureEngine::CaptureEngine(const CaptureOptions& options, platform::ManualClock& clock)
    : options_(options), clock_(clock) {
    showSetupDialog = FALSE;
    createWidth = static_cast<DWORD>(options.width);
    createHeight = static_cast<DWORD>(options.height);
}

CaptureEngine::~CaptureEngine() = default;

bool CaptureEngine::prepareOutputs() {
    std::error_code error;
    std::filesystem::create_directories(options_.outDir, error);
    if (error) {
        std::fprintf(stderr, "quorvel-capture: cannot create %s: %s\n", options_.outDir.c_str(),
                     error.message().c_str());
        return false;
    }
    if (!options_.wavPath.empty()) {
        wav_ = std::make_unique<audio::WavCapture>();
        if (!wav_->open(options_.wavPath)) {
            std::fprintf(stderr, "quorvel-capture: cannot write %s\n", options_.wavPath.c_str());
            return false;
        }
    }
    return true;
}

bool CaptureEngine::inWindow() const {
    const double t = demoTime;
    const double from = options_.from.value_or(-HUGE_VAL);
    const double to = options_.to.value_or(static_cast<double>(demoEnd));
    return t >= from - WindowSlack && t <= to + WindowSlack;
}

HRESULT CaptureEngine::onUpdate() {
    if (options_.measure) frameStarts_.push_back(std::chrono::steady_clock::now());
    // Frame k shows application time k / fps exactly, whatever the clock's rounding.
    appTime = static_cast<float>(static_cast<double>(frameIndex_) / options_.fps);
    return DemoEngine::onUpdate();
}

HRESULT CaptureEngine::onRender() {
    const bool beforeWindow = options_.from && demoTime < *options_.from - WindowSlack;
    HRESULT hr = S_OK;
    if (beforeWindow) {
        // Frames before the window are scheduled (effects start and pose) but not drawn.
        hr = static_cast<float>(demoEnd) < demoTime ? E_FAIL : S_OK;
    } else {
        hr = DemoEngine::onRender();
        if (options_.measure) {
            if (firstFrameDrawn_ == std::chrono::steady_clock::time_point{}) {
                firstFrameDrawn_ = std::chrono::steady_clock::now();
            }
        } else if (inWindow()) {
            writeFrame();
        }
    }

    // The music that played up to the end of this frame.
    const auto audioTarget = static_cast<std::uint64_t>(std::llround((frameIndex_ + 1) * AudioRate / options_.fps));
    mixAudioUpTo(audioTarget);

    const int second = static_cast<int>(std::floor(demoTime));
    if (second != lastProgressSecond_) {
        lastProgressSecond_ = second;
        std::fprintf(stderr, "quorvel-capture: demo time %6.2f s, frame %ld, %ld written\n",
                     static_cast<double>(demoTime), frameIndex_, framesWritten_);
    }

    ++frameIndex_;
    clock_.advance(1.0 / options_.fps);

    if (FAILED(hr)) {
        reachedEnd_ = true;  // past the show's end time: the shell closes the window
        return hr;
    }
    const double nextTime = demoStart + static_cast<double>(frameIndex_) / options_.fps;
    if (options_.to && nextTime > *options_.to + WindowSlack && !closing_) {
        reachedEnd_ = true;
        closing_ = true;
        requestClose();
    }
    return hr;
}

void CaptureEngine::reportMeasurements(std::chrono::steady_clock::time_point programStart) const {
    using Ms = std::chrono::duration<double, std::milli>;
    if (frameStarts_.size() < 3) {
        std::fprintf(stderr, "quorvel-capture: too few frames to measure\n");
        return;
    }
    // A frame's time runs from its update to the next frame's update: drawing and presenting.
    std::vector<double> times;
    for (size_t i = 1; i < frameStarts_.size(); ++i) times.push_back(Ms(frameStarts_[i] - frameStarts_[i - 1]).count());
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double total = 0.0;
    for (double t : times) total += t;
    const double median = sorted[sorted.size() / 2];
    const double p99 = sorted[std::min(sorted.size() - 1, static_cast<size_t>(sorted.size() * 0.99))];
    std::fprintf(stderr,
                 "quorvel-capture: first frame drawn %.1f ms after start; %zu frames: %.1f frames/s, "
                 "median %.2f ms, 99th percentile %.2f ms, worst %.2f ms\n",
                 Ms(firstFrameDrawn_ - programStart).count(), times.size(), 1000.0 * times.size() / total, median,
                 p99, sorted.back());
}

void CaptureEngine::writeFrame() {
    FramePixels pixels;
    if (!ReadBackBuffer(device, pixels) || pixels.width == 0) {
        std::fprintf(stderr, "quorvel-capture: could not read frame %ld\n", frameIndex_);
        return;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "/frame-%06ld.png", frameIndex_);
    const std::string path = options_.outDir + name;
    if (!stbi_write_png(path.c_str(), static_cast<int>(pixels.width), static_cast<int>(pixels.height), 4,
                        pixels.rgba.data(), static_cast<int>(pixels.width * 4))) {
        std::fprintf(stderr, "quorvel-capture: cannot write %s\n", path.c_str());
        return;
    }
    ++framesWritten_;
}

void CaptureEngine::mixAudioUpTo(std::uint64_t totalFrames) {
    if (!wav_ || totalFrames <= audioFramesMixed_) return;
    const std::uint64_t frames = totalFrames - audioFramesMixed_;
    audioFramesMixed_ = totalFrames;
    if (inWindow() && !(options_.from && demoTime < *options_.from - WindowSlack)) {
        wav_->render(frames);
    } else {
        // Outside the window the music still moves on; its samples are dropped.
        discardedAudio_.resize(static_cast<size_t>(frames) * 2);
        BASS_MixOutput(discardedAudio_.data(), static_cast<DWORD>(frames));
    }
}

}  // namespace quorvel::capture
