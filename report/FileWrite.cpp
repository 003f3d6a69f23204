#include "report/FileWrite.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/xattr.h>
#define BENDWISE_HAVE_XATTR 1
#endif

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
// -1: as /proc/sys/fs/protected_symlinks says; 0 or 1: a test's choice.
std::atomic<int> g_protectedLinks{-1};

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
    void reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

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

// fs.protected_symlinks: the kernel follows a link in a sticky world-writable folder (such
// as /tmp) only when the link's owner owns the folder or is the one following it, so that
// nobody can plant a link there that sends another user's writes into a file of their
// choosing. Links are followed here by hand, so the rule is applied here by hand too. An
// unreadable setting counts as on.
bool LinksProtected() {
    if (const int forced = g_protectedLinks.load(std::memory_order_relaxed); forced >= 0) {
        return forced != 0;
    }
    Fd setting(::open("/proc/sys/fs/protected_symlinks", O_RDONLY | O_CLOEXEC));
    char value = '1';
    if (setting.get() >= 0 && ::read(setting.get(), &value, 1) != 1) value = '1';
    return value != '0';
}

bool MayFollow(const std::string& link, const struct stat& linkStat) {
    const std::string folder = FolderOf(link);
    struct stat dir {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return !shared || linkStat.st_uid == dir.st_uid || linkStat.st_uid == ::geteuid() ||
           !LinksProtected();
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
        if (!MayFollow(name, st)) return EACCES;
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

// Signals that end a program from a terminal or a session are held back while a block
// goes to a regular file. Linux ends a write() between two pages when a fatal signal
// arrives, so the program would end with the block torn and no chance to cut it off;
// held back, the signal waits until the block is whole (or cut off) and then ends the
// program as it would have. SIGKILL cannot be held back: see kWritingAttr.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&set, signal);
        m_held = ::pthread_sigmask(SIG_BLOCK, &set, &m_before) == 0;
    }
    ~SignalsHeld() {
        if (m_held) ::pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t m_before;
    bool m_held = false;
};

// A block written across a page boundary is announced on the file itself, in the extended
// attribute kWritingAttr = "START LENGTH" (the file's size before the block, the block's
// length), and the attribute is removed once the block is whole. A writer killed by
// SIGKILL (or a power cut) can leave the block torn between two pages; the next writer to
// take the lock finds the attribute and cuts the file back to START. A write within one
// page is never torn, so most single blocks go without it. A file system without extended
// attributes gets no announcement and no repair.
#if defined(BENDWISE_HAVE_XATTR)
constexpr const char* kWritingAttr = "user.bendwise.writing";
#endif
constexpr off_t kPageSize = 4096;

bool Announce(int fd, off_t start, std::size_t length) {
#if defined(BENDWISE_HAVE_XATTR)
    char value[48];
    const int n =
        std::snprintf(value, sizeof value, "%lld %zu", static_cast<long long>(start), length);
    return ::fsetxattr(fd, kWritingAttr, value, static_cast<std::size_t>(n), 0) == 0;
#else
    (void)fd, (void)start, (void)length;
    return false;
#endif
}

void Unannounce(int fd) {
#if defined(BENDWISE_HAVE_XATTR)
    (void)::fremovexattr(fd, kWritingAttr);
#else
    (void)fd;
#endif
}

// Cuts off a block that a killed writer left torn, as announced in kWritingAttr. Called with
// the lock held, before the first block. A file that ends where the block would have ended
// holds it whole and keeps it; one that ends beyond it was written by someone else since
// and is left alone.
void RepairTornBlock(int fd) {
#if defined(BENDWISE_HAVE_XATTR)
    char value[48];
    const ssize_t n = ::fgetxattr(fd, kWritingAttr, value, sizeof value - 1);
    if (n <= 0) return;
    value[n] = '\0';
    long long start = -1, length = -1;
    struct stat st {};
    if (std::sscanf(value, "%lld %lld", &start, &length) == 2 && start >= 0 && length > 0 &&
        ::fstat(fd, &st) == 0 && st.st_size > start && st.st_size < start + length) {
        (void)!::ftruncate(fd, static_cast<off_t>(start));
    }
    Unannounce(fd);
#else
    (void)fd;
#endif
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

// A name for a temporary file beside `target`: ".NAME.XXXXXXXX", the name cut so that
// the suffix still fits in NAME_MAX.
std::string TempName(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string base = target.substr(folder.size(), NAME_MAX - 12);
    unsigned int random = 0;
    if (::getentropy(&random, sizeof random) != 0) {
        random = static_cast<unsigned int>(Clock::now().time_since_epoch().count()) ^
                 static_cast<unsigned int>(::getpid()) * 2654435761u;
    }
    char suffix[10];
    std::snprintf(suffix, sizeof suffix, ".%08x", random);
    return folder + "." + base + suffix;
}

// Set once linking an unnamed file has failed for want of /proc: named files from then on.
std::atomic<bool> g_namedTempsOnly{false};

// The new file that is renamed over the target once written. Where the file system allows
// it is created without a name (O_TMPFILE) and only named just before the rename, so that
// a writer killed meanwhile leaves nothing behind; elsewhere it is ".NAME.XXXXXXXX" from
// the start. Open for appending, with `mode` before the umask.
struct Temp {
    Fd fd;
    std::string name;  // empty while unnamed
};

// 0 or an errno.
int CreateTemp(const std::string& target, mode_t mode, Temp& temp) {
#if defined(O_TMPFILE)
    if (!g_namedTempsOnly.load(std::memory_order_relaxed)) {
        const std::string folder = FolderOf(target);
        const int fd = ::open(folder.empty() ? "." : folder.c_str(),
                              O_TMPFILE | O_WRONLY | O_APPEND | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp.fd.reset(fd);
            return 0;
        }
        // A folder the writer may not write, or a full one, refuses a named file as well;
        // a file system without O_TMPFILE gets one.
        if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ENOSPC ||
            errno == EDQUOT || errno == ENOENT || errno == ENOTDIR) {
            return errno;
        }
    }
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name = TempName(target);
        const int fd =
            ::open(temp.name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp.fd.reset(fd);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

// Gives the unnamed file `fd` the name `name`. 0 or an errno (EEXIST: the name is taken).
int LinkUnnamed(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                            : errno;
}

// Gives the new file the owner (where allowed: root replacing another user's file), the
// group (where allowed: a member of the old file's group, so that a shared report keeps
// its group's access) and the mode of the file it replaces. 0 or an errno.
int KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if ((st.st_uid != old.st_uid || st.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0 && st.st_gid != old.st_gid) {
        (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

// Renames a named `temp` to `target`. A new target must still be missing: EEXIST when a
// file appeared there meanwhile. 0 or an errno.
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

// Puts the written `temp` in place of `target` (over it when `replace`, else only while
// `target` is still missing: EEXIST otherwise). An unnamed file is linked straight to a
// new target, or to a temporary name and renamed over an old one. 0 or an errno; ENOENT
// from linking an unnamed file means no /proc to link it from (see g_namedTempsOnly).
int PutInPlace(Temp& temp, const std::string& target, bool replace) {
    if (!temp.name.empty()) {
        const int error = RenameInto(temp.name, target, replace);
        if (error != 0) ::unlink(temp.name.c_str());
        return error;
    }
    if (!replace) return LinkUnnamed(temp.fd.get(), target);
    for (int attempt = 0;; ++attempt) {
        temp.name = TempName(target);
        const int error = LinkUnnamed(temp.fd.get(), temp.name);
        if (error == 0) break;
        if (error != EEXIST || attempt == 100) return error;
    }
    if (::rename(temp.name.c_str(), target.c_str()) == 0) return 0;
    const int error = errno;
    ::unlink(temp.name.c_str());
    return error;
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
    const int error = WriteWhole(m_queue);
    if (error == 0) {
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
    if (error == ESTALE) {  // no block can go to a file that is no longer there
        Close();
        flushed.result = Fail(BlockWrite::Moved, error);
        return flushed;
    }
    // The queue was cut off again; the blocks go once more one write each, which finds the
    // first that does not fit.
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
    m_named = false;
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
        m_named = m_regular && (!target.exists || target.regular);
        m_inPlace = false;
        // Devices and FIFOs are shared by everyone (/dev/null): never locked.
        if (!m_regular) return BlockWrite::Written;
        if (const int error = Lock(fd, deadline)) {
            m_created = false;  // whoever holds it is using it
            Close();
            return Fail(BlockWrite::Locked, error);
        }
        // A regular file behind a /proc link has no name of ours to check.
        if (target.exists && !target.regular) {
            RepairTornBlock(fd);
            return BlockWrite::Written;
        }
        if (!StillNamed(target.path, st)) {
            m_created = false;  // replaced or removed by another writer while we waited
            Close();
            continue;
        }
        RepairTornBlock(fd);
        return BlockWrite::Written;
    }
    return Fail(BlockWrite::OpenFailed, EAGAIN);
}

int ReportAppender::WriteWhole(std::string_view data) {
    std::size_t landed = 0;
    if (!m_regular) return WriteAll(m_fd, data, landed);
    // Another program may have removed or replaced the file since the last block: writing
    // on would put the blocks where nobody can find them.
    if (m_named && !StillNamed(m_final, m_fd)) return ESTALE;
    const SignalsHeld held;
    // O_APPEND puts the block at the end, and the lock keeps every other writer out: the
    // size before it is where it starts, and where a failed block is cut back to. (Node's
    // file layer cannot fstat() a file renamed since it was opened: there the size stays
    // unknown, and a failed block cannot be cut off.)
    struct stat st {};
    const bool sized = ::fstat(m_fd, &st) == 0;
    const bool announced = sized &&
                           st.st_size % kPageSize + static_cast<off_t>(data.size()) > kPageSize &&
                           Announce(m_fd, st.st_size, data.size());
    const int error = WriteAll(m_fd, data, landed);
    if (error != 0 && landed > 0 && sized) (void)!::ftruncate(m_fd, st.st_size);
    if (announced) Unannounce(m_fd);
    return error;
}

BlockWrite ReportAppender::WriteHeld(std::string_view block) {
    const int error = WriteWhole(block);
    if (error == 0) {
        m_created = false;
        m_error = 0;
        return BlockWrite::Written;
    }
    if (m_regular && m_created && error != ESTALE && StillNamed(m_final, m_fd)) {
        ::unlink(m_final.c_str());
    }
    m_created = false;
    Close();
    return Fail(error == ESTALE ? BlockWrite::Moved : BlockWrite::WriteFailed, error);
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
        Temp temp;
        if (const int error = CreateTemp(target.path, target.exists ? 0600 : 0666, temp)) {
            // A file the user may write in a folder they may not: written over in place.
            if (error == EACCES && target.exists) {
                return RewriteInPlace(old.release(), path, target.path, block);
            }
            return Fail(BlockWrite::OpenFailed, error);
        }
        // Locked before it gets the target's name; nobody else knows it yet.
        (void)::flock(temp.fd.get(), LOCK_EX | LOCK_NB);
        std::size_t landed = 0;
        int error = WriteAll(temp.fd.get(), block, landed);
        if (error == 0 && target.exists) error = KeepOwnerAndMode(temp.fd.get(), oldStat);
        if (error == 0 && ::fsync(temp.fd.get()) != 0) error = errno;
        if (error == 0) {
            Stage(FileStage::TempWritten, target.path);
            const bool unnamed = temp.name.empty();
            error = PutInPlace(temp, target.path, target.exists);
            if (error == ENOENT && unnamed) {
                g_namedTempsOnly.store(true, std::memory_order_relaxed);
                continue;
            }
        } else if (!temp.name.empty()) {
            ::unlink(temp.name.c_str());
        }
        if (error != 0) {
            if (error == EEXIST) continue;  // a new file appeared: replace that one
            return Fail(BlockWrite::WriteFailed, error);
        }
        Stage(FileStage::Renamed, target.path);
        return HoldReplaced(temp.fd.release(), path, target.path, false);
    }
    return Fail(BlockWrite::OpenFailed, EAGAIN);
}

BlockWrite ReportAppender::RewriteInPlace(int fd, const std::string& path, const std::string& final,
                                          std::string_view block) {
    Fd old(fd);
    // Kept to be written back should the new contents not fit (a full disk). Where the old
    // file cannot be read it could not be restored either: then it is not touched.
    std::string before;
    {
        Fd reader(::open(final.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (reader.get() < 0) return Fail(BlockWrite::OpenFailed, EACCES);
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = ::read(reader.get(), buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Fail(BlockWrite::OpenFailed, errno);
            if (n == 0) break;
            before.append(buf, static_cast<std::size_t>(n));
        }
    }
    int error = 0;
    {
        const SignalsHeld held;
        std::size_t landed = 0;
        if (::ftruncate(old.get(), 0) != 0 || ::lseek(old.get(), 0, SEEK_SET) != 0) {
            error = errno;
        } else {
            error = WriteAll(old.get(), block, landed);
            if (error == 0 && ::fsync(old.get()) != 0) error = errno;
            if (error != 0 && ::ftruncate(old.get(), 0) == 0 &&
                ::lseek(old.get(), 0, SEEK_SET) == 0) {
                (void)WriteAll(old.get(), before, landed);
            }
        }
    }
    if (error != 0) return Fail(BlockWrite::WriteFailed, error);
    // Later blocks go to the end, as to any held file.
    (void)::fcntl(old.get(), F_SETFL, O_APPEND | O_NONBLOCK);
    return HoldReplaced(old.release(), path, final, true);
}

BlockWrite ReportAppender::HoldReplaced(int fd, const std::string& path, const std::string& final,
                                        bool inPlace) {
    m_fd = fd;
    m_path = path;
    m_final = final;
    m_regular = true;
#if defined(__EMSCRIPTEN__)
    // Node's file layer answers fstat() of a renamed file by the name it was opened under,
    // which is gone: the check that the name still holds the file would always fail.
    m_named = inPlace;
#else
    m_named = true;
#endif
    m_created = false;
    m_inPlace = inPlace;
    m_error = 0;
    return BlockWrite::Written;
}

BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, std::string_view block) {
    ReportAppender file;
    const BlockWrite written = file.Append(path, mode, block);
    if (!file.Close()) return BlockWrite::WriteFailed;
    return written;
}

int ReplaceFile(const std::string& path, std::string_view bytes, bool* inPlace) {
    ReportAppender file;
    const BlockWrite written = file.Append(path, ReportOpen::CreateEmpty, bytes);
    if (written != BlockWrite::Written) return file.Error() != 0 ? file.Error() : EIO;
    if (inPlace != nullptr) *inPlace = file.RewroteInPlace();
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

void SetLinkProtectionForTesting(int on) {
    g_protectedLinks.store(on, std::memory_order_relaxed);
}

}  // namespace bendwise
