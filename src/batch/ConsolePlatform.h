#pragma once
// The platform for a terminal: messages on stderr, questions answered with their
// default button, dialogs accepted as they are, a real clock that Ctrl-C interrupts.
#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "platform/MemorySettings.h"
#include "platform/Platform.h"

namespace quorin::batch {

// Set by the SIGINT handler.
extern std::atomic<bool> g_Interrupted;

// Serialises everything written to stderr, so that progress and messages never mix.
class CConsole {
public:
    // Messages and progress go to `messages`, the closing summary to `results`.
    explicit CConsole(bool terminal, std::FILE* messages = stderr, std::FILE* results = stdout)
        : m_Terminal(terminal), m_Messages(messages), m_Results(results) {}
    void Message(const std::string& text);
    void Result(const std::string& text);
    // The progress line: redrawn in place on a terminal, a plain line otherwise.
    void Progress(const std::string& text);
    void EndProgress();

private:
    std::mutex m_Mutex;
    bool m_Terminal;
    std::FILE* m_Messages;
    std::FILE* m_Results;
    bool m_ProgressShown = false;
};

class CConsolePrompts : public IPrompts {
public:
    explicit CConsolePrompts(CConsole& console) : m_Console(console) {}
    int MessageBox(const CMessage& message) override;
    bool FileDialog(CFileDialogRequest& request) override;
    int ShowDialog(CDialogForm& form) override;
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) override;
    void SetWaitCursor(bool) override {}

private:
    CConsole& m_Console;
};

class CConsoleClock : public IClock {
public:
    explicit CConsoleClock(const std::atomic<bool>& interrupt = g_Interrupted)
        : m_Interrupt(interrupt) {}
    std::uint32_t GetTickCount() override;
    // Sleeps in short slices so that Ctrl-C ends a script's wait.
    void Sleep(std::uint32_t milliseconds) override;

private:
    const std::atomic<bool>& m_Interrupt;
};

class CConsoleShell : public IShell {
public:
    explicit CConsoleShell(CConsole& console) : m_Console(console) {}
    bool OpenFile(const std::string& path) override;

private:
    CConsole& m_Console;
};

// Remembers the last progress message for the progress line; the progress of a large
// file being imported, read or written goes straight to the console's progress line.
class CConsoleViews : public IViews {
public:
    explicit CConsoleViews(CConsole* console = nullptr) : m_Console(console) {}
    void RefreshViews(CQuorinDoc&) override {}
    void ShowFileProgress(CQuorinDoc&, const std::string& caption, int percent) override;
    void PostProgress(CQuorinDoc&, int count, int status) override;
    void PumpEvents() override {}
    std::atomic<int> m_Count{0};
    std::atomic<int> m_Status{-1};

private:
    CConsole* m_Console;
};

}  // namespace quorin::batch
