// Turning entries into cell values and cell values into the text the Grid shows.
#include "coding/ValueText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// strtod on the kept characters, without its cost where another conversion is exact:
// from_chars gives the same correctly rounded doubles for the plain decimal forms the
// filter leaves. Everything it takes differently (a leading plus, no number at all, a
// result out of range, a decimal point other than '.') goes to strtod itself.
double ConvertKept(const char* kept, std::size_t length) {
    const char* first = kept;
    const char* last = kept + length;
    const char* point = std::localeconv()->decimal_point;
    if (point[0] == '.' && point[1] == '\0') {
        const bool plus = first < last && *first == '+';
        if (plus) ++first;
        if (plus && first < last && (*first == '+' || *first == '-')) return 0.0;  // no number
        double value = 0.0;
        const auto result = std::from_chars(first, last, value, std::chars_format::general);
        if (result.ec == std::errc()) return value;
        if (result.ec == std::errc::invalid_argument) return 0.0;  // strtod's "no conversion"
    }
    return std::strtod(kept, nullptr);
}

}  // namespace

double GetValueFromString(std::string_view text, bool& beyond) {
    beyond = false;
    // The kept characters of any sensible number fit on the stack; a longer run (a
    // 400-digit number) takes the heap.
    char small[128];
    std::string large;
    char* kept = small;
    std::size_t length = 0;
    bool digit = false;
    for (char ch : text) {
        const bool isDigit = ch >= '0' && ch <= '9';
        if (!(isDigit || ch == '.' || ch == 'E' || ch == 'e' || ch == '-' || ch == '+')) continue;
        digit = digit || isDigit;
        if (length + 1 == sizeof small && kept == small) {
            large.assign(small, length);
            large.reserve(text.size() + 1);
            kept = nullptr;
        }
        if (kept == small) {
            small[length] = ch;
        } else {
            large.push_back(ch);
        }
        ++length;
    }
    if (!digit) return kMissing;
    if (kept == small) {
        small[length] = '\0';
    } else {
        kept = large.data();
    }
    const double value = ConvertKept(kept, length);
    // A value of the marker or more is missing, as everywhere in the Grid. A negative one
    // beyond minus the marker is kept: it is below every range scan's start, so it cannot
    // pose as a known value; only minus infinity is held at the largest finite number.
    if (value >= kMissing) {
        beyond = true;
        return kMissing;
    }
    if (value <= kMinusMissing) {
        beyond = true;
        return std::max(value, std::numeric_limits<double>::lowest());
    }
    return value;
}

double GetValueFromString(std::string_view text) {
    bool beyond = false;
    return GetValueFromString(text, beyond);
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
