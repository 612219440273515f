#pragma once
#include <string>

namespace quorin {
class CQuorinDoc;

// The Information dialog about a document (shown after opening unless switched off in
// the settings store, section "Information", key "ShowInfo", 1 = do not show).
void ShowInfo(CQuorinDoc& doc, const std::string& path);
// The Information text itself.
std::string InformationText(CQuorinDoc& doc, const std::string& path);
// The status bar text of a progress message.
std::string StatusText(int status, int count);
// The learning graph's caption for the document's status; empty when it has none.
std::string GraphCaption(CQuorinDoc& doc);

}  // namespace quorin
