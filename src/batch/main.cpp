// quorin-batch: runs a script file on a new document without a window, waits for the
// learning it started, saves the document and its special files, and sums up.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "BatchRun.h"
#include "ConsolePlatform.h"
#include "grid/QuorinDoc.h"

using namespace quorin;
using namespace quorin::batch;

namespace {

const char* const kUsage =
    "Usage: quorin-batch SCRIPT.txt [-o OUT.tvq]\n"
    "\n"
    "Runs the script file on a new document as the desktop program does for a script\n"
    "named on its command line. Messages go to stderr; a question is answered with its\n"
    "default button, shown beside it. While learning runs a progress line shows the\n"
    "status, cycles, average error and last validating %. When the script started\n"
    "learning and did not stop it, the program waits for the learning to end by its stop\n"
    "rules; Ctrl-C stops it after the current cycle (and skips the script's remaining\n"
    "lines). Then the document is saved to OUT.tvq (default: the script's path with .tvq\n"
    "in place of .txt) together with the special files it chooses, and a summary is\n"
    "printed on stdout.\n"
    "\n"
    "Options:\n"
    "  -o OUT.tvq   where to save the document\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "\n"
    "Exit status: 0 when the script ran and the document was saved; 1 when the script\n"
    "failed (its message is shown) or the save failed; 2 for a bad command line.\n";

void OnInterrupt(int) { g_Interrupted = true; }

}  // namespace

int main(int argc, char** argv) {
    std::string script;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitSuccess;
        }
        if (arg == "--version") {
            std::printf("quorin-batch %s\n", QUORIN_VERSION);
            return kExitSuccess;
        }
        if (arg == "-o") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "quorin-batch: -o needs a file name\n\n%s", kUsage);
                return kExitUsage;
            }
            out = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "quorin-batch: unknown option '%s'\n\n%s", arg.c_str(), kUsage);
            return kExitUsage;
        } else if (script.empty() && !arg.empty()) {
            script = arg;
        } else {
            std::fprintf(stderr, "quorin-batch: only one script file can be run\n\n%s", kUsage);
            return kExitUsage;
        }
    }
    if (script.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (out.empty()) out = DefaultOutput(script);

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl-C ends the program at once
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    CConsole console(isatty(STDERR_FILENO) != 0);
    CConsolePrompts prompts(console);
    CConsoleClock clock;
    CMemorySettings settings;
    CConsoleShell shell(console);
    CConsoleViews views(&console);
    CQuorinApp app(CPlatform{&prompts, &clock, &settings, &shell, &views});
    CQuorinDoc doc(app);

    // As for a script named on the desktop program's command line.
    app.m_ScriptRunning = true;
    doc.NewDocument();
    const int status = RunBatch(doc, console, views, script, out, g_Interrupted);
    app.m_ScriptRunning = false;
    return status;
}
