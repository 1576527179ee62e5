// Micro-benchmarks of the capture analysis: analysing a 512 x 512 capture,
// the same plus writing its directory (the capture key's whole cost after
// the GPU read-back), and rebuilding a 1024 x 1024 replay view, which the
// window does every frame while the replay slider moves.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "CaptureDirectory.h"
#include "OrderIndex.h"
#include "PatternAnalysis.h"
#include "SyntheticCapture.h"
#include "ViewBuilder.h"

using Vellumar::capture::FragmentCapture;
using Vellumar::capture::OrderIndex;
namespace PatternAnalysis = Vellumar::capture::PatternAnalysis;
using Vellumar::capture::View;
using Vellumar::capture::ViewBuilder;

namespace {

// Nested blocks with 8-lane subgroups and a clock, like a CPU rasteriser's
// capture: every analysis step has work to do.
FragmentCapture benchCapture(int side) {
    testsupport::SyntheticLayout layout;
    layout.width = side;
    layout.height = side;
    layout.inside = {testsupport::Unit{16, 16, testsupport::Walk::rowMajor},
                     testsupport::Unit{4, 4, testsupport::Walk::rowMajor},
                     testsupport::Unit{4, 2, testsupport::Walk::rowMajor},
                     testsupport::Unit{2, 2, testsupport::Walk::rowMajor}};
    layout.subgroupSize = 8;
    FragmentCapture capture = testsupport::makeCapture(layout);
    capture.freezePoints = {{0, side / 4, side / 4, 32, 32}};
    testsupport::addClock(capture, 100, 1000);
    return capture;
}

void BM_AnalyseCapture512(benchmark::State& state) {
    const FragmentCapture capture = benchCapture(512);
    for (auto _ : state) {
        const OrderIndex index(capture);
        benchmark::DoNotOptimize(PatternAnalysis::analyse(capture, index));
    }
}
BENCHMARK(BM_AnalyseCapture512)->Unit(benchmark::kMillisecond);

void analyseAndWrite(benchmark::State& state, const FragmentCapture& capture) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("capture-bench-" + std::to_string(::getpid()));
    for (auto _ : state) {
        Vellumar::capture::writeCaptureDirectory(dir.string(), capture);
    }
    std::filesystem::remove_all(dir);
}

void BM_AnalyseAndWriteCapture512(benchmark::State& state) {
    analyseAndWrite(state, benchCapture(512));
}
BENCHMARK(BM_AnalyseAndWriteCapture512)->Unit(benchmark::kMillisecond);

// The same frame drawn four times over, as a log: 1,048,576 fragments, a
// primitive per layer and pass.
FragmentCapture fourLayerCapture() {
    const FragmentCapture layer = benchCapture(512);
    const OrderIndex index(layer);
    Vellumar::capture::FragmentLog log;
    for (std::uint32_t pass = 0; pass < 4; ++pass) {
        for (std::uint32_t p : index.pixelsInOrder()) {
            log.pixel.push_back(p);
            log.order.push_back(static_cast<std::uint32_t>(log.order.size()));
            log.primitive.push_back(pass);
            log.clockStart.push_back(layer.clockStart[p]);
            log.clockEnd.push_back(layer.clockEnd[p]);
            log.subgroup.push_back(layer.subgroup[p]);
            log.lane.push_back(layer.lane[p]);
            log.loops.push_back(100);
        }
    }
    log.shaded = log.size();
    FragmentCapture capture = FragmentCapture::fromLog(512, 512, std::move(log));
    capture.freezePoints = layer.freezePoints;
    return capture;
}

// Everything `--capture` does after the read-back, for four fragments a pixel.
void BM_AnalyseAndWriteFourLayers512(benchmark::State& state) {
    analyseAndWrite(state, fourLayerCapture());
}
BENCHMARK(BM_AnalyseAndWriteFourLayers512)->Unit(benchmark::kMillisecond);

void BM_ReplayView1024(benchmark::State& state) {
    const FragmentCapture capture = benchCapture(1024);
    const OrderIndex index(capture);
    ViewBuilder views(capture, index);
    double fraction = 0.0;
    for (auto _ : state) {
        fraction = fraction >= 1.0 ? 0.0 : fraction + 0.01;
        benchmark::DoNotOptimize(views.build(View::order, fraction).data());
    }
}
BENCHMARK(BM_ReplayView1024)->Unit(benchmark::kMillisecond);

// Once per capture: the ranks and every view's colours.
void BM_ViewSetup1024(benchmark::State& state) {
    const FragmentCapture capture = benchCapture(1024);
    for (auto _ : state) {
        const OrderIndex index(capture);
        ViewBuilder views(capture, index);
        benchmark::DoNotOptimize(views.build(View::order).data());
    }
}
BENCHMARK(BM_ViewSetup1024)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
