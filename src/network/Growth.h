#pragma once
// Growing the hidden layers from their minimum towards their maximum size while short
// trial runs keep improving the average error.
namespace quorin {
class CQuorinDoc;

void OptimizeNetwork(CQuorinDoc& doc, int inputs, int outputs, int max1, int min1, int max2,
                     int min2, int max3, int min3, int cycles, int seconds);

// What the New Network dialog asks for once confirmed.
struct CNetworkRequest {
    int Inputs = 0;
    int Outputs = 0;
    int Min[3] = {0, 0, 0};
    int Max[3] = {0, 0, 0};
    int Cycles = 10;
    int Seconds = 5;
};
// Checks layer 1's sizes (with their messages), then grows the network through
// OptimizeNetwork when the document's layer 1 grow switch is on, else builds it at layer 1's
// minimum with the controls reset.
void BuildRequestedNetwork(CQuorinDoc& doc, CNetworkRequest request);

}  // namespace quorin
