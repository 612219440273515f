#include "coding/GridEditor.h"

#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

constexpr const char* kTextQuestion =
    "Changing non-textual data to 'Text'\nwill invalidate the current network\nand may result "
    "in the loss of some data.\n\nDo you want to continue?";
constexpr const char* kBoolQuestion =
    "Changing non-boolean data to 'Bool'\nmay produce unexpected results that\ncan result in a "
    "loss of data.\n\nDo you want to continue?";

class GridEditorTest : public DocTest {
protected:
    double Cell(int column, int row) const { return Doc.m_Examples[row].Values()[column]; }
};

TEST_F(GridEditorTest, TypedNumbersAndBoolWords) {
    MakeGrid(2, 2, {0, 0, 4, 0});
    Doc.SetInOutTypeAndMode(1, -1, Bool);
    struct {
        int column;
        const char* text;
        double value;
    } cases[] = {
        {0, "2.5", 2.5},   {0, "?12", kMissing}, {0, "", kMissing},     {0, "1e30", 1e30}  ,
        {0, " -3x", -3.0}, {1, "Yes", 1.0},      {1, "no", 0.0},        {1, "0.3", 1.0},
        {1, "-2", 0.0},    {1, "?", kMissing},   {1, "maybe", 0.0},     {1, "true", 1.0},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(EnterCellText(Doc, c.column, 0, c.text), 1) << c.text;
        EXPECT_EQ(Cell(c.column, 0), c.value) << c.text;
    }
    EXPECT_EQ(Doc.m_InOuts[1].EditorMode, Bool);
    EXPECT_DOUBLE_EQ(Doc.m_Examples[0].NormalisedValues()[0], 0.0);  // normalised against 4
}

TEST_F(GridEditorTest, UnreadableNumbersAreRefusedWithTheReason) {
    MakeGrid(2, 2, {0, 0, 4, 0});
    Doc.SetInOutTypeAndMode(1, -1, Integer);
    ASSERT_EQ(EnterCellText(Doc, 0, 0, "2.5"), 1);
    struct {
        int column;
        const char* text;
        const char* message;
    } cases[] = {
        {0, "abc", "\"abc\" is not a number.\n\nType a number, or ? for a missing value."},
        {0, "1e400", "\"1e400\" is too large to be stored.\n\nNumbers must lie between -3e+38 and "
                     "3e+38; type ? for a missing value."},
        {1, "-4e38", "\"-4e38\" is too large to be stored.\n\nNumbers must lie between -3e+38 and "
                     "3e+38; type ? for a missing value."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EnterCellText(Doc, c.column, 0, c.text), 0) << c.text;
        EXPECT_EQ(P.Prompts.LastText(), c.message);
    }
    EXPECT_EQ(Cell(0, 0), 2.5);  // the cell keeps what it held
    EXPECT_EQ(Cell(1, 0), 0.0);
}

