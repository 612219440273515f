#include <algorithm>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include <limits>

#include "automation/Importer.h"
#include "coding/TextCodes.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

class ImportTest : public DocTest {
protected:
    std::string File(const std::string& bytes, const std::string& name = "in.csv") {
        const auto path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // Script-style import: comma delimiter, dialogs off.
    int Import(const std::string& bytes, int names = 0) {
        Doc.m_ImportComma = 1;
        return ImportFile(Doc, File(bytes), 0, names);
    }
    // Options dialog accepted with the comma delimiter switched on.
    void QueueOptions(int rowType = 0) {
        P.Prompts.QueueDialogOk([rowType](CDialogForm& f) {
            f.Field("Comma").IntValue = 1;
            f.Field("RowType").IntValue = rowType;
        });
    }
    // Input/Output Column dialog: every column Input, Real.
    void QueueColumns() {
        P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("SetAll").IntValue = 1; });
    }
    void QueueButton(const std::string& key) {
        P.Prompts.QueueDialogOk([key](CDialogForm& f) { f.PressedButton = key; });
    }
    std::string Name(int c) { return Doc.m_InOuts[c].InOutName; }
    double Value(int r, int c) { return Doc.m_Examples[r].Values()[c]; }

    CTempDir m_Temp;
    const std::filesystem::path m_Dir = m_Temp.Path();
};

TEST_F(ImportTest, RefusesFilesWithoutCarriageReturnsAndMissingFiles) {
    EXPECT_EQ(Import("1,2\n3,4\n"), ImportNoCarriageReturns);
    EXPECT_EQ(ImportFile(Doc, (m_Dir / "none.csv").string(), 0, 0), ImportNotOpened);
    EXPECT_EQ(Import("1\r\n2\r\n"), ImportNoDelimiters);
    EXPECT_TRUE(Doc.m_Examples.empty());
    EXPECT_TRUE(Doc.m_InOuts.empty());
    EXPECT_TRUE(P.Prompts.Texts().empty());  // dialogs off: the caller reports
    EXPECT_EQ(ImportResultMessage(ImportNoCarriageReturns),
              "No line feeds can be found.\nThe file cannot be imported.");
    EXPECT_EQ(ImportResultMessage(-105),
              "Line 5 in import file has a problem.\n\nImages cannot use names containing "
              "'?'.\nThe import has not been completed.");
    EXPECT_EQ(ImportResultMessage(2), "2 lines have failed to be imported.");
    EXPECT_EQ(ImportResultMessage(1), "1 line has failed to be imported.");
}

TEST_F(ImportTest, NamesFromTheHeaderAndValuesNormalisedOnce) {
    EXPECT_EQ(Import("x,y,z\r\n1,2,3\r\n3,4,5\r\n", 1), 0);
    ASSERT_EQ(Doc.m_InOuts.size(), 3u);
    EXPECT_EQ(Name(0), "x");
    EXPECT_EQ(Name(2), "z");
    ASSERT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(Doc.m_Examples[0].ExampleName, "#0");
    EXPECT_EQ(Doc.m_Examples[1].ExampleName, "#1");
    EXPECT_EQ(Value(1, 2), 5.0);
    EXPECT_EQ(Doc.m_InOuts[0].LowValue, 1.0);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 3.0);
    EXPECT_EQ(Doc.m_Examples[1].NormalisedValues()[0], 1.0);
}

TEST_F(ImportTest, NamesFlagClearPassesTheFirstLineOverAndNamesNothing) {
    EXPECT_EQ(Import("1,2\r\n3,4\r\n5,6\r\n"), 0);
    ASSERT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(Value(0, 0), 3.0);
    EXPECT_EQ(Name(0), "");  // letter names belong to "Use line"
    EXPECT_EQ(Name(1), "");
    // Past ZZ as well: nothing to generate, so nothing to report.
    CQuorinDoc wide(*P.App);
    wide.NewDocument();
    wide.m_ImportComma = 1;
    std::string line;
    for (int c = 0; c < 700; ++c) line += (c ? "," : "") + std::to_string(c);
    EXPECT_EQ(ImportFile(wide, File(line + "\r\n" + line + "\r\n", "wide.csv"), 0, 0), 0);
    ASSERT_EQ(wide.m_InOuts.size(), 700u);
    EXPECT_EQ(wide.m_InOuts[675].InOutName, "");
    EXPECT_EQ(wide.m_Examples.size(), 1u);
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(ImportTest, NumbersBeyondTheMarkerKeepTheirSignAndAreReportedOnce) {
    const std::string digits400 = "1" + std::string(399, '0');
    EXPECT_EQ(Import("a,b,c\r\n1e308,-4e38,2\r\n-" + digits400 + "," + digits400 +
                         ",3e38\r\n-3e38,-1e308,1\r\n",
                     1),
              0);
    ASSERT_EQ(Doc.m_Examples.size(), 3u);
    EXPECT_EQ(Value(0, 0), kMissing);  // 3e38 or more is missing
    EXPECT_EQ(Value(0, 1), -4e38);
    EXPECT_EQ(Value(1, 0), std::numeric_limits<double>::lowest());  // minus infinity, held
    EXPECT_EQ(Value(1, 1), kMissing);
    EXPECT_EQ(Value(1, 2), 3e38);  // below the single-precision marker: a value
    EXPECT_EQ(Value(2, 0), -3e38);
    EXPECT_EQ(Value(2, 1), -1e308);
    // The ranges see the negative values, never the marker.
    EXPECT_EQ(Doc.m_InOuts[1].LowValue, -1e308);
    const auto texts = P.Prompts.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("5 imported numbers lay beyond 3e38 in size", 0), 0u) << texts[0];
}

