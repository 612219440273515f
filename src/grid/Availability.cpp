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

bool HasTrainingRows(const CQuorinDoc& doc, int atLeast) {
    int count = 0;
    for (const CExample& ex : doc.m_Examples)
        if (ex.ExampleType == Training && ++count >= atLeast) return true;
    return count >= atLeast;
}

// The worker alone touches the network and the Grid's shape while it runs, so every
// command that edits, rebuilds or saves waits until it has stopped.
bool CanEditGrid(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanSaveDocument(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

bool CanCheckGrid(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_RowCount > 0 && doc.m_ColCount > 0;
}

}  // namespace quorin
