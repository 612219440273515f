#include "automation/ImportReader.h"

#include <algorithm>
#include <cstring>

namespace quorin {

CImportLineReader::~CImportLineReader() { Close(); }

bool CImportLineReader::Open(const std::string& path) {
    Close();
    m_File = std::fopen(path.c_str(), "rb");
    m_Pos = m_Len = 0;
    return m_File != nullptr;
}

void CImportLineReader::Close() {
    if (m_File) std::fclose(m_File);
    m_File = nullptr;
    m_Pos = m_Len = 0;
}

void CImportLineReader::Rewind() {
    if (m_File) std::rewind(m_File);
    m_Pos = m_Len = 0;
}

bool CImportLineReader::Fill() {
    if (!m_File) return false;
    m_Len = std::fread(m_Buffer.data(), 1, m_Buffer.size(), m_File);
    m_Pos = 0;
    return m_Len > 0;
}

std::int64_t CImportLineReader::CountCarriageReturns() {
    Rewind();
    std::int64_t count = 0;
    while (Fill()) count += std::count(m_Buffer.data(), m_Buffer.data() + m_Len, '\r');
    Rewind();
    return count;
}

CImportLineReader::EResult CImportLineReader::ReadLine(std::string& line) {
    line.clear();
    for (;;) {
        if (m_Pos >= m_Len && !Fill()) return line.empty() ? End : Line;
        const char* start = m_Buffer.data() + m_Pos;
        const std::size_t room = kImportMaxLine - line.size();
        const std::size_t span = std::min(m_Len - m_Pos, room);
        const void* lf = std::memchr(start, '\n', span);
        if (lf) {
            const std::size_t n = static_cast<const char*>(lf) - start + 1;
            line.append(start, n);
            m_Pos += n;
            return Line;
        }
        line.append(start, span);
        m_Pos += span;
        if (line.size() >= kImportMaxLine) {
            // A full line without its line feed: fine only at the very end of the file.
            if (m_Pos >= m_Len && !Fill()) return Line;
            return TooLong;
        }
    }
}

bool CImportDelimiters::Any() const {
    return std::any_of(m_On.begin(), m_On.end(), [](bool b) { return b; });
}

bool CImportDelimiters::HasRepeats(const std::string& line) const {
    for (std::size_t i = 1; i < line.size(); ++i)
        if (line[i] == line[i - 1] && Is(static_cast<unsigned char>(line[i]))) return true;
    return false;
}

void CImportDelimiters::RemoveRepeats(std::string& line) const {
    std::size_t out = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (out > 0 && line[i] == line[out - 1] && Is(static_cast<unsigned char>(line[i])))
            continue;
        line[out++] = line[i];
    }
    line.resize(out);
}

int CImportDelimiters::CountFields(const std::string& line) const {
    int delimiters = 0;
    bool carriageReturn = false;
    for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (m_On[c]) ++delimiters;
        if (c == '\r') carriageReturn = true;
    }
    return delimiters + (carriageReturn ? 1 : 0);
}

int CImportDelimiters::Split(const std::string& line, std::vector<std::string>& fields) const {
    const int count = CountFields(line);
    if (static_cast<int>(fields.size()) < count) fields.resize(count);
    int field = 0;
    bool ended = false;  // a line feed or byte 255 ended the current field
    if (count > 0) fields[0].clear();
    for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (m_On[c]) {
            if (++field >= count) break;
            fields[field].clear();
            ended = false;
            continue;
        }
        if (ended || c == '\r' || c == 0) continue;
        if (c == '\n' || c == 255) {
            ended = true;
            continue;
        }
        if (field < count) fields[field].push_back(ch);
    }
    return count;
}

}  // namespace quorin
