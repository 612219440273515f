#include "automation/ImportImages.h"

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

bool ImportImageValue(CQuorinDoc& doc, const std::string& name, int column, double& value) {
    for (const CImage& image : doc.m_Images) {
        if (image.ImageName == name && image.Column == column) {
            value = image.PairCode;
            return true;
        }
    }
    CFileDialogRequest request;
    request.Title = Format("Select the bitmap file for '%s'", name.c_str());
    request.Filter = "Bitmap files (*.bmp)|*.bmp|All Files (*.*)|*.*||";
    request.DefaultExt = "bmp";
    if (!doc.App().Prompts().FileDialog(request)) return false;
    // Bitmap signatures are computed by the image coding; until a bitmap is coded
    // the cell holds the missing value, as for an unreadable bitmap.
    value = kMissing;
    return true;
}

}  // namespace quorin
