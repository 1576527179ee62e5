// Micro-benchmarks of the frame-time bookkeeping: the push that runs every
// frame (which must stay far below a microsecond and allocate nothing) and
// the work done only when figures are shown: a summary and the coverage rule
// over a full ring of 256 frames.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "FrameStatistics.h"
#include "FrameTimeRing.h"
#include "TimerCoverage.h"

using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameStatistics;
using Vellumar::measure::FrameTime;
using Vellumar::measure::FrameTimeRing;
using Vellumar::measure::TimerCoverage;

namespace {

// Times that vary like real frames, so that sorting has work to do.
FrameTime frameNumber(uint32_t i) {
    const uint32_t mixed = i * 2654435761u;
    const double wall = 0.010 + static_cast<double>(mixed % 1000) * 1e-6;
    return {wall * 0.3, wall};
}

void fillRing(FrameTimeRing& ring) {
    for (uint32_t i = 0; i < ring.capacity(); ++i) {
        ring.push(frameNumber(i));
    }
}

void BM_RingPush(benchmark::State& state) {
    FrameTimeRing ring;
    uint32_t i = 0;
    for (auto _ : state) {
        ring.push(frameNumber(i++));
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(ring.fromOldest(0));
}
BENCHMARK(BM_RingPush);

void BM_SummaryOf256(benchmark::State& state) {
    FrameTimeRing ring;
    fillRing(ring);
    FrameStatistics statistics;
    for (auto _ : state) {
        benchmark::DoNotOptimize(statistics.summarise(ring, FrameSeries::wall));
    }
}
BENCHMARK(BM_SummaryOf256);

void BM_CoverageOf256(benchmark::State& state) {
    FrameTimeRing ring;
    fillRing(ring);
    const TimerCoverage rule;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rule.evaluate(ring));
    }
}
BENCHMARK(BM_CoverageOf256);

} // namespace

BENCHMARK_MAIN();
