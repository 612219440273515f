#pragma once
// Stepping through a column's images for the query and edit dialogs, and the temporary
// association of an Image column with another column.
namespace quorin {
class CQuorinDoc;

// Image names in byte order; the values are Pair codes.
double GetFirstImage(CQuorinDoc& doc, int column);
double GetLastImage(CQuorinDoc& doc, int column);
double GetNextImage(CQuorinDoc& doc, int column, double value);
double GetPreviousImage(CQuorinDoc& doc, int column, double value);
// Change 0: the next Pair code above the value; change 1: the next below. Input columns only.
double GetNextImageCode(CQuorinDoc& doc, int change, double value, int column);

// The "Associate Images" dialog; 1 when the association was set.
int AssociateImages(CQuorinDoc& doc, int column);
// Edit > Associate Images: an Image column while nothing calculates.
bool CanAssociateImages(const CQuorinDoc& doc, int column);
// The Image commands of the Edit menu: some Image column exists while nothing calculates.
bool CanUseImageCommands(const CQuorinDoc& doc);

}  // namespace quorin
