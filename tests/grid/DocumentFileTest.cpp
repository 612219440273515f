// The .tvq format: exact bytes, round trips, old files, hostile files, safe saving.
#include "grid/DocumentFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "grid/Archive.h"
#include "grid/DocumentCommands.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

std::uint16_t WordAt(const Bytes& b, size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::int32_t IntAt(const Bytes& b, size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{b[at + i]} << (8 * i);
    return static_cast<std::int32_t>(v);
}
double DoubleAt(const Bytes& b, size_t at) {
    double d;
    std::memcpy(&d, &b[at], 8);
    return d;
}
void PutInt(Bytes& b, size_t at, std::int32_t v) { std::memcpy(&b[at], &v, 4); }
void PutDouble(Bytes& b, size_t at, double v) { std::memcpy(&b[at], &v, 8); }

Bytes ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const fs::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

class DocumentFileTest : public DocTest {
protected:
    // Reads bytes into a second document of the same application.
    bool Read(CQuorinDoc& into, const Bytes& bytes, std::string& error) {
        return ReadDocumentBytes(into, bytes, "/data/test.tvq", error);
    }
    // A fresh empty folder of this test's own at each call.
    fs::path TempDir() {
        const fs::path dir = m_Temp.Path() / std::to_string(++m_Folders);
        fs::create_directories(dir);
        return dir;
    }
    CTempDir m_Temp;
    int m_Folders = 0;
};

// A document with every list filled and every field distinct.
void FillEverything(CQuorinDoc& doc) {
    doc.m_SpecialBiases = 1;
    doc.m_SpecialGrid = 2;
    doc.m_SpecialGraph = 3;
    doc.m_SpecialWeights = 4;
    for (int i = 0; i < ColourCount; ++i) doc.m_Colours[i] = MakeColour(i, 2 * i, 3 * i);
    doc.m_MissingDataChoice = MissingLowest;
    doc.m_ReconfigSwitches = 5;
    doc.m_StopAfter = 6;
    doc.m_OptimiseLearningRate = 7;
    doc.m_OptimiseMomentum = 8;
    doc.m_WithinPercentage = 12.5;
    doc.m_NetworkExists = 1;
    doc.m_ValidatingTarget = 87.5;
    doc.m_CyclesBeforeFirstValidating = 9;
    doc.m_CyclesPerValidating = 11;
    doc.m_TargetError = 0.125;  // survives the 1000 offset exactly
    doc.m_NodeCount = 3;
    doc.m_GrowLayer1 = 1;
    doc.m_DecayMomentum = 1;
    doc.m_DecayLearningRate = 1;
    doc.m_Momentum = 0.75;
    doc.m_LearningRate = 1.5;
    doc.m_LearningCycles = 1234;
    doc.m_TargetErrorMode = 1;
    doc.m_ValidatingMode = 1;
    doc.m_AverageError = 0.25;
    doc.m_StopSeconds = 33.0;
    doc.m_AutoSavePeriod = 250;
    doc.m_LowestErrorSaved = 0.5;
    doc.m_HighestValidatingSaved = 66.0;
    doc.m_AutoSaveFlags = 0x13;
    doc.m_PruningCycles = 77;
    doc.m_LoadCount = 4;
    doc.m_FileStatus = 11;
    doc.m_PruningThreshold = 0.25;

    doc.m_GraphPoints = {{10, 0.5, 0.75, 0.25}, {20, 0.4, 0.6, 0.2}};
    doc.m_InOuts.resize(2);
    doc.m_InOuts[0].InOutName = "colour";
    doc.m_InOuts[0].InOutType = Input;
    doc.m_InOuts[0].Mode = Text;
    doc.m_InOuts[0].LowValue = 1.5;
    doc.m_InOuts[0].HighValue = 2.5;
    doc.m_InOuts[1].InOutName = std::string(300, 'x');  // takes the WORD length form
    doc.m_InOuts[1].InOutType = Output;
    doc.m_InOuts[1].Mode = Image;
    doc.m_InOuts[1].LowValue = -3.0;
    doc.m_InOuts[1].HighValue = kMissing;
    CExample ex;
    ex.ExampleName = "first";
    ex.ExampleType = Validating;
    test::SetCells(ex, {1.5, kMissing}, {0.0, 0.5});
    doc.m_Examples.push_back(ex);
    ex.ExampleName = "";
    ex.ExampleType = Duplicate;
    test::SetCells(ex, {2.5, -3.0}, {1.0, 0.25});
    doc.m_Examples.push_back(ex);
    doc.m_Nodes.resize(3);
    for (int n = 0; n < 3; ++n) {
        CNode& node = doc.m_Nodes[n];
        node.NodeType = n == 2 ? OutputNode : InputNode;
        node.NodeNumber = n;
        node.Layer = n == 2 ? kOutputLayer : kInputLayer;
        node.FirstWeight = n == 2 ? 0 : -1;
        node.LastWeight = n == 2 ? 2 : -1;
        node.NetInput = n + 0.1;
        node.Activation = n + 0.2;
        node.Error = n + 0.3;
        node.Delta = n + 0.4;
        node.Bias = n + 0.5;
        node.BiasChange = n + 0.6;
        node.BiasPreviousChange = n + 0.7;
    }
    doc.m_Weights.resize(2);
    for (int i = 0; i < 2; ++i) {
        CWeight& w = doc.m_Weights[i];
        w.WeightType = i;
        w.WeightNumber = 3 + i;
        w.FromNode = i;
        w.ToNode = 2;
        w.Weight = i ? -0.1 : 0.1;
        w.WeightChange = i ? -0.2 : 0.2;
        w.PreviousWeightChange = i ? -0.3 : 0.3;
    }
    doc.m_HashTexts = {{0, 1.5, "red"}, {0, 2.5, "green"}};
    doc.m_Images = {{"cat", 1, 0.25, 0.5, 0.75, "/pics/cat.bmp"}};
    doc.m_Associations = {{0, 1, 0.9, -1.0}};
    doc.m_Rules = {{1, 1, 12.5, 3, 1, 4}};
    doc.SetRowCount();
    doc.SetColCount();
}

TEST_F(DocumentFileTest, NewDocumentIsTheFixedPrefixAndNineEmptyLists) {
    const Bytes b = WriteDocumentBytes(Doc, "/data/new.tvq");
    ASSERT_EQ(b.size(), 234u);
    EXPECT_EQ(IntAt(b, 16), 255 | 50 << 8 | 50 << 16);  // negative weights colour
    EXPECT_EQ(DoubleAt(b, 76), 10.0);
    EXPECT_EQ(DoubleAt(b, 104), 1000.05);
    EXPECT_EQ(DoubleAt(b, 128), 0.8);
    EXPECT_EQ(DoubleAt(b, 156), 1.0);
    EXPECT_EQ(DoubleAt(b, 164), 20.0);
    EXPECT_EQ(IntAt(b, 172), 100);
    EXPECT_EQ(IntAt(b, 196), 10);
    EXPECT_EQ(IntAt(b, 204), 11);
    for (size_t at = 216; at < 234; at += 2) EXPECT_EQ(WordAt(b, at), 0) << at;
    EXPECT_EQ(b, ReadAll(fs::path(QUORIN_TEST_DATA_DIR) / "new-document.tvq"));
    // Writing the same document twice gives the same bytes.
    EXPECT_EQ(WriteDocumentBytes(Doc, "/data/new.tvq"), b);
}

TEST_F(DocumentFileTest, ObjectTagsShareOneRunningIndex) {
    Doc.m_GraphPoints = {{1, 0.1, 0.2, 0.3}, {2, 0.4, 0.5, 0.6}};
    Doc.m_InOuts.resize(2);
    const Bytes b = EncodeDocument(Doc);
    size_t at = 216;
    EXPECT_EQ(WordAt(b, at), 2);
    EXPECT_EQ(WordAt(b, at + 2), 0xFFFF);
    EXPECT_EQ(WordAt(b, at + 4), 1);   // schema
    EXPECT_EQ(WordAt(b, at + 6), 11);  // name length
    EXPECT_EQ(std::string(b.begin() + at + 8, b.begin() + at + 19), "CGraphPoint");
    at += 19;
    EXPECT_EQ(IntAt(b, at), 1);
    at += 28;
    EXPECT_EQ(WordAt(b, at), 0x8001);  // second point: class 1
    at += 2 + 28;
    EXPECT_EQ(WordAt(b, at), 2);  // column count
    EXPECT_EQ(WordAt(b, at + 2), 0xFFFF);
    EXPECT_EQ(std::string(b.begin() + at + 8, b.begin() + at + 14), "CInOut");
    at += 14 + 25;
    EXPECT_EQ(WordAt(b, at), 0x8004);  // CInOut took index 4 after class 1 and objects 2, 3
}

TEST_F(DocumentFileTest, LongTagsPastIndex32766) {
    Doc.m_GraphPoints.resize(40000);
    Doc.m_GraphPoints.back().Cycles = 99;
    Doc.m_InOuts.resize(2);
    Doc.m_InOuts[1].InOutName = "second";
    const Bytes b = EncodeDocument(Doc);
    // CGraphPoint 1, points 2..40001, CInOut class 40002, first column 40003.
    const size_t secondColumn = 216 + 19 + 28 + 39999 * 30 + 14 + 25;
    EXPECT_EQ(WordAt(b, secondColumn), 0x7FFF);
    EXPECT_EQ(static_cast<std::uint32_t>(IntAt(b, secondColumn + 2)), 0x80000000u | 40002u);

    CQuorinDoc copy(*P.App);
    std::string error;
    ASSERT_TRUE(Read(copy, b, error)) << error;
    ASSERT_EQ(copy.m_GraphPoints.size(), 40000u);
    EXPECT_EQ(copy.m_GraphPoints.back().Cycles, 99);
    ASSERT_EQ(copy.m_InOuts.size(), 2u);
    EXPECT_EQ(copy.m_InOuts[1].InOutName, "second");
}

TEST_F(DocumentFileTest, EveryStoredFieldSurvivesARoundTrip) {
    FillEverything(Doc);
    const Bytes b = WriteDocumentBytes(Doc, "/data/all.tvq");
    CQuorinDoc r(*P.App);
    std::string error;
    ASSERT_TRUE(Read(r, b, error)) << error;

    EXPECT_EQ(r.m_SpecialBiases, 1);
    EXPECT_EQ(r.m_SpecialGrid, 2);
    EXPECT_EQ(r.m_SpecialGraph, 3);
    EXPECT_EQ(r.m_SpecialWeights, 4);
    EXPECT_EQ(r.m_Colours, Doc.m_Colours);
    EXPECT_EQ(r.m_MissingDataChoice, MissingLowest);
    EXPECT_EQ(r.m_ReconfigSwitches, 5);
    EXPECT_EQ(r.m_StopAfter, 6);
    EXPECT_EQ(r.m_OptimiseLearningRate, 7);
    EXPECT_EQ(r.m_OptimiseMomentum, 8);
    EXPECT_EQ(r.m_WithinPercentage, 12.5);
    EXPECT_EQ(r.m_NetworkExists, 1);
    EXPECT_EQ(r.m_ValidatingTarget, 87.5);
    EXPECT_EQ(r.m_CyclesBeforeFirstValidating, 9);
    EXPECT_EQ(r.m_CyclesPerValidating, 11);
    EXPECT_EQ(r.m_TargetError, 0.125);
    EXPECT_EQ(r.m_NodeCount, 3);
    EXPECT_EQ(r.m_GrowLayer1, 1);
    EXPECT_EQ(r.m_DecayMomentum, 1);
    EXPECT_EQ(r.m_DecayLearningRate, 1);
    EXPECT_EQ(r.m_Momentum, 0.75);
    EXPECT_EQ(r.m_LearningRate, 1.5);
    EXPECT_EQ(r.m_LearningCycles, 1234);
    EXPECT_EQ(r.m_TargetErrorMode, 1);
    EXPECT_EQ(r.m_ValidatingMode, 1);
    EXPECT_EQ(r.m_AverageError, 0.25);
    EXPECT_EQ(r.m_StopSeconds, 33.0);
    EXPECT_EQ(r.m_AutoSavePeriod, 250);
    EXPECT_EQ(r.m_LowestErrorSaved, 0.5);
    EXPECT_EQ(r.m_HighestValidatingSaved, 66.0);
    EXPECT_EQ(r.m_AutoSaveFlags, 0x13);
    EXPECT_EQ(r.m_PruningCycles, 77);
    EXPECT_EQ(r.m_LoadCount, 5);  // one more each load
    EXPECT_EQ(r.m_FileStatus, 11);
    EXPECT_EQ(r.m_PruningThreshold, 0.25);
    EXPECT_TRUE(r.m_CurrentFormat);

    ASSERT_EQ(r.m_GraphPoints.size(), 2u);
    EXPECT_EQ(r.m_GraphPoints[1].Cycles, 20);
    EXPECT_EQ(r.m_GraphPoints[1].AveError, 0.4);
    EXPECT_EQ(r.m_GraphPoints[1].MaxError, 0.6);
    EXPECT_EQ(r.m_GraphPoints[1].MinError, 0.2);
    ASSERT_EQ(r.m_InOuts.size(), 2u);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(r.m_InOuts[c].InOutName, Doc.m_InOuts[c].InOutName);
        EXPECT_EQ(r.m_InOuts[c].InOutType, Doc.m_InOuts[c].InOutType);
        EXPECT_EQ(r.m_InOuts[c].Mode, Doc.m_InOuts[c].Mode);
        EXPECT_EQ(r.m_InOuts[c].LowValue, Doc.m_InOuts[c].LowValue);
        EXPECT_EQ(r.m_InOuts[c].HighValue, Doc.m_InOuts[c].HighValue);
    }
    ASSERT_EQ(r.m_Examples.size(), 2u);
    for (int e = 0; e < 2; ++e) {
        EXPECT_EQ(r.m_Examples[e].ExampleName, Doc.m_Examples[e].ExampleName);
        EXPECT_EQ(r.m_Examples[e].ExampleType, Doc.m_Examples[e].ExampleType);
        EXPECT_EQ(test::AsVector(r.m_Examples[e].Values()), test::AsVector(Doc.m_Examples[e].Values()));
        EXPECT_EQ(test::AsVector(r.m_Examples[e].NormalisedValues()),
                  test::AsVector(Doc.m_Examples[e].NormalisedValues()));
    }
    ASSERT_EQ(r.m_Weights.size(), 2u);
    const CWeight& w = r.m_Weights[1];
    EXPECT_EQ(w.WeightType, 1);
    EXPECT_EQ(w.WeightNumber, 4);
    EXPECT_EQ(w.FromNode, 1);
    EXPECT_EQ(w.ToNode, 2);
    EXPECT_EQ(w.Weight, -0.1);
    EXPECT_EQ(w.WeightChange, -0.2);
    EXPECT_EQ(w.PreviousWeightChange, -0.3);
    ASSERT_EQ(r.m_Nodes.size(), 3u);
    const CNode& n = r.m_Nodes[2];
    EXPECT_EQ(n.NodeType, OutputNode);
    EXPECT_EQ(n.NodeNumber, 2);
    EXPECT_EQ(n.Layer, kOutputLayer);
    EXPECT_EQ(n.FirstWeight, 0);
    EXPECT_EQ(n.LastWeight, 2);
    EXPECT_EQ(n.NetInput, 2.1);
    EXPECT_EQ(n.Activation, 2.2);
    EXPECT_EQ(n.Error, 2.3);
    EXPECT_EQ(n.Delta, 2.4);
    EXPECT_EQ(n.Bias, 2.5);
    EXPECT_EQ(n.BiasChange, 2.6);
    EXPECT_EQ(n.BiasPreviousChange, 2.7);
    ASSERT_EQ(r.m_HashTexts.size(), 2u);
    EXPECT_EQ(r.m_HashTexts[1].Column, 0);
    EXPECT_EQ(r.m_HashTexts[1].Code, 2.5);
    EXPECT_EQ(r.m_HashTexts[1].Text, "green");
    ASSERT_EQ(r.m_Images.size(), 1u);
    EXPECT_EQ(r.m_Images[0].ImageName, "cat");
    EXPECT_EQ(r.m_Images[0].Column, 1);
    EXPECT_EQ(r.m_Images[0].PairCode, 0.25);
    EXPECT_EQ(r.m_Images[0].EdgeCode, 0.5);
    EXPECT_EQ(r.m_Images[0].BlockCode, 0.75);
    EXPECT_EQ(r.m_Images[0].FileName, "/pics/cat.bmp");
    ASSERT_EQ(r.m_Associations.size(), 1u);
    EXPECT_EQ(r.m_Associations[0].FromCol, 0);
    EXPECT_EQ(r.m_Associations[0].ToCol, 1);
    EXPECT_EQ(r.m_Associations[0].Strength, 0.9);
    EXPECT_EQ(r.m_Associations[0].Spare, -1.0);
    ASSERT_EQ(r.m_Rules.size(), 1u);
    EXPECT_EQ(r.m_Rules[0].Col, 1);
    EXPECT_EQ(r.m_Rules[0].Within, 1);
    EXPECT_EQ(r.m_Rules[0].WithinPercentage, 12.5);
    EXPECT_EQ(r.m_Rules[0].WithinScore, 3);
    EXPECT_EQ(r.m_Rules[0].Correct, 1);
    EXPECT_EQ(r.m_Rules[0].CorrectScore, 4);

    // Written again, only the load count differs.
    Bytes again = EncodeDocument(r);
    PutInt(again, 200, 4);
    EXPECT_EQ(again, b);
}

