// The text and image lists kept in step with the columns.
#include "coding/HashTexts.h"

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class ListHousekeepingTest : public DocTest {
protected:
    void TextColumns(int rows, int cols) {
        std::vector<double> values(rows * cols, 0.0);
        MakeGrid(rows, cols, values);
        for (int c = 0; c < cols; ++c) Doc.SetInOutTypeAndMode(c, -1, Text);
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r)
                Doc.SetValue(c, r, Hash(Doc, "t" + std::to_string(c) + "_" + std::to_string(r), c, 1),
                             0, 1, 0, 1);
    }
};

TEST_F(ListHousekeepingTest, DeletingColumnZeroDropsItsTextsAtTheTidy) {
    TextColumns(2, 3);
    P.App->m_DiagnosticLevel = 1;
    ASSERT_EQ(Doc.DeleteCol(0, 0), 1);
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{"2 unallocated text items deleted."});
    EXPECT_EQ(GetHashInCol(Doc, 0), 2);
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[1].Values()[0], 0), "t1_1");
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[0].Values()[1], 1), "t2_0");
}

TEST_F(ListHousekeepingTest, DeletingALaterColumnAttachesItsTextsUntilAPurge) {
    TextColumns(1, 4);
    ASSERT_EQ(Doc.DeleteCol(3, 0), 1);
    EXPECT_EQ(GetHashInCol(Doc, 2), 2);
    P.App->m_DiagnosticLevel = 1;
    EXPECT_EQ(PurgeHashTexts(Doc, 2), 1);
    EXPECT_EQ(P.Prompts.LastText(), "1 text item deleted from column 2.");
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[0].Values()[2], 2), "t2_0");
    // Nothing to purge: no message.
    EXPECT_EQ(PurgeHashTexts(Doc, 2), 0);
    EXPECT_EQ(P.Prompts.Texts().size(), 1u);
}

TEST_F(ListHousekeepingTest, PurgeAndTidyAreSilentOutsideDiagnosticLevelOne) {
    TextColumns(1, 1);
    NewHashText(Doc, 0, 12345.0, "unused1");
    NewHashText(Doc, 0, 22345.0, "unused2");
    NewHashText(Doc, 1, 3.0, "on the count");  // column count itself is kept
    NewHashText(Doc, 2, 4.0, "beyond");
    NewHashText(Doc, -2, 5.0, "scratch");
    P.App->m_DiagnosticLevel = 2;
    EXPECT_EQ(TidyHashTexts(Doc), 1);
    EXPECT_EQ(PurgeHashTexts(Doc, 0), 2);
    EXPECT_TRUE(P.Prompts.Texts().empty());
    EXPECT_EQ(GetHashInCol(Doc, -2), 1);
    EXPECT_EQ(GetHashInCol(Doc, 1), 1);
}

TEST_F(ListHousekeepingTest, CopyingThroughTheScratchColumnKeepsCodes) {
    TextColumns(1, 2);
    const double code = Doc.m_Examples[0].Values()[0];
    CopyHashTexts(Doc, 0, -2);
    CopyHashTexts(Doc, 0, -2);  // no duplicates
    EXPECT_EQ(GetHashInCol(Doc, -2), 1);
    CopyHashTexts(Doc, -2, 1);
    EXPECT_EQ(GetHashInCol(Doc, 1), 2);
    EXPECT_EQ(GetText(Doc, code, 1), "t0_0");
    // Moving columns right carries a Text column's texts along.
    Doc.AddCol(0, 0, 1);
    Doc.MoveColsRight(1);
    EXPECT_EQ(GetText(Doc, Doc.m_Examples[0].Values()[2], 2), "t1_0");
}

TEST_F(ListHousekeepingTest, TidyCommandCountsTextsAndImages) {
    TextColumns(1, 2);
    Doc.SetInOutTypeAndMode(1, -1, Image);
    NewHashText(Doc, 0, 777.0, "stale");
    NewImage(Doc, "pic", "a.bmp", 1, 900.0, 1.0, 2.0);
    NewImage(Doc, "lost", "b.bmp", 9, 901.0, 1.0, 2.0);
    Doc.SetModified(false);
    OnOptionsTidy(Doc);
    EXPECT_EQ(P.Prompts.LastText(), "Items deleted = 3");
    EXPECT_TRUE(Doc.IsModified());
    Doc.SetModified(false);
    OnOptionsTidy(Doc);
    EXPECT_EQ(P.Prompts.LastText(), "Items deleted = 0");
    EXPECT_FALSE(Doc.IsModified());
}

TEST_F(ListHousekeepingTest, ImageBookkeeping) {
    MakeGrid(2, 3, {100, 0, 0, 200, 0, 0}, {1, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Image);
    NewImage(Doc, "one", "1.bmp", 0, 100.0, 1.0, 1.0);
    NewImage(Doc, "two", "2.bmp", 0, 200.0, 2.0, 2.0);
    NewImage(Doc, "gone", "3.bmp", 0, 300.0, 3.0, 3.0);
    EXPECT_EQ(GetImageName(Doc, 200.0, 0), "two");
    EXPECT_EQ(GetImageName(Doc, 198.0, 0), "~~~two");     // 1 % away
    EXPECT_EQ(GetImageName(Doc, 199.98, 0), "~two");      // 0.01 % away
    EXPECT_EQ(GetImageName(Doc, 200.0, 1), kNoImage);
    EXPECT_EQ(GetImageName(Doc, 200.0, -1), "two");
    P.App->m_DiagnosticLevel = 1;
    EXPECT_EQ(PurgeImages(Doc, 0), 1);
    EXPECT_EQ(P.Prompts.LastText(), "1 image item deleted from column 0.");
    CopyImages(Doc, 0, -2);
    CopyImages(Doc, 0, -2);
    EXPECT_EQ(Doc.m_Images.size(), 4u);
    EXPECT_EQ(ImageIsDuplicate(Doc, "one", "1.bmp", -2, 100.0, 1.0, 1.0), 1);
    EXPECT_EQ(TidyImages(Doc), 0);  // the scratch column is kept
    DecrementImageCols(Doc, 0);
    EXPECT_EQ(TidyImages(Doc), 2);
    EXPECT_EQ(P.Prompts.LastText(), "2 unallocated image items deleted.");
}

TEST_F(ListHousekeepingTest, AssociationsFollowDeletedColumns) {
    MakeGrid(1, 4, {0, 0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Image);
    Doc.SetInOutTypeAndMode(1, -1, Image);
    Doc.m_InOuts[0].AssociatedColumn = 3;
    Doc.m_InOuts[1].AssociatedColumn = 2;
    Doc.m_InOuts.pop_back();  // as DeleteCol(2) leaves the list
    Doc.m_ColCount = 3;
    DecrementAssociations(Doc, 2);
    EXPECT_EQ(Doc.m_InOuts[0].AssociatedColumn, 2);
    EXPECT_EQ(Doc.m_InOuts[1].AssociatedColumn, -1);  // the deleted column itself
}

}  // namespace
}  // namespace quorin::test
