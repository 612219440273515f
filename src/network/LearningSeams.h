#pragma once
// Auto Save's part in learning, which lands separately: one switch-over point.
namespace quorin {
class CQuorinDoc;

// The Auto Save question when learning starts: false when the user cancelled.
bool AskAutoSaveBeforeLearning(CQuorinDoc& doc);
// The Auto Save check after a learning cycle; the result is ignored by the caller.
void AutoSaveDuringLearning(CQuorinDoc& doc, int backupNow);

}  // namespace quorin
