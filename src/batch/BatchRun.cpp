#include "BatchRun.h"

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "automation/ScriptRunner.h"
#include "files/SpecialFiles.h"
#include "grid/DocumentCommands.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/LearningInfo.h"
#include "platform/StringFormat.h"

namespace quorin::batch {

namespace {

// Watches the document while the script and its learning run: one progress line a
// second while learning, and the interrupt turned into the document's stop request.
class CProgressMonitor {
public:
    CProgressMonitor(CQuorinDoc& doc, CConsole& console, CConsoleViews& views,
                     const std::atomic<bool>& interrupt)
        : m_Doc(doc), m_Console(console), m_Views(views), m_Interrupt(interrupt),
          m_Thread([this] { Run(); }) {}
    ~CProgressMonitor() {
        m_Done = true;
        m_Thread.join();
    }
    CProgressMonitor(const CProgressMonitor&) = delete;
    CProgressMonitor& operator=(const CProgressMonitor&) = delete;

private:
    void Run() {
        using Clock = std::chrono::steady_clock;
        auto nextProgress = Clock::now() + std::chrono::seconds(1);
        bool told = false;
        while (!m_Done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (m_Interrupt) {
                // Raised again while learning runs: a start that follows the interrupt
                // clears the request it finds.
                if (m_Doc.m_Learning || m_Doc.m_Associating) {
                    m_Doc.m_StopRequest = true;
                    m_Doc.m_AssociatingStopRequest = true;
                }
                if (!told) {
                    told = true;
                    m_Console.Message(
                        "Interrupted: learning stops at the end of its cycle, then the document "
                        "is saved.");
                }
            }
            if (!m_Doc.m_Learning || Clock::now() < nextProgress) continue;
            nextProgress = Clock::now() + std::chrono::seconds(1);
            m_Console.Progress(ProgressLine(m_Doc, m_Views));
        }
    }

    CQuorinDoc& m_Doc;
    CConsole& m_Console;
    CConsoleViews& m_Views;
    const std::atomic<bool>& m_Interrupt;
    std::atomic<bool> m_Done{false};
    std::thread m_Thread;
};

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// The files the save wrote: the document and the special files it chose.
std::vector<std::string> FilesWritten(CQuorinDoc& doc, const std::string& out) {
    std::vector<std::string> files{out};
    const auto add = [&](bool chosen, const std::string& name) {
        if (chosen && Exists(name)) files.push_back(name);
    };
    add(doc.m_SpecialGrid, SpecialFileName(out, ".gr.txt"));
    add(doc.m_SpecialWeights, SpecialFileName(out, ".we.txt"));
    add(doc.m_SpecialBiases, SpecialFileName(out, ".bi.txt"));
    add(doc.m_SpecialGraph, SpecialFileName(out, ".gp.txt"));
    add((doc.m_AutoSaveFlags & kAutoSaveDetails) != 0, DetailsFileName(out));
    for (const CConfirmedFile* copy : {&doc.m_AutoSave.ErrorFile, &doc.m_AutoSave.ValidatingFile,
                                       &doc.m_AutoSave.BackupFile})
        add(copy->Confirmed, copy->Name);
    return files;
}

std::string NetworkShape(const CQuorinDoc& doc) {
    if (doc.m_Nodes.empty()) return "no network";
    int inputs = 0, outputs = 0, hidden[4] = {0, 0, 0, 0};
    for (const CNode& n : doc.m_Nodes) {
        if (n.NodeType == InputNode) ++inputs;
        if (n.NodeType == OutputNode) ++outputs;
        if (n.NodeType == HiddenNode && n.Layer >= 1 && n.Layer <= 3) ++hidden[n.Layer];
    }
    std::string shape = Format("a %d", inputs);
    for (int l = 1; l <= 3; ++l)
        if (hidden[l] > 0) shape += Format("-%d", hidden[l]);
    return shape + Format("-%d network", outputs);
}

}  // namespace

std::string DefaultOutput(const std::string& script) {
    if (script.size() >= 4 && script.compare(script.size() - 4, 4, ".txt") == 0)
        return script.substr(0, script.size() - 4) + ".tvq";
    return script + ".tvq";
}

std::string ProgressLine(CQuorinDoc& doc, const CConsoleViews& views) {
    const int status = views.m_Status;
    const std::string text = status < 0 ? StatusText(doc.m_Status, doc.m_LearningCycles)
                                        : StatusText(status, views.m_Count);
    return Format("%s   cycles %d   average error %.6f   validating %.2f%%", text.c_str(),
                  doc.m_LearningCycles.load(), doc.m_AverageError.load(),
                  doc.m_LastValidatingResult.load());
}

std::string BatchSummary(CQuorinDoc& doc, const std::string& out, bool interrupted) {
    int training = 0, validating = 0, querying = 0;
    for (const CExample& ex : doc.m_Examples) {
        training += ex.ExampleType == Training;
        validating += ex.ExampleType == Validating;
        querying += ex.ExampleType == Querying;
    }
    int inputs = 0, outputs = 0;
    for (const CInOut& io : doc.m_InOuts) {
        inputs += io.InOutType == Input;
        outputs += io.InOutType == Output;
    }
    std::string files;
    for (const std::string& f : FilesWritten(doc, out)) files += (files.empty() ? "" : ", ") + f;
    const std::string validatingText =
        validating == 0 ? std::string("no validating rows")
                        : Format("%.2f%% of the validating rows within the rule",
                                 doc.m_LastValidatingResult.load());
    return Format(
        "%s%d Example rows (%d training, %d validating, %d querying) and %d Input/Output "
        "columns (%d input, %d output); %s after %d learning cycles, average error %.6f, %s "
        "(%s). Files written: %s.",
        interrupted ? "Interrupted. " : "", static_cast<int>(doc.m_Examples.size()), training,
        validating, querying, static_cast<int>(doc.m_InOuts.size()), inputs, outputs,
        NetworkShape(doc).c_str(), doc.m_LearningCycles.load(), doc.m_AverageError.load(),
        validatingText.c_str(), StatusText(doc.m_Status, doc.m_LearningCycles).c_str(),
        files.c_str());
}

int RunBatch(CQuorinDoc& doc, CConsole& console, CConsoleViews& views, const std::string& script,
             const std::string& out, const std::atomic<bool>& interrupt) {
    int result;
    // Every Auto Save confirmation takes the derived name: the copies go beside the output.
    doc.m_AutoSave.OutputPath = out;
    {
        CProgressMonitor monitor(doc, console, views, interrupt);
        CScriptLimits limits;
        limits.Interrupt = &interrupt;
        CScriptRunner runner(doc, limits);
        result = runner.RunScriptFile(script);
        // A failed script ends its learning at once; otherwise learning the script
        // started and did not stop ends by its stop rules (or the interrupt).
        if (result != ScriptCompleted) Stop(doc);
        WaitForLearning(doc);
    }
    console.EndProgress();
    if (result != ScriptCompleted) {
        std::string message = ScriptResultMessage(result);
        while (!message.empty() && message.back() == '\n') message.pop_back();
        for (char& c : message)
            if (c == '\n') c = ' ';
        console.Message(Format("quorin-batch: the script '%s' failed (result %d): %s",
                               script.c_str(), result, message.c_str()));
        return kExitFailed;
    }
    // The desktop program's save: the .tvq file and the chosen special files.
    if (!SaveDocument(doc, out)) {
        console.Message(Format("quorin-batch: the document could not be saved to '%s'.",
                               out.c_str()));
        return kExitFailed;
    }
    console.Result(BatchSummary(doc, out, interrupt));
    return kExitSuccess;
}

}  // namespace quorin::batch
