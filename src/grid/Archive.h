#pragma once
// The binary archive under the document file: little-endian integers and doubles,
// length-prefixed strings, element counts, and object tags that share one running
// class/object index for the whole file.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "grid/RowName.h"

namespace quorin {

// Tag words of the object-reference scheme.
inline constexpr std::uint16_t kNullTag = 0x0000;
inline constexpr std::uint16_t kBigObjectTag = 0x7FFF;  // a DWORD tag follows
inline constexpr std::uint16_t kClassTag = 0x8000;      // OR-ed with a class index
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;   // a class declaration follows
inline constexpr std::uint32_t kBigClassTag = 0x80000000u;
// Class indices below this fit in a WORD tag; 0x8000 | 0x7FFF would read as a new class.
inline constexpr std::uint32_t kMaxShortClassIndex = kBigObjectTag - 1;
// Every record class of the document file carries this schema number.
inline constexpr std::uint16_t kRecordSchema = 1;

// Where the host stores numbers as the file does, arrays are copied as they are.
inline constexpr bool kHostIsLittleEndian = std::endian::native == std::endian::little;

// A large file passes through the archive in pieces of about this size, so that it is never
// held whole beside the document.
inline constexpr std::size_t kArchiveChunk = std::size_t{1} << 18;
// How far ahead of the reading the system is asked to have the file in memory; that memory
// is the system's cache, not the program's.
inline constexpr std::size_t kArchiveReadAhead = std::size_t{16} << 20;
// A writer with a sink hands its bytes on in pieces of about this size; the file writer
// gathers them into larger buffers of its own.
inline constexpr std::size_t kArchiveWriteChunk = std::size_t{1} << 16;

// Takes the next bytes of a file; false when they could not be stored.
using CByteSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// Appends to a byte buffer, or with a sink hands the bytes on in chunks. Only the sink fails.
class CArchiveWriter {
public:
    CArchiveWriter() = default;
    explicit CArchiveWriter(CByteSink sink) : m_Sink(std::move(sink)) { m_Bytes.reserve(2 * kArchiveWriteChunk); }

    void Byte(std::uint8_t v) { m_Bytes.push_back(v); }
    void Word(std::uint16_t v);
    void Dword(std::uint32_t v);
    void Int32(const std::int32_t& v) { Dword(static_cast<std::uint32_t>(v)); }
    void Double(const double& v);
    void String(std::string_view s);
    void Count(std::size_t n);
    void Doubles(std::span<const double> values);
    // The tag of one new object of `className`; the class is declared on its first use.
    void ObjectTag(std::string_view className);

    // Room for `n` more bytes, so that a large file is not copied as its buffer grows.
    void Reserve(std::size_t n) { m_Bytes.reserve(m_Bytes.size() + n); }
    // Bytes written so far, including those handed to the sink.
    std::size_t Size() const { return m_Handed + m_Bytes.size(); }
    // The bytes not yet handed on: all of them without a sink.
    std::vector<std::uint8_t>& Bytes() { return m_Bytes; }
    // Hands the buffered bytes to the sink; false once the sink has failed.
    bool Flush();

private:
    void Append(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        m_Bytes.insert(m_Bytes.end(), b, b + n);
        if (m_Sink && m_Bytes.size() >= kArchiveWriteChunk) Flush();
    }

    CByteSink m_Sink;
    bool m_SinkFailed = false;
    std::size_t m_Handed = 0;
    std::vector<std::uint8_t> m_Bytes;
    std::uint32_t m_NextIndex = 1;
    std::vector<std::pair<std::string, std::uint32_t>> m_Classes;  // name, index
    std::size_t m_LastClass = 0;  // records come in runs of one class
};

// Counts the bytes a CArchiveWriter would append for the same calls, so the buffer of a
// whole file can be reserved at once.
class CArchiveSizer {
public:
    void Byte(std::uint8_t) { m_Size += 1; }
    void Word(std::uint16_t) { m_Size += 2; }
    void Dword(std::uint32_t) { m_Size += 4; }
    void Int32(const std::int32_t&) { m_Size += 4; }
    void Double(const double&) { m_Size += 8; }
    void String(std::string_view s);
    void Count(std::size_t n) { m_Size += n < 0xFFFF ? 2 : 6; }
    void Doubles(std::span<const double> values) {
        Count(values.size());
        m_Size += 8 * values.size();
    }
    void ObjectTag(std::string_view className);

