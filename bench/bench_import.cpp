// Import of a 100000-row, 20-column comma-separated file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "../fuzz/FuzzPlatform.h"
#include "automation/Importer.h"
#include "grid/InOut.h"
#include "grid/QuorinDoc.h"

namespace {

std::string MakeFile(int rows, int cols) {
    const std::string path = "/tmp/quorin_bench_import_" + std::to_string(::getpid()) + ".csv";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    for (int c = 0; c < cols; ++c) std::fprintf(f, "%scol%d", c ? "," : "", c);
    std::fputs("\r\n", f);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            std::fprintf(f, "%s%.3f", c ? "," : "", ((r * 31 + c * 17) % 1001) / 10.0);
        std::fputs("\r\n", f);
    }
    std::fclose(f);
    return path;
}

void BM_ImportFile(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string path = MakeFile(rows, 20);
    for (auto _ : state) {
        quorin::fuzz::CFuzzPlatform platform;
        quorin::CQuorinDoc doc(*platform.App);
        doc.NewDocument();
        doc.m_ImportComma = 1;
        benchmark::DoNotOptimize(quorin::ImportFile(doc, path, 0, 1));
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportFile)->Arg(100000)->Unit(benchmark::kMillisecond);

// A Text column of distinct names of one length: their base codes lie close together, so
// every new name's code is spread past a long run of earlier ones.
void BM_ImportDistinctNames(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string path = "/tmp/quorin_bench_names_" + std::to_string(::getpid()) + ".csv";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fputs("name,value\r\n", f);
        for (int r = 0; r < rows; ++r) std::fprintf(f, "n%06d,%d\r\n", (r * 7919) % rows, r);
        std::fclose(f);
    }
    for (auto _ : state) {
        quorin::fuzz::CFuzzPlatform platform;
        quorin::CQuorinDoc doc(*platform.App);
        doc.NewDocument();
        doc.m_ImportComma = 1;
        doc.AddCol(0, 0, 1);
        doc.AddCol(0, 0, 1);
        doc.m_InOuts[0].Mode = quorin::Text;
        benchmark::DoNotOptimize(quorin::ImportFile(doc, path, 0, 1));
    }
    state.SetItemsProcessed(state.iterations() * rows);
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportDistinctNames)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
