// The frame as a new user meets it: keys, titles, what each command does or why it is
// not offered, and the Grid's keyboard habits.
#include <QCheckBox>
#include <QHeaderView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <map>
#include <set>

#include "GuiFixture.h"
#include "app/GridModel.h"
#include "app/HelpWindows.h"
#include "app/QuorinView.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"

namespace quorin::test {

namespace {
void FillGrid(CQuorinDoc& doc, int rows) {
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2 ? 1 : 0, 1);
    for (int r = 0; r < rows; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c) doc.SetValue(c, r, r * (c + 1) + 0.5, 1, 1, 0, 1);
}
}  // namespace

TEST_F(GuiTest, NoTwoCommandsShareAKeyAndEveryCommandRunsOrSaysWhyNot) {
    std::map<QString, QString> owners;
    for (QAction* a : Frame->findChildren<QAction*>()) {
        for (const QKeySequence& key : a->shortcuts()) {
            const QString text = key.toString();
            auto [it, fresh] = owners.emplace(text, a->objectName());
            EXPECT_TRUE(fresh) << text.toStdString() << " is bound to " << it->second.toStdString() << " and "
                               << a->objectName().toStdString();
        }
    }
    EXPECT_EQ(owners[QKeySequence(Qt::Key_F5).toString()], "ActionStartLearning");
    EXPECT_EQ(owners[QKeySequence(Qt::SHIFT | Qt::Key_F5).toString()], "ActionStop");

    Frame->NewDocument();
    Frame->UpdateCommands();
    for (const auto& c : Frame->CommandInfo()) {
        EXPECT_TRUE(c.HasAction || !c.Reason.isEmpty()) << c.Name.toStdString() << " does nothing and says nothing";
        if (!c.HasAction) {
            QAction* a = Frame->FindAction(c.Name);
            EXPECT_FALSE(a->isEnabled()) << c.Name.toStdString();
            EXPECT_EQ(a->statusTip(), c.Reason);
        }
    }
}

// Each opening goes on with the next tip, and the start-up choice is a setting that stays off
// until the user ticks it.
TEST_F(GuiTest, TipOfTheDayGoesOnWhereItStoppedAndRemembersTheStartUpChoice) {
    Frame->NewDocument();
    EXPECT_FALSE(CTipOfTheDay::ShowAtStartUp(*App));
    Frame->FindAction("HelpTipOfTheDay")->trigger();
    auto* tip = Frame->findChild<CTipOfTheDay*>("TipOfTheDay");
    ASSERT_NE(tip, nullptr);
    const QString first = tip->Tip();
    EXPECT_FALSE(first.isEmpty());
    for (int i = 1; i < CTipOfTheDay::TipCount(); ++i) {
        tip->NextTip();
        EXPECT_NE(tip->Tip(), first);
    }
    tip->NextTip();
    EXPECT_EQ(tip->Tip(), first);  // round again
    tip->findChild<QCheckBox*>("ShowAtStartUp")->setChecked(true);
    EXPECT_TRUE(CTipOfTheDay::ShowAtStartUp(*App));
    tip->NextTip();
    const QString expected = tip->Tip();
    tip->close();
    Pump();
    CTipOfTheDay again(*App, Frame.get());
    EXPECT_NE(again.Tip(), expected);  // the one after the last shown
}

TEST_F(GuiTest, NewDocumentsAreNumberedAndAFailedOpenKeepsTheDocumentInFront) {
    CChildFrame* first = Frame->NewDocument();
    CChildFrame* second = Frame->NewDocument();
    EXPECT_EQ(first->Title(), "Untitled");
    EXPECT_EQ(second->Title(), "Untitled 2");
    EXPECT_EQ(Frame->windowTitle(), "Quorin - Untitled 2");

    Frame->OpenDocument("/nonexistent/folder/missing.tvq");
    Pump();
    EXPECT_EQ(Frame->ActiveChild(), second);
    EXPECT_EQ(Frame->Children().size(), 2u);

    // A number is free again once its document has closed.
    second->Doc().m_Modified = false;
    second->parentWidget()->close();
    Pump();
    EXPECT_EQ(Frame->NewDocument()->Title(), "Untitled 2");
}

