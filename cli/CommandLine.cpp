#include "cli/CommandLine.h"

#include "bendwise/Version.h"
#include "frontend/CliOptions.h"
#include "report/FileWrite.h"

namespace bendwise::cli {

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
            if (option->takes == OptionTakes::Points && !value) {
                // Three words: N,E N,E N,E.
                if (i + 3 >= argc) {
                    return usageError("option '" + std::string(name) +
                                      "' needs three points N,E N,E N,E");
                }
                value = std::string(argv[i + 1]) + " " + argv[i + 2] + " " + argv[i + 3];
                i += 3;
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

}  // namespace bendwise::cli
