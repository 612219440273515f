// quorin-batch through its executable: the command line, failures and the bundled example.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path BatchProgram() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return self.parent_path().parent_path() / "src" / "batch" / "quorin-batch";
}

struct CRun {
    int Status = -1;
    std::string Output;  // stdout and stderr together
};

CRun RunBatch(const std::string& arguments) {
    CRun run;
    const std::string command = BatchProgram().string() + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.Output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(BatchProgram())) GTEST_SKIP() << "quorin-batch not built";
        m_Dir = std::filesystem::temp_directory_path() /
                ("quorin_batch_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }
    std::string File(const std::string& name, const std::string& bytes) {
        const auto path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path m_Dir;
};

TEST_F(BatchTest, CommandLine) {
    const CRun help = RunBatch("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Output.find("Usage: quorin-batch SCRIPT.txt [-o OUT.tvq]"), std::string::npos);
    const CRun version = RunBatch("--version");
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Output.rfind("quorin-batch ", 0), 0u);
    EXPECT_EQ(RunBatch("").Status, 2);
    EXPECT_EQ(RunBatch("--bogus x.txt").Status, 2);
}

TEST_F(BatchTest, AFailingScriptGivesItsMessageAndNoDocument) {
    const std::string script =
        File("fail.txt", "if(" + (m_Dir / "missing.csv").string() + ",1,0,0,1)\r\n");
    const CRun run = RunBatch(script);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Output.find("The file to Import could not be opened."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_Dir / "fail.tvq"));
    const CRun lineFeeds = RunBatch(File("lf.txt", "stl\n"));
    EXPECT_EQ(lineFeeds.Status, 1);
    EXPECT_NE(lineFeeds.Output.find("No line feeds can be found."), std::string::npos);
}

}  // namespace
