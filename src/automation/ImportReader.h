#pragma once
// Reading a delimited text file for import: lines of bounded length, and the fields
// of one line by the switched-on delimiters.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// The longest line, line feed included, that import accepts.
inline constexpr std::size_t kImportMaxLine = 10000;

// Reads a file line by line through a buffer; a line runs up to and including a
// line feed. Memory stays bounded by the line limit whatever the file holds.
class CImportLineReader {
public:
    enum EResult { Line, End, TooLong };

    CImportLineReader() = default;
    ~CImportLineReader();
    CImportLineReader(const CImportLineReader&) = delete;
    CImportLineReader& operator=(const CImportLineReader&) = delete;

    enum EOpen { Opened, NotOpened, NotRegular };
    // Only a regular file is read; the open never waits on a pipe or a device.
    EOpen Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_File != nullptr; }
    // Number of carriage-return bytes in the whole file; leaves the reader at the start.
    std::int64_t CountCarriageReturns();
    void Rewind();
    std::int64_t Size() const { return m_Size; }
    // Bytes handed out as lines since the last rewind.
    std::int64_t Position() const {
        return m_Offset - static_cast<std::int64_t>(m_Len - m_Pos);
    }
    // A line of more than kImportMaxLine bytes without a line feed gives TooLong.
    EResult ReadLine(std::string& line);

private:
    bool Fill();
    std::FILE* m_File = nullptr;
    std::vector<char> m_Buffer = std::vector<char>(1 << 18);
    std::size_t m_Pos = 0;
    std::size_t m_Len = 0;
    std::int64_t m_Offset = 0;  // bytes read into the buffer since the last rewind
    std::int64_t m_Size = 0;
};

// The fields of one line, in one reused buffer: no allocation per field once warm.
class CImportFields {
public:
    int Count() const { return m_Count; }
    std::string_view operator[](int i) const {
        const std::uint32_t start = i == 0 ? 0 : m_Ends[i - 1];
        return std::string_view(m_Bytes.data() + start, m_Ends[i] - start);
    }

private:
    friend class CImportDelimiters;
    std::string m_Bytes;
    std::vector<std::uint32_t> m_Ends;  // one past each field's last byte in m_Bytes
    int m_Count = 0;
};

// The delimiters switched on for one import run.
class CImportDelimiters {
public:
    void Set(unsigned char c) {
        m_On[c] = true;
        m_Class[c] |= kDelimiter;
    }
    bool Is(unsigned char c) const { return m_On[c]; }
    bool Any() const;
    // True when some delimiter is immediately followed by itself.
    bool HasRepeats(const std::string& line) const;
    // Runs of one delimiter collapse to a single one.
    void RemoveRepeats(std::string& line) const;
    // The fields of a line: one per delimiter, plus one when the line holds a
    // carriage return. Carriage returns are dropped inside a field (every other byte,
    // NUL included, is kept); a line feed or a byte 255 ends it. Returns the number of
    // fields.
    int Split(const std::string& line, CImportFields& fields) const;
    int Split(const std::string& line, std::vector<std::string>& fields) const;
    // The number of fields without building them.
    int CountFields(const std::string& line) const;

private:
    enum : std::uint8_t { kDelimiter = 1, kReturn = 2, kEnd = 4 };
    static constexpr std::array<std::uint8_t, 256> PlainClasses() {
        std::array<std::uint8_t, 256> classes{};
        classes['\r'] = kReturn;
        classes['\n'] = kEnd;
        classes[255] = kEnd;
        return classes;
    }
    std::array<bool, 256> m_On{};
    // Per byte what Split must look at; 0 for a byte that is only copied.
    std::array<std::uint8_t, 256> m_Class = PlainClasses();
};

}  // namespace quorin
