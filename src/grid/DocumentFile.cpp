// The document's serialisation. One field list per record and per settings group,
// templated over the archive, keeps the reader and the writer in step.
#include "grid/DocumentFile.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <mutex>
#include <type_traits>

#include "files/SpecialFiles.h"
#include "grid/Archive.h"
#include "grid/AtomicFile.h"
#include "grid/QuorinDoc.h"
#include "network/NetworkEngine.h"
#include "platform/QuorinApp.h"
#include "platform/Views.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// The record classes, in the order of the lists in the file.
enum EList { GraphPoints, InOuts, Examples, Weights, Nodes, HashTexts, Images, Associations, Rules, ListCount };
constexpr const char* kClassNames[ListCount] = {"CGraphPoint", "CInOut",   "CExample",
                                                "CWeight",     "CNode",    "CHashText",
                                                "CImage",      "CAssociation", "CRules"};
// Fewest bytes one record's fields can take, to refuse counts the file cannot hold.
constexpr std::size_t kMinRecordBytes[ListCount] = {28, 25, 9, 40, 76, 13, 30, 24, 28};
constexpr std::size_t kTagBytes = 2;
// The file status from which each optional list is carried.
constexpr int kStatusOfList[ListCount] = {0, 0, 0, 0, 0, 8, 9, 10, 11};

constexpr double kCurrentFormatOffset = 1000.0;

// The stored settings, named as in the document so that one template copies them.
struct CStoredSettings {
    std::int32_t m_SpecialBiases, m_SpecialGrid, m_SpecialGraph, m_SpecialWeights;
    std::array<Colour, ColourCount> m_Colours;
    std::int32_t m_MissingDataChoice, m_ReconfigSwitches, m_StopAfter, m_OptimiseLearningRate,
        m_OptimiseMomentum;
    double m_WithinPercentage;
    std::int32_t m_NetworkExists;
    double m_ValidatingTarget;
    std::int32_t m_CyclesBeforeFirstValidating, m_CyclesPerValidating;
    double m_TargetError;
    std::int32_t m_NodeCount, m_GrowLayer1, m_DecayMomentum, m_DecayLearningRate;
    double m_Momentum, m_LearningRate;
    std::int32_t m_LearningCycles, m_TargetErrorMode, m_ValidatingMode;
    double m_AverageError, m_StopSeconds;
    std::int32_t m_AutoSavePeriod;
    double m_LowestErrorSaved, m_HighestValidatingSaved;
    std::int32_t m_AutoSaveFlags, m_PruningCycles, m_LoadCount, m_FileStatus;
    double m_PruningThreshold;
};

template <class D, class S>
void CopySettings(D& d, const S& s) {
    d.m_SpecialBiases = s.m_SpecialBiases;
    d.m_SpecialGrid = s.m_SpecialGrid;
    d.m_SpecialGraph = s.m_SpecialGraph;
    d.m_SpecialWeights = s.m_SpecialWeights;
    d.m_Colours = s.m_Colours;
    d.m_MissingDataChoice = s.m_MissingDataChoice;
    d.m_ReconfigSwitches = s.m_ReconfigSwitches;
    d.m_StopAfter = s.m_StopAfter;
    d.m_OptimiseLearningRate = s.m_OptimiseLearningRate;
    d.m_OptimiseMomentum = s.m_OptimiseMomentum;
    d.m_WithinPercentage = s.m_WithinPercentage;
    d.m_NetworkExists = s.m_NetworkExists;
    d.m_ValidatingTarget = s.m_ValidatingTarget;
    d.m_CyclesBeforeFirstValidating = s.m_CyclesBeforeFirstValidating;
    d.m_CyclesPerValidating = s.m_CyclesPerValidating;
    d.m_TargetError = s.m_TargetError;
    d.m_NodeCount = s.m_NodeCount;
    d.m_GrowLayer1 = s.m_GrowLayer1;
    d.m_DecayMomentum = s.m_DecayMomentum;
    d.m_DecayLearningRate = s.m_DecayLearningRate;
    d.m_Momentum = s.m_Momentum;
    d.m_LearningRate = s.m_LearningRate;
    d.m_LearningCycles = static_cast<std::int32_t>(s.m_LearningCycles);
    d.m_TargetErrorMode = s.m_TargetErrorMode;
    d.m_ValidatingMode = s.m_ValidatingMode;
    d.m_AverageError = static_cast<double>(s.m_AverageError);
    d.m_StopSeconds = s.m_StopSeconds;
    d.m_AutoSavePeriod = s.m_AutoSavePeriod;
    d.m_LowestErrorSaved = s.m_LowestErrorSaved;
    d.m_HighestValidatingSaved = s.m_HighestValidatingSaved;
    d.m_AutoSaveFlags = s.m_AutoSaveFlags;
    d.m_PruningCycles = s.m_PruningCycles;
    d.m_LoadCount = s.m_LoadCount;
    d.m_FileStatus = s.m_FileStatus;
    d.m_PruningThreshold = s.m_PruningThreshold;
}

