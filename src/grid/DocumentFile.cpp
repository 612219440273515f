#include "grid/DocumentFile.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: the .tvq reader arrives with the file format.
bool ReadDocumentFile(CQuorinDoc&, const std::string&, std::string& error) {
    error = "the document format cannot be read yet";
    return false;
}

}  // namespace quorin
