// quorin-batch: the bundled example end to end in-process, the interrupt, and the
// executable's command line, failures and Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "BatchRun.h"
#include "ConsolePlatform.h"
#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"
#include "network/Validation.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

namespace fs = std::filesystem;
using batch::CConsole;

const fs::path kExamples = fs::path(QUORIN_SOURCE_DIR) / "examples";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string ReadStream(std::FILE* f) {
    std::string text;
    std::rewind(f);
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;)
        text.append(buffer.data(), n);
    return text;
}

// The batch run in-process, wired exactly as main() wires it, with its output in files.
struct CBatchProcess {
    CBatchProcess()
        : Messages(std::tmpfile()), Results(std::tmpfile()), Console(false, Messages, Results),
          Prompts(Console), Clock(Interrupt), Shell(Console), Views(&Console),
          App(CPlatform{&Prompts, &Clock, &Settings, &Shell, &Views}), Doc(App) {
        App.m_ScriptRunning = true;
        Doc.NewDocument();
    }
    ~CBatchProcess() {
        std::fclose(Messages);
        std::fclose(Results);
    }
    int Run(const std::string& script, const std::string& out) {
        return batch::RunBatch(Doc, Console, Views, script, out, Interrupt);
    }

    std::atomic<bool> Interrupt{false};
    std::FILE* Messages;
    std::FILE* Results;
    CConsole Console;
    batch::CConsolePrompts Prompts;
    batch::CConsoleClock Clock;
    CMemorySettings Settings;
    batch::CConsoleShell Shell;
    batch::CConsoleViews Views;
    CQuorinApp App;
    CQuorinDoc Doc;
};

class BatchRunTest : public DocTest {
protected:
    // The example script beside a copy of its data, so that its outputs land here.
    std::string ExampleScript(const std::string& text) {
        fs::copy_file(kExamples / "iris.csv", Dir.Path() / "iris.csv");
        const std::string path = Dir.File("iris.txt");
        WriteWholeFile(path, text);
        return path;
    }
    CTempDir Dir;
};

TEST_F(BatchRunTest, TheExampleLearnsSavesAndReopens) {
    const std::string script = ExampleScript(ReadWholeFile((kExamples / "iris.txt").string()));
    const std::string out = Dir.File("iris.tvq");
    ASSERT_EQ(batch::DefaultOutput(script), out);
    CBatchProcess run;
    ASSERT_EQ(run.Run(script, out), batch::kExitSuccess) << ReadStream(run.Messages);
    const std::string summary = ReadStream(run.Results);
    EXPECT_EQ(summary.rfind("150 Example rows (120 training, 30 validating, 0 querying) and 5 "
                            "Input/Output columns (4 input, 1 output); a 4-5-1 network after ",
                            0),
              0u)
        << summary;
    EXPECT_NE(summary.find("(Validating correct: "), std::string::npos) << summary;
    const std::string files = "Files written: " + out + ", " + Dir.File("iris.gr.txt") + ", " +
                              Dir.File("iris.we.txt") + ", " + Dir.File("iris.bi.txt") + ", " +
                              Dir.File("iris.gp.txt") + ", " + Dir.File("iris.de.txt") + ".\n";
    EXPECT_EQ(summary.substr(summary.size() - std::min(summary.size(), files.size())), files);
    EXPECT_EQ(ReadWholeFile(Dir.File("iris.gr.txt")).rfind("..........\tI: ", 0), 0u);
    EXPECT_FALSE(run.Doc.IsModified());

    // The saved document, read back by the core reader, carries the learned network.
    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, out, error)) << error;
    EXPECT_EQ(Doc.m_Examples.size(), 150u);
    EXPECT_EQ(Doc.m_InOuts.size(), 5u);
    EXPECT_EQ(Doc.m_InOuts[4].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[4].Mode, Integer);
    EXPECT_EQ(Doc.m_LearningCycles.load(), run.Doc.m_LearningCycles.load());
    EXPECT_LT(Doc.m_LearningCycles.load(), 5000);
    EXPECT_EQ(run.Doc.m_Status.load(), StatusValidatingCorrect);  // stopped by its rule
    EXPECT_TRUE(Doc.m_SpecialGrid && Doc.m_SpecialGraph);
    EXPECT_EQ(Doc.m_ValidatingMode, 1);
    EXPECT_GE(Validate(Doc), 90.0);
    EXPECT_DOUBLE_EQ(Validate(Doc), run.Doc.m_LastValidatingResult.load());
}

