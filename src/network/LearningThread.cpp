#include "network/LearningThread.h"

#include <algorithm>
#include <mutex>

#include "analysis/Querying.h"
#include "files/AutoSave.h"
#include "grid/QuorinDoc.h"
#include "network/ExtendLearning.h"
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "network/Validation.h"

namespace quorin {

namespace {
constexpr double kDecay = 0.9900990099009901;  // 1 / 1.01
}

void CLearningThread::Run() {
    m_Doc.App().Trace("LearningThread");
    SetUp();
    while (!Cycle()) {
    }
    Finish();
}

void CLearningThread::SetUp() {
    CQuorinDoc& doc = m_Doc;
    std::lock_guard lock(doc.m_NetworkMutex);
    m_CyclesAtRunStart = doc.m_LearningCycles;
    doc.m_StartLearningCycles = m_CyclesAtRunStart;
    doc.m_GraphPointCount = std::max(1, static_cast<int>(doc.m_GraphPoints.size()));
    doc.m_CanValidate = doc.CanValidate();
    m_StartTime = m_LastReport = doc.App().Clock().GetTickCount();
    SetWeightsIn(doc);
}

bool CLearningThread::Cycle() {
    CQuorinDoc& doc = m_Doc;
    CQuorinApp& app = doc.App();
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        if (doc.m_RefreshRequest.exchange(false)) AnswerQueryingRows(doc, 1);
        // The weight records are written back when the pass ends, inside the lock.
        CLearningPass pass(doc, m_Engine);
        LearnCycle();
    }
    if (!m_PendingMessage.empty()) {
        app.Prompts().Inform(m_PendingMessage);
        m_PendingMessage.clear();
    }
    // Auto Save writes files and may ask for names: never under the lock.
    const int cycles = doc.m_LearningCycles;
    if (m_AutoSaveFlags != 0 && m_AutoSavePeriod > 0 && cycles % m_AutoSavePeriod == 0)
        AutoSave(doc, 0, 0);
    if ((m_AutoSaveFlags & kAutoSaveBackup) && cycles == 1) AutoSave(doc, 1, 0);
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        if (ExtendLearningDue(doc.m_Extend, cycles)) ExtendLearningCopy(doc);
        const std::uint32_t elapsed = app.Clock().GetTickCount() - m_StartTime;
        if (doc.m_StopAfter && elapsed > doc.m_StopSeconds * 1000.0) doc.m_StopRequest = true;
        if (doc.m_StopOnCycle && cycles >= doc.m_StopCycle) doc.m_StopRequest = true;
    }
    if (doc.m_StopRequest || app.StopAllRequested()) {
        app.RequestStopAll(false);
        m_StoppedOnRequest = true;
        app.Views().PostProgress(doc, doc.m_LearningCycles, StatusNotLearning);
        return true;
    }
    return false;
}

void CLearningThread::LearnCycle() {
    CQuorinDoc& doc = m_Doc;
    doc.m_Status = StatusLearning;
    m_AllBelow = true;
    m_Maximum = -3.0e38;
    m_Minimum = 3.0e38;
    double sum = 0.0;
    const int rows = static_cast<int>(doc.m_Examples.size());
    doc.SizeExampleErrors();  // sized before the thread started; also for a direct caller
    double e = 0.0;
    for (int r = rows - 1; r >= 0; --r) {
        if (doc.m_Examples[r].ExampleType != Training) continue;
        if (!LearnRow(doc, r, e)) {
            doc.m_StopRequest = true;
            break;
        }
    }
    int trainingRows = 0;
    for (const CExample& ex : doc.m_Examples)
        if (ex.ExampleType == Training) ++trainingRows;
    for (int r = 0; r < rows; ++r) {
        CExample& ex = doc.m_Examples[r];
        if (ex.ExampleType != Training) continue;
        if (!LearnRow(doc, r, e)) {
            doc.m_StopRequest = true;
            break;
        }
        doc.m_ExampleErrors[static_cast<std::size_t>(r)] = e;
        sum += e;
        if (e > doc.m_TargetError) m_AllBelow = false;
        if (e > m_Maximum) m_Maximum = e;
        if (e < m_Minimum) m_Minimum = e;
    }
    // Two training rows are guaranteed when the run starts; nothing removes them.
    const double average = trainingRows > 0 ? sum / trainingRows : 0.0;
    doc.m_AverageError = average;

    Validating();

    if (doc.m_TargetErrorMode == 0 ? average < doc.m_TargetError : m_AllBelow)
        doc.m_StopRequest = true;

    OnceASecond();

    AddGraphPoint(doc.m_LearningCycles);
    ++doc.m_LearningCycles;
    m_AutoSaveFlags = doc.m_AutoSaveFlags;
    m_AutoSavePeriod = doc.m_AutoSavePeriod;
}

