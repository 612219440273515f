// The Grid range commands: their ranges, copies, duplicates, exclusions and loops.
#include <tuple>

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
        for (const CExample& ex : Doc.m_Examples) values.push_back(ex.Values()[c]);
        return values;
    }
};

TEST_F(RangeCommandsTest, ChangeRangeOfTypesChecksEveryRangeBeforeChangingAny) {
    MakeGrid(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(ChangeRangeOfTypes(Doc, 0, 1, Validating, 0, 1, Output, 3, 1, Integer), 0);
    EXPECT_EQ(P.Prompts.Texts(), (std::vector<std::string>{"Range must be within the grid"}));
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Training, Training}));
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input}));

    Doc.m_NetworkExists = 1;
    EXPECT_EQ(ChangeRangeOfTypes(Doc, 1, 2, Validating, 1, -5, Output, 0, 1, Image), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Validating, Validating}));
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input}));  // a negative count is 0
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Image);
    EXPECT_EQ(Doc.m_NetworkExists, 0);  // three nodes where there was one
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[1].HighValue, 2.0);  // re-normalised: row 0 alone trains
}

TEST_F(RangeCommandsTest, CopiedColumnsAreShiftedByTheOffset) {
    MakeGrid(4, 3, {1, 10, 100, 2, 20, 200, 3, 30, 300, 4, 40, 400});
    Doc.SetInOutName(1, "Price");
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 3, 2, 1), 1);
    EXPECT_EQ(RowTypes(), std::vector<int>(6, Training));  // two rows added at the bottom
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input, Output, Output, Output}));
    EXPECT_EQ(Doc.m_InOuts[4].InOutName, "Price");
    EXPECT_EQ(Column(4), (std::vector<double>{kMissing, kMissing, 10, 20, 30, 40}));
    EXPECT_EQ(Column(1), (std::vector<double>{10, 20, 30, 40, kMissing, kMissing}));

    // A negative offset adds its row at the top; the copy leads its source by one row.
    EXPECT_EQ(CopyInOutColumns(Doc, 1, 1, -1, 0), 1);
    EXPECT_EQ(Column(1), (std::vector<double>{kMissing, 10, 20, 30, 40, kMissing, kMissing}));
    EXPECT_EQ(Column(6), (std::vector<double>{10, 20, 30, 40, kMissing, kMissing, kMissing}));
    EXPECT_EQ(Doc.m_InOuts[6].InOutType, Input);

    EXPECT_EQ(CopyInOutColumns(Doc, 6, 2, 0, 1), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Range must be within the columns on the grid");
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 1, 1'000'000'000, 1), 0);  // would only add empty rows
    EXPECT_EQ(Doc.m_RowCount, 7);
}

TEST_F(RangeCommandsTest, CopiedTextColumnsCarryTheirOwnTextCodes) {
    MakeGrid(3, 1, {0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Text);
    Doc.SetValue(0, 0, Hash(Doc, "cat", 0, 1), 0, 0, 0, 1);
    Doc.SetValue(0, 1, Hash(Doc, "dog", 0, 1), 0, 0, 0, 1);
    Doc.SetValue(0, 2, kMissing, 0, 0, 0, 1);
    Hash(Doc, "bird", 0, 1);  // recorded, held by no cell
    EXPECT_EQ(CopyInOutColumns(Doc, 0, 1, 1, 0), 1);
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[1].Values()[1], 1), "cat");
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[2].Values()[1], 1), "dog");
    EXPECT_EQ(Doc.m_Examples[3].Values()[1], kMissing);  // not the code of an empty text
    EXPECT_EQ(GetHashInCol(Doc, 1), 2);                 // bird purged from the copy only
    EXPECT_EQ(GetHashInCol(Doc, 0), 3);
}

