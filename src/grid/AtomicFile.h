#pragma once
// Whole-file reads with a size limit, and replacement of a file that never leaves a
// half-written target behind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorin {

// Opens a regular file of at most maxSize bytes for reading and gives its size; on failure
// returns -1 with the reason. The caller closes the descriptor.
int OpenFileForReading(const std::string& path, std::uint64_t maxSize, std::size_t& size,
                       std::string& error);

// Reads a regular file of at most maxSize bytes. On failure returns false with the reason.
bool ReadFileBytes(const std::string& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                   std::string& error);

struct CReplaceOptions {
    // Writes the bytes to the temporary file's descriptor; false with errno set on failure.
    // Empty: write(2).
    std::function<bool(int fd, const std::uint8_t* data, std::size_t size)> Write;
    // Use a named temporary file even where the file system offers unnamed ones.
    bool NamedTemporary = false;
};

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`. On failure the temporary file is removed, `path` is untouched and false
// is returned with the reason.
//
// The temporary file has no name while it is written (where the file system allows), so a
// process killed half-way leaves nothing behind; it is named "PATH.tmpPID.N" only for the
// moment before the rename, and locked while it exists. Such names left by a killed run
// (unlocked, owned by this user) are removed by the next replacement of the same file.
bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error,
                 const CReplaceOptions& options = {});

// The same with bytes made while they are written: `produce` hands them, in any number of
// pieces, to the function it is given, which returns false once a write failed; `produce`
// returns false when it could not make them all. Nothing replaces `path` unless every piece
// was written.
using CFileProducer = std::function<bool(const std::function<bool(const std::uint8_t*, std::size_t)>& write)>;
bool ReplaceFileWith(const std::string& path, const CFileProducer& produce, std::string& error,
                     const CReplaceOptions& options = {});

}  // namespace quorin
