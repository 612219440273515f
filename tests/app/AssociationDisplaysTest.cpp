#include <QPlainTextEdit>

#include "GuiFixture.h"
#include "analysis/Associating.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

TEST_F(GuiTest, AssociationsAndClustersDisplaysDrawTheCoreLines) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    for (int c = 0; c < 2; ++c) doc.AddCol(0, c, 1);
    doc.SetInOutName(1, "width");
    doc.m_Associations = {{0, 1, 0.75, 0}, {1, 0, 0.5, 0}};
    Frame->FindAction("ViewAssociations")->trigger();
    ASSERT_EQ(child->View().Display(), EDisplay::Associations);
    auto* list = child->View().findChild<QPlainTextEdit*>("Associations");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->toPlainText().contains("The strongest associations found in"));
    EXPECT_TRUE(list->toPlainText().contains("0.750000"));
    Frame->FindAction("ViewClusters")->trigger();
    auto* clusters = child->View().findChild<QPlainTextEdit*>("Clusters");
    ASSERT_NE(clusters, nullptr);
    EXPECT_TRUE(clusters->toPlainText().contains("The clusters found in"));
    EXPECT_TRUE(Frame->FindAction("ViewClusters")->isChecked());
}

}  // namespace quorin::test
