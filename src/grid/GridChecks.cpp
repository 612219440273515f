// The checks made before learning and validating.
#include "grid/QuorinDoc.h"

namespace quorin {

int CQuorinDoc::CanValidate() const {
    m_App.Trace("CanValidate");
    for (const CExample& ex : m_Examples)
        if (ex.ExampleType == Validating) return 1;
    return 0;
}

int CQuorinDoc::ValidatingInRange() {
    m_App.Trace("ValidatingInRange");
    for (int c = 0; c < m_ColCount; ++c) {
        const CInOut& io = m_InOuts[c];
        if (io.InOutType == ExcludedCol) continue;
        for (const CExample& ex : m_Examples) {
            if (ex.ExampleType != Validating) continue;
            const double v = ex.Values()[c];
            if (v < kMissing && (v > io.HighValue || v < io.LowValue)) {
                m_App.Prompts().Inform(
                    "The Grid contains validating data outside the training range.\n\n"
                    "Use Action > Check Grid to locate the problems in the Grid.");
                return 0;
            }
        }
    }
    return 1;
}

int CQuorinDoc::CanLearn() {
    m_App.Trace("CanLearn");
    CWaitCursor wait(m_App.Prompts());
    int trainingRows = 0;
    for (int c = 0; c < m_ColCount; ++c) {
        trainingRows = 0;
        double highest = kMinusMissing;
        double lowest = kMissing;
        for (const CExample& ex : m_Examples) {
            if (ex.ExampleType != Training) continue;
            ++trainingRows;
            const double v = ex.Values()[c];
            if (v == kMissing) continue;
            if (v > highest) highest = v;
            if (v < lowest) lowest = v;
        }
        if (m_InOuts[c].InOutType != ExcludedCol && trainingRows > 1) {
            if (!(highest > lowest) || highest == kMinusMissing || lowest == kMissing) {
                m_App.Prompts().Inform(
                    "The Grid is not suitable to produce a network that will learn.\n\n"
                    "Use Action > Check Grid to locate the problems in the Grid.");
                return 0;
            }
        }
        if (!ValidatingInRange()) return 0;
    }
    if (trainingRows > 1) return 1;
    m_App.Prompts().Inform("At least two training examples are needed.");
    return 0;
}

}  // namespace quorin
