#pragma once
// One run of the learning thread over a document: set-up, cycles, stop rules, finish.
#include <cstdint>
#include <string>

#include "network/NetworkEngine.h"

namespace quorin {
class CQuorinDoc;

class CLearningThread {
public:
    explicit CLearningThread(CQuorinDoc& doc) : m_Doc(doc) {}
    // Runs on the worker thread until a stop rule or a request ends the run.
    void Run();

private:
    void SetUp();
    // One cycle and the checks after it; returns true when the run is to finish.
    bool Cycle();
    // Steps 1 to 9 of a cycle: the two passes, validating, stop rules, decay, graph.
    void LearnCycle();
    void Validating();
    void OnceASecond();
    void AddGraphPoint(int cycles);
    void Finish();

    CQuorinDoc& m_Doc;
    CNetworkEngine m_Engine;              // the packed network of each cycle's pass
    std::int32_t m_CyclesAtRunStart = 0;  // to tell whether the run learnt anything
    double m_PreviousAverage = 3.0e38;
    double m_PreviousValidating = 0.0;
    bool m_StoppedOnRequest = false;
    bool m_TargetReached = false;
    std::uint32_t m_StartTime = 0;
    std::uint32_t m_LastReport = 0;
    // The current cycle's row errors.
    bool m_AllBelow = true;
    double m_Maximum = -3.0e38;
    double m_Minimum = 3.0e38;
    // Auto Save settings as read inside the cycle.
    std::int32_t m_AutoSaveFlags = 0;
    std::int32_t m_AutoSavePeriod = 0;
    // A message to show once the network lock is released.
    std::string m_PendingMessage;
};

}  // namespace quorin
