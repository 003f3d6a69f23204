// bendwise-cli: the calculator without its window.
//
// One run is one session of the calculator dialog: the curve memory with its defaults, the
// model initialised as the dialog is after "Accept", then every entry applied in order, each
// as a person would do it in the window (type the text into the field, press Enter; click a
// check box only when its state differs). The engine talks back through CliHost, which
// turns every message box and sound into one line on standard error, in the order they
// happen. Report blocks go to standard output, or through the engine's own report writer to
// a file (--output as "Write New File", --append as "Append to File").
//
// Output is written through two large buffers; when output switches from one stream to
// the other, the stream written before is flushed first, so a run with 2>&1 still shows
// each message before the block it belongs to, while a long batch costs few system calls.
// Standard output is also flushed before any file is written, so that a standard output
// that cannot be written stops the run before the next file is touched.
//
// The report file is held open and locked for the whole run (report/FileWrite.h): other
// writers wait until the run ends. A batch that prints nothing but its messages queues its
// blocks and writes many in one write(), holding standard error back until they are in the
// file, so that a block's asterisk never shows before the block is there.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bendwise/Version.h"
#include "cli/ShellWords.h"
#include "frontend/CliOptions.h"
#include "frontend/SurveyOptions.h"
#include "frontend/Switches.h"
#include "report/Report.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "solver/Curve.h"
#include "text/Utf8.h"

namespace bendwise {
namespace {

// Exit statuses.
constexpr int kExitAccepted = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotWritten = 3;

// The longest batch line read, in bytes without its line feed. A line of entries needs a
// few hundred bytes (ten fields of 16 characters, quoted); the cap bounds the memory a
// batch takes whatever it holds (--batch /dev/zero).
constexpr std::size_t kMaxBatchLine = 64 * 1024;

constexpr const char* kUsageText =
    "usage: bendwise-cli [--fields] [--output FILE | --append FILE] [--batch FILE] "
    "[ENTRY ...]\n"
    "       bendwise-cli --help | --version\n";

// The buffer of standard output, static so that it outlives every use of the stream (stdio
// flushes once more after main returns).
char g_outBuffer[1 << 16];

// Standard output through a large stdio buffer; standard error gathered here, so that what
// it holds can be taken back (see Session::Flush). Switching streams writes out the one
// written before, so that the two stay in order when they share a file.
class Output {
  public:
    // Standard error is written out once it holds this much, unless held.
    static constexpr std::size_t kErrFlushAt = 1 << 14;

    Output() { std::setvbuf(stdout, g_outBuffer, _IOFBF, sizeof g_outBuffer); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void Out(std::string_view text) {
        // Nothing to write must not count as a switch of streams: the empty survey text
        // after each block would otherwise flush standard error once per block.
        if (text.empty()) return;
        if (!m_err.empty()) FlushErr();
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) m_outFailed = true;
        m_outPending = true;
    }
    void Err(std::string_view text) {
        Settle();
        m_err.append(text);
        if (!m_holdErr && m_err.size() >= kErrFlushAt) FlushErr();
    }
    // Writes out what standard output holds; false once standard output has failed. Called
    // before a file is written, so that the run stops before touching it.
    bool Settle() {
        if (m_outPending) {
            m_outPending = false;
            if (std::fflush(stdout) != 0) m_outFailed = true;
        }
        return !m_outFailed;
    }
    // True once a write to standard output has failed: the run stops.
    bool Failed() const { return m_outFailed; }

    // While held, standard error is written out only by FlushErr (and Finish).
    void HoldErr(bool hold) { m_holdErr = hold; }
    // What standard error holds, not yet written out; TakeBackErr(size) drops all after
    // the first `size` bytes of it.
    std::size_t ErrSize() const { return m_err.size(); }
    void TakeBackErr(std::size_t size) { m_err.resize(std::min(size, m_err.size())); }
    void FlushErr() {
        // Standard error is unbuffered: one write() of what gathered. A failure there has
        // nowhere to be told.
        std::fwrite(m_err.data(), 1, m_err.size(), stderr);
        m_err.clear();
    }

