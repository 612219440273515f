// The Grid range commands: their ranges, copies, duplicates, exclusions and loops.
#include "coding/TextCodes.h"
#include "grid/RangeCommands.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class RangeCommandsTest : public DocTest {
protected:
    std::vector<int> RowTypes() const {
        std::vector<int> types;
        for (const CExample& ex : Doc.m_Examples) types.push_back(ex.ExampleType);
        return types;
    }
    std::vector<int> ColumnTypes() const {
        std::vector<int> types;
        for (const CInOut& io : Doc.m_InOuts) types.push_back(io.InOutType);
        return types;
    }
    std::vector<double> Column(int c) const {
        std::vector<double> values;
        for (const CExample& ex : Doc.m_Examples) values.push_back(ex.Values[c]);
        return values;
    }
};

TEST_F(RangeCommandsTest, ChangeRangeOfTypesChecksEveryRangeBeforeChangingAny) {
    MakeGrid(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (auto bad : {std::vector<int>{-1, 1, 0, 0, 0, 0}, {2, 2, 0, 0, 0, 0}, {0, 0, 3, 1, 0, 0},
                     {0, 0, 0, 0, 4, 0}}) {
        P.Prompts.Clear();
        EXPECT_EQ(ChangeRangeOfTypes(Doc, bad[0], bad[1], Validating, bad[2], bad[3], Output, bad[4],
                                     bad[5], Integer),
                  0);
        EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Range must be within the grid"}));
    }
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Training, Training}));

    // Counts of 0 (or below) change nothing but still re-normalise.
    Doc.m_Examples[2].Values[0] = 13;
    EXPECT_EQ(ChangeRangeOfTypes(Doc, 3, 0, Validating, 0, -5, Output, 3, 0, Integer), 1);
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input}));
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].HighValue, 13.0);

    EXPECT_EQ(ChangeRangeOfTypes(Doc, 1, 2, Validating, 1, 2, Output, 0, 1, Text), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Validating, Validating}));
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Output, Output}));
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Text);
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Real);
    // The Training range is now row 0 alone.
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[1].HighValue, 2.0);

    // A new mode alone also leaves a built network unfit.
    Doc.m_NetworkExists = 1;
    EXPECT_EQ(ChangeRangeOfTypes(Doc, 0, 0, Training, 0, 0, Input, 2, 1, Image), 1);
    EXPECT_EQ(Doc.m_InOuts[2].Mode, Image);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
}

TEST_F(RangeCommandsTest, EditGridRangeDialogStartsFromTheCurrentCell) {
    MakeGrid(3, 2, {1, 2, 3, 4, 5, 6});
    Doc.SetExampleType(1, Duplicate);
    Doc.SetInOutTypeAndMode(1, Output, Bool);
    SetCurrentCell(Doc, 1, 1);
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Edit grid range");
        EXPECT_EQ(form.Text("RowNumbers"), "Rows are numbered from 0 to 2");
        EXPECT_EQ(form.Text("ColumnNumbers"), "Columns are numbered from 0 to 1");
        EXPECT_EQ(form.Int("RowFrom"), 1);
        EXPECT_EQ(form.Int("RowCount"), 0);
        EXPECT_EQ(form.Int("RowType"), Querying);
        EXPECT_EQ(form.Int("TypeFrom"), 1);
        EXPECT_EQ(form.Int("ColumnType"), Output);
        EXPECT_EQ(form.Int("Mode"), Bool);
        form.Field("RowFrom").IntValue = 0;
        form.Field("RowCount").IntValue = 1;
        form.Field("RowType").IntValue = ExcludedRow;
    });
    EXPECT_EQ(OnEditChangeRange(Doc), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{ExcludedRow, Duplicate, Training}));
}

TEST_F(RangeCommandsTest, CopyExampleRowsAppendsCopiesOfTheChosenType) {
    MakeGrid(3, 2, {1, 2, 3, 4, 5, 6});
    Doc.SetExampleName(1, "b", 1);
    EXPECT_EQ(CopyExampleRows(Doc, 2, 2, Training), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Range must be within the rows on the grid");
    EXPECT_EQ(Doc.m_RowCount, 3);

    EXPECT_EQ(CopyExampleRows(Doc, 1, 2, Validating), 1);
    ASSERT_EQ(Doc.m_RowCount, 5);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Training, Training, Validating, Validating}));
    EXPECT_EQ(Doc.m_Examples[3].ExampleName, "b");
    EXPECT_EQ(Column(1), (std::vector<double>{2, 4, 6, 4, 6}));
    EXPECT_DOUBLE_EQ(Doc.m_Examples[4].NormalisedValues[1], 1.0);
}

