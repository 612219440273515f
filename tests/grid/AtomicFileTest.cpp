// Replacing a file: a write killed half-way leaves the old file and no temporary behind, and
// stale temporaries of this program are cleared without touching anyone else's files.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <system_error>
#include <filesystem>
#include <set>
#include <vector>

#include "grid/AtomicFile.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Entries(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

// Writes half the bytes and dies on the spot, as a killed process would.
bool DieHalfWay(int fd, const std::uint8_t* data, std::size_t size) {
    if (::write(fd, data, size / 2) < 0) _exit(2);
    _exit(9);
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Forked on the spot, so that the child writes beside this test's own file.
        GTEST_FLAG_SET(death_test_style, "fast");
        m_Target = m_Dir.File("doc.tvq");
        WriteWholeFile(m_Target, "previous");
    }
    void KillWrite(bool named) {
        const std::vector<std::uint8_t> bytes(100000, 7);
        CReplaceOptions options;
        options.Write = DieHalfWay;
        options.NamedTemporary = named;
        std::string error;
        EXPECT_EXIT(ReplaceFile(m_Target, bytes, error, options), ::testing::ExitedWithCode(9), "");
    }
    CTempDir m_Dir;
    std::string m_Target;
};

TEST_F(AtomicFileTest, AKilledWriteLeavesTheOldFileAndNothingElse) {
    KillWrite(false);
    EXPECT_EQ(ReadWholeFile(m_Target), "previous");
    EXPECT_EQ(Entries(m_Dir.Path()), (std::set<std::string>{"doc.tvq"}));
}

TEST_F(AtomicFileTest, TheNextSaveClearsOnlyItsOwnStaleTemporaries) {
    KillWrite(true);  // where only named temporary files can be made
    EXPECT_EQ(ReadWholeFile(m_Target), "previous");
    ASSERT_EQ(Entries(m_Dir.Path()).size(), 2u);

    // Files that merely look alike, and a temporary file a live writer holds, stay.
    const std::set<std::string> others = {"doc.tvq.tmp12.3.bak", "doc.tvq.tmpx.1", "other.tvq.tmp1.2",
                                          "doc.tvq.tmp99999999.1"};
    for (const std::string& name : others) WriteWholeFile(m_Dir.File(name), "mine");
    const int held = ::open(m_Dir.File("doc.tvq.tmp99999999.1").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    std::string error;
    ASSERT_TRUE(ReplaceFile(m_Target, {'n', 'e', 'w'}, error)) << error;
    ::close(held);
    EXPECT_EQ(ReadWholeFile(m_Target), "new");
    std::set<std::string> expected = others;
    expected.insert("doc.tvq");
    EXPECT_EQ(Entries(m_Dir.Path()), expected);
    for (const std::string& name : others) EXPECT_EQ(ReadWholeFile(m_Dir.File(name)), "mine");
}

// Bytes made in uneven pieces, more than the write-behind buffers hold at once, and enough for
// them to grow to full size.
std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 7919);
    return bytes;
}

bool ProduceInPieces(const std::vector<std::uint8_t>& bytes,
                     const std::function<bool(const std::uint8_t*, std::size_t)>& write) {
    for (std::size_t at = 0, piece = 1; at < bytes.size(); piece = piece * 3 + 12345) {
        const std::size_t n = std::min(piece % (std::size_t{5} << 20), bytes.size() - at);
        if (!write(bytes.data() + at, n)) return false;
        at += n;
    }
    return true;
}

// A large file is written behind its making: the bytes arrive whole and in order, and a write
// failing on the way keeps the old file, leaves no temporary and gives the failure's reason.
TEST_F(AtomicFileTest, WritingBehindKeepsTheBytesAndEveryFailure) {
    const std::vector<std::uint8_t> bytes = Pattern((std::size_t{37} << 20) + 4321);
    std::string error;
    ASSERT_TRUE(ReplaceFileWith(m_Target, [&](const auto& write) { return ProduceInPieces(bytes, write); },
                                error))
        << error;
    std::string back = ReadWholeFile(m_Target);
    ASSERT_EQ(back.size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), back.begin(),
                           [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));

    WriteWholeFile(m_Target, "previous");
    for (std::size_t failAfter : {std::size_t{0}, std::size_t{3} << 20, std::size_t{17} << 20}) {
        std::size_t written = 0;
        CReplaceOptions options;
        options.Write = [&](int fd, const std::uint8_t* data, std::size_t size) {
            if (written + size > failAfter) {
                errno = ENOSPC;
                return false;
            }
            written += size;
            return ::write(fd, data, size) == static_cast<ssize_t>(size);
        };
        error.clear();
        EXPECT_FALSE(ReplaceFileWith(
            m_Target, [&](const auto& write) { return ProduceInPieces(bytes, write); }, error,
            options));
        EXPECT_EQ(error, std::error_code(ENOSPC, std::generic_category()).message());
        EXPECT_EQ(ReadWholeFile(m_Target), "previous");
        EXPECT_EQ(Entries(m_Dir.Path()), (std::set<std::string>{"doc.tvq"}));
    }
    // A failure that the maker of the bytes reports is one too.
    error.clear();
    EXPECT_FALSE(ReplaceFileWith(m_Target, [&](const auto& write) {
        ProduceInPieces(bytes, write);
        return false;
    }, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadWholeFile(m_Target), "previous");
}

}  // namespace
}  // namespace quorin::test
