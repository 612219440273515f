#include "analysis/LeaveSomeOut.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

#include "analysis/Querying.h"
#include "analysis/WorkCopy.h"
#include "files/LogFile.h"
#include "grid/Availability.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "network/Validation.h"
#include "platform/StringFormat.h"
#include "platform/WorkerThreads.h"

namespace quorin {

namespace {

using CKeepGoing = std::function<bool()>;

double LeaveOutStep(CQuorinDoc& doc, int start, int examples, int cycles,
                    std::vector<std::uint8_t>* leftOut, const CKeepGoing& keepGoing) {
    doc.App().Trace("LeaveOut   Start %d Examples %d Cycles %d", start, examples, cycles);
    ForgetLearning(doc, 0, 1, 1, 0);
    const int rows = static_cast<int>(doc.m_Examples.size());
    if (rows == 0) return 0.0;
    std::vector<std::int32_t> saved(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        saved[r] = doc.m_Examples[r].ExampleType;
        doc.m_Examples[r].ExampleType = Training;
    }
    const auto restore = [&] {
        for (int r = 0; r < rows; ++r) doc.m_Examples[r].ExampleType = saved[r];
    };
    int row = ((start % rows) + rows) % rows;
    for (int k = 0; k < examples && k < rows; ++k) {
        doc.m_Examples[row].ExampleType = Validating;
        if (leftOut && row < static_cast<int>(leftOut->size())) (*leftOut)[row] = 1;
        row = row + 1 == rows ? 0 : row + 1;
    }
    {
        CNetworkEngine engine;
        CLearningPass pass(doc, engine);
        doc.SizeExampleErrors();
        for (int c = 0; c < cycles; ++c) {
            if (keepGoing && !keepGoing()) break;
            for (int r = 0; r < rows; ++r) {
                if (doc.m_Examples[r].ExampleType != Training) continue;
                if (!LearnRow(doc, r, doc.m_ExampleErrors[static_cast<size_t>(r)])) {
                    pass.Sync();
                    restore();
                    return 0.0;
                }
            }
            ++doc.m_LearningCycles;
        }
    }
    const double result = Validate(doc);
    restore();
    return result;
}

int ToInt(const std::string& text) {
    const long v = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
}

}  // namespace

double LeaveOut(CQuorinDoc& doc, int start, int examples, int cycles,
                std::vector<std::uint8_t>* leftOut, const std::atomic<bool>* abort) {
    CKeepGoing keepGoing;
    if (abort) keepGoing = [abort] { return !abort->load(); };
    return LeaveOutStep(doc, start, examples, cycles, leftOut, keepGoing);
}

int ProposedExamples(int rows) { return rows / 10 < 1 ? 1 : rows / 10; }

std::string ReportRowName(const std::string& name) {
    return name.size() > 15 ? name.substr(0, 14) + "+" : name;
}

const char* ReportTypeText(int type) {
    switch (type) {
    case Training: return "T:";
    case Validating: return "V:";
    case Querying: return "Q:";
    case Duplicate: return "D:";
    default: return "X:";
    }
}

std::string ProgressLearningText(int rows, int examples, int cycles, int start) {
    const int first = rows > 0 ? (start + examples) % rows : 0;
    std::string text = Format("Learning %d examples starting at row %d", rows - examples, first);
    text += cycles < 2 ? std::string(" for 1 cycle") : Format(" for %d cycles", cycles);
    return text;
}

std::string ProgressValidatingText(int examples, int start) {
    if (examples == 1) return Format("then validating 1 example at row %d", start);
    return Format("then validating %d examples starting at row %d", examples, start);
}

// The steps of one run on worker threads, each with a private copy of the document. Steps
// are handed out in order; the user-interface thread reports them in step order.
struct CLeaveSomeOut::CPool {
    struct CResult {
        std::atomic<bool> Done{false};
        double Result = 0.0;
        double StartError = 0.0;  // row S's error after the step
        double LastError = 0.0;   // the error of the block's last row
        std::int32_t EndCycles = 0;
    };
    struct CWorker {
        std::unique_ptr<CWorkApp> App;
        std::unique_ptr<CQuorinDoc> Doc;
        std::thread Thread;
    };

