#include "network/NetworkBuild.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seams: the network engine fills these in.
void NewNetwork(CQuorinDoc& doc, int, int, int, int) { doc.m_NetworkExists = 1; }
int NewLayer(CQuorinDoc&, int, int numberOfNodes, int firstNode) { return firstNode + numberOfNodes; }
CNode& NewNode(CQuorinDoc& doc, int nodeType, int nodeNumber, int layer) {
    doc.m_Nodes.push_back({nodeType, nodeNumber, layer});
    return doc.m_Nodes.back();
}
CWeight& NewWeight(CQuorinDoc& doc, int weightType, int weightNumber, int fromNode, int toNode) {
    doc.m_Weights.push_back({weightType, weightNumber, toNode, fromNode});
    return doc.m_Weights.back();
}
void ConnectLayers(CQuorinDoc&, int, int, int) {}
int ForgetLearning(CQuorinDoc&, int, int, int, int) { return 1; }

}  // namespace quorin