    // Flushes both; false when standard output could not be written.
    bool Finish() {
        FlushErr();
        return std::fflush(stdout) == 0 && !std::ferror(stdout);
    }

  private:
    std::string m_err;
    bool m_outPending = false;
    bool m_holdErr = false;
    bool m_outFailed = false;
};

// The lines of a batch, read in large pieces with at most kMaxBatchLine bytes a line, so
// that memory stays bounded whatever the input holds.
class LineReader {
  public:
    enum class Result { Line, End, TooLong, ReadError };

    explicit LineReader(int fd) : m_fd(fd), m_buffer(4 * kMaxBatchLine) {}

    // The next line without its line feed (valid until the next call), the end of the
    // input, a line over kMaxBatchLine bytes, or a failed read (errno in Error()).
    Result Next(std::string_view& line) {
        for (;;) {
            const char* start = m_buffer.data() + m_begin;
            const auto* feed = static_cast<const char*>(
                std::memchr(m_buffer.data() + m_scanned, '\n', m_end - m_scanned));
            if (feed != nullptr) {
                line = std::string_view(start, static_cast<std::size_t>(feed - start));
                m_begin = m_scanned = static_cast<std::size_t>(feed - m_buffer.data()) + 1;
                return line.size() > kMaxBatchLine ? Result::TooLong : Result::Line;
            }
            m_scanned = m_end;
            if (m_end - m_begin > kMaxBatchLine) return Result::TooLong;
            if (m_atEnd) {
                if (m_begin == m_end) return Result::End;
                line = std::string_view(start, m_end - m_begin);
                m_begin = m_scanned = m_end;
                return Result::Line;
            }
            if (m_end == m_buffer.size()) {  // the line so far moves to the front
                std::memmove(m_buffer.data(), start, m_end - m_begin);
                m_end -= m_begin;
                m_scanned = m_end;
                m_begin = 0;
            }
            const ssize_t got = ::read(m_fd, m_buffer.data() + m_end, m_buffer.size() - m_end);
            if (got < 0) {
                if (errno == EINTR) continue;
                m_error = errno;
                return Result::ReadError;
            }
            if (got == 0) m_atEnd = true;
            m_end += static_cast<std::size_t>(got);
        }
    }
    int Error() const { return m_error; }

    // True when no further line is at hand: none in the buffer, and the input has nothing
    // ready to read now (a pipe fed slowly, a terminal). A file always has. Node's file
    // layer under WebAssembly answers poll() wrongly, so there it is never asked.
    bool WouldWait() const {
#if defined(__EMSCRIPTEN__)
        return false;
#endif
        if (m_atEnd || std::memchr(m_buffer.data() + m_scanned, '\n', m_end - m_scanned)) {
            return false;
        }
        pollfd ready{m_fd, POLLIN, 0};
        return ::poll(&ready, 1, 0) == 0;
    }

  private:
    int m_fd;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;    // start of the next line
    std::size_t m_scanned = 0;  // searched for a line feed up to here
    std::size_t m_end = 0;      // bytes read up to here
    bool m_atEnd = false;
    int m_error = 0;
};

// The engine's door to the outside, for a terminal: messages and sounds become lines on
// standard error, the file question is answered with the --output / --append path.
class CliHost : public CCurveHost {
  public:
    CliHost(Output* output, std::optional<std::string> reportPath)
        : m_output(output), m_reportPath(std::move(reportPath)) {}

