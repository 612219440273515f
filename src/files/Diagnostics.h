#pragma once
// The Diagnostics keys of the document view: F12 sets the warning, diagnostic and trace
// levels and starts a trace file; F11 resets the levels and ends the trace.

namespace quorin {
class CQuorinDoc;

// Limits of the three levels in the Diagnostics dialog; entries beyond them are held to them.
inline constexpr int kLowestDiagnosticLevel = 0;
inline constexpr int kHighestDiagnosticLevel = 9;

// F12. Returns 1 when the levels were set, 0 when ignored (learning) or cancelled.
int OnDiagnostics(CQuorinDoc& doc);
// F11. Returns 1 when the levels were reset, 0 when ignored (learning).
int OnDiagnosticsReset(CQuorinDoc& doc);

}  // namespace quorin
