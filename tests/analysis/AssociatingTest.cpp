#include <filesystem>
#include <thread>

#include "analysis/Associating.h"
#include "analysis/AssociationLists.h"
#include "analysis/AssociationFile.h"
#include "automation/ScriptRunner.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/NetworkCommands.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class AssociatingTest : public DocTest {
protected:
    // Column 1 follows column 0, column 2 is noise-like, column 3 copies column 0.
    void MakeAssociationGrid(int rows = 8) {
        std::vector<double> v;
        for (int r = 0; r < rows; ++r) {
            const double x = r;
            v.insert(v.end(), {x, 2 * x + 1, (r * 7) % 5 * 1.0, x});
        }
        MakeGrid(rows, 4, v, {0, 0, 1, 0});
        Doc.m_InOuts[3].InOutType = ExcludedCol;
        Doc.m_PathName = Dir.File("grid.tvq");
    }
    CTempDir Dir;
};

TEST(AssociatingCycles, PerColumnIsTotalOverCellsAtLeastTwenty) {
    EXPECT_EQ(AssociatingCyclesPerColumn(2000, 10, 10), 20);
    EXPECT_EQ(AssociatingCyclesPerColumn(2000, 4, 5), 100);
    EXPECT_EQ(AssociatingCyclesPerColumn(2000, 100, 10), 20);
    EXPECT_EQ(AssociatingCyclesPerColumn(2000, 0, 0), 2000);
}

TEST_F(AssociatingTest, EqualSumsKeepTheFirstColumnAndZeroSumsNoWinner) {
    MakeAssociationGrid();
    for (CInOut& io : Doc.m_InOuts) io.InOutType = Input;
    EXPECT_EQ(HighestSumColumn(Doc, 0, {9.0, 2.0, 2.0, 1.0}), 1);
    EXPECT_EQ(HighestSumColumn(Doc, 3, {2.0, 2.0, 1.0, 9.0}), 0);
    EXPECT_EQ(HighestSumColumn(Doc, 0, {0.0, 0.0, 0.0, 0.0}), -1);
}

TEST_F(AssociatingTest, RunRecordsOneAssociationPerColumnAndRestoresTypes) {
    MakeAssociationGrid();
    AssociatingThread(Doc, 2000);
    ASSERT_EQ(Doc.m_Associations.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(Doc.m_Associations[k].FromCol, k);
        EXPECT_NE(Doc.m_Associations[k].ToCol, k);
        EXPECT_GT(Doc.m_Associations[k].Strength, 0.0);
    }
    EXPECT_EQ(Doc.m_InOuts[0].InOutType, Input);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[3].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
    EXPECT_EQ(Doc.m_Status, StatusStopped);
    EXPECT_FALSE(Doc.m_Associating);
    EXPECT_EQ(P.App->ThreadCount(), 1);
    const auto progress = P.Views.Progress();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().Count, 4);
    EXPECT_EQ(progress.back().Status, StatusNotAssociating);
    EXPECT_EQ(progress.front().Status, StatusAssociating);
    // Same data, same seed: a second run finds the same strengths.
    const auto first = Doc.m_Associations;
    AssociatingThread(Doc, 2000);
    ASSERT_EQ(Doc.m_Associations.size(), 4u);
    EXPECT_EQ(Doc.m_Associations[1].Strength, first[1].Strength);
}

TEST_F(AssociatingTest, StopRequestEndsAtTheColumnBoundaryAndRestoresTypes) {
    MakeAssociationGrid();
    P.App->RequestStopAll(true);
    AssociatingThread(Doc, 2000);
    EXPECT_EQ(Doc.m_Associations.size(), 1u);  // the column under way finishes
    EXPECT_FALSE(P.App->StopAllRequested());
    EXPECT_TRUE(Doc.m_AssociatingStopped);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[3].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_Status, StatusStopped);
}

