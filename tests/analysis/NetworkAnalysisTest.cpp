#include <cmath>
#include <string>

#include "analysis/NetworkAnalysis.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class NetworkAnalysisTest : public DocTest {
protected:
    // Four Input columns and one Output column, no hidden layer: weight i leaves input i.
    void FourInputs(const std::vector<double>& weights) {
        std::vector<double> values;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c) values.push_back((r * 3 + c) % 4);
        MakeGrid(4, 5, values, {Input, Input, Input, Input, Output});
        for (int c = 0; c < 5; ++c) Doc.SetInOutName(c, "c" + std::to_string(c));
        for (int r = 0; r < 4; ++r) Doc.SetExampleName(r, "r" + std::to_string(r), 0);
        NewNetwork(Doc, 4, 0, 1, 0);
        for (int i = 0; i < 4; ++i) Doc.m_Weights[i].Weight = weights[i];
    }
    std::vector<int> Walk(int calls, std::vector<bool>* found = nullptr) {
        CalculateSumsOfWeights(Doc);
        StartRankings(Doc);
        std::vector<int> order;
        for (int i = 0; i < calls; ++i) {
            bool f = false;
            order.push_back(GetNextSumOfWeights(Doc, &f));
            if (found) found->push_back(f);
        }
        return order;
    }
    void RowErrors(const std::vector<double>& errors) {
        for (size_t r = 0; r < errors.size(); ++r) Doc.SetExampleError(r, errors[r]);
    }
};

TEST_F(NetworkAnalysisTest, InputRankingSkipsTiesAndEndsOnColumnZero) {
    FourInputs({0.2, -0.4, 0.4, 0.1});
    std::vector<bool> found;
    // Descending: 0.4 twice lists only column 1, then 0.2, 0.1, then the walk is over.
    EXPECT_EQ(Walk(5, &found), (std::vector<int>{1, 0, 3, 0, 0}));
    EXPECT_EQ(found, (std::vector<bool>{true, true, true, false, false}));
    Doc.m_RankingAscending = 1;
    found.clear();
    EXPECT_EQ(Walk(4, &found), (std::vector<int>{3, 0, 1, 0}));
    EXPECT_EQ(found.back(), false);

    const CRankingChart chart = InputImportanceChart(Doc);
    EXPECT_EQ(chart.Subheading, "The first 4 of 4 Inputs in ascending order.");
    ASSERT_EQ(chart.Entries.size(), 3u);  // one entry fewer for the tie
    EXPECT_EQ(chart.Entries[2].Index, 1);
    EXPECT_DOUBLE_EQ(chart.Entries[0].Relative, 0.25);
    EXPECT_EQ(chart.ColumnTitles,
              (std::vector<std::string>{"Column", "Input Name", "Importance", "Relative Importance"}));
}

TEST_F(NetworkAnalysisTest, ImportanceCountsConnectedWeightsAndImageColumnsWhole) {
    FourInputs({0.2, -0.4, 0.3, 0.1});
    Doc.m_Weights[2].WeightType = 1;  // removed connections count nothing
    CalculateSumsOfWeights(Doc);
    EXPECT_DOUBLE_EQ(InputImportances(Doc)[2], 0.0);
    EXPECT_DOUBLE_EQ(InputImportances(Doc)[1], 0.4);

    // Column 1 in Image mode feeds nodes 1, 2 and 3: its importance is their total.
    Doc.m_InOuts[1].Mode = Image;
    NewNetwork(Doc, 6, 0, 1, 0);
    for (int i = 0; i < 6; ++i) Doc.m_Weights[i].Weight = 0.01 * (i + 1);
    CalculateSumsOfWeights(Doc);
    const std::vector<double> importance = InputImportances(Doc);
    EXPECT_DOUBLE_EQ(importance[0], 0.01);
    EXPECT_DOUBLE_EQ(importance[1], 0.02 + 0.03 + 0.04);
    EXPECT_DOUBLE_EQ(importance[2], 0.05);
    EXPECT_DOUBLE_EQ(importance[3], 0.06);
    EXPECT_DOUBLE_EQ(importance[4], 0.0);  // the Output column

    // Small importances draw against 0.01.
    for (CWeight& w : Doc.m_Weights) w.Weight = 0.001;
    const CRankingChart chart = InputImportanceChart(Doc);
    EXPECT_DOUBLE_EQ(chart.Scale, 0.01);
    EXPECT_DOUBLE_EQ(chart.Entries[0].Relative, 0.3);
    EXPECT_EQ(chart.Entries[0].Index, 1);
}