TEST_F(GuiTest, HiddenNodeCommandsFollowTheLayersThatExist) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    FillGrid(doc, 6);
    NewNetwork(doc, 2, 3, 1, 1);
    Frame->UpdateCommands();
    EXPECT_TRUE(Frame->FindAction("EditAddHL1Node")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("EditDeleteHL1Node")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("EditAddHL2Node")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("EditDeleteHL2Node")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("EditAddHL3Node")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("EditDeleteHL3Node")->isEnabled());

    Frame->FindAction("EditAddHL2Node")->trigger();
    ASSERT_EQ(CountLayers(doc).Hidden[1], 1);
    Frame->UpdateCommands();
    EXPECT_TRUE(Frame->FindAction("EditDeleteHL2Node")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("EditAddHL3Node")->isEnabled());

    // Learned, then reshaped: the old average error is gone from the status bar.
    doc.m_LearningCycles = 40;
    doc.m_AverageError = 0.0123;
    Frame->UpdateStatus();
    EXPECT_EQ(Frame->StatusPaneText(3), "Average error 0.012300");
    Frame->FindAction("EditAddHL1Node")->trigger();
    EXPECT_EQ(Frame->StatusPaneText(3), "Average error -");
}

TEST_F(GuiTest, EnterGoesDownARowAndAnInsertedRowComesIntoView) {
    CChildFrame* child = Frame->NewDocument();
    FillGrid(child->Doc(), 60);
    child->View().RefreshFromDocument();
    Frame->resize(800, 400);
    Frame->show();
    Frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame.get()));
    QTableView& table = child->View().Table();
    child->View().SelectCell(2, 1);
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_Return);
    EXPECT_EQ(child->View().CurrentRow(), 3);

    // Typing into a cell and pressing Enter stores the entry and goes down too.
    QTest::keyClicks(&table, "7");
    Pump();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor);
    ASSERT_NE(editor, &table) << editor->metaObject()->className();
    editor->setProperty("text", "7");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::qWait(20);  // the entry is committed, then the editor closes, queued
    EXPECT_EQ(child->Doc().m_Examples[3].Values()[1], 7.0);
    EXPECT_EQ(child->View().CurrentRow(), 4);

    Frame->UpdateCommands();
    ASSERT_EQ(Frame->ActiveChild(), child);
    ASSERT_FALSE(child->Busy());
    ASSERT_TRUE(Frame->FindAction("InsertValidatingRow")->isEnabled());
    Frame->FindAction("InsertValidatingRow")->trigger();
    Pump();
    ASSERT_EQ(child->View().Model().rowCount(), 61);
    EXPECT_EQ(child->View().CurrentRow(), 60);
    const QRect cell = table.visualRect(child->View().Model().index(60, 1));
    EXPECT_TRUE(table.viewport()->rect().intersects(cell));
}

}  // namespace quorin::test

namespace quorin::test {

TEST_F(GuiTest, HelpShipsItsGuideAndGettingStartedHoldsTheFrameOpen) {
    CChildFrame* child = Frame->NewDocument();
    EXPECT_TRUE(child->View().ShowsEmptyHint());
    EXPECT_TRUE(child->View().Table().horizontalHeader()->isHidden());  // no bare header strip
    child->Doc().AddCol(0, 0, 1);
    child->View().RefreshFromDocument();
    EXPECT_FALSE(child->View().ShowsEmptyHint());
    EXPECT_FALSE(child->View().Table().horizontalHeader()->isHidden());

    Frame->FindAction("HelpTopics")->trigger();
    auto* help = Frame->findChild<CHelpWindow*>("HelpWindow");
    ASSERT_TRUE(help);
    const QString guide = help->Browser().toPlainText();
    for (const char* topic : {"The Grid", "A first network", "Learning", "Validating", "Querying", "Scripts"})
        EXPECT_TRUE(guide.contains(topic)) << topic;
    EXPECT_TRUE(AboutText().contains(QUORIN_VERSION_TEXT));

    QStandardPaths::setTestModeEnabled(true);  // the example goes to a test data folder
    const QString script = CGettingStarted::ExtractExample();
    ASSERT_FALSE(script.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(script).dir().filePath("iris.csv")));
    Frame->FindAction("HelpGettingStarted")->trigger();
    EXPECT_TRUE(App->m_GettingStartedRunning);
    EXPECT_FALSE(Frame->CanCloseFrame());
    EXPECT_EQ(P.Prompts.LastText(), "Please finish or cancel \"Getting Started\" before closing down.");
    Frame->findChild<CGettingStarted*>("GettingStarted")->close();
    EXPECT_FALSE(App->m_GettingStartedRunning);
}

}  // namespace quorin::test
