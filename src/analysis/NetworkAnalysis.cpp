#include "analysis/NetworkAnalysis.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <mutex>

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
constexpr double kHuge = 3.0e38;
constexpr int kMostChartEntries = 100;

double NodeValue(const CNode& node, int kind) {
    switch (kind) {
    case NodeNetInput: return node.NetInput;
    case NodeActivation: return node.Activation;
    case NodeBias: return node.Bias;
    case NodeError: return node.Error;
    default: return 0.0;
    }
}

int InputColumnCount(const CQuorinDoc& doc) {
    int count = 0;
    for (const CInOut& io : doc.m_InOuts) count += io.InOutType == Input ? 1 : 0;
    return count;
}

int RankedRowCount(const CQuorinDoc& doc) {
    int count = 0;
    for (const CExample& ex : doc.m_Examples)
        count += ex.ExampleType == Training || ex.ExampleType == Validating ? 1 : 0;
    return count;
}

// The path as the document holds it: empty until the document is saved or opened.
const std::string& DocumentName(const CQuorinDoc& doc) { return doc.m_PathName; }

const char* OrderName(const CQuorinDoc& doc) {
    return doc.m_RankingAscending ? "ascending" : "descending";
}
}  // namespace

void CalculateSumsOfWeights(CQuorinDoc& doc) {
    doc.App().Trace("CalculateSumsOfWeights");
    auto& nodes = doc.m_Nodes;
    for (CNode& node : nodes) node.SumOfWeights = 0.0;
    const int count = static_cast<int>(nodes.size());
    for (const CWeight& w : doc.m_Weights)
        if (w.WeightType == 0 && w.FromNode >= 0 && w.FromNode < count)
            nodes[w.FromNode].SumOfWeights += std::fabs(w.Weight);
}

std::vector<double> InputImportances(const CQuorinDoc& doc) {
    std::vector<double> importance(doc.m_InOuts.size(), 0.0);
    const int nodes = static_cast<int>(doc.m_Nodes.size());
    int k = 0;
    for (size_t c = 0; c < doc.m_InOuts.size(); ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.InOutType != Input) continue;
        const int feeds = NodesOf(io);
        for (int i = 0; i < feeds; ++i, ++k)
            if (k < nodes && doc.m_Nodes[k].NodeType == InputNode)
                importance[c] += doc.m_Nodes[k].SumOfWeights;
    }
    return importance;
}

int GetNextSumOfWeights(CQuorinDoc& doc, bool* found) {
    if (doc.App().Tracing())
        doc.App().Trace("GetNextSumOfWeights   Previous %.4lf", doc.m_PreviousSumOfWeights);
    const std::vector<double> importance = InputImportances(doc);
    const bool ascending = doc.m_RankingAscending != 0;
    const double cursor = doc.m_PreviousSumOfWeights;
    double best = ascending ? kHuge : 0.0;
    int index = -1;
    for (size_t c = 0; c < importance.size(); ++c) {
        if (doc.m_InOuts[c].InOutType != Input) continue;
        const double v = importance[c];
        // Strict comparisons: of equal importances only the first column is ever returned.
        if (ascending ? (v > cursor && v < best) : (v < cursor && v > best)) {
            best = v;
            index = static_cast<int>(c);
        }
    }
    if (found) *found = index >= 0;
    if (index < 0) return 0;
    doc.m_PreviousSumOfWeights = best;
    return index;
}

int GetNextError(CQuorinDoc& doc, bool* found) {
    if (doc.App().Tracing()) doc.App().Trace("GetNextError   Previous %.6lf", doc.m_PreviousError);
    const bool ascending = doc.m_RankingAscending != 0;
    const double cursor = doc.m_PreviousError;
    double best = ascending ? kHuge : 0.0;
    int index = -1;
    for (size_t r = 0; r < doc.m_Examples.size(); ++r) {
        const CExample& ex = doc.m_Examples[r];
        if (ex.ExampleType != Training && ex.ExampleType != Validating) continue;
        const double e = doc.ExampleError(r);
        if (ascending ? (e > cursor && e < best) : (e < cursor && e > best)) {
            best = e;
            index = static_cast<int>(r);
        }
    }
    if (found) *found = index >= 0;
    if (index < 0) {
        if (ascending) doc.m_PreviousError = 0.0;
        return 0;
    }
    doc.m_PreviousError = best;
    return index;
}

void StartRankings(CQuorinDoc& doc) {
    const double start = doc.m_RankingAscending ? 0.0 : kHuge;
    doc.m_PreviousSumOfWeights = start;
    doc.m_PreviousError = start;
}

double GetGreatestNode(const std::vector<CNode>& nodes, int kind, int greatest) {
    double best = 0.0;
    for (const CNode& node : nodes) {
        const double v = NodeValue(node, kind);
        if (greatest ? v > best : v < best) best = v;
    }
    return std::fabs(best);
}

double GetGreatestNode(CQuorinDoc& doc, int kind, int greatest) {
    doc.App().Trace("GetGreatestNode   Kind %d Greatest %d", kind, greatest);
    return GetGreatestNode(doc.m_Nodes, kind, greatest);
}

double GetGreatestWeight(const std::vector<CWeight>& weights, int positive) {
    double best = 0.0;
    for (const CWeight& w : weights) {
        if (w.WeightType != 0) continue;
        if (positive ? w.Weight > best : w.Weight < best) best = w.Weight;
    }
    return std::fabs(best);
}

double GetGreatestWeight(CQuorinDoc& doc, int positive) {
    doc.App().Trace("GetGreatestWeight   Positive %d", positive);
    return GetGreatestWeight(doc.m_Weights, positive);
}