TEST_F(BatchRunTest, AnInterruptEndsTheWaitSkipsTheRestAndStillSaves) {
    std::string text = ReadWholeFile((kExamples / "iris.txt").string());
    // Rules that never stop on their own, a long wait, and a line after it.
    text = Replace(text, "validatingstops(95,10,1,0)", "validatingstops(100,0,0,0)");
    text = Replace(text, "fixedperiodstops(1,60,1,5000)", "fixedperiodstops(0,0,0,0)");
    text = Replace(text, "specialfiles(1,1,1,1,1)", "specialfiles(0,0,0,0,0)");
    text += "wait(600000)\r\nspecialfiles(1,0,0,0,0)\r\n";
    const std::string script = ExampleScript(text);
    CBatchProcess run;
    std::thread interrupter([&run] {
        while (run.Doc.m_LearningCycles < 20) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        run.Interrupt = true;
    });
    const int status = run.Run(script, batch::DefaultOutput(script));
    interrupter.join();
    ASSERT_EQ(status, batch::kExitSuccess) << ReadStream(run.Messages);
    EXPECT_EQ(run.Doc.m_Status.load(), StatusStopped);
    EXPECT_FALSE(run.Doc.m_Learning);
    EXPECT_NE(ReadStream(run.Messages).find("Interrupted: learning stops"), std::string::npos);
    EXPECT_EQ(ReadStream(run.Results).rfind("Interrupted. 150 Example rows", 0), 0u);
    EXPECT_FALSE(run.Doc.m_SpecialGrid);  // the line after the wait never ran
    EXPECT_FALSE(fs::exists(Dir.Path() / "iris.gr.txt"));
    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, Dir.File("iris.tvq"), error)) << error;
    EXPECT_EQ(Doc.m_LearningCycles.load(), run.Doc.m_LearningCycles.load());
}

TEST_F(BatchRunTest, AutoSaveCopiesLandBesideTheOutputDocument) {
    const std::string script = ExampleScript(
        "importfile(iris.csv,1,0,0,1,0,0,0,0)\r\ncolumntypeandmode(0,4,0,0)\r\ncolumntypeandmode(4,1,1,1)\r\n"
        "createnetwork(3,0,0)\r\nrowtype(4,1,1)\r\nrowtype(9,1,1)\r\nfixedperiodstops(0,0,1,20)\r\n"
        "asv(19,5)\r\nstartlearning\r\n");
    const std::string out = Dir.File("out/run.tvq");
    fs::create_directory(Dir.Path() / "out");
    CBatchProcess run;
    ASSERT_EQ(run.Run(script, out), batch::kExitSuccess) << ReadStream(run.Messages);
    const std::string summary = ReadStream(run.Results);
    for (const char* ending : {".ed.tvq", ".vi.tvq", ".bu.tvq"}) {
        const std::string copy = Dir.File(std::string("out/run") + ending);
        CQuorinDoc opened(*P.App);
        std::string error;
        EXPECT_TRUE(ReadDocumentFile(opened, copy, error)) << copy << ": " << error;
        EXPECT_NE(summary.find(copy), std::string::npos) << summary;
    }
    EXPECT_EQ(run.Doc.m_AutoSavePeriod, 5);
    EXPECT_LT(run.Doc.m_LowestErrorSaved, 1.0);
}

TEST_F(BatchRunTest, AFailedSaveIsAFailure) {
    const std::string script = ExampleScript("importfile(iris.csv,1,0,0,1,0,0,0,0)\r\n");
    CBatchProcess run;
    EXPECT_EQ(run.Run(script, Dir.File("missing/iris.tvq")), batch::kExitFailed);
    const std::string messages = ReadStream(run.Messages);
    EXPECT_NE(messages.find("Unable to save the document " + Dir.File("missing/iris.tvq")),
              std::string::npos)
        << messages;
    EXPECT_EQ(ReadStream(run.Results), "");
}