TEST_F(DocumentFileTest, LoadCountFileStatusAndMissingDataRepairs) {
    const Bytes fresh = EncodeDocument(Doc);
    struct Case {
        size_t At;
        std::int32_t Stored;
        std::int32_t CQuorinDoc::*Field;
        std::int32_t Expected;
    } cases[] = {
        {200, 100, &CQuorinDoc::m_LoadCount, 101}, {200, 101, &CQuorinDoc::m_LoadCount, 1},
        {200, -1, &CQuorinDoc::m_LoadCount, 1},    {204, 9, &CQuorinDoc::m_FileStatus, 9},
        {204, 12, &CQuorinDoc::m_FileStatus, 0},   {56, 7, &CQuorinDoc::m_MissingDataChoice, 0},
        {56, 3, &CQuorinDoc::m_MissingDataChoice, 3}, {196, 9, &CQuorinDoc::m_PruningCycles, 10},
    };
    for (const Case& c : cases) {
        Bytes b = fresh;
        PutInt(b, c.At, c.Stored);
        CQuorinDoc r(*P.App);
        std::string error;
        ASSERT_TRUE(Read(r, b, error)) << error;
        EXPECT_EQ(r.*c.Field, c.Expected) << "offset " << c.At << " stored " << c.Stored;
    }
}

