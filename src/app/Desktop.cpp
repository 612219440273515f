#include "app/Desktop.h"

#include <sched.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

#include "app/ChildFrame.h"
#include "app/HelpWindows.h"
#include "app/MainFrame.h"
#include "platform/StringFormat.h"

namespace quorin {

void LowerSchedulingClass() {
    sched_param param{};
    param.sched_priority = 0;
    if (sched_setscheduler(0, SCHED_IDLE, &param) != 0) setpriority(PRIO_PROCESS, 0, 19);
}

void RestoreSchedulingClass() {
    sched_param param{};
    param.sched_priority = 0;
    sched_setscheduler(0, SCHED_OTHER, &param);
}

ECommandLineFile HandleCommandLine(CQuorinApp& app, CMainFrame& frame, const QString& fileName) {
    const ECommandLineFile kind = ClassifyCommandLine(fileName.toStdString());
    switch (kind) {
        case ECommandLineFile::Script:
            app.m_PendingScript = fileName.toStdString();
            app.m_ScriptRunning = true;
            frame.NewDocument();
            break;
        case ECommandLineFile::Document: frame.OpenDocument(fileName); break;
        case ECommandLineFile::None: break;
    }
    return kind;
}

CDesktop::CDesktop() {
    CPlatform platform;
    platform.Prompts = &m_Prompts;
    platform.Clock = &m_Clock;
    platform.Settings = &m_Settings;
    platform.Shell = &m_Shell;
    platform.Views = &m_Views;
    m_App = std::make_unique<CQuorinApp>(platform);
}

CDesktop::~CDesktop() {
    m_Frame.reset();
    m_Views.SetReceiver(nullptr);
}

void CDesktop::Start(const QStringList& arguments) {
    // 1. Thread flags clear, one thread (this one), tracing off.
    m_App->RequestStopAll(false);
    m_App->m_TraceLevel = 0;
    // 2. The idle class, so that learning never makes the desktop sluggish.
    LowerSchedulingClass();
    // 3. and 4. The settings live under "Quorin"; the document template is the frame's.
    QCoreApplication::setOrganizationName("Quorin");
    QCoreApplication::setApplicationName("Quorin");
    // 5. The main frame, with its placement restored before it is shown.
    m_Frame = std::make_unique<CMainFrame>(*m_App, &m_Views);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { RestoreSchedulingClass(); });
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, m_Frame.get(), [this](QSessionManager& manager) {
        const int threads = m_App->ThreadCount();
        if (threads < 2) return;
        if (manager.allowsInteraction()) {
            m_App->Prompts().Inform(Format("%d threads are still calculating.\n\nBefore closing Quorin-plus "
                                           "make sure that\nlearning and associating has stopped.",
                                           threads));
            manager.release();
        }
        manager.cancel();
        m_App->RequestStopAll(true);
    });
#endif
    // 7. Shown before the command line runs, so that a script's progress can be watched.
    if (m_Frame->StartMaximised())
        m_Frame->showMaximized();
    else
        m_Frame->show();
    // 6. The command line: one optional file name.
    const QString file = arguments.size() > 1 ? arguments.at(1) : QString();
    // A tip when asked for, but not over a script that is about to run.
    const bool scripted = ClassifyCommandLine(file.toStdString()) == ECommandLineFile::Script;
    if (!scripted && CTipOfTheDay::ShowAtStartUp(*m_App))
        QTimer::singleShot(0, m_Frame.get(), [this] { m_Frame->ShowTipOfTheDay(); });
    if (!file.isEmpty())
        QTimer::singleShot(0, m_Frame.get(), [this, file] { HandleCommandLine(*m_App, *m_Frame, file); });
}

}  // namespace quorin
