#pragma once
// Leave Some Out: for every Example row in turn, learn from freshly seeded weights without a
// block of rows and validate that block; one report line per step in the log file.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;
class IModelessWindow;

// One step: rows [start, start + examples) (wrapping) become Validating, all others are
// trained on for `cycles` cycles; returns the Validate percentage (0 when a row could not
// be presented). Row types are restored. `leftOut`, when given, gets the block's marks.
// `abort`, when given and raised, ends the learning early (the result is then not used).
double LeaveOut(CQuorinDoc& doc, int start, int examples, int cycles,
                std::vector<std::uint8_t>* leftOut = nullptr,
                const std::atomic<bool>* abort = nullptr);

// The answers of the two dialogs, for runs without them (scripts).
struct CLeaveOutSettings {
    int Examples = 1;
    int Cycles = 1;
    bool DeleteValidating = false;
    bool DeleteQuerying = false;
    bool DeleteExcluded = false;
    bool DeleteDuplicated = false;
    std::string LogPath;  // empty: the log file rules choose it
};

// The default number of rows to leave out for a Grid of `rows` rows.
int ProposedExamples(int rows);
// The text of a row in the report: its name cut to 14 characters and "+" when longer than
// 15, then its type before the step ("T:", "V:", ...).
std::string ReportRowName(const std::string& name);
const char* ReportTypeText(int type);
// The two lines of the progress window for step `start`.
std::string ProgressLearningText(int rows, int examples, int cycles, int start);
std::string ProgressValidatingText(int examples, int start);

class CLeaveSomeOut {
public:
    explicit CLeaveSomeOut(CQuorinDoc& doc);
    ~CLeaveSomeOut();
    CLeaveSomeOut(const CLeaveSomeOut&) = delete;
    CLeaveSomeOut& operator=(const CLeaveSomeOut&) = delete;

    // Menu Action > Leave Some Out: both dialogs, the run with its progress window, the
    // report opened when the window closes. Returns 1 when the report was written.
    int OnActionLeaveOut();
    // The whole procedure without dialogs or window: the forget-learning question counts as
    // answered Yes. Returns 1 when the report was written.
    int RunHeadless(const CLeaveOutSettings& settings);

    // Threads used by the next run (0: WorkerThreadCount()).
    void SetThreadCount(int threads) { m_Threads = threads; }
    // The run ended by Close before every step had been reported.
    bool Aborted() const { return m_Aborted; }
    double ValidatingSum() const { return m_ValidatingSum; }
    double ErrorSum() const { return m_ErrorSum; }

private:
    struct CPool;
    void DeleteRows(bool validating, bool querying, bool excluded, bool duplicated);
    void CorrectExamples(int& examples, int rows);
    void WriteHead(int examples, int cycles);
    void WriteFoot(int rows);
    // Runs every step on the pool and writes the report lines in step order; the window
    // (may be null) shows progress and is polled for Stop, Start and Close.
    void RunSteps(int examples, int cycles, IModelessWindow* window);
    void Log(const std::string& text);

    CQuorinDoc& m_Doc;
    int m_Threads = 0;
    bool m_Aborted = false;
    double m_ValidatingSum = 0.0;
    double m_ErrorSum = 0.0;
    std::vector<std::uint8_t> m_LeftOut;
};

// Menu availability: a network for this Grid, rows, and no calculation running.
bool CanLeaveOut(const CQuorinDoc& doc);
// Returns 1 when a report was written.
int OnActionLeaveOut(CQuorinDoc& doc);

}  // namespace quorin