// Offsets 0 to 103.
template <class Ar>
void TransferHead(Ar& ar, CStoredSettings& s) {
    ar.Int32(s.m_SpecialBiases);
    ar.Int32(s.m_SpecialGrid);
    ar.Int32(s.m_SpecialGraph);
    ar.Int32(s.m_SpecialWeights);
    for (Colour& c : s.m_Colours) ar.Dword(c);
    ar.Int32(s.m_MissingDataChoice);
    ar.Int32(s.m_ReconfigSwitches);
    ar.Int32(s.m_StopAfter);
    ar.Int32(s.m_OptimiseLearningRate);
    ar.Int32(s.m_OptimiseMomentum);
    ar.Double(s.m_WithinPercentage);
    ar.Int32(s.m_NetworkExists);
    ar.Double(s.m_ValidatingTarget);
    ar.Int32(s.m_CyclesBeforeFirstValidating);
    ar.Int32(s.m_CyclesPerValidating);
}

// Offsets 112 to 171, after the target error.
template <class Ar>
void TransferTail(Ar& ar, CStoredSettings& s) {
    ar.Int32(s.m_NodeCount);
    ar.Int32(s.m_GrowLayer1);
    ar.Int32(s.m_DecayMomentum);
    ar.Int32(s.m_DecayLearningRate);
    ar.Double(s.m_Momentum);
    ar.Double(s.m_LearningRate);
    ar.Int32(s.m_LearningCycles);
    ar.Int32(s.m_TargetErrorMode);
    ar.Int32(s.m_ValidatingMode);
    ar.Double(s.m_AverageError);
    ar.Double(s.m_StopSeconds);
}

// The current-format block, offsets 172 to 215.
template <class Ar>
void TransferBlock(Ar& ar, CStoredSettings& s) {
    ar.Int32(s.m_AutoSavePeriod);
    ar.Double(s.m_LowestErrorSaved);
    ar.Double(s.m_HighestValidatingSaved);
    ar.Int32(s.m_AutoSaveFlags);
    ar.Int32(s.m_PruningCycles);
    ar.Int32(s.m_LoadCount);
    ar.Int32(s.m_FileStatus);
    ar.Double(s.m_PruningThreshold);
}

// ---- record fields, in file order ----