    void ShowMessage(std::string_view text) override {
        m_line.assign("message: ");
        m_line.append(text);
        m_line.push_back('\n');
        m_output->Err(m_line);
    }
    void PlaySound(Sound sound) override {
        m_output->Err(sound == Sound::Asterisk ? "sound: asterisk\n" : "sound: exclamation\n");
    }
    // What the window's status line says: why an entry was refused, or what it warns of.
    void ShowStatus(std::string_view text) override {
        m_line.assign("reason: ");
        m_line.append(text);
        m_line.push_back('\n');
        m_output->Err(m_line);
    }
    void SetIndicator(int, bool) override {}
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return m_reportPath; }

  private:
    Output* m_output;
    std::optional<std::string> m_reportPath;
    std::string m_line;
};

// One parsed ENTRY: text typed into a field, or a check box set on or off.
struct Entry {
    const SwitchInfo* box = nullptr;  // a check box (frontend/Switches.h), else a field
    Field field = Field::Radius;
    bool on = false;
    std::string text;
};

// Parses FIELD=TEXT, left=on|off, acres=on|off or packed=on|off into `entry` (reusing its
// text's storage). On failure sets `reason` and returns false.
bool ParseEntry(std::string_view word, Entry& entry, std::string& reason) {
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        reason.assign("malformed entry '").append(word).append("' (expected FIELD=TEXT)");
        return false;
    }
    const std::string_view name = word.substr(0, equals);
    const std::string_view value = word.substr(equals + 1);

    // The field names measured once: a batch looks up every entry.
    static const std::array<std::string_view, kFieldCount> kFieldNames = [] {
        std::array<std::string_view, kFieldCount> names;
        for (std::size_t i = 0; i < kFieldCount; ++i) names[i] = Fields()[i].name;
        return names;
    }();
    if (const SwitchInfo* box = FindSwitch(name)) {
        if (value != "on" && value != "off") {
            reason.assign("'")
                .append(name)
                .append("' takes on or off, not '")
                .append(value)
                .append("'");
            return false;
        }
        entry.box = box;
        entry.on = value == "on";
        return true;
    }

    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (name != kFieldNames[i]) continue;
        const FieldInfo& info = Fields()[i];
        if (!IsEntryField(info.field)) {
            reason.assign("field '").append(name).append("' is a result and takes no entry");
            return false;
        }
        const std::size_t characters = Utf8Characters(value);
        if (characters > static_cast<std::size_t>(kFieldCharacters)) {
            reason.assign("text for '")
                .append(name)
                .append("' has ")
                .append(std::to_string(characters))
                .append(" characters; a field holds ")
                .append(std::to_string(kFieldCharacters));
            return false;
        }
        entry.box = nullptr;
        entry.field = info.field;
        entry.text.assign(value);
        return true;
    }
    reason.assign("unknown field '").append(name).append("'");
    return false;
}

enum class Target { Stdout, NewFile, AppendFile };

// One run of the calculator.
class Session {
  public:
    // In a `batch` that writes only report blocks, the blocks are queued and written many
    // at a time (report/FileWrite.h): such a run prints nothing to standard output and
    // writes no other file, so standard error, held meanwhile, is all it shows of them.
    // A file this run reads or appends to, which no file it writes may turn out to be.
    struct KeptFile {
        std::string option;  // "--batch"
        std::string path;    // as opened ("/dev/stdin" for "-")
        std::string shown;   // as given
    };

    Session(Output* output, Target target, std::optional<std::string> reportPath, bool fields,
            const SurveyOptions* survey, bool batch, std::vector<KeptFile> kept)
        : m_output(output),
          m_kept(std::move(kept)),
          m_host(output, std::move(reportPath)),
          m_model(&m_memory, &m_host),
          m_target(target),
          m_fields(fields),
          m_survey(survey),
          m_request(RequestOf(*survey)),
          m_blocksOnly(target != Target::Stdout && !fields && PrintsNothingPerCurve(*survey)) {
        m_model.Initialize();
        m_model.HoldReportFile(true);
        m_model.QueueReportBlocks(batch && m_blocksOnly);
        m_output->HoldErr(batch && m_blocksOnly);
    }

