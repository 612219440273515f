// Alphabetical and code-order stepping through a column's texts (the Query dialog).
#include "coding/TextStepping.h"

#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
// The lowest text of the column above a bound (or the lowest of all). A fixed sentinel of
// tildes as the starting "highest" text would hide every text with a byte above '~', such
// as any accented UTF-8 text; when nothing qualifies the answer is the code of the empty
// text, as the sentinel gave.
double LowestAbove(CQuorinDoc& doc, int column, const std::string* bound) {
    const std::string* best = nullptr;
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column && (!bound || CompareTexts(record.Text, *bound) > 0) &&
            (!best || CompareTexts(record.Text, *best) < 0))
            best = &record.Text;
    return GetHash(doc, best ? *best : std::string());
}
}  // namespace

double GetFirstText(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetFirstText   Column %d", column);
    return LowestAbove(doc, column, nullptr);
}

double GetLastText(CQuorinDoc& doc, int column) {
    doc.App().Trace("GetLastText   Column %d", column);
    std::string best;
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column && CompareTexts(record.Text, best) > 0) best = record.Text;
    return GetHash(doc, best);
}

double GetNextText(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetNextText   Column %d Value %.4lf", column, value);
    if (value == GetLastText(doc, column)) return value;
    const std::string current = GetText(doc, value, column);
    return LowestAbove(doc, column, &current);
}

double GetPreviousText(CQuorinDoc& doc, int column, double value) {
    doc.App().Trace("GetPreviousText   Column %d Value %.4lf", column, value);
    if (value == GetFirstText(doc, column)) return value;
    const std::string current = GetText(doc, value, column);
    std::string best;
    for (const CHashText& record : doc.m_HashTexts)
        if (record.Column == column && CompareTexts(record.Text, current) < 0 &&
            CompareTexts(record.Text, best) > 0)
            best = record.Text;
    return GetHash(doc, best);
}

double GetNextTextHash(CQuorinDoc& doc, int change, double value, int column) {
    doc.App().Trace("GetNextTextHash   Change %d Value %.4lf Column %d", change, value, column);
    if (column < 0 || column >= static_cast<int>(doc.m_InOuts.size()) ||
        doc.m_InOuts[column].InOutType != Input)
        return value;
    if (change != 0 && change != 1) return value;
    double found = change == 0 ? kMissing : kMinusMissing;
    bool any = false;
    for (const CHashText& record : doc.m_HashTexts) {
        if (record.Column != column) continue;
        if (change == 0 && record.Code > value && record.Code < found) {
            found = record.Code;
            any = true;
        }
        if (change == 1 && record.Code < value && record.Code > found) {
            found = record.Code;
            any = true;
        }
    }
    return any ? found : value;
}

}  // namespace quorin
