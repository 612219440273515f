#include <QAction>
#include <QApplication>
#include <QStatusBar>

#include "GuiFixture.h"
#include "app/QtViews.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

TEST_F(GuiTest, AutoSaveAndResetEntriesFollowTheCore) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    Frame->UpdateCommands();
    // No Input and Output columns yet; nothing saved yet.
    EXPECT_FALSE(Frame->FindAction("OptionsAutoSave")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("OptionsResetLowestErrorSaved")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("OptionsResetHighestValidatingSaved")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("OptionsFile")->isEnabled());

    doc.AddCol(0, 0, 1);
    doc.AddCol(0, 1, 1);
    doc.m_LowestErrorSaved = 0.25;
    doc.m_HighestValidatingSaved = 0.0;  // a result of 0 % is not worth resetting
    Frame->UpdateCommands();
    ASSERT_TRUE(Frame->FindAction("OptionsAutoSave")->isEnabled());
    ASSERT_TRUE(Frame->FindAction("OptionsResetLowestErrorSaved")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("OptionsResetHighestValidatingSaved")->isEnabled());
    Frame->FindAction("OptionsResetLowestErrorSaved")->trigger();
    EXPECT_EQ(doc.m_LowestErrorSaved, 1.0);

    P.Prompts.QueueDialogOk([](CDialogForm& form) { EXPECT_EQ(form.Title, "Auto Save"); });
    Frame->FindAction("OptionsAutoSave")->trigger();
    EXPECT_EQ(P.Prompts.Dialogs().size(), 1u);

    // A copy written from any thread is named briefly in the status bar.
    App->Views().ShowStatusMessage(doc, "Auto Save: backup file written to x.bu.tvq");
    Pump();
    EXPECT_EQ(Frame->statusBar()->currentMessage(), "Auto Save: backup file written to x.bu.tvq");
}

}  // namespace quorin::test
