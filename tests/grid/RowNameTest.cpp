#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "grid/RowName.h"

namespace quorin {
namespace {

std::string Sample(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

// Every length around the inline limit keeps its bytes and its terminator, through copies,
// moves and assignments in both directions between inline and heap names.
TEST(RowNameTest, KeepsEveryLengthThroughCopiesAndMoves) {
    const std::vector<std::size_t> lengths = {0, 1, 10, 11, 12, 17, 200};
    for (std::size_t n : lengths) {
        const std::string s = Sample(n);
        CRowName a = s;
        EXPECT_EQ(a.size(), n);
        EXPECT_EQ(a, s);
        EXPECT_EQ(a.c_str()[n], '\0');
        EXPECT_EQ(std::string(a.c_str()), s);
        CRowName copy = a;
        EXPECT_EQ(copy, s);
        CRowName moved = std::move(copy);
        EXPECT_EQ(moved, s);
        EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from name is empty and usable
        copy = "x";
        EXPECT_EQ(copy, "x");
        for (std::size_t m : lengths) {
            CRowName b = Sample(m);
            b = a;
            EXPECT_EQ(b, s);
            CRowName c = Sample(m);
            c = std::move(b);
            EXPECT_EQ(c, s);
            c = Sample(m);
            EXPECT_EQ(c, Sample(m));
        }
    }
}

TEST(RowNameTest, SelfAssignmentAndOverlappingSourcesKeepTheName) {
    for (std::size_t n : {3u, 11u, 40u}) {
        CRowName a = Sample(n);
        CRowName& same = a;
        a = same;
        EXPECT_EQ(a, Sample(n));
        a = std::move(same);
        EXPECT_EQ(a, Sample(n));
        // A view of the name's own bytes, shorter: the old block must outlive the copy.
        a = a.view().substr(1);
        EXPECT_EQ(a, Sample(n).substr(1));
    }
}

TEST(RowNameTest, HoldsNulBytesAndConvertsLikeAString) {
    const std::string withNul("ab\0cd", 5);
    const std::string longWithNul = withNul + Sample(20) + std::string(1, '\0');
    for (const std::string& s : {withNul, longWithNul}) {
        CRowName a = s;
        EXPECT_EQ(a.size(), s.size());
        EXPECT_EQ(std::string(a), s);
        EXPECT_EQ(a.str(), s);
    }
    CRowName name = "row";
    EXPECT_EQ("~" + name, "~row");
    EXPECT_EQ(std::string("T: ") + name, "T: row");
    EXPECT_EQ(name + "!", "row!");
    EXPECT_EQ(name.substr(1), "ow");
    std::string text = name;
    EXPECT_EQ(text, "row");
    name.clear();
    EXPECT_TRUE(name.empty());
    EXPECT_STREQ(name.c_str(), "");
}

}  // namespace
}  // namespace quorin
