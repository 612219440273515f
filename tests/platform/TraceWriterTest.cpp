// The numbered trace file: format, rotation, several writers, open failures.
#include <thread>

#include "platform/StringFormat.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

std::string Line(long long number, const std::string& text) {
    return Format("\r\n%.9lld  %s", number, text.c_str());
}

class TraceWriterTest : public ::testing::Test {
protected:
    TraceWriterTest() : m_Path(m_Dir.File("trace.txt")) {
        m_Writer.SetFileName(m_Path);
        EXPECT_TRUE(m_Writer.CreateFile());
    }
    CTempDir m_Dir;
    std::string m_Path;
    CTraceWriter m_Writer;
};

TEST_F(TraceWriterTest, LinesAreNumberedFromZeroWithABreakBeforeEach) {
    WriteWholeFile(m_Path, "old content");
    ASSERT_TRUE(m_Writer.CreateFile());  // empties an existing file
    EXPECT_EQ(ReadWholeFile(m_Path), "");
    EXPECT_EQ(m_Writer.Write("Diagnostic Levels.  W: 1  D: 0  T: 1"),
              CTraceWriter::EResult::Written);
    EXPECT_TRUE(m_Writer.IsOpen());
    m_Writer.Write("SetValue   Col 0 Row 1");
    m_Writer.Write("");
    EXPECT_EQ(ReadWholeFile(m_Path), "\r\n000000000  Diagnostic Levels.  W: 1  D: 0  T: 1"
                                     "\r\n000000001  SetValue   Col 0 Row 1"
                                     "\r\n000000002  ");
    EXPECT_EQ(m_Writer.LineCounter(), 3);
}

TEST_F(TraceWriterTest, EveryTenThousandthLineRewritesTheFileWithTheLast1001Texts) {
    for (int i = 0; i < 9999; ++i) m_Writer.Write("L" + std::to_string(i));
    std::string content = ReadWholeFile(m_Path);
    EXPECT_EQ(content.substr(0, 15), Line(0, "L0"));
    EXPECT_EQ(content.substr(content.size() - Line(9998, "L9998").size()), Line(9998, "L9998"));

    m_Writer.Write("L9999");  // the counter reaches 10000
    std::string expected;
    for (int i = 0; i <= 1000; ++i) expected += Line(10000 + i, "L" + std::to_string(8999 + i));
    EXPECT_EQ(ReadWholeFile(m_Path), expected);
    EXPECT_EQ(m_Writer.LineCounter(), 11001);
    EXPECT_EQ(m_Writer.RecentLines().size(), 1001u);
    EXPECT_EQ(m_Writer.RecentLines().front(), "L8999");

    m_Writer.Write("next");
    expected += Line(11001, "next");
    EXPECT_EQ(ReadWholeFile(m_Path), expected);

    // The next multiple: 8998 more lines bring the counter to 20000.
    for (int i = 0; i < 8998; ++i) m_Writer.Write("M" + std::to_string(i));
    EXPECT_EQ(m_Writer.LineCounter(), 21001);
    expected.clear();
    for (int i = 0; i <= 1000; ++i) expected += Line(20000 + i, "M" + std::to_string(7997 + i));
    EXPECT_EQ(ReadWholeFile(m_Path), expected);
}

TEST_F(TraceWriterTest, ConcurrentWritersNeverSplitALine) {
    constexpr int kThreads = 4;
    constexpr int kLines = 1500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < kLines; ++i)
                m_Writer.Write(Format("Thread %d line %d with some padding text", t, i));
        });
    for (auto& th : threads) th.join();

    const std::string content = ReadWholeFile(m_Path);
    std::vector<int> nextOfThread(kThreads, 0);
    size_t pos = 0;
    int number = 0;
    while (pos < content.size()) {
        ASSERT_EQ(content.compare(pos, 2, "\r\n"), 0) << "at byte " << pos;
        const size_t end = content.find("\r\n", pos + 2);
        const std::string line = content.substr(pos + 2, end - pos - 2);
        ASSERT_EQ(line.substr(0, 11), Format("%.9d  ", number)) << line;
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line.c_str() + 11, "Thread %d line %d", &t, &i), 2) << line;
        ASSERT_TRUE(t >= 0 && t < kThreads);
        EXPECT_EQ(i, nextOfThread[t]++);  // each thread's lines in its own order
        ++number;
        pos = end == std::string::npos ? content.size() : end;
    }
    EXPECT_EQ(number, kThreads * kLines);
}

TEST_F(TraceWriterTest, AMissingFileFailsTheFirstLineAndIsNotCreated) {
    const std::string absent = m_Dir.File("absent.txt");
    m_Writer.SetFileName(absent);
    EXPECT_EQ(m_Writer.Write("first"), CTraceWriter::EResult::OpenFailed);
    EXPECT_FALSE(m_Writer.IsOpen());
    EXPECT_EQ(m_Writer.LineCounter(), 1);
    EXPECT_FALSE(std::filesystem::exists(absent));
    // Later lines keep their numbers but go nowhere.
    EXPECT_EQ(m_Writer.Write("second"), CTraceWriter::EResult::Written);
    EXPECT_EQ(m_Writer.LineCounter(), 2);
    EXPECT_FALSE(std::filesystem::exists(absent));
}

TEST_F(TraceWriterTest, AClosedFileTakesNoLinesUntilTheCounterStartsAgain) {
    m_Writer.Write("a");
    m_Writer.Close();
    m_Writer.Write("lost");
    EXPECT_EQ(ReadWholeFile(m_Path), Line(0, "a"));
    m_Writer.ResetLineCounter();
    m_Writer.Write("b");  // numbered from 0 again, at the end of the existing file
    EXPECT_EQ(ReadWholeFile(m_Path), Line(0, "a") + Line(0, "b"));
}

class AppTraceTest : public ::testing::Test {
protected:
    CTestPlatform P;
    CTempDir m_Dir;
};

TEST_F(AppTraceTest, TheApplicationWritesOnlyWhileTheTraceLevelIsSet) {
    const std::string path = m_Dir.File("t.txt");
    WriteWholeFile(path, "");
    P.App->TraceWriter().SetFileName(path);
    P.App->Trace("Off %d", 1);
    EXPECT_EQ(P.App->TraceWriter().LineCounter(), 0);
    P.App->SetDiagnosticLevels(1, 0, 2);
    P.App->Trace("SetValue   Col %d Row %d Value %.4lf", 2, 3, 0.5);
    EXPECT_EQ(ReadWholeFile(path), Line(0, "SetValue   Col 2 Row 3 Value 0.5000"));
}

TEST_F(AppTraceTest, AFailedOpenIsReportedOnceAndEndsTracing) {
    P.App->TraceWriter().SetFileName(m_Dir.File("absent.txt"));
    P.App->SetDiagnosticLevels(1, 0, 1);
    P.App->Trace("First");
    P.App->Trace("Second");
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Unable to open the trace file."}));
    EXPECT_EQ(P.App->m_TraceLevel, 0);
    EXPECT_FALSE(std::filesystem::exists(m_Dir.File("absent.txt")));
}

}  // namespace
}  // namespace quorin::test
