#pragma once
// The Grid check and the commands that change many Example rows or Input/Output columns
// at once: range types, copies, duplicates, exclusions, find-and-change, missing data.
// Each command that takes a dialog has an On... form; the plain operation checks its
// arguments as the dialog does, so scripts reach the same messages.
#include <string>

namespace quorin {
class CQuorinDoc;

// ---- messages shown for a range outside the Grid ----
inline constexpr char kRangeOutsideGrid[] = "Range must be within the grid";
inline constexpr char kRangeOutsideRows[] = "Range must be within the rows on the grid";
inline constexpr char kRangeOutsideColumns[] = "Range must be within the columns on the grid";

// ---- the view's current cell, kept in the document ----
// Moves the current cell (clamped into the Grid) and asks the views to show it.
void SetCurrentCell(CQuorinDoc& doc, int row, int column);
bool CurrentRowInGrid(const CQuorinDoc& doc);
bool CurrentColumnInGrid(const CQuorinDoc& doc);

// ---- availability ----
// Grid display shown, at least one row and one column, no learning or associating.
bool CanUseGridRange(const CQuorinDoc& doc);
bool CanChangeRangeOfTypes(const CQuorinDoc& doc);
bool CanCopyExampleRows(const CQuorinDoc& doc);
bool CanCopyInOutColumns(const CQuorinDoc& doc);
bool CanDuplicateExampleRows(const CQuorinDoc& doc);
bool CanRemoveDuplicatedExampleRows(const CQuorinDoc& doc);
bool CanExcludeIncompleteInOutColumns(const CQuorinDoc& doc);
bool CanExcludeIncompleteExampleRows(const CQuorinDoc& doc);
bool CanChangeInOutColumnTypes(const CQuorinDoc& doc);
bool CanChangeExampleRowTypes(const CQuorinDoc& doc);
bool CanMissingData(const CQuorinDoc& doc);

// ---- Grid check ----
// Returns 1 when the check ran to its verdict, 0 when the user answered No.
int OnActionCheckGrid(CQuorinDoc& doc);

// ---- range commands; each returns 1 when done, 0 when refused or cancelled ----
int ChangeRangeOfTypes(CQuorinDoc& doc, int rowFrom, int rowCount, int rowType, int typeFrom,
                       int typeCount, int columnType, int modeFrom, int modeCount, int mode);
int OnEditChangeRange(CQuorinDoc& doc);

int CopyExampleRows(CQuorinDoc& doc, int from, int count, int type);
int OnEditCopyExampleRows(CQuorinDoc& doc);

int CopyInOutColumns(CQuorinDoc& doc, int from, int count, int offset, int output);
int OnEditCopyInOutColumns(CQuorinDoc& doc);

int DuplicateExampleRows(CQuorinDoc& doc, int training, int validating, int querying);
int OnEditDuplicateExampleRows(CQuorinDoc& doc);

// Returns the number of rows removed.
int RemoveDuplicatedExampleRows(CQuorinDoc& doc);

// The non-excluded columns with a missing value in a Training or Validating row.
int CountIncompleteInOutColumns(const CQuorinDoc& doc);
int ExcludeIncompleteInOutColumns(CQuorinDoc& doc);
// The Training and Validating rows with a missing value.
int CountIncompleteExampleRows(const CQuorinDoc& doc);
// Whether either count above is above zero, without counting.
bool HasIncompleteInOutColumn(const CQuorinDoc& doc);
bool HasIncompleteExampleRow(const CQuorinDoc& doc);
int ExcludeIncompleteExampleRows(CQuorinDoc& doc);

// Find-and-change loops; they stay open until Close or Cancel.
void OnEditChangeInOutColumnTypes(CQuorinDoc& doc);
void OnEditChangeExampleRowTypes(CQuorinDoc& doc);
// The steps of those loops: the position found or kept.
int FindNextInOutColumn(const CQuorinDoc& doc, int current, int type);
int FindNextExampleRow(const CQuorinDoc& doc, int current, int type);

// Stores the missing-data choice (0 median .. 3 average) and re-normalises; returns 0
// for a choice outside that range, after its message.
int SetMissingData(CQuorinDoc& doc, int choice);
int OnOptionsMissingData(CQuorinDoc& doc);

}  // namespace quorin
