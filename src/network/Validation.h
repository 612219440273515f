#pragma once
// Testing the network against the Validating rows, and choosing Validating rows.
#include <string>

namespace quorin {
class CQuorinDoc;
struct CRules;

// Percentage (0..100) of Validating rows that validate; 0 when a row could not be
// presented or there is none.
double Validate(CQuorinDoc& doc);
// 1 when the network's current outputs are acceptable for the row's desired values.
int ExampleValidates(CQuorinDoc& doc, int row);
// How many leading "~" an approximate text answer may carry at a within percentage;
// -1 when any text passes.
int TildeAllowance(double withinPercentage);

// Turns `count` training rows, never the first or the last, into Validating rows.
// Returns 0 when the Validating rows then fall outside the training ranges (learning has
// been stopped), else 1.
int SelectRandomValidating(CQuorinDoc& doc, int count);

CRules& NewRules(CQuorinDoc& doc, int column, int within, double withinPercentage,
                 int withinScore, int correct, int correctScore);
// The rule of a column: the last one in the list for it, or nullptr.
const CRules* FindRules(const CQuorinDoc& doc, int column);
// The Input or Output Validating Rules dialog of a column; returns 1 when a rule was added.
int OnValidatingRules(CQuorinDoc& doc, int column);

}  // namespace quorin
