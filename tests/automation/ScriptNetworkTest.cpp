#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "automation/ScriptRunner.h"
#include "network/NetworkBuild.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class ScriptNetworkTest : public DocTest {
protected:
    ScriptNetworkTest() {
        P.App->m_ScriptRunning = true;
        std::vector<double> values;
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 4; ++c) values.push_back((r * 7 + c * 3) % 5);
        MakeGrid(6, 4, values, {Input, Input, Input, Output});
    }
    int Run(const std::string& script) {
        const std::string path = m_Dir.File("run.txt");
        WriteWholeFile(path, script);
        return RunScriptFile(Doc, path);
    }
    int Connected() const {
        int n = 0;
        for (const CWeight& w : Doc.m_Weights) n += w.WeightType == 0;
        return n;
    }
    CTempDir m_Dir;
};

TEST_F(ScriptNetworkTest, ReduceConnectionsKeepsToTheDialogLimits) {
    ASSERT_EQ(Run("cn(2,0,0)\r\nrc(2,2,0,0)\r\n"), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "The numbers of connections between layers must be:\n\n"
              "Input layer to Hidden layer 1: 3 to 6\n"
              "Hidden layer 1 to Output layer: 2 to 2\n"
              "Hidden layer 2 not used: 0\n"
              "Hidden layer 3 not used: 0\n\n"
              "The connections have not been changed.");
    EXPECT_EQ(Connected(), 8);
    ASSERT_EQ(Run("reduceconnections(4,2,0,0)\r\n"), 0);
    EXPECT_EQ(Connected(), 6);
    EXPECT_EQ(Doc.m_LearningCycles, 0);
}

TEST_F(ScriptNetworkTest, PruningAndGrowthFromScripts) {
    ASSERT_EQ(Run("cn(2,0,0)\r\npr(1,20,0.1)\r\n"), 0);
    EXPECT_EQ(Doc.m_PruningOption, 1);
    EXPECT_EQ(Doc.m_ConnectionPruning, 1);
    EXPECT_EQ(Doc.m_PruningCycles, 20);
    ASSERT_EQ(Run("pruning(1,5,0.1)\r\n"), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "The weight must be from 0.00001 to 0.5 and\nthe number of cycles must be at least 10.");
    EXPECT_EQ(Doc.m_PruningOption, 0);

    // Trials of no cycles score 0: below the target, so layer 1 stays at its minimum; layer 2
    // then grows from its own minimum.
    ASSERT_EQ(Run("on(1,3,6,1,2,4,0,0,0,0,5)\r\n"), 0);
    CLayerCounts counts = CountLayers(Doc);
    EXPECT_EQ(counts.Hidden[0], 3);
    EXPECT_EQ(counts.Hidden[1], 2);
    EXPECT_EQ(Doc.m_GrowLayer2, 1);
    EXPECT_EQ(Doc.m_LearningRate, 0.6);
    // Without growth the network is built at the minimum, controls reset.
    ASSERT_EQ(Run("lc(2,0.5,0,0)\r\noptimizenetwork(0,4,9,0,0,0,0,0,0,10,5)\r\n"), 0);
    counts = CountLayers(Doc);
    EXPECT_EQ(counts.Hidden[0], 4);
    EXPECT_EQ(counts.Hidden[1], 0);
    EXPECT_EQ(Doc.m_LearningRate, 0.6);
}

TEST_F(ScriptNetworkTest, AnalysisWritesBesideTheScriptOrWhereTold) {
    for (int c = 0; c < 4; ++c) Doc.SetInOutName(c, "col" + std::to_string(c));
    ASSERT_EQ(Run("cn(0,0,0)\r\nan()\r\n"), 0);
    const std::string text = ReadWholeFile(m_Dir.File("run.an.txt"));
    EXPECT_EQ(text.rfind("    0 cycles\r\nThe first 3 of 3 Inputs in descending order.\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("\r\n\r\n    0 cycles.  Target error 0.0500"), std::string::npos);
    // Errors are 0 before learning: no row is listed.
    EXPECT_EQ(text.substr(text.size() - 52), "The first 6 of 6 Example rows in descending order.\r\n");
    const std::string other = m_Dir.File("other.txt");
    ASSERT_EQ(Run("analysis( " + other + " )\r\n"), 0);
    EXPECT_EQ(ReadWholeFile(other), text);
}

}  // namespace
}  // namespace quorin::test
