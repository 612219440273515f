#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "GuiFixture.h"
#include "analysis/LeaveSomeOut.h"
#include "app/FormDialog.h"
#include "app/QtPrompts.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"
#include "support/TempDir.h"
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorin::test {

namespace {
// The test's answers for the dialogs, the program's own modeless windows.
class CQtWindowPrompts : public CScriptedPrompts {
public:
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) override {
        return m_Qt.OpenModeless(form);
    }

private:
    CQtPrompts m_Qt;
};

QPushButton* Button(const QString& title, const char* key) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<CFormDialog*>(w); dialog && dialog->isVisible() &&
                                                          dialog->windowTitle() == title)
            return dialog->findChild<QPushButton*>(key);
    return nullptr;
}
}  // namespace

TEST_F(GuiTest, TheProgressWindowPausesResumesAndClosesWhileTheStepsRun) {
    CQtWindowPrompts prompts;
    CPlatform platform{&prompts, &P.Clock, &P.Settings, &P.Shell, &Views};
    CQuorinApp app(platform);
    CQuorinDoc doc(app);
    doc.NewDocument();
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2, 1);
    for (int r = 0; r < 30; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 3; ++c) doc.SetValue(c, r, ((r * (c + 2)) % 5) * 0.25, 0, 0, 0, 1);
    doc.RenormaliseAll(1);
    NewNetwork(doc, 2, 4, 1, 0);
    const CTempDir dir;
    const std::string log = dir.File("lso.lo.txt");
    prompts.QueueDialogOk();
    prompts.QueueFile(log);
    prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Cycles").TextValue = "200"; });
    prompts.QueueAnswer(IdYes);

    std::vector<QString> seen;
    QTimer presser;
    presser.setInterval(5);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        for (const QString title : {"Leave Some Out", "Leave Some Out stopped", "Leave Some Out finished"}) {
            QPushButton* stop = Button(title, "Stop");
            if (!stop) continue;
            if (seen.empty() || seen.back() != title) seen.push_back(title);
            if (title == "Leave Some Out" && seen.size() == 1) stop->click();
            if (title == "Leave Some Out stopped") Button(title, "Start")->click();
            if (title == "Leave Some Out finished") Button(title, "Close")->click();
        }
    });
    presser.start();
    EXPECT_EQ(OnActionLeaveOut(doc), 1);
    presser.stop();
    EXPECT_EQ(seen, (std::vector<QString>{"Leave Some Out", "Leave Some Out stopped",
                                          "Leave Some Out", "Leave Some Out finished"}));
    EXPECT_EQ(P.Shell.m_Opened, std::vector<std::string>{log});
    std::ifstream in(log, std::ios::binary);
    std::stringstream report;
    report << in.rdbuf();
    EXPECT_NE(report.str().find("From\t29\t \tT:\r\nTo\t1\t"), std::string::npos);
}

}  // namespace quorin::test