template <class Ar>
void Transfer(Ar& ar, CGraphPoint& r) {
    ar.Int32(r.Cycles);
    ar.Double(r.AveError);
    ar.Double(r.MaxError);
    ar.Double(r.MinError);
}
template <class Ar>
void Transfer(Ar& ar, CInOut& r) {
    ar.String(r.InOutName);
    ar.Int32(r.InOutType);
    ar.Int32(r.Mode);
    ar.Double(r.LowValue);
    ar.Double(r.HighValue);
}
template <class Ar>
void Transfer(Ar& ar, CExample& r) {
    ar.String(r.ExampleName);
    ar.Int32(std::int32_t{r.ExampleType});
    ar.Doubles(r.Values());
    ar.Doubles(r.NormalisedValues());
}
// A row's values and normalised values share one block, so their counts are checked as
// they are read, and its type, which the row keeps in a byte.
void ReadExample(CArchiveReader& ar, CExample& r, std::size_t row, std::size_t columns) {
    ar.String(r.ExampleName);
    std::int32_t type = 0;
    ar.Int32(type);
    if (ar.Failed()) return;
    if (type < Training || type > Duplicate) {
        ar.Fail(Format("row %zu has type %d", row, type));
        return;
    }
    r.ExampleType = static_cast<std::int8_t>(type);
    const std::uint32_t n = ar.Count(8, "value");
    if (ar.Failed()) return;
    r.Cells.SetSize(n);
    ar.ReadDoubles(r.Values().data(), n);
    const std::uint32_t normalised = ar.Count(8, "value");
    if (ar.Failed()) return;
    if (normalised != n) {
        ar.Fail(Format("row %zu holds %u values and %u normalised values for %zu columns", row, n,
                       normalised, columns));
        return;
    }
    ar.ReadDoubles(r.NormalisedValues().data(), n);
}
template <class Ar>
void Transfer(Ar& ar, CWeight& r) {
    ar.Int32(r.WeightType);
    ar.Int32(r.WeightNumber);
    ar.Int32(r.FromNode);
    ar.Int32(r.ToNode);
    ar.Double(r.Weight);
    ar.Double(r.WeightChange);
    ar.Double(r.PreviousWeightChange);
}
template <class Ar>
void Transfer(Ar& ar, CNode& r) {
    ar.Int32(r.NodeType);
    ar.Int32(r.NodeNumber);
    ar.Int32(r.Layer);
    ar.Int32(r.FirstWeight);
    ar.Int32(r.LastWeight);
    ar.Double(r.NetInput);
    ar.Double(r.Activation);
    ar.Double(r.Error);
    ar.Double(r.Delta);
    ar.Double(r.Bias);
    ar.Double(r.BiasChange);
    ar.Double(r.BiasPreviousChange);
}
template <class Ar>
void Transfer(Ar& ar, CHashText& r) {
    ar.Int32(r.Column);
    ar.Double(r.Code);
    ar.String(r.Text);
}
template <class Ar>
void Transfer(Ar& ar, CImage& r) {
    ar.String(r.ImageName);
    ar.Int32(r.Column);
    ar.Double(r.PairCode);
    ar.Double(r.EdgeCode);
    ar.Double(r.BlockCode);
    ar.String(r.FileName);
}
template <class Ar>
void Transfer(Ar& ar, CAssociation& r) {
    ar.Int32(r.FromCol);
    ar.Int32(r.ToCol);
    ar.Double(r.Strength);
    ar.Double(r.Spare);
}
template <class Ar>
void Transfer(Ar& ar, CRules& r) {
    ar.Int32(r.Col);
    ar.Int32(r.Within);
    ar.Double(r.WithinPercentage);
    ar.Int32(r.WithinScore);
    ar.Int32(r.Correct);
    ar.Int32(r.CorrectScore);
}

// Calls f(listIndex, list) for the lists a file of this format and status carries.
template <class L, class F>
void ForEachList(L& l, bool currentFormat, int fileStatus, F&& f) {
    auto visit = [&](int index, auto& list) {
        if (index < HashTexts || (currentFormat && fileStatus >= kStatusOfList[index])) f(index, list);
    };
    visit(GraphPoints, l.m_GraphPoints);
    visit(InOuts, l.m_InOuts);
    visit(Examples, l.m_Examples);
    visit(Weights, l.m_Weights);
    visit(Nodes, l.m_Nodes);
    visit(HashTexts, l.m_HashTexts);
    visit(Images, l.m_Images);
    visit(Associations, l.m_Associations);
    visit(Rules, l.m_Rules);
}

// Reports how far a large file has been read or written, in steps of a tenth, through the
// document's views; a small file says nothing.
class CFileProgress {
public:
    static constexpr std::size_t kMinBytes = std::size_t{16} << 20;
    static constexpr std::uint32_t kRecordsPerCheck = 4096;

