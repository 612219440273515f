#include "network/LearningSeams.h"

#include <cstdint>

#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
// Until the network engine's generator is in place: the same rule, state per thread,
// starting where a fresh thread's generator starts.
thread_local std::uint32_t t_State = 1;
}  // namespace

int LearningRandom() {
    t_State = t_State * 214013u + 2531011u;
    return static_cast<int>((t_State >> 16) & 0x7FFF);
}

int GrowHiddenLayer(CQuorinDoc& doc, int layer) {
    // Growth arrives with the network engine; until then the shape stays.
    int count = 0;
    for (const CNode& n : doc.m_Nodes)
        if (n.Layer == layer) ++count;
    return count;
}

bool ConnectionPruningEnabled(const CQuorinDoc&) { return false; }

bool AskAutoSaveBeforeLearning(CQuorinDoc&) { return true; }

void AutoSaveDuringLearning(CQuorinDoc&, int) {}

}  // namespace quorin
