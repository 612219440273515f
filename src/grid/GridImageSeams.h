#pragma once
// The Image-column steps of the Grid check and of copying columns, kept apart so that
// the bitmap coding can take them over in one place.
namespace quorin {
class CQuorinDoc;

// True when a cell value of an Image column names no image.
bool ImageNameMissing(CQuorinDoc& doc, double value, int column);
// Stores the copy of an Image cell into the new column's row.
void CopyImageCellValue(CQuorinDoc& doc, int fromColumn, int toColumn, int row, double value);
// After a copied Image column is filled: its image records, without those no cell uses.
void CopyColumnImageCodes(CQuorinDoc& doc, int fromColumn, int toColumn);

}  // namespace quorin
