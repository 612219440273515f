#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <thread>

#include "GuiFixture.h"
#include "app/Desktop.h"
#include "app/StartupRules.h"
#include "network/LearningInfo.h"
#include "grid/QuorinDoc.h"

namespace quorin::test {

TEST(CommandLine, OnlyExactLowerCaseEndingsCount) {
    EXPECT_EQ(ClassifyCommandLine("run.txt"), ECommandLineFile::Script);
    EXPECT_EQ(ClassifyCommandLine("/data/iris.tvq"), ECommandLineFile::Document);
    EXPECT_EQ(ClassifyCommandLine("RUN.TXT"), ECommandLineFile::None);
    EXPECT_EQ(ClassifyCommandLine("iris.Tvq"), ECommandLineFile::None);
    EXPECT_EQ(ClassifyCommandLine("notes.txt.bak"), ECommandLineFile::None);
    EXPECT_EQ(ClassifyCommandLine("txt"), ECommandLineFile::None);
    EXPECT_EQ(ClassifyCommandLine(""), ECommandLineFile::None);
    EXPECT_EQ(ClassifyCommandLine(".txt"), ECommandLineFile::Script);
}

TEST(StatusTexts, EveryCode) {
    EXPECT_EQ(StatusText(7, 120), "Validating in range: 120 cycles");
    EXPECT_EQ(StatusText(8, 3), "Validating correct: 3 cycles");
    EXPECT_EQ(StatusText(11, 0), "Average error below target: 0 cycles");
    EXPECT_EQ(StatusText(12, 9), "All errors below target: 9 cycles");
    EXPECT_EQ(StatusText(14, 42), "Learning: 42 cycles");
    EXPECT_EQ(StatusText(15, 5), "Not learning: 5 cycles");
    EXPECT_EQ(StatusText(16, 2), "Associating: column 2");
    EXPECT_EQ(StatusText(17, 4), "Not Associating: column 4");
    EXPECT_EQ(StatusText(18, 77), "Stopped");
    EXPECT_EQ(StatusText(0, 1), "Unknown status");
    EXPECT_EQ(StatusText(13, 1), "Unknown status");
}

TEST(Placement, TenFieldsOrNothing) {
    CWindowPlacement p;
    p.Flags = 2;
    p.ShowCommand = 3;
    p.Left = 10;
    p.Top = 20;
    p.Right = 810;
    p.Bottom = 620;
    const std::string text = FormatPlacement(p);
    EXPECT_EQ(text, "2, 3, -1, -1, -1, -1, 10, 20, 810, 620");
    const auto back = ParsePlacement(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Right, 810);
    EXPECT_EQ(back->Flags, 2u);
    EXPECT_FALSE(ParsePlacement("2, 3, -1, -1, -1, -1, 10, 20, 810"));
    EXPECT_FALSE(ParsePlacement("garbage"));
    EXPECT_FALSE(ParsePlacement(""));
}

TEST_F(GuiTest, EmptyFrameOffersFileOnly) {
    EXPECT_EQ(Frame->windowTitle(), "Quorin");
    int visible = 0;
    for (QAction* a : Frame->menuBar()->actions()) visible += a->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 1);
    for (const char* name : {"Main", "Reconfigure", "View & zoom", "Action", "Options", "Edit"})
        EXPECT_NE(Frame->ToolBar(name), nullptr) << name;
    Frame->NewDocument();
    visible = 0;
    for (QAction* a : Frame->menuBar()->actions()) visible += a->isVisible() ? 1 : 0;
    EXPECT_EQ(visible, 8);
}

TEST_F(GuiTest, CommandLineScriptRunsOnANewDocumentAndOthersOpenNothing) {
    EXPECT_EQ(HandleCommandLine(*App, *Frame, "SCRIPT.TXT"), ECommandLineFile::None);
    EXPECT_TRUE(Frame->Children().empty());
    EXPECT_EQ(HandleCommandLine(*App, *Frame, "data.csv"), ECommandLineFile::None);
    EXPECT_TRUE(Frame->Children().empty());

    QTemporaryDir dir;
    const QString script = dir.filePath("run.txt");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(HandleCommandLine(*App, *Frame, script), ECommandLineFile::Script);
    ASSERT_EQ(Frame->Children().size(), 1u);
    EXPECT_TRUE(App->m_ScriptRunning.load() || App->m_PendingScript.empty());
    // The new document took the script: it is not run again by the next one.
    EXPECT_TRUE(App->m_PendingScript.empty());
}

TEST_F(GuiTest, ClosingWhileLearningAsksToForceTheStopAndStaysOpen) {
    CChildFrame* child = Frame->NewDocument();
    App->ThreadStarted();
    child->Doc().m_Learning = true;

    // A document refuses to close while a thread calculates.
    EXPECT_FALSE(child->CanClose());
    EXPECT_EQ(P.Prompts.LastText(),
              "2 threads are still calculating.\n\nBefore closing the file make sure that\n"
              "learning and associating has stopped.");

    P.Prompts.QueueAnswer(IdNo);
    EXPECT_FALSE(Frame->CanCloseFrame());
    const CRecordedMessage asked = P.Prompts.Messages().back();
    EXPECT_EQ(asked.Buttons, EButtons::YesNo);
    EXPECT_EQ(asked.Icon, EIcon::Question);
    EXPECT_EQ(asked.DefaultButton, IdNo);
    EXPECT_EQ(asked.Text.substr(0, 60), std::string("2 threads are still calculating.\n\nBefore closing Quorin-plus"));
    EXPECT_NE(asked.Text.find("Do you want to force all the calculation\nthreads to stop running?"),
              std::string::npos);
    EXPECT_FALSE(App->StopAllRequested());
    EXPECT_FALSE(Frame->ForcingStop());

    P.Prompts.QueueAnswer(IdYes);
    EXPECT_FALSE(Frame->CanCloseFrame());
    EXPECT_TRUE(App->StopAllRequested());
    EXPECT_TRUE(Frame->ForcingStop());
    EXPECT_EQ(Frame->Children().size(), 1u);

    // Each check sets the request again while the thread still runs.
    App->RequestStopAll(false);
    Frame->CheckForcedStop();
    EXPECT_TRUE(App->StopAllRequested());
    EXPECT_TRUE(Frame->ForcingStop());

    // The worker ends: forcing ends, the frame stays open, and learning can start again.
    child->Doc().m_Learning = false;
    App->ThreadEnded();
    Frame->CheckForcedStop();
    EXPECT_FALSE(Frame->ForcingStop());
    EXPECT_FALSE(App->StopAllRequested());
    EXPECT_EQ(Frame->Children().size(), 1u);

    // Now it closes, saving the placement.
    EXPECT_TRUE(Frame->CanCloseFrame());
    EXPECT_FALSE(P.Settings.GetString("Settings", "WindowPos", "").empty());
}

