#pragma once
// Pruning: counting the updates during which a weight stays small, and freezing it once it
// has stayed small long enough.
namespace quorin {
class CQuorinDoc;

void OnOptionsPruning(CQuorinDoc& doc);
void OnOptionsResetPruning(CQuorinDoc& doc);
// The menu's check mark: both pruning switches on.
bool PruningChecked(const CQuorinDoc& doc);
// Whether the settings are usable: cycles at least 10, threshold 0.00001 to 0.5.
bool PruningSettingsValid(int cycles, double threshold);
// Sets both switches to `enable` with the given settings, as the dialog would accept them:
// invalid settings with pruning enabled switch both off after the limits message.
void SetPruning(CQuorinDoc& doc, int enable, int cycles, double threshold);

inline constexpr const char* kPruningLimits =
    "The weight must be from 0.00001 to 0.5 and\nthe number of cycles must be at least 10.";

}  // namespace quorin
