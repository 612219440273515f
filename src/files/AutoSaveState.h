#pragma once
// The per-document state of the side files that are confirmed once: the Auto Save copies,
// the associations file. Kept with the document, never stored in its file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace quorin {

// A side file whose name the user confirms once per opened document. While Confirmed is
// clear the next use asks for the file first; Name is the path the user chose.
struct CConfirmedFile {
    std::string Name;
    bool Confirmed = false;
};

// Writes a copy's bytes to an open file descriptor; false (errno set) on failure. Tests put a
// failing double here; empty means plain write(2).
using CByteWriter = std::function<bool(int fd, const std::uint8_t* data, std::size_t size)>;

struct CAutoSaveState {
    CConfirmedFile ErrorFile;
    CConfirmedFile ValidatingFile;
    CConfirmedFile BackupFile;
    CConfirmedFile AssociationsFile;
    std::uint32_t LastBackupTime = 0;  // tick count of the last timed backup
    // Where a headless run will store the document: side files derive from it rather than from
    // the path the document was opened from, so that they land beside the output.
    std::string OutputPath;
    CByteWriter Writer;

    // A document was opened or created: every file is asked for again.
    void Reset(std::uint32_t now) {
        ErrorFile = ValidatingFile = BackupFile = AssociationsFile = {};
        LastBackupTime = now;
    }
};

}  // namespace quorin
