// bendwise-cli's files under stress and hostile conditions, end to end: many runs appending
// to one report at once, a file size limit, a report file another program holds locked,
// batch input that never ends or cannot be read, a standard output that cannot be
// written, and one file named in two roles.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "session/CurveModel.h"
#include "support/Files.h"
#include "support/Processes.h"
#include "support/RecordingHost.h"

namespace bendwise {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

constexpr const char* kSeparator = "- - - - - - -                    \n";

// The report blocks of a file, checked whole: 11 lines from separator to separator.
// Returns the radius text of each block, or stops at the first torn one.
std::vector<std::string> Radii(const std::string& text, std::string& fault) {
    std::vector<std::string> radii;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = at;
        for (int line = 0; line < 11 && end != std::string::npos; ++line) {
            end = text.find('\n', end);
            if (end != std::string::npos) ++end;
        }
        if (end == std::string::npos) {
            fault = "cut block at byte " + std::to_string(at);
            return radii;
        }
        const std::string block = text.substr(at, end - at);
        if (block.rfind(kSeparator, 0) != 0 ||
            block.compare(block.size() - 34, 34, kSeparator) != 0 ||
            block.compare(34, 13, "Radius       ") != 0) {
            fault = "torn block at byte " + std::to_string(at);
            return radii;
        }
        radii.push_back(block.substr(47, block.find(' ', 47) - 47));
        at = end;
    }
    return radii;
}

class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = test::MakeScratchDir("bendwise-clifiles");
        ASSERT_FALSE(m_dir.empty());
        WriteFile(m_dir / "empty.txt", "");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    // Starts the program in the scratch folder; streams in files named after `name`.
    test::Started Start(const std::string& name, const std::vector<std::string>& args,
                        const std::string& in = "empty.txt",
                        const std::function<void()>& prepare = {}) {
        return test::Start(BENDWISE_CLI, args, m_dir.string(), Path(in), Path(name + ".out"),
                           Path(name + ".err"), prepare);
    }
    // Runs it to the end; returns the exit status.
    int Run(const std::string& name, const std::vector<std::string>& args,
            const std::string& in = "empty.txt", const std::function<void()>& prepare = {}) {
        test::Started run = Start(name, args, in, prepare);
        run.Wait();
        last = run;
        return run.status;
    }
    std::string Err(const std::string& name) const { return ReadFile(Path(name + ".err")); }
    std::string Out(const std::string& name) const { return ReadFile(Path(name + ".out")); }

    // A batch of `lines` lines, radius first + i, each block telling its line apart.
    void WriteBatch(const std::string& name, int first, int lines) {
        std::string text;
        for (int i = 0; i < lines; ++i) {
            text += "radius=" + std::to_string(first + i) + " delta=" + std::to_string(1 + i % 90) +
                    "\n";
        }
        WriteFile(m_dir / name, text);
    }

    fs::path m_dir;
    test::Started last;
};

// Eight runs of 250 lines and two of 20,000 append to one file at once. Each run holds the
// file locked, so blocks neither tear nor interleave; a run that waits past the lock's
// patience ends with 3 and has written nothing. Seeking to the end and writing lost a
// fifth of the lines of two such batches.
TEST_F(CliFiles, ConcurrentRunsAppendEveryBlockWhole) {
    struct Batch {
        int first, lines;
    };
    std::vector<Batch> batches;
    // Radii below 100,000, which the block shows in fixed form.
    for (int r = 0; r < 8; ++r) batches.push_back({10000 + 1000 * r, 250});
    batches.push_back({20000, 20000});
    batches.push_back({40000, 20000});
    std::vector<test::Started> runs;
    for (std::size_t r = 0; r < batches.size(); ++r) {
        const std::string name = "run" + std::to_string(r);
        WriteBatch(name + ".txt", batches[r].first, batches[r].lines);
        runs.push_back(Start(name, {"--batch", name + ".txt", "--append", "shared.txt"}));
    }
    std::set<std::string> expected;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        runs[r].Wait();
        const int status = runs[r].status;
        EXPECT_TRUE(status == 0 || status == 3) << "run " << r << ": " << status;
        if (status == 0) {
            for (int i = 0; i < batches[r].lines; ++i) {
                expected.insert(std::to_string(batches[r].first + i) + ".000");
            }
        } else if (status == 3) {
            EXPECT_EQ(Err("run" + std::to_string(r)),
                      std::string("message: ") + kReportLockedMessage + "\n");
        }
    }
    std::string fault;
    const std::vector<std::string> radii = Radii(ReadFile(Path("shared.txt")), fault);
    EXPECT_EQ(fault, "");
    EXPECT_EQ(radii.size(), expected.size());  // none twice
    EXPECT_EQ(std::set<std::string>(radii.begin(), radii.end()), expected);
}

