#include "grid/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

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
// Blocks this size and alignment may go to the disk past the page cache.
constexpr std::size_t kDirectAlignment = 4096;
#ifdef O_DIRECT
constexpr bool kDirectWrites = true;
#else
constexpr bool kDirectWrites = false;
#define O_DIRECT 0
#endif

// One write-behind buffer: a page-aligned block, allocated on first use.
class CBuffer {
public:
    CBuffer() = default;
    CBuffer(CBuffer&& o) noexcept
        : m_Block(std::move(o.m_Block)), m_Size(std::exchange(o.m_Size, 0)), m_Capacity(std::exchange(o.m_Capacity, 0)) {}
    CBuffer& operator=(CBuffer&& o) noexcept {
        m_Block = std::move(o.m_Block);
        m_Size = std::exchange(o.m_Size, 0);
        m_Capacity = std::exchange(o.m_Capacity, 0);
        return *this;
    }
    bool empty() const { return m_Size == 0; }
    std::size_t size() const { return m_Size; }
    const std::uint8_t* data() const { return m_Block.get(); }
    void clear() { m_Size = 0; }
    std::size_t capacity() const { return m_Capacity; }
    // The caller keeps within `capacity` bytes, which may grow only while the buffer is empty.
    void append(const std::uint8_t* p, std::size_t n, std::size_t capacity) {
        if (!m_Block || (m_Size == 0 && m_Capacity < capacity)) {
            m_Block.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kDirectAlignment, capacity)));
            if (!m_Block) throw std::bad_alloc();
            m_Capacity = capacity;
        }
        std::memcpy(m_Block.get() + m_Size, p, n);
        m_Size += n;
    }

private:
    struct CFree {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t, CFree> m_Block;
    std::size_t m_Size = 0;
    std::size_t m_Capacity = 0;
};

// Writes a file's bytes on a thread of its own, so that making the next bytes overlaps writing
// the last ones. The bytes are gathered into a few buffers that the writer hands back once
// written, so the memory stays bounded; the first failure stops the writing and is kept. A
// file smaller than one buffer is written without a thread. The buffers start small and grow
// with the bytes written, to kBufferBytes, so that a small document's save does not hold
// more buffer than a large one needs.
class CWriteBehind {
public:
    static constexpr std::size_t kBufferBytes = std::size_t{1} << 19;
    static constexpr std::size_t kFirstBufferBytes = std::size_t{1} << 16;
    static constexpr int kBuffers = 3;
    // Writes one piece; 0, or the reason it failed.
    using CWriteFn = std::function<int(const std::uint8_t* data, std::size_t size)>;

    explicit CWriteBehind(CWriteFn write) : m_Write(std::move(write)) {}
    CWriteBehind(const CWriteBehind&) = delete;
    CWriteBehind& operator=(const CWriteBehind&) = delete;
    ~CWriteBehind() { Stop(); }

    // False once a write failed.
    bool Write(const std::uint8_t* data, std::size_t size) {
        if (Failed()) return false;
        // Bytes already in memory in one large piece gain nothing from a copy.
        if (!m_Thread.joinable() && m_Current.empty() && size >= 4 * kBufferBytes) {
            m_Err = m_Write(data, size);
            return m_Err == 0;
        }
        while (size > 0) {
            const std::size_t room = m_Current.empty() ? BufferBytes() : m_Current.capacity();
            const std::size_t take = std::min(size, room - m_Current.size());
            m_Current.append(data, take, room);
            data += take;
            size -= take;
            if (m_Current.size() == room && !Hand()) return false;
        }
        return true;
    }

    // Writes what is left and waits for the writer; 0, or the reason of the first failure.
    int Finish() {
        if (!m_Thread.joinable()) {
            if (m_Err == 0 && !m_Current.empty()) m_Err = m_Write(m_Current.data(), m_Current.size());
            m_Current.clear();
            return m_Err;
        }
        {
            std::lock_guard lock(m_Mutex);
            if (!m_Current.empty()) m_Full.push_back(std::move(m_Current));
            m_Done = true;
        }
        m_Changed.notify_all();
        m_Thread.join();
        return m_Err;
    }

private:
    bool Failed() {
        std::lock_guard lock(m_Mutex);
        return m_Err != 0;
    }

    // About a sixty-fourth of what was written, in powers of two: under 2 % of the file.
    std::size_t BufferBytes() const {
        return std::clamp(std::bit_floor(m_Handed / 64), kFirstBufferBytes, kBufferBytes);
    }