TEST_F(DocumentFileTest, FileStatusNineCarriesListsOneToSeven) {
    Bytes b = EncodeDocument(Doc);
    PutInt(b, 204, 9);
    b.resize(216 + 7 * 2);
    CQuorinDoc r(*P.App);
    std::string error;
    ASSERT_TRUE(Read(r, b, error)) << error;
    EXPECT_EQ(r.m_FileStatus, 9);
    const Bytes out = WriteDocumentBytes(r, "/data/nine.tvq");
    EXPECT_EQ(out.size(), 216u + 7 * 2);
    EXPECT_EQ(IntAt(out, 204), 9);
}

TEST_F(DocumentFileTest, ListsAddedWithoutRaisingTheStatusAreStillWritten) {
    Doc.m_FileStatus = 8;
    Doc.m_Associations = {{0, 0, 0.5, 0.0}};
    const Bytes out = WriteDocumentBytes(Doc, "/data/assoc.tvq");
    EXPECT_EQ(Doc.m_FileStatus, 10);
    EXPECT_EQ(IntAt(out, 204), 10);
}

TEST_F(DocumentFileTest, NonNumberSettingsAreRepaired) {
    Bytes b = EncodeDocument(Doc);
    const double nan = std::nan("");
    PutDouble(b, 136, nan);                                        // learning rate
    PutDouble(b, 156, nan);                                        // average error
    PutDouble(b, 176, nan);                                        // lowest error saved
    PutDouble(b, 184, std::numeric_limits<double>::infinity());   // highest validating % saved
    PutDouble(b, 208, nan);                                        // pruning threshold
    PutInt(b, 196, 500);
    CQuorinDoc r(*P.App);
    std::string error;
    ASSERT_TRUE(Read(r, b, error)) << error;
    EXPECT_EQ(r.m_LearningRate, 0.6);
    EXPECT_EQ(r.m_AverageError, 1.0);
    EXPECT_EQ(r.m_LowestErrorSaved, 1.0);
    EXPECT_EQ(r.m_HighestValidatingSaved, -1.0);
    EXPECT_EQ(r.m_PruningThreshold, 0.0);
    EXPECT_EQ(r.m_PruningCycles, 10);
}

