// Keeping the text list in step with the columns: copying, renumbering, purging, tidying.
#include "coding/HashTexts.h"

#include <algorithm>
#include <vector>

#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

std::vector<double> SortedColumnValues(const CQuorinDoc& doc, int column) {
    std::vector<double> values;
    if (column < 0) return values;
    values.reserve(doc.m_Examples.size());
    for (const CExample& ex : doc.m_Examples) {
        if (column >= static_cast<int>(ex.Values().size())) continue;
        const double v = ex.Values()[column];
        if (v == v) values.push_back(v);  // NaN equals nothing and would break the order
    }
    std::sort(values.begin(), values.end());
    return values;
}

void CopyHashTexts(CQuorinDoc& doc, int fromColumn, int toColumn) {
    doc.App().Trace("CopyHashTexts   From %d To %d", fromColumn, toColumn);
    // Records appended by the copy itself are not visited.
    const size_t existing = doc.m_HashTexts.size();
    for (size_t i = 0; i < existing; ++i) {
        const CHashText record = doc.m_HashTexts[i];  // a copy: appending may reallocate
        if (record.Column != fromColumn) continue;
        if (HashIsDuplicate(doc, record.Text, toColumn, record.Code)) continue;
        NewHashText(doc, toColumn, record.Code, record.Text);
    }
}

void DecrementHashTextCols(CQuorinDoc& doc, int deletedColumn) {
    doc.App().Trace("DecrementHashTextCols   Column %d", deletedColumn);
    if (deletedColumn < 0) return;  // the scratch column is never renumbered
    for (CHashText& record : doc.m_HashTexts)
        if (record.Column >= deletedColumn) --record.Column;
}

int PurgeHashTexts(CQuorinDoc& doc, int column) {
    doc.App().Trace("PurgeHashTexts   Column %d", column);
    // The column's values once, sorted: a purge of a long list stays fast on a tall Grid.
    const std::vector<double> held = SortedColumnValues(doc, column);
    const size_t before = doc.m_HashTexts.size();
    std::erase_if(doc.m_HashTexts, [&](const CHashText& record) {
        return record.Column == column && !std::binary_search(held.begin(), held.end(), record.Code);
    });
    const int removed = static_cast<int>(before - doc.m_HashTexts.size());
    if (doc.App().m_DiagnosticLevel == 1 && removed > 0)
        doc.App().Prompts().Inform(Format(removed == 1 ? "%d text item deleted from column %d."
                                                       : "%d text items deleted from column %d.",
                                          removed, column));
    return removed;
}

int TidyHashTexts(CQuorinDoc& doc) {
    doc.App().Trace("TidyHashTexts");
    const int columns = doc.m_ColCount;
    const size_t before = doc.m_HashTexts.size();
    std::erase_if(doc.m_HashTexts, [columns](const CHashText& record) {
        return record.Column != -2 && (record.Column < 0 || record.Column > columns);
    });
    const int removed = static_cast<int>(before - doc.m_HashTexts.size());
    if (doc.App().m_DiagnosticLevel == 1 && removed > 0)
        doc.App().Prompts().Inform(Format(removed == 1 ? "%d unallocated text item deleted."
                                                       : "%d unallocated text items deleted.",
                                          removed));
    return removed;
}

void OnOptionsTidy(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsTidy");
    int total = TidyHashTexts(doc) + TidyImages(doc);
    for (int c = 0; c < doc.m_ColCount && c < static_cast<int>(doc.m_InOuts.size()); ++c) {
        if (doc.m_InOuts[c].Mode == Text) total += PurgeHashTexts(doc, c);
        if (doc.m_InOuts[c].Mode == Image) total += PurgeImages(doc, c);
    }
    doc.App().Prompts().Inform(Format("Items deleted = %d", total));
    if (total > 0) doc.SetModified();
}

bool CanTidy(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

}  // namespace quorin
