#include "automation/ScriptNetwork.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "analysis/NetworkAnalysis.h"
#include "grid/QuorinDoc.h"
#include "network/ConnectionReduction.h"
#include "network/Growth.h"
#include "network/NetworkBuild.h"
#include "network/Pruning.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
// The script's number reading: leading blanks skipped, nothing readable gives 0.
int IntAt(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return 0;
    const long v = std::strtol(p[i].c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

double DoubleAt(const std::vector<std::string>& p, std::size_t i) {
    return i < p.size() ? std::strtod(p[i].c_str(), nullptr) : 0.0;
}

std::string TrimmedAt(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return {};
    const auto first = p[i].find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return p[i].substr(first, p[i].find_last_not_of(" \t") - first + 1);
}

// Hidden layer sizes the New Network dialog accepts.
constexpr int kMostHiddenNodes = 1000;
}  // namespace

void ScriptReduceConnections(CQuorinDoc& doc, const std::vector<std::string>& p,
                             const std::string& line) {
    if (!doc.m_NetworkExists || doc.m_Nodes.empty()) {
        doc.App().Prompts().Inform(Format(
            "The script line '%s' needs a network and has been skipped.", line.c_str()));
        return;
    }
    const std::array<CConnectionRow, 4> rows = ConnectionRows(doc);
    std::array<int, 4> counts;
    for (int k = 0; k < 4; ++k) {
        counts[k] = IntAt(p, k);
        if (counts[k] < rows[k].Min || counts[k] > rows[k].Max) {
            doc.App().Prompts().Inform(ConnectionLimitsText(rows));
            return;
        }
    }
    ApplyConnectionCounts(doc, rows, counts);
    doc.RefreshViews();
    ForgetLearning(doc, 0, 1, 1, 0);
    doc.SetModified();
}

void ScriptPruning(CQuorinDoc& doc, const std::vector<std::string>& p) {
    SetPruning(doc, IntAt(p, 0) != 0, IntAt(p, 1), DoubleAt(p, 2));
}

void ScriptOptimizeNetwork(CQuorinDoc& doc, const std::vector<std::string>& p,
                           const std::string& line, std::int64_t maxConnections,
                           bool allowLearning) {
    CNetworkRequest request;
    for (const CInOut& io : doc.m_InOuts) {
        const int nodes = NodesOf(io);
        if (io.InOutType == Input) request.Inputs += nodes;
        if (io.InOutType == Output) request.Outputs += nodes;
    }
    if (request.Inputs == 0 || request.Outputs == 0) {
        doc.App().Prompts().Inform(
            "A network needs at least one Input and one Output column.\nThe script line '" + line +
            "' has been skipped.");
        return;
    }
    int grow[3];
    std::int64_t largest[3];
    for (int layer = 0; layer < 3; ++layer) {
        grow[layer] = IntAt(p, layer * 3) != 0;
        request.Min[layer] = std::clamp(IntAt(p, layer * 3 + 1), 0, kMostHiddenNodes);
        request.Max[layer] = std::clamp(IntAt(p, layer * 3 + 2), 0, kMostHiddenNodes);
        largest[layer] = std::max(request.Min[layer], request.Max[layer]);
    }
    request.Cycles = std::clamp(IntAt(p, 9), 0, 1000);
    request.Seconds = std::clamp(IntAt(p, 10), 1, 20);
    const std::int64_t io = request.Inputs + request.Outputs;
    const std::int64_t widest = std::max({largest[0], largest[1], largest[2], std::int64_t{1}});
    if ((io + largest[0] + largest[1] + largest[2]) * (widest + io) > maxConnections ||
        (grow[0] && !allowLearning)) {
        doc.App().Prompts().Inform(Format(
            "The network of the script line '%s' cannot be built here.\nThe line has been skipped.",
            line.c_str()));
        return;
    }
    if (!doc.CanLearn()) return;
    doc.m_GrowLayer1 = grow[0];
    doc.m_GrowLayer2 = grow[1];
    doc.m_GrowLayer3 = grow[2];
    BuildRequestedNetwork(doc, request);
    doc.RefreshViews();
}

void ScriptAnalysis(CQuorinDoc& doc, const std::vector<std::string>& p,
                    const std::string& fallbackPath) {
    std::string path = TrimmedAt(p, 0);
    if (path.empty()) path = AnalysisFileName(doc.m_PathName.empty() ? fallbackPath : doc.m_PathName);
    WriteAnalysisFile(doc, path);
}

}  // namespace quorin
