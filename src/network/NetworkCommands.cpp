#include "network/NetworkCommands.h"

#include <algorithm>

#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/ControlsDialog.h"
#include "network/Growth.h"
#include "network/NetworkBuild.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// Hidden layer sizes the dialog accepts; anything larger would only exhaust memory.
constexpr int kMostHiddenNodes = 1000;

std::string NodesText(int count) { return Format("%d node%s", count, count == 1 ? "" : "s"); }

void ChangeHiddenLayer(CQuorinDoc& doc, int change, int layer) {
    if (!CanChangeNetwork(doc)) return;
    ChangeNetwork(doc, change, layer);
    doc.SetModified();
    doc.RefreshViews();
}

}  // namespace

void OnActionNewNetwork(CQuorinDoc& doc) {
    doc.App().Trace("OnActionNewNetwork");
    int inputs = 0, outputs = 0;
    bool imageOutput = false;
    for (int c = 0; c < doc.m_ColCount && c < static_cast<int>(doc.m_InOuts.size()); ++c) {
        const CInOut& column = doc.m_InOuts[c];
        const int nodes = NodesOf(column);
        if (column.InOutType == Input) inputs += nodes;
        if (column.InOutType == Output) {
            outputs += nodes;
            imageOutput = imageOutput || column.Mode == Image;
        }
    }
    int t = (inputs + outputs + 3) / 2;
    if (imageOutput) t += 2;
    t = std::min(t, 10);
    int training = 0;
    for (const CExample& example : doc.m_Examples)
        if (example.ExampleType == Training) ++training;
    const int r = training / 3;
    if (!doc.CanLearn()) return;

    CDialogForm form;
    form.Id = "NewNetwork";
    form.Title = "New Network";
    form.AddLabel("InputLayer", NodesText(inputs)).Tooltip = "Nodes in input layer";
    form.AddLabel("OutputLayer", NodesText(outputs)).Tooltip = "Nodes in output layer";
    static const char* const kOrdinal[] = {"First", "Second", "Third"};
    const int low[3] = {t, t / 2 + 1, t / 2 + 1};
    const int high[3] = {t + r, (t + r) / 2 + 1, (t + r) / 2 + 1};
    for (int layer = 0; layer < 3; ++layer) {
        const std::string n = std::to_string(layer + 1);
        form.AddInt("Hidden" + n + "Min", "Hidden layer " + n + " minimum", low[layer], 0,
                    kMostHiddenNodes,
                    std::string(kOrdinal[layer]) + " hidden layer starts with minimum nodes");
        form.AddInt("Hidden" + n + "Max", "Hidden layer " + n + " maximum", high[layer], 0,
                    kMostHiddenNodes,
                    std::string(kOrdinal[layer]) +
                        " hidden layer stops growing before maximum nodes created");
    }
    form.AddInt("Cycles", "Change every", 10, 0, 1000,
                "Training cycles per network reconfigure [0 to 1000]");
    form.AddInt("Seconds", "cycles or", 5, 1, 20, "Seconds per network reconfigure [1 to 20]");
    form.AddLabel("GrowLabel", "Grow layer number");
    const int grow[3] = {doc.m_GrowLayer1, doc.m_GrowLayer2, doc.m_GrowLayer3};
    for (int layer = 0; layer < 3; ++layer)
        form.AddCheck("Grow" + std::to_string(layer + 1), "&" + std::to_string(layer + 1),
                      grow[layer] != 0,
                      std::string("Check to allow ") +
                          (layer == 0 ? "first" : layer == 1 ? "second" : "third") +
                          " hidden layer to grow from min to max nodes");
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return;

    doc.m_GrowLayer1 = form.Check("Grow1");
    doc.m_GrowLayer2 = form.Check("Grow2");
    doc.m_GrowLayer3 = form.Check("Grow3");
    // The form states its limits; a front end that lets other numbers through gets them clamped.
    auto number = [&form](const char* key) {
        const CFormField& field = form.Field(key);
        return std::clamp(field.IntValue, static_cast<int>(field.Min), static_cast<int>(field.Max));
    };
    CNetworkRequest request;
    request.Inputs = inputs;
    request.Outputs = outputs;
    for (int layer = 0; layer < 3; ++layer) {
        const std::string n = std::to_string(layer + 1);
        request.Min[layer] = number(("Hidden" + n + "Min").c_str());
        request.Max[layer] = number(("Hidden" + n + "Max").c_str());
    }
    request.Cycles = number("Cycles");
    request.Seconds = number("Seconds");

    if (doc.m_NetworkExists && doc.m_LearningCycles > 0 &&
        !doc.App().Prompts().AskYesNo("Creating a new network will reset\nlearning and the AutoSave "
                                      "settings.\n\nDo you want to continue?"))
        return;
    BuildRequestedNetwork(doc, request);

    const CLayerCounts counts = CountLayers(doc);
    const int weights = static_cast<int>(doc.m_Weights.size());
    const std::string connections =
        weights <= 300 ? Format("Weight connections: %d", weights)
                       : Format("Weight connections: %d\nThis number of connections\nmay result "
                                "in slow learning.",
                                weights);
    if (doc.App().Prompts().AskYesNo(
            Format("Network created\n\nHidden layer 1 nodes: %d\nHidden layer 2 nodes: %d\nHidden "
                   "layer 3 nodes: %d\n\n%s\n\nDo you want to set the Controls?",
                   counts.Hidden[0], counts.Hidden[1], counts.Hidden[2], connections.c_str())))
        OnActionChangeControls(doc);
    doc.RefreshViews();
}

