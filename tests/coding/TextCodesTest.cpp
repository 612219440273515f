#include "coding/TextCodes.h"

#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class TextCodesTest : public DocTest {};

TEST_F(TextCodesTest, CodesAreWeightedSumsSpreadAtLeast100Apart) {
    MakeGrid(1, 2, {0, 0});
    EXPECT_EQ(Hash(Doc, "ab", 0, 1), 292.0);
    EXPECT_EQ(Hash(Doc, "ba", 0, 1), 394.0);  // 293 lies within 100 of 292
    EXPECT_EQ(Hash(Doc, "ab", 0, 1), 292.0);  // recorded once
    ASSERT_EQ(Doc.m_HashTexts.size(), 2u);
    // The same text in another column repeats its twin's spreading and gets the same code.
    EXPECT_EQ(Hash(Doc, "ba", 1, 1), 394.0);
    EXPECT_EQ(GetHashInCol(Doc, 1), 1);
    EXPECT_EQ(Hash(Doc, "", 0, 1), 0.0);
    // Characters are summed as signed bytes.
    EXPECT_EQ(BaseHashCode("\xE9"), -23.0);
    EXPECT_EQ(BaseHashCode("a\xFF"), 97.0 * 2 - 1);
}

TEST_F(TextCodesTest, SpreadingAgreesWithAskingHashTooCloseAtEveryStep) {
    MakeGrid(1, 3, {0, 0, 0});
    std::uint32_t state = 12345;
    auto next = [&state] { return (state = state * 214013u + 2531011u) >> 16 & 0x7FFF; };
    for (int i = 0; i < 400; ++i) {
        std::string text;
        for (int n = 1 + next() % 4; n > 0; --n) text += "abcAB\xE9 "[next() % 7];
        const int column = next() % 3;
        double expected = BaseHashCode(text);
        while (HashTooClose(Doc, text, expected)) expected += 101.0;
        ASSERT_EQ(Hash(Doc, text, column, 1), expected) << i << " '" << text << "'";
    }
    EXPECT_GT(Doc.m_HashTexts.size(), 200u);
}

TEST_F(TextCodesTest, TildeTextsAreCodedButNeverRecorded) {
    MakeGrid(1, 1, {0});
    Doc.m_FileStatus = 7;
    EXPECT_EQ(Hash(Doc, "~ab", 0, 1), BaseHashCode("~ab"));
    EXPECT_TRUE(Doc.m_HashTexts.empty());
    EXPECT_EQ(Doc.m_FileStatus, 7);
    Hash(Doc, "ab", 0, 1);
    EXPECT_EQ(Doc.m_FileStatus, 8);
    EXPECT_EQ(GetHash(Doc, "~~ab"), 292.0);
    EXPECT_EQ(GetHash(Doc, "zz"), kMissing);
}

TEST_F(TextCodesTest, ApproximateOutputTextsCarryTildesByRelativeDistance) {
    MakeGrid(1, 2, {0, 0}, {1, 0});
    NewHashText(Doc, 0, 1000.0, "cat");
    NewHashText(Doc, 0, 5000.0, "dog");
    EXPECT_EQ(GetText(Doc, 1000.0, 0), "cat");
    EXPECT_EQ(GetText(Doc, 990.0, 0), "~~~cat");   // 1 %
    EXPECT_EQ(GetText(Doc, 999.9, 0), "~cat");     // 0.01 %
    EXPECT_EQ(GetText(Doc, 999.99, 0), "cat");     // 0.001 %
    EXPECT_EQ(GetText(Doc, 4000.0, 0), "~~~~dog");
    EXPECT_EQ(GetText(Doc, -5.0, 0), "cat");       // negative values get no prefix
    // Input columns answer exact codes only.
    NewHashText(Doc, 1, 1000.0, "cat");
    EXPECT_EQ(GetText(Doc, 1000.0, 1), "cat");
    EXPECT_EQ(GetText(Doc, 999.9, 1), "");
}

TEST_F(TextCodesTest, SimilarTextsCompareLowerCaseSums) {
    MakeGrid(1, 2, {0, 0});
    NewHashText(Doc, 0, 1.0, "cat");
    NewHashText(Doc, 0, 2.0, "Cat");
    NewHashText(Doc, 0, 3.0, "zz");
    NewHashText(Doc, 1, 4.0, "cat");
    EXPECT_EQ(FindSimilarText(Doc, "Cat", 0), std::string("cat\x01"));
    // A shorter record is padded with blanks: "ca" + ' ' sums 32 + 196, far from 295.
    NewHashText(Doc, 0, 5.0, "ca");
    EXPECT_EQ(FindSimilarText(Doc, "Cat", 0), std::string("cat\x01"));
    EXPECT_EQ(FindSimilarText(Doc, "bat", 0), std::string("cat\x01" "Cat\x01"));
}

TEST_F(TextCodesTest, SteppingFollowsUnsignedByteOrderAndCodes) {
    MakeGrid(1, 2, {0, 0}, {0, 1});
    const double b = Hash(Doc, "b", 0, 1);
    const double a = Hash(Doc, "a", 0, 1);
    const double high = Hash(Doc, "\xE9", 0, 1);  // above 'z' as an unsigned byte
    const double c = Hash(Doc, "c", 0, 1);
    EXPECT_EQ(GetFirstText(Doc, 0), a);
    EXPECT_EQ(GetLastText(Doc, 0), high);
    EXPECT_EQ(GetNextText(Doc, 0, a), b);
    EXPECT_EQ(GetNextText(Doc, 0, c), high);  // bytes above the tilde are reachable
    EXPECT_EQ(GetNextText(Doc, 0, high), high);
    EXPECT_EQ(GetPreviousText(Doc, 0, b), a);
    EXPECT_EQ(GetPreviousText(Doc, 0, a), a);
    // Code order, Input columns only.
    // Codes: b 98, a 198, the high byte -23, c 301.
    EXPECT_EQ(GetNextTextHash(Doc, 0, a, 0), c);
    EXPECT_EQ(GetNextTextHash(Doc, 1, b, 0), high);
    EXPECT_EQ(GetNextTextHash(Doc, 1, high, 0), high);  // nothing below
    EXPECT_EQ(GetNextTextHash(Doc, 4, a, 0), a);
    NewHashText(Doc, 1, 7.0, "x");
    EXPECT_EQ(GetNextTextHash(Doc, 0, 1.0, 1), 1.0);
}

TEST_F(TextCodesTest, ValidityCountsOnlyCellsOfTheColumn) {
    MakeGrid(2, 2, {292, 0, 5, 292});
    EXPECT_EQ(HashIsValid(Doc, 292, 0), 1);
    EXPECT_EQ(HashIsValid(Doc, 5, 1), 0);
    EXPECT_EQ(HashIsValid(Doc, 292, 7), 0);
    NewHashText(Doc, 0, 292, "ab");
    EXPECT_EQ(HashIsDuplicate(Doc, "ab", 0, 292), 1);
    EXPECT_EQ(HashIsDuplicate(Doc, "ab", 1, 292), 0);
}

}  // namespace
}  // namespace quorin::test