// Reading or writing a large document shows on stderr, and leaves the learning progress
// line's status alone.
TEST_F(BatchRunTest, FileProgressGoesToTheMessagesOnly) {
    CBatchProcess run;
    run.Views.PostProgress(run.Doc, 40, StatusReadingFile);
    run.Views.PostProgress(run.Doc, 100, StatusWritingFile);
    EXPECT_EQ(ReadStream(run.Messages), "Reading the document: 40%\nSaving the document: 100%\n");
    EXPECT_EQ(ReadStream(run.Results), "");
    EXPECT_EQ(run.Views.m_Status, -1);
    run.Views.PostProgress(run.Doc, 7, StatusLearning);
    EXPECT_EQ(run.Views.m_Status, StatusLearning);
    EXPECT_EQ(run.Views.m_Count, 7);
}

TEST_F(BatchRunTest, GridPreparationTakesTheDefaultAnswersAndPrintsThem) {
    WriteWholeFile(Dir.File("g.csv"), "a,b,c\r\n1,5,0\r\n2,5,1\r\n3,5,1\r\n9,5,0\r\n");
    const std::string script = Dir.File("g.txt");
    WriteWholeFile(script,
                   "importfile(g.csv,1,0,0,1,0,0,0,0)\r\ncolumntypeandmode(2,1,1,1)\r\nrowtype(3,1,1)\r\n"
                   "checkgrid\r\ncopycolumns(0,1,-1,0)\r\ncr(0,1,2)\r\nmd(1)\r\n");
    CBatchProcess run;
    ASSERT_EQ(run.Run(script, Dir.File("g.tvq")), batch::kExitSuccess);
    const std::string printed = ReadStream(run.Messages);
    EXPECT_NE(printed.find("Row 3, column 0, Validating value not in Training range.\n\n"
                           "Do you want to change the Validating example to a Training example ?  [Yes]\n"
                           "Input/Output column 1 'b' needs more training values.\n\n"
                           "Do you want to exclude the column?  [Yes]\n"
                           "The Grid can be used to create a network.\n"),
              std::string::npos)
        << printed;

    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, Dir.File("g.tvq"), error)) << error;
    ASSERT_EQ(Doc.m_Examples.size(), 6u);
    ASSERT_EQ(Doc.m_InOuts.size(), 4u);
    EXPECT_EQ(Doc.m_Examples[4].ExampleType, Training);  // row 3, one lower since the copy
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);
    // The copy of column a leads it by one row; the new top row is Training and empty.
    std::vector<double> copy, source;
    for (const CExample& ex : Doc.m_Examples) {
        copy.push_back(ex.Values()[3]);
        source.push_back(ex.Values()[0]);
    }
    EXPECT_EQ(copy, (std::vector<double>{1, 2, 3, 9, kMissing, 1}));
    EXPECT_EQ(source, (std::vector<double>{kMissing, 1, 2, 3, 9, kMissing}));
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Querying);  // the copy of row 0
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingHighest);
}

// ---- the executable ----

struct CRun {
    int Status = -1;
    std::string Output;  // stdout and stderr together
};

