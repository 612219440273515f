#pragma once
// Starting, stopping and waiting for the learning thread, and the learning graph.
#include "network/GraphPoint.h"

namespace quorin {
class CQuorinDoc;

void OnActionStartLearning(CQuorinDoc& doc);
// Starts the learning thread; returns 1 when it started.
int StartLearning(CQuorinDoc& doc, int askAutoSave);
// Asks the learning and associating threads to stop at the end of their cycle.
void Stop(CQuorinDoc& doc);
void OnActionStop(CQuorinDoc& doc);
// Blocks until the document's learning thread has ended and been joined; lets window
// events run meanwhile.
void WaitForLearning(CQuorinDoc& doc);
// The document is going away: ask the thread to stop and join it.
void EndLearningThread(CQuorinDoc& doc);

// Command availability.
bool CanStartLearning(const CQuorinDoc& doc);
bool CanStop(const CQuorinDoc& doc);
// 1 when the network's input and output layers fit the Grid's columns and every weight
// joins existing nodes, so that presenting a row stays inside the network.
int NetworkMatchesGrid(const CQuorinDoc& doc);

// Appends one learning graph point (the caller holds the network lock while learning).
CGraphPoint& NewGraphPoint(CQuorinDoc& doc, int cycles, double aveError, double maxError,
                           double minError);
// Cycles between graph points at a given cycle count.
int GraphInterval(int cycles);
// The learning graph keeps about this many points.
inline constexpr int kMaxGraphPoints = 5000;

}  // namespace quorin