// Past a file size limit SIGXFSZ killed the run mid-block (status 153, a cut line, the old
// contents of --output gone, a truncated drawing). Now the write fails with EFBIG: exit 3,
// the message of a full disk, whole blocks only, the old file or drawing kept, and one
// asterisk for each block in the file, though a batch writes its blocks many at a time.
TEST_F(CliFiles, FileSizeLimitLeavesWholeBlocksAndOldFiles) {
    WriteBatch("lines.txt", 1000, 100);
    WriteBatch("long.txt", 1000, 2000);
    const std::string old = ReadFile(fs::path(BENDWISE_CLI_DATA) / "radius1000_delta30_az45.txt");
    const std::string incomplete = std::string("message: ") + kReportIncompleteMessage + "\n";
    const std::string part = std::string("message: ") + kReportPartMessage + "\n";
    const struct {
        const char* what;
        std::vector<std::string> args;
        rlim_t limit;
        bool blocks;    // some whole blocks were written before the limit
        bool keepsOld;  // ... after the old contents
        std::string errEnd;
    } cases[] = {
        {"append", {"--batch", "lines.txt", "--append", "file.txt"}, 3000, true, true, incomplete},
        {"new file", {"--batch", "lines.txt", "--output", "file.txt"}, 2000, true, false, part},
        {"append, past many writes of blocks together",
         {"--batch", "long.txt", "--append", "file.txt"},
         600000,
         true,
         true,
         incomplete},
        {"new file, no room for one block",
         {"radius=1000", "--output", "file.txt"},
         300,
         false,
         true,
         incomplete},
        {"drawing",
         {"radius=1000", "--svg", "file.txt"},
         4000,
         false,
         true,
         "bendwise-cli: cannot write SVG file 'file.txt': File too large\n"},
    };
    for (const auto& c : cases) {
        WriteFile(m_dir / "file.txt", old);
        const rlim_t limit = c.limit;
        EXPECT_EQ(
            Run("limited", c.args, "empty.txt", [limit] { test::LimitFileSize(limit, false); }), 3)
            << c.what;
        const std::string err = Err("limited");
        EXPECT_GE(err.size(), c.errEnd.size()) << c.what;
        EXPECT_EQ(err.substr(err.size() - std::min(err.size(), c.errEnd.size())), c.errEnd)
            << c.what;
        const std::string now = ReadFile(m_dir / "file.txt");
        if (!c.blocks) {
            EXPECT_EQ(now, old) << c.what;
            continue;
        }
        const std::string kept = c.keepsOld ? old : "";
        ASSERT_EQ(now.compare(0, kept.size(), kept), 0) << c.what;
        std::string fault;
        const std::size_t blocks = Radii(now.substr(kept.size()), fault).size();
        EXPECT_GE(blocks, 1u) << c.what;
        EXPECT_EQ(fault, "") << c.what;
        // Every block that fitted is there: the next (a block of these curves is under 600
        // bytes) would not have.
        EXPECT_LE(now.size(), c.limit) << c.what;
        EXPECT_GT(now.size() + 600, c.limit) << c.what;
        std::size_t asterisks = 0;
        for (std::size_t at = err.find("sound: asterisk\n"); at != std::string::npos;
             at = err.find("sound: asterisk\n", at + 1)) {
            ++asterisks;
        }
        EXPECT_EQ(asterisks, blocks) << c.what;
    }
    // No temporary file was left behind.
    for (const auto& entry : fs::directory_iterator(m_dir)) {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

// A report file another program keeps locked: after kLockWait the run says so, exits 3 and
// writes nothing, and so does a press of "Append to File" in the window, at the same time.
TEST_F(CliFiles, LockedReportFileWritesNothing) {
    const std::string path = Path("locked.txt");
    WriteFile(path, "held\n");
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    test::Started run = Start("locked", {"radius=1000", "--append", "locked.txt", "--describe"});

    CCurveMemory memory;
    test::RecordingHost host;
    CCurveModel model(&memory, &host);
    model.Initialize();
    host.Clear();
    host.answers = {path};
    EXPECT_EQ(model.OnAppendToFile(), ReportResult::Locked);
    EXPECT_EQ(host.Events(),
              (std::vector<std::string>{"ask: No file to append - Create New",
                                        std::string("message: ") + kReportLockedMessage}));
    run.Wait();
    EXPECT_GE(std::chrono::steady_clock::now() - start, kLockWait);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(Err("locked"), std::string("message: ") + kReportLockedMessage + "\n");
    EXPECT_EQ(Out("locked"), "");
    EXPECT_EQ(ReadFile(path), "held\n");
    close(fd);
}

// A batch is read a bounded line at a time: a line of a megabyte, or /dev/zero, which
// has no line end at all and grew the memory by a gigabyte a second, stops the run with
// exit 2. A read that fails is exit 2, not the end of the batch.
TEST_F(CliFiles, BatchInputIsBoundedAndReadErrorsAreUsageErrors) {
    WriteFile(m_dir / "long.txt", "radius=1000\n" + std::string(1 << 20, ' ') + "\nradius=2000\n");
    WriteFile(m_dir / "edge.txt", std::string(65536, ' ') + "\nradius=1000\n");
    fs::create_directory(m_dir / "folder");
    const struct {
        std::string batch;
        int status;
        std::string err;
        int blocks;
    } cases[] = {
        {"/dev/zero", 2, "line 1: line too long\n", 0},
        {"long.txt", 2, "line 2: line too long\n", 1},
        {"edge.txt", 0, "", 1},  // 65,536 blanks: the longest line taken
        {"folder", 2, "bendwise-cli: cannot read batch input: Is a directory\n", 0},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Run("batch", {"--batch", c.batch}), c.status) << c.batch;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.batch;
        EXPECT_LT(last.maxRssKb, 50 * 1024) << c.batch;
        EXPECT_EQ(Err("batch"), c.err) << c.batch;
        std::string fault;
        EXPECT_EQ(Radii(Out("batch"), fault).size(), static_cast<std::size_t>(c.blocks)) << c.batch;
    }
}

// A standard output that cannot be written stops the run at once with exit 3: it went on
// appending every block (and drawing every curve) and failed only at the end.
TEST_F(CliFiles, FailedStandardOutputStopsBeforeTheNextFile) {
    WriteBatch("lines.txt", 1000, 50);
    const struct {
        std::vector<std::string> args;
        std::string written;
    } cases[] = {
        {{"--batch", "lines.txt", "--append", "report.txt", "--describe"}, "report.txt"},
        {{"--batch", "lines.txt", "--svg", "plan.svg"}, ""},
    };
    for (const auto& c : cases) {
        test::Started run = test::Start(BENDWISE_CLI, c.args, m_dir.string(), Path("empty.txt"),
                                        "/dev/full", Path("full.err"));
        run.Wait();
        EXPECT_EQ(run.status, 3) << c.args[2];
        const std::string err = ReadFile(Path("full.err"));
        EXPECT_NE(err.find("bendwise-cli: cannot write standard output\n"), std::string::npos);
        // The first curve's report block went to the file before its text failed; its
        // drawing comes after its block on standard output, and was not drawn.
        std::set<std::string> files{"empty.txt", "lines.txt", "full.err"};
        if (!c.written.empty()) files.insert(c.written);
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            found.insert(entry.path().filename().string());
        }
        EXPECT_EQ(found, files) << c.args[2];
        std::string fault;
        if (c.written == "report.txt") {
            EXPECT_EQ(Radii(ReadFile(Path("report.txt")), fault).size(), 1u);
        }
        if (!c.written.empty()) fs::remove(Path(c.written));
        fs::remove(Path("full.err"));
    }
}

