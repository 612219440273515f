#include <cmath>
#include <cstring>
#include <ostream>
#include <tuple>

#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

double Logistic(double x) { return 1.0 / (1.0 + std::exp(-x)); }

class PropagationTest : public DocTest {
protected:
    // Two inputs, one hidden node, one output: row 1 presents (1, 0) with target 1.
    void BuildTwoOneOne() {
        MakeGrid(2, 3, {0, 1, 0, 1, 0, 1}, {Input, Input, Output});
        NewNetwork(Doc, 2, 1, 1, 0);
        SetWeightsIn(Doc);
        Doc.m_Weights[0].Weight = 0.5;    // 0 -> 2
        Doc.m_Weights[1].Weight = -0.25;  // 1 -> 2
        Doc.m_Weights[2].Weight = 1.5;    // 2 -> 3
        Doc.m_Nodes[2].Bias = 0.1;
        Doc.m_Nodes[3].Bias = -0.2;
    }
    double Present(int row) {
        EXPECT_EQ(ConnectInputs(Doc, row, 1), 1);
        CalculateActivations(Doc);
        return CalculateErrors(Doc, row);
    }
};

TEST_F(PropagationTest, HandSetWeightsGiveExactActivationsErrorsAndUpdates) {
    BuildTwoOneOne();
    Doc.m_LearningRate = 0.6;
    Doc.m_Momentum = 0.8;
    Doc.m_Weights[2].PreviousWeightChange = 0.01;
    Doc.m_Nodes[3].BiasPreviousChange = -0.02;
    const double error = Present(1);

    const double net2 = (0.1 + 1.0 * 0.5) + 0.0 * -0.25;
    const double a2 = Logistic(net2);
    const double a3 = Logistic(-0.2 + a2 * 1.5);
    EXPECT_EQ(Doc.m_Nodes[0].Activation, 1.0);
    EXPECT_EQ(Doc.m_Nodes[1].Activation, 0.0);
    EXPECT_EQ(Doc.m_Nodes[2].NetInput, net2);
    EXPECT_EQ(Doc.m_Nodes[2].Activation, a2);
    EXPECT_NEAR(a2, 0.6456563062257954, 1e-15);
    EXPECT_EQ(Doc.m_Nodes[3].Activation, a3);
    const double e3 = 1.0 - a3;
    const double d3 = (1.0 - a3) * e3 * a3;
    const double e2 = 0.0 + 1.5 * d3;
    const double d2 = (1.0 - a2) * e2 * a2;
    EXPECT_EQ(error, std::fabs(e3));
    EXPECT_EQ(Doc.m_Nodes[3].Error, e3);
    EXPECT_EQ(Doc.m_Nodes[3].Delta, d3);
    EXPECT_EQ(Doc.m_Nodes[2].Error, e2);
    EXPECT_EQ(Doc.m_Nodes[2].Delta, d2);
    EXPECT_EQ(Doc.m_Nodes[0].Error, 0.0);  // input nodes collect nothing

    CalculateWeights(Doc);
    const double step23 = (0.0 + a2 * d3) * 0.6 + 0.8 * 0.01;
    EXPECT_EQ(Doc.m_Weights[2].Weight, 1.5 + step23);
    EXPECT_EQ(Doc.m_Weights[2].PreviousWeightChange, step23);
    EXPECT_EQ(Doc.m_Weights[2].WeightChange, 0.0);
    const double step02 = (0.0 + 1.0 * d2) * 0.6 + 0.8 * 0.0;
    EXPECT_EQ(Doc.m_Weights[0].Weight, 0.5 + step02);
    EXPECT_EQ(Doc.m_Weights[1].Weight, -0.25);  // source activation 0: no change
    const double bias3 = (0.0 + d3) * 0.6 + 0.8 * -0.02;
    EXPECT_EQ(Doc.m_Nodes[3].Bias, -0.2 + bias3);
    EXPECT_EQ(Doc.m_Nodes[3].BiasPreviousChange, bias3);
    EXPECT_EQ(Doc.m_Nodes[3].BiasChange, 0.0);
}

TEST_F(PropagationTest, MetTargetsGiveNoErrorAndSaturatedOutputsNoDelta) {
    BuildTwoOneOne();
    Present(1);
    Doc.m_Nodes[3].Activation = 1.0;  // as if the output met its target exactly
    EXPECT_EQ(CalculateErrors(Doc, 1), 0.0);
    EXPECT_EQ(Doc.m_Nodes[3].Delta, 0.0);
    EXPECT_EQ(Doc.m_Nodes[2].Delta, 0.0);
    Doc.m_Nodes[3].Activation = 0.0;  // far from the target, yet flat
    EXPECT_EQ(CalculateErrors(Doc, 1), 1.0);
    EXPECT_EQ(Doc.m_Nodes[3].Delta, 0.0);
}

