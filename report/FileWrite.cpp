#include "report/FileWrite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

namespace bendwise {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<FileStageHook> g_stageHook{nullptr};

void Stage(FileStage stage, const std::string& path) {
    if (const FileStageHook hook = g_stageHook.load(std::memory_order_relaxed)) hook(stage, path);
}

// Attempts before giving up on a file that keeps being replaced or removed under the writer.
constexpr int kMaxAttempts = 16;
// Symbolic links followed from one path, as the kernel's own limit.
constexpr int kMaxLinks = 40;

// A descriptor closed when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

  private:
    int m_fd;
};

// Where a write to a path lands once symbolic links are followed.
struct Target {
    std::string path;      // the name to open, create or rename over
    bool exists = false;   // something is there (a file, a device, a directory, ...)
    bool regular = false;  // an existing regular file: locked, replaced by rename
};

// The folder part of `path` with its slash ("a/b/" of "a/b/c"), "" for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A link in /proc (/dev/stdout leads to /proc/self/fd/1) names a file another process has
// open, or a pipe or socket with no name at all: it is opened as it is, never resolved.
bool IsProcLink(const std::string& link) {
    constexpr long kProcMagic = 0x9fa0;  // PROC_SUPER_MAGIC of <linux/magic.h>
    const std::string folder = FolderOf(link);
    struct statfs info {};
    return ::statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 &&
           static_cast<long>(info.f_type) == kProcMagic;
}

// The descriptor N that "/proc/self/fd/N" names (where /dev/stdout, /dev/stderr and
// /dev/fd/N lead), or -1.
int OwnDescriptor(const std::string& name) {
    constexpr std::string_view kPrefix = "/proc/self/fd/";
    if (name.compare(0, kPrefix.size(), kPrefix) != 0 || name.size() == kPrefix.size() ||
        name.size() > kPrefix.size() + 9) {
        return -1;
    }
    int fd = 0;
    for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        fd = fd * 10 + (name[i] - '0');
    }
    return fd;
}

// Follows symbolic links by hand, so that a dangling link yields the name to create and a
// replaced file keeps its link. Returns 0 or an errno.
int Resolve(const std::string& path, Target& target) {
    if (path.empty()) return ENOENT;
    if (path.back() == '/') return EISDIR;  // a file's name never ends in a slash
    std::string name = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            target = {name, false, false};
            return 0;
        }
        if (!S_ISLNK(st.st_mode) || IsProcLink(name)) {
            target = {name, true, S_ISREG(st.st_mode)};
            return 0;
        }
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(name.c_str(), buf, sizeof buf);
        if (n < 0) return errno;
        if (n == 0 || static_cast<std::size_t>(n) == sizeof buf) return ENAMETOOLONG;
        const std::string next(buf, static_cast<std::size_t>(n));
        name = next.front() == '/' ? next : FolderOf(name) + next;
        if (name.back() == '/') return EISDIR;
    }
    return ELOOP;
}

// True when `name` still names the file `st` describes (not replaced, not removed).
bool StillNamed(const std::string& name, const struct stat& st) {
    struct stat now {};
    return ::lstat(name.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
}

bool StillNamed(const std::string& name, int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && StillNamed(name, st);
}

// Writes all of `data`; `landed` counts the bytes that did reach the file. 0 or an errno.
int WriteAll(int fd, std::string_view data, std::size_t& landed) {
    landed = 0;
    while (landed < data.size()) {
        const ssize_t n = ::write(fd, data.data() + landed, data.size() - landed);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        landed += static_cast<std::size_t>(n);
    }
    return 0;
}

// Takes the exclusive lock, trying until `deadline`. 0, or EWOULDBLOCK when another writer
// still holds it then.
int Lock(int fd, Clock::time_point deadline) {
    long pauseNs = 1'000'000;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        // A file system without flock: the lock only ever kept our own writers apart, so
        // writing without it is better than not writing at all.
        if (errno != EWOULDBLOCK) return 0;
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return EWOULDBLOCK;
        const long leftNs =
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left).count());
        const timespec pause{0, std::min(pauseNs, leftNs)};
        ::nanosleep(&pause, nullptr);
        pauseNs = std::min(pauseNs * 2, 50'000'000L);
    }
}

