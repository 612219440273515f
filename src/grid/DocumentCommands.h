#pragma once
// The File menu's document commands, for the desktop program and scripts.
#include <string>

namespace quorin {
class CQuorinDoc;

inline constexpr char kDocumentFilter[] = "Quorin-plus Files (*.tvq)|*.tvq||";
inline constexpr char kDocumentExt[] = "tvq";

// Saves the document under `path`. On success the document takes that path and is no
// longer modified; on failure a message names the file and the reason, and the old file,
// the path and the modified flag stay as they were. Holds the document's network lock
// while the document is encoded, so callers must not hold it.
int SaveDocument(CQuorinDoc& doc, const std::string& path);

// Asks whether to save a modified document. Returns 1 to go on (saved, or not wanted),
// 0 when the user cancelled or the save failed.
int SaveModified(CQuorinDoc& doc);

// Each returns 1 when done and 0 when cancelled, refused or failed.
// New and Open work on a document the shell has just created for them (or one whose
// contents the user agrees to replace).
int OnFileNew(CQuorinDoc& doc);
int OnFileOpen(CQuorinDoc& doc);
int OnFileSave(CQuorinDoc& doc);
int OnFileSaveAs(CQuorinDoc& doc);
// Returns 1 when the document closed.
int OnFileClose(CQuorinDoc& doc);

}  // namespace quorin
