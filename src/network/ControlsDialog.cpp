#include "network/ControlsDialog.h"

#include <cstdlib>
#include <mutex>

#include "grid/QuorinDoc.h"
#include "network/Controls.h"
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/OptimizeControls.h"
#include "network/Validation.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// The dialog shows values as text with these precisions; what comes back is what was shown.
double Shown(const char* format, double value) { return std::atof(Format(format, value).c_str()); }

// Wide enough that the limits below, with their messages, are the ones that apply.
constexpr double kAny = 1e12;
constexpr int kAnyInt = 2000000000;

CDialogForm ControlsForm(CQuorinDoc& doc, int trainingRows) {
    CDialogForm f;
    f.Id = "Controls";
    f.Title = "Controls";
    f.AddDouble("LearningRate", "&Learning rate", Shown("%.2lf", doc.m_LearningRate), -kAny, kAny,
                "Learning rate can be 0.1 to 10.0");
    f.AddCheck("DecayLearningRate", "Decay", doc.m_DecayLearningRate != 0,
               "Check to decay Learning rate if error increases");
    f.AddCheck("OptimiseLearningRate", "Optimize", doc.m_OptimiseLearningRate != 0,
               "Check to find optimum Learning rate");
    f.AddDouble("Momentum", "&Momentum", Shown("%.2lf", doc.m_Momentum), -kAny, kAny,
                "Momentum can be 0 to 0.9");
    f.AddCheck("DecayMomentum", "Decay", doc.m_DecayMomentum != 0,
               "Check to decay Momentum if error increases");
    f.AddCheck("OptimiseMomentum", "Optimize", doc.m_OptimiseMomentum != 0,
               "Check to find optimum Momentum");
    f.AddChoice("TargetErrorMode", "",
                {"Stop when the A&verage error is below", "stop when &All errors are below"},
                doc.m_TargetErrorMode == 1 ? 1 : 0,
                "Stop learning if average error falls below target error\n"
                "Stop learning if all errors fall below target error");
    f.AddDouble("TargetError", "", Shown("%.4lf", doc.m_TargetError), -kAny, kAny,
                "Target error can be 0 to 0.9");
    f.AddInt("CyclesBeforeFirstValidating", "Cycles &before first validating cycle",
             doc.m_CyclesBeforeFirstValidating, -kAnyInt, kAnyInt,
             "Number of training cycles before first validating cycle");
    f.AddInt("CyclesPerValidating", "Cycles &per validating cycle", doc.m_CyclesPerValidating,
             -kAnyInt, kAnyInt, "Number of training cycles per validating cycle");
    f.AddDouble("ValidatingTarget", "Stop when ", Shown("%.2lf", doc.m_ValidatingTarget), -kAny,
                kAny, "Target % of validating examples within range or correct");
    f.AddLabel("ValidatingTargetUnit", "% of the validating examples");
    f.AddLabel("ValidatingAre", "are");
    f.AddChoice("ValidatingMode", "", {"&Within", "&Correct after rounding"},
                doc.m_ValidatingMode == 1 ? 1 : 0,
                "Stop when % of validating examples are in range\n"
                "Stop when % of validating examples are correct after rounding");
    f.AddDouble("WithinPercentage", "", Shown("%.2lf", doc.m_WithinPercentage), -kAny, kAny,
                "Target range can be -50% to +50%");
    f.AddLabel("WithinUnit", "% of desired outputs");
    f.AddCheck("StopIfDecreases", "Stop if the % of validating examples decreases",
               doc.m_StopIfValidatingDecreases != 0,
               "Stop when % or validating examples that are within range or correct decreases");
    f.AddCheck("StopAfter", "&Stop after", doc.m_StopAfter != 0,
               "Stop learning after seconds specified even if targets not met");
    f.AddDouble("StopSeconds", "", Shown("%.4lf", doc.m_StopSeconds), -kAny, kAny,
                "Seconds before learning stops");
    f.AddLabel("StopSecondsUnit", "seconds");
    f.AddCheck("StopOnCycle", "Stop &on cycle", doc.m_StopOnCycle != 0,
               "Stop learning on the cycle specified even if targets not met");
    f.AddInt("StopCycle", "", doc.m_StopCycle, -kAnyInt, kAnyInt, "Cycle to stop learning");
    f.AddCheck("ManualReconfiguration", "Allow manual &Network reconfiguration",
               (doc.m_ReconfigSwitches & 0x1) != 0,
               "Check to enable the reconfiguration toolbar buttons");
    f.AddCheck("GrowLayer1", "Grow hidden layer &1", (doc.m_ReconfigSwitches & 0x2) != 0,
               "Check to allow first hidden layer to grow");
    f.AddCheck("GrowLayer2", "Grow hidden layer &2", (doc.m_ReconfigSwitches & 0x4) != 0,
               "Check to allow second hidden layer to grow");
    f.AddCheck("GrowLayer3", "Grow hidden layer &3", (doc.m_ReconfigSwitches & 0x8) != 0,
               "Check to allow third hidden layer to grow");
    doc.m_RandomValidatingCount = 0;
    f.AddInt("RandomValidating", "Select", doc.m_RandomValidatingCount, -kAnyInt, kAnyInt,
             "Number of examples selected at random for validating.");
    f.AddLabel("RandomValidatingFrom", "examples at random from the");
    f.AddLabel("RandomValidatingText",
               Format("%i training examples and change to validating.", trainingRows));
    return f;
}

