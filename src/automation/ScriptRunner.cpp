// Script files: a list of commands that drives import, typing, building and learning.
#include "automation/ScriptRunner.h"

#include <algorithm>
#include <utility>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "analysis/Associating.h"
#include "automation/Importer.h"
#include "automation/ScriptLookAhead.h"
#include "automation/ScriptSave.h"
#include "automation/ScriptNetwork.h"
#include "automation/ScriptQuery.h"
#include "files/AutoSave.h"
#include "coding/GridEditor.h"
#include "files/SpecialFiles.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "grid/RangeCommands.h"
#include "network/Controls.h"
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/RandomWeights.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {

// Longer lines are cut: no command needs more, and memory stays bounded.
constexpr std::size_t kMaxScriptLine = 65536;
// How many columntypeandmode lines after an import may give its new columns their modes.
constexpr int kMostColumnLinesAhead = 4096;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The standard conversions: leading blanks skipped, reading stops at the first
// character that cannot continue the number, nothing readable gives 0.
int ToInt(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return 0;
    errno = 0;
    const long v = std::strtol(p[i].c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

double ToDouble(const std::vector<std::string>& p, std::size_t i) {
    if (i >= p.size()) return 0.0;
    return std::strtod(p[i].c_str(), nullptr);
}

std::string Param(const std::vector<std::string>& p, std::size_t i) {
    return i < p.size() ? p[i] : std::string();
}

enum ECommand {
    CmdOpen, CmdImportFile, CmdColumnTypeAndMode, CmdRowType, CmdCreateNetwork,
    CmdLearningControls, CmdNetworkReconfiguration, CmdValidatingControls,
    CmdTargetErrorStops, CmdValidatingStops, CmdFixedPeriodStops, CmdForget,
    CmdStartLearning, CmdWait, CmdStopLearning, CmdQuery, CmdSpecialFiles,
    CmdCheckGrid, CmdCopyRows, CmdCopyColumns, CmdDuplicateRows, CmdRemoveDuplicates,
    CmdExcludeIncompleteRows, CmdExcludeIncompleteColumns, CmdMissingData,
    CmdReduceConnections, CmdPruning, CmdOptimizeNetwork, CmdAnalysis,
    CmdLeaveSomeOut, CmdAddQuery, CmdFileQuery, CmdAutoSave, CmdAssociate, CmdSaveFile, CmdNone
};

struct CKeyword {
    const char* Full;
    const char* Short;
    ECommand Command;
};

constexpr CKeyword kKeywords[] = {
    {"open", "o", CmdOpen},
    {"importfile", "if", CmdImportFile},
    {"columntypeandmode", "ctm", CmdColumnTypeAndMode},
    {"rowtype", "rt", CmdRowType},
    {"createnetwork", "cn", CmdCreateNetwork},
    {"learningcontrols", "lc", CmdLearningControls},
    {"networkreconfiguration", "nr", CmdNetworkReconfiguration},
    {"validatingcontrols", "vc", CmdValidatingControls},
    {"targeterrorstops", "tes", CmdTargetErrorStops},
    {"validatingstops", "vs", CmdValidatingStops},
    {"fixedperiodstops", "fps", CmdFixedPeriodStops},
    {"forget", "f", CmdForget},
    {"startlearning", "stl", CmdStartLearning},
    {"wait", "w", CmdWait},
    {"stoplearning", "spl", CmdStopLearning},
    {"query", "q", CmdQuery},
    {"specialfiles", "sf", CmdSpecialFiles},
    {"checkgrid", "cg", CmdCheckGrid},
    {"copyrows", "cr", CmdCopyRows},
    {"copycolumns", "cc", CmdCopyColumns},
    {"duplicaterows", "dr", CmdDuplicateRows},
    {"removeduplicates", "rd", CmdRemoveDuplicates},
    {"excludeincompleterows", "eir", CmdExcludeIncompleteRows},
    {"excludeincompletecolumns", "eic", CmdExcludeIncompleteColumns},
    {"missingdata", "md", CmdMissingData},
    {"reduceconnections", "rc", CmdReduceConnections},
    {"pruning", "pr", CmdPruning},
    {"optimizenetwork", "on", CmdOptimizeNetwork},
    {"analysis", "an", CmdAnalysis},
    {"leavesomeout", "lso", CmdLeaveSomeOut},
    {"addquery", "aq", CmdAddQuery},
    {"filequery", "fq", CmdFileQuery},
    {"autosave", "asv", CmdAutoSave},
    {"associate", "asc", CmdAssociate},
    {"savefile", "svf", CmdSaveFile},
};

ECommand FindCommand(const std::string& keyword) {
    const std::string k = Lower(keyword);
    for (const CKeyword& kw : kKeywords)
        if (k == kw.Full || k == kw.Short) return kw.Command;
    return CmdNone;
}

// The cause code a file exception reports for the last failed open.
int FileExceptionCause(int error) {
    switch (error) {
    case ENOENT: return 2;   // file not found
    case ENOTDIR:
    case ENAMETOOLONG: return 3;  // bad path
    case EMFILE:
    case ENFILE: return 4;   // too many open files
    case EACCES:
    case EPERM:
    case EISDIR: return 5;   // access denied
    default: return 1;       // generic
    }
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

CScriptLine ParseScriptLine(const std::string& line) {
    CScriptLine result;
    const auto open = line.find('(');
    result.Keyword = line.substr(0, open);
    if (open == std::string::npos) return result;
    const auto close = line.find(')', open + 1);
    std::string text = line.substr(open + 1, close == std::string::npos ? std::string::npos
                                                                        : close - open - 1);
    text.erase(std::remove(text.begin(), text.end(), '('), text.end());
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        result.Parameters.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return result;
}

// A relative path that does not exist from the working folder is looked for beside
// the script, so that a script and its data can travel together.
std::string CScriptRunner::ReadablePath(const std::string& path) const {
    std::error_code ec;
    const std::filesystem::path p(path);
    if (p.empty() || p.is_absolute() || std::filesystem::exists(p, ec) || m_ScriptPath.empty())
        return path;
    const auto beside = std::filesystem::path(m_ScriptPath).parent_path() / p;
    return std::filesystem::exists(beside, ec) ? beside.string() : path;
}

bool CScriptRunner::RefuseWhileBusy(const std::string& line) {
    if (!m_Doc.m_Learning && !m_Doc.m_Associating) return false;
    m_Doc.App().Prompts().Inform(Format(
        "Learning or associating is running: the script line '%s' would change the Grid or "
        "the network and has been skipped.",
        line.c_str()));
    return true;
}

int CScriptRunner::Open(const CScriptLine& l) {
    const std::string path = ReadablePath(Param(l.Parameters, 0));
    const std::string& current = m_Doc.m_PathName;
    if (!current.empty() && current != "Untitled" &&
        Lower(path).find(Lower(current)) == std::string::npos)
        return ScriptWouldOverwrite;
    if (!IsRegularFile(path) || !m_Doc.OpenDocument(path, 0)) {
        m_Doc.App().Prompts().Inform(Format("The file '%s' cannot be opened.", path.c_str()));
        return ScriptOpenFailed;
    }
    m_Doc.RefreshViews();
    return 0;
}

int CScriptRunner::ImportFile(const CScriptLine& l) {
    const auto& p = l.Parameters;
    CQuorinDoc& d = m_Doc;
    d.m_ImportRowNames = ToInt(p, 2);
    d.m_ImportTab = ToInt(p, 3) != 0;
    d.m_ImportComma = ToInt(p, 4) != 0;
    d.m_ImportSpace = ToInt(p, 5) != 0;
    d.m_ImportStop = ToInt(p, 6) != 0;
    d.m_ImportColon = ToInt(p, 7) != 0;
    d.m_ImportSemicolon = ToInt(p, 8) != 0;
    CImporter importer(d);
    // Columns this import creates are read in the Text or Image mode the script gives them
    // next, so that their names are kept and coded instead of read as numbers.
    if (d.m_InOuts.empty()) importer.SetNewColumnModes(ColumnModesAhead());
    const int result = importer.ImportFile(ReadablePath(Trim(Param(p, 0))), 0, ToInt(p, 1));
    if (result >= 0) return 0;
    // The import says why it stopped (an unopened file has the run's own message only).
    if (result != ImportNotOpened) d.App().Prompts().Inform(ImportResultMessage(result));
    return ScriptImportFailed;
}

// The modes of the columntypeandmode lines that follow the running line, before any line
// with another keyword than rowtype.
std::vector<int> CScriptRunner::ColumnModesAhead() const {
    std::vector<int> modes;
    int looked = 0;  // a hostile script of endless column lines must not stall the import
    VisitScriptLinesFrom(m_ScriptPath, m_NextLineOffset, [&modes, &looked](const std::string& line) {
        const CScriptLine l = ParseScriptLine(line);
        switch (FindCommand(l.Keyword)) {
        case CmdNone:
        case CmdRowType: return true;
        case CmdColumnTypeAndMode: {
            if (++looked > kMostColumnLinesAhead) return false;
            const int type = ToInt(l.Parameters, 2);
            const int mode = ToInt(l.Parameters, 3);
            if (type >= -1 && type <= ExcludedCol && mode >= -1 && mode <= Image)
                NoteColumnModes(modes, ToInt(l.Parameters, 0), ToInt(l.Parameters, 1), mode);
            return true;
        }
        default: return false;
        }
    });
    return modes;
}

namespace {
// The "first, count" parameters as a half-open range clipped to the records that exist.
std::pair<std::int64_t, std::int64_t> ClippedRange(const CScriptLine& l, std::size_t records) {
    const std::int64_t first = std::max(0, ToInt(l.Parameters, 0));
    const std::int64_t end = std::min<std::int64_t>(
        static_cast<std::int64_t>(ToInt(l.Parameters, 0)) + ToInt(l.Parameters, 1),
        static_cast<std::int64_t>(records));
    return {first, end};
}
}  // namespace

void CScriptRunner::ColumnTypeAndMode(const CScriptLine& l) {
    const int type = ToInt(l.Parameters, 2);
    const int mode = ToInt(l.Parameters, 3);
    // Codes outside the known ones would poison every later reader of the column.
    if (type < -1 || type > ExcludedCol || mode < -1 || mode > Image) {
        m_Doc.App().Prompts().Inform(Format(
            "The script line '%s' names an unknown column type or mode and has been skipped.",
            m_Line.c_str()));
        return;
    }
    const auto [first, end] = ClippedRange(l, m_Doc.m_InOuts.size());
    for (std::int64_t c = first; c < end; ++c) {
        // A Text column's texts become image names with their bitmaps.
        if (mode == Image && m_Doc.m_InOuts[c].Mode == Text) {
            ChangeColumnMode(m_Doc, static_cast<int>(c), Image);
            m_Doc.SetInOutTypeAndMode(static_cast<int>(c), type, -1);
            continue;
        }
        m_Doc.SetInOutTypeAndMode(static_cast<int>(c), type, mode);
    }
}

void CScriptRunner::RowType(const CScriptLine& l) {
    const int type = ToInt(l.Parameters, 2);
    if (type < Training || type > Duplicate) {
        m_Doc.App().Prompts().Inform(Format(
            "The script line '%s' names an unknown row type and has been skipped.",
            m_Line.c_str()));
        return;
    }
    const auto [first, end] = ClippedRange(l, m_Doc.m_Examples.size());
    for (std::int64_t r = first; r < end; ++r) m_Doc.SetExampleType(static_cast<int>(r), type);
}

void CScriptRunner::CreateNetwork(const CScriptLine& l) {
    int inputs = 0;
    int outputs = 0;
    for (const CInOut& io : m_Doc.m_InOuts) {
        const int nodes = NodesOf(io);
        if (io.InOutType == Input) inputs += nodes;
        if (io.InOutType == Output) outputs += nodes;
    }
    const std::int64_t hidden1 = std::max(0, ToInt(l.Parameters, 0));
    const std::int64_t hidden2 = std::max(0, ToInt(l.Parameters, 1));
    const std::int64_t hidden3 = std::max(0, ToInt(l.Parameters, 2));
    if (inputs == 0 || outputs == 0) {
        m_Doc.App().Prompts().Inform(
            "A network needs at least one Input and one Output column.\nThe script line '" +
            m_Line + "' has been skipped.");
        return;
    }
    // Nodes and weights of the network built, counted without overflow: no layer wider
    // than the limit can be within it, and below that every product fits.
    const std::int64_t limit = m_Limits.MaxConnections;
    CLayerCounts counts;
    counts.Inputs = inputs;
    counts.Outputs = outputs;
    std::int64_t size = std::int64_t{inputs} + outputs;
    std::int64_t from = inputs;
    bool tooLarge = false;
    const std::int64_t hidden[3] = {hidden1, hidden2, hidden3};
    // A hidden layer exists only behind the one before it.
    for (int h = 0; h < 3 && hidden[h] > 0; ++h) {
        tooLarge = hidden[h] > limit;
        if (tooLarge) break;
        counts.Hidden[h] = static_cast<int>(hidden[h]);
        size += hidden[h] + from * hidden[h];
        from = hidden[h];
    }
    size += from * outputs;
    if (tooLarge || size > limit) {
        m_Doc.App().Prompts().Inform(Format(
            "The network of the script line '%s' would be too large to build.\nThe line has "
            "been skipped.",
            m_Line.c_str()));
        return;
    }
    // One build: adding the nodes of layers 2 and 3 one rebuild at a time gives the same.
    NewNetworkOfShape(m_Doc, counts, 1);
}

void CScriptRunner::ValidatingControls(const CScriptLine& l) {
    SetStopRules(m_Doc, [&l](CStopRules& s) {
        s.CyclesBeforeFirstValidating = ToInt(l.Parameters, 0);
        s.CyclesPerValidating = ToInt(l.Parameters, 1);
    });
    SetRandomValidatingRows(m_Doc, ToInt(l.Parameters, 2));
}

void CScriptRunner::Query(const CScriptLine& l) {
    if (!m_Limits.AllowFileWrites) return;
    std::string path = Trim(Param(l.Parameters, 0));
    if (path.empty()) path = QueryFileName(m_Doc.m_PathName.empty() ? m_ScriptPath
                                                                     : m_Doc.m_PathName);
    RunQuery(m_Doc, path);
}

void CScriptRunner::SpecialFiles(const CScriptLine& l) {
    const auto& p = l.Parameters;
    SetSideFileSwitches(m_Doc, [&p](CSideFileSwitches& s) {
        s.Grid = ToInt(p, 0) != 0;
        s.Weights = ToInt(p, 1) != 0;
        s.Biases = ToInt(p, 2) != 0;
        s.Graph = ToInt(p, 3) != 0;
        if (ToInt(p, 4) != 0)
            s.AutoSaveFlags |= kAutoSaveDetails;
        else
            s.AutoSaveFlags &= ~kAutoSaveDetails;
    });
    m_Doc.SetModified();
    const std::string path = Trim(Param(p, 5));
    if (!path.empty() && m_Limits.AllowFileWrites) SaveOptionalFiles(m_Doc, path);
}

int CScriptRunner::Execute(const std::string& line) {
    m_Line = line;
    const CScriptLine l = ParseScriptLine(line);
    const ECommand command = FindCommand(l.Keyword);
    if (command == CmdNone) return 0;
    m_Doc.App().Trace("Script   %s", line.c_str());
    const auto& p = l.Parameters;
    CQuorinDoc& d = m_Doc;
    switch (command) {
    case CmdOpen:
    case CmdImportFile:
    case CmdColumnTypeAndMode:
    case CmdRowType:
    case CmdCreateNetwork:
    case CmdValidatingControls:
    case CmdForget:
    case CmdCheckGrid: case CmdCopyRows: case CmdCopyColumns: case CmdDuplicateRows:
    case CmdRemoveDuplicates: case CmdExcludeIncompleteRows: case CmdExcludeIncompleteColumns:
    case CmdReduceConnections:
    case CmdPruning:
    case CmdOptimizeNetwork:
    case CmdLeaveSomeOut:
    case CmdAddQuery:
    case CmdFileQuery:
    case CmdAssociate:
    case CmdSaveFile:
        if (RefuseWhileBusy(line)) return 0;
        break;
    default:
        break;
    }
    switch (command) {
    case CmdOpen: return Open(l);
    case CmdImportFile: return ImportFile(l);
    case CmdColumnTypeAndMode: ColumnTypeAndMode(l); break;
    case CmdRowType: RowType(l); break;
    case CmdCreateNetwork: CreateNetwork(l); break;
    case CmdLearningControls:
        SetLearningControls(d, [&p](CLearningControls& c) {
            c.LearningRate = ToDouble(p, 0);
            c.Momentum = ToDouble(p, 1);
            c.DecayLearningRate = ToInt(p, 2);
            c.DecayMomentum = ToInt(p, 3);
        });
        break;
    case CmdNetworkReconfiguration:
        SetLearningControls(d, [&p](CLearningControls& c) {
            const int bits[] = {1, 2, 4, 8};
            for (int i = 0; i < 4; ++i)
                c.ReconfigSwitches =
                    ToInt(p, i) ? (c.ReconfigSwitches | bits[i]) : (c.ReconfigSwitches & ~bits[i]);
        });
        break;
    case CmdValidatingControls: ValidatingControls(l); break;
    case CmdTargetErrorStops:
        SetStopRules(d, [&p](CStopRules& s) {
            s.TargetErrorMode = ToInt(p, 0);
            s.TargetError = ToDouble(p, 1);
        });
        break;
    case CmdValidatingStops:
        SetStopRules(d, [&p](CStopRules& s) {
            s.ValidatingTarget = ToDouble(p, 0);
            s.WithinPercentage = ToDouble(p, 1);
            s.ValidatingMode = ToInt(p, 2);
            s.StopIfValidatingDecreases = ToInt(p, 3);
        });
        break;
    case CmdFixedPeriodStops:
        SetStopRules(d, [&p](CStopRules& s) {
            s.StopAfter = ToInt(p, 0);
            s.StopSeconds = ToDouble(p, 1);
            s.StopOnCycle = ToInt(p, 2);
            s.StopCycle = ToInt(p, 3);
        });
        break;
    case CmdForget: ForgetLearning(d, 0, 1, 1, ToInt(p, 0)); break;
    case CmdStartLearning:
        if (m_Limits.AllowLearning) StartLearning(d, 1);
        break;
    case CmdWait: {
        const int ms = ToInt(p, 0);
        if (ms > 0) d.App().Clock().Sleep(static_cast<std::uint32_t>(ms));
        break;
    }
    case CmdStopLearning: Stop(d); break;
    case CmdQuery: Query(l); break;
    case CmdSpecialFiles: SpecialFiles(l); break;
    case CmdCheckGrid: OnActionCheckGrid(d); break;
    case CmdCopyRows: CopyExampleRows(d, ToInt(p, 0), ToInt(p, 1), ToInt(p, 2)); break;
    case CmdCopyColumns: CopyInOutColumns(d, ToInt(p, 0), ToInt(p, 1), ToInt(p, 2), ToInt(p, 3) == 1); break;
    case CmdDuplicateRows: DuplicateExampleRows(d, ToInt(p, 0) != 0, ToInt(p, 1) != 0, ToInt(p, 2) != 0); break;
    case CmdRemoveDuplicates: RemoveDuplicatedExampleRows(d); break;
    case CmdExcludeIncompleteRows: ExcludeIncompleteExampleRows(d); break;
    case CmdExcludeIncompleteColumns: ExcludeIncompleteInOutColumns(d); break;
    case CmdMissingData: SetMissingData(d, ToInt(p, 0)); break;
    case CmdReduceConnections: ScriptReduceConnections(d, p, line); break;
    case CmdPruning: ScriptPruning(d, p); break;
    case CmdOptimizeNetwork:
        ScriptOptimizeNetwork(d, p, line, m_Limits.MaxConnections, m_Limits.AllowLearning);
        break;
    case CmdAnalysis:
        if (m_Limits.AllowFileWrites) ScriptAnalysis(d, p, m_ScriptPath);
        break;
    case CmdLeaveSomeOut:
        if (m_Limits.AllowFileWrites && m_Limits.AllowLearning) ScriptLeaveSomeOut(d, p, m_ScriptPath);
        break;
    case CmdSaveFile:
        if (m_Limits.AllowFileWrites) ScriptSaveFile(d, Trim(Param(p, 0)), m_ScriptPath);
        break;
    case CmdAddQuery: ScriptAddQuery(d, p); break;
    case CmdFileQuery:
        if (m_Limits.AllowFileWrites) ScriptFileQuery(d, p, ReadablePath(Trim(Param(p, 0))));
        break;
    case CmdAutoSave: ScriptAutoSave(d, ToInt(p, 0), ToInt(p, 1), m_Limits.AllowFileWrites, line); break;
    case CmdAssociate:
        if (m_Limits.AllowLearning) {
            std::string path = Param(p, 0);
            if (path.empty())
                path = AssociationsDerivedName(d.m_PathName.empty() ? m_ScriptPath : d.m_PathName);
            ScriptAssociate(d, path, m_Limits.AllowFileWrites);
        }
        break;
    case CmdNone: break;
    }
    return 0;
}

int CScriptRunner::RunScriptFile(const std::string& path) {
    CQuorinApp& app = m_Doc.App();
    app.Trace("RunScriptFile   Path %s", path.c_str());
    m_ScriptPath = path;
    CImagePathScope imagesBeside(m_Doc.m_ImageState.ScriptPath, path);
    if (!app.m_ScriptRunning) {
        CDialogForm form;
        form.Id = "ScriptFile";
        form.Title = "Script File";
        form.AddLabel("File", Format("File:   %s", path.c_str()));
        form.AddButton("Run", "&Run Script");
        form.AddButton("Edit", "&Edit Script");
        if (app.Prompts().ShowDialog(form) != IdOk) return ScriptCancelled;
        if (form.PressedButton == "Edit") {
            if (!app.Shell().OpenFile(path))
                app.Prompts().Inform(
                    Format("The script file '%s' cannot be opened.", path.c_str()));
            return ScriptEdit;
        }
    }
    app.m_ScriptRunning = true;
    errno = 0;
    std::FILE* file = IsRegularFile(path) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (!file) {
        const int error = errno != 0 ? errno : (std::filesystem::exists(path) ? EACCES : ENOENT);
        app.Prompts().Inform(Format("File exception %d", FileExceptionCause(error)));
        return ScriptNotOpened;
    }
    app.Prompts().SetWaitCursor(true);
    std::vector<char> buffer(1 << 16);
    std::int64_t carriageReturns = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;)
        carriageReturns += std::count(buffer.data(), buffer.data() + n, '\r');
    int result = ScriptCompleted;
    if (carriageReturns == 0) {
        result = ScriptNoCarriageReturns;
    } else {
        std::rewind(file);
        std::string line;
        std::int64_t executed = 0;
        std::int64_t consumed = 0;
        for (std::size_t n; executed < carriageReturns && result == ScriptCompleted &&
                            (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;
             consumed += static_cast<std::int64_t>(n)) {
            for (std::size_t i = 0; i < n && executed < carriageReturns; ++i) {
                const char c = buffer[i];
                if (c == '\n') continue;
                if (c != '\r') {
                    if (line.size() < kMaxScriptLine) line.push_back(c);
                    continue;
                }
                ++executed;
                if (m_Limits.Interrupt && *m_Limits.Interrupt) {
                    app.Trace("RunScriptFile   Interrupted");
                    executed = carriageReturns;
                    break;
                }
                m_NextLineOffset = consumed + static_cast<std::int64_t>(i) + 1;
                result = Execute(line);
                line.clear();
                if (result != ScriptCompleted) break;
            }
        }
    }
    std::fclose(file);
    app.Prompts().SetWaitCursor(false);
    return result;
}

int RunScriptFile(CQuorinDoc& doc, const std::string& path) {
    CScriptRunner runner(doc);
    return runner.RunScriptFile(path);
}

void RunPendingScript(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    if (app.m_PendingScript.empty()) return;
    const std::string script = std::exchange(app.m_PendingScript, std::string());
    RunScriptFile(doc, script);
}

std::string ScriptResultMessage(int result) {
    switch (result) {
    case ScriptNotOpened: return "The Script file to run could not be opened.";
    case ScriptNoCarriageReturns: return "No line feeds can be found.\nThe Script file cannot be run.";
    case ScriptCancelled: return "The Script has not been run.";
    case ScriptOpenFailed: return "The Script could not open the document file.";
    case ScriptWouldOverwrite:
        return "The Script has not been completed because\nit will overwrite the current "
               "document.\n\nStart with a new document or remove the\nopen command from the "
               "script file.";
    case ScriptImportFailed: return "The file to Import could not be opened.\n";
    default: return {};
    }
}

void OnFileScript(CQuorinDoc& doc) {
    CQuorinApp& app = doc.App();
    app.Trace("OnFileScript");
    CFileDialogRequest request;
    request.Title = "Open script file to run";
    request.Filter = "Script files (*.txt)|*.txt||";
    request.DefaultExt = "txt";
    if (!app.Prompts().FileDialog(request)) return;
    int result;
    do {
        result = RunScriptFile(doc, request.FileName);
    } while (result == ScriptEdit);
    app.m_ScriptRunning = false;
    const std::string message = ScriptResultMessage(result);
    if (!message.empty()) app.Prompts().Inform(message);
}

namespace {
// The rows SetRandomValidatingRows turns; returns the number asked for, `turned` the number
// turned.
std::int64_t TurnRandomRows(CQuorinDoc& doc, int percentage, std::int64_t& turned) {
    const int rows = static_cast<int>(doc.m_Examples.size());
    int training = 0;
    for (const CExample& ex : doc.m_Examples) training += ex.ExampleType == Training;
    std::int64_t n = static_cast<std::int64_t>(percentage) * training / 100;
    n = std::max<std::int64_t>(0, std::min<std::int64_t>(n, training - 2));
    doc.m_RandomValidatingCount = static_cast<int>(n);
    // The draw reaches at most 32768 rows (all of them up to that many rows): count the Training
    // rows among them, so that the loop ends once none is left instead of running to its limit.
    std::vector<int> reachable;
    for (int draw = 0; draw <= 32767; ++draw) {
        const int index = ScriptRowOfDraw(draw, rows);
        if (index >= 0) reachable.push_back(index);
    }
    std::sort(reachable.begin(), reachable.end());
    reachable.erase(std::unique(reachable.begin(), reachable.end()), reachable.end());
    std::int64_t left = 0;
    for (int index : reachable) left += doc.m_Examples[index].ExampleType == Training;
    const std::int64_t wanted = std::min(n, left);
    // A generous number of draws, as many per row as before for any Grid they can cover.
    const std::int64_t maxDraws = 1000 * static_cast<std::int64_t>(std::min(rows, 32768)) + 100000;
    for (std::int64_t draws = 0; turned < wanted && draws < maxDraws; ++draws) {
        const int index = ScriptRandomRow(rows);
        if (index < 0) continue;
        CExample& ex = doc.m_Examples[index];
        if (ex.ExampleType == Training) {
            ex.ExampleType = Validating;
            ++turned;
        }
    }
    return n;
}
}  // namespace

int SetRandomValidatingRows(CQuorinDoc& doc, int percentage) {
    std::int64_t n = 0;
    std::int64_t turned = 0;
    {
        // A learning thread reads the row types at every presentation.
        std::lock_guard lock(doc.m_NetworkMutex);
        n = TurnRandomRows(doc, percentage, turned);
    }
    if (turned > 0) doc.SetModified();
    if (turned < n)
        doc.App().Prompts().Inform(Format(
            "Only %lld of the %lld Training rows asked for could be turned into Validating rows.",
            static_cast<long long>(turned), static_cast<long long>(n)));
    return static_cast<int>(n);
}

bool CanRunScript(const CQuorinDoc& doc) { return !CalculationRunning(doc); }

}  // namespace quorin
