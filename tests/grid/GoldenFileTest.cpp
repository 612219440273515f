// Stored documents with content, kept in tests/data: reading one must give the values it was
// made from, and writing what was read must give the same bytes. The reader and the writer
// share their field lists, so a round trip alone would not notice two fields changing places.
// QUORIN_WRITE_GOLDEN=1 writes the files afresh from the documents built below.
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "coding/TextCodes.h"
#include "grid/DocumentFile.h"
#include "network/Learning.h"
#include "network/NetworkBuild.h"
#include "network/Propagation.h"
#include "network/Validation.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

namespace fs = std::filesystem;

// Three columns (a Text input, a Real input, a Real output) and five rows of every kind.
void BuildTextGrid(CQuorinDoc& doc) {
    doc.NewDocument();
    doc.AddCol(0, Input, 1);
    doc.AddCol(0, Input, 1);
    doc.AddCol(0, Output, 1);
    doc.SetInOutName(0, "colour");
    doc.SetInOutName(1, "size");
    doc.SetInOutName(2, "price");
    doc.SetInOutTypeAndMode(0, Input, Text);
    const char* colours[] = {"red", "green", "blue", "green", "amber"};
    const double sizes[] = {1.5, 2.0, 3.25, 4.0, kMissing};
    const double prices[] = {10.0, 12.5, 20.0, 31.0, 8.0};
    const int types[] = {Training, Training, Validating, Querying, Training};
    for (int r = 0; r < 5; ++r) {
        doc.AddRow(0, Training, 0, 1);
        doc.SetExampleName(r, std::string("row ") + static_cast<char>('a' + r), 1);
        doc.SetValue(0, r, Hash(doc, colours[r], 0, 1), 0, 0, 0, 1);
        doc.SetValue(1, r, sizes[r], 0, 0, 0, 1);
        doc.SetValue(2, r, prices[r], 0, 0, 0, 1);
        doc.SetExampleType(r, types[r]);
    }
    doc.RenormaliseAll(1);
    doc.m_LearningRate = 0.35;
    doc.m_Momentum = 0.65;
    doc.m_TargetError = 0.0625;  // stored with an offset of 1000: exact
}

// The Grid above with a 2-3-1 network after one hand-made learning step, a learning graph
// and validating rules for two columns.
void BuildNetworkDocument(CQuorinDoc& doc) {
    BuildTextGrid(doc);
    NewNetwork(doc, 2, 3, 1, 0);
    ConnectInputs(doc, 0, 1);
    CalculateActivations(doc);
    CalculateErrors(doc, 0);
    CalculateWeights(doc);
    doc.m_LearningCycles = 3;
    doc.m_LoadCount = 2;
    doc.m_AverageError = 0.1875;
    NewGraphPoint(doc, 1, 0.5, 0.75, 0.25);
    NewGraphPoint(doc, 2, 0.375, 0.625, 0.125);
    NewGraphPoint(doc, 3, 0.1875, 0.3125, 0.0625);
    NewRules(doc, 2, 1, 12.5, 3, 0, 0);
    NewRules(doc, 1, 0, 0.0, 0, 1, 2);
}

struct CGolden {
    const char* Name;
    void (*Build)(CQuorinDoc&);
};
const CGolden kGoldens[] = {{"text-grid.tvq", BuildTextGrid}, {"network.tvq", BuildNetworkDocument}};

fs::path GoldenPath(const char* name) { return fs::path(QUORIN_TEST_DATA_DIR) / name; }

