#pragma once
// One renderer for every dialog of the system: the core describes a dialog as a
// CDialogForm and this shows it as a QDialog and writes the user's entries back.
#include <QDialog>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "platform/DialogForm.h"
#include "platform/Prompts.h"

class QWidget;
class QButtonGroup;

namespace quorin {

// Fields are laid out top to bottom (in two columns when there are many); Button
// fields go into the bottom row. A form with Button fields has no OK button: its
// buttons end it (modal) or are reported through PollButton (modeless).
class CFormDialog : public QDialog {
    Q_OBJECT
public:
    CFormDialog(const CDialogForm& form, bool modeless, QWidget* parent = nullptr);

    // Copies the widgets' entries into `form` (fields matched by key).
    void ReadInto(CDialogForm& form) const;
    // Shows the values of `form` (fields matched by key).
    void ShowValues(const CDialogForm& form);
    const std::string& PressedButton() const { return m_Pressed; }
    std::string TakeButtonPress();

signals:
    void ButtonPressed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* MakeField(const CFormField& field, QWidget* parent);
    void OnButton(const std::string& key);

    struct CBinding {
        EFieldKind Kind;
        QWidget* Widget = nullptr;
        QButtonGroup* Group = nullptr;
    };
    CDialogForm m_Form;
    bool m_Modeless;
    std::map<std::string, CBinding> m_Bindings;
    std::string m_Pressed;
    std::deque<std::string> m_Presses;
};

// A modeless window the core updates and polls; every call is carried to the GUI thread.
class CQtModelessWindow : public IModelessWindow {
public:
    CQtModelessWindow(const CDialogForm& form, QWidget* parent);
    ~CQtModelessWindow() override;
    void Update(const CDialogForm& form) override;
    std::string PollButton() override;
    bool IsOpen() const override;
    void Close() override;

private:
    CFormDialog* m_Dialog;
};

// The numbers as the dialogs show them before the user edits them.
QString FormatDialogDouble(double value);

}  // namespace quorin
