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

#include <vector>

namespace quorin {

// The script's extension keywords of querying and Leave Some Out; `p` holds the line's
// parameter texts.
// leavesomeout(examples, cycles, delete validating, delete querying, delete excluded,
//              delete duplicated[, path])
void ScriptLeaveSomeOut(CQuorinDoc& doc, const std::vector<std::string>& p,
                        const std::string& scriptPath);
// addquery(preset 0..4)
void ScriptAddQuery(CQuorinDoc& doc, const std::vector<std::string>& p);
// filequery(path, no row names, no column names, tab, comma, space, stop, colon,
//           semicolon[, output path]); `path` is the readable form of the first parameter.
void ScriptFileQuery(CQuorinDoc& doc, const std::vector<std::string>& p, const std::string& path);

}  // namespace quorin
