#include "files/Diagnostics.h"

#include <algorithm>

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
int HoldToLimits(int level) {
    return std::clamp(level, kLowestDiagnosticLevel, kHighestDiagnosticLevel);
}
}  // namespace

int OnDiagnostics(CQuorinDoc& doc) {
    if (doc.m_Learning) return 0;
    CQuorinApp& app = doc.App();
    CTraceWriter& trace = app.TraceWriter();
    trace.Close();

    CDialogForm form;
    form.Id = "Diagnostics";
    form.Title = "Diagnostics";
    // The warning level always offers 1, its usual value, whatever it is now.
    form.AddInt("Warning", "&Warning level", 1, kLowestDiagnosticLevel, kHighestDiagnosticLevel);
    form.AddInt("Diagnostic", "&Diagnostic level", app.m_DiagnosticLevel.load(),
                kLowestDiagnosticLevel, kHighestDiagnosticLevel);
    form.AddInt("Trace", "&Trace level", app.m_TraceLevel.load(), kLowestDiagnosticLevel,
                kHighestDiagnosticLevel);
    if (app.Prompts().ShowDialog(form) != IdOk) return 0;

    // A negative trace level would trace without ever asking for a file.
    const int w = HoldToLimits(form.Int("Warning"));
    const int d = HoldToLimits(form.Int("Diagnostic"));
    const int t = HoldToLimits(form.Int("Trace"));
    app.SetDiagnosticLevels(w, d, t);
    if (t < 1) return 1;

    trace.SetFileName(CTraceWriter::DefaultFileName);
    CFileDialogRequest request;
    request.Save = true;
    request.Title = "Open trace file";
    request.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.DefaultExt = "txt";
    request.FileName = CTraceWriter::DefaultFileName;
    request.OverwritePrompt = true;
    // Cancelled: tracing stays on with the default name, which must exist for a line.
    if (!app.Prompts().FileDialog(request)) return 1;

    trace.SetFileName(request.FileName);
    if (!trace.CreateFile()) {
        app.Prompts().Inform("Unable to create the trace file.");
        return 1;
    }
    app.TraceText(Format("Diagnostic Levels.  W: %d  D: %d  T: %d", w, d, t));
    return 1;
}

int OnDiagnosticsReset(CQuorinDoc& doc) {
    if (doc.m_Learning) return 0;
    CQuorinApp& app = doc.App();
    app.ResetDiagnostics();
    app.Prompts().Inform("Diagnostics reset.");
    return 1;
}

}  // namespace quorin