    CPool(CQuorinDoc& doc, int threads, int examples, int cycles)
        : Rows(static_cast<int>(doc.m_Examples.size())), Examples(examples), Cycles(cycles),
          Results(new CResult[static_cast<size_t>(Rows)]) {
        if (threads > Rows) threads = Rows;
        if (threads < 1) threads = 1;
        Workers.resize(static_cast<size_t>(threads));
        for (CWorker& w : Workers) {
            w.App = std::make_unique<CWorkApp>(doc.App().Clock());
            w.Doc = std::make_unique<CQuorinDoc>(w.App->App());
            CopyForWork(doc, *w.Doc);
        }
        for (size_t i = 0; i < Workers.size(); ++i)
            Workers[i].Thread = std::thread([this, i] { Work(static_cast<int>(i)); });
    }
    ~CPool() {
        Abort();
        Join();
    }

    void Work(int index) {
        CQuorinDoc& doc = *Workers[static_cast<size_t>(index)].Doc;
        const int rows = Rows;
        const CKeepGoing keepGoing = [this] { return WaitWhilePaused(); };
        for (;;) {
            if (!WaitWhilePaused()) return;
            const int s = Next.fetch_add(1);
            if (s >= rows) return;
            const double r = LeaveOutStep(doc, s, Examples, Cycles, nullptr, keepGoing);
            if (Aborting.load()) return;
            CResult& result = Results[static_cast<size_t>(s)];
            result.Result = r;
            result.StartError = doc.ExampleError(static_cast<size_t>(s));
            const int last = (s + Examples - 1) % rows;
            result.LastError = doc.ExampleError(static_cast<size_t>(last));
            result.EndCycles = doc.m_LearningCycles.load();
            {
                std::lock_guard lock(Mutex);
                if (s == rows - 1) FinalWorker = index;
                result.Done.store(true);
            }
            Changed.notify_all();
        }
    }

    // False when the run is being abandoned.
    bool WaitWhilePaused() {
        if (Aborting.load()) return false;
        if (!Paused.load()) return true;
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [this] { return !Paused.load() || Aborting.load(); });
        return !Aborting.load();
    }
    void SetPaused(bool paused) {
        {
            std::lock_guard lock(Mutex);
            Paused.store(paused);
        }
        Changed.notify_all();
    }
    void Abort() {
        {
            std::lock_guard lock(Mutex);
            Aborting.store(true);
        }
        Changed.notify_all();
    }
    void Join() {
        for (CWorker& w : Workers)
            if (w.Thread.joinable()) w.Thread.join();
    }
    // Waits at most `ms` for step `s` to be done.
    bool WaitFor(int s, int ms) {
        CResult& result = Results[static_cast<size_t>(s)];
        if (result.Done.load()) return true;
        std::unique_lock lock(Mutex);
        Changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return result.Done.load(); });
        return result.Done.load();
    }

    const int Rows;
    const int Examples;
    const int Cycles;
    std::unique_ptr<CResult[]> Results;
    std::vector<CWorker> Workers;
    std::mutex Mutex;
    std::condition_variable Changed;
    std::atomic<int> Next{0};
    std::atomic<bool> Aborting{false};
    std::atomic<bool> Paused{false};
    int FinalWorker = -1;
};

CLeaveSomeOut::CLeaveSomeOut(CQuorinDoc& doc) : m_Doc(doc) {}
CLeaveSomeOut::~CLeaveSomeOut() = default;

void CLeaveSomeOut::Log(const std::string& text) { WriteLog(m_Doc, text, 1, 1); }

void CLeaveSomeOut::DeleteRows(bool validating, bool querying, bool excluded, bool duplicated) {
    bool others = false;
    for (const CExample& ex : m_Doc.m_Examples) others = others || ex.ExampleType != Training;
    if (!others) return;
    for (int r = static_cast<int>(m_Doc.m_Examples.size()) - 1; r >= 0; --r) {
        const int type = m_Doc.m_Examples[static_cast<size_t>(r)].ExampleType;
        if ((type == Validating && validating) || (type == Querying && querying) ||
            (type == ExcludedRow && excluded) || (type == Duplicate && duplicated))
            m_Doc.DeleteRow(r, 0, 1);
    }
    m_Doc.RefreshViews();
}

