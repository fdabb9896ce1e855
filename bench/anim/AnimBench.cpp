// Cost of one track evaluation while playing forward: vector (Hermite), rotation (squad and
// multi-turn) and scalar tracks of 2 to 1,000 keys, each evaluated at 10,000 increasing frames
// that cover the whole track. "ns/eval" is the time per evaluation; "allocs" counts heap
// allocations made while evaluating (expected 0).
#include <benchmark/benchmark.h>

#include <cmath>

#include "AllocationCounter.h"
#include "anim/Track.h"

namespace {

constexpr int kFrames = 10000;
constexpr float kKeySpacing = 10.0f;

float pseudoRandom(int i, int salt) { return std::sin(float(i * 7919 + salt * 104729) * 0.001f); }

VectorTrack makeVectorTrack(int keyCount) {
    VectorTrack track;
    for (int i = 0; i < keyCount; ++i) {
        VectorKey key{};
        key.frame = i * kKeySpacing;
        for (int c = 0; c < 3; ++c) key.value[c] = 10 * pseudoRandom(i, c);
        key.tension = 0.1f;
        key.easeFrom = 0.2f;
        key.easeTo = 0.2f;
        track.addKey(key);
    }
    track.prepare();
    return track;
}

RotationTrack makeRotationTrack(int keyCount, bool spinning) {
    RotationTrack track;
    for (int i = 0; i < keyCount; ++i) {
        RotationKey key{};
        key.frame = i * kKeySpacing;
        key.angle = 0.3f + std::fabs(pseudoRandom(i, 5)) + (spinning && i > 0 ? 6.2831855f : 0.0f);
        key.axis[0] = pseudoRandom(i, 6);
        key.axis[1] = pseudoRandom(i, 7);
        key.axis[2] = 1.0f;
        key.easeFrom = 0.2f;
        track.addKey(key);
    }
    track.prepare();
    return track;
}

ScalarTrack makeScalarTrack(int keyCount) {
    ScalarTrack track;
    for (int i = 0; i < keyCount; ++i) {
        ScalarKey key{};
        key.frame = i * kKeySpacing;
        key.value = 45 + 30 * pseudoRandom(i, 9);
        track.addKey(key);
    }
    track.prepare();
    return track;
}

template <class Track, class Evaluate>
void playForward(benchmark::State& state, Track& track, Evaluate evaluate) {
    const float step = track.lastFrame / kFrames;
    const long before = allocationCount();
    for (auto _ : state) {
        for (int f = 0; f < kFrames; ++f) evaluate(track, f * step);
    }
    state.counters["allocs"] = double(allocationCount() - before);
    state.counters["ns/eval"] = benchmark::Counter(double(state.iterations()) * kFrames,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_VectorHermite(benchmark::State& state) {
    VectorTrack track = makeVectorTrack(int(state.range(0)));
    playForward(state, track, [](VectorTrack& t, float frame) {
        float out[3];
        t.evaluate(frame, out);
        benchmark::DoNotOptimize(out);
    });
}

void playRotation(benchmark::State& state, bool multiTurn) {
    RotationTrack track = makeRotationTrack(int(state.range(0)), multiTurn);
    playForward(state, track, [](RotationTrack& t, float frame) {
        Quat out;
        t.evaluate(frame, out);
        benchmark::DoNotOptimize(out);
    });
}

void BM_RotationSquad(benchmark::State& state) { playRotation(state, false); }
void BM_RotationMultiTurn(benchmark::State& state) { playRotation(state, true); }

void BM_Scalar(benchmark::State& state) {
    ScalarTrack track = makeScalarTrack(int(state.range(0)));
    playForward(state, track, [](ScalarTrack& t, float frame) { benchmark::DoNotOptimize(evaluateScalar(t, frame)); });
}

}  // namespace

BENCHMARK(BM_VectorHermite)->Arg(2)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_RotationSquad)->Arg(2)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_RotationMultiTurn)->Arg(2)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_Scalar)->Arg(2)->Arg(10)->Arg(100)->Arg(1000);

BENCHMARK_MAIN();
