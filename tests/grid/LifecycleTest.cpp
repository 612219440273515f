// New, open and close: what each leaves behind and when closing is refused.
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include "automation/ScriptRunner.h"

namespace quorin::test {
namespace {

class LifecycleTest : public DocTest {};

const char* const kFormatMessage =
    "\nmay not be in Quorin-plus format.\n\nTo load the file first create a new grid\n"
    "to enable the Import function.\n\n        File -> Import File";

TEST_F(LifecycleTest, OpenRefusesNamesNotEndingInLowerCaseTvq) {
    MakeGrid(2, 1, {1.0, 2.0});
    for (const std::string path : {"/data/grid.TVQ", "/data/grid.Tvq", "grid.tvq.bak",
                                   "/data/grid.txt", "tvq", ""}) {
        P.Prompts.Clear();
        EXPECT_EQ(Doc.OpenDocument(path, 1), 0) << path;
        ASSERT_EQ(P.Prompts.Messages().size(), 1u) << path;
        EXPECT_EQ(P.Prompts.LastText(), path + kFormatMessage);
        EXPECT_EQ(P.Prompts.Messages()[0].Buttons, EButtons::Ok);
    }
    // The refused file was never read: the document is as it was.
    EXPECT_EQ(Doc.m_Examples.size(), 2u);
}

TEST_F(LifecycleTest, AFileThatCannotBeReadLeavesAnEmptyDocument) {
    CTempDir dir;
    MakeGrid(2, 1, {1.0, 2.0});
    Doc.m_NetworkExists = 1;
    const std::string path = dir.File("absent.tvq");
    EXPECT_EQ(Doc.OpenDocument(path, 0), 0);
    ASSERT_EQ(P.Prompts.Messages().size(), 1u);
    EXPECT_NE(P.Prompts.LastText().find(path), std::string::npos);
    EXPECT_TRUE(Doc.m_Examples.empty());
    EXPECT_TRUE(Doc.m_InOuts.empty());
    EXPECT_EQ(Doc.m_RowCount, 0);
    EXPECT_EQ(Doc.m_ColCount, 0);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
}

TEST_F(LifecycleTest, ClosingIsRefusedWhileAnyThreadCalculates) {
    MakeGrid(2, 1, {1.0, 2.0});
    P.App->ThreadStarted();
    EXPECT_EQ(Doc.OnCloseDocument(), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "2 threads are still calculating.\n\nBefore closing the file make sure that\n"
              "learning and associating has stopped.");
    P.App->ThreadStarted();
    EXPECT_EQ(Doc.OnCloseDocument(), 0);
    EXPECT_EQ(P.Prompts.LastText().substr(0, 10), "3 threads ");
    EXPECT_EQ(Doc.m_Examples.size(), 2u);

    P.App->ThreadEnded();
    P.App->ThreadEnded();
    P.App->m_GettingStartedRunning = true;
    EXPECT_EQ(Doc.OnCloseDocument(), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "Please finish or cancel \"Getting Started\" before closing the file.");
    EXPECT_EQ(Doc.m_Examples.size(), 2u);

    P.App->m_GettingStartedRunning = false;
    P.Prompts.Clear();
    EXPECT_EQ(Doc.OnCloseDocument(), 1);
    EXPECT_TRUE(P.Prompts.Messages().empty());
    EXPECT_TRUE(Doc.m_Examples.empty());
}

TEST_F(LifecycleTest, ClosingClosesTheTraceFile) {
    CTempDir dir;
    const std::string trace = dir.File("trace.txt");
    WriteWholeFile(trace, "");
    P.App->TraceWriter().SetFileName(trace);
    P.App->SetDiagnosticLevels(1, 0, 1);
    P.App->Trace("Something");
    EXPECT_TRUE(P.App->TraceWriter().IsOpen());
    EXPECT_EQ(Doc.OnCloseDocument(), 1);
    EXPECT_FALSE(P.App->TraceWriter().IsOpen());
    EXPECT_EQ(ReadWholeFile(trace), "\r\n000000000  Something\r\n000000001  OnCloseDocument");
}

TEST_F(LifecycleTest, NewDocumentStartsFromTheDefaults) {
    MakeGrid(2, 2, {1, 2, 3, 4});
    Doc.m_NetworkExists = 1;
    Doc.m_MissingDataChoice = MissingAverage;
    Doc.m_ExamplePreset = 1;
    Doc.m_LearningRate = 3.0;
    Doc.m_OptimiseMomentum = 1;
    Doc.m_AutoSavePeriod = 7;
    Doc.m_LowestErrorSaved = 0.2;
    Doc.m_HighestValidatingSaved = 50.0;
    Doc.m_FileStatus = 9;
    Doc.m_Colours[InputLabelsColour] = 0;
    Doc.m_PathName = "/data/old.tvq";
    P.App->m_WarningLevel = 3;
    P.App->m_DiagnosticLevel = 4;
    P.App->m_TraceLevel = 0;

    ASSERT_EQ(Doc.NewDocument(), 1);
    EXPECT_TRUE(Doc.m_Examples.empty());
    EXPECT_TRUE(Doc.m_InOuts.empty());
    EXPECT_EQ(Doc.m_RowCount, 0);
    EXPECT_EQ(Doc.m_ColCount, 0);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingMedian);
    EXPECT_EQ(Doc.m_ExamplePreset, 4);
    EXPECT_EQ(Doc.m_LearningRate, 0.6);
    EXPECT_EQ(Doc.m_OptimiseMomentum, 0);
    EXPECT_EQ(Doc.m_AutoSavePeriod, 100);
    EXPECT_EQ(Doc.m_LowestErrorSaved, 1.0);
    EXPECT_EQ(Doc.m_HighestValidatingSaved, -1.0);
    EXPECT_EQ(Doc.m_FileStatus, 11);
    EXPECT_EQ(Doc.m_Colours[InputLabelsColour], MakeColour(0, 0, 255));
    EXPECT_EQ(Doc.m_Colours[NegativeWeightsColour], 0x003232FFu);
    EXPECT_EQ(Doc.m_UpperLimit, 1.0);
    EXPECT_EQ(Doc.m_LowerLimit, 0.0);
    EXPECT_EQ(Doc.m_Middle, 0.5);
    EXPECT_TRUE(Doc.m_PathName.empty());
    EXPECT_FALSE(Doc.IsModified());
    EXPECT_TRUE(Doc.m_ViewsMayRedraw);
    EXPECT_EQ(P.App->m_WarningLevel, 1);
    EXPECT_EQ(P.App->m_DiagnosticLevel, 0);
    EXPECT_EQ(P.App->m_TraceLevel, 0);
    EXPECT_TRUE(P.Prompts.Messages().empty());
}

TEST_F(LifecycleTest, NewDocumentSwitchesTracingOffQuietly) {
    CTempDir dir;
    const std::string trace = dir.File("trace.txt");
    WriteWholeFile(trace, "");
    P.App->TraceWriter().SetFileName(trace);
    P.App->SetDiagnosticLevels(1, 2, 1);
    P.App->Trace("Before");
    ASSERT_EQ(Doc.NewDocument(), 1);
    EXPECT_EQ(P.App->m_TraceLevel, 0);
    EXPECT_FALSE(P.App->TraceWriter().IsOpen());
    Doc.AddCol(0, 0, 1);  // not traced any more
    EXPECT_EQ(ReadWholeFile(trace),
              "\r\n000000000  Before\r\n000000001  NewDocument\r\n000000002  DeleteContents"
              "\r\n000000003  SetDefaults\r\n000000004  InitDocument");
    EXPECT_TRUE(P.Prompts.Messages().empty());
}

TEST_F(LifecycleTest, APendingScriptRunsOnceOnTheDocumentTheShellMade) {
    CTempDir dir;
    P.App->m_PendingScript = dir.File("absent-script.txt");
    P.App->m_ScriptRunning = true;  // as the command line leaves it: no Script File tip
    ASSERT_EQ(Doc.NewDocument(), 1);
    EXPECT_FALSE(P.App->m_PendingScript.empty());  // the document itself runs nothing
    RunPendingScript(Doc);
    EXPECT_TRUE(P.App->m_PendingScript.empty());
    const size_t shown = P.Prompts.Messages().size();
    EXPECT_GE(shown, 1u);  // the missing script is reported
    RunPendingScript(Doc);
    EXPECT_EQ(P.Prompts.Messages().size(), shown);  // and not run again
}

TEST_F(LifecycleTest, InitDocumentRefreshesCountsRangesAndWorkingFields) {
    MakeGrid(3, 2, {1, 5, 2, 6, 3, 7});
    Doc.SetExampleError(1, 0.7);
    Doc.m_InOuts[0].AssociatedColumn = 1;
    Doc.m_InOuts[1].Lock = 1;
    Doc.m_InOuts[1].HighValue = 99.0;
    Doc.m_Examples.pop_back();  // as a reader leaves it: lists filled, caches stale
    for (auto& ex : Doc.m_Examples) std::ranges::fill(ex.NormalisedValues(), 0.25);
    Doc.InitDocument();
    EXPECT_EQ(Doc.m_RowCount, 2);
    EXPECT_EQ(Doc.m_ColCount, 2);
    EXPECT_EQ(Doc.ExampleError(1), 0.0);
    EXPECT_EQ(Doc.m_InOuts[0].AssociatedColumn, -1);
    EXPECT_EQ(Doc.m_InOuts[1].Lock, 0);
    EXPECT_EQ(Doc.m_InOuts[1].HighValue, 6.0);
    EXPECT_EQ(Doc.m_InOuts[1].LowValue, 5.0);
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues()[0], 0.25);  // values are not normalised here
    EXPECT_EQ(Doc.m_NextLogTime, P.Clock.GetTickCount());
}

TEST_F(LifecycleTest, ColumnCountFollowsTheFirstRow) {
    EXPECT_EQ(Doc.m_RowCount, 0);
    EXPECT_EQ(Doc.m_ColCount, 0);
    Doc.AddRow(0, Training, 0, 1);
    Doc.SetColCount();
    EXPECT_EQ(Doc.m_ColCount, 0);  // rows without columns
    Doc.AddCol(0, 0, 1);
    Doc.SetRowCount();
    Doc.SetColCount();
    EXPECT_EQ(Doc.m_RowCount, 1);
    EXPECT_EQ(Doc.m_ColCount, 1);
}

}  // namespace
}  // namespace quorin::test