TEST_F(AssociatingTest, FileGetsTheHeaderOnceAndOneLinePerAssociation) {
    MakeAssociationGrid();
    Doc.m_InOuts[1].InOutName = "a rather long column name that is cut";
    const std::string file = Dir.File("grid.as.txt");
    ASSERT_TRUE(UseAssociationsFile(Doc, file));
    AssociatingThread(Doc, 2000);
    AssociatingThread(Doc, 2000);
    const std::string text = ReadWholeFile(file);
    const std::string header = "\r\n" + Doc.m_PathName +
                               "   Associations\r\n\r\n             Associated Columns        "
                               "                                   Strength\r\n\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.find("Associations\r\n", header.size()), std::string::npos);
    int lines = 0;
    for (size_t at = header.size(); (at = text.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 8);
    const std::string line = text.substr(header.size(), text.find("\r\n", header.size()) - header.size());
    EXPECT_EQ(line.substr(0, 35), AssociationFileField(0, ""));
    EXPECT_EQ(AssociationFileField(1, "a rather long column name that is cut"),
              "1 \"a rather long column nam...     ");
    EXPECT_EQ(AssociationFileField(2, "x"), "2 \"x\"" + std::string(30, ' '));
}

TEST_F(AssociatingTest, AFileThatCannotBeReopenedStopsSavingAndTheRunGoesOn) {
    MakeAssociationGrid();
    const std::string file = Dir.File("grid.as.txt");
    ASSERT_TRUE(UseAssociationsFile(Doc, file));
    std::filesystem::remove(file);
    AssociatingThread(Doc, 2000);
    EXPECT_EQ(Doc.m_Associations.size(), 4u);
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"Could not open file.\n\nAssociations Auto Save has stopped"});
    EXPECT_FALSE(AssociationsFileConfirmed(Doc));
    EXPECT_EQ(Doc.m_AutoSaveFlags & 0x80, 0);
}

TEST_F(AssociatingTest, CommandAsksBothQuestionsAndCancellingStartsNothing) {
    MakeAssociationGrid();
    Doc.m_NetworkExists = 1;
    Doc.m_FileStatus = 5;
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueAnswer(IdNo);
    OnActionStartAssociating(Doc);
    EXPECT_FALSE(Doc.m_Associating);
    EXPECT_EQ(Doc.m_FileStatus, 5);
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueDialogCancel();
    OnActionStartAssociating(Doc);
    EXPECT_EQ(Doc.m_FileStatus, 10);
    EXPECT_FALSE(Doc.m_Associating);
    EXPECT_EQ(P.App->ThreadCount(), 1);
    EXPECT_TRUE(Doc.m_Associations.empty());
}

TEST_F(AssociatingTest, CommandIsRefusedWhileAWorkerRunsAndForSmallGrids) {
    MakeAssociationGrid();
    EXPECT_TRUE(CanStartAssociating(Doc));
    Doc.m_Learning = true;
    EXPECT_FALSE(CanStartAssociating(Doc));
    EXPECT_EQ(StartAssociating(Doc), 0);
    Doc.m_Learning = false;
    Doc.m_Associating = true;
    EXPECT_FALSE(CanStartAssociating(Doc));
    EXPECT_FALSE(CanNewNetwork(Doc));
    EXPECT_FALSE(CanEditGrid(Doc));
    EXPECT_EQ(StartLearning(Doc, 0), 0);
    Doc.m_Associating = false;
    for (int r = 1; r < 8; ++r) Doc.SetExampleType(r, Querying);
    EXPECT_FALSE(CanStartAssociating(Doc));
}

// Start, stop and close in a race with the views reading the lists; run under TSan.
TEST_F(AssociatingTest, StartStopAndCloseRaceWithTheDisplays) {
    MakeAssociationGrid(12);
    for (int round = 0; round < 3; ++round) {
        // Long enough a run that it is still going when the second start comes.
        ASSERT_EQ(StartAssociating(Doc, 200000), 1);
        EXPECT_EQ(StartAssociating(Doc), 0);  // one worker per document
        EXPECT_EQ(StartLearning(Doc, 0), 0);
        for (int i = 0; i < 20 && Doc.m_Associating; ++i) {
            const CAssociationSnapshot s = TakeAssociationSnapshot(Doc);
            AssociationsList(s);
            ClustersList(s);
            std::this_thread::yield();
        }
        if (round < 2) Stop(Doc);
        if (round == 2) EndAssociatingThread(Doc);
        WaitForAssociating(Doc);
        EXPECT_EQ(P.App->ThreadCount(), 1);
        EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    }
    ASSERT_EQ(StartAssociating(Doc), 1);  // the destructor joins this one
}

// ---- the displays' lines ----

CAssociationSnapshot Hand(std::vector<CAssociation> list, int count, int columns) {
    CAssociationSnapshot s;
    s.Path = "/d/g.tvq";
    s.Associations = std::move(list);
    for (int c = 0; c < columns; ++c) s.ColumnNames.push_back("c" + std::to_string(c));
    s.AssociationCount = count;
    s.ColumnCount = columns;
    return s;
}

