#pragma once
// Housekeeping of the text list while columns are moved, deleted and tidied.
#include <vector>

namespace quorin {
class CQuorinDoc;

// The values the rows hold in a column, sorted, for purging by binary search.
std::vector<double> SortedColumnValues(const CQuorinDoc& doc, int column);

// Column -2 is a scratch column that holds texts while columns are rearranged.
void CopyHashTexts(CQuorinDoc& doc, int fromColumn, int toColumn);
void DecrementHashTextCols(CQuorinDoc& doc, int deletedColumn);
// Removes the column's texts that no row holds; returns how many.
int PurgeHashTexts(CQuorinDoc& doc, int column);
// Removes texts that belong to no column; returns how many.
int TidyHashTexts(CQuorinDoc& doc);
// Menu command "Tidy Text and Images".
void OnOptionsTidy(CQuorinDoc& doc);

// Menu availability.
bool CanTidy(const CQuorinDoc& doc);

}  // namespace quorin
