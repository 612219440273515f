#pragma once
// One renderer for every dialog of the system: the core describes a dialog as a
// CDialogForm and this shows it as a QDialog and writes the user's entries back.
#include <QDialog>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/FormLayouts.h"

#include "platform/DialogForm.h"
#include "platform/Prompts.h"

class QWidget;
class QButtonGroup;
class QGridLayout;
class QPushButton;
class QVBoxLayout;

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
    // `framed`: radio buttons get a box of their own; `beside`: the field shares its line.
    QWidget* MakeField(const CFormField& field, QWidget* parent, bool framed, bool beside);
    void BuildLaidOut(const CFormLayout& layout, QVBoxLayout* outer, std::set<std::string>& placed);
    void PlaceLine(const CFormLine& line, QGridLayout* grid, int row, QWidget* parent,
                   std::set<std::string>& placed);
    // The fields no arrangement placed, one under the other.
    void BuildGeneric(QVBoxLayout* outer, std::set<std::string>& placed);
    void BindButton(const CFormField& field, QPushButton* button);
    static bool IsCaptioned(const CFormField& field);
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
    std::vector<QPushButton*> m_InlineButtons;
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

// '&' marks the key of the field a text stands for; without such a field it is dropped.
bool HasMnemonic(const std::string& text);
bool HasMnemonic(const QString& text);
QString StripMnemonic(const QString& text);
// A core text with its fixed line breaks inside sentences joined, for even wrapping.
QString ReadableText(const std::string& text);

// The numbers as the dialogs show them before the user edits them.
QString FormatDialogDouble(double value);

}  // namespace quorin
