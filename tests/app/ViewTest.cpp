#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "GuiFixture.h"
#include "app/FormDialog.h"
#include "coding/GridEditor.h"
#include "app/GridModel.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

namespace {
// Two Real columns and a Bool column over three Training rows.
void FillGrid(CQuorinDoc& doc) {
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2 ? 1 : 0, 1);
    for (int r = 0; r < 3; ++r) doc.AddRow(0, Training, 0, 1);
    doc.SetInOutName(0, "width");
    doc.SetInOutTypeAndMode(2, -1, Bool);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) doc.SetValue(c, r, c == 2 ? r % 2 : r + c, 1, 1, 0, 1);
}
}  // namespace

TEST_F(GuiTest, GridEditThroughTheViewStoresTheValue) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    FillGrid(doc);
    Pump();
    CQuorinView& view = child->View();
    CGridModel& model = view.Model();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_TRUE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().contains("width"));
    EXPECT_TRUE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString().contains("Input"));
    EXPECT_TRUE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString().contains("Output Bool"));
    EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "1 T");

    // Typed into the table's editor, as a user does.
    Frame->show();
    QTableView& table = view.Table();
    table.setCurrentIndex(model.index(1, 0));
    table.edit(model.index(1, 0));
    auto* editor = table.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "2.5");
    EXPECT_EQ(editor->text(), "2.5");
    QTest::keyClick(editor, Qt::Key_Return);
    Pump();  // the delegate commits by a queued call
    EXPECT_DOUBLE_EQ(doc.m_Examples[1].Values()[0], 2.5);
    EXPECT_TRUE(doc.IsModified());

    // The same rules through the model: missing values and Bool words.
    EXPECT_TRUE(model.setData(model.index(2, 1), "?x", Qt::EditRole));
    EXPECT_EQ(doc.m_Examples[2].Values()[1], kMissing);
    EXPECT_EQ(model.data(model.index(2, 1), Qt::DisplayRole).toString(), "?");
    EXPECT_TRUE(model.setData(model.index(0, 2), "yes", Qt::EditRole));
    EXPECT_DOUBLE_EQ(doc.m_Examples[0].Values()[2], 1.0);
    EXPECT_TRUE(model.setData(model.index(1, 2), "No", Qt::EditRole));
    EXPECT_DOUBLE_EQ(doc.m_Examples[1].Values()[2], 0.0);

    // No edits while the document learns.
    doc.m_Learning = true;
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 0), "7", Qt::EditRole));
    doc.m_Learning = false;
}

TEST_F(GuiTest, GridEditorHoldsQueryingInputsAndAsksBeforeModeChanges) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    FillGrid(doc);
    doc.AddRow(0, Querying, 0, 1);
    CGridModel& model = child->View().Model();
    model.Reload();
    // Column 0 holds 0, 1, 2 in the Training rows.
    EXPECT_TRUE(model.setData(model.index(3, 0), "9", Qt::EditRole));
    EXPECT_EQ(P.Prompts.LastText(),
              "The input value given is above the range of the network\n"
              "training examples. It will be set to the highest value.");
    EXPECT_DOUBLE_EQ(doc.m_Examples[3].Values()[0], 2.0);
    EXPECT_TRUE(model.setData(model.index(3, 0), "-4", Qt::EditRole));
    EXPECT_DOUBLE_EQ(doc.m_Examples[3].Values()[0], 0.0);

    // Declining the question keeps the mode and the values.
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_FALSE(ChangeColumnMode(doc, 1, Text));
    EXPECT_EQ(doc.m_InOuts[1].Mode, Real);
    doc.m_NetworkExists = 1;
    P.Prompts.QueueAnswer(IdYes);
    EXPECT_TRUE(ChangeColumnMode(doc, 1, Text));
    EXPECT_EQ(doc.m_InOuts[1].Mode, Text);
    EXPECT_EQ(doc.m_NetworkExists, 0);
    EXPECT_EQ(model.CellText(0, 1).toStdString(), "1");  // the old value, now as a text
}

TEST_F(GuiTest, RedrawRequestsAreCoalescedAndReachTheView) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    FillGrid(doc);
    Pump();
    EXPECT_EQ(child->View().Model().rowCount(), 3);
    doc.AddRow(0, Querying, 0, 1);
    EXPECT_EQ(child->View().Model().rowCount(), 3);  // not before the event loop runs
    Pump();
    EXPECT_EQ(child->View().Model().rowCount(), 4);
    EXPECT_EQ(child->View().Model().headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "3 Q Query");
}

