// Image codes in a document: coding, lookups, file choice, fragments, purging, and the
// three nodes an Image column feeds.
#include "coding/ImageCodes.h"

#include "coding/HashTexts.h"
#include "coding/ImageFragments.h"
#include "coding/ImageNavigation.h"
#include "coding/ImageSignature.h"
#include "coding/ValueText.h"
#include "network/NetworkBuild.h"
#include "network/NetworkEngine.h"
#include "network/Propagation.h"
#include "support/BitmapFiles.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "platform/StringFormat.h"

#include <cmath>
#include <filesystem>

namespace quorin::test {
namespace {
namespace fs = std::filesystem;

class ImageCodesTest : public DocTest {
protected:
    void ImageColumn(int rows) {
        MakeGrid(rows, 2, std::vector<double>(rows * 2, 0.0), {Input, Output});
        for (int r = 0; r < rows; ++r) Doc.SetValue(1, r, r, 0, 1, 0, 1);
        Doc.SetInOutTypeAndMode(0, -1, Image);
        for (int r = 0; r < rows; ++r) Doc.SetValue(0, r, kMissing, 0, 1, 0, 1);
    }
    std::string Uniform(const std::string& name, CRgb colour) {
        const std::string path = Dir.File(name);
        WriteUniformBitmap(path, 8, 8, colour);
        return path;
    }
    CTempDir Dir;
};

TEST_F(ImageCodesTest, SameBitmapTwoNamesStaysApartAndTwiceIsOneRecord) {
    ImageColumn(3);
    const std::string red = Uniform("red.bmp", {200, 100, 50});
    EXPECT_EQ(ImageCode(Doc, "a", red, 0, 0), 300.0);
    EXPECT_EQ(ImageCode(Doc, "a", red, 0, 1), 300.0);
    EXPECT_EQ(Doc.m_Images.size(), 1u);
    EXPECT_EQ(ImageCode(Doc, "b", red, 0, 2), 301.0);
    EXPECT_EQ(GetImageCode(Doc, "~~b", 2, 0), 303.0);  // Edge 302 taken by a
    EXPECT_EQ(GetImageCode(Doc, "b", 0, -1), 301.0 + 303.0 + 301.0);
    EXPECT_EQ(GetImageCode(Doc, "b", 1, 1), kMissing);
    EXPECT_EQ(GetImageFileName(Doc, "b"), red);
    EXPECT_EQ(GetImageName(Doc, red, 0), "a");
    EXPECT_EQ(GetImageName(Doc, std::string("x.bmp"), 0), kNoImage);
    EXPECT_GE(Doc.m_FileStatus, 9);
    // Unreadable bitmaps code to the marker and store nothing.
    WriteWholeFile(Dir.File("bad.bmp"), "BMnot really");
    EXPECT_EQ(ImageCode(Doc, "c", Dir.File("bad.bmp"), 0, 0), kMissing);
    EXPECT_EQ(Doc.m_Images.size(), 2u);
}

TEST_F(ImageCodesTest, ABitmapFileIsChosenOnceForEachName) {
    ImageColumn(2);
    const std::string red = Uniform("red.bmp", {200, 100, 50});
    P.Prompts.QueueFile(red);
    EXPECT_EQ(SelectImageFileName(Doc, "a", 0, 0), red);
    EXPECT_EQ(P.Prompts.Texts().back(), "Select a bitmap file to be used with 'a'.");
    EXPECT_EQ(P.Prompts.FileRequests().back().Filter, "Bitmap files (*.bmp)|*.bmp||");
    ImageCode(Doc, "a", red, 0, 0);
    EXPECT_EQ(SelectImageFileName(Doc, "a", 0, 0), red);  // known: no dialog
    // A file another name uses: asked, and No keeps it.
    P.Prompts.QueueFile(red);
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(SelectImageFileName(Doc, "b", 0, 0), red);
    EXPECT_EQ(P.Prompts.Messages().back().Text,
              red + " is already being used with 'a'.\n\nDo you want to select a different "
                    "bitmap file to use with 'b'");
    P.Prompts.QueueFile(Dir.File("none.bmp"));
    EXPECT_EQ(SelectImageFileName(Doc, "c", 0, 1), kNoImage);
    EXPECT_EQ(P.Prompts.LastText(), "The file cannot be opened.");
    P.Prompts.QueueFile(std::nullopt);
    EXPECT_EQ(SelectImageFileName(Doc, "d", 0, 0), kNoImage);
}

TEST_F(ImageCodesTest, TheFileAnImageNameNames) {
    fs::create_directories(Dir.Path() / "imports");
    fs::create_directories(Dir.Path() / "scripts");
    WriteUniformBitmap((Dir.Path() / "imports" / "cat.bmp").string(), 2, 2, {});
    WriteUniformBitmap((Dir.Path() / "scripts" / "dog.bmp").string(), 2, 2, {});
    WriteUniformBitmap((Dir.Path() / "scripts" / "cat.bmp").string(), 2, 2, {});
    CImagePathScope import(Doc.m_ImageState.ImportPath, (Dir.Path() / "imports" / "in.csv").string());
    CImagePathScope script(Doc.m_ImageState.ScriptPath, (Dir.Path() / "scripts" / "run.txt").string());
    EXPECT_EQ(FileNamedByImage(Doc, "cat"), (Dir.Path() / "imports" / "cat.bmp").string());
    EXPECT_EQ(FileNamedByImage(Doc, "dog.bmp"), (Dir.Path() / "scripts" / "dog.bmp").string());
    const std::string absolute = (Dir.Path() / "scripts" / "cat.bmp").string();
    EXPECT_EQ(FileNamedByImage(Doc, absolute), absolute);
    EXPECT_EQ(FileNamedByImage(Doc, "imports"), "");  // a folder is no bitmap
    EXPECT_EQ(FileNamedByImage(Doc, "emu"), "");
    // The proposal is what the file dialog is offered.
    P.Prompts.QueueFile(std::nullopt);
    SelectImageFileName(Doc, "dog", 0, 0);
    EXPECT_EQ(P.Prompts.FileRequests().back().FileName, (Dir.Path() / "scripts" / "dog.bmp").string());
}

TEST_F(ImageCodesTest, FragmentsAreNumberedRowByRowAndContinue) {
    ImageColumn(2);
    CBitmapLayout layout;
    layout.Width = 30;
    layout.Height = 20;
    layout.Colour = [](int x, int y) { return CRgb{static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 12), 9}; };
    const std::string file = Dir.File("big.bmp");
    WriteBitmap(file, MakeBitmap(layout));
    EXPECT_EQ(FragmentImage(Doc, file, "P", 10, 10, 3, 2, 0, 0), 6);
    ASSERT_EQ(Doc.m_Examples.size(), 6u);  // four training rows added
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, Training);
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(FormatCellValue(Doc, 0, r), Format("P%06d", r));
    EXPECT_EQ(GetImageFileName(Doc, "P000004"),
              "#fragment W=10, H=10, X=3, Y=2, x=1, y=1, " + file);
    // A descriptor codes again exactly as the fragment was coded.
    CFragment f;
    ASSERT_TRUE(ParseFragmentDescriptor(GetImageFileName(Doc, "P000004"), f));
    Doc.m_ImageState.Signatures.clear();
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFile(file));
    EXPECT_EQ(GetImageSignature(Doc, GetImageFileName(Doc, "P000004")),
              RegionSignature(bitmap, 10, 10, 10, 10));
    bool found = false;
    EXPECT_EQ(HighestFragmentNumber(Doc, "P", &found), 5);
    EXPECT_TRUE(found);
    HighestFragmentNumber(Doc, "Q", &found);
    EXPECT_FALSE(found);
    // The next fragmenting goes on after the highest number; a lone P000000 gives P000001.
    EXPECT_EQ(FragmentImage(Doc, file, "P", 40, 40, 1, 1, 0, 2), 1);  // beyond the bitmap: black
    EXPECT_EQ(FormatCellValue(Doc, 0, 2), "P000006");
    EXPECT_EQ(GetImageName(Doc, Doc.m_Examples[2].Values()[0], 0), "P000006");
    EXPECT_EQ(GetImageCode(Doc, "P000002", 1, 0), kMissing);  // purged: no cell holds it
    EXPECT_FALSE(ParseFragmentDescriptor("#fragment W=0, H=1, X=1, Y=1, x=0, y=0, a.bmp", f));
    EXPECT_FALSE(ParseFragmentDescriptor("#fragment W=1, H=1, X=1, Y=1, x=1, y=0, a.bmp", f));
    EXPECT_FALSE(ParseFragmentDescriptor("#fragment W=99999999999, H=1, X=1, Y=1, x=0, y=0, a", f));
}

