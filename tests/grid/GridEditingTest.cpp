// Adding, deleting and shifting rows and columns; the questions and what No leaves.
#include "support/FakePlatform.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

class GridEditingTest : public DocTest {
protected:
    // Four Training rows A..D over columns X, Y, Z; row r holds r*10 + c in column c.
    void MakeNamedGrid() {
        MakeGrid(4, 3, {0, 1, 2, 10, 11, 12, 20, 21, 22, 30, 31, 32}, {0, 0, 1});
        const char* rows[] = {"A", "B", "C", "D"};
        for (int r = 0; r < 4; ++r) Doc.SetExampleName(r, rows[r], 1);
        const char* cols[] = {"X", "Y", "Z"};
        for (int c = 0; c < 3; ++c) Doc.SetInOutName(c, cols[c]);
        Doc.SetModified(false);
    }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (const auto& ex : Doc.m_Examples) names.push_back(ex.ExampleName);
        return names;
    }
    std::vector<std::string> ColNames() const {
        std::vector<std::string> names;
        for (const auto& io : Doc.m_InOuts) names.push_back(io.InOutName);
        return names;
    }
    void ExpectShapeConsistent() const {
        EXPECT_EQ(Doc.m_RowCount, static_cast<int>(Doc.m_Examples.size()));
        EXPECT_EQ(Doc.m_ColCount, static_cast<int>(Doc.m_InOuts.size()));
        for (const auto& ex : Doc.m_Examples) {
            EXPECT_EQ(ex.Values().size(), Doc.m_InOuts.size());
            EXPECT_EQ(ex.NormalisedValues().size(), Doc.m_InOuts.size());
        }
    }
};

TEST_F(GridEditingTest, DeleteRowMovesLaterRowsUpAndRenormalises) {
    MakeNamedGrid();
    Doc.SetExampleType(1, Validating);
    Doc.RenormaliseAll(0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[0], 20.0 / 30.0);

    ASSERT_EQ(Doc.DeleteRow(0, 0, 1), 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_EQ(Doc.m_Examples[0].ExampleType, Validating);
    EXPECT_EQ(test::AsVector(Doc.m_Examples[0].Values()), (std::vector<double>{10, 11, 12}));
    EXPECT_EQ(test::AsVector(Doc.m_Examples[2].Values()), (std::vector<double>{30, 31, 32}));
    // The Training range is now 20..30: C sits at the bottom, the Validating B below it.
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 20.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[0], 0.0);
    EXPECT_EQ(Doc.m_Examples[0].NormalisedValues()[0], 0.0);
    EXPECT_EQ(Doc.m_Examples[2].NormalisedValues()[2], 1.0);
    EXPECT_TRUE(Doc.IsModified());
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, DeleteRowInTheMiddleAndAtTheEnd) {
    MakeNamedGrid();
    ASSERT_EQ(Doc.DeleteRow(2, 0, 0), 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "D"}));
    EXPECT_EQ(Doc.m_Examples[2].Values()[1], 31.0);
    EXPECT_FALSE(Doc.IsModified());  // modified 0: neither the row nor the renormalising marks
    ASSERT_EQ(Doc.DeleteRow(2, 0, 1), 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Doc.DeleteRow(2, 0, 1), 0);  // no such row any more
    EXPECT_EQ(Doc.DeleteRow(-1, 0, 1), 0);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, DeletingTheOnlyRowLeavesAnEmptyGridWithItsColumns) {
    MakeGrid(1, 2, {1.0, 2.0});
    ASSERT_EQ(Doc.DeleteRow(0, 0, 1), 1);
    EXPECT_EQ(Doc.m_RowCount, 0);
    EXPECT_TRUE(Doc.m_Examples.empty());
    ExpectShapeConsistent();
    // The next row gets one cell per column again.
    ASSERT_EQ(Doc.AddRow(0, Training, 0, 1), 1);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, QuestionsAnsweredNoChangeNothing) {
    MakeNamedGrid();
    Doc.m_NetworkExists = 1;
    const auto before = Doc.m_Examples;

    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(Doc.DeleteRow(1, 1, 1), 0);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(Doc.DeleteCol(1, 1), 0);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(Doc.AddRow(1, Training, 0, 1), 0);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(Doc.AddCol(1, 0, 1), 0);

    EXPECT_EQ(P.Prompts.Texts(),
              (std::vector<std::string>{"Delete Example row 1 'B' ?",
                                        "Delete Input/Output column 1 'Y' ?",
                                        "Create new Example row?",
                                        "Create new Input/Output column?"}));
    for (const auto& m : P.Prompts.Messages()) {
        EXPECT_EQ(m.Buttons, EButtons::YesNo);
        EXPECT_EQ(m.Icon, EIcon::Question);
    }
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(ColNames(), (std::vector<std::string>{"X", "Y", "Z"}));
    for (size_t r = 0; r < before.size(); ++r) {
        EXPECT_EQ(test::AsVector(Doc.m_Examples[r].Values()), test::AsVector(before[r].Values()));
        EXPECT_EQ(test::AsVector(Doc.m_Examples[r].NormalisedValues()),
                  test::AsVector(before[r].NormalisedValues()));
    }
    EXPECT_EQ(Doc.m_NetworkExists, 1);
    EXPECT_FALSE(Doc.IsModified());
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, QuestionsAnsweredYesGoAhead) {
    MakeNamedGrid();
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(Doc.DeleteRow(3, 1, 1), 1);
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(Doc.DeleteCol(0, 1), 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Delete Example row 3 'D' ?",
                                                           "Delete Input/Output column 0 'X' ?"}));
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(ColNames(), (std::vector<std::string>{"Y", "Z"}));
}

