#pragma once
// The Grid editor's coding work: a typed text into a cell, and a column's mode changes.
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

// Stores a typed text into a cell by its column's mode. Returns 1 when a value was
// stored, 0 when the entry was refused or abandoned.
int EnterCellText(CQuorinDoc& doc, int column, int row, const std::string& text);
// Changes a column's mode after its questions, converting the values it holds.
// Returns 1 when the column has the new mode, 0 when it kept its old one.
int ChangeColumnMode(CQuorinDoc& doc, int column, int mode);

// Pieces of the above, for callers that need them on their own.
// The value of a typed Real, Integer or Bool entry (missing for "?...").
double NumberFromText(const std::string& text);
double BoolFromText(CQuorinDoc& doc, const std::string& text);
// Holds a value typed into a Querying row's input cell to the column's range, with a message.
double HoldQueryInputToRange(CQuorinDoc& doc, int column, double value);
// The "Possible Text Error" dialog: 1 with the chosen text, 0 when cancelled.
int ChooseSimilarText(CQuorinDoc& doc, const std::string& entered,
                      const std::vector<std::string>& similar, std::string& chosen);

}  // namespace quorin