// --output /dev/stdout with both streams redirected to one file: the block went to a fresh
// open of the file, at its start, and standard error's asterisk landed over its first line.
TEST_F(CliFiles, StandardOutputAsTheReportFileKeepsTheStreams) {
    const std::string command = "cd '" + m_dir.string() +
                                "' && LC_ALL=C '" BENDWISE_CLI
                                "' radius=1000 delta=30 inbound-az=45 --output /dev/stdout" +
                                " > merged.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(Path("merged.txt")),
              ReadFile(fs::path(BENDWISE_CLI_DATA) / "radius1000_delta30_az45.txt") +
                  "sound: asterisk\n");
}

// One file in two roles destroyed the batch (--batch f --output f) or the log (--append log
// --svg log). Refused before anything is read or written, by name, link or inode.
TEST_F(CliFiles, OneFileInTwoRolesIsRefused) {
    WriteBatch("in.txt", 1000, 3);
    WriteFile(m_dir / "log.txt", "log\n");
    ASSERT_EQ(symlink("in.txt", Path("alias.txt").c_str()), 0);
    ASSERT_EQ(link(Path("log.txt").c_str(), Path("hard.txt").c_str()), 0);
    WriteBatch("plan-2.svg", 2000, 3);
    const struct {
        std::vector<std::string> args;
        std::string in;
        std::string err;
    } cases[] = {
        {{"--batch", "in.txt", "--output", "in.txt"},
         "empty.txt",
         "bendwise-cli: --output 'in.txt' and --batch 'in.txt' are the same file\n"},
        {{"--append", "log.txt", "--svg", "log.txt", "radius=1000"},
         "empty.txt",
         "bendwise-cli: --svg 'log.txt' and --append 'log.txt' are the same file\n"},
        {{"--batch", "in.txt", "--append", "alias.txt"},
         "empty.txt",
         "bendwise-cli: --append 'alias.txt' and --batch 'in.txt' are the same file\n"},
        {{"--output", "./hard.txt", "--svg", "log.txt", "radius=1000"},
         "empty.txt",
         "bendwise-cli: --svg 'log.txt' and --output './hard.txt' are the same file\n"},
        {{"--batch", "-", "--output", "in.txt"},
         "in.txt",
         "bendwise-cli: --output 'in.txt' and --batch '-' are the same file\n"},
        {{"--batch", "plan-2.svg", "--svg", "plan.svg"},
         "empty.txt",
         "bendwise-cli: --svg 'plan.svg' and --batch 'plan-2.svg' are the same file\n"},
        {{"--output", "new.txt", "--svg", "sub/../new.txt", "radius=1000"},
         "empty.txt",
         "bendwise-cli: --svg 'sub/../new.txt' and --output 'new.txt' are the same file\n"},
    };
    fs::create_directory(m_dir / "sub");
    // Every file of the folder (the folder "sub" aside) with its contents.
    auto files = [&] {
        std::map<std::string, std::string> all;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_directory() && name != "roles.out" && name != "roles.err") {
                all[name] = ReadFile(entry.path());
            }
        }
        return all;
    };
    const std::map<std::string, std::string> before = files();
    for (const auto& c : cases) {
        EXPECT_EQ(Run("roles", c.args, c.in), 2) << c.err;
        EXPECT_EQ(Err("roles"), c.err);
        EXPECT_EQ(Out("roles"), "");
        EXPECT_EQ(files(), before) << c.err;
    }
    // A device takes both roles: nothing is refused.
    EXPECT_EQ(Run("roles", {"--output", "/dev/null", "--svg", "/dev/null", "radius=1000"}), 0);
}

}  // namespace
// A batch fed slowly through a pipe has each block in the file as soon as its line is
// solved, not when 64 KiB have queued up or the input ends: killed after its third line,
// the run has left three whole blocks. And when another program replaces the report file
// while the batch waits, the next block is not written into the lost file: the run stops
// with 3 and says so (it used to write on and end with 0).
TEST_F(CliFiles, SlowlyFedBatchWritesEachBlockBeforeWaiting) {
    for (const bool replace : {false, true}) {
        const std::string fifo = Path("slow.fifo");
        fs::remove(fifo);
        fs::remove(Path("r.txt"));
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        test::Started run = Start("slow", {"--batch", "-", "--append", "r.txt"}, "slow.fifo");
        const int feed = open(fifo.c_str(), O_WRONLY);
        ASSERT_GE(feed, 0);
        auto blocksWithin = [&](int blocks) {
            for (int i = 0; i < 500; ++i) {  // 5 s at most
                const std::string file = fs::exists(Path("r.txt")) ? ReadFile(Path("r.txt")) : "";
                if (std::count(file.begin(), file.end(), '\n') >= 11 * blocks) return true;
                usleep(10000);
            }
            return false;
        };
        int blocks = 0;
        for (const std::string line : {"radius=1000 delta=30\n", "larc=600\n", "chord=500\n"}) {
            ASSERT_EQ(write(feed, line.data(), line.size()), static_cast<ssize_t>(line.size()));
            EXPECT_TRUE(blocksWithin(++blocks)) << line;
            if (replace) {
                WriteFile(Path("other.txt"), "another program's\n");
                ASSERT_EQ(rename(Path("other.txt").c_str(), Path("r.txt").c_str()), 0);
                const std::string next = "radius=2000\n";
                ASSERT_EQ(write(feed, next.data(), next.size()), static_cast<ssize_t>(next.size()));
                break;
            }
        }
        if (replace) {
            run.Wait();
            EXPECT_EQ(run.status, 3);
            EXPECT_EQ(Err("slow"),
                      std::string("sound: asterisk\nmessage: ") + kReportMovedMessage + "\n");
            EXPECT_EQ(ReadFile(Path("r.txt")), "another program's\n");
        } else {
            kill(run.pid, SIGKILL);
            run.Wait();
            std::string fault;
            EXPECT_EQ(Radii(ReadFile(Path("r.txt")), fault).size(), 3u) << fault;
            EXPECT_EQ(fault, "");
        }
        close(feed);
    }
}

