#include "automation/ScriptSave.h"

#include <filesystem>

#include "grid/DocumentCommands.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

int ScriptSaveFile(CQuorinDoc& doc, const std::string& path, const std::string& scriptPath) {
    doc.App().Trace("ScriptSaveFile   Path %s", path.c_str());
    if (path.empty()) {
        doc.App().Prompts().Inform("The script line 'savefile' needs the path of the document to "
                                   "write and has been skipped.");
        return 0;
    }
    std::filesystem::path target(path);
    // Written where the script's data is read from, whatever the working folder.
    if (target.is_relative() && !scriptPath.empty())
        target = std::filesystem::path(scriptPath).parent_path() / target;
    return SaveDocument(doc, target.string());
}

}  // namespace quorin
