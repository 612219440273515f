#include <filesystem>
#include <fstream>
#include <iterator>

#include "automation/ScriptRunner.h"
#include "grid/DocumentFile.h"
#include "coding/ValueText.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class ScriptTest : public DocTest {
protected:
    ScriptTest() {
        P.App->m_ScriptRunning = true;  // as for a command-line script: no Script File dialog
    }

    std::string File(const std::string& bytes, const std::string& name = "run.txt") {
        const auto path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    int Run(const std::string& script) { return RunScriptFile(Doc, File(script)); }

    CTempDir m_Temp;
    const std::filesystem::path m_Dir = m_Temp.Path();
};

TEST_F(ScriptTest, LineRules) {
    const std::uint32_t start = P.Clock.m_Now;
    // Line feeds only: nothing runs.
    EXPECT_EQ(Run("w(1)\nw(2)\n"), ScriptNoCarriageReturns);
    EXPECT_EQ(P.Clock.m_Now, start);
    // Case-insensitive keywords and short forms; blanks are not trimmed; the last
    // command without a carriage return is not run; line feeds are dropped anywhere.
    EXPECT_EQ(Run("WAIT(1)\r\nW(2)\r\n w(4)\r\nw (8)\r\nw(\n16)\r\nwait(32"), 0);
    EXPECT_EQ(P.Clock.m_Now, start + 1 + 2 + 16);
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(ScriptTest, ParametersUseTheStandardConversions) {
    const CScriptLine l = ParseScriptLine("lc((20, 2x,,(0)");
    EXPECT_EQ(l.Keyword, "lc");
    ASSERT_EQ(l.Parameters.size(), 4u);
    EXPECT_EQ(l.Parameters[0], "20");
    EXPECT_EQ(l.Parameters[1], " 2x");
    EXPECT_EQ(ParseScriptLine("stl").Parameters.size(), 0u);
    EXPECT_EQ(Run("lc(20,2,0,0)\r\ntes(1, 0.25junk)\r\nfps(1,2.5,1,300)\r\n"), 0);
    EXPECT_EQ(Doc.m_LearningRate, 20.0);  // no clamping
    EXPECT_EQ(Doc.m_Momentum, 2.0);
    EXPECT_EQ(Doc.m_TargetErrorMode, 1);
    EXPECT_EQ(Doc.m_TargetError, 0.25);
    EXPECT_EQ(Doc.m_StopSeconds, 2.5);
    EXPECT_EQ(Doc.m_StopCycle, 300);
    EXPECT_EQ(Run("nr(1,0,1,0)\r\nvs(95,5,1,1)\r\n"), 0);
    EXPECT_EQ(Doc.m_ReconfigSwitches, 1 | 4);
    EXPECT_EQ(Doc.m_ValidatingTarget, 95.0);
    EXPECT_EQ(Doc.m_ValidatingMode, 1);
}

TEST_F(ScriptTest, ColumnAndRowTypes) {
    MakeGrid(4, 4, std::vector<double>(16, 1.0));
    EXPECT_EQ(Run("ctm(0,3,1,2)\r\nrt(1,2,2)\r\nctm(3,100,1,9)\r\nrt(3,-5,1)\r\n"), 0);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(Doc.m_InOuts[c].InOutType, Output);
        EXPECT_EQ(Doc.m_InOuts[c].Mode, Bool);
    }
    EXPECT_EQ(Doc.m_InOuts[3].InOutType, Input);  // mode 9 is refused with a message
    EXPECT_EQ(Doc.m_Examples[1].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Training);
    EXPECT_EQ(P.Prompts.Texts().size(), 1u);
}

TEST_F(ScriptTest, CreateNetworkCountsImageColumnsThreeTimes) {
    MakeGrid(4, 4, std::vector<double>(16, 1.0), {0, 0, 0, 1});
    Doc.m_InOuts[2].Mode = Image;
    EXPECT_EQ(Run("cn(5,0,0)\r\n"), 0);
    int counts[3] = {0, 0, 0};
    for (const CNode& n : Doc.m_Nodes) ++counts[n.NodeType];
    EXPECT_EQ(counts[InputNode], 5);
    EXPECT_EQ(counts[HiddenNode], 5);
    EXPECT_EQ(counts[OutputNode], 1);
    Doc.m_InOuts[2].Mode = Real;
    EXPECT_EQ(Run("createnetwork(2,1,2)\r\n"), 0);
    int layers[4] = {0, 0, 0, 0};
    for (const CNode& n : Doc.m_Nodes)
        if (n.NodeType == HiddenNode) ++layers[n.Layer];
    EXPECT_EQ(layers[1], 2);
    EXPECT_EQ(layers[2], 1);
    EXPECT_EQ(layers[3], 2);
    // Absurd sizes are refused with a message instead of exhausting memory, the sizes
    // counted without overflow; the network stays as it was.
    const std::vector<CWeight> before = Doc.m_Weights;
    for (const char* line : {"cn(2000000000,0,0)", "cn(2000000000,2000000000,2000000000)",
                             "cn(1,5000,5000)", "cn(30000000,0,0)"}) {
        P.Prompts.Clear();
        EXPECT_EQ(Run(std::string(line) + "\r\n"), 0);
        EXPECT_EQ(P.Prompts.Texts(),
                  std::vector<std::string>{"The network of the script line '" + std::string(line) +
                                           "' would be too large to build.\nThe line has been "
                                           "skipped."});
    }
    EXPECT_EQ(Doc.m_Weights.size(), before.size());
    // Layers 2 and 3 are built once with the rest, not one rebuild per node.
    EXPECT_EQ(Run("cn(1,300,200)\r\n"), 0);
    EXPECT_EQ(Doc.m_Weights.size(), 3u * 1 + 1 * 300 + 300 * 200 + 200 * 1);
}