TEST_F(NetworkAnalysisTest, ErrorRankingCapsAtOneHundredAndListsEachRowOnce) {
    std::vector<double> values;
    for (int r = 0; r < 150; ++r) {
        values.push_back(r);
        values.push_back(r % 7);
    }
    MakeGrid(150, 2, values, {Input, Output});
    NewNetwork(Doc, 1, 0, 1, 0);
    std::vector<double> errors(150);
    for (int r = 0; r < 150; ++r) errors[r] = 0.001 * (r + 1);
    RowErrors(errors);
    Doc.m_Examples[149].ExampleType = Validating;
    Doc.SetExampleName(149, "a name of twenty-four ch", 0);
    Doc.m_TargetError = 0.1;
    CRankingChart chart = ExampleErrorsChart(Doc);
    EXPECT_EQ(chart.Subheading, "The first 100 of 150 Example rows in descending order.");
    ASSERT_EQ(chart.Entries.size(), 100u);
    EXPECT_EQ(chart.Entries[0].Index, 149);
    EXPECT_EQ(chart.Entries[0].Name, "V: a name of twenty-four +");
    EXPECT_TRUE(chart.Entries[0].AboveTarget);
    EXPECT_EQ(chart.Entries[99].Index, 50);
    EXPECT_FALSE(chart.Entries[99].AboveTarget);  // 0.051 is below the target
    EXPECT_DOUBLE_EQ(chart.Scale, 0.15);

    // Ascending, with only three rows ranked: the walk starts over once it has run out,
    // the chart does not.
    Doc.DeleteContents();
    Doc.InitDocument();
    MakeGrid(4, 2, {0, 0, 1, 1, 2, 0, 3, 1}, {Input, Output});
    NewNetwork(Doc, 1, 0, 1, 0);
    RowErrors({0.00002, 0.00004, 0.0, 0.00002});
    Doc.SetExampleName(0, "first", 0);
    Doc.m_Examples[2].ExampleType = Querying;
    Doc.m_RankingAscending = 1;
    StartRankings(Doc);
    bool found = false;
    EXPECT_EQ(GetNextError(Doc, &found), 0);
    EXPECT_EQ(GetNextError(Doc, &found), 1);
    EXPECT_EQ(GetNextError(Doc, &found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(Doc.m_PreviousError, 0.0);
    EXPECT_EQ(GetNextError(Doc, &found), 0);
    EXPECT_TRUE(found);
    chart = ExampleErrorsChart(Doc);
    ASSERT_EQ(chart.Entries.size(), 2u);
    EXPECT_EQ(chart.Entries[0].Name, "T: first");
    EXPECT_DOUBLE_EQ(chart.Scale, 0.0001);
    EXPECT_DOUBLE_EQ(chart.Entries[1].Relative, 0.4);
    EXPECT_EQ(chart.Subheading, "The first 3 of 3 Example rows in ascending order.");
}

TEST_F(NetworkAnalysisTest, GreatestValuesAndConnectionCounts) {
    FourInputs({0.2, -0.4, 0.3, 0.1});
    EXPECT_DOUBLE_EQ(GetGreatestWeight(Doc, 1), 0.3);
    EXPECT_DOUBLE_EQ(GetGreatestWeight(Doc, 0), 0.4);
    Doc.m_Weights[1].WeightType = 1;
    EXPECT_DOUBLE_EQ(GetGreatestWeight(Doc, 0), 0.0);  // no connected negative weight
    for (CNode& n : Doc.m_Nodes) n.Bias = 0.5;
    Doc.m_Nodes[2].Bias = -0.7;
    Doc.m_Nodes[3].Error = -0.2;
    EXPECT_DOUBLE_EQ(GetGreatestNode(Doc, NodeBias, 1), 0.5);
    EXPECT_DOUBLE_EQ(GetGreatestNode(Doc, NodeBias, 0), 0.7);
    EXPECT_DOUBLE_EQ(GetGreatestNode(Doc, NodeError, 1), 0.0);
    EXPECT_DOUBLE_EQ(GetGreatestNode(Doc, NodeError, 0), 0.2);

    // The weight type does not matter; small weights drop out only with both switches on.
    EXPECT_EQ(GetConnectionsFrom(Doc, 0, 0), 4);
    Doc.m_PruningThreshold = 0.25;
    Doc.m_PruningOption = 1;
    EXPECT_EQ(GetConnectionsFrom(Doc, 0, 0), 4);
    Doc.m_ConnectionPruning = 1;
    EXPECT_EQ(GetConnectionsFrom(Doc, 0, 0), 2);
    EXPECT_EQ(GetConnectionsFrom(Doc, 0, 1), 4);
    EXPECT_EQ(GetConnectionsFrom(Doc, kOutputLayer, 1), 0);
}

TEST_F(NetworkAnalysisTest, AnalysisFileHoldsBothRankingsDescending) {
    FourInputs({0.2, -0.4, 0.3, 0.1});
    RowErrors({0.25, 0.0, 0.5, 0.125});
    Doc.m_Examples[3].ExampleType = Validating;
    Doc.m_LearningCycles = 1;
    Doc.m_AverageError = 0.3;
    Doc.m_RankingAscending = 1;
    Doc.m_PathName = "/data/set.tvq";
    CTempDir dir;
    const std::string path = dir.File("set.an.txt");
    EXPECT_EQ(AnalysisFileName(Doc.m_PathName), "/data/set.an.txt");
    ASSERT_TRUE(WriteAnalysisFile(Doc, path));
    EXPECT_EQ(ReadWholeFile(path),
              "/data/set.tvq    1 cycles\r\n"
              "The first 4 of 4 Inputs in descending order.\r\n"
              "1\tc1\t0.4000\t1.000000\r\n"
              "2\tc2\t0.3000\t0.750000\r\n"
              "0\tc0\t0.2000\t0.500000\r\n"
              "3\tc3\t0.1000\t0.250000\r\n"
              "\r\n"
              "/data/set.tvq    1 cycle.  Target error 0.0500  Average error 0.300000\r\n"
              "The first 4 of 4 Example rows in descending order.\r\n"
              "2\tT: r2\t0.500000\t1.000000\r\n"
              "0\tT: r0\t0.250000\t0.500000\r\n"
              "3\tV: r3\t0.125000\t0.250000\r\n");
    EXPECT_EQ(Doc.m_RankingAscending, 1);  // the view's order is left alone
    EXPECT_FALSE(WriteAnalysisFile(Doc, dir.File("missing/x.an.txt")));
    EXPECT_NE(P.Prompts.LastText().find("could not be written"), std::string::npos);
}

}  // namespace
}  // namespace quorin::test
