#include "coding/HashTexts.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seams for the text-coding subsystem; the full rules arrive with it.
void CopyHashTexts(CQuorinDoc&, int, int) {}
void DecrementHashTextCols(CQuorinDoc&, int) {}
int PurgeHashTexts(CQuorinDoc&, int) { return 0; }
int TidyHashTexts(CQuorinDoc&) { return 0; }

}  // namespace quorin