TEST_F(RangeCommandsTest, CopyColumnsWithPositiveOffsetLagsTheCopiesDownward) {
    MakeGrid(4, 3, {1, 10, 100, 2, 20, 200, 3, 30, 300, 4, 40, 400});
    Doc.SetInOutName(1, "Price");
    Doc.SetInOutTypeAndMode(2, -1, Integer);
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 3, 2, 1), 1);
    ASSERT_EQ(Doc.m_ColCount, 6);
    ASSERT_EQ(Doc.m_RowCount, 6);
    EXPECT_EQ(RowTypes(), std::vector<int>(6, Training));
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input, Output, Output, Output}));
    EXPECT_EQ(Doc.m_InOuts[4].InOutName, "Price");
    EXPECT_EQ(Doc.m_InOuts[5].Mode, Integer);
    EXPECT_EQ(Column(4), (std::vector<double>{kMissing, kMissing, 10, 20, 30, 40}));
    EXPECT_EQ(Column(1), (std::vector<double>{10, 20, 30, 40, kMissing, kMissing}));
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[5].LowValue, 100.0);  // re-normalised
}

TEST_F(RangeCommandsTest, CopyColumnsWithNegativeOffsetAddsRowsAtTheTop) {
    MakeGrid(3, 2, {1, 10, 2, 20, 3, 30}, {0, 1});
    EXPECT_EQ(CopyInOutColumns(Doc, 1, 1, -1, 0), 1);
    ASSERT_EQ(Doc.m_RowCount, 4);
    EXPECT_EQ(Column(1), (std::vector<double>{kMissing, 10, 20, 30}));
    // Row i of the copy holds the source's row i + 1: the value one step ahead.
    EXPECT_EQ(Column(2), (std::vector<double>{10, 20, 30, kMissing}));
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);  // the source's type, box unchecked

    for (auto bad : {std::vector<int>{2, 2, 0}, {-1, 1, 0}}) {
        P.Prompts.Clear();
        EXPECT_EQ(CopyInOutColumns(Doc, bad[0], bad[1], bad[2], 1), 0);
        EXPECT_EQ(P.Prompts.LastText(), "Range must be within the columns on the grid");
    }
    // An offset larger than the Grid would only add empty rows.
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 1, 1'000'000'000, 1), 0);
    EXPECT_EQ(Doc.m_RowCount, 4);
    EXPECT_EQ(Doc.m_ColCount, 3);
}

TEST_F(RangeCommandsTest, CopiedTextColumnsCarryTheirOwnTextCodes) {
    MakeGrid(3, 1, {0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Text);
    Doc.SetValue(0, 0, Hash(Doc, "cat", 0, 1), 0, 0, 0, 1);
    Doc.SetValue(0, 1, Hash(Doc, "dog", 0, 1), 0, 0, 0, 1);
    Doc.SetValue(0, 2, kMissing, 0, 0, 0, 1);
    Hash(Doc, "bird", 0, 1);  // recorded, held by no cell
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 1, 1, 0), 1);
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Text);
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[1].Values[1], 1), "cat");
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[2].Values[1], 1), "dog");
    EXPECT_EQ(Doc.m_Examples[3].Values[1], kMissing);  // a missing text stays missing
    EXPECT_EQ(GetHashInCol(Doc, 1), 2);                 // bird purged from the copy
    EXPECT_EQ(GetHashInCol(Doc, 0), 3);
}

TEST_F(RangeCommandsTest, DuplicatesStandBelowTheirRowsAndGoAgain) {
    MakeGrid(3, 1, {1, 2, 3});
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleName(2, "third", 1);
    EXPECT_FALSE(CanRemoveDuplicatedExampleRows(Doc));
    EXPECT_EQ(DuplicateExampleRows(Doc, 1, 0, 0), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Duplicate, Validating, Training, Duplicate}));
    EXPECT_EQ(Column(0), (std::vector<double>{1, 1, 2, 3, 3}));
    EXPECT_EQ(Doc.m_Examples[4].ExampleName, "third");
    EXPECT_EQ(Doc.m_RowCount, 5);
    EXPECT_TRUE(CanRemoveDuplicatedExampleRows(Doc));

    EXPECT_EQ(RemoveDuplicatedExampleRows(Doc), 2);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Validating, Training}));
    EXPECT_EQ(Column(0), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(Doc.m_RowCount, 3);

    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Duplicate Example Rows");
        EXPECT_FALSE(form.Check("Training") || form.Check("Validating") || form.Check("Querying"));
        form.Field("Validating").IntValue = 1;
    });
    EXPECT_EQ(OnEditDuplicateExampleRows(Doc), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Validating, Duplicate, Training}));
}

TEST_F(RangeCommandsTest, ExcludeIncompleteColumnsExcludesExactlyThoseAnnounced) {
    // Column 0 misses a Training value, column 1 only a Querying one, column 2 is complete
    // but its Validating value lies above the Training range, column 3 is already excluded.
    MakeGrid(3, 4, {kMissing, 1, 1, kMissing, 2, 2, 2, 1, 3, kMissing, 9, 1});
    Doc.SetExampleType(2, Querying);
    Doc.SetExampleType(1, Validating);
    Doc.m_Examples[1].Values[2] = 50;
    Doc.SetInOutTypeAndMode(3, ExcludedCol, -1);
    Doc.RenormaliseAll(1);
    ASSERT_TRUE(CanExcludeIncompleteInOutColumns(Doc));
    const std::string question = "1 of 4 input/output columns will be excluded.\n\nDo you want to continue?";
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(ExcludeIncompleteInOutColumns(Doc), 0);
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input, ExcludedCol}));
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(ExcludeIncompleteInOutColumns(Doc), 1);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{ExcludedCol, Input, Input, ExcludedCol}));
    EXPECT_FALSE(CanExcludeIncompleteInOutColumns(Doc));
}