    CFileProgress(CQuorinDoc& doc, int status, std::size_t totalBytes)
        : m_Doc(doc), m_Status(status), m_Total(totalBytes), m_Active(totalBytes >= kMinBytes) {}
    void Report(std::size_t doneBytes) {
        if (!m_Active) return;
        const int percent = static_cast<int>(std::min<std::size_t>(doneBytes, m_Total) * 10 / m_Total) * 10;
        if (percent <= m_Shown) return;
        m_Shown = percent;
        m_Doc.App().Views().PostProgress(m_Doc, percent, m_Status);
    }

private:
    CQuorinDoc& m_Doc;
    int m_Status;
    std::size_t m_Total;
    bool m_Active;
    int m_Shown = -1;
};

// Writers without progress.
inline void ReportProgress(CArchiveSizer&, CFileProgress*) {}
inline void ReportProgress(CArchiveWriter& ar, CFileProgress* progress) {
    if (progress) progress->Report(ar.Size());
}

// The lists of a document being read, named like the document's.
struct CParsedLists {
    std::vector<CGraphPoint> m_GraphPoints;
    std::vector<CInOut> m_InOuts;
    std::vector<CExample> m_Examples;
    std::vector<CWeight> m_Weights;
    std::vector<CNode> m_Nodes;
    std::vector<CHashText> m_HashTexts;
    std::vector<CImage> m_Images;
    std::vector<CAssociation> m_Associations;
    std::vector<CRules> m_Rules;
};

template <class R>
void ReadList(CArchiveReader& ar, int index, std::vector<R>& list, CFileProgress& progress,
              std::size_t columns) {
    const std::uint32_t n = ar.Count(kTagBytes + kMinRecordBytes[index], kClassNames[index]);
    if (ar.Failed()) return;
    list.reserve(n);
    for (std::uint32_t i = 0; i < n && !ar.Failed(); ++i) {
        const std::size_t at = ar.Position();
        const int classId = ar.ObjectTag();
        if (ar.Failed()) return;
        if (classId != index) {
            ar.Fail(Format("a '%s' record at byte %zu stands in the list of '%s' records",
                           kClassNames[classId], at, kClassNames[index]));
            return;
        }
        if constexpr (std::is_same_v<R, CExample>)
            ReadExample(ar, list.emplace_back(), i, columns);
        else
            Transfer(ar, list.emplace_back());
        if (ar.Failed()) list.pop_back();
        if (i % CFileProgress::kRecordsPerCheck == 0) progress.Report(ar.Position());
    }
}

template <class Ar, class R>
void WriteList(Ar& ar, int index, std::vector<R>& list, CFileProgress* progress) {
    ar.Count(list.size());
    std::uint32_t sinceCheck = 0;
    for (R& record : list) {
        ar.ObjectTag(kClassNames[index]);
        Transfer(ar, record);
        if (++sinceCheck == CFileProgress::kRecordsPerCheck) {
            sinceCheck = 0;
            ReportProgress(ar, progress);
        }
    }
}

// Cross-record consistency that later operations index by. Returns "" when sound.
std::string CheckLists(const CParsedLists& l) {
    const std::size_t cols = l.m_InOuts.size();
    for (std::size_t c = 0; c < cols; ++c) {
        const CInOut& io = l.m_InOuts[c];
        if (io.InOutType < Input || io.InOutType > ExcludedCol)
            return Format("column %zu has type %d", c, io.InOutType);
        if (io.Mode < Real || io.Mode > Image) return Format("column %zu has mode %d", c, io.Mode);
    }
    for (std::size_t r = 0; r < l.m_Examples.size(); ++r) {
        const CExample& ex = l.m_Examples[r];
        if (ex.Values().size() != cols)
            return Format("row %zu holds %zu values for %zu columns", r, ex.Values().size(), cols);
    }
    const std::size_t nodes = l.m_Nodes.size();
    const std::size_t weights = l.m_Weights.size();
    for (std::size_t w = 0; w < weights; ++w) {
        const CWeight& wt = l.m_Weights[w];
        if (wt.FromNode < 0 || static_cast<std::size_t>(wt.FromNode) >= nodes || wt.ToNode < 0 ||
            static_cast<std::size_t>(wt.ToNode) >= nodes)
            return Format("weight %zu connects node %d to node %d but there are %zu nodes", w,
                          wt.FromNode, wt.ToNode, nodes);
    }
    for (std::size_t n = 0; n < nodes; ++n) {
        const CNode& node = l.m_Nodes[n];
        if (node.NodeNumber != static_cast<std::int64_t>(n))
            return Format("node %zu is numbered %d", n, node.NodeNumber);
        const bool layerOk = (node.Layer >= kInputLayer && node.Layer <= 3) || node.Layer == kOutputLayer;
        if (node.NodeType < InputNode || node.NodeType > OutputNode || !layerOk)
            return Format("node %zu has type %d in layer %d", n, node.NodeType, node.Layer);
        const bool unset = node.FirstWeight == -1 && node.LastWeight == -1;
        const bool inRange = node.FirstWeight >= 0 && node.FirstWeight <= node.LastWeight &&
                             static_cast<std::size_t>(node.LastWeight) <= weights;
        if (!unset && !inRange)
            return Format("node %zu has weights %d to %d but there are %zu weights", n,
                          node.FirstWeight, node.LastWeight, weights);
    }
    return {};
}

