#pragma once
// The Controls dialog, reached from the Action menu and after a network is created.
namespace quorin {
class CQuorinDoc;

void OnActionChangeControls(CQuorinDoc& doc);

}  // namespace quorin
