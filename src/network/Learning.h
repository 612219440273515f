#pragma once
namespace quorin {
class CQuorinDoc;

void OnActionStartLearning(CQuorinDoc& doc);
// Starts the learning thread; returns 1 when it started.
int StartLearning(CQuorinDoc& doc, int askAutoSave);
void Stop(CQuorinDoc& doc);
void OnActionStop(CQuorinDoc& doc);
// Blocks until the document's learning thread has ended and been joined.
void WaitForLearning(CQuorinDoc& doc);

}  // namespace quorin