CRun RunProgram(const std::string& arguments) {
    CRun run;
    const std::string command = std::string(QUORIN_BATCH_PROGRAM) + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.Output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(BatchProgramTest, CommandLine) {
    const CRun help = RunProgram("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Output.rfind("Usage: quorin-batch SCRIPT.txt [-o OUT.tvq]\n", 0), 0u);
    const CRun version = RunProgram("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Output.rfind("quorin-batch ", 0), 0u);
    EXPECT_EQ(RunProgram("").Status, 2);
    EXPECT_EQ(RunProgram("--bogus x.txt").Status, 2);
    EXPECT_EQ(RunProgram("x.txt -o").Status, 2);
    EXPECT_EQ(RunProgram("x.txt y.txt").Status, 2);
}

TEST(BatchProgramTest, AFailingScriptGivesItsMessageAndNoDocument) {
    CTempDir dir;
    const std::string script = dir.File("fail.txt");
    WriteWholeFile(script, "if(" + dir.File("missing.csv") + ",1,0,0,1)\r\n");
    const CRun run = RunProgram(script);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Output.find("The file to Import could not be opened."), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.Path() / "fail.tvq"));
    WriteWholeFile(dir.File("lf.txt"), "stl\n");
    const CRun lineFeeds = RunProgram(dir.File("lf.txt"));
    EXPECT_EQ(lineFeeds.Status, 1);
    EXPECT_NE(lineFeeds.Output.find("No line feeds can be found."), std::string::npos);
    EXPECT_EQ(RunProgram(dir.File("absent.txt")).Status, 1);
}

// Ctrl-C as a real signal: the program stops learning after its cycle and saves.
TEST(BatchProgramTest, SigintStopsLearningAndSaves) {
    CTempDir dir;
    fs::copy_file(kExamples / "iris.csv", dir.Path() / "iris.csv");
    std::string text = ReadWholeFile((kExamples / "iris.txt").string());
    text = Replace(text, "validatingstops(95,10,1,0)", "validatingstops(100,0,0,0)");
    text = Replace(text, "fixedperiodstops(1,60,1,5000)", "fixedperiodstops(0,0,0,0)");
    // No error target either: only the signal may end learning.
    text = Replace(text, "targeterrorstops(0,0.01)", "targeterrorstops(0,0)");
    const std::string script = dir.File("iris.txt");
    WriteWholeFile(script, text);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::execl(QUORIN_BATCH_PROGRAM, "quorin-batch", script.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    // The first progress line (plain, a second into learning) says learning runs.
    std::string output;
    std::array<char, 4096> buffer{};
    bool signalled = false;
    for (ssize_t n; (n = ::read(pipeFds[0], buffer.data(), buffer.size())) > 0;) {
        output.append(buffer.data(), static_cast<std::size_t>(n));
        if (!signalled && output.find("Learning: ") != std::string::npos) {
            signalled = true;
            ::kill(pid, SIGINT);
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(signalled) << output;
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
    EXPECT_NE(output.find("Interrupted. 150 Example rows"), std::string::npos) << output;
    EXPECT_NE(output.find("(Stopped). Files written: " + dir.File("iris.tvq") + ", "),
              std::string::npos)
        << output;
    EXPECT_TRUE(fs::exists(dir.Path() / "iris.gr.txt"));
    CTestPlatform platform;
    CQuorinDoc reopened(*platform.App);
    std::string error;
    EXPECT_TRUE(ReadDocumentFile(reopened, dir.File("iris.tvq"), error)) << error;
    EXPECT_GT(reopened.m_LearningCycles.load(), 0);
}

}  // namespace
}  // namespace quorin::test

#include "coding/ImageCodes.h"
#include "support/BitmapFiles.h"

namespace quorin::test {
namespace {

// Headless, an image name is answered with the file it names, beside the imported file or
// beside the script; the saved document carries the codes.
TEST_F(BatchRunTest, ImageNamesFindTheirBitmapsHeadless) {
    fs::create_directories(Dir.Path() / "data");
    WriteUniformBitmap((Dir.Path() / "data" / "cat.bmp").string(), 8, 8, {200, 100, 50});
    WriteUniformBitmap((Dir.Path() / "data" / "dog").string(), 8, 8, {200, 100, 50});
    WriteUniformBitmap(Dir.File("bird.bmp"), 8, 8, {0, 0, 0});
    WriteWholeFile(Dir.File("data/pets.csv"), "cat,1\r\ndog,2\r\nbird,3\r\ncat,4\r\n");
    const std::string script = Dir.File("pets.txt");
    WriteWholeFile(script,
                   "importfile(data/pets.csv,0,0,0,1,0,0,0,0)\r\ncolumntypeandmode(0,1,0,4)\r\n"
                   "importfile(data/pets.csv,0,0,0,1,0,0,0,0)\r\nrowtype(0,3,3)\r\n");
    CBatchProcess run;
    const std::string out = Dir.File("pets.tvq");
    ASSERT_EQ(run.Run(script, out), batch::kExitSuccess) << ReadStream(run.Messages);
    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, out, error)) << error;
    // The first line is passed over as a header; the first import's rows were Real.
    ASSERT_EQ(Doc.m_Images.size(), 3u);
    EXPECT_EQ(GetImageFileName(Doc, "dog"), (Dir.Path() / "data" / "dog").string());
    EXPECT_EQ(GetImageFileName(Doc, "bird"), Dir.File("bird.bmp"));
    EXPECT_EQ(GetImageFileName(Doc, "cat"), (Dir.Path() / "data" / "cat.bmp").string());
    EXPECT_EQ(GetImageCode(Doc, "dog", 1, 0), 300.0);
    EXPECT_EQ(GetImageCode(Doc, "bird", 1, 0), 301.0);
    EXPECT_EQ(GetImageCode(Doc, "cat", 1, 0), 302.0);  // dog's bitmap, apart from both
    EXPECT_EQ(GetImageCode(Doc, "bird", 2, 0), 303.0);
    EXPECT_EQ(GetImageCode(Doc, "cat", 2, 0), 304.0);
    ASSERT_EQ(Doc.m_Examples.size(), 6u);
    EXPECT_EQ(Doc.m_Examples[5].Values()[0], 302.0);
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Training);

    // A name that names no file is cancelled, and the import says so.
    WriteWholeFile(Dir.File("data/more.csv"), "x,0\r\nemu,5\r\n");
    const std::string more = Dir.File("more.txt");
    WriteWholeFile(more, "open(pets.tvq)\r\nimportfile(data/more.csv,0,0,0,1,0,0,0,0)\r\n");
    CBatchProcess second;
    EXPECT_NE(second.Run(more, Dir.File("more.tvq")), batch::kExitSuccess);
    EXPECT_NE(ReadStream(second.Messages).find("Select file to use for Image: [no file chosen]"),
              std::string::npos);
}

}  // namespace
}  // namespace quorin::test

