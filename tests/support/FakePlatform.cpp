#include "support/FakePlatform.h"

namespace quorin::test {

void CScriptedPrompts::QueueAnswer(int answer) {
    std::lock_guard lock(m_Mutex);
    m_Answers.push_back(answer);
}

void CScriptedPrompts::QueueFile(std::optional<std::string> path) {
    std::lock_guard lock(m_Mutex);
    m_Files.push_back(std::move(path));
}

void CScriptedPrompts::QueueDialog(DialogHandler handler) {
    std::lock_guard lock(m_Mutex);
    m_DialogHandlers.push_back(std::move(handler));
}

void CScriptedPrompts::QueueDialogOk(std::function<void(CDialogForm&)> edit) {
    QueueDialog([edit](CDialogForm& form) {
        if (edit) edit(form);
        return static_cast<int>(IdOk);
    });
}

void CScriptedPrompts::QueueDialogCancel() {
    QueueDialog([](CDialogForm&) { return static_cast<int>(IdCancel); });
}

int CScriptedPrompts::MessageBox(const CMessage& message) {
    std::lock_guard lock(m_Mutex);
    int answer = IdOk;
    if (message.Buttons != EButtons::Ok) {
        if (m_Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << message.Text;
            answer = message.DefaultButton;
        } else {
            answer = m_Answers.front();
            m_Answers.pop_front();
        }
    }
    m_Messages.push_back({message.Text, message.Buttons, message.Icon, message.DefaultButton, answer});
    return answer;
}

bool CScriptedPrompts::FileDialog(CFileDialogRequest& request) {
    std::lock_guard lock(m_Mutex);
    m_FileRequests.push_back(request);
    if (m_Files.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.Title;
        return false;
    }
    auto path = m_Files.front();
    m_Files.pop_front();
    if (!path) return false;
    request.FileName = *path;
    return true;
}

int CScriptedPrompts::ShowDialog(CDialogForm& form) {
    DialogHandler handler;
    {
        std::lock_guard lock(m_Mutex);
        if (m_DialogHandlers.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << form.Id << " '" << form.Title << "'";
            m_Dialogs.push_back(form);
            return IdCancel;
        }
        handler = std::move(m_DialogHandlers.front());
        m_DialogHandlers.pop_front();
    }
    const int result = handler(form);
    std::lock_guard lock(m_Mutex);
    m_Dialogs.push_back(form);
    return result;
}

std::unique_ptr<IModelessWindow> CScriptedPrompts::OpenModeless(const CDialogForm& form) {
    auto window = std::make_unique<CFakeModelessWindow>();
    window->Update(form);
    if (OnModeless) OnModeless(*window);
    return window;
}

std::vector<CRecordedMessage> CScriptedPrompts::Messages() const {
    std::lock_guard lock(m_Mutex);
    return m_Messages;
}

std::vector<std::string> CScriptedPrompts::Texts() const {
    std::lock_guard lock(m_Mutex);
    std::vector<std::string> texts;
    for (const auto& m : m_Messages) texts.push_back(m.Text);
    return texts;
}

std::string CScriptedPrompts::LastText() const {
    std::lock_guard lock(m_Mutex);
    return m_Messages.empty() ? std::string() : m_Messages.back().Text;
}

std::vector<CFileDialogRequest> CScriptedPrompts::FileRequests() const {
    std::lock_guard lock(m_Mutex);
    return m_FileRequests;
}

std::vector<CDialogForm> CScriptedPrompts::Dialogs() const {
    std::lock_guard lock(m_Mutex);
    return m_Dialogs;
}

void CScriptedPrompts::Clear() {
    std::lock_guard lock(m_Mutex);
    m_Messages.clear();
    m_FileRequests.clear();
    m_Dialogs.clear();
}

size_t CScriptedPrompts::PendingAnswers() const {
    std::lock_guard lock(m_Mutex);
    return m_Answers.size() + m_Files.size() + m_DialogHandlers.size();
}

void CFakeModelessWindow::Update(const CDialogForm& form) {
    std::lock_guard lock(m_Mutex);
    m_Form = form;
}

std::string CFakeModelessWindow::PollButton() {
    std::lock_guard lock(m_Mutex);
    if (m_Presses.empty()) return {};
    std::string key = m_Presses.front();
    m_Presses.pop_front();
    return key;
}

bool CFakeShell::OpenFile(const std::string& path) {
    m_Opened.push_back(path);
    return m_Succeed;
}

void CRecordingViews::PostProgress(CQuorinDoc&, int count, int status) {
    std::lock_guard lock(m_Mutex);
    m_Progress.push_back({count, status});
}

std::vector<CRecordingViews::CProgress> CRecordingViews::Progress() const {
    std::lock_guard lock(m_Mutex);
    return m_Progress;
}

CTestPlatform::CTestPlatform() {
    CPlatform platform;
    platform.Prompts = &Prompts;
    platform.Clock = &Clock;
    platform.Settings = &Settings;
    platform.Shell = &Shell;
    platform.Views = &Views;
    App = std::make_unique<CQuorinApp>(platform);
}

DocTest::DocTest() : Doc(*P.App) { Doc.NewDocument(); }

DocTest::~DocTest() {
    EXPECT_EQ(P.Prompts.PendingAnswers(), 0u) << "queued answers were not used";
}

void DocTest::MakeGrid(int rows, int cols, const std::vector<double>& values,
                       const std::vector<int>& types) {
    for (int c = 0; c < cols; ++c)
        Doc.AddCol(0, c < static_cast<int>(types.size()) ? types[c] : 0, 1);
    for (int r = 0; r < rows; ++r) Doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) Doc.SetValue(c, r, values[r * cols + c], 0, 0, 0, 1);
    Doc.RenormaliseAll(1);
}

}  // namespace quorin::test
