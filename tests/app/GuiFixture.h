#pragma once
// A main frame over the test doubles, with the Qt views so that posted progress and
// redraw requests travel as they do in the program.
#include <QCoreApplication>
#include <memory>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QtViews.h"
#include "support/FakePlatform.h"

namespace quorin::test {

class GuiTest : public ::testing::Test {
protected:
    GuiTest() {
        CPlatform platform;
        platform.Prompts = &P.Prompts;
        platform.Clock = &P.Clock;
        platform.Settings = &P.Settings;
        platform.Shell = &P.Shell;
        platform.Views = &Views;
        App = std::make_unique<CQuorinApp>(platform);
        Frame = std::make_unique<CMainFrame>(*App, &Views);
    }
    ~GuiTest() override {
        // Nothing may be calculating when the frame goes.
        while (App->ThreadCount() > 1) App->ThreadEnded();
        Frame.reset();
    }
    static void Pump() { QCoreApplication::processEvents(); }

    CTestPlatform P;
    CQtViews Views;
    std::unique_ptr<CQuorinApp> App;
    std::unique_ptr<CMainFrame> Frame;
};

}  // namespace quorin::test
