#pragma once
// The desktop program's start-up: the platform objects, the application object, the
// main frame and the command line.
#include <QStringList>
#include <memory>

#include "app/QtPrompts.h"
#include "app/QtServices.h"
#include "app/QtViews.h"
#include "app/StartupRules.h"
#include "platform/QuorinApp.h"

namespace quorin {
class CMainFrame;

// Lowers the process to the idle scheduling class (a nice value of 19 where that is refused).
void LowerSchedulingClass();
// Back to the normal class once the window has closed, so that tearing down is not starved
// by other work on the machine (refused quietly where the system does not allow it).
void RestoreSchedulingClass();

// The command line's file: a script runs on a new document, a document opens, anything
// else opens nothing. Returns what it did.
ECommandLineFile HandleCommandLine(CQuorinApp& app, CMainFrame& frame, const QString& fileName);

class CDesktop {
public:
    CDesktop();
    ~CDesktop();
    // Start-up in order; the command line is handled once the window is up.
    void Start(const QStringList& arguments);
    CMainFrame& Frame() { return *m_Frame; }
    CQuorinApp& App() { return *m_App; }

private:
    CQtPrompts m_Prompts;
    CQtClock m_Clock;
    CQtSettingsStore m_Settings;
    CQtShell m_Shell;
    CQtViews m_Views;
    std::unique_ptr<CQuorinApp> m_App;
    std::unique_ptr<CMainFrame> m_Frame;
};

}  // namespace quorin
