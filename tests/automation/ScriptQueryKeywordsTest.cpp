#include "analysis/LeaveSomeOut.h"
#include "automation/ScriptRunner.h"
#include "network/LearningFixture.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class ScriptQueryKeywordsTest : public LearningTest {
protected:
    void SetUp() override {
        MakeLineGrid(8);
        BuildNetwork(2);
    }
    CTempDir Dir;
};

TEST_F(ScriptQueryKeywordsTest, LeaveSomeOutAddQueryAndFileQueryRunHeadless) {
    CScriptRunner runner(Doc);
    const std::string log = Dir.File("run.lo.txt");
    runner.Execute("lso(2,3,0,0,0,0," + log + ")");
    const std::string report = ReadWholeFile(log);
    EXPECT_EQ(report.rfind("\tLeave Some Out Validating\r\n", 0), 0u);
    EXPECT_NE(report.find("From\t7\t \tT:\r\nTo\t0\t \tT:\t"), std::string::npos);
    EXPECT_TRUE(P.Prompts.Texts().empty());

    runner.Execute("addquery(2)");
    ASSERT_EQ(Doc.m_Examples.size(), 9u);
    EXPECT_EQ(Doc.m_Examples[0].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[0].Values()[0], 0.0);
    EXPECT_NE(Doc.m_Examples[0].Values()[1], kMissing);  // answered

    const std::string data = Dir.File("new.txt");
    WriteWholeFile(data, "2.5\r\n7.5\r\n");
    runner.Execute("fq(" + data + ",1,1,1,0,0,0,0,0)");
    const std::string answers = ReadWholeFile(Dir.File("new.qu.txt"));
    EXPECT_EQ(answers.rfind("\tI: \tO: \t\r\n#0\t2.5000\t", 0), 0u);
    EXPECT_NE(answers.find("\r\n#1\t7.5000\t"), std::string::npos);
    EXPECT_EQ(Doc.m_Examples.size(), 9u);
}

TEST_F(ScriptQueryKeywordsTest, TheKeywordsWaitForLearningToEnd) {
    Doc.m_Learning = true;
    CScriptRunner runner(Doc);
    runner.Execute("aq(1)");
    Doc.m_Learning = false;
    EXPECT_EQ(Doc.m_Examples.size(), 8u);
    EXPECT_EQ(P.Prompts.Texts().size(), 1u);
}

}  // namespace
}  // namespace quorin::test
