#pragma once
// Bookkeeping of the image codes of Image columns.
namespace quorin {
class CQuorinDoc;

void CopyImages(CQuorinDoc& doc, int fromColumn, int toColumn);
void DecrementImageCols(CQuorinDoc& doc, int deletedColumn);
void DecrementAssociations(CQuorinDoc& doc, int deletedColumn);
int PurgeImages(CQuorinDoc& doc, int column);
int TidyImages(CQuorinDoc& doc);

}  // namespace quorin