// The current-format settings an old-format file lacks.
template <class S>
void SetOldFormatBlock(S& s) {
    s.m_AutoSavePeriod = 100;
    s.m_LowestErrorSaved = 1.0;
    s.m_HighestValidatingSaved = -1.0;
    s.m_PruningThreshold = 0.0;
    s.m_AutoSaveFlags = 0;
    s.m_PruningCycles = 10;
    s.m_LoadCount = 0;
    s.m_FileStatus = 0;
}

bool BadAverageError(double e) { return e > 1.0 || !(e >= 0.0); }

// A control that is not a finite number takes its default; no dialog ever stores one.
void RepairNonFinite(double& v, double defaultValue) {
    if (!std::isfinite(v)) v = defaultValue;
}

template <class Ar>
void EncodeSettingsAndLists(CQuorinDoc& doc, const std::function<void()>& betweenSettingsAndLists,
                            Ar& ar, CFileProgress* progress = nullptr) {
    CStoredSettings s;
    CopySettings(s, doc);
    const bool current = doc.m_CurrentFormat;
    TransferHead(ar, s);
    double target = s.m_TargetError;
    if (current && target < kCurrentFormatOffset) target += kCurrentFormatOffset;
    ar.Double(target);
    TransferTail(ar, s);
    if (current) TransferBlock(ar, s);
    if (betweenSettingsAndLists) betweenSettingsAndLists();
    ForEachList(doc, current, doc.m_FileStatus,
                [&](int index, auto& list) { WriteList(ar, index, list, progress); });
    ReportProgress(ar, progress);
}

// Encodes into `ar`. The size, counted first, is the measure of the progress and, when `ar`
// keeps the whole file, reserved at once: a large Grid would otherwise be copied several
// times as the buffer grows.
void Encode(CQuorinDoc& doc, const std::function<void()>& betweenSettingsAndLists, CArchiveWriter& ar,
            bool whole = true) {
    CArchiveSizer sizer;
    EncodeSettingsAndLists(doc, {}, sizer);
    if (whole) ar.Reserve(sizer.Size());
    CFileProgress progress(doc, StatusWritingFile, sizer.Size());
    EncodeSettingsAndLists(doc, betweenSettingsAndLists, ar, &progress);
}

// The repairs a save makes before encoding.
void PrepareForSave(CQuorinDoc& doc) {
    // Inside a learning pass the weight records lag the packed copy.
    SyncNetworkRecords(doc);
    // The status follows the lists, so a list created without raising it is not lost.
    if (doc.m_CurrentFormat && doc.m_FileStatus < FileStatusNeeded(doc))
        doc.m_FileStatus = FileStatusNeeded(doc);
    // A target error outside this range would make the file read back in the wrong format.
    if (!(doc.m_TargetError >= 0.0 && doc.m_TargetError < kCurrentFormatOffset)) doc.m_TargetError = 0.05;
}

// ... and after it.
void FinishSave(CQuorinDoc& doc) {
    if (BadAverageError(doc.m_AverageError)) doc.m_AverageError = 1.0;
    doc.App().Trace("FileStatus  %d", doc.m_FileStatus);
}

}  // namespace

