// The Grid check and the range commands in the menus: enabling, dialogs, current cell.
#include <QAction>
#include <QTableView>

#include "GuiFixture.h"
#include "app/GridModel.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

namespace {
void FillGrid(CQuorinDoc& doc) {
    for (int c = 0; c < 2; ++c) doc.AddCol(0, c, 1);
    for (int r = 0; r < 4; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c) doc.SetValue(c, r, r + c, 1, 1, 0, 1);
}
}  // namespace

TEST_F(GuiTest, GridRangeCommandsFollowTheDisplayAndTheCurrentCell) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    auto enabled = [&](const char* name) {
        Frame->UpdateCommands();
        return Frame->FindAction(name)->isEnabled();
    };
    EXPECT_FALSE(enabled("EditChangeRange"));  // an empty Grid
    EXPECT_TRUE(enabled("OptionsMissingData"));

    FillGrid(doc);
    child->View().RefreshFromDocument();
    child->View().SelectCell(2, 1);
    EXPECT_EQ(doc.m_CurrentRow, 2);
    EXPECT_EQ(doc.m_CurrentCol, 1);
    EXPECT_TRUE(enabled("EditChangeRange"));
    EXPECT_FALSE(enabled("EditRemoveDuplicates"));
    EXPECT_FALSE(enabled("EditExcludeIncompleteRows"));

    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "Copy Examples");
        EXPECT_EQ(form.Int("From"), 2);
        form.Field("Count").IntValue = 2;
    });
    Frame->FindAction("EditCopyRows")->trigger();
    EXPECT_EQ(doc.m_RowCount, 6);
    EXPECT_EQ(child->View().Model().rowCount(), 6);

    child->View().SetDisplay(EDisplay::Network);
    EXPECT_FALSE(enabled("EditChangeRange"));
    EXPECT_TRUE(enabled("OptionsMissingData"));

    // The check shows the Grid and leaves the cell of the question answered No current.
    doc.SetExampleType(1, Validating);
    doc.m_Examples[1].Values()[1] = 50;
    ASSERT_TRUE(enabled("ActionCheckGrid"));
    P.Prompts.QueueAnswer(IdNo);
    Frame->FindAction("ActionCheckGrid")->trigger();
    Pump();
    EXPECT_EQ(P.Prompts.LastText(),
              "Row 1, column 1, Validating value not in Training range.\n\n"
              "Do you want to change the Validating example to a Training example ?");
    EXPECT_EQ(child->View().Display(), EDisplay::Grid);
    EXPECT_EQ(child->View().CurrentRow(), 1);
    EXPECT_EQ(child->View().CurrentColumn(), 1);
    EXPECT_TRUE(enabled("EditChangeRange"));

    doc.m_Learning = true;
    App->ThreadStarted();
    EXPECT_FALSE(enabled("EditCopyColumns"));
    EXPECT_FALSE(enabled("ActionCheckGrid"));
    EXPECT_TRUE(enabled("OptionsMissingData"));
    App->ThreadEnded();
    doc.m_Learning = false;
}

}  // namespace quorin::test