#include <cmath>

#include "coding/ImageSignature.h"
#include "network/Node.h"
#include "network/Weight.h"

namespace quorin::test {
namespace {

CRgb Shade(int x, int y, int seed) {
    return {static_cast<std::uint8_t>((x * 37 + seed * 11) & 0xFF),
            static_cast<std::uint8_t>((y * 53 + seed * 29) & 0xFF),
            static_cast<std::uint8_t>(((x ^ y) * 19 + seed * 7) & 0xFF)};
}

// A CSV naming bitmaps becomes an Image input straight away: the columntypeandmode line
// after the import makes the import code the names. The saved codes are the coder's own,
// and the network with three nodes for the image learns.
TEST_F(BatchRunTest, ACsvOfBitmapNamesImportsIntoAnImageColumnAndLearns) {
    fs::create_directories(Dir.Path() / "data");
    CBitmapLayout cat;  // 24-bit, bottom-up
    cat.Width = 20;
    cat.Height = 12;
    cat.Colour = [](int x, int y) { return Shade(x, y, 1); };
    WriteBitmap((Dir.Path() / "data" / "cat.bmp").string(), MakeBitmap(cat));
    CBitmapLayout dog;  // 8-bit palette, top-down, in a file without an extension
    dog.Width = 9;
    dog.Height = 7;
    dog.BitCount = 8;
    dog.TopDown = true;
    for (int i = 0; i < 6; ++i) dog.Palette.push_back(Shade(i, 5 - i, 3));
    dog.Index = [](int x, int y) { return (x + 2 * y) % 7; };  // 6 is past the palette
    WriteBitmap((Dir.Path() / "data" / "dog").string(), MakeBitmap(dog));
    CBitmapLayout owl;  // 16-bit, 5-6-5 bit fields
    owl.Width = 13;
    owl.Height = 10;
    owl.BitCount = 16;
    owl.Compression = 3;
    owl.Masks = {0xF800, 0x07E0, 0x001F};
    owl.Colour = [](int x, int y) { return Shade(x, y, 5); };
    WriteBitmap((Dir.Path() / "data" / "owl.bmp").string(), MakeBitmap(owl));
    CBitmapLayout bee;  // 32-bit, beside the script rather than the CSV
    bee.Width = 6;
    bee.Height = 15;
    bee.BitCount = 32;
    bee.Colour = [](int x, int y) { return Shade(y, x, 9); };
    WriteBitmap(Dir.File("bee.bmp"), MakeBitmap(bee));

    WriteWholeFile(Dir.File("data/pics.csv"),
                   "picture,target\r\ncat,0.1\r\ndog,0.9\r\nowl.bmp,0.4\r\nbee,0.6\r\ncat,0.2\r\n");
    const std::string script = Dir.File("pics.txt");
    WriteWholeFile(script,
                   "importfile(data/pics.csv,1,0,0,1,0,0,0,0)\r\n"
                   "# the pictures are an Image input, the target a Real output\r\n"
                   "columntypeandmode(0,1,0,4)\r\ncolumntypeandmode(1,1,1,0)\r\n"
                   "createnetwork(2,0,0)\r\nfixedperiodstops(0,0,1,2)\r\nstartlearning\r\n");
    CBatchProcess run;
    const std::string out = Dir.File("pics.tvq");
    ASSERT_EQ(run.Run(script, out), batch::kExitSuccess) << ReadStream(run.Messages);
    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, out, error)) << error;

