#pragma once
// Cell values as text: reading entries, formatting values, the words of modes and types.
#include <string>
#include <string_view>

namespace quorin {
class CQuorinDoc;

// Typed text to a number ("$1,234.50" gives 1234.5; "n/a", "true" and "-" are missing).
double GetValueFromString(std::string_view text);
// As above; `beyond` tells that the number lay beyond plus or minus the marker (stored as
// missing when positive, kept when negative).
double GetValueFromString(std::string_view text, bool& beyond);
// As above, with the locale's decimal point asked once by the caller (DecimalPointIsDot),
// not for every field.
double GetValueFromString(std::string_view text, bool& beyond, bool pointIsDot);
// True when the C locale's decimal point is '.'.
bool DecimalPointIsDot();
// Any stored value as display text, by its column's mode.
std::string FormatValue(CQuorinDoc& doc, double value, int column);
// As above with the mode given.
std::string FormatValue(CQuorinDoc& doc, double value, int column, int mode);
// The value stored at a cell, formatted by its column's mode.
std::string FormatCellValue(CQuorinDoc& doc, int column, int row);

// "Real", "Integer", "Bool", "Text", "Image".
const char* ModeWord(int mode);
// "input", "output", "excluded".
const char* TypeWord(int type);
// "Real input column 3  \"Age\"".
std::string ColumnCaption(CQuorinDoc& doc, int column);

}  // namespace quorin
