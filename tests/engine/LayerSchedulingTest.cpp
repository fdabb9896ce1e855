// Which event of a layer is live at a demo time, and the order of calls its effects receive.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/LayerOperations.h"

namespace {

// An effect that writes "<name>:<call>" into a shared list.
class ScriptedEffect : public Effect {
public:
    ScriptedEffect(std::string name, std::vector<std::string>& calls) : name_(std::move(name)), calls_(calls) {}
    virtual ~ScriptedEffect() = default;
    HRESULT ParseParams(ScriptText*) override { return log("ParseParams"); }
    HRESULT Init(EngineServices*) override { return log("Init", initResult); }
    HRESULT Start(EngineServices*) override { return log("Start"); }
    HRESULT Update(float seconds) override { return log("Update(" + std::to_string(seconds).substr(0, 4) + ")"); }
    HRESULT Render(EngineServices*) override { return log("Render"); }
    HRESULT Stop() override { return log("Stop"); }
    HRESULT DestroyDeviceObjects() override { return log("DestroyDeviceObjects", destroyResult); }
    HRESULT Shutdown() override { return log("Shutdown"); }

    HRESULT initResult = S_OK;
    HRESULT destroyResult = S_OK;

private:
    HRESULT log(const std::string& call, HRESULT result = S_OK) {
        calls_.push_back(name_ + ":" + call);
        return result;
    }
    std::string name_;
    std::vector<std::string>& calls_;
};

class LayerScheduling : public ::testing::Test {
protected:
    ScriptedEffect& addEvent(float start, float end, const std::string& name) {
        effects_.push_back(std::make_unique<ScriptedEffect>(name, calls));
        LayerEvent& event = layer.events[layer.eventCount++];
        event.startTime = start;
        event.endTime = end;
        event.effect = effects_.back().get();
        return *effects_.back();
    }
    // Runs one frame at time t and returns the calls it made.
    std::vector<std::string> frame(float t) {
        calls.clear();
        advance(layer, &services, t);
        draw(layer, &services);
        return calls;
    }