int GetConnectionsFrom(CQuorinDoc& doc, int layer, int includePruned) {
    doc.App().Trace("GetConnectionsFrom   Layer %d IncludePruned %d", layer, includePruned);
    const bool skipPruned = doc.m_PruningOption && doc.m_ConnectionPruning && !includePruned;
    const int nodes = static_cast<int>(doc.m_Nodes.size());
    int count = 0;
    for (const CWeight& w : doc.m_Weights) {
        if (w.FromNode < 0 || w.FromNode >= nodes || doc.m_Nodes[w.FromNode].Layer != layer) continue;
        if (skipPruned && std::fabs(w.Weight) < doc.m_PruningThreshold) continue;
        ++count;
    }
    return count;
}

std::string ChartName(const std::string& name) {
    return name.size() > 23 ? name.substr(0, 22) + "+" : name;
}

CRankingChart InputImportanceChart(CQuorinDoc& doc) {
    CRankingChart chart;
    const int cycles = doc.m_LearningCycles.load();
    chart.Heading = cycles > 4 ? Format("%s    %d cycles.  Target error %.4lf  Average error %.6lf",
                                        DocumentName(doc).c_str(), cycles, doc.m_TargetError,
                                        doc.m_AverageError.load())
                               : Format("%s    %d cycles", DocumentName(doc).c_str(), cycles);
    const int inputs = InputColumnCount(doc);
    const int shown = std::min(inputs, kMostChartEntries);
    chart.Subheading =
        Format("The first %d of %d Inputs in %s order.", shown, inputs, OrderName(doc));
    chart.ColumnTitles = {"Column", "Input Name", "Importance", "Relative Importance"};
    chart.ValueFormat = "%.4lf";
    chart.TargetError = doc.m_TargetError;
    CalculateSumsOfWeights(doc);
    const std::vector<double> importance = InputImportances(doc);
    StartRankings(doc);
    for (int i = 0; i < shown; ++i) {
        bool found = false;
        const int c = GetNextSumOfWeights(doc, &found);
        if (!found) break;
        if (!(importance[c] > 0.0)) continue;
        CRankingEntry entry;
        entry.Index = c;
        entry.Name = ChartName(doc.m_InOuts[c].InOutName);
        entry.Value = importance[c];
        chart.Entries.push_back(entry);
    }
    chart.Scale = 0.01;
    for (const CRankingEntry& e : chart.Entries) chart.Scale = std::max(chart.Scale, e.Value);
    for (CRankingEntry& e : chart.Entries) e.Relative = e.Value / chart.Scale;
    return chart;
}

CRankingChart ExampleErrorsChart(CQuorinDoc& doc) {
    CRankingChart chart;
    const int cycles = doc.m_LearningCycles.load();
    chart.Heading = Format("%s    %d %s  Target error %.4lf  Average error %.6lf",
                           DocumentName(doc).c_str(), cycles, cycles == 1 ? "cycle." : "cycles.",
                           doc.m_TargetError, doc.m_AverageError.load());
    const int rows = RankedRowCount(doc);
    const int shown = std::min(rows, kMostChartEntries);
    chart.Subheading =
        Format("The first %d of %d Example rows in %s order.", shown, rows, OrderName(doc));
    chart.ColumnTitles = {"Row", "Example Name", "Normalized Error [0 - 1]", "Relative Error"};
    chart.ValueFormat = "%.6lf";
    chart.TargetError = doc.m_TargetError;
    StartRankings(doc);
    for (int i = 0; i < shown; ++i) {
        bool found = false;
        const int r = GetNextError(doc, &found);
        // The ascending walk starts over once it has run out; the chart lists each row once.
        if (!found) break;
        const CExample& ex = doc.m_Examples[r];
        const double error = doc.ExampleError(static_cast<size_t>(r));
        if (!(error > 0.0)) continue;
        CRankingEntry entry;
        entry.Index = r;
        entry.Name = (ex.ExampleType == Training ? "T: " : "V: ") + ChartName(ex.ExampleName);
        entry.Value = error;
        entry.AboveTarget = error > doc.m_TargetError;
        chart.Entries.push_back(entry);
    }
    chart.Scale = 0.0001;
    for (const CRankingEntry& e : chart.Entries) chart.Scale = std::max(chart.Scale, e.Value);
    for (CRankingEntry& e : chart.Entries) e.Relative = e.Value / chart.Scale;
    return chart;
}

std::string AnalysisFileName(const std::string& path) {
    const std::string base = path.size() >= 4 ? path.substr(0, path.size() - 4) : path;
    return base + ".an.txt";
}

namespace {
void AppendChart(std::string& text, const CRankingChart& chart) {
    text += chart.Heading + "\r\n" + chart.Subheading + "\r\n";
    for (const CRankingEntry& e : chart.Entries)
        text += Format("%d\t%s\t", e.Index, e.Name.c_str()) +
                Format(chart.ValueFormat == "%.4lf" ? "%.4lf" : "%.6lf", e.Value) +
                Format("\t%.6lf\r\n", e.Relative);
}
}  // namespace

bool WriteAnalysisFile(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("WriteAnalysisFile   Path %s", path.c_str());
    std::string text;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        const int order = doc.m_RankingAscending;
        doc.m_RankingAscending = 0;
        AppendChart(text, InputImportanceChart(doc));
        text += "\r\n";
        AppendChart(text, ExampleErrorsChart(doc));
        doc.m_RankingAscending = order;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out << text;
    out.flush();
    if (!out) {
        doc.App().Prompts().Inform(
            Format("The analysis file '%s' could not be written.", path.c_str()));
        return false;
    }
    return true;
}

}  // namespace quorin