TEST(AssociationLists, SortedByInsertionWithoutZeroStrengths) {
    const auto sorted = SortedAssociations(
        {{0, 1, 0.5, 0}, {1, 0, 0.9, 0}, {2, 0, 0.5, 0}, {3, 1, 0.0, 0}, {4, 2, 0.7, 0}});
    ASSERT_EQ(sorted.size(), 4u);
    EXPECT_EQ(sorted[0].FromCol, 1);
    EXPECT_EQ(sorted[1].FromCol, 4);
    EXPECT_EQ(sorted[2].FromCol, 0);  // equal strengths keep their order
    EXPECT_EQ(sorted[3].FromCol, 2);
    EXPECT_EQ(AssociationColumnText(3, {"a", "b", "c", "x"}), "3      x");
    EXPECT_EQ(AssociationColumnText(12, {std::string(12, 'n') + std::string(30, 'z')}).size(), 7u);
    std::vector<std::string> names(13, std::string(40, 'q'));
    EXPECT_EQ(AssociationColumnText(12, names), "12     " + std::string(24, 'q') + "...");
}

TEST(AssociationLists, HeadingsFollowTheRunState) {
    auto s = Hand({{0, 1, 0.5, 0}, {1, 0, 0.9, 0}}, 2, 2);
    auto d = AssociationsList(s);
    ASSERT_EQ(d.Headings.size(), 3u);
    EXPECT_EQ(d.Headings[0], "The strongest associations found in /d/g.tvq");
    EXPECT_EQ(d.Headings[1], "List of up to 2 associations in 2 columns. The list is finished.");
    EXPECT_EQ(d.Headings[2], "The last association found was for column number 1 named \"c1\".");
    EXPECT_EQ(d.ColumnTitles, (std::vector<std::string>{"Associated columns", "Strength"}));
    EXPECT_EQ(d.Entries[0].Strength, "0.900000");
    s.Running = true;
    s.AssociationCount = 1;
    s.ColumnNames[1].clear();
    d = AssociationsList(s);
    EXPECT_EQ(d.Headings[1],
              "Listing up to 1 associations in 2 columns. Some stronger associations may be found.");
    EXPECT_EQ(d.Headings[2], "The last association found was for column number 1 .");
    EXPECT_TRUE(d.ColumnTitles.empty());
    s.Running = false;
    s.Stopped = true;
    d = ClustersList(s);
    EXPECT_EQ(d.Headings[0], "The clusters found in /d/g.tvq");
    EXPECT_EQ(d.Headings[1],
              "Stopped listing up to 1 clusters from 2 columns. Some more clusters may be found.");
    EXPECT_EQ(d.Headings[2], "The last cluster found starts with column number 1 .");
    EXPECT_EQ(d.ColumnTitles, (std::vector<std::string>{"Clusters", "Strength"}));
}

TEST(AssociationLists, ClustersChainUntilNoContinuationOrACycle) {
    // 0->1 (0.9), 1->2 (0.8), 2->1 (0.7), 3->0 (0.6), 4->4 (0.5: its own associate)
    const auto s =
        Hand({{0, 1, 0.9, 0}, {1, 2, 0.8, 0}, {2, 1, 0.7, 0}, {3, 0, 0.6, 0}, {4, 4, 0.5, 0}}, 5, 5);
    const auto d = ClustersList(s);
    ASSERT_EQ(d.Clusters.size(), 5u);
    auto from = [](const std::vector<CAssociationEntry>& c) {
        std::string f;
        for (const auto& e : c) f += e.From.substr(0, 1);
        return f;
    };
    EXPECT_EQ(from(d.Clusters[0]), "012");  // 2->1 continues; then 1->2 repeats 0.8: stop
    EXPECT_EQ(from(d.Clusters[1]), "12");   // 2->1 added, 1->2 is the first entry again
    EXPECT_EQ(from(d.Clusters[2]), "21");
    EXPECT_EQ(from(d.Clusters[3]), "3012");
    EXPECT_EQ(from(d.Clusters[4]), "4");
}

}  // namespace
}  // namespace quorin::test

namespace quorin::test {
namespace {

TEST_F(AssociatingTest, ScriptKeywordRunsToTheEndAndWritesTheFile) {
    MakeAssociationGrid();
    const std::string script = Dir.File("run.txt");
    const std::string out = Dir.File("found.as.txt");
    WriteWholeFile(script, "asc(" + out + ")\r\n");
    P.App->m_ScriptRunning = true;
    CScriptRunner runner(Doc);
    EXPECT_EQ(runner.RunScriptFile(script), ScriptCompleted);
    EXPECT_FALSE(Doc.m_Associating);
    EXPECT_EQ(Doc.m_Associations.size(), 4u);
    const std::string text = ReadWholeFile(out);
    EXPECT_NE(text.find("   Associations\r\n"), std::string::npos);
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorin::test
