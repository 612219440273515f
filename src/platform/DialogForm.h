#pragma once
// A dialog as plain data: the core fills in the fields with their current values,
// limits and tooltips; the desktop or console side shows them and returns the edits.
#include <string>
#include <vector>

namespace quorin {

enum class EFieldKind {
    Label,   // static text (TextValue)
    Int,     // IntValue within [Min, Max]
    Double,  // DoubleValue within [Min, Max]
    Text,    // TextValue
    Check,   // IntValue 0 or 1
    Choice,  // IntValue = index into Options (radio buttons or a drop-down)
    List,    // IntValue = selected index into Options (-1 none); a list box
    Button   // an extra push button; pressing it ends the dialog with its key
};

struct CFormField {
    std::string Key;    // stable identifier used by the core
    std::string Label;  // caption as the user sees it, '&' marks the accelerator
    EFieldKind Kind = EFieldKind::Label;
    std::string Tooltip;
    int IntValue = 0;
    double DoubleValue = 0.0;
    std::string TextValue;
    double Min = 0.0;
    double Max = 0.0;
    std::vector<std::string> Options;
    bool Enabled = true;
};

struct CDialogForm {
    std::string Id;     // which dialog: "NewNetwork", "Controls", ...
    std::string Title;  // window caption
    std::vector<CFormField> Fields;
    std::string PressedButton;  // key of the Button field that closed the dialog, if any

    CFormField& Add(CFormField field);
    CFormField& AddLabel(const std::string& key, const std::string& text);
    CFormField& AddInt(const std::string& key, const std::string& label, int value, int min,
                       int max, const std::string& tooltip = {});
    CFormField& AddDouble(const std::string& key, const std::string& label, double value,
                          double min, double max, const std::string& tooltip = {});
    CFormField& AddText(const std::string& key, const std::string& label,
                        const std::string& value, const std::string& tooltip = {});
    CFormField& AddCheck(const std::string& key, const std::string& label, bool value,
                         const std::string& tooltip = {});
    CFormField& AddChoice(const std::string& key, const std::string& label,
                          std::vector<std::string> options, int selected,
                          const std::string& tooltip = {});
    CFormField& AddList(const std::string& key, const std::string& label,
                        std::vector<std::string> options, int selected,
                        const std::string& tooltip = {});
    CFormField& AddButton(const std::string& key, const std::string& label,
                          const std::string& tooltip = {});

    // Lookup by key; a missing key is a programming error and throws std::out_of_range.
    CFormField& Field(const std::string& key);
    const CFormField& Field(const std::string& key) const;
    bool Has(const std::string& key) const;
    int Int(const std::string& key) const { return Field(key).IntValue; }
    double Double(const std::string& key) const { return Field(key).DoubleValue; }
    const std::string& Text(const std::string& key) const { return Field(key).TextValue; }
    bool Check(const std::string& key) const { return Field(key).IntValue != 0; }
};

}  // namespace quorin
