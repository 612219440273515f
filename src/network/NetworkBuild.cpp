#include "network/NetworkBuild.h"

#include "grid/QuorinDoc.h"
#include "network/Controls.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "network/RandomWeights.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
constexpr std::uint32_t kFixedSeed = 12345;

void DeleteNetwork(CQuorinDoc& doc) {
    BumpNetworkGeneration(doc);
    doc.m_Nodes.clear();
    doc.m_Weights.clear();
}

// Builds the layers of `counts` into an empty network, connects each layer to the next and
// forgets learning with the fixed seed. A hidden layer exists only behind the one before it.
// Returns the number of hidden layers built.
int BuildLayers(CQuorinDoc& doc, const CLayerCounts& counts) {
    int next = NewLayer(doc, kInputLayer, counts.Inputs, 0);
    int present = 0;
    while (present < 3 && counts.Hidden[present] > 0) {
        next = NewLayer(doc, present + 1, counts.Hidden[present], next);
        ++present;
    }
    NewLayer(doc, kOutputLayer, counts.Outputs, next);
    int from = kInputLayer;
    for (int h = 1; h <= present; ++h) {
        ConnectLayers(doc, from, h, 0);
        from = h;
    }
    ConnectLayers(doc, from, kOutputLayer, 0);
    doc.m_NetworkExists = 1;
    // Without the runs a query made before any learning would see no connections at all.
    SetWeightsIn(doc);
    ForgetLearning(doc, 0, 1, 1, 0);
    return present;
}
}  // namespace

CLayerCounts CountLayers(const CQuorinDoc& doc) {
    CLayerCounts counts;
    for (const CNode& node : doc.m_Nodes) {
        if (node.NodeType == InputNode && node.Layer == kInputLayer) ++counts.Inputs;
        if (node.NodeType == OutputNode && node.Layer == kOutputLayer) ++counts.Outputs;
        if (node.NodeType == HiddenNode && node.Layer >= 1 && node.Layer <= 3)
            ++counts.Hidden[node.Layer - 1];
    }
    return counts;
}

void NewNetwork(CQuorinDoc& doc, int inputs, int hiddens, int outputs, int reset) {
    doc.App().Trace("NewNetwork   Inputs %d, Hiddens %d, Outputs %d, Reset %d", inputs, hiddens,
                    outputs, reset);
    SyncNetworkRecords(doc);
    DeleteNetwork(doc);
    if (reset) ResetNetwork(doc);
    CLayerCounts counts;
    counts.Inputs = inputs;
    counts.Hidden[0] = hiddens;
    counts.Outputs = outputs;
    BuildLayers(doc, counts);
}

void NewNetworkOfShape(CQuorinDoc& doc, const CLayerCounts& counts, int reset) {
    doc.App().Trace("NewNetworkOfShape   Inputs %d, Hiddens %d %d %d, Outputs %d, Reset %d",
                    counts.Inputs, counts.Hidden[0], counts.Hidden[1], counts.Hidden[2],
                    counts.Outputs, reset);
    SyncNetworkRecords(doc);
    DeleteNetwork(doc);
    if (reset) ResetNetwork(doc);
    BuildLayers(doc, counts);
}

int NewLayer(CQuorinDoc& doc, int layerType, int numberOfNodes, int firstNode) {
    doc.App().Trace("NewLayer   LayerType %d NumberOfNodes %d FirstNode %d", layerType,
                    numberOfNodes, firstNode);
    const int nodeType =
        layerType == kInputLayer ? InputNode : (layerType == kOutputLayer ? OutputNode : HiddenNode);
    for (int i = firstNode; i < firstNode + numberOfNodes; ++i) NewNode(doc, nodeType, i, layerType);
    return firstNode + numberOfNodes;
}

