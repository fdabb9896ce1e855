#include "FrameWriter.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace quorvel::capture {

FrameWriter::FrameWriter(unsigned workers, size_t buffers, Consume consume, std::function<bool()> giveUp)
    : consume_(std::move(consume)), giveUp_(std::move(giveUp)), capacity_(std::max<size_t>(1, buffers)) {
    for (unsigned i = 0; i < std::max(1u, workers); ++i) workers_.emplace_back([this] { work(); });
}

FrameWriter::~FrameWriter() { stop(true); }

bool FrameWriter::submit(std::int64_t index, int width, int height, const std::uint8_t* rgba) {
    CapturedFrame frame;
    {
        std::unique_lock lock(mutex_);
        const auto ready = [this] { return failed_ || stopping_ || !spare_.empty() || allocated_ < capacity_; };
        while (!freed_.wait_for(lock, std::chrono::milliseconds(100), ready)) {
            if (giveUp_ && giveUp_()) return false;
        }
        if (failed_ || stopping_) return false;
        if (!spare_.empty()) {
            frame = std::move(spare_.back());
            spare_.pop_back();
        } else {
            ++allocated_;
        }
    }
    // The copy happens outside the lock, so workers go on writing meanwhile.
    frame.index = index;
    frame.width = width;
    frame.height = height;
    frame.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    std::memcpy(frame.rgba.data(), rgba, frame.rgba.size());
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(frame));
    }
    queued_.notify_one();
    return true;
}

void FrameWriter::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (queue_.empty()) return;
        CapturedFrame frame = std::move(queue_.front());
        queue_.pop_front();
        bool ok = false;
        if (!failed_) {
            lock.unlock();
            ok = consume_(frame);
            lock.lock();
        }
        if (ok) {
            ++written_;
        } else {
            failed_ = true;
        }
        spare_.push_back(std::move(frame));
        freed_.notify_all();
    }
}

void FrameWriter::stop(bool dropQueued) {
    {
        std::lock_guard lock(mutex_);
        if (dropQueued) {
            for (CapturedFrame& frame : queue_) spare_.push_back(std::move(frame));
            queue_.clear();
        }
        stopping_ = true;
    }
    queued_.notify_all();
    freed_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
}

bool FrameWriter::finish() {
    stop(false);
    return !failed();
}

void FrameWriter::cancel() { stop(true); }

std::int64_t FrameWriter::written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

bool FrameWriter::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

}  // namespace quorvel::capture
