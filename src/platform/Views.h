#pragma once
#include <string>

namespace quorin {

class CQuorinDoc;

// The document's windows: redraw requests, progress from worker threads, and a way
// for long user-interface-thread work to let pending window events run.
class IViews {
public:
    virtual ~IViews() = default;
    // Redraw every view of the document (may be called from worker threads).
    virtual void RefreshViews(CQuorinDoc& doc) = 0;
    // The progress message: a cycle count (or column) and a status code. Posted, never
    // waited on; the main window turns it into status bar text.
    virtual void PostProgress(CQuorinDoc& doc, int count, int status) = 0;
    // Let queued window events run (modeless windows, the stop button).
    virtual void PumpEvents() = 0;
    // A short note for the status bar (an Auto Save copy was written). Posted, never waited
    // on; shells without a status bar ignore it.
    virtual void ShowStatusMessage(CQuorinDoc& doc, const std::string& text) {
        (void)doc;
        (void)text;
    }
    // Progress of long work on the user-interface thread, such as reading a large file:
    // a caption and how much is done in percent; 100 says the work has ended.
    virtual void ShowFileProgress(CQuorinDoc& doc, const std::string& caption, int percent) {
        ShowStatusMessage(doc, percent >= 100 ? std::string()
                                              : caption + " " + std::to_string(percent) + "%");
    }
};

}  // namespace quorin
