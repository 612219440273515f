#pragma once
// Text codes of Text columns: coding a text into the number its cells hold, and back.
#include <string>

#include "coding/HashText.h"
#include "coding/HashTexts.h"
#include "coding/TextCodeIndex.h"
#include "coding/TextStepping.h"

namespace quorin {
class CQuorinDoc;

// Codes a text of a column, recording it; returns the code.
double Hash(CQuorinDoc& doc, const std::string& text, int column, int spread);
// The same codes, for a run that codes many texts: the index answers instead of the list.
double Hash(CQuorinDoc& doc, const std::string& text, int column, int spread,
            CTextCodeIndex& index);
// Appends a text record; does not mark the document modified.
CHashText& NewHashText(CQuorinDoc& doc, int column, double code, const std::string& text);
// The code of a recorded text, or the missing-value marker.
double GetHash(CQuorinDoc& doc, const std::string& text);
// The text of a code in a column (with "~" prefixes for approximate matches).
std::string GetText(CQuorinDoc& doc, double value, int column);
// The run of "~" that marks an approximate match at this distance relative to the value.
const char* ApproximationPrefix(double relativeDistance);
// Recorded texts of the column that look like the given one, each followed by '\x01'.
std::string FindSimilarText(CQuorinDoc& doc, const std::string& text, int column);
int HashTooClose(CQuorinDoc& doc, const std::string& text, double code);
int HashIsDuplicate(CQuorinDoc& doc, const std::string& text, int column, double code);
// 1 when some row holds the code in the column.
int HashIsValid(CQuorinDoc& doc, double code, int column);
// The number of records of the column.
int GetHashInCol(CQuorinDoc& doc, int column);

// The base code of a text: characters as signed bytes, weighted n down to 1.
double BaseHashCode(const std::string& text);
// Byte order of a plain C string comparison (unsigned bytes, ends at a NUL).
int CompareTexts(const std::string& a, const std::string& b);

}  // namespace quorin
