#pragma once
// The script's "query" command: answer the Querying rows and keep them in a file.
#include <string>

namespace quorin {
class CQuorinDoc;

// A document or script path with its last four characters replaced by ".qu.txt".
std::string QueryFileName(const std::string& path);
// Answers the Querying rows with the current network and writes them to `path` in the
// saved-query layout. Returns false (after its message) when the file can't be written.
bool RunQuery(CQuorinDoc& doc, const std::string& path);

}  // namespace quorin
