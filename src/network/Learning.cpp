#include "network/Learning.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seams: the learning thread fills these in.
void OnActionStartLearning(CQuorinDoc&) {}
int StartLearning(CQuorinDoc&, int) { return 0; }
void Stop(CQuorinDoc& doc) {
    doc.m_StopRequest = true;
    doc.m_AssociatingStopRequest = true;
}
void OnActionStop(CQuorinDoc& doc) { Stop(doc); }
void WaitForLearning(CQuorinDoc&) {}

}  // namespace quorin
