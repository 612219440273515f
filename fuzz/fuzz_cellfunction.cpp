// Runs hostile cell functions over a small Grid of every numeric mode plus a Text column:
// checking, then executing, on a cell, a row and a column. Must never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzPlatform.h"
#include "coding/CellFunction.h"
#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"

using namespace quorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::CFuzzPlatform platform;
    CQuorinDoc doc(*platform.App);
    doc.NewDocument();
    const int rows = 4;
    const int cols = 4;
    for (int c = 0; c < cols; ++c) doc.AddCol(0, c == cols - 1, 1);
    for (int r = 0; r < rows; ++r) doc.AddRow(0, r == 3 ? Querying : Training, 0, 1);
    const double values[rows][cols] = {
        {1.5, 0, 1, 0}, {-2, 3, 0, 0}, {0, 7, 1, 0}, {kMissing, 1e300, kMissing, 0}};
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) doc.SetValue(c, r, values[r][c], 0, 0, 0, 1);
    doc.SetInOutTypeAndMode(1, -1, Integer);
    doc.SetInOutTypeAndMode(2, -1, Bool);
    doc.SetInOutTypeAndMode(3, -1, Text);
    for (int r = 0; r < rows; ++r) doc.SetValue(3, r, Hash(doc, "t" + std::to_string(r), 3, 1), 0, 0, 0, 1);
    doc.RenormaliseAll(1);

    // The first byte picks the selected cell; the rest is the function.
    const int pick = size > 0 ? data[0] : 0;
    const int column = pick % cols;
    const int row = (pick / cols) % rows;
    CCellFunction& function = doc.m_CellFunction;
    function.Text.assign(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                         size > 0 ? size - 1 : 0);
    function.Row = row;
    function.Column = column;
    function.CellValue = doc.m_Examples[row].Values()[column];
    function.ColumnMax = doc.m_InOuts[column].HighValue;
    function.ColumnMin = doc.m_InOuts[column].LowValue;

    for (int scope = ScopeCell; scope <= ScopeColumn; ++scope)
        if (DoFunction(doc, scope, column, row, 0)) DoFunction(doc, scope, column, row, 1);
    for (int c = 0; c < cols; ++c) DoFunction(doc, ScopeColumn, c, 0, 1);
    GetValueFromFunction(doc, static_cast<int>(pick));
    return 0;
}
