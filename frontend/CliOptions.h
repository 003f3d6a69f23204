// Every option of bendwise-cli in one table: its name, the value it takes, where --help
// lists it and what it says of it. The command-line parser reads its names and what each
// takes from here; --help is put together from it; the manual page (packaging/help-to-man
// .awk over this help) and the bash completion's word lists are written from it at build
// time by bendwise-cli-docs, so no second list of options exists anywhere.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace bendwise {

enum class OptionTakes {
    Nothing,  // --fields
    File,     // --output FILE
    Value,    // --unit WORD, --stationing arc|chord
    Points,   // --three-points N,E N,E N,E: three words, or one after '=' with blanks
};

// The help section that lists an option.
enum class OptionGroup {
    Run,     // OPTIONS: how the run reads and writes (read by the command-line program)
    Survey,  // DIAGRAM, DESCRIPTION, STATIONS, STAKEOUT, JSON (frontend/SurveyOptions.h)
    Place,   // COORDINATES, POINTS, LANDXML, DXF (frontend/SurveyOptions.h)
    Field,   // CURVE FROM POINTS, STATION AND OFFSET, SETUP (frontend/SurveyOptions.h)
    Info,    // --help and --version, on one line of their own
};

struct OptionInfo {
    std::string_view name;   // "--svg"
    std::string_view value;  // what --help calls its value: "FILE", "arc|chord"; "" for none
    OptionTakes takes;
    OptionGroup group;
    std::string_view help;  // its help item, each line ended by a line feed
};

constexpr std::size_t kCliOptionCount = 31;
const std::array<OptionInfo, kCliOptionCount>& CliOptions();
// The row of an option name ("--svg", without "=VALUE"), or null.
const OptionInfo* FindCliOption(std::string_view name);

// bendwise-cli --help.
std::string CliHelpText();

// The bash completion's word lists, each one blank apart: the fields that take an entry
// (in the order of --fields), the switches, every option, the options that take a file,
// those that take any value, and the options with a choice of words as "--option=a|b".
struct CompletionWords {
    std::string fields;
    std::string switches;
    std::string options;
    std::string fileOptions;
    std::string valueOptions;
    std::string choices;
};
CompletionWords CliCompletionWords();

}  // namespace bendwise
