#pragma once
// The cell function: a left-to-right formula run on a cell, an Example row or an
// Input/Output column.
namespace quorin {
class CQuorinDoc;

enum EFunctionScope : int { ScopeCell = 1, ScopeRow = 2, ScopeColumn = 3 };

// Runs the current function on the targets of the scope around (column, row); with
// execute clear it only checks. Returns 1 when the run ended without error.
int DoFunction(CQuorinDoc& doc, int scope, int column, int row, int execute);
// The operand that begins at a position of the function text, or the missing-value marker.
double GetValueFromFunction(CQuorinDoc& doc, int position);

}  // namespace quorin
