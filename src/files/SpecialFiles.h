#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// Writes the chosen special files (.gr/.we/.bi/.gp, and .de) beside a document being saved.
void SaveOptionalFiles(CQuorinDoc& doc, const std::string& fileName);

}  // namespace quorin
