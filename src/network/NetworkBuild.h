#pragma once
// Building the network from the Grid's columns, and forgetting what it learnt.
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

}  // namespace quorin