TEST_F(GuiTest, DisplaysSwitchAndDrawWithoutANetwork) {
    CChildFrame* child = Frame->NewDocument();
    FillGrid(child->Doc());
    Frame->FindAction("ViewGraph")->trigger();
    EXPECT_EQ(child->View().Display(), EDisplay::Graph);
    EXPECT_TRUE(Frame->FindAction("ViewGraph")->isChecked());
    EXPECT_FALSE(child->View().grab().isNull());
    child->Doc().m_GraphPoints = {{0, 0.5, 0.9, 0.1}, {10, 0.3, 0.6, 0.05}, {20, 0.2, 0.4, 0.01}};
    child->View().RefreshFromDocument();
    EXPECT_FALSE(child->View().grab().isNull());
    Frame->FindAction("ViewNetwork")->trigger();
    EXPECT_EQ(child->View().Display(), EDisplay::Network);
    EXPECT_FALSE(child->View().grab().isNull());
    // Each View command shows its own display, not a neighbour's.
    for (const char* name : {"Grid", "Network", "Graph", "ExampleErrors", "Clusters", "Associations"}) {
        Frame->FindAction(QString("View%1").arg(name))->trigger();
        ASSERT_TRUE(child->View().DisplayWidget());
        EXPECT_EQ(child->View().DisplayWidget()->objectName(), name) << name;
    }
    Frame->FindAction("ViewImportanceAscending")->trigger();
    EXPECT_EQ(child->View().DisplayWidget()->objectName(), "InputImportance");
}

TEST(FormDialog, RendersEveryFieldKindAndReadsTheEntriesBack) {
    CDialogForm form;
    form.Id = "Sample";
    form.Title = "Sample";
    form.AddLabel("Note", "Some explanation.");
    form.AddInt("Cycles", "&Cycles", 10, 0, 1000, "Training cycles [0 to 1000]");
    form.AddDouble("Rate", "&Learning rate", 0.6, 0.1, 10.0, "Learning rate can be 0.1 to 10.0");
    form.AddText("Name", "&Name", "abc");
    form.AddCheck("Decay", "&Decay", false, "Check to decay");
    form.AddChoice("Mode", "Mode", {"Within", "Correct"}, 0);
    form.AddList("Pick", "Pick one", {"a", "b", "c"}, 1);

    CFormDialog dialog(form, false);
    EXPECT_EQ(dialog.windowTitle(), "Sample");
    auto* rate = dialog.findChild<QLineEdit*>("Rate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->text(), "0.6");
    EXPECT_EQ(rate->toolTip(), "Learning rate can be 0.1 to 10.0");
    rate->setText("12.5");  // out of range: the core replaces it by its limit, with a message
    dialog.findChild<QLineEdit*>("Cycles")->setText("250");
    dialog.findChild<QLineEdit*>("Name")->setText("xyz");
    dialog.findChild<QCheckBox*>("Decay")->setChecked(true);
    dialog.findChildren<QRadioButton*>().at(1)->setChecked(true);
    dialog.findChild<QListWidget*>("Pick")->setCurrentRow(2);
    dialog.ReadInto(form);
    EXPECT_EQ(form.Int("Cycles"), 250);
    EXPECT_DOUBLE_EQ(form.Double("Rate"), 12.5);
    EXPECT_EQ(form.Text("Name"), "xyz");
    EXPECT_TRUE(form.Check("Decay"));
    EXPECT_EQ(form.Int("Mode"), 1);
    EXPECT_EQ(form.Int("Pick"), 2);
}

TEST(FormDialog, ExtraButtonsEndTheDialogWithTheirKey) {
    CDialogForm form;
    form.Id = "ScriptFile";
    form.Title = "Script File";
    form.AddLabel("File", "File:   run.txt");
    form.AddButton("Run", "&Run Script");
    form.AddButton("Edit", "&Edit Script");
    CFormDialog dialog(form, false);
    auto* edit = dialog.findChild<QPushButton*>("Edit");
    ASSERT_NE(edit, nullptr);
    bool hasOk = false;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) hasOk = hasOk || b->text() == "OK" || b->text() == "&OK";
    EXPECT_FALSE(hasOk);
    edit->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.ReadInto(form);
    EXPECT_EQ(form.PressedButton, "Edit");
}

}  // namespace quorin::test