    // Applies one entry; returns false when it was refused.
    bool Apply(const Entry& entry) {
        if (entry.box != nullptr) {
            SetSwitch(m_model, *entry.box, entry.on);
            return true;
        }
        m_model.OnEnterKey();
        const EntryResult result = m_model.OnKillfocus(entry.field, entry.text);
        // An accepted pair without a real solution brought the previous curve back: for
        // the user that entry did not take.
        return result != EntryResult::Refused &&
               !(result == EntryResult::Accepted && m_model.LastSolveFailed());
    }

    // Writes the current curve: the block to the report file or standard output, and the
    // fields to standard output when asked; then the survey asked for (text after the block,
    // or the JSON line instead of block and fields; the SVG file). `line` is the batch line,
    // 0 outside a batch. Returns false when a file or standard output was not written.
    bool Emit(long line = 0) {
        if (m_target != Target::Stdout) {
            if (!m_output->Settle()) return false;
            const bool newFile = m_target == Target::NewFile && m_firstBlock;
            m_firstBlock = false;
            const std::size_t queued = m_model.QueuedReportBlocks();
            const std::size_t errBefore = m_output->ErrSize();
            if (m_model.WriteReport(newFile) != ReportResult::Written) return false;
            if (m_model.QueuedReportBlocks() > queued) m_queuedErr.push_back(errBefore);
            if (m_blocksOnly) return true;
        }
        const CurveSurvey survey = SurveyCurve(m_model.Record(), m_request);
        if (m_survey->json) {
            m_output->Out(CurveJson(m_model.Record(), m_memory, survey, line));
        } else if (m_fields) {
            m_buffer.clear();
            for (const FieldInfo& info : Fields()) {
                m_buffer.append(info.name).push_back('=');
                m_buffer.append(m_model.Text(info.field)).push_back('\n');
            }
            m_buffer.append("pair=")
                .append(GroupName(m_memory.m_lastGroup))
                .append(",")
                .append(GroupName(m_memory.m_prevGroup))
                .push_back('\n');
            m_output->Out(m_buffer);
        } else if (m_target == Target::Stdout) {
            m_output->Out(BuildReportBlock(m_model.Record()));
        }
        if (!m_survey->json) m_output->Out(SurveyText(m_model.Record(), survey));
        if (survey.stakeout && survey.stakeout->intervalRefused) {
            m_output->Err("bendwise-cli: no stakeout: " + *survey.stakeout->error + "\n");
            m_filesLeftOut = true;
        }
        std::string skipped;
        const std::vector<SurveyFile> files =
            SurveyFiles(*m_survey, m_model.Record(), survey, line, skipped);
        // A standard output that has failed stops the run before another file is written.
        if (!files.empty() && !m_output->Settle()) return false;
        for (const SurveyFile& file : files) {
            // Checked before every write, by identity: a file named per batch line may be
            // a link to the batch file or the report, which no check of names up front sees.
            for (const KeptFile& kept : m_kept) {
                if (SameFile(file.path, kept.path)) {
                    m_output->Err("bendwise-cli: cannot write " + std::string(file.kind) +
                                  " file '" + file.path + "': it is the " + kept.option +
                                  " file '" + kept.shown + "'\n");
                    return false;
                }
            }
            std::string reason;
            const bool written = WriteOutputFile(file.path, file.bytes, file.kind, reason);
            if (!reason.empty()) m_output->Err("bendwise-cli: " + reason + "\n");
            if (!written) return false;
        }
        if (!skipped.empty()) {
            m_output->Err("bendwise-cli: " + skipped + "\n");
            m_filesLeftOut = true;
        }
        return !m_output->Failed();
    }

