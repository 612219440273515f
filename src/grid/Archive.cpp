#include "grid/Archive.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/StringFormat.h"

namespace quorin {

namespace {
// A class name from the file as it may be shown: printable characters only, bounded.
std::string Printable(const std::uint8_t* p, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n && i < 64; ++i) s += (p[i] >= 0x20 && p[i] < 0x7F) ? char(p[i]) : '?';
    if (n > 64) s += "...";
    return s;
}
}  // namespace

// ---- writer ----

void CArchiveWriter::Word(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    Append(b, 2);
}

void CArchiveWriter::Dword(std::uint32_t v) {
    std::uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    Append(b, 4);
}

void CArchiveWriter::Double(const double& v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    Append(b, 8);
}

void CArchiveWriter::String(std::string_view s) {
    const std::size_t n = s.size();
    if (n < 0xFF) {
        Byte(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {  // 0xFFFE would announce a wide-character string
        Byte(0xFF);
        Word(static_cast<std::uint16_t>(n));
    } else {
        Byte(0xFF);
        Word(0xFFFF);
        Dword(static_cast<std::uint32_t>(n));
    }
    Append(s.data(), s.size());
}

void CArchiveWriter::Count(std::size_t n) {
    if (n < 0xFFFF) {
        Word(static_cast<std::uint16_t>(n));
    } else {
        Word(0xFFFF);
        Dword(static_cast<std::uint32_t>(n));
    }
}

void CArchiveWriter::Doubles(std::span<const double> values) {
    Count(values.size());
    if constexpr (kHostIsLittleEndian) {
        Append(values.data(), 8 * values.size());
    } else {
        Reserve(8 * values.size());
        for (double v : values) Double(v);
    }
}

bool CArchiveWriter::Flush() {
    if (!m_SinkFailed && !m_Bytes.empty()) m_SinkFailed = !m_Sink(m_Bytes.data(), m_Bytes.size());
    m_Handed += m_Bytes.size();
    m_Bytes.clear();
    return !m_SinkFailed;
}

void CArchiveWriter::ObjectTag(std::string_view className) {
    if (m_LastClass >= m_Classes.size() || m_Classes[m_LastClass].first != className) {
        auto known = std::find_if(m_Classes.begin(), m_Classes.end(),
                                  [&](const auto& c) { return c.first == className; });
        m_LastClass = static_cast<std::size_t>(known - m_Classes.begin());
    }
    if (m_LastClass == m_Classes.size()) {
        Word(kNewClassTag);
        Word(kRecordSchema);
        Word(static_cast<std::uint16_t>(className.size()));
        Append(className.data(), className.size());
        m_Classes.emplace_back(std::string(className), m_NextIndex++);
    } else if (const std::uint32_t index = m_Classes[m_LastClass].second; index <= kMaxShortClassIndex) {
        Word(static_cast<std::uint16_t>(kClassTag | index));
    } else {
        Word(kBigObjectTag);
        Dword(kBigClassTag | index);
    }
    ++m_NextIndex;  // the object itself
}

// ---- sizer ----

void CArchiveSizer::String(std::string_view s) {
    const std::size_t n = s.size();
    m_Size += (n < 0xFF ? 1 : n < 0xFFFE ? 3 : 7) + n;
}

void CArchiveSizer::ObjectTag(std::string_view className) {
    auto known = std::find_if(m_Classes.begin(), m_Classes.end(),
                              [&](const auto& c) { return c.first == className; });
    if (known == m_Classes.end()) {
        m_Size += 6 + className.size();
        m_Classes.emplace_back(className, m_NextIndex++);
    } else {
        m_Size += known->second <= kMaxShortClassIndex ? 2 : 6;
    }
    ++m_NextIndex;
}

// ---- reader ----

CArchiveReader::CArchiveReader(std::span<const std::uint8_t> data,
                               std::span<const char* const> classNames)
    : m_Data(data), m_Size(data.size()), m_ClassNames(classNames) {}

CArchiveReader::CArchiveReader(int fd, std::size_t size, std::span<const char* const> classNames)
    : m_Size(size), m_Fd(fd), m_ClassNames(classNames) {
    const off_t start = ::lseek(fd, 0, SEEK_CUR);
    m_FileStart = start > 0 ? static_cast<std::size_t>(start) : 0;
    AdviseAhead(0);
}

void CArchiveReader::AdviseAhead(std::size_t from) {
    // The disk reads the next chunks while this one is parsed; a file that is not yet cached
    // then opens in about the time of reading it, not of reading and then parsing it.
    // Asked again once half of what was asked for has been read.
    if (m_Advised >= m_Size || m_Advised > from + kArchiveReadAhead / 2) return;
    const std::size_t start = std::max(from, m_Advised);
    const std::size_t length = std::min(kArchiveReadAhead, m_Size - start);
    ::posix_fadvise(m_Fd, static_cast<off_t>(m_FileStart + start), static_cast<off_t>(length),
                    POSIX_FADV_WILLNEED);
    m_Advised = start + length;
}

void CArchiveReader::Fail(std::string message) {
    if (m_Failed) return;
    m_Failed = true;
    m_Error = std::move(message);
}

bool CArchiveReader::Need(std::size_t n) {
    if (m_Failed) return false;
    if (n > Remaining()) {
        Fail(Format("truncated at byte %zu", m_Pos));
        return false;
    }
    return n <= InWindow() || Fill(n);
}

bool CArchiveReader::Fill(std::size_t n) {
    const std::size_t keep = InWindow();
    const std::size_t want = std::max(n, std::min(kArchiveChunk, Remaining()));
    if (m_Fd < 0 || want > Remaining()) {  // in memory, Need refused this already
        Fail(Format("truncated at byte %zu", m_Pos));
        return false;
    }
    if (m_Buffer.size() < want) {
        std::vector<std::uint8_t> larger(want);
        if (keep > 0) std::memcpy(larger.data(), Here(), keep);
        m_Buffer.swap(larger);
    } else if (keep > 0) {
        std::memmove(m_Buffer.data(), Here(), keep);
    }
    std::size_t got = keep;
    while (got < want) {
        const ssize_t r = ::read(m_Fd, m_Buffer.data() + got, want - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            // A file that shrank while it was read is as truncated as a short one.
            Fail(r < 0 ? std::error_code(errno, std::generic_category()).message()
                       : Format("truncated at byte %zu", m_Pos + got));
            m_Data = {};
            m_Base = m_Pos;
            return false;
        }
        got += static_cast<std::size_t>(r);
    }
    m_Data = std::span<const std::uint8_t>(m_Buffer.data(), got);
    m_Base = m_Pos;
    AdviseAhead(m_Pos + got);
    return true;
}

void CArchiveReader::CopyOut(void* out, std::size_t n) {
    auto* to = static_cast<std::uint8_t*>(out);
    while (n > 0) {
        if (InWindow() == 0 && !Fill(std::min(n, kArchiveChunk))) return;
        const std::size_t take = std::min(n, InWindow());
        std::memcpy(to, Here(), take);
        to += take;
        n -= take;
        m_Pos += take;
    }
}

void CArchiveReader::Byte(std::uint8_t& v) {
    v = 0;
    if (!Need(1)) return;
    v = *Here();
    ++m_Pos;
}

void CArchiveReader::Word(std::uint16_t& v) {
    v = 0;
    if (!Need(2)) return;
    const std::uint8_t* p = Here();
    v = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    m_Pos += 2;
}

void CArchiveReader::Dword(std::uint32_t& v) {
    v = 0;
    if (!Need(4)) return;
    const std::uint8_t* p = Here();
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    m_Pos += 4;
}

void CArchiveReader::Int32(std::int32_t& v) {
    std::uint32_t u;
    Dword(u);
    v = static_cast<std::int32_t>(u);
}

void CArchiveReader::Double(double& v) {
    v = 0.0;
    if (!Need(8)) return;
    std::uint64_t bits = 0;
    const std::uint8_t* p = Here();
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    std::memcpy(&v, &bits, sizeof v);
    m_Pos += 8;
}

void CArchiveReader::String(CRowName& s) {
    String(m_Scratch);
    s = m_Scratch;
}

void CArchiveReader::String(std::string& s) {
    s.clear();
    const std::size_t start = m_Pos;
    std::uint8_t b;
    Byte(b);
    std::size_t n = b;
    if (b == 0xFF) {
        std::uint16_t w;
        Word(w);
        n = w;
        if (w == 0xFFFE) {
            Fail(Format("unsupported wide-character string at byte %zu", start));
            return;
        }
        if (w == 0xFFFF) {
            std::uint32_t d;
            Dword(d);
            n = d;
        }
    }
    if (m_Failed) return;
    if (n > Remaining()) {
        Fail(Format("truncated at byte %zu", m_Pos));
        return;
    }
    s.resize(n);
    CopyOut(s.data(), n);
    if (m_Failed) s.clear();
}

std::uint32_t CArchiveReader::Count(std::size_t minBytesEach, const char* what) {
    const std::size_t start = m_Pos;
    std::uint16_t w;
    Word(w);
    std::uint32_t n = w;
    if (w == 0xFFFF) Dword(n);
    if (m_Failed) return 0;
    const std::uint64_t needed = static_cast<std::uint64_t>(n) * minBytesEach;
    if (needed > Remaining()) {
        Fail(Format("truncated at byte %zu: %s count %u needs at least %llu bytes but %zu are left",
                    start, what, n, static_cast<unsigned long long>(needed), Remaining()));
        return 0;
    }
    return n;
}

void CArchiveReader::ReadDoubles(double* out, std::size_t n) {
    if constexpr (kHostIsLittleEndian) {
        if (8 * n <= InWindow()) {  // the usual case: one memcpy from the window
            if (n > 0) std::memcpy(out, Here(), 8 * n);
            m_Pos += 8 * n;
        } else {
            CopyOut(out, 8 * n);
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) Double(out[i]);
    }
}

int CArchiveReader::LookUpClass(std::uint32_t index) const {
    auto it = std::lower_bound(m_Classes.begin(), m_Classes.end(), index,
                               [](const auto& c, std::uint32_t i) { return c.first < i; });
    return (it != m_Classes.end() && it->first == index) ? it->second : -1;
}

int CArchiveReader::ObjectTag() {
    const std::size_t start = m_Pos;
    std::uint16_t tag;
    Word(tag);
    if (m_Failed) return -1;
    int classId = -1;
    if (tag == kNewClassTag) {
        std::uint16_t schema, length;
        Word(schema);
        Word(length);
        if (!Need(length)) return -1;
        const std::uint8_t* name = Here();
        m_Pos += length;
        for (std::size_t i = 0; i < m_ClassNames.size(); ++i) {
            const std::size_t n = std::strlen(m_ClassNames[i]);
            if (n == length && std::memcmp(name, m_ClassNames[i], n) == 0) classId = static_cast<int>(i);
        }
        if (classId < 0) {
            Fail(Format("unknown class '%s' at byte %zu", Printable(name, length).c_str(), start));
            return -1;
        }
        if (schema != kRecordSchema) {
            Fail(Format("schema %u of class '%s' is not supported", schema, m_ClassNames[classId]));
            return -1;
        }
        m_Classes.emplace_back(m_NextIndex++, classId);
    } else {
        std::uint32_t full = (static_cast<std::uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag);
        if (tag == kBigObjectTag) Dword(full);
        if (m_Failed) return -1;
        // Null records and references to earlier objects are never written; a class
        // index must name a class declared earlier.
        if (full & kBigClassTag) classId = LookUpClass(full & ~kBigClassTag);
        if (classId < 0) {
            Fail(Format("bad object tag at byte %zu", start));
            return -1;
        }
    }
    if (m_NextIndex >= kBigClassTag) {
        Fail(Format("too many objects at byte %zu", start));
        return -1;
    }
    ++m_NextIndex;  // the object itself
    return classId;
}

}  // namespace quorin
