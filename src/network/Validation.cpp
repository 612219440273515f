#include "network/Validation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "coding/TextCodes.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/RandomWeights.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

double Validate(CQuorinDoc& doc) {
    doc.App().Trace("Validate");
    doc.m_CanValidate = 0;
    int validated = 0;
    int total = 0;
    for (int r = 0; r < static_cast<int>(doc.m_Examples.size()); ++r) {
        if (doc.m_Examples[r].ExampleType != Validating) continue;
        doc.m_CanValidate = 1;
        if (!ConnectInputs(doc, r, 1)) return 0.0;
        CalculateActivations(doc);
        doc.SetExampleError(static_cast<std::size_t>(r), CalculateErrors(doc, r));
        if (ExampleValidates(doc, r)) ++validated;
        ++total;
    }
    if (total == 0) return 0.0;
    return validated * 100.0 / total;
}

int TildeAllowance(double withinPercentage) {
    if (withinPercentage <= 2.0) return 0;
    if (withinPercentage <= 5.0) return 1;
    if (withinPercentage <= 10.0) return 2;
    if (withinPercentage <= 20.0) return 3;
    if (withinPercentage <= 50.0) return 4;
    return -1;
}

namespace {

bool TextValidates(const CQuorinDoc& doc, const std::string& desired, const std::string& output) {
    if (doc.m_ValidatingMode != 0) return desired == output;
    const int allowance = TildeAllowance(doc.m_WithinPercentage);
    if (allowance < 0) return true;
    for (int k = 0; k <= allowance; ++k)
        if (output == std::string(static_cast<size_t>(k), '~') + desired) return true;
    return false;
}

}  // namespace

int ExampleValidates(CQuorinDoc& doc, int row) {
    doc.App().Trace("ExampleValidates   Row %d", row);
    const CExample& ex = doc.m_Examples[row];
    int outputColumns = 0;
    for (int c = 0; c < doc.m_ColCount; ++c)
        if (doc.m_InOuts[c].InOutType == Output) ++outputColumns;
    int node = 0;
    while (node < static_cast<int>(doc.m_Nodes.size()) && doc.m_Nodes[node].NodeType != OutputNode)
        ++node;
    int counted = 0;
    double sumDesired = 0.0;
    double sumOutput = 0.0;
    for (int c = 0; c < doc.m_ColCount; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.InOutType != Output) continue;
        if (node >= static_cast<int>(doc.m_Nodes.size())) return 0;  // network and Grid disagree
        const double desired = ex.Values()[c];
        const double output = io.LowValue + doc.m_Nodes[node].Activation * (io.HighValue - io.LowValue);
        node += NodesOf(io);
        ++counted;
        sumDesired += desired;
        sumOutput += output;
        if (io.Mode == Text) {
            if (!TextValidates(doc, GetText(doc, desired, c), GetText(doc, output, c))) return 0;
        } else if (doc.m_ValidatingMode != 0) {
            if (std::round(desired) != std::round(output)) return 0;
        } else if (counted == outputColumns) {
            const double d = sumDesired / counted;
            const double o = sumOutput / counted;
            const double t = d * doc.m_WithinPercentage * 0.01;
            const double low = std::min(d - t, d + t);
            const double high = std::max(d - t, d + t);
            if (!(o >= low && o <= high)) return 0;
        }
    }
    return 1;
}

int SelectRandomValidating(CQuorinDoc& doc, int count) {
    doc.App().Trace("SelectRandomValidating   Count %d", count);
    int training = 0;
    for (const CExample& ex : doc.m_Examples)
        if (ex.ExampleType == Training) ++training;
    if (count > training - 2) {
        count = training > 2 ? training - 2 : 0;
        doc.App().Prompts().Inform(Format(
            "The number of random validating examples\nis too high and has been reduced to %i.",
            count));
    }
    const int rows = static_cast<int>(doc.m_Examples.size());
    int changed = 0;
    // With more rows than the generator has values some rows can never be drawn: give up
    // after long enough rather than loop for ever.
    long attempts = 0;
    constexpr long kMaxAttempts = 1L << 23;
    while (changed < count && rows >= 3 && attempts++ < kMaxAttempts) {
        CExample& ex = doc.m_Examples[DialogRandomRow(rows)];
        if (ex.ExampleType == Training) {
            ex.ExampleType = Validating;
            ++changed;
        }
    }
    if (changed > 0) doc.SetModified();
    doc.RenormaliseAll(1);
    if (!doc.ValidatingInRange()) {
        Stop(doc);
        return 0;
    }
    return 1;
}

CRules& NewRules(CQuorinDoc& doc, int column, int within, double withinPercentage,
                 int withinScore, int correct, int correctScore) {
    doc.App().Trace("NewRules   Col %d  Within %d  Within %.4lf  WithinScore %d  Correct %d", column,
                    within, withinPercentage, withinScore, correct);
    doc.m_Rules.push_back({column, within, withinPercentage, withinScore, correct, correctScore});
    doc.m_FileStatus = 11;  // the rules list is the last optional list of the file
    doc.SetModified();
    return doc.m_Rules.back();
}

const CRules* FindRules(const CQuorinDoc& doc, int column) {
    for (auto it = doc.m_Rules.rbegin(); it != doc.m_Rules.rend(); ++it)
        if (it->Col == column) return &*it;
    return nullptr;
}

namespace {

double Rounded(const char* format, double value) {
    return std::atof(Format(format, value).c_str());
}

int OutputRulesDialog(CQuorinDoc& doc, int column) {
    const CRules* rule = FindRules(doc, column);
    CDialogForm form;
    form.Id = "OutputValidatingRules";
    form.Title = "Output Validating Rules";
    form.AddLabel("Heading", "If the network output is");
    form.AddCheck("Within", "within", rule ? rule->Within != 0 : doc.m_ValidatingMode == 0);
    form.AddDouble("WithinPercentage", "% of the output in the grid.",
                   rule ? rule->WithinPercentage : Rounded("%.2lf", doc.m_WithinPercentage), -1e9,
                   1e9);
    form.AddInt("WithinScore", "score", rule ? rule->WithinScore : 1, -1000000000, 1000000000);
    form.AddCheck("Correct", "correct after rounding.",
                  rule ? rule->Correct != 0 : doc.m_ValidatingMode == 1);
    form.AddInt("CorrectScore", "score", rule ? rule->CorrectScore : 1, -1000000000, 1000000000);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    NewRules(doc, column, form.Check("Within") ? 1 : 0, form.Double("WithinPercentage"),
             form.Int("WithinScore"), form.Check("Correct") ? 1 : 0, form.Int("CorrectScore"));
    return 1;
}

int InputRulesDialog(CQuorinDoc& doc, int column) {
    CDialogForm form;
    form.Id = "InputValidatingRules";
    form.Title = "Input Validating Rules";
    form.AddLabel("Heading", "Select the value to use for validating.");
    form.AddChoice("Value", "",
                   {"actual value", "highest value", "lowest value", "average value", "median value"}, 0);
    form.AddLabel("Note", "The actual value in each validating row will normally be used. "
                          "Other selections will be used  in all validating rows.");
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    NewRules(doc, column, 0, 0.0, 0, 0, 0);
    return 1;
}

}  // namespace

int OnValidatingRules(CQuorinDoc& doc, int column) {
    doc.App().Trace("OnValidatingRules   Column %d", column);
    if (column < 0 || column >= doc.m_ColCount) return 0;
    switch (doc.m_InOuts[column].InOutType) {
        case Output: return OutputRulesDialog(doc, column);
        case Input: return InputRulesDialog(doc, column);
        default: return 0;
    }
}

}  // namespace quorin
