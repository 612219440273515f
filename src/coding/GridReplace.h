#pragma once
// Find and replace over the Grid's cells. Every replacement is typed in through the Grid
// editor (EnterCellText), so a replaced value obeys the same rules as a typed one.
#include <string>

namespace quorin {
class CQuorinDoc;

// Whether a cell holds `find`: Text cells when their text contains it (any case); the
// other modes only when the whole value matches, as text or as the same number, so that
// "1.4" never matches inside "11.4000".
bool CellMatches(CQuorinDoc& doc, int column, int row, const std::string& find);
// The next matching cell after (row, column), row by row, wrapping once round the Grid;
// start from row -1 to search from the first cell. Returns 1 and moves row and column
// to it, or 0 when no cell matches.
int FindNextCell(CQuorinDoc& doc, const std::string& find, int& row, int& column);
// Replaces the match in one cell: the matched part of a Text cell, the whole value otherwise.
// Returns 1 when the editor stored the new entry.
int ReplaceInCell(CQuorinDoc& doc, int column, int row, const std::string& find, const std::string& with);
// Every matching cell; returns how many the editor stored.
int ReplaceAllCells(CQuorinDoc& doc, const std::string& find, const std::string& with);

}  // namespace quorin
