#pragma once
// The .tvq document file: the document's serialisation in both directions.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

// Documents larger than this are refused before they are read.
inline constexpr std::uint64_t kMaxDocumentFileSize = std::uint64_t{1} << 30;

// Reads a .tvq file into the document. The file is parsed whole into a separate state
// that replaces the document's lists and stored settings only when every byte made
// sense. On failure returns false with a reason ("truncated at byte N", ...), empties
// the lists and leaves the stored settings as they were.
bool ReadDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error);
// The same for a file already in memory; `path` names it in the old-format question.
bool ReadDocumentBytes(CQuorinDoc& doc, std::span<const std::uint8_t> bytes, const std::string& path,
                       std::string& error);

// The writing direction: settles the file format (an old-format document asks the
// old-format question with `fileName`), calls SaveOptionalFiles(fileName) between the
// settings and the lists, repairs AverageError, and returns the file's bytes.
std::vector<std::uint8_t> WriteDocumentBytes(CQuorinDoc& doc, const std::string& fileName);
// Writes the document to `path` through a temporary file renamed over it (see
// ReplaceFile). Leaves the modified flag and the document's path alone: callers that
// save under the document's own name use SaveDocument (DocumentCommands.h).
int WriteDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error);

// The bytes of the document's current state, without questions, repairs or side files.
std::vector<std::uint8_t> EncodeDocument(CQuorinDoc& doc);

// The lowest file status whose file carries every non-empty optional list.
int FileStatusNeeded(const CQuorinDoc& doc);

// The question asked when an old-format file is read or saved.
std::string OldFormatQuestion(const std::string& path);

}  // namespace quorin