TEST_F(DocumentFileTest, OldFormatIsAskedAboutAtLoadingAndAtSaving) {
    Doc.m_CurrentFormat = false;
    Doc.m_GraphPoints = {{3, 0.1, 0.2, 0.3}};
    const Bytes old = EncodeDocument(Doc);
    ASSERT_EQ(old.size(), 172u + 19 + 28 + 4 * 2);
    EXPECT_EQ(DoubleAt(old, 104), 0.05);

    for (int answer : {IdYes, IdNo}) {
        CQuorinDoc r(*P.App);
        r.m_LoadCount = 9;
        P.Prompts.Clear();
        P.Prompts.QueueAnswer(answer);
        std::string error;
        ASSERT_TRUE(Read(r, old, error)) << error;
        ASSERT_EQ(P.Prompts.Messages().size(), 1u);
        EXPECT_EQ(P.Prompts.LastText(), OldFormatQuestion("/data/test.tvq"));
        EXPECT_EQ(P.Prompts.Messages()[0].Buttons, EButtons::YesNo);
        EXPECT_EQ(P.Prompts.Messages()[0].Icon, EIcon::Question);
        EXPECT_EQ(r.m_CurrentFormat, answer == IdYes);
        EXPECT_EQ(r.m_TargetError, 0.05);
        EXPECT_EQ(r.m_LoadCount, 0);
        EXPECT_EQ(r.m_FileStatus, 0);
        EXPECT_EQ(r.m_AutoSavePeriod, 100);
        EXPECT_EQ(r.m_GraphPoints.size(), 1u);
    }

    // Declined again at saving: still the old format, optional lists left out.
    Doc.m_HashTexts = {{0, 1.0, "a"}};
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(WriteDocumentBytes(Doc, "/data/old.tvq"), old);
    EXPECT_FALSE(Doc.m_CurrentFormat);

    // Converted at saving: the texts, images, associations and rules it gained are kept.
    Doc.m_Images = {{"i", 0, 1.0, 2.0, 3.0, "f"}};
    P.Prompts.QueueAnswer(IdYes);
    const Bytes converted = WriteDocumentBytes(Doc, "/data/old.tvq");
    EXPECT_TRUE(Doc.m_CurrentFormat);
    EXPECT_EQ(Doc.m_FileStatus, 9);
    CQuorinDoc r(*P.App);
    std::string error;
    ASSERT_TRUE(Read(r, converted, error)) << error;
    EXPECT_EQ(r.m_HashTexts.size(), 1u);
    EXPECT_EQ(r.m_Images.size(), 1u);
    EXPECT_EQ(r.m_FileStatus, 9);
}

