#pragma once
// How the named dialogs of the system are arranged on screen: which fields go together
// in which box, side by side or one under the other. Forms without an entry here are
// shown by the generic renderer, so a new form always shows.
#include <string>
#include <vector>

namespace quorin {

// One line of a box. Each entry is a field key, shown as the field's natural widget
// (a captioned edit, a check box, radio buttons, a text, an inline push button), or:
//   "Key>"  the field's caption after its edit instead of before it;
//   "=text" a fixed text.
using CFormLine = std::vector<std::string>;

struct CFormBox {
    std::string Title;  // empty: no frame
    int Column = 0;     // boxes stand in columns, top to bottom
    std::vector<CFormLine> Lines;
};

struct CFormLayout {
    std::vector<CFormBox> Boxes;
    std::string DefaultButton;  // key of the Button field that Enter presses; empty: OK
    int MinimumWidth = 0;
};

// The arrangement of a form, or null for the generic renderer.
const CFormLayout* FindFormLayout(const std::string& formId);
// Every form with an arrangement of its own.
std::vector<std::string> LaidOutForms();

}  // namespace quorin
