#pragma once
// The document's log file ("<document>.lo.txt"): the report that Leave Some Out writes.
#include <string>

namespace quorin {
class CQuorinDoc;

// When logging is on and the log file is not yet confirmed: asks for it and creates it.
// Returns 1 when the log file is confirmed afterwards, 0 otherwise (logging is then off).
int GetLogFile(CQuorinDoc& doc);

// The log writer: appends the text and "\r\n" to the log file. Unforced lines wait for
// their moment (see the source); Leave Some Out writes with force and update set.
void WriteLog(CQuorinDoc& doc, const std::string& text, int force, int update);

// View "&Log" is offered while the log file is confirmed.
bool CanViewLog(const CQuorinDoc& doc);
// Opens the log file with the operating system's "open" action; 1 opened, 0 not.
int OnViewLog(CQuorinDoc& doc);

// The log file name of a document path: its last four characters become ".lo.txt".
std::string LogFileNameFor(const std::string& documentPath);

}  // namespace quorin
