#include "network/ControlsDialog.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: the Controls dialog arrives with the learning controls.
void OnActionChangeControls(CQuorinDoc& doc) { doc.App().Trace("OnActionChangeControls"); }

}  // namespace quorin
