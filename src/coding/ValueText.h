#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// Typed text to a number ("$1,234.50", "n/a", "true", ...).
double GetValueFromString(const std::string& text);
// Any stored value as display text, by its column's mode.
std::string FormatValue(CQuorinDoc& doc, double value, int column);

}  // namespace quorin
