#pragma once
// Stepping through the texts of a column, alphabetically and by code, for querying.
namespace quorin {
class CQuorinDoc;

double GetFirstText(CQuorinDoc& doc, int column);
double GetLastText(CQuorinDoc& doc, int column);
double GetNextText(CQuorinDoc& doc, int column, double value);
double GetPreviousText(CQuorinDoc& doc, int column, double value);
// Change 0: the next code above the value; change 1: the next below. Input columns only.
double GetNextTextHash(CQuorinDoc& doc, int change, double value, int column);

}  // namespace quorin
