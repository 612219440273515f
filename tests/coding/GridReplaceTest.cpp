#include "coding/GridReplace.h"

#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class GridReplaceTest : public DocTest {
protected:
    // A Real column (1.4, 11.4, 2) and a Text column (cat, black cat, dog).
    void MakeMixedGrid() {
        MakeGrid(3, 2, {1.4, 0, 11.4, 0, 2, 0});
        Doc.SetInOutTypeAndMode(1, -1, Text);
        const char* texts[] = {"cat", "black cat", "dog"};
        for (int r = 0; r < 3; ++r) Doc.SetValue(1, r, Hash(Doc, texts[r], 1, 1), 1, 1, 0, 1);
    }
    std::string Shown(int column, int row) { return FormatCellValue(Doc, column, row); }
};

TEST_F(GridReplaceTest, NumbersMatchWholeAndTextsMatchAnyPart) {
    MakeMixedGrid();
    int row = -1, column = 0;
    ASSERT_EQ(FindNextCell(Doc, "1.4", row, column), 1);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    ASSERT_EQ(FindNextCell(Doc, "1.4", row, column), 1);  // 11.4 is no match: back to the first
    EXPECT_EQ(row, 0);
    EXPECT_TRUE(CellMatches(Doc, 0, 2, "2.0000"));
    EXPECT_TRUE(CellMatches(Doc, 1, 1, "CAT"));
    EXPECT_FALSE(CellMatches(Doc, 1, 2, "cat"));
    EXPECT_EQ(FindNextCell(Doc, "zebra", row, column), 0);
}

TEST_F(GridReplaceTest, ReplacingTypesTheNewValueThroughTheEditor) {
    MakeMixedGrid();
    EXPECT_EQ(ReplaceAllCells(Doc, "cat", "mouse"), 2);
    EXPECT_EQ(Shown(1, 0), "mouse");
    EXPECT_EQ(Shown(1, 1), "black mouse");
    EXPECT_EQ(Shown(1, 2), "dog");

    ASSERT_EQ(ReplaceInCell(Doc, 0, 0, "1.4", "3.5"), 1);
    EXPECT_EQ(Doc.m_Examples[0].Values()[0], 3.5);
    // The editor's own rules: a word is no number for a Real cell, and the cell keeps its value.
    EXPECT_EQ(ReplaceAllCells(Doc, "2", "two"), 0);
    EXPECT_EQ(P.Prompts.LastText(), "\"two\" is not a number.\n\nType a number, or ? for a missing value.");
    EXPECT_EQ(Doc.m_Examples[2].Values()[0], 2.0);
    // Not while learning.
    Doc.m_Learning = true;
    EXPECT_EQ(ReplaceAllCells(Doc, "dog", "cow"), 0);
    Doc.m_Learning = false;
}

}  // namespace
}  // namespace quorin::test
