// Changing a column's mode in the Grid editor, keeping every value that can be kept.
//
// Conversion rules (a missing value always stays missing):
// - Real, Integer, Bool among themselves: a number is kept; into Integer it is rounded to
//   the nearest whole number (the figure an Integer column already showed); into Bool it is
//   read as the editor reads a typed number: above 0 is true (1.0), otherwise false (0.0).
// - Real or Integer into Text: the number's shortest exact decimal text ("2.5", "3"), so
//   that converting back gives the very same number; Bool into Text: "true" or "false"
//   (a Bool value at the middle shows "?" and becomes missing).
// - Text into Real or Integer: a text that is a number as a whole (blanks around it
//   allowed) gives that number, rounded for Integer; any other text cannot be kept and
//   becomes missing. Text into Bool: texts starting with T, t, Y or y are true and with
//   F, f, N or n false, as typed; a number text is true above 0; other texts are missing.
//   The column's texts that no cell holds any more are purged.
// - Text and Image: the image coding's conversions; Image into Real, Integer or Bool goes
//   through Text (image names that are numbers are kept); Real, Integer or Bool into Image
//   goes through Text too. A failed conversion puts every value and the mode back.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "coding/GridEditor.h"
#include "coding/HashTexts.h"
#include "coding/ImageConversion.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {

constexpr const char* kTextQuestion =
    "Changing non-textual data to 'Text'\nwill invalidate the current network\nand may result "
    "in the loss of some data.\n\nDo you want to continue?";
constexpr const char* kBoolQuestion =
    "Changing non-boolean data to 'Bool'\nmay produce unexpected results that\ncan result in a "
    "loss of data.\n\nDo you want to continue?";

bool Numeric(int mode) { return mode == Real || mode == Integer || mode == Bool; }

// A whole text as a number, or the marker.
double WholeNumber(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return kMissing;
    const size_t last = text.find_last_not_of(' ');
    const std::string trimmed = text.substr(first, last - first + 1);
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size()) return kMissing;
    if (!(value < kMissing && value > kMinusMissing)) return kMissing;
    return value;
}

std::string ShortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A number of a numeric column as the new numeric mode holds it.
double NumberInto(double value, int mode) {
    if (value >= kMissing) return kMissing;
    if (mode == Integer) return std::nearbyint(value);
    if (mode == Bool) return value > 0 ? 1.0 : 0.0;
    return value;
}

// A text of a Text column as the new numeric mode holds it.
double TextInto(CQuorinDoc& doc, const std::string& text, int mode) {
    if (mode == Bool) {
        const char first = text.empty() ? '\0' : text[0];
        if (first == 'T' || first == 't' || first == 'Y' || first == 'y') return doc.m_UpperLimit;
        if (first == 'F' || first == 'f' || first == 'N' || first == 'n') return doc.m_LowerLimit;
    }
    return NumberInto(WholeNumber(text), mode);
}

std::vector<double> ColumnValues(const CQuorinDoc& doc, int column) {
    std::vector<double> values;
    for (const CExample& ex : doc.m_Examples) values.push_back(ex.Values()[column]);
    return values;
}

// Writes a column's new values; the ranges are brought up to date once afterwards.
void WriteColumn(CQuorinDoc& doc, int column, const std::vector<double>& values) {
    for (size_t row = 0; row < values.size(); ++row)
        if (doc.m_Examples[row].Values()[column] != values[row])
            doc.SetValue(column, static_cast<int>(row), values[row], 1, 0, 0, 1);
}

// Numeric or Bool cells into coded texts.
void NumbersToText(CQuorinDoc& doc, int column, int from) {
    std::vector<double> values = ColumnValues(doc, column);
    CTextCodeIndex index(doc.m_HashTexts);  // a tall column of distinct numbers stays linear
    for (double& value : values) {
        if (value >= kMissing) continue;
        const std::string text =
            from == Bool ? FormatValue(doc, value, column, Bool) : ShortestText(value);
        value = text[0] == '?' ? kMissing : Hash(doc, text, column, 1, index);
    }
    WriteColumn(doc, column, values);
}

// Coded texts into numbers of the new mode.
void TextToNumbers(CQuorinDoc& doc, int column, int mode) {
    std::vector<double> values = ColumnValues(doc, column);
    for (double& value : values)
        if (value < kMissing) value = TextInto(doc, GetText(doc, value, column), mode);
    WriteColumn(doc, column, values);
}

void NumbersToNumbers(CQuorinDoc& doc, int column, int mode) {
    std::vector<double> values = ColumnValues(doc, column);
    for (double& value : values) value = NumberInto(value, mode);
    WriteColumn(doc, column, values);
}

// Converts the cells; false when a conversion failed part way.
bool Convert(CQuorinDoc& doc, int column, int from, int to) {
    if (from == Image) {
        if (!ChangeImageToText(doc, column)) return false;
        from = Text;
    }
    if (to == Image) {
        if (Numeric(from)) NumbersToText(doc, column, from);
        return ChangeTextToImage(doc, column) != 0;
    }
    if (from == to) return true;
    if (to == Text)
        NumbersToText(doc, column, from);
    else if (from == Text)
        TextToNumbers(doc, column, to);
    else
        NumbersToNumbers(doc, column, to);
    return true;
}

}  // namespace

int ChangeColumnMode(CQuorinDoc& doc, int column, int mode) {
    doc.App().Trace("ChangeColumnMode   Column %d Mode %d", column, mode);
    if (column < 0 || column >= doc.m_ColCount || column >= static_cast<int>(doc.m_InOuts.size()))
        return 0;
    if (mode < Real || mode > Image || doc.m_Learning || doc.m_Associating) return 0;
    const int from = doc.m_InOuts[column].Mode;
    if (from == mode) return 1;
    IPrompts& prompts = doc.App().Prompts();
    // Numbers reach Image through Text, so they get the Text question as well.
    if ((mode == Text || mode == Image) && Numeric(from) && !prompts.AskYesNo(kTextQuestion))
        return 0;
    if (mode == Bool && doc.App().m_WarningLevel >= 1 && !prompts.AskYesNo(kBoolQuestion))
        return 0;

    const std::vector<double> before = ColumnValues(doc, column);
    if (!Convert(doc, column, from, mode)) {
        WriteColumn(doc, column, before);
        doc.RenormaliseAll(1);
        return 0;
    }
    doc.SetInOutTypeAndMode(column, -1, mode);
    doc.m_NetworkExists = 0;
    doc.m_InOuts[column].EditorMode = mode;
    if (from == Text || from == Image) {
        if (mode != Text) PurgeHashTexts(doc, column);
    }
    doc.RenormaliseAll(1);
    return 1;
}

}  // namespace quorin