TEST_F(GridEditingTest, DeleteColMovesHigherColumnsDown) {
    MakeNamedGrid();
    Doc.SetInOutTypeAndMode(2, -1, Integer);
    Doc.m_InOuts[2].Lock = 1;
    Doc.m_NetworkExists = 1;
    Doc.m_Associations.resize(2);
    ASSERT_EQ(Doc.DeleteCol(1, 0), 1);
    EXPECT_EQ(ColNames(), (std::vector<std::string>{"X", "Z"}));
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Integer);
    EXPECT_EQ(Doc.m_InOuts[1].Lock, 1);
    EXPECT_EQ(Doc.m_InOuts[1].LowValue, 2.0);
    EXPECT_EQ(Doc.m_InOuts[1].HighValue, 32.0);
    EXPECT_EQ(test::AsVector(Doc.m_Examples[3].Values()), (std::vector<double>{30, 32}));
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[1], 10.0 / 30.0);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
    EXPECT_TRUE(Doc.m_Associations.empty());
    EXPECT_TRUE(Doc.IsModified());
    ExpectShapeConsistent();

    ASSERT_EQ(Doc.DeleteCol(1, 0), 1);  // the last column
    EXPECT_EQ(ColNames(), (std::vector<std::string>{"X"}));
    EXPECT_EQ(test::AsVector(Doc.m_Examples[3].Values()), (std::vector<double>{30}));
    EXPECT_EQ(Doc.DeleteCol(1, 1), 0);  // no such column: not even asked
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, AddRowAtTheHeadComesFirstWithMissingValues) {
    MakeNamedGrid();
    Doc.m_MissingDataChoice = MissingHighest;
    ASSERT_EQ(Doc.AddRow(0, Validating, 1, 1), 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{" ", "A", "B", "C", "D"}));
    EXPECT_EQ(Doc.m_Examples[0].ExampleType, Validating);
    EXPECT_EQ(test::AsVector(Doc.m_Examples[0].Values()), (std::vector<double>(3, kMissing)));
    EXPECT_EQ(test::AsVector(Doc.m_Examples[0].NormalisedValues()), (std::vector<double>(3, 1.0)));
    EXPECT_EQ(Doc.m_Examples[1].Values()[0], 0.0);
    EXPECT_EQ(Doc.m_RowCount, 5);

    Doc.m_MissingDataChoice = MissingLowest;
    ASSERT_EQ(Doc.AddRow(0, ExcludedRow, 0, 1), 1);
    EXPECT_EQ(test::AsVector(Doc.m_Examples.back().NormalisedValues()), (std::vector<double>(3, 0.0)));
    Doc.m_MissingDataChoice = MissingAverage;
    ASSERT_EQ(Doc.AddRow(0, Training, 0, 1), 1);
    EXPECT_EQ(test::AsVector(Doc.m_Examples.back().NormalisedValues()), (std::vector<double>(3, 0.5)));
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, AddRowNamesAndModifiedFlag) {
    MakeNamedGrid();
    ASSERT_EQ(Doc.AddRow(0, Querying, 0, 0), 1);
    EXPECT_EQ(Doc.m_Examples.back().ExampleName, "Query");
    EXPECT_FALSE(Doc.IsModified());  // a Querying row honours the caller's modified
    ASSERT_EQ(Doc.AddRow(0, Training, 0, 0), 1);
    EXPECT_EQ(Doc.m_Examples.back().ExampleName, " ");
    EXPECT_TRUE(Doc.IsModified());  // other rows are always created as a modification

    const size_t rows = Doc.m_Examples.size();
    EXPECT_EQ(Doc.AddRow(0, Duplicate, 0, 1), 0);
    EXPECT_EQ(Doc.AddRow(0, -1, 0, 1), 0);
    EXPECT_EQ(Doc.m_Examples.size(), rows);
}

