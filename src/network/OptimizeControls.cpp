#include "network/OptimizeControls.h"

#include <memory>

#include "grid/QuorinDoc.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

double OptimizeLearn(CQuorinDoc& doc, int cycles, int seconds) {
    doc.App().Trace("OptimizeLearn   Cycles %d Seconds %d", cycles, seconds);
    if (cycles > 1000) cycles = 1000;
    if (seconds > 20) seconds = 20;
    SetWeightsIn(doc);
    IClock& clock = doc.App().Clock();
    const std::uint32_t start = clock.GetTickCount();
    const double limit = seconds * 1000.0;
    doc.m_LearningCycles = 0;
    int training = 0;
    for (const CExample& ex : doc.m_Examples)
        if (ex.ExampleType == Training) ++training;
    if (training == 0) return 0.0;
    double sum = 0.0;
    const int rows = static_cast<int>(doc.m_Examples.size());
    CNetworkEngine engine;
    CLearningPass pass(doc, engine);
    while (doc.m_LearningCycles < cycles) {
        sum = 0.0;
        for (int r = 0; r < rows; ++r) {
            double e = 0.0;
            if (doc.m_Examples[r].ExampleType == Training) {
                if (!LearnRow(doc, r, e)) return 0.0;
                sum += e;
            }
            if (clock.GetTickCount() - start > limit) return sum / training;
        }
        ++doc.m_LearningCycles;
    }
    return sum / training;
}

namespace {

class COptimizeWindow {
public:
    explicit COptimizeWindow(CQuorinDoc& doc) : m_Doc(doc) {
        m_Form.Id = "Optimize";
        m_Form.Title = "Optimize";
        m_Form.AddLabel("Heading", "");
        m_Form.AddLabel("Rates", "");
        m_Form.AddLabel("Error", "");
        m_Window = doc.App().Prompts().OpenModeless(m_Form);
    }
    ~COptimizeWindow() {
        if (m_Window) m_Window->Close();
    }
    void Show(const char* key, const std::string& text) {
        m_Form.Field(key).TextValue = text;
        if (m_Window) m_Window->Update(m_Form);
        m_Doc.App().Views().PumpEvents();
    }

private:
    CQuorinDoc& m_Doc;
    CDialogForm m_Form;
    std::unique_ptr<IModelessWindow> m_Window;
};

// Raises `control` by 0.1 from 0.5 while the trial error falls and the value stays below
// `below`; the value of the first worse trial is kept.
void Search(CQuorinDoc& doc, COptimizeWindow& window, double& control, double below) {
    double best = 3.0e38;
    control = 0.5;
    do {
        ForgetLearning(doc, 0, 1, 1, 0);
        window.Show("Rates", Format("Learning rate: %.2lf   Momentum: %.2lf", doc.m_LearningRate,
                                    doc.m_Momentum));
        const double e = OptimizeLearn(doc, 10, 5);
        window.Show("Error", Format("Average error %.8lf", e));
        if (e > best) return;
        best = e;
        control += 0.1;
    } while (control < below);
}

}  // namespace

void OptimizeControls(CQuorinDoc& doc) {
    doc.App().Trace("OptimizeControls");
    ForgetLearning(doc, 0, 1, 1, 0);
    doc.RefreshViews();
    {
        COptimizeWindow window(doc);
        if (doc.m_OptimiseMomentum) {
            window.Show("Heading", "Increasing momentum - please wait");
            Search(doc, window, doc.m_Momentum, 0.79999);
        }
        const double momentum = doc.m_Momentum;
        doc.m_Momentum = 0.0;
        if (doc.m_OptimiseLearningRate) {
            window.Show("Heading", "Increasing learning rate - please wait");
            Search(doc, window, doc.m_LearningRate, 0.99999);
        }
        doc.m_Momentum = momentum;
        ForgetLearning(doc, 0, 1, 1, 0);
        doc.RefreshViews();
    }
    doc.SetModified();
}

}  // namespace quorin
