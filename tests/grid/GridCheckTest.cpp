// Action > Check Grid: the questions, the cell shown with each, the repairs, the verdict.
#include <utility>

#include "coding/ImageList.h"
#include "grid/RangeCommands.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

const char* const kCanCreate = "The Grid can be used to create a network.";
const char* const kTwoRows = "At least two Training example rows are needed for a network to learn.";
const char* const kInOutNeeded = "Input columns and Output columns are needed to produce a network.";

std::string RangeQuestion(int row, int col) {
    return "Row " + std::to_string(row) + ", column " + std::to_string(col) +
           ", Validating value not in Training range.\n\n"
           "Do you want to change the Validating example to a Training example ?";
}

// Notes the document's current cell whenever a question is shown.
class CCellPrompts : public CScriptedPrompts {
public:
    int MessageBox(const CMessage& message) override {
        if (message.Buttons != EButtons::Ok && Doc)
            Cells.emplace_back(Doc->m_CurrentRow, Doc->m_CurrentCol);
        return CScriptedPrompts::MessageBox(message);
    }
    const CQuorinDoc* Doc = nullptr;
    std::vector<std::pair<int, int>> Cells;
};

class GridCheckTest : public ::testing::Test {
protected:
    GridCheckTest() : App(MakeApp()), Doc(*App) {
        Prompts.Doc = &Doc;
        Doc.NewDocument();
    }
    ~GridCheckTest() override { EXPECT_EQ(Prompts.PendingAnswers(), 0u); }

    std::unique_ptr<CQuorinApp> MakeApp() {
        CPlatform platform;
        platform.Prompts = &Prompts;
        platform.Clock = &P.Clock;
        platform.Settings = &P.Settings;
        platform.Shell = &P.Shell;
        platform.Views = &P.Views;
        return std::make_unique<CQuorinApp>(platform);
    }
    // Rows × columns from row-major values, then the row and column types.
    void Grid(int rows, int cols, const std::vector<double>& values, const std::vector<int>& rowTypes,
              const std::vector<int>& colTypes) {
        for (int c = 0; c < cols; ++c) Doc.AddCol(0, colTypes[c] == Output, 1);
        for (int c = 0; c < cols; ++c) Doc.SetInOutTypeAndMode(c, colTypes[c], -1);
        for (int r = 0; r < rows; ++r) Doc.AddRow(0, rowTypes[r], 0, 1);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) Doc.SetValue(c, r, values[r * cols + c], 0, 0, 0, 1);
        Doc.RenormaliseAll(1);
    }
    std::vector<std::string> Texts() const { return Prompts.Texts(); }

    CTestPlatform P;  // the fakes other than the prompts
    CCellPrompts Prompts;
    std::unique_ptr<CQuorinApp> App;
    CQuorinDoc Doc;
};

TEST_F(GridCheckTest, VerdictFollowsTheCountsOfColumnsAndTrainingRows) {
    // One Training row: nothing to ask about its constant values, and the verdict says why.
    Grid(2, 2, {1, 2, 5, 5}, {Training, Querying}, {Input, Output});
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kTwoRows}));
    EXPECT_EQ(Prompts.Messages()[0].Buttons, EButtons::Ok);

    Prompts.Clear();
    Doc.SetExampleType(1, Training);
    Doc.m_Examples[1].Values = {3, 4};
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kCanCreate}));

    Prompts.Clear();
    Doc.SetInOutTypeAndMode(1, Input, -1);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kInOutNeeded}));
    EXPECT_TRUE(Doc.m_GridDisplayShown);
}

TEST_F(GridCheckTest, ConstantOrUnknownTrainingColumnsAreOfferedForExclusionAndStillCounted) {
    Grid(3, 4, {5, kMissing, 1, 7, 5, kMissing, 2, 7, 5, kMissing, 3, 7},
         {Training, Training, Training}, {Input, Output, Input, ExcludedCol});
    Doc.SetInOutName(0, "Age");
    Prompts.QueueAnswer(IdYes);
    Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Input/Output column 0 'Age' needs more training values.\n\n"
                           "Do you want to exclude the column?",
                           "Input/Output column 1 needs more training values.\n\n"
                           "Do you want to exclude the column?",
                           // The Output column went in this pass; the verdict counts it still.
                           kCanCreate}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}}));
    EXPECT_EQ(Doc.m_InOuts[0].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Input);
    EXPECT_EQ(Prompts.Messages()[0].Icon, EIcon::Question);
    EXPECT_EQ(Prompts.Messages()[0].DefaultButton, IdYes);
}

TEST_F(GridCheckTest, ValidatingValuesOutsideTheTrainingRangeBecomeTraining) {
    // Column 0 Training range 1..3: a Validating 3 is inside, 4 and 0 are outside.
    // Querying rows are never looked at, whatever they hold.
    Grid(6, 2, {1, 0, 3, 1, 3, 0.5, 4, 0.5, 100, 9, 0, 0.5},
         {Training, Training, Validating, Validating, Querying, Validating}, {Input, Output});
    Prompts.QueueAnswer(IdYes);
    Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{RangeQuestion(3, 0), RangeQuestion(5, 0), kCanCreate}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{3, 0}, {5, 0}}));
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Validating);
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Training);
    EXPECT_EQ(Doc.m_Examples[4].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Training);
    // Re-normalised over the new Training range 0..4.
    EXPECT_DOUBLE_EQ(Doc.m_InOuts[0].HighValue, 4.0);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[2].NormalisedValues[0], 0.75);
}

TEST_F(GridCheckTest, NoEndsTheWholeCheckAndKeepsEarlierRepairs) {
    Grid(4, 2, {1, 0, 2, 1, 9, 0.5, 1.5, 7}, {Training, Training, Validating, Validating}, {Input, Output});
    Prompts.QueueAnswer(IdYes);
    Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(OnActionCheckGrid(Doc), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{RangeQuestion(2, 0), RangeQuestion(3, 1)}));
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Training);
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Validating);
    // The view was left on the cell of the question answered No.
    EXPECT_EQ(Doc.m_CurrentRow, 3);
    EXPECT_EQ(Doc.m_CurrentCol, 1);
}

TEST_F(GridCheckTest, RowsWithoutAnImageInAnImageColumnComeFirst) {
    Grid(4, 3, {1, 0, 10, 2, 1, 11, 3, 1, 12, 4, 1, 13}, {Training, Training, Validating, Querying},
         {Input, Output, Input});
    Doc.SetInOutTypeAndMode(2, -1, Image);
    NewImage(Doc, "a", "a.bmp", 2, 10, 1, 1);
    NewImage(Doc, "d", "d.bmp", 2, 13, 1, 1);
    // Row 1 (code 11) and row 2 (code 12) name no image; the Querying row is not checked.
    Prompts.QueueAnswer(IdYes);
    Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(OnActionCheckGrid(Doc), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Example row 1 needs a valid image name in column 2.\n\n"
                           "Do you want to exclude the Example row and continue checking?",
                           "Example row 2 needs a valid image name in column 2.\n\n"
                           "Do you want to exclude the Example row and continue checking?"}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(Doc.m_Examples[1].ExampleType, ExcludedRow);
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Validating);

    // An Excluded Image column is not looked at.
    Prompts.Clear();
    Doc.SetInOutTypeAndMode(2, ExcludedCol, -1);
    Doc.SetExampleType(2, Training);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kCanCreate}));
}

}  // namespace
}  // namespace quorin::test
