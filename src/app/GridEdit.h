#pragma once
// The Grid editor: typed cell text and column mode changes, by the rules the rest of
// the system relies on (values through SetValue, Querying rows answered again).
#include <string>

namespace quorin {
class CQuorinDoc;

// A text typed into a Grid cell. True when a value was stored.
bool EnterGridText(CQuorinDoc& doc, int column, int row, const std::string& text);

// Changes a column's mode, converting its values; asks first where the change may lose
// data. True when the mode changed.
bool ChangeColumnMode(CQuorinDoc& doc, int column, int mode);

}  // namespace quorin
