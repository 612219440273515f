// For now an image is found by its Pair code and a copy keeps the source's codes: the
// copied records below make the copied values name the same images.
#include "grid/GridImageSeams.h"

#include "coding/ImageList.h"
#include "grid/QuorinDoc.h"

namespace quorin {

bool ImageNameMissing(CQuorinDoc& doc, double value, int column) {
    // An Output column's lookup finds the nearest image even for a missing value.
    if (value >= kMissing) return true;
    return GetImageName(doc, value, column) == kNoImage;
}

void CopyImageCellValue(CQuorinDoc& doc, int /*fromColumn*/, int toColumn, int row, double value) {
    doc.SetValue(toColumn, row, value, 0, 0, 0, 1);
}

void CopyColumnImageCodes(CQuorinDoc& doc, int fromColumn, int toColumn) {
    CopyImages(doc, fromColumn, toColumn);
    PurgeImages(doc, toColumn);
}

}  // namespace quorin
