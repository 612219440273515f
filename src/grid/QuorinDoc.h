#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/Association.h"
#include "coding/CellFunctionState.h"
#include "coding/HashText.h"
#include "coding/Image.h"
#include "files/AutoSaveState.h"
#include "grid/DocumentWorker.h"
#include "coding/ImageState.h"
#include "grid/Example.h"
#include "grid/InOut.h"
#include "grid/MissingValue.h"
#include "network/ExtendSettings.h"
#include "network/GraphPoint.h"
#include "network/Node.h"
#include "network/Rules.h"
#include "network/Weight.h"
#include "platform/QuorinApp.h"

namespace quorin {

// A colour as stored: red in the lowest byte, then green, then blue.
using Colour = std::uint32_t;
constexpr Colour MakeColour(int r, int g, int b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

enum EColour {
    NegativeWeightsColour,
    PositiveWeightsColour,
    OutputNodesColour,
    HiddenNodesColour,
    InputNodesColour,
    InputLabelsColour,
    OutputLabelsColour,
    TrainingLabelsColour,
    ValidatingLabelsColour,
    QueryingLabelsColour,
    ColourCount
};

enum EMissingDataChoice : std::int32_t { MissingMedian = 0, MissingHighest = 1, MissingLowest = 2, MissingAverage = 3 };

// Document status codes.
enum EStatus : std::int32_t {
    StatusValidatingInRange = 7,
    StatusValidatingCorrect = 8,
    StatusAverageBelowTarget = 11,
    StatusAllBelowTarget = 12,
    StatusLearning = 14,
    StatusNotLearning = 15,
    StatusAssociating = 16,
    StatusNotAssociating = 17,
    StatusStopped = 18,
    // Progress of a large document file being read or written: the count is a percentage.
    StatusReadingFile = 19,
    StatusWritingFile = 20
};

inline bool IsFileProgress(int status) { return status == StatusReadingFile || status == StatusWritingFile; }

// One open file: the Grid, the network, the learning graph, the optional lists, the
// settings and controls, and the flags the worker threads share with the user interface.
// The document owns the state; the subsystems' operations take it by reference.
class CQuorinDoc {
public:
    explicit CQuorinDoc(CQuorinApp& app);
    ~CQuorinDoc();
    CQuorinDoc(const CQuorinDoc&) = delete;
    CQuorinDoc& operator=(const CQuorinDoc&) = delete;

    CQuorinApp& App() { return m_App; }
    const CQuorinApp& App() const { return m_App; }

    // ---- the nine record lists; a record's position is its number ----
    std::vector<CExample> m_Examples;
    std::vector<CInOut> m_InOuts;
    std::vector<CWeight> m_Weights;
    std::vector<CNode> m_Nodes;
    std::vector<CGraphPoint> m_GraphPoints;
    std::vector<CAssociation> m_Associations;
    std::vector<CRules> m_Rules;
    std::vector<CHashText> m_HashTexts;
    std::vector<CImage> m_Images;
    // Each row's error of the last learning or validating pass; not stored in the file. Rows
    // past its end have error 0, so it stays empty until a pass sets one. Rows added at the
    // head, deleted or removed as duplicates take their errors along.
    std::vector<double> m_ExampleErrors;
    double ExampleError(std::size_t row) const {
        return row < m_ExampleErrors.size() ? m_ExampleErrors[row] : 0.0;
    }
    // Called before a pass on the thread that starts it, so that the pass never reallocates
    // what the user interface reads.
    void SizeExampleErrors() { m_ExampleErrors.resize(m_Examples.size(), 0.0); }
    void SetExampleError(std::size_t row, double error) {
        if (row >= m_ExampleErrors.size()) SizeExampleErrors();
        m_ExampleErrors[row] = error;
    }

    // ---- Grid ----
    std::int32_t m_RowCount = 0;
    std::int32_t m_ColCount = 0;
    double m_UpperLimit = 1.0;
    double m_LowerLimit = 0.0;
    double m_Middle = 0.5;
    std::int32_t m_MissingDataChoice = MissingMedian;
    std::int32_t m_ExamplePreset = 4;  // Query dialog's preset choice; not stored
    std::atomic<bool> m_ViewsMayRedraw{false};

    // ---- stored settings, in the order the file keeps them ----
    std::int32_t m_SpecialBiases = 0;
    std::int32_t m_SpecialGrid = 0;
    std::int32_t m_SpecialGraph = 0;
    std::int32_t m_SpecialWeights = 0;
    std::array<Colour, ColourCount> m_Colours{};
    std::int32_t m_ReconfigSwitches = 0;  // bit 0 manual reconfiguration, bits 1..3 grow HL1..3
    std::int32_t m_StopAfter = 0;
    std::int32_t m_OptimiseLearningRate = 0;
    std::int32_t m_OptimiseMomentum = 0;
    double m_WithinPercentage = 10.0;
    std::int32_t m_NetworkExists = 0;
    double m_ValidatingTarget = 100.0;
    std::int32_t m_CyclesBeforeFirstValidating = 100;
    std::int32_t m_CyclesPerValidating = 100;
    double m_TargetError = 0.05;
    std::int32_t m_NodeCount = 0;
    std::int32_t m_GrowLayer1 = 0;
    std::int32_t m_DecayMomentum = 0;
    std::int32_t m_DecayLearningRate = 0;
    double m_Momentum = 0.8;
    double m_LearningRate = 0.6;
    std::atomic<std::int32_t> m_LearningCycles{0};
    std::int32_t m_TargetErrorMode = 0;  // 0 average, 1 all
    std::int32_t m_ValidatingMode = 0;   // 0 Within, 1 Correct
    std::atomic<double> m_AverageError{1.0};
    double m_StopSeconds = 20.0;
    // current-format block
    std::int32_t m_AutoSavePeriod = 100;
    double m_LowestErrorSaved = 1.0;
    double m_HighestValidatingSaved = -1.0;
    std::int32_t m_AutoSaveFlags = 0;  // written under m_NetworkMutex while learning runs
    std::int32_t m_PruningCycles = 10;
    std::int32_t m_LoadCount = 0;
    std::int32_t m_FileStatus = 11;
    double m_PruningThreshold = 0.0;

    // ---- file ----
    std::string m_PathName;            // empty until saved or opened
    bool m_CurrentFormat = true;       // false: an old-format file whose conversion was declined
    std::atomic<bool> m_Modified{false};

    // ---- learning state shared with the worker threads ----
    std::atomic<std::int32_t> m_Status{StatusStopped};
    std::atomic<bool> m_Learning{false};
    std::atomic<bool> m_StopRequest{false};
    std::atomic<bool> m_AssociatingStopRequest{false};
    std::atomic<bool> m_ValidateNowRequest{false};
    std::atomic<bool> m_Associating{false};
    std::atomic<bool> m_LeavingOut{false};  // a Leave Some Out run is in progress
    std::atomic<double> m_LastValidatingResult{0.0};
    // The validating results of this session, under m_NetworkMutex; forgotten with learning.
    std::vector<CValidatingPoint> m_ValidatingHistory;
    std::atomic<std::int32_t> m_ValidatingCount{0};  // results since learning was forgotten
    // Held around a learning cycle and around a refresh of the Querying rows, so that
    // a reader never sees half-updated weights.
    std::mutex m_NetworkMutex;

    // ---- the worker thread, learning or associating: stop rules, validation, controls ----
    // While it runs, the network, the controls, the graph points and the Grid rows are
    // touched only under m_NetworkMutex (the worker takes it around each learning cycle).
    CDocumentWorker m_Worker{*this};
    // An automatic refresh found the network busy: the worker answers the Querying rows
    // between two cycles instead.
    std::atomic<bool> m_RefreshRequest{false};
    std::atomic<std::int32_t> m_CanValidate{0};
    std::atomic<std::int32_t> m_GraphInterval{1};
    std::int32_t m_GraphPointCount = 0;  // caps the learning graph
    std::int32_t m_StopIfValidatingDecreases = 0;
    std::int32_t m_StopOnCycle = 0;
    std::int32_t m_StopCycle = 0;
    std::int32_t m_RandomValidatingCount = 0;
    CExtendSettings m_Extend;

    // ---- Auto Save: confirmed files and the backup clock, not stored ----
    CAutoSaveState m_AutoSave;
    // ---- column association detection ----
    // The associating run (on m_Worker) touches the columns' types, the network and the
    // association list only under m_NetworkMutex.
    std::atomic<std::int32_t> m_AssociationCount{0};  // associations found by the current run
    std::atomic<bool> m_AssociatingStopped{false};     // the last run ended before its last column
    bool m_AssociationsHeaderWritten = false;          // since the document was opened

    // ---- trace and log files ----
    bool m_Logging = false;           // the log is being written
    std::string m_LogFileName;
    bool m_LogFileConfirmed = false;  // the user confirmed the log file since the document opened
    std::uint32_t m_NextLogTime = 0;  // tick count before which unforced log lines wait
    // The view shows the Grid display (kept by the views; the log reads it while learning).
    std::atomic<bool> m_GridDisplayShown{true};
    // The view's current cell: defaults of the range commands, moved by the Grid check.
    std::int32_t m_CurrentRow = 0;
    std::int32_t m_CurrentCol = 0;

    // ---- network engine ----
    std::int32_t m_GrowLayer2 = 0;             // grow switches of the New Network dialog
    std::int32_t m_GrowLayer3 = 0;
    std::int32_t m_PruningOption = 0;          // count updates of small weights
    std::int32_t m_ConnectionPruning = 0;      // freeze weights that stayed small
    std::int32_t m_StartLearningCycles = 0;    // LearningCycles when learning was last forgotten
    // Bumped by every change of the network's records other than a learning pass's updates
    // (see BumpNetworkGeneration); a packed copy made before a bump is never written back.
    std::atomic<std::uint64_t> m_NetworkGeneration{0};

    // ---- network analysis: the rankings' order and cursors, not stored ----
    std::int32_t m_RankingAscending = 0;
    double m_PreviousSumOfWeights = 3.0e38;
    double m_PreviousError = 3.0e38;

    // ---- column value coding ----
    // The formula of the "Set Function" dialog and its captured operands; lost on emptying.
    CCellFunction m_CellFunction;
    CImageState m_ImageState;  // not stored

    // ---- import and scripts: import settings, not stored in the file ----
    std::int32_t m_ImportTab = 0;
    std::int32_t m_ImportSpace = 0;
    std::int32_t m_ImportSemicolon = 0;
    std::int32_t m_ImportComma = 0;
    std::int32_t m_ImportColon = 0;
    std::int32_t m_ImportStop = 0;
    std::int32_t m_ImportOther = 0;
    std::string m_ImportOtherText;
    std::int32_t m_ImportRowNames = 0;   // 0 "#" and index, 1 first field
    std::int32_t m_ImportRowType = 0;    // 0..3, 4 ask while importing
    std::int32_t m_ImportRowsLeft = 0;
    std::int32_t m_ImportAllRows = 0;
    std::int32_t m_ImportColumnsNext = 0;
    std::int32_t m_ImportColumnType = 0;
    std::int32_t m_ImportColumnMode = 0;

    // ---- Grid operations ----
    CExample& NewExample(const std::string& name, int type, int head, int modified);
    CInOut& NewInOut(const std::string& name, int type, int newColumn);
    int AddRow(int ask, int type, int head, int modified);
    int AddCol(int ask, int output, int newColumn);
    int DeleteRow(int row, int ask, int modified);
    int DeleteCol(int column, int ask);
    void MoveRowsDown(int first);
    void MoveColsRight(int first);
    void CopyExample(CExample& destination, const CExample& source);
    void CopyInOut(CInOut& destination, const CInOut& source);
    void SetExampleName(int row, const std::string& name, int modified);
    void SetExampleType(int row, int type);
    void SetInOutName(int column, const std::string& name);
    void SetInOutTypeAndMode(int column, int type, int mode);
    void SetInputLock(int column, int lock);

    // ---- values and normalisation ----
    void SetRowCount();
    void SetColCount();
    double SetLowValue(int col);
    double SetHighValue(int col);
    // Both ranges of columns [0, columns) in one walk over the rows; false when it does not apply.
    bool SetRangesRowMajor(int columns, std::vector<double>& low, std::vector<double>& high);
    void NormaliseInOutValues(int col, int row, double low, double high);
    void SetValue(int col, int row, double value, int update, int normalise, int singleRow,
                  int modified);
    // Re-normalise every column by setting row 0's own value again.
    void RenormaliseAll(int modified);
    // The average missing-data choice: every column's AverageValue, then re-normalise.
    void ComputeColumnAverages();
    // Only the AverageValue of every column, for callers that re-normalise themselves.
    void SetColumnAverages();
    double InitialNormalisedValue() const;

    // ---- lifecycle ----
    void DeleteContents();
    void InitDocument();
    void SetDefaults();
    int NewDocument();
    int OnNewDocument() { return NewDocument(); }
    int OpenDocument(const std::string& path, int showInformation);
    int OnOpenDocument(const std::string& path) { return OpenDocument(path, 1); }
    // Returns 1 when the document closed, 0 when closing was refused.
    int OnCloseDocument();

    // ---- checks ----
    int CanLearn();
    int CanValidate() const;
    int ValidatingInRange();

    // A row or column number that names a record; operations ignore any other.
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_Examples.size()); }
    bool ValidCol(int col) const { return col >= 0 && col < static_cast<int>(m_InOuts.size()); }
    // A Grid cell: a row, a column of the Grid, and a value of that row for it.
    bool ValidCell(int column, int row) const {
        return ValidRow(row) && column >= 0 && column < m_ColCount && ValidCol(column) &&
               column < static_cast<int>(m_Examples[row].Values().size());
    }

    void SetModified(bool modified = true) { m_Modified.store(modified); }
    bool IsModified() const { return m_Modified.load(); }
    void RefreshViews();

private:
    CQuorinApp& m_App;
};

// The document's title as questions and windows show it: the file name, or "Untitled".
std::string DocumentTitle(const CQuorinDoc& doc);

}  // namespace quorin
