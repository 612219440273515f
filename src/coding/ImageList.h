#pragma once
// Bookkeeping of the image list of Image columns: records, copying, renumbering,
// purging, tidying and the display name of a value. Coding bitmaps lives elsewhere.
#include <string>

#include "coding/Image.h"

namespace quorin {
class CQuorinDoc;

// The reserved name of an absent image or file.
inline constexpr const char* kNoImage = "~ no image ~";

CImage& NewImage(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                 int column, double pairCode, double edgeCode, double blockCode);
int ImageIsDuplicate(CQuorinDoc& doc, const std::string& imageName, const std::string& fileName,
                     int column, double pairCode, double edgeCode, double blockCode);
// 1 when some row holds the Pair code in the column.
int ImageIsValid(CQuorinDoc& doc, double pairCode, int column);
// The display name of a cell value (column -1: any column for an exact match).
std::string GetImageName(CQuorinDoc& doc, double value, int column);

// Column -2 is a scratch column used while columns are moved.
void CopyImages(CQuorinDoc& doc, int fromColumn, int toColumn);
void DecrementImageCols(CQuorinDoc& doc, int deletedColumn);
void DecrementAssociations(CQuorinDoc& doc, int deletedColumn);
int PurgeImages(CQuorinDoc& doc, int column);
int TidyImages(CQuorinDoc& doc);

}  // namespace quorin
