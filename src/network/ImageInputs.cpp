#include "network/ImageInputs.h"

#include "grid/QuorinDoc.h"

namespace quorin {

// Seam: image codes arrive with Image columns. Until then the three nodes take the middle
// value, which keeps the node layout and the node numbers of every later column right.
int PresentImageInputs(CQuorinDoc& doc, int, int, int firstNode, int) {
    for (int k = firstNode; k < firstNode + 3 && k < static_cast<int>(doc.m_Nodes.size()); ++k)
        doc.m_Nodes[k].NetInput = doc.m_Nodes[k].Activation = doc.m_Middle;
    return 1;
}

}  // namespace quorin
