#pragma once
namespace quorin {
class CQuorinDoc;

// Answers every Querying and Duplicate row with the current network.
void Refresh(CQuorinDoc& doc);

}  // namespace quorin
