#include "platform/DialogForm.h"

#include <stdexcept>

namespace quorin {

CFormField& CDialogForm::Add(CFormField field) {
    Fields.push_back(std::move(field));
    return Fields.back();
}

CFormField& CDialogForm::AddLabel(const std::string& key, const std::string& text) {
    CFormField f;
    f.Key = key;
    f.Kind = EFieldKind::Label;
    f.TextValue = text;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddInt(const std::string& key, const std::string& label, int value,
                                int min, int max, const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Int;
    f.IntValue = value;
    f.Min = min;
    f.Max = max;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddDouble(const std::string& key, const std::string& label,
                                   double value, double min, double max,
                                   const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Double;
    f.DoubleValue = value;
    f.Min = min;
    f.Max = max;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddText(const std::string& key, const std::string& label,
                                 const std::string& value, const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Text;
    f.TextValue = value;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddCheck(const std::string& key, const std::string& label, bool value,
                                  const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Check;
    f.IntValue = value ? 1 : 0;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddChoice(const std::string& key, const std::string& label,
                                   std::vector<std::string> options, int selected,
                                   const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Choice;
    f.Options = std::move(options);
    f.IntValue = selected;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::AddList(const std::string& key, const std::string& label,
                                 std::vector<std::string> options, int selected,
                                 const std::string& tooltip) {
    CFormField& f = AddChoice(key, label, std::move(options), selected, tooltip);
    f.Kind = EFieldKind::List;
    return f;
}

CFormField& CDialogForm::AddButton(const std::string& key, const std::string& label,
                                   const std::string& tooltip) {
    CFormField f;
    f.Key = key;
    f.Label = label;
    f.Kind = EFieldKind::Button;
    f.Tooltip = tooltip;
    return Add(std::move(f));
}

CFormField& CDialogForm::Field(const std::string& key) {
    for (auto& f : Fields)
        if (f.Key == key) return f;
    throw std::out_of_range("dialog " + Id + " has no field " + key);
}

const CFormField& CDialogForm::Field(const std::string& key) const {
    return const_cast<CDialogForm*>(this)->Field(key);
}

bool CDialogForm::Has(const std::string& key) const {
    for (const auto& f : Fields)
        if (f.Key == key) return true;
    return false;
}

}  // namespace quorin
