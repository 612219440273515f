#pragma once
// Stepping through the images of an Image column for querying: name order for first, last,
// next and previous, code order for the nearest valid code, as the texts of a Text column.
#include <string>

namespace quorin {
class CQuorinDoc;

namespace query {
double GetFirstImage(CQuorinDoc& doc, int column);
double GetLastImage(CQuorinDoc& doc, int column);
double GetNextImage(CQuorinDoc& doc, int column, double value);
double GetPreviousImage(CQuorinDoc& doc, int column, double value);
// Change 0: the next code above the value; change 1: the next below.
double GetNextImageCode(CQuorinDoc& doc, int change, double value, int column);
// The Pair code of the first image of that name in the column (-1: any column), or the
// missing-value marker.
double GetImageCode(CQuorinDoc& doc, const std::string& name, int column);
}  // namespace query

using query::GetFirstImage;
using query::GetImageCode;
using query::GetLastImage;
using query::GetNextImage;
using query::GetNextImageCode;
using query::GetPreviousImage;

}  // namespace quorin
