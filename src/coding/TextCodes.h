#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// Codes a text of a column, recording it; returns the code.
double Hash(CQuorinDoc& doc, const std::string& text, int column, int spread);
// The code of a recorded text, or the missing-value marker.
double GetHash(CQuorinDoc& doc, const std::string& text);
// The text of a code in a column (with "~" prefixes for approximate matches).
std::string GetText(CQuorinDoc& doc, double value, int column);

}  // namespace quorin
