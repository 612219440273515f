#pragma once
namespace quorin {
class CQuorinDoc;

// Column associations are stale once the columns change.
void DeleteAssociations(CQuorinDoc& doc);

}  // namespace quorin
