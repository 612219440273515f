// The archive's length and count forms at their boundaries, both ways.
#include "grid/Archive.h"

#include <gtest/gtest.h>

#include <cmath>

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

// The whole file's buffer is reserved from the sizer's count, and the arrays are copied in
// bulk: both must agree with the field-by-field forms.
TEST(ArchiveTest, SizerAndBulkArraysAgreeWithTheWriter) {
    constexpr const char* kTwo[] = {"CThing", "COther"};
    CArchiveWriter w;
    CArchiveSizer z;
    auto both = [&](auto&& f) {
        f(w);
        f(z);
        ASSERT_EQ(z.Size(), w.Size());
    };
    for (size_t n : {0, 254, 255, 65533, 65534, 70000})
        both([&](auto& a) { a.String(std::string(n, 's')); });
    for (size_t n : {0, 65534, 65535}) both([&](auto& a) { a.Count(n); });
    const std::vector<double> values = {1.5, -0.0, 1e-310, 3.141592653589793};
    both([&](auto& a) { a.Doubles(values); });
    both([&](auto& a) { a.Doubles(std::vector<double>{}); });
    // Past index 32766 a known class takes the long tag.
    for (int i = 0; i < 17000; ++i) {
        both([&](auto& a) { a.ObjectTag("CThing"); });
        both([&](auto& a) { a.ObjectTag("COther"); });
    }

    // The bulk array is the doubles one by one.
    CArchiveWriter one;
    one.Count(values.size());
    for (double v : values) one.Double(v);
    CArchiveWriter bulk;
    bulk.Doubles(values);
    EXPECT_EQ(bulk.Bytes(), one.Bytes());
    CArchiveReader r(bulk.Bytes(), kTwo);
    std::vector<double> back = {9.0};
    r.Doubles(back);
    EXPECT_FALSE(r.Failed()) << r.Error();
    ASSERT_EQ(back.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) EXPECT_EQ(std::signbit(back[i]), std::signbit(values[i]));
    EXPECT_EQ(back, values);
    // A count the rest of the file cannot hold leaves the array empty.
    CArchiveReader shortOne(std::span(bulk.Bytes()).first(bulk.Size() - 1), kTwo);
    shortOne.Doubles(back);
    EXPECT_TRUE(shortOne.Failed());
    EXPECT_TRUE(back.empty());
}

}  // namespace
}  // namespace quorin
