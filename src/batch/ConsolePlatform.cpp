#include "ConsolePlatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "grid/QuorinDoc.h"
#include "network/LearningInfo.h"
#include "platform/StringFormat.h"

namespace quorin::batch {

std::atomic<bool> g_Interrupted{false};

namespace {

const char* AnswerName(int answer) {
    switch (answer) {
    case IdOk: return "OK";
    case IdCancel: return "Cancel";
    case IdYes: return "Yes";
    case IdNo: return "No";
    default: return "?";
    }
}

// The default answer of a message box, always one of its buttons.
int DefaultAnswer(const CMessage& m) {
    switch (m.Buttons) {
    case EButtons::Ok: return IdOk;
    case EButtons::OkCancel: return m.DefaultButton == IdCancel ? IdCancel : IdOk;
    case EButtons::YesNo: return m.DefaultButton == IdNo ? IdNo : IdYes;
    case EButtons::YesNoCancel:
        return m.DefaultButton == IdNo || m.DefaultButton == IdCancel ? m.DefaultButton : IdYes;
    }
    return IdOk;
}

class CConsoleModeless : public IModelessWindow {
public:
    void Update(const CDialogForm&) override {}
    std::string PollButton() override { return {}; }
    bool IsOpen() const override { return m_Open; }
    void Close() override { m_Open = false; }

private:
    bool m_Open = true;
};

}  // namespace

void CConsole::Message(const std::string& text) {
    std::lock_guard lock(m_Mutex);
    if (m_ProgressShown && m_Terminal) std::fputs("\n", m_Messages);
    m_ProgressShown = false;
    std::fputs(text.c_str(), m_Messages);
    std::fputs("\n", m_Messages);
    std::fflush(m_Messages);
}

void CConsole::Result(const std::string& text) {
    std::lock_guard lock(m_Mutex);
    if (m_ProgressShown && m_Terminal) std::fputs("\n", m_Messages);
    m_ProgressShown = false;
    std::fflush(m_Messages);
    std::fputs(text.c_str(), m_Results);
    std::fputs("\n", m_Results);
    std::fflush(m_Results);
}

void CConsole::Progress(const std::string& text) {
    std::lock_guard lock(m_Mutex);
    if (m_Terminal)
        std::fprintf(m_Messages, "\r%s\033[K", text.c_str());
    else
        std::fprintf(m_Messages, "%s\n", text.c_str());
    m_ProgressShown = true;
    std::fflush(m_Messages);
}

void CConsole::EndProgress() {
    std::lock_guard lock(m_Mutex);
    if (m_ProgressShown && m_Terminal) std::fputs("\n", m_Messages);
    m_ProgressShown = false;
    std::fflush(m_Messages);
}

void CConsoleViews::PostProgress(CQuorinDoc&, int count, int status) {
    if (!IsFileProgress(status)) {
        m_Count = count;
        m_Status = status;
        return;
    }
    if (!m_Console) return;
    m_Console->Progress(StatusText(status, count));
    if (count >= 100) m_Console->EndProgress();
}

int CConsolePrompts::MessageBox(const CMessage& message) {
    const int answer = DefaultAnswer(message);
    std::string text = message.Text;
    if (message.Buttons != EButtons::Ok) text += Format("  [%s]", AnswerName(answer));
    m_Console.Message(text);
    return answer;
}

bool CConsolePrompts::FileDialog(CFileDialogRequest& request) {
    const bool chosen = !request.FileName.empty();
    m_Console.Message(Format("%s: %s", request.Title.c_str(),
                             chosen ? request.FileName.c_str() : "[no file chosen]"));
    return chosen;
}

int CConsolePrompts::ShowDialog(CDialogForm& form) {
    m_Console.Message(Format("%s: [OK]", form.Title.c_str()));
    return IdOk;
}

std::unique_ptr<IModelessWindow> CConsolePrompts::OpenModeless(const CDialogForm& form) {
    m_Console.Message(form.Title);
    return std::make_unique<CConsoleModeless>();
}

std::uint32_t CConsoleClock::GetTickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CConsoleClock::Sleep(std::uint32_t milliseconds) {
    using namespace std::chrono;
    const auto end = steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!m_Interrupt) {
        const auto now = steady_clock::now();
        if (now >= end) break;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(end - now, 100ms));
    }
}

void CConsoleViews::ShowFileProgress(CQuorinDoc&, const std::string& caption, int percent) {
    if (!m_Console) return;
    m_Console->Progress(Format("%s %d%%", caption.c_str(), std::min(percent, 100)));
    if (percent >= 100) m_Console->EndProgress();
}

bool CConsoleShell::OpenFile(const std::string& path) {
    m_Console.Message(Format("Cannot open '%s' with another program from the batch runner.",
                             path.c_str()));
    return false;
}

}  // namespace quorin::batch
