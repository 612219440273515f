#include "app/GridEdit.h"

#include <cstdlib>

#include "analysis/Querying.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"

namespace quorin {

bool EnterGridText(CQuorinDoc& doc, int column, int row, const std::string& text) {
    if (!CanEditGrid(doc) || column < 0 || column >= doc.m_ColCount || row < 0 ||
        row >= doc.m_RowCount)
        return false;
    const int mode = doc.m_InOuts[column].Mode;
    double value = kMissing;
    if (!text.empty() && text[0] == '?') {
        value = kMissing;
    } else if (mode == Real || mode == Integer) {
        value = std::strtod(text.c_str(), nullptr);
    } else if (mode == Bool) {
        const char c = text.empty() ? '\0' : text[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            value = doc.m_UpperLimit;
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            value = doc.m_LowerLimit;
        else
            value = std::strtod(text.c_str(), nullptr) > 0.0 ? 1.0 : 0.0;
    } else {
        return false;  // Text and Image cells are coded by their own editor
    }
    doc.SetValue(column, row, value, 1, 1, 0, 1);
    const int type = doc.m_Examples[row].ExampleType;
    if ((type == Querying || type == Duplicate) && doc.m_NetworkExists) Refresh(doc);
    doc.RefreshViews();
    return true;
}

}  // namespace quorin
