#include "coding/TextCodeIndex.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "coding/TextCodes.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

// Today's rule, straightforwardly: the codes recorded before the text's first twin,
// sorted, and 101 added while one lies within 100.
double ReferenceHash(std::vector<CHashText>& list, const std::string& text, int column) {
    std::vector<double> before;
    for (const CHashText& r : list) {
        if (r.Text == text) break;
        if (!std::isnan(r.Code)) before.push_back(r.Code);
    }
    std::sort(before.begin(), before.end());
    double code = BaseHashCode(text);
    for (size_t steps = 0; steps < 2 * before.size() + 2; ++steps) {
        const auto above = std::upper_bound(before.begin(), before.end(), code - 100.0);
        if (above == before.end() || !(*above < code + 100.0)) break;
        code += 101.0;
    }
    bool duplicate = false;
    for (const CHashText& r : list)
        duplicate = duplicate || (r.Column == column && r.Code == code && r.Text == text);
    if (!duplicate && (text.empty() || text[0] != '~')) list.push_back({column, code, text});
    return code;
}

class TextCodeIndexTest : public DocTest {
protected:
    std::uint32_t m_State = 12345;
    std::uint32_t Next() { return (m_State = m_State * 214013u + 2531011u) >> 16 & 0x7FFF; }

    // Names of one length differ little in base code, so they pile up into long runs of
    // codes 101 apart; short texts and anagrams collide outright.
    std::string GeneratedText() {
        switch (Next() % 4) {
        case 0: return "name" + std::to_string(Next() % 3000);
        case 1: {
            std::string t;
            for (int n = 1 + Next() % 3; n > 0; --n) t += "abAB\xE9~ "[Next() % 7];
            return t;
        }
        case 2: return std::to_string(Next());
        default: return std::string("x\0y", 3) + std::to_string(Next() % 50);
        }
    }

    // Codes texts through one index as an import does and checks each against the rule.
    void CodeAndCompare(std::vector<CHashText>& reference, int count) {
        CTextCodeIndex index(Doc.m_HashTexts);
        CodeAndCompare(reference, count, index);
    }
    void CodeAndCompare(std::vector<CHashText>& reference, int count, CTextCodeIndex& index) {
        for (int i = 0; i < count; ++i) {
            const std::string text = GeneratedText();
            const int column = static_cast<int>(Next() % 3);
            const double expected = ReferenceHash(reference, text, column);
            ASSERT_EQ(Hash(Doc, text, column, 1, index), expected) << i << " '" << text << "'";
        }
        ASSERT_EQ(Doc.m_HashTexts.size(), reference.size());
        for (size_t i = 0; i < reference.size(); ++i) {
            EXPECT_EQ(Doc.m_HashTexts[i].Text, reference[i].Text);
            EXPECT_EQ(Doc.m_HashTexts[i].Column, reference[i].Column);
            const double got = Doc.m_HashTexts[i].Code;
            EXPECT_TRUE(got == reference[i].Code || (std::isnan(got) && std::isnan(reference[i].Code)));
        }
    }
};

TEST_F(TextCodeIndexTest, IndexedCodesAreTheListWalksCodes) {
    MakeGrid(1, 3, {0, 0, 0});
    std::vector<CHashText> reference;
    CodeAndCompare(reference, 4000);
    // Plain Hash calls in between append to the list behind a fresh index's back.
    for (int i = 0; i < 50; ++i) {
        const std::string text = GeneratedText();
        ASSERT_EQ(Hash(Doc, text, 1, 1), ReferenceHash(reference, text, 1));
    }
    CodeAndCompare(reference, 1000);
    // An index kept while the list loses its tail starts again.
    CTextCodeIndex index(Doc.m_HashTexts);
    Doc.m_HashTexts.resize(Doc.m_HashTexts.size() / 2);
    reference.resize(Doc.m_HashTexts.size());
    CodeAndCompare(reference, 1000, index);
}

TEST_F(TextCodeIndexTest, ListsNotMadeBySpreadingAreReplayedExactly) {
    // As read from a file or left by copies: codes out of step with the rule, twins with
    // other codes, a NaN, codes near 2^53 where adding 101 rounds.
    MakeGrid(1, 3, {0, 0, 0});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<CHashText> start = {{0, 1000.0, "name1"},        {1, 1480.0, "name2"},
                                    {0, nan, "odd"},             {2, 1480.0, "name1"},
                                    {0, -5.0, "ab"},             {1, 9007199254740000.0, "far"},
                                    {2, 1500.5, "name12"},       {0, 1590.0, "ab"}};
    Doc.m_HashTexts = start;
    std::vector<CHashText> reference = start;
    CodeAndCompare(reference, 1500);
    // A text whose base code lies beyond 2^52 takes the list walk and still agrees.
    const std::string huge(9'000'000, '\x7F');
    Doc.m_HashTexts.push_back({0, BaseHashCode(huge), "blocker"});
    reference.push_back(Doc.m_HashTexts.back());
    CTextCodeIndex index(Doc.m_HashTexts);
    EXPECT_EQ(Hash(Doc, huge, 0, 1, index), ReferenceHash(reference, huge, 0));
}

}  // namespace
}  // namespace quorin::test
