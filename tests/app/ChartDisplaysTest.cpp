#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <cstdlib>

#include "GuiFixture.h"
#include "app/ChartDisplays.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/OptimizeControls.h"

namespace quorin::test {

namespace {
// Three Real inputs and a Real output over twelve rows, two of them validating.
void TrainedDocument(CQuorinDoc& doc) {
    const char* names[] = {"petal length", "a rather long column name indeed", "width", "class"};
    for (int c = 0; c < 4; ++c) doc.AddCol(0, c == 3 ? 1 : 0, 1);
    for (int c = 0; c < 4; ++c) doc.SetInOutName(c, names[c]);
    for (int r = 0; r < 12; ++r) doc.AddRow(0, r % 6 == 5 ? Validating : Training, 0, 1);
    for (int r = 0; r < 12; ++r) {
        doc.SetExampleName(r, "row " + std::to_string(r), 0);
        for (int c = 0; c < 4; ++c) doc.SetValue(c, r, (r * (c + 2)) % 7 + 0.5, 1, 1, 0, 1);
    }
    NewNetwork(doc, 3, 3, 1, 0);
    OptimizeLearn(doc, 20, 5);
    for (int r = 0; r < 12; ++r) doc.SetExampleError(r, 0.01 * ((r * 5) % 12 + 1));
    doc.m_LearningCycles = 20;
}

// An offscreen frame may lose its active child window when shown: make it active again.
void Activate(CMainFrame& frame, CChildFrame& child) {
    QCoreApplication::processEvents();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(child.parentWidget()))
        frame.findChild<QMdiArea*>()->setActiveSubWindow(sub);
}

CChartDisplay* ChartOf(CChildFrame& child, const char* name) {
    return child.View().findChild<CChartDisplay*>(name);
}

// Screenshots for looking at the charts by hand: QUORIN_SHOTS=<folder>.
void Shot(QWidget& w, const QString& name) {
    if (const char* folder = std::getenv("QUORIN_SHOTS")) {
        w.show();  // a shown window lays out its scroll areas
        QCoreApplication::processEvents();
        w.grab().save(QString(folder) + "/" + name + ".png");
    }
}
}  // namespace

TEST_F(GuiTest, RankingChartsFollowTheViewMenuAndTheSortOrder) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    TrainedDocument(doc);
    child->View().resize(900, 600);
    Frame->UpdateCommands();

    Frame->FindAction("ViewExampleErrors")->trigger();
    EXPECT_EQ(child->View().Display(), EDisplay::ExampleErrors);
    EXPECT_TRUE(Frame->FindAction("ViewExampleErrors")->isChecked());
    CChartDisplay* errors = ChartOf(*child, "ExampleErrors");
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(errors->Chart().Subheading, "The first 12 of 12 Example rows in descending order.");
    ASSERT_EQ(errors->Chart().Entries.size(), 12u);
    EXPECT_EQ(errors->Chart().Entries[0].Name.rfind("T: row ", 0), 0u);
    Pump();
    Shot(child->View(), "errors");

    Activate(*Frame, *child);
    Frame->FindAction("ViewImportanceAscending")->trigger();
    EXPECT_EQ(child->View().Display(), EDisplay::InputImportance);
    EXPECT_TRUE(Frame->FindAction("ViewImportanceAscending")->isChecked());
    EXPECT_FALSE(Frame->FindAction("ViewImportanceDescending")->isChecked());
    CChartDisplay* importance = ChartOf(*child, "InputImportance");
    ASSERT_NE(importance, nullptr);
    EXPECT_EQ(importance->Chart().Subheading, "The first 3 of 3 Inputs in ascending order.");
    ASSERT_EQ(importance->Chart().Entries.size(), 3u);
    bool cut = false;
    for (const CRankingEntry& e : importance->Chart().Entries) cut = cut || e.Name == "a rather long column n+";
    EXPECT_TRUE(cut);
    EXPECT_LE(importance->Chart().Entries[0].Value, importance->Chart().Entries[2].Value);
    Pump();
    Shot(child->View(), "importance");
    // Small windows scroll rather than squeeze the chart.
    child->View().resize(420, 300);
    Pump();
    EXPECT_GE(importance->width(), importance->minimumSizeHint().width());
    Shot(child->View(), "importance-small");

    Activate(*Frame, *child);
    Frame->FindAction("ViewImportanceDescending")->trigger();
    EXPECT_EQ(importance->Chart().Subheading, "The first 3 of 3 Inputs in descending order.");
    child->View().resize(900, 700);
    Activate(*Frame, *child);
    Frame->FindAction("ViewNetwork")->trigger();
    Pump();
    Shot(child->View(), "network");
}

TEST_F(GuiTest, ReductionAndPruningCommandsFollowTheNetwork) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    Frame->UpdateCommands();
    EXPECT_FALSE(Frame->FindAction("ActionReduceConnections")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("OptionsPruning")->isEnabled());
    TrainedDocument(doc);
    Frame->UpdateCommands();
    ASSERT_TRUE(Frame->FindAction("ActionReduceConnections")->isEnabled());

    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        EXPECT_EQ(f.Title, "Connections");
        f.Field("Row0").IntValue = 3;
    });
    Frame->FindAction("ActionReduceConnections")->trigger();
    int connected = 0;
    for (const CWeight& w : doc.m_Weights) connected += w.WeightType == 0;
    EXPECT_EQ(connected, 3 + 3);

    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Enable").IntValue = 1;
        f.Field("Cycles").IntValue = 50;
        f.Field("Threshold").DoubleValue = 0.01;
    });
    Frame->FindAction("OptionsPruning")->trigger();
    EXPECT_TRUE(Frame->FindAction("OptionsPruning")->isChecked());
    Frame->FindAction("OptionsResetPruning")->trigger();
    EXPECT_FALSE(Frame->FindAction("OptionsPruning")->isChecked());
}

}  // namespace quorin::test
