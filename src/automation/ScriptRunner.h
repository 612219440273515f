#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

// Result codes of RunScriptFile.
enum EScriptResult : int {
    ScriptCompleted = 0,
    ScriptNotOpened = 1,
    ScriptNoCarriageReturns = 2,
    ScriptCancelled = 3,
    ScriptEdit = 4,
    ScriptOpenFailed = 6,
    ScriptWouldOverwrite = 7,
    ScriptImportFailed = 8
};

// What a script may do beyond the document it runs on. The desktop program and the
// batch runner allow everything; the fuzz target closes the doors to the outside.
struct CScriptLimits {
    bool AllowFileWrites = true;
    bool AllowLearning = true;
    std::int64_t MaxConnections = 20'000'000;  // network size a "createnetwork" may build
    // When set and raised (Ctrl-C in the batch runner), the remaining lines are skipped
    // and the run counts as completed.
    const std::atomic<bool>* Interrupt = nullptr;
};

// One line of a script: the keyword and the parameter texts.
struct CScriptLine {
    std::string Keyword;
    std::vector<std::string> Parameters;
};
CScriptLine ParseScriptLine(const std::string& line);

// Runs a script file on a document, line by line.
class CScriptRunner {
public:
    explicit CScriptRunner(CQuorinDoc& doc, CScriptLimits limits = {})
        : m_Doc(doc), m_Limits(limits) {}
    int RunScriptFile(const std::string& path);
    // Executes one line; returns 0 or the result code that ends the run.
    int Execute(const std::string& line);

private:
    int Open(const CScriptLine& l);
    int ImportFile(const CScriptLine& l);
    void ColumnTypeAndMode(const CScriptLine& l);
    void RowType(const CScriptLine& l);
    void CreateNetwork(const CScriptLine& l);
    void ValidatingControls(const CScriptLine& l);
    void Query(const CScriptLine& l);
    void SpecialFiles(const CScriptLine& l);
    bool RefuseWhileBusy(const std::string& line);
    std::string ReadablePath(const std::string& path) const;
    std::vector<int> ColumnModesAhead() const;

    CQuorinDoc& m_Doc;
    CScriptLimits m_Limits;
    std::string m_ScriptPath;
    std::string m_Line;
    std::int64_t m_NextLineOffset = -1;  // where the line after the running one starts
};

// Runs a script file on the document; returns the script's result code (0 success).
int RunScriptFile(CQuorinDoc& doc, const std::string& path);
// Runs the script waiting from the command line or Getting Started, once, on a document the
// shell has just made; nothing when none waits.
void RunPendingScript(CQuorinDoc& doc);
// The "&Run Script File..." command.
void OnFileScript(CQuorinDoc& doc);
// The message OnFileScript shows for a result, or "" for none.
std::string ScriptResultMessage(int result);
// Turns a random selection of training rows, never the first or the last, into
// validating rows; returns the number asked for.
int SetRandomValidatingRows(CQuorinDoc& doc, int percentage);

// Menu availability.
bool CanRunScript(const CQuorinDoc& doc);

}  // namespace quorin