    // Queues the filled buffer and takes an empty one, waiting while all are in the queue.
    bool Hand() {
        std::unique_lock lock(m_Mutex);
        if (!m_Thread.joinable()) {
            for (int i = 1; i < kBuffers; ++i) m_Free.emplace_back();
            m_Thread = std::thread([this] { Run(); });
        }
        m_Handed += m_Current.size();
        m_Full.push_back(std::move(m_Current));
        m_Changed.notify_all();
        m_Changed.wait(lock, [&] { return !m_Free.empty() || m_Err != 0; });
        if (m_Err != 0) return false;
        m_Current = std::move(m_Free.front());
        m_Free.pop_front();
        m_Current.clear();
        return true;
    }

    void Run() {
        std::unique_lock lock(m_Mutex);
        for (;;) {
            m_Changed.wait(lock, [&] { return !m_Full.empty() || m_Done; });
            if (m_Full.empty()) return;
            CBuffer buffer = std::move(m_Full.front());
            m_Full.pop_front();
            const bool write = m_Err == 0 && !m_Abandoned;
            lock.unlock();
            const int err = write ? m_Write(buffer.data(), buffer.size()) : 0;
            lock.lock();
            if (err != 0 && m_Err == 0) m_Err = err;
            m_Free.push_back(std::move(buffer));
            m_Changed.notify_all();
        }
    }

    // Ends the thread without writing more, when the bytes were not all made.
    void Stop() {
        if (!m_Thread.joinable()) return;
        {
            std::lock_guard lock(m_Mutex);
            m_Abandoned = true;
            m_Done = true;
        }
        m_Changed.notify_all();
        m_Thread.join();
    }

    CWriteFn m_Write;
    CBuffer m_Current;  // being filled by the maker of the bytes
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::deque<CBuffer> m_Full;  // waiting to be written, in order
    std::deque<CBuffer> m_Free;
    std::size_t m_Handed = 0;  // bytes handed to the writer; only the maker's thread uses it
    int m_Err = 0;
    bool m_Done = false;
    bool m_Abandoned = false;
    std::thread m_Thread;
};
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
        off_t at = 0;  // where the next piece goes
        // Full aligned buffers go to the disk directly where the file system allows, which
        // spares the copy into the page cache; the first refusal turns that off for good.
        bool direct = !options.Write && kDirectWrites;
        bool directOn = false;
        const auto setDirect = [&](bool on) {
            const int flags = ::fcntl(fd, F_GETFL);
            if (flags < 0 || ::fcntl(fd, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) != 0) return false;
            directOn = on;
            return true;
        };
        CWriteBehind behind([&](const std::uint8_t* data, std::size_t size) {
            const bool aligned = reinterpret_cast<std::uintptr_t>(data) % kDirectAlignment == 0 &&
                                 size % kDirectAlignment == 0 && at % kDirectAlignment == 0;
            const bool full = aligned && size >= CWriteBehind::kBufferBytes;
            if (direct && full && !directOn && !setDirect(true)) direct = false;
            if (direct && full) {
                if (WriteAll(fd, data, size)) {
                    at += static_cast<off_t>(size);
                    return 0;
                }
                // Refused or cut short: write the whole piece again through the page cache.
                direct = false;
                if (!setDirect(false) || ::lseek(fd, at, SEEK_SET) != at) return errno ? errno : EIO;
            } else if (directOn && !setDirect(false)) {
                return errno ? errno : EIO;
            }
            errno = 0;
            const bool written = options.Write ? options.Write(fd, data, size) : WriteAll(fd, data, size);
            if (!written) return errno ? errno : EIO;
#ifdef SYNC_FILE_RANGE_WRITE
            // Start the disk on these bytes now, so the fsync at the end waits only for the last
            // ones; only a hint, fsync still decides.
            if (size >= CWriteBehind::kBufferBytes)
                ::sync_file_range(fd, at, static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#endif
            at += static_cast<off_t>(size);
            return 0;
        });
        const bool produced = produce(
            [&](const std::uint8_t* data, std::size_t size) { return behind.Write(data, size); });
        err = behind.Finish();
        if (!produced && !err) err = EIO;
        // The copy into a named file below reads the file back through ordinary reads.
        if (directOn && !setDirect(false) && !err) err = errno ? errno : EIO;
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
