// Learning throughput: one learning pass (ConnectInputs, CalculateActivations, CalculateErrors,
// CalculateWeights over every training row) on five shapes, side by side with FANN doing the
// same incremental training on the same data. The `cups` counter is connection updates per
// second: presentations x weights between layers / seconds. Biases are not counted, on either
// side (FANN's bias connections are left out of its count the same way).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../fuzz/FuzzPlatform.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"

#ifdef QUORIN_HAVE_FANN
#include <doublefann.h>
#endif

namespace {

struct CShape {
    int Inputs, Hiddens, Outputs, Rows;
    std::string Name() const {
        return std::to_string(Inputs) + "-" + std::to_string(Hiddens) + "-" + std::to_string(Outputs);
    }
    double Connections() const { return double(Inputs) * Hiddens + double(Hiddens) * Outputs; }
};

const CShape kShapes[] = {
    {4, 8, 3, 150}, {13, 10, 3, 178}, {30, 16, 1, 569}, {64, 32, 10, 1797}, {256, 128, 10, 2000}};

// A Grid of deterministic pseudo-random values: outputs depend on the inputs so that the
// networks have something to learn.
struct CData {
    explicit CData(const CShape& shape) : Platform(), Doc(*Platform.App) {
        Doc.NewDocument();
        const int columns = shape.Inputs + shape.Outputs;
        for (int c = 0; c < columns; ++c) Doc.AddCol(0, c >= shape.Inputs, 1);
        for (int r = 0; r < shape.Rows; ++r) Doc.AddRow(0, 0, 0, 0);
        std::uint32_t state = 2024;
        auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) / double(1 << 24);
        };
        for (int r = 0; r < shape.Rows; ++r) {
            double sum = 0.0;
            for (int c = 0; c < shape.Inputs; ++c) {
                const double v = next();
                sum += v;
                Doc.SetValue(c, r, v, 0, 0, 0, 0);
            }
            for (int o = 0; o < shape.Outputs; ++o)
                Doc.SetValue(shape.Inputs + o, r, (sum / shape.Inputs + o * 0.1 + next() * 0.2) > 0.6,
                             0, 0, 0, 0);
        }
        Doc.RenormaliseAll(0);
        for (int r = 0; r < shape.Rows; ++r) {
            const auto& values = Doc.m_Examples[r].NormalisedValues();
            In.insert(In.end(), values.begin(), values.begin() + shape.Inputs);
            Out.insert(Out.end(), values.begin() + shape.Inputs, values.end());
        }
    }
    quorin::fuzz::CFuzzPlatform Platform;
    quorin::CQuorinDoc Doc;
    std::vector<double> In, Out;
};

void BM_Quorin(benchmark::State& state, CShape shape) {
    CData data(shape);
    quorin::CQuorinDoc& doc = data.Doc;
    quorin::NewNetwork(doc, shape.Inputs, shape.Hiddens, shape.Outputs, 1);
    quorin::SetWeightsIn(doc);
    quorin::CNetworkEngine engine;
    for (auto _ : state) {
        quorin::CLearningPass pass(doc, engine);
        for (int r = 0; r < shape.Rows; ++r) {
            quorin::ConnectInputs(doc, r, 1);
            quorin::CalculateActivations(doc);
            benchmark::DoNotOptimize(quorin::CalculateErrors(doc, r));
            quorin::CalculateWeights(doc);
        }
    }
    state.counters["cups"] = benchmark::Counter(
        double(state.iterations()) * shape.Rows * shape.Connections(), benchmark::Counter::kIsRate);
}

#ifdef QUORIN_HAVE_FANN
void BM_Fann(benchmark::State& state, CShape shape) {
    CData data(shape);
    fann* ann = fann_create_standard(3, shape.Inputs, shape.Hiddens, shape.Outputs);
    fann_set_activation_function_hidden(ann, FANN_SIGMOID);
    fann_set_activation_function_output(ann, FANN_SIGMOID);
    fann_set_training_algorithm(ann, FANN_TRAIN_INCREMENTAL);
    fann_set_train_error_function(ann, FANN_ERRORFUNC_LINEAR);
    fann_set_learning_rate(ann, 0.6f);
    fann_set_learning_momentum(ann, 0.8f);
    fann_randomize_weights(ann, -0.5, 0.5);
    for (auto _ : state) {
        for (int r = 0; r < shape.Rows; ++r)
            fann_train(ann, data.In.data() + std::size_t(r) * shape.Inputs,
                       data.Out.data() + std::size_t(r) * shape.Outputs);
    }
    benchmark::DoNotOptimize(fann_get_MSE(ann));
    fann_destroy(ann);
    state.counters["cups"] = benchmark::Counter(
        double(state.iterations()) * shape.Rows * shape.Connections(), benchmark::Counter::kIsRate);
}
#endif

const bool kRegistered = [] {
    for (const CShape& shape : kShapes) {
        benchmark::RegisterBenchmark(("BM_Quorin/" + shape.Name()).c_str(), BM_Quorin, shape);
#ifdef QUORIN_HAVE_FANN
        benchmark::RegisterBenchmark(("BM_Fann/" + shape.Name()).c_str(), BM_Fann, shape);
#endif
    }
    return true;
}();

}  // namespace
