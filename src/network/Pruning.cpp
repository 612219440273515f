#include "network/Pruning.h"

#include <cmath>
#include <cstdlib>

#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
// "%.2lf" as the dialog shows it, unless that would lose a smaller threshold.
std::string ThresholdText(double threshold) {
    const std::string text = Format("%.2lf", threshold);
    return std::strtod(text.c_str(), nullptr) == threshold ? text : Format("%.10g", threshold);
}

void SwitchOff(CQuorinDoc& doc) {
    doc.m_PruningOption = 0;
    doc.m_ConnectionPruning = 0;
}
}  // namespace

bool PruningChecked(const CQuorinDoc& doc) {
    return doc.m_PruningOption != 0 && doc.m_ConnectionPruning != 0;
}

bool PruningSettingsValid(int cycles, double threshold) {
    return cycles >= 10 && threshold >= 0.00001 && threshold <= 0.5;
}

void OnOptionsPruning(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsPruning");
    // The learning thread reads the switches at every update: change them only while it rests.
    if (CalculationRunning(doc)) return;
    const bool wasOn = doc.m_PruningOption != 0;
    doc.m_PruningOption = wasOn ? 0 : 1;
    doc.SetModified();
    if (wasOn || (doc.m_PruningCycles > 9 && doc.m_ConnectionPruning)) return;
    // Shown again only after settings were refused; OK with the box clear leaves pruning
    // disabled rather than asking for ever.
    for (bool again = true; again && !doc.m_ConnectionPruning;) {
        again = false;
        CDialogForm form;
        form.Id = "Pruning";
        form.Title = "Controls";
        form.AddLabel("Heading", "Pruning");
        form.AddCheck("Enable", "&Enable connection pruning", doc.m_ConnectionPruning != 0);
        form.AddDouble("Threshold", "Prune if absolute weight stays below", doc.m_PruningThreshold,
                       0.00001, 0.5, "Absolute weight 0.00001 to 0.5")
            .TextValue = ThresholdText(doc.m_PruningThreshold);
        form.AddInt("Cycles", "for over", doc.m_PruningCycles, 10, 1000000000, "cycles; at least 10");
        form.AddLabel("CyclesUnit", "cycles");
        if (doc.App().Prompts().ShowDialog(form) != IdOk) return;
        doc.m_PruningCycles = form.Int("Cycles");
        doc.m_PruningThreshold = form.Double("Threshold");
        doc.m_ConnectionPruning = form.Check("Enable") ? 1 : 0;
        if (doc.m_ConnectionPruning && !PruningSettingsValid(doc.m_PruningCycles, doc.m_PruningThreshold)) {
            doc.App().Prompts().Inform(kPruningLimits);
            SwitchOff(doc);
            again = true;
        }
    }
}

void OnOptionsResetPruning(CQuorinDoc& doc) {
    doc.App().Trace("OnOptionsResetPruning");
    if (CalculationRunning(doc)) return;
    SwitchOff(doc);
    doc.SetModified();
}

void SetPruning(CQuorinDoc& doc, int enable, int cycles, double threshold) {
    doc.App().Trace("SetPruning   Enable %d Cycles %d Threshold %.6lf", enable, cycles, threshold);
    doc.m_PruningCycles = cycles;
    doc.m_PruningThreshold = std::isfinite(threshold) ? threshold : 0.0;
    doc.m_PruningOption = enable ? 1 : 0;
    doc.m_ConnectionPruning = enable ? 1 : 0;
    if (enable && !PruningSettingsValid(cycles, threshold)) {
        doc.App().Prompts().Inform(kPruningLimits);
        SwitchOff(doc);
    }
    doc.SetModified();
}

}  // namespace quorin
