#include "analysis/FileQuery.h"
#include "analysis/QueryRows.h"
#include "analysis/QuerySession.h"
#include "analysis/Querying.h"
#include "automation/ScriptQuery.h"
#include "coding/ValueText.h"
#include "network/LearningFixture.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

// Two inputs (an Integer one over 2.0..5.9 and a Real one over 0..10) and a Real output;
// the output grows with the first input only.
class QuerySessionTest : public LearningTest {
protected:
    void SetUp() override {
        MakeGrid(3, 3, {2.0, 0.0, 0.0, 5.9, 10.0, 1.0, 3.0, 5.0, 0.5}, {Input, Input, Output});
        Doc.SetInOutTypeAndMode(0, Input, Integer);
        Doc.SetInOutName(0, "n");
        Doc.SetInOutName(1, "x");
        Doc.SetInOutName(2, "y");
        Doc.RenormaliseAll(1);
        BuildNetwork(0);
        FreezeAtMiddle();
        for (CWeight& w : Doc.m_Weights)
            if (w.FromNode == 0) w.Weight = 3.0;
        Doc.AddRow(0, Querying, 0, 1);
        Doc.SetExampleName(3, "ask", 1);
        Doc.SetValue(0, 3, 3.0, 0, 1, 1, 1);
        Doc.SetValue(1, 3, 4.0, 0, 1, 1, 1);
    }
    double Cell(int col) const { return Doc.m_Examples[3].Values()[col]; }
    CTempDir Dir;
};

TEST_F(QuerySessionTest, OpeningShowsTheFirstQueryingRowAndMovesStopAtTheEnds) {
    CQuerySession q(Doc);
    q.Open();
    EXPECT_EQ(q.IndexText(), "3");
    EXPECT_EQ(q.NameText(), "ask");
    EXPECT_EQ(q.TypeText(), "querying");
    EXPECT_EQ(q.LockMarks(), (std::vector<std::string>{" ", " "}));
    EXPECT_EQ(q.InputValues(), (std::vector<std::string>{"3", "4.0000"}));
    EXPECT_TRUE(q.ValueButtonsEnabled());
    // Moving past the last example keeps it shown but disables the value buttons.
    q.Next();
    EXPECT_EQ(q.IndexText(), "3");
    EXPECT_FALSE(q.ValueButtonsEnabled());
    q.Previous();
    EXPECT_EQ(q.CurrentExample(), 3);
    EXPECT_TRUE(q.ValueButtonsEnabled());
    q.SetTypes(true, false, false);
    q.First();
    EXPECT_EQ(q.TypeText(), "training");
    EXPECT_EQ(q.CurrentExample(), 0);
    q.Previous();
    EXPECT_EQ(q.CurrentExample(), -1);
    EXPECT_EQ(q.IndexText(), "0");
    q.Last();
    EXPECT_EQ(q.CurrentExample(), 2);
    q.SetShowReal(true);
    EXPECT_EQ(q.InputValues()[0], "3.000000");
    q.Close();
}

TEST_F(QuerySessionTest, StepsStayInRangeAndLockedInputsNeverChange) {
    CQuerySession q(Doc);
    q.Open();
    q.SelectInput(0);
    EXPECT_EQ(q.Grain(), 3);  // the truncated range 5 - 2
    EXPECT_EQ(q.ValueText(), "3");
    q.Press(CQuerySession::Max);
    EXPECT_EQ(Cell(0), 5.9);
    q.Press(CQuerySession::Increase);
    EXPECT_EQ(Cell(0), 5.9);
    q.Press(CQuerySession::Min);
    q.Press(CQuerySession::Decrease);
    EXPECT_EQ(Cell(0), 2.0);
    q.SetValueText("4.5");
    q.Press(CQuerySession::Set);
    EXPECT_EQ(Cell(0), 4.5);

    q.LockListSelected(0);
    EXPECT_EQ(q.LockMarks()[0], " -->");
    q.Press(CQuerySession::Max);
    q.SelectOutput(0);
    q.SeekHigh();
    EXPECT_EQ(Cell(0), 4.5);
    q.ToggleCycle();  // every unlocked input to its minimum
    EXPECT_EQ(Cell(0), 4.5);
    EXPECT_EQ(Cell(1), 0.0);
    for (int pass = 0; pass < 1000 && q.Cycling(); ++pass) q.CyclePass();
    EXPECT_FALSE(q.Cycling());
    EXPECT_EQ(Cell(0), 4.5);
    q.Close();
}

