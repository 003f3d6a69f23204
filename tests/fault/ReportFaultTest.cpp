// Fault injection for the report writer: a full disk (/dev/full), a file size limit that
// stops a block part way (RLIMIT_FSIZE in a forked child, SIGXFSZ ignored: write() then
// returns a short count and EFBIG, a real partial write), a read-only file, a directory, a
// folder that does not exist, and a remembered file deleted or made read-only between two
// "Append to File" presses.
//
// Whatever the fault, the file must end byte-identical to what it held before whenever the
// block could not be written completely; the user sees "File does not exist or is
// Read-Only." when the open fails and kReportIncompleteMessage when the write does, and
// the asterisk only after a complete block.
//
// Read-only as root: root ignores file modes, so a file is made read-only with the
// immutable attribute (chattr +i) where the file system has it; elsewhere the scenario runs
// in a forked child that has given up root (setuid to nobody) and sees a mode 0444 file.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "report/Report.h"
#include "support/Files.h"
#include "support/ModelFixture.h"
#include "support/Processes.h"

using namespace bendwise;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

const std::string kAskNew = "ask: New Curve Data File";
const std::string kAskAppend = "ask: No file to append - Create New";
const std::string kOpenFailed = "message: File does not exist or is Read-Only.";
const std::string kIncomplete = std::string("message: ") + kReportIncompleteMessage;
const std::string kAsterisk = "sound: asterisk";

using bendwise::test::FileSizeLimit;
using bendwise::test::InChild;
using bendwise::test::ReadFile;
using bendwise::test::WriteFile;

const char* Name(BlockWrite w) {
    switch (w) {
        case BlockWrite::Written:
            return "Written";
        case BlockWrite::OpenFailed:
            return "OpenFailed";
        case BlockWrite::WriteFailed:
            return "WriteFailed";
        case BlockWrite::Locked:
            return "Locked";
        case BlockWrite::Moved:
            return "Moved";
    }
    return "?";
}
const char* Name(ReportResult r) {
    switch (r) {
        case ReportResult::Written:
            return "Written";
        case ReportResult::Cancelled:
            return "Cancelled";
        case ReportResult::OpenFailed:
            return "OpenFailed";
        case ReportResult::WriteFailed:
            return "WriteFailed";
        case ReportResult::Locked:
            return "Locked";
        case ReportResult::Moved:
            return "Moved";
    }
    return "?";
}
const char* Name(ReportOpen m) {
    switch (m) {
        case ReportOpen::CreateEmpty:
            return "CreateEmpty";
        case ReportOpen::CreateKeep:
            return "CreateKeep";
        case ReportOpen::ExistingKeep:
            return "ExistingKeep";
    }
    return "?";
}

// How this machine can make a file that the writer may not open for writing.
class ReadOnlyFiles {
  public:
    enum class Way { Mode, Immutable, DropRoot };

    // Every way this machine offers, tried on a probe file in `dir`: as root the immutable
    // attribute (where the file system has it) and a child that gives up root.
    static std::vector<Way> Available(const std::string& dir) {
        if (geteuid() != 0) return {Way::Mode};
        std::vector<Way> ways;
        const std::string probe = dir + "/probe";
        WriteFile(probe, "x");
        if (SetImmutable(probe, true)) {
            SetImmutable(probe, false);
            ways.push_back(Way::Immutable);
        }
        fs::remove(probe);
        if (CanDropRoot()) ways.push_back(Way::DropRoot);
        return ways;
    }

    static const char* Name(Way way) {
        switch (way) {
            case Way::Mode:
                return "mode 0444";
            case Way::Immutable:
                return "immutable attribute";
            case Way::DropRoot:
                return "mode 0444, child without root";
        }
        return "none";
    }

    static bool SetImmutable(const std::string& path, bool on) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        close(fd);
        return ok;
    }

    static bool DropRoot() { return setgid(65534) == 0 && setuid(65534) == 0 && geteuid() != 0; }

    static bool CanDropRoot() {
        return InChild(DropRoot, [] { return std::string("ok"); }) == "ok";
    }
};

