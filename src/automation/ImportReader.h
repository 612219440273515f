#pragma once
// Reading a delimited text file for import: lines of bounded length, and the fields
// of one line by the switched-on delimiters.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
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

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_File != nullptr; }
    // Number of carriage-return bytes in the whole file; leaves the reader at the start.
    std::int64_t CountCarriageReturns();
    void Rewind();
    // A line of more than kImportMaxLine bytes without a line feed gives TooLong.
    EResult ReadLine(std::string& line);

private:
    bool Fill();
    std::FILE* m_File = nullptr;
    std::vector<char> m_Buffer = std::vector<char>(1 << 16);
    std::size_t m_Pos = 0;
    std::size_t m_Len = 0;
};

// The delimiters switched on for one import run.
class CImportDelimiters {
public:
    void Set(unsigned char c) { m_On[c] = true; }
    bool Is(unsigned char c) const { return m_On[c]; }
    bool Any() const;
    // True when some delimiter is immediately followed by itself.
    bool HasRepeats(const std::string& line) const;
    // Runs of one delimiter collapse to a single one.
    void RemoveRepeats(std::string& line) const;
    // The fields of a line: one per delimiter, plus one when the line holds a
    // carriage return. Carriage returns and NUL bytes are dropped inside a field;
    // a line feed or a byte 255 ends it. Returns the number of fields.
    int Split(const std::string& line, std::vector<std::string>& fields) const;
    // The number of fields without building them.
    int CountFields(const std::string& line) const;

private:
    std::array<bool, 256> m_On{};
};

}  // namespace quorin
