// Files that nothing can corrupt: a report file that any number of writers append to at
// once, and whole files (a new report, drawings, JSON) replaced in one step.
//
// Appending. The file is opened with O_APPEND and held under an exclusive advisory lock
// (flock) for as long as the writer keeps it open: one press of a report button, or a whole
// run of the command-line program. A writer waits at most kLockWait for another writer's
// lock and then gives up without writing anything. Each block goes to the file in one
// write(); a block that cannot be written whole (full disk, or a file size limit with
// SIGXFSZ ignored, so that write() fails with EFBIG) is cut off again, so no partial block
// is ever left behind. SIGINT, SIGTERM, SIGHUP and SIGQUIT are held back while a block is
// written, so that they end the program between blocks, never inside one; a block that
// spans pages is announced on the file (an extended attribute), so that one torn by
// SIGKILL is cut off by the next writer that takes the lock. After taking the lock a writer
// checks that the path still names the file it locked (another writer may have replaced or
// removed it meanwhile) and opens again if not; before every later block it checks again,
// and stops (BlockWrite::Moved) if another program has removed or replaced the file.
//
// Replacing. A regular or missing target gets a temporary file in the same folder (unnamed,
// O_TMPFILE, where the file system allows; else ".NAME.XXXXXXXX"), which is written,
// flushed to disk (fsync), given the target's mode, owner and group (where the writer may
// set them) and renamed over the target while the old file is locked: a reader, another
// writer or a crash sees the old file or the whole new one, never a mix, and a writer
// killed before the rename leaves no temporary file behind. A new target is put into place
// only if it is still missing (RENAME_NOREPLACE); otherwise the writer starts again on the
// file that appeared. A file the writer may write in a folder it may not is written over
// in place instead (RewroteInPlace() says so): the old contents come back after a failed
// write, but a kill part way can leave a part of the new ones.
//
// Paths. Symbolic links are followed to the file they name, so a replaced file keeps its
// link and a dangling link gets its file created where it points. As the kernel does with
// fs.protected_symlinks set, a link in a sticky world-writable folder (/tmp) is followed
// only when its owner owns the folder or is the writer; otherwise EACCES. A target that is not a
// regular file (a device such as /dev/full, a FIFO, a terminal, /dev/stdout and the other
// links into /proc) is written in place, appended to, and never removed or replaced.
//
// Nothing is ever removed that the writer did not create itself: a file it created for a
// block that then failed, or its own temporary file.
//
// Queueing. A run that writes many blocks to one file (the command-line batch) may queue
// them: a block for the held regular file then only joins the queue, and FlushQueued
// writes the queue in one write(), saving a system call (about 1.4 us on ext4) a block.
// If that write fails, what landed is cut off and the blocks are written again one write
// each, so the file ends exactly as without the queue: every block that fits, whole, then
// the one that failed taken back out. The caller must keep everything it shows about the
// queued blocks (the asterisk of each) until the flush has said how many reached the file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace bendwise {

// How the report file is opened for a block.
enum class ReportOpen {
    CreateEmpty,   // replace the file by the block, or create it ("Write New File")
    CreateKeep,    // create if missing, keep the contents ("Append", after the dialog)
    ExistingKeep,  // only an existing writable file, contents kept (remembered path)
};

enum class BlockWrite {
    Written,
    OpenFailed,   // the file could not be opened (or created) in that mode
    Locked,       // another writer held the file longer than kLockWait: nothing written
    WriteFailed,  // not written completely; the file is as it was before the block
    Moved,        // the held file's path no longer names it (removed or replaced by
                  // another program): nothing written, the file closed
};

// The longest wait for another writer's lock on the same file.
constexpr std::chrono::milliseconds kLockWait{5000};

// A report file held open for appending, under its lock, between blocks.
class ReportAppender {
  public:
    ReportAppender() = default;
    ~ReportAppender() { Close(); }
    ReportAppender(const ReportAppender&) = delete;
    ReportAppender& operator=(const ReportAppender&) = delete;

    // Writes `block` to the file at `path`. When `path` is the file held open (and `mode`
    // is not CreateEmpty) the block goes straight to it; otherwise the held file is closed
    // and `path` is opened in `mode` and locked. The file stays open and locked after a
    // written block, and is closed after any failure.
    BlockWrite Append(const std::string& path, ReportOpen mode, std::string_view block);

