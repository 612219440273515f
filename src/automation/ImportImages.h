#pragma once
// The value of an Image field met by the import.
#include <string>

namespace quorin {
class CQuorinDoc;

// The Pair code of an image name in a column, coded from the bitmap the name already has or
// one the user chooses (the missing-value marker when it cannot be loaded). False when no
// file was chosen.
bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value);

}  // namespace quorin
