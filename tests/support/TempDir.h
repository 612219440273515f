#pragma once
// A directory of its own for one test, removed with everything in it at the end (read-only
// folders inside it included).
#include <filesystem>
#include <string>

namespace quorin::test {

class CTempDir {
public:
    CTempDir();  // named after the running test
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }
    std::string File(const std::string& name) const { return (m_Path / name).string(); }

private:
    std::filesystem::path m_Path;
};

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace quorin::test