TEST_F(ImportTest, OnlyRegularFilesAreImportedAndAPipeNeverBlocks) {
    CTempDir dir;
    const std::string fifo = dir.File("pipe.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Doc.m_ImportComma = 1;
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.Path().string()}) {
        EXPECT_EQ(ImportFile(Doc, path, 0, 0), ImportNotOpened) << path;
        ASSERT_FALSE(P.Prompts.Texts().empty());
        EXPECT_EQ(P.Prompts.Texts().back(),
                  "'" + path + "' is not a regular file and cannot be imported.");
    }
    EXPECT_TRUE(Doc.m_InOuts.empty());
}

TEST_F(ImportTest, FieldRules) {
    // No quoting: the delimiter inside quotes still separates; quotes stay.
    Doc.m_ImportRowNames = 1;
    EXPECT_EQ(Import("h,\"a,b\",c\r\nr1,1,2,3\r\n", 0), 0);
    EXPECT_EQ(Doc.m_InOuts.size(), 3u);
    ASSERT_EQ(Doc.m_Examples.size(), 1u);
    EXPECT_EQ(Doc.m_Examples[0].ExampleName, "r1");
}

TEST_F(ImportTest, TwoDelimitersAndLinesWithoutCarriageReturns) {
    Doc.m_ImportSemicolon = 1;
    // 'h' has one field and is passed over; 'a,b;c' is the names line. A line without
    // a carriage return has one field fewer and fails; lines past the last carriage
    // return are not read.
    QueueButton("Warn");
    EXPECT_EQ(Import("h\r\na,b;c\r\n1,2;3\r\n4,5;6\n7,8;9\r"), 1);
    EXPECT_EQ(Doc.m_InOuts.size(), 3u);
    EXPECT_EQ(Doc.m_Examples.size(), 1u);

    CQuorinDoc other(*P.App);
    other.NewDocument();
    other.m_ImportComma = 1;
    EXPECT_EQ(ImportFile(other, File("a,b\r\n1,2\r\n3,4", "last.csv"), 0, 1), 0);
    EXPECT_EQ(other.m_Examples.size(), 1u);
}

TEST_F(ImportTest, BinaryAndNulBytesNeverBreakTheParser) {
    const char raw[] = "a,b\r\n1,\0" "2\r\n\xff\xfe,\x01\r\n\0\0\0\r\n";
    const std::string bytes(raw, sizeof raw - 1);
    QueueButton("Warn");
    EXPECT_EQ(Import(bytes, 1), 1);
    EXPECT_EQ(Doc.m_InOuts.size(), 2u);
    ASSERT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(Value(0, 1), 2.0);  // a number keeps only its digits
}

TEST_F(ImportTest, NulBytesStayInTextFields) {
    Doc.AddCol(0, 0, 1);
    Doc.AddCol(0, 0, 1);
    Doc.m_InOuts[0].Mode = Text;
    const char raw[] = "a,b\r\na\0b,1\r\nab,2\r\n";
    const std::string bytes(raw, sizeof raw - 1);
    EXPECT_EQ(Import(bytes, 1), 0);
    ASSERT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(Value(0, 0), BaseHashCode(std::string("a\0b", 3)));
    EXPECT_NE(Value(0, 0), Value(1, 0));
    ASSERT_EQ(Doc.m_HashTexts.size(), 2u);
    EXPECT_EQ(Doc.m_HashTexts[0].Text, std::string("a\0b", 3));
}

