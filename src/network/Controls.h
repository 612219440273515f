#pragma once
// The learning controls and stop rules, and the one way to change them.
//
// The learning thread reads these between and inside its cycles (and decays the rate and
// the momentum itself), so every writer on another thread goes through the setters below:
// each takes the document lock and applies its change in one step, so the thread sees all
// of a change or none of it, and a value it decayed meanwhile is never put back.
#include <cstdint>
#include <functional>

namespace quorin {
class CQuorinDoc;

struct CLearningControls {
    double LearningRate = 0.6;
    double Momentum = 0.8;
    std::int32_t DecayLearningRate = 0;
    std::int32_t DecayMomentum = 0;
    std::int32_t OptimiseLearningRate = 0;
    std::int32_t OptimiseMomentum = 0;
    std::int32_t ReconfigSwitches = 0;  // bit 0 manual reconfiguration, bits 1..3 grow HL1..3
};

struct CStopRules {
    std::int32_t TargetErrorMode = 0;  // 0 average, 1 all
    double TargetError = 0.05;
    double ValidatingTarget = 100.0;
    double WithinPercentage = 10.0;
    std::int32_t ValidatingMode = 0;   // 0 Within, 1 Correct
    std::int32_t StopIfValidatingDecreases = 0;
    std::int32_t CyclesBeforeFirstValidating = 100;
    std::int32_t CyclesPerValidating = 100;
    std::int32_t StopAfter = 0;
    double StopSeconds = 20.0;
    std::int32_t StopOnCycle = 0;
    std::int32_t StopCycle = 0;
};

// Copies taken under the document lock.
CLearningControls GetLearningControls(CQuorinDoc& doc);
CStopRules GetStopRules(CQuorinDoc& doc);

// `change` runs under the document lock on the current values; it must not ask anything.
void SetLearningControls(CQuorinDoc& doc, const std::function<void(CLearningControls&)>& change);
void SetStopRules(CQuorinDoc& doc, const std::function<void(CStopRules&)>& change);
// Both at once, as the Controls dialog sets them.
void SetControls(CQuorinDoc& doc,
                 const std::function<void(CLearningControls&, CStopRules&)>& change);

// The special-file switches and the Auto Save flags, which a learning run's Auto Save reads.
struct CSideFileSwitches {
    std::int32_t Grid = 0;
    std::int32_t Weights = 0;
    std::int32_t Biases = 0;
    std::int32_t Graph = 0;
    std::int32_t AutoSaveFlags = 0;
};
void SetSideFileSwitches(CQuorinDoc& doc, const std::function<void(CSideFileSwitches&)>& change);

// Every resettable learning control back to its default.
void ResetNetwork(CQuorinDoc& doc);

}  // namespace quorin
