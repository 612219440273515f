#include "automation/ScriptQuery.h"

#include "analysis/Querying.h"
#include "analysis/QueryRows.h"
#include "grid/QuorinDoc.h"

namespace quorin {

std::string QueryFileName(const std::string& path) {
    const std::string base = path.size() >= 4 ? path.substr(0, path.size() - 4) : path;
    return base + ".qu.txt";
}

bool RunQuery(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("RunQuery   Path %s", path.c_str());
    Refresh(doc);
    return WriteQueryFile(doc, path) != 0;
}

}  // namespace quorin