// Long batches to --append and --output, each killed at a random moment by SIGINT, SIGTERM
// or SIGKILL, and then another run appends one block. Every report file is then the old
// contents (gone only when --output had replaced the file) and whole blocks, the other
// run's last. Linux ends a large write() between pages on a fatal signal: 31 of 310 such
// kills left a torn block, and the next append glued onto it.
TEST_F(CliFiles, KilledBatchesLeaveOldContentsAndWholeBlocks) {
    WriteBatch("long.txt", 1000, 50000);
    std::mt19937 random(310);
    const int signals[] = {SIGINT, SIGTERM, SIGKILL};
    for (int round = 0; round < 200; ++round) {
        const bool output = round % 2 == 1;
        const int signal = signals[round / 2 % 3];
        const std::string label = std::string(output ? "--output" : "--append") + ", signal " +
                                  std::to_string(signal) + ", round " + std::to_string(round);
        WriteFile(m_dir / "r.txt", "OLD\n");
        test::Started run =
            Start("killed", {"--batch", "long.txt", output ? "--output" : "--append", "r.txt"});
        usleep(static_cast<useconds_t>(random() % 120000));
        kill(run.pid, signal);
        run.Wait();
        ASSERT_EQ(Run("next", {"radius=77", "--append", "r.txt"}), 0) << label << Err("next");
        std::string text = ReadFile(m_dir / "r.txt");
        const bool old = text.compare(0, 4, "OLD\n") == 0;
        EXPECT_TRUE(old || output) << label << ": the old contents are gone";
        if (old) text.erase(0, 4);
        std::string fault;
        const std::vector<std::string> radii = Radii(text, fault);
        EXPECT_EQ(fault, "") << label;
        ASSERT_FALSE(radii.empty()) << label;
        EXPECT_EQ(radii.back(), "77.000") << label;
        for (std::size_t i = 0; i + 1 < radii.size(); ++i) {
            ASSERT_EQ(radii[i], std::to_string(1000 + i) + ".000") << label << ", block " << i;
        }
    }
}