std::string OldFormatQuestion(const std::string& path) {
    return path +
           "\n  is in an old file format used before Quorin V5.\n\nThe new file format supports Auto "
           "Save and future\ndevelopments but cannot be used with old versions\nof Quorin. The old "
           "file format does not support\nAuto Save and some future developments but can be\nused "
           "with any of the versions of Quorin.\n\nDo you want to convert the file to the new format?";
}

int FileStatusNeeded(const CQuorinDoc& doc) {
    if (!doc.m_Rules.empty()) return 11;
    if (!doc.m_Associations.empty()) return 10;
    if (!doc.m_Images.empty()) return 9;
    if (!doc.m_HashTexts.empty()) return 8;
    return 0;
}

namespace {
bool ReadDocument(CQuorinDoc& doc, CArchiveReader& ar, std::size_t fileSize, const std::string& path,
                  std::string& error) {
    CStoredSettings s{};
    double target = 0.0;
    TransferHead(ar, s);
    ar.Double(target);
    TransferTail(ar, s);
    if (s.m_MissingDataChoice < MissingMedian || s.m_MissingDataChoice > MissingAverage)
        s.m_MissingDataChoice = MissingMedian;
    const bool current = target >= kCurrentFormatOffset;
    if (current) {
        s.m_TargetError = target - kCurrentFormatOffset;
        TransferBlock(ar, s);
        if (!(s.m_LowestErrorSaved >= 0.00001) || s.m_LowestErrorSaved > 1.0) s.m_LowestErrorSaved = 1.0;
        if (!(s.m_HighestValidatingSaved >= -1.0) || s.m_HighestValidatingSaved > 100.0)
            s.m_HighestValidatingSaved = -1.0;
        if (s.m_LoadCount < 0 || s.m_LoadCount > 100) s.m_LoadCount = 0;
        const int st = s.m_FileStatus;
        if (st != 0 && st != 8 && st != 9 && st != 10 && st != 11) s.m_FileStatus = 0;
        if (s.m_PruningCycles < 10 || s.m_PruningCycles > 10000 || !(s.m_PruningThreshold >= 0.0) ||
            s.m_PruningThreshold > 0.5) {
            s.m_PruningCycles = 10;
            s.m_PruningThreshold = 0.0;
        }
        ++s.m_LoadCount;
    } else {
        s.m_TargetError = target;
        SetOldFormatBlock(s);
    }
    if (BadAverageError(s.m_AverageError)) s.m_AverageError = 1.0;
    RepairNonFinite(s.m_WithinPercentage, 10.0);
    RepairNonFinite(s.m_ValidatingTarget, 100.0);
    // Outside this range the target error would not survive the next save.
    if (!(s.m_TargetError >= 0.0 && s.m_TargetError < kCurrentFormatOffset)) s.m_TargetError = 0.05;
    RepairNonFinite(s.m_Momentum, 0.8);
    RepairNonFinite(s.m_LearningRate, 0.6);
    RepairNonFinite(s.m_StopSeconds, 20.0);

    CParsedLists lists;
    CFileProgress progress(doc, StatusReadingFile, fileSize);
    ForEachList(lists, current, s.m_FileStatus, [&](int index, auto& list) {
        if (!ar.Failed()) ReadList(ar, index, list, progress, lists.m_InOuts.size());
    });
    if (!ar.Failed()) progress.Report(fileSize);
    error = ar.Failed() ? ar.Error() : CheckLists(lists);
    if (!error.empty()) {
        doc.DeleteContents();
        return false;
    }

    // Asked only once the whole file has proved readable.
    bool currentFormat = current;
    if (!current) currentFormat = doc.App().Prompts().AskYesNo(OldFormatQuestion(path));

    CopySettings(doc, s);
    doc.m_CurrentFormat = currentFormat;
    doc.m_GraphPoints = std::move(lists.m_GraphPoints);
    doc.m_InOuts = std::move(lists.m_InOuts);
    doc.m_Examples = std::move(lists.m_Examples);
    doc.m_ExampleErrors.clear();
    BumpNetworkGeneration(doc);
    doc.m_Weights = std::move(lists.m_Weights);
    doc.m_Nodes = std::move(lists.m_Nodes);
    doc.m_HashTexts = std::move(lists.m_HashTexts);
    doc.m_Images = std::move(lists.m_Images);
    doc.m_Associations = std::move(lists.m_Associations);
    doc.m_Rules = std::move(lists.m_Rules);
    doc.SetRowCount();
    doc.SetColCount();
    doc.App().Trace("FileStatus  %d", doc.m_FileStatus);
    return true;
}

}  // namespace