    Layer layer;
    EngineServices services;
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<ScriptedEffect>> effects_;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(LayerScheduling, HalfOpenIntervalsWithStartBeforeTheFirstRender) {
    addEvent(1.0f, 2.0f, "a");
    EXPECT_EQ(frame(0.5f), Calls{});
    EXPECT_EQ(frame(1.0f), (Calls{"a:Start", "a:Render"}));  // no Update in the first frame
    EXPECT_EQ(frame(1.5f), (Calls{"a:Update(0.50)", "a:Render"}));
    EXPECT_EQ(frame(2.0f), (Calls{"a:Stop"}));  // the end is exclusive
    EXPECT_FALSE(layer.active);
    EXPECT_EQ(frame(2.5f), Calls{});
}

TEST_F(LayerScheduling, EmptyAndSkippedIntervalsNeverRun) {
    addEvent(1.0f, 1.0f, "empty");
    addEvent(2.0f, 2.01f, "short");
    EXPECT_EQ(frame(1.0f), Calls{});
    EXPECT_EQ(frame(1.9f), Calls{});
    EXPECT_EQ(frame(2.1f), Calls{});  // lay wholly between two frames
}

TEST_F(LayerScheduling, BackToBackEventsSwitchInOneFrame) {
    addEvent(0.0f, 2.0f, "a");
    addEvent(2.0f, 4.0f, "b");
    frame(1.0f);
    EXPECT_EQ(frame(2.0f), (Calls{"a:Stop", "b:Start", "b:Render"}));
}

TEST_F(LayerScheduling, LowerSlotWinsWhileEventsOverlap) {
    addEvent(0.0f, 3.0f, "low");
    addEvent(1.0f, 5.0f, "high");
    EXPECT_EQ(frame(1.5f), (Calls{"low:Start", "low:Render"}));
    EXPECT_EQ(frame(2.5f), (Calls{"low:Update(2.50)", "low:Render"}));
    EXPECT_EQ(frame(3.0f), (Calls{"low:Stop", "high:Start", "high:Render"}));
    EXPECT_EQ(frame(4.0f), (Calls{"high:Update(3.00)", "high:Render"}));
}

TEST_F(LayerScheduling, DeviceResetStopsAndTheNextFrameStartsAgain) {
    addEvent(0.0f, 10.0f, "a");
    frame(1.0f);
    calls.clear();
    deactivate(layer);
    EXPECT_EQ(calls, (Calls{"a:Stop"}));
    EXPECT_EQ(frame(1.1f), (Calls{"a:Start", "a:Render"}));
}

TEST_F(LayerScheduling, DeviceObjectOperationsCoverEveryEvent) {
    ScriptedEffect& a = addEvent(0.0f, 1.0f, "a");
    addEvent(5.0f, 6.0f, "b");
    EXPECT_EQ(initEffects(layer, &services), S_OK);
    EXPECT_EQ(calls, (Calls{"a:Init", "b:Init"}));

    calls.clear();
    a.initResult = E_FAIL;
    EXPECT_EQ(initEffects(layer, &services), E_FAIL);
    EXPECT_EQ(calls, (Calls{"a:Init"}));  // the first failure ends the walk

    frame(0.5f);
    calls.clear();
    EXPECT_EQ(deleteEffectDeviceObjects(layer), S_OK);
    EXPECT_EQ(calls, (Calls{"a:DestroyDeviceObjects", "b:DestroyDeviceObjects"}));
    EXPECT_FALSE(layer.active);

    calls.clear();
    a.destroyResult = E_FAIL;
    EXPECT_EQ(deleteEffectDeviceObjects(layer), E_FAIL);
    EXPECT_EQ(calls, (Calls{"a:DestroyDeviceObjects"}));

    calls.clear();
    EXPECT_EQ(cleanUpEffects(layer), S_OK);
    EXPECT_EQ(calls, (Calls{"a:Shutdown", "b:Shutdown"}));
    // Finalised effects are let go: a second clean-up calls nothing.
    calls.clear();
    EXPECT_EQ(cleanUpEffects(layer), S_OK);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(layer.events[0].effect, nullptr);
}

TEST_F(LayerScheduling, EventsWithoutEffectsAreSkipped) {
    // After a start-up that stopped half-way, later events have no effect yet.
    addEvent(0.0f, 1.0f, "a");
    layer.events[layer.eventCount].endTime = 9.0f;
    ++layer.eventCount;
    EXPECT_EQ(initEffects(layer, &services), S_OK);
    EXPECT_EQ(deleteEffectDeviceObjects(layer), S_OK);
    EXPECT_EQ(cleanUpEffects(layer), S_OK);
    EXPECT_EQ(frame(2.0f), Calls{});
}

// A jump in time leaves a layer playing what a show started at the new time would play: the
// event of the lowest live slot, started afresh unless it was already the one playing.
TEST_F(LayerScheduling, JumpsPlayWhatAStartAtTheNewTimeWould) {
    addEvent(0.0f, 4.0f, "a");
    addEvent(2.0f, 8.0f, "b");
    addEvent(10.0f, 12.0f, "c");
    struct Jump {
        float from, to;
        Calls calls;
    };
    const Jump jumps[] = {
        {1.0f, 3.0f, {"a:Update(3.00)", "a:Render"}},             // within the event: it goes on
        {1.0f, 6.0f, {"a:Stop", "b:Start", "b:Render"}},           // forwards, into the middle of b
        {6.0f, 3.0f, {"b:Stop", "a:Start", "a:Render"}},           // backwards: the lower slot wins
        {11.0f, 9.0f, {"c:Stop"}},                                 // into a gap
        {9.0f, 11.5f, {"c:Start", "c:Render"}},                    // from a gap into an event
        {5.0f, 1.0f, {"b:Stop", "a:Start", "a:Render"}},           // back before b began
        {11.0f, 20.0f, {"c:Stop"}},                                // past everything
    };
    for (const Jump& jump : jumps) {
        SCOPED_TRACE(std::to_string(jump.from) + " -> " + std::to_string(jump.to));
        deactivate(layer);
        frame(jump.from);
        calls.clear();
        settleAfterJump(layer, jump.to);
        const Calls stopped = calls;
        Calls all = frame(jump.to);
        all.insert(all.begin(), stopped.begin(), stopped.end());
        EXPECT_EQ(all, jump.calls);
    }
}