void CLeaveSomeOut::CorrectExamples(int& examples, int rows) {
    IPrompts& prompts = m_Doc.App().Prompts();
    if (examples > rows - 2) {
        examples = rows - 2;
        prompts.Inform(Format(
            "The number of examples to leave out\nis too high and has been reduced to %i.", examples));
    }
    if (examples < 1) {
        examples = 1;
        prompts.Inform(Format("The number of examples to leave out has been set to %i.", 1));
    }
}

void CLeaveSomeOut::WriteHead(int examples, int cycles) {
    Log(Format("%s\tLeave Some Out Validating", m_Doc.m_PathName.c_str()));
    Log("");
    Log(Format("Validating Examples\t\t%d\r\n\r\nTraining cycles\r\n    per Validating cycle\t%d",
               examples, cycles));
    Log("");
    Log("\t\t\tValidating\t\t\t\tTraining");
    if (m_Doc.m_ValidatingMode != 0)
        Log("\tRow\tName\t\tType\tCorrect\t\t\tError");
    else
        Log(Format("\tRow\tName\t\tType\tWithin %.2lf%%\t\tError", m_Doc.m_WithinPercentage));
    Log("");
}

void CLeaveSomeOut::WriteFoot(int rows) {
    Log("");
    Log(Format("Learning:\tsum of absolute errors\t\t%.4lf", m_ErrorSum));
    const double average = rows > 0 ? m_ValidatingSum / rows : 0.0;
    if (m_Doc.m_ValidatingMode != 0)
        Log(Format("Validating:\taverage correct after rounding\t%.4lf%%", average));
    else
        Log(Format("Validating:\taverage within %.2lf%% range\t%.4lf%%", m_Doc.m_WithinPercentage,
                   average));
    Log("");
    Log("");
}

namespace {

CDialogForm ProgressForm() {
    CDialogForm form;
    form.Id = "LeaveSomeOutProgress";
    form.Title = "Leave Some Out";
    form.AddLabel("Learning", "");
    form.AddLabel("Validating", "");
    form.AddButton("Stop", "Stop");
    form.AddButton("Start", "Start").Enabled = false;
    form.AddButton("Close", "Close");
    return form;
}

bool IsClose(const std::string& key) { return key == "Close" || key == "Cancel"; }

}  // namespace

