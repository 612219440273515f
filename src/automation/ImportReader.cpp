#include "automation/ImportReader.h"

#include <algorithm>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorin {

CImportLineReader::~CImportLineReader() { Close(); }

CImportLineReader::EOpen CImportLineReader::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return NotOpened;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return NotOpened;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return NotRegular;
    }
    m_File = ::fdopen(fd, "rb");
    if (!m_File) {
        ::close(fd);
        return NotOpened;
    }
    m_Size = static_cast<std::int64_t>(st.st_size);
    return Opened;
}

void CImportLineReader::Close() {
    if (m_File) std::fclose(m_File);
    m_File = nullptr;
    m_Pos = m_Len = 0;
    m_Offset = m_Size = 0;
}

void CImportLineReader::Rewind() {
    if (m_File) std::rewind(m_File);
    m_Pos = m_Len = 0;
    m_Offset = 0;
}

bool CImportLineReader::Fill() {
    if (!m_File) return false;
    m_Len = std::fread(m_Buffer.data(), 1, m_Buffer.size(), m_File);
    m_Pos = 0;
    m_Offset += static_cast<std::int64_t>(m_Len);
    return m_Len > 0;
}

std::int64_t CImportLineReader::CountCarriageReturns() {
    Rewind();
    std::int64_t count = 0;
    while (Fill()) {
        const char* p = m_Buffer.data();
        const char* end = p + m_Len;
        while ((p = static_cast<const char*>(std::memchr(p, '\r', end - p))) != nullptr) {
            ++count;
            ++p;
        }
    }
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

int CImportDelimiters::Split(const std::string& line, CImportFields& fields) const {
    // Every run between delimiters is cut out; the count then says how many are fields
    // (the run after the last delimiter is one only on a line with a carriage return).
    if (fields.m_Bytes.size() < line.size()) fields.m_Bytes.resize(line.size());
    char* out = fields.m_Bytes.data();
    std::uint32_t written = 0;
    fields.m_Ends.clear();
    int delimiters = 0;
    bool carriageReturn = false;
    bool ended = false;  // a line feed or byte 255 ended the current field
    for (char ch : line) {
        const std::uint8_t kind = m_Class[static_cast<unsigned char>(ch)];
        if (kind == 0) {
            if (!ended) out[written++] = ch;
            continue;
        }
        if (kind & kReturn) carriageReturn = true;
        if (kind & kDelimiter) {
            ++delimiters;
            fields.m_Ends.push_back(written);
            ended = false;
            continue;
        }
        if (ended || (kind & kReturn)) continue;
        ended = true;  // a line feed or byte 255
    }
    fields.m_Ends.push_back(written);
    fields.m_Count = delimiters + (carriageReturn ? 1 : 0);
    return fields.m_Count;
}

int CImportDelimiters::Split(const std::string& line, std::vector<std::string>& fields) const {
    CImportFields split;
    const int count = Split(line, split);
    if (static_cast<int>(fields.size()) < count) fields.resize(count);
    for (int i = 0; i < count; ++i) fields[i].assign(split[i]);
    return count;
}

}  // namespace quorin
