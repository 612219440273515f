#include "network/Growth.h"

#include <memory>
#include <string>

#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/OptimizeControls.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// The modeless "Optimize" window: the rates, what is being done, the layer being grown.
class CGrowthWindow {
public:
    explicit CGrowthWindow(CQuorinDoc& doc) : m_Doc(doc) {
        m_Form.Id = "Optimize";
        m_Form.Title = "Optimize";
        m_Form.AddLabel("Rates", "");
        m_Form.AddLabel("Heading", "");
        m_Form.AddLabel("Nodes", "");
        m_Window = doc.App().Prompts().OpenModeless(m_Form);
    }
    ~CGrowthWindow() {
        if (m_Window) m_Window->Close();
    }
    CGrowthWindow(const CGrowthWindow&) = delete;
    CGrowthWindow& operator=(const CGrowthWindow&) = delete;

    void Show(const char* key, const std::string& text) {
        m_Form.Field(key).TextValue = text;
        if (m_Window) m_Window->Update(m_Form);
        m_Doc.App().Views().PumpEvents();
    }
    // Close, or the window's frame, stops the growing; the press stays remembered.
    bool Closed() {
        if (!m_Closed && m_Window) {
            for (std::string key; !(key = m_Window->PollButton()).empty();)
                if (key == "Close" || key == "Cancel") m_Closed = true;
            if (!m_Window->IsOpen()) m_Closed = true;
        }
        return m_Closed;
    }

private:
    CQuorinDoc& m_Doc;
    CDialogForm m_Form;
    std::unique_ptr<IModelessWindow> m_Window;
    bool m_Closed = false;
};

int HiddenCount(const CQuorinDoc& doc, int layer) { return CountLayers(doc).Hidden[layer - 1]; }

// One node more at a time from `low` while below `high`, as long as each trial beats the
// best so far and has not yet reached the target error.
void GrowLayer(CQuorinDoc& doc, CGrowthWindow& window, int layer, int low, int high, int cycles,
               int seconds, double& best) {
    if (window.Closed()) return;
    for (int n = low; n < high; ++n) {
        doc.m_LearningCycles = 0;
        const double e = OptimizeLearn(doc, cycles, seconds);
        window.Show("Nodes", Format("Hidden layer %d nodes: %d", layer, HiddenCount(doc, layer)));
        doc.App().Trace("OptimizeNetwork   Layer %d Nodes %d Error %.8lf", layer, n, e);
        if (e > best || e < doc.m_TargetError || window.Closed()) break;
        best = e;
        ChangeNetwork(doc, 1, layer);
    }
    if (window.Closed()) return;
    OptimizeLearn(doc, cycles, seconds);
    window.Show("Nodes", Format("Hidden layer %d nodes: %d", layer, HiddenCount(doc, layer)));
}

}  // namespace

void OptimizeNetwork(CQuorinDoc& doc, int inputs, int outputs, int max1, int min1, int max2,
                     int min2, int max3, int min3, int cycles, int seconds) {
    doc.App().Trace(
        "OptimizeNetwork   Inputs %d Outputs %d Max1 %d Min1 %d Max2 %d Min2 %d Max3 %d Min3 %d "
        "Cycles %d Seconds %d",
        inputs, outputs, max1, min1, max2, min2, max3, min3, cycles, seconds);
    doc.m_LearningRate = 0.4;
    doc.m_Momentum = 0.6;
    double best = 3.0e38;
    if (!doc.CanLearn()) return;
    ForgetLearning(doc, 0, 1, 1, 0);
    doc.RefreshViews();
    {
        CGrowthWindow window(doc);
        window.Show("Rates", Format("Learning rate: %.2lf   Momentum: %.2lf", doc.m_LearningRate,
                                    doc.m_Momentum));
        const bool grow1 = doc.m_GrowLayer1 != 0;
        const bool grow2 = grow1 && doc.m_GrowLayer2 != 0;
        const bool grow3 = grow2 && doc.m_GrowLayer3 != 0;
        if (grow1) {
            NewNetwork(doc, inputs, min1, outputs, 0);
            window.Show("Heading", "Optimizing hidden layers.   Please wait.");
            GrowLayer(doc, window, 1, min1, max1, cycles, seconds, best);
        }
        if (grow2) {
            for (int i = 0; i < min2; ++i) ChangeNetwork(doc, 1, 2);
            GrowLayer(doc, window, 2, min2, max2, cycles, seconds, best);
        }
        if (grow3) {
            for (int i = 0; i < min3; ++i) ChangeNetwork(doc, 1, 3);
            GrowLayer(doc, window, 3, min3, max3, cycles, seconds, best);
        }
        doc.m_LearningRate = 0.6;
        doc.m_Momentum = 0.8;
        doc.RefreshViews();
    }
    ForgetLearning(doc, 0, 1, 1, 0);
    doc.SetModified();
}

void BuildRequestedNetwork(CQuorinDoc& doc, CNetworkRequest r) {
    doc.App().Trace("BuildRequestedNetwork   Inputs %d Outputs %d Min1 %d Max1 %d Grow1 %d", r.Inputs,
                    r.Outputs, r.Min[0], r.Max[0], doc.m_GrowLayer1);
    if (r.Min[0] > r.Max[0]) {
        doc.App().Prompts().Inform(
            "The maximum number of hidden nodes has been set to\nbe the same as the minimum "
            "number of hidden nodes.");
        r.Max[0] = r.Min[0];
    }
    if (r.Min[0] > 4 * (r.Inputs + r.Outputs) || (r.Min[0] < r.Inputs && r.Min[0] < 2))
        doc.App().Prompts().Inform(
            "The hidden node controls you have set may\nproduce a network that will not learn.");
    if (doc.m_GrowLayer1)
        OptimizeNetwork(doc, r.Inputs, r.Outputs, r.Max[0], r.Min[0], r.Max[1], r.Min[1], r.Max[2],
                        r.Min[2], r.Cycles, r.Seconds);
    else
        NewNetwork(doc, r.Inputs, r.Min[0], r.Outputs, 1);
}

}  // namespace quorin
