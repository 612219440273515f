// The document's log file: naming and confirming it, writing lines, showing it.
#include <filesystem>

#include "files/LogFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class LogFileTest : public DocTest {
protected:
    LogFileTest() {
        Doc.m_PathName = m_Dir.File("grid.tvq");
        m_Log = m_Dir.File("grid.lo.txt");
    }
    void Confirm() {
        Doc.m_Logging = true;
        P.Prompts.QueueFile(m_Log);
        ASSERT_EQ(GetLogFile(Doc), 1);
    }
    CTempDir m_Dir;
    std::string m_Log;
};

TEST(LogFileName, ReplacesTheLastFourCharacters) {
    EXPECT_EQ(LogFileNameFor("/data/iris.tvq"), "/data/iris.lo.txt");
    EXPECT_EQ(LogFileNameFor("/data/iris.TVQ"), "/data/iris.lo.txt");
    EXPECT_EQ(LogFileNameFor(""), "Untitled.lo.txt");
}

TEST_F(LogFileTest, GetLogFileAsksOnceAndEmptiesTheFile) {
    WriteWholeFile(m_Log, "old report");
    Confirm();
    const auto requests = P.Prompts.FileRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].Save);
    EXPECT_EQ(requests[0].Title, "Open log file");
    EXPECT_EQ(requests[0].DefaultExt, "txt");
    EXPECT_EQ(requests[0].FileName, m_Log);
    EXPECT_TRUE(requests[0].OverwritePrompt);
    EXPECT_TRUE(Doc.m_LogFileConfirmed);
    EXPECT_EQ(ReadWholeFile(m_Log), "");
    EXPECT_EQ(GetLogFile(Doc), 1);  // confirmed: no second question
    EXPECT_EQ(P.Prompts.FileRequests().size(), 1u);
}

TEST_F(LogFileTest, AChosenNameStaysOnceConfirmed) {
    Doc.m_Logging = true;
    const std::string chosen = m_Dir.File("elsewhere.txt");
    P.Prompts.QueueFile(chosen);
    ASSERT_EQ(GetLogFile(Doc), 1);
    ASSERT_EQ(GetLogFile(Doc), 1);
    EXPECT_EQ(Doc.m_LogFileName, chosen);
    WriteLog(Doc, "line", 1, 1);
    EXPECT_EQ(ReadWholeFile(chosen), "line\r\n");
    EXPECT_FALSE(std::filesystem::exists(m_Log));
}

TEST_F(LogFileTest, CancelOrFailureSwitchesLoggingOff) {
    Doc.m_Logging = true;
    P.Prompts.QueueFile(std::nullopt);
    EXPECT_EQ(GetLogFile(Doc), 0);
    EXPECT_FALSE(Doc.m_Logging);
    EXPECT_TRUE(P.Prompts.Messages().empty());

    Doc.m_Logging = true;
    P.Prompts.QueueFile(m_Dir.File("missing-dir/log.txt"));
    EXPECT_EQ(GetLogFile(Doc), 0);
    EXPECT_FALSE(Doc.m_Logging);
    EXPECT_FALSE(Doc.m_LogFileConfirmed);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{
                                     "Unable to create a log file.\nLogging has been switched off."}));

    EXPECT_EQ(GetLogFile(Doc), 0);  // logging off: nothing asked
}

TEST_F(LogFileTest, ForcedLinesAreAppendedWithLineBreaks) {
    Confirm();
    WriteLog(Doc, "Leave Some Out", 1, 1);
    WriteLog(Doc, "Row\t1\t0.5", 1, 1);
    EXPECT_EQ(ReadWholeFile(m_Log), "Leave Some Out\r\nRow\t1\t0.5\r\n");
    Doc.m_Logging = false;
    WriteLog(Doc, "not logged", 1, 1);
    EXPECT_EQ(ReadWholeFile(m_Log), "Leave Some Out\r\nRow\t1\t0.5\r\n");
}

TEST_F(LogFileTest, UnforcedLinesWaitForTheirMoment) {
    Confirm();
    // The Grid display is shown: lines go out once the next-log time has come.
    Doc.m_NextLogTime = P.Clock.GetTickCount() + 500;
    WriteLog(Doc, "early", 0, 1);
    P.Clock.Advance(500);
    WriteLog(Doc, "on time", 0, 1);
    EXPECT_EQ(ReadWholeFile(m_Log), "on time\r\n");

    // Another display: unforced lines never go out, the views redraw once a second.
    Doc.m_GridDisplayShown = false;
    const int before = P.Views.m_Refreshes;
    WriteLog(Doc, "a", 0, 1);
    WriteLog(Doc, "b", 0, 1);
    EXPECT_EQ(P.Views.m_Refreshes, before + 1);
    EXPECT_EQ(Doc.m_NextLogTime, P.Clock.GetTickCount() + 1000);
    P.Clock.Advance(1000);
    WriteLog(Doc, "c", 0, 1);
    EXPECT_EQ(P.Views.m_Refreshes, before + 2);
    // With update clear, the next-log time alone decides.
    WriteLog(Doc, "d", 0, 0);
    P.Clock.Advance(1000);
    WriteLog(Doc, "e", 0, 0);
    EXPECT_EQ(ReadWholeFile(m_Log), "on time\r\ne\r\n");
}

TEST_F(LogFileTest, AnUnconfirmedLogIsAskedForByTheFirstLine) {
    Doc.m_Logging = true;
    P.Prompts.QueueFile(m_Log);
    WriteLog(Doc, "first", 1, 1);
    EXPECT_TRUE(Doc.m_LogFileConfirmed);
    EXPECT_EQ(ReadWholeFile(m_Log), "first\r\n");
}

TEST_F(LogFileTest, ALogThatCannotBeOpenedSwitchesLoggingOff) {
    Confirm();
    Doc.m_LogFileName = m_Dir.File("gone/grid.lo.txt");
    WriteLog(Doc, "lost", 1, 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{
                                     "Unable to open the log file.\nLogging has been switched off."}));
    EXPECT_FALSE(Doc.m_Logging);
    EXPECT_FALSE(Doc.m_LogFileConfirmed);
}

TEST_F(LogFileTest, ViewLogOpensTheConfirmedFile) {
    EXPECT_FALSE(CanViewLog(Doc));
    EXPECT_EQ(OnViewLog(Doc), 0);
    Confirm();
    EXPECT_TRUE(CanViewLog(Doc));
    EXPECT_EQ(OnViewLog(Doc), 1);
    EXPECT_EQ(P.Shell.m_Opened, (std::vector<std::string>{m_Log}));
    P.Shell.m_Succeed = false;
    EXPECT_EQ(OnViewLog(Doc), 0);
    EXPECT_EQ(P.Prompts.LastText(), "The log file '" + m_Log + "' cannot be opened.");
}

TEST_F(LogFileTest, OpeningADocumentForgetsTheConfirmedLog) {
    Confirm();
    Doc.NewDocument();
    EXPECT_FALSE(Doc.m_Logging);
    EXPECT_FALSE(Doc.m_LogFileConfirmed);
}

}  // namespace
}  // namespace quorin::test