// Every stored field of the settings and the lists, by name.
void ExpectSameStoredFields(const CQuorinDoc& a, const CQuorinDoc& b) {
#define SAME(field) EXPECT_EQ(a.field, b.field) << #field
    SAME(m_SpecialBiases);
    SAME(m_SpecialGrid);
    SAME(m_SpecialGraph);
    SAME(m_SpecialWeights);
    SAME(m_Colours);
    SAME(m_MissingDataChoice);
    SAME(m_ReconfigSwitches);
    SAME(m_StopAfter);
    SAME(m_OptimiseLearningRate);
    SAME(m_OptimiseMomentum);
    SAME(m_WithinPercentage);
    SAME(m_NetworkExists);
    SAME(m_ValidatingTarget);
    SAME(m_CyclesBeforeFirstValidating);
    SAME(m_CyclesPerValidating);
    SAME(m_TargetError);
    SAME(m_NodeCount);
    SAME(m_GrowLayer1);
    SAME(m_DecayMomentum);
    SAME(m_DecayLearningRate);
    SAME(m_Momentum);
    SAME(m_LearningRate);
    SAME(m_LearningCycles.load());
    SAME(m_TargetErrorMode);
    SAME(m_ValidatingMode);
    SAME(m_AverageError.load());
    SAME(m_StopSeconds);
    SAME(m_AutoSavePeriod);
    SAME(m_LowestErrorSaved);
    SAME(m_HighestValidatingSaved);
    SAME(m_AutoSaveFlags);
    SAME(m_PruningCycles);
    SAME(m_LoadCount);
    SAME(m_FileStatus);
    SAME(m_PruningThreshold);
    SAME(m_RowCount);
    SAME(m_ColCount);
    SAME(m_Examples.size());
    SAME(m_InOuts.size());
    SAME(m_Nodes.size());
    SAME(m_Weights.size());
    SAME(m_GraphPoints.size());
    SAME(m_HashTexts.size());
    SAME(m_Rules.size());
    SAME(m_Images.size());
    SAME(m_Associations.size());
#undef SAME
    if (a.m_Examples.size() != b.m_Examples.size() || a.m_InOuts.size() != b.m_InOuts.size() ||
        a.m_Nodes.size() != b.m_Nodes.size() || a.m_Weights.size() != b.m_Weights.size() ||
        a.m_GraphPoints.size() != b.m_GraphPoints.size() ||
        a.m_HashTexts.size() != b.m_HashTexts.size() || a.m_Rules.size() != b.m_Rules.size())
        return;
#define SAME(list, field) EXPECT_EQ(a.list[i].field, b.list[i].field) << #list << " " << i << " " << #field
    for (std::size_t i = 0; i < a.m_Examples.size(); ++i) {
        SAME(m_Examples, ExampleName);
        SAME(m_Examples, ExampleType);
        SAME(m_Examples, Values().size());
        EXPECT_EQ(test::AsVector(a.m_Examples[i].Values()), test::AsVector(b.m_Examples[i].Values())) << i;
        EXPECT_EQ(test::AsVector(a.m_Examples[i].NormalisedValues()),
                  test::AsVector(b.m_Examples[i].NormalisedValues()))
            << i;
    }
    for (std::size_t i = 0; i < a.m_InOuts.size(); ++i) {
        SAME(m_InOuts, InOutName);
        SAME(m_InOuts, InOutType);
        SAME(m_InOuts, Mode);
        SAME(m_InOuts, LowValue);
        SAME(m_InOuts, HighValue);
    }
    for (std::size_t i = 0; i < a.m_Nodes.size(); ++i) {
        SAME(m_Nodes, NodeType);
        SAME(m_Nodes, NodeNumber);
        SAME(m_Nodes, Layer);
        SAME(m_Nodes, FirstWeight);
        SAME(m_Nodes, LastWeight);
        SAME(m_Nodes, NetInput);
        SAME(m_Nodes, Activation);
        SAME(m_Nodes, Error);
        SAME(m_Nodes, Delta);
        SAME(m_Nodes, Bias);
        SAME(m_Nodes, BiasChange);
        SAME(m_Nodes, BiasPreviousChange);
    }
    for (std::size_t i = 0; i < a.m_Weights.size(); ++i) {
        SAME(m_Weights, WeightType);
        SAME(m_Weights, WeightNumber);
        SAME(m_Weights, ToNode);
        SAME(m_Weights, FromNode);
        SAME(m_Weights, Weight);
        SAME(m_Weights, WeightChange);
        SAME(m_Weights, PreviousWeightChange);
    }
    for (std::size_t i = 0; i < a.m_GraphPoints.size(); ++i) {
        SAME(m_GraphPoints, Cycles);
        SAME(m_GraphPoints, AveError);
        SAME(m_GraphPoints, MaxError);
        SAME(m_GraphPoints, MinError);
    }
    for (std::size_t i = 0; i < a.m_HashTexts.size(); ++i) {
        SAME(m_HashTexts, Column);
        SAME(m_HashTexts, Code);
        SAME(m_HashTexts, Text);
    }
    for (std::size_t i = 0; i < a.m_Rules.size(); ++i) {
        SAME(m_Rules, Col);
        SAME(m_Rules, Within);
        SAME(m_Rules, WithinPercentage);
        SAME(m_Rules, WithinScore);
        SAME(m_Rules, Correct);
        SAME(m_Rules, CorrectScore);
    }
#undef SAME
}

