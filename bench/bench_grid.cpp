// Grid re-normalisation over a realistic table: every column, every row.
#include <benchmark/benchmark.h>

#include "../fuzz/FuzzPlatform.h"
#include "grid/QuorinDoc.h"

namespace {

void BM_RenormaliseAll(benchmark::State& state) {
    quorin::fuzz::CFuzzPlatform platform;
    quorin::CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    const int rows = static_cast<int>(state.range(0));
    const int cols = 20;
    for (int c = 0; c < cols; ++c) doc.AddCol(0, c == cols - 1, 1);
    for (int r = 0; r < rows; ++r) doc.AddRow(0, 0, 0, 0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) doc.SetValue(c, r, (r * 31 + c * 17) % 101, 0, 0, 0, 0);
    for (auto _ : state) doc.RenormaliseAll(0);
    state.SetItemsProcessed(state.iterations() * rows * cols);
}
BENCHMARK(BM_RenormaliseAll)->Arg(1000)->Arg(10000);

}  // namespace
