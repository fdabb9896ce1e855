// The bundled show played through the real engine, Direct3D layer (offscreen GL) and meshdrome.so,
// counting the heap allocations of every frame. A frame runs from one update to the next: the
// update, the drawing, the statistics and Present.
//
// Steady state: a frame in which no layer starts or stops an event. Starting an event creates
// its vertex and index buffers and its first draws may build shader programs; stopping one
// releases the buffers. Every other frame must allocate nothing at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alloc/CountingAllocator.h"
#include "engine/DemoEngine.h"
#include "platform/audio/bass.h"
#include "platform/time/ManualClock.h"
#include "platform/win/OutputRedirection.h"
#include "shell/FrameTimer.h"

namespace quorvel::testing {
namespace {

// 60 seconds of show in 300 frames: every event of the show starts, plays and stops.
constexpr double FrameSeconds = 0.2;

struct FrameRecord {
    float demoTime = 0.0f;
    long allocations = 0;
    bool eventStartedOrStopped = false;
};

class CountingEngine : public DemoEngine {
public:
    explicit CountingEngine(platform::ManualClock& clock) : clock_(clock) {
        showSetupDialog = FALSE;
        frames.reserve(1000);  // recording must not allocate inside the frames it measures
    }

    HRESULT onUpdate() override {
        // Start-up is not measured (and attributing its many allocations would be slow).
        if (frames.empty()) countAllocationsOfThisThread();
        const long now = countedAllocations();
        if (!frames.empty()) frames.back().allocations = now - frameStart_;
        frameStart_ = now;

        appTime = static_cast<float>(frameIndex_ * FrameSeconds);
        Effect* before[LayerCount];
        for (int i = 0; i < LayerCount; ++i) before[i] = layers[i].active ? layers[i].currentEffect : nullptr;
        const HRESULT hr = DemoEngine::onUpdate();
        bool changed = false;
        for (int i = 0; i < LayerCount; ++i)
            changed |= before[i] != (layers[i].active ? layers[i].currentEffect : nullptr);
        frames.push_back({demoTime, 0, changed});
        return hr;
    }

    HRESULT onRender() override {
        const HRESULT hr = DemoEngine::onRender();
        ++frameIndex_;
        clock_.advance(FrameSeconds);
        return hr;
    }

    std::vector<FrameRecord> frames;

private:
    platform::ManualClock& clock_;
    long frameIndex_ = 0;
    long frameStart_ = 0;
};

TEST(FrameAllocation, TheBundledShowAllocatesNothingPerFrameOnceItRuns) {
    ASSERT_EQ(chdir(QUORVEL_DEMO_DIR), 0) << QUORVEL_DEMO_DIR;
    platform::setMessageBoxesHeadless(true);
    BASS_SetCaptureMode(TRUE);
    platform::ManualClock clock;
    useFrameTimerClock(&clock);

    std::vector<FrameRecord> frames;
    {
        CountingEngine engine(clock);
        ASSERT_TRUE(SUCCEEDED(engine.create(nullptr)));
        clock.advance(FrameSeconds);
        engine.run();
        frames = engine.frames;
    }
    useFrameTimerClock(nullptr);
    BASS_SetCaptureMode(FALSE);

    // The last frame is the one past the end time; it is not presented and has no full count.
    ASSERT_GE(frames.size(), 290u);
    frames.pop_back();
    int steady = 0, eventFrames = 0;
    std::string offenders;
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameRecord& frame = frames[i];
        if (frame.eventStartedOrStopped) {
            ++eventFrames;
            continue;
        }
        ++steady;
        if (frame.allocations != 0) {
            char line[96];
            std::snprintf(line, sizeof line, "frame %zu (demo time %.1f s): %ld allocations\n", i,
                          static_cast<double>(frame.demoTime), frame.allocations);
            offenders += line;
        }
    }
    // The show starts or stops events at 0, 12, 16, 24, 28, 36, 46, 54, 58 and 60 seconds.
    EXPECT_GE(eventFrames, 8);
    EXPECT_GE(steady, 280);
    EXPECT_TRUE(offenders.empty()) << offenders;
}

}  // namespace
}  // namespace quorvel::testing
