#pragma once
// Tab-separated side files written beside a stored document: the Grid, the weights,
// the biases, the learning graph and the per-node details.
#include <string>
#include <vector>

namespace quorin {
class CQuorinApp;
class CQuorinDoc;

// One side file made in memory, to be written later.
struct CSideFile {
    std::string Name;
    std::string Text;
    std::string FailureMessage;  // shown when it can't be written; nothing after it is written
    std::string MessageAfter;    // shown once it is written; nothing after it is written
};

// Auto Save flag bit that asks for the network details file.
inline constexpr int kAutoSaveDetails = 0x40;

// Writes the chosen special files (.gr/.we/.bi/.gp, and .de) beside a document being saved.
// Renders under the document lock, so it may run beside a learning thread; the caller must
// not hold the lock.
void SaveOptionalFiles(CQuorinDoc& doc, const std::string& fileName);
// The two halves of SaveOptionalFiles. Rendering reads the document (and presents the first
// training row to a copy of the network for the details file, never to the live records), so
// while a worker runs the caller holds the document lock; writing touches only the files, outside the lock. False when a failure
// ended the writing (its message shown).
std::vector<CSideFile> RenderOptionalFiles(CQuorinDoc& doc, const std::string& fileName);
bool WriteSideFiles(CQuorinApp& app, const std::vector<CSideFile>& files);
// Appends one node's account (node -1: the header) to the details file; false when the
// file can't be opened.
bool SaveNodeDetails(CQuorinDoc& doc, const std::string& fileName, int node, int nodeType,
                     const std::string& name, const std::string& suffix);

// The side file names for a stored path.
std::string SpecialFileName(const std::string& path, const char* extension);  // first dot
std::string DetailsFileName(const std::string& path);                         // last four

}  // namespace quorin
