#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "GuiFixture.h"
#include "app/QueryDialog.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"

namespace quorin::test {

namespace {
// One Real input and one Real output over five Training rows, a network, one Querying row.
void FillGrid(CQuorinDoc& doc) {
    doc.AddCol(0, 0, 1);
    doc.AddCol(0, 1, 1);
    doc.SetInOutName(0, "in");
    doc.SetInOutName(1, "out");
    for (int r = 0; r < 5; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 2; ++c) doc.SetValue(c, r, r * 2.0, 1, 1, 0, 1);
    NewNetwork(doc, 1, 2, 1, 0);
    SetWeightsIn(doc);
    doc.AddRow(0, Querying, 0, 1);
    doc.SetValue(0, 5, 3.0, 1, 1, 1, 1);
}
}  // namespace

TEST_F(GuiTest, TheQueryDialogStepsTheShownQueryingRowAndStaysModeless) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    FillGrid(doc);
    Frame->UpdateCommands();
    ASSERT_TRUE(Frame->FindAction("ActionQuery")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("ActionFileQuery")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("ActionLeaveOut")->isEnabled());
    Frame->FindAction("ActionQuery")->trigger();
    auto* dialog = child->findChild<CQueryDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->findChild<QLabel*>("Index")->text(), "5");
    EXPECT_EQ(dialog->findChild<QLabel*>("Type")->text(), "querying");
    EXPECT_TRUE(dialog->findChild<QCheckBox*>("Q")->isChecked());
    auto* inputs = dialog->findChild<QListWidget*>("Inputs");
    ASSERT_EQ(inputs->count(), 1);
    EXPECT_EQ(dialog->findChild<QListWidget*>("InputValues")->item(0)->text(), "3.0000");

    inputs->setCurrentRow(0);
    EXPECT_EQ(dialog->Session().SelectedInput(), 0);
    dialog->findChild<QPushButton*>("Max")->click();
    EXPECT_EQ(doc.m_Examples[5].Values()[0], 8.0);
    EXPECT_EQ(dialog->findChild<QListWidget*>("InputValues")->item(0)->text(), "8.0000");
    EXPECT_NE(doc.m_Examples[5].Values()[1], kMissing);  // answered again

    auto* locks = dialog->findChild<QListWidget*>("Locks");
    emit locks->itemClicked(locks->item(0));
    EXPECT_EQ(locks->item(0)->text(), " -->");
    dialog->findChild<QPushButton*>("Min")->click();
    EXPECT_EQ(doc.m_Examples[5].Values()[0], 8.0);

    dialog->findChild<QPushButton*>("Next")->click();
    EXPECT_FALSE(dialog->findChild<QPushButton*>("SaveQueries")->isEnabled());
    dialog->findChild<QPushButton*>("Previous")->click();
    EXPECT_TRUE(dialog->findChild<QPushButton*>("SaveQueries")->isEnabled());

    // A second Query command brings the same dialog forward.
    Frame->FindAction("ActionQuery")->trigger();
    EXPECT_EQ(child->findChildren<CQueryDialog*>().size(), 1);
    dialog->findChild<QPushButton*>("Close")->click();
    Pump();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(child->findChild<CQueryDialog*>(), nullptr);
}

}  // namespace quorin::test
