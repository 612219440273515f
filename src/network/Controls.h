#pragma once
namespace quorin {
class CQuorinDoc;

// Every resettable learning control back to its default.
void ResetNetwork(CQuorinDoc& doc);

}  // namespace quorin
