#include "automation/ScriptQuery.h"

#include <fstream>

#include "analysis/Querying.h"
#include "coding/ValueText.h"
#include "files/SideFiles.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
const char* TypePrefix(int type) {
    switch (type) {
    case Input: return "I: ";
    case Output: return "O: ";
    default: return "X: ";
    }
}
}  // namespace

std::string QueryFileName(const std::string& path) {
    return LastFourReplaced(path, kQueryEnding);
}

bool RunQuery(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("RunQuery   Path %s", path.c_str());
    Refresh(doc);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        doc.App().Prompts().Inform("Could not open file to save query.");
        return false;
    }
    std::string text = "\t";
    for (const CInOut& io : doc.m_InOuts) text += TypePrefix(io.InOutType) + io.InOutName + "\t";
    out << text;
    const int columns = static_cast<int>(doc.m_InOuts.size());
    for (const CExample& ex : doc.m_Examples) {
        if (ex.ExampleType != Querying) continue;
        text = "\r\n" + ex.ExampleName;
        for (int c = 0; c < columns && c < static_cast<int>(ex.Values.size()); ++c)
            text += "\t" + FormatValue(doc, ex.Values[c], c);
        out << text;
    }
    out.flush();
    if (!out) {
        doc.App().Prompts().Inform("Could not open file to save query.");
        return false;
    }
    return true;
}

}  // namespace quorin
