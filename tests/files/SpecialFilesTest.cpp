#include <filesystem>
#include <fstream>
#include <sstream>

#include "coding/ValueText.h"
#include "files/SpecialFiles.h"
#include "files/SpecialFilesDialog.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class SpecialFilesTest : public DocTest {
protected:
    SpecialFilesTest() {
        std::filesystem::create_directories(m_Dir / "run.1");
        // Two inputs, one output; a 2-1-1 network by hand with one removed connection.
        MakeGrid(3, 3, {1, 2, 0, 3, 4, 1, 5, 6, 0}, {0, 0, 1});
        Doc.m_InOuts[0].InOutName = "first";
        Doc.m_InOuts[1].InOutName = "a_very_long_name";
        Doc.m_InOuts[2].InOutName = "out";
        Doc.m_Examples[0].ExampleName = "r0";
        Doc.m_Examples[1].ExampleType = Validating;
        Doc.m_Nodes = {{InputNode, 0, 0, -1, -1, 0.25, 0.25, 0, 0, 0, 0, 0},
                       {InputNode, 1, 0, -1, -1, 0.5, 0.5, 0, 0, 0, 0, 0},
                       {HiddenNode, 2, 1, 0, 2, 0.1, 0.6, 0.01, 0, -0.125, 0, 0},
                       {OutputNode, 3, 9, 2, 3, 0.2, 0.7, 0.02, 0, 0.375, 0, 0}};
        Doc.m_Weights = {{0, 0, 2, 0, 0.5, 0, 0}, {1, 0, 2, 1, -0.25, 0, 0}, {0, 0, 3, 2, 1.5, 0, 0}};
        Doc.m_GraphPoints = {{0, 1, 1, 1}, {1, 0.5, 0.75, 0.25}, {2, 0.4, 0.6, 0.2}};
    }

    static std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    CTempDir m_Temp;
    const std::filesystem::path m_Dir = m_Temp.Path();
};

TEST_F(SpecialFilesTest, NamesComeFromTheFirstDotAndTheLastFourCharacters) {
    EXPECT_EQ(SpecialFileName("data/run.1/set.tvq", ".gr.txt"), "data/run.gr.txt");
    EXPECT_EQ(DetailsFileName("data/run.1/set.tvq"), "data/run.1/set.de.txt");
    EXPECT_EQ(DetailsFileName("name.ed.tvq"), "name.ed.de.txt");
    EXPECT_EQ(SpecialFileName("plain", ".we.txt"), "plain.we.txt");
}

TEST_F(SpecialFilesTest, WeightsBiasesAndGraphFilesByteForByte) {
    Doc.m_SpecialWeights = Doc.m_SpecialBiases = Doc.m_SpecialGraph = 1;
    const auto path = (m_Dir / "run.1" / "set.tvq").string();
    SaveOptionalFiles(Doc, path);
    const auto base = m_Dir / "run";
    EXPECT_EQ(Read(base.string() + ".we.txt"),
              "connect\tfrom\tto\tweight\r\n0\t0\t2\t0.500000\r\n2\t2\t3\t1.500000\r\n");
    EXPECT_EQ(Read(base.string() + ".bi.txt"),
              "node\tbias   \tweight    \tfrom\tto\r\n0\t0.000000\r\n1\t0.000000\r\n"
              "2\t-0.125000\r\n\t\t0.500000\t0\t2\r\n3\t0.375000\r\n\t\t1.500000\t2\t3\r\n");
    EXPECT_EQ(Read(base.string() + ".gp.txt"),
              "cycles\tmax error\tave error\tmin error\r\n1\t0.750000\t0.500000\t0.250000\r\n"
              "2\t0.600000\t0.400000\t0.200000\r\n");
    EXPECT_FALSE(std::filesystem::exists(base.string() + ".gr.txt"));
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(SpecialFilesTest, GridFileWithItsRangeTable) {
    Doc.m_SpecialGrid = 1;
    const auto path = (m_Dir / "g.tvq").string();
    SaveOptionalFiles(Doc, path);
    std::string expected = "..........\tI: first \tI: a_very_long_name \tO: out \t";
    const char* prefixes[] = {"T: ", "V: ", "T: "};
    for (int r = 0; r < 3; ++r) {
        expected += std::string("\r\n") + prefixes[r] + Doc.m_Examples[r].ExampleName;
        for (int c = 0; c < 3; ++c)
            expected += "\t" + FormatValue(Doc, Doc.m_Examples[r].Values()[c], c);
    }
    expected +=
        "\r\n\r\nColumn\t\t\tMin Value\tMax Value\r\n"
        "0\tfirst          \t1.0000         \t5.0000\r\n"
        "1\ta_very_long_...\t2.0000         \t6.0000\r\n"
        "2\tout            \t0.0000         \t1.0000\r\n";
    EXPECT_EQ(Read(m_Dir / "g.gr.txt"), expected);
}

TEST_F(SpecialFilesTest, DetailsFile) {
    Doc.m_AutoSaveFlags = kAutoSaveDetails;
    Doc.m_PathName = "doc.tvq";
    // A backup copy writes no details file.
    SaveOptionalFiles(Doc, (m_Dir / "d.BU.tvq").string());
    EXPECT_FALSE(std::filesystem::exists(m_Dir / "d.BU.de.txt"));

    const std::vector<CNode> live = Doc.m_Nodes;
    SaveOptionalFiles(Doc, (m_Dir / "d.tvq").string());
    const std::string text = Read(m_Dir / "d.de.txt");
    // The row is presented to a copy: the live records keep what they held.
    for (std::size_t n = 0; n < live.size(); ++n) {
        EXPECT_EQ(Doc.m_Nodes[n].NetInput, live[n].NetInput) << n;
        EXPECT_EQ(Doc.m_Nodes[n].Activation, live[n].Activation) << n;
    }
    // ... and the file shows that row's presentation: 1 and 2 of the ranges 1..5 and 2..6.
    EXPECT_NE(text.find("INPUT layer node.  Normalized Input: 0.000000  Activation: 0.000000"),
              std::string::npos);
    const std::string header =
        "doc.tvq Node and Connection Details.\r\n\r\nInputs, activations and errors are those "
        "produced when the\r\nfirst training example row is presented to the network.\r\n\r\n"
        "Connection weights and bias values are valid for all rows.\r\n\r\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    EXPECT_NE(text.find("\r\n0         first\r\n\r\n\tINPUT layer node.  Normalized Input: "),
              std::string::npos);
    EXPECT_NE(text.find("\r\n2         \r\n\r\n\tHIDDEN layer 1 node.  Net input: "),
              std::string::npos);
    EXPECT_NE(text.find("\t\tConnection 0       from Node 0:   Weight: 0.500000\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\tConnection 1       from Node 1: not used\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n3         out\r\n\r\n\tOUTPUT layer node.  Net Input: "),
              std::string::npos);

    // Without a training row the header stays and nothing else is written.
    for (CExample& ex : Doc.m_Examples) ex.ExampleType = Querying;
    Doc.m_SpecialGraph = 1;
    SaveOptionalFiles(Doc, (m_Dir / "e.tvq").string());
    EXPECT_EQ(Read(m_Dir / "e.de.txt"), header);
    EXPECT_FALSE(std::filesystem::exists(m_Dir / "e.gp.txt"));
    EXPECT_EQ(P.Prompts.LastText(), "No suitable row can be found for snapshot.");
}

