#include <QAction>
#include <QLabel>
#include <atomic>
#include <mutex>
#include <thread>

#include "GuiFixture.h"
#include "app/Displays.h"
#include "app/FormDialog.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"

namespace quorin::test {

namespace {
// Two Real inputs and a Real output over six Training rows.
void FillGrid(CQuorinDoc& doc) {
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2 ? 1 : 0, 1);
    for (int r = 0; r < 6; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 3; ++c) doc.SetValue(c, r, r * (c + 1) + 0.5, 1, 1, 0, 1);
}
}  // namespace

TEST_F(GuiTest, NetworkCommandsRunFromTheMenusAndFollowTheCore) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    EXPECT_EQ(child->Title(), "Untitled");  // as the document's own questions name it
    Frame->UpdateCommands();
    EXPECT_FALSE(Frame->FindAction("ActionNewNetwork")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("EditAddHL1Node")->isEnabled());

    FillGrid(doc);
    Frame->UpdateCommands();
    ASSERT_TRUE(Frame->FindAction("ActionNewNetwork")->isEnabled());
    P.Prompts.QueueDialogOk([](CDialogForm& form) {
        EXPECT_EQ(form.Title, "New Network");
        EXPECT_EQ(form.Field("Hidden1Min").IntValue, 3);
    });
    P.Prompts.QueueAnswer(IdNo);  // no Controls
    Frame->FindAction("ActionNewNetwork")->trigger();
    ASSERT_TRUE(doc.m_NetworkExists);
    EXPECT_EQ(CountLayers(doc).Hidden[0], 3);
    EXPECT_EQ(P.Prompts.Messages().back().Text.rfind("Network created", 0), 0u);

    ASSERT_TRUE(Frame->FindAction("EditAddHL1Node")->isEnabled());
    Frame->FindAction("EditAddHL1Node")->trigger();
    EXPECT_EQ(CountLayers(doc).Hidden[0], 4);
    Frame->FindAction("EditDeleteHL2Node")->trigger();  // an empty layer stays empty
    EXPECT_EQ(CountLayers(doc).Hidden[1], 0);

    ASSERT_TRUE(Frame->FindAction("ActionForgetLearning")->isEnabled());
    P.Prompts.QueueAnswer(IdNo);   // keep the random sequence
    P.Prompts.QueueAnswer(IdYes);  // forget
    Frame->FindAction("ActionForgetLearning")->trigger();
    EXPECT_EQ(P.Prompts.Messages().back().Text, "Are you sure you want 'Untitled' to forget learning?");

    doc.m_Learning = true;
    App->ThreadStarted();
    Frame->UpdateCommands();
    EXPECT_FALSE(Frame->FindAction("EditAddHL1Node")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("ActionNewNetwork")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("ActionForgetLearning")->isEnabled());
    App->ThreadEnded();
    doc.m_Learning = false;
}

TEST_F(GuiTest, NetworkSnapshotWaitsOutABusyLockAndThenGivesUp) {
    CChildFrame* child = Frame->NewDocument();
    CNetworkSnapshot snapshot;
    std::atomic<bool> held{false}, release{false};
    // A learning cycle that does not end until told to, on a thread of its own.
    std::thread worker([&] {
        std::lock_guard lock(child->Doc().m_NetworkMutex);
        held = true;
        while (!release) std::this_thread::yield();
    });
    while (!held) std::this_thread::yield();
    EXPECT_FALSE(TakeSnapshot(child->Doc(), snapshot));
    EXPECT_FALSE(snapshot.Taken);
    release = true;
    worker.join();
    EXPECT_TRUE(TakeSnapshot(child->Doc(), snapshot));
    EXPECT_TRUE(snapshot.Taken);
}

TEST(FormDialogLayout, ShownCountsAreCaptionedByTheirTooltips) {
    CDialogForm form;
    form.Title = "New Network";
    form.AddLabel("InputLayer", "4 nodes").Tooltip = "Nodes in input layer";
    CFormDialog dialog(form, false);
    bool captioned = false;
    for (QLabel* label : dialog.findChildren<QLabel*>()) captioned = captioned || label->text() == "Nodes in input layer";
    EXPECT_TRUE(captioned);
}

}  // namespace quorin::test
