#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// A text typed into a Grid cell, stored by the Grid editor's rules. True when a value
// was stored.
bool EnterGridText(CQuorinDoc& doc, int column, int row, const std::string& text);

}  // namespace quorin
