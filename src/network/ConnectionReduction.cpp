#include "network/ConnectionReduction.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "analysis/NetworkAnalysis.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/NetworkCommands.h"
#include "network/NetworkEngine.h"
#include "network/RandomWeights.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
constexpr std::uint32_t kFixedSeed = 12345;
constexpr const char* kIncomplete = "Unable to complete modification.\n\nSome connections may be missing.";

struct CLayerSpan {
    int First = -1;
    int Count = 0;
};

CLayerSpan SpanOf(const CQuorinDoc& doc, int layer) {
    CLayerSpan span;
    for (size_t i = 0; i < doc.m_Nodes.size(); ++i) {
        if (doc.m_Nodes[i].Layer != layer) continue;
        if (span.First < 0) span.First = static_cast<int>(i);
        ++span.Count;
    }
    return span;
}

bool InLayer(const CQuorinDoc& doc, int node, int layer) {
    return node >= 0 && node < static_cast<int>(doc.m_Nodes.size()) && doc.m_Nodes[node].Layer == layer;
}

int Product(int a, int b) {
    return static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(a) * b, INT_MAX));
}
}  // namespace

int ReduceConnections(CQuorinDoc& doc, int fromLayer, int toLayer, int change, int fromType,
                      int toType) {
    doc.App().Trace("ReduceConnections   FromLayer %d ToLayer %d Change %d FromWeightType %d ToWeightType %d",
                    fromLayer, toLayer, change, fromType, toType);
    // A packed copy of these weights must not outlive the new types.
    SyncNetworkRecords(doc);
    BumpNetworkGeneration(doc);
    const CLayerSpan from = SpanOf(doc, fromLayer);
    const CLayerSpan to = SpanOf(doc, toLayer);
    SeedRandom(kFixedSeed);
    int threshold = 31000;
    int passes = 0;
    int changed = 0;
    if (change <= 0) return 0;
    auto& weights = doc.m_Weights;
    const size_t count = weights.size();
    if (count == 0 || from.Count == 0 || to.Count == 0) {
        doc.App().Prompts().Inform(kIncomplete);
        return 0;
    }
    int source = from.First, destination = to.First;
    bool fromCovered = false, toCovered = false;
    bool switchedInPass = false, candidateInPass = false;
    for (size_t i = 0;; ++i) {
        if (i == count) {
            i = 0;
            ++passes;
            // A pass that switched nothing repeats itself for ever when no draw can change the
            // outcome (no candidate left, or the coverage pair has none): the walk can only
            // end in giving up, so give up now.
            const bool stuck = !switchedInPass && (!candidateInPass || !(fromCovered && toCovered));
            if (passes > threshold) threshold -= 1000;
            if (stuck || threshold < 0) {
                doc.App().Prompts().Inform(kIncomplete);
                return changed;
            }
            switchedInPass = candidateInPass = false;
        }
        CWeight& w = weights[i];
        if (w.WeightType != fromType || !InLayer(doc, w.FromNode, fromLayer) ||
            !InLayer(doc, w.ToNode, toLayer))
            continue;
        candidateInPass = true;
        if (!(fromCovered && toCovered)) {
            if (w.FromNode != source || w.ToNode != destination) continue;
            if (++source >= from.First + from.Count) {
                source = from.First;
                fromCovered = true;
            }
            if (++destination >= to.First + to.Count) {
                destination = to.First;
                toCovered = true;
            }
        } else if (NextRandom() <= threshold) {
            continue;
        }
        w.WeightType = toType;
        switchedInPass = true;
        if (++changed == change) return changed;
    }
}

std::array<CConnectionRow, 4> ConnectionRows(CQuorinDoc& doc) {
    const CLayerCounts c = CountLayers(doc);
    const int sizes[4] = {c.Inputs, c.Hidden[0], c.Hidden[1], c.Hidden[2]};
    const char* names[4] = {"Input layer", "Hidden layer 1", "Hidden layer 2", "Hidden layer 3"};
    std::array<CConnectionRow, 4> rows;
    for (int k = 0; k < 4; ++k) {
        CConnectionRow& row = rows[k];
        row.FromLayer = k;
        if (k > 0 && sizes[k] == 0) {
            row.Label = std::string(names[k]) + " not used";
            row.ToLayer = kOutputLayer;
            continue;
        }
        // The next layer is the next hidden one that exists, else the output layer.
        const bool nextHidden = k < 3 && sizes[k + 1] > 0;
        const int next = nextHidden ? sizes[k + 1] : c.Outputs;
        row.ToLayer = nextHidden ? k + 1 : kOutputLayer;
        row.Label = std::string(names[k]) + " to " + (nextHidden ? names[k + 1] : "Output layer");
        row.Count = GetConnectionsFrom(doc, k, 1);
        row.Min = std::max(sizes[k], next);
        row.Max = Product(sizes[k], next);
    }
    return rows;
}

void ApplyConnectionCounts(CQuorinDoc& doc, const std::array<CConnectionRow, 4>& rows,
                           const std::array<int, 4>& counts) {
    doc.App().Trace("ApplyConnectionCounts   %d %d %d %d", counts[0], counts[1], counts[2], counts[3]);
    SyncNetworkRecords(doc);
    BumpNetworkGeneration(doc);
    for (CWeight& w : doc.m_Weights) w.WeightType = 1;
    for (int k = 0; k < 4; ++k) ReduceConnections(doc, rows[k].FromLayer, rows[k].ToLayer, counts[k], 1, 0);
}

std::string ConnectionLimitsText(const std::array<CConnectionRow, 4>& rows) {
    std::string text = "The numbers of connections between layers must be:\n\n";
    for (const CConnectionRow& row : rows)
        text += row.Max == 0 ? row.Label + ": 0\n" : Format("%s: %d to %d\n", row.Label.c_str(), row.Min, row.Max);
    return text + "\nThe connections have not been changed.";
}

void OnActionReduceConnections(CQuorinDoc& doc) {
    doc.App().Trace("OnActionReduceConnections");
    if (!CanChangeNetworkShape(doc)) return;
    const std::array<CConnectionRow, 4> rows = ConnectionRows(doc);
    std::array<int, 4> counts;
    for (int k = 0; k < 4; ++k) counts[k] = rows[k].Count;
    for (;;) {
        CDialogForm form;
        form.Id = "Connections";
        form.Title = "Connections";
        form.AddLabel("Heading", "Connections between layers");
        for (int k = 0; k < 4; ++k) {
            const CConnectionRow& row = rows[k];
            CFormField& field =
                form.AddInt("Row" + std::to_string(k), row.Label, counts[k], row.Min, row.Max,
                            Format("From %d to %d connections", row.Min, row.Max));
            field.Enabled = row.Max > 0;
        }
        if (doc.App().Prompts().ShowDialog(form) != IdOk) return;
        bool inRange = true;
        for (int k = 0; k < 4; ++k) {
            counts[k] = form.Int("Row" + std::to_string(k));
            inRange = inRange && counts[k] >= rows[k].Min && counts[k] <= rows[k].Max;
        }
        if (inRange) ApplyConnectionCounts(doc, rows, counts);
        doc.RefreshViews();
        ForgetLearning(doc, 0, 1, 1, 0);
        doc.SetModified();
        if (inRange) return;
    }
}

}  // namespace quorin
