#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

namespace quorin {

// The process-wide diagnostic trace: numbered lines "\r\n%.9d  %s", rewritten at every
// multiple of 10000 lines so that the file keeps the most recent 1001 texts.
// Lines from several threads are written one whole line at a time.
class CTraceWriter {
public:
    static constexpr const char* DefaultFileName = "qrntrace.txt";
    static constexpr size_t RecentLimit = 1001;
    static constexpr int RewriteEvery = 10000;

    CTraceWriter() = default;
    ~CTraceWriter();
    CTraceWriter(const CTraceWriter&) = delete;
    CTraceWriter& operator=(const CTraceWriter&) = delete;

    enum class EResult { Written, OpenFailed };
    // Writes one line; OpenFailed when the file could not be opened for the first line
    // (the caller reports "Unable to open the trace file.").
    EResult Write(const std::string& text);

    // Creates (empties) the trace file, trying twice; false when both attempts fail.
    bool CreateFile();
    void Close();
    bool IsOpen() const;

    void SetFileName(const std::string& name);
    std::string FileName() const;
    void ResetLineCounter();
    std::int64_t LineCounter() const;
    std::deque<std::string> RecentLines() const;

private:
    void WriteNumbered(const std::string& text);

    mutable std::mutex m_Mutex;
    std::string m_FileName = DefaultFileName;
    std::FILE* m_File = nullptr;
    // 64 bits: a long learning run at trace level 1 can pass 2^31 lines.
    std::int64_t m_LineCounter = 0;
    std::deque<std::string> m_Recent;
};

}  // namespace quorin
