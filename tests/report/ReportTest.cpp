#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "report/Report.h"
#include "support/Files.h"
#include "support/ModelFixture.h"
#include "support/WorkedExample.h"

using namespace bendwise;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

const std::string kWorkedBlock = bendwise::test::kWorkedReportBlock;

std::string Pad32(std::string s) {
    s.resize(std::max<std::size_t>(s.size(), 32), ' ');
    return s;
}

using bendwise::test::ReadFile;
using bendwise::test::WriteFile;
std::string Line(const std::string& block, int number) {  // 1-based, with its line feed
    std::istringstream in(block);
    std::string line;
    for (int i = 0; i < number; ++i) std::getline(in, line);
    return line + "\n";
}

class Report : public bendwise::test::ModelTest {
  protected:
    void SetUp() override {
        dir = bendwise::test::MakeScratchDir("bendwise-report");
        ASSERT_FALSE(dir.empty());
        model.Initialize();
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return dir + "/" + name; }
    // Types into fields as a person would, Enter after each.
    void Type(std::initializer_list<std::pair<Field, const char*>> entries) {
        for (const auto& [field, text] : entries) {
            model.OnEnterKey();
            model.OnKillfocus(field, text);
        }
        host.Clear();
    }
    void TypeWorkedCurve() {
        Type({{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    }

    std::string dir;
};

TEST_F(Report, WorkedExampleByteForByte) {
    TypeWorkedCurve();
    EXPECT_EQ(BuildReportBlock(model.Record()), kWorkedBlock);
    ASSERT_EQ(kWorkedBlock.size(), 562u);

    const std::string path = Path("curve.txt");
    host.answers = {path};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::Written);
    EXPECT_EQ(host.Events(), (Strings{"ask: New Curve Data File", "sound: asterisk"}));
    EXPECT_EQ(ReadFile(path), kWorkedBlock);
    EXPECT_EQ(model.ReportPath(), path);

    // Append goes to the remembered file without a question: 22 lines, 11 and 12 separators.
    host.Clear();
    EXPECT_EQ(model.OnAppendToFile(), ReportResult::Written);
    EXPECT_EQ(host.Events(), Strings{"sound: asterisk"});
    EXPECT_EQ(ReadFile(path), kWorkedBlock + kWorkedBlock);

    // Write New File asks again and empties the file it is given, without an overwrite prompt.
    host.Clear();
    host.answers = {path};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::Written);
    EXPECT_EQ(ReadFile(path), kWorkedBlock);
}

TEST_F(Report, TextsAreWrittenAsTheyStand) {
    struct Case {
        const char* radius;
        const char* delta;
        int line;
        std::string text;
    };
    const Case cases[] = {
        {"1000", "180", 10, Pad32("Segment Area ") + "Fillet Area  \n"},
        {"1000", "180", 5, Pad32("Delta/2      90 00  0.0") + "Tangent      Out of range\n"},
        {"40", "30", 3, Pad32("Degree arc   143 14 22.0") + "Lrr          undefined\n"},
        {"40", "30", 4, Pad32("Degree RR    undefined") + "Chord        20.706\n"},
        {"10", "30", 3, Pad32("Degree arc   out of range") + "Lrr          undefined\n"},
    };
    for (const auto& c : cases) {
        Type({{Field::Radius, c.radius}, {Field::Delta, c.delta}});
        EXPECT_EQ(Line(BuildReportBlock(model.Record()), c.line), c.text)
            << c.radius << " " << c.delta;
    }
}

TEST_F(Report, FileModes) {
    const std::string block = "block\n", old = "old\n";
    const std::string existing = Path("existing.txt"), missing = Path("missing.txt");
    struct Case {
        ReportOpen mode;
        bool exists;
        BlockWrite result;
        std::optional<std::string> after;
    };
    const Case cases[] = {
        {ReportOpen::CreateEmpty, true, BlockWrite::Written, block},
        {ReportOpen::CreateEmpty, false, BlockWrite::Written, block},
        {ReportOpen::CreateKeep, true, BlockWrite::Written, old + block},
        {ReportOpen::CreateKeep, false, BlockWrite::Written, block},
        {ReportOpen::ExistingKeep, true, BlockWrite::Written, old + block},
        {ReportOpen::ExistingKeep, false, BlockWrite::OpenFailed, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string& path = c.exists ? existing : missing;
        fs::remove(path);
        if (c.exists) WriteFile(path, old);
        EXPECT_EQ(WriteBlockToFile(path, c.mode, block), c.result) << static_cast<int>(c.mode);
        EXPECT_EQ(fs::exists(path), c.after.has_value());
        if (c.after) {
            EXPECT_EQ(ReadFile(path), *c.after);
        }
    }
    // A directory cannot be opened; /dev/full opens and takes nothing. (A read-only file
    // cannot be tested here: the tests run as root, which writes to it anyway.)
    for (auto mode : {ReportOpen::CreateEmpty, ReportOpen::CreateKeep, ReportOpen::ExistingKeep}) {
        EXPECT_EQ(WriteBlockToFile(dir, mode, block), BlockWrite::OpenFailed);
        EXPECT_EQ(WriteBlockToFile("/dev/full", mode, kWorkedBlock), BlockWrite::WriteFailed);
    }
}

// A file size limit makes the block stop part way, as a full disk would: the file must be
// put back as it was (added bytes cut off, emptied contents restored, new file removed).
TEST_F(Report, PartialBlockIsTakenBackOut) {
    const std::string old = "old contents\n", path = Path("limited.txt"), fresh = Path("fresh.txt");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 300;
    struct Case {
        ReportOpen mode;
        bool exists;
    };
    for (const Case c : {Case{ReportOpen::CreateKeep, true}, Case{ReportOpen::ExistingKeep, true},
                         Case{ReportOpen::CreateEmpty, true}, Case{ReportOpen::CreateKeep, false},
                         Case{ReportOpen::CreateEmpty, false}}) {
        const std::string& target = c.exists ? path : fresh;
        if (c.exists) WriteFile(target, old);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const BlockWrite result = WriteBlockToFile(target, c.mode, kWorkedBlock);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(result, BlockWrite::WriteFailed) << static_cast<int>(c.mode);
        EXPECT_EQ(fs::exists(target), c.exists) << static_cast<int>(c.mode);
        if (c.exists) {
            EXPECT_EQ(ReadFile(target), old) << static_cast<int>(c.mode);
        }
    }
    std::signal(SIGXFSZ, previousHandler);
}

TEST_F(Report, ButtonFlows) {
    TypeWorkedCurve();
    const std::string askNew = "ask: New Curve Data File",
                      askAppend = "ask: No file to append - Create New";
    const std::string noOpen = "message: File does not exist or is Read-Only.";

    // Cancelling writes nothing, shows nothing.
    host.answers = {std::nullopt};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::Cancelled);
    EXPECT_EQ(host.Events(), Strings{askNew});
    EXPECT_EQ(model.ReportPath(), "");

    // Append with no file chosen yet asks, and keeps what the chosen file holds.
    const std::string first = Path("first.txt");
    WriteFile(first, "kept\n");
    host.Clear();
    host.answers = {first};
    EXPECT_EQ(model.OnAppendToFile(), ReportResult::Written);
    EXPECT_EQ(host.Events(), (Strings{askAppend, "sound: asterisk"}));
    EXPECT_EQ(ReadFile(first), "kept\n" + kWorkedBlock);

    // A cancelled question keeps the remembered path.
    host.Clear();
    host.answers = {std::nullopt};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::Cancelled);
    EXPECT_EQ(model.ReportPath(), first);

