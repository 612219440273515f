#include "analysis/Querying.h"

#include <mutex>

#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/Propagation.h"

namespace quorin {

void AnswerQueryingRows(CQuorinDoc& doc, int modified) {
    doc.App().Trace("Refresh   Modified %d", modified);
    if (doc.m_Nodes.empty()) return;
    // A network built for other columns would be presented outside its layers.
    if (!NetworkMatchesGrid(doc)) return;
    int firstOutput = 0;
    while (doc.m_Nodes[firstOutput].NodeType != OutputNode) ++firstOutput;
    int answered = 0;
    for (int r = 0; r < static_cast<int>(doc.m_Examples.size()); ++r) {
        const int type = doc.m_Examples[r].ExampleType;
        if (type != Querying && type != Duplicate) continue;
        if (!ConnectInputs(doc, r, 0)) return;
        CalculateActivations(doc);
        int node = firstOutput;
        for (int c = 0; c < doc.m_ColCount; ++c) {
            const CInOut& io = doc.m_InOuts[c];
            if (io.InOutType != Output) continue;
            const double answer =
                io.LowValue + doc.m_Nodes[node].Activation * (io.HighValue - io.LowValue);
            doc.SetValue(c, r, answer, 1, 0, 1, modified);
            node += NodesOf(io);
        }
        ++answered;
    }
    if (answered == 0 && modified) doc.RefreshViews();
}

void Refresh(CQuorinDoc& doc, int modified) {
    std::lock_guard lock(doc.m_NetworkMutex);
    AnswerQueryingRows(doc, modified);
}

void OnActionRefresh(CQuorinDoc& doc) {
    doc.App().Trace("OnActionRefresh");
    // Like the timer, the command never waits for a learning cycle.
    std::unique_lock lock(doc.m_NetworkMutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        doc.m_RefreshRequest = true;
        return;
    }
    AnswerQueryingRows(doc, 1);
}

void AutoRefresh(CQuorinDoc& doc) {
    const bool learning = doc.m_Learning;
    if (!learning && !doc.m_StopRequest) return;
    std::unique_lock lock(doc.m_NetworkMutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        doc.m_RefreshRequest = true;
        return;
    }
    AnswerQueryingRows(doc, 1);
    // A finished or stopped run is answered once more, then no longer. While the thread
    // runs its stop request is its own to see.
    if (!learning) doc.m_StopRequest = false;
}

// The Querying rows may be answered beside a running learning thread (under the
// document's network lock), not beside associating, which rewrites the Grid.
bool CanRefresh(const CQuorinDoc& doc) {
    return doc.m_NetworkExists != 0 && !doc.m_Associating.load();
}

bool CanQuery(const CQuorinDoc& doc) {
    if (CalculationRunning(doc) || doc.m_NetworkExists == 0 || doc.m_Nodes.empty() ||
        !HasInputAndOutput(doc))
        return false;
    return HasTrainingRows(doc, 2);
}

}  // namespace quorin
