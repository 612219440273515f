#pragma once
// Test doubles of the platform interfaces and a fixture that builds a real document.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "grid/QuorinDoc.h"
#include "platform/MemorySettings.h"
#include "platform/Platform.h"

namespace quorin::test {

struct CRecordedMessage {
    std::string Text;
    EButtons Buttons;
    EIcon Icon;
    int DefaultButton;
    int Answer;
};

// Records every message and answers questions from a queue. A question, file dialog
// or dialog form that the test did not queue an answer for fails the test.
class CFakeModelessWindow;

class CScriptedPrompts : public IPrompts {
public:
    using DialogHandler = std::function<int(CDialogForm&)>;

    void QueueAnswer(int answer);  // IdYes, IdNo, IdCancel, IdOk for the next question
    void QueueFile(std::optional<std::string> path);  // nullopt = cancelled
    void QueueDialog(DialogHandler handler);
    // Convenience: accept the next dialog, after letting the test edit it.
    void QueueDialogOk(std::function<void(CDialogForm&)> edit = {});
    void QueueDialogCancel();

    int MessageBox(const CMessage& message) override;
    bool FileDialog(CFileDialogRequest& request) override;
    int ShowDialog(CDialogForm& form) override;
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) override;
    void SetWaitCursor(bool on) override { m_WaitCursor = on; }

    // Called with each modeless window as it opens, e.g. to queue its button presses.
    std::function<void(CFakeModelessWindow&)> OnModeless;

    std::vector<CRecordedMessage> Messages() const;
    std::vector<std::string> Texts() const;
    std::string LastText() const;
    std::vector<CFileDialogRequest> FileRequests() const;
    std::vector<CDialogForm> Dialogs() const;
    void Clear();
    size_t PendingAnswers() const;

private:
    mutable std::mutex m_Mutex;
    std::deque<int> m_Answers;
    std::deque<std::optional<std::string>> m_Files;
    std::deque<DialogHandler> m_DialogHandlers;
    std::vector<CRecordedMessage> m_Messages;
    std::vector<CFileDialogRequest> m_FileRequests;
    std::vector<CDialogForm> m_Dialogs;
    std::atomic<bool> m_WaitCursor{false};
};

// A modeless window whose buttons the test presses.
class CFakeModelessWindow : public IModelessWindow {
public:
    void Update(const CDialogForm& form) override;
    std::string PollButton() override;
    bool IsOpen() const override { return m_Open; }
    void Close() override { m_Open = false; }

    std::mutex m_Mutex;
    CDialogForm m_Form;
    std::deque<std::string> m_Presses;
    std::atomic<bool> m_Open{true};
};

// Time stands still until the test (or a Sleep) moves it.
class CFakeClock : public IClock {
public:
    std::uint32_t GetTickCount() override { return m_Now.load(); }
    void Sleep(std::uint32_t milliseconds) override { m_Now += milliseconds; }
    void Advance(std::uint32_t milliseconds) { m_Now += milliseconds; }
    std::atomic<std::uint32_t> m_Now{1000};
};

class CFakeShell : public IShell {
public:
    bool OpenFile(const std::string& path) override;
    std::vector<std::string> m_Opened;
    bool m_Succeed = true;
};

class CRecordingViews : public IViews {
public:
    struct CProgress {
        int Count;
        int Status;
    };
    void RefreshViews(CQuorinDoc&) override { ++m_Refreshes; }
    void PostProgress(CQuorinDoc&, int count, int status) override;
    void PumpEvents() override { ++m_Pumps; }
    std::vector<CProgress> Progress() const;

    std::atomic<int> m_Refreshes{0};
    std::atomic<int> m_Pumps{0};

private:
    mutable std::mutex m_Mutex;
    std::vector<CProgress> m_Progress;
};

// Every fake plus an application object wired to them.
struct CTestPlatform {
    CTestPlatform();
    CScriptedPrompts Prompts;
    CFakeClock Clock;
    CMemorySettings Settings;
    CFakeShell Shell;
    CRecordingViews Views;
    std::unique_ptr<CQuorinApp> App;
};

// A fixture with a fresh application and a new document.
class DocTest : public ::testing::Test {
protected:
    DocTest();
    ~DocTest() override;
    // Builds a Grid of rows × columns from row-major values; column types from `types`
    // (0 Input, 1 Output), all rows Training, every column re-normalised.
    void MakeGrid(int rows, int cols, const std::vector<double>& values,
                  const std::vector<int>& types = {});

    CTestPlatform P;
    CQuorinDoc Doc;
};

}  // namespace quorin::test
