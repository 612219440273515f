#pragma once
// Saving the batch document; the document writer lands with the file format work.
#include <string>

#include "files/SpecialFiles.h"
#include "grid/QuorinDoc.h"

namespace quorin::batch {

inline bool SaveBatchDocument(CQuorinDoc& doc, const std::string& path, std::string& error) {
    SaveOptionalFiles(doc, path);
    error = "the document writer is not part of this build yet";
    return false;
}

}  // namespace quorin::batch
