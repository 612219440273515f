// quorin-batch: runs a script file on a new document without a window, waits for the
// learning it started, saves the document and its special files, and sums up.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "ConsolePlatform.h"
#include "PendingSave.h"
#include "automation/ScriptRunner.h"
#include "files/SpecialFiles.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "platform/StringFormat.h"

using namespace quorin;
using namespace quorin::batch;

namespace {

const char* const kUsage =
    "Usage: quorin-batch SCRIPT.txt [-o OUT.tvq]\n"
    "\n"
    "Runs the script file on a new document as the desktop program does for a script\n"
    "named on its command line, waits for the learning the script started to end by its\n"
    "stop rules (Ctrl-C stops it after the current cycle), then saves the document to\n"
    "OUT.tvq (default: the script's path with .tvq in place of .txt) together with the\n"
    "special files the document chooses.\n"
    "\n"
    "Options:\n"
    "  -o OUT.tvq   where to save the document\n"
    "  --help       show this text\n"
    "  --version    show the version\n";

void OnInterrupt(int) { g_Interrupted = true; }

std::string DefaultOutput(const std::string& script) {
    if (script.size() >= 4 && script.compare(script.size() - 4, 4, ".txt") == 0)
        return script.substr(0, script.size() - 4) + ".tvq";
    return script + ".tvq";
}

// Watches the learning thread: one progress line a second, and Ctrl-C turned into the
// document's stop request.
class CProgressMonitor {
public:
    CProgressMonitor(CQuorinDoc& doc, CConsole& console, CConsoleViews& views)
        : m_Doc(doc), m_Console(console), m_Views(views), m_Thread([this] { Run(); }) {}
    ~CProgressMonitor() {
        m_Done = true;
        m_Thread.join();
    }

private:
    void Run() {
        bool stopped = false;
        int ticks = 0;
        while (!m_Done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (g_Interrupted && !stopped) {
                stopped = true;
                m_Doc.m_StopRequest = true;
                m_Doc.m_AssociatingStopRequest = true;
                m_Console.Message("Interrupted: learning stops at the end of its cycle.");
            }
            if (++ticks % 10 != 0 || !m_Doc.m_Learning) continue;
            const int status = m_Views.m_Status;
            const std::string text =
                status < 0 ? StatusText(m_Doc.m_Status, m_Doc.m_LearningCycles)
                           : StatusText(status, m_Views.m_Count);
            m_Console.Progress(Format("%s   cycles %d   average error %.6f   validating %.2f%%",
                                      text.c_str(), m_Doc.m_LearningCycles.load(),
                                      m_Doc.m_AverageError.load(),
                                      m_Doc.m_LastValidatingResult.load()));
        }
    }

    CQuorinDoc& m_Doc;
    CConsole& m_Console;
    CConsoleViews& m_Views;
    std::atomic<bool> m_Done{false};
    std::thread m_Thread;
};

std::string Summary(CQuorinDoc& doc, const std::string& out) {
    int inputs = 0, outputs = 0, hidden[4] = {0, 0, 0, 0};
    for (const CNode& n : doc.m_Nodes) {
        if (n.NodeType == InputNode) ++inputs;
        if (n.NodeType == OutputNode) ++outputs;
        if (n.NodeType == HiddenNode && n.Layer >= 1 && n.Layer <= 3) ++hidden[n.Layer];
    }
    std::string shape = doc.m_Nodes.empty() ? std::string("no network")
                                            : Format("network %d", inputs);
    if (!doc.m_Nodes.empty()) {
        for (int l = 1; l <= 3; ++l)
            if (hidden[l] > 0) shape += Format("-%d", hidden[l]);
        shape += Format("-%d", outputs);
    }
    std::string files = out;
    const bool details = (doc.m_AutoSaveFlags & kAutoSaveDetails) != 0;
    if (details) files += ", " + DetailsFileName(out);
    if (doc.m_SpecialGrid) files += ", " + SpecialFileName(out, ".gr.txt");
    if (doc.m_SpecialWeights) files += ", " + SpecialFileName(out, ".we.txt");
    if (doc.m_SpecialBiases) files += ", " + SpecialFileName(out, ".bi.txt");
    if (doc.m_SpecialGraph) files += ", " + SpecialFileName(out, ".gp.txt");
    int training = 0, validating = 0;
    for (const CExample& ex : doc.m_Examples) {
        training += ex.ExampleType == Training;
        validating += ex.ExampleType == Validating;
    }
    return Format("%d Example rows (%d training, %d validating), %d Input/Output columns, %s; "
                  "%d learning cycles, average error %.6f, %.2f%% of the validating rows "
                  "within the rule. Files written: %s.",
                  static_cast<int>(doc.m_Examples.size()), training, validating,
                  static_cast<int>(doc.m_InOuts.size()), shape.c_str(),
                  doc.m_LearningCycles.load(), doc.m_AverageError.load(),
                  doc.m_LastValidatingResult.load(), files.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string script;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("quorin-batch %s\n", QUORIN_VERSION);
            return 0;
        }
        if (arg == "-o" && i + 1 < argc) {
            out = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "quorin-batch: unknown option '%s'\n\n%s", arg.c_str(), kUsage);
            return 2;
        } else if (script.empty()) {
            script = arg;
        } else {
            std::fprintf(stderr, "quorin-batch: only one script file can be run\n\n%s", kUsage);
            return 2;
        }
    }
    if (script.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (out.empty()) out = DefaultOutput(script);

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl-C ends the program at once
    sigaction(SIGINT, &action, nullptr);

    CConsole console(isatty(STDERR_FILENO) != 0);
    CConsolePrompts prompts(console);
    CConsoleClock clock;
    CMemorySettingsStore settings;
    CConsoleShell shell(console);
    CConsoleViews views;
    CQuorinApp app(CPlatform{&prompts, &clock, &settings, &shell, &views});
    CQuorinDoc doc(app);

    // As for a script named on the desktop program's command line, but keeping its result.
    app.m_ScriptRunning = true;
    doc.NewDocument();
    int result;
    {
        CProgressMonitor monitor(doc, console, views);
        result = RunScriptFile(doc, script);
        // Learning the script started and did not stop ends by its stop rules.
        if (result != ScriptCompleted) Stop(doc);
        WaitForLearning(doc);
    }
    console.EndProgress();
    app.m_ScriptRunning = false;
    if (result != ScriptCompleted) {
        std::string message = ScriptResultMessage(result);
        while (!message.empty() && message.back() == '\n') message.pop_back();
        console.Message(Format("quorin-batch: the script '%s' failed (result %d): %s",
                               script.c_str(), result, message.c_str()));
        return 1;
    }
    std::string error;
    doc.m_PathName = out;
    if (!SaveBatchDocument(doc, out, error)) {
        console.Message(Format("quorin-batch: the document could not be saved to '%s': %s",
                               out.c_str(), error.c_str()));
        return 1;
    }
    console.Message(Summary(doc, out));
    return 0;
}
