#include "network/LearningInfo.h"

#include <mutex>

#include "grid/QuorinDoc.h"
#include "platform/StringFormat.h"

namespace quorin {

std::string StatusText(int status, int count) {
    switch (status) {
        case StatusValidatingInRange: return Format("Validating in range: %d cycles", count);
        case StatusValidatingCorrect: return Format("Validating correct: %d cycles", count);
        case StatusAverageBelowTarget: return Format("Average error below target: %d cycles", count);
        case StatusAllBelowTarget: return Format("All errors below target: %d cycles", count);
        case StatusLearning: return Format("Learning: %d cycles", count);
        case StatusNotLearning: return Format("Not learning: %d cycles", count);
        case StatusAssociating: return Format("Associating: column %d", count);
        case StatusNotAssociating: return Format("Not Associating: column %d", count);
        case StatusStopped: return "Stopped";
        case StatusReadingFile: return Format("Reading the document: %d%%", count);
        case StatusWritingFile: return Format("Saving the document: %d%%", count);
        default: return "Unknown status";
    }
}

std::string GraphCaption(CQuorinDoc& doc) {
    switch (doc.m_Status.load()) {
        case StatusValidatingInRange: {
            std::lock_guard lock(doc.m_NetworkMutex);
            return Format("Learning finished - %.2lf%% of validating examples are within %.2lf%% "
                          "of the desired values.",
                          doc.m_ValidatingTarget, doc.m_WithinPercentage);
        }
        case StatusValidatingCorrect: return "Learning finished - validating correct.";
        case StatusAverageBelowTarget: return "Learning finished - average error below target.";
        case StatusAllBelowTarget: return "Learning finished - all errors below target.";
        case StatusLearning: return "Network learning.";
        case StatusNotLearning: return "Network not learning.";
        case StatusAssociating: return "Network is associating.";
        default: return {};
    }
}

std::string InformationText(CQuorinDoc& doc, const std::string& path) {
    std::lock_guard lock(doc.m_NetworkMutex);
    const int cycles = doc.m_LearningCycles;
    const double average = doc.m_AverageError;
    std::string text = path + Format(" [%d]\r\n\r\nLearning cycles: %d", doc.m_LoadCount, cycles);
    if (average > 0.0 && cycles > 0) text += Format("       Average error: %.6lf", average);
    int inputs = 0, outputs = 0;
    for (int c = 0; c < doc.m_ColCount && c < static_cast<int>(doc.m_InOuts.size()); ++c) {
        if (doc.m_InOuts[c].InOutType == Input) ++inputs;
        if (doc.m_InOuts[c].InOutType == Output) ++outputs;
    }
    int training = 0, validating = 0, querying = 0;
    for (const CExample& ex : doc.m_Examples) {
        if (ex.ExampleType == Training) ++training;
        if (ex.ExampleType == Validating) ++validating;
        if (ex.ExampleType == Querying) ++querying;
    }
    int nodes[4] = {0, 0, 0, 0};
    int outputNodes = 0;
    for (const CNode& n : doc.m_Nodes) {
        if (n.Layer >= 0 && n.Layer <= 3) ++nodes[n.Layer];
        if (n.Layer == kOutputLayer) ++outputNodes;
    }
    text += Format("\r\n\r\nInput columns: %d\r\nOutput columns: %d", inputs, outputs);
    text += Format("\r\nTraining rows: %d\r\nValidating rows: %d\r\nQuerying rows: %d", training,
                   validating, querying);
    text += Format("\r\n\r\nInput nodes: %d\r\nHidden layer 1 nodes: %d\r\nHidden layer 2 nodes: "
                   "%d\r\nHidden layer 3 nodes: %d\r\nOutput nodes: %d",
                   nodes[0], nodes[1], nodes[2], nodes[3], outputNodes);
    text += Format("\r\n\r\nLearning rate: %.4lf\r\nMomentum: %.4lf\r\nTarget error: %.4lf",
                   doc.m_LearningRate, doc.m_Momentum, doc.m_TargetError);
    if (validating > 0) {
        if (doc.m_ValidatingMode == 1)
            text += Format("\r\nValidating 'correct' target: %.2lf%%", doc.m_ValidatingTarget);
        else
            text += Format("\r\nValidating 'in range' target: %.2lf%%\r\nValidating range: +/- "
                           "%.2lf%%",
                           doc.m_ValidatingTarget, doc.m_WithinPercentage);
    }
    const bool decay = doc.m_DecayLearningRate || doc.m_DecayMomentum;
    const bool pruning = doc.m_ConnectionPruning != 0;
    const bool autoSave = (doc.m_AutoSaveFlags & (0x01 | 0x02 | 0x10 | 0x80)) != 0;
    if (decay || pruning || autoSave)
        text += Format("\r\n\r\nEnabled: %s%s%s", decay ? "Decay. " : "", pruning ? "Pruning. " : "",
                       autoSave ? "AutoSave. " : "");
    else
        text += "\r\n\r\nNo extras enabled.";
    static const char* const kChoices[] = {"Median", "Highest", "Lowest", "Average"};
    const int choice = doc.m_MissingDataChoice >= 0 && doc.m_MissingDataChoice <= 3
                           ? doc.m_MissingDataChoice
                           : 0;
    text += Format("\r\n\r\nUses the %s value of each numeric Input/Output column.",
                   kChoices[choice]);
    return text;
}

void ShowInfo(CQuorinDoc& doc, const std::string& path) {
    doc.App().Trace("ShowInfo");
    ISettingsStore& settings = doc.App().Settings();
    CDialogForm form;
    form.Id = "Information";
    form.Title = "Information";
    form.AddLabel("Text", InformationText(doc, path));
    form.AddCheck("DoNotShow", "&Do not show this information when a file is opened",
                  settings.GetInt("Information", "ShowInfo", 0) == 1);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return;
    settings.SetInt("Information", "ShowInfo", form.Check("DoNotShow") ? 1 : 0);
}

}  // namespace quorin