class ReportFault : public bendwise::test::ModelTest {
  protected:
    void SetUp() override {
        // Under /tmp itself, whatever TMPDIR says: a child that has given up root must be
        // able to reach the folder.
        char tmpl[] = "/tmp/bendwise-fault-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        // Open to everyone: a child that has given up root creates files here too.
        chmod(dir.c_str(), 0777);
        model.Initialize();
        Type(Field::Radius, "1000");
        Type(Field::Delta, "30");
        Type(Field::InboundAz, "45");
        block = BuildReportBlock(model.Record());
        host.Clear();
    }
    void TearDown() override {
        for (const std::string& path : locked) ReadOnlyFiles::SetImmutable(path, false);
        fs::remove_all(dir);
    }
    void Type(Field field, const char* text) {
        model.OnEnterKey();
        model.OnKillfocus(field, text);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // Makes `path` unwritable for the writer in the way `way` says.
    void MakeReadOnly(const std::string& path, ReadOnlyFiles::Way way) {
        if (way == ReadOnlyFiles::Way::Immutable) {
            ASSERT_TRUE(ReadOnlyFiles::SetImmutable(path, true));
            locked.push_back(path);
        } else {
            ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        }
    }

    // The host's events and the result of one press, as one comparable line list.
    Strings Press(bool newFile) {
        host.Clear();
        const ReportResult result = model.WriteReport(newFile);
        Strings out = host.Events();
        out.push_back(std::string("result: ") + Name(result));
        return out;
    }
    static std::string Join(const Strings& lines) {
        std::string out;
        for (const auto& line : lines) out += line + "\n";
        return out;
    }

    std::string dir;
    std::string block;
    std::vector<std::string> locked;
};

// --- WriteBlockToFile against every fault, in every open mode -------------------------

TEST_F(ReportFault, FullDiskTakesNothingInAnyMode) {
    for (ReportOpen mode :
         {ReportOpen::CreateEmpty, ReportOpen::CreateKeep, ReportOpen::ExistingKeep}) {
        EXPECT_EQ(WriteBlockToFile("/dev/full", mode, block), BlockWrite::WriteFailed)
            << Name(mode);
        // The undo must not take the device away or turn it into a file.
        struct stat st {};
        ASSERT_EQ(stat("/dev/full", &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << Name(mode);
    }
}

TEST_F(ReportFault, PathsThatCannotBeOpened) {
    const std::string folder = Path("folder");
    fs::create_directory(folder);
    WriteFile(folder + "/inside.txt", "inside\n");
    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"a directory", folder},
        {"a file in a missing folder", Path("no-such-folder/report.txt")},
        {"a file in a missing folder two deep", Path("a/b/report.txt")},
        {"a missing file named like a folder", Path("missing/")},
        {"an empty path", ""},
    };
    for (const Case& c : cases) {
        for (ReportOpen mode :
             {ReportOpen::CreateEmpty, ReportOpen::CreateKeep, ReportOpen::ExistingKeep}) {
            EXPECT_EQ(WriteBlockToFile(c.path, mode, block), BlockWrite::OpenFailed)
                << c.what << ", " << Name(mode);
        }
    }
    // Nothing was created, the directory's contents are untouched.
    EXPECT_FALSE(fs::exists(Path("no-such-folder")));
    EXPECT_FALSE(fs::exists(Path("a")));
    EXPECT_FALSE(fs::exists(Path("missing")));
    EXPECT_EQ(ReadFile(folder + "/inside.txt"), "inside\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(ReportFault, ReadOnlyFileIsNotOpenedInAnyMode) {
    const auto ways = ReadOnlyFiles::Available(dir);
    if (ways.empty()) GTEST_SKIP() << "no way to make a file read-only for root here";
    for (const auto way : ways) {
        const std::string path = Path(std::string("locked-") + ReadOnlyFiles::Name(way)),
                          old = "first block\n";
        WriteFile(path, old);
        MakeReadOnly(path, way);
        auto attempt = [&] {
            std::string out;
            for (ReportOpen mode :
                 {ReportOpen::CreateEmpty, ReportOpen::CreateKeep, ReportOpen::ExistingKeep}) {
                out += std::string(Name(mode)) + ": " + Name(WriteBlockToFile(path, mode, block)) +
                       "\n";
            }
            return out;
        };
        const std::string got = way == ReadOnlyFiles::Way::DropRoot
                                    ? InChild(ReadOnlyFiles::DropRoot, attempt)
                                    : attempt();
        EXPECT_EQ(got,
                  "CreateEmpty: OpenFailed\nCreateKeep: OpenFailed\nExistingKeep: OpenFailed\n")
            << ReadOnlyFiles::Name(way);
        EXPECT_EQ(ReadFile(path), old) << ReadOnlyFiles::Name(way);
    }
}

// The size limit stops the block part way; the file must be put back exactly.
TEST_F(ReportFault, PartialWriteLeavesTheFileAsItWas) {
    const std::string old = "an older block\nand another line\n";
    struct Case {
        ReportOpen mode;
        bool exists;
        rlim_t limit;  // bytes the file may reach
        BlockWrite result;
    };
    const rlim_t B = block.size(), S = old.size();
    const Case cases[] = {
        // Appending: the block fits exactly, or misses by one byte, or cannot start.
        {ReportOpen::CreateKeep, true, S + B, BlockWrite::Written},
        {ReportOpen::CreateKeep, true, S + B - 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateKeep, true, S + 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateKeep, true, S, BlockWrite::WriteFailed},
        {ReportOpen::ExistingKeep, true, S + B, BlockWrite::Written},
        {ReportOpen::ExistingKeep, true, S + B - 1, BlockWrite::WriteFailed},
        {ReportOpen::ExistingKeep, true, S + 100, BlockWrite::WriteFailed},
        // A new file over an existing one: the old contents survive a failed block. The
        // new file is written beside the old one, so it needs room for the block alone.
        {ReportOpen::CreateEmpty, true, B - 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateEmpty, true, B, BlockWrite::Written},
        {ReportOpen::CreateEmpty, true, S + 3, BlockWrite::WriteFailed},
        // No file before: none after.
        {ReportOpen::CreateEmpty, false, B - 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateEmpty, false, 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateKeep, false, B - 1, BlockWrite::WriteFailed},
        {ReportOpen::CreateEmpty, false, B, BlockWrite::Written},
        {ReportOpen::ExistingKeep, false, B, BlockWrite::OpenFailed},
    };
    for (const Case& c : cases) {
        const std::string path = Path("limited.txt");
        fs::remove(path);
        if (c.exists) WriteFile(path, old);
        const std::string got = InChild(FileSizeLimit(c.limit), [&] {
            return std::string(Name(WriteBlockToFile(path, c.mode, block)));
        });
        const std::string label = std::string(Name(c.mode)) + (c.exists ? " on a file" : " new") +
                                  ", limit " + std::to_string(c.limit);
        EXPECT_EQ(got, Name(c.result)) << label;
        std::optional<std::string> expected;
        if (c.result == BlockWrite::Written) {
            expected = (c.exists && c.mode != ReportOpen::CreateEmpty ? old : "") + block;
        } else if (c.exists) {
            expected = old;
        }
        EXPECT_EQ(fs::exists(path), expected.has_value()) << label;
        if (expected && fs::exists(path)) {
            EXPECT_EQ(ReadFile(path), *expected) << label;
        }
    }
}

// --- The two buttons -------------------------------------------------------------------

TEST_F(ReportFault, WriteNewFileResponses) {
    const std::string folder = Path("folder");
    fs::create_directory(folder);
    struct Case {
        const char* what;
        std::string answer;
        Strings events;
    };
    const Case cases[] = {
        {"full disk", "/dev/full", {kAskNew, kIncomplete, "result: WriteFailed"}},
        {"directory", folder, {kAskNew, kOpenFailed, "result: OpenFailed"}},
        {"missing folder",
         Path("gone/CurveData.txt"),
         {kAskNew, kOpenFailed, "result: OpenFailed"}},
    };
    for (const Case& c : cases) {
        host.answers = {c.answer};
        EXPECT_EQ(Press(true), c.events) << c.what;
        // The confirmed path is remembered even when it could not be used.
        EXPECT_EQ(model.ReportPath(), c.answer) << c.what;
    }
    EXPECT_FALSE(fs::exists(Path("gone")));
}

TEST_F(ReportFault, AppendToRememberedFullDiskSaysIncompleteWithoutAsking) {
    host.answers = {std::string("/dev/full")};
    EXPECT_EQ(Press(false), (Strings{kAskAppend, kIncomplete, "result: WriteFailed"}));
    // Remembered now: /dev/full opens, so the next press writes (and fails) without a dialog.
    EXPECT_EQ(Press(false), (Strings{kIncomplete, "result: WriteFailed"}));
}

TEST_F(ReportFault, RememberedFileDeletedBetweenTwoAppends) {
    const std::string first = Path("first.txt"), second = Path("second.txt");
    host.answers = {first};
    EXPECT_EQ(Press(false), (Strings{kAskAppend, kAsterisk, "result: Written"}));
    fs::remove(first);

    // Asked again; cancelling writes nothing and does not bring the old file back.
    host.answers = {std::nullopt};
    EXPECT_EQ(Press(false), (Strings{kAskAppend, "result: Cancelled"}));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(model.ReportPath(), first);

    // Asked again; a new name gets a file with one block.
    host.answers = {second};
    EXPECT_EQ(Press(false), (Strings{kAskAppend, kAsterisk, "result: Written"}));
    EXPECT_EQ(ReadFile(second), block);
    EXPECT_FALSE(fs::exists(first));
}

TEST_F(ReportFault, RememberedFileMadeReadOnlyBetweenTwoAppends) {
    const auto ways = ReadOnlyFiles::Available(dir);
    if (ways.empty()) GTEST_SKIP() << "no way to make a file read-only for root here";
    for (const auto way : ways) {
        const std::string name = ReadOnlyFiles::Name(way);
        const std::string first = Path("first-" + name), second = Path("second-" + name);
        model.Initialize();  // same curve, no remembered file
        ASSERT_EQ(BuildReportBlock(model.Record()), block);

        // First press: asks, creates the file with one block.
        host.answers = {first};
        EXPECT_EQ(Press(false), (Strings{kAskAppend, kAsterisk, "result: Written"})) << name;
        const std::string before = ReadFile(first);
        EXPECT_EQ(before, block) << name;
        MakeReadOnly(first, way);

        // Second press: the remembered file cannot be opened, so it asks again without a
        // message; choosing the same file fails to open; the third press asks once more and
        // a new name is written.
        auto presses = [&] {
            host.answers = {first, second};
            Strings all = Press(false);
            for (const auto& line : Press(false)) all.push_back(line);
            return Join(all);
        };
        const std::string got = way == ReadOnlyFiles::Way::DropRoot
                                    ? InChild(ReadOnlyFiles::DropRoot, presses)
                                    : presses();
        EXPECT_EQ(got, Join({kAskAppend, kOpenFailed, "result: OpenFailed", kAskAppend, kAsterisk,
                             "result: Written"}))
            << name;
        EXPECT_EQ(ReadFile(first), before) << name;
        EXPECT_EQ(ReadFile(second), block) << name;
    }
}

TEST_F(ReportFault, FullDiskUnderEitherButtonKeepsTheFile) {
    // The file holds two blocks of an earlier curve; a file may then grow by less than one
    // more block (Append), or a new file hold less than one block (Write New File).
    const std::string path = Path("CurveData.txt");
    host.answers = {path};
    EXPECT_EQ(Press(true), (Strings{kAskNew, kAsterisk, "result: Written"}));
    EXPECT_EQ(Press(false), (Strings{kAsterisk, "result: Written"}));
    const std::string before = ReadFile(path);
    ASSERT_EQ(before, block + block);
    Type(Field::Radius, "500");  // a different block, so a stray copy would show
    const rlim_t B = BuildReportBlock(model.Record()).size();

    struct Case {
        bool newFile;
        rlim_t room;
        Strings events;
    };
    const rlim_t S = before.size();
    const Case cases[] = {
        {true, B - 1, {kAskNew, kIncomplete, "result: WriteFailed"}},
        {true, 10, {kAskNew, kIncomplete, "result: WriteFailed"}},
        {false, S + 10, {kIncomplete, "result: WriteFailed"}},
        {false, S + B - 1, {kIncomplete, "result: WriteFailed"}},
    };
    for (const Case& c : cases) {
        const std::string got = InChild(FileSizeLimit(c.room), [&] {
            host.answers = {path};
            return Join(Press(c.newFile));
        });
        EXPECT_EQ(got, Join(c.events))
            << (c.newFile ? "Write New File" : "Append to File") << ", room " << c.room;
        EXPECT_EQ(ReadFile(path), before);
    }
}

}  // namespace
