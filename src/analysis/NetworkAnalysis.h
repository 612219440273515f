#pragma once
// Figures derived from the trained network and the Grid: input importance, the rankings of
// inputs and rows, the largest node values and weights, connection counts. Nothing here is
// stored; the charts and the "analysis" script command compute them on demand.
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;
struct CNode;
struct CWeight;

// Node value kinds of GetGreatestNode.
enum ENodeValue : int { NodeNetInput = 0, NodeActivation = 1, NodeBias = 2, NodeError = 3 };

void CalculateSumsOfWeights(CQuorinDoc& doc);
// The importance of each Grid column: its input nodes' sums of weights (three nodes for an
// Image column); 0 for columns that are not inputs. Needs CalculateSumsOfWeights first.
std::vector<double> InputImportances(const CQuorinDoc& doc);
// Cursor walks over the input columns (by importance) and over the training and validating
// rows (by ExampleError), in the document's ranking order. Each call returns the next index
// and moves the cursor; index 0 with found false when the walk has no further entry.
int GetNextSumOfWeights(CQuorinDoc& doc, bool* found = nullptr);
int GetNextError(CQuorinDoc& doc, bool* found = nullptr);
// Puts both cursors at the start of a walk in the document's ranking order.
void StartRankings(CQuorinDoc& doc);

double GetGreatestNode(const std::vector<CNode>& nodes, int kind, int greatest);
double GetGreatestNode(CQuorinDoc& doc, int kind, int greatest);
double GetGreatestWeight(const std::vector<CWeight>& weights, int positive);
double GetGreatestWeight(CQuorinDoc& doc, int positive);
int GetConnectionsFrom(CQuorinDoc& doc, int layer, int includePruned);

// One ranking as its chart shows it.
struct CRankingEntry {
    int Index = 0;
    std::string Name;     // as shown: cut to 22 characters and "+" when longer than 23
    double Value = 0.0;
    double Relative = 0.0;  // Value / chart scale
    bool AboveTarget = false;
};
struct CRankingChart {
    std::string Heading;     // document, cycles, errors
    std::string Subheading;  // "The first %d of %d ..."
    std::vector<std::string> ColumnTitles;
    std::string ValueFormat;  // how the chart writes a value
    double Scale = 0.0;
    double TargetError = 0.0;
    std::vector<CRankingEntry> Entries;
};
// Both use the document's ranking order and leave the cursors at the end of the walk; the
// caller keeps the learning thread out (the network lock).
CRankingChart InputImportanceChart(CQuorinDoc& doc);
CRankingChart ExampleErrorsChart(CQuorinDoc& doc);
// A name cut for a chart row.
std::string ChartName(const std::string& name);

// The document or script path with its last four characters replaced by ".an.txt".
std::string AnalysisFileName(const std::string& path);
// Both rankings in descending order, as their charts show them. Takes the network lock.
// False (after a message) when the file cannot be written.
bool WriteAnalysisFile(CQuorinDoc& doc, const std::string& path);

}  // namespace quorin
