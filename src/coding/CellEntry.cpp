// Typing a value into a Grid cell.
#include <cstdlib>

#include "analysis/Querying.h"
#include "coding/GridEditor.h"
#include "coding/ImageCodes.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {

bool Unknown(const std::string& text) { return !text.empty() && text[0] == '?'; }

std::vector<std::string> SplitSimilar(const std::string& similar) {
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t end; (end = similar.find('\x01', start)) != std::string::npos; start = end + 1)
        texts.push_back(similar.substr(start, end - start));
    return texts;
}

// Codes a Text cell's entry, asking about likely typing errors. False when abandoned.
bool TextEntryValue(CQuorinDoc& doc, int column, int row, const std::string& text, double& value) {
    const std::string previous = FormatCellValue(doc, column, row);
    value = Hash(doc, text, column, 1);
    if (text == previous) return true;
    const std::vector<std::string> similar = SplitSimilar(FindSimilarText(doc, text, column));
    if (similar.empty()) return true;
    if (text == similar[0] || (similar.size() > 1 && text == similar[1])) return true;
    std::string chosen;
    if (!ChooseSimilarText(doc, text, similar, chosen)) return false;
    value = Hash(doc, chosen, column, 1);
    return true;
}

// A typed number the cell cannot hold is refused with the reason, rather than stored
// silently as a missing value. Empty text clears the cell as "?" does.
bool NumberEntryValue(CQuorinDoc& doc, const std::string& text, double& value) {
    value = NumberFromText(text);
    if (Unknown(text) || value < kMissing) return true;
    const char* start = text.c_str();
    char* end = nullptr;
    std::strtod(start, &end);
    if (end == start) {
        if (text.find_first_not_of(" \t") == std::string::npos) return true;
        doc.App().Prompts().Inform("\"" + text +
                                   "\" is not a number.\n\nType a number, or ? for a missing value.");
    } else {
        doc.App().Prompts().Inform("\"" + text +
                                   "\" is too large to be stored.\n\nNumbers must lie between "
                                   "-3e+38 and 3e+38; type ? for a missing value.");
    }
    return false;
}

}  // namespace

double NumberFromText(const std::string& text) {
    if (Unknown(text)) return kMissing;
    const char* start = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    // Text without a number, and numbers the marker cannot be told from, are unknown
    // rather than a silent 0 or an infinity that would break the column's range.
    if (end == start || !(value < kMissing && value > kMinusMissing)) return kMissing;
    return value;
}

double BoolFromText(CQuorinDoc& doc, const std::string& text) {
    if (Unknown(text)) return kMissing;
    const char first = text.empty() ? '\0' : text[0];
    if (first == 'T' || first == 't' || first == 'Y' || first == 'y') return doc.m_UpperLimit;
    if (first == 'F' || first == 'f' || first == 'N' || first == 'n') return doc.m_LowerLimit;
    return std::strtod(text.c_str(), nullptr) > 0 ? 1.0 : 0.0;
}

double HoldQueryInputToRange(CQuorinDoc& doc, int column, double value) {
    const CInOut& io = doc.m_InOuts[column];
    if (value > io.HighValue) {
        doc.App().Prompts().Inform(
            "The input value given is above the range of the network\ntraining examples. It "
            "will be set to the highest value.");
        return io.HighValue;
    }
    if (value < io.LowValue) {
        doc.App().Prompts().Inform(
            "The input value given is below the range of the network\ntraining examples. It "
            "will be set to the lowest value.");
        return io.LowValue;
    }
    return value;
}

int ChooseSimilarText(CQuorinDoc& doc, const std::string& entered,
                      const std::vector<std::string>& similar, std::string& chosen) {
    CDialogForm form;
    form.Id = "PossibleTextError";
    form.Title = "Possible Text Error";
    form.AddLabel("Message",
                  "These text strings have some similar properties. They may not always look "
                  "similar or cause any problems but can be the result of editing errors.");
    form.AddButton("1", "1");
    form.AddText("Text1", "", entered);
    form.AddButton("2", "2");
    form.AddLabel("Text2", similar.empty() ? std::string() : similar[0]);
    form.AddButton("3", "3").Enabled = similar.size() > 1;
    form.AddLabel("Text3", similar.size() > 1 ? similar[1] : std::string());
    form.AddLabel("Note",
                  "Select text string '1', '2' or '3' by pushing the button.\nIf text string '1' "
                  "has any errors edit it before you select it.");
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    if (form.PressedButton == "2" && !similar.empty()) {
        chosen = similar[0];
    } else if (form.PressedButton == "3") {
        if (similar.size() < 2) return 0;
        chosen = similar[1];
    } else {
        chosen = form.Text("Text1");  // button 1, or the dialog's own OK
    }
    return 1;
}

int EnterCellText(CQuorinDoc& doc, int column, int row, const std::string& text) {
    doc.App().Trace("EnterCellText   Column %d Row %d Text %s", column, row, text.c_str());
    if (!doc.ValidCell(column, row) || doc.m_Learning || doc.m_Associating) return 0;
    CInOut& io = doc.m_InOuts[column];
    const bool queryInput =
        doc.m_Examples[row].ExampleType == Querying && io.InOutType == Input;
    if (queryInput && !(io.LowValue < io.HighValue)) {
        doc.App().Prompts().Inform(
            "Querying Inputs must be within the range of the Training Inputs.\nAt least two "
            "Training Inputs are needed first to set the range.");
        return 0;
    }
    double value = kMissing;
    switch (io.Mode) {
        case Image:
            if (!Unknown(text) && !ImageEntryValue(doc, column, row, text, value)) return 0;
            break;
        case Text:
            if (!Unknown(text) && !TextEntryValue(doc, column, row, text, value)) return 0;
            break;
        case Bool: value = BoolFromText(doc, text); break;
        default:
            if (!NumberEntryValue(doc, text, value)) return 0;
            break;
    }
    // A Pair code held to the range would name no image; ConnectInputs holds the codes.
    if (queryInput && io.Mode != Image && !Unknown(text) && value < kMissing)
        value = HoldQueryInputToRange(doc, column, value);
    doc.SetValue(column, row, value, 1, 1, 0, 1);
    io.EditorMode = io.Mode;
    if (doc.m_NetworkExists) Refresh(doc);
    return 1;
}

}  // namespace quorin