    // The remembered file was deleted: Append asks instead of failing.
    fs::remove(first);
    const std::string second = Path("second.txt");
    host.Clear();
    host.answers = {second};
    EXPECT_EQ(model.OnAppendToFile(), ReportResult::Written);
    EXPECT_EQ(host.Events(), (Strings{askAppend, "sound: asterisk"}));
    EXPECT_EQ(ReadFile(second), kWorkedBlock);
    EXPECT_FALSE(fs::exists(first));

    // The chosen file cannot be opened: message, no sound, and the path is remembered, so
    // the next Append tries it again and then asks.
    host.Clear();
    host.answers = {dir};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::OpenFailed);
    EXPECT_EQ(host.Events(), (Strings{askNew, noOpen}));
    EXPECT_EQ(model.ReportPath(), dir);
    host.Clear();
    host.answers = {std::nullopt};
    EXPECT_EQ(model.OnAppendToFile(), ReportResult::Cancelled);
    EXPECT_EQ(host.Events(), Strings{askAppend});

    // Our rule: a block that cannot be written completely says so, without the asterisk.
    host.Clear();
    host.answers = {std::string("/dev/full")};
    EXPECT_EQ(model.OnWriteNewFile(), ReportResult::WriteFailed);
    EXPECT_EQ(host.Events(),
              (Strings{askNew, std::string("message: ") + kReportIncompleteMessage}));
}

}  // namespace