TEST_F(PropagationTest, RemovedConnectionsTakeNoPartButKeepTheirPlace) {
    BuildTwoOneOne();
    Doc.m_Weights[0].WeightType = 1;
    Doc.m_Weights[0].Weight = 100.0;
    Doc.m_Weights[2].WeightType = 1;
    SetWeightsIn(Doc);
    EXPECT_EQ(Doc.m_Nodes[2].FirstWeight, 0);
    EXPECT_EQ(Doc.m_Nodes[2].LastWeight, 2);
    Present(1);
    EXPECT_EQ(Doc.m_Nodes[2].NetInput, 0.1 + 0.0 * -0.25);
    // Node 3 has no connected input: its net input is its bias, its activation stays.
    EXPECT_EQ(Doc.m_Nodes[3].NetInput, -0.2);
    EXPECT_EQ(Doc.m_Nodes[3].Activation, 0.0);
    EXPECT_EQ(Doc.m_Nodes[2].Error, 0.0);  // no error passes back through 2 -> 3
    CalculateWeights(Doc);
    EXPECT_EQ(Doc.m_Weights[0].Weight, 100.0);
    EXPECT_EQ(Doc.m_Weights[0].PreviousWeightChange, 0.0);
    EXPECT_EQ(Doc.m_Weights[2].Weight, 1.5);
}

TEST_F(PropagationTest, PruningCountsSmallWeightsAndFreezesOnlyWhenEnabled) {
    BuildTwoOneOne();
    Doc.m_Weights[1].Weight = 0.001;
    Doc.m_PruningOption = 1;
    Doc.m_PruningThreshold = 0.01;
    Doc.m_PruningCycles = 10;
    for (int i = 0; i < 12; ++i) {
        Present(0);  // row 0 feeds input 1 with 1, so weight 1 moves
        CalculateWeights(Doc);
        Doc.m_Weights[1].Weight = 0.001;
    }
    EXPECT_EQ(Doc.m_Weights[1].WeightNumber, 12);
    EXPECT_NE(Doc.m_Weights[1].PreviousWeightChange, 0.0);  // counted, not frozen

    Doc.m_ConnectionPruning = 1;
    Doc.m_Weights[1].PreviousWeightChange = 0.0;
    Present(0);
    CalculateWeights(Doc);
    EXPECT_EQ(Doc.m_Weights[1].WeightNumber, 13);
    EXPECT_EQ(Doc.m_Weights[1].Weight, 0.001);  // frozen
    EXPECT_EQ(Doc.m_Weights[1].PreviousWeightChange, 0.0);

    Doc.m_PruningCycles = 9;  // below 10 nothing is ever frozen
    Present(0);
    CalculateWeights(Doc);
    EXPECT_NE(Doc.m_Weights[1].Weight, 0.001);
}

// The update with momentum 0 moves each weight by -rate * dL/dw for L = sum (t - a)^2 / 2.
TEST_F(PropagationTest, OneUpdateFollowsTheCentralDifferenceGradient) {
    MakeGrid(3, 5, {0.2, 0.9, 0.4, 1, 0, 0.7, 0.1, 0.8, 0, 1, 0.5, 0.5, 0.1, 0.3, 0.6},
             {Input, Input, Input, Output, Output});
    NewNetwork(Doc, 3, 3, 2, 0);
    Doc.m_Momentum = 0.0;
    Doc.m_LearningRate = 0.5;
    const int row = 0;
    auto loss = [&] {
        ConnectInputs(Doc, row, 1);
        CalculateActivations(Doc);
        double sum = 0.0;
        for (int k = 6; k < 8; ++k) {
            const double e = Doc.m_Examples[row].NormalisedValues()[k - 3] - Doc.m_Nodes[k].Activation;
            sum += e * e / 2;
        }
        return sum;
    };
    std::vector<double> numeric;
    const double h = 1e-6;
    for (CWeight& weight : Doc.m_Weights) {
        const double w = weight.Weight;
        weight.Weight = w + h;
        const double up = loss();
        weight.Weight = w - h;
        const double down = loss();
        weight.Weight = w;
        numeric.push_back((up - down) / (2 * h));
    }
    std::vector<double> before;
    for (const CWeight& weight : Doc.m_Weights) before.push_back(weight.Weight);
    loss();
    CalculateErrors(Doc, row);
    CalculateWeights(Doc);
    double largest = 0.0;
    for (size_t i = 0; i < numeric.size(); ++i) {
        const double analytic = -(Doc.m_Weights[i].Weight - before[i]) / 0.5;
        EXPECT_NEAR(analytic, numeric[i], 1e-8 + 1e-5 * std::fabs(numeric[i])) << "weight " << i;
        largest = std::max(largest, std::fabs(numeric[i]));
    }
    EXPECT_GT(largest, 1e-3);  // a network that learnt nothing cannot pass
    EXPECT_EQ(numeric.size(), 3u * 3 + 3 * 2);
}

