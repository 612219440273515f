// Import over several threads must build the very document one thread builds.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "automation/Importer.h"
#include "grid/InOut.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

// Everything an import leaves behind that a second run must repeat exactly.
struct CImported {
    int Result = 0;
    std::vector<std::uint64_t> Bits;  // every value's bit pattern, row after row
    std::vector<std::string> RowNames, ColumnNames, Texts, Messages, WarnedLines;
    std::vector<int> Types, Modes;
    std::vector<double> Codes;
};

class ImportThreadsTest : public DocTest {
protected:
    ~ImportThreadsTest() override {
        if (m_Had) setenv("QUORIN_THREADS", m_Saved.c_str(), 1);
        else unsetenv("QUORIN_THREADS");
    }
    CImported Run(const std::string& path, const char* threads, int rowNames, int warnings) {
        setenv("QUORIN_THREADS", threads, 1);
        Doc.NewDocument();
        Doc.m_ImportComma = 1;
        Doc.m_ImportRowNames = rowNames;
        for (int c = 0; c < 6; ++c) Doc.AddCol(0, 0, 1);
        Doc.m_InOuts[1].Mode = Text;
        Doc.m_InOuts[4].Mode = Text;
        const std::size_t messages = P.Prompts.Texts().size();
        const std::size_t dialogs = P.Prompts.Dialogs().size();
        for (int w = 0; w < warnings; ++w) QueueWarn(w + 1 < warnings ? "Warn" : "Ignore");
        CImported out;
        out.Result = ImportFile(Doc, path, 0, 1);
        for (const auto& e : Doc.m_Examples) {
            out.RowNames.push_back(e.ExampleName);
            out.Types.push_back(e.ExampleType);
            for (double v : e.Values()) {
                std::uint64_t bits = 0;
                std::memcpy(&bits, &v, sizeof bits);
                out.Bits.push_back(bits);
            }
        }
        for (const auto& io : Doc.m_InOuts) {
            out.ColumnNames.push_back(io.InOutName);
            out.Modes.push_back(io.Mode);
        }
        for (const auto& h : Doc.m_HashTexts) {
            out.Texts.push_back(std::to_string(h.Column) + ":" + h.Text);
            out.Codes.push_back(h.Code);
        }
        const auto texts = P.Prompts.Texts();
        out.Messages.assign(texts.begin() + static_cast<long>(messages), texts.end());
        const auto forms = P.Prompts.Dialogs();
        for (std::size_t f = dialogs; f < forms.size(); ++f)
            if (forms[f].Id == "ImportFailure") out.WarnedLines.push_back(forms[f].Field("Line").TextValue);
        return out;
    }
    void QueueWarn(const std::string& button) {
        P.Prompts.QueueDialogOk([button](CDialogForm& f) { f.PressedButton = button; });
    }
    void ExpectSame(const CImported& one, const CImported& many) {
        EXPECT_EQ(one.Result, many.Result);
        EXPECT_EQ(one.Bits, many.Bits);
        EXPECT_EQ(one.RowNames, many.RowNames);
        EXPECT_EQ(one.ColumnNames, many.ColumnNames);
        EXPECT_EQ(one.Types, many.Types);
        EXPECT_EQ(one.Modes, many.Modes);
        EXPECT_EQ(one.Texts, many.Texts);
        EXPECT_EQ(one.Codes, many.Codes);
        EXPECT_EQ(one.Messages, many.Messages);
        EXPECT_EQ(one.WarnedLines, many.WarnedLines);
    }

    CTempDir m_Temp;
    const char* m_Env = std::getenv("QUORIN_THREADS");
    bool m_Had = m_Env != nullptr;
    std::string m_Saved = m_Env ? m_Env : "";
};

// Several blocks' worth of lines with names, missing values, quoted and odd numbers,
// numbers beyond the marker and lines of the wrong width scattered through them.
std::string MixedCsv(int rows, bool rowNames) {
    std::string s = rowNames ? "row,a,name,b,c,kind,d\r\n" : "a,name,b,c,kind,d\r\n";
    for (int r = 0; r < rows; ++r) {
        if (rowNames) s += "r" + std::to_string(r % 977) + ",";
        if (r % 1013 == 7) {
            s += "1,2,3\r\n";  // too few fields
            continue;
        }
        if (r % 2039 == 11) {
            s += "1,2,3,4,5,6,7,8\r\n";  // too many
            continue;
        }
        s += std::to_string(r * 0.1) + ",";
        s += "n" + std::to_string((r * 7919) % 3001) + ",";
        switch (r % 9) {
            case 0: s += "?,"; break;
            case 1: s += ","; break;
            case 2: s += "\"" + std::to_string(r) + ".25\","; break;
            case 3: s += "$1,"; break;  // the comma splits: a field less
            case 4: s += "4e39,"; break;
            case 5: s += "-5e40,"; break;
            case 6: s += "0.1e-310,"; break;
            case 7: s += "+" + std::to_string(r) + ","; break;
            default: s += "1.7976931348623157e308,";
        }
        s += std::to_string(-r) + "e-3,";
        s += r % 5 ? "kind" + std::to_string(r % 5) + "," : "\"quoted, name\",";
        s += std::to_string(r % 100) + "\r\n";
    }
    return s;
}

TEST_F(ImportThreadsTest, ManyThreadsBuildTheDocumentOneThreadBuilds) {
    for (const bool rowNames : {false, true}) {
        const std::string path = (m_Temp.Path() / "mixed.csv").string();
        std::ofstream(path, std::ios::binary) << MixedCsv(12000, rowNames);
        const CImported one = Run(path, "1", rowNames ? 1 : 0, 3);
        const CImported many = Run(path, "2", rowNames ? 1 : 0, 3);
        const CImported more = Run(path, "5", rowNames ? 1 : 0, 3);
        ASSERT_GT(one.Result, 10);  // lines failed, and only the first three were warned of
        EXPECT_EQ(one.WarnedLines.size(), 3u);
        EXPECT_FALSE(one.Messages.empty());  // the numbers beyond 3e38
        EXPECT_GT(one.Texts.size(), 3000u);
        ExpectSame(one, many);
        ExpectSame(one, more);
    }
}

}  // namespace
}  // namespace quorin::test