TEST_F(ImageCodesTest, PurgeTidyAndSteppingThroughImages) {
    ImageColumn(2);
    NewImage(Doc, "b", "b.bmp", 0, 400, 1, 1);
    NewImage(Doc, "a", "a.bmp", 0, 500, 2, 2);
    NewImage(Doc, "c", "c.bmp", 0, 300, 3, 3);
    NewImage(Doc, "lost", "l.bmp", 7, 900, 3, 3);
    Doc.SetValue(0, 0, 400, 0, 1, 0, 1);
    Doc.SetValue(0, 1, 300, 0, 1, 0, 1);
    EXPECT_EQ(GetFirstImage(Doc, 0), 500);
    EXPECT_EQ(GetNextImage(Doc, 0, 500), 400);
    EXPECT_EQ(GetNextImage(Doc, 0, 300), 300);  // the last stays
    EXPECT_EQ(GetPreviousImage(Doc, 0, 400), 500);
    EXPECT_EQ(GetNextImageCode(Doc, 0, 300, 0), 400);
    EXPECT_EQ(GetNextImageCode(Doc, 1, 300, 0), 300);
    P.App->m_DiagnosticLevel = 1;
    OnOptionsTidy(Doc);  // "lost" is unallocated, "a" no cell holds
    EXPECT_EQ(P.Prompts.Texts(),
              (std::vector<std::string>{"1 unallocated image item deleted.",
                                        "1 image item deleted from column 0.",
                                        "Items deleted = 2"}));
    P.App->m_DiagnosticLevel = 4;
    P.Prompts.Clear();
    EXPECT_EQ(PurgeImage(Doc, "b", "other.bmp"), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Found.\r\nimage: b\nfile: b.bmp\ncolumn: 0");
    P.App->m_DiagnosticLevel = 1;
    EXPECT_EQ(PurgeImage(Doc, "b", "b.bmp"), 1);
    EXPECT_EQ(P.Prompts.LastText(), "Deleted.\nimage: b\nfile: b.bmp");
    EXPECT_EQ(Doc.m_Images.size(), 1u);
}

TEST_F(ImageCodesTest, AssociatingAnImageColumn) {
    ImageColumn(2);
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Column").IntValue = 5; });
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Column").IntValue = 0; });
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Column").IntValue = 1; });
    EXPECT_EQ(AssociateImages(Doc, 0), 1);
    EXPECT_EQ(Doc.m_InOuts[0].AssociatedColumn, 1);
    EXPECT_EQ(P.Prompts.Texts(),
              (std::vector<std::string>{"The associated column must be in the Grid.",
                                        "Images cannot be associated with other image columns."}));
    // Handed back unchanged after a refusal, the dialog is not shown again.
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Column").IntValue = 9; });
    P.Prompts.QueueDialogOk();
    EXPECT_EQ(AssociateImages(Doc, 0), 0);
    EXPECT_FALSE(CanAssociateImages(Doc, 1));
}

// Three input nodes per Image column; an Image output's three errors; and the packed learning
// pass bit for bit the records.
TEST_F(ImageCodesTest, ImageColumnsInTheNetwork) {
    const int rows = 4;
    MakeGrid(rows, 3, std::vector<double>(rows * 3, 0.0), {Input, Input, Output});
    Doc.SetInOutTypeAndMode(0, -1, Image);
    Doc.SetInOutTypeAndMode(2, -1, Image);
    const CRgb colours[rows] = {{200, 100, 50}, {0, 0, 0}, {9, 250, 77}, {120, 5, 240}};
    for (int r = 0; r < rows; ++r) {
        const std::string file = Uniform(Format("c%d.bmp", r), colours[r]);
        Doc.SetValue(0, r, ImageCode(Doc, Format("in%d", r), file, 0, r), 0, 1, 0, 1);
        Doc.SetValue(2, r, ImageCode(Doc, Format("out%d", r), file, 2, r), 0, 1, 0, 1);
        Doc.SetValue(1, r, r * 0.25, 0, 1, 0, 1);
    }
    NewNetwork(Doc, 4, 3, 3, 0);
    ASSERT_EQ(ConnectInputs(Doc, 1, 1), 1);
    const CInOut& io = Doc.m_InOuts[0];
    const CImage* image = nullptr;
    for (const CImage& i : Doc.m_Images)
        if (i.ImageName == "in1") image = &i;
    ASSERT_NE(image, nullptr);
    EXPECT_DOUBLE_EQ(Doc.m_Nodes[0].Activation,
                     (image->PairCode - io.ImageCodeLow[0]) / (io.ImageCodeHigh[0] - io.ImageCodeLow[0]));
    EXPECT_DOUBLE_EQ(Doc.m_Nodes[1].Activation,
                     (image->EdgeCode - io.ImageCodeLow[1]) / (io.ImageCodeHigh[1] - io.ImageCodeLow[1]));
    EXPECT_DOUBLE_EQ(Doc.m_Nodes[3].Activation, Doc.m_Examples[1].NormalisedValues()[1]);
    CalculateActivations(Doc);
    const double error = CalculateErrors(Doc, 1);
    const int out = 7;
    EXPECT_DOUBLE_EQ(Doc.m_Nodes[out].Error,
                     Doc.m_Examples[1].NormalisedValues()[2] - Doc.m_Nodes[out].Activation);
    EXPECT_DOUBLE_EQ(error, (std::fabs(Doc.m_Nodes[7].Error) + std::fabs(Doc.m_Nodes[8].Error) +
                             std::fabs(Doc.m_Nodes[9].Error)) / 3 / 3);
    EXPECT_NE(Doc.m_Nodes[8].Error + Doc.m_Nodes[7].Activation - Doc.m_Nodes[8].Activation,
              Doc.m_Nodes[7].Error);  // the Edge node aims at its own code

    CTestPlatform otherPlatform;
    CQuorinDoc other(*otherPlatform.App);
    other.m_Examples = Doc.m_Examples;
    other.m_InOuts = Doc.m_InOuts;
    other.m_Images = Doc.m_Images;
    other.m_ColCount = Doc.m_ColCount;
    other.m_RowCount = Doc.m_RowCount;
    other.m_Nodes = Doc.m_Nodes;
    other.m_Weights = Doc.m_Weights;
    CNetworkEngine engine;
    for (int c = 0; c < 5; ++c) {
        CLearningPass pass(other, engine);
        for (int r = 0; r < rows; ++r)
            for (CQuorinDoc* doc : {&Doc, &other}) {
                ConnectInputs(*doc, r, 1);
                CalculateActivations(*doc);
                CalculateErrors(*doc, r);
                CalculateWeights(*doc);
            }
    }
    SyncNetworkRecords(other);
    for (size_t w = 0; w < Doc.m_Weights.size(); ++w)
        EXPECT_EQ(Doc.m_Weights[w].Weight, other.m_Weights[w].Weight) << w;

    // An incomplete image entry stops learning.
    Doc.SetValue(0, 2, kMissing, 0, 1, 0, 1);
    Doc.m_Learning = true;
    EXPECT_EQ(ConnectInputs(Doc, 2, 1), 0);
    EXPECT_TRUE(Doc.m_StopRequest);
    EXPECT_EQ(P.Prompts.LastText().substr(0, 42), "The Grid has at least one Input containing");
    Doc.m_Learning = false;
}

}  // namespace
}  // namespace quorin::test

