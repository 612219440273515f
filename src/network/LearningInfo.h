#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// The document information box shown after opening a file.
void ShowInfo(CQuorinDoc& doc, const std::string& path);

}  // namespace quorin
