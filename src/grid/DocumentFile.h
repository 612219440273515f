#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// Reads a .tvq file into an empty document. On failure returns false with a reason
// ("truncated at byte N", ...) and leaves the document empty.
bool ReadDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error);

}  // namespace quorin
