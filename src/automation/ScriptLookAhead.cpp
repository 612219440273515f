#include "automation/ScriptLookAhead.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace quorin {

namespace {
// An import line holds at most 10000 bytes, so at most 10001 fields.
constexpr std::int64_t kMostColumns = 10001;
constexpr std::size_t kMostLineBytes = 65536;  // as the run keeps of a line
}  // namespace

void VisitScriptLinesFrom(const std::string& path, std::int64_t offset,
                          const std::function<bool(const std::string&)>& visit) {
    if (path.empty() || offset < 0) return;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) {
        std::fclose(file);
        return;
    }
    std::array<char, 1 << 14> buffer{};
    std::string line;
    bool more = true;
    for (std::size_t n; more && (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;) {
        for (std::size_t i = 0; i < n && more; ++i) {
            const char c = buffer[i];
            if (c == '\n') continue;
            if (c != '\r') {
                if (line.size() < kMostLineBytes) line.push_back(c);
                continue;
            }
            more = visit(line);
            line.clear();
        }
    }
    std::fclose(file);
}

void NoteColumnModes(std::vector<int>& modes, int first, int count, int mode) {
    if (mode < 0) return;
    const std::int64_t begin = std::max(0, first);
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{first} + count, kMostColumns);
    if (begin >= end) return;
    if (static_cast<std::int64_t>(modes.size()) < end) modes.resize(static_cast<std::size_t>(end), -1);
    std::fill(modes.begin() + begin, modes.begin() + end, mode);
}

}  // namespace quorin
