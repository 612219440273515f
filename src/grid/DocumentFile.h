#pragma once
// The .tvq document file: the document's serialisation in both directions.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/SpecialFiles.h"
#include "grid/AtomicFile.h"

namespace quorin {
class CQuorinApp;
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

// Saving, in three steps.
// 1. Settling the format: an old-format document asks the old-format question with `fileName`
//    and is converted or keeps the old block. The only step that may ask; takes the document
//    lock itself, so callers must not hold it.
void SettleFileFormat(CQuorinDoc& doc, const std::string& fileName);
// 2. Encoding: the file's bytes and the chosen special files of `fileName` (rendered between
//    the settings and the lists, as the format has it), with the repairs a save makes. Never
//    asks; while a worker runs, the caller holds the document lock, so a worker can call it.
struct CEncodedDocument {
    std::vector<std::uint8_t> Bytes;
    std::vector<CSideFile> SideFiles;
};
CEncodedDocument EncodeForSave(CQuorinDoc& doc, const std::string& fileName);
// 3. Writing: the bytes through a temporary file renamed over `path` (see ReplaceFile), then the
//    side files. Touches no document, so it runs outside the lock. False with the reason when
//    the document file could not be written (the side files are then not written).
bool WriteEncodedDocument(CQuorinApp& app, const std::string& path, const CEncodedDocument& encoded,
                          std::string& error, const CReplaceOptions& options = {});

// 2 and 3 at once for a large document: encodes straight into the temporary file in chunks of
// kArchiveChunk bytes, so the file is never held whole beside the rows. Reads the document for
// the whole write, so while a worker runs the caller holds the document lock until it returns.
// The side files are rendered into `sideFiles` (empty on failure) for the caller to write with
// WriteSideFiles once the lock is released.
bool EncodeAndWriteDocument(CQuorinDoc& doc, const std::string& path, std::vector<CSideFile>& sideFiles,
                            std::string& error, const CReplaceOptions& options = {});

// The three steps, returning the bytes instead of writing them (the side files are written).
std::vector<std::uint8_t> WriteDocumentBytes(CQuorinDoc& doc, const std::string& fileName);
// The three steps to `path`, without the lock. Leaves the modified flag and the document's path
// alone: callers that save under the document's own name use SaveDocument (DocumentCommands.h).
int WriteDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error);

// The bytes of the document's current state, without questions, repairs or side files.
std::vector<std::uint8_t> EncodeDocument(CQuorinDoc& doc);

// The lowest file status whose file carries every non-empty optional list.
int FileStatusNeeded(const CQuorinDoc& doc);

// The question asked when an old-format file is read or saved.
std::string OldFormatQuestion(const std::string& path);

}  // namespace quorin