TEST_F(RangeCommandsTest, ExcludeIncompleteRowsLeavesQueryingRowsAlone) {
    MakeGrid(4, 2, {1, kMissing, kMissing, 2, 3, kMissing, 4, 5});
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleType(2, Querying);
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(ExcludeIncompleteExampleRows(Doc), 1);
    EXPECT_EQ(P.Prompts.LastText(), "2 of 4 example rows will be excluded.\n\nDo you want to continue?");
    EXPECT_EQ(RowTypes(), (std::vector<int>{ExcludedRow, ExcludedRow, Querying, Training}));
    EXPECT_FALSE(CanExcludeIncompleteExampleRows(Doc));
}

TEST_F(RangeCommandsTest, FindAndChangeLoopsMoveTheCurrentCell) {
    MakeGrid(5, 3, std::vector<double>(15, 1.0));
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleType(3, Validating);
    SetCurrentCell(Doc, 3, 0);
    auto press = [&](const std::string& button, int find, int change) {
        P.Prompts.QueueDialog([=](CDialogForm& form) {
            form.Field("Find").IntValue = find;
            form.Field("ChangeTo").IntValue = change;
            form.PressedButton = button;
            return static_cast<int>(IdOk);
        });
    };
    press("FindNext", Validating, Querying);  // wraps round from row 3 to row 1
    press("Change", Validating, Querying);
    press("FindNext", Validating, Querying);  // row 3
    press("Change", Training, Querying);      // row 3 is not Training: kept
    press("ChangeAll", Validating, ExcludedRow);
    press("Close", Validating, ExcludedRow);
    OnEditChangeExampleRowTypes(Doc);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Querying, Training, ExcludedRow, Training}));
    EXPECT_EQ(Doc.m_CurrentRow, 0);
    const std::vector<CDialogForm> dialogs = P.Prompts.Dialogs();
    ASSERT_EQ(dialogs.size(), 6u);
    EXPECT_EQ(dialogs[0].Title, "Change Example Types");
    EXPECT_EQ(dialogs[0].Text("Position"), "Example row 3 ' '");
    EXPECT_EQ(dialogs[1].Text("Position"), "Example row 1 ' '");

    // Columns: Change sets the current column whatever its type.
    SetCurrentCell(Doc, 0, 2);
    press("FindNext", Input, Output);  // column 0
    press("Change", Output, Output);
    P.Prompts.QueueDialogCancel();
    OnEditChangeInOutColumnTypes(Doc);
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Output, Input, Input}));
    EXPECT_EQ(Doc.m_CurrentCol, 0);
}

TEST_F(RangeCommandsTest, AvailabilityFollowsTheDisplayTheGridAndTheThreads) {
    EXPECT_FALSE(CanUseGridRange(Doc));  // no rows or columns
    EXPECT_TRUE(CanMissingData(Doc));
    MakeGrid(2, 2, {1, 2, 3, 4});
    EXPECT_TRUE(CanChangeRangeOfTypes(Doc));
    Doc.m_CurrentRow = 2;
    EXPECT_FALSE(CanChangeRangeOfTypes(Doc));
    EXPECT_FALSE(CanCopyExampleRows(Doc));
    EXPECT_TRUE(CanCopyInOutColumns(Doc));
    Doc.m_GridDisplayShown = false;
    EXPECT_FALSE(CanCopyInOutColumns(Doc));
    EXPECT_FALSE(CanDuplicateExampleRows(Doc));
    Doc.m_GridDisplayShown = true;
    Doc.m_Learning = true;
    EXPECT_FALSE(CanChangeExampleRowTypes(Doc));
    EXPECT_TRUE(CanMissingData(Doc));
    Doc.m_Learning = false;
}

TEST_F(RangeCommandsTest, MissingDataChoiceScalesMissingValues) {
    MakeGrid(4, 1, {0, 10, 4, kMissing});
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Missing data");
        EXPECT_EQ(form.Int("Choice"), MissingMedian);
        form.Field("Choice").IntValue = MissingAverage;
    });
    EXPECT_EQ(OnOptionsMissingData(Doc), 1);
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingAverage);
    EXPECT_NEAR(Doc.m_Examples[3].NormalisedValues[0], (14.0 / 3) / 10, 1e-12);
    EXPECT_TRUE(Doc.IsModified());

    EXPECT_EQ(SetMissingData(Doc, MissingLowest), 1);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[3].NormalisedValues[0], 0.0);
    EXPECT_EQ(SetMissingData(Doc, 7), 0);
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingLowest);
}

}  // namespace
}  // namespace quorin::test
