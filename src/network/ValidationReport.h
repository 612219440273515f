#pragma once
// The model's quality as a person reads it: every Validating row with its targets, the
// network's answers and whether it meets the validating rule, and for each Output column
// of Integer or Bool mode how often each class was answered as each other class.
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

struct CValidationRow {
    int Row = 0;
    std::string Name;
    std::vector<std::string> Targets;  // one per Output column, formatted by its mode
    std::vector<std::string> Answers;
    bool Meets = false;
};

struct CConfusionTable {
    int Column = 0;
    std::string Name;
    std::vector<double> Classes;         // the rounded values met, ascending
    std::vector<std::string> ClassNames; // as the Grid shows them
    std::vector<std::vector<int>> Counts;  // [target class][answered class]
};

struct CValidationReport {
    bool HasNetwork = false;
    std::vector<int> OutputColumns;
    std::vector<std::string> OutputNames;
    std::vector<CValidationRow> Rows;
    int Meeting = 0;
    double Percent = 0.0;  // of the rows listed; 0 without any
    std::string Rule;      // "correct after rounding" or "within 10 %"
    std::vector<CConfusionTable> Tables;
};

// Presents every Validating row to the network. Takes the document's network lock, so it
// may run beside learning (it then waits for the cycle to end).
CValidationReport MakeValidationReport(CQuorinDoc& doc);

// "Validating 96.67 % correct" or "Validating 90.00 % within 10 %" for the last validating
// result of this session; empty before the first.
std::string ValidatingText(const CQuorinDoc& doc);
// The rule alone: "correct" or "within 10 %".
std::string ValidatingRuleText(const CQuorinDoc& doc);

}  // namespace quorin
