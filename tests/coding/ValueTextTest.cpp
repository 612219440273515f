#include "coding/ValueText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

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
    // A value of the marker or more is missing; a negative one beyond minus the marker
    // keeps its sign and size, minus infinity held at the largest finite number.
    bool beyond = false;
    EXPECT_EQ(GetValueFromString("1e999", beyond), kMissing);
    EXPECT_TRUE(beyond);
    EXPECT_EQ(GetValueFromString("-4e38", beyond), -4e38);
    EXPECT_TRUE(beyond);
    EXPECT_EQ(GetValueFromString("-1e999"), std::numeric_limits<double>::lowest());
    EXPECT_EQ(GetValueFromString("-2e38", beyond), -2e38);
    EXPECT_FALSE(beyond);
}

// The conversion is strtod's on the kept characters, bit for bit, whatever way it is done.
TEST(GetValueFromString, GivesStrtodsDoublesBitForBit) {
    std::uint32_t state = 12345;
    auto next = [&state] { return (state = state * 214013u + 2531011u) >> 16 & 0x7FFF; };
    const char* const pieces[] = {"0", "1", "7", "9", "12345678901234567890", ".", "e", "E",
                                  "-", "+", "e-", "e+", "308", "324", "400", "x", " ", "$",
                                  "00000000000000000000000000000000000001", "2.2250738585072011e-308"};
    std::vector<std::string> texts = {"+5", "+-5", "-+5", "++1", "+.5", "-.5", ".e1", "1e",
                                      "1e+", "0e99999999999", "1e-400", "4.9e-324", "2e-320",
                                      "-0", "1.7976931348623157e308", "1.7976931348623159e308",
                                      "9007199254740993", "0.1", std::string(500, '9')};
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        for (int n = 1 + next() % 6; n > 0; --n) t += pieces[next() % 20];
        texts.push_back(t);
    }
    for (const std::string& text : texts) {
        std::string kept;
        bool digit = false;
        for (char ch : text)
            if ((ch >= '0' && ch <= '9') || ch == '.' || ch == 'e' || ch == 'E' || ch == '-' ||
                ch == '+') {
                kept += ch;
                digit = digit || (ch >= '0' && ch <= '9');
            }
        if (!digit) continue;
        const double expected = std::strtod(kept.c_str(), nullptr);
        if (!(expected < kMissing && expected > kMinusMissing)) continue;
        const double got = GetValueFromString(text);
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << "'" << text << "' " << got;
    }
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