// The packed form of a learning pass must give bit for bit what the records give, on a deep
// network with removed connections and pruning switched on midway.
TEST_F(PropagationTest, LearningPassMatchesTheRecordsBitForBit) {
    std::vector<double> values;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 7; ++c) values.push_back(std::fmod(r * 0.37 + c * 0.61, 1.0));
    MakeGrid(7, 7, values, {Input, Input, Input, Input, Input, Output, Output});
    NewNetwork(Doc, 5, 6, 2, 0);
    ChangeNetwork(Doc, 1, 2);
    ChangeNetwork(Doc, 1, 2);
    ChangeNetwork(Doc, 1, 3);
    Doc.m_Weights[3].WeightType = 1;
    Doc.m_Weights[40].WeightType = 1;

    CTestPlatform otherPlatform;
    CQuorinDoc other(*otherPlatform.App);
    other.m_Examples = Doc.m_Examples;
    other.m_InOuts = Doc.m_InOuts;
    other.m_ColCount = Doc.m_ColCount;
    other.m_RowCount = Doc.m_RowCount;
    other.m_Nodes = Doc.m_Nodes;
    other.m_Weights = Doc.m_Weights;

    auto cycle = [](CQuorinDoc& doc, int rows) {
        for (int r = rows - 1; r >= 0; --r) {
            ConnectInputs(doc, r, 1);
            CalculateActivations(doc);
            doc.SetExampleError(r, CalculateErrors(doc, r));
            CalculateWeights(doc);
        }
    };
    CNetworkEngine engine;
    for (int c = 0; c < 30; ++c) {
        if (c == 10) {
            for (CQuorinDoc* doc : {&Doc, &other}) {
                doc->m_PruningOption = 1;
                doc->m_ConnectionPruning = 1;
                doc->m_PruningThreshold = 0.2;
            }
        }
        cycle(Doc, 7);
        CLearningPass pass(other, engine);
        cycle(other, 7);
    }
    ASSERT_EQ(Doc.m_Weights.size(), other.m_Weights.size());
    int frozen = 0;
    for (size_t i = 0; i < Doc.m_Weights.size(); ++i) {
        const CWeight& a = Doc.m_Weights[i];
        const CWeight& b = other.m_Weights[i];
        EXPECT_EQ(std::memcmp(&a.Weight, &b.Weight, sizeof(double)), 0) << i;
        EXPECT_EQ(a.PreviousWeightChange, b.PreviousWeightChange) << i;
        EXPECT_EQ(a.WeightChange, b.WeightChange) << i;
        EXPECT_EQ(a.WeightNumber, b.WeightNumber) << i;
        frozen += a.WeightNumber >= 10;
    }
    EXPECT_GT(frozen, 0);
    EXPECT_TRUE(engine.m_Usable);
    for (size_t k = 0; k < Doc.m_Nodes.size(); ++k) {
        const CNode& a = Doc.m_Nodes[k];
        const CNode& b = other.m_Nodes[k];
        EXPECT_EQ(a.Activation, b.Activation) << k;
        EXPECT_EQ(a.NetInput, b.NetInput) << k;
        EXPECT_EQ(a.Error, b.Error) << k;
        EXPECT_EQ(a.Delta, b.Delta) << k;
        EXPECT_EQ(a.Bias, b.Bias) << k;
        EXPECT_EQ(a.BiasPreviousChange, b.BiasPreviousChange) << k;
    }
    for (int r = 0; r < 7; ++r)
        EXPECT_EQ(Doc.ExampleError(r), other.ExampleError(r));
}

// Plain layered networks take the packed form's block kernels: blocks whose sizes are not
// whole vectors, errors gathered four sources at a time, a second hidden layer, a node whose
// net input is exactly 0 and one beyond the range the four-lane exp handles itself. Still bit
// for bit the records, presentation by presentation.
struct CPlainShape {
    int Inputs, Hiddens, Outputs, SecondLayer;
    friend std::ostream& operator<<(std::ostream& out, const CPlainShape& s) {
        return out << s.Inputs << "-" << s.Hiddens << "+" << s.SecondLayer << "-" << s.Outputs;
    }
};

class PlainNetworkTest : public DocTest,
                         public testing::WithParamInterface<std::tuple<CPlainShape, bool>> {};