void CLeaveSomeOut::RunSteps(int examples, int cycles, IModelessWindow* window) {
    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    m_Aborted = false;
    m_ValidatingSum = 0.0;
    m_ErrorSum = 0.0;
    m_LeftOut.assign(static_cast<size_t>(rows), 0);
    if (rows == 0) return;
    CQuorinApp& app = m_Doc.App();
    CDialogForm form = ProgressForm();
    const auto show = [&] {
        if (window) window->Update(form);
    };
    // The names and types the report shows are those before any step.
    std::vector<std::string> names(static_cast<size_t>(rows));
    std::vector<std::int32_t> types(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        names[r] = ReportRowName(m_Doc.m_Examples[static_cast<size_t>(r)].ExampleName);
        types[r] = m_Doc.m_Examples[static_cast<size_t>(r)].ExampleType;
    }
    const int startCycles = m_Doc.m_LearningCycles.load();
    CPool pool(m_Doc, m_Threads > 0 ? m_Threads : WorkerThreadCount(), examples, cycles);
    std::uint32_t lastIdle = app.Clock().GetTickCount();
    int reported = 0;
    while (reported < rows) {
        // The main frame asks every calculation to end before it closes.
        if (app.StopAllRequested()) {
            m_Aborted = true;
            break;
        }
        if (window) {
            std::string key = window->PollButton();
            if (IsClose(key)) {
                m_Aborted = true;
                break;
            }
            if (key == "Stop") {
                pool.SetPaused(true);
                form.Field("Stop").Enabled = false;
                form.Field("Start").Enabled = true;
                form.Title = "Leave Some Out stopped";
                show();
                for (;;) {
                    key = window->PollButton();
                    if (key == "Start" || IsClose(key) || !window->IsOpen() ||
                        app.StopAllRequested())
                        break;
                    app.Views().PumpEvents();
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
                if (IsClose(key) || key != "Start") {
                    m_Aborted = true;
                    break;
                }
                form.Field("Stop").Enabled = true;
                form.Field("Start").Enabled = false;
                form.Title = "Leave Some Out";
                pool.SetPaused(false);
            }
            form.Field("Learning").TextValue =
                ProgressLearningText(rows, examples, cycles, reported);
            form.Field("Validating").TextValue = ProgressValidatingText(examples, reported);
            show();
            app.Views().PumpEvents();
        }
        if (!pool.WaitFor(reported, window ? 30 : 1000)) continue;
        const CPool::CResult& result = pool.Results[static_cast<size_t>(reported)];
        const int s = reported;
        m_ValidatingSum += result.Result;
        m_ErrorSum += result.StartError;
        app.Trace("LeaveOut   Start %d Examples %d Cycles %d", s, examples, cycles);
        for (int k = 0; k < examples && k < rows; ++k) m_LeftOut[static_cast<size_t>((s + k) % rows)] = 1;
        if (examples > 1)
            Log(Format("From\t%d\t%s\t%s", s, names[s].c_str(), ReportTypeText(types[s])));
        const int last = (s + examples - 1) % rows;
        Log(Format(examples == 1 ? "At\t%d\t%s\t%s\t%.2lf%%\t\t\t%.4lf"
                                 : "To\t%d\t%s\t%s\t%.2lf%%\t\t\t%.4lf",
                   last, names[last].c_str(), ReportTypeText(types[last]), result.Result,
                   result.LastError));
        ++reported;
        const std::uint32_t now = app.Clock().GetTickCount();
        if (now - lastIdle > 1000) {
            lastIdle = now;
            app.Views().PumpEvents();
            if (!m_Doc.m_GridDisplayShown) m_Doc.RefreshViews();
        }
    }
    pool.Abort();
    pool.Join();
    if (m_Aborted || pool.FinalWorker < 0) return;
    // The network of the last step, and the counters as the steps in order leave them.
    CQuorinDoc& final = *pool.Workers[static_cast<size_t>(pool.FinalWorker)].Doc;
    CopyLearningState(final, m_Doc);
    m_Doc.m_StartLearningCycles =
        rows >= 2 ? pool.Results[static_cast<size_t>(rows - 2)].EndCycles : startCycles;
}

int CLeaveSomeOut::OnActionLeaveOut() {
    CQuorinApp& app = m_Doc.App();
    app.Trace("OnActionLeaveOut");
    IPrompts& prompts = app.Prompts();
    CDialogForm prep;
    prep.Id = "LeaveSomeOutPreparation";
    prep.Title = "Leave Some Out Preparation";
    prep.AddLabel("Text",
                  "Validating, Querying, Excluded and Duplicate example rows can be deleted from "
                  "the grid before running the 'Leave Some Out' process.");
    prep.AddCheck("Validating", "Delete &Validating rows", false);
    prep.AddCheck("Querying", "Delete &Querying rows", false);
    prep.AddCheck("Excluded", "Delete &Excluded rows", false);
    prep.AddCheck("Duplicated", "Delete &Duplicated rows", false);
    if (prompts.ShowDialog(prep) != IdOk) return 0;
    DeleteRows(prep.Check("Validating"), prep.Check("Querying"), prep.Check("Excluded"),
               prep.Check("Duplicated"));

    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    if (rows == 0) return 0;
    m_Doc.m_Logging = true;
    GetLogFile(m_Doc);
    if (!m_Doc.m_Logging) return 0;

    CDialogForm settings;
    settings.Id = "LeaveSomeOut";
    settings.Title = "Leave Some Out";
    settings.AddText("Examples", "Leave out ", std::to_string(ProposedExamples(rows)));
    settings.AddText("Rows", "of the", std::to_string(rows)).Enabled = false;
    settings.AddLabel("ExamplesText", "examples");
    settings.AddLabel("ReselectText", "for validation and reselect every");
    settings.AddText("Cycles", "", "1");
    settings.AddLabel("CyclesText", "cycles.");
    if (prompts.ShowDialog(settings) != IdOk || !ForgetLearning(m_Doc, 1, 1, 1, 0)) {
        m_Doc.m_Logging = false;
        return 0;
    }
    int examples = ToInt(settings.Text("Examples"));
    const int cycles = ToInt(settings.Text("Cycles"));
    CorrectExamples(examples, rows);
    WriteHead(examples, cycles);

    m_Doc.m_LeavingOut = true;
    app.ThreadStarted();
    std::unique_ptr<IModelessWindow> window = prompts.OpenModeless(ProgressForm());
    RunSteps(examples, cycles, window.get());
    WriteFoot(rows);
    if (!m_Aborted && window) {
        if (!m_Doc.m_GridDisplayShown) m_Doc.RefreshViews();
        CDialogForm form = ProgressForm();
        form.Title = "Leave Some Out finished";
        form.Field("Stop").Enabled = false;
        form.Field("Start").Enabled = false;
        form.Field("Learning").TextValue = ProgressLearningText(rows, examples, cycles, rows - 1);
        form.Field("Validating").TextValue = ProgressValidatingText(examples, rows - 1);
        window->Update(form);
        while (window->IsOpen() && !app.StopAllRequested() && !IsClose(window->PollButton())) {
            app.Views().PumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (window) window->Close();
    window.reset();
    app.ThreadEnded();
    m_Doc.m_LeavingOut = false;
    if (!app.Shell().OpenFile(m_Doc.m_LogFileName))
        prompts.Inform(Format("The log file '%s' cannot be opened.", m_Doc.m_LogFileName.c_str()));
    const int written = m_Doc.m_Logging ? 1 : 0;
    m_Doc.m_Logging = false;
    m_Doc.RefreshViews();
    return written;
}

int CLeaveSomeOut::RunHeadless(const CLeaveOutSettings& s) {
    CQuorinApp& app = m_Doc.App();
    app.Trace("LeaveSomeOut   Examples %d Cycles %d", s.Examples, s.Cycles);
    DeleteRows(s.DeleteValidating, s.DeleteQuerying, s.DeleteExcluded, s.DeleteDuplicated);
    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    if (rows == 0) return 0;
    m_Doc.m_Logging = true;
    if (!s.LogPath.empty()) {
        std::FILE* file = std::fopen(s.LogPath.c_str(), "wb");
        if (!file) {
            app.Prompts().Inform("Unable to create a log file.\nLogging has been switched off.");
            m_Doc.m_Logging = false;
            return 0;
        }
        std::fclose(file);
        m_Doc.m_LogFileName = s.LogPath;
        m_Doc.m_LogFileConfirmed = true;
    } else {
        GetLogFile(m_Doc);
    }
    if (!m_Doc.m_Logging) return 0;
    ForgetLearning(m_Doc, 0, 1, 1, 0);
    int examples = s.Examples;
    CorrectExamples(examples, rows);
    WriteHead(examples, s.Cycles);
    m_Doc.m_LeavingOut = true;
    app.ThreadStarted();
    RunSteps(examples, s.Cycles, nullptr);
    app.ThreadEnded();
    m_Doc.m_LeavingOut = false;
    WriteFoot(rows);
    const int written = m_Doc.m_Logging ? 1 : 0;
    m_Doc.m_Logging = false;
    return written;
}

bool CanLeaveOut(const CQuorinDoc& doc) {
    return CanQuery(doc) && NetworkMatchesGrid(doc) && !doc.m_Examples.empty();
}

int OnActionLeaveOut(CQuorinDoc& doc) {
    if (!CanLeaveOut(doc)) return 0;
    CLeaveSomeOut run(doc);
    return run.OnActionLeaveOut();
}

}  // namespace quorin
