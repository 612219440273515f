// The archive's length and count forms at their boundaries, both ways.
#include "grid/Archive.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

constexpr const char* kNoClasses[] = {"CThing"};

TEST(ArchiveTest, StringAndCountFormsAtTheirBoundaries) {
    struct Case {
        size_t Length;
        size_t Header;
    } strings[] = {{0, 1}, {254, 1}, {255, 3}, {65533, 3}, {65534, 7}, {70000, 7}};
    for (const Case& c : strings) {
        CArchiveWriter w;
        const std::string s(c.Length, 'q');
        w.String(s);
        ASSERT_EQ(w.Size(), c.Header + c.Length) << c.Length;
        CArchiveReader r(w.Bytes(), kNoClasses);
        std::string back;
        r.String(back);
        EXPECT_FALSE(r.Failed()) << r.Error();
        EXPECT_EQ(back, s);
    }
    struct CountCase {
        size_t Count;
        size_t Bytes;
    } counts[] = {{0, 2}, {65534, 2}, {65535, 6}, {100000, 6}};
    for (const CountCase& c : counts) {
        CArchiveWriter w;
        w.Count(c.Count);
        ASSERT_EQ(w.Size(), c.Bytes) << c.Count;
        w.Bytes().resize(w.Size() + c.Count);  // room for one byte per element
        CArchiveReader r(w.Bytes(), kNoClasses);
        EXPECT_EQ(r.Count(1, "thing"), c.Count);
        EXPECT_FALSE(r.Failed()) << r.Error();
    }
}

TEST(ArchiveTest, WideStringsAndUndeclaredClassesAreRefused) {
    const std::vector<std::uint8_t> wide = {0xFF, 0xFE, 0xFF, 0x01, 'a', 0};
    CArchiveReader r(wide, kNoClasses);
    std::string s;
    r.String(s);
    EXPECT_EQ(r.Error(), "unsupported wide-character string at byte 0");

    // A class index that names an object, not a class.
    CArchiveWriter w;
    w.ObjectTag("CThing");  // class 1, object 2
    w.Word(0x8002);
    CArchiveReader tags(w.Bytes(), kNoClasses);
    EXPECT_EQ(tags.ObjectTag(), 0);
    EXPECT_EQ(tags.ObjectTag(), -1);
    EXPECT_EQ(tags.Error(), "bad object tag at byte 12");
}

}  // namespace
}  // namespace quorin