Bytes WithList(const Bytes& prefix, std::initializer_list<std::uint8_t> list) {
    Bytes b(prefix.begin(), prefix.begin() + 216);
    for (std::uint8_t v : list) b.push_back(v);
    b.resize(b.size() + 100);  // room for the records the counts announce
    return b;
}

TEST_F(DocumentFileTest, HostileFilesAreRefusedWithTheReasonAndAnEmptyDocument) {
    const Bytes fresh = EncodeDocument(Doc);
    CQuorinDoc two(*P.App);
    two.m_InOuts.resize(2);
    two.m_Examples.resize(1);
    test::SetCells(two.m_Examples[0], {1.0, 2.0}, {0.0, 1.0});
    Bytes shortRow = EncodeDocument(two);
    const size_t valueCount = shortRow.size() - 6 * 2 - (2 + 16) - 16 - 2;
    ASSERT_EQ(WordAt(shortRow, valueCount), 2);
    // Drop the second value: one value and two normalised values for two columns.
    shortRow[valueCount] = 1;
    shortRow.erase(shortRow.begin() + static_cast<long>(valueCount) + 2 + 8,
                   shortRow.begin() + static_cast<long>(valueCount) + 2 + 16);
    CQuorinDoc net(*P.App);
    net.m_Nodes.resize(1);
    net.m_Weights.resize(1);
    net.m_Weights[0].FromNode = 5;
    const Bytes badWeight = EncodeDocument(net);

    const Bytes schema2 = WithList(fresh, {1, 0, 0xFF, 0xFF, 2, 0, 11, 0, 'C', 'G', 'r', 'a', 'p', 'h',
                                           'P', 'o', 'i', 'n', 't'});

    struct Case {
        const char* Name;
        Bytes File;
        std::string Expected;
    } cases[] = {
        {"empty", {}, "truncated at byte 0"},
        {"cut in the settings", Bytes(fresh.begin(), fresh.begin() + 102), "truncated at byte 100"},
        {"cut in the lists", Bytes(fresh.begin(), fresh.begin() + 225), "truncated at byte 224"},
        {"billions of points", WithList(fresh, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
         "truncated at byte 216: CGraphPoint count 4294967295"},
        {"null record", WithList(fresh, {1, 0, 0, 0}), "bad object tag at byte 218"},
        {"undeclared class", WithList(fresh, {1, 0, 0x05, 0x80}), "bad object tag at byte 218"},
        {"long tag to nothing", WithList(fresh, {1, 0, 0xFF, 0x7F, 9, 0, 0, 0x80}),
         "bad object tag at byte 218"},
        {"unknown class", WithList(fresh, {1, 0, 0xFF, 0xFF, 1, 0, 4, 0, 'C', 'F', 'o', 'o'}),
         "unknown class 'CFoo' at byte 218"},
        {"wrong list", WithList(fresh, {1, 0, 0xFF, 0xFF, 1, 0, 6, 0, 'C', 'I', 'n', 'O', 'u', 't'}),
         "a 'CInOut' record at byte 218 stands in the list of 'CGraphPoint' records"},
        {"schema 2", schema2, "schema 2 of class 'CGraphPoint' is not supported"},
        {"name past the end",
         WithList(fresh, {0, 0, 1, 0, 0xFF, 0xFF, 1, 0, 6, 0, 'C', 'I', 'n', 'O', 'u', 't', 0xFF,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
         "truncated at byte 239"},
        {"short row", shortRow, "row 0 holds 1 values and 2 normalised values for 2 columns"},
        {"weight to no node", badWeight, "weight 0 connects node 5 to node 0 but there are 1 nodes"},
    };
    for (Case& c : cases) {
        CQuorinDoc r(*P.App);
        r.m_GraphPoints.resize(3);
        r.m_LearningRate = 2.0;
        std::string error;
        EXPECT_FALSE(Read(r, c.File, error)) << c.Name;
        EXPECT_NE(error.find(c.Expected), std::string::npos) << c.Name << ": " << error;
        EXPECT_TRUE(r.m_GraphPoints.empty()) << c.Name;
        EXPECT_EQ(r.m_LearningRate, 2.0) << c.Name << ": settings were half-overwritten";
    }
    EXPECT_TRUE(P.Prompts.Messages().empty());
}

TEST_F(DocumentFileTest, OpenDocumentReportsAnUnreadableFile) {
    const fs::path path = TempDir() / "broken.tvq";
    WriteAll(path, Bytes(50, 0));
    MakeGrid(2, 1, {1.0, 2.0});
    EXPECT_EQ(Doc.OpenDocument(path.string(), 1), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Unable to read the document " + path.string() + ":\ntruncated at byte 48");
    EXPECT_TRUE(Doc.m_Examples.empty());
    EXPECT_TRUE(Doc.m_InOuts.empty());
}

TEST_F(DocumentFileTest, SaveAndOpenThroughTheFileCommands) {
    const fs::path dir = TempDir();
    MakeGrid(3, 2, {1, 10, 2, 20, 3, 30}, {0, 1});
    ASSERT_TRUE(Doc.IsModified());
    P.Prompts.QueueFile((dir / "grid").string());
    EXPECT_EQ(OnFileSave(Doc), 1);
    const auto requests = P.Prompts.FileRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].Save);
    EXPECT_EQ(requests[0].Filter, "Quorin-plus Files (*.tvq)|*.tvq||");
    EXPECT_EQ(requests[0].DefaultExt, "tvq");
    EXPECT_TRUE(requests[0].OverwritePrompt);
    EXPECT_EQ(Doc.m_PathName, (dir / "grid.tvq").string());
    EXPECT_FALSE(Doc.IsModified());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary file is left behind";

    CQuorinDoc opened(*P.App);
    opened.NewDocument();
    P.Prompts.QueueFile(Doc.m_PathName);
    P.Prompts.QueueDialogOk();  // the document information shown after opening
    EXPECT_EQ(OnFileOpen(opened), 1);
    EXPECT_EQ(P.Prompts.Dialogs().back().Id, "Information");
    EXPECT_EQ(opened.m_RowCount, 3);
    EXPECT_EQ(opened.m_ColCount, 2);
    EXPECT_EQ(opened.m_Examples[2].Values()[1], 30.0);
    EXPECT_EQ(opened.m_Examples[2].NormalisedValues()[1], 1.0);
    EXPECT_EQ(opened.m_InOuts[1].HighValue, 30.0);
    EXPECT_EQ(opened.m_LoadCount, 1);

    // Closing a modified document asks first; Cancel keeps it open.
    opened.SetModified(true);
    P.Prompts.QueueAnswer(IdCancel);
    EXPECT_EQ(OnFileClose(opened), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Save changes to grid.tvq?");
    EXPECT_EQ(opened.m_RowCount, 3);
}

TEST_F(DocumentFileTest, AFailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    const fs::path dir = TempDir();
    // A name so long that no temporary name beside it can be made, even for root.
    const fs::path path = dir / (std::string(250, 'd') + ".tvq");
    const Bytes oldBytes = {1, 2, 3};
    WriteAll(path, oldBytes);
    Doc.m_PathName = path.string();
    Doc.SetModified(true);
    EXPECT_EQ(OnFileSave(Doc), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "Unable to save the document " + path.string() + ":\nFile name too long");
    EXPECT_EQ(P.Prompts.Messages().back().Icon, EIcon::Warning);
    EXPECT_EQ(ReadAll(path), oldBytes);
    EXPECT_TRUE(Doc.IsModified());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    if (::geteuid() != 0) {  // root writes into read-only directories
        const fs::path ro = TempDir() / "x.tvq";
        WriteAll(ro, oldBytes);
        fs::permissions(ro.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(SaveDocument(Doc, ro.string()), 0);
        EXPECT_NE(P.Prompts.LastText().find("Permission denied"), std::string::npos);
        EXPECT_EQ(ReadAll(ro), oldBytes);
        EXPECT_EQ(Doc.m_PathName, path.string());
        EXPECT_TRUE(Doc.IsModified());
    }
}

}  // namespace
}  // namespace quorin::test
