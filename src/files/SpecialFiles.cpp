#include "files/SpecialFiles.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: the special files arrive with the automation subsystem.
void SaveOptionalFiles(CQuorinDoc&, const std::string&) {}

}  // namespace quorin
