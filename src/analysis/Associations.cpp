#include "analysis/Associations.h"

#include "grid/QuorinDoc.h"

namespace quorin {

void DeleteAssociations(CQuorinDoc& doc) {
    doc.App().Trace("DeleteAssociations");
    doc.m_Associations.clear();
}

}  // namespace quorin