    // Writes the queued report blocks, when they (or standard error) have grown large or
    // when `all`, and then standard error. False when a block did not reach the file:
    // standard error is cut back to what it held before that block's asterisk and the
    // failure is told there instead, so the run ends as it would have had each block been
    // written on its own.
    bool Flush(bool all) {
        if (!all && m_model.QueuedReportBytes() < kQueueFlushAt &&
            m_output->ErrSize() < Output::kErrFlushAt) {
            return true;
        }
        const ReportAppender::Flushed flushed = m_model.FlushReport();
        const bool written = flushed.result == BlockWrite::Written;
        if (!written) {
            m_output->TakeBackErr(m_queuedErr[flushed.written]);
            m_model.ReportFlushFailed(flushed.result);
        }
        m_queuedErr.clear();
        m_output->FlushErr();
        return written;
    }

    // True once a curve could not be placed for the files that need coordinates.
    bool FilesLeftOut() const { return m_filesLeftOut; }

  private:
    Output* m_output;
    const std::vector<KeptFile> m_kept;
    CCurveMemory m_memory;
    CliHost m_host;
    CCurveModel m_model;
    Target m_target;
    bool m_fields;
    const SurveyOptions* m_survey;
    const SurveyRequest m_request;
    const bool m_blocksOnly;  // the report file gets the block, and nothing else is written
    bool m_firstBlock = true;
    bool m_filesLeftOut = false;
    std::string m_buffer;
    // For each queued block, how much standard error held just before its asterisk.
    std::vector<std::size_t> m_queuedErr;
    // Queued blocks are written once they fill this much: about 116 blocks a write().
    static constexpr std::size_t kQueueFlushAt = 1 << 16;
};

struct Options {
    bool fields = false;
    Target target = Target::Stdout;
    std::optional<std::string> reportPath;
    std::optional<std::string> batchPath;
    std::vector<Entry> entries;
    SurveyOptions survey;
};

// Parses the command line. Returns -1 to go on, or the exit status to end with.
int ParseCommandLine(int argc, char** argv, Output& output, Options& options) {
    auto usageError = [&](const std::string& reason) {
        output.Err("bendwise-cli: " + reason + "\n" + kUsageText);
        return kExitUsage;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            output.Out(CliHelpText());
            return kExitAccepted;
        }
        if (arg == "--version") {
            output.Out(std::string("bendwise-cli ") + kVersion + "\n");
            return kExitAccepted;
        }
    }

    bool optionsEnded = false;
    std::string reason;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-') {
            Entry entry;
            if (!ParseEntry(arg, entry, reason)) return usageError(reason);
            options.entries.push_back(std::move(entry));
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // Options with a value: "--output FILE" or "--output=FILE".
        std::string_view name = arg;
        std::optional<std::string> value;
        if (const std::size_t equals = arg.find('='); equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = std::string(arg.substr(equals + 1));
        }
        const OptionInfo* option = FindCliOption(name);
        // --help and --version were answered above; with "=..." they are no option.
        if (option == nullptr || option->group == OptionGroup::Info) {
            return usageError("unknown option '" + std::string(arg) + "'");
        }
        // Diagram, description, stations, stakeout, JSON, coordinates and their files
        // (frontend/SurveyOptions.h). A bad value is one line on standard error, before
        // anything is solved or written.
        if (option->group != OptionGroup::Run) {
            if (option->takes == OptionTakes::Nothing && value) {
                return usageError("option '" + std::string(name) + "' takes no value");
            }
            if (option->takes != OptionTakes::Nothing && !value) {
                if (i + 1 >= argc) {
                    return usageError("option '" + std::string(name) + "' needs a value");
                }
                value = argv[++i];
            }
            if (!SetSurveyOption(name, value.value_or(""), options.survey, reason)) {
                output.Err("bendwise-cli: " + reason + "\n");
                return kExitUsage;
            }
            continue;
        }
        if (option->takes == OptionTakes::Nothing) {  // --fields
            if (value) return usageError("unknown option '" + std::string(arg) + "'");
            options.fields = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= argc) return usageError("option '" + std::string(name) + "' needs a FILE");
            value = argv[++i];
        }
        if (value->empty()) return usageError("option '" + std::string(name) + "' needs a FILE");
        if (name == "--batch") {
            if (options.batchPath) return usageError("--batch given twice");
            options.batchPath = std::move(value);
        } else {
            if (options.reportPath) return usageError("only one of --output and --append");
            options.target = name == "--output" ? Target::NewFile : Target::AppendFile;
            options.reportPath = std::move(value);
        }
    }
    if (!CheckSurveyOptions(options.survey, reason)) {
        output.Err("bendwise-cli: " + reason + "\n");
        return kExitUsage;
    }
