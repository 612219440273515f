// The reader's fuzz seeds are documents this writer made. They are regenerated with
// QUORIN_WRITE_SEEDS=1 and must always read back.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "grid/DocumentFile.h"
#include "network/NetworkBuild.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const fs::path kSeedDir = fs::path(QUORIN_SOURCE_DIR) / "fuzz" / "seeds" / "reader";

class DocumentSeedsTest : public DocTest {
protected:
    std::vector<std::pair<std::string, Bytes>> MakeSeeds() {
        std::vector<std::pair<std::string, Bytes>> seeds;
        seeds.emplace_back("empty.tvq", EncodeDocument(Doc));

        Doc.m_GraphPoints = {{10, 0.4, 0.6, 0.2}, {20, 0.3, 0.5, 0.1}, {30, 0.2, 0.4, 0.05}};
        seeds.emplace_back("graph.tvq", EncodeDocument(Doc));

        MakeGrid(4, 3, {1, 2, 0, 2, 4, 1, 3, 6, 0, 4, 8, 1}, {0, 0, 1});
        Doc.SetExampleType(3, Validating);
        Doc.AddRow(0, Querying, 0, 1);
        seeds.emplace_back("grid.tvq", EncodeDocument(Doc));

        NewNetwork(Doc, 2, 2, 1, 1);
        SetWeightsRanges();
        seeds.emplace_back("network.tvq", EncodeDocument(Doc));

        Doc.SetInOutTypeAndMode(0, -1, Text);
        Doc.m_HashTexts = {{0, 1.0, "one"}, {0, 2.0, "two"}, {0, 3.0, std::string(300, 't')}};
        Doc.m_Images = {{"pic", 1, 0.25, 0.5, 0.75, "#fragment W=8, H=8, X=0, Y=0, x=4, y=4, a.bmp"}};
        Doc.m_Associations = {{0, 2, 0.75, 0.0}};
        Doc.m_Rules = {{2, 1, 10.0, 3, 0, 0}};
        seeds.emplace_back("codes-and-rules.tvq", EncodeDocument(Doc));

        Doc.m_FileStatus = 9;
        seeds.emplace_back("status9.tvq", EncodeDocument(Doc));
        Doc.m_FileStatus = 11;

        Doc.m_CurrentFormat = false;
        seeds.emplace_back("old-format.tvq", EncodeDocument(Doc));
        return seeds;
    }
    // Weight ranges as set before learning, so the seeds carry the realistic form.
    void SetWeightsRanges() {
        for (size_t i = 0; i < Doc.m_Weights.size(); ++i) {
            CNode& to = Doc.m_Nodes[Doc.m_Weights[i].ToNode];
            if (to.FirstWeight < 0) to.FirstWeight = static_cast<int>(i);
            to.LastWeight = static_cast<int>(i) + 1;
        }
    }
};

TEST_F(DocumentSeedsTest, SeedsReadBack) {
    if (std::getenv("QUORIN_WRITE_SEEDS")) {
        fs::create_directories(kSeedDir);
        for (auto& [name, bytes] : MakeSeeds()) {
            std::ofstream out(kSeedDir / name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(kSeedDir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(in), {}};
        CQuorinDoc doc(*P.App);
        if (entry.path().filename() == "old-format.tvq") P.Prompts.QueueAnswer(IdNo);
        std::string error;
        EXPECT_TRUE(ReadDocumentBytes(doc, bytes, entry.path().string(), error))
            << entry.path() << ": " << error;
        if (doc.m_CurrentFormat) doc.m_LoadCount -= 1;
        EXPECT_EQ(EncodeDocument(doc), bytes) << entry.path();
        ++seen;
    }
    EXPECT_GE(seen, 7);
}

}  // namespace
}  // namespace quorin::test
