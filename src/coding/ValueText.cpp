// Turning entries into cell values and cell values into the text the Grid shows.
#include "coding/ValueText.h"

#include <cstdlib>

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

double GetValueFromString(const std::string& text) {
    std::string kept;
    bool digit = false;
    for (char ch : text) {
        const bool isDigit = ch >= '0' && ch <= '9';
        if (isDigit || ch == '.' || ch == 'E' || ch == 'e' || ch == '-' || ch == '+') kept += ch;
        digit = digit || isDigit;
    }
    if (!digit) return kMissing;
    const double value = std::strtod(kept.c_str(), nullptr);
    // Beyond the marker a value could only pose as a known one ("1e999", "-4e38").
    if (!(value < kMissing && value > kMinusMissing)) return kMissing;
    return value;
}

std::string FormatValue(CQuorinDoc& doc, double value, int column) {
    const int mode = column >= 0 && column < static_cast<int>(doc.m_InOuts.size())
                         ? doc.m_InOuts[column].Mode
                         : static_cast<int>(Real);
    return FormatValue(doc, value, column, mode);
}

std::string FormatValue(CQuorinDoc& doc, double value, int column, int mode) {
    doc.App().Trace("FormatValue   Value %.4lf Column %d Mode %d", value, column, mode);
    if (value >= kMissing) return "?";
    switch (mode) {
        case Text: return GetText(doc, value, column);
        case Image: return GetImageName(doc, value, column);
        case Integer: return Format("%.0lf", value);
        case Bool:
            if (value > doc.m_Middle + 0.001) return "true";
            if (value < doc.m_Middle - 0.001) return "false";
            return "?";
        default: return Format("%.4lf", value);
    }
}

std::string FormatCellValue(CQuorinDoc& doc, int column, int row) {
    doc.App().Trace("FormatCellValue   Column %d Row %d", column, row);
    if (row < 0 || row >= static_cast<int>(doc.m_Examples.size()) || column < 0 ||
        column >= static_cast<int>(doc.m_InOuts.size()) ||
        column >= static_cast<int>(doc.m_Examples[row].Values.size()))
        return {};
    return FormatValue(doc, doc.m_Examples[row].Values[column], column, doc.m_InOuts[column].Mode);
}

const char* ModeWord(int mode) {
    switch (mode) {
        case Real: return "Real";
        case Integer: return "Integer";
        case Bool: return "Bool";
        case Text: return "Text";
        case Image: return "Image";
        default: return "?";
    }
}

const char* TypeWord(int type) {
    switch (type) {
        case Input: return "input";
        case Output: return "output";
        case ExcludedCol: return "excluded";
        default: return "?";
    }
}

std::string ColumnCaption(CQuorinDoc& doc, int column) {
    if (column < 0 || column >= static_cast<int>(doc.m_InOuts.size())) return {};
    const CInOut& io = doc.m_InOuts[column];
    const std::string name = io.InOutName.empty() ? std::string() : "  \"" + io.InOutName + "\"";
    return Format("%s %s column %d%s", ModeWord(io.Mode), TypeWord(io.InOutType), column,
                  name.c_str());
}

}  // namespace quorin
