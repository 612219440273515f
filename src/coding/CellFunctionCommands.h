#pragma once
// The Grid context menu's cell function commands, on the selected cell.
namespace quorin {
class CQuorinDoc;

// A cell function may run on the selected cell: it is in the Grid and no learning or
// associating thread runs.
bool CanRunCellFunction(const CQuorinDoc& doc, int column, int row);
// "Set Function...": the "Set Function" dialog. Returns 1 when a function was accepted.
int OnSetFunction(CQuorinDoc& doc, int column, int row);
// Checks the current function on the scope and, only when that passes, executes it.
int ExecuteFunction(CQuorinDoc& doc, int scope, int column, int row);
int OnExecuteOnSelectedGridCell(CQuorinDoc& doc, int column, int row);
int OnExecuteOnExampleRow(CQuorinDoc& doc, int column, int row);
int OnExecuteOnInOutColumn(CQuorinDoc& doc, int column, int row);

// The characters an accepted function may end with.
inline constexpr const char* kFunctionEndings = "vcelasqrtpogwnx.0123456789+-*/";

}  // namespace quorin
