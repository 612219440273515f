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
// Presents training row `row` and updates the weights by it: the step every learning loop
// repeats. False when learning must stop (a row the network cannot take); else `error`
// holds the row's error.
bool LearnRow(CQuorinDoc& doc, int row, double& error);

}  // namespace quorin