CNode& NewNode(CQuorinDoc& doc, int nodeType, int nodeNumber, int layer) {
    doc.App().Trace("NewNode   NodeType %d NodeNumber %d Layer %d", nodeType, nodeNumber, layer);
    BumpNetworkGeneration(doc);
    CNode& node = doc.m_Nodes.emplace_back();
    node.NodeType = nodeType;
    node.NodeNumber = nodeNumber;
    node.Layer = layer;
    doc.SetModified();
    return node;
}

CWeight& NewWeight(CQuorinDoc& doc, int weightType, int weightNumber, int fromNode, int toNode) {
    doc.App().Trace("NewWeight   WeightType %d WeightNumber %d FromNode %d ToNode %d", weightType,
                    weightNumber, fromNode, toNode);
    BumpNetworkGeneration(doc);
    CWeight& weight = doc.m_Weights.emplace_back();
    weight.WeightType = weightType;
    weight.WeightNumber = weightNumber;
    weight.FromNode = fromNode;
    weight.ToNode = toNode;
    weight.Weight = RandomWeight();
    doc.SetModified();
    return weight;
}

void ConnectLayers(CQuorinDoc& doc, int fromLayer, int toLayer, int weightType) {
    doc.App().Trace("ConnectLayers   From %d To %d WeightType %d", fromLayer, toLayer, weightType);
    SeedRandom(kFixedSeed);
    const int count = static_cast<int>(doc.m_Nodes.size());
    for (int i = 0; i < count; ++i) {
        if (doc.m_Nodes[i].Layer != toLayer) continue;
        for (int j = 0; j < count; ++j)
            if (doc.m_Nodes[j].Layer == fromLayer) NewWeight(doc, weightType, 0, j, i);
    }
}

int ForgetLearning(CQuorinDoc& doc, int ask, int restart, int resetErrors, int reSeed) {
    doc.App().Trace("ForgetLearning   Ask %d Restart %d ResetErrors %d ReSeed %d", ask, restart,
                    resetErrors, reSeed);
    if (ask && !doc.App().Prompts().AskYesNo(
                   Format("Are you sure you want '%s' to forget learning?",
                          DocumentTitle(doc).c_str())))
        return 0;
    SyncNetworkRecords(doc);
    BumpNetworkGeneration(doc);
    SeedRandom(reSeed ? doc.App().Clock().GetTickCount() : kFixedSeed);
    if (resetErrors) doc.m_ExampleErrors.clear();
    for (CWeight& weight : doc.m_Weights) {
        if (weight.WeightType != 0) continue;
        weight.WeightChange = 0.0;
        weight.PreviousWeightChange = 0.0;
        weight.WeightNumber = 0;
        weight.Weight = RandomWeight();
    }
    // All weight draws come before all bias draws: stored networks depend on that order.
    for (CNode& node : doc.m_Nodes) {
        node.NetInput = node.Activation = node.Error = node.Delta = 0.0;
        node.BiasChange = node.BiasPreviousChange = 0.0;
        node.Bias = RandomWeight();
    }
    doc.m_GraphPoints.clear();
    doc.m_StartLearningCycles = doc.m_LearningCycles.load();
    if (restart) {
        doc.m_LearningCycles = 0;
        doc.m_PruningOption = 0;
        doc.m_ConnectionPruning = 0;
    }
    doc.m_LastValidatingResult = 0.0;
    doc.m_ValidatingHistory.clear();
    doc.m_ValidatingCount = 0;
    return 1;
}

int ChangeNetwork(CQuorinDoc& doc, int change, int layer) {
    doc.App().Trace("ChangeNetwork   Change %d Layer %d", change, layer);
    if ((change != 1 && change != -1) || layer < 1 || layer > 3) return -1;
    SyncNetworkRecords(doc);
    CLayerCounts counts = CountLayers(doc);
    DeleteNetwork(doc);
    counts.Hidden[layer - 1] += change;
    const int present = BuildLayers(doc, counts);
    return layer <= present ? counts.Hidden[layer - 1] : 0;
}

}  // namespace quorin
