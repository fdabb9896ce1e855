// One video being exported: the encoder process, the thread that feeds it pictures, and the
// file it writes. The encoder writes a hidden temporary file beside the requested one, which
// takes the requested name only when the encoder finished well; a failed or interrupted export
// leaves nothing under that name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "EncoderProcess.h"
#include "FrameWriter.h"
#include "VideoFormat.h"

namespace quorvel::capture {

// The temporary name for `path`: ".NAME.PID.partial" in the same folder, so the final rename
// never crosses file systems.
std::string partialPathFor(const std::string& path, long processId);

class VideoExport {
public:
    // job.outputPath is the requested file; the encoder gets the temporary one. `giveUp` is
    // asked while a picture waits for the encoder; true makes addFrame give up.
    explicit VideoExport(EncodeJob job, std::function<bool()> giveUp = {});
    ~VideoExport();
    VideoExport(const VideoExport&) = delete;
    VideoExport& operator=(const VideoExport&) = delete;

    // Makes the temporary file (so an unwritable folder shows at once) and starts the encoder.
    // `program` replaces "ffmpeg" (for tests). False with a one-line message in error.
    bool start(std::string& error, const std::string& program = "ffmpeg");

    // Queues a picture (waits while all buffers are busy). False once the encoder failed.
    bool addFrame(std::int64_t index, int width, int height, const std::uint8_t* rgba);
    // Queues sound: interleaved 16-bit stereo at 44100 Hz.
    void addAudio(const std::int16_t* samples, size_t frames);

    // Ends the input, waits for the encoder and gives the file its name. `cancelled` is asked
    // while the encoder finishes; true kills it. False with a one-line message in error.
    bool finish(std::string& error, const std::function<bool()>& cancelled = {});
    // Ends the input, lets the encoder stop and removes the temporary file. When the encoder
    // had failed by itself, its reason goes to `reason`.
    void abandon(std::string* reason = nullptr);

    std::int64_t framesWritten() const { return writer_ ? writer_->written() : 0; }
    const std::string& partialPath() const { return partialPath_; }

private:
    std::string encoderFailure() const;

    EncodeJob job_;
    std::function<bool()> giveUp_;
    std::string partialPath_;
    EncoderProcess encoder_;
    std::unique_ptr<FrameWriter> writer_;
    bool started_ = false;
};

}  // namespace quorvel::capture
