#include "network/ValidationReport.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"
#include "network/Propagation.h"
#include "network/Validation.h"
#include "platform/StringFormat.h"

namespace quorin {

std::string ValidatingRuleText(const CQuorinDoc& doc) {
    if (doc.m_ValidatingMode != 0) return "correct";
    return Format("within %g %%", doc.m_WithinPercentage);
}

std::string ValidatingText(const CQuorinDoc& doc) {
    // Read beside learning without the lock: both values are atomics.
    if (doc.m_ValidatingCount.load() == 0) return {};
    return Format("Validating %.2lf %% ", doc.m_LastValidatingResult.load()) + ValidatingRuleText(doc);
}

CValidationReport MakeValidationReport(CQuorinDoc& doc) {
    doc.App().Trace("MakeValidationReport");
    CValidationReport report;
    report.Rule = doc.m_ValidatingMode != 0 ? "correct after rounding"
                                            : Format("within %g %%", doc.m_WithinPercentage);
    std::lock_guard lock(doc.m_NetworkMutex);
    report.HasNetwork = doc.m_NetworkExists != 0 && !doc.m_Nodes.empty();
    const int columns = std::min<int>(doc.m_ColCount, static_cast<int>(doc.m_InOuts.size()));
    for (int c = 0; c < columns; ++c) {
        if (doc.m_InOuts[c].InOutType != Output) continue;
        report.OutputColumns.push_back(c);
        report.OutputNames.push_back(doc.m_InOuts[c].InOutName);
    }
    if (!report.HasNetwork) return report;
    int firstOutput = 0;
    while (firstOutput < static_cast<int>(doc.m_Nodes.size()) && doc.m_Nodes[firstOutput].NodeType != OutputNode)
        ++firstOutput;

    // Per class-mode column: the (target, answer) pairs, tabulated at the end.
    std::vector<std::vector<std::pair<double, double>>> pairs(report.OutputColumns.size());
    for (int r = 0; r < static_cast<int>(doc.m_Examples.size()); ++r) {
        const CExample& ex = doc.m_Examples[r];
        if (ex.ExampleType != Validating) continue;
        if (!ConnectInputs(doc, r, 1)) break;  // an image entry the network cannot take
        CalculateActivations(doc);
        CValidationRow row;
        row.Row = r;
        row.Name = ex.ExampleName;
        int node = firstOutput;
        for (size_t k = 0; k < report.OutputColumns.size(); ++k) {
            const int c = report.OutputColumns[k];
            const CInOut& io = doc.m_InOuts[c];
            if (node >= static_cast<int>(doc.m_Nodes.size())) break;
            const double output = io.LowValue + doc.m_Nodes[node].Activation * (io.HighValue - io.LowValue);
            node += NodesOf(io);
            const double desired = c < static_cast<int>(ex.Values().size()) ? ex.Values()[c] : kMissing;
            row.Targets.push_back(FormatValue(doc, desired, c));
            row.Answers.push_back(FormatValue(doc, output, c));
            if ((io.Mode == Integer || io.Mode == Bool) && desired < kMissing)
                pairs[k].emplace_back(std::round(desired), std::round(output));
        }
        row.Meets = ExampleValidates(doc, r) != 0;
        report.Meeting += row.Meets ? 1 : 0;
        report.Rows.push_back(std::move(row));
    }
    if (!report.Rows.empty()) report.Percent = report.Meeting * 100.0 / static_cast<double>(report.Rows.size());

    for (size_t k = 0; k < report.OutputColumns.size(); ++k) {
        const int c = report.OutputColumns[k];
        const int mode = doc.m_InOuts[c].Mode;
        if (mode != Integer && mode != Bool) continue;
        CConfusionTable table;
        table.Column = c;
        table.Name = doc.m_InOuts[c].InOutName;
        for (const auto& [target, answer] : pairs[k]) {
            table.Classes.push_back(target);
            table.Classes.push_back(answer);
        }
        std::sort(table.Classes.begin(), table.Classes.end());
        table.Classes.erase(std::unique(table.Classes.begin(), table.Classes.end()), table.Classes.end());
        for (double v : table.Classes) table.ClassNames.push_back(FormatValue(doc, v, c));
        table.Counts.assign(table.Classes.size(), std::vector<int>(table.Classes.size(), 0));
        auto index = [&table](double v) {
            return static_cast<size_t>(std::lower_bound(table.Classes.begin(), table.Classes.end(), v) -
                                       table.Classes.begin());
        };
        for (const auto& [target, answer] : pairs[k]) ++table.Counts[index(target)][index(answer)];
        report.Tables.push_back(std::move(table));
    }
    return report;
}

}  // namespace quorin
