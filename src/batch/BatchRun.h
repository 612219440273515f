#pragma once
// The batch run itself: the script on a new document, the learning it started, the save
// and the summary. main() adds the command line and the signal handler.
#include <atomic>
#include <string>

#include "ConsolePlatform.h"

namespace quorin {
class CQuorinDoc;
}

namespace quorin::batch {

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;  // the script or the save failed
inline constexpr int kExitUsage = 2;   // a bad command line

// The script's path with ".tvq" in place of a final ".txt" (appended otherwise).
std::string DefaultOutput(const std::string& script);

// Runs `script` on `doc` (a new document of an application whose script-running flag the
// caller has raised), waits for the learning the script started and did not stop, saves
// the document and its chosen special files to `out` and writes the summary. `interrupt`
// (Ctrl-C) skips the script's remaining lines and stops learning after its cycle; the
// document is still saved. Returns an exit status.
int RunBatch(CQuorinDoc& doc, CConsole& console, CConsoleViews& views, const std::string& script,
             const std::string& out, const std::atomic<bool>& interrupt);

// The closing paragraph: rows, columns, network shape, cycles, errors and files written.
std::string BatchSummary(CQuorinDoc& doc, const std::string& out, bool interrupted);
// The progress line shown while learning runs.
std::string ProgressLine(CQuorinDoc& doc, const CConsoleViews& views);

}  // namespace quorin::batch
