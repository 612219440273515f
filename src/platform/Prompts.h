#pragma once
// What the core asks of a person: message boxes, file dialogs, dialog forms and
// modeless windows. Implementations must accept calls from worker threads.
#include <memory>
#include <string>

#include "platform/DialogForm.h"

namespace quorin {

enum class EButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class EIcon { None, Information, Question, Warning, Error };

// Answers use the classic message-box result codes so that callers can store them.
enum EAnswer : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

struct CMessage {
    std::string Text;
    EButtons Buttons = EButtons::Ok;
    EIcon Icon = EIcon::Information;
    int DefaultButton = IdOk;  // one of EAnswer
};

struct CFileDialogRequest {
    bool Save = false;            // save dialog, else open dialog
    std::string Title;
    std::string Filter;           // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"
    std::string DefaultExt;       // without the dot
    std::string FileName;         // proposed name in, chosen path out
    bool OverwritePrompt = false;  // ask before replacing an existing file
};

// A window that stays open while the core works (Optimize, Query, Leave Some Out):
// the core updates its fields and polls for the buttons the user pressed.
class IModelessWindow {
public:
    virtual ~IModelessWindow() = default;
    virtual void Update(const CDialogForm& form) = 0;
    // The key of a button pressed since the last poll, or "" when none.
    virtual std::string PollButton() = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
};

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // Returns one of EAnswer.
    virtual int MessageBox(const CMessage& message) = 0;
    // True when the user chose a file; request.FileName then holds its path.
    virtual bool FileDialog(CFileDialogRequest& request) = 0;
    // Shows a modal dialog; the user edits form's fields. Returns IdOk, IdCancel or,
    // for a form with extra buttons, IdOk with form.PressedButton naming the button.
    virtual int ShowDialog(CDialogForm& form) = 0;
    virtual std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) = 0;
    virtual void SetWaitCursor(bool on) = 0;

    // Short forms of the two kinds the system shows most.
    int Inform(const std::string& text) {
        return MessageBox({text, EButtons::Ok, EIcon::Information, IdOk});
    }
    bool AskYesNo(const std::string& text, int defaultButton = IdYes) {
        return MessageBox({text, EButtons::YesNo, EIcon::Question, defaultButton}) == IdYes;
    }
};

// Shows the wait cursor for as long as it lives.
class CWaitCursor {
public:
    explicit CWaitCursor(IPrompts& prompts) : m_Prompts(prompts) { m_Prompts.SetWaitCursor(true); }
    ~CWaitCursor() { m_Prompts.SetWaitCursor(false); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    IPrompts& m_Prompts;
};

}  // namespace quorin
