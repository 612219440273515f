#pragma once
// The Controls dialog: learning rate, momentum, stop rules, validating and reconfiguration.
#include <string>

namespace quorin {
class CQuorinDoc;

void OnActionChangeControls(CQuorinDoc& doc);
void ChangeControls(CQuorinDoc& doc);
int CanChangeControls(const CQuorinDoc& doc);
// The name the document goes by in questions: its file name, or "Untitled".
std::string DocumentTitle(const CQuorinDoc& doc);

}  // namespace quorin
