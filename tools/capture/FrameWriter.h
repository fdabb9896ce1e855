// Hands captured frames from the render thread to worker threads that write them (PNG files,
// an encoder's pipe), so drawing the next frame overlaps writing the last ones. A fixed number
// of frame buffers circulates between the two sides: when all of them wait to be written, the
// render thread waits too, so memory stays bounded however slow the writing is.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvel::capture {

struct CapturedFrame {
    std::int64_t index = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes, top row first
};

class FrameWriter {
public:
    // Writes one frame; false when it could not be written.
    using Consume = std::function<bool(const CapturedFrame&)>;

    // `workers` threads call `consume` for frames in the order they were submitted (with one
    // worker, strictly one after another). At most `buffers` frames are queued or being written.
    // While submit waits for a buffer it asks `giveUp` now and then; true makes it return false
    // (so that a Ctrl+C is heard even when the writing has stalled).
    FrameWriter(unsigned workers, size_t buffers, Consume consume, std::function<bool()> giveUp = {});
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Copies the frame and queues it, waiting for a free buffer if need be. False, without
    // waiting, once a write has failed or the writer was stopped; false too when it gave up.
    bool submit(std::int64_t index, int width, int height, const std::uint8_t* rgba);
    // Waits until every queued frame is written and stops the workers. False when a write failed.
    bool finish();
    // Drops the frames not yet begun, lets the ones being written end, and stops the workers.
    void cancel();

    std::int64_t written() const;
    bool failed() const;

private:
    void work();
    void stop(bool dropQueued);

    Consume consume_;
    std::function<bool()> giveUp_;
    size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable queued_;  // a frame to write, or stopping
    std::condition_variable freed_;   // a buffer came back, or a write failed
    std::deque<CapturedFrame> queue_;
    std::vector<CapturedFrame> spare_;
    size_t allocated_ = 0;
    std::int64_t written_ = 0;
    bool failed_ = false;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace quorvel::capture