TEST_F(GridEditingTest, AddColAppendsMissingCellsAndForgetsTheNetwork) {
    MakeNamedGrid();
    Doc.m_NetworkExists = 1;
    Doc.m_Associations.resize(1);
    Doc.m_MissingDataChoice = MissingLowest;
    ASSERT_EQ(Doc.AddCol(0, 1, 1), 1);
    const CInOut& io = Doc.m_InOuts.back();
    EXPECT_EQ(io.InOutType, Output);
    EXPECT_EQ(io.InOutName, "");
    EXPECT_EQ(io.Mode, Real);
    EXPECT_EQ(io.EditorMode, -1);
    EXPECT_EQ(io.LowValue, kMissing);
    EXPECT_EQ(io.HighValue, kMinusMissing);
    for (const auto& ex : Doc.m_Examples) {
        EXPECT_EQ(ex.Values().back(), kMissing);
        EXPECT_EQ(ex.NormalisedValues().back(), 0.0);
    }
    EXPECT_EQ(Doc.m_ColCount, 4);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
    EXPECT_TRUE(Doc.m_Associations.empty());
    EXPECT_TRUE(Doc.IsModified());
    ASSERT_EQ(Doc.AddCol(0, 0, 1), 1);
    EXPECT_EQ(Doc.m_InOuts.back().InOutType, Input);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, ColumnsAddedBeforeAnyRowGiveEveryRowItsCells) {
    Doc.AddCol(0, 0, 1);
    Doc.AddCol(0, 1, 1);
    EXPECT_EQ(Doc.m_ColCount, 2);
    Doc.AddRow(0, Training, 0, 1);
    Doc.AddRow(0, Training, 1, 1);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, MoveRowsDownDuplicatesTheFirstRowAndLosesTheLast) {
    MakeNamedGrid();
    Doc.SetExampleType(1, Validating);
    Doc.MoveRowsDown(1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "B", "C"}));
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Validating);
    EXPECT_EQ(Doc.m_Examples[2].Cells, Doc.m_Examples[1].Cells);
    EXPECT_EQ(Doc.m_Examples[3].Values()[0], 20.0);
    ExpectShapeConsistent();

    Doc.MoveRowsDown(3);  // the last row: nothing moves
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "B", "C"}));
    Doc.MoveRowsDown(-1);  // not a row: ignored
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "B", "C"}));
}

TEST_F(GridEditingTest, InsertingARowIsAddThenMoveDown) {
    MakeNamedGrid();
    Doc.AddRow(0, Training, 0, 1);
    Doc.MoveRowsDown(2);
    Doc.SetExampleName(2, "new", 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"A", "B", "new", "C", "D"}));
    EXPECT_EQ(Doc.m_Examples[4].Values()[2], 32.0);
}

