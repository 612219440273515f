#include "network/ExtendLearning.h"

#include <cmath>
#include <mutex>

#include "analysis/Querying.h"
#include "grid/QuorinDoc.h"
#include "network/RandomWeights.h"

namespace quorin {

namespace {
// Counts far beyond any sensible schedule; they keep "every + 1" from overflowing.
constexpr int kMaxCount = 100000000;

int Limit(int value) { return value < 0 ? 0 : (value > kMaxCount ? kMaxCount : value); }
}  // namespace

bool CanExtendLearning(const CQuorinDoc& doc) {
    if (doc.m_Worker.Busy()) return false;
    bool input = false, output = false;
    for (const CInOut& io : doc.m_InOuts) {
        input = input || io.InOutType == Input;
        output = output || io.InOutType == Output;
    }
    return input && output;
}

int OnActionExtendLearning(CQuorinDoc& doc) {
    doc.App().Trace("OnActionExtendLearning");
    // Until confirmed once the dialog proposes the defaults.
    CExtendSettings shown;
    {
        std::lock_guard lock(doc.m_NetworkMutex);  // copies made while learning change it
        if (doc.m_Extend.Enabled) shown = doc.m_Extend;
    }
    CDialogForm form;
    form.Id = "ExtendLearning";
    form.Title = "Extend Learning";
    form.AddInt("After", "Copy an example &after", shown.After, 0, kMaxCount);
    form.AddLabel("AfterUnit", "cycles and then");
    form.AddInt("Every", "&every", shown.Every, 0, kMaxCount);
    form.AddLabel("EveryUnit", "cycles &until");
    form.AddInt("CopiesLeft", "", shown.CopiesLeft, 0, kMaxCount);
    form.AddLabel("CopiesUnit", "copies have been created");
    form.AddCheck("JitterInputs", "Jitter all &Input values of copy by a random amount",
                  shown.JitterInputs != 0);
    form.AddCheck("JitterOutputs", "Jitter all &Output values of copy by a random amount",
                  shown.JitterOutputs != 0);
    form.AddCheck("SetOutputsByQuerying", "&Set Output values of copy by Querying",
                  shown.SetOutputsByQuerying != 0);
    form.AddChoice("JitterLevel", "", {"&High level", "Medium level", "Low level"},
                   shown.JitterLevel);
    form.AddChoice("RangeHandling", "",
                   {"&Contract within range", "Expand out of range", "Retain current range"},
                   shown.RangeHandling);
    if (doc.App().Prompts().ShowDialog(form) != IdOk) return 0;
    std::lock_guard lock(doc.m_NetworkMutex);  // the learning thread reads the schedule
    CExtendSettings& e = doc.m_Extend;
    e.After = Limit(form.Int("After"));
    e.Every = Limit(form.Int("Every"));
    e.CopiesLeft = Limit(form.Int("CopiesLeft"));
    e.JitterInputs = form.Check("JitterInputs") ? 1 : 0;
    e.JitterOutputs = form.Check("JitterOutputs") ? 1 : 0;
    e.SetOutputsByQuerying = form.Check("SetOutputsByQuerying") ? 1 : 0;
    const int level = form.Int("JitterLevel");
    e.JitterLevel = level < 0 || level > 2 ? 2 : level;
    const int range = form.Int("RangeHandling");
    e.RangeHandling = range < 0 || range > 2 ? 2 : range;
    e.Enabled = 1;
    return 1;
}

int ExtendLearningDue(const CExtendSettings& extend, int cycles) {
    return extend.Enabled && cycles % (extend.Every + 1) == 0 && cycles >= extend.After ? 1 : 0;
}

void ExtendLearningCopy(CQuorinDoc& doc) {
    doc.App().Trace("Extend");
    CExtendSettings& e = doc.m_Extend;
    e.CopiesLeft -= 1;
    const int rows = static_cast<int>(doc.m_Examples.size());
    const int candidate = static_cast<int>(NextRandom() * static_cast<double>(rows - 1) *
                                           (1.0 / 32767));
    e.LastCopiedRow = candidate;
    if (e.CopiesLeft < 0) {
        e.CopiesLeft = 0;
        return;
    }
    if (candidate < 0 || candidate >= rows || doc.m_Examples[candidate].ExampleType != Training)
        return;
    if (!doc.AddRow(0, Training, 0, 1)) return;
    const int copy = static_cast<int>(doc.m_Examples.size()) - 1;
    doc.CopyExample(doc.m_Examples[copy], doc.m_Examples[candidate]);
    const int level = e.JitterLevel;
    for (int c = 0; c < doc.m_ColCount; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.Mode != Real && io.Mode != Integer) continue;
        const bool jitter = (io.InOutType == Input && e.JitterInputs) ||
                            (io.InOutType == Output && e.JitterOutputs);
        if (!jitter) continue;
        const double v = doc.m_Examples[copy].Values()[c];
        const double mid = (io.LowValue + io.HighValue) / 2.0;
        const double factor =
            std::fabs((3 - level) * (NextRandom() * 0.000030518507 - 0.5) * 0.1 + 1.0);
        // A missing value stays missing: scaled, it would turn into a huge real.
        if (v >= kMissing || v <= kMinusMissing) continue;
        const double moved = v * factor;
        bool use;
        switch (e.RangeHandling) {
            case 0: use = v <= mid ? factor > 1.0 : factor < 1.0; break;
            case 1: use = v <= mid ? factor < 1.0 : factor > 1.0; break;
            default: use = moved > io.LowValue && moved < io.HighValue; break;
        }
        if (use) doc.SetValue(c, copy, moved, 0, 0, 0, 1);
    }
    if (e.JitterInputs || e.JitterOutputs) doc.RenormaliseAll(1);
    if (e.SetOutputsByQuerying) {
        bool coded = false;
        for (int c = 0; c < doc.m_ColCount; ++c) {
            const CInOut& io = doc.m_InOuts[c];
            if (io.InOutType == Output && (io.Mode == Text || io.Mode == Image)) coded = true;
        }
        if (!coded) {
            doc.m_Examples[copy].ExampleType = Querying;
            AnswerQueryingRows(doc, 1);
            doc.m_Examples[copy].ExampleType = Training;
            doc.RenormaliseAll(1);
        }
    }
    doc.SetExampleName(copy, "~" + doc.m_Examples[candidate].ExampleName, 1);
}

}  // namespace quorin
