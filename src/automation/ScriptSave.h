#pragma once
// The savefile script keyword.
#include <string>

namespace quorin {
class CQuorinDoc;

// Saves the document to the path as File > Save As does (a relative path beside the script);
// an empty path is refused with a message. 1 when saved.
int ScriptSaveFile(CQuorinDoc& doc, const std::string& path, const std::string& scriptPath);

}  // namespace quorin
