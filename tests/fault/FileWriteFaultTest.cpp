// The file writer against other writers and hostile paths: many processes appending to one
// file at once, a kill while a file is replaced, device nodes and FIFOs, symbolic links
// (dangling, relative, chained), and a file that appears between the writer's look and
// its open. (One file under two names: the command line's roles test.)
//
// Whatever happens, a file holds whole blocks only, none lost, and nothing is removed that
// the writer did not create.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "report/FileWrite.h"
#include "support/Files.h"
#include "support/Processes.h"

namespace bendwise {
namespace {

namespace fs = std::filesystem;
using test::FileSizeLimit;
using test::InChild;
using test::ReadFile;
using test::WriteFile;

// A block of `kBlockSize` bytes naming its writer and number, so that a torn, doubled or
// interleaved block shows.
constexpr std::size_t kBlockSize = 562;
std::string Block(int writer, int number) {
    char head[64];
    std::snprintf(head, sizeof head, "writer %d block %d\n", writer, number);
    std::string block = head;
    block.resize(kBlockSize - 1, static_cast<char>('a' + (writer * 7 + number) % 26));
    return block + "\n";
}

// Names of a folder's entries, sorted.
std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class FileWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = test::MakeScratchDir("bendwise-filewrite");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override {
        SetFileStageHookForTesting(nullptr);
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

// The stress of the whole scheme: eight processes append 250 blocks each to a file that
// does not exist yet, half pressing a report button for every block (open, lock, write,
// close), half holding the file for their whole run as the command-line program does.
// Unlocked, without O_APPEND, two writers landed on one offset and blocks were lost.
TEST_F(FileWrite, EightWritersLoseAndTearNothing) {
    const std::string path = Path("shared.txt");
    constexpr int kWriters = 8, kBlocks = 250;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        if (pid == 0) {
            ReportAppender held;
            for (int b = 0; b < kBlocks; ++b) {
                const BlockWrite written =
                    w % 2 == 0 ? WriteBlockToFile(path, ReportOpen::CreateKeep, Block(w, b))
                               : held.Append(path, ReportOpen::CreateKeep, Block(w, b));
                if (written != BlockWrite::Written) _exit(10 + static_cast<int>(written));
            }
            _exit(held.Close() ? 0 : 9);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const std::string text = ReadFile(path);
    ASSERT_EQ(text.size(), kWriters * kBlocks * kBlockSize);
    std::map<int, int> next;  // each writer's blocks arrive whole and in its own order
    for (std::size_t at = 0; at < text.size(); at += kBlockSize) {
        int w = -1, b = -1;
        ASSERT_EQ(std::sscanf(text.c_str() + at, "writer %d block %d", &w, &b), 2) << at;
        ASSERT_EQ(b, next[w]) << "writer " << w;
        ASSERT_EQ(text.compare(at, kBlockSize, Block(w, b)), 0) << "torn block at " << at;
        ++next[w];
    }
}

// Killed while "Write New File" replaces a file, the file is afterwards the old one or the
// whole new one: never emptied, never part old and part new (it was written over in place,
// in two steps). The kill lands at the two moments that matter, and then at random.
TEST_F(FileWrite, ReplacementKilledLeavesOldOrWholeNew) {
    const std::string path = Path("report.txt"), old = "old report\n" + Block(0, 0);
    const std::string fresh = Block(1, 1);
    const struct {
        FileStage stage;
        std::string after;
    } cases[] = {{FileStage::TempWritten, old}, {FileStage::Renamed, fresh}};
    for (const auto& c : cases) {
        WriteFile(path, old);
        static FileStage killAt;
        killAt = c.stage;
        const std::string got =
            InChild([] { return true; },
                    [&] {
                        SetFileStageHookForTesting([](FileStage stage, const std::string&) {
                            if (stage == killAt) raise(SIGKILL);
                        });
                        ReplaceFile(path, fresh);
                        return std::string("not killed");
                    });
        EXPECT_EQ(got, "child died");
        EXPECT_EQ(ReadFile(path), c.after) << static_cast<int>(c.stage);
    }

    // At random moments: a child replaces the file with 1 MiB of one letter, then of
    // another, until it is killed.
    const std::string a(1 << 20, 'a'), b(1 << 20, 'b');
    WriteFile(path, a);
    std::mt19937 random(12345);
    for (int round = 0; round < 12; ++round) {
        const pid_t pid = fork();
        if (pid == 0) {
            for (int i = 0;; ++i) ReplaceFile(path, i % 2 == 0 ? b : a);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const std::string now = ReadFile(path);
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}

// Devices, FIFOs and terminals are written in place and never removed or replaced. The
// drawing writer removed whatever it could not write: as root, a device node such as
// /dev/full. The nodes here are made in the scratch folder, never the system's own.
TEST_F(FileWrite, DeviceNodesAreWrittenInPlaceAndKept) {
    const std::string full = Path("full"), null = Path("null"), fifo = Path("fifo");
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0 ||
        mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make device nodes here";
    }
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(symlink("null", Path("to-null").c_str()), 0);
    const std::set<std::string> before = Names(m_dir);
    // The test keeps the FIFO open for reading and writing: writers find a reader at once
    // and the pipe holds what they wrote.
    const int pipeFd = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(pipeFd, 0);
    const struct {
        std::string path;
        BlockWrite result;
    } cases[] = {
        {full, BlockWrite::WriteFailed},
        {null, BlockWrite::Written},
        {Path("to-null"), BlockWrite::Written},
        {fifo, BlockWrite::Written},
    };
    for (const auto& c : cases) {
        for (ReportOpen mode :
             {ReportOpen::CreateEmpty, ReportOpen::CreateKeep, ReportOpen::ExistingKeep}) {
            EXPECT_EQ(WriteBlockToFile(c.path, mode, Block(0, 0)), c.result)
                << c.path << " " << static_cast<int>(mode);
        }
        EXPECT_EQ(ReplaceFile(c.path, "<svg/>\n"), c.result == BlockWrite::Written ? 0 : ENOSPC)
            << c.path;
    }
    char piped[8192];
    const ssize_t got = read(pipeFd, piped, sizeof piped);
    close(pipeFd);
    EXPECT_EQ(std::string(piped, got > 0 ? static_cast<std::size_t>(got) : 0),
              Block(0, 0) + Block(0, 0) + Block(0, 0) + "<svg/>\n");
    EXPECT_EQ(Names(m_dir), before);  // nothing removed, no temporary file left
    struct stat st {};
    ASSERT_EQ(stat(full.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, 7));
    ASSERT_EQ(lstat(Path("to-null").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A symbolic link is followed to its file and stays a link. A dangling one gets its file
// created where it points; the rollback of a failed first block then removed the link
// itself and left the file it had created.
TEST_F(FileWrite, LinksAreFollowedAndKept) {
    fs::create_directory(m_dir / "real");
    const std::string target = Path("real/report.txt");
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // name -> what it points to
        std::string path;                                        // written through
        bool targetExists;
    } cases[] = {
        {"link to a file", {{"link", "real/report.txt"}}, Path("link"), true},
        {"dangling link", {{"link", "real/report.txt"}}, Path("link"), false},
        {"relative link from another folder",
         {{"real/../real/link", "report.txt"}},
         Path("real/link"),
         false},
        {"chain of two", {{"a", "b"}, {"b", target}}, Path("a"), true},
    };
    for (const auto& c : cases) {
        for (ReportOpen mode : {ReportOpen::CreateEmpty, ReportOpen::CreateKeep}) {
            for (bool fail : {false, true}) {
                fs::remove(target);
                for (const auto& [name, to] : c.links) {
                    fs::remove(Path(name));
                    ASSERT_EQ(symlink(to.c_str(), Path(name).c_str()), 0);
                }
                if (c.targetExists) {
                    WriteFile(target, "kept\n");
                    chmod(target.c_str(), 0640);
                }
                const std::string label = std::string(c.what) + ", mode " +
                                          std::to_string(static_cast<int>(mode)) +
                                          (fail ? ", block fails" : "");
                // A file size limit below the block makes it fail part way.
                const std::string got = InChild(FileSizeLimit(fail ? 100 : RLIM_INFINITY), [&] {
                    return std::to_string(
                        static_cast<int>(WriteBlockToFile(c.path, mode, Block(2, 0))));
                });
                EXPECT_EQ(got, std::to_string(static_cast<int>(fail ? BlockWrite::WriteFailed
                                                                    : BlockWrite::Written)))
                    << label;
                for (const auto& [name, to] : c.links) {
                    EXPECT_TRUE(fs::is_symlink(Path(name))) << label << ": " << name;
                }
                std::string expected = c.targetExists ? "kept\n" : "";
                if (!fail) {
                    expected =
                        mode == ReportOpen::CreateKeep ? expected + Block(2, 0) : Block(2, 0);
                }
                EXPECT_EQ(fs::exists(target), c.targetExists || !fail) << label;
                EXPECT_EQ(ReadFile(target), expected) << label;
                struct stat st {};
                if (c.targetExists && stat(target.c_str(), &st) == 0) {
                    EXPECT_EQ(st.st_mode & 0777, 0640u) << label;
                }
            }
        }
    }
    // No temporary file was left anywhere.
    for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

// Another process creates the file after the writer found it missing and before it opens
// it. It used to open it anyway as its own, and to delete it when its block failed.
TEST_F(FileWrite, FileAppearingAfterTheLookIsNotTakenForOurs) {
    static std::string appearing;
    SetFileStageHookForTesting([](FileStage stage, const std::string& path) {
        if (stage == FileStage::Resolved && path == appearing && !fs::exists(path)) {
            WriteFile(path, "theirs\n");
        }
    });
    const struct {
        ReportOpen mode;
        bool fail;
        std::string after;
    } cases[] = {
        {ReportOpen::CreateKeep, true, "theirs\n"},
        {ReportOpen::CreateKeep, false, "theirs\n" + Block(3, 0)},
        {ReportOpen::CreateEmpty, true, "theirs\n"},
        {ReportOpen::CreateEmpty, false, Block(3, 0)},  // a new file replaces what is there
    };
    for (const auto& c : cases) {
        appearing = Path("appearing.txt");
        fs::remove(appearing);
        const std::string got = InChild(FileSizeLimit(c.fail ? 200 : RLIM_INFINITY), [&] {
            return std::to_string(
                static_cast<int>(WriteBlockToFile(appearing, c.mode, Block(3, 0))));
        });
        EXPECT_EQ(got, std::to_string(static_cast<int>(c.fail ? BlockWrite::WriteFailed
                                                              : BlockWrite::Written)))
            << static_cast<int>(c.mode) << c.fail;
        EXPECT_EQ(ReadFile(appearing), c.after) << static_cast<int>(c.mode) << c.fail;
        EXPECT_EQ(Names(m_dir), std::set<std::string>{"appearing.txt"});
    }
}

}  // namespace
}  // namespace bendwise