#if defined(__EMSCRIPTEN__)
    // Node has no file locks: runs appending at once would mix their blocks, and a lock
    // held by another program would go unseen.
    if (options.target == Target::AppendFile) {
        return usageError(
            "--append needs a file lock, which this build cannot take; use --output, or the "
            "native bendwise-cli");
    }
#endif
    return -1;
}

// Runs the lines of a batch file on `session`. Returns -1 to go on, or an exit status.
int RunBatch(int in, Session& session, Output& output, bool& refused) {
    LineReader reader(in);
    std::vector<std::string> words;
    std::vector<Entry> entries;
    std::string reason;
    long lineNumber = 0;
    for (;;) {
        std::string_view line;
        const LineReader::Result got = reader.Next(line);
        if (got == LineReader::Result::End) return -1;
        if (got == LineReader::Result::ReadError) {
            output.Err(std::string("bendwise-cli: cannot read batch input: ") +
                       std::strerror(reader.Error()) + "\n");
            return kExitUsage;
        }
        ++lineNumber;
        bool ok = got == LineReader::Result::Line;
        if (!ok) {
            reason = "line too long";
        } else {
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ok = SplitShellWords(line, words, reason);
        }
        if (ok) {
            if (entries.size() < words.size()) entries.resize(words.size());
            for (std::size_t k = 0; ok && k < words.size(); ++k) {
                ok = ParseEntry(words[k], entries[k], reason);
            }
        }
        if (!ok) {
            output.Err("line " + std::to_string(lineNumber) + ": " + reason + "\n");
            return kExitUsage;
        }
        if (words.empty()) continue;  // empty, blank or comment line
        for (std::size_t k = 0; k < words.size(); ++k) {
            if (!session.Apply(entries[k])) refused = true;
        }
        // Blocks wait in the queue only while more input is ready: a batch fed slowly has
        // each block in the file before the program waits for the next line, so that a
        // kill loses none and other writers are not kept waiting on them.
        if (!session.Emit(lineNumber) || !session.Flush(reader.WouldWait())) {
            return kExitNotWritten;
        }
    }
}

// One file in two roles (the batch read and a file written, two files written) destroys
// one of them: refused with exit 2 before anything is read or written. A file written per
// batch line (plan.svg: plan-1.svg, plan-2.svg, ...) clashes with a file of any of its
// names. Returns -1 to go on, or the exit status.
int CheckFileRoles(const Options& options, Output& output) {
    struct Role {
        std::string option;
        std::string path;
        bool perLine;
        std::string shown;  // the path as given
    };
    std::vector<Role> roles;
    if (options.batchPath) {
        // Standard input ("-") is a file only when redirected from one.
        const std::string& path = *options.batchPath;
        roles.push_back({"--batch", path == "-" ? "/dev/stdin" : path, false, path});
    }
    if (options.reportPath) {
        roles.push_back({options.target == Target::NewFile ? "--output" : "--append",
                         *options.reportPath, false, *options.reportPath});
    }
    for (const OutputFile& file : FilesWritten(options.survey)) {
        roles.push_back({file.option, file.path, options.batchPath.has_value(), file.path});
    }
    // Whether `named` is one of the files `pattern` writes: the line numbers to try are
    // the runs of digits in its name.
    auto writesTo = [](const std::string& pattern, const std::string& named) {
        const std::size_t slash = named.rfind('/');
        const std::string name = named.substr(slash == std::string::npos ? 0 : slash + 1);
        for (std::size_t i = 0; i < name.size();) {
            const std::size_t end = name.find_first_not_of("0123456789", i);
            const std::size_t digits = (end == std::string::npos ? name.size() : end) - i;
            if (digits > 0 && digits < 19) {
                const long line = std::stol(name.substr(i, digits));
                if (line > 0 && SameFile(SvgPathForLine(pattern, line), named)) return true;
            }
            i += digits > 0 ? digits : 1;
        }
        return false;
    };
    for (std::size_t j = 1; j < roles.size(); ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            const Role& a = roles[i];
            const Role& b = roles[j];
            const bool clash = a.perLine && b.perLine
                                   ? SameFile(SvgPathForLine(a.path, 1), SvgPathForLine(b.path, 1))
                               : a.perLine ? writesTo(a.path, b.path)
                               : b.perLine ? writesTo(b.path, a.path)
                                           : SameFile(a.path, b.path);
            if (clash) {
                output.Err("bendwise-cli: " + b.option + " '" + b.shown + "' and " + a.option +
                           " '" + a.shown + "' are the same file\n");
                return kExitUsage;
            }
        }
    }
    return -1;
}