// Runs that cannot do what was asked end with a status and a reason, and write nothing
// they should not: a per-line drawing that is a link to the batch file (the check of names
// up front cannot see it: the batch was replaced by an SVG), a stakeout interval too short
// for the curve (no table, yet files without the stakes and status 0), and a standard
// output whose reader has gone (SIGPIPE, status 141).
TEST_F(CliFiles, RunsThatCannotFinishSayWhyWithTheirStatus) {
    const std::string batch = "radius=500 delta=20\nleft=on\nradius=700\n";
    WriteFile(m_dir / "b.txt", batch);
    ASSERT_EQ(symlink("b.txt", Path("plan-2.svg").c_str()), 0);
    EXPECT_EQ(Run("roles", {"--batch", "b.txt", "--svg", "plan.svg"}), 3);
    EXPECT_EQ(Err("roles"),
              "bendwise-cli: cannot write SVG file 'plan-2.svg': it is the --batch "
              "file 'b.txt'\n");
    EXPECT_EQ(ReadFile(m_dir / "b.txt"), batch);
    EXPECT_TRUE(fs::exists(Path("plan-1.svg")));

    EXPECT_EQ(Run("stakes", {"radius=1000", "delta=30", "--pi-station", "10+00", "--stakeout",
                             "0.001", "--pc", "0,0", "--points", "p.csv"}),
              1);
    EXPECT_EQ(Err("stakes"),
              "bendwise-cli: no stakeout: a stakeout interval this short gives more than 100000 "
              "points\nbendwise-cli: not written: p.csv: the stakeout asked for could not be "
              "made\n");
    EXPECT_FALSE(fs::exists(Path("p.csv")));

    WriteBatch("long.txt", 1000, 20000);
    const std::string command = "cd '" + m_dir.string() + "' && { '" + BENDWISE_CLI +
                                "' --batch long.txt 2>pipe.err; echo $? >pipe.status; } | "
                                "head -c 100 >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(m_dir / "pipe.status"), "3\n");
    const std::string err = ReadFile(m_dir / "pipe.err");
    EXPECT_EQ(err.substr(err.size() - std::min<std::size_t>(err.size(), 45)),
              "bendwise-cli: cannot write standard output\n");
}

}  // namespace bendwise
