// Leave Some Out on a 2000-row Grid of 20 inputs and one output: every step learns one cycle
// without 200 rows and validates them. Run with one worker thread and with one per hardware
// thread; the report and the final network are the same either way, so the ratio of the two
// real times is the speed-up of the pool.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "../fuzz/FuzzPlatform.h"
#include "analysis/LeaveSomeOut.h"
#include "platform/WorkerThreads.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"

namespace {

constexpr int kRows = 2000;
constexpr int kInputs = 20;

void BM_LeaveSomeOut(benchmark::State& state) {
    quorin::fuzz::CFuzzPlatform platform;
    quorin::CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    for (int c = 0; c <= kInputs; ++c) doc.AddCol(0, c == kInputs, 1);
    for (int r = 0; r < kRows; ++r) doc.AddRow(0, 0, 0, 0);
    std::uint32_t seed = 77;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    };
    for (int r = 0; r < kRows; ++r) {
        double sum = 0.0;
        for (int c = 0; c < kInputs; ++c) {
            const double v = next();
            sum += v;
            doc.SetValue(c, r, v, 0, 0, 0, 0);
        }
        doc.SetValue(kInputs, r, sum / kInputs > 0.5 ? 1.0 : 0.0, 0, 0, 0, 0);
    }
    doc.RenormaliseAll(0);
    quorin::NewNetwork(doc, kInputs, 10, 1, 1);
    quorin::SetWeightsIn(doc);
    const std::string log =
        (std::filesystem::temp_directory_path() / "quorin_bench_lso.lo.txt").string();
    quorin::CLeaveOutSettings settings;
    settings.Examples = kRows / 10;
    settings.Cycles = 1;
    settings.LogPath = log;
    for (auto _ : state) {
        quorin::CLeaveSomeOut run(doc);
        run.SetThreadCount(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(run.RunHeadless(settings));
    }
    std::error_code ec;
    std::filesystem::remove(log, ec);
    state.counters["threads"] = static_cast<double>(state.range(0));
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("BM_LeaveSomeOut", BM_LeaveSomeOut)
        ->Arg(1)
        ->Arg(quorin::WorkerThreadCount())
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
    return true;
}();

}  // namespace
