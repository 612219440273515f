// Hostile typed entries: the bytes, split at newlines, are typed into the cells of a Grid
// with a column of every editable mode, then the text list is stepped through and tidied.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzPlatform.h"
#include "coding/GridEditor.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"

using namespace quorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::CFuzzPlatform platform;
    CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    const int cols = 5;
    const int rows = 3;
    for (int c = 0; c < cols; ++c) doc.AddCol(0, c % 2, 1);
    for (int r = 0; r < rows; ++r) doc.AddRow(0, r == 2 ? Querying : Training, 0, 1);
    doc.SetInOutTypeAndMode(1, -1, Integer);
    doc.SetInOutTypeAndMode(2, -1, Bool);
    doc.SetInOutTypeAndMode(3, -1, Text);
    doc.SetInOutTypeAndMode(4, -1, Text);

    const std::string input(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (int cell = 0; start <= input.size() && cell < 64; ++cell) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        const std::string entry = input.substr(start, end - start);
        start = end + 1;
        const int column = cell % cols;
        const int row = (cell / cols) % rows;
        GetValueFromString(entry);
        EnterCellText(doc, column, row, entry);
        FormatCellValue(doc, column, row);
        GetText(doc, GetValueFromString(entry), 4);
    }
    for (int c = 3; c < cols; ++c) {
        double value = GetFirstText(doc, c);
        for (int step = 0; step < 70; ++step) value = GetNextText(doc, c, value);
        for (int step = 0; step < 70; ++step) value = GetPreviousText(doc, c, value);
        GetNextTextHash(doc, 0, value, c);
    }
    ChangeColumnMode(doc, 3, Real);
    ChangeColumnMode(doc, 0, Text);
    doc.DeleteCol(1, 0);
    OnOptionsTidy(doc);
    return 0;
}
