// Script lines that run beside a learning thread.
#include <algorithm>
#include <string>
#include <thread>

#include "automation/ScriptRunner.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/LearningFixture.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class ScriptLearningTest : public LearningTest {
protected:
    ScriptLearningTest() { P.App->m_ScriptRunning = true; }
    void SetUp() override {
        MakeLineGrid(8);
        BuildNetwork(2);
        Doc.m_TargetError = 0.0;  // nothing but the script ends the run
    }
    int Run(const std::string& script) {
        const std::string path = m_Dir.File("run.txt");
        WriteWholeFile(path, script);
        return RunScriptFile(Doc, path);
    }
    CTempDir m_Dir;
};

// Every control and stop rule changes while the thread learns; the thread sees each
// change whole (ThreadSanitizer checks the rest).
TEST_F(ScriptLearningTest, EveryControlAndStopRuleChangesWhileLearning) {
    std::string script = "stl\r\n";
    for (int i = 0; i < 60; ++i) {
        const std::string k = std::to_string(i % 5);
        script += "lc(0." + std::to_string(3 + i % 5) + ",0.5,1,1)\r\n";
        script += "nr(0," + std::to_string(i % 2) + ",0,0)\r\n";
        script += "tes(" + std::to_string(i % 2) + ",0.0000" + k + ")\r\n";
        script += "vs(99,1" + k + ",0,0)\r\n";
        script += "fps(0,100,0,0)\r\n";
        script += "sf(0,0,0,0," + std::to_string(i % 2) + ")\r\n";
        script += "w(1)\r\n";
    }
    script += "lc(0.25,0.125,0,0)\r\ntes(1,0)\r\nvs(90,7,1,0)\r\nfps(0,3,1,100000)\r\nnr(1,0,0,0)\r\n";
    ASSERT_EQ(Run(script), 0);
    EXPECT_TRUE(Doc.m_Learning || Doc.m_LearningCycles > 0);
    Stop(Doc);
    WaitForLearning(Doc);
    EXPECT_EQ(Doc.m_LearningRate, 0.25);  // no decay after the last line switched it off
    EXPECT_EQ(Doc.m_Momentum, 0.125);
    EXPECT_EQ(Doc.m_TargetErrorMode, 1);
    EXPECT_EQ(Doc.m_ValidatingTarget, 90.0);
    EXPECT_EQ(Doc.m_WithinPercentage, 7.0);
    EXPECT_EQ(Doc.m_ValidatingMode, 1);
    EXPECT_EQ(Doc.m_StopSeconds, 3.0);
    EXPECT_EQ(Doc.m_StopCycle, 100000);
    EXPECT_EQ(Doc.m_ReconfigSwitches, 1);
}

// Special files written while the thread learns read one state between two cycles, and the
// details snapshot never presents its row through the records the thread learns on
// (ThreadSanitizer and AddressSanitizer check the rest).
TEST_F(ScriptLearningTest, SpecialFilesWhileLearning) {
    const std::string path = m_Dir.File("side.tvq");
    std::string script = "stl\r\n";
    for (int i = 0; i < 40; ++i) script += "sf(1,1,1,1,1," + path + ")\r\nw(1)\r\n";
    ASSERT_EQ(Run(script), 0);
    Stop(Doc);
    WaitForLearning(Doc);
    EXPECT_TRUE(P.Prompts.Texts().empty());
    for (const char* ending : {".gr.txt", ".we.txt", ".bi.txt", ".de.txt"})
        EXPECT_FALSE(ReadWholeFile(m_Dir.File(std::string("side") + ending)).empty()) << ending;
    // Every graph line whole, the cycles rising.
    const std::string graph = ReadWholeFile(m_Dir.File("side.gp.txt"));
    ASSERT_EQ(graph.rfind("cycles\tmax error\tave error\tmin error\r\n", 0), 0u);
    int previous = 0;
    for (std::size_t at = graph.find("\r\n") + 2; at < graph.size();) {
        const std::size_t end = graph.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = graph.substr(at, end - at);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
        const int cycles = std::stoi(line);
        EXPECT_GE(cycles, previous) << line;
        previous = cycles;
        at = end + 2;
    }
}

TEST_F(ScriptLearningTest, StartingAndStoppingHundredsOfTimes) {
    std::string script;
    for (int i = 0; i < 300; ++i) script += i % 3 == 2 ? "spl\r\n" : "stl\r\n";
    script += "spl\r\n";
    ASSERT_EQ(Run(script), 0);
    WaitForLearning(Doc);
    EXPECT_FALSE(Doc.m_Learning);
    EXPECT_EQ(P.App->ThreadCount(), 1);
}

}  // namespace
}  // namespace quorin::test
