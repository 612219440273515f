#pragma once
// Converting a column's cells between Text and Image.
namespace quorin {
class CQuorinDoc;

// Each text becomes an image name with a bitmap; 1 when every cell was converted.
int ChangeTextToImage(CQuorinDoc& doc, int column);
// Each image name becomes a coded text; 1 when every cell was converted.
int ChangeImageToText(CQuorinDoc& doc, int column);

}  // namespace quorin
