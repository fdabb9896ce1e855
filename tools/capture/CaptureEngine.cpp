#include "CaptureEngine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "FrameWriter.h"
#include "Interruption.h"
#include "PngFrames.h"
#include "Progress.h"
#include "VideoExport.h"
#include "platform/audio/WavCapture.h"
#include "platform/audio/bass.h"

namespace quorvel::capture {

namespace {
// Frames in flight between GL and us: three, or two for pictures so big (8192x8192 is 256 MB)
// that memory matters more than the last bit of overlap.
size_t readbackDepth(const CaptureOptions& options) {
    const size_t frameBytes = static_cast<size_t>(options.width) * static_cast<size_t>(options.height) * 4;
    return frameBytes > (size_t{64} << 20) ? 2 : 3;
}
constexpr size_t PngBufferBudget = size_t{256} << 20;  // bytes of pictures waiting for PNG workers
constexpr std::uint64_t AudioLead = 4096;              // samples mixed ahead of the frame for a video
}  // namespace

CaptureEngine::CaptureEngine(const CaptureOptions& options, platform::ManualClock& clock,
                             std::chrono::steady_clock::time_point programStart)
    : options_(options), clock_(clock), readback_(readbackDepth(options)), statistics_(programStart) {
    showSetupDialog = FALSE;
    trustShow = options.trustShow;
    createWidth = static_cast<DWORD>(options.width);
    createHeight = static_cast<DWORD>(options.height);
}

CaptureEngine::~CaptureEngine() = default;

bool CaptureEngine::prepareOutputs() {
    if (!options_.writesVideo()) {
        std::error_code error;
        std::filesystem::create_directories(options_.outDir, error);
        if (error) {
            std::fprintf(stderr, "quorvel-capture: cannot create %s: %s\n", options_.outDir.c_str(),
                         error.message().c_str());
            return false;
        }
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

bool CaptureEngine::beginCapture() {
    window_ = frameWindow({options_.fps, demoStart, demoEnd, options_.from, options_.to, options_.writesVideo()});
    // Frame k's sound is [sampleAt(k), sampleAt(k + 1)), so the window's is this stretch.
    keptAudioBegin_ = options_.fps.sampleAt(window_.first, BASS_OUTPUT_RATE);
    keptAudioEnd_ = options_.fps.sampleAt(window_.end, BASS_OUTPUT_RATE);
    // A video ends where its window ends; pictures without --to go on until the show ends itself.
    if (options_.writesVideo() || options_.to) closeAfter_ = window_.end;

    if (options_.writesVideo()) {
        if (window_.count() == 0) {
            std::fprintf(stderr, "quorvel-capture: nothing to export: no frame of the show lies in [from, to)\n");
            return false;
        }
        video_ = std::make_unique<VideoExport>(EncodeJob{options_.videoFormat, options_.encoder, options_.width,
                                                         options_.height, options_.fps, options_.videoPath},
                                               interruptionRequested);
        std::string error;
        if (!video_->start(error)) {
            std::fprintf(stderr, "quorvel-capture: %s\n", error.c_str());
            video_.reset();
            return false;
        }
    } else if (!options_.measure) {
        const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
        const size_t frameBytes = static_cast<size_t>(options_.width) * static_cast<size_t>(options_.height) * 4;
        const size_t buffers = std::clamp<size_t>(PngBufferBudget / frameBytes, 2, 2 * workers);
        const std::string folder = options_.outDir;
        pngWriter_ = std::make_unique<FrameWriter>(
            workers, buffers, [folder](const CapturedFrame& frame) { return writePngFrame(folder, frame); },
            interruptionRequested);
    }
    progress_ = std::make_unique<Progress>(stderr, ::isatty(STDERR_FILENO) != 0, window_.count());
    return true;
}

HRESULT CaptureEngine::onUpdate() {
    notePresentation();
    // Frame k shows application time k / fps exactly, whatever the clock's rounding.
    appTime = static_cast<float>(options_.fps.timeOf(frameIndex_));
    return DemoEngine::onUpdate();
}

HRESULT CaptureEngine::onRender() {
    if (!interrupted_ && interruptionRequested()) {
        interrupted_ = true;
        stop(false);
    }
    if (closing_) return S_OK;

    HRESULT hr = S_OK;
    if (frameIndex_ < window_.first) {
        // Frames before the window are scheduled (effects start and pose) but not drawn.
        hr = static_cast<float>(demoEnd) < demoTime ? E_FAIL : S_OK;
    } else {
        hr = DemoEngine::onRender();
        if (SUCCEEDED(hr) && window_.contains(frameIndex_)) {
            if (options_.measure) {
                presentationPending_ = true;
                pendingFrame_ = frameIndex_;
                pendingDemoTime_ = demoTime;
            } else {
                readBack();
            }
            ++framesTaken_;
            if (progress_) progress_->update(framesTaken_);
        }
    }

    // The music that plays during this frame; for a video a little more, so that the encoder,
    // which wants sound in blocks of its own size, never waits for sound of frames not yet drawn.
    const std::uint64_t frameEnd = options_.fps.sampleAt(frameIndex_ + 1, BASS_OUTPUT_RATE);
    mixAudioUpTo(video_ ? std::max(frameEnd, std::min(frameEnd + AudioLead, keptAudioEnd_)) : frameEnd);

    ++frameIndex_;
    clock_.advance(1.0 / options_.fps.value());

    if (FAILED(hr)) {
        reachedEnd_ = true;  // past the show's end time: the shell closes the window
        return hr;
    }
    if (closeAfter_ && frameIndex_ >= *closeAfter_ && !closing_) {
        reachedEnd_ = true;
        closing_ = true;
        requestClose();
    }
    return hr;
}

HRESULT CaptureEngine::onDeviceLost() {
    notePresentation();
    finishReadBacks();
    return DemoEngine::onDeviceLost();
}

void CaptureEngine::notePresentation() {
    if (!presentationPending_) return;
    presentationPending_ = false;
    statistics_.presented(std::chrono::steady_clock::now(), pendingFrame_, pendingDemoTime_);
}

void CaptureEngine::readBack() {
    const bool read = readback_.queue(
        device, frameIndex_, [this](std::int64_t index, const std::uint8_t* rgba, UINT width, UINT height) {
            takeFrame(index, rgba, width, height);
        });
    if (!read) {
        std::fprintf(stderr, "quorvel-capture: could not read frame %lld\n", static_cast<long long>(frameIndex_));
        stop(true);
    }
}

void CaptureEngine::takeFrame(std::int64_t index, const std::uint8_t* rgba, UINT width, UINT height) {
    if (failed_ || interrupted_) return;
    const auto w = static_cast<int>(width), h = static_cast<int>(height);
    if (video_ && (w != options_.width || h != options_.height)) {
        std::fprintf(stderr, "quorvel-capture: frame %lld is %dx%d, not %dx%d\n", static_cast<long long>(index), w,
                     h, options_.width, options_.height);
        stop(true);
        return;
    }
    const bool queued = video_ ? video_->addFrame(index, w, h, rgba) : pngWriter_->submit(index, w, h, rgba);
    if (!queued) stop(true);
}

void CaptureEngine::finishReadBacks() {
    if (!readback_.drain([this](std::int64_t index, const std::uint8_t* rgba, UINT width, UINT height) {
            takeFrame(index, rgba, width, height);
        })) {
        std::fprintf(stderr, "quorvel-capture: could not read the last frames\n");
        failed_ = true;
    }
    readback_.release();
}

void CaptureEngine::mixAudioUpTo(std::uint64_t totalFrames) {
    if (!wav_ && !video_) return;
    while (audioFramesMixed_ < totalFrames) {
        // Pieces end where the window's sound begins and ends: what lies outside is dropped.
        std::uint64_t pieceEnd = totalFrames;
        if (audioFramesMixed_ < keptAudioBegin_) pieceEnd = std::min(pieceEnd, keptAudioBegin_);
        if (audioFramesMixed_ < keptAudioEnd_) pieceEnd = std::min(pieceEnd, keptAudioEnd_);
        const bool kept = audioFramesMixed_ >= keptAudioBegin_ && audioFramesMixed_ < keptAudioEnd_;
        mixAudioPiece(pieceEnd - audioFramesMixed_, kept);
        audioFramesMixed_ = pieceEnd;
    }
}

void CaptureEngine::mixAudioPiece(std::uint64_t frames, bool kept) {
    mixed_.resize(static_cast<size_t>(frames) * 2);
    const bool mixed = BASS_MixOutput(mixed_.data(), static_cast<DWORD>(frames)) == frames;
    // Outside the window the music still moves on; its samples are dropped.
    if (!kept || failed_ || interrupted_) return;
    if (mixed) {
        if (wav_ && !wav_->append(mixed_.data(), frames)) {
            std::fprintf(stderr, "quorvel-capture: cannot write %s\n", options_.wavPath.c_str());
            stop(true);
        }
    } else {
        // A show without music: the video still gets its sound track, silent.
        std::fill(mixed_.begin(), mixed_.end(), std::int16_t{0});
    }
    if (video_) video_->addAudio(mixed_.data(), static_cast<size_t>(frames));
}

void CaptureEngine::stop(bool failed) {
    if (failed) failed_ = true;
    if (closing_) return;
    closing_ = true;
    requestClose();
}

int CaptureEngine::endCapture() {
    if (interruptionRequested()) interrupted_ = true;
    if (progress_) progress_->finish();
    if (pngWriter_ && !pngWriter_->finish()) failed_ = true;
    if (wav_) wav_->close();
    if (options_.measure) {
        statistics_.report(stderr);
        if (!options_.measureCsv.empty() && !statistics_.writeCsv(options_.measureCsv)) {
            std::fprintf(stderr, "quorvel-capture: cannot write %s\n", options_.measureCsv.c_str());
            failed_ = true;
        }
    }

    if (video_) {
        std::string error;
        if (interrupted_ || failed_ || !reachedEnd_) {
            video_->abandon(&error);
            if (!error.empty() && !interrupted_) std::fprintf(stderr, "quorvel-capture: %s\n", error.c_str());
        } else if (!video_->finish(error, interruptionRequested)) {
            std::fprintf(stderr, "quorvel-capture: %s\n", error.c_str());
            failed_ = true;
        }
        if (interruptionRequested()) interrupted_ = true;
        if (interrupted_ || failed_ || !reachedEnd_) {
            std::fprintf(stderr, "quorvel-capture: %s%s was not written\n", interrupted_ ? "interrupted; " : "",
                         options_.videoPath.c_str());
        } else {
            std::fprintf(stderr, "quorvel-capture: %lld frames written to %s (%s)\n",
                         static_cast<long long>(video_->framesWritten()),
                         options_.videoPath.c_str(), options_.videoFormat->description);
        }
    } else {
        const long long written = pngWriter_ ? static_cast<long long>(pngWriter_->written()) : 0;
        std::fprintf(stderr, "quorvel-capture: %lld frames written to %s%s\n", written, options_.outDir.c_str(),
                     interrupted_ ? " (interrupted)" : reachedEnd_ ? "" : " (the show stopped before its end)");
    }
    if (interrupted_) return InterruptedExitStatus;
    return failed_ || !reachedEnd_ ? 1 : 0;
}

}  // namespace quorvel::capture