class GoldenFileTest : public DocTest {};

TEST_F(GoldenFileTest, StoredDocumentsReadAsBuiltAndWriteBackByteForByte) {
    const bool rewrite = std::getenv("QUORIN_WRITE_GOLDEN") != nullptr;
    for (const CGolden& golden : kGoldens) {
        SCOPED_TRACE(golden.Name);
        const std::string name = "/data/" + std::string(golden.Name);
        CQuorinDoc built(*P.App);
        golden.Build(built);
        const std::vector<std::uint8_t> written = WriteDocumentBytes(built, name);
        if (rewrite) WriteWholeFile(GoldenPath(golden.Name).string(),
                                    std::string(written.begin(), written.end()));
        const std::string stored = ReadWholeFile(GoldenPath(golden.Name).string());
        ASSERT_FALSE(stored.empty());
        const std::vector<std::uint8_t> bytes(stored.begin(), stored.end());
        // The writer of today still makes the stored bytes from the same document.
        EXPECT_EQ(written, bytes);

        CQuorinDoc read(*P.App);
        std::string error;
        ASSERT_TRUE(ReadDocumentBytes(read, bytes, name, error)) << error;
        // Reading counts the load; everything else is as it was built.
        EXPECT_EQ(read.m_LoadCount, built.m_LoadCount + 1);
        --read.m_LoadCount;
        ExpectSameStoredFields(read, built);
        EXPECT_EQ(WriteDocumentBytes(read, name), bytes);
    }
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

// The content the files were made to hold, stated plainly, so a builder that changed with the
// format could not hide a change either.
TEST_F(GoldenFileTest, TheStoredNetworkDocumentHoldsItsContent) {
    const std::string stored = ReadWholeFile(GoldenPath("network.tvq").string());
    const std::vector<std::uint8_t> bytes(stored.begin(), stored.end());
    std::string error;
    ASSERT_TRUE(ReadDocumentBytes(Doc, bytes, "/data/network.tvq", error)) << error;
    ASSERT_EQ(Doc.m_InOuts.size(), 3u);
    EXPECT_EQ(Doc.m_InOuts[0].InOutName, "colour");
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Text);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    EXPECT_EQ(Doc.m_InOuts[1].LowValue, 1.5);
    ASSERT_EQ(Doc.m_Examples.size(), 5u);
    EXPECT_EQ(Doc.m_Examples[3].ExampleName, "row d");
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[4].Values()[1], kMissing);
    EXPECT_EQ(Doc.m_Examples[2].Values()[2], 20.0);
    ASSERT_EQ(Doc.m_HashTexts.size(), 4u);  // "green" once
    EXPECT_EQ(Doc.m_HashTexts[3].Text, "amber");
    EXPECT_EQ(Doc.m_Examples[4].Values()[0], Doc.m_HashTexts[3].Code);
    EXPECT_EQ(Doc.m_Nodes.size(), 6u);
    EXPECT_EQ(Doc.m_Weights.size(), 2u * 3 + 3 * 1);
    EXPECT_EQ(Doc.m_Weights[8].FromNode, 4);
    EXPECT_EQ(Doc.m_Weights[8].ToNode, 5);
    EXPECT_NE(Doc.m_Weights[8].PreviousWeightChange, 0.0);  // the learning step is kept
    ASSERT_EQ(Doc.m_GraphPoints.size(), 3u);
    EXPECT_EQ(Doc.m_GraphPoints[1].Cycles, 2);
    EXPECT_EQ(Doc.m_GraphPoints[1].AveError, 0.375);
    EXPECT_EQ(Doc.m_GraphPoints[1].MaxError, 0.625);
    ASSERT_EQ(Doc.m_Rules.size(), 2u);
    EXPECT_EQ(Doc.m_Rules[0].WithinPercentage, 12.5);
    EXPECT_EQ(Doc.m_Rules[1].CorrectScore, 2);
    EXPECT_EQ(Doc.m_LearningRate, 0.35);
    EXPECT_EQ(Doc.m_TargetError, 0.0625);
    EXPECT_EQ(Doc.m_LearningCycles, 3);
    EXPECT_EQ(Doc.m_LoadCount, 3);
}

}  // namespace
}  // namespace quorin::test