bool ReadDocumentBytes(CQuorinDoc& doc, std::span<const std::uint8_t> bytes, const std::string& path,
                       std::string& error) {
    CArchiveReader ar(bytes, kClassNames);
    return ReadDocument(doc, ar, bytes.size(), path, error);
}

bool ReadDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error) {
    // Read through a bounded buffer: the rows and the whole file never share the memory.
    std::size_t size = 0;
    const int fd = OpenFileForReading(path, kMaxDocumentFileSize, size, error);
    if (fd < 0) {
        doc.DeleteContents();
        return false;
    }
    CArchiveReader ar(fd, size, kClassNames);
    const bool ok = ReadDocument(doc, ar, size, path, error);
    ::close(fd);
    return ok;
}

std::vector<std::uint8_t> EncodeDocument(CQuorinDoc& doc) {
    CArchiveWriter ar;
    Encode(doc, {}, ar);
    return std::move(ar.Bytes());
}

void SettleFileFormat(CQuorinDoc& doc, const std::string& fileName) {
    if (doc.m_CurrentFormat) return;
    const bool convert = doc.App().Prompts().AskYesNo(OldFormatQuestion(fileName));
    // Asked without the lock; a learning thread reads these settings.
    std::lock_guard lock(doc.m_NetworkMutex);
    SetOldFormatBlock(doc);
    // A converted document keeps the optional lists it acquired while old.
    if (convert) {
        doc.m_CurrentFormat = true;
        doc.m_FileStatus = FileStatusNeeded(doc);
    }
}

CEncodedDocument EncodeForSave(CQuorinDoc& doc, const std::string& fileName) {
    PrepareForSave(doc);
    CEncodedDocument encoded;
    CArchiveWriter ar;
    Encode(doc, [&] { encoded.SideFiles = RenderOptionalFiles(doc, fileName); }, ar);
    FinishSave(doc);
    encoded.Bytes = std::move(ar.Bytes());
    return encoded;
}

bool EncodeAndWriteDocument(CQuorinDoc& doc, const std::string& path, std::vector<CSideFile>& sideFiles,
                            std::string& error, const CReplaceOptions& options) {
    PrepareForSave(doc);
    sideFiles.clear();
    const bool written = ReplaceFileWith(
        path,
        [&](const CByteSink& write) {
            CArchiveWriter ar(write);
            Encode(doc, [&] { sideFiles = RenderOptionalFiles(doc, path); }, ar, false);
            return ar.Flush();
        },
        error, options);
    FinishSave(doc);
    if (!written) sideFiles.clear();
    return written;
}

bool WriteEncodedDocument(CQuorinApp& app, const std::string& path, const CEncodedDocument& encoded,
                          std::string& error, const CReplaceOptions& options) {
    if (!ReplaceFile(path, encoded.Bytes, error, options)) return false;
    WriteSideFiles(app, encoded.SideFiles);
    return true;
}

std::vector<std::uint8_t> WriteDocumentBytes(CQuorinDoc& doc, const std::string& fileName) {
    SettleFileFormat(doc, fileName);
    CEncodedDocument encoded = EncodeForSave(doc, fileName);
    WriteSideFiles(doc.App(), encoded.SideFiles);
    return std::move(encoded.Bytes);
}

int WriteDocumentFile(CQuorinDoc& doc, const std::string& path, std::string& error) {
    SettleFileFormat(doc, path);
    std::vector<CSideFile> sideFiles;
    if (!EncodeAndWriteDocument(doc, path, sideFiles, error)) return 0;
    WriteSideFiles(doc.App(), sideFiles);
    return 1;
}

}  // namespace quorin