int Run(int argc, char** argv, Output& output) {
    Options options;
    if (const int status = ParseCommandLine(argc, argv, output, options); status >= 0) {
        return status;
    }

    if (const int status = CheckFileRoles(options, output); status >= 0) return status;

    int batch = -1;
    if (options.batchPath) {
        if (*options.batchPath == "-") {
            batch = STDIN_FILENO;
        } else {
            batch = ::open(options.batchPath->c_str(), O_RDONLY | O_CLOEXEC);
            if (batch < 0) {
                output.Err("bendwise-cli: cannot open batch file '" + *options.batchPath +
                           "': " + std::strerror(errno) + "\n" + kUsageText);
                return kExitUsage;
            }
        }
    }

    std::vector<Session::KeptFile> kept;
    if (options.batchPath) {
        const std::string& path = *options.batchPath;
        kept.push_back({"--batch", path == "-" ? "/dev/stdin" : path, path});
    }
    if (options.reportPath) {
        kept.push_back({options.target == Target::NewFile ? "--output" : "--append",
                        *options.reportPath, *options.reportPath});
    }
    Session session(&output, options.target, options.reportPath, options.fields, &options.survey,
                    options.batchPath.has_value(), std::move(kept));
    bool refused = false;
    for (const Entry& entry : options.entries) {
        if (!session.Apply(entry)) refused = true;
    }

    int status = -1;
    if (batch >= 0) {
        status = RunBatch(batch, session, output, refused);
        if (batch != STDIN_FILENO) ::close(batch);
    } else if (!session.Emit()) {
        status = kExitNotWritten;
    }
    // Every block is in the file before the run says anything more or ends.
    if (!session.Flush(true)) status = kExitNotWritten;
    if (status >= 0) return status;
    return refused || session.FilesLeftOut() ? kExitRefused : kExitAccepted;
}

}  // namespace
}  // namespace bendwise

int main(int argc, char** argv) {
    // Past a file size limit (ulimit -f) write() then fails with EFBIG, and the writers take
    // the partial block back out, instead of the signal ending the run mid-block.
    std::signal(SIGXFSZ, SIG_IGN);
    // A standard output piped into a program that ends early (| head) then fails with
    // EPIPE, and the run stops with status 3 and says so, instead of dying silently of
    // SIGPIPE (141).
    std::signal(SIGPIPE, SIG_IGN);
    bendwise::Output output;
    int status = bendwise::Run(argc, argv, output);
    if (!output.Finish()) {
        std::fputs("bendwise-cli: cannot write standard output\n", stderr);
        std::fflush(stderr);
        if (status != bendwise::kExitUsage) status = bendwise::kExitNotWritten;
    }
    return status;
}
