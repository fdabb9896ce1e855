#include "VideoExport.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace quorvel::capture {

namespace {
constexpr size_t BufferBudget = size_t{192} << 20;  // bytes of pictures waiting for the encoder
constexpr auto StopPatience = std::chrono::seconds(5);
}  // namespace

std::string partialPathFor(const std::string& path, long processId) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(processId) + ".partial";
}

VideoExport::VideoExport(EncodeJob job, std::function<bool()> giveUp)
    : job_(std::move(job)), giveUp_(std::move(giveUp)) {}

VideoExport::~VideoExport() {
    if (started_) abandon();
}

bool VideoExport::start(std::string& error, const std::string& program) {
    partialPath_ = partialPathFor(job_.outputPath, static_cast<long>(::getpid()));
    const int fd = ::open(partialPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot write " + job_.outputPath + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);

    EncodeJob encoderJob = job_;
    encoderJob.outputPath = partialPath_;
    std::vector<std::string> command = ffmpegCommand(encoderJob);
    command[0] = program;
    if (!encoder_.start(command, error)) {
        std::remove(partialPath_.c_str());
        return false;
    }
    started_ = true;
    const size_t frameBytes = static_cast<size_t>(job_.width) * static_cast<size_t>(job_.height) * 4;
    const size_t buffers = std::clamp<size_t>(BufferBudget / frameBytes, 2, 6);
    // One writer thread: the encoder takes the pictures in order.
    writer_ = std::make_unique<FrameWriter>(1, buffers, [this](const CapturedFrame& frame) {
        return encoder_.writeVideo(frame.rgba.data(), frame.rgba.size());
    }, giveUp_);
    return true;
}

bool VideoExport::addFrame(std::int64_t index, int width, int height, const std::uint8_t* rgba) {
    return writer_ && writer_->submit(index, width, height, rgba);
}

void VideoExport::addAudio(const std::int16_t* samples, size_t frames) {
    if (started_) encoder_.writeAudio(samples, frames * 2);
}

bool VideoExport::finish(std::string& error, const std::function<bool()>& cancelled) {
    if (!started_) {
        error = "the encoder was not started";
        return false;
    }
    started_ = false;
    const bool fed = writer_->finish();
    const bool encoded = encoder_.finish(cancelled);
    if (!fed || !encoded) {
        error = encoderFailure();
        std::remove(partialPath_.c_str());
        return false;
    }
    if (std::rename(partialPath_.c_str(), job_.outputPath.c_str()) != 0) {
        error = "cannot name the video " + job_.outputPath + ": " + std::strerror(errno);
        std::remove(partialPath_.c_str());
        return false;
    }
    return true;
}

void VideoExport::abandon(std::string* reason) {
    if (!started_) return;
    started_ = false;
    // A picture that could not be written means the encoder stopped reading: it failed.
    const bool encoderQuit = writer_->failed();
    encoder_.stopWriting();
    writer_->cancel();
    const auto deadline = std::chrono::steady_clock::now() + StopPatience;
    encoder_.finish([deadline] { return std::chrono::steady_clock::now() > deadline; });
    std::remove(partialPath_.c_str());
    if (reason && encoderQuit) *reason = encoderFailure();
}

std::string VideoExport::encoderFailure() const {
    std::string message = "ffmpeg could not make " + job_.outputPath;
    if (!encoder_.endDescription().empty()) message += " (it " + encoder_.endDescription() + ")";
    const std::string tail = encoder_.errorTail();
    if (!tail.empty()) message += ": " + tail;
    return message;
}

}  // namespace quorvel::capture
