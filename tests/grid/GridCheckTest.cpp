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
    // One Training row: its constant values are not questioned, and the verdict says why.
    Grid(2, 2, {1, 2, 5, 5}, {Training, Querying}, {Input, Output});
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    Doc.SetInOutTypeAndMode(1, Input, -1);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kTwoRows, kInOutNeeded}));
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
                           // The only Output column went in this pass; the verdict counts it.
                           kCanCreate}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}}));
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);
}

TEST_F(GridCheckTest, ValidatingValuesOutsideTheTrainingRangeAndNoEndingTheCheck) {
    // Column 0 Training range 1..3: a Validating 3 is inside, 4 and 0 are outside. The
    // Querying row is never looked at.
    Grid(6, 2, {1, 0, 3, 1, 3, 0.5, 4, 0.5, 100, 9, 0, 7},
         {Training, Training, Validating, Validating, Querying, Validating}, {Input, Output});
    Prompts.QueueAnswer(IdYes);
    Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(OnActionCheckGrid(Doc), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{RangeQuestion(3, 0), RangeQuestion(5, 0)}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{3, 0}, {5, 0}}));
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Training);  // kept after the No
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Validating);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[2].NormalisedValues()[0], 2.0 / 3);  // range now 1..4
}

TEST_F(GridCheckTest, RowsWithoutAnImageInAnImageColumnComeFirst) {
    Grid(3, 3, {1, 0, 10, 2, 1, 11, 4, 1, 12}, {Training, Training, Querying}, {Input, Output, Input});
    Doc.SetInOutTypeAndMode(2, -1, Image);
    NewImage(Doc, "a", "a.bmp", 2, 10, 1, 1);
    Prompts.QueueAnswer(IdYes);
    EXPECT_EQ(OnActionCheckGrid(Doc), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Example row 1 needs a valid image name in column 2.\n\n"
                           "Do you want to exclude the Example row and continue checking?",
                           kTwoRows}));
    EXPECT_EQ(Prompts.Cells, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(Doc.m_Examples[1].ExampleType, ExcludedRow);
}

}  // namespace
}  // namespace quorin::test
