#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// Runs a script file on the document; returns the script's result code (0 success).
int RunScriptFile(CQuorinDoc& doc, const std::string& path);

}  // namespace quorin
