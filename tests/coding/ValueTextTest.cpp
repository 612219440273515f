#include "coding/ValueText.h"

#include "coding/TextCodes.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

TEST(GetValueFromString, KeepsOnlyTheCharactersOfANumber) {
    EXPECT_EQ(GetValueFromString("$1,234.50"), 1234.5);
    EXPECT_EQ(GetValueFromString("n/a"), kMissing);
    EXPECT_EQ(GetValueFromString("true"), kMissing);
    EXPECT_EQ(GetValueFromString("-"), kMissing);
    EXPECT_EQ(GetValueFromString(""), kMissing);
    EXPECT_EQ(GetValueFromString("1.2.3"), 1.2);
    EXPECT_EQ(GetValueFromString("12-3"), 12.0);
    EXPECT_EQ(GetValueFromString("1"), 1.0);
    EXPECT_EQ(GetValueFromString(" -4.5e2 kg"), -450.0);
    // Numbers the marker cannot be told from are missing, not infinities.
    EXPECT_EQ(GetValueFromString("1e999"), kMissing);
    EXPECT_EQ(GetValueFromString("-4e38"), kMissing);
}

class ValueTextTest : public DocTest {};

TEST_F(ValueTextTest, FormatsByMode) {
    MakeGrid(1, 3, {0, 0, 0}, {0, 1, 2});
    EXPECT_EQ(FormatValue(Doc, 2.5, 0, Real), "2.5000");
    EXPECT_EQ(FormatValue(Doc, 2.4, 0, Integer), "2");
    EXPECT_EQ(FormatValue(Doc, 0.5, 0, Bool), "?");
    EXPECT_EQ(FormatValue(Doc, 0.502, 0, Bool), "true");
    EXPECT_EQ(FormatValue(Doc, 0.498, 0, Bool), "false");
    for (int mode = Real; mode <= Image; ++mode) EXPECT_EQ(FormatValue(Doc, kMissing, 0, mode), "?");
    Doc.SetInOutTypeAndMode(1, -1, Text);
    const double code = Hash(Doc, "cat", 1, 1);
    Doc.SetValue(1, 0, code, 0, 1, 0, 1);
    EXPECT_EQ(FormatCellValue(Doc, 1, 0), "cat");
    EXPECT_EQ(FormatValue(Doc, code, 1), "cat");
    Doc.SetInOutTypeAndMode(2, -1, Image);
    EXPECT_EQ(FormatCellValue(Doc, 2, 0), "~ no image ~");
    EXPECT_EQ(FormatCellValue(Doc, 5, 0), "");
}

TEST_F(ValueTextTest, CaptionsNameModeTypeAndColumn) {
    MakeGrid(1, 2, {0, 0}, {0, 1});
    Doc.SetInOutName(1, "Age");
    Doc.SetInOutTypeAndMode(1, -1, Integer);
    EXPECT_EQ(ColumnCaption(Doc, 0), "Real input column 0");
    EXPECT_EQ(ColumnCaption(Doc, 1), "Integer output column 1  \"Age\"");
    EXPECT_STREQ(TypeWord(ExcludedCol), "excluded");
    EXPECT_STREQ(ModeWord(Bool), "Bool");
}

}  // namespace
}  // namespace quorin::test
