// The F12 and F11 keys: the dialog, the trace file and the reset.
#include "files/Diagnostics.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class DiagnosticsTest : public DocTest {
protected:
    ~DiagnosticsTest() override { P.App->m_TraceLevel = 0; }  // never trace into the cwd
    void QueueLevels(int w, int d, int t) {
        P.Prompts.QueueDialogOk([=](CDialogForm& form) {
            form.Field("Warning").IntValue = w;
            form.Field("Diagnostic").IntValue = d;
            form.Field("Trace").IntValue = t;
        });
    }
    CTempDir m_Dir;
};

TEST_F(DiagnosticsTest, F12AsksForLevelsAndStartsANumberedTraceFile) {
    P.App->m_WarningLevel = 3;
    P.App->m_DiagnosticLevel = 2;
    const std::string path = m_Dir.File("mytrace.txt");
    WriteWholeFile(path, "stale lines");
    QueueLevels(2, 3, 1);
    P.Prompts.QueueFile(path);

    EXPECT_EQ(OnDiagnostics(Doc), 1);

    const auto dialogs = P.Prompts.Dialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].Title, "Diagnostics");
    const auto& fields = dialogs[0].Fields;
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].Label, "&Warning level");
    EXPECT_EQ(fields[1].Label, "&Diagnostic level");
    EXPECT_EQ(fields[2].Label, "&Trace level");
    const auto files = P.Prompts.FileRequests();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].Save);
    EXPECT_EQ(files[0].Title, "Open trace file");
    EXPECT_EQ(files[0].DefaultExt, "txt");
    EXPECT_EQ(files[0].FileName, "qrntrace.txt");
    EXPECT_TRUE(files[0].OverwritePrompt);

    EXPECT_EQ(P.App->m_WarningLevel, 2);
    EXPECT_EQ(P.App->m_DiagnosticLevel, 3);
    EXPECT_EQ(P.App->m_TraceLevel, 1);
    EXPECT_TRUE(P.Prompts.Messages().empty());
    EXPECT_EQ(ReadWholeFile(path), "\r\n000000000  Diagnostic Levels.  W: 2  D: 3  T: 1");
    Doc.CanValidate();
    EXPECT_EQ(ReadWholeFile(path),
              "\r\n000000000  Diagnostic Levels.  W: 2  D: 3  T: 1\r\n000000001  CanValidate");
}

TEST_F(DiagnosticsTest, TheDialogShowsWarningLevelOneAndTheCurrentLevels) {
    P.App->m_WarningLevel = 4;
    P.App->m_DiagnosticLevel = 3;
    P.App->m_TraceLevel = 0;
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(OnDiagnostics(Doc), 0);
    const auto form = P.Prompts.Dialogs().at(0);
    EXPECT_EQ(form.Int("Warning"), 1);
    EXPECT_EQ(form.Int("Diagnostic"), 3);
    EXPECT_EQ(form.Int("Trace"), 0);
    EXPECT_EQ(P.App->m_WarningLevel, 4);  // cancelled: nothing changes
}

TEST_F(DiagnosticsTest, F12ClosesTheOpenTraceEvenWhenCancelled) {
    const std::string path = m_Dir.File("t.txt");
    QueueLevels(1, 0, 1);
    P.Prompts.QueueFile(path);
    OnDiagnostics(Doc);
    ASSERT_TRUE(P.App->TraceWriter().IsOpen());
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(OnDiagnostics(Doc), 0);
    EXPECT_FALSE(P.App->TraceWriter().IsOpen());
    EXPECT_EQ(P.App->m_TraceLevel, 1);
}

TEST_F(DiagnosticsTest, TraceLevelZeroAsksForNoFile) {
    P.App->m_TraceLevel = 2;
    QueueLevels(1, 4, 0);
    EXPECT_EQ(OnDiagnostics(Doc), 1);
    EXPECT_TRUE(P.Prompts.FileRequests().empty());
    EXPECT_EQ(P.App->m_DiagnosticLevel, 4);
    EXPECT_EQ(P.App->m_TraceLevel, 0);
}

TEST_F(DiagnosticsTest, EntriesBeyondTheLimitsAreHeldToThem) {
    QueueLevels(50, -2, -3);
    EXPECT_EQ(OnDiagnostics(Doc), 1);
    EXPECT_EQ(P.App->m_WarningLevel, kHighestDiagnosticLevel);
    EXPECT_EQ(P.App->m_DiagnosticLevel, 0);
    EXPECT_EQ(P.App->m_TraceLevel, 0);  // no tracing without a file
    EXPECT_TRUE(P.Prompts.FileRequests().empty());
}

TEST_F(DiagnosticsTest, ACancelledFileDialogKeepsTracingOnTheDefaultName) {
    QueueLevels(1, 0, 1);
    P.Prompts.QueueFile(std::nullopt);
    EXPECT_EQ(OnDiagnostics(Doc), 1);
    EXPECT_EQ(P.App->m_TraceLevel, 1);
    EXPECT_EQ(P.App->TraceWriter().FileName(), "qrntrace.txt");
    EXPECT_EQ(P.App->TraceWriter().LineCounter(), 0);
    EXPECT_TRUE(P.Prompts.Messages().empty());
}

TEST_F(DiagnosticsTest, AFileThatCannotBeCreatedIsReported) {
    QueueLevels(1, 0, 2);
    P.Prompts.QueueFile(m_Dir.File("no-such-dir/trace.txt"));
    EXPECT_EQ(OnDiagnostics(Doc), 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Unable to create the trace file."}));
    EXPECT_EQ(P.App->m_TraceLevel, 2);  // as entered
    // The next line cannot open the file either: reported once, and tracing ends.
    Doc.CanValidate();
    Doc.CanValidate();
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Unable to create the trace file.",
                                                           "Unable to open the trace file."}));
    EXPECT_EQ(P.App->m_TraceLevel, 0);
}

TEST_F(DiagnosticsTest, F11ResetsTheLevelsAndEndsTheTrace) {
    const std::string path = m_Dir.File("t.txt");
    QueueLevels(2, 1, 3);
    P.Prompts.QueueFile(path);
    OnDiagnostics(Doc);
    EXPECT_EQ(OnDiagnosticsReset(Doc), 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Diagnostics reset."}));
    EXPECT_EQ(P.App->m_WarningLevel, 1);
    EXPECT_EQ(P.App->m_DiagnosticLevel, 0);
    EXPECT_EQ(P.App->m_TraceLevel, 0);
    EXPECT_FALSE(P.App->TraceWriter().IsOpen());
    EXPECT_EQ(ReadWholeFile(path), "\r\n000000000  Diagnostic Levels.  W: 2  D: 1  T: 3"
                                   "\r\n000000001  Diagnostic Levels.  W: 1  D: 0  T: 0");

    // Without an open trace file there is only the message.
    P.Prompts.Clear();
    EXPECT_EQ(OnDiagnosticsReset(Doc), 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Diagnostics reset."}));
}

TEST_F(DiagnosticsTest, BothKeysAreIgnoredWhileLearning) {
    P.App->m_DiagnosticLevel = 4;
    Doc.m_Learning = true;
    EXPECT_EQ(OnDiagnostics(Doc), 0);  // no dialog: an unexpected one would fail the test
    EXPECT_EQ(OnDiagnosticsReset(Doc), 0);
    EXPECT_TRUE(P.Prompts.Messages().empty());
    EXPECT_EQ(P.App->m_DiagnosticLevel, 4);
    Doc.m_Learning = false;
}

}  // namespace
}  // namespace quorin::test
