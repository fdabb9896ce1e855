// The engine playing a show through the real shell set-up and the OpenGL device (offscreen), with
// the recording plug-in: the calls every effect receives over a run, the start and end of the
// show, the statistics overlay and device resets.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <sndfile.h>

#include "music/TestAudioFiles.h"
#include "platform/audio/WavCapture.h"
#include "platform/gl/FrameReadback.h"
#include "platform/time/ManualClock.h"
#include "shell/FrameTimer.h"
#include "tests/engine/ShowFolderTest.h"

using namespace quorvel::testing;

namespace {

// The engine without the setup dialog; frames are driven by the test, hook by hook.
class TestEngine : public EngineWithoutDialog {
public:
    // One frame at application time t, as the shell's frame does it; returns onRender's result.
    HRESULT frame(float t) {
        appTime = t;
        onUpdate();
        return onRender();
    }
};

class EngineFrames : public RecordingShowTest {
protected:
    void SetUp() override {
        RecordingShowTest::SetUp();
        quorvel::useFrameTimerClock(&clock_);
    }
    void TearDown() override {
        if (engine) engine->cleanup();
        engine.reset();
        quorvel::useFrameTimerClock(nullptr);
        RecordingShowTest::TearDown();
    }

    // Starts the engine on a show whose header and timeline are given.
    void start(const std::string& header, const std::string& timeline) {
        show_.write("data/vantro.jpg",
                    "@data. @loadlibrary " + PluginA + " " + header + " @code. " + timeline + " @eof\n");
        engine = std::make_unique<TestEngine>();
        ASSERT_EQ(engine->create(nullptr), S_OK) << (reports.boxes.empty() ? "" : reports.boxes[0].text);
    }

