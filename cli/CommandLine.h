// The command line of bendwise-cli: entries, run options and survey options, and the
// check that no file is named in two roles.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Entry.h"
#include "cli/Output.h"
#include "cli/Session.h"
#include "frontend/SurveyOptions.h"

namespace bendwise::cli {

constexpr const char* kUsageText =
    "usage: bendwise-cli [--fields] [--output FILE | --append FILE] [--batch FILE] "
    "[ENTRY ...]\n"
    "       bendwise-cli --help | --version\n";

struct Options {
    bool fields = false;
    Target target = Target::Stdout;
    std::optional<std::string> reportPath;
    std::optional<std::string> batchPath;
    std::vector<Entry> entries;
    SurveyOptions survey;
};

// Parses the command line. Returns -1 to go on, or the exit status to end with.
int ParseCommandLine(int argc, char** argv, Output& output, Options& options);

// One file in two roles (the batch read and a file written, two files written) destroys
// one of them: refused with exit 2 before anything is read or written. A file written per
// batch line (plan.svg: plan-1.svg, plan-2.svg, ...) clashes with a file of any of its
// names. Returns -1 to go on, or the exit status.
int CheckFileRoles(const Options& options, Output& output);

}  // namespace bendwise::cli
