#pragma once
// The value of an Image field met by the import.
#include <string>

namespace quorin {
class CQuorinDoc;

// The Pair code of an image name in a column: a known image keeps its code; for a new
// name the user chooses its bitmap. False when no file was chosen.
bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value);

}  // namespace quorin
