// The shell queries the timer three times per frame (application time, elapsed, absolute);
// each query should cost one clock read.
#include "platform/time/ManualClock.h"
#include "shell/FrameTimer.h"

#include <benchmark/benchmark.h>

namespace {

void runQueries(benchmark::State& state) {
    quorvel::frameTimer(quorvel::ClockStart);
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorvel::frameTimer(quorvel::ClockAppTime));
        benchmark::DoNotOptimize(quorvel::frameTimer(quorvel::ClockElapsed));
        benchmark::DoNotOptimize(quorvel::frameTimer(quorvel::ClockAbsolute));
    }
    state.SetItemsProcessed(state.iterations() * 3);
}

void BM_FrameQueriesSteadyClock(benchmark::State& state) {
    quorvel::useFrameTimerClock(nullptr);
    runQueries(state);
}
BENCHMARK(BM_FrameQueriesSteadyClock);

void BM_FrameQueriesMillisecondClock(benchmark::State& state) {
    // The system's millisecond fall-back is SDL's tick; a manual clock without a counter takes
    // the same path through the timer.
    quorvel::platform::ManualClock clock;
    clock.setCounterAvailable(false);
    quorvel::useFrameTimerClock(&clock);
    runQueries(state);
    quorvel::useFrameTimerClock(nullptr);
}
BENCHMARK(BM_FrameQueriesMillisecondClock);

}  // namespace
