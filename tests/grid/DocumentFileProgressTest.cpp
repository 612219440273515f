// Progress of large document files, and their bytes both ways.
#include <gtest/gtest.h>

#include "grid/DocumentFile.h"
#include "grid/QuorinDoc.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "support/Rows.h"

namespace quorin::test {
namespace {

class DocumentFileProgressTest : public DocTest {
protected:
    // A Grid of `rows` rows of ten columns, values distinct per cell.
    void FillGrid(int rows) {
        for (int c = 0; c < 10; ++c) Doc.AddCol(0, 0, 1);
        Doc.m_Examples.resize(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r) {
            CExample& ex = Doc.m_Examples[static_cast<size_t>(r)];
            for (int c = 0; c < 10; ++c) ex.Cells.PushBack(r * 10.0 + c + 0.25, 1.0 / (r + c + 1));
        }
        Doc.SetRowCount();
    }
    // The percentages posted with `status`, after those posted earlier.
    std::vector<int> Posted(int status, size_t from = 0) {
        std::vector<int> percents;
        const auto all = P.Views.Progress();
        for (size_t i = from; i < all.size(); ++i)
            if (all[i].Status == status) percents.push_back(all[i].Count);
        return percents;
    }
};

TEST_F(DocumentFileProgressTest, ALargeFileReportsTenthsBothWaysAndReadsBackExactly) {
    FillGrid(100000);  // about 17 MB
    const CEncodedDocument encoded = EncodeForSave(Doc, "");
    ASSERT_GT(encoded.Bytes.size(), size_t{16} << 20);
    const std::vector<int> tenths = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    EXPECT_EQ(Posted(StatusWritingFile), tenths);
    EXPECT_TRUE(Posted(StatusReadingFile).empty());

    const size_t before = P.Views.Progress().size();
    CQuorinDoc opened(*P.App);
    std::string error;
    ASSERT_TRUE(ReadDocumentBytes(opened, encoded.Bytes, "/data/big.tvq", error)) << error;
    EXPECT_EQ(Posted(StatusReadingFile, before), tenths);
    ASSERT_EQ(opened.m_Examples.size(), Doc.m_Examples.size());
    for (size_t r : {size_t{0}, size_t{4097}, size_t{99999}}) {
        EXPECT_EQ(test::AsVector(opened.m_Examples[r].Values()), test::AsVector(Doc.m_Examples[r].Values())) << r;
        EXPECT_EQ(test::AsVector(opened.m_Examples[r].NormalisedValues()),
                  test::AsVector(Doc.m_Examples[r].NormalisedValues()))
            << r;
    }
    // Written again, only the load count differs.
    std::vector<std::uint8_t> again = EncodeDocument(opened);
    ASSERT_EQ(again.size(), encoded.Bytes.size());
    EXPECT_NE(again, encoded.Bytes);
    opened.m_LoadCount = Doc.m_LoadCount;
    EXPECT_EQ(EncodeDocument(opened), encoded.Bytes);
}

TEST_F(DocumentFileProgressTest, ASmallFileReportsNoFileProgress) {
    FillGrid(100);
    const CEncodedDocument encoded = EncodeForSave(Doc, "");
    CQuorinDoc opened(*P.App);
    std::string error;
    ASSERT_TRUE(ReadDocumentBytes(opened, encoded.Bytes, "/data/small.tvq", error)) << error;
    for (const auto& p : P.Views.Progress()) EXPECT_FALSE(IsFileProgress(p.Status));
}

// Saved and opened through the disk in chunks of 8 MiB: the bytes are those made in memory,
// a record that straddles two chunks reads whole, and a file cut short anywhere is refused.
TEST_F(DocumentFileProgressTest, ChunkedSaveAndOpenKeepTheBytesAndRefuseACutFile) {
    FillGrid(100000);
    const std::vector<std::uint8_t> inMemory = EncodeDocument(Doc);
    CTempDir dir;
    const std::string path = dir.File("big.tvq");
    std::string error;
    ASSERT_EQ(WriteDocumentFile(Doc, path, error), 1) << error;
    const std::string onDisk = ReadWholeFile(path);
    ASSERT_EQ(onDisk, std::string(inMemory.begin(), inMemory.end()));

    // Opening counts a load, so compare with the same bytes opened from memory.
    CQuorinDoc opened(*P.App), fromMemory(*P.App);
    ASSERT_TRUE(ReadDocumentFile(opened, path, error)) << error;
    ASSERT_TRUE(ReadDocumentBytes(fromMemory, inMemory, path, error)) << error;
    EXPECT_EQ(EncodeDocument(opened), EncodeDocument(fromMemory));

    for (const size_t cut : {size_t{8} << 20, (size_t{8} << 20) + 3, inMemory.size() - 1}) {
        WriteWholeFile(path, onDisk.substr(0, cut));
        CQuorinDoc shortened(*P.App);
        EXPECT_FALSE(ReadDocumentFile(shortened, path, error)) << cut;
        EXPECT_NE(error.find("truncated at byte"), std::string::npos) << error;
        EXPECT_TRUE(shortened.m_Examples.empty());
    }
}

}  // namespace
}  // namespace quorin::test
