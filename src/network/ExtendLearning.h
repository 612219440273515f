#pragma once
// Extend Learning: jittered copies of training rows added while the network learns.
namespace quorin {
class CQuorinDoc;

// The "Extend Learning" dialog; returns 1 when confirmed.
int OnActionExtendLearning(CQuorinDoc& doc);
bool CanExtendLearning(const CQuorinDoc& doc);
struct CExtendSettings;
// 1 when a copy is due after `cycles` completed cycles.
int ExtendLearningDue(const CExtendSettings& extend, int cycles);
// One scheduled copy, on the learning thread with the network lock held.
void ExtendLearningCopy(CQuorinDoc& doc);

}  // namespace quorin