// "query" answers the Querying rows with the network before writing them.
TEST_F(ScriptTest, QueryAnswersAndWritesTheQueryingRows) {
    MakeGrid(4, 2, {0, 10, 1, 20, 2, 30, 3, 40}, {0, 1});
    const std::string path = (m_Dir / "answers.qu.txt").string();
    EXPECT_EQ(Run("cn(2,0,0)\r\nrt(2,1,2)\r\nq(" + path + ")\r\nquery\r\n"), 0);
    const double answer = Doc.m_Examples[2].Values()[1];
    EXPECT_NE(answer, 30.0);
    EXPECT_GT(answer, 10.0);
    EXPECT_LT(answer, 40.0);
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string expected = "\tI: " + Doc.m_InOuts[0].InOutName + "\tO: " +
                                 Doc.m_InOuts[1].InOutName + "\t\r\n" +
                                 Doc.m_Examples[2].ExampleName + "\t" +
                                 FormatValue(Doc, Doc.m_Examples[2].Values()[0], 0) + "\t" +
                                 FormatValue(Doc, answer, 1);
    EXPECT_EQ(text, expected);
    // Without a path, beside the script.
    EXPECT_TRUE(std::filesystem::exists(m_Dir / "run.qu.txt"));
}

TEST_F(ScriptTest, RandomValidatingRows) {
    MakeGrid(10, 2, std::vector<double>(20, 1.0));
    EXPECT_EQ(Run("vc(100,100,50)\r\n"), 0);
    int validating = 0;
    for (const CExample& ex : Doc.m_Examples) validating += ex.ExampleType == Validating;
    EXPECT_EQ(validating, 5);
    EXPECT_EQ(Doc.m_RandomValidatingCount, 5);
    EXPECT_EQ(Doc.m_Examples.front().ExampleType, Training);
    EXPECT_EQ(Doc.m_Examples.back().ExampleType, Training);
    EXPECT_EQ(Doc.m_CyclesBeforeFirstValidating, 100);

    CQuorinDoc small(*P.App);
    small.NewDocument();
    small.AddCol(0, 0, 1);
    small.AddRow(0, Training, 0, 0);
    small.AddRow(0, Training, 0, 0);
    EXPECT_EQ(SetRandomValidatingRows(small, 100), 0);
    // More rows than the generator has values: the draws stay bounded.
    CQuorinDoc wide(*P.App);
    wide.NewDocument();
    wide.AddCol(0, 0, 1);
    for (int r = 0; r < 70000; ++r) wide.AddRow(0, r == 40001 ? Training : ExcludedRow, 0, 0);
    wide.m_Examples[0].ExampleType = Training;
    wide.m_Examples[1].ExampleType = Training;
    wide.m_Examples[2].ExampleType = Training;
    SetRandomValidatingRows(wide, 100);
    EXPECT_EQ(wide.m_Examples[1].ExampleType, Validating);
    EXPECT_EQ(wide.m_Examples[2].ExampleType, Validating);

    // Past 32768 rows the draw can't reach every row: as many as it reaches are turned, the
    // work stays bounded, and the message says how many.
    CQuorinDoc many(*P.App);
    many.NewDocument();
    many.AddCol(0, 0, 1);
    for (int r = 0; r < 40000; ++r) many.AddRow(0, Training, 0, 0);
    P.Prompts.Clear();
    EXPECT_EQ(SetRandomValidatingRows(many, 100), 39998);
    int turned = 0;
    for (const CExample& ex : many.m_Examples) turned += ex.ExampleType == Validating;
    EXPECT_GT(turned, 30000);
    EXPECT_LE(turned, 32768);
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"Only " + std::to_string(turned) +
                                       " of the 39998 Training rows asked for could be turned "
                                       "into Validating rows."});
}

