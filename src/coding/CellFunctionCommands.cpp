// Setting the cell function and running it from the Grid's context menu.
#include "coding/CellFunctionCommands.h"

#include <string_view>

#include "coding/CellFunction.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

std::string ValueOrMark(double value) { return value >= kMissing ? "?" : Format("%.4lf", value); }

CDialogForm SetFunctionForm(CQuorinDoc& doc, int column, int row) {
    const CInOut& io = doc.m_InOuts[column];
    CDialogForm form;
    form.Id = "SetFunction";
    form.Title = "Set Function";
    form.AddText("Function", "&Function", doc.m_CellFunction.Text);
    form.AddLabel("Value", ValueOrMark(doc.m_Examples[row].Values()[column])).Label = "Value";
    form.AddLabel("Column", Format("%d", column)).Label = "Column";
    form.AddLabel("Row", Format("%d", row)).Label = "Row";
    form.AddLabel("HighValue", io.HighValue <= kMinusMissing ? "not set"
                                                              : Format("%.4lf", io.HighValue))
        .Label = "Column maximum";
    form.AddLabel("LowValue", io.LowValue >= kMissing ? "not set" : Format("%.4lf", io.LowValue))
        .Label = "Column minimum";
    form.AddLabel("Operators", "* multiply   / divide   + add   - subtract");
    form.AddLabel("Operands",
                  "a number   r row   c column   v value of the selected cell   "
                  "x column maximum   n column minimum");
    form.AddLabel("Names", "pow power   sqrt   log   exp   cos   sin   tan   acos   asin   atan");
    form.AddLabel("Conditions",
                  "ifz if zero   ifnz if not zero   ifn if negative   ifnn if not negative   "
                  "ifp if zero or positive   ifnp if below zero");
    form.AddLabel("Example1",
                  "+v/2pow3 gets the value from the grid, adds the value of the selected cell, "
                  "divides by 2, raises to the power of 3 and puts the result back into the grid");
    form.AddLabel("Example2",
                  "-1ifz+1 gets the value from the grid, subtracts 1, if the result is zero 1 is "
                  "added");
    return form;
}

bool Acceptable(const std::string& text) {
    return !text.empty() && std::string_view(kFunctionEndings).find(text.back()) != std::string_view::npos;
}

}  // namespace

bool CanRunCellFunction(const CQuorinDoc& doc, int column, int row) {
    return doc.ValidCell(column, row) && !doc.m_Worker.Busy();
}

int OnSetFunction(CQuorinDoc& doc, int column, int row) {
    doc.App().Trace("OnSetFunction   Column %d Row %d", column, row);
    if (!doc.ValidCell(column, row)) return 0;
    CDialogForm form = SetFunctionForm(doc, column, row);
    // An unacceptable entry brings the dialog back with the entry kept.
    do {
        if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    } while (!Acceptable(form.Text("Function")));
    const CInOut& io = doc.m_InOuts[column];
    CCellFunction& function = doc.m_CellFunction;
    function.Text = form.Text("Function");
    function.Row = row;
    function.Column = column;
    function.CellValue = doc.m_Examples[row].Values()[column];
    function.ColumnMax = io.HighValue;
    function.ColumnMin = io.LowValue;
    return 1;
}

int ExecuteFunction(CQuorinDoc& doc, int scope, int column, int row) {
    doc.App().Trace("ExecuteFunction   Scope %d Column %d Row %d", scope, column, row);
    if (!CanRunCellFunction(doc, column, row)) return 0;
    if (!DoFunction(doc, scope, column, row, 0)) return 0;
    return DoFunction(doc, scope, column, row, 1);
}

int OnExecuteOnSelectedGridCell(CQuorinDoc& doc, int column, int row) {
    return ExecuteFunction(doc, ScopeCell, column, row);
}

int OnExecuteOnExampleRow(CQuorinDoc& doc, int column, int row) {
    return ExecuteFunction(doc, ScopeRow, column, row);
}

int OnExecuteOnInOutColumn(CQuorinDoc& doc, int column, int row) {
    return ExecuteFunction(doc, ScopeColumn, column, row);
}

}  // namespace quorin
