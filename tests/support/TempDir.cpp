#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace quorin::test {

CTempDir::CTempDir() {
    std::string name = "quorin-test";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name += std::string("-") + info->test_suite_name() + "-" + info->name();
    name += "-" + std::to_string(::getpid());
    for (char& ch : name)
        if (ch == '/') ch = '_';
    m_Path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(m_Path);
    std::filesystem::create_directories(m_Path);
}

CTempDir::~CTempDir() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // A test may have made a folder read-only; its content must go too.
    fs::permissions(m_Path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(m_Path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        if (it->is_directory(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_Path, ignored);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace quorin::test
