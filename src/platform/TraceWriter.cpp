#include "platform/TraceWriter.h"

#include <unistd.h>

#include "platform/StringFormat.h"

namespace quorin {

CTraceWriter::~CTraceWriter() { Close(); }

CTraceWriter::EResult CTraceWriter::Write(const std::string& text) {
    std::lock_guard lock(m_Mutex);
    if (m_Recent.size() >= RecentLimit) m_Recent.pop_front();
    m_Recent.push_back(text);

    if (m_LineCounter == 0 && !m_File) {
        // The first line after the levels were set goes to the existing file, which the
        // Diagnostics command created.
        m_File = std::fopen(m_FileName.c_str(), "r+b");
        if (!m_File) {
            ++m_LineCounter;
            return EResult::OpenFailed;
        }
    }
    if (!m_File) {
        // Closed since (a document closed, or opening failed): the lines keep their
        // numbers but are not written until the Diagnostics command starts a new file.
        ++m_LineCounter;
        return EResult::Written;
    }
    WriteNumbered(text);
    if (m_LineCounter % RewriteEvery == 0) {
        std::fflush(m_File);
        if (ftruncate(fileno(m_File), 0) == 0) {
            std::rewind(m_File);
            for (const auto& recent : m_Recent) WriteNumbered(recent);
        }
    }
    std::fflush(m_File);
    return EResult::Written;
}

void CTraceWriter::WriteNumbered(const std::string& text) {
    std::fseek(m_File, 0, SEEK_END);
    std::string line = Format("\r\n%.9lld  ", static_cast<long long>(m_LineCounter)) + text;
    std::fwrite(line.data(), 1, line.size(), m_File);
    ++m_LineCounter;
}

bool CTraceWriter::CreateFile() {
    std::lock_guard lock(m_Mutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (std::FILE* f = std::fopen(m_FileName.c_str(), "wb")) {
            std::fclose(f);
            return true;
        }
    }
    return false;
}

void CTraceWriter::Close() {
    std::lock_guard lock(m_Mutex);
    if (m_File) std::fclose(m_File);
    m_File = nullptr;
}

bool CTraceWriter::IsOpen() const {
    std::lock_guard lock(m_Mutex);
    return m_File != nullptr;
}

void CTraceWriter::SetFileName(const std::string& name) {
    std::lock_guard lock(m_Mutex);
    m_FileName = name;
}

std::string CTraceWriter::FileName() const {
    std::lock_guard lock(m_Mutex);
    return m_FileName;
}

void CTraceWriter::ResetLineCounter() {
    std::lock_guard lock(m_Mutex);
    m_LineCounter = 0;
}

std::int64_t CTraceWriter::LineCounter() const {
    std::lock_guard lock(m_Mutex);
    return m_LineCounter;
}

std::deque<std::string> CTraceWriter::RecentLines() const {
    std::lock_guard lock(m_Mutex);
    return m_Recent;
}

}  // namespace quorin
