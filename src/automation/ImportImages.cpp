#include "automation/ImportImages.h"

#include "coding/ImageCodes.h"
#include "grid/QuorinDoc.h"

namespace quorin {

bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value) {
    // The row the line will become.
    const int row = static_cast<int>(doc.m_Examples.size());
    std::string file = GetImageFileName(doc, name);
    if (file == kNoImage) {
        file = SelectImageFileName(doc, name, column, 0);
        if (file == kNoImage) return false;
    }
    // A bitmap that cannot be loaded leaves the cell missing, shown as "?".
    value = ImageCode(doc, name, file, column, row);
    return true;
}

}  // namespace quorin
