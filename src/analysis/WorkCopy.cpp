#include "analysis/WorkCopy.h"

#include "network/NetworkEngine.h"

namespace quorin {

// Answers every question with its default and shows nothing.
class CWorkApp::CSilent : public IPrompts, public IShell, public IViews {
public:
    int MessageBox(const CMessage& message) override { return message.DefaultButton; }
    bool FileDialog(CFileDialogRequest&) override { return false; }
    int ShowDialog(CDialogForm&) override { return IdCancel; }
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm&) override { return nullptr; }
    void SetWaitCursor(bool) override {}
    bool OpenFile(const std::string&) override { return false; }
    void RefreshViews(CQuorinDoc&) override {}
    void PostProgress(CQuorinDoc&, int, int) override {}
    void PumpEvents() override {}
};

CWorkApp::CWorkApp(IClock& clock) : m_Silent(std::make_unique<CSilent>()) {
    CPlatform platform;
    platform.Prompts = m_Silent.get();
    platform.Clock = &clock;
    platform.Settings = &m_Settings;
    platform.Shell = m_Silent.get();
    platform.Views = m_Silent.get();
    m_App = std::make_unique<CQuorinApp>(platform);
}

CWorkApp::~CWorkApp() = default;

void CopyForWork(CQuorinDoc& from, CQuorinDoc& to) {
    // Weights held in a packed pass of this thread must reach the records first.
    SyncNetworkRecords(from);
    BumpNetworkGeneration(to);
    to.m_Examples = from.m_Examples;
    to.m_InOuts = from.m_InOuts;
    to.m_Weights = from.m_Weights;
    to.m_Nodes = from.m_Nodes;
    to.m_Rules = from.m_Rules;
    to.m_HashTexts = from.m_HashTexts;
    to.m_Images = from.m_Images;
    to.m_Associations = from.m_Associations;
    to.m_GraphPoints.clear();
    to.m_RowCount = from.m_RowCount;
    to.m_ColCount = from.m_ColCount;
    to.m_UpperLimit = from.m_UpperLimit;
    to.m_LowerLimit = from.m_LowerLimit;
    to.m_Middle = from.m_Middle;
    to.m_MissingDataChoice = from.m_MissingDataChoice;
    to.m_WithinPercentage = from.m_WithinPercentage;
    to.m_ValidatingMode = from.m_ValidatingMode;
    to.m_NetworkExists = from.m_NetworkExists;
    to.m_LearningRate = from.m_LearningRate;
    to.m_Momentum = from.m_Momentum;
    to.m_DecayLearningRate = from.m_DecayLearningRate;
    to.m_DecayMomentum = from.m_DecayMomentum;
    to.m_TargetError = from.m_TargetError;
    to.m_TargetErrorMode = from.m_TargetErrorMode;
    to.m_PruningCycles = from.m_PruningCycles;
    to.m_PruningThreshold = from.m_PruningThreshold;
    to.m_PruningOption = from.m_PruningOption;
    to.m_ConnectionPruning = from.m_ConnectionPruning;
    to.m_FileStatus = from.m_FileStatus;
    to.m_NodeCount = from.m_NodeCount;
    to.m_LearningCycles = from.m_LearningCycles.load();
    to.m_StartLearningCycles = from.m_StartLearningCycles;
    to.m_LastValidatingResult = from.m_LastValidatingResult.load();
    to.m_CanValidate = from.m_CanValidate.load();
    to.m_PathName = from.m_PathName;
    to.m_ViewsMayRedraw = false;
}

void CopyLearningState(CQuorinDoc& from, CQuorinDoc& to) {
    SyncNetworkRecords(from);
    SyncNetworkRecords(to);
    BumpNetworkGeneration(to);
    to.m_Weights = from.m_Weights;
    to.m_Nodes = from.m_Nodes;
    const size_t rows = std::min(from.m_Examples.size(), to.m_Examples.size());
    if (!from.m_ExampleErrors.empty() || !to.m_ExampleErrors.empty())
        for (size_t r = 0; r < rows; ++r) to.SetExampleError(r, from.ExampleError(r));
    to.m_GraphPoints = from.m_GraphPoints;
    to.m_LearningCycles = from.m_LearningCycles.load();
    to.m_StartLearningCycles = from.m_StartLearningCycles;
    to.m_PruningOption = from.m_PruningOption;
    to.m_ConnectionPruning = from.m_ConnectionPruning;
    to.m_LastValidatingResult = from.m_LastValidatingResult.load();
    to.m_CanValidate = from.m_CanValidate.load();
    to.m_FileStatus = from.m_FileStatus;
}

}  // namespace quorin
