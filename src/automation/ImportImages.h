#pragma once
// The value of an Image field met by the import.
#include <set>
#include <string>

namespace quorin {
class CQuorinDoc;

// The Pair code of an image name in a column, coded from the bitmap the name already has or
// one the user chooses. False when no file was chosen. A bitmap that cannot be loaded leaves
// the cell missing; it is reported once per name, and the name is kept in `unloadable` so
// that its further fields are neither asked about nor reported again. An empty field is
// missing; a name beginning with "~" only finds an image already known.
bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value,
                      std::set<std::string>& unloadable);

}  // namespace quorin