// Creates a temporary file beside `target` (".NAME.XXXXXXXX", open for appending) with
// `mode` before the umask. Returns its descriptor and name, or -1 with errno set.
int CreateTemp(const std::string& target, mode_t mode, std::string& name) {
    const std::string folder = FolderOf(target);
    // The name is cut so that the suffix still fits in NAME_MAX.
    const std::string base = target.substr(folder.size(), NAME_MAX - 12);
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned int random = 0;
        if (::getentropy(&random, sizeof random) != 0) {
            random = static_cast<unsigned int>(Clock::now().time_since_epoch().count()) ^
                     static_cast<unsigned int>(::getpid()) * 2654435761u;
        }
        char suffix[10];
        std::snprintf(suffix, sizeof suffix, ".%08x", random);
        name = folder + "." + base + suffix;
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the new file the owner (where allowed: root replacing another user's file) and the
// mode of the file it replaces. 0 or an errno.
int KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if (st.st_uid != old.st_uid || st.st_gid != old.st_gid) {
        (void)!::fchown(fd, old.st_uid, old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// Renames `temp` to `target`. A new target must still be missing: EEXIST when a file
// appeared there meanwhile. 0 or an errno.
int RenameInto(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
#if defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
    // A file system (or a C library: the WebAssembly build's) without RENAME_NOREPLACE: a
    // hard link fails the same way on an existing name.
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

}  // namespace

BlockWrite ReportAppender::Append(const std::string& path, ReportOpen mode,
                                  std::string_view block) {
    if (IsOpen() && (mode == ReportOpen::CreateEmpty || path != m_path)) Close();
    if (!IsOpen()) {
        if (mode == ReportOpen::CreateEmpty) return Replace(path, block);
        const BlockWrite opened = OpenToAppend(path, mode);
        if (opened != BlockWrite::Written) return opened;
    } else if (m_queueing && m_regular && !m_created) {
        m_queue.append(block);
        m_blockEnds.push_back(m_queue.size());
        return BlockWrite::Written;
    }
    return WriteHeld(block);
}

ReportAppender::Flushed ReportAppender::FlushQueued() {
    Flushed flushed;
    if (m_blockEnds.empty()) return flushed;
    std::size_t landed = 0;
    if (WriteAll(m_fd, m_queue, landed) == 0) {
        flushed.written = m_blockEnds.size();
        m_queue.clear();  // keeps its room for the next blocks
        m_blockEnds.clear();
        m_error = 0;
        return flushed;
    }
    // Taken out first: a failure below closes the file, and Close() flushes what is queued.
    const std::string queue = std::move(m_queue);
    const std::vector<std::size_t> ends = std::move(m_blockEnds);
    m_queue.clear();
    m_blockEnds.clear();
    // What landed comes off again, and the blocks go once more one write each, which
    // finds the first that does not fit.
    CutOff(landed);
    std::size_t begin = 0;
    for (const std::size_t end : ends) {
        flushed.result = WriteHeld(std::string_view(queue).substr(begin, end - begin));
        if (flushed.result != BlockWrite::Written) return flushed;
        ++flushed.written;
        begin = end;
    }
    return flushed;
}

bool ReportAppender::Close() {
    if (m_fd < 0) return true;
    if (!m_blockEnds.empty() && FlushQueued().result != BlockWrite::Written) return false;
    // Closing the last descriptor releases the lock.
    const bool closed = ::close(m_fd) == 0;
    if (!closed) m_error = errno;
    m_fd = -1;
    m_path.clear();
    m_final.clear();
    m_regular = false;
    m_created = false;
    return closed;
}

BlockWrite ReportAppender::Fail(BlockWrite result, int error) {
    m_error = error;
    return result;
}

// Opens `path` for appending and locks it; Written means ready for the first block.
BlockWrite ReportAppender::OpenToAppend(const std::string& path, ReportOpen mode) {
    const Clock::time_point deadline = Clock::now() + kLockWait;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        Target target;
        if (const int error = Resolve(path, target)) return Fail(BlockWrite::OpenFailed, error);
        Stage(FileStage::Resolved, target.path);
        const char* name = target.path.c_str();
        int fd = -1;
        if (!target.exists) {
            if (mode == ReportOpen::ExistingKeep) return Fail(BlockWrite::OpenFailed, ENOENT);
            // O_EXCL: the file is ours only if this open created it; one that appeared
            // since the look above is opened as it is on the next attempt.
            fd = ::open(name, O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST) continue;
        } else if (target.regular) {
            // A link or a FIFO put there since is neither followed nor waited on.
            fd = ::open(name, O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 && (errno == ENOENT || errno == ELOOP || errno == ENXIO)) continue;
        } else if (const int own = OwnDescriptor(target.path); own >= 0) {
            // /dev/stdout and its kin: the descriptor itself, so that the block goes where
            // the stream's other output goes (a fresh open of a redirected file would start
            // at its beginning, over what standard error wrote there).
            fd = ::fcntl(own, F_DUPFD_CLOEXEC, 0);
        } else {
            // A device, FIFO, terminal or /proc link: in place, waiting for a FIFO's reader.
            fd = ::open(name, O_WRONLY | O_APPEND | O_CLOEXEC);
        }
        if (fd < 0) return Fail(BlockWrite::OpenFailed, errno);
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            return Fail(BlockWrite::OpenFailed, error);
        }
        if (target.regular && !S_ISREG(st.st_mode)) {  // swapped for something else
            ::close(fd);
            continue;
        }
        m_fd = fd;
        m_path = path;
        m_final = target.path;
        m_regular = S_ISREG(st.st_mode);
        m_created = !target.exists;
        // Devices and FIFOs are shared by everyone (/dev/null): never locked.
        if (!m_regular) return BlockWrite::Written;
        if (const int error = Lock(fd, deadline)) {
            m_created = false;  // whoever holds it is using it
            Close();
            return Fail(BlockWrite::Locked, error);
        }
        // A regular file behind a /proc link has no name of ours to check.
        if (target.exists && !target.regular) return BlockWrite::Written;
        if (!StillNamed(target.path, st)) {
            m_created = false;  // replaced or removed by another writer while we waited
            Close();
            continue;
        }
        return BlockWrite::Written;
    }
    return Fail(BlockWrite::OpenFailed, EAGAIN);
}

BlockWrite ReportAppender::WriteHeld(std::string_view block) {
    std::size_t landed = 0;
    const int error = WriteAll(m_fd, block, landed);
    if (error == 0) {
        m_created = false;
        m_error = 0;
        return BlockWrite::Written;
    }
    if (m_regular) {
        CutOff(landed);
        if (m_created && StillNamed(m_final, m_fd)) ::unlink(m_final.c_str());
    }
    m_created = false;
    Close();
    return Fail(BlockWrite::WriteFailed, error);
}

void ReportAppender::CutOff(std::size_t landed) {
    // O_APPEND put what landed at the end, and the lock kept every other writer out:
    // cutting that many bytes off the end takes exactly what this writer added.
    struct stat st {};
    if (landed > 0 && ::fstat(m_fd, &st) == 0 && static_cast<std::size_t>(st.st_size) >= landed) {
        (void)!::ftruncate(m_fd, st.st_size - static_cast<off_t>(landed));
    }
}

BlockWrite ReportAppender::Replace(const std::string& path, std::string_view block) {
    const Clock::time_point deadline = Clock::now() + kLockWait;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        Target target;
        if (const int error = Resolve(path, target)) return Fail(BlockWrite::OpenFailed, error);
        Stage(FileStage::Resolved, target.path);
        if (target.exists && !target.regular) {
            // Not a file to replace: written in place.
            const BlockWrite opened = OpenToAppend(path, ReportOpen::ExistingKeep);
            return opened == BlockWrite::Written ? WriteHeld(block) : opened;
        }

        // The old file is locked while it is replaced, so that no writer is part way
        // through it. It is opened for writing although it is only locked: a file the user
        // may not write is not replaced either.
        Fd old(target.exists
                   ? ::open(target.path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                   : -1);
        struct stat oldStat {};
        if (target.exists) {
            if (old.get() < 0) {
                if (errno == ENOENT || errno == ELOOP || errno == ENXIO) continue;
                return Fail(BlockWrite::OpenFailed, errno);
            }
            if (::fstat(old.get(), &oldStat) != 0 || !S_ISREG(oldStat.st_mode)) continue;
            if (const int error = Lock(old.get(), deadline)) return Fail(BlockWrite::Locked, error);
            if (!StillNamed(target.path, oldStat)) continue;
        }

        // Private until it has the old file's mode; a new file gets 0666 less the umask.
        std::string temp;
        Fd fresh(CreateTemp(target.path, target.exists ? 0600 : 0666, temp));
        if (fresh.get() < 0) return Fail(BlockWrite::OpenFailed, errno);
        // Locked before it gets the target's name; nobody else knows it yet.
        (void)::flock(fresh.get(), LOCK_EX | LOCK_NB);
        std::size_t landed = 0;
        int error = WriteAll(fresh.get(), block, landed);
        if (error == 0 && target.exists) error = KeepOwnerAndMode(fresh.get(), oldStat);
        if (error == 0 && ::fsync(fresh.get()) != 0) error = errno;
        if (error == 0) {
            Stage(FileStage::TempWritten, target.path);
            error = RenameInto(temp, target.path, target.exists);
        }
        if (error != 0) {
            ::unlink(temp.c_str());
            if (error == EEXIST) continue;  // a new file appeared: replace that one
            return Fail(BlockWrite::WriteFailed, error);
        }
        Stage(FileStage::Renamed, target.path);
        m_fd = fresh.release();
        m_path = path;
        m_final = target.path;
        m_regular = true;
        m_created = false;
        m_error = 0;
        return BlockWrite::Written;
    }
    return Fail(BlockWrite::OpenFailed, EAGAIN);
}

BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, std::string_view block) {
    ReportAppender file;
    const BlockWrite written = file.Append(path, mode, block);
    if (!file.Close()) return BlockWrite::WriteFailed;
    return written;
}

int ReplaceFile(const std::string& path, std::string_view bytes) {
    ReportAppender file;
    const BlockWrite written = file.Append(path, ReportOpen::CreateEmpty, bytes);
    if (written != BlockWrite::Written) return file.Error() != 0 ? file.Error() : EIO;
    return file.Close() ? 0 : file.Error();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    const bool aExists = ::stat(a.c_str(), &sa) == 0, bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists || bExists) {
        return aExists && bExists && S_ISREG(sa.st_mode) && sa.st_dev == sb.st_dev &&
               sa.st_ino == sb.st_ino;
    }
    // Neither exists yet: the same name once links (dangling ones too) are followed.
    Target ta, tb;
    if (Resolve(a, ta) != 0 || Resolve(b, tb) != 0) return a == b;
    std::error_code ea, eb;
    const auto ca = std::filesystem::weakly_canonical(std::filesystem::absolute(ta.path, ea), ea);
    const auto cb = std::filesystem::weakly_canonical(std::filesystem::absolute(tb.path, eb), eb);
    return ea || eb ? a == b : ca == cb;
}

void SetFileStageHookForTesting(FileStageHook hook) {
    g_stageHook.store(hook, std::memory_order_relaxed);
}

}  // namespace bendwise