void CLearningThread::Validating() {
    CQuorinDoc& doc = m_Doc;
    const int cycles = doc.m_LearningCycles;
    const bool scheduled = doc.m_CanValidate && doc.m_CyclesPerValidating != 0 &&
                           cycles >= doc.m_CyclesBeforeFirstValidating &&
                           cycles % doc.m_CyclesPerValidating == 0;
    if (!doc.m_ValidateNowRequest && !scheduled) return;
    const double v = Validate(doc);
    doc.m_LastValidatingResult = v;
    // Kept for the graph; a run long enough to outgrow this keeps every other point.
    if (doc.m_ValidatingHistory.size() >= 20000) {
        for (size_t i = 0; i < doc.m_ValidatingHistory.size() / 2; ++i)
            doc.m_ValidatingHistory[i] = doc.m_ValidatingHistory[2 * i + 1];
        doc.m_ValidatingHistory.resize(doc.m_ValidatingHistory.size() / 2);
    }
    doc.m_ValidatingHistory.push_back({cycles, v});
    ++doc.m_ValidatingCount;
    doc.m_ValidateNowRequest = false;
    if (v >= doc.m_ValidatingTarget - 0.001) {
        m_TargetReached = true;
        doc.m_StopRequest = true;
    }
    // The first result compares with 0, so it can never count as a decrease.
    if (doc.m_StopIfValidatingDecreases && v < m_PreviousValidating) {
        m_PendingMessage = std::string("Requested Stop:  Validating examples ") +
                           (doc.m_ValidatingMode == 0 ? "in range decreased."
                                                      : "correct decreased.");
        doc.m_StopRequest = true;
    }
    m_PreviousValidating = v;
}

void CLearningThread::OnceASecond() {
    CQuorinDoc& doc = m_Doc;
    const std::uint32_t now = doc.App().Clock().GetTickCount();
    if (!(now - m_LastReport > 1000u || doc.m_StopRequest)) return;
    m_LastReport = now;
    const double average = doc.m_AverageError;
    const bool stalled =
        (average > doc.m_TargetError && average * 1.0001 > m_PreviousAverage) ||
        average * 20.0 < m_Maximum;
    if (!doc.m_StopRequest && stalled) {
        const int cycles = doc.m_LearningCycles;
        if (cycles > doc.m_StartLearningCycles) {
            int layer = 0;
            if ((doc.m_ReconfigSwitches & 0x2) && cycles % 3 == 0)
                layer = 1;
            else if ((doc.m_ReconfigSwitches & 0x4) && cycles % 4 == 0)
                layer = 2;
            else if ((doc.m_ReconfigSwitches & 0x8) && cycles % 5 == 0)
                layer = 3;
            if (layer != 0) {
                // The rebuild forgets learning: the count restarts from 0 and the next
                // growth waits until it passes where it was.
                ChangeNetwork(doc, 1, layer);
                doc.m_GraphPointCount = 0;
            }
        }
        if (doc.m_DecayMomentum && doc.m_Momentum > 0.0 && doc.m_LearningCycles % 5 == 0)
            doc.m_Momentum *= kDecay;
        if (doc.m_DecayLearningRate && doc.m_LearningRate > 0.1 && doc.m_LearningCycles % 6 == 0)
            doc.m_LearningRate *= kDecay;
    }
    doc.App().Views().PostProgress(doc, doc.m_LearningCycles, StatusLearning);
    m_PreviousAverage = average;
}

void CLearningThread::AddGraphPoint(int cycles) {
    CQuorinDoc& doc = m_Doc;
    const int interval = GraphInterval(cycles);
    doc.m_GraphInterval = interval;
    if (cycles % interval != 0) return;
    NewGraphPoint(doc, cycles, doc.m_AverageError, m_Maximum, m_Minimum);
    if (++doc.m_GraphPointCount > kMaxGraphPoints && !doc.m_GraphPoints.empty())
        doc.m_GraphPoints.erase(doc.m_GraphPoints.begin());
}

void CLearningThread::Finish() {
    CQuorinDoc& doc = m_Doc;
    CQuorinApp& app = doc.App();
    int status;
    int cycles;
    {
        std::lock_guard lock(doc.m_NetworkMutex);
        cycles = doc.m_LearningCycles;
        const double average = doc.m_AverageError;
        NewGraphPoint(doc, cycles, average, m_Maximum, m_Minimum);
        NewGraphPoint(doc, cycles, average, m_Maximum, m_Minimum);
        doc.m_GraphPointCount += 2;
        if (doc.m_GraphPointCount > kMaxGraphPoints) doc.m_GraphPoints.erase(doc.m_GraphPoints.begin());
        if (doc.m_TargetErrorMode == 0 && average < doc.m_TargetError)
            status = StatusAverageBelowTarget;
        else if (doc.m_TargetErrorMode == 1 && m_AllBelow)
            status = StatusAllBelowTarget;
        else if (m_TargetReached)
            status = doc.m_ValidatingMode == 0 ? StatusValidatingInRange : StatusValidatingCorrect;
        else
            status = StatusStopped;
        doc.m_Status = status;
        if (doc.m_RefreshRequest.exchange(false)) AnswerQueryingRows(doc, 1);
    }
    app.Views().PostProgress(doc, cycles, status);
    if (!m_StoppedOnRequest) doc.RefreshViews();
    if (cycles != m_CyclesAtRunStart) doc.SetModified();
}

}  // namespace quorin
