#pragma once
// Querying rows: adding one with preset values, and keeping them in a ".qu.txt" file.
#include <string>

namespace quorin {
class CQuorinDoc;

// Adds a Querying row named "Query" at the top of the Grid and fills it from the
// "Example presets" dialog; with `preset` 0..4 the dialog is not shown and that choice is
// taken. Returns 1 when the row was added.
int AddQuery(CQuorinDoc& doc, int preset = -1);
// The value preset `preset` gives a column (before the row is in the Grid).
double PresetValue(CQuorinDoc& doc, int column, int preset);

// Asks for the file ("Open file to save query") and writes the Querying rows to it.
// Returns 1 when written.
int SaveQuery(CQuorinDoc& doc);
// Writes the Querying rows to `path` in the saved-query layout; shows "Could not open file to
// save query." and returns 0 when the file can't be written.
int WriteQueryFile(CQuorinDoc& doc, const std::string& path);
// The saved-query header: a tab, then each column's type prefix, name and a tab.
std::string QueryFileHeader(const CQuorinDoc& doc);

// Before an editor opens on a cell: an Output cell of a Querying row holds the network's answer,
// which the next refresh replaces. Warns and returns 1 for such a cell, else 0.
int WarnBeforeEditingQueryingOutput(CQuorinDoc& doc, int column, int row);

}  // namespace quorin
