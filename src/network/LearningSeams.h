#pragma once
// Calls the learning code makes into work that lands separately: the random generator of
// the network engine, hidden-layer growth and Auto Save. Each is one switch-over point.
namespace quorin {
class CQuorinDoc;

// Next value 0..32767 of the calling thread's generator (the one ForgetLearning seeds).
int LearningRandom();

// Grows hidden layer `layer` by one node while learning (rebuilds and forgets learning).
// Returns the new node count of that layer.
int GrowHiddenLayer(CQuorinDoc& doc, int layer);

// The pruning settings' "connection pruning enabled" switch.
bool ConnectionPruningEnabled(const CQuorinDoc& doc);

// The Auto Save question when learning starts: false when the user cancelled.
bool AskAutoSaveBeforeLearning(CQuorinDoc& doc);
// The Auto Save check after a learning cycle; the result is ignored by the caller.
void AutoSaveDuringLearning(CQuorinDoc& doc, int backupNow);

}  // namespace quorin
