// Data at scale: importing generated files, then opening and saving the documents they give.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "../fuzz/FuzzPlatform.h"
#include "automation/Importer.h"
#include "grid/DocumentFile.h"
#include "grid/InOut.h"
#include "grid/QuorinDoc.h"

namespace {

std::string TempPath(const std::string& tag, const char* ext) {
    return "/tmp/quorin_bench_" + tag + "_" + std::to_string(::getpid()) + ext;
}

long long FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

// Numeric columns, or (texts > 0) that many leading Text columns of distinct-ish names.
// With QUORIN_BENCH_CSV_DIR set the files are written there and kept, so that another
// tool can read the very same bytes (scripts/compare-pandas.sh).
const char* KeptCsvDir() { return std::getenv("QUORIN_BENCH_CSV_DIR"); }

std::string MakeCsv(const std::string& tag, int rows, int cols, int texts) {
    const std::string path =
        KeptCsvDir() ? std::string(KeptCsvDir()) + "/" + tag + ".csv" : TempPath(tag, ".csv");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    for (int c = 0; c < cols; ++c) std::fprintf(f, "%scol%d", c ? "," : "", c);
    std::fputs("\r\n", f);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c < texts)
                std::fprintf(f, "%sname%d", c ? "," : "", (r * 7919 + c * 104729) % (rows / 2 + 1));
            else
                std::fprintf(f, "%s%.3f", c ? "," : "", ((r * 31 + c * 17) % 100001) / 10.0);
        }
        std::fputs("\r\n", f);
    }
    std::fclose(f);
    return path;
}

// Text columns are coded while the lines are read, so they are made and set to Text first.
int ImportTextColumnsFirst(quorin::CQuorinDoc& doc, const std::string& csv, int cols, int texts) {
    doc.NewDocument();
    doc.m_ImportComma = 1;
    if (texts > 0) {
        for (int c = 0; c < cols; ++c) doc.AddCol(0, 0, 1);
        for (int c = 0; c < texts; ++c) doc.m_InOuts[c].Mode = quorin::Text;
    }
    return quorin::ImportFile(doc, csv, 0, 1);
}

struct CShape {
    const char* Tag;
    int Rows, Cols, Texts;
};
const CShape kShapes[] = {
    {"100k_x20", 100000, 20, 0},
    {"1m_x20", 1000000, 20, 0},
    {"10k_x1000", 10000, 1000, 0},
    {"100k_text", 100000, 6, 2},
};

void SetRates(benchmark::State& state, long long bytes, int rows) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * rows,
                                                  benchmark::Counter::kIsRate);
}

void BM_Import(benchmark::State& state) {
    const CShape& s = kShapes[state.range(0)];
    state.SetLabel(s.Tag);
    const std::string csv = MakeCsv(s.Tag, s.Rows, s.Cols, s.Texts);
    for (auto _ : state) {
        quorin::fuzz::CFuzzPlatform platform;
        auto doc = std::make_unique<quorin::CQuorinDoc>(*platform.App);
        benchmark::DoNotOptimize(ImportTextColumnsFirst(*doc, csv, s.Cols, s.Texts));
        // The import ends with the Grid in hand; letting it go again is not part of it.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    SetRates(state, FileSize(csv), s.Rows);
    if (!KeptCsvDir()) std::remove(csv.c_str());
}

void BM_Save(benchmark::State& state) {
    const CShape& s = kShapes[state.range(0)];
    state.SetLabel(s.Tag);
    const std::string csv = MakeCsv(s.Tag, s.Rows, s.Cols, s.Texts);
    const std::string tvq = TempPath(s.Tag, ".tvq");
    quorin::fuzz::CFuzzPlatform platform;
    quorin::CQuorinDoc doc(*platform.App);
    ImportTextColumnsFirst(doc, csv, s.Cols, s.Texts);
    std::remove(csv.c_str());
    std::string error;
    for (auto _ : state) benchmark::DoNotOptimize(quorin::WriteDocumentFile(doc, tvq, error));
    SetRates(state, FileSize(tvq), s.Rows);
    std::remove(tvq.c_str());
}

void BM_Open(benchmark::State& state) {
    const CShape& s = kShapes[state.range(0)];
    state.SetLabel(s.Tag);
    const std::string csv = MakeCsv(s.Tag, s.Rows, s.Cols, s.Texts);
    const std::string tvq = TempPath(s.Tag, ".tvq");
    {
        quorin::fuzz::CFuzzPlatform platform;
        quorin::CQuorinDoc doc(*platform.App);
        ImportTextColumnsFirst(doc, csv, s.Cols, s.Texts);
        std::string error;
        quorin::WriteDocumentFile(doc, tvq, error);
    }
    std::remove(csv.c_str());
    for (auto _ : state) {
        quorin::fuzz::CFuzzPlatform platform;
        auto doc = std::make_unique<quorin::CQuorinDoc>(*platform.App);
        std::string error;
        benchmark::DoNotOptimize(quorin::ReadDocumentFile(*doc, tvq, error));
        // As for the import: freeing the Grid again is not part of opening it.
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    SetRates(state, FileSize(tvq), s.Rows);
    std::remove(tvq.c_str());
}

// The two halves of a save and of an open apart: the document's bytes made or parsed in
// memory, without the disk.
void BM_Encode(benchmark::State& state) {
    const CShape& s = kShapes[state.range(0)];
    state.SetLabel(s.Tag);
    const std::string csv = MakeCsv(s.Tag, s.Rows, s.Cols, s.Texts);
    quorin::fuzz::CFuzzPlatform platform;
    quorin::CQuorinDoc doc(*platform.App);
    ImportTextColumnsFirst(doc, csv, s.Cols, s.Texts);
    std::remove(csv.c_str());
    long long bytes = 0;
    for (auto _ : state) bytes = static_cast<long long>(quorin::EncodeForSave(doc, "").Bytes.size());
    SetRates(state, bytes, s.Rows);
}

void BM_Decode(benchmark::State& state) {
    const CShape& s = kShapes[state.range(0)];
    state.SetLabel(s.Tag);
    const std::string csv = MakeCsv(s.Tag, s.Rows, s.Cols, s.Texts);
    std::vector<std::uint8_t> bytes;
    {
        quorin::fuzz::CFuzzPlatform platform;
        quorin::CQuorinDoc doc(*platform.App);
        ImportTextColumnsFirst(doc, csv, s.Cols, s.Texts);
        bytes = quorin::EncodeDocument(doc);
    }
    std::remove(csv.c_str());
    for (auto _ : state) {
        quorin::fuzz::CFuzzPlatform platform;
        quorin::CQuorinDoc doc(*platform.App);
        std::string error;
        benchmark::DoNotOptimize(quorin::ReadDocumentBytes(doc, bytes, "", error));
    }
    SetRates(state, static_cast<long long>(bytes.size()), s.Rows);
}

BENCHMARK(BM_Import)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Open)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Encode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Decode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
