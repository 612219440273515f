#pragma once
// What the subsystems' availability queries share, and the Grid's own queries. Each
// command's Can... query sits beside its operation; the desktop program enables its menus
// and toolbars from them. They show nothing and change nothing.
namespace quorin {
class CQuorinDoc;

// A learning or associating thread of this document is running.
bool CalculationRunning(const CQuorinDoc& doc);
// Any calculation thread of the process is running (closing is refused then).
bool AnyCalculationRunning(const CQuorinDoc& doc);

bool HasInputAndOutput(const CQuorinDoc& doc);
int TrainingRowCount(const CQuorinDoc& doc);
// Stops at `atLeast`: the menus ask this on every update, and the Grid may hold millions.
bool HasTrainingRows(const CQuorinDoc& doc, int atLeast);

bool CanEditGrid(const CQuorinDoc& doc);
bool CanSaveDocument(const CQuorinDoc& doc);
bool CanCheckGrid(const CQuorinDoc& doc);

}  // namespace quorin