void OnActionForgetLearning(CQuorinDoc& doc) {
    doc.App().Trace("OnActionForgetLearning");
    const bool reSeed = doc.App().Prompts().AskYesNo(
        Format("The weights in '%s' will be set to small random\nvalues. The random number "
               "sequence is normally started\nat the same point when the network forgets but it "
               "can\nbe restarted from a point based on the current time.\n\nDo you want to "
               "restart the random number sequence?",
               DocumentTitle(doc).c_str()),
        IdNo);
    ForgetLearning(doc, 1, 1, 1, reSeed ? 1 : 0);
    doc.RefreshViews();
}

bool CanChangeNetwork(const CQuorinDoc& doc) {
    return doc.m_NetworkExists && !doc.m_Nodes.empty() && doc.App().ThreadCount() < 2;
}

namespace {

bool CanAddHiddenNode(const CQuorinDoc& doc, int layer) {
    if (!CanChangeNetwork(doc) || layer < 1 || layer > 3) return false;
    return layer == 1 || CountLayers(doc).Hidden[layer - 2] > 0;
}

bool CanDeleteHiddenNode(const CQuorinDoc& doc, int layer) {
    if (!CanChangeNetwork(doc) || layer < 1 || layer > 3) return false;
    const CLayerCounts counts = CountLayers(doc);
    const int nodes = counts.Hidden[layer - 1];
    if (nodes <= 0) return false;
    return nodes > 1 || layer == 3 || counts.Hidden[layer] == 0;
}

}  // namespace

bool CanAddHL1Node(const CQuorinDoc& doc) { return CanAddHiddenNode(doc, 1); }
bool CanDeleteHL1Node(const CQuorinDoc& doc) { return CanDeleteHiddenNode(doc, 1); }
bool CanAddHL2Node(const CQuorinDoc& doc) { return CanAddHiddenNode(doc, 2); }
bool CanDeleteHL2Node(const CQuorinDoc& doc) { return CanDeleteHiddenNode(doc, 2); }
bool CanAddHL3Node(const CQuorinDoc& doc) { return CanAddHiddenNode(doc, 3); }
bool CanDeleteHL3Node(const CQuorinDoc& doc) { return CanDeleteHiddenNode(doc, 3); }

void OnEditAddHL1Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, 1, 1); }
void OnEditDeleteHL1Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, -1, 1); }
void OnEditAddHL2Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, 1, 2); }
void OnEditDeleteHL2Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, -1, 2); }
void OnEditAddHL3Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, 1, 3); }
void OnEditDeleteHL3Node(CQuorinDoc& doc) { ChangeHiddenLayer(doc, -1, 3); }

bool CanNewNetwork(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && HasInputAndOutput(doc) && HasTrainingRows(doc, 2);
}

bool CanForgetLearning(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_NetworkExists != 0 && HasInputAndOutput(doc) &&
           doc.m_RowCount > 0;
}

bool CanChangeNetworkShape(const CQuorinDoc& doc) {
    return !CalculationRunning(doc) && doc.m_NetworkExists != 0;
}

}  // namespace quorin
