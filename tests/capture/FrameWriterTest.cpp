// Frames handed from the render thread to writer threads.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>

#include "FrameWriter.h"

using namespace quorvel::capture;

namespace {

std::vector<std::uint8_t> frameBytes(int seed) { return std::vector<std::uint8_t>(2 * 2 * 4, static_cast<std::uint8_t>(seed)); }

// Holds writers until opened.
class Gate {
public:
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace

TEST(FrameWriter, OneWorkerWritesEveryFrameInOrder) {
    std::vector<std::int64_t> order;
    std::vector<int> firstBytes;
    FrameWriter writer(1, 3, [&](const CapturedFrame& frame) {
        order.push_back(frame.index);
        firstBytes.push_back(frame.rgba[0]);
        return frame.width == 2 && frame.height == 2 && frame.rgba.size() == 16;
    });
    for (int k = 0; k < 50; ++k) ASSERT_TRUE(writer.submit(k, 2, 2, frameBytes(k).data()));
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(writer.written(), 50);
    ASSERT_EQ(order.size(), 50u);
    for (int k = 0; k < 50; ++k) {
        EXPECT_EQ(order[k], k);
        EXPECT_EQ(firstBytes[k], k);  // each buffer was refilled, not left with an old frame
    }
}

TEST(FrameWriter, SubmitWaitsWhileEveryBufferIsBusy) {
    Gate gate;
    std::atomic<int> written{0};
    FrameWriter writer(2, 2, [&](const CapturedFrame&) {
        gate.wait();
        ++written;
        return true;
    });
    ASSERT_TRUE(writer.submit(0, 2, 2, frameBytes(0).data()));
    ASSERT_TRUE(writer.submit(1, 2, 2, frameBytes(1).data()));
    auto third = std::async(std::launch::async, [&] { return writer.submit(2, 2, 2, frameBytes(2).data()); });
    EXPECT_EQ(third.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    gate.open();
    EXPECT_TRUE(third.get());
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(written, 3);
}

TEST(FrameWriter, AFailedWriteStopsTheCapture) {
    FrameWriter writer(1, 2, [](const CapturedFrame& frame) { return frame.index != 3; });
    bool refused = false;
    for (int k = 0; k < 100 && !refused; ++k) refused = !writer.submit(k, 2, 2, frameBytes(k).data());
    EXPECT_TRUE(refused);
    EXPECT_FALSE(writer.finish());
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.written(), 3);
}

TEST(FrameWriter, AStalledSubmitGivesUpWhenAsked) {
    Gate gate;
    std::atomic<bool> giveUp{false};
    FrameWriter writer(
        1, 1,
        [&](const CapturedFrame&) {
            gate.wait();
            return true;
        },
        [&] { return giveUp.load(); });
    ASSERT_TRUE(writer.submit(0, 2, 2, frameBytes(0).data()));
    auto second = std::async(std::launch::async, [&] { return writer.submit(1, 2, 2, frameBytes(1).data()); });
    EXPECT_EQ(second.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    giveUp = true;
    EXPECT_FALSE(second.get());
    gate.open();
    writer.cancel();
    EXPECT_EQ(writer.written(), 1);
}

TEST(FrameWriter, CancelDropsFramesNotYetBegun) {
    Gate gate;
    FrameWriter writer(1, 4, [&](const CapturedFrame&) {
        gate.wait();
        return true;
    });
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(writer.submit(k, 2, 2, frameBytes(k).data()));
    auto cancelling = std::async(std::launch::async, [&] { writer.cancel(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    gate.open();
    cancelling.get();
    EXPECT_LE(writer.written(), 1);
    EXPECT_FALSE(writer.submit(9, 2, 2, frameBytes(9).data()));
}
