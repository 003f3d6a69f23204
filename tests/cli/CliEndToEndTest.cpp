// bendwise-cli run end to end: the built program with real arguments, real files and real
// standard streams, its exit status and every byte it writes compared.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bendwise/Version.h"
#include "session/CurveModel.h"
#include "support/CliCommand.h"
#include "support/EntryForms.h"
#include "support/Files.h"

namespace bendwise {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

using bendwise::test::ReadFile;
using bendwise::test::WriteFile;

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

// The report block of the worked example (radius 1000, Delta 30, inbound azimuth 45,
// turning right, square units), written out by hand from the report's table.
std::string ExpectedWorkedBlock() {
    return ReadFile(fs::path(BENDWISE_CLI_DATA) / "radius1000_delta30_az45.txt");
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = bendwise::test::MakeScratchDir("bendwise-cli");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }

    fs::path Path(const std::string& name) const { return m_dir / name; }

    // Runs the program with `args`, `input` on standard input, in the C locale. With
    // `merged`, standard error goes into the same file as standard output (2>&1), and
    // `out` holds both.
    RunResult Run(const std::vector<std::string>& args, const std::string& input = "",
                  bool merged = false) {
        const fs::path inPath = Path("stdin.txt");
        const fs::path outPath = Path("stdout.txt");
        const fs::path errPath = Path("stderr.txt");
        WriteFile(inPath, input);
        std::vector<char*> argv;
        std::vector<std::string> copies = test::CliCommand();
        copies.insert(copies.end(), args.begin(), args.end());
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);

        const pid_t pid = fork();
        if (pid == 0) {
            const int in = open(inPath.c_str(), O_RDONLY);
            const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err =
                merged ? out : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || out < 0 || err < 0) _exit(127);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            setenv("LC_ALL", "C", 1);
            setenv("TZ", "UTC", 1);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        RunResult result;
        int wstatus = 0;
        if (pid > 0 && waitpid(pid, &wstatus, 0) == pid && WIFEXITED(wstatus)) {
            result.status = WEXITSTATUS(wstatus);
        }
        result.out = ReadFile(outPath);
        if (!merged) result.err = ReadFile(errPath);
        return result;
    }

    fs::path m_dir;
};

// --- the default run and the report file ------------------------------------------------

TEST_F(Cli, NoEntriesPrintsTheStartCurve) {
    const RunResult r = Run({});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(CountLines(r.out), 11);
    std::istringstream lines(r.out);
    std::vector<std::string> line(11);
    for (std::string& l : line) std::getline(lines, l);
    EXPECT_EQ(line[0], "- - - - - - -                    ");
    EXPECT_EQ(line[1], "Radius       5729.578           Larc         100.000");
    EXPECT_EQ(line[5], "Delta        1 00  0.0          Inbound Az   0 00  0.0");
    EXPECT_EQ(line[10], line[0]);
}

TEST_F(Cli, StandardOutputBlockEqualsTheFileBlock) {
    const RunResult r = Run({"radius=1000", "delta=30", "inbound-az=45"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ExpectedWorkedBlock());
    EXPECT_EQ(r.err, "");  // a block on standard output makes no sound
}

TEST_F(Cli, OutputWritesTheWorkedExampleFile) {
    const fs::path file = Path("curve.txt");
    const RunResult r =
        Run({"radius=1000", "delta=30", "inbound-az=45", "--output", file.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "sound: asterisk\n");
    const std::string written = ReadFile(file);
    EXPECT_EQ(written.size(), 562u);
    EXPECT_EQ(written, ExpectedWorkedBlock());

    // A second run appending makes it two blocks, 22 lines, lines 11 and 12 separators.
    const RunResult again =
        Run({"radius=1000", "delta=30", "inbound-az=45", "--append", file.string()});
    if (!test::CliAppends()) {
        EXPECT_EQ(again.status, 2);
        EXPECT_EQ(again.err.rfind(std::string("bendwise-cli: ") + test::kAppendRefused, 0), 0u);
        EXPECT_EQ(ReadFile(file), ExpectedWorkedBlock());
        return;
    }
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "sound: asterisk\n");
    const std::string twice = ReadFile(file);
    EXPECT_EQ(CountLines(twice), 22);
    EXPECT_EQ(twice, ExpectedWorkedBlock() + ExpectedWorkedBlock());
}

TEST_F(Cli, OutputEmptiesAnExistingFileOnce) {
    const fs::path file = Path("curve.txt");
    WriteFile(file, "old contents\n");
    const std::string line = "radius=1000 delta=30 inbound-az=45\n";
    const RunResult r = Run({"--output=" + file.string(), "--batch", "-"}, line + line + line);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "sound: asterisk\nsound: asterisk\nsound: asterisk\n");
    const std::string block = ExpectedWorkedBlock();
    EXPECT_EQ(ReadFile(file), block + block + block);
}

