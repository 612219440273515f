// Text <-> Image conversion of a column's cells.
#include "coding/ImageConversion.h"

#include "coding/ImageCodes.h"
#include "coding/ImageList.h"
#include "coding/ValueText.h"
#include "platform/StringFormat.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"

namespace quorin {

int ChangeTextToImage(CQuorinDoc& doc, int column) {
    doc.App().Trace("ChangeTextToImage   Column %d", column);
    if (!doc.ValidCol(column)) return 0;
    const bool output = doc.m_InOuts[column].InOutType == Output;
    const int rows = static_cast<int>(doc.m_Examples.size());
    for (int row = 0; row < rows; ++row) {
        if (output && doc.m_Examples[row].ExampleType == Querying) continue;
        const double value = doc.m_Examples[row].Values()[column];
        if (value >= kMissing) continue;
        const std::string name = FormatCellValue(doc, column, row);
        double code = kMissing;
        // A text that cannot name an image (approximate, empty, or with '?') leaves the cell
        // missing rather than a text code that an image might share.
        if (!name.empty() && name[0] != '~' && name.find('?') == std::string::npos &&
            !CodeImageName(doc, name, column, row, code)) {
            doc.App().Prompts().Inform(Format(
                "No bitmap file has been selected for '%s'.\nColumn %d has not been changed to "
                "Image.",
                name.c_str(), column));
            return 0;
        }
        doc.SetValue(column, row, code, 1, 1, 0, 1);
    }
    return 1;
}

int ChangeImageToText(CQuorinDoc& doc, int column) {
    doc.App().Trace("ChangeImageToText   Column %d", column);
    if (column < 0 || column >= static_cast<int>(doc.m_InOuts.size())) return 0;
    const bool output = doc.m_InOuts[column].InOutType == Output;
    const int rows = static_cast<int>(doc.m_Examples.size());
    for (int row = 0; row < rows; ++row) {
        // Querying outputs are network answers, not data.
        if (output && doc.m_Examples[row].ExampleType == Querying) continue;
        const double value = doc.m_Examples[row].Values()[column];
        // A missing cell, or a code no image has, stays missing instead of becoming a text.
        const std::string name = value >= kMissing ? std::string() : GetImageName(doc, value, column);
        double code = kMissing;
        if (!name.empty() && name[0] != '~') {
            code = Hash(doc, name, column, 1);
            if (code >= kMissing) return 0;
        }
        // Ranges are brought up to date once at the end rather than per row.
        doc.SetValue(column, row, code, 1, 0, 0, 1);
    }
    if (rows > 0) doc.SetValue(column, 0, doc.m_Examples[0].Values()[column], 1, 1, 0, 1);
    return 1;
}

}  // namespace quorin
