#pragma once
// Short trial runs on the calling thread, and the search for learning rate and momentum.
namespace quorin {
class CQuorinDoc;

// Learns `cycles` cycles (at most 1000), each presenting the training rows once in
// forward order, for at most `seconds` (at most 20). Returns the average row error of
// the last or interrupted cycle, 0 when a row could not be presented.
double OptimizeLearn(CQuorinDoc& doc, int cycles, int seconds);
// Tries momentum 0.5, 0.6, 0.7 and learning rate 0.5 .. 0.9 from the same seeded weights
// while the error keeps falling, showing progress in the modeless "Optimize" window.
void OptimizeControls(CQuorinDoc& doc);

}  // namespace quorin