TEST_F(Cli, AppendCreatesAMissingFileAndKeepsAnExistingOne) {
    const fs::path file = Path("new.txt");
    const std::vector<std::string> entries = {"radius=1000", "delta=30", "inbound-az=45"};
    std::vector<std::string> args = entries;
    args.insert(args.end(), {"--append", file.string()});
    if (!test::CliAppends()) {
        EXPECT_EQ(Run(args).status, 2);
        EXPECT_FALSE(fs::exists(file));
        return;
    }
    EXPECT_EQ(Run(args).status, 0);
    EXPECT_EQ(ReadFile(file), ExpectedWorkedBlock());

    const fs::path kept = Path("kept.txt");
    WriteFile(kept, "first line\n");
    args = entries;
    args.insert(args.end(), {"--append", kept.string()});
    EXPECT_EQ(Run(args).status, 0);
    EXPECT_EQ(ReadFile(kept), "first line\n" + ExpectedWorkedBlock());
}

TEST_F(Cli, UnwritableReportFileStopsWithStatus3) {
    // A directory cannot be opened as a file, in either mode.
    for (const char* option : {"--output", "--append"}) {
        if (!test::CliAppends() && std::string(option) == "--append") continue;
        const RunResult r = Run({"radius=1000", option, m_dir.string()});
        EXPECT_EQ(r.status, 3) << option;
        EXPECT_EQ(r.out, "") << option;
        EXPECT_EQ(r.err, "message: File does not exist or is Read-Only.\n") << option;
    }
    // The run stops at the first block that fails: later batch lines do not run.
    const RunResult r =
        Run({"--output", m_dir.string(), "--batch", "-"}, "radius=1000\nradius=abc\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "message: File does not exist or is Read-Only.\n");
}

TEST_F(Cli, FieldsListsEveryTextAndThePair) {
    const RunResult r = Run({"--fields", "radius=1000", "delta=30", "inbound-az=45"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "radius=1000.000\n"
              "degree-arc=5 43 46.5\n"
              "degree-chord=5 43 55.1\n"
              "larc=523.599\n"
              "lrr=523.380\n"
              "chord=517.638\n"
              "tangent=267.949\n"
              "delta=30 00  0.0\n"
              "half-delta=15 00  0.0\n"
              "inbound-az=45 00  0.0\n"
              "chord-az=60 00  0.0\n"
              "outbound-az=75 00  0.0\n"
              "external=35.276\n"
              "mid-ordinate=34.074\n"
              "delta-x=448.288\n"  // 517.638 x sin 60
              "delta-y=258.819\n"  // 517.638 x cos 60
              "circle-area=3.1415927e+006\n"
              "sector-area=2.6179939e+005\n"
              "segment-area=11799.388\n"
              "fillet-area=6149.805\n"
              "pair=delta,radius\n");
}

TEST_F(Cli, FieldsWithOutputGoToStandardOutputAndTheBlockToTheFile) {
    const fs::path file = Path("curve.txt");
    const RunResult r =
        Run({"--fields", "--output", file.string(), "radius=1000", "delta=30", "inbound-az=45"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(CountLines(r.out), 21);
    EXPECT_EQ(ReadFile(file), ExpectedWorkedBlock());
}

// --- check boxes ----------------------------------------------------------------------

TEST_F(Cli, CheckBoxesChangeOnlyWhatTheyDerive) {
    const RunResult r =
        Run({"--fields", "radius=1000", "delta=30", "inbound-az=45", "left=on", "acres=on"});
    EXPECT_EQ(r.status, 0);
    // Turning left: the azimuths turn the other way, Delta X and Delta Y swap.
    EXPECT_NE(r.out.find("chord-az=30 00  0.0\noutbound-az=15 00  0.0\n"), std::string::npos);
    EXPECT_NE(r.out.find("delta-x=258.819\ndelta-y=448.288\n"), std::string::npos);
    // Areas in acres of 43,560 square units: 3141592.65 / 43560 = 72.121.
    EXPECT_NE(r.out.find("circle-area=72.121\nsector-area=6.010\nsegment-area=0.271\n"
                         "fillet-area=0.141\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("radius=1000.000\n"), std::string::npos);
}

TEST_F(Cli, CheckBoxIsClickedOnlyWhenItsStateDiffers) {
    // Arc length + tangent with a small Delta warns at every recalculation, which makes
    // each recalculation visible on standard error.
    const std::string beware = "message: Beware of rounding when T near L/2.\n";
    const struct {
        std::vector<std::string> switches;
        int recalculations;  // after the one of the larc entry
    } cases[] = {
        {{"left=off", "acres=off", "packed=on"}, 0},  // the start states: nothing clicked
        {{"left=on"}, 1},
        {{"left=on", "left=on"}, 1},
        {{"left=on", "left=off"}, 2},
        {{"acres=on"}, 1},
        {{"packed=off"}, 0},  // the packed box recalculates nothing
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"tangent=50.1", "larc=100"};
        args.insert(args.end(), c.switches.begin(), c.switches.end());
        const RunResult r = Run(args);
        EXPECT_EQ(r.status, 0) << args.back();
        std::string expected;
        for (int i = 0; i <= c.recalculations; ++i) expected += beware;
        EXPECT_EQ(r.err, expected) << args.back();
    }
}

TEST_F(Cli, PackedSwitchChangesHowAnglesAreRead) {
    const RunResult packed = Run({"--fields", "delta=12.3456"});
    EXPECT_NE(packed.out.find("\ndelta=12 34 56.0\n"), std::string::npos) << packed.out;
    const RunResult decimal = Run({"--fields", "packed=off", "delta=12.3456"});
    EXPECT_NE(decimal.out.find("\ndelta=12 20 44.2\n"), std::string::npos) << decimal.out;
}

// --- entries refused and accepted ------------------------------------------------------

struct EntryCase {
    std::vector<std::string> entries;
    std::string err;  // standard error, in order
    int status;
};

TEST_F(Cli, RefusalsAndWarningsInTheirOrder) {
    const std::string exclamation = "sound: exclamation\n";
    const std::string invalid = "message: Invalid input\n";
    // The solver's warnings say their rule themselves: no reason follows them.
    const std::string bewareL = "message: Beware of rounding when T near L/2.\n";
    const std::string near = "message: Arc near chord, sensitive to rounding.\n";
    const std::string less = "message: Larc cannot be less than Chord.\n" + exclamation;
    auto reason = [](const std::string& text) { return "reason: " + text + "\n"; };
    auto nearReason = [&](const std::string& named) {
        return reason(named +
                      ": the arc is within 0.5% of the chord, so the curve is sensitive "
                      "to rounding.");
    };
    const std::string shorter = ": the arc would be shorter than the chord: not accepted.";
    const std::string poor = " is a poorly determined pair: not accepted.";
    auto noRealCurve = [&](const std::string& other) {
        return exclamation + "message: " + kNoSolutionMessage + "\n" +
               reason("Radius with " + other +
                      ": no real curve for these values; the last curve is kept.");
    };
    const EntryCase cases[] = {
        // The arc/chord check shows its message, then the handler beeps; the reason last.
        {{"chord=100", "larc=99"}, less + reason("L arc \"99\"" + shorter), 1},
        {{"chord=100", "larc=100.4"}, near + nearReason("L arc \"100.4\""), 0},
        {{"chord=100", "larc=100.6"}, "", 0},
        {{"chord=100", "larc=158"},
         "message: Larc and Chord not implemented past semicircle.\n" + exclamation +
             reason("L arc \"158\": the arc would be longer than a semicircle on the chord: "
                    "not accepted."),
         1},
        {{"larc=100", "chord=101"}, less + reason("Chord \"101\"" + shorter), 1},
        // Radius and L arc: beep, then "Invalid input".
        {{"radius=abc"},
         exclamation + invalid + reason("Radius \"abc\" is not a number: not accepted."),
         1},
        {{"radius=0"},
         exclamation + invalid + reason("Radius must be a number greater than 0: not accepted."),
         1},
        {{"larc="}, exclamation + invalid + reason("L arc is empty: not accepted."), 1},
        {{"larc=-5"},
         exclamation + invalid + reason("L arc must be a number greater than 0: not accepted."),
         1},
        // Chord and tangent value tests: beep only.
        {{"chord=0"},
         exclamation + reason("Chord must be a number greater than 0: not accepted."),
         1},
        {{"tangent=0"}, "", 0},
        {{"tangent=-1"},
         exclamation + reason("Tangent must be a number, 0 or greater: not accepted."),
         1},
        // Lrr + chord and Lrr + tangent are refused whatever the value.
        {{"lrr=100", "chord=50"}, exclamation + reason("Chord with Lrr" + poor), 1},
        {{"lrr=100", "tangent=50"}, exclamation + reason("Tangent with Lrr" + poor), 1},
        {{"chord=50", "lrr=100"}, exclamation + reason("Lrr with Chord" + poor), 1},
        {{"tangent=50", "lrr=100"}, exclamation + reason("Lrr with Tangent" + poor), 1},
        // The order of beep and recalculation shows when the recalculation warns:
        // Lrr recalculates first, then beeps; chord beeps, then recalculates.
        {{"tangent=50.1", "larc=100", "lrr=0"},
         bewareL + bewareL + exclamation +
             reason("Lrr must be a number greater than 0: not accepted."),
         1},
        {{"tangent=50.1", "larc=100", "chord=0"},
         bewareL + exclamation + reason("Chord must be a number greater than 0: not accepted.") +
             bewareL,
         1},
        // Angles: the reader's own message, no beep, then the rule that failed.
        {{"delta=abc"},
         "message: Could not interpret input\n" +
             reason("Delta angle \"abc\": \"abc\" is not a number: not accepted."),
         1},
        {{"delta=12.345"},
         "message: Not in DDD.MMSS format\n" +
             reason("Delta angle \"12.345\": packed DD.MMSS needs four digits after the point; "
                    "clear \"Take packed\" for decimal degrees."),
         1},
        {{"packed=off", "delta=12.345"}, "", 0},
        {{"inbound-az=N 45 30"},
         "message: Could not interpret input\n" +
             reason("Inbound Az \"N 45 30\": a bearing from N or S ends in E or W: not "
                    "accepted."),
         1},
        {{"inbound-az=N 45 30 E"}, "", 0},
        {{"inbound-az=N 45 30 15 E"}, "", 0},
        {{"delta=1e400"},
         "message: Could not interpret input\n" +
             reason("Delta angle \"1e400\": too large for an angle: not accepted."),
         1},
        // A degree of curve of 0 would give an infinite radius: refused as a radius.
        {{"degree-arc=0"},
         exclamation + invalid +
             reason("Degree curve gives no radius greater than 0: not accepted."),
         1},
        {{"degree-chord=0"},
         exclamation + invalid +
             reason("Degree (chord) gives no radius greater than 0: not accepted."),
         1},
        // Accepted, but no real curve: the previous one comes back, which counts as refused.
        {{"radius=40", "lrr=100"}, noRealCurve("Lrr"), 1},
        {{"radius=100", "chord=300"}, noRealCurve("Chord"), 1},
        // A refusal anywhere sets the status, later accepted entries do not clear it.
        {{"radius=abc", "radius=1000"},
         exclamation + invalid + reason("Radius \"abc\" is not a number: not accepted."),
         1},
        // Enter re-enters a text equal to the one shown: L arc becomes the last group
        // again, so the chord is checked against it and refused.
        {{"chord=100", "larc=100.000", "chord=100.000", "larc=100.000", "chord=101"},
         near + nearReason("L arc \"100.000\"") + near + nearReason("Chord \"100.000\"") + near +
             nearReason("L arc \"100.000\"") + less + reason("Chord \"101\"" + shorter),
         1},
    };
    for (const EntryCase& c : cases) {
        const RunResult r = Run(c.entries);
        std::string label;
        for (const std::string& e : c.entries) label += e + " ";
        EXPECT_EQ(r.err, c.err) << label;
        EXPECT_EQ(r.status, c.status) << label;
        EXPECT_EQ(CountLines(r.out), 11) << label;  // the block of the curve as it stands
    }
}

// The rows of entry_forms.tsv, which the engine's and the window's tests read too: each
// typed into a fresh run, its field's text, its last message and its reason line.
TEST_F(Cli, TypedFormsReadAsMeantOrRefusedWithTheirReason) {
    const std::vector<test::EntryForm> rows =
        test::ReadEntryForms((fs::path(BENDWISE_CLI_DATA) / "entry_forms.tsv").string());
    ASSERT_GT(rows.size(), 40u);
    for (const test::EntryForm& row : rows) {
        std::vector<std::string> args = {"--fields", row.packed ? "packed=on" : "packed=off"};
        if (!row.before.empty()) args.push_back(row.before);
        args.push_back(row.field + "=" + row.typed);
        const RunResult r = Run(args);
        const std::string label = row.before + " " + row.field + "=" + row.typed;
        const std::string line = "\n" + row.field + "=";
        const std::size_t at = ("\n" + r.out).find(line);
        ASSERT_NE(at, std::string::npos) << label;
        EXPECT_EQ(r.out.substr(at + row.field.size() + 1,
                               r.out.find('\n', at) - at - row.field.size() - 1),
                  row.shown)
            << label;
        std::string message, reason;
        std::istringstream err(r.err);
        for (std::string e; std::getline(err, e);) {
            if (e.rfind("message: ", 0) == 0) message = e.substr(9);
            if (e.rfind("reason: ", 0) == 0) reason += e.substr(8);
        }
        EXPECT_EQ(message, row.message) << label;
        EXPECT_EQ(reason, row.reason) << label;
        const bool refused = !row.reason.empty() && row.reason.find("used.") == std::string::npos &&
                             row.reason.find("sensitive") == std::string::npos;
        EXPECT_EQ(r.status, refused ? 1 : 0) << label;
    }
}

TEST_F(Cli, RefusedEntryLeavesTheCurveAsItWas) {
    const RunResult before = Run({"--fields", "chord=100"});
    const RunResult after = Run({"--fields", "chord=100", "larc=99"});
    EXPECT_EQ(after.status, 1);
    EXPECT_EQ(after.out, before.out);
}

// --- usage errors ---------------------------------------------------------------------

TEST_F(Cli, UsageErrorsStopBeforeAnyEntryRuns) {
    const struct {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"bogus=1"}, "unknown field 'bogus'"},
        {{"radius"}, "malformed entry 'radius' (expected FIELD=TEXT)"},
        {{"=5"}, "malformed entry '=5' (expected FIELD=TEXT)"},
        {{"chord-az=10"}, "field 'chord-az' is a result and takes no entry"},
        {{"left=yes"}, "'left' takes on or off, not 'yes'"},
        {{"acres="}, "'acres' takes on or off, not ''"},
        {{"radius=12345678901234567"}, "text for 'radius' has 17 characters; a field holds 16"},
        {{"delta=1\xc2\xb0 2' 3.000000000"},
         "text for 'delta' has 17 characters; a field holds 16"},
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--output"}, "option '--output' needs a FILE"},
        {{"--append="}, "option '--append' needs a FILE"},
        {{"--output", "a", "--append", "b"}, "only one of --output and --append"},
        {{"--batch", "a", "--batch", "b"}, "--batch given twice"},
        // A refusable entry before the bad one does not run: no sound, no message.
        {{"radius=abc", "bogus=1"}, "unknown field 'bogus'"},
    };
    for (const auto& c : cases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.reason;
        EXPECT_EQ(r.out, "") << c.reason;
        EXPECT_EQ(r.err, "bendwise-cli: " + c.reason +
                             "\nusage: bendwise-cli [--fields] [--output FILE | --append FILE] "
                             "[--batch FILE] [ENTRY ...]\n"
                             "       bendwise-cli --help | --version\n");
    }
}

TEST_F(Cli, SixteenCharactersFitAField) {
    // 16 characters; the degree sign is two bytes but one character.
    for (const char* entry : {"radius=1000.00000000000", "delta=1\xc2\xb0 2' 3.00000000"}) {
        const RunResult r = Run({entry});
        EXPECT_EQ(r.status, 0) << entry;
        EXPECT_EQ(r.err, "") << entry;
    }
}

TEST_F(Cli, HelpAndVersion) {
    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("bendwise-cli ") + kVersion + "\n");

    const RunResult help = Run({"--help", "bogus=1"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    for (const char* part :
         {"usage: bendwise-cli", "N 45 30 15 E", "S 45 30 00 W", "12-30-15", "-12 30", "12.3456",
          "packed=on|off", "left=on|off", "acres=on|off", "--fields", "--batch FILE",
          "--output FILE", "--append FILE", "pair=LAST,PREV", "EXIT STATUS", "line N: REASON",
          "sound: exclamation", "message: TEXT"}) {
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    }
}

// --- batch ----------------------------------------------------------------------------

TEST_F(Cli, BatchRunsEachLineOnOneSession) {
    const std::string batch =
        "# a comment\n"
        "\n"
        "   \t \n"
        "   # an indented comment\n"
        "radius=1000 'delta=30 00 00'\n"
        "inbound-az=\"N 45 00 00 E\"  # the rest is a comment\r\n";
    const fs::path file = Path("batch.txt");
    WriteFile(file, batch);
    const RunResult r = Run({"--batch", file.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(CountLines(r.out), 22);
    // The second block is the worked example; the first differs only in its azimuths.
    EXPECT_EQ(r.out.substr(r.out.size() - 562), ExpectedWorkedBlock());
    EXPECT_NE(r.out.substr(0, r.out.size() - 562), ExpectedWorkedBlock());
}

TEST_F(Cli, BatchFromStandardInputAfterTheCommandLineEntries) {
    // The command-line entries run first and write nothing of their own.
    const RunResult r = Run({"radius=1000", "--batch", "-", "delta=30"}, "inbound-az=45\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ExpectedWorkedBlock());
}

TEST_F(Cli, BatchWithFieldsWrites21LinesPerLine) {
    const RunResult r = Run({"--fields", "--batch", "-"}, "radius=1000\n\ndelta=30\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(CountLines(r.out), 42);
    EXPECT_NE(r.out.find("pair=radius,larc\n"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 18), "pair=delta,radius\n");
}

TEST_F(Cli, BatchEmptyInputWritesNothing) {
    const RunResult r = Run({"--batch", "-"}, "# only a comment\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, BatchRefusalGoesOnAndSetsStatus1) {
    const RunResult r = Run({"--batch", "-"}, "larc=\nradius=1000\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "sound: exclamation\nmessage: Invalid input\nreason: L arc is empty: not "
              "accepted.\n");
    EXPECT_EQ(CountLines(r.out), 22);
}

TEST_F(Cli, MalformedBatchLineStopsWithItsNumber) {
    const struct {
        std::string batch;
        std::string err;
        int blocks;  // written before the malformed line
    } cases[] = {
        {"radius=1000\n# note\ndelta='30\nlarc=5\n", "line 3: unterminated single quote\n", 1},
        {"delta=\"30\n", "line 1: unterminated double quote\n", 0},
        {"radius=1000\nlarc=5\\\n", "line 2: backslash at end of line\n", 1},
        {"radius=1000 foo=2\n", "line 1: unknown field 'foo'\n", 0},
        {"\n\nradius=12345678901234567\n",
         "line 3: text for 'radius' has 17 characters; a field holds 16\n", 0},
        {"radius=1000 ''\n", "line 1: malformed entry '' (expected FIELD=TEXT)\n", 0},
        {"left=maybe\n", "line 1: 'left' takes on or off, not 'maybe'\n", 0},
    };
    for (const auto& c : cases) {
        const RunResult r = Run({"--batch", "-"}, c.batch);
        EXPECT_EQ(r.status, 2) << c.batch;
        EXPECT_EQ(r.err, c.err) << c.batch;
        EXPECT_EQ(CountLines(r.out), 11 * c.blocks) << c.batch;
    }
}

TEST_F(Cli, MissingBatchFileIsAUsageError) {
    const RunResult r = Run({"--batch", Path("missing.txt").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("bendwise-cli: cannot open batch file '", 0), 0u) << r.err;
}

// Standard output and standard error are buffered separately; sharing one file they must
// still show each line's messages before that line's block.
TEST_F(Cli, MessagesStayInOrderWithTheBlocksWhenMerged) {
    const RunResult r = Run({"--batch", "-"}, "radius=abc\nradius=1000\nchord=0\n", true);
    EXPECT_EQ(r.status, 1);
    const std::size_t first = r.out.find("message: Invalid input\n");
    const std::size_t second = r.out.find("sound: exclamation\n", first);
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    // Line 1: beep, message, reason, block; line 2: block; line 3: beep, reason, block.
    EXPECT_EQ(r.out.find("sound: exclamation\n"), 0u);
    EXPECT_EQ(first, 19u);
    EXPECT_EQ(CountLines(r.out.substr(first, second - first)), 2 + 22);
    EXPECT_EQ(CountLines(r.out.substr(second)), 2 + 11);
}

TEST_F(Cli, LongBatchWritesEveryBlock) {
    std::string batch;
    const int lines = 5000;
    for (int i = 0; i < lines; ++i) {
        batch +=
            "radius=" + std::to_string(100 + i) + " delta=" + std::to_string(1 + i % 90) + "\n";
    }
    const fs::path file = Path("curves.txt");
    const RunResult r = Run({"--output", file.string(), "--batch", "-"}, batch);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(CountLines(r.err), lines);  // one asterisk per block
    const std::string written = ReadFile(file);
    EXPECT_EQ(CountLines(written), 11 * lines);
    // The last line was radius 5099, Delta 50.
    EXPECT_NE(written.find("Radius       5099.000", written.size() - 562), std::string::npos);
    EXPECT_NE(written.find("Delta        50 00  0.0", written.size() - 562), std::string::npos);
}

}  // namespace
}  // namespace bendwise