TEST_F(ImportTest, FailedLinesWarnIgnoreAndCancel) {
    QueueButton("Warn");
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.PressedButton = "Ignore"; });
    EXPECT_EQ(Import("a,b,c\r\n1,2,3\r\n1,2\r\n4,5,6\r\n1\r\n7,8,9\r\n1,2\r\n", 1), 3);
    EXPECT_EQ(Doc.m_Examples.size(), 3u);
    const auto dialogs = P.Prompts.Dialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].Text("Line"), "1,2");
    EXPECT_EQ(dialogs[0].Text("Text").substr(0, 36), "Import stopped: 1 incorrect line.\r\n\r");
    EXPECT_EQ(dialogs[1].Text("Text").substr(0, 34), "Import stopped: 2 incorrect lines.");

    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(Import("1,2,3\r\n1\r\n4,5,6\r\n"), 1);
    EXPECT_EQ(Doc.m_Examples.size(), 3u);  // nothing after the cancelled line
}

TEST_F(ImportTest, IncompatibleGridAndNumberedRowsContinue) {
    MakeGrid(10, 3, std::vector<double>(30, 1.0));
    EXPECT_EQ(Import("1,2,3,4\r\n1,2,3,4\r\n"), ImportIncompatible);
    EXPECT_EQ(Doc.m_Examples.size(), 10u);
    EXPECT_EQ(Import("h,h,h\r\n1,2,3\r\n4,5,6\r\n"), 0);
    ASSERT_EQ(Doc.m_Examples.size(), 12u);
    EXPECT_EQ(Doc.m_Examples[10].ExampleName, "#10");
    EXPECT_EQ(Doc.m_Examples[11].ExampleName, "#11");
}

TEST_F(ImportTest, TooLongLineStopsWithItsMessageOnly) {
    const std::string ok(9998, '1');
    // A 10000-byte line (line end included) is fine; 10001 bytes stop the import.
    P.Prompts.QueueFile(File("a,b\r\n1," + ok.substr(2) + "\r\n2,3\r\n" + "4," +
                                 std::string(9997, '5') + "\r\n6,7\r\n",
                             "long.csv"));
    QueueOptions();
    QueueButton("Names");
    QueueColumns();
    OnFileImport(Doc);
    EXPECT_EQ(Doc.m_Examples.size(), 2u);
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"The line read operation has been terminated\nafter 10000 "
                                       "characters without a line end."});
}

TEST_F(ImportTest, UseLineAndSetNamesWithTheDialogs) {
    const std::string file = File("x,y,z\r\n1,2,3\r\n", "xyz.txt");
    QueueOptions();
    QueueButton("Names");
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("SetAll").IntValue = 1;
        f.Field("Type").IntValue = 1;
    });
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), 0);
    EXPECT_EQ(Name(0), "x");
    EXPECT_EQ(Doc.m_Examples.size(), 1u);
    EXPECT_EQ(Doc.m_InOuts[2].InOutType, Output);
    const auto lineDialog = P.Prompts.Dialogs()[1];
    EXPECT_EQ(lineDialog.Text("Current"), "Current line 0 needs 3 columns.");
    EXPECT_EQ(lineDialog.Text("Grid"),
              "A new Grid will be created based on the current line.\r\nThe following lines "
              "must fit into the new Grid.");
    EXPECT_EQ(lineDialog.Text("Line"), "x,y,z");

    CQuorinDoc other(*P.App);
    other.NewDocument();
    QueueOptions();
    QueueButton("Use");
    QueueColumns();
    EXPECT_EQ(ImportFile(other, file, 1, 0), 0);
    ASSERT_EQ(other.m_Examples.size(), 2u);
    EXPECT_EQ(other.m_InOuts[0].InOutName, "AA");
    EXPECT_EQ(other.m_InOuts[1].InOutName, "AB");
    EXPECT_EQ(other.m_InOuts[2].InOutName, "AC");
    EXPECT_TRUE(IsMissing(other.m_Examples[0].Values()[0]));
    EXPECT_EQ(other.m_Examples[1].Values()[2], 3.0);
}

TEST_F(ImportTest, RepeatedDelimitersAreRemovedOnlyWhenAsked) {
    const std::string file = File("1,,2\r\n3,,4\r\n");
    QueueOptions();
    P.Prompts.QueueAnswer(IdYes);
    QueueButton("Use");
    QueueColumns();
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), 0);
    EXPECT_EQ(Doc.m_InOuts.size(), 2u);
    EXPECT_EQ(Value(1, 1), 4.0);
    EXPECT_EQ(P.Prompts.Messages()[0].Icon, EIcon::Question);

    CQuorinDoc other(*P.App);
    other.NewDocument();
    QueueOptions();
    P.Prompts.QueueAnswer(IdNo);
    QueueButton("Use");
    QueueColumns();
    EXPECT_EQ(ImportFile(other, file, 1, 0), 0);
    ASSERT_EQ(other.m_InOuts.size(), 3u);
    EXPECT_TRUE(IsMissing(other.m_Examples[0].Values()[1]));
}