TEST_F(ScriptTest, ImportEndsTheRunWithItsMessage) {
    P.App->m_ScriptRunning = false;
    const std::string script = File("if(" + (m_Dir / "missing.csv").string() + ",1,0,0,1)\r\nw(5)\r\n");
    P.Prompts.QueueFile(script);
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        EXPECT_EQ(f.Title, "Script File");
        f.PressedButton = "Run";
    });
    const std::uint32_t start = P.Clock.m_Now;
    OnFileScript(Doc);
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"The file to Import could not be opened.\n"});
    EXPECT_EQ(P.Clock.m_Now, start);
    EXPECT_FALSE(P.App->m_ScriptRunning);
    EXPECT_EQ(P.Prompts.FileRequests()[0].Title, "Open script file to run");
}

TEST_F(ScriptTest, ImportWithTrimmedPathBesideTheScript) {
    File("a,b,c\r\n1,2,3\r\n4,5,6\r\n7,8,9\r\n", "data.csv");
    EXPECT_EQ(Run("importfile(  data.csv ,1,0,0,1,0,0,0,0)\r\nctm(2,1,1,0)\r\n"), 0);
    ASSERT_EQ(Doc.m_InOuts.size(), 3u);
    EXPECT_EQ(Doc.m_InOuts[0].InOutName, "a");
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_Examples.size(), 3u);
}

// The columntypeandmode lines right after an import that creates the columns decide how
// it reads them; the last word counts, and a line with another keyword ends the look.
TEST_F(ScriptTest, ModesGivenAfterTheImportThatCreatesTheColumns) {
    File("a,b,c,d\r\nred,blue,green,7\r\npink,grey,teal,8\r\n", "data.csv");
    EXPECT_EQ(Run("importfile(data.csv,1,0,0,1,0,0,0,0)\r\n# text columns\r\nctm(0,2,0,3)\r\n"
                  "rt(0,1,1)\r\nctm(1,1,0,0)\r\nw(1)\r\nctm(2,1,0,3)\r\n"),
              0);
    ASSERT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Text);
    EXPECT_EQ(FormatCellValue(Doc, 0, 1), "pink");
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Real);
    EXPECT_TRUE(IsMissing(Doc.m_Examples[0].Values()[1]));
    // Set after a wait: the import had read the column as numbers.
    EXPECT_EQ(Doc.m_InOuts[2].Mode, Text);
    EXPECT_TRUE(IsMissing(Doc.m_Examples[0].Values()[2]));
    EXPECT_EQ(Doc.m_Examples[1].Values()[3], 8.0);

    // Into a Grid that has its columns, the modes stay as they are.
    EXPECT_EQ(Run("importfile(data.csv,1,0,0,1,0,0,0,0)\r\nctm(1,1,0,3)\r\n"), 0);
    ASSERT_EQ(Doc.m_Examples.size(), 4u);
    EXPECT_TRUE(IsMissing(Doc.m_Examples[3].Values()[1]));
}

TEST_F(ScriptTest, SaveFileWritesBesideTheScript) {
    File("a,b\r\n1,2\r\n3,4\r\n", "data.csv");
    EXPECT_EQ(Run("if(data.csv,1,0,0,1,0,0,0,0)\r\nsavefile( saved.tvq )\r\nsvf()\r\n"), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "The script line 'savefile' needs the path of the document to write and has been "
              "skipped.");
    EXPECT_EQ(Doc.m_PathName, (m_Dir / "saved.tvq").string());
    EXPECT_FALSE(Doc.IsModified());
    CQuorinDoc reopened(*P.App);
    std::string error;
    ASSERT_TRUE(ReadDocumentFile(reopened, (m_Dir / "saved.tvq").string(), error)) << error;
    ASSERT_EQ(reopened.m_Examples.size(), 2u);
    EXPECT_EQ(reopened.m_Examples[1].Values()[1], 4.0);
}

TEST_F(ScriptTest, EditCancelAndOpenRefusals) {
    P.App->m_ScriptRunning = false;
    const std::string script = File("w(1)\r\n");
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.PressedButton = "Edit"; });
    EXPECT_EQ(RunScriptFile(Doc, script), ScriptEdit);
    EXPECT_EQ(P.Shell.m_Opened, std::vector<std::string>{script});
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(RunScriptFile(Doc, script), ScriptCancelled);
    P.Prompts.QueueDialogOk();
    EXPECT_EQ(RunScriptFile(Doc, (m_Dir / "none.txt").string()), ScriptNotOpened);
    EXPECT_EQ(P.Prompts.LastText(), "File exception 2");

    P.App->m_ScriptRunning = true;
    Doc.m_PathName = "/data/first.tvq";
    P.Prompts.Clear();
    EXPECT_EQ(Run("open(/data/second.tvq)\r\nw(5)\r\n"), ScriptWouldOverwrite);
    EXPECT_TRUE(P.Prompts.Texts().empty());
    Doc.m_PathName.clear();
    EXPECT_EQ(Run("o(/data/none.tvq)\r\n"), ScriptOpenFailed);
    EXPECT_EQ(P.Prompts.LastText(), "The file '/data/none.tvq' cannot be opened.");
    EXPECT_EQ(ScriptResultMessage(ScriptOpenFailed),
              "The Script could not open the document file.");
}

}  // namespace
}  // namespace quorin::test
