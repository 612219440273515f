// Turning entries into cell values and cell values into the text the Grid shows.
#include "coding/ValueText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

#include <langinfo.h>

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

bool IsKept(char ch) {
    return (ch >= '0' && ch <= '9') || ch == '.' || ch == 'E' || ch == 'e' || ch == '-' ||
           ch == '+';
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// strtod's answer on the kept characters where from_chars gives the same correctly
// rounded double for the plain decimal forms the filter leaves. False for everything it
// takes differently (a result out of range, a decimal point other than '.'): strtod
// itself decides those.
bool ConvertFast(const char* first, const char* last, double& value, bool pointIsDot) {
    if (!pointIsDot) return false;
    const bool plus = first < last && *first == '+';
    if (plus) ++first;
    value = 0.0;
    if (plus && first < last && (*first == '+' || *first == '-')) return true;  // no number
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc()) return true;
    value = 0.0;
    return result.ec == std::errc::invalid_argument;  // strtod's "no conversion" gives 0
}

}  // namespace

bool DecimalPointIsDot() {
    // nl_langinfo only hands out a pointer; localeconv would rebuild its whole record.
    const char* point = ::nl_langinfo(RADIXCHAR);
    return point[0] == '.' && point[1] == '\0';
}

double GetValueFromString(std::string_view text, bool& beyond) {
    return GetValueFromString(text, beyond, DecimalPointIsDot());
}

namespace {

// Any field the one-pass form does not take: the kept characters, through from_chars where
// it agrees with strtod, else strtod. False when the field holds no digit.
bool FilteredValue(std::string_view text, bool pointIsDot, double& value) {
    bool digit = false;
    bool plain = true;  // nothing to drop: the field is its own kept characters
    for (char ch : text) {
        digit = digit || IsDigit(ch);
        plain = plain && IsKept(ch);
    }
    if (!digit) return false;
    value = 0.0;
    if (plain && ConvertFast(text.data(), text.data() + text.size(), value, pointIsDot))
        return true;
    // The kept characters, terminated for strtod: on the stack for any sensible number,
    // on the heap for a longer run (a 400-digit number).
    char small[128];
    std::string large;
    char* kept = small;
    if (text.size() + 1 > sizeof small) {
        large.resize(text.size() + 1);
        kept = large.data();
    }
    std::size_t length = 0;
    for (char ch : text)
        if (IsKept(ch)) kept[length++] = ch;
    kept[length] = '\0';
    if (plain || !ConvertFast(kept, kept + length, value, pointIsDot))
        value = std::strtod(kept, nullptr);
    return true;
}

}  // namespace

double GetValueFromString(std::string_view text, bool& beyond, bool pointIsDot) {
    beyond = false;
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    // The common field, a plain decimal number and nothing else, in one pass: a digit or a
    // point after an optional minus means from_chars reads only kept characters, and where
    // it reads them all the filter would hand it the same text.
    const char* lead = first < last && *first == '-' ? first + 1 : first;
    bool done = false;
    if (pointIsDot && lead < last && (IsDigit(*lead) || *lead == '.')) {
        const auto result = std::from_chars(first, last, value, std::chars_format::general);
        done = result.ec == std::errc() && result.ptr == last;
    }
    if (!done && !FilteredValue(text, pointIsDot, value)) return kMissing;
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
        column >= static_cast<int>(doc.m_Examples[row].Values().size()))
        return {};
    return FormatValue(doc, doc.m_Examples[row].Values()[column], column, doc.m_InOuts[column].Mode);
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
