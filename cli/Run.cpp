#include "cli/Run.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/LineReader.h"
#include "cli/ShellWords.h"

namespace bendwise::cli {
namespace {

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
}  // namespace

int Run(int argc, char** argv, Output& output) {
    Options options;
    if (const int status = ParseCommandLine(argc, argv, output, options); status >= 0) {
        return status;
    }

    if (const int status = CheckFileRoles(options, output); status >= 0) return status;

    // A curve from points becomes the calculator's curve by typed entries, before the
    // others; points that make none end the run before anything is written.
    if (const std::optional<PointsRequest> points = PointsRequestOf(options.survey)) {
        const PointsInverse inverse = SolvePoints(*points);
        if (inverse.refusal) {
            output.Err("bendwise-cli: no curve from the points: " + *inverse.refusal + "\n");
            return kExitRefused;
        }
        std::vector<Entry> typed;
        std::string reason;
        for (const TypedEntry& entry : EntriesOfCurve(inverse.curve)) {
            typed.emplace_back();
            if (!ParseEntry(entry.name + "=" + entry.text, typed.back(), reason)) {
                output.Err("bendwise-cli: " + reason + "\n");
                return kExitRefused;
            }
        }
        options.entries.insert(options.entries.begin(), typed.begin(), typed.end());
    }

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

}  // namespace bendwise::cli
