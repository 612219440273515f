#pragma once
#include <QString>
#include <atomic>

#include "platform/Prompts.h"

class QWidget;

namespace quorin {

// Message boxes, file dialogs and dialog forms as Qt windows. Calls from worker
// threads wait for the GUI thread to show the window and for the user's answer.
class CQtPrompts : public IPrompts {
public:
    int MessageBox(const CMessage& message) override;
    bool FileDialog(CFileDialogRequest& request) override;
    int ShowDialog(CDialogForm& form) override;
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) override;
    void SetWaitCursor(bool on) override;

    // The caption of every message box.
    static constexpr const char* Caption = "Quorin";

private:
    std::atomic<int> m_WaitCursors{0};
};

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" as a Qt name filter list.
QString QtFilter(const std::string& filter);
// The window that dialogs are placed over.
QWidget* DialogParent();

}  // namespace quorin