TEST_P(PlainNetworkTest, PassMatchesTheRecordsBitForBit) {
    const auto [shape, vectorExp] = GetParam();
    const int columns = shape.Inputs + shape.Outputs;
    std::vector<double> values;
    std::vector<int> types(columns, Input);
    for (int c = shape.Inputs; c < columns; ++c) types[c] = Output;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < columns; ++c) values.push_back(std::fmod(r * 0.53 + c * 0.29, 1.0));
    MakeGrid(9, columns, values, types);
    NewNetwork(Doc, shape.Inputs, shape.Hiddens, shape.Outputs, 0);
    for (int n = 0; n < shape.SecondLayer; ++n) ChangeNetwork(Doc, 1, 2);
    CNode& zero = Doc.m_Nodes[shape.Inputs];
    zero.Bias = 0.0;
    for (int w = zero.FirstWeight; w < zero.LastWeight; ++w) Doc.m_Weights[w].Weight = 0.0;
    Doc.m_Nodes[shape.Inputs + 1].Bias = -600.0;

    CTestPlatform otherPlatform;
    CQuorinDoc other(*otherPlatform.App);
    other.m_Examples = Doc.m_Examples;
    other.m_InOuts = Doc.m_InOuts;
    other.m_ColCount = Doc.m_ColCount;
    other.m_RowCount = Doc.m_RowCount;
    other.m_Nodes = Doc.m_Nodes;
    other.m_Weights = Doc.m_Weights;
    CNetworkEngine engine;
    engine.m_AllowVectorExp = vectorExp;
    for (int c = 0; c < 20; ++c) {
        CLearningPass pass(other, engine);
        for (int r = 0; r < 9; ++r) {
            for (CQuorinDoc* doc : {&Doc, &other}) {
                ConnectInputs(*doc, r, 1);
                CalculateActivations(*doc);
                CalculateErrors(*doc, r);
                CalculateWeights(*doc);
            }
            for (size_t k = 0; k < Doc.m_Nodes.size(); ++k) {
                const CNode& a = Doc.m_Nodes[k];
                const CNode& b = other.m_Nodes[k];
                ASSERT_EQ(std::memcmp(&a.NetInput, &b.NetInput, 4 * sizeof(double)), 0)
                    << "cycle " << c << " row " << r << " node " << k;
            }
        }
    }
    EXPECT_TRUE(engine.m_Usable);
    ASSERT_EQ(Doc.m_Weights.size(), other.m_Weights.size());
    for (size_t i = 0; i < Doc.m_Weights.size(); ++i)
        EXPECT_EQ(std::memcmp(&Doc.m_Weights[i].Weight, &other.m_Weights[i].Weight, sizeof(double)), 0)
            << i;
    for (size_t k = 0; k < Doc.m_Nodes.size(); ++k)
        EXPECT_EQ(std::memcmp(&Doc.m_Nodes[k].Bias, &other.m_Nodes[k].Bias, sizeof(double)), 0) << k;
}

INSTANTIATE_TEST_SUITE_P(Shapes, PlainNetworkTest,
                         testing::Combine(testing::Values(CPlainShape{4, 10, 3, 0},
                                                          CPlainShape{3, 5, 1, 0},
                                                          CPlainShape{6, 7, 5, 0},
                                                          CPlainShape{5, 6, 2, 3},
                                                          CPlainShape{2, 17, 9, 0},
                                                          CPlainShape{4, 8, 3, 0},
                                                          CPlainShape{3, 16, 1, 0},
                                                          CPlainShape{3, 8, 2, 4}),
                                          testing::Bool()));

TEST_F(PropagationTest, RebuildingInsideAPassKeepsWhatWasLearnt) {
    BuildTwoOneOne();
    CNetworkEngine engine;
    CLearningPass pass(Doc, engine);
    Present(1);
    CalculateWeights(Doc);
    const double learnt = Doc.m_Weights[0].Weight;  // records lag behind inside the pass
    SetWeightsIn(Doc);                              // writes the packed weights back first
    EXPECT_NE(Doc.m_Weights[0].Weight, learnt);
    const double synced = Doc.m_Weights[0].Weight;
    pass.Sync();
    EXPECT_EQ(Doc.m_Weights[0].Weight, synced);
}

TEST_F(PropagationTest, APassNestedOnTheSameEngineLeavesTheOuterOneInCharge) {
    BuildTwoOneOne();
    CNetworkEngine engine;
    CLearningPass outer(Doc, engine);
    {
        CLearningPass inner(Doc, engine);
        Present(1);
        CalculateWeights(Doc);
    }
    EXPECT_TRUE(engine.m_Packed);  // the inner pass neither synced nor unhooked the engine
    outer.Sync();
    EXPECT_NE(Doc.m_Weights[0].Weight, 0.5);
}

}  // namespace
}  // namespace quorin::test