TEST_F(RangeCommandsTest, DuplicatesStandBelowTheirRowsAndGoAgain) {
    MakeGrid(3, 1, {1, 2, 3});
    Doc.SetExampleType(1, Validating);
    Doc.m_ExampleErrors = {0.5, 0.125};  // row errors go with their rows; row 2 has none yet
    EXPECT_FALSE(CanRemoveDuplicatedExampleRows(Doc));
    EXPECT_EQ(DuplicateExampleRows(Doc, 1, 0, 0), 1);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Duplicate, Validating, Training, Duplicate}));
    EXPECT_EQ(Column(0), (std::vector<double>{1, 1, 2, 3, 3}));
    EXPECT_EQ(Doc.ExampleError(1), 0.5);
    EXPECT_EQ(Doc.ExampleError(2), 0.125);
    Doc.m_ExampleErrors.resize(3);  // rows 3 and 4 past the end again
    EXPECT_EQ(RemoveDuplicatedExampleRows(Doc), 2);
    EXPECT_EQ(Column(0), (std::vector<double>{1, 2, 3}));
    for (int r = 0; r < 3; ++r) EXPECT_EQ(Doc.ExampleError(r), (std::vector<double>{0.5, 0.125, 0.0})[r]) << r;
    EXPECT_EQ(Doc.m_RowCount, 3);
}

TEST_F(RangeCommandsTest, ExclusionsTakeWhatTheyAnnounce) {
    // Column 0 misses a Training value, column 1 only a Querying one; column 2 is complete
    // but a Validating value lies above its Training range; column 3 is already excluded.
    MakeGrid(4, 4, {kMissing, 1, 1, kMissing, 2, 2, 50, 1, 3, kMissing, 9, 1, 4, 4, 4, 1});
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleType(2, Querying);
    Doc.SetInOutTypeAndMode(3, ExcludedCol, -1);
    Doc.RenormaliseAll(1);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(ExcludeIncompleteInOutColumns(Doc), 0);
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{Input, Input, Input, ExcludedCol}));
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(ExcludeIncompleteInOutColumns(Doc), 1);
    EXPECT_EQ(P.Prompts.LastText(), "1 of 4 input/output columns will be excluded.\n\nDo you want to continue?");
    EXPECT_EQ(ColumnTypes(), (std::vector<int>{ExcludedCol, Input, Input, ExcludedCol}));

    // Rows: the Querying row's missing value is left alone.
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(ExcludeIncompleteExampleRows(Doc), 1);
    EXPECT_EQ(P.Prompts.LastText(), "1 of 4 example rows will be excluded.\n\nDo you want to continue?");
    EXPECT_EQ(RowTypes(), (std::vector<int>{ExcludedRow, Validating, Querying, Training}));
}

TEST_F(RangeCommandsTest, FindAndChangeLoopMovesTheCurrentRow) {
    MakeGrid(5, 1, std::vector<double>(5, 1.0));
    Doc.SetExampleType(1, Validating);
    Doc.SetExampleType(3, Validating);
    SetCurrentCell(Doc, 3, 0);
    for (auto [button, find, change] : {std::tuple{"FindNext", Validating, Querying},  // wraps to row 1
                                        {"Change", Validating, Querying},
                                        {"FindNext", Validating, Querying},  // row 3
                                        {"Change", Training, Querying},      // not Training: kept
                                        {"ChangeAll", Validating, ExcludedRow},
                                        {"Close", Training, Training}})
        P.Prompts.QueueDialog([=](CDialogForm& form) {
            form.Field("Find").IntValue = find;
            form.Field("ChangeTo").IntValue = change;
            form.PressedButton = button;
            return static_cast<int>(IdOk);
        });
    OnEditChangeExampleRowTypes(Doc);
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Querying, Training, ExcludedRow, Training}));
    EXPECT_EQ(Doc.m_CurrentRow, 0);
    EXPECT_EQ(P.Prompts.Dialogs()[1].Text("Position"), "Example row 1 ' '");
}

TEST_F(RangeCommandsTest, AverageMissingDataChoice) {
    MakeGrid(4, 1, {0, 10, 4, kMissing});
    P.Prompts.QueueDialogOk([](CDialogForm& form) { form.Field("Choice").IntValue = MissingAverage; });
    EXPECT_EQ(OnOptionsMissingData(Doc), 1);
    EXPECT_NEAR(Doc.m_Examples[3].NormalisedValues()[0], (14.0 / 3) / 10, 1e-12);
    EXPECT_EQ(SetMissingData(Doc, 7), 0);
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingAverage);
}

}  // namespace
}  // namespace quorin::test
