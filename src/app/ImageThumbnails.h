#pragma once
// Small pictures of the bitmaps that Image cells name, for the Grid.
#include <QPixmap>
#include <string>

namespace quorin {
class CQuorinDoc;

// The thumbnail of the image a cell value names in the column; null when there is none.
QPixmap ImageThumbnail(CQuorinDoc& doc, double value, int column);

}  // namespace quorin
