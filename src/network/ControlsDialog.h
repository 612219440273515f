#pragma once
// The Controls dialog: learning rate, momentum, stop rules, validating and reconfiguration.
#include <string>

namespace quorin {
class CQuorinDoc;

void OnActionChangeControls(CQuorinDoc& doc);
void ChangeControls(CQuorinDoc& doc);
bool CanChangeControls(const CQuorinDoc& doc);

}  // namespace quorin