    std::size_t Size() const { return m_Size; }

private:
    std::size_t m_Size = 0;
    std::uint32_t m_NextIndex = 1;
    std::vector<std::pair<std::string, std::uint32_t>> m_Classes;  // name, index
};

// Reads from a byte span, or from a file through a buffer of about kArchiveChunk bytes, with
// bounds checks against the whole length. The first failure is kept and every later read
// yields zeros, so callers may check Failed() at convenient points.
class CArchiveReader {
public:
    // `classNames` are the classes the file may declare; ObjectTag returns a position in it.
    CArchiveReader(std::span<const std::uint8_t> data, std::span<const char* const> classNames);
    // The first `size` bytes of the open file `fd`, read from its current offset onwards;
    // a file shorter than that reads as truncated. Does not close `fd`.
    CArchiveReader(int fd, std::size_t size, std::span<const char* const> classNames);

    void Byte(std::uint8_t& v);
    void Word(std::uint16_t& v);
    void Dword(std::uint32_t& v);
    void Int32(std::int32_t& v);
    void Double(double& v);
    void String(std::string& s);
    void String(CRowName& s);
    // An element count, refused when `minBytesEach` bytes per element would not fit
    // in what is left of the file.
    std::uint32_t Count(std::size_t minBytesEach, const char* what);
    template <class Array>
    void Doubles(Array& values) {
        const std::uint32_t n = Count(8, "value");
        values.resize(m_Failed ? 0 : n);
        if (m_Failed) return;
        ReadDoubles(values.data(), n);
    }
    // `n` doubles into `out`; the caller checked that they fit (Count does).
    void ReadDoubles(double* out, std::size_t n);
    // Reads the tag of a new object and returns its class's position in classNames,
    // or -1 on failure (unknown class, unsupported schema, malformed tag).
    int ObjectTag();

    bool Failed() const { return m_Failed; }
    const std::string& Error() const { return m_Error; }
    void Fail(std::string message);
    std::size_t Position() const { return m_Pos; }
    std::size_t Remaining() const { return m_Size - m_Pos; }

private:
    // Makes the next `n` bytes readable at Here(); fails when the file has fewer.
    bool Need(std::size_t n);
    // Reads more of the file, so that at least `n` unread bytes are in the window.
    bool Fill(std::size_t n);
    const std::uint8_t* Here() const { return m_Data.data() + (m_Pos - m_Base); }
    std::size_t InWindow() const { return m_Base + m_Data.size() - m_Pos; }
    // `n` bytes into `out`; the caller checked that they fit in what is left.
    void CopyOut(void* out, std::size_t n);
    int LookUpClass(std::uint32_t index) const;
    // Asks the system to start reading the file from `from` (relative to the start) ahead.
    void AdviseAhead(std::size_t from);

    // The bytes at file offsets m_Base onwards that are in memory: the whole data, or the buffer.
    std::span<const std::uint8_t> m_Data;
    std::size_t m_Base = 0;
    std::size_t m_Size = 0;
    int m_Fd = -1;
    std::size_t m_FileStart = 0;  // the file offset the archive starts at
    std::size_t m_Advised = 0;    // the read-ahead asked for reaches this far
    std::vector<std::uint8_t> m_Buffer;
    std::string m_Scratch;  // a row name on its way in
    std::span<const char* const> m_ClassNames;
    std::size_t m_Pos = 0;
    bool m_Failed = false;
    std::string m_Error;
    std::uint32_t m_NextIndex = 1;
    // Declared classes in index order: (running index, position in classNames).
    std::vector<std::pair<std::uint32_t, int>> m_Classes;
};

}  // namespace quorin
