// quorin-batch preparing a Grid: the check's questions take their default answers and
// are printed with them, and the repaired Grid is what gets saved.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "BatchRun.h"
#include "ConsolePlatform.h"
#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

std::string ReadAll(std::FILE* f) {
    std::string text;
    std::rewind(f);
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0;) text.append(buffer.data(), n);
    return text;
}

class BatchGridTest : public DocTest {
protected:
    CTempDir Dir;
};

TEST_F(BatchGridTest, CheckGridRepairsWithDefaultAnswersAndPrintsThem) {
    WriteWholeFile(Dir.File("g.csv"), "a,b,c\r\n1,5,0\r\n2,5,1\r\n3,5,1\r\n9,5,0\r\n");
    const std::string script = Dir.File("g.txt");
    WriteWholeFile(script,
                   "importfile(g.csv,1,0,0,1,0,0,0,0)\r\n"
                   "columntypeandmode(2,1,1,1)\r\n"
                   "rowtype(3,1,1)\r\n"
                   "checkgrid\r\n"
                   "copycolumns(0,1,-1,0)\r\n"
                   "cr(0,1,2)\r\n"
                   "md(1)\r\n");
    std::FILE* messages = std::tmpfile();
    std::FILE* results = std::tmpfile();
    std::atomic<bool> interrupt{false};
    batch::CConsole console(false, messages, results);
    batch::CConsolePrompts prompts(console);
    batch::CConsoleClock clock(interrupt);
    CMemorySettings settings;
    batch::CConsoleShell shell(console);
    batch::CConsoleViews views;
    CQuorinApp app(CPlatform{&prompts, &clock, &settings, &shell, &views});
    app.m_ScriptRunning = true;
    CQuorinDoc doc(app);
    doc.NewDocument();
    const std::string out = Dir.File("g.tvq");
    ASSERT_EQ(batch::RunBatch(doc, console, views, script, out, interrupt), batch::kExitSuccess);
    const std::string printed = ReadAll(messages);
    std::fclose(messages);
    std::fclose(results);
    const std::string expected =
        "Row 3, column 0, Validating value not in Training range.\n\n"
        "Do you want to change the Validating example to a Training example ?  [Yes]\n"
        "Input/Output column 1 'b' needs more training values.\n\n"
        "Do you want to exclude the column?  [Yes]\n"
        "The Grid can be used to create a network.\n";
    EXPECT_NE(printed.find(expected), std::string::npos) << printed;

    std::string error;
    ASSERT_TRUE(ReadDocumentFile(Doc, out, error)) << error;
    ASSERT_EQ(Doc.m_Examples.size(), 6u);
    ASSERT_EQ(Doc.m_InOuts.size(), 4u);
    EXPECT_EQ(Doc.m_Examples[4].ExampleType, Training);  // row 3, one lower since the copy
    EXPECT_EQ(Doc.m_InOuts[1].InOutType, ExcludedCol);
    EXPECT_EQ(Doc.m_InOuts[3].InOutName, "a");
    // The copy leads its source by one row; the new top row is Training and empty.
    EXPECT_EQ(Doc.m_Examples[0].Values[3], 1.0);
    EXPECT_EQ(Doc.m_Examples[0].Values[0], kMissing);
    EXPECT_EQ(Doc.m_Examples[3].Values[3], 9.0);
    EXPECT_EQ(Doc.m_Examples[4].Values[3], kMissing);
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Querying);  // the copy of row 0
    EXPECT_EQ(Doc.m_Examples[5].Values[3], 1.0);
    EXPECT_EQ(Doc.m_MissingDataChoice, MissingHighest);
}

}  // namespace
}  // namespace quorin::test
