#include "app/GridEdit.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "analysis/Querying.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
bool IsMissingValue(double v) { return v >= 3e38 || v <= -3e38; }

std::vector<std::string> SplitSimilar(const std::string& list) {
    std::vector<std::string> texts;
    std::string current;
    for (char ch : list) {
        if (ch == '\x01') {
            texts.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    return texts;
}

// A text for a Text column cell: coded, and checked against similar texts of the column.
bool TextCode(CQuorinDoc& doc, int column, int row, const std::string& entered, double& code) {
    const double old = doc.m_Examples[row].Values[column];
    const std::string previous = IsMissingValue(old) ? std::string() : GetText(doc, old, column);
    code = Hash(doc, entered, column, 1);
    if (entered == previous) return true;
    const std::vector<std::string> similar = SplitSimilar(FindSimilarText(doc, entered, column));
    if (similar.empty() || entered == similar[0] || (similar.size() > 1 && entered == similar[1])) return true;

    CDialogForm form;
    form.Id = "PossibleTextError";
    form.Title = "Possible Text Error";
    form.AddLabel("Note", "These text strings have some similar properties. They may not always look similar or "
                          "cause any problems but can be the result of editing errors.");
    form.AddText("Text1", "1", entered);
    form.AddLabel("Text2", "2   " + similar[0]);
    if (similar.size() > 1) form.AddLabel("Text3", "3   " + similar[1]);
    form.AddLabel("Hint", "Select text string '1', '2' or '3' by pushing the button.\n"
                          "If text string '1' has any errors edit it before you select it.");
    form.AddButton("1", "&1");
    form.AddButton("2", "&2");
    if (similar.size() > 1) form.AddButton("3", "&3");
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return false;
    std::string chosen = form.Text("Text1");
    if (form.PressedButton == "2") chosen = similar[0];
    if (form.PressedButton == "3" && similar.size() > 1) chosen = similar[1];
    code = Hash(doc, chosen, column, 1);
    return true;
}

// A typed input of a Querying row stays within what the network was trained on.
bool HoldToTrainingRange(CQuorinDoc& doc, int column, double& value) {
    const CInOut& io = doc.m_InOuts[column];
    if (!(io.LowValue < io.HighValue)) {
        doc.App().Prompts().Inform(
            "Querying Inputs must be within the range of the Training Inputs.\n"
            "At least two Training Inputs are needed first to set the range.");
        return false;
    }
    if (value > io.HighValue) {
        doc.App().Prompts().Inform(
            "The input value given is above the range of the network\n"
            "training examples. It will be set to the highest value.");
        value = io.HighValue;
    } else if (value < io.LowValue) {
        doc.App().Prompts().Inform(
            "The input value given is below the range of the network\n"
            "training examples. It will be set to the lowest value.");
        value = io.LowValue;
    }
    return true;
}
}  // namespace

bool EnterGridText(CQuorinDoc& doc, int column, int row, const std::string& text) {
    if (!CanEditGrid(doc) || column < 0 || column >= doc.m_ColCount || row < 0 || row >= doc.m_RowCount ||
        column >= static_cast<int>(doc.m_Examples[row].Values.size()))
        return false;
    doc.App().Trace("EnterGridText   Col %d Row %d Text %s", column, row, text.c_str());
    const int mode = doc.m_InOuts[column].Mode;
    const bool missing = !text.empty() && text[0] == '?';
    double value = kMissing;
    if (mode == Image) {
        return false;  // image cells are chosen by their bitmap, not typed
    } else if (missing) {
        value = kMissing;
    } else if (mode == Real || mode == Integer) {
        value = std::strtod(text.c_str(), nullptr);
        if (!std::isfinite(value)) return false;
    } else if (mode == Bool) {
        const char c = text.empty() ? '\0' : text[0];
        if (c == 'T' || c == 't' || c == 'Y' || c == 'y')
            value = doc.m_UpperLimit;
        else if (c == 'F' || c == 'f' || c == 'N' || c == 'n')
            value = doc.m_LowerLimit;
        else
            value = std::strtod(text.c_str(), nullptr) > 0.0 ? 1.0 : 0.0;
    } else if (!TextCode(doc, column, row, text, value)) {
        return false;
    }
    const int type = doc.m_Examples[row].ExampleType;
    const bool querying = type == Querying || type == Duplicate;
    if (querying && !missing && doc.m_InOuts[column].InOutType == Input &&
        !HoldToTrainingRange(doc, column, value))
        return false;
    doc.SetValue(column, row, value, 1, 1, 0, 1);
    if (querying && doc.m_NetworkExists) Refresh(doc);
    doc.RefreshViews();
    return true;
}

bool ChangeColumnMode(CQuorinDoc& doc, int column, int mode) {
    if (!CanEditGrid(doc) || column < 0 || column >= doc.m_ColCount || mode < Real || mode > Text) return false;
    const int old = doc.m_InOuts[column].Mode;
    if (old == mode || old == Image) return false;
    doc.App().Trace("ChangeColumnMode   Column %d Mode %d", column, mode);
    if (mode == Text &&
        !doc.App().Prompts().AskYesNo("Changing non-textual data to 'Text'\nwill invalidate the current network\n"
                                      "and may result in the loss of some data.\n\nDo you want to continue?"))
        return false;
    if (mode == Bool && doc.App().m_WarningLevel >= 1 &&
        !doc.App().Prompts().AskYesNo("Changing non-boolean data to 'Bool'\nmay produce unexpected results that\n"
                                      "can result in a loss of data.\n\nDo you want to continue?"))
        return false;
    const int rows = std::min<int>(doc.m_RowCount, static_cast<int>(doc.m_Examples.size()));
    // Each value is read in the old mode before the column switches.
    std::vector<double> values(rows, kMissing);
    for (int r = 0; r < rows; ++r) {
        const double v = doc.m_Examples[r].Values[column];
        if (IsMissingValue(v)) continue;
        if (mode == Text) {
            values[r] = v;  // coded once the column is Text
        } else if (old == Text) {
            values[r] = GetValueFromString(GetText(doc, v, column));
        } else if (mode == Bool) {
            values[r] = v > 0.0 ? 1.0 : 0.0;
        } else if (mode == Integer) {
            values[r] = std::round(v);
        } else {
            values[r] = v;
        }
    }
    std::vector<std::string> texts(rows);
    if (mode == Text)
        for (int r = 0; r < rows; ++r)
            if (!IsMissingValue(values[r])) texts[r] = FormatValue(doc, values[r], column);
    doc.SetInOutTypeAndMode(column, -1, mode);
    doc.m_NetworkExists = 0;
    for (int r = 0; r < rows; ++r) {
        double v = values[r];
        if (mode == Text && !IsMissingValue(v)) v = Hash(doc, texts[r], column, 1);
        doc.SetValue(column, r, v, 0, 0, 0, 1);
    }
    doc.RenormaliseAll(1);
    doc.RefreshViews();
    return true;
}

}  // namespace quorin