TEST_F(QuerySessionTest, SeeksFindTheHighestAndLowestOutput) {
    CQuerySession q(Doc);
    q.Open();
    q.SelectInput(0);
    q.SelectOutput(0);
    q.SeekHigh();
    EXPECT_EQ(Cell(0), 5.9);
    const double high = Cell(2);
    q.SeekLow();
    EXPECT_EQ(Cell(0), 2.0);
    EXPECT_LT(Cell(2), high);
    // An input the output does not depend on keeps the first, lowest value.
    q.SelectInput(1);
    EXPECT_EQ(q.Grain(), 100);
    q.SeekHigh();
    EXPECT_EQ(Cell(1), 0.0);
    q.Close();
}

TEST_F(QuerySessionTest, ValuesBeyondTheRangeAndUnknownValuesAreMarked) {
    CQuerySession q(Doc);
    Doc.m_Examples[3].Values()[1] = 10.00001;  // within one part in 100000
    EXPECT_EQ(q.ValueText(1, 10.00001, 1.0), "10.0000");
    EXPECT_EQ(q.ValueText(1, 10.1, 1.0), "Out of range");
    EXPECT_EQ(q.ValueText(1, -0.1, 0.0), "Out of range");
    EXPECT_EQ(q.ValueText(1, kMissing, 0.5), "?");
    // A negative highest value is not out of range at itself.
    Doc.m_InOuts[1].LowValue = -9.0;
    Doc.m_InOuts[1].HighValue = -5.0;
    EXPECT_EQ(q.ValueText(1, -5.0, 1.0), "-5.0000");
    EXPECT_EQ(CQuerySession::GetIncrement(0, 1.0, 2.0), 0.0);
}

TEST_F(QuerySessionTest, SavedQueriesHaveOneByteLayoutForTheDialogAndTheScript) {
    Doc.m_PathName = Dir.File("grid.tvq");
    P.Prompts.QueueFile(Dir.File("saved.qu.txt"));
    ASSERT_EQ(SaveQuery(Doc), 1);
    EXPECT_EQ(P.Prompts.FileRequests()[0].FileName, Dir.File("grid.qu.txt"));
    EXPECT_EQ(P.Prompts.FileRequests()[0].Title, "Open file to save query");
    Refresh(Doc, 1);
    P.Prompts.QueueFile(Dir.File("saved.qu.txt"));
    ASSERT_EQ(SaveQuery(Doc), 1);
    const std::string saved = ReadWholeFile(Dir.File("saved.qu.txt"));
    EXPECT_EQ(saved, "\tI: n\tI: x\tO: y\t\r\nask\t3\t4.0000\t" + FormatValue(Doc, Cell(2), 2));
    ASSERT_TRUE(RunQuery(Doc, Dir.File("script.qu.txt")));
    EXPECT_EQ(ReadWholeFile(Dir.File("script.qu.txt")), saved);

    Doc.SetExampleType(3, Training);
    ASSERT_TRUE(WriteQueryFile(Doc, Dir.File("none.qu.txt")));
    EXPECT_EQ(ReadWholeFile(Dir.File("none.qu.txt")), "\tI: n\tI: x\tO: y\t");
    EXPECT_FALSE(WriteQueryFile(Doc, Dir.File("no/such/dir.qu.txt")));
    EXPECT_EQ(P.Prompts.LastText(), "Could not open file to save query.");
}