TEST_F(SpecialFilesTest, ImageColumnsGiveThreeNodesAndFailuresStopTheRest) {
    Doc.m_InOuts[0].Mode = Image;
    Doc.m_Nodes.insert(Doc.m_Nodes.begin(), 2, Doc.m_Nodes[0]);
    const auto details = (m_Dir / "i.de.txt").string();
    std::ofstream(details, std::ios::binary).close();
    EXPECT_TRUE(SaveNodeDetails(Doc, details, 0, InputNode, "first", " PC"));
    EXPECT_NE(Read(details).find("\r\n0         first PC\r\n"), std::string::npos);
    EXPECT_FALSE(SaveNodeDetails(Doc, (m_Dir / "no" / "x.de.txt").string(), 0, 0, "", ""));

    Doc.m_SpecialGrid = Doc.m_SpecialWeights = 1;
    SaveOptionalFiles(Doc, (m_Dir / "missing" / "f.tvq").string());
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{"Could not open file."});
}

TEST_F(SpecialFilesTest, TheDialogShowsTheDerivedNamesStoresTheChoicesAndCanWriteAtOnce) {
    Doc.m_PathName = (m_Dir / "run.1" / "set.tvq").string();
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Weights").IntValue = 1;
        f.Field("Details").IntValue = 1;
        f.Field("When").IntValue = 1;  // save now
    });
    OnOptionsFile(Doc);
    const CDialogForm form = P.Prompts.Dialogs().at(0);
    EXPECT_EQ(form.Title, "Special files");
    EXPECT_EQ(form.Field("Grid").Label, "Grid names, types and values (" + (m_Dir / "run.gr.txt").string() + ")");
    EXPECT_EQ(form.Field("Details").Label,
              "Network node and connection details (" + (m_Dir / "run.1" / "set.de.txt").string() + ")");
    EXPECT_EQ(Doc.m_SpecialWeights, 1);
    EXPECT_EQ(Doc.m_SpecialGrid, 0);
    EXPECT_EQ(Doc.m_AutoSaveFlags & kAutoSaveDetails, kAutoSaveDetails);
    EXPECT_TRUE(std::filesystem::exists(m_Dir / "run.we.txt"));
    EXPECT_TRUE(std::filesystem::exists(m_Dir / "run.1" / "set.de.txt"));
    EXPECT_TRUE(Doc.IsModified());

    Doc.m_Learning = true;
    EXPECT_FALSE(CanOptionsFile(Doc));
    Doc.m_Learning = false;
}

}  // namespace
}  // namespace quorin::test
