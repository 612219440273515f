#include "platform/QuorinApp.h"

#include <cstdarg>

#include "platform/StringFormat.h"

namespace quorin {

CQuorinApp::CQuorinApp(CPlatform platform) : m_Platform(platform) {}

void CQuorinApp::Trace(const char* format, ...) {
    if (!Tracing()) return;
    va_list args;
    va_start(args, format);
    std::string text = FormatV(format, args);
    va_end(args);
    TraceText(text);
}

void CQuorinApp::TraceText(const std::string& text) {
    if (!Tracing()) return;
    if (m_Trace.Write(text) == CTraceWriter::EResult::OpenFailed) {
        // No file to write to: switch tracing off rather than repeat the message per line.
        m_TraceLevel.store(0);
        Prompts().Inform("Unable to open the trace file.");
    }
}

void CQuorinApp::SetDiagnosticLevels(int w, int d, int t) {
    m_Trace.Close();
    m_WarningLevel = w;
    m_DiagnosticLevel = d;
    m_TraceLevel = t;
    m_Trace.ResetLineCounter();
}

void CQuorinApp::ResetDiagnostics() {
    m_WarningLevel = 1;
    m_DiagnosticLevel = 0;
    m_TraceLevel = 0;
    if (m_Trace.IsOpen()) {
        m_Trace.Write(Format("Diagnostic Levels.  W: %d  D: %d  T: %d", 1, 0, 0));
        m_Trace.Close();
    }
}

}  // namespace quorin
