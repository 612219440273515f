// The Grid preparation keywords of scripts: the same rules and messages as the dialogs.
#include "automation/ScriptRunner.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class ScriptGridTest : public DocTest {
protected:
    void Run(const std::string& line) { EXPECT_EQ(CScriptRunner(Doc).Execute(line), 0) << line; }
    std::vector<int> RowTypes() const {
        std::vector<int> types;
        for (const CExample& ex : Doc.m_Examples) types.push_back(ex.ExampleType);
        return types;
    }
};

TEST_F(ScriptGridTest, PreparationKeywordsAndTheirShortForms) {
    MakeGrid(3, 2, {1, kMissing, 2, 5, 3, 6}, {0, 1});
    Run("copyrows(1,2,1)");
    EXPECT_EQ(RowTypes(), (std::vector<int>{Training, Training, Training, Validating, Validating}));
    Run("cr(4,2,0)");
    EXPECT_EQ(P.Prompts.LastText(), "Range must be within the rows on the grid");
    EXPECT_EQ(Doc.m_RowCount, 5);

    Run("dr(0,1,0)");
    EXPECT_EQ(Doc.m_RowCount, 7);
    Run("rd");
    EXPECT_EQ(Doc.m_RowCount, 5);

    P.Prompts.QueueAnswer(IdYes);
    Run("eic");
    EXPECT_EQ(P.Prompts.LastText(), "1 of 2 input/output columns will be excluded.\n\nDo you want to continue?");
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);

    Run("cc(0,1,1,1)");
    ASSERT_EQ(Doc.m_ColCount, 3);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_Examples[1].Values[2], 1.0);
    Run("copycolumns(0,4,0,1)");
    EXPECT_EQ(P.Prompts.LastText(), "Range must be within the columns on the grid");

    Run("md(2)");
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingLowest);
    Run("missingdata(-1)");
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingLowest);

    // Row 0 misses columns 1 and 2; row 5, added by the copy, columns 0 and 1.
    P.Prompts.QueueAnswer(IdYes);
    Run("excludeincompleterows");
    EXPECT_EQ(P.Prompts.LastText(), "2 of 6 example rows will be excluded.\n\nDo you want to continue?");
    EXPECT_EQ(RowTypes(), (std::vector<int>{ExcludedRow, Training, Training, Validating, Validating, ExcludedRow}));

    // Row 3's copied value 3 lies above the Training values 1 and 2 of column 2.
    P.Prompts.Clear();
    P.Prompts.QueueAnswer(IdYes);
    Run("cg");
    EXPECT_EQ(P.Prompts.Texts().size(), 2u);
    EXPECT_EQ(P.Prompts.LastText(), "The Grid can be used to create a network.");
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Training);

    // Grid-changing keywords wait for learning to end.
    Doc.m_Learning = true;
    P.Prompts.Clear();
    Run("removeduplicates");
    EXPECT_EQ(P.Prompts.Texts().size(), 1u);
    EXPECT_NE(P.Prompts.LastText().find("has been skipped"), std::string::npos);
    Doc.m_Learning = false;
}

}  // namespace
}  // namespace quorin::test
