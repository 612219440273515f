#include "coding/GridReplace.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "coding/GridEditor.h"
#include "coding/ValueText.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool SameNumber(const std::string& text, double value) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    if (end == start || value >= kMissing) return false;
    while (*end == ' ') ++end;
    return *end == '\0' && number == value;
}

}  // namespace

bool CellMatches(CQuorinDoc& doc, int column, int row, const std::string& find) {
    if (find.empty() || row >= doc.m_RowCount || !doc.ValidCell(column, row)) return false;
    const std::string shown = FormatCellValue(doc, column, row);
    if (doc.m_InOuts[column].Mode == Text) return Lower(shown).find(Lower(find)) != std::string::npos;
    return Lower(shown) == Lower(find) || SameNumber(find, doc.m_Examples[row].Values()[column]);
}

int FindNextCell(CQuorinDoc& doc, const std::string& find, int& row, int& column) {
    const int rows = std::min<int>(doc.m_RowCount, static_cast<int>(doc.m_Examples.size()));
    const int cols = std::min<int>(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size()));
    if (rows <= 0 || cols <= 0 || find.empty()) return 0;
    const long long cells = static_cast<long long>(rows) * cols;
    const long long start = row < 0 ? 0 : (static_cast<long long>(row) * cols + std::max(column, 0) + 1);
    for (long long k = 0; k < cells; ++k) {
        const long long cell = (start + k) % cells;
        const int r = static_cast<int>(cell / cols), c = static_cast<int>(cell % cols);
        if (CellMatches(doc, c, r, find)) {
            row = r;
            column = c;
            return 1;
        }
    }
    return 0;
}

int ReplaceInCell(CQuorinDoc& doc, int column, int row, const std::string& find, const std::string& with) {
    doc.App().Trace("ReplaceInCell   Column %d Row %d", column, row);
    if (!CanEditGrid(doc) || !CellMatches(doc, column, row, find)) return 0;
    std::string text = with;
    if (doc.m_InOuts[column].Mode == Text) {
        text = FormatCellValue(doc, column, row);
        const std::string lower = Lower(find);
        std::string out;
        size_t at = 0;
        for (size_t hit; (hit = Lower(text).find(lower, at)) != std::string::npos; at = hit + find.size())
            out += text.substr(at, hit - at) + with;
        text = out + text.substr(at);
    }
    return EnterCellText(doc, column, row, text);
}

int ReplaceAllCells(CQuorinDoc& doc, const std::string& find, const std::string& with) {
    doc.App().Trace("ReplaceAllCells");
    if (!CanEditGrid(doc) || find.empty()) return 0;
    int replaced = 0;
    for (int r = 0; r < doc.m_RowCount; ++r)
        for (int c = 0; c < doc.m_ColCount; ++c)
            if (CellMatches(doc, c, r, find)) replaced += ReplaceInCell(doc, c, r, find, with);
    return replaced;
}

}  // namespace quorin
