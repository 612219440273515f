#pragma once
// Presenting one Example row to the network and updating its weights: the hot path.
namespace quorin {
class CQuorinDoc;

void SetWeightsIn(CQuorinDoc& doc);
// Returns 1, or 0 when learning must stop.
int ConnectInputs(CQuorinDoc& doc, int row, int checkImages);
void CalculateActivations(CQuorinDoc& doc);
// The row's error: the mean absolute output error.
double CalculateErrors(CQuorinDoc& doc, int row);
void CalculateWeights(CQuorinDoc& doc);

}  // namespace quorin
