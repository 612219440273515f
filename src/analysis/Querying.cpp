#include "analysis/Querying.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: querying arrives with the learning thread.
void Refresh(CQuorinDoc&) {}

}  // namespace quorin
