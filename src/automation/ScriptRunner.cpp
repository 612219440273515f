#include "automation/ScriptRunner.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: the script language arrives with the automation subsystem.
int RunScriptFile(CQuorinDoc&, const std::string&) { return 0; }

}  // namespace quorin