// Replaces a value outside [low, high] by the limit, with the limit's message.
template <typename T>
void Limit(IPrompts& prompts, T& value, T low, const char* lowText, T high, const char* highText) {
    if (highText && value > high) {
        value = high;
        prompts.Inform(highText);
    }
    if (lowText && value < low) {
        value = low;
        prompts.Inform(lowText);
    }
}

}  // namespace

bool CanChangeControls(const CQuorinDoc& doc) {
    if (doc.m_Worker.Busy() || !doc.m_NetworkExists || doc.m_Examples.empty())
        return false;
    bool input = false, output = false;
    for (const CInOut& io : doc.m_InOuts) {
        input = input || io.InOutType == Input;
        output = output || io.InOutType == Output;
    }
    return input && output;
}

void OnActionChangeControls(CQuorinDoc& doc) {
    doc.App().Trace("OnActionChangeControls");
    ChangeControls(doc);
}

void ChangeControls(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    IPrompts& prompts = app.Prompts();
    app.Trace("ChangeControls");
    int trainingRows = 0;
    CDialogForm form;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        for (const CExample& ex : doc.m_Examples)
            if (ex.ExampleType == Training) ++trainingRows;
        form = ControlsForm(doc, trainingRows);
    }
    if (prompts.ShowDialog(form) != IdOk) {
        doc.RefreshViews();
        return;
    }
    const bool optimise = form.Check("OptimiseLearningRate") || form.Check("OptimiseMomentum");
    int optimiseAnswer = IdNo;
    if (optimise) {
        optimiseAnswer = prompts.MessageBox(
            {"Optimizing controls will reset learning.\n\nAnswer 'Yes' to reset learning and\n"
             "then Optimize the controls.\n\nAnswer 'No' to just set the controls\nwithout "
             "resetting previous learning.\n\nAnswer 'Cancel' to do nothing.",
             EButtons::YesNoCancel, EIcon::Question, IdYes});
        if (optimiseAnswer != IdYes && optimiseAnswer != IdNo) return;
    }

    double learningRate = form.Double("LearningRate");
    Limit(prompts, learningRate, 0.1, "Learning Rate is too low.\nIt has been set to 0.1", 10.0,
          "Learning Rate is too high.\nIt has been set to 10");
    double momentum = form.Double("Momentum");
    Limit(prompts, momentum, 0.0, "Momentum is too low.\nIt has been set to 0.0", 0.9,
          "Momentum too is high.\nIt has been set to 0.9");
    double targetError = form.Double("TargetError");
    Limit(prompts, targetError, 0.0, "Target error is too low.\nIt has been set to 0.0", 0.9,
          nullptr);
    Limit(prompts, targetError, 0.0, nullptr, 0.9,
          "Target error is too high.\nIt has been set to 0.9");
    if (targetError > 0.001) {
        bool imageOutput = false;
        for (int c = 0; c < doc.m_ColCount; ++c)
            if (doc.m_InOuts[c].InOutType == Output && doc.m_InOuts[c].Mode == Image)
                imageOutput = true;
        if (imageOutput &&
            prompts.AskYesNo("Networks with Image mode outputs normally\nrequire a target error "
                             "of 0.0001 or lower.\n\nDo you want to set the target to 0.0001?"))
            targetError = 0.0001;
    }
    int perValidating = form.Int("CyclesPerValidating");
    Limit(prompts, perValidating, 0,
          "Training cycles per validating cycles invalid\nIt has been set to 0", 0, nullptr);
    int beforeFirst = form.Int("CyclesBeforeFirstValidating");
    Limit(prompts, beforeFirst, 0,
          "Training cycles before first validating cycle invalid\nIt has been set to 0", 0,
          nullptr);
    double validatingTarget = form.Double("ValidatingTarget");
    Limit(prompts, validatingTarget, 0.0, "Target validating % too low.\nIt has been set to 0%",
          100.0, nullptr);
    Limit(prompts, validatingTarget, 0.0, nullptr, 100.0,
          "Target validating % too high.\nIt has been set to 100%");
    double within = form.Double("WithinPercentage");
    Limit(prompts, within, 0.0, "Desired validating range too low.\nIt has been set to 0%", 50.0,
          nullptr);
    Limit(prompts, within, 0.0, nullptr, 50.0,
          "Desired validating range too high.\nIt has been set to 50%");
    int stopCycle = form.Int("StopCycle");
    Limit(prompts, stopCycle, 0, "Stop on cycles set to 0", 0, nullptr);
    double stopSeconds = form.Double("StopSeconds");
    Limit(prompts, stopSeconds, 0.0, "Stop after seconds set to 0.0", 0.0, nullptr);

    SetControls(doc, [&](CLearningControls& c, CStopRules& s) {
        c.LearningRate = learningRate;
        c.Momentum = momentum;
        s.TargetError = targetError;
        s.CyclesPerValidating = perValidating;
        s.CyclesBeforeFirstValidating = beforeFirst;
        s.ValidatingTarget = validatingTarget;
        s.WithinPercentage = within;
        s.StopCycle = stopCycle;
        s.StopSeconds = stopSeconds;
        c.DecayLearningRate = form.Check("DecayLearningRate") ? 1 : 0;
        c.OptimiseLearningRate = form.Check("OptimiseLearningRate") ? 1 : 0;
        c.DecayMomentum = form.Check("DecayMomentum") ? 1 : 0;
        c.OptimiseMomentum = form.Check("OptimiseMomentum") ? 1 : 0;
        s.TargetErrorMode = form.Int("TargetErrorMode") == 1 ? 1 : 0;
        s.ValidatingMode = form.Int("ValidatingMode") == 1 ? 1 : 0;
        s.StopIfValidatingDecreases = form.Check("StopIfDecreases") ? 1 : 0;
        s.StopAfter = form.Check("StopAfter") ? 1 : 0;
        s.StopOnCycle = form.Check("StopOnCycle") ? 1 : 0;
        c.ReconfigSwitches = (form.Check("ManualReconfiguration") ? 0x1 : 0) |
                             (form.Check("GrowLayer1") ? 0x2 : 0) |
                             (form.Check("GrowLayer2") ? 0x4 : 0) |
                             (form.Check("GrowLayer3") ? 0x8 : 0);
    });

    const int randomCount = form.Int("RandomValidating");
    doc.m_RandomValidatingCount = randomCount;
    // Rebuilding the network or changing rows under a running thread would corrupt it:
    // such steps wait for the run to stop first.
    const bool runOptimise = optimise && optimiseAnswer == IdYes;
    if (doc.m_Learning && (runOptimise || randomCount > 0)) {
        Stop(doc);
        WaitForLearning(doc);
    }
    if (runOptimise) OptimizeControls(doc);
    if (!doc.m_Learning && !SelectRandomValidating(doc, randomCount)) return;

    doc.SetModified();
    const bool learning = doc.m_Learning;
    // Optimising has changed them; a running thread may be decaying them.
    learningRate = GetLearningControls(doc).LearningRate;
    momentum = GetLearningControls(doc).Momentum;
    targetError = GetStopRules(doc).TargetError;
    const std::string question = Format(
        "Controls have been set.\n\nLearning rate: %.4lf\nMomentum: %.4lf\nTarget error: "
        "%.4lf\n\n%s is %s learning.\n\nDo you want it to %s learning?",
        learningRate, momentum, targetError, DocumentTitle(doc).c_str(),
        learning ? "already" : "not", learning ? "continue" : "start");
    if (prompts.AskYesNo(question))
        StartLearning(doc, 1);
    else
        Stop(doc);
    doc.RefreshViews();
}

}  // namespace quorin