    // The same bitmaps coded afresh, in the same order, give the stored codes.
    CTestPlatform fresh;
    CQuorinDoc coder(*fresh.App);
    coder.AddCol(0, 0, 1);
    coder.SetInOutTypeAndMode(0, 0, Image);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"cat", (Dir.Path() / "data" / "cat.bmp").string()},
        {"dog", (Dir.Path() / "data" / "dog").string()},
        {"owl.bmp", (Dir.Path() / "data" / "owl.bmp").string()},
        {"bee", Dir.File("bee.bmp")}};
    ASSERT_EQ(Doc.m_Images.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [name, file] = files[i];
        ASSERT_LT(ImageCode(coder, name, file, 0, static_cast<int>(i)), kMissing) << name;
        EXPECT_EQ(GetImageFileName(Doc, name), file);
        for (int part = 1; part <= 3; ++part)
            EXPECT_EQ(GetImageCode(Doc, name, part, 0), GetImageCode(coder, name, part, 0))
                << name << " part " << part;
    }
    const std::string signature = GetImageSignature(coder, files[0].second);
    EXPECT_EQ(GetImageCode(Doc, "cat", 2, 0), SignatureCode(signature, 2));
    const std::vector<std::string> rows = {"cat", "dog", "owl.bmp", "bee", "cat"};
    ASSERT_EQ(Doc.m_Examples.size(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(Doc.m_Examples[r].Values()[0], GetImageCode(Doc, rows[r], 1, 0)) << r;
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Image);
    EXPECT_EQ(Doc.m_InOuts[0].InOutName, "picture");

    EXPECT_EQ(Doc.m_LearningCycles.load(), 2);
    int inputs = 0;
    for (const CNode& node : Doc.m_Nodes) inputs += node.Layer == kInputLayer;
    EXPECT_EQ(inputs, 3);
    for (const CWeight& w : Doc.m_Weights) EXPECT_TRUE(std::isfinite(w.Weight));
}

// A name that names no file ends the run saying so; a file that cannot be decoded leaves
// its cells missing with a message once, and the run goes on.
TEST_F(BatchRunTest, ImageFieldsThatCannotBeCodedAreReported) {
    CBitmapLayout rle;  // run-length compressed: refused
    rle.BitCount = 8;
    rle.Palette = {{1, 2, 3}};
    rle.Index = [](int, int) { return 0; };
    rle.Compression = 1;
    WriteBitmap(Dir.File("rle.bmp"), MakeBitmap(rle));
    WriteWholeFile(Dir.File("a.csv"), "p,t\r\nrle,1\r\nrle,2\r\n");
    WriteWholeFile(Dir.File("a.txt"), "importfile(a.csv,1,0,0,1,0,0,0,0)\r\nctm(0,1,0,4)\r\n");
    CBatchProcess first;
    ASSERT_EQ(first.Run(Dir.File("a.txt"), Dir.File("a.tvq")), batch::kExitSuccess);
    const std::string messages = ReadStream(first.Messages);
    const std::string cannot = Dir.File("rle.bmp") + " cannot be loaded as a bitmap.";
    ASSERT_NE(messages.find(cannot), std::string::npos) << messages;
    EXPECT_EQ(messages.find(cannot, messages.find(cannot) + 1), std::string::npos) << messages;
    ASSERT_EQ(first.Doc.m_Examples.size(), 2u);
    EXPECT_EQ(first.Doc.m_Examples[1].Values()[0], kMissing);

    WriteWholeFile(Dir.File("b.csv"), "p,t\r\nrle,1\r\nemu,2\r\n");
    WriteWholeFile(Dir.File("b.txt"), "importfile(b.csv,1,0,0,1,0,0,0,0)\r\nctm(0,1,0,4)\r\n");
    CBatchProcess second;
    EXPECT_EQ(second.Run(Dir.File("b.txt"), Dir.File("b.tvq")), batch::kExitFailed);
    EXPECT_NE(ReadStream(second.Messages)
                  .find("No Image file has been selected.\nThe import has not been completed.\n"
                        "quorin-batch: the script '" + Dir.File("b.txt") + "' failed (result 8)"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(Dir.Path() / "b.tvq"));
}

}  // namespace
}  // namespace quorin::test
