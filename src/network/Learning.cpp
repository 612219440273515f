#include "network/Learning.h"

#include <mutex>

#include "files/AutoSave.h"
#include "grid/QuorinDoc.h"
#include "network/LearningThread.h"

namespace quorin {

void OnActionStartLearning(CQuorinDoc& doc) {
    doc.App().Trace("OnActionStartLearning");
    double rate;
    {
        std::lock_guard lock(doc.m_NetworkMutex);  // a running thread may be decaying it
        rate = doc.m_LearningRate;
    }
    if (rate <= 0.0) {
        doc.App().Prompts().Inform(
            "Learning rate is too low.\n\nUse 'Change Controls' to set it correctly.");
        return;
    }
    StartLearning(doc, 1);
}

int StartLearning(CQuorinDoc& doc, int askAutoSave) {
    CQuorinApp& app = doc.App();
    app.Trace("StartLearning   AskAutoSave %d", askAutoSave);
    doc.m_StopRequest = false;
    // A running thread is left alone; checking the Grid beside it would race with its
    // Extend Learning copies.
    if (doc.m_Worker.Busy()) return 0;
    if (!doc.CanLearn()) return 0;
    if (!NetworkMatchesGrid(doc)) {
        app.Prompts().Inform(
            "The network does not fit the Grid.\n\nCreate a new network before learning.");
        return 0;
    }
    if (askAutoSave && !app.m_ScriptRunning && !(doc.m_AutoSaveFlags & kAutoSaveDontAsk) &&
        !SetAutoSave(doc, 0, 0))
        return 0;
    doc.SizeExampleErrors();
    return doc.m_Worker.Start(EWorkKind::Learning, [&doc] {
        CLearningThread thread(doc);
        thread.Run();
    }) ? 1 : 0;
}

void Stop(CQuorinDoc& doc) {
    doc.App().Trace("Stop");
    doc.m_StopRequest = true;
    doc.m_AssociatingStopRequest = true;
    doc.RefreshViews();
}

void OnActionStop(CQuorinDoc& doc) {
    doc.App().Trace("OnActionStop");
    Stop(doc);
}

void WaitForLearning(CQuorinDoc& doc) { doc.m_Worker.Wait(EWorkKind::Learning); }

void EndLearningThread(CQuorinDoc& doc) { doc.m_Worker.End(); }

bool CanStartLearning(const CQuorinDoc& doc) {
    if (doc.m_Worker.Busy() || !doc.m_NetworkExists) return false;
    bool input = false, output = false;
    for (const CInOut& io : doc.m_InOuts) {
        input = input || io.InOutType == Input;
        output = output || io.InOutType == Output;
    }
    return input && output;
}

bool CanStop(const CQuorinDoc& doc) { return doc.m_Worker.Busy(); }

int NetworkMatchesGrid(const CQuorinDoc& doc) {
    int inputs = 0, outputs = 0;
    for (int c = 0; c < doc.m_ColCount && c < static_cast<int>(doc.m_InOuts.size()); ++c) {
        const CInOut& io = doc.m_InOuts[c];
        const int nodes = NodesOf(io);
        if (io.InOutType == Input) inputs += nodes;
        if (io.InOutType == Output) outputs += nodes;
    }
    int inputNodes = 0, outputNodes = 0;
    for (const CNode& n : doc.m_Nodes) {
        if (n.NodeType == InputNode) ++inputNodes;
        if (n.NodeType == OutputNode) ++outputNodes;
    }
    if (inputs == 0 || outputs == 0 || inputs != inputNodes || outputs != outputNodes) return 0;
    // Input nodes first, output nodes last: the order every pass relies on.
    for (int i = 0; i < inputNodes; ++i)
        if (doc.m_Nodes[i].NodeType != InputNode) return 0;
    const int nodeCount = static_cast<int>(doc.m_Nodes.size());
    for (int i = nodeCount - outputNodes; i < nodeCount; ++i)
        if (doc.m_Nodes[i].NodeType != OutputNode) return 0;
    for (const CWeight& w : doc.m_Weights)
        if (w.FromNode < 0 || w.FromNode >= nodeCount || w.ToNode < 0 || w.ToNode >= nodeCount)
            return 0;
    for (const CExample& ex : doc.m_Examples)
        if (static_cast<int>(ex.Values().size()) < doc.m_ColCount ||
            static_cast<int>(ex.NormalisedValues().size()) < doc.m_ColCount)
            return 0;
    return 1;
}

CGraphPoint& NewGraphPoint(CQuorinDoc& doc, int cycles, double aveError, double maxError,
                           double minError) {
    doc.App().Trace("NewGraphPoint   Cycles %d AveError %.4lf MaxError %.4lf MinError %.4lf",
                    cycles, aveError, maxError, minError);
    doc.m_GraphPoints.push_back({cycles, aveError, maxError, minError});
    return doc.m_GraphPoints.back();
}

int GraphInterval(int cycles) {
    static constexpr struct {
        int Below;
        int Interval;
    } kTable[] = {{256, 1},        {512, 2},         {1024, 5},        {2048, 10},
                  {4096, 20},      {8192, 50},       {16384, 100},     {32768, 200},
                  {65536, 500},    {131072, 1000},   {262144, 2000},   {524288, 5000},
                  {1048576, 10000}, {2097152, 20000}};
    for (const auto& row : kTable)
        if (cycles < row.Below) return row.Interval;
    return 50000;
}

}  // namespace quorin
