#pragma once
// Switching off connections between layers down to a chosen count.
#include <array>
#include <string>

namespace quorin {
class CQuorinDoc;

// Switches `change` weights from `fromType` to `toType` between two layers: first one per
// node of both layers, then at random. Returns the number switched.
int ReduceConnections(CQuorinDoc& doc, int fromLayer, int toLayer, int change, int fromType,
                      int toType);

// The four rows of the "Connections" dialog: input layer, hidden layers 1..3 onwards.
struct CConnectionRow {
    std::string Label;
    int FromLayer = 0;
    int ToLayer = 0;
    int Count = 0;  // weights leaving the from layer now, connected or not
    int Min = 0;
    int Max = 0;
};
std::array<CConnectionRow, 4> ConnectionRows(CQuorinDoc& doc);
// Keeps exactly counts[k] connections out of row k's layer (every weight starts switched off).
void ApplyConnectionCounts(CQuorinDoc& doc, const std::array<CConnectionRow, 4>& rows,
                           const std::array<int, 4>& counts);
// The rows' limits as a message, for counts outside them.
std::string ConnectionLimitsText(const std::array<CConnectionRow, 4>& rows);

void OnActionReduceConnections(CQuorinDoc& doc);

}  // namespace quorin