TEST_F(GridEditorTest, TypingErrorsAreOfferedTheirSimilarTexts) {
    MakeGrid(3, 1, {0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Text);
    ASSERT_EQ(EnterCellText(Doc, 0, 0, "cat"), 1);
    const double cat = Cell(0, 0);
    EXPECT_EQ(cat, GetHash(Doc, "cat"));
    // "Cat" looks like "cat": the user picks text 2.
    P.Prompts.QueueDialog([](CDialogForm& form) {
        EXPECT_EQ(form.Id, "PossibleTextError");
        EXPECT_EQ(form.Text("Text1"), "Cat");
        EXPECT_EQ(form.Text("Text2"), "cat");
        EXPECT_FALSE(form.Field("3").Enabled);
        form.PressedButton = "2";
        return static_cast<int>(IdOk);
    });
    ASSERT_EQ(EnterCellText(Doc, 0, 1, "Cat"), 1);
    EXPECT_EQ(Cell(0, 1), cat);
    // Text 1 can be corrected before it is chosen.
    P.Prompts.QueueDialog([](CDialogForm& form) {
        form.Field("Text1").TextValue = "bird";
        form.PressedButton = "1";
        return static_cast<int>(IdOk);
    });
    ASSERT_EQ(EnterCellText(Doc, 0, 2, "cta"), 1);
    EXPECT_EQ(FormatCellValue(Doc, 0, 2), "bird");
    // Cancel abandons the edit.
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(EnterCellText(Doc, 0, 2, "act"), 0);
    EXPECT_EQ(FormatCellValue(Doc, 0, 2), "bird");
    // Retyping the cell's own text asks nothing; "?" is missing.
    EXPECT_EQ(EnterCellText(Doc, 0, 0, "cat"), 1);
    EXPECT_EQ(EnterCellText(Doc, 0, 0, "?"), 1);
    EXPECT_EQ(Cell(0, 0), kMissing);
}

TEST_F(GridEditorTest, QueryingInputsAreHeldToTheTrainingRange) {
    MakeGrid(3, 2, {1, 0, 5, 0, 0, 0}, {0, 1});
    Doc.SetExampleType(2, Querying);
    Doc.RenormaliseAll(1);
    ASSERT_EQ(EnterCellText(Doc, 0, 2, "9"), 1);
    EXPECT_EQ(Cell(0, 2), 5.0);
    EXPECT_EQ(P.Prompts.LastText(),
              "The input value given is above the range of the network\ntraining examples. It "
              "will be set to the highest value.");
    ASSERT_EQ(EnterCellText(Doc, 0, 2, "-1"), 1);
    EXPECT_EQ(Cell(0, 2), 1.0);
    EXPECT_EQ(P.Prompts.LastText(),
              "The input value given is below the range of the network\ntraining examples. It "
              "will be set to the lowest value.");
    ASSERT_EQ(EnterCellText(Doc, 0, 2, "?"), 1);
    EXPECT_EQ(P.Prompts.Texts().size(), 2u);
    // Outputs of querying rows are not held.
    ASSERT_EQ(EnterCellText(Doc, 1, 2, "7"), 1);
    EXPECT_EQ(Cell(1, 2), 7.0);
    // Without a range the input cannot be edited at all.
    Doc.SetValue(0, 1, 1.0, 0, 1, 0, 1);
    EXPECT_EQ(EnterCellText(Doc, 0, 2, "1"), 0);
    EXPECT_EQ(P.Prompts.LastText(),
              "Querying Inputs must be within the range of the Training Inputs.\nAt least two "
              "Training Inputs are needed first to set the range.");
}

TEST_F(GridEditorTest, ModeChangesAskAndKeepWhatCanBeKept) {
    MakeGrid(3, 1, {2.25, -1, kMissing});
    Doc.m_NetworkExists = 1;
    P.Prompts.QueueAnswer(IdNo);
    EXPECT_EQ(ChangeColumnMode(Doc, 0, Text), 0);
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Real);
    EXPECT_EQ(Doc.m_NetworkExists, 1);
    P.Prompts.QueueAnswer(IdYes);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Text), 1);
    EXPECT_EQ(P.Prompts.LastText(), kTextQuestion);
    EXPECT_EQ(Doc.m_NetworkExists, 0);
    EXPECT_EQ(FormatCellValue(Doc, 0, 0), "2.25");
    EXPECT_EQ(FormatCellValue(Doc, 0, 1), "-1");
    EXPECT_EQ(Cell(0, 2), kMissing);
    // Back to numbers: the texts were exact, so are the numbers; the texts go.
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Real), 1);
    EXPECT_EQ(Cell(0, 0), 2.25);
    EXPECT_EQ(Cell(0, 1), -1.0);
    EXPECT_EQ(GetHashInCol(Doc, 0), 0);
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 2.25);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Integer), 1);
    EXPECT_EQ(Cell(0, 0), 2.0);
    // Bool asks only while the warning level is 1 or more.
    P.Prompts.QueueAnswer(IdYes);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Bool), 1);
    EXPECT_EQ(P.Prompts.LastText(), kBoolQuestion);
    EXPECT_EQ(Cell(0, 0), 1.0);
    EXPECT_EQ(Cell(0, 1), 0.0);
    P.App->m_WarningLevel = 0;
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Real), 1);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Bool), 1);
    EXPECT_EQ(P.Prompts.Messages().size(), 3u);
}

TEST_F(GridEditorTest, TextsBecomeBoolsAndNumbersWhereTheyCan) {
    MakeGrid(4, 1, {0, 0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Text);
    const char* texts[] = {"Yes", "no", " 7 ", "cat"};
    for (int r = 0; r < 4; ++r) Doc.SetValue(0, r, Hash(Doc, texts[r], 0, 1), 0, 1, 0, 1);
    P.Prompts.QueueAnswer(IdYes);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Bool), 1);
    EXPECT_EQ(Cell(0, 0), 1.0);
    EXPECT_EQ(Cell(0, 1), 0.0);
    EXPECT_EQ(Cell(0, 2), 1.0);
    EXPECT_EQ(Cell(0, 3), kMissing);
}

TEST_F(GridEditorTest, ChangingToImageWithoutABitmapPutsEverythingBack) {
    MakeGrid(2, 1, {3.5, 4});
    P.Prompts.QueueAnswer(IdYes);
    P.Prompts.QueueFile(std::nullopt);
    EXPECT_EQ(ChangeColumnMode(Doc, 0, Image), 0);
    EXPECT_EQ(Doc.m_InOuts[0].Mode, Real);
    EXPECT_EQ(Cell(0, 0), 3.5);
    EXPECT_EQ(Cell(0, 1), 4.0);
}

}  // namespace
}  // namespace quorin::test

namespace quorin::test {
namespace {

TEST_F(GridEditorTest, TextsBecomeNumbersOnlyWhenWhole) {
    MakeGrid(3, 1, {0, 0, 0});
    Doc.SetInOutTypeAndMode(0, -1, Text);
    const char* texts[] = {"12.5", "12 apples", "?"};
    for (int r = 0; r < 3; ++r) Doc.SetValue(0, r, Hash(Doc, texts[r], 0, 1), 0, 1, 0, 1);
    ASSERT_EQ(ChangeColumnMode(Doc, 0, Integer), 1);
    EXPECT_EQ(Cell(0, 0), 12.0);
    EXPECT_EQ(Cell(0, 1), kMissing);
    EXPECT_EQ(Cell(0, 2), kMissing);
}

}  // namespace
}  // namespace quorin::test