TEST_F(GuiTest, GettingStartedBlocksClosingDown) {
    App->m_GettingStartedRunning = true;
    EXPECT_FALSE(Frame->CanCloseFrame());
    EXPECT_EQ(P.Prompts.LastText(), "Please finish or cancel \"Getting Started\" before closing down.");
    App->m_GettingStartedRunning = false;
}

TEST_F(GuiTest, ProgressFromAWorkerThreadUpdatesTheStatusBar) {
    CChildFrame* child = Frame->NewDocument();
    EXPECT_EQ(Frame->StatusPaneText(0), "Stopped");
    std::thread worker([&] { Views.PostProgress(child->Doc(), 42, StatusLearning); });
    worker.join();
    // Nothing changes until the event loop delivers the message.
    EXPECT_EQ(Frame->StatusPaneText(0), "Stopped");
    Pump();
    EXPECT_EQ(Frame->StatusPaneText(0), "Learning: 42 cycles");
    Views.PostProgress(child->Doc(), 3, StatusAssociating);
    Pump();
    EXPECT_EQ(Frame->StatusPaneText(0), "Associating: column 3");

    // A message from a document that has closed since is dropped.
    CQuorinDoc gone(*App);
    Views.PostProgress(gone, 9, StatusStopped);
    Pump();
    EXPECT_EQ(Frame->StatusPaneText(0), "Associating: column 3");
}

TEST_F(GuiTest, MaximisedWindowIsRestoredMaximised) {
    Frame->showMaximized();
    Pump();
    ASSERT_TRUE(Frame->isMaximized());
    Frame->SavePlacement();
    const std::string saved = P.Settings.GetString("Settings", "WindowPos", "");
    EXPECT_EQ(saved.substr(0, 4), "2, 3");
    CMainFrame second(*App, nullptr);
    EXPECT_TRUE(second.StartMaximised());

    P.Settings.SetString("Settings", "WindowPos", "1, 1, 0, 0");
    CMainFrame third(*App, nullptr);
    EXPECT_FALSE(third.StartMaximised());
}

TEST_F(GuiTest, CommandsFollowTheDocumentState) {
    CChildFrame* child = Frame->NewDocument();
    CQuorinDoc& doc = child->Doc();
    Frame->UpdateCommands();
    EXPECT_TRUE(Frame->FindAction("InsertInputColumn")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("ActionStartLearning")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("ActionStop")->isEnabled());

    doc.AddCol(0, 0, 1);
    doc.AddCol(0, 1, 1);
    doc.m_NetworkExists = 1;
    Frame->UpdateCommands();
    EXPECT_TRUE(Frame->FindAction("ActionStartLearning")->isEnabled());

    doc.m_Learning = true;
    Frame->UpdateCommands();
    EXPECT_FALSE(Frame->FindAction("ActionStartLearning")->isEnabled());
    EXPECT_FALSE(Frame->FindAction("InsertInputColumn")->isEnabled());
    EXPECT_TRUE(Frame->FindAction("ActionStop")->isEnabled());
    doc.m_Learning = false;
    Frame->UpdateCommands();

    // Insert commands reach the document.
    Frame->FindAction("InsertTrainingRow")->trigger();
    EXPECT_EQ(doc.m_RowCount, 1);
    EXPECT_EQ(doc.m_Examples[0].ExampleType, Training);
}

}  // namespace quorin::test

namespace quorin::test {

// Closing down asks every document's save question before any of them goes: a Cancel on the
// second must not have emptied or closed the first.
TEST_F(GuiTest, ClosingDownAsksEverySaveQuestionBeforeAnyDocumentGoes) {
    CChildFrame* first = Frame->NewDocument();
    CChildFrame* second = Frame->NewDocument();
    for (CChildFrame* child : {first, second}) {
        child->Doc().AddCol(0, 0, 1);
        child->Doc().SetModified();
    }
    P.Prompts.QueueAnswer(IdNo);
    P.Prompts.QueueAnswer(IdCancel);
    EXPECT_FALSE(Frame->CanCloseFrame());
    EXPECT_FALSE(Frame->Closing());
    ASSERT_EQ(Frame->Children().size(), 2u);
    EXPECT_EQ(first->Doc().m_ColCount, 1);
    EXPECT_EQ(second->Doc().m_ColCount, 1);

    // Both let go: the frame closes and leaves the documents to the process's end.
    P.Prompts.QueueAnswer(IdNo);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_TRUE(Frame->CanCloseFrame());
    EXPECT_TRUE(Frame->Closing());
    EXPECT_EQ(P.Prompts.LastText(), "Save changes to Untitled?");
}

}  // namespace quorin::test
