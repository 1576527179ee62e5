// Micro-benchmarks of the frame-time bookkeeping: what runs every frame
// (which must stay far below a microsecond and allocate nothing: the
// per-frame log with the settings' fingerprint, with and without a
// recording) and the work done only when figures are shown: a summary of a
// full ring of 256 frames. Also what a settings file of many keys costs,
// which must grow linearly with the keys.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FrameLog.h"
#include "SettingRegistry.h"
#include "SettingsFile.h"

using Vellumar::measure::FrameLog;
using Vellumar::measure::FrameSeries;
using Vellumar::measure::FrameTime;
using Vellumar::measure::SettingRegistry;

namespace {

// Times that vary like real frames, so that sorting has work to do.
FrameTime frameNumber(uint32_t i) {
    const uint32_t mixed = i * 2654435761u;
    const double wall = 0.010 + static_cast<double>(mixed % 1000) * 1e-6;
    return {wall * 0.3, wall};
}

// As many settings as the program registers (55), each compared every frame.
struct ProgramSizedSettings {
    std::vector<int32_t> values = std::vector<int32_t>(55, 7);
    SettingRegistry registry;
    ProgramSizedSettings() {
        for (size_t i = 0; i < values.size(); ++i) {
            registry.addInteger("setting" + std::to_string(i), &values[i]);
        }
    }
};

// What a frame pays after its glFinish: the settings' fingerprint, then the
// log (ring, change mark, running coverage and, with the argument 1, the
// recording of the `w` key).
void BM_FrameLogAdd(benchmark::State& state) {
    ProgramSizedSettings settings;
    FrameLog log;
    const bool recording = state.range(0) == 1;
    constexpr size_t room = size_t{1} << 20;
    if (recording) {
        log.recording().start("unused.csv", room);
    }
    uint32_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.add(frameNumber(i++), settings.registry.fingerprint()));
        // A full recording drops frames, which costs less: start a fresh one
        // (never written) outside the timing.
        if (recording && log.recording().full()) {
            state.PauseTiming();
            log.recording().start("unused.csv", room);
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(log.live().size());
}
BENCHMARK(BM_FrameLogAdd)->Arg(0)->Arg(1);

void BM_SummaryOf256(benchmark::State& state) {
    FrameLog log;
    for (uint32_t i = 0; i <= FrameLog::defaultCapacity; ++i) {
        log.add(frameNumber(i), 1);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.live().summary(FrameSeries::wall));
    }
}
BENCHMARK(BM_SummaryOf256);

// A settings file of N keys none of the program's (each reported, in file
// order): the fit says whether a key costs the same however many came first.
void BM_SettingsFileKeys(benchmark::State& state) {
    ProgramSizedSettings settings;
    std::string text = "{";
    for (int64_t k = 0; k < state.range(0); ++k) {
        text += (k ? ",\"k" : "\"k") + std::to_string(k) + "\":1";
    }
    text += "}";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Vellumar::measure::loadSettingsText(settings.registry, text, "many.json"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SettingsFileKeys)->RangeMultiplier(4)->Range(1250, 80000)->Complexity();

} // namespace

BENCHMARK_MAIN();
