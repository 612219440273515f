#include "network/Controls.h"

#include "grid/QuorinDoc.h"

namespace quorin {

void ResetNetwork(CQuorinDoc& doc) {
    doc.App().Trace("ResetNetwork");
    doc.m_ReconfigSwitches = 0;
    doc.m_StopAfter = 0;
    doc.m_WithinPercentage = 10.0;
    doc.m_ValidatingTarget = 100.0;
    doc.m_CyclesBeforeFirstValidating = 100;
    doc.m_CyclesPerValidating = 100;
    doc.m_TargetError = 0.05;
    doc.m_NodeCount = 0;
    doc.m_DecayMomentum = 0;
    doc.m_DecayLearningRate = 0;
    doc.m_Momentum = 0.8;
    doc.m_LearningRate = 0.6;
    doc.m_LearningCycles = 0;
    doc.m_TargetErrorMode = 0;
    doc.m_ValidatingMode = 0;
    doc.m_StopSeconds = 20.0;
    doc.m_AutoSaveFlags = 0;
    doc.m_PruningCycles = 10;
    doc.m_PruningThreshold = 0.0;
    doc.m_SpecialBiases = 0;
    doc.m_SpecialGrid = 0;
    doc.m_SpecialGraph = 0;
    doc.m_SpecialWeights = 0;
    doc.m_LastValidatingResult = 0.0;
    doc.m_ValidatingHistory.clear();
    doc.m_ValidatingCount = 0;
    doc.m_Extend = CExtendSettings{};
    doc.m_Status = StatusStopped;
}

}  // namespace quorin
