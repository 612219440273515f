#include "grid/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>

#include "platform/StringFormat.h"

namespace quorin {

namespace {
std::string Reason(int err) { return std::error_code(err, std::generic_category()).message(); }

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

std::atomic<unsigned> g_TempCounter{0};  // only makes temporary names unique
}  // namespace

bool ReadFileBytes(const std::string& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    bytes.clear();
    // Non-blocking, so that a named pipe cannot hold the program in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok) {
        error = Reason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        ok = false;
    } else if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        error = Format("the file holds %lld bytes, more than the %llu bytes a document may have",
                       static_cast<long long>(st.st_size), static_cast<unsigned long long>(maxSize));
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                error = Reason(errno);
                ok = false;
                break;
            }
            if (r == 0) break;  // the file shrank while we read it
            got += static_cast<std::size_t>(r);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok;
}

bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    // Replace the file a symbolic link points at, not the link.
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;

    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = Format("%s.tmp%ld.%u", target.c_str(), static_cast<long>(::getpid()), g_TempCounter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    int err = 0;
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) err = errno;
    if (!err && !WriteAll(fd, bytes.data(), bytes.size())) err = errno;
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(temp.c_str());
        error = Reason(err);
        return false;
    }
    // Make the rename itself durable; a failure here no longer endangers either file.
    const int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace quorin
