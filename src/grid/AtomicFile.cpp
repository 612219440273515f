#include "grid/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

int OpenFileForReading(const std::string& path, std::uint64_t maxSize, std::size_t& size,
                       std::string& error) {
    size = 0;
    // Non-blocking, so that a named pipe cannot hold the program in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = Reason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
    } else if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        error = Format("the file holds %lld bytes, more than the %llu bytes a document may have",
                       static_cast<long long>(st.st_size), static_cast<unsigned long long>(maxSize));
    } else {
        size = static_cast<std::size_t>(st.st_size);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return fd;
    }
    ::close(fd);
    return -1;
}

bool ReadFileBytes(const std::string& path, std::uint64_t maxSize, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    bytes.clear();
    std::size_t size = 0;
    const int fd = OpenFileForReading(path, maxSize, size, error);
    if (fd < 0) return false;
    bool ok = true;
    bytes.resize(size);
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
    ::close(fd);
    if (!ok) bytes.clear();
    return ok;
}

namespace {
std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "NAME.tmp<digits>.<digits>" for the target's base name NAME: the names this program gives
// its temporary files, and no others.
bool IsTemporaryName(const std::string& entry, const std::string& base) {
    const std::string prefix = base + ".tmp";
    if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) return false;
    std::size_t i = prefix.size();
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < entry.size() && entry[i] >= '0' && entry[i] <= '9') ++i;
        return i > from;
    };
    if (!digits() || i >= entry.size() || entry[i] != '.') return false;
    ++i;
    return digits() && i == entry.size();
}

// Removes temporary files of the target that a killed write left: a live writer holds its
// temporary file locked, so one that can be locked has no writer any more.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const std::string base = BaseNameOf(target);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (IsTemporaryName(name, base)) stale.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : stale) {
        const std::string path = directory + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            st.st_nlink > 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

// An unnamed file in the directory, or -1 where the file system has none. Readable, so that
// it can be copied into a named one where it cannot be named.
int OpenUnnamed(const std::string& directory) {
#ifdef O_TMPFILE
    return ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
#else
    (void)directory;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Gives the unnamed file `fd` a temporary name beside the target; false when it can't.
bool NameUnnamed(int fd, const std::string& target, std::string& temp) {
    const std::string self = Format("/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = Format("%s.tmp%ld.%u", target.c_str(), static_cast<long>(::getpid()), g_TempCounter++);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// A named temporary file beside the target, locked; -1 with errno on failure.
int OpenNamed(const std::string& target, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = Format("%s.tmp%ld.%u", target.c_str(), static_cast<long>(::getpid()), g_TempCounter++);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        ::flock(fd, LOCK_EX);
        // Another run's clean-up may have taken the name between the creation and the lock.
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Copies the whole of `from` into `to` in pieces; false with errno on failure.
bool CopyContents(int from, int to) {
    std::vector<std::uint8_t> piece(std::size_t{1} << 20);
    for (off_t at = 0;;) {
        const ssize_t r = ::pread(from, piece.data(), piece.size(), at);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) return true;
        if (!WriteAll(to, piece.data(), static_cast<std::size_t>(r))) return false;
        at += r;
    }
}
}  // namespace

bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error,
                 const CReplaceOptions& options) {
    return ReplaceFileWith(
        path, [&](const auto& write) { return write(bytes.data(), bytes.size()); }, error, options);
}

bool ReplaceFileWith(const std::string& path, const CFileProducer& produce, std::string& error,
                     const CReplaceOptions& options) {
    // Replace the file a symbolic link points at, not the link.
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    RemoveStaleTemporaries(target);

    std::string temp;  // the temporary file's name, once it has one
    int fd = options.NamedTemporary ? -1 : OpenUnnamed(DirectoryOf(target));
    const bool unnamed = fd >= 0;
    if (unnamed) ::flock(fd, LOCK_EX);
    else fd = OpenNamed(target, temp);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    int err = 0;
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) err = errno;
    if (!err) {
        const auto write = [&](const std::uint8_t* data, std::size_t size) {
            if (err) return false;
            errno = 0;
            const bool written = options.Write ? options.Write(fd, data, size) : WriteAll(fd, data, size);
            if (!written) err = errno ? errno : EIO;
            return written;
        };
        if (!produce(write) && !err) err = EIO;
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (!err && unnamed && !NameUnnamed(fd, target, temp)) {
        // No way to name it here (no /proc): copy it into a named one.
        temp.clear();  // a name it could not take belongs to someone else
        const int named = OpenNamed(target, temp);
        if (named < 0) {
            err = errno ? errno : EIO;
            temp.clear();
        } else {
            if ((exists && ::fchmod(named, old.st_mode & 07777) != 0) || !CopyContents(fd, named) ||
                ::fsync(named) != 0)
                err = errno ? errno : EIO;
            ::close(fd);
            fd = named;
        }
    }
    if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err && !temp.empty()) ::unlink(temp.c_str());
    // Closed last, so the temporary file stays locked until it is renamed or gone; the data
    // reached the disk with fsync already.
    ::close(fd);
    if (err) {
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
