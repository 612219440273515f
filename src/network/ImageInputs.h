#pragma once
// Presenting an Image column to the network: three consecutive input nodes per column.
namespace quorin {
class CQuorinDoc;

// Sets input nodes firstNode .. firstNode+2 from the image named in the row's cell of the
// column. Returns 1, or 0 when learning must stop (an incomplete image entry while learning).
int PresentImageInputs(CQuorinDoc& doc, int row, int column, int firstNode, int checkImages);

}  // namespace quorin
