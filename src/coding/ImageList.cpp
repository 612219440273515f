#include "coding/ImageList.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seams for the image subsystem.
void CopyImages(CQuorinDoc&, int, int) {}
void DecrementImageCols(CQuorinDoc&, int) {}
void DecrementAssociations(CQuorinDoc&, int) {}
int PurgeImages(CQuorinDoc&, int) { return 0; }
int TidyImages(CQuorinDoc&) { return 0; }

}  // namespace quorin
