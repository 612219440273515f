// Presentation of one Example row. The record form below is the plain statement of each step;
// inside a learning pass the packed form (NetworkEngine.cpp) does the same arithmetic faster.
#include "network/Propagation.h"

#include <cmath>

#include "grid/QuorinDoc.h"
#include "network/ImageInputs.h"
#include "network/NetworkEngine.h"
#include "network/OutputErrors.h"
#include "network/PropagationMath.h"

namespace quorin {

namespace {

bool ValidRun(const CQuorinDoc& doc, const CNode& node, int& first, int& last) {
    const int weights = static_cast<int>(doc.m_Weights.size());
    first = node.FirstWeight;
    last = node.LastWeight < weights ? node.LastWeight : weights;
    return first >= 0 && first < last;
}

bool ValidSource(const CQuorinDoc& doc, int from) {
    return from >= 0 && from < static_cast<int>(doc.m_Nodes.size());
}

void RecordActivations(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    for (int k = 0; k < static_cast<int>(nodes.size()); ++k) {
        CNode& node = nodes[k];
        if (node.NodeType == InputNode) continue;
        node.NetInput = node.Bias;
        int first, last;
        if (!ValidRun(doc, node, first, last)) continue;
        bool reached = false;
        for (int i = first; i < last; ++i) {
            const CWeight& weight = doc.m_Weights[i];
            if (weight.WeightType != 0 || !ValidSource(doc, weight.FromNode)) continue;
            if (weight.FromNode == k && reached) node.Activation = Logistic(node.NetInput);
            node.NetInput += nodes[weight.FromNode].Activation * weight.Weight;
            reached = true;
        }
        if (reached) node.Activation = Logistic(node.NetInput);
    }
}

void RecordBackPropagate(CQuorinDoc& doc) {
    auto& nodes = doc.m_Nodes;
    for (int k = static_cast<int>(nodes.size()) - 1; k >= 0; --k) {
        CNode& node = nodes[k];
        if (node.NodeType == InputNode) continue;
        node.Delta = Slope(node.Activation, node.Error);
        int first, last;
        if (!ValidRun(doc, node, first, last)) continue;
        for (int i = first; i < last; ++i) {
            const CWeight& weight = doc.m_Weights[i];
            if (weight.WeightType != 0 || !ValidSource(doc, weight.FromNode)) continue;
            CNode& source = nodes[weight.FromNode];
            if (source.NodeType != InputNode) source.Error += weight.Weight * node.Delta;
        }
    }
}

void RecordWeights(CQuorinDoc& doc) {
    const CUpdateRule rule = UpdateRuleOf(doc);
    auto& nodes = doc.m_Nodes;
    for (CNode& node : nodes) {
        if (node.NodeType == InputNode) continue;
        int first, last;
        if (ValidRun(doc, node, first, last)) {
            for (int i = first; i < last; ++i) {
                CWeight& weight = doc.m_Weights[i];
                if (weight.WeightType != 0 || !ValidSource(doc, weight.FromNode)) continue;
                UpdateWeight(rule, weight.Weight, weight.WeightChange, weight.PreviousWeightChange,
                             weight.WeightNumber, nodes[weight.FromNode].Activation, node.Delta);
            }
        }
        node.BiasChange += node.Delta;
        const double step = node.BiasChange * rule.LearningRate + rule.Momentum * node.BiasPreviousChange;
        node.BiasChange = 0.0;
        node.BiasPreviousChange = step;
        node.Bias += step;
    }
}

}  // namespace

CUpdateRule UpdateRuleOf(const CQuorinDoc& doc) {
    CUpdateRule rule;
    rule.LearningRate = doc.m_LearningRate;
    rule.Momentum = doc.m_Momentum;
    rule.Counting = doc.m_PruningOption != 0;
    rule.Freezing = rule.Counting && doc.m_ConnectionPruning != 0 && doc.m_PruningCycles >= 10;
    rule.Threshold = doc.m_PruningThreshold;
    rule.Cycles = doc.m_PruningCycles;
    return rule;
}

void SetWeightsIn(CQuorinDoc& doc) {
    doc.App().Trace("SetWeightsIn");
    SyncNetworkRecords(doc);
    BumpNetworkGeneration(doc);
    auto& nodes = doc.m_Nodes;
    const int count = static_cast<int>(nodes.size());
    int inputs = 0;
    for (const CNode& node : nodes)
        if (node.NodeType == InputNode && node.Layer == kInputLayer) ++inputs;
    // A node that no weight reaches has no run, whatever a file said before.
    for (int k = inputs; k < count; ++k) nodes[k].FirstWeight = nodes[k].LastWeight = -1;
    for (int i = 0; i < static_cast<int>(doc.m_Weights.size()); ++i) {
        const int to = doc.m_Weights[i].ToNode;
        if (to < inputs || to >= count) continue;
        if (nodes[to].FirstWeight < 0) nodes[to].FirstWeight = i;
        nodes[to].LastWeight = i + 1;
    }
}

int ConnectInputs(CQuorinDoc& doc, int row, int checkImages) {
    if (doc.App().Tracing()) doc.App().Trace("ConnectInputs   Row %d CheckImages %d", row, checkImages);
    if (CNetworkEngine* engine = ActiveEngine(doc))
        if (engine->ConnectInputs(doc, row)) return 1;
    if (row < 0 || row >= static_cast<int>(doc.m_Examples.size())) return 0;
    const std::span<const double> normalised = doc.m_Examples[row].NormalisedValues();
    auto& nodes = doc.m_Nodes;
    const int columns = static_cast<int>(doc.m_InOuts.size());
    int k = 0;
    for (int c = 0; c < columns; ++c) {
        const CInOut& column = doc.m_InOuts[c];
        if (column.InOutType != Input) continue;
        if (column.Mode == Image) {
            if (!PresentImageInputs(doc, row, c, k, checkImages)) return 0;
            k += NodesOf(column);
            continue;
        }
        // A Grid whose columns changed after the network was built has no node for the rest.
        if (k >= static_cast<int>(nodes.size()) || nodes[k].NodeType != InputNode ||
            c >= static_cast<int>(normalised.size()))
            break;
        nodes[k].NetInput = nodes[k].Activation = normalised[c];
        ++k;
    }
    return 1;
}

void CalculateActivations(CQuorinDoc& doc) {
    if (doc.App().Tracing()) doc.App().Trace("CalculateActivations");
    if (CNetworkEngine* engine = ActiveEngine(doc))
        engine->CalculateActivations(doc);
    else
        RecordActivations(doc);
}

double CalculateErrors(CQuorinDoc& doc, int row) {
    if (doc.App().Tracing()) doc.App().Trace("CalculateErrors   Row %d", row);
    if (CNetworkEngine* engine = ActiveEngine(doc)) return engine->CalculateErrors(doc, row);
    auto& nodes = doc.m_Nodes;
    const int count = static_cast<int>(nodes.size());
    int inputs = 0, hiddens = 0, outputs = 0;
    for (CNode& node : nodes) {
        if (node.NodeType == InputNode && node.Layer == kInputLayer) ++inputs;
        if (node.NodeType == OutputNode && node.Layer == kOutputLayer) ++outputs;
        if (node.NodeType == HiddenNode) {
            ++hiddens;
            node.Error = 0.0;
        }
    }
    const int first = inputs + hiddens;
    const int end = first + outputs < count ? first + outputs : count;
    const double sum = OutputErrorSum(
        doc, row, first, end, [&nodes](int k) { return nodes[k].Activation; },
        [&nodes](int k, double error) { nodes[k].Error = error; });
    RecordBackPropagate(doc);
    return outputs > 0 ? sum / outputs : 0.0;
}

void CalculateWeights(CQuorinDoc& doc) {
    if (doc.App().Tracing()) doc.App().Trace("CalculateWeights");
    if (CNetworkEngine* engine = ActiveEngine(doc))
        engine->CalculateWeights(doc);
    else
        RecordWeights(doc);
}

bool LearnRow(CQuorinDoc& doc, int row, double& error) {
    if (!ConnectInputs(doc, row, 1)) return false;
    CalculateActivations(doc);
    error = CalculateErrors(doc, row);
    CalculateWeights(doc);
    return true;
}

}  // namespace quorin