TEST_F(ImportTest, ColumnNameLimitIsZY) {
    std::string line;
    for (int c = 0; c < 675; ++c) line += (c ? "," : "") + std::to_string(c);
    QueueOptions();
    QueueButton("Use");
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("SetAll").IntValue = 1; });
    EXPECT_EQ(ImportFile(Doc, File(line + "\r\n"), 1, 0), 0);
    ASSERT_EQ(Doc.m_InOuts.size(), 675u);
    EXPECT_EQ(Name(27), "BB");
    EXPECT_EQ(Name(674), "ZY");

    CQuorinDoc other(*P.App);
    other.NewDocument();
    P.Prompts.QueueFile(File(line + ",675\r\n", "wide.csv"));
    QueueOptions();
    QueueButton("Use");
    OnFileImport(other);
    EXPECT_TRUE(other.m_InOuts.empty());
    const auto texts = P.Prompts.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Column names reached 'ZZ'. No more can be generated.");
    EXPECT_EQ(texts[1], "The import has not been started.");
}

TEST_F(ImportTest, CancelledDialogsGiveTheirCodes) {
    const std::string file = File("1,2\r\n3,4\r\n");
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), ImportNotStarted);
    QueueOptions();
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), ImportNoLineAction);
    QueueOptions();
    QueueButton("Use");
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), ImportNoColumnTypes);
    EXPECT_TRUE(Doc.m_Examples.empty());
    // Ask while importing: a "Set next" of 0 without "Set all" is no answer.
    QueueOptions(4);
    QueueButton("Use");
    QueueColumns();
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("SetNext").IntValue = 0; });
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), ImportNoRowTypes);
    Doc.m_ImportComma = 0;
    P.Prompts.QueueDialogOk();
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), ImportNotStarted);
    EXPECT_EQ(P.Prompts.LastText(), "At least one Input/Output column delimiter must be used.");
}

TEST_F(ImportTest, RowTypesAskedWhileImporting) {
    QueueOptions(4);
    QueueButton("Use");
    QueueColumns();
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Type").IntValue = 1;
        f.Field("SetNext").IntValue = 2;
    });
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        f.Field("Type").IntValue = 2;
        f.Field("SetAll").IntValue = 1;
    });
    EXPECT_EQ(ImportFile(Doc, File("1,2\r\n3,4\r\n5,6\r\n7,8\r\n"), 1, 0), 0);
    ASSERT_EQ(Doc.m_Examples.size(), 4u);
    EXPECT_EQ(Doc.m_Examples[1].ExampleType, Validating);
    EXPECT_EQ(Doc.m_Examples[2].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Querying);
    EXPECT_EQ(P.Prompts.Dialogs()[3].Text("Rows"), "Rows Imported: 0  Total: 4");
}

}  // namespace
}  // namespace quorin::test

#include "coding/ImageCodes.h"
#include "support/BitmapFiles.h"

namespace quorin::test {
namespace {

// Image chosen in the Input/Output Column dialog: each new name asks for its bitmap once,
// offered the file it names beside the imported file; a bitmap that cannot be loaded is
// reported and asked about once, its cells missing.
TEST_F(ImportTest, ImageModeFromTheColumnDialog) {
    WriteUniformBitmap((m_Dir / "sun.bmp").string(), 4, 4, {250, 200, 0});
    CBitmapLayout rle;  // run-length compressed: refused
    rle.BitCount = 8;
    rle.Palette = {{1, 2, 3}};
    rle.Index = [](int, int) { return 0; };
    rle.Compression = 1;
    WriteBitmap((m_Dir / "fog.bmp").string(), MakeBitmap(rle));
    const std::string file = File("pic,v\r\nsun,1\r\nfog,2\r\nsun,3\r\nfog,4\r\n,5\r\n");
    QueueOptions();
    QueueButton("Names");
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Mode").IntValue = Image; });
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Mode").IntValue = Real; });
    P.Prompts.QueueFile((m_Dir / "sun.bmp").string());
    P.Prompts.QueueFile((m_Dir / "fog.bmp").string());
    EXPECT_EQ(ImportFile(Doc, file, 1, 0), 0);
    const auto requests = P.Prompts.FileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].FileName, (m_Dir / "sun.bmp").string());  // the proposal
    EXPECT_EQ(requests[1].FileName, (m_Dir / "fog.bmp").string());
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Image);
    ASSERT_EQ(Doc.m_Examples.size(), 5u);
    const double sun = GetImageCode(Doc, "sun", 1, 0);
    EXPECT_LT(sun, kMissing);
    EXPECT_EQ(Value(0, 0), sun);
    EXPECT_EQ(Value(2, 0), sun);
    EXPECT_TRUE(IsMissing(Value(1, 0)));
    EXPECT_TRUE(IsMissing(Value(3, 0)));
    EXPECT_TRUE(IsMissing(Value(4, 0)));  // an empty field
    const auto texts = P.Prompts.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), CannotLoadMessage((m_Dir / "fog.bmp").string())), 1);
}

}  // namespace
}  // namespace quorin::test
