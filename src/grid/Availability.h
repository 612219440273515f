#pragma once
// When the commands may be offered. The desktop program enables its menus and toolbars
// from these queries; they show nothing and change nothing.
namespace quorin {
class CQuorinDoc;

// A learning or associating thread of this document is running.
bool CalculationRunning(const CQuorinDoc& doc);
// Any calculation thread of the process is running (closing is refused then).
bool AnyCalculationRunning(const CQuorinDoc& doc);

bool HasInputAndOutput(const CQuorinDoc& doc);
int TrainingRowCount(const CQuorinDoc& doc);

bool CanEditGrid(const CQuorinDoc& doc);
bool CanSaveDocument(const CQuorinDoc& doc);
bool CanImport(const CQuorinDoc& doc);
bool CanRunScript(const CQuorinDoc& doc);
bool CanCheckGrid(const CQuorinDoc& doc);
bool CanNewNetwork(const CQuorinDoc& doc);
bool CanStartAssociating(const CQuorinDoc& doc);
bool CanForgetLearning(const CQuorinDoc& doc);
bool CanRefresh(const CQuorinDoc& doc);
bool CanQuery(const CQuorinDoc& doc);
bool CanChangeNetworkShape(const CQuorinDoc& doc);
bool CanTidy(const CQuorinDoc& doc);

}  // namespace quorin
