#pragma once
// Building the network from the Grid's columns, and forgetting what it learnt.
#include <string>

namespace quorin {
class CQuorinDoc;
struct CNode;
struct CWeight;

void NewNetwork(CQuorinDoc& doc, int inputs, int hiddens, int outputs, int reset);
int NewLayer(CQuorinDoc& doc, int layerType, int numberOfNodes, int firstNode);
CNode& NewNode(CQuorinDoc& doc, int nodeType, int nodeNumber, int layer);
CWeight& NewWeight(CQuorinDoc& doc, int weightType, int weightNumber, int fromNode, int toNode);
void ConnectLayers(CQuorinDoc& doc, int fromLayer, int toLayer, int weightType);
int ForgetLearning(CQuorinDoc& doc, int ask, int restart, int resetErrors, int reSeed);
// Rebuilds with one node more (+1) or fewer (-1) in hidden layer 1, 2 or 3. Returns that
// layer's node count afterwards, or -1 for an unknown change or layer (nothing happens).
int ChangeNetwork(CQuorinDoc& doc, int change, int layer);

// Node counts of the network as built: input layer, hidden layers 1..3, output layer.
struct CLayerCounts {
    int Inputs = 0;
    int Hidden[3] = {0, 0, 0};
    int Outputs = 0;
};
CLayerCounts CountLayers(const CQuorinDoc& doc);
// Builds these layers in one go: the network NewNetwork with hidden layer 1 followed by
// ChangeNetwork adding the nodes of layers 2 and 3 one by one would leave, since every rebuild
// forgets learning with the fixed seed. A hidden layer exists only behind the one before it.
void NewNetworkOfShape(CQuorinDoc& doc, const CLayerCounts& counts, int reset);

}  // namespace quorin