TEST_F(GridEditingTest, MoveColsRightDuplicatesTheFirstColumnAndLosesTheLast) {
    MakeGrid(2, 5, {0, 1, 2, 3, 4, 10, 11, 12, 13, 14});
    const char* cols[] = {"a", "b", "c", "d", "e"};
    for (int c = 0; c < 5; ++c) Doc.SetInOutName(c, cols[c]);
    Doc.SetInOutTypeAndMode(2, Output, Bool);
    Doc.m_InOuts[2].AssociatedColumn = 4;
    Doc.m_InOuts[3].SavedType = ExcludedCol;
    Doc.MoveColsRight(2);
    EXPECT_EQ(ColNames(), (std::vector<std::string>{"a", "b", "c", "c", "d"}));
    EXPECT_EQ(Doc.m_InOuts[3].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[3].Mode, Bool);
    EXPECT_EQ(Doc.m_InOuts[3].LowValue, 2.0);
    EXPECT_EQ(Doc.m_InOuts[3].AssociatedColumn, -1);   // never copied
    EXPECT_EQ(Doc.m_InOuts[3].SavedType, ExcludedCol);  // not copied either
    EXPECT_EQ(Doc.m_InOuts[2].AssociatedColumn, 4);     // the first column keeps its content
    EXPECT_EQ(test::AsVector(Doc.m_Examples[1].Values()), (std::vector<double>{10, 11, 12, 12, 13}));
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[3], Doc.m_Examples[1].NormalisedValues()[2]);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[4], 1.0);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, SetInOutTypeAndModeAndTheNetworkFlag) {
    MakeNamedGrid();
    Doc.m_NetworkExists = 1;
    Doc.SetInOutTypeAndMode(0, -1, Integer);  // mode only
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Integer);
    EXPECT_EQ(Doc.m_NetworkExists, 1);
    Doc.SetInOutTypeAndMode(0, Input, -1);  // the same type
    EXPECT_EQ(Doc.m_NetworkExists, 1);
    EXPECT_TRUE(Doc.IsModified());

    Doc.SetInOutTypeAndMode(1, ExcludedCol, -1);
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_InOuts[1].SavedType, Input);  // remembered while the network existed
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Real);
    EXPECT_EQ(Doc.m_NetworkExists, 0);

    Doc.SetInOutTypeAndMode(1, Output, -1);  // no network now: SavedType stays
    EXPECT_EQ(Doc.m_InOuts[1].SavedType, Input);

    Doc.SetModified(false);
    Doc.SetInOutTypeAndMode(3, Output, Bool);  // no such column
    Doc.SetInOutTypeAndMode(-1, Output, Bool);
    EXPECT_FALSE(Doc.IsModified());
}

TEST_F(GridEditingTest, SettersAndTheModifiedFlag) {
    MakeNamedGrid();
    Doc.SetInputLock(1, 1);
    EXPECT_EQ(Doc.m_InOuts[1].Lock, 1);
    Doc.SetExampleName(0, "quiet", 0);
    EXPECT_EQ(Doc.m_Examples[0].ExampleName, "quiet");
    EXPECT_FALSE(Doc.IsModified());
    Doc.SetExampleType(0, Querying);
    EXPECT_TRUE(Doc.IsModified());
    // The type alone does not re-normalise: the range still includes row 0.
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 0.0);

    // Numbers that name no record are ignored, never a crash.
    Doc.SetExampleName(4, "x", 1);
    Doc.SetExampleType(-1, Training);
    Doc.SetInOutName(3, "x");
    Doc.SetInputLock(9, 1);
    Doc.SetValue(3, 0, 1.0, 1, 1, 0, 1);
    Doc.SetValue(0, 4, 1.0, 1, 1, 0, 1);
    ExpectShapeConsistent();
}

TEST_F(GridEditingTest, RefreshesFollowTheFlags) {
    MakeNamedGrid();
    const int before = P.Views.m_Refreshes;
    Doc.SetValue(0, 0, 5.0, 1, 1, 0, 0);  // not modified: no redraw
    Doc.SetValue(0, 0, 5.0, 0, 1, 0, 1);  // no update: no redraw
    EXPECT_EQ(P.Views.m_Refreshes, before);
    Doc.SetValue(0, 0, 5.0, 1, 1, 0, 1);
    EXPECT_EQ(P.Views.m_Refreshes, before + 1);
    Doc.m_ViewsMayRedraw = false;
    Doc.SetValue(0, 0, 5.0, 1, 1, 0, 1);
    EXPECT_EQ(P.Views.m_Refreshes, before + 1);
}

}  // namespace
}  // namespace quorin::test
