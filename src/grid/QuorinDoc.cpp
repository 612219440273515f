// The document's lifecycle: creation, emptying, initialising, opening and closing.
#include "grid/QuorinDoc.h"

#include "coding/HashTexts.h"
#include "coding/ImageList.h"
#include "grid/DocumentFile.h"
#include "network/Controls.h"
#include "network/Learning.h"
#include "network/LearningInfo.h"
#include "platform/StringFormat.h"

namespace quorin {

CQuorinDoc::CQuorinDoc(CQuorinApp& app) : m_App(app) { SetDefaults(); }

// A worker thread must not outlive its document: ask it to stop and join it.
CQuorinDoc::~CQuorinDoc() { m_Worker.End(); }

std::string DocumentTitle(const CQuorinDoc& doc) {
    const std::string& path = doc.m_PathName;
    if (path.empty()) return "Untitled";
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void CQuorinDoc::RefreshViews() { m_App.Views().RefreshViews(*this); }

void CQuorinDoc::SetDefaults() {
    m_App.Trace("SetDefaults");
    m_Colours[NegativeWeightsColour] = MakeColour(255, 50, 50);
    m_Colours[PositiveWeightsColour] = MakeColour(0, 255, 0);
    m_Colours[OutputNodesColour] = MakeColour(255, 0, 255);
    m_Colours[HiddenNodesColour] = MakeColour(0, 255, 255);
    m_Colours[InputNodesColour] = MakeColour(255, 255, 0);
    m_Colours[InputLabelsColour] = MakeColour(0, 0, 255);
    m_Colours[OutputLabelsColour] = MakeColour(255, 0, 0);
    m_Colours[TrainingLabelsColour] = MakeColour(0, 0, 255);
    m_Colours[ValidatingLabelsColour] = MakeColour(0, 128, 0);
    m_Colours[QueryingLabelsColour] = MakeColour(255, 0, 0);
}

void CQuorinDoc::DeleteContents() {
    m_App.Trace("DeleteContents");
    m_Examples.clear();
    m_ExampleErrors.clear();
    m_InOuts.clear();
    ++m_NetworkGeneration;  // a packed copy of the old network must not be written back
    m_Weights.clear();
    m_Nodes.clear();
    m_GraphPoints.clear();
    m_Associations.clear();
    m_Rules.clear();
    m_HashTexts.clear();
    m_Images.clear();
    m_CellFunction = {};
    m_ImageState.Signatures.clear();
    m_RowCount = 0;
    m_ColCount = 0;
    // Without nodes and weights no network exists, whatever the flag said before.
    m_NetworkExists = 0;
}

void CQuorinDoc::InitDocument() {
    m_App.Trace("InitDocument");
    m_ExampleErrors.clear();
    for (CInOut& io : m_InOuts) io.AssociatedColumn = -1;
    m_LastValidatingResult = 0.0;
    m_StopRequest = false;
    m_ValidateNowRequest = false;
    m_AssociatingStopRequest = false;
    m_AssociationsHeaderWritten = false;
    m_ViewsMayRedraw = true;
    m_Logging = false;
    m_LogFileConfirmed = false;
    m_NextLogTime = m_App.Clock().GetTickCount();
    m_AutoSave.Reset(m_App.Clock().GetTickCount());
    // Each document starts with tracing off and the warning level at 1.
    m_App.TraceWriter().Close();
    m_App.m_WarningLevel = 1;
    m_App.m_DiagnosticLevel = 0;
    m_App.m_TraceLevel = 0;
    m_ImageState.CurrentImageName = kNoImage;
    SetRowCount();
    SetColCount();
    // Every column record, also when a Grid without rows leaves the cached count at 0.
    const int columns = static_cast<int>(m_InOuts.size());
    std::vector<double> low;
    std::vector<double> high;
    const bool ranged = SetRangesRowMajor(columns, low, high);
    for (int c = 0; c < columns; ++c) {
        SetInputLock(c, 0);
        if (ranged) continue;
        SetHighValue(c);
        SetLowValue(c);
    }
    for (int c = 0; c < columns; ++c) {
        if (m_InOuts[c].Mode == Text) PurgeHashTexts(*this, c);
        if (m_InOuts[c].Mode == Image) PurgeImages(*this, c);
    }
}

int CQuorinDoc::NewDocument() {
    m_App.Trace("NewDocument");
    // The framework's new-document step: empty the document and forget its file. A
    // document object may be reused, so the settings that ResetNetwork and the steps
    // below leave alone also return to the values of a fresh document.
    DeleteContents();
    m_PathName.clear();
    SetModified(false);
    m_OptimiseLearningRate = 0;
    m_OptimiseMomentum = 0;
    m_GrowLayer1 = 0;
    m_AverageError = 1.0;
    m_AutoSavePeriod = 100;
    m_LoadCount = 0;
    SetDefaults();
    InitDocument();
    m_UpperLimit = 1.0;
    m_LowerLimit = 0.0;
    m_Middle = 0.5;
    m_LowestErrorSaved = 1.0;
    m_HighestValidatingSaved = -1.0;
    m_FileStatus = 11;
    m_CurrentFormat = true;
    m_MissingDataChoice = MissingMedian;
    m_ExamplePreset = 4;
    ResetNetwork(*this);
    return 1;
}

int CQuorinDoc::OpenDocument(const std::string& path, int showInformation) {
    m_App.Trace("OpenDocument   Path %s ShowInformation %d", path.c_str(), showInformation);
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".tvq") != 0) {
        m_App.Prompts().Inform(path +
                               "\nmay not be in Quorin-plus format.\n\nTo load the file first "
                               "create a new grid\nto enable the Import function.\n\n        "
                               "File -> Import File");
        return 0;
    }
    DeleteContents();
    std::string error;
    if (!ReadDocumentFile(*this, path, error)) {
        DeleteContents();
        m_App.Prompts().MessageBox(
            {Format("Unable to read the document %s:\n%s", path.c_str(), error.c_str()),
             EButtons::Ok, EIcon::Warning, IdOk});
        return 0;
    }
    m_PathName = path;
    SetModified(false);
    InitDocument();
    m_UpperLimit = 1.0;
    m_LowerLimit = 0.0;
    m_Middle = 0.5;
    if (m_App.Settings().GetInt("Information", "ShowInfo", 0) == 0 && showInformation)
        ShowInfo(*this, path);
    m_ExamplePreset = 4;
    if (m_MissingDataChoice == MissingAverage) SetColumnAverages();
    RenormaliseAll(0);
    return 1;
}

int CQuorinDoc::OnCloseDocument() {
    m_App.Trace("OnCloseDocument");
    const int threads = m_App.ThreadCount();
    if (threads >= 2) {
        m_App.Prompts().Inform(Format(
            "%d threads are still calculating.\n\nBefore closing the file make sure that\n"
            "learning and associating has stopped.",
            threads));
        return 0;
    }
    if (m_App.m_GettingStartedRunning) {
        m_App.Prompts().Inform("Please finish or cancel \"Getting Started\" before closing the file.");
        return 0;
    }
    m_App.TraceWriter().Close();
    DeleteContents();
    return 1;
}

}  // namespace quorin