#include "automation/ScriptRunner.h"
#include "coding/GridEditor.h"
#include "coding/TextCodes.h"

namespace quorin::test {
namespace {

TEST_F(ImageCodesTest, TypingAndConvertingImageNames) {
    ImageColumn(3);
    const std::string red = Uniform("red.bmp", {200, 100, 50});
    P.Prompts.QueueFile(red);
    EXPECT_EQ(EnterCellText(Doc, 0, 0, "pic"), 1);
    EXPECT_EQ(FormatCellValue(Doc, 0, 0), "pic");
    EXPECT_EQ(EnterCellText(Doc, 0, 1, "pic"), 1);  // known: no dialog
    EXPECT_EQ(EnterCellText(Doc, 0, 2, "a?b"), 0);
    EXPECT_EQ(P.Prompts.LastText(), "Images cannot use names containing '?'.");
    EXPECT_EQ(EnterCellText(Doc, 0, 2, "?"), 1);
    EXPECT_EQ(Doc.m_Examples[2].Values()[0], kMissing);
    // An unreadable bitmap: one more file is asked for, then the entry is abandoned.
    WriteWholeFile(Dir.File("bad.bmp"), "BM");
    P.Prompts.QueueFile(Dir.File("bad.bmp"));
    P.Prompts.QueueFile(std::nullopt);
    EXPECT_EQ(EnterCellText(Doc, 0, 2, "broken"), 0);
    EXPECT_EQ(Doc.m_Examples[2].Values()[0], kMissing);

    // A Text column turned Image by a script line: each distinct text chooses its bitmap once.
    Doc.SetInOutTypeAndMode(1, -1, Text);
    for (int r = 0; r < 3; ++r) Doc.SetValue(1, r, Hash(Doc, r == 1 ? "b" : "a", 1, 1), 0, 1, 0, 1);
    const std::string black = Uniform("black.bmp", {});
    P.Prompts.QueueFile(black);
    P.Prompts.QueueFile(red);
    CScriptRunner runner(Doc);
    EXPECT_EQ(runner.Execute("columntypeandmode(1,1,1,4)"), 0);
    EXPECT_EQ(Doc.m_InOuts[1].Mode, Image);
    EXPECT_EQ(FormatCellValue(Doc, 1, 2), "a");
    EXPECT_EQ(FormatCellValue(Doc, 1, 1), "b");
    EXPECT_EQ(GetImageFileName(Doc, "b"), red);
    EXPECT_EQ(GetHashInCol(Doc, 1), 0);  // the texts went with the conversion
}

}  // namespace
}  // namespace quorin::test
