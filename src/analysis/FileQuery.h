#pragma once
// File Query: answering the lines of a delimited text file through the network, as Querying
// rows would be answered, into a ".qu.txt" file. The Grid is not changed.
#include <string>

namespace quorin {
class CQuorinDoc;

struct CFileQueryOptions {
    bool NoRowNames = false;     // the file has no Example row names in its first field
    bool NoColumnNames = false;  // the file has no line of Input/Output column names
    bool Tab = false, Comma = false, Space = false, Semicolon = false, Colon = false, Stop = false;
    bool Other = false;
    std::string OtherText;  // the other delimiter: exactly one character
};

// Reads `path` and writes the answers to `outputPath`. Returns the number of lines answered,
// or -1 after a message when nothing was written.
int FileQuery(CQuorinDoc& doc, const std::string& path, const CFileQueryOptions& options,
              const std::string& outputPath);
// Menu Action > File Query: the "File Query" dialog, the file to read, the file to write.
void OnActionFileQuery(CQuorinDoc& doc);
bool CanFileQuery(const CQuorinDoc& doc);

}  // namespace quorin
