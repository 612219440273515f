#include "files/LogFile.h"

#include <cstdio>

#include "files/SideFiles.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

std::string LogFileNameFor(const std::string& documentPath) {
    return LastFourReplaced(documentPath, kLogEnding);
}

int GetLogFile(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("GetLogFile");
    if (!doc.m_Logging) return 0;
    // A confirmed name stays: deriving it again would send the lines to a file the user
    // never chose.
    if (doc.m_LogFileConfirmed) return 1;
    doc.m_LogFileName = LogFileNameFor(SideFileBase(doc));

    CFileDialogRequest request;
    request.Title = "Open log file";
    request.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.DefaultExt = "txt";
    request.FileName = doc.m_LogFileName;
    request.OverwritePrompt = true;
    const EConfirmed confirmed = ConfirmOnce(
        app, doc.m_LogFileName, doc.m_LogFileConfirmed, request, ECreate::Empty,
        "Unable to create a log file.\nLogging has been switched off.", [&] { doc.m_Logging = false; });
    return confirmed == EConfirmed::Confirmed ? 1 : 0;
}

void WriteLog(CQuorinDoc& doc, const std::string& text, int force, int update) {
    CQuorinApp& app = doc.App();
    const std::uint32_t now = app.Clock().GetTickCount();
    bool tooEarly;
    if (doc.m_GridDisplayShown || !update) {
        tooEarly = now < doc.m_NextLogTime;
    } else {
        // Another display is shown: unforced lines never go out, but the views are
        // redrawn at most once a second while they come.
        if (now >= doc.m_NextLogTime) {
            doc.RefreshViews();
            doc.m_NextLogTime = now + 1000;
        }
        tooEarly = true;
    }
    if ((tooEarly && !force) || !doc.m_Logging) return;
    if (!doc.m_LogFileConfirmed) GetLogFile(doc);
    if (!doc.m_LogFileConfirmed) return;

    std::FILE* file = std::fopen(doc.m_LogFileName.c_str(), "ab");
    if (!file) {
        SideFileFailed(app, doc.m_LogFileConfirmed,
                       "Unable to open the log file.\nLogging has been switched off.",
                       [&] { doc.m_Logging = false; });
        return;
    }
    const std::string line = text + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

bool CanViewLog(const CQuorinDoc& doc) { return doc.m_LogFileConfirmed; }

int OnViewLog(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("OnViewLog");
    if (!CanViewLog(doc)) return 0;
    if (app.Shell().OpenFile(doc.m_LogFileName)) return 1;
    app.Prompts().Inform(Format("The log file '%s' cannot be opened.", doc.m_LogFileName.c_str()));
    return 0;
}

}  // namespace quorin
