#include "grid/Availability.h"

#include <algorithm>

#include "grid/QuorinDoc.h"

namespace quorin {

bool CalculationRunning(const CQuorinDoc& doc) {
    return doc.m_Learning.load() || doc.m_Associating.load() || doc.m_LeavingOut.load();
}

bool AnyCalculationRunning(const CQuorinDoc& doc) { return doc.App().ThreadCount() >= 2; }

bool HasInputAndOutput(const CQuorinDoc& doc) {
    bool input = false, output = false;
    const size_t columns = std::min<size_t>(doc.m_InOuts.size(), std::max(doc.m_ColCount, 0));
    for (size_t c = 0; c < columns; ++c) {
        input = input || doc.m_InOuts[c].InOutType == Input;
        output = output || doc.m_InOuts[c].InOutType == Output;
    }
    return input && output;
}

int TrainingRowCount(const CQuorinDoc& doc) {
    int count = 0;
    for (const CExample& ex : doc.m_Examples) count += ex.ExampleType == Training ? 1 : 0;
    return count;
}

// The worker alone touches the network and the Grid's shape while it runs, so every
// command that edits, rebuilds or saves waits until it has stopped.
bool CanEditGrid(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanSaveDocument(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanImport(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanRunScript(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanCheckGrid(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_RowCount > 0 && doc.m_ColCount > 0;
}

bool CanNewNetwork(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && HasInputAndOutput(doc) && TrainingRowCount(doc) >= 2;
}





bool CanStartAssociating(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_ColCount > 1 && TrainingRowCount(doc) >= 2;
}

bool CanForgetLearning(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_NetworkExists != 0 && HasInputAndOutput(doc) &&
           doc.m_RowCount > 0;
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
    return TrainingRowCount(doc) > 1;
}

bool CanChangeNetworkShape(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_NetworkExists != 0;
}

bool CanTidy(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

}  // namespace quorin
