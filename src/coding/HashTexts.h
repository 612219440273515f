#pragma once
// Text codes of Text columns.
namespace quorin {
class CQuorinDoc;

void CopyHashTexts(CQuorinDoc& doc, int fromColumn, int toColumn);
void DecrementHashTextCols(CQuorinDoc& doc, int deletedColumn);
int PurgeHashTexts(CQuorinDoc& doc, int column);
int TidyHashTexts(CQuorinDoc& doc);

}  // namespace quorin
