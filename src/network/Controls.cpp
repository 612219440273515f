#include "network/Controls.h"

#include <mutex>

#include "grid/QuorinDoc.h"

namespace quorin {

namespace {

CLearningControls ReadLearningControls(const CQuorinDoc& doc) {
    CLearningControls c;
    c.LearningRate = doc.m_LearningRate;
    c.Momentum = doc.m_Momentum;
    c.DecayLearningRate = doc.m_DecayLearningRate;
    c.DecayMomentum = doc.m_DecayMomentum;
    c.OptimiseLearningRate = doc.m_OptimiseLearningRate;
    c.OptimiseMomentum = doc.m_OptimiseMomentum;
    c.ReconfigSwitches = doc.m_ReconfigSwitches;
    return c;
}

void WriteLearningControls(CQuorinDoc& doc, const CLearningControls& c) {
    doc.m_LearningRate = c.LearningRate;
    doc.m_Momentum = c.Momentum;
    doc.m_DecayLearningRate = c.DecayLearningRate;
    doc.m_DecayMomentum = c.DecayMomentum;
    doc.m_OptimiseLearningRate = c.OptimiseLearningRate;
    doc.m_OptimiseMomentum = c.OptimiseMomentum;
    doc.m_ReconfigSwitches = c.ReconfigSwitches;
}

CStopRules ReadStopRules(const CQuorinDoc& doc) {
    CStopRules s;
    s.TargetErrorMode = doc.m_TargetErrorMode;
    s.TargetError = doc.m_TargetError;
    s.ValidatingTarget = doc.m_ValidatingTarget;
    s.WithinPercentage = doc.m_WithinPercentage;
    s.ValidatingMode = doc.m_ValidatingMode;
    s.StopIfValidatingDecreases = doc.m_StopIfValidatingDecreases;
    s.CyclesBeforeFirstValidating = doc.m_CyclesBeforeFirstValidating;
    s.CyclesPerValidating = doc.m_CyclesPerValidating;
    s.StopAfter = doc.m_StopAfter;
    s.StopSeconds = doc.m_StopSeconds;
    s.StopOnCycle = doc.m_StopOnCycle;
    s.StopCycle = doc.m_StopCycle;
    return s;
}

void WriteStopRules(CQuorinDoc& doc, const CStopRules& s) {
    doc.m_TargetErrorMode = s.TargetErrorMode;
    doc.m_TargetError = s.TargetError;
    doc.m_ValidatingTarget = s.ValidatingTarget;
    doc.m_WithinPercentage = s.WithinPercentage;
    doc.m_ValidatingMode = s.ValidatingMode;
    doc.m_StopIfValidatingDecreases = s.StopIfValidatingDecreases;
    doc.m_CyclesBeforeFirstValidating = s.CyclesBeforeFirstValidating;
    doc.m_CyclesPerValidating = s.CyclesPerValidating;
    doc.m_StopAfter = s.StopAfter;
    doc.m_StopSeconds = s.StopSeconds;
    doc.m_StopOnCycle = s.StopOnCycle;
    doc.m_StopCycle = s.StopCycle;
}

}  // namespace

CLearningControls GetLearningControls(CQuorinDoc& doc) {
    std::lock_guard lock(doc.m_NetworkMutex);
    return ReadLearningControls(doc);
}

CStopRules GetStopRules(CQuorinDoc& doc) {
    std::lock_guard lock(doc.m_NetworkMutex);
    return ReadStopRules(doc);
}

void SetLearningControls(CQuorinDoc& doc, const std::function<void(CLearningControls&)>& change) {
    std::lock_guard lock(doc.m_NetworkMutex);
    CLearningControls c = ReadLearningControls(doc);
    change(c);
    WriteLearningControls(doc, c);
}

void SetStopRules(CQuorinDoc& doc, const std::function<void(CStopRules&)>& change) {
    std::lock_guard lock(doc.m_NetworkMutex);
    CStopRules s = ReadStopRules(doc);
    change(s);
    WriteStopRules(doc, s);
}

void SetControls(CQuorinDoc& doc,
                 const std::function<void(CLearningControls&, CStopRules&)>& change) {
    std::lock_guard lock(doc.m_NetworkMutex);
    CLearningControls c = ReadLearningControls(doc);
    CStopRules s = ReadStopRules(doc);
    change(c, s);
    WriteLearningControls(doc, c);
    WriteStopRules(doc, s);
}

void SetSideFileSwitches(CQuorinDoc& doc, const std::function<void(CSideFileSwitches&)>& change) {
    std::lock_guard lock(doc.m_NetworkMutex);
    CSideFileSwitches s{doc.m_SpecialGrid, doc.m_SpecialWeights, doc.m_SpecialBiases,
                        doc.m_SpecialGraph, doc.m_AutoSaveFlags};
    change(s);
    doc.m_SpecialGrid = s.Grid;
    doc.m_SpecialWeights = s.Weights;
    doc.m_SpecialBiases = s.Biases;
    doc.m_SpecialGraph = s.Graph;
    doc.m_AutoSaveFlags = s.AutoSaveFlags;
}

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
