#pragma once
#include <atomic>
#include <string>

#include "platform/Platform.h"
#include "platform/TraceWriter.h"

namespace quorin {

// Process-wide state, one per program run (and one per test): the calculation thread
// count, the stop-all request, the diagnostic levels and trace writer, the pending
// command-line script. Documents reach the platform through it.
class CQuorinApp {
public:
    explicit CQuorinApp(CPlatform platform);
    CQuorinApp(const CQuorinApp&) = delete;
    CQuorinApp& operator=(const CQuorinApp&) = delete;

    IPrompts& Prompts() { return *m_Platform.Prompts; }
    IClock& Clock() { return *m_Platform.Clock; }
    ISettingsStore& Settings() { return *m_Platform.Settings; }
    IShell& Shell() { return *m_Platform.Shell; }
    IViews& Views() { return *m_Platform.Views; }

    // Calculating threads: 1 while only the user interface runs, +1 per worker.
    int ThreadCount() const { return m_ThreadCount.load(); }
    void ThreadStarted() { ++m_ThreadCount; }
    void ThreadEnded() { --m_ThreadCount; }

    // The global stop request, read by every worker at the end of its cycle.
    bool StopAllRequested() const { return m_StopAll.load(); }
    void RequestStopAll(bool on = true) { m_StopAll.store(on); }

    // Diagnostic levels: warning W, diagnostic D, trace T.
    std::atomic<int> m_WarningLevel{1};
    std::atomic<int> m_DiagnosticLevel{0};
    std::atomic<int> m_TraceLevel{0};
    bool Tracing() const { return m_TraceLevel.load() != 0; }
    // Writes one trace line when T is not 0.
    void Trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void TraceText(const std::string& text);
    CTraceWriter& TraceWriter() { return m_Trace; }
    // F12 and F11 of the document view.
    void SetDiagnosticLevels(int w, int d, int t);
    void ResetDiagnostics();

    // A script named on the command line waits here until the first new document runs it.
    std::string m_PendingScript;
    std::atomic<bool> m_ScriptRunning{false};
    // The Getting Started exercise blocks closing documents while it runs.
    std::atomic<bool> m_GettingStartedRunning{false};

private:
    CPlatform m_Platform;
    std::atomic<int> m_ThreadCount{1};
    std::atomic<bool> m_StopAll{false};
    CTraceWriter m_Trace;
};

}  // namespace quorin
