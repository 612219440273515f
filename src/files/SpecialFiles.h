#pragma once
// Tab-separated side files written beside a stored document: the Grid, the weights,
// the biases, the learning graph and the per-node details.
#include <string>

namespace quorin {
class CQuorinDoc;

// Auto Save flag bit that asks for the network details file.
inline constexpr int kAutoSaveDetails = 0x40;

// Writes the chosen special files (.gr/.we/.bi/.gp, and .de) beside a document being saved.
void SaveOptionalFiles(CQuorinDoc& doc, const std::string& fileName);
// Appends one node's account (node -1: the header) to the details file; false when the
// file can't be opened.
bool SaveNodeDetails(CQuorinDoc& doc, const std::string& fileName, int node, int nodeType,
                     const std::string& name, const std::string& suffix);

// The side file names for a stored path.
std::string SpecialFileName(const std::string& path, const char* extension);  // first dot
std::string DetailsFileName(const std::string& path);                         // last four

}  // namespace quorin
