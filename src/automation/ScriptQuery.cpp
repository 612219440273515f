#include "automation/ScriptQuery.h"

#include <climits>
#include <cstdlib>

#include "analysis/FileQuery.h"
#include "analysis/LeaveSomeOut.h"
#include "analysis/Querying.h"
#include "analysis/QueryRows.h"
#include "files/LogFile.h"
#include "coding/ValueText.h"
#include "files/SideFiles.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"

namespace quorin {

namespace {
std::string Trimmed(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return {};
    const auto first = p[i].find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = p[i].find_last_not_of(" \t");
    return p[i].substr(first, last - first + 1);
}

int IntParam(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return 0;
    const long v = std::strtol(p[i].c_str(), nullptr, 10);
    return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}
}  // namespace

std::string QueryFileName(const std::string& path) {
    return LastFourReplaced(path, kQueryEnding);
}

bool RunQuery(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("RunQuery   Path %s", path.c_str());
    Refresh(doc);
    return WriteQueryFile(doc, path) != 0;
}

}  // namespace quorin

namespace quorin {

void ScriptLeaveSomeOut(CQuorinDoc& doc, const std::vector<std::string>& p,
                        const std::string& scriptPath) {
    if (!CanLeaveOut(doc)) return;
    CLeaveOutSettings settings;
    settings.Examples = IntParam(p, 0);
    settings.Cycles = IntParam(p, 1);
    settings.DeleteValidating = IntParam(p, 2) != 0;
    settings.DeleteQuerying = IntParam(p, 3) != 0;
    settings.DeleteExcluded = IntParam(p, 4) != 0;
    settings.DeleteDuplicated = IntParam(p, 5) != 0;
    settings.LogPath = Trimmed(p, 6);
    // A log file confirmed earlier keeps its name; otherwise the name comes from the
    // document, or from the script for a document never saved.
    if (settings.LogPath.empty() && !doc.m_LogFileConfirmed)
        settings.LogPath = LogFileNameFor(doc.m_PathName.empty() ? scriptPath : doc.m_PathName);
    CLeaveSomeOut run(doc);
    run.RunHeadless(settings);
}

void ScriptAddQuery(CQuorinDoc& doc, const std::vector<std::string>& p) {
    int preset = IntParam(p, 0);
    if (preset < 0 || preset > 4) preset = 4;
    if (!AddQuery(doc, preset)) return;
    if (doc.m_NetworkExists && NetworkMatchesGrid(doc)) Refresh(doc, 1);
}

void ScriptFileQuery(CQuorinDoc& doc, const std::vector<std::string>& p, const std::string& path) {
    CFileQueryOptions o;
    o.NoRowNames = IntParam(p, 1) != 0;
    o.NoColumnNames = IntParam(p, 2) != 0;
    o.Tab = IntParam(p, 3) != 0;
    o.Comma = IntParam(p, 4) != 0;
    o.Space = IntParam(p, 5) != 0;
    o.Stop = IntParam(p, 6) != 0;
    o.Colon = IntParam(p, 7) != 0;
    o.Semicolon = IntParam(p, 8) != 0;
    std::string output = Trimmed(p, 9);
    if (output.empty()) output = QueryFileName(path);
    FileQuery(doc, path, o, output);
}

}  // namespace quorin