TEST_F(QuerySessionTest, OnlyTheAnswersOfQueryingRowsWarnBeforeAnEdit) {
    EXPECT_EQ(WarnBeforeEditingQueryingOutput(Doc, 0, 3), 0);
    EXPECT_EQ(WarnBeforeEditingQueryingOutput(Doc, 2, 0), 0);
    EXPECT_EQ(WarnBeforeEditingQueryingOutput(Doc, 2, 3), 1);
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{
        "Querying output values should not be edited.\r\n\r\nChanges to values will not be permanent."});
}

TEST_F(QuerySessionTest, AddQueryPresetsFillTheNewTopRow) {
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        EXPECT_EQ(f.Title, "Example presets");
        EXPECT_EQ(f.Int("Preset"), 4);
        f.Field("Preset").IntValue = 1;
    });
    ASSERT_EQ(AddQuery(Doc), 1);
    EXPECT_EQ(Doc.m_ExamplePreset, 1);
    EXPECT_EQ(Doc.m_Examples[0].ExampleName, "Query");
    EXPECT_EQ(Doc.m_Examples[0].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[0].Values()[0], 5.9);
    EXPECT_EQ(Doc.m_Examples[0].Values()[1], 10.0);

    ASSERT_EQ(AddQuery(Doc, 0), 1);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[0].Values()[1], 5.0);
    ASSERT_EQ(AddQuery(Doc, 3), 1);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[0].Values()[0], (2.0 + 5.9 + 3.0) / 3);
    P.Prompts.QueueDialogCancel();
    ASSERT_EQ(AddQuery(Doc), 1);
    EXPECT_EQ(Doc.m_Examples[0].Values()[0], kMissing);
    EXPECT_EQ(Doc.m_ExamplePreset, 3);
}

TEST_F(QuerySessionTest, FileQueryAnswersLinesAsQueryingRowsWithoutChangingTheGrid) {
    Refresh(Doc, 1);
    const std::string expected = FormatValue(Doc, Cell(2), 2);
    const size_t rows = Doc.m_Examples.size();
    const std::string path = Dir.File("new.csv");
    WriteWholeFile(path, "name,x,extra,n\r\nfirst,4,zz,3\r\n\r\nsecond,0,zz,5.9\r\n");
    CFileQueryOptions o;
    o.Comma = true;
    EXPECT_EQ(FileQuery(Doc, path, o, Dir.File("out.qu.txt")), 2);
    const std::string out = ReadWholeFile(Dir.File("out.qu.txt"));
    EXPECT_EQ(out.substr(0, out.find("\r\nsecond")),
              "\tI: n\tI: x\tO: y\t\r\nfirst\t3\t4.0000\t" + expected);
    EXPECT_EQ(Doc.m_Examples.size(), rows);

    // Without names the columns are the Input columns in order.
    WriteWholeFile(path, "3;4\r\n");
    CFileQueryOptions plain;
    plain.Semicolon = plain.NoRowNames = plain.NoColumnNames = true;
    EXPECT_EQ(FileQuery(Doc, path, plain, Dir.File("plain.qu.txt")), 1);
    EXPECT_EQ(ReadWholeFile(Dir.File("plain.qu.txt")),
              "\tI: n\tI: x\tO: y\t\r\n#0\t3\t4.0000\t" + expected);

    WriteWholeFile(path, "name,x\r\nfirst,4\r\n");
    EXPECT_EQ(FileQuery(Doc, path, o, Dir.File("bad.qu.txt")), -1);
    EXPECT_EQ(P.Prompts.LastText(),
              "The file has no column named 'n' for the Input column 0.\nThe file cannot be queried.");
    WriteWholeFile(path, "3;4\r\n3\r\n");
    EXPECT_EQ(FileQuery(Doc, path, plain, Dir.File("bad.qu.txt")), -1);
    EXPECT_EQ(P.Prompts.LastText(),
              "Line 1 of the file has 1 columns where 2 are needed.\nThe file cannot be queried.");
}

}  // namespace
}  // namespace quorin::test