    // Releases the lock and closes the file; false when the close reported an error (a
    // network file system may only then say that data was lost). Blocks still queued are
    // written first.
    bool Close();

    // Queueing as described above; off by default. Only blocks that go to a held regular
    // file that already holds a block of this writer are queued: the first block, and any
    // block that opens or replaces the file, is written at once.
    void QueueBlocks(bool on) { m_queueing = on; }
    std::size_t QueuedBlocks() const { return m_blockEnds.size(); }
    std::size_t QueuedBytes() const { return m_queue.size(); }

    // The outcome of writing the queue: `written` of its blocks are in the file, in order;
    // when `result` is not Written the next one failed, the file holds nothing of it or of
    // those after it, and is closed.
    struct Flushed {
        std::size_t written = 0;
        BlockWrite result = BlockWrite::Written;
    };
    Flushed FlushQueued();

    bool IsOpen() const { return m_fd >= 0; }
    // True when the last replacement wrote over the old file in place (its folder is not
    // writable), so that it was not replaced in one step.
    bool RewroteInPlace() const { return m_inPlace; }
    // The errno of the last failure (0 after Written; EWOULDBLOCK after Locked).
    int Error() const { return m_error; }

  private:
    BlockWrite OpenToAppend(const std::string& path, ReportOpen mode);
    BlockWrite Replace(const std::string& path, std::string_view block);
    BlockWrite RewriteInPlace(int fd, const std::string& path, const std::string& final,
                              std::string_view block);
    // Holds the file that replaced the one at `path` (`final` once links are followed).
    BlockWrite HoldReplaced(int fd, const std::string& path, const std::string& final,
                            bool inPlace);
    BlockWrite WriteHeld(std::string_view block);
    // Writes `data` to the end of the held file, whole or (cut off again) not at all. 0 or
    // an errno; ESTALE when the path no longer names the held file.
    int WriteWhole(std::string_view data);
    BlockWrite Fail(BlockWrite result, int error);

    int m_fd = -1;
    std::string m_path;      // as given, to recognise the held file
    std::string m_final;     // with symbolic links followed: the name that was opened
    bool m_regular = false;  // a regular file: locked, and a failed block is cut off
    bool m_named = false;    // m_final names it (not reached through a /proc link)
    bool m_inPlace = false;  // see RewroteInPlace()
    bool m_created = false;  // created by this appender and holding none of its blocks yet
    int m_error = 0;
    bool m_queueing = false;
    std::string m_queue;                   // the queued blocks, one after the other
    std::vector<std::size_t> m_blockEnds;  // where each queued block ends in m_queue
};

// Opens, writes `block` and closes, as one press of a report button does.
BlockWrite WriteBlockToFile(const std::string& path, ReportOpen mode, std::string_view block);

// Replaces the contents of `path` by `bytes` as described above (a drawing, JSON). Returns
// 0, or the errno of the failure (EWOULDBLOCK: another writer held the file too long); on
// failure the file is as it was and no temporary file is left. `inPlace`, when given, is
// set as RewroteInPlace().
int ReplaceFile(const std::string& path, std::string_view bytes, bool* inPlace = nullptr);

// True when `a` and `b` name one file that must not serve in two roles: the same regular
// file (same device and inode, whatever the names: links, "./", a hard link), or, when
// neither exists yet, the same name once made absolute and free of links, "." and "..".
// Two names of a device, FIFO or terminal are not counted: /dev/null takes anything twice.
bool SameFile(const std::string& a, const std::string& b);

// A test's look at the writer at the moments where another process could step in or the
// writer could be killed. Called with the path as resolved (links followed). Not for use
// outside tests; nullptr (the default) for none.
enum class FileStage {
    Resolved,     // the target's kind is known; nothing opened yet
    TempWritten,  // the temporary file is written and flushed, not yet renamed
    Renamed,      // the new file is in place
};
using FileStageHook = void (*)(FileStage stage, const std::string& path);
void SetFileStageHookForTesting(FileStageHook hook);
// The link rule above as if fs.protected_symlinks were `on` (1) or off (0); -1 (the
// default): as the system says. Not for use outside tests.
void SetLinkProtectionForTesting(int on);

}  // namespace bendwise
