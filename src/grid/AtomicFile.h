#pragma once
// Whole-file reads with a size limit, and replacement of a file that never leaves a
// half-written target behind.
#include <cstdint>
#include <string>
#include <vector>

namespace quorin {

// Reads a regular file of at most maxSize bytes. On failure returns false with the reason.
bool ReadFileBytes(const std::string& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                   std::string& error);

// Writes `bytes` to a temporary file beside `path`, flushes it to the disk and renames it
// over `path`. On failure the temporary file is removed, `path` is untouched and false
// is returned with the reason.
bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace quorin