    // The calls since the last look, without the ones every frame makes.
    std::vector<std::string> takeCalls() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    std::unique_ptr<TestEngine> engine;

private:
    quorvel::platform::ManualClock clock_;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(EngineFrames, OneEventOverAWholeRun) {
    start("@endtime 3", "0.5 0 create recorder { k v } 1.5 0 delete");
    EXPECT_EQ(takeCalls(), (Calls{"A0:ParseParams(time 0.000000 { k v })", "A0:Init"}));

    EXPECT_EQ(engine->frame(0.0f), S_OK);
    EXPECT_EQ(takeCalls(), Calls{});
    engine->frame(0.5f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Start", "A0:Render"}));
    engine->frame(1.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Update(0.500)", "A0:Render"}));
    engine->frame(1.5f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop"}));
    EXPECT_FLOAT_EQ(engine->demoTime, 1.5f);

    engine->cleanup();
    EXPECT_EQ(takeCalls(), (Calls{"A0:DestroyDeviceObjects", "A0:Shutdown"}));
    engine.reset();
}

TEST_F(EngineFrames, StartTimeShiftsDemoTimeAndTheEndFailsTheFrame) {
    start("@starttime 30 @endtime 32", "0 0 create recorder 10 0 delete 20 1 create recorder 40 1 delete");
    takeCalls();
    EXPECT_EQ(engine->frame(0.0f), S_OK);
    EXPECT_FLOAT_EQ(engine->demoTime, 30.0f);
    // The event that ended before 30 never starts; the spanning one starts in the first frame.
    EXPECT_EQ(takeCalls(), (Calls{"A1:Start", "A1:Render"}));
    EXPECT_EQ(engine->frame(2.0f), S_OK);  // 32 is not past the end yet
    takeCalls();
    EXPECT_EQ(engine->frame(2.02f), E_FAIL);
    EXPECT_EQ(takeCalls(), (Calls{"A1:Update(12.020)", "A1:Render"}));  // still drawn completely
}

TEST_F(EngineFrames, DeviceResetRestartsLiveEffectsWithoutUpdate) {
    start("", "0 4 create recorder 10 4 delete 0 7 create recorder 10 7 delete");
    engine->frame(1.0f);
    takeCalls();
    EXPECT_EQ(engine->onDeviceLost(), S_OK);
    EXPECT_EQ(engine->onDeviceReset(), S_OK);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop", "A1:Stop"}));
    engine->frame(1.1f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Start", "A1:Start", "A0:Render", "A1:Render"}));

    // A device made again gets every effect's Init again before the next Start.
    engine->onDeviceLost();
    engine->onDeviceDestroy();
    EXPECT_EQ(engine->onDeviceCreated(), S_OK);
    EXPECT_EQ(engine->onDeviceReset(), S_OK);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop", "A1:Stop", "A0:DestroyDeviceObjects", "A1:DestroyDeviceObjects",
                                  "A0:Init", "A1:Init"}));
    engine->frame(1.2f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Start", "A1:Start", "A0:Render", "A1:Render"}));
}

TEST_F(EngineFrames, FailingInitFailsTheStartAndStillTakesEverythingDown) {
    show_.write("data/vantro.jpg", "@data. @loadlibrary " + PluginA +
                                       " @code. 0 0 create recorder { failinit } 1 0 delete"
                                       " 0 1 create recorder 1 1 delete @eof\n");
    engine = std::make_unique<TestEngine>();
    EXPECT_NE(engine->create(nullptr), S_OK);
    // The failed device creation undoes its hooks; the shell's fatal report closes the window,
    // whose clean-up finalises the effects.
    engine->cleanup();
    const Calls all = takeCalls();
    EXPECT_EQ(std::count(all.begin(), all.end(), "A0:DestroyDeviceObjects"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "A1:DestroyDeviceObjects"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "A0:Shutdown"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "A1:Init"), 0);
    engine.reset();
}

TEST_F(EngineFrames, StatisticsAreDrawnOverTheBackgroundUnlessHidden) {
    auto brightPixelsTopLeft = [this] {
        quorvel::FramePixels pixels;
        EXPECT_TRUE(quorvel::ReadBackBuffer(engine->device, pixels));
        int bright = 0;
        for (UINT y = 0; y < 28 && y < pixels.height; ++y) {
            for (UINT x = 0; x < 200 && x < pixels.width; ++x) {
                const std::uint8_t* p = &pixels.rgba[(y * pixels.width + x) * 4];
                if (p[0] > 200 && p[1] > 200 && p[2] > 200) ++bright;
            }
        }
        return bright;
    };
    start("@bgcolor 4278190080", "");
    engine->frame(1.0f);
    EXPECT_GT(brightPixelsTopLeft(), 50);
    engine->cleanup();

    start("@bgcolor 4278190080 @nostats", "");
    engine->frame(1.0f);
    EXPECT_EQ(brightPixelsTopLeft(), 0);
}

// --start replaces "@starttime" with a fractional time; --loop starts the show again at that time
// once its end is passed, stopping what is live and starting what is live at the start.
TEST_F(EngineFrames, CommandLineStartTimeAndLoop) {
    show_.write("data/vantro.jpg", "@data. @loadlibrary " + PluginA +
                                       " @starttime 5 @endtime 8 @code. 0 0 create recorder 6 0 delete"
                                       " 6 1 create recorder 100 1 delete @eof\n");
    engine = std::make_unique<TestEngine>();
    engine->startOverride = 5.5f;
    engine->loop = true;
    ASSERT_EQ(engine->create(nullptr), S_OK);
    EXPECT_EQ(engine->demoStart, 5);
    takeCalls();

    EXPECT_EQ(engine->frame(0.0f), S_OK);
    EXPECT_FLOAT_EQ(engine->demoTime, 5.5f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Start", "A0:Render"}));
    engine->frame(1.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop", "A1:Start", "A1:Render"}));
    EXPECT_EQ(engine->frame(2.5f), S_OK);  // 8.0 is not past the end
    takeCalls();
    EXPECT_EQ(engine->frame(2.6f), S_OK);  // 8.1 would be: the next pass begins at 5.5
    EXPECT_FLOAT_EQ(engine->demoTime, 5.5f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Start", "A1:Stop", "A0:Render"}));  // layer by layer
    engine->frame(3.0f);
    EXPECT_FLOAT_EQ(engine->demoTime, 5.9f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Update(5.900)", "A0:Render"}));
}

TEST_F(EngineFrames, WithoutLoopOrWithAStartPastTheEndTheShowEnds) {
    start("@endtime 2", "0 0 create recorder 10 0 delete");
    EXPECT_EQ(engine->frame(2.1f), E_FAIL);

    engine->cleanup();
    engine = std::make_unique<TestEngine>();
    engine->startOverride = 3.0f;
    engine->loop = true;
    ASSERT_EQ(engine->create(nullptr), S_OK);
    EXPECT_EQ(engine->frame(0.0f), E_FAIL);  // no pass could ever begin before the end
    EXPECT_FLOAT_EQ(engine->demoTime, 3.0f);
}

// Space pauses the demo time where it is; seeks move it, held to the show's start and end, and
// the layers follow as a start there would. At the end time the show goes on while paused.
TEST_F(EngineFrames, PauseAndSeeksWithinTheShow) {
    start("@endtime 10", "0 0 create recorder 4 0 delete 6 1 create recorder 10 1 delete");
    engine->frame(1.0f);
    takeCalls();
    engine->togglePause();
    engine->frame(2.0f);
    EXPECT_FLOAT_EQ(engine->demoTime, 1.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Update(1.000)", "A0:Render"}));  // redrawn at the same time

    engine->seekBy(6.0f);
    engine->frame(2.5f);
    EXPECT_FLOAT_EQ(engine->demoTime, 7.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop", "A1:Start", "A1:Render"}));
    engine->seekTo(-5.0f);
    engine->frame(2.6f);
    EXPECT_FLOAT_EQ(engine->demoTime, 0.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A1:Stop", "A0:Start", "A0:Render"}));  // the jump's stops come first

    engine->seekBy(60.0f);  // held to the end: still shown, not past it
    EXPECT_EQ(engine->frame(3.0f), S_OK);
    EXPECT_FLOAT_EQ(engine->demoTime, 10.0f);
    EXPECT_EQ(takeCalls(), (Calls{"A0:Stop"}));
    EXPECT_EQ(engine->frame(30.0f), S_OK);
    engine->togglePause();
    EXPECT_EQ(engine->frame(30.02f), E_FAIL);  // running again, the show ends after its end time
}

// The music follows every pause and seek: with a tune whose samples count their own frames, the
// sound of each frame starts where the demo time is, to within one frame of 20 ms.
TEST_F(EngineFrames, MusicStaysWithTheDemoTimeThroughPausesAndSeeks) {
    std::vector<std::int16_t> counting(2 * 30 * 44100);
    for (size_t i = 0; i < counting.size() / 2; ++i) {
        counting[2 * i] = static_cast<std::int16_t>(i % 32768);
        counting[2 * i + 1] = static_cast<std::int16_t>(i / 32768);
    }
    quorvel::testing::writeAudioFile(show_.path() + "/data/count.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                     counting);
    BASS_SetCaptureMode(TRUE);
    start("@loadmusic count.wav @endtime 30", "");
    constexpr int kFramesPerSecond = 50;
    constexpr std::uint64_t kAudioPerFrame = 44100 / kFramesPerSecond;
    quorvel::audio::WavCapture capture;
    ASSERT_TRUE(capture.open(show_.path() + "/heard.wav"));
    std::vector<std::pair<float, bool>> frames;  // demo time and pause state of each frame
    for (int k = 0; k < 500; ++k) {
        switch (k) {
        case 50: case 100: case 250: case 300: engine->togglePause(); break;
        case 150: engine->seekBy(5.0f); break;
        case 200: engine->seekBy(-3.0f); break;
        case 260: engine->seekBy(10.0f); break;  // while paused
        case 350: engine->seekTo(0.0f); break;
        case 400: engine->seekBy(-1.0f); break;  // held to the start
        }
        engine->frame(static_cast<float>(k) / kFramesPerSecond);
        frames.emplace_back(engine->demoTime, engine->playback.paused());
        ASSERT_TRUE(capture.render(kAudioPerFrame));
    }
    capture.close();
    int channels = 0;
    const auto heard = quorvel::testing::decodeFile(show_.path() + "/heard.wav", channels);
    ASSERT_EQ(heard.size(), frames.size() * kAudioPerFrame * 2);
    for (size_t k = 0; k < frames.size(); ++k) {
        const std::int16_t* first = &heard[2 * k * kAudioPerFrame];
        if (frames[k].second) {
            EXPECT_TRUE(std::all_of(first, first + 2 * kAudioPerFrame, [](std::int16_t s) { return s == 0; }))
                << "sound in paused frame " << k;
            continue;
        }
        const double heardSeconds = (first[0] + 32768.0 * first[1]) / 44100.0;
        EXPECT_NEAR(heardSeconds, frames[k].first, 0.02) << "frame " << k;
    }
    engine->cleanup();
    engine.reset();
    BASS_SetCaptureMode(FALSE);
}
