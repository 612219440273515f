#include "automation/ImportImages.h"

#include "coding/ImageCodes.h"
#include "grid/MissingValue.h"
#include "grid/QuorinDoc.h"

namespace quorin {

bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value,
                      std::set<std::string>& unloadable) {
    value = kMissing;
    if (name.empty() || unloadable.count(name)) return true;
    // An approximate name or "~ no image ~" is never recorded: it can only name a known image.
    if (name[0] == '~') {
        value = GetImageCode(doc, name, 1, column);
        return true;
    }
    // The row the line will become.
    const int row = static_cast<int>(doc.m_Examples.size());
    std::string file = GetImageFileName(doc, name);
    if (file == kNoImage) {
        file = SelectImageFileName(doc, name, column, 0);
        if (file == kNoImage) return false;
    }
    value = ImageCode(doc, name, file, column, row);
    if (value >= kMissing) {
        // The cell stays missing ("?"), but not silently: headless nobody sees the Grid.
        doc.App().Prompts().Inform(CannotLoadMessage(file));
        unloadable.insert(name);
    }
    return true;
}

}  // namespace quorin
